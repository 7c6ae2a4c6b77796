// The flying player shots: the main weapons' shots, the sub weapons' projectiles and the homing
// bomb, with the steps every behaviour shares.
#include "stg_src/field/shots/player_shot_behaviours.h"

#include <algorithm>
#include <cstdlib>

#include "runtime/platform/core/arithmetic_helpers.h"
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/field/weapon_state.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kFired = 1;
constexpr int32_t kLive = 2;
constexpr int32_t kVanishing = 3;
constexpr int16_t kFlightFrame = 4;
constexpr int32_t kBlastStartFrame = 4;
constexpr double kBlastStartScale = 0.2;

// A shot's first update sets it up and lets it fly in the same update.
bool SetUp(PlayerShot& s) {
  if (s.state != kFired) return false;
  s.state = kLive;
  return true;
}

}  // namespace

// ---- shared steps ----------------------------------------------------------------------------

int ShotLevelIndex(const PlayerShot& s) { return std::clamp<int32_t>(s.level, 0, 2); }

void SetShotVelocity(PlayerShot& s, int a, double speed) {
  const int w = WrapAngle(a);
  s.vx = CosineTable[w] * speed;
  s.vy = SineTable[w] * speed;
}

void MoveShot(PlayerShot& s) {
  s.x += s.vx + ScrollDeltaX;
  s.y += s.vy + ScrollDeltaY;
}

void RideScroll(PlayerShot& s) {
  s.x += ScrollDeltaX;
  s.y += ScrollDeltaY;
}

int16_t HitValue(double v) { return static_cast<int16_t>(DoubleToInt(v)); }

void HitAtShot(PlayerShot& s) {
  s.hitX[0] = HitValue(s.x);
  s.hitY[0] = HitValue(s.y);
}

bool TerrainStopsShot(PlayerShot& s) {
  if (TestTerrainHit(s.x + s.vx + ScrollDeltaX, s.y + s.vy + ScrollDeltaY, s.x, s.y, 1) < 0)
    return false;
  s.state = kVanishing;
  return true;
}

void StepAnimHeldAtFour(PlayerShot& s) {
  if (s.frame % 3 == 0) s.anim = std::min<int16_t>(s.anim + 1, kFlightFrame);
}

void TurnIntoBlast(int16_t slot, int32_t blastType) {
  PlayerShot& s = PlayerShots[slot];
  InitPlayerShot(slot, 4, 0, s.level, s.x, s.y, 0);
  s.state = kFired;
  s.additive = 1;
  s.type = blastType;
  s.frame = kBlastStartFrame;
  s.anim = 0;
  s.scale = kBlastStartScale;
  s.age = 100;
  s.converted = 1;
}

// ---- main weapons ----------------------------------------------------------------------------

void UpdateVulcanShot(int16_t slot) {
  PlayerShot& s = PlayerShots[slot];
  TickPlayerShotAge(slot);
  if (SetUp(s)) {
    constexpr int16_t kDrawMargins[3] = {38, 43, 48};
    constexpr int32_t kDamages[3] = {11, 13, 15};
    const int n = ShotLevelIndex(s);
    s.drawMargin = kDrawMargins[n];
    s.hitSize[0] = 7;
    s.damage = kDamages[n];
    // The weapon's level now, not the shot's band.
    const WeaponEntry w = SelectedMainWeaponEntry();
    const int16_t level = w.level != nullptr ? *w.level : 0;
    s.speed = level > 7 ? 15.0 : level > 3 ? 12.0 : 9.0;
    SetShotVelocity(s, s.angle, s.speed);
    s.heading = s.angle;
    s.angle = 0;
    // The outer pair of the top band swings in twice as fast.
    s.counterA = s.heading == 64 || s.heading == 960 ? 8 : 4;
  }
  if (s.state == kLive) {
    TerrainStopsShot(s);
    s.heading = static_cast<int16_t>(TurnTowardAngle(0, s.heading, s.counterA));
    SetShotVelocity(s, s.heading, s.speed);
    if (s.state == kLive) MoveShot(s);
    StepAnimHeldAtFour(s);
    HitAtShot(s);
  } else if (s.state == kVanishing) {
    VanishPlayerShot(slot, 3);
  }
}

