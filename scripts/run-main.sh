#!/usr/bin/env bash
# Sets up the machine, builds what the inspector needs (the three libraries
# and quarncfg: no tests, benchmarks or fuzzers), lays out a sample
# installation and runs the inspector in it: natively, and as the Windows
# build under Wine. Prints how long it took, step by step.
#
# The native build comes first and runs at once. Then the Windows build:
# the product's, 32-bit. Where this host refuses 32-bit programs, the same
# sources built for 64-bit Windows run under 64-bit Wine, and beside them
# the product's PE32 build runs under user-mode emulation
# (../shared/tools/wine32-on-qemu, set up into build/wine32-on-qemu while
# the native build runs); without that folder the 64-bit build runs alone.
# The builds (build/main/PRESET)
# are apart from the full ones of scripts/test-all.sh (build/PRESET), so
# neither undoes the other's options; they carry no debug information and
# precompile the inspector's common headers, which makes them about a third
# faster to build.
#
# The sample installation (under build/sample/PRESET), which runs wherever
# it is copied (the program finds its libraries beside itself):
#   R/client/bin/               the program and its libraries
#   R/client/bin/conf/cli_config.ini
#   R/globalcfg/domaincfg.ini
#   R/quarn_update/cur_version.txt      the updater's version record
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
scripts/setup-debian.sh
timings="set-up $((SECONDS - started)) s"

# time_step NAME COMMAND...: runs it, and adds its time to the last line.
time_step() {
  local name=$1 begun=$SECONDS
  shift
  "$@"
  timings="$timings, $name $((SECONDS - begun)) s"
}

configure() {  # configure PRESET: the libraries and the inspector alone
  local dir=build/main/$1
  mkdir -p build/main
  cmake --preset "$1" -B "$dir" -DQUARN_BUILD_TESTS=OFF -DQUARN_BUILD_BENCHMARKS=OFF -DQUARN_INSTALL=OFF \
    -DQUARN_PRECOMPILE_HEADERS=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG" \
    "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG" >"$dir.configure.log" 2>&1 || {
    cat "$dir.configure.log"
    exit 1
  }
  grep -h "CMake Warning" -A3 "$dir.configure.log" || true
}

build() {  # build PRESET: with ninja's progress
  echo "== build $1 (build/main/$1)"
  cmake --build "build/main/$1" --target quarncfg
}

lay_out() {  # lay_out DIR BUILD: prints the executable directory
  local root=$1/R bin=$1/R/client/bin
  rm -rf "$1"
  mkdir -p "$bin/conf" "$root/globalcfg" "$root/quarn_update"
  # The libraries by their versioned names too: the program finds them
  # beside itself ($ORIGIN), so the installation runs wherever it is copied.
  cp -P "$2"/bin/quarncfg* "$2"/bin/*.so* "$2"/bin/*.dll "$bin/" 2>/dev/null || true
  cp scripts/sample/cli_config.ini "$bin/conf/"
  cp scripts/sample/domaincfg.ini "$root/globalcfg/"
  cp scripts/sample/cur_version.txt "$root/quarn_update/"
  echo "$bin"
}

run_native() {
  local bin
  echo
  echo "== native: build/sample/native/R/client/bin/quarncfg"
  bin=$(lay_out build/sample/native build/main/native)
  "$bin/quarncfg" --no-resolve
}

run_windows() {  # run_windows PRESET
  local bin how="under Wine"
  grep -q "QUARN_WINE_EMULATED:INTERNAL=ON" "build/main/$1/CMakeCache.txt" &&
    how="under emulated 32-bit Wine (WoW64 prefix)"
  echo
  echo "== $1 $how: build/sample/$1/R/client/bin/quarncfg.exe"
  bin=$(lay_out "build/sample/$1" "build/main/$1")
  "build/main/$1/wine-run.sh" "$bin/quarncfg.exe" --no-resolve
  "build/main/$1/wine-run.sh" --stop
}

# Wine makes a prefix the first time it runs in it: some 15 s, mostly
# waiting on its own processes, so it is made while a build runs.
start_prefix() {  # start_prefix PRESET: in the background
  if [ -x "build/main/$1/wine-run.sh" ]; then
    "build/main/$1/wine-run.sh" cmd.exe /c exit >"build/main/$1.prefix.log" 2>&1 &
    prefixes+=($!)
  fi
}

# emulation_setup: where this host refuses 32-bit code (or where
# QUARN_EMULATE_32BIT=1 asks for it), 32-bit Wine under emulation, in the
# background (a set-up made before is kept).
emulation=../shared/tools/wine32-on-qemu emulated=build/wine32-on-qemu
export QUARN_WINE32_RUNNER=""
emulation_setup() {
  if [ ! -f "$emulation/setup.sh" ]; then
    return
  elif [ -z "${QUARN_EMULATE_32BIT:-}" ] && timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; then
    return
  fi
  if [ -x "$emulated/run32.sh" ] && [ -f "$emulated/pfx-wow64/system.reg" ]; then
    emulator=ready
    return
  fi
  mkdir -p build
  sh "$emulation/setup.sh" "$emulated" >build/wine32-on-qemu.log 2>&1 &
  emulator=$!
}

prefixes=()
emulator=""
emulation_setup
time_step "native build" eval 'configure native && build native'
time_step "native run" run_native
if [ -n "$emulator" ]; then
  [ "$emulator" = ready ] || time_step "wine32 set-up wait" wait "$emulator" || true
  [ -x "$emulated/run32.sh" ] && QUARN_WINE32_RUNNER=$PWD/$emulated/run32.sh
fi
configure win32
windows=(win32)
if [ ! -x build/main/win32/wine-run.sh ]; then
  echo
  echo "== win32: this host cannot run 32-bit programs; the 64-bit Windows build runs in its place"
  configure win64
  windows=(win64)
elif grep -q "QUARN_WINE_EMULATED:INTERNAL=ON" build/main/win32/CMakeCache.txt; then
  echo
  echo "== win32: this host refuses 32-bit programs; the product's PE32 build runs under emulation" \
    "($QUARN_WINE32_RUNNER), beside the 64-bit Windows build"
  configure win64
  windows=(win64 win32)
fi
for preset in "${windows[@]}"; do
  start_prefix "$preset"
  time_step "$preset build" build "$preset"
done
[ "${#prefixes[@]}" -eq 0 ] || wait "${prefixes[@]}" || true
for preset in "${windows[@]}"; do
  if [ -x "build/main/$preset/wine-run.sh" ]; then
    time_step "$preset run" run_windows "$preset"
  else
    echo
    echo "== $preset: built (build/main/$preset/bin); this host cannot run its programs"
  fi
done

echo
echo "run-main: $((SECONDS - started)) s in all ($timings)"
