// The player shots that stay where they were set off or ride with the ship: the rolling orbs and
// their wave shots, the blasts the napalms and the homing bomb turn into, the wave, the bomb and
// the shield's burst. None of them stops on a hit; each frees its own slot.
#include <algorithm>

#include "runtime/platform/core/arithmetic_helpers.h"
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/player_shot_behaviours.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/weapon_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kFired = 1;
constexpr int32_t kLive = 2;
constexpr int16_t kNoFlashAge = 100;
constexpr int16_t kBlastRemovalMargin = 1600;

// The set-up every blast shares: it never stops on a hit, stands still, draws additively from
// the first image row and is not removed off screen.
void SetUpBlast(PlayerShot& s, int16_t radius, int32_t damage) {
  s.stopsOnHit = 0;
  s.speed = 0;
  s.hitSize[0] = radius;
  s.damage = damage;
  s.imageLevel = 0;
  s.additive = 1;
  s.removalMargin = kBlastRemovalMargin;
}

void Free(PlayerShot& s) { s.state = 0; }

}  // namespace

void UpdateNapalmBombShot(int16_t slot) {
  PlayerShot& s = PlayerShots[slot];
  s.age = kNoFlashAge;
  const int n = ShotLevelIndex(s);
  if (s.state == kFired) {
    // 12 / 14 / 16 stretched by 4/3, like the napalm's cooldowns.
    constexpr int32_t kDamages[3] = {16, 18, 21};
    SetUpBlast(s, 50, kDamages[n]);
    s.drawMargin = 84;
  }
  s.state = kLive;
  if (s.frame % 4 == 0) {
    constexpr int32_t kSecondDamages[3] = {6, 7, 8};
    s.anim += 1;
    if (s.anim == 2) s.damage = kSecondDamages[n];
    if (s.anim == 3) s.damage = 1;
  }
  constexpr double kGrowth[3] = {0.08, 0.11, 0.14};
  constexpr double kFullScale[3] = {0.8, 1.1, 1.4};
  if (s.scale < kFullScale[n]) s.scale += kGrowth[n];
  RideScroll(s);
  s.hitSize[0] = HitValue(s.scale * 50);
  if (s.anim > 3) Free(s);
  HitAtShot(s);
}

void UpdateRollingShot(int16_t slot) {
  constexpr double kOrbitRadius = 108;
  constexpr int16_t kFadeStep = 32;
  constexpr int16_t kHarmlessBelow = 128;
  constexpr int16_t kRollingWeapon = 5;
  PlayerShot& s = PlayerShots[slot];
  s.age = kNoFlashAge;
  if (s.state == kFired) {
    s.state = kLive;
    s.stopsOnHit = 0;
    s.hitSize[0] = 8;
    s.speed = 15;
    s.additive = 1;
    s.alpha = 0;
    s.anim = 0;
    s.counterA = s.counterB = s.counterC = 0;
    s.angle = 0;  // heading keeps the orbit angle it was fired with
    s.workA = s.workB = 0;
    s.removalMargin = kBlastRemovalMargin;
    s.drawMargin = 12;
  }
  if (s.state != kLive) return;
  s.damage = s.alpha < kHarmlessBelow || IsOffScreen(s.x, s.y, 16, false) ? 0 : 1;
  const int orbit = WrapAngle(s.heading);
  s.baseOffsetX = CosineTable[orbit] * kOrbitRadius;
  s.baseOffsetY = SineTable[orbit] * kOrbitRadius;
  if (s.counterA == 0) {
    s.alpha = ApproachInt(s.alpha, kFadeStep, 255);
  } else {
    s.alpha = ApproachInt(s.alpha, kFadeStep, 0);
    if (s.alpha == 0) {
      Free(s);
      return;
    }
  }
  s.heading = static_cast<int16_t>(WrapAngle(s.heading + 16));
  // The orbs fade out once the rolling is no longer what fires: another sub weapon or band,
  // SHOT released, or the ship not firing at all.
  const int16_t sub = ActiveSubWeapon();
  const WeaponEntry w = ActiveSubWeaponEntry();
  if (sub != kRollingWeapon || w.level == nullptr || WeaponBand(*w.level) != s.level ||
      FireHoldLatch == 0 || GameFrame < 2 || DeathTimer > 0)
    s.counterA = 1;
  s.x = PlayerX + s.baseOffsetX;
  s.y = PlayerY + s.baseOffsetY;
  if (s.frame % 3 == 0) s.anim = static_cast<int16_t>((s.anim + 1) % 6);
  HitAtShot(s);
  s.angle = 0;
}

