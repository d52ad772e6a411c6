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
#           checks, and the whole suite: where this host runs 32-bit code,
#           twice, in a 32-bit prefix and in a 64-bit one (WoW64); where it
#           refuses it, under user-mode emulation (../shared/tools/
#           wine32-on-qemu, set up into build/wine32-on-qemu) in its WoW64
#           prefix, once in code page 1252 and once in 932, the tests that
#           start threads not run (listed; the other builds run them).
#           QUARN_EMULATE_32BIT=1 takes the emulated way on any host.
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
# 32-bit Wine natively where the kernel runs 32-bit code, else under
# emulation: its set-up (packages, a WoW64 prefix) runs beside the first
# builds, and the win32 build, the last, waits for it.
emulation=../shared/tools/wine32-on-qemu
wine32=native
export QUARN_WINE32_RUNNER=""
if [ -n "${QUARN_EMULATE_32BIT:-}" ] || ! timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if [ -f "$emulation/setup.sh" ]; then
    wine32=emulated
    mkdir -p build
    (
      begun=$(date +%s)
      sh "$emulation/setup.sh" build/wine32-on-qemu >build/wine32-on-qemu.log 2>&1
      echo "rc $? in $(($(date +%s) - begun)) s" >>build/wine32-on-qemu.log
    ) &
    emulation_setup=$!
  else
    wine32=absent
    echo "note: this host refuses 32-bit code and $emulation is absent: the PE32 build is built and audited, its suite not run"
  fi
fi
tsan_programs=util_tests,config_tests,hwinfo_tests,quarn_fleet_scale,quarn_worstcase
tsan_labels='^(util_tests|config_tests|hwinfo_tests|bench)$'
for preset in native asan tsan win64 win32; do
  if [ "$preset" = win32 ] && [ "$wine32" = emulated ]; then
    wait "$emulation_setup"
    tail -1 build/wine32-on-qemu.log
    if [ -x build/wine32-on-qemu/run32.sh ]; then
      QUARN_WINE32_RUNNER=$PWD/build/wine32-on-qemu/run32.sh
    else
      tail -20 build/wine32-on-qemu.log
      wine32=absent
    fi
    step_done wine32-setup-wait
    times="$times wine32-setup $(sed -n 's/^rc [0-9]* in \([0-9]*\) s$/\1/p' build/wine32-on-qemu.log) s (beside the builds),"
  fi
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

for preset in native asan tsan win64; do
  if [ "$preset" = tsan ]; then
    run_ctest tsan -L "$tsan_labels"
  else
    run_ctest "$preset"
  fi
  step_done "test-$preset"
done
# The PE32 suite: its counts are also given apart. Under emulation it runs
# once in each code page (Wine takes its ANSI code page from the locale;
# the suite's build makes the locales), the host-side audits in the first.
pe32_passed=$passed pe32_failed=$failed
rm -f build/win32/ctest-cp*.log
if [ "$wine32" = emulated ] && [ -x build/win32/wine-run.sh ]; then
  for case in "1252 de_DE" "932 ja_JP"; do
    read -r code_page language <<<"$case"
    audits=()
    [ "$code_page" = 1252 ] || audits=(-LE '^(exports|imports|package)$')
    # Four at a time: under emulation a test waits more than it computes.
    LOCPATH=$PWD/build/win32/locales LC_ALL=$language.UTF-8 run_ctest win32 -j4 "${audits[@]}"
    cp build/win32/ctest.log "build/win32/ctest-cp$code_page.log"
    step_done "test-win32-cp$code_page"
  done
else
  run_ctest win32
  step_done test-win32
fi
pe32_passed=$((passed - pe32_passed)) pe32_failed=$((failed - pe32_failed))
# What ctest did not run under emulation (disabled: they start threads).
pe32_not_run=$(cat build/win32/ctest-cp*.log 2>/dev/null | grep -c "Not Run (Disabled)" || true)
if [ "$wine32" = absent ] || [ ! -x build/win32/wine-run.sh ]; then
  echo "   win32: only the format, export, import and package checks ran; this host does not run 32-bit programs"
elif [ "$wine32" = emulated ]; then
  echo "   win32: the suite ran under emulation in the WoW64 prefix, in code pages 1252 and 932;"
  echo "   not run there, $pe32_not_run runs of the tests that start threads (32-bit Wine under qemu crashes"
  echo "   or loses its server in a program that starts one; the win64 and native builds ran them):"
  sed -n '/The following tests did not run/,/^$/p' build/win32/ctest-cp1252.log | grep "(Disabled)" |
    sed 's/^[[:space:]]*[0-9]* - /     /; s/ (Disabled)$//'
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
if [ "$wine32" = emulated ]; then
  echo "PE32 suite (32-bit Wine under emulation, code pages 1252 and 932): $pe32_passed passed, $pe32_failed failed, $pe32_not_run not run under emulation"
else
  echo "PE32 suite: $pe32_passed passed, $pe32_failed failed"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
