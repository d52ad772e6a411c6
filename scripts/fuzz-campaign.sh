#!/usr/bin/env bash
# fuzz-campaign.sh [HOURS-PER-TARGET]: the long fuzzing campaign. Each
# target runs until it reaches its execution goal (10^8 for the table walk,
# 10^7 for the others) or HOURS-PER-TARGET (default 1) have passed, with
# AddressSanitizer and UndefinedBehaviorSanitizer, one target after the
# other (QUARN_FUZZ_TARGETS="A B" picks targets, so two runs can share the
# cores). Prints one line per target and adds them to
# build/fuzz/campaign.txt with the commit they fuzzed; each target goes on
# from the corpus earlier runs left in build/fuzz/corpus/. An input that
# crashes, times out or takes too much memory is kept in
# build/fuzz/findings/TARGET/ (add it to tests/fuzz-regressions/TARGET/ as a
# test).
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/fuzz-targets.sh
hours=${1:-1}
seconds=$(awk -v h="$hours" 'BEGIN { printf "%d", h * 3600 }')
scripts/build.sh "$fuzz_preset" || exit 1
fuzz_shapes || exit 1

summary=build/fuzz/campaign.txt
commit=$(git describe --always --dirty 2>/dev/null || echo unknown)
targets=${QUARN_FUZZ_TARGETS:-${fuzz_targets[*]}}
echo "campaign $(date -u +%Y-%m-%dT%H:%MZ) on $commit: $targets, at most ${seconds} s per target, $(nproc) cores" | tee -a "$summary"
status=0
for target in $targets; do
  goal=10000000
  [ "$target" = TableWalk ] && goal=100000000
  log=build/fuzz/campaign-$target.log
  start=$(date +%s)
  fuzz_run "$target" "$log" -runs="$goal" -max_total_time="$seconds"
  rc=$?
  runs=$(fuzz_executions "$log")
  features=$(grep -o "ft: [0-9]*" "$log" | tail -1)
  line="$target: ${runs:-?} executions (goal $goal) in $(($(date +%s) - start)) s, ${features:-ft: ?}, exit $rc"
  [ $rc -eq 0 ] || { status=1; line="$line, $(grep -o 'Test unit written to .*' "$log" | head -1)"; }
  echo "$line" | tee -a "$summary"
done
exit $status
