#include "stg_src/field/lcg_random.h"

#include "stg_src/game/deterministic.h"

uint32_t LcgRandomState = 1;

int LcgRandom() {
  LcgRandomState = LcgRandomState * 214013u + 2531011u;
  return static_cast<int>((LcgRandomState >> 16) & 0x7FFF);
}

void SeedLcgRandom(uint32_t seed) { LcgRandomState = seed; }

void ResetLcgRandom() { LcgRandomState = 1; }

void DigestLcgRandom(StateDigest& d, DigestScope) { DigestValue(d, LcgRandomState); }
