#!/usr/bin/env bash
# bench.sh [--callgrind] [BENCHMARK ARGS...]: builds the native preset and
# runs the benchmarks.
#   (default)     Google Benchmark, five repetitions each: the table, each
#                 figure as a ratio of medians to its floor, then the getters
#                 side by side with their floors (one median ratio with its
#                 10th-90th percentiles per repetition); then the BIOS UUID
#                 of every corpus table against its floor and against
#                 dmidecode; then the inspector, one process per section;
#                 then the worst case of a settings file.
#   --callgrind   the getters and their floors counted in instructions under
#                 valgrind's callgrind (deterministic on a noisy machine).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh native

if [ "${1:-}" = --callgrind ]; then
  command -v valgrind >/dev/null || { echo "bench.sh: valgrind is needed (apt-get install valgrind)" >&2; exit 1; }
  out=$(mktemp -d)
  valgrind --tool=callgrind --callgrind-out-file="$out/cg.%p" build/native/bin/quarn_bench_instructions >"$out/log" 2>&1 ||
    { cat "$out/log"; exit 1; }
  calls=$(grep -o '^[0-9]* calls per loop' "$out/log" | cut -d' ' -f1)
  # Each dump is named "getter:NAME", "floor:NAME" or "inlined:NAME".
  for f in "$out"/cg.*.*; do
    name=$(sed -n 's/^desc: Trigger: Client Request: //p' "$f")
    total=$(sed -n 's/^summary: //p' "$f")
    echo "$name $total"
  done | awk -v calls="$calls" '
    { split($1, part, ":"); ir[part[2], part[1]] = $2 / calls; names[part[2]] = 1 }
    END {
      printf "%-16s %12s %12s %8s %12s %8s  %s\n", "instructions", "getter", "floor", "ratio", "inlined", "ratio", "target 1.1x"
      for (n in names) {
        g = ir[n, "getter"]; f = ir[n, "floor"]; i = ir[n, "inlined"]
        printf "%-16s %12.1f %12.1f %8.3f %12.1f %8.3f  %s\n", n, g, f, g / f, i, g / i, (g / f <= 1.1 ? "" : "MISSED")
      }
    }'
  rm -rf "$out"
  exit 0
fi

build/native/bin/quarn_bench --benchmark_repetitions=5 --benchmark_min_time=0.5 \
  --benchmark_report_aggregates_only=true "$@"
# The BIOS UUID of the shared corpus's tables against its floor and against
# a dmidecode process (Debian's dmidecode, installed here when missing).
if ! command -v dmidecode >/dev/null && ! [ -x /usr/sbin/dmidecode ]; then
  if [ "$(id -u)" = 0 ]; then apt-get install -y -q dmidecode >/dev/null; else sudo apt-get install -y -q dmidecode >/dev/null; fi
fi
PATH=$PATH:/usr/sbin build/native/bin/quarn_firmware_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
# The inspector, one process per question: what --section spares.
build/native/bin/quarncfg_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
# The worst case of a settings file: every adversarial shape at the size
# limit beside a plain file (docs/performance.md, "The worst case"). The
# Windows build measures the same under Wine:
#   build/win64/wine-run.sh build/win64/bin/quarn_worstcase.exe
build/native/bin/quarn_worstcase
