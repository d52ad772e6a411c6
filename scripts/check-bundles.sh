#!/usr/bin/env bash
# check-bundles.sh: a bundle made by each Windows build under Wine (in a
# 32-bit prefix and a 64-bit one, WoW64, where this host runs 32-bit code;
# in the WoW64 prefix alone where 32-bit Wine runs under emulation) and
# replayed by the native inspector equals the report recorded there.
# Prints one line per bundle, "bundle NAME: ok" or why not; exit status 0
# when every one replayed equal. Needs build/native, build/win64, build/win32.
set -uo pipefail
cd "$(dirname "$0")/.."
native=build/native/bin/quarncfg
work=build/bundles
rm -rf "$work"
failed=0

# bundle_of NAME BUILD [ENV...]: lays out a sample installation for the
# build's program, makes its bundle under Wine, replays it natively.
bundle_of() {
  local name=$1 build=$2
  shift 2
  local bin=$work/$name/R/client/bin
  mkdir -p "$bin/conf" "$work/$name/R/globalcfg" "$work/$name/R/quarn_update"
  cp "$build"/bin/quarncfg.exe "$build"/bin/*.dll "$bin/"
  cp scripts/sample/cli_config.ini "$bin/conf/"
  cp scripts/sample/domaincfg.ini "$work/$name/R/globalcfg/"
  cp scripts/sample/cur_version.txt "$work/$name/R/quarn_update/"
  local bundle=$work/$name/bundle.json
  if ! env "$@" "$build/wine-run.sh" "$bin/quarncfg.exe" bundle -o "Z:$(realpath "$work/$name")/bundle.json" \
    >"$work/$name/make.log" 2>&1; then
    echo "bundle $name: not made: $(tail -3 "$work/$name/make.log")"
    failed=$((failed + 1))
    return
  fi
  if "$native" --from-bundle "$bundle" >"$work/$name/replay.txt" 2>&1; then
    echo "bundle $name: ok ($(stat -c %s "$bundle") bytes, replayed natively: $(tail -1 "$work/$name/replay.txt"))"
  else
    echo "bundle $name: replayed natively, differs:"
    sed -n '/^Replayed from/,$p' "$work/$name/replay.txt"
    failed=$((failed + 1))
  fi
}

for build in win64 win32; do
  if [ ! -x "build/$build/wine-run.sh" ]; then
    echo "bundle $build: not made (this host cannot run its programs)"
    continue
  fi
  if [ "$build" = win32 ] && grep -q "QUARN_WINE_EMULATED:INTERNAL=ON" build/win32/CMakeCache.txt; then
    bundle_of win32-wow64-emulated build/win32
  else
    bundle_of "$build" "build/$build"
  fi
  if [ "$build" = win32 ] && grep -q "QUARN_WINE_WOW64:INTERNAL=ON" build/win32/CMakeCache.txt &&
    ! grep -q "QUARN_WINE_EMULATED:INTERNAL=ON" build/win32/CMakeCache.txt; then
    bundle_of win32-wow64 build/win32 QUARN_WINE_PREFIX_KIND=wow64
  fi
  "build/$build/wine-run.sh" --stop
done
[ "$failed" -eq 0 ]
