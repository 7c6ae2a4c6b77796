#!/usr/bin/env bash
# Builds the game (release) and starts it from the repository folder.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANOR_TESTS=OFF -DKELVANOR_BENCH=OFF >/dev/null
cmake --build "$build"

if [ ! -x "$build/kelvanor" ]; then
  echo "run.sh: the runtime library is built; the game itself is not written yet, so there is nothing to start."
  exit 0
fi
exec "$build/kelvanor" "$@"
