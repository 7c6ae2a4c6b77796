#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
./scripts/check-format.sh
./scripts/check-layering.sh

# Warnings in our code fail the build.
build=build/sanitize
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVANOR_SANITIZE=ON \
  -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$build"

# Every test program sets its own environment (headless drivers, sanitizer options).
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

# The movie decoder's threads under ThreadSanitizer.
./scripts/run-tsan-tests.sh
