#!/usr/bin/env bash
# Sets up the machine, builds what the inspector needs (the three libraries
# and quarncfg: no tests, benchmarks or fuzzers), lays out a sample
# installation and runs the inspector in it: natively, and as the Windows
# build under Wine. Prints how long it took.
#
# The builds (build/main/PRESET) are apart from the full ones of
# scripts/test-all.sh (build/PRESET), so neither undoes the other's options.
#
# The sample installation (under build/sample):
#   R/client/bin/               the program and its libraries
#   R/client/bin/conf/cli_config.ini
#   R/globalcfg/domaincfg.ini
#   R/quarn_update/cur_version.txt      the updater's version record
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
scripts/setup-debian.sh
setup_seconds=$((SECONDS - started))

configure() {  # configure PRESET: the libraries and the inspector alone
  local dir=build/main/$1
  cmake --preset "$1" -B "$dir" -DQUARN_BUILD_TESTS=OFF -DQUARN_BUILD_BENCHMARKS=OFF -DQUARN_INSTALL=OFF \
    >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
  grep -h "CMake Warning" -A3 "$dir.configure.log" || true
}

build() {  # build PRESET: with ninja's progress
  echo "== build $1 (build/main/$1)"
  cmake --build "build/main/$1" --target quarncfg
}

lay_out() {  # lay_out DIR BUILD
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

mkdir -p build/main
for preset in native win32 win64; do configure "$preset"; done
# Wine makes a prefix the first time it runs in it: some 15 s each, mostly
# spent waiting on its own processes, so it is done while the builds run.
prefixes=()
for preset in win32 win64; do
  if [ -x "build/main/$preset/wine-run.sh" ]; then
    "build/main/$preset/wine-run.sh" cmd.exe /c exit >"build/main/$preset.prefix.log" 2>&1 &
    prefixes+=($!)
  fi
done
for preset in native win32 win64; do build "$preset"; done
[ "${#prefixes[@]}" -eq 0 ] || wait "${prefixes[@]}" || true

echo
echo "== native: build/sample/native/R/client/bin/quarncfg"
bin=$(lay_out build/sample/native build/main/native)
"$bin/quarncfg" --no-resolve

# The product is the 32-bit build; where this host cannot run 32-bit code,
# the same sources built for 64-bit Windows show what the Windows code sees.
for preset in win32 win64; do
  if [ -x "build/main/$preset/wine-run.sh" ]; then
    echo
    echo "== $preset under Wine: build/sample/$preset/R/client/bin/quarncfg.exe"
    bin=$(lay_out "build/sample/$preset" "build/main/$preset")
    "build/main/$preset/wine-run.sh" "$bin/quarncfg.exe" --no-resolve
    "build/main/$preset/wine-run.sh" --stop
  else
    echo
    echo "== $preset: built (build/main/$preset/bin); this host cannot run its programs"
  fi
done

total=$((SECONDS - started))
echo
echo "run-main: $((total - setup_seconds)) s to build and run (set-up $setup_seconds s, $total s in all)"
