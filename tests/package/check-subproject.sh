#!/bin/sh
# check-subproject.sh BUILD_DIR SOURCE_DIR: builds and runs a parent project
# that includes the library with add_subdirectory.
set -eu
build=$1 source=$2
work=$build/subproject-test
rm -rf "$work"
cmake -S "$source/tests/package/subproject" -B "$work" -G Ninja -DQUARN_SOURCE_DIR="$source" \
  -DCMAKE_BUILD_TYPE=Release >"$work.log" 2>&1 || { cat "$work.log"; exit 1; }
cmake --build "$work" >>"$work.log" 2>&1 || { tail -40 "$work.log"; exit 1; }
cd "$work" && ./subproject_consumer
