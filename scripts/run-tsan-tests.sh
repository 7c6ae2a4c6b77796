#!/usr/bin/env bash
# Builds the tests of the code that shares memory between its own threads (the movie decoders
# and the filter graph's MP3 decoding) with ThreadSanitizer and runs them. ./test.sh runs it after the main tests.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/tsan
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVANOR_TSAN=ON -DKELVANOR_BENCH=OFF \
  >/dev/null
cmake --build "$build" --target test_movie
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
