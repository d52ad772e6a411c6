#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the libFuzzer targets (preset "fuzz", or the one
# QUARN_FUZZ_PRESET names: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS
# (default 60), one a core side by side, each input bounded in time and
# memory. Seeds: fuzz/seeds, the worst-case settings shapes and, read in
# place where present, the shared SMBIOS dumps. New inputs are kept in
# build/fuzz/corpus/TARGET; inputs that crash, leak, time out, run slow or
# take too much memory in build/fuzz/findings/TARGET.
# A long campaign with execution goals: scripts/fuzz-campaign.sh.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-targets.sh
seconds=${1:-60}
scripts/build.sh "$fuzz_preset" || exit 1
mkdir -p build/fuzz
[ -n "$fuzz_shared" ] || echo "fuzz: no shared SMBIOS dumps at ../shared/testdata/smbios; the committed seeds only"
fuzz_shapes || { echo "fuzz: the worst-case shapes could not be written"; exit 1; }

status=0
# Every input that once found a fault runs first, on its own.
for target in "${fuzz_targets[@]}"; do
  kept=(tests/fuzz-regressions/$target/*)
  [ -e "${kept[0]}" ] || continue
  if "$fuzz_bin"/fuzz_$target "${fuzz_limits[@]}" "${kept[@]}" >build/fuzz/$target-regressions.log 2>&1; then
    echo "fuzz $target: ${#kept[@]} kept inputs, exit 0"
  else
    status=1
    echo "fuzz $target: a kept input fails"
    grep -E "ERROR|SUMMARY|Running" build/fuzz/$target-regressions.log | head -20
  fi
done
# The targets run side by side, one a core (QUARN_FUZZ_JOBS sets how many);
# each one's lines are printed when all are done, in the targets' order.
fuzz_one() {  # fuzz_one TARGET: its summary lines in build/fuzz/TARGET.summary
  local target=$1 log=build/fuzz/$1.log kept rc runs
  kept=$(fuzz_run "$target" "$log" -max_total_time="$seconds")
  rc=$?
  runs=$(fuzz_executions "$log")
  {
    echo "fuzz $target: ${runs:-?} executions in ${seconds} s, exit $rc"
    [ -z "$kept" ] || echo "$kept"
    [ $rc -eq 0 ] || grep -E "ERROR|SUMMARY|artifact|Test unit written" "$log" | head -20
  } >"build/fuzz/$target.summary"
}
jobs=${QUARN_FUZZ_JOBS:-$(nproc)}
for target in "${fuzz_targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  fuzz_one "$target" &
done
wait
for target in "${fuzz_targets[@]}"; do
  cat "build/fuzz/$target.summary"
  grep -q "^fuzz $target: .*, exit 0$" "build/fuzz/$target.summary" || status=1
done
exit $status
