#include "stg_src/field/screen_shake.h"

#include "runtime/platform/core/random.h"

#include "stg_src/game/deterministic.h"

ScreenShakeRecord ScreenShake;

namespace {

constexpr int kSpreadSteps = 10000;

}  // namespace

void StartScreenShake(int16_t duration) {
  ScreenShake.active = 1;
  ScreenShake.frame = 0;
  ScreenShake.duration = duration;
}

double RandomSpread(double x) {
  const int r = GetRandomRange(kSpreadSteps);
  return r * (2 * x) / kSpreadSteps - x;
}

void ResetScreenShake() { ScreenShake = {}; }

void DigestScreenShake(StateDigest& d, DigestScope scope) {
  DigestValue(d, ScreenShake.active);
  DigestValue(d, ScreenShake.frame);
  DigestValue(d, ScreenShake.duration);
  DigestValue(d, ScreenShake.amplitude);
  if (scope == DigestScope::Run) return;
  DigestValue(d, ScreenShake.offsetX);
  DigestValue(d, ScreenShake.offsetY);
}
