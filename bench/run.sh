#!/usr/bin/env bash
# Builds and runs the micro-benchmarks of the font model on real fonts, then
# prints the in-process ratios. Arguments go to the benchmark binary (for
# example --benchmark_filter=HanaMinB or --benchmark_min_time=0.1).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_BENCH=ON \
  -DTAVREL_TESTS=OFF >/dev/null
cmake --build build-bench -j2 --target tavrel_bench
# Five repetitions in random order, so that a slow spell of a shared machine
# is spread over every benchmark instead of falling on one; the report takes
# the median of each.
build-bench/bench/tavrel_bench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.2 --benchmark_out=build-bench/micro.json \
  --benchmark_out_format=json "$@"
exec /usr/bin/python3 bench/micro_ratios.py build-bench/micro.json --markdown build-bench/micro.md
