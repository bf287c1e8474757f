#!/usr/bin/env bash
# Builds and runs the free-hand tracing benchmark: one 600-point stroke at
# pen size 20 across a font's canvas, time and peak heap of one trace.
# Arguments go to the benchmark binary (for example --benchmark_repetitions=5).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_BENCH=ON \
  -DTAVREL_TESTS=OFF >/dev/null
cmake --build build-bench -j2 --target tavrel_free_trace_bench
exec build-bench/bench/tavrel_free_trace_bench --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 "$@"
