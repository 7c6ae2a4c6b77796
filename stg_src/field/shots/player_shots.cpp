#include "stg_src/field/shots/player_shots.h"

#include <algorithm>
#include <cstring>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/player_shot_behaviours.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

PlayerShot PlayerShots[kPlayerShotSlots];

PlayerShotHandler PlayerShotHandlers[kPlayerShotTypes] = {
    UpdateVulcanShot,     UpdateWideShot,        UpdateLaserShot,     UpdateNapalmShot,
    UpdateNapalmBombShot, UpdateTwowayShot,      UpdateMissileShot,   UpdateSearchShot,
    UpdateHomingShot,     UpdateRollingShot,     UpdateNapalmSubShot, UpdateNapalmSubBombShot,
    UpdateHomingBombShot, UpdateHomingBombBlast, UpdateWaveShot,      UpdateBombShot,
    UpdateShieldBurst,    UpdateWaveSubShot,
};

namespace {

constexpr int16_t kFlashAge = 0;
constexpr int16_t kNoFlashAge = 100;
constexpr int16_t kMuzzleFrames = 3;
constexpr int16_t kFirstVanishFrame = 8;
constexpr int16_t kLastVanishFrame = 11;
constexpr int kSparkEffect = 31;

bool IsSlot(int slot) { return slot >= 0 && slot < kPlayerShotSlots; }

}  // namespace

int InitPlayerShot(int slot, int type, int16_t angle, int32_t level, double x, double y,
                   uint8_t flash) {
  if (!IsSlot(slot) || type < 0 || type >= kPlayerShotTypes) return -1;
  PlayerShot& s = PlayerShots[slot];
  s.state = 1;
  s.type = type;
  s.level = s.imageLevel = level;
  s.frame = 0;
  s.converted = 0;
  s.angle = s.heading = s.flashAngle = angle;
  s.x = x;
  s.y = y;
  s.workA = s.workB = 0;
  s.baseOffsetX = s.baseOffsetY = 0;
  s.flashOffsetX = x - PlayerX;
  s.flashOffsetY = y - PlayerY;
  s.age = flash == 1 ? kFlashAge : kNoFlashAge;
  s.anim = 4;
  s.additive = 0;
  s.alpha = 255;
  s.scale = 1.0;
  s.counterA = s.counterB = s.counterC = 0;
  s.pierce = s.sparkPending = s.vanishing = 0;
  s.searchMode = kSearchOff;
  s.targetX = s.targetY = 0;
  s.hitCadence = 0;
  s.damage = 0;
  for (int k = 0; k < kPlayerShotHitEntries; ++k) s.hitSize[k] = s.hitX[k] = s.hitY[k] = 0;
  s.hitCount = 1;
  s.stopsOnHit = 1;
  s.removalMargin = 16;
  s.drawMargin = 60;
  s.airCounter = 0;
  return 0;
}

bool IsPlayerShotFree(int slot) { return IsSlot(slot) && PlayerShots[slot].state == 0; }

void UpdatePlayerShots() {
  for (int16_t slot = 0; slot < kPlayerShotSlots; ++slot) {
    PlayerShot& s = PlayerShots[slot];
    if (s.state <= 0) continue;
    s.frame += 1;
    // A type past the table has no behaviour: it would hold the slot for ever.
    if (s.type < 0 || s.type >= kPlayerShotTypes) {
      s.state = 0;
      continue;
    }
    PlayerShotHandlers[s.type](slot);
    if (s.age > kMuzzleFrames && IsOffScreen(s.x, s.y, s.removalMargin, false)) s.state = 0;
  }
}

void TickPlayerShotAge(int16_t slot) {
  PlayerShot& s = PlayerShots[slot];
  if (s.frame % 2 == 0) s.age += 1;
}

void VanishPlayerShot(int16_t slot, int16_t n) {
  PlayerShot& s = PlayerShots[slot];
  if (s.vanishing == 0) {
    s.vanishing = 1;
    s.frame = 1;
  }
  if (s.sparkPending == 1) {
    SpawnEffect(kSparkEffect, s.x, s.y, 0, 0, 0);
    s.sparkPending = 0;
  }
  s.anim = std::max(s.anim, kFirstVanishFrame);
  // A period below 1 would divide by zero: it steps every frame.
  if (s.frame % std::max<int>(n, 1) == 0) s.anim += 1;
  if (s.anim > kLastVanishFrame) s.state = 0;
  s.x += ScrollDeltaX;
  s.y += ScrollDeltaY;
}

double PlayerShotSweepRadians(const PlayerShot& s) {
  switch (s.type) {
    case kVulcanShot:
    case kMissileShot:
    case kHomingShot:
    case kHomingBombShot:
    case kWaveSubShot:
      return AngleToRadians(s.heading);
    default:
      return AngleToRadians(s.angle);
  }
}

void ResetPlayerShots() { std::memset(PlayerShots, 0, sizeof(PlayerShots)); }

void DigestPlayerShots(StateDigest& d, DigestScope) {
  for (const PlayerShot& s : PlayerShots) {
    DigestValue(d, s.state);
    DigestValue(d, s.damage);
    DigestValue(d, s.level);
    DigestValue(d, s.imageLevel);
    DigestValue(d, s.frame);
    DigestValue(d, s.type);
    DigestValue(d, s.converted);
    DigestValue(d, s.angle);
    DigestValue(d, s.heading);
    DigestArray(d, s.hitSize);
    DigestArray(d, s.hitX);
    DigestArray(d, s.hitY);
    DigestValue(d, s.hitCount);
    DigestValue(d, s.x);
    DigestValue(d, s.y);
    DigestValue(d, s.vx);
    DigestValue(d, s.vy);
    DigestValue(d, s.speed);
    DigestValue(d, s.workA);
    DigestValue(d, s.workB);
    DigestValue(d, s.baseOffsetX);
    DigestValue(d, s.baseOffsetY);
    DigestValue(d, s.counterA);
    DigestValue(d, s.counterB);
    DigestValue(d, s.counterC);
    DigestValue(d, s.anim);
    DigestValue(d, s.additive);
    DigestValue(d, s.alpha);
    DigestValue(d, s.scale);
    DigestValue(d, s.flashOffsetX);
    DigestValue(d, s.flashOffsetY);
    DigestValue(d, s.flashAngle);
    DigestValue(d, s.age);
    DigestValue(d, s.pierce);
    DigestValue(d, s.sparkPending);
    DigestValue(d, s.vanishing);
    DigestValue(d, s.searchMode);
    DigestValue(d, s.targetX);
    DigestValue(d, s.targetY);
    DigestValue(d, s.stopsOnHit);
    DigestValue(d, s.hitCadence);
    DigestValue(d, s.removalMargin);
    DigestValue(d, s.drawMargin);
    DigestValue(d, s.airCounter);
  }
}
