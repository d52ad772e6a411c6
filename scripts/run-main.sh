#!/usr/bin/env bash
# Sets up the machine, builds, lays out a sample installation and runs the
# inspector in it: natively, and as the Windows build under Wine.
#
# The sample installation (under build/sample):
#   R/client/bin/               the program and its libraries
#   R/client/bin/conf/cli_config.ini
#   R/globalcfg/domaincfg.ini
#   R/quarn_update/cur_version.txt      the updater's version record
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build.sh native win32 win64

lay_out() {  # lay_out DIR BUILD
  local root=$1/R bin=$1/R/client/bin
  rm -rf "$1"
  mkdir -p "$bin/conf" "$root/globalcfg" "$root/quarn_update"
  cp "$2"/bin/quarncfg* "$2"/bin/*.{so,dll} "$bin/" 2>/dev/null || true
  cp scripts/sample/cli_config.ini "$bin/conf/"
  cp scripts/sample/domaincfg.ini "$root/globalcfg/"
  cp scripts/sample/cur_version.txt "$root/quarn_update/"
  echo "$bin"
}

echo
echo "== native: build/sample/native/R/client/bin/quarncfg"
bin=$(lay_out build/sample/native build/native)
"$bin/quarncfg" --no-resolve

# The product is the 32-bit build; where this host cannot run 32-bit code,
# the same sources built for 64-bit Windows show what the Windows code sees.
for preset in win32 win64; do
  if [ -x "build/$preset/wine-run.sh" ]; then
    echo
    echo "== $preset under Wine: build/sample/$preset/R/client/bin/quarncfg.exe"
    bin=$(lay_out "build/sample/$preset" "build/$preset")
    "build/$preset/wine-run.sh" "$bin/quarncfg.exe" --no-resolve
    "build/$preset/wine-run.sh" --stop
  else
    echo
    echo "== $preset: built (build/$preset/bin); this host cannot run its programs"
  fi
done
