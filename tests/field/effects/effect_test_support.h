// Helpers of the effect tests: a copy of the game's generator for reference sequences, the
// number of draws between two generator states, and running the effect pool until a slot is
// freed.
#pragma once

#include <cstdint>

// The game's generator from a given state, drawn independently of the game's own.
struct ReferenceLcg {
  uint32_t state;
  int Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
};

// How many draws lead from state `from` to state `to`; -1 past `limit`.
int DrawsBetween(uint32_t from, uint32_t to, int limit = 100000);

// Updates of the effect pool until the slot is free, counting the update that freed it; -1
// when it still lives after `limit` updates.
int UpdatesUntilFreed(int slot, int limit = 1000);
