#!/bin/sh
# check-imports.sh OBJDUMP LISTS_DIR VERSION FILE...
# Checks that every function each PE file imports from a system DLL is one
# that the system VERSION exports (nt51: Windows XP, nt52: Server 2003),
# using the lists LISTS_DIR/<dll>.<VERSION>.txt (one name a line). Imports
# from other DLLs (the project's own, the C++ runtime's) are listed, not
# judged: the runtime DLLs are checked as files of their own. Skips (exit 0
# with a message) when LISTS_DIR is absent.
set -u
objdump=$1 lists=$2 version=$3
shift 3
if [ ! -d "$lists" ]; then
  echo "SKIPPED: no export lists at $lists"
  exit 0
fi
status=0
for file in "$@"; do
  # "DLL Name: X" starts a block; its rows end in the imported name.
  imports=$("$objdump" -p "$file" | awk '
    /^[[:space:]]*DLL Name:/ { dll = tolower($3); sub(/\.dll$/, "", dll); next }
    /^[[:space:]]*$/ { dll = "" }
    dll != "" && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[^[:space:]]+$/ { print dll " " $3 }')
  checked=0 bad=0 other=""
  while read -r dll name; do
    [ -n "$dll" ] || continue
    list=$lists/$dll.$version.txt
    if [ ! -f "$list" ]; then
      case " $other " in *" $dll "*) ;; *) other="$other $dll" ;; esac
      continue
    fi
    checked=$((checked + 1))
    if ! grep -qxF "$name" "$list"; then
      echo "MISSING ON $version: $(basename "$file") imports $dll!$name"
      bad=$((bad + 1))
    fi
  done <<EOT
$imports
EOT
  echo "$(basename "$file"): $checked system imports checked against $version, $bad missing; other DLLs:${other:- none}"
  [ "$bad" -eq 0 ] || status=1
done
exit $status
