#!/usr/bin/env bash
# bench.sh: builds the native preset and runs the benchmarks, five
# repetitions each; prints Google Benchmark's table, then each figure as a
# ratio to its floor (medians), with its target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh native
build/native/bin/quarn_bench --benchmark_repetitions=5 --benchmark_min_time=0.5 \
  --benchmark_report_aggregates_only=true "$@"
# The inspector, one process per question: what --section spares.
build/native/bin/quarncfg_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