void UpdateWideShot(int16_t slot) {
  PlayerShot& s = PlayerShots[slot];
  TickPlayerShotAge(slot);
  if (SetUp(s)) {
    constexpr int16_t kDrawMargins[3] = {28, 33, 38};
    constexpr double kSpeeds[3] = {10, 13, 16};
    constexpr int32_t kDamages[3] = {11, 14, 17};
    const int n = ShotLevelIndex(s);
    s.drawMargin = kDrawMargins[n];
    s.hitSize[0] = 4;
    s.speed = kSpeeds[n];
    s.damage = kDamages[n];
    SetShotVelocity(s, s.angle, s.speed);
  }
  if (s.state == kLive) {
    TerrainStopsShot(s);
    if (s.state == kLive) MoveShot(s);
    StepAnimHeldAtFour(s);
    HitAtShot(s);
  } else if (s.state == kVanishing) {
    VanishPlayerShot(slot, 3);
  }
}

void UpdateLaserShot(int16_t slot) {
  constexpr double kMuzzleX = 24;
  constexpr double kSpeed = 18;
  PlayerShot& s = PlayerShots[slot];
  TickPlayerShotAge(slot);
  if (SetUp(s)) {
    constexpr int16_t kDamages[3] = {55, 59, 63};
    s.speed = kSpeed;
    s.drawMargin = 60;
    s.hitSize[0] = 7;
    s.counterB = kDamages[ShotLevelIndex(s)];
    s.damage = s.counterB;
    s.pierce = 1;
    s.removalMargin = 80;
    s.workA = s.workB = 0;
    s.baseOffsetX = kMuzzleX;
    s.baseOffsetY = 0;
    s.x = PlayerX + kMuzzleX;
    s.y = PlayerY;
    s.anim = 0;
    s.flashOffsetX = kMuzzleX;
    s.flashOffsetY = 0;
  }
  if (s.state == kLive) {
    // The collision pass may have spent the damage on a target it pierced.
    s.damage = s.counterB;
    // The segment waits at the muzzle until its fourth frame, then runs ahead of the ship.
    s.vx = s.anim >= kFlightFrame ? kSpeed : 0;
    s.vy = 0;
    s.workA += s.vx;
    s.workB += s.vy;
    const double nextX = PlayerX + kMuzzleX + s.workA;
    const double nextY = PlayerY + s.workB;
    if (TestTerrainHit(nextX, nextY, s.x, s.y, 1) >= 0) s.state = kVanishing;
    if (s.state == kLive) {
      s.x = nextX;
      s.y = nextY;
    }
    if (IsOffScreen(s.x, s.y, 16, false)) s.damage = 0;
    const double screenX = WorldToScreenX(s.x);
    const double screenY = WorldToScreenY(s.y);
    if (screenX > 656 || screenY < -16 || screenY > 416) {
      s.state = 0;
      return;
    }
    s.anim += 1;
    if (s.anim >= kFlightFrame) s.anim = static_cast<int16_t>(kFlightFrame + (GameFrame / 2) % 4);
    HitAtShot(s);
  } else if (s.state == kVanishing) {
    VanishPlayerShot(slot, 3);
  }
}

