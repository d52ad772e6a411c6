#!/usr/bin/env bash
# Sets up the machine, builds every preset and runs every test:
#   native  the whole suite on Linux
#   asan    the same under AddressSanitizer and UndefinedBehaviorSanitizer
#           (clang; the same build holds the fuzz targets)
#   tsan    under ThreadSanitizer, the programs of the code that runs
#           threads: the utility library's, the library's object, the
#           firmware acquisition, and the fleet view's replays side by side
#           (bench.FleetScaleRuns runs it on 300 machines)
#   win64   the whole suite as 64-bit Windows programs under Wine
#   win32   the product build (PE32): format, export and XP/2003 import
#           checks, and where this host can run 32-bit code the whole suite
#           twice: in a 32-bit prefix and in a 64-bit one (WoW64); where it
#           cannot, the suite's programs are not built
#   lint    clang-format and clang-tidy (scripts/lint.sh)
#   bundles a bundle made by each Windows build under Wine, replayed by the
#           native inspector (scripts/check-bundles.sh)
#   fuzz    each libFuzzer target of the asan build for QUARN_FUZZ_SECONDS
#           (default 20; the long runs are scripts/fuzz-campaign.sh's)
set -uo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
# Each step's time, printed at the end: where a slow run spent it.
times=""
mark=$start
step_done() {  # step_done NAME: the time since the last mark
  local now
  now=$(date +%s)
  times="$times $1 $((now - mark)) s,"
  mark=$now
}
scripts/setup-debian.sh || exit 1
step_done set-up
tsan_programs=util_tests,config_tests,hwinfo_tests,quarn_fleet_scale,quarn_worstcase
tsan_labels='^(util_tests|config_tests|hwinfo_tests|bench)$'
for preset in native asan tsan win64 win32; do
  if [ "$preset" = tsan ]; then
    scripts/build.sh "tsan=$tsan_programs" || exit 1
  else
    scripts/build.sh "$preset" || exit 1
  fi
  step_done "build-$preset"
done

passed=0 failed=0
run_ctest() {  # run_ctest PRESET [CTEST ARGUMENTS...]
  local log=build/$1/ctest.log
  echo "== test $1"
  ctest --preset "$@" >"$log" 2>&1
  local rc=$?
  grep -E "tests passed|Failed|\*\*\*|Not Run|Timeout" "$log" | grep -v "^ *[0-9]*/[0-9]* Test.*Passed" || true
  local total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log")
  local bad=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log")
  [ -n "$total" ] || { cat "$log"; total=1; bad=1; }
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  [ $rc -eq 0 ] || tail -40 "$log"
}

echo "== lint"
if scripts/lint.sh >build/lint.log 2>&1; then
  tail -1 build/lint.log
  passed=$((passed + 1))
else
  grep -E "error:|warning:|lint:" build/lint.log | head -40
  failed=$((failed + 1))
fi
step_done lint

for preset in native asan tsan win64 win32; do
  if [ "$preset" = tsan ]; then
    run_ctest tsan -L "$tsan_labels"
  else
    run_ctest "$preset"
  fi
  step_done "test-$preset"
done
if [ ! -x build/win32/wine-run.sh ]; then
  echo "   win32: only the format, export, import and package checks ran; this host does not run 32-bit programs"
elif grep -q "QUARN_WINE_WOW64:INTERNAL=ON" build/win32/CMakeCache.txt 2>/dev/null; then
  echo "   win32: the suite ran in a 32-bit prefix and in a 64-bit prefix (WoW64)"
else
  echo "   win32: the suite ran in a 32-bit prefix only (no 64-bit Wine for WoW64)"
fi
echo "== bundles made under Wine, replayed natively"
if scripts/check-bundles.sh >build/bundles.log 2>&1; then
  cat build/bundles.log
  passed=$((passed + $(grep -c ": ok" build/bundles.log)))
else
  cat build/bundles.log
  failed=$((failed + 1))
fi
for preset in win64 win32; do
  [ -x "build/$preset/wine-run.sh" ] && "build/$preset/wine-run.sh" --stop
done
[ -x build/win32/wine-run.sh ] && QUARN_WINE_PREFIX_KIND=wow64 build/win32/wine-run.sh --stop 2>/dev/null
step_done bundles

echo "== fuzz"
fuzz_log=build/fuzz-run.log
mkdir -p build
if QUARN_FUZZ_PRESET=asan scripts/fuzz.sh "${QUARN_FUZZ_SECONDS:-20}" >"$fuzz_log" 2>&1; then
  grep "^fuzz " "$fuzz_log"
  passed=$((passed + $(grep -c "^fuzz .*exit 0$" "$fuzz_log")))
else
  tail -40 "$fuzz_log"
  failed=$((failed + 1))
fi

step_done fuzz
echo "== $(( $(date +%s) - start )) s in all:${times%,}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
