#!/usr/bin/env bash
# Runs the whole benchmark suite and prints its markdown report on stdout:
# the C++ stages (Google Benchmark, own Release build in build/bench), the
# Python parse end to end, size scaling, import time and peak memory.
# Progress goes to stderr; the raw figures stay in build/bench/results.
# About ten minutes on a two-core machine.
#
#   bash scripts/bench.sh > report.md
#   BENCH_QUICK=1 bash scripts/bench.sh     # scaling up to 1 MiB, short runs
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >&2
VENV=${BIDSIFT_VENV:-.venv}
PY="$PWD/$VENV/bin/python"
export PATH="$PWD/$VENV/bin:$PATH"
RESULTS=build/bench/results
mkdir -p "$RESULTS"

echo "== building the C++ benchmark" >&2
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBIDSIFT_BENCH=ON \
  -DBIDSIFT_PYTHON=OFF >&2
cmake --build build/bench --target stages_benchmark >&2

if [ -n "${BENCH_QUICK:-}" ]; then
  REPS=3 MIN_TIME=0.05 PARSE_REPS=7 SCALING_ARGS=--quick
else
  REPS=5 MIN_TIME=0.2 PARSE_REPS=25 SCALING_ARGS=
fi

echo "== C++ stages" >&2
build/bench/bench/stages_benchmark --benchmark_repetitions="$REPS" \
  --benchmark_min_time="$MIN_TIME" --benchmark_report_aggregates_only=true \
  --benchmark_out="$RESULTS/stages.json" --benchmark_out_format=json >&2

echo "== Python parse end to end" >&2
"$PY" bench/bench_parse.py --repetitions "$PARSE_REPS" --json "$RESULTS/parse.json" >/dev/null

echo "== scaling, import time, memory" >&2
"$PY" bench/scaling.py $SCALING_ARGS --json "$RESULTS/scaling.json" >/dev/null

"$PY" bench/report.py "$RESULTS"