void UpdateNapalmShot(int16_t slot) {
  constexpr int kBurstEffect = 8;
  constexpr int32_t kBrakingFrame = 15;
  PlayerShot& s = PlayerShots[slot];
  TickPlayerShotAge(slot);
  if (SetUp(s)) {
    constexpr int16_t kHitSizes[3] = {5, 6, 7};
    constexpr double kSpeeds[3] = {14, 15, 16};
    constexpr double kBraking[3] = {0.7, 0.75, 0.8};
    const int n = ShotLevelIndex(s);
    s.drawMargin = 32;
    s.hitSize[0] = kHitSizes[n];
    s.speed = kSpeeds[n];
    s.workA = kBraking[n];
    s.damage = 1;
    SetShotVelocity(s, s.angle, s.speed);
  }
  if (s.state == kLive) {
    TerrainStopsShot(s);
    if (s.state == kLive) MoveShot(s);
    StepAnimHeldAtFour(s);
    if (s.frame >= kBrakingFrame) {
      s.vx -= s.workA;
      if (s.vx <= 0) {
        s.vx = 0;
        s.state = kVanishing;
      }
    }
    HitAtShot(s);
  } else if (s.state == kVanishing) {
    VanishPlayerShot(slot, 3);
    if (s.state != 0 && s.converted == 0) {
      SpawnEffect(kBurstEffect, s.x, s.y, 0, 0, 0);
      TurnIntoBlast(slot, 4);
    }
  }
}

// ---- sub weapons -----------------------------------------------------------------------------

namespace {

// The twoway's draw angle: toward the surface it rides, else down or up the way it flies.
void TurnTwowayAngle(PlayerShot& s) {
  int16_t target;
  if (s.airCounter == 0) {
    target = s.heading;
  } else if (s.counterB > 0) {
    target = s.counterA > 0 ? 96 : 928;
  } else {
    target = s.counterA > 0 ? 416 : 608;
  }
  s.angle = static_cast<int16_t>(TurnTowardAngle(target, s.angle, 32));
}

}  // namespace

void UpdateTwowayShot(int16_t slot) {
  constexpr int16_t kRadius = 9;
  PlayerShot& s = PlayerShots[slot];
  TickPlayerShotAge(slot);
  if (SetUp(s)) {
    constexpr double kSpeeds[3] = {5.6, 6.0, 6.4};
    constexpr int32_t kDamages[3] = {44, 46, 48};
    const int n = ShotLevelIndex(s);
    s.hitSize[0] = kRadius;
    s.drawMargin = 32;
    s.speed = kSpeeds[n];
    s.damage = kDamages[n];
    SetShotVelocity(s, s.angle, s.speed);
    s.workA = s.vx;  // the launch velocity
    s.workB = s.vy;
    s.speed /= 2;  // the riding speed
    s.counterA = s.workB >= 0 ? 1 : -1;
    s.counterB = s.workA >= 0 ? 1 : -1;
    s.airCounter = 1;
    s.heading = s.angle;
    s.counterC = 0;
  }
  if (s.state == kLive) {
    TurnTwowayAngle(s);
    if (s.airCounter == 0) {
      s.vx = s.counterB * s.speed + ScrollDeltaX;
      s.vy = s.counterA;  // a pixel toward the surface it rides
    } else {
      s.vx = s.workA + ScrollDeltaX;
      s.vy = s.workB + ScrollDeltaY;
    }
    double x = s.x + s.vx;
    double y = s.y + s.vy;
    const double foot = s.vy > 0 ? kRadius : 0;
    const double head = s.vy < 0 ? kRadius : 0;
    double speed = s.vx;
    double speedOut = 0;
    int16_t slope = 0;
    int16_t result =
        FollowSolidParts(&x, &y, s.airCounter, foot, head, s.x, s.y, &speed, &speedOut, &slope);
    if (result == 0)
      result = FollowTerrain(&x, &y, s.airCounter, foot, head, s.x, s.y, &speed, &speedOut, &slope);
    s.x = x;
    s.y = y;
    s.heading = static_cast<int16_t>(s.counterB < 0 ? WrapAngle(slope + 512) : slope);
    if (result % 10 == 1) {
      s.airCounter = 0;
      s.vy = 0;
    } else {
      s.airCounter += 1;
    }
    if (result < 10) {
      s.counterC = 0;
    } else {
      // A wall: a shot going left ends at once, one going right at its second contact in a row.
      s.counterC += 1;
      if (s.counterC > 1 || s.vx < 0) {
        s.state = kVanishing;
      } else {
        s.y += s.counterA > 0 ? -2 : 2;
        s.x += s.counterB > 0 ? -2 : 2;
      }
    }
    if (s.frame % 3 == 0) s.anim = static_cast<int16_t>(s.anim >= 7 ? 4 : s.anim + 1);
    HitAtShot(s);
  } else if (s.state == kVanishing) {
    VanishPlayerShot(slot, 3);
  }
}

