#!/usr/bin/env bash
# Sets up, builds and starts the editor. Arguments are passed on (font files).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
if [ ! -x build/src/app/tavrel ]; then
  echo "tavrel: the application shell is not built yet; only the font model and its tests exist." >&2
  exit 1
fi
exec build/src/app/tavrel "$@"