void UpdateNapalmSubBombShot(int16_t slot) {
  PlayerShot& s = PlayerShots[slot];
  s.age = kNoFlashAge;
  if (s.state == kFired) {
    s.state = kLive;
    SetUpBlast(s, 60, 11);
    s.scale = 0.5;
    s.drawMargin = 32;
  }
  if (s.frame % 3 == 0) {
    s.anim += 1;
    if (s.anim == 2 || s.anim == 3) s.damage -= 3;
  }
  s.damage = std::max(s.damage, 3);
  if (s.scale < 1.0) s.scale += 0.1;
  s.hitSize[0] = HitValue(s.scale * 60);
  if (s.anim > 3) Free(s);
  HitAtShot(s);
  RideScroll(s);
}

void UpdateHomingBombBlast(int16_t slot) {
  constexpr int16_t kBlastSound = 11;
  PlayerShot& s = PlayerShots[slot];
  s.age = kNoFlashAge;
  const int n = ShotLevelIndex(s);
  if (s.state == kFired) {
    constexpr int16_t kDrawMargins[3] = {76, 102, 128};
    s.state = kLive;
    SetUpBlast(s, 112, 44);
    s.scale = 0.1;
    s.drawMargin = kDrawMargins[n];
    RequestSoundEffect(kBlastSound);
  }
  if (s.frame % 3 == 0) {
    s.anim += 1;
    s.damage = std::max(s.damage - 4, 0);
  }
  if (s.scale < 0.6 + 0.2 * n) s.scale += 0.06 + 0.02 * n;
  s.hitSize[0] = HitValue(s.scale * 112);
  if (s.anim > 7) Free(s);
  HitAtShot(s);
  RideScroll(s);
}

void UpdateWaveShot(int16_t slot) {
  constexpr int kEntries = kPlayerShotHitEntries;
  PlayerShot& s = PlayerShots[slot];
  s.age = kNoFlashAge;
  const int n = ShotLevelIndex(s);
  if (s.state == kFired) {
    constexpr int16_t kDrawMargins[3] = {96, 240, 200};
    s.state = kLive;
    SetUpBlast(s, 2, 18);
    s.removalMargin = 64;
    std::fill(s.hitSize, s.hitSize + kEntries, int16_t{2});
    s.hitCount = kEntries;
    s.alpha = 255;
    s.vx = s.vy = 0;
    s.scale = 0.1;
    s.counterC = 1;  // the way anim swings
    s.drawMargin = kDrawMargins[n];
  }
  s.speed += 0.1;
  SetShotVelocity(s, s.angle, s.speed);
  if (s.scale < 1.0) s.scale += 0.15;
  // A column of eight circles, spaced and sized by the scale.
  constexpr int kSpacings[3] = {22, 31, 45};
  constexpr int kRadii[3] = {19, 21, 23};
  const int l = DoubleToInt(s.scale * kSpacings[n]);
  const int m = l / 2;
  const int16_t radius = HitValue(s.scale * kRadii[n]);
  const int offsets[kEntries] = {-(4 * l - m), -(3 * l - m), -(2 * l - m), -m, m,
                                 2 * l - m,    3 * l - m,    4 * l - m};
  const int16_t x = HitValue(s.x);
  const int16_t y = HitValue(s.y);
  for (int k = 0; k < kEntries; ++k) {
    s.hitSize[k] = radius;
    s.hitX[k] = x;
    s.hitY[k] = static_cast<int16_t>(y + offsets[k]);
  }
  MoveShot(s);
  if (s.frame % 3 == 0) {
    s.anim += s.counterC;
    if (s.anim > 4) {
      s.counterC = -1;
      s.anim = 4;
    } else if (s.anim < 3) {
      s.counterC = 1;
      s.anim = 2;
    }
  }
  s.alpha -= 1;
  if (s.alpha < 2) {
    Free(s);
    return;
  }
  s.damage = s.alpha * 18 / 255;
  if (s.damage < 2) Free(s);
}