void UpdateMissileShot(int16_t slot) {
  constexpr double kCruiseSpeed = 7.6;
  constexpr double kCruiseAcceleration = 0.4;
  PlayerShot& s = PlayerShots[slot];
  s.age += 1;
  if (SetUp(s)) {
    const int16_t index = s.angle;  // the spread index
    s.drawMargin = 20;
    s.hitSize[0] = s.hitSize[1] = 8;
    s.hitCount = 2;
    s.damage = 43;
    s.counterA = index;
    s.counterB = 0;
    s.counterC = 1;
    s.speed = std::abs(index) * 2.2;
    s.workA = s.speed / 20;
    s.heading = index > 0 ? 256 : 768;
    SetShotVelocity(s, s.heading, s.speed);
    s.angle = 0;
    s.flashAngle = s.heading;
  }
  if (s.state == kLive) {
    TerrainStopsShot(s);
    if (s.counterB == 0) {
      // Fans out up or down, slowing to a stop.
      s.speed = ApproachValue(s.speed, s.workA, 0);
      if (s.speed <= 0) s.counterB = 1;
      StepAnimHeldAtFour(s);
    } else {
      // Then accelerates forward, its flame swinging through frames 5..7.
      s.speed = ApproachValue(s.speed, kCruiseAcceleration, kCruiseSpeed);
      s.heading = 0;
      if (s.frame % 3 == 0) {
        s.anim += s.counterC;
        if (s.anim > 6) s.counterC = -1;
        if (s.anim < 6) s.counterC = 1;
      }
    }
    SetShotVelocity(s, s.heading, s.speed);
    MoveShot(s);
    s.hitX[0] = HitValue(s.x - 8);
    s.hitY[0] = HitValue(s.y);
    s.hitX[1] = HitValue(s.x);
    s.hitY[1] = HitValue(s.y);
  } else if (s.state == kVanishing) {
    VanishPlayerShot(slot, 6);
  }
}

namespace {

constexpr double kSearchSpeed = 9;
constexpr int16_t kTurnStart = 1;
constexpr int16_t kTurnDone = 17;

// The search family of a mode: 0 for 3/4 (ahead above), 1 for 5/6, 2 for 7/8, 3 for 9/10.
int SearchFamily(int16_t mode) { return std::clamp((mode - 3) / 2, 0, 3); }
int16_t BaseSearchMode(int16_t mode) { return static_cast<int16_t>(3 + 2 * SearchFamily(mode)); }
bool HoldsTarget(int16_t mode) { return mode >= 4 && mode <= 10 && mode % 2 == 0; }

// One frame of the four-frame turn toward the flight line; true once it points along it.
bool TurnSearchShot(PlayerShot& s) {
  struct Turn {
    int16_t firstAnim, step;
    int16_t flyAngle, turnAngle;  // at anim 4, and before
  };
  constexpr Turn kTurns[4] = {{5, 1, 0, 768}, {7, -1, 0, 512}, {7, -1, 512, 0}, {5, 1, 512, 256}};
  const Turn& t = kTurns[SearchFamily(s.searchMode)];
  if (s.counterA < 3) {
    s.anim = t.firstAnim;
  } else {
    s.anim += t.step;
    if (s.anim == 8) s.anim = 4;
  }
  s.angle = s.anim == kFlightFrame ? t.flyAngle : t.turnAngle;
  return s.anim == kFlightFrame;
}

}  // namespace

