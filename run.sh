#!/usr/bin/env bash
# Builds the game (release), makes its data kit when it is missing or from an older generator,
# and starts the game with the kit folder as its working folder.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELVANOR_TESTS=OFF -DKELVANOR_BENCH=OFF >/dev/null
cmake --build "$build"

# The kit folder holds the game's data and the player's files (options, scores, replays,
# screenshots); it is git-ignored and kept across rebuilds. A new generator version rewrites
# data/ only.
kit=kit
want=$("$build/make_game_data" --version)
have=$(cat "$kit/kit-version" 2>/dev/null || true)
if [ "$want" != "$have" ]; then
  "$build/make_game_data" "$kit"
fi

root=$(pwd)
cd "$kit"
exec "$root/$build/kelvanor" "$@"
