#!/bin/sh
# check-package.sh BUILD_DIR SOURCE_DIR [TOOLCHAIN_FILE RUNNER]
# Installs the build into BUILD_DIR/package-test/prefix, builds the consumer
# against the installed package alone, and runs it (through RUNNER for a
# Windows build; not at all when RUNNER is "-").
set -eu
build=$1 source=$2 toolchain=${3:-} runner=${4:-}
work=$build/package-test
rm -rf "$work"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
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
  "$runner" "$work/prefix/bin/consumer.exe"
else
  echo "built $(basename "$work/consumer/consumer.exe") against the installed package; this host cannot run it"
fi
