// The game's own random generator: every random decision that changes the game state draws from
// it, so a replay of the inputs alone rebuilds the same play.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

// 1 when the program starts; the stage start reseeds it on stages 1 and 7 only.
extern uint32_t LcgRandomState;

// state = state x 214013 + 2531011 (mod 2^32); the draw is bits 16..30 of the new state, 0..32767.
int LcgRandom();
void SeedLcgRandom(uint32_t seed);

// The state back to 1, as at program start; its digest.
void ResetLcgRandom();
void DigestLcgRandom(StateDigest& digest, DigestScope scope);
