#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the libFuzzer targets (preset "fuzz", clang with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for SECONDS
# (default 60), each input bounded in time and memory. Seeds: fuzz/seeds, the
# worst-case settings shapes and, read in place where present, the shared
# SMBIOS dumps. New inputs are kept in build/fuzz/corpus/TARGET; inputs that
# crash, leak, time out, run slow or take too much memory in
# build/fuzz/findings/TARGET.
# A long campaign with execution goals: scripts/fuzz-campaign.sh.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-targets.sh
seconds=${1:-60}
scripts/build.sh fuzz || exit 1
[ -n "$fuzz_shared" ] || echo "fuzz: no shared SMBIOS dumps at ../shared/testdata/smbios; the committed seeds only"
fuzz_shapes || { echo "fuzz: the worst-case shapes could not be written"; exit 1; }

status=0
# Every input that once found a fault runs first, on its own.
for target in "${fuzz_targets[@]}"; do
  kept=(tests/fuzz-regressions/$target/*)
  [ -e "${kept[0]}" ] || continue
  if build/fuzz/bin/fuzz_$target "${fuzz_limits[@]}" "${kept[@]}" >build/fuzz/$target-regressions.log 2>&1; then
    echo "fuzz $target: ${#kept[@]} kept inputs, exit 0"
  else
    status=1
    echo "fuzz $target: a kept input fails"
    grep -E "ERROR|SUMMARY|Running" build/fuzz/$target-regressions.log | head -20
  fi
done
for target in "${fuzz_targets[@]}"; do
  log=build/fuzz/$target.log
  fuzz_run "$target" "$log" -max_total_time="$seconds"
  rc=$?
  runs=$(fuzz_executions "$log")
  echo "fuzz $target: ${runs:-?} executions in ${seconds} s, exit $rc"
  if [ $rc -ne 0 ]; then
    status=1
    grep -E "ERROR|SUMMARY|artifact|Test unit written" "$log" | head -20
  fi
done
exit $status