void UpdateSearchShot(int16_t slot) {
  PlayerShot& s = PlayerShots[slot];
  TickPlayerShotAge(slot);
  if (SetUp(s)) {
    constexpr int32_t kDamages[3] = {17, 19, 21};
    constexpr int16_t kDrawMargins[3] = {16, 24, 32};
    const int n = ShotLevelIndex(s);
    s.searchMode = s.angle;  // the base mode
    s.speed = kSearchSpeed;
    s.hitSize[0] = 7;
    s.damage = kDamages[n];
    s.drawMargin = kDrawMargins[n];
    s.angle = s.searchMode == kSearchAheadAbove || s.searchMode == kSearchBehindAbove ? 768 : 256;
    SetShotVelocity(s, s.angle, kSearchSpeed);
    s.counterA = 0;
    s.workA = 0;  // vertical travel
    s.pierce = 1;
    s.additive = 1;
    s.alpha = 255;
  }
  if (s.state == kLive) {
    const int family = SearchFamily(s.searchMode);
    if (s.counterA == 0) {
      if (s.workA < 8) {
        // Too close to the ship yet: whatever was found is dropped.
        s.searchMode = BaseSearchMode(s.searchMode);
      } else if (HoldsTarget(s.searchMode)) {
        const bool above = family == 0 || family == 2;
        if (above ? s.y <= s.targetY : s.y >= s.targetY) {
          s.y = s.targetY;
          s.angle = family < 2 ? 0 : 512;
          s.counterA = kTurnStart;
        }
      }
    }
    TerrainStopsShot(s);
    if (s.counterA > 0) s.counterA += 1;
    if (s.counterA == 0 || s.counterA > 16) {
      if (s.counterA > 16) s.angle = family < 2 ? 0 : 512;
      SetShotVelocity(s, s.angle, kSearchSpeed);
      StepAnimHeldAtFour(s);
    } else {
      s.vx = s.vy = 0;
      if (TurnSearchShot(s)) {
        s.counterA = kTurnDone;
        SetShotVelocity(s, s.angle, kSearchSpeed);
      }
    }
    s.workA += AbsoluteValue(s.vy);
    if (s.state == kLive) MoveShot(s);
    HitAtShot(s);
  } else if (s.state == kVanishing) {
    VanishPlayerShot(slot, 3);
  }
}

void UpdateHomingShot(int16_t slot) {
  constexpr int32_t kSteeringFrames = 60;
  PlayerShot& s = PlayerShots[slot];
  TickPlayerShotAge(slot);
  const int n = ShotLevelIndex(s);
  if (SetUp(s)) {
    constexpr int32_t kDamages[3] = {4, 6, 7};
    constexpr double kSpeeds[3] = {12, 18, 24};
    constexpr int16_t kDrawMargins[3] = {16, 20, 24};
    s.searchMode = kSearchAny;
    s.hitSize[0] = 4;
    s.damage = kDamages[n];
    s.speed = kSpeeds[n];
    s.drawMargin = kDrawMargins[n];
    s.heading = s.angle;
    s.angle = 0;
    SetShotVelocity(s, s.heading, s.speed);
    s.counterA = 0;
    s.flashAngle = s.heading;
    s.additive = 1;
    s.alpha = 255;
  }
  if (s.state == kLive) {
    constexpr int kTurns[3] = {24, 36, 48};
    if (s.frame < kSteeringFrames && s.searchMode == kSearchAny + 1) {
      const int aim = AimAngle(s.x, s.y, s.targetX, s.targetY);
      s.heading = static_cast<int16_t>(TurnTowardAngle(aim, s.heading, kTurns[n]));
    }
    SetShotVelocity(s, s.heading, s.speed);
    TerrainStopsShot(s);
    MoveShot(s);
    if (s.frame % 3 == 0) s.anim = static_cast<int16_t>(s.anim >= 7 ? 4 : s.anim + 1);
    HitAtShot(s);
  } else if (s.state == kVanishing) {
    VanishPlayerShot(slot, 6);
  }
  // The next collision pass picks the nearest target afresh.
  s.searchMode = kSearchAny;
}

