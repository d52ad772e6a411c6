#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the libFuzzer targets (preset "fuzz", clang with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for SECONDS
# (default 60). Seeds: fuzz/seeds and, read in place where present, the
# shared SMBIOS dumps. New inputs are kept in build/fuzz/corpus/TARGET.
# A longer run: scripts/fuzz.sh 3600
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/build.sh fuzz || exit 1

shared=../shared/testdata/smbios
[ -d "$shared" ] || { echo "fuzz: no shared SMBIOS dumps at $shared; the committed seeds only"; shared=""; }

status=0
for target in TableWalk EntryPoint FirmwareBlock ReadConfig; do
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  case $target in
    ReadConfig) seeds=(fuzz/seeds/ini scripts/sample) ;;
    *) seeds=(fuzz/seeds/table ${shared:+"$shared"}) ;;
  esac
  log=build/fuzz/$target.log
  build/fuzz/bin/fuzz_$target -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 -artifact_prefix=build/fuzz/ "$corpus" "${seeds[@]}" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz $target: ${runs:-?} executions in ${seconds} s, exit $rc"
  if [ $rc -ne 0 ]; then
    status=1
    grep -E "ERROR|SUMMARY|artifact|Test unit written" "$log" | head -20
  fi
done
exit $status
