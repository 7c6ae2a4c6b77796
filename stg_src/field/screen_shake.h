// The screen shake: the record that the per-frame shake step ramps and that offsets all world
// drawing, the call that starts a shake, and the random spread its offsets are drawn with.
// The offsets come from the runtime's clock-seeded generator, so they touch drawing only and
// stay out of the run's digest. ResetScreenShake puts the record back to its value at program
// start; DigestScreenShake sums it.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

struct ScreenShakeRecord {
  int32_t active;  // 1 while shaking
  int32_t frame;   // updates since the start
  int32_t duration;
  int32_t amplitude;  // rises while shaking, falls after
  int32_t offsetX;    // added to world drawing
  int32_t offsetY;
};

extern ScreenShakeRecord ScreenShake;

// Active, from frame 0, for duration frames; the amplitude carries on from where it is.
void StartScreenShake(int16_t duration);

// A real in -x .. +x from one GetRandomRange(10000) draw of the runtime's generator. Drawing only:
// that generator is seeded from the clock.
double RandomSpread(double x);

void ResetScreenShake();
void DigestScreenShake(StateDigest& digest, DigestScope scope);
