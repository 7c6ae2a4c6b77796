#!/usr/bin/env bash
# Builds the game (release), makes or repairs its data kit, and starts the game with the kit
# folder as its working folder.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANOR_TESTS=OFF -DKELVANOR_BENCH=OFF >/dev/null
cmake --build "$build"

# The kit folder holds the game's data and the player's files (options, scores, replays,
# screenshots); it is git-ignored and kept across rebuilds. Every start checks the data against
# the kit's manifest and rewrites what is missing or changed (all of it for a new generator
# version); the player's files are never touched.
kit=kit
"$build/make_game_data" --check "$kit"

root=$(pwd)
cd "$kit"
exec "$root/$build/kelvanor" "$@"
