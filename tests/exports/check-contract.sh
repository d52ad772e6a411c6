#!/bin/sh
# check-contract.sh OBJDUMP CONTRACT_FILE DLL
# Checks that everything DLL imports from the DLLs named in CONTRACT_FILE
# (lines ending in ".dll") is listed under that DLL there, demangled.
set -u
objdump=$1 contract=$2 dll=$3
string='std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >'
imports=$("$objdump" -p "$dll" | awk '
  /^[[:space:]]*DLL Name:/ { name = tolower($3); next }
  /^[[:space:]]*$/ { name = "" }
  name != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print name " " $3 }')
status=0 checked=0
while read -r from symbol; do
  [ -n "$from" ] || continue
  grep -qxF "$from" "$contract" || continue  # not one of the contract's libraries
  name=$(printf '%s\n' "$symbol" | c++filt | sed "s/\[abi:cxx11\]//g; s/$string/std::string/g")
  checked=$((checked + 1))
  # The names listed under this DLL: from its line to the next ".dll" line.
  if ! awk -v dll="$from" -v want="$name" '
      /\.dll$/ { inside = ($0 == dll); next }
      inside && $0 == want { found = 1 }
      END { exit !found }' "$contract"; then
    echo "NOT IN THE CONTRACT: $(basename "$dll") imports $from $name"
    status=1
  fi
done <<EOT
$imports
EOT
echo "$(basename "$dll"): $checked imports from the utility libraries checked against the contract"
[ "$checked" -gt 0 ] || { echo "no import from the utility libraries found: wrong file?"; status=1; }
exit $status
