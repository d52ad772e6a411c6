#!/bin/sh
# check-sample-copy.sh BIN SOURCE: a sample installation made of a copy of
# the inspector and the versioned libraries it needs runs anywhere: every
# library of the project is found beside the program (its RUNPATH is
# $ORIGIN), none in the build folder, and the report comes out.
set -u
bin=$1 source=$2
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
exe=$tmp/R/client/bin
mkdir -p "$exe/conf" "$tmp/R/globalcfg" "$tmp/R/quarn_update"
cp "$bin/quarncfg" "$exe/" || exit 1
cp -P "$bin"/libQuarnConfig.so* "$bin"/libkqtUtil.so* "$bin"/libkqtNetWork.so* "$exe/" || exit 1
cp "$source/scripts/sample/cli_config.ini" "$exe/conf/"
cp "$source/scripts/sample/domaincfg.ini" "$tmp/R/globalcfg/"
cp "$source/scripts/sample/cur_version.txt" "$tmp/R/quarn_update/"

status=0
LD_TRACE_LOADED_OBJECTS=1 "$exe/quarncfg" >"$tmp/trace" 2>&1
for lib in libQuarnConfig.so.1 libkqtUtil.so.1 libkqtNetWork.so.1; do
  if ! grep -q "$lib => $exe/$lib" "$tmp/trace"; then
    echo "sample copy: $lib is not found beside the program:"
    cat "$tmp/trace"
    status=1
  fi
done
if grep -q "$bin" "$tmp/trace"; then
  echo "sample copy: a library is found in the build folder $bin"
  status=1
fi
if ! "$exe/quarncfg" --no-resolve --section settings >"$tmp/report" 2>&1 || ! grep -q "Install module" "$tmp/report"; then
  echo "sample copy: the copied program does not report:"
  cat "$tmp/report"
  status=1
fi
[ $status -eq 0 ] && echo "sample copy: runs from $exe with its libraries beside it"
exit $status
