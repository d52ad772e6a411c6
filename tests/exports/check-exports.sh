#!/bin/sh
# check-exports.sh OBJDUMP FORMAT NAMES_FILE MAIN_DLL [OTHER_DLL...]
# Checks that every DLL has the object format FORMAT (pei-i386 for PE32,
# pei-x86-64 for PE32+) and that the export table of MAIN_DLL holds every
# name listed in NAMES_FILE (demangled, one per line, "#" starts a comment)
# and none of the names listed there with a leading "!".
set -u
objdump=$1 format=$2 names=$3
shift 3
main=$1
status=0

for dll in "$@"; do
  # No shipped DLL offers a substitute for its platform (test hooks).
  hooks=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -c "ForTesting\|Native[A-Za-z]*Platform")
  if [ "$hooks" -ne 0 ]; then
    echo "HOOK    $(basename "$dll") exports $hooks test hooks"
    status=1
  fi
  found=$("$objdump" -f "$dll" | sed -n 's/.*file format //p')
  if [ "$found" = "$format" ]; then
    echo "ok      $(basename "$dll"): $found"
  else
    echo "WRONG   $(basename "$dll"): '$found', expected '$format'"
    status=1
  fi
done

exports=$("$objdump" -p "$main" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | c++filt | sed 's/\[abi:cxx11\]//g')
count=0
missing=0
while IFS= read -r name; do
  case "$name" in
    ''|'#'*) continue ;;
    '!'*)
      if printf '%s\n' "$exports" | grep -qxF "${name#!}"; then
        echo "EXPORTED ${name#!} (must stay internal)"
        status=1
      fi
      continue ;;
  esac
  count=$((count + 1))
  if ! printf '%s\n' "$exports" | grep -qxF "$name"; then
    echo "MISSING $name"
    missing=$((missing + 1))
  fi
done < "$names"
echo "$(basename "$main"): $((count - missing)) of $count public names exported"
[ "$missing" -eq 0 ] || status=1
exit $status
