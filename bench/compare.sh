#!/usr/bin/env bash
# Builds the benchmark programs and times tavrel's round trip and glyph
# decoding as whole processes against the I/O floor, fontTools and FreeType.
# Arguments go to bench/compare.py (for example --fonts DejaVuSans --runs 5
# or --markdown figures.md).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_BENCH=ON \
  -DTAVREL_TESTS=OFF >/dev/null
cmake --build build-bench -j2 --target io_floor freetype_glyphs tavrel_fontcli
exec /usr/bin/python3 bench/compare.py --bin build-bench/bench "$@"
