// The runtime's random generator: the Mersenne Twister MT19937 with the 1998 seeding.
// Window creation seeds it from the millisecond clock; the play field draws from it through
// GetRandomRange (screen shake only, so it never touches the game state or replays).
#pragma once

#include <cstdint>

constexpr int kRandomStateWords = 624;

struct RandomGenerator {
  uint32_t state[kRandomStateWords];
  uint32_t output[kRandomStateWords];  // tempered outputs of the current block
  int index;                           // next output; kRandomStateWords = block used up
  int seeded;
  int mmx;  // blocks are generated two words at a time (same results)
};

// Starts out exhausted and unseeded: the first draw seeds with 4357.
extern RandomGenerator RandomState;

void SeedRandom(uint32_t seed);
uint32_t NextRandom();
// 0..max, as floor(draw * (max + 1) / 2^32).
int GetRandomRange(int max);

// The MT19937 step over the whole state, then tempering into the output block.
void GenerateRandomBlock();
void GenerateRandomBlockMmx();
