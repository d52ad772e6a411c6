#!/usr/bin/env bash
# lint.sh: the formatting of every C++ source (clang-format, the repository's
# .clang-format) and clang-tidy's bugprone and performance checks
# (.clang-tidy) over every source of the native build. Exit 0 when clean.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run -Werror "${sources[@]}"; then
  echo "lint: formatting differs (clang-format -i on the files above)"
  status=1
fi

# hwinfo/ stands on its own: nothing of config/ is included there.
if grep -rn '#include "config/' hwinfo; then
  echo "lint: hwinfo/ includes config/"
  status=1
fi

[ -f build/native/compile_commands.json ] || cmake --preset native >/dev/null
# The native build's commands without its precompiled headers (clang cannot
# read GCC's): each unit then includes what it uses, as it must anyway.
mkdir -p build/lint
mapfile -t units < <(python3 - <<'PY'
import json, os, re
root = os.getcwd()
kept = []
for entry in json.load(open("build/native/compile_commands.json")):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(root + "/") and "/build/" not in path and "/fuzz/" not in path:
        entry["command"] = re.sub(r" -Winvalid-pch| -include \S*cmake_pch\.hxx", "", entry["command"])
        kept.append(entry)
        print(path)
json.dump(kept, open("build/lint/compile_commands.json", "w"), indent=1)
PY
)
if ! printf '%s\n' "${units[@]}" | sort -u | xargs -n 8 -P 2 clang-tidy -p build/lint --quiet --extra-arg=-std=c++17 2>/dev/null; then
  echo "lint: clang-tidy found the above"
  status=1
fi
echo "lint: ${#sources[@]} files formatted, $(printf '%s\n' "${units[@]}" | sort -u | wc -l) units checked: $([ $status -eq 0 ] && echo clean || echo findings)"
exit $status
