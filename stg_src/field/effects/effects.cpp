#include "stg_src/field/effects/effects.h"

#include <cstring>

#include "runtime/platform/core/arithmetic_helpers.h"

#include "stg_src/field/angles.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_shake.h"

#include "stg_src/game/deterministic.h"

Effect Effects[kEffectSlots];
double EffectDriftX;

namespace {

constexpr int kFrameWrap = 65535;
constexpr int kDefaultMargin = 60;
// Frames after spawn before a fading loop starts to fade, and its fade a frame, with the extra
// once its speed is spent.
constexpr int kFadeStartFrame = 16;
constexpr int kFadePerFrame = 3;
constexpr int kStoppedFadePerFrame = 16;
// The shake's amplitude rises by 2 a frame up to 8 while it shakes and falls by 1 after.
constexpr int kShakeAmplitudeMax = 8;
constexpr int kShakeAmplitudeRise = 2;

void VelocityFromMotion(Effect& e) {
  const int a = WrapAngle(e.motionAngle);
  e.vx = e.speed * CosineTable[a];
  e.vy = e.speed * SineTable[a];
}

void Move(Effect& e) {
  e.x += e.vx;
  e.y += e.vy;
}

}  // namespace

void InitEffectSlot(int slot) {
  Effect& e = Effects[slot];
  e.state = 1;
  e.frame = 0;
  e.animFrame = 0;
  e.stopCounter = 0;
  e.firstPeriod = 0;
  e.blendMode = kEffectBlendOpaque;
  e.blendValue = 255;
  e.scale = 1.0;
  e.motionAngle = 0;
}

int FindFreeEffectSlot() {
  for (int i = 0; i < kEffectSlots; ++i) {
    if (Effects[i].state == 0) return i;
  }
  return -1;
}

int16_t SpawnEffect(int type, double x, double y, int16_t rotation, int16_t motionAngle,
                    double speed) {
  const bool fading = type >= kFadingEffectBase;
  const int effectType = fading ? type - kFadingEffectBase : type;
  // A type past the behaviour table would run and draw from beyond its end.
  if (effectType < 0 || effectType >= kEffectTypes) return -1;
  int slot = FindFreeEffectSlot();
  if (slot < 0 && type == kBossDeathFlashEffect) slot = kEffectSlots - 1;
  if (slot < 0) return -1;

  InitEffectSlot(slot);
  Effect& e = Effects[slot];
  e.fading = fading ? 1 : 0;
  e.type = effectType;
  e.x = x;
  e.y = y;
  e.rotation = rotation;
  e.motionAngle = motionAngle;
  e.speed = speed;
  VelocityFromMotion(e);
  e.growth = 0;
  e.fadeStep = fading ? speed / 32 : 0;
  e.margin = kDefaultMargin;
  return static_cast<int16_t>(slot);
}

int16_t SpawnFadingEffect(int type, double x, double y, int16_t rotation, int16_t motionAngle,
                          double speed) {
  return SpawnEffect(type + kFadingEffectBase, x, y, rotation, motionAngle, speed);
}

void UpdateEffects() {
  for (int i = 0; i < kEffectSlots; ++i) {
    Effect& e = Effects[i];
    if (e.state <= 0) continue;
    e.frame = (e.frame + 1) % kFrameWrap;
    EffectHandlers[e.type](static_cast<int16_t>(i));
    // A type without behaviour never leaves its set-up state and would hold the slot for ever.
    if (e.state == 1) e.state = 0;
    DriftEffectWithScroll(i);
  }
}

void UpdateScreenShake() {
  ScreenShakeRecord& s = ScreenShake;
  if (s.active == 0) {
    if (s.amplitude > 0) s.amplitude -= 1;
    return;
  }
  if (s.amplitude < kShakeAmplitudeMax) s.amplitude += kShakeAmplitudeRise;
  s.offsetX = DoubleToInt(RandomSpread(s.amplitude));
  s.offsetY = DoubleToInt(RandomSpread(s.amplitude));
  s.frame += 1;
  if (s.frame > s.duration) {
    s.active = 0;
    s.offsetX = 0;
    s.offsetY = 0;
  }
}

void UpdateEffectsAndShake() {
  UpdateEffects();
  UpdateScreenShake();
}

void DriftEffectWithScroll(int slot) { Effects[slot].x += ScrollDeltaX + EffectDriftX; }

void AnimateEffect(int slot, int n, int m) {
  Effect& e = Effects[slot];
  if (e.frame % n == 0) e.animFrame += 1;
  if (e.animFrame >= m) e.state = 0;
  Move(e);
}

void AnimateSparkEffect(int slot, int n, int m, int first) {
  Effect& e = Effects[slot];
  if (e.frame % SparkStepPeriod(e.animFrame, n, first) == 0) {
    e.animFrame += 1;
    e.frame = 0;
  }
  if (e.animFrame >= m) e.state = 0;
  Move(e);
  if (e.fading == 0) return;
  VelocityFromMotion(e);
  e.speed -= e.fadeStep;
  if (e.speed <= 0) {
    e.speed = 0;
    e.stopCounter = 1;
  }
}

void AnimateFadingLoopEffect(int slot, int n, int m) {
  Effect& e = Effects[slot];
  if (e.frame % n == 0) {
    e.animFrame += 1;
    if (e.animFrame >= m) e.animFrame = 0;
  }
  if (e.frame > kFadeStartFrame) {
    e.blendValue -= kFadePerFrame;
    if (e.speed <= 0) e.blendValue -= kStoppedFadePerFrame;
    if (e.blendValue <= 0) {
      e.blendValue = 0;
      e.state = 0;
    }
  }
  Move(e);
  VelocityFromMotion(e);
  e.speed -= e.fadeStep;
  if (e.speed < 0) e.speed = 0;
}

int SparkStepPeriod(int animFrame, int n, int first) {
  if (animFrame <= 1) return first;
  return n - (animFrame >= 7 ? 1 : 0) - (animFrame >= 11 ? 1 : 0);
}

void ResetEffects() {
  std::memset(Effects, 0, sizeof(Effects));
  EffectDriftX = 0;
}

// A free slot's other members are never read again: the spawn writes every one of them.
void DigestEffects(StateDigest& d, DigestScope) {
  DigestValue(d, EffectDriftX);
  for (const Effect& e : Effects) {
    DigestValue(d, e.state);
    if (e.state == 0) continue;
    DigestValue(d, e.frame);
    DigestValue(d, e.type);
    DigestValue(d, e.animFrame);
    DigestValue(d, e.stopCounter);
    DigestValue(d, e.firstPeriod);
    DigestValue(d, e.rotation);
    DigestValue(d, e.motionAngle);
    DigestValue(d, e.x);
    DigestValue(d, e.y);
    DigestValue(d, e.speed);
    DigestValue(d, e.vx);
    DigestValue(d, e.vy);
    DigestValue(d, e.growth);
    DigestValue(d, e.blendMode);
    DigestValue(d, e.blendValue);
    DigestValue(d, e.scale);
    DigestValue(d, e.fadeStep);
    DigestValue(d, e.fading);
    DigestValue(d, e.margin);
  }
}
