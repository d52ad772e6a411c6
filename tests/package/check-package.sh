#!/bin/sh
# check-package.sh BUILD_DIR SOURCE_DIR VERSION [TOOLCHAIN_FILE RUNNER]
# Installs the build, stripped, into BUILD_DIR/package-test/prefix, builds
# the consumer against the installed package alone, twice (with CMake's
# find_package and with pkg-config), and runs it (through RUNNER for a
# Windows build, finding DLLs only beside itself in the install tree; not at
# all when RUNNER is "-"); the consumer prints the version its headers name,
# which must be VERSION. The headers must lie in include/QuarnConfig alone. A
# Windows build's installed DLLs must carry no debugging sections and a
# version resource of VERSION.
set -eu
build=$1 source=$2 version=$3 toolchain=${4:-} runner=${5:-}
work=$build/package-test
rm -rf "$work"
cmake --install "$build" --prefix "$work/prefix" --strip >/dev/null
if [ "$(ls "$work/prefix/include")" != QuarnConfig ] || [ ! -f "$work/prefix/include/QuarnConfig/config/QuarnConfig.h" ]; then
  echo "HEADERS NOT IN include/QuarnConfig: $(ls "$work/prefix/include")"
  exit 1
fi
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

# The same consumer built by hand from what pkg-config says, with the
# compiler of the build.
pc_dir=$(dirname "$(find "$work/prefix" -name quarnconfig.pc)")
[ "$(PKG_CONFIG_PATH=$pc_dir pkg-config --modversion quarnconfig)" = "$version" ] || {
  echo "pkg-config gives version $(PKG_CONFIG_PATH=$pc_dir pkg-config --modversion quarnconfig), not $version"
  exit 1
}
compiler=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
libdir=$(PKG_CONFIG_PATH=$pc_dir pkg-config --variable=libdir quarnconfig)
if [ -n "$toolchain" ]; then
  suffix=.exe run_path=
else
  suffix= run_path=-Wl,-rpath,$libdir
fi
# shellcheck disable=SC2046 # the flags are words
"$compiler" -std=c++17 "$source/tests/package/consumer/main.cpp" -o "$work/consumer/consumer-pc$suffix" \
  $(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs quarnconfig) $run_path \
  >"$work/pkg-config.log" 2>&1 || { cat "$work/pkg-config.log"; exit 1; }

expect() {  # expect OUTPUT: the consumer ran and named the version
  echo "$1"
  case $1 in *"version=$version "*) ;; *) echo "THE CONSUMER DOES NOT NAME VERSION $version"; exit 1 ;; esac
}
for consumer in consumer consumer-pc; do
  if [ -z "$toolchain" ]; then
    expect "$("$work/consumer/$consumer")"
  elif [ "$runner" != "-" ]; then
    cp "$work/consumer/$consumer.exe" "$work/prefix/bin/"
    expect "$(QUARN_WINE_ISOLATED=1 "$runner" "$work/prefix/bin/$consumer.exe")"
  else
    echo "built $consumer.exe against the installed package; this host cannot run it"
  fi
done
