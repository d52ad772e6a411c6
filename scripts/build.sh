#!/usr/bin/env bash
# build.sh PRESET...: configures and builds each preset (build/PRESET).
set -euo pipefail
cd "$(dirname "$0")/.."
for preset in "$@"; do
  echo "== build $preset"
  cmake --preset "$preset" >"build-$preset.log" 2>&1 || { cat "build-$preset.log"; exit 1; }
  cmake --build --preset "$preset" >>"build-$preset.log" 2>&1 || { tail -50 "build-$preset.log"; exit 1; }
  grep -h "CMake Warning" -A3 "build-$preset.log" || true
  rm -f "build-$preset.log"
done
