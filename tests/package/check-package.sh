#!/bin/sh
# check-package.sh BUILD_DIR SOURCE_DIR [TOOLCHAIN_FILE RUNNER VERSION]
# Installs the build, stripped, into BUILD_DIR/package-test/prefix, builds
# the consumer against the installed package alone, and runs it (through
# RUNNER for a Windows build, finding DLLs only beside itself in the install
# tree; not at all when RUNNER is "-"). A Windows build's installed DLLs must
# carry no debugging sections and a version resource of VERSION.
set -eu
build=$1 source=$2 toolchain=${3:-} runner=${4:-} version=${5:-}
work=$build/package-test
rm -rf "$work"
cmake --install "$build" --prefix "$work/prefix" --strip >/dev/null
if [ -n "$toolchain" ]; then
  objdump=$(sed -n 's/^CMAKE_OBJDUMP:[A-Z]*=//p' "$build/CMakeCache.txt")
  for dll in "$work"/prefix/bin/*.dll; do
    if "$objdump" -h "$dll" | grep -q '\.debug_'; then
      echo "NOT STRIPPED: $(basename "$dll")"
      exit 1
    fi
  done
  for dll in QuarnConfig kqtUtil kqtNetWork; do
    # The version resource's texts are UTF-16.
    if ! strings -el "$work/prefix/bin/$dll.dll" | grep -qxF "$version"; then
      echo "NO VERSION RESOURCE $version: $dll.dll"
      exit 1
    fi
  done
  echo "installed DLLs stripped, version $version: $(cd "$work/prefix/bin" && ls -s *.dll | tr '\n' ' ')"
fi
set -- -S "$source/tests/package/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/prefix"
if [ -n "$toolchain" ]; then
  # The cross build looks for packages only under its find root.
  set -- "$@" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_FIND_ROOT_PATH="$work/prefix"
fi
cmake "$@" >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/consumer" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
if [ -z "$toolchain" ]; then
  "$work/consumer/consumer"
elif [ "$runner" != "-" ]; then
  cp "$work/consumer/consumer.exe" "$work/prefix/bin/"
  QUARN_WINE_ISOLATED=1 "$runner" "$work/prefix/bin/consumer.exe"
else
  echo "built $(basename "$work/consumer/consumer.exe") against the installed package; this host cannot run it"
fi