void UpdateBombShot(int16_t slot) {
  PlayerShot& s = PlayerShots[slot];
  s.age = kNoFlashAge;
  const int n = ShotLevelIndex(s);
  if (s.state == kFired) {
    s.state = kLive;
    SetUpBlast(s, 50, 15);
    s.anim = 0;
    s.scale = 0.1;
    s.counterA = 0;
    s.alpha = 255;
  }
  if (s.frame % 4 == 0) s.anim = static_cast<int16_t>((s.anim + 1) % 6);
  constexpr double kGrowth[3] = {0.5, 0.55, 0.6};
  constexpr double kFullScale[3] = {5, 6, 7};
  if (s.scale < kFullScale[n])
    s.scale += kGrowth[n];
  else
    s.counterA = 1;  // full size: it fades
  RideScroll(s);
  s.hitSize[0] = HitValue(s.scale * 106);
  if (s.counterA == 1) {
    s.alpha -= 8;
    if (s.alpha <= 0) Free(s);
  } else {
    s.damage = std::max(s.alpha * 15 / 255, 0);
    HitAtShot(s);
  }
}

void UpdateShieldBurst(int16_t slot) {
  constexpr int16_t kBurstSound = 16;
  PlayerShot& s = PlayerShots[slot];
  s.age = kNoFlashAge;
  if (s.state == kFired) {
    s.state = kLive;
    SetUpBlast(s, 77, 6);
    s.anim = 0;
    RequestSoundEffect(kBurstSound);
  }
  if (s.frame % 4 == 0) s.anim += 1;
  s.x = PlayerX;
  s.y = PlayerY;
  s.hitSize[0] = HitValue(s.scale * 77);
  if (s.anim > 5) Free(s);
  HitAtShot(s);
}

void UpdateWaveSubShot(int16_t slot) {
  constexpr int kSparkEffect = 31;
  constexpr double kSpeed = 14;
  PlayerShot& s = PlayerShots[slot];
  TickPlayerShotAge(slot);
  if (s.state == kFired) {
    s.state = kLive;
    s.stopsOnHit = 0;
    s.hitCadence = 1;
    s.speed = kSpeed;
    s.drawMargin = 38;
    s.hitSize[0] = 18;
    s.damage = 21;
    s.scale = 1.0;
    s.heading = s.angle;
    s.angle = 0;
    s.counterA = 4;  // turn rate
    s.counterC = 4;  // frames since the last hit: the first hit counts
    s.anim = 0;
    SetShotVelocity(s, s.heading, kSpeed);
  }
  if (s.state == kLive) {
    // It passes through walls.
    s.heading = static_cast<int16_t>(TurnTowardAngle(0, s.heading, s.counterA));
    SetShotVelocity(s, s.heading, kSpeed);
    MoveShot(s);
    if (s.frame % 3 == 0) s.anim = static_cast<int16_t>(s.anim + 1 == 5 ? 3 : s.anim + 1);
    HitAtShot(s);
    if (s.frame >= 6) {
      s.scale -= 0.04;
      if (s.scale < 0.1) Free(s);
    }
    const int percent = DoubleToInt(s.scale * 100);
    s.hitSize[0] = static_cast<int16_t>(std::max(percent * 18 / 100, 1));
    s.damage = std::max(percent * 21 / 100, 1);
  }
  // The collision pass deals damage only after four quiet frames.
  if (s.sparkPending == 1) {
    if (s.counterC > 3) SpawnEffect(kSparkEffect, s.x, s.y, 0, 0, 0);
    s.counterC = 0;
    s.sparkPending = 0;
  } else {
    s.counterC += 1;
  }
}