void UpdateNapalmSubShot(int16_t slot) {
  PlayerShot& s = PlayerShots[slot];
  TickPlayerShotAge(slot);
  if (SetUp(s)) {
    constexpr double kSpeeds[3] = {3.2, 4.0, 4.8};
    constexpr double kLifts[3] = {2.4, 2.8, 3.2};
    constexpr double kGravities[3] = {0.1125f, 0.13125f, 0.15f};
    const int n = ShotLevelIndex(s);
    const int16_t code = s.angle;  // the direction code
    int16_t a = 0;
    switch (code) {
      case 1:
        a = 128;
        break;
      case 2:
        a = 384;
        break;
      case -2:
        a = 640;
        break;
      case -1:
        a = 896;
        break;
      default:
        break;
    }
    s.damage = 1;
    s.hitSize[0] = 9;
    s.counterA = code;
    s.drawMargin = 16;
    s.speed = kSpeeds[n];
    s.vy = SineTable[a] * kLifts[n];
    s.vx = CosineTable[a] * s.speed * 9 / 8;
    s.workA = kGravities[n];
  }
  if (s.state == kLive) {
    // Shots thrown downward fall, upward ones rise.
    s.vy += s.counterA > 0 ? s.workA : -s.workA;
    TerrainStopsShot(s);
    if (s.state == kLive) MoveShot(s);
    StepAnimHeldAtFour(s);
    HitAtShot(s);
    s.angle = static_cast<int16_t>(AimAngle(0, 0, s.vx, s.vy));
  } else if (s.state == kVanishing) {
    VanishPlayerShot(slot, 3);
    if (s.state != 0 && s.converted == 0) TurnIntoBlast(slot, 11);
  }
}

// ---- charge weapon ---------------------------------------------------------------------------

void UpdateHomingBombShot(int16_t slot) {
  constexpr int32_t kSteeringFrames = 60;
  constexpr double kSpeed = 9;
  PlayerShot& s = PlayerShots[slot];
  s.age = 100;
  const int n = ShotLevelIndex(s);
  if (SetUp(s)) {
    constexpr int16_t kDrawMargins[3] = {20, 26, 32};
    s.searchMode = kSearchAny;
    s.hitSize[0] = static_cast<int16_t>(16 + 4 * n);
    s.speed = kSpeed;
    s.damage = 1;
    s.additive = 1;
    s.heading = s.angle;
    s.angle = 0;
    SetShotVelocity(s, s.heading, kSpeed);
    s.counterA = 0;
    s.flashAngle = s.heading;
    s.anim = 0;
    s.drawMargin = kDrawMargins[n];
  }
  if (s.state == kLive) {
    if (s.frame < kSteeringFrames && s.searchMode == kSearchAny + 1) {
      const int aim = AimAngle(s.x, s.y, s.targetX, s.targetY);
      s.heading = static_cast<int16_t>(TurnTowardAngle(aim, s.heading, 16));
    }
    SetShotVelocity(s, s.heading, kSpeed);
    TerrainStopsShot(s);
    MoveShot(s);
    if (s.frame % 2 == 0) {
      // The trail: one draw of the generator for each puff.
      const int16_t r = static_cast<int16_t>(LcgRandom() % 1024);
      SpawnEffect(n == 2 ? 17 : 16, s.x, s.y, r, 0, n == 1 ? 1.0 : 0.0);
    }
    if (s.frame % 3 == 0) s.anim = static_cast<int16_t>((s.anim + 1) % 4);
    HitAtShot(s);
    s.searchMode = kSearchAny;
  } else if (s.state == kVanishing) {
    VanishPlayerShot(slot, 3);
    if (s.state != 0 && s.converted == 0) TurnIntoBlast(slot, 13);
  }
}
