#!/usr/bin/env bash
# build.sh PRESET[=TARGET,...]...: configures each preset and builds it
# (build/PRESET), all of it or only the targets named.
set -euo pipefail
cd "$(dirname "$0")/.."
for argument in "$@"; do
  preset=${argument%%=*}
  targets=()
  [ "$argument" = "$preset" ] || IFS=, read -ra targets <<<"${argument#*=}"
  echo "== build $preset"
  cmake --preset "$preset" >"build-$preset.log" 2>&1 || { cat "build-$preset.log"; exit 1; }
  cmake --build --preset "$preset" ${targets[@]+--target "${targets[@]}"} >>"build-$preset.log" 2>&1 ||
    { tail -50 "build-$preset.log"; exit 1; }
  grep -h "CMake Warning" -A3 "build-$preset.log" || true
  rm -f "build-$preset.log"
done
