#!/bin/sh
# check-readme-example.sh QUARNCFG SOURCE: the README's check example, run
# as written from the source folder, prints exactly what the README shows.
set -u
quarncfg=$1 source=$2
cd "$source" || exit 1
tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT
# The command line after "$ quarncfg check", and the lines after it up to
# the end of its block.
awk '/^\$ quarncfg check scripts\/sample\/mistakes/ { found = 1; sub(/^\$ quarncfg /, ""); print > "'"$tmp"'/command"; next }
     found && /^```/ { exit }
     found { print }' README.md >"$tmp/expected"
[ -s "$tmp/command" ] || { echo "README: no check example of scripts/sample/mistakes"; exit 1; }
# shellcheck disable=SC2046
"$quarncfg" $(cat "$tmp/command") >"$tmp/actual" 2>&1
if ! diff -u "$tmp/expected" "$tmp/actual"; then
  echo "README: the check example differs from what quarncfg prints (above)"
  exit 1
fi
echo "README: the check example prints what it shows ($(wc -l <"$tmp/expected") lines)"
