#include "stg_src/field/enemies/common_enemies.h"

#include <algorithm>
#include <cmath>

#include "runtime/platform/core/arithmetic_helpers.h"
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/items_and_popups.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

namespace {

void SetLife(EnemyObject& o, int32_t base) {
  o.life = ScaleLifeByRank(base);
  o.maxLife = o.life;
  o.scoreBase = o.life;
}

void SetMargins(EnemyObject& o, int32_t despawnX, int32_t despawnY, int32_t cullX, int32_t cullY) {
  o.despawnMarginX = despawnX;
  o.despawnMarginY = despawnY;
  o.cullMarginX = cullX;
  o.cullMarginY = cullY;
}

// The item of an item box or carrier: variants 33..39 give kinds 0..6. A variant below 33 would
// make a negative kind, which the item layer has no row for: nothing is dropped.
void DropVariantItem(const EnemyObject& o) {
  if (o.variant < 33) return;
  SpawnItem((o.variant - 33) % 7, o.x, o.y);
}

// The weave of the item carrier and the weaving gunners: the vertical speed swings between
// -bound and +bound (realWork1) by the acceleration (realWork0), which turns at each bound. The
// image runs forward for a weave that starts downward (intWork0 > 0), backward otherwise.
void Weave(EnemyObject& o, double vx) {
  o.vx = vx;
  o.vy += o.realWork0;
  if (o.vy <= -o.realWork1) {
    o.vy = -o.realWork1;
    o.realWork0 = -o.realWork0;
  } else if (o.vy >= o.realWork1) {
    o.vy = o.realWork1;
    o.realWork0 = -o.realWork0;
  }
  o.x += o.vx;
  o.y += o.vy;
  const int32_t step = (o.frame / 3) % 6;
  o.imageFrame = o.intWork0 > 0 ? step : 5 - step;
}

// The common shape of the pool-1 behaviours: set-up, live step, and a small explosion.
void RunPool1(int16_t slot, void (*setUp)(int16_t), void (*live)(int16_t)) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    setUp(slot);
  } else if (o.state == 2) {
    live(slot);
  } else if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    o.state = 0;
  }
}

void SetUpTurret(int16_t slot, bool ceiling) {
  EnemyObject& o = EnemyPool0[slot];
  SetLife(o, 12);
  o.imageFrame = 0;
  o.vx = 0;
  o.vy = 0;
  o.speed = 0;
  o.airFrames = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 9, 0, 4);
  o.hitMode = 1;
  o.phase = 0;
  o.intWork0 = 0;
  o.intWork1 = 0;
  SetMargins(o, 40, 40, 20, 20);
  o.y += GetVariantYShift(o.variant);
  if (ceiling) {
    o.heading = 384;
    o.angle = 512;  // drawn and hit-tested upside down
    o.y -= 1;
  } else {
    o.heading = 640;
    o.y += 1;
  }
  o.frame = 0;
  o.state = 2;
}

// The floor turret never aims below its horizon, the ceiling turret never above it; the floor
// one breaks a half-turn tie upward (through 768), the ceiling one downward (through 256).
void AimTurret(EnemyObject& o, bool ceiling) {
  int a = AimAngle(o.x, o.y, PlayerX, PlayerY);
  if (ceiling) {
    if (a >= 513 && a <= 768) {
      a = 512;
    } else if (a >= 769) {
      a = 0;
    }
    o.heading = static_cast<int16_t>(TurnTowardAngle(a, o.heading, 8));
  } else {
    if (a >= 0 && a <= 255) {
      a = 0;
    } else if (a >= 256 && a <= 511) {
      a = 512;
    }
    o.heading = static_cast<int16_t>(TurnTowardAngleFlipTie(a, o.heading, 8));
  }
}

int32_t TurretImageFrame(const EnemyObject& o, bool ceiling) {
  int32_t frame;
  if (ceiling) {
    frame = 14 - (512 - o.heading) / 36;
  } else {
    const int32_t h = o.heading == 0 ? 1024 : o.heading;
    frame = (h - 512) / 36;
  }
  return std::clamp(frame, 0, 14);
}

void UpdateTurret(int16_t slot, bool ceiling) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpTurret(slot, ceiling);
    return;
  }
  if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    o.state = 0;
    return;
  }
  if (o.state != 2) return;
  CountFramesOnScreen(o);
  AimTurret(o, ceiling);
  o.imageFrame = TurretImageFrame(o, ceiling);
  const bool playerOnSide = ceiling ? PlayerY > o.y - 40 : PlayerY < o.y + 40;
  if (playerOnSide && o.phase > 32 &&
      o.frame % ComputeFireInterval(40, o.rank) == ComputeFireInterval(20, o.rank) &&
      ScrollSpeed < 4.4 && IsHarderThanEasy()) {
    SpawnEnemyShot(1, o.heading, ScaleShotSpeed(3.6), RotateOffsetX(o.x, 16, 0, o.heading),
                   RotateOffsetY(o.y, 16, 0, o.heading), 1);
  }
}

}  // namespace

void UpdateFloorTurret(int16_t slot) { UpdateTurret(slot, false); }
void UpdateCeilingTurret(int16_t slot) { UpdateTurret(slot, true); }
namespace {

constexpr int32_t kHatchOpenFrames = 80;
constexpr int32_t kHatchLidOpen = 4;  // image frame of the open lid
constexpr int16_t kLaunchUp = 768;
constexpr int16_t kLaunchDown = 256;

// A hatch runs from the highest free slot, so the fliers it launches into the slots below it run
// and are drawn before it. The slot it ends in, or -1 when no higher slot was free (it is gone).
int16_t MoveHatchUp(int16_t slot) {
  EnemyObject& from = EnemyPool0[slot];
  from.state = 0;
  const int16_t to = FindFreeEnemySlot(EnemyPool0, kEnemyPool0Size, kEnemyPool0Size, true);
  if (to <= 0 || to <= slot) return -1;
  InitEnemyObject(EnemyPool0, to, from.type, from.variant);
  NoteEnemyMoveForTest(EnemyPool0, slot, to);
  EnemyPool0[to].x = from.x;
  EnemyPool0[to].y = from.y;
  return to;
}

void SetUpHatch(int16_t slot, bool ceiling) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.frame = 0;
  SetLife(o, 90);
  o.imageFrame = 0;
  o.vx = 0;
  o.vy = 0;
  o.speed = 0;
  o.airFrames = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 24, 0, 8);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 16, -20, 16);
  SetEnemyHitCircle(EnemyPool0, slot, 2, 16, 20, 16);
  o.hitMode = 1;
  o.phase = 0;
  o.intWork0 = 0;  // opening timer
  o.intWork1 = 0;  // launch type
  SetMargins(o, 120, 40, 40, 32);
  o.x += 20;
  o.y += GetVariantYShift(o.variant) + (ceiling ? 10 : -10);
  if (ceiling) o.angle = 512;
}

void RunHatch(int16_t slot, bool ceiling) {
  EnemyObject& o = EnemyPool0[slot];
  CountFramesOnScreen(o);
  if (o.x > ScreenToWorldX(60) &&
      o.frame % ComputeFireIntervalFlat(160, 0) == ComputeFireIntervalFlat(20, 0)) {
    o.intWork0 = kHatchOpenFrames;
    o.intWork1 = o.x > PlayerX ? 4 : 5;  // the flier leaves toward the player's side
  }
  if (CurrentStage == 5) o.intWork1 = ceiling ? 16 : 15;
  if (o.intWork0 > 0) o.intWork0 -= 1;
  if (o.intWork0 > 4) {
    if (o.intWork0 % 4 == 0 && o.imageFrame < kHatchLidOpen) o.imageFrame += 1;
    if (o.imageFrame >= kHatchLidOpen && o.phase > 32 &&
        o.frame % ComputeFireIntervalFlat(8, 0) == ComputeFireIntervalFlat(4, 0)) {
      SpawnPool0Enemy(o.x, o.y, static_cast<int16_t>(o.intWork1), ceiling ? kLaunchDown : kLaunchUp,
                      static_cast<int16_t>(slot - 1), 0);
    }
  } else if (o.intWork0 == 0 && o.frame % 4 == 0 && o.imageFrame > 0) {
    o.imageFrame -= 1;
  }
  // The big circle covers the closed lid; an open one leaves a smaller target deeper in.
  if (o.imageFrame == 0) {
    SetEnemyHitCircle(EnemyPool0, slot, 0, 24, 0, 8);
  } else {
    SetEnemyHitCircle(EnemyPool0, slot, 0, 16, 0, 16);
  }
}

void UpdateHatch(int16_t slot, bool ceiling) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    const int16_t to = MoveHatchUp(slot);
    if (to >= 0) SetUpHatch(to, ceiling);
  } else if (o.state == 2) {
    RunHatch(slot, ceiling);
  } else if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    o.state = 0;
  }
}

void SetUpHatchZako(int16_t slot, bool mirror) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.frame = 0;
  SetLife(o, 8);
  o.imageFrame = 0;
  o.vx = 0;
  o.vy = 0;
  o.speed = 3.2;
  o.heading = o.angle;  // the hatch's launch direction
  o.intWork0 = o.angle;
  o.angle = mirror ? 0 : 512;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 9, 0, 0);
  o.hitMode = 1;
  AttachPart(o.partsA, 0, 0, 0, 0, 256, 0);
  o.partsA[0].variant = mirror ? 101 : 100;  // the rotor's turning way
  o.partCountA = 1;
  o.phase = 0;
  o.intWork1 = 0;  // brake state
  o.angle2 = 0;
  o.realWork0 = 0;  // vertical distance travelled
  o.realWork1 = 0;
  SetMargins(o, 120, 480, 25, 25);
  o.probeOffset = 0;
}

void RunHatchZako(int16_t slot, bool mirror) {
  EnemyObject& o = EnemyPool0[slot];
  CountFramesOnScreen(o);
  const double oldX = o.x;
  const double oldY = o.y;
  o.vx = CosineTable[o.heading] * o.speed;
  o.vy = SineTable[o.heading] * o.speed;
  o.x += o.vx;
  o.y += o.vy;
  o.realWork0 += o.vy;
  if (o.intWork1 == 0) {
    const bool reachedPlayer = o.intWork0 == kLaunchUp ? PlayerY >= o.y : PlayerY <= o.y;
    if (reachedPlayer && std::abs(o.realWork0) > 40) o.intWork1 = 1;
  } else if (o.intWork1 == 1) {
    o.speed = ApproachValue(o.speed, 0.2, 0);
    if (o.speed == 0) {
      o.heading = mirror ? 0 : 512;
      o.intWork1 = 2;
    }
  } else {
    o.intWork1 += 1;
    o.speed =
        o.intWork1 <= 80 ? ApproachValue(o.speed, 0.2, 3.2) : ApproachValue(o.speed, 0.05, 8.0);
  }
  o.angle = static_cast<int16_t>(
      TurnTowardAngle(WrapAngle(AimAngle(o.x, o.y, PlayerX, PlayerY)), o.angle, 8));
  if (o.phase > 32 &&
      o.frame % ComputeFireInterval(50, o.rank) == ComputeFireInterval(20, o.rank) &&
      IsHarderThanEasy()) {
    SpawnEnemyShot(0, o.angle, ScaleShotSpeed(4.0), RotateOffsetX(o.x, 25, 0, o.angle),
                   RotateOffsetY(o.y, 25, 0, o.angle), 1);
  }
  if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0 || IsPointInSolidPart(o.x, o.y, 1, -1)) {
    o.state = 3;
  }
}

void UpdateHatchZakoOf(int16_t slot, bool mirror) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpHatchZako(slot, mirror);
  } else if (o.state == 2) {
    RunHatchZako(slot, mirror);
  } else if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    o.state = 0;
  }
}

}  // namespace

void UpdateFloorHatch(int16_t slot) { UpdateHatch(slot, false); }
void UpdateCeilingHatch(int16_t slot) { UpdateHatch(slot, true); }
void UpdateHatchZako(int16_t slot) { UpdateHatchZakoOf(slot, false); }
void UpdateHatchZakoMirror(int16_t slot) { UpdateHatchZakoOf(slot, true); }
namespace {

// Invisible and inert; both spawners share it.
void SetUpSpawner(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.frame = 0;
  o.life = -1;
  o.imageFrame = -1;
  ClearEnemyHitCircles(EnemyPool0, slot);
  o.hitMode = 0;
  o.phase = 0;
  o.intWork0 = 0;
  o.intWork1 = 0;
  SetMargins(o, 40, 40, 0, 0);
  o.x += 20;
  o.y += GetVariantYShift(o.variant);
}

}  // namespace

void UpdateZakoSpawner(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpSpawner(slot);
  } else if (o.state == 2) {
    if (o.frame % 16 == 0) {
      SpawnPool1Enemy(o.x, o.y, 4, 0, -1, 0);
      o.intWork0 += 1;
      if (o.intWork0 > 5) o.state = 0;
    }
    o.x += ScrollDeltaX;
    o.y += ScrollDeltaY;
  } else {
    o.state = 0;
  }
}

// Acts on every call but its set-up, whatever the state: a stage clear does not cut a wave of
// pairs short.
void UpdateZakoPairSpawner(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpSpawner(slot);
    return;
  }
  if (o.frame % 10 == 0) {
    // The type-5 flier takes the angle as its vertical direction.
    SpawnPool1Enemy(o.x, o.y, 5, -3, -1, 0);
    SpawnPool1Enemy(o.x, o.y, 5, 3, -1, 0);
    o.intWork0 += 1;
    if (o.intWork0 > 5) o.state = 0;
  }
  o.x += ScrollDeltaX;
  o.y += ScrollDeltaY;
}

void UpdateItemBox(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetLife(o, 16);
    o.imageFrame = 0;
    o.vx = 0;
    o.vy = 0;
    o.speed = 0;
    o.airFrames = 0;
    o.heading = 0;
    ClearEnemyHitCircles(EnemyPool0, slot);
    SetEnemyHitCircle(EnemyPool0, slot, 0, 12, 0, 0);
    o.hitMode = 1;
    o.phase = 0;
    o.intWork0 = 0;
    o.intWork1 = 0;
    SetMargins(o, 40, 40, 32, 32);
    o.y += GetVariantYShift(o.variant);
    o.frame = 0;
    o.state = 2;
  } else if (o.state == 2) {
    o.imageFrame = (o.frame / 6) % 6;
  } else if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    DropVariantItem(o);
    o.state = 0;
  }
}

namespace {

constexpr double kNoEscortsFromXOnStage5 = 22400;

void SetUpItemCarrier(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  SetLife(o, 16);
  o.imageFrame = 0;
  o.vx = 0;
  o.vy = 0;
  o.speed = 1.0;
  o.intWork0 = o.y < PlayerY ? 2 : -2;  // toward the player first
  o.angle = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 16, 0, 0);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 8, 0, -16);
  SetEnemyHitCircle(EnemyPool0, slot, 2, 8, 0, 16);
  o.hitMode = 1;
  o.phase = 0;
  o.intWork1 = 0;
  o.angle2 = 0;
  SetMargins(o, 120, 120, 32, 32);
  o.probeOffset = 0;
  o.x += 60;
  o.y += GetVariantYShift(o.variant);
  o.vy = o.intWork0 * o.speed;
  o.realWork0 = -o.vy / 15;      // vertical acceleration
  o.realWork1 = std::abs(o.vy);  // vertical speed bound
  if (WorldToScreenX(o.x) > 600 && (CurrentStage != 5 || o.x < kNoEscortsFromXOnStage5)) {
    static constexpr int16_t kEscortOffsets[6][2] = {{-40, -20}, {-40, 20}, {0, -60},
                                                     {0, 60},    {40, -20}, {40, 20}};
    for (const auto& d : kEscortOffsets) {
      SpawnPool1Enemy(o.x + d[0], o.y + d[1], 6, static_cast<int16_t>(o.intWork0), -1, 0);
    }
  }
  o.x += 20;
  o.frame = 0;
  o.state = 2;
}

}  // namespace

// The escorts (pool 1, type 6) fly the same numbers, so the formation holds.
void UpdateItemCarrier(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpItemCarrier(slot);
  } else if (o.state == 2) {
    const double oldX = o.x;
    const double oldY = o.y;
    Weave(o, CurrentStage == 4 ? -o.speed * 3 : -o.speed);
    CountFramesOnScreen(o);
    if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0) o.state = 3;
  } else if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    DropVariantItem(o);
    o.state = 0;
  }
}

namespace {

constexpr int32_t kWalkerLeaveFrame = 600;
constexpr double kWalkerSpeed = 3.2;

void SetUpGunWalker(int16_t slot, bool ceiling) {
  EnemyObject& o = EnemyPool1[slot];
  o.state = 2;
  o.frame = 0;
  SetLife(o, 8);
  o.imageFrame = 0;
  o.vx = 0;
  o.vy = 0;
  o.speed = kWalkerSpeed;
  o.airFrames = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool1, slot);
  SetEnemyHitCircle(EnemyPool1, slot, 0, 16, 0, 0);
  o.phase = 0;
  o.intWork0 = 0;  // attack counter
  o.intWork1 = 0;  // exit direction
  o.intWork2 = 0;
  o.realWork0 = 0;  // target x
  SetMargins(o, 120, 600, 32, 24);
  o.probeOffset = 23;
  // In from just outside the edge of the half it was placed in.
  o.x = o.x >= ScreenToWorldX(320) ? ScreenToWorldX(640) + 30 : ScreenToWorldX(0) - 30;
  if (ceiling) {
    RaiseToCeiling(o.x, &o.y, 23);
  } else {
    DropOntoGround(o.x, &o.y, 23);
  }
  const int32_t leg = ceiling ? 1 : 0;
  AttachPart(o.partsA, 0, leg, 0, 0, 256, 0);
  AttachPart(o.partsB, 0, leg, 0, 0, 768, 0);
  o.partsB[0].sideFlag = 1;  // the front leg's image frames
  o.partCountA = 1;
  o.partCountB = 1;
}

// The angle brought into the half the walker faces: the left half for facing 0, the right one
// for facing 2.
int16_t MirrorIntoFacing(int16_t angle, int32_t facing) {
  const bool outside = facing == 0 ? (angle > 768 || angle < 256) : (angle > 256 && angle < 768);
  return outside ? static_cast<int16_t>(WrapAngle(512 - angle)) : angle;
}

void WalkerAttack(EnemyObject& o, bool ceiling) {
  o.intWork0 += 1;
  int16_t a = static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY));
  if (ceiling) {
    a = o.facing == 0 ? ClampAngleToArc(a, 320, 512, 0) : ClampAngleToArc(a, 0, 192, 0);
  } else {
    a = o.facing == 0 ? ClampAngleToArc(a, 512, 704, 0) : ClampAngleToArc(a, 832, 1024, 0);
  }
  o.angle = MirrorIntoFacing(o.angle, o.facing);
  if (o.intWork0 < 40) o.angle = static_cast<int16_t>(TurnTowardAngle(a, o.angle, 8));
  if ((o.intWork0 == 40 || o.intWork0 == 44 || o.intWork0 == 48) && IsHarderThanEasy()) {
    const int16_t side = (o.facing == 0) != ceiling ? 8 : -8;
    SpawnEnemyShot(1, o.angle, ScaleShotSpeed(4.0), RotateOffsetX(o.x, 30, side, o.angle),
                   RotateOffsetY(o.y, 30, side, o.angle), 1);
  }
  if (o.intWork0 == 50) o.intWork0 = 0;
}

void RunGunWalker(int16_t slot, bool ceiling) {
  EnemyObject& o = EnemyPool1[slot];
  CountFramesOnScreen(o);
  const int16_t rest = o.facing == 0 ? 512 : 0;
  if (o.intWork0 == 0 && o.angle == rest) LeanTowardPlayer(EnemyPool1, slot);
  if (o.frame % 8 == 1) {
    o.realWork0 = WorldToScreenX(PlayerX) > 320 ? PlayerX - 240 : PlayerX + 240;
  }
  double goal;
  if (o.intWork0 > 0) {
    goal = 0;
  } else if (o.frame <= kWalkerLeaveFrame) {
    if (std::abs(o.x - o.realWork0) < 40) {
      goal = 0;
    } else {
      goal = o.realWork0 < o.x ? -kWalkerSpeed : kWalkerSpeed;
    }
  } else {
    if (o.intWork1 == 0) o.intWork1 = WorldToScreenX(o.x) > 320 ? 1 : 2;
    goal = o.intWork1 == 1 ? -kWalkerSpeed : kWalkerSpeed;
  }
  o.speed = ApproachValue(o.speed, 0.4, goal);
  StopAtTurnMarker(EnemyPool1, slot, 0, ceiling ? 1 : 0);
  if (o.intWork0 == 0 &&
      o.frame % ComputeFireInterval(120, o.rank) == ComputeFireInterval(80, o.rank) &&
      o.facing % 2 == 0) {
    o.intWork0 = 1;
  }
  if (o.intWork0 > 0) {
    WalkerAttack(o, ceiling);
  } else {
    o.angle = static_cast<int16_t>(TurnTowardAngle(o.facing == 0 ? 512 : 0, o.angle, 8));
    o.angle = MirrorIntoFacing(o.angle, o.facing);
  }
  if (ceiling) {
    StepCeilingWalker(EnemyPool1, slot, o.speed, 0);
  } else {
    StepFloorWalker(EnemyPool1, slot, o.speed, 0);
  }
  if (o.facing == 1) o.angle = 0;
  // The body rises and falls with the front leg's stride.
  o.drawOffsetY = static_cast<int16_t>(
      DoubleToInt(std::fabs(4 * CosineTable[WrapAngle(o.partsB[0].baseAngle)])));
}

void SetUpFloorWalker(int16_t slot) { SetUpGunWalker(slot, false); }
void SetUpCeilingWalker(int16_t slot) { SetUpGunWalker(slot, true); }
void RunFloorWalker(int16_t slot) { RunGunWalker(slot, false); }
void RunCeilingWalker(int16_t slot) { RunGunWalker(slot, true); }

}  // namespace

void UpdateGunWalker(int16_t slot) { RunPool1(slot, SetUpFloorWalker, RunFloorWalker); }
void UpdateCeilingGunWalker(int16_t slot) { RunPool1(slot, SetUpCeilingWalker, RunCeilingWalker); }

// Kept only when placed while the map scrolls backward: the pool frees a map spawn whose edge
// does not match.
void UpdateGunWalkerBackward(int16_t slot) {
  EnemyPool1[slot].acceptDir = -1;
  UpdateGunWalker(slot);
}
void UpdateCeilingGunWalkerBackward(int16_t slot) {
  EnemyPool1[slot].acceptDir = -1;
  UpdateCeilingGunWalker(slot);
}
namespace {

constexpr int32_t kSwerveHeading = 512;

void SetUpSwerveFlier(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  o.state = 2;
  o.frame = 0;
  SetLife(o, 8);
  o.imageFrame = 0;
  o.vx = 0;
  o.vy = 0;
  o.speed = 3.2;
  o.angle = 0;
  o.heading = kSwerveHeading;
  ClearEnemyHitCircles(EnemyPool1, slot);
  SetEnemyHitCircle(EnemyPool1, slot, 0, 10, 0, 0);
  o.hitMode = 1;
  o.phase = 0;
  o.intWork0 = 0;             // swerve stage
  o.intWork1 = 0;             // frames of the swerve
  o.angle2 = kSwerveHeading;  // heading to turn to
  o.realWork0 = 0;
  o.realWork1 = 0;
  SetMargins(o, 80, 80, 16, 16);
  o.probeOffset = 0;
  o.y += GetVariantYShift(o.variant);
}

void RunSwerveFlier(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  const double oldX = o.x;
  const double oldY = o.y;
  o.vx = CosineTable[o.heading] * o.speed;
  o.vy = SineTable[o.heading] * o.speed;
  o.x += o.vx;
  o.y += o.vy;
  CountFramesOnScreen(o);
  if (o.intWork0 == 0) {
    if (o.x < ScreenToWorldX(440)) {
      o.intWork0 = 1;
      o.angle2 = PlayerY > o.y ? 128 : 896;  // toward the player's half
    }
  } else if (o.intWork0 == 1) {
    o.intWork1 += 1;
    if (o.intWork1 > 64) {
      o.intWork0 = 3;
      o.angle2 = kSwerveHeading;
    }
  }
  o.heading = static_cast<int16_t>(TurnTowardAngle(o.angle2, o.heading, 16));
  o.speed =
      o.heading == o.angle2 ? ApproachValue(o.speed, 0.4, 2.0) : ApproachValue(o.speed, 0.1, 0.8);
  o.imageFrame = (o.frame / 3) % 8;
  if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0) o.state = 3;
}

// Types 5 and 6: the pair spawner's slow gunner and the item carrier's escort.
void SetUpWeavingGunner(int16_t slot, bool escort) {
  EnemyObject& o = EnemyPool1[slot];
  o.state = 2;
  o.frame = 0;
  SetLife(o, 8);
  o.imageFrame = 0;
  o.vx = 0;
  o.vy = 0;
  o.speed = escort ? 1.0 : 1.2;
  // The spawn angle is the weave's direction and size; an escort launched with 0 weaves down.
  o.intWork0 = escort && o.angle == 0 ? 3 : o.angle;
  o.angle = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool1, slot);
  SetEnemyHitCircle(EnemyPool1, slot, 0, 9, 0, 0);
  o.hitMode = 1;
  o.phase = 0;
  o.intWork1 = 0;
  o.angle2 = 0;
  if (escort) {
    SetMargins(o, 240, 240, 16, 16);
    o.x += 20;
  } else {
    SetMargins(o, 80, 80, 16, 16);
  }
  o.probeOffset = 0;
  o.y += GetVariantYShift(o.variant);
  o.vy = o.intWork0 * o.speed;
  o.realWork0 = -o.vy / (escort ? 15 : 20);
  o.realWork1 = std::abs(o.vy);
}

void RunWeavingGunner(int16_t slot, bool escort) {
  EnemyObject& o = EnemyPool1[slot];
  const double oldX = o.x;
  const double oldY = o.y;
  Weave(o, escort && CurrentStage == 4 ? -o.speed * 3 : -o.speed);
  CountFramesOnScreen(o);
  if (o.phase > 32 &&
      o.frame % ComputeFireInterval(50, o.rank) == ComputeFireInterval(20, o.rank)) {
    const double mx = o.x - 11;
    const double my = o.y + 2;
    const int a = AimAngle(mx, my, PlayerX, PlayerY);
    // Only at a player ahead of it, to the left.
    if (a >= 384 && a <= 640 && IsHarderThanEasy()) {
      SpawnEnemyShot(0, static_cast<int16_t>(a), ScaleShotSpeed(4.0), mx, my, 1);
    }
  }
  if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0) o.state = 3;
}

}  // namespace

void UpdateSwerveFlier(int16_t slot) { RunPool1(slot, SetUpSwerveFlier, RunSwerveFlier); }
void UpdateSlowGunner(int16_t slot) {
  RunPool1(
      slot, [](int16_t s) { SetUpWeavingGunner(s, false); },
      [](int16_t s) { RunWeavingGunner(s, false); });
}
void UpdateEscortGunner(int16_t slot) {
  RunPool1(
      slot, [](int16_t s) { SetUpWeavingGunner(s, true); },
      [](int16_t s) { RunWeavingGunner(s, true); });
}
namespace {

constexpr int32_t kDashLeaveStage = 56;
constexpr int32_t kAmbushHomingFrames = 560;

bool HitsTerrainOrSolidPart(const EnemyObject& o, double oldX, double oldY) {
  return TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0 || IsPointInSolidPart(o.x, o.y, 1, -1);
}

// The first screen x at which an ambush or hatching flier of this variant comes out: 40 px
// further in for each variant step.
double EmergeScreenX(const EnemyObject& o) { return 640 - (std::max<int>(o.variant, 0) + 1) * 40; }

void SetUpDashFlier(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  o.state = 2;
  o.frame = 0;
  SetLife(o, 25);
  o.imageFrame = 0;
  o.speed = 6.4;
  o.airFrames = -1;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool1, slot);
  SetEnemyHitCircle(EnemyPool1, slot, 0, 18, 0, 0);
  o.intWork0 = 0;                         // dash stage
  o.intWork1 = 8 + 8 * (3 - Difficulty);  // brake length
  SetMargins(o, 240, 240, 32, 32);
  o.probeOffset = 0;
  o.vx = CosineTable[WrapAngle(o.angle)] * o.speed;
  o.vy = SineTable[WrapAngle(o.angle)] * o.speed;
  o.x += 20;
  o.y += GetVariantYShift(o.variant);
  o.heading = static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY));
  o.angle = o.heading;
}

void RunDashFlier(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  CountFramesOnScreen(o);
  if (o.intWork0 == 0) {
    if (WorldToScreenX(o.x) < 640) {
      o.speed = ApproachValue(o.speed, 0.1, 0);
      if (o.speed == 0) o.intWork0 = 1;
    }
  } else if (o.intWork0 < kDashLeaveStage) {
    o.speed = ApproachValue(o.speed, 0.02, 0);
    if (o.intWork0 > o.intWork1 / 2 && o.phase > 32 && o.frame % 8 == 0) {
      for (const int16_t side : {-18, 18}) {
        if (!IsHarderThanEasy()) continue;
        SpawnEnemyShot(1, o.angle, ScaleShotSpeed(3.8), RotateOffsetX(o.x, 27, side, o.angle),
                       RotateOffsetY(o.y, 27, side, o.angle), 1);
      }
    }
    o.intWork0 += 1;
  } else {
    o.speed = ApproachValue(o.speed, 0.2, 6.4);
  }
  const double oldX = o.x;
  const double oldY = o.y;
  if (o.intWork0 < kDashLeaveStage) {
    HomeOnPlayer(EnemyPool1, slot, 5);
  } else {
    TurnToScreenHalf(EnemyPool1, slot, 5);
  }
  if (o.frame % 2 == 0) o.imageFrame = o.imageFrame >= 5 ? 0 : o.imageFrame + 1;
  if (HitsTerrainOrSolidPart(o, oldX, oldY)) o.state = 3;
}

void SetUpAmbushFlier(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  o.state = 2;
  o.frame = 0;
  SetLife(o, 5);
  o.imageFrame = -1;  // hidden until it emerges
  o.airFrames = -1;
  o.heading = 0;
  o.angle = 0;
  ClearEnemyHitCircles(EnemyPool1, slot);
  SetEnemyHitCircle(EnemyPool1, slot, 0, 9, 0, 0);
  o.hitMode = 0;
  o.intWork0 = 0;
  SetMargins(o, 240, 240, 32, 32);
  o.probeOffset = 0;
  o.speed = 2.4 + 0.4 * Difficulty;
  o.vx = CosineTable[0] * o.speed;
  o.vy = SineTable[0] * o.speed;
  o.x += 20;
  o.y += GetVariantYShift(o.variant);
  o.heading = static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY));
  o.angle = o.heading;
}

void RunAmbushFlier(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.hitMode == 0 && o.variant <= 0) o.hitMode = 1;  // variant 0 comes out at once
  CountFramesOnScreen(o);
  const double oldX = o.x;
  const double oldY = o.y;
  if (o.hitMode == 0) {
    o.phase = 0;
    o.frame = 0;
    o.speed = 0;
    if (WorldToScreenX(o.x) > EmergeScreenX(o)) return;
    // Out from behind cover, away from the nearer screen edge, then at the player.
    o.hitMode = 1;
    if (WorldToScreenY(o.y) < 200) {
      o.y -= 40;
      o.heading = 256;
    } else {
      o.y += 40;
      o.heading = 768;
    }
    o.speed = 2.4 + 0.4 * Difficulty;
    o.vx = CosineTable[WrapAngle(o.angle)] * o.speed;
    o.vy = SineTable[WrapAngle(o.angle)] * o.speed;
    o.angle = static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY));
  } else if (o.frame <= kAmbushHomingFrames) {
    HomeOnPlayer(EnemyPool1, slot, 4);
  } else {
    o.phase = 0;
    TurnToScreenHalf(EnemyPool1, slot, 4);
  }
  if (o.phase > 32 &&
      o.frame % ComputeFireInterval(60, o.rank) == ComputeFireInterval(55, o.rank) &&
      IsHarderThanEasy()) {
    SpawnEnemyShot(0, o.angle, ScaleShotSpeed(3.8), RotateOffsetX(o.x, 16, 0, o.angle),
                   RotateOffsetY(o.y, 16, 0, o.angle), 1);
  }
  if (HitsTerrainOrSolidPart(o, oldX, oldY)) o.state = 3;
  o.imageFrame = (o.frame / 3) % 6;
}

void SetUpSmallFlier(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  o.state = 2;
  o.frame = 0;
  SetLife(o, 8);
  o.imageFrame = -1;
  o.vx = 0;
  o.vy = 0;
  o.speed = 0;
  o.angle = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool1, slot);
  SetEnemyHitCircle(EnemyPool1, slot, 0, 11, 0, 0);
  o.hitMode = 0;
  o.phase = 0;
  o.intWork0 = o.variant;
  o.intWork1 = 0;  // stage: 0 waiting, 1 hatching, 2 and on flying
  o.angle2 = 0;
  SetMargins(o, 80, 80, 16, 16);
  o.probeOffset = 0;
  o.y += GetVariantYShift(o.variant);
}

void RunSmallFlier(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (BossState != 0) {
    // A boss fight clears the way: a flier out of its shell explodes, an unhatched one goes.
    if (o.hitMode == 1) {
      o.state = 3;
    } else if (o.imageFrame == -1) {
      o.state = 0;
    }
    if (o.state != 2) return;
  }
  o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
  o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
  if (o.intWork1 == 0) {
    o.frame = 0;
    if (WorldToScreenX(o.x) <= EmergeScreenX(o)) o.intWork1 = 1;
  } else if (o.intWork1 == 1) {
    if (o.frame % 8 == 0) o.imageFrame += 1;
    if (o.imageFrame >= 8) o.intWork1 = 2;
  } else {
    o.hitMode = 1;
    if (o.frame % 4 == 0) o.imageFrame = o.imageFrame >= 11 ? 8 : o.imageFrame + 1;
    if (o.intWork1 == 2) o.heading = static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY));
    o.speed = 3.2;
    o.intWork1 += 1;
    if (IsOffScreenXY(o.x, o.y, 2 * o.despawnMarginX, 2 * o.despawnMarginY, false, false)) {
      o.state = 0;
      return;
    }
  }
  const double oldX = o.x;
  const double oldY = o.y;
  o.x += o.vx;
  o.y += o.vy;
  // It sits still in the world while it hatches, and flies with the screen once out.
  if (o.intWork1 > 2) {
    o.x += ScrollDeltaX;
    o.y += ScrollDeltaY;
  }
  if (HitsTerrainOrSolidPart(o, oldX, oldY)) o.state = 3;
}

}  // namespace

void UpdateDashFlier(int16_t slot) { RunPool1(slot, SetUpDashFlier, RunDashFlier); }
void UpdateAmbushFlier(int16_t slot) { RunPool1(slot, SetUpAmbushFlier, RunAmbushFlier); }

// Refused while a boss fight runs.
void UpdateSmallFlier(int16_t slot) {
  if (EnemyPool1[slot].state == 1 && BossState != 0) {
    EnemyPool1[slot].state = 0;
    return;
  }
  RunPool1(slot, SetUpSmallFlier, RunSmallFlier);
}

namespace {

// Single precision's 0.05, the gravity the shells have always fallen with.
constexpr double kShellGravity = static_cast<double>(0.05f);

struct Pool2Shape {
  int32_t lifeBase;
  int16_t radius;
  int16_t circleDx[3];  // offsets of up to three circles on the axis
  int circles;
  int32_t despawnX, despawnY, cull;
};

constexpr Pool2Shape kPool2Shapes[8] = {
    {20, 5, {0, 0, 0}, 1, 480, 480, 16},   {0, 0, {0, 0, 0}, 0, 0, 0, 0},
    {5, 5, {0, -8, 8}, 3, 480, 480, 28},   {5, 5, {0, 0, 0}, 1, 120, 800, 16},
    {20, 6, {0, 0, 0}, 1, 480, 480, 32},   {20, 9, {0, 0, 0}, 1, 480, 480, 32},
    {240, 4, {-6, 0, 6}, 3, 480, 960, 32}, {8000, 4, {-6, 0, 6}, 3, 120, 800, 32},
};

// What every missile and shell sets up before its own values; scoreBase 0 makes a kill pay
// the least an object can.
void SetUpPool2(int16_t slot) {
  EnemyObject& o = EnemyPool2[slot];
  const Pool2Shape& shape = kPool2Shapes[o.type];
  o.state = 2;
  o.frame = 0;
  o.life = ScaleLifeByRank(shape.lifeBase);
  o.maxLife = o.life;
  o.scoreBase = 0;
  o.imageFrame = 0;
  o.vx = 0;
  o.vy = 0;
  o.speed = 2.0;
  o.airFrames = -1;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool2, slot);
  for (int k = 0; k < shape.circles; ++k) {
    SetEnemyHitCircle(EnemyPool2, slot, k, shape.radius, shape.circleDx[k], 0);
  }
  SetMargins(o, shape.despawnX, shape.despawnY, shape.cull, shape.cull);
  o.useViewBox = 0;
  o.probeOffset = 0;
  RequestSoundEffect(o.type == 7 ? 35 : 36);
}

// Ignition frames 0..3 on even frames, then 4..7 looping every third frame.
void AnimatePool2(EnemyObject& o) {
  if (o.imageFrame < 4) {
    if (o.frame % 2 == 0) o.imageFrame += 1;
  } else if (o.frame % 3 == 0) {
    o.imageFrame = o.imageFrame >= 7 ? 4 : o.imageFrame + 1;
  }
}

bool ShakeRunning() { return ScreenShake.active > 0; }

void Fall(EnemyObject& o) {
  o.x += o.vx;
  o.y += o.vy;
  o.vy += kShellGravity;
  o.angle = static_cast<int16_t>(AimAngle(0, 0, o.vx, o.vy));
}

void SetVelocityFromAngle(EnemyObject& o, int16_t angle) {
  o.vx = CosineTable[WrapAngle(angle)] * o.speed;
  o.vy = SineTable[WrapAngle(angle)] * o.speed;
}

// The shared shape of the pool-2 behaviours; die runs the type's death (shots, explosion).
void RunPool2(int16_t slot, void (*setUp)(EnemyObject&), void (*live)(int16_t),
              void (*die)(EnemyObject&)) {
  EnemyObject& o = EnemyPool2[slot];
  if (o.state == 1) {
    SetUpPool2(slot);
    setUp(o);
  } else if (o.state == 2) {
    live(slot);
  } else if (o.state == 3) {
    die(o);
    o.state = 0;
  }
}

void TinyExplosion(EnemyObject& o) { SpawnTinyExplosion(o.x, o.y); }

void SetUpHomingMissile(EnemyObject& o) {
  o.speed = ScaleShotSpeed(6.4);
  o.heading = o.angle;
  o.intWork0 = 0;
  o.intWork1 = 0;
}

void RunHomingMissile(int16_t slot) {
  EnemyObject& o = EnemyPool2[slot];
  o.speed = ApproachValue(o.speed, 0.1, ScaleShotSpeed(2.4));
  const double oldX = o.x;
  const double oldY = o.y;
  if (o.frame <= 480) {
    HomeOnPlayer(EnemyPool2, slot, 4);
  } else {
    o.phase = 0;
    TurnToScreenHalf(EnemyPool2, slot, 4);
  }
  AnimatePool2(o);
  if (HitsTerrainOrSolidPart(o, oldX, oldY) || ShakeRunning()) o.state = 3;
}

void SetUpShootableShell(EnemyObject& o) {
  // Only the exhaust's spacing reads the speed.
  o.speed = 7.2 + LcgRandom() % 2;
  o.vx = 8.0;
  o.vy = 0;
  o.heading = o.angle;
  o.intWork0 = 0;  // stage: 0 braking, 1 running at the player's height
  o.intWork1 = 0;
}

// On stage 1 the shell meets the solid walkers and platforms of pool 1 by their body circle.
bool HitsSolidPool1Object(const EnemyObject& shell) {
  if (SolidEnemyTimer <= 0) return false;
  for (const EnemyObject& o : EnemyPool1) {
    if (o.solid != 0 && o.state == 2 && o.hitMode != 0 &&
        CirclesOverlap(shell.x, shell.y, o.x, o.y, 8, o.hitCircles.size[0])) {
      return true;
    }
  }
  return false;
}

void RunShootableShell(int16_t slot) {
  EnemyObject& o = EnemyPool2[slot];
  const double oldX = o.x;
  const double oldY = o.y;
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
  const double level = PlayerY > o.y ? 2.4 : -2.4;
  if (o.intWork0 == 0) {
    o.vx = ApproachValue(o.vx, 0.2, 0);
    o.vy = ApproachValue(o.vy, 0.05, level);
    if (o.vx == 0) o.intWork0 = 1;
  } else {
    o.vx = ApproachValue(o.vx, 0.05, 5.6);
    // Once the player is behind it, it flies straight.
    if (PlayerX > o.x) o.vy = ApproachValue(o.vy, 0.05, level);
  }
  const int16_t a = ClampAngleToArc(static_cast<int16_t>(AimAngle(0, 0, o.vx, o.vy)), -64, 64, 0);
  if (o.frame % 4 == 0) o.angle = static_cast<int16_t>(TurnTowardAngle(a, o.angle, 1));
  AnimatePool2(o);
  if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0) {
    o.state = 3;
  } else if (CurrentStage == 1 ? HitsSolidPool1Object(o) : IsPointInSolidPart(o.x, o.y, 1, -1)) {
    o.state = 3;
  }
  const int every = o.speed < 4.0 ? 4 : 2;
  if (o.frame % every == 0 && o.frame > 16) {
    SpawnEffect(26, RotateOffsetX(o.x, -22, 0, o.angle), RotateOffsetY(o.y, -22, 0, o.angle),
                static_cast<int16_t>(LcgRandom() % 1024), 0, 0);
  }
}

void SetUpLobbedShell(EnemyObject& o) {
  o.speed = 4.8;
  SetVelocityFromAngle(o, o.angle);
  o.imageFrame = 2;
  o.phase = 0;
  o.intWork0 = 0;
  o.intWork1 = 0;
  o.realWork0 = 0;
  o.realWork1 = 0;
}

void RunLobbedShell(int16_t slot) {
  EnemyObject& o = EnemyPool2[slot];
  const double oldX = o.x;
  const double oldY = o.y;
  Fall(o);
  if (o.frame % 3 == 0) o.imageFrame = o.imageFrame >= 7 ? 4 : o.imageFrame + 1;
  if (HitsTerrainOrSolidPart(o, oldX, oldY)) o.state = 3;
}

void SetUpFiringShell(EnemyObject& o) {
  o.speed = ScaleShotSpeed(6.4);
  o.vx = 8.0;
  o.vy = 0;
  o.heading = o.angle;
  o.intWork0 = 0;
  o.intWork1 = 0;
  // The player's place on the screen at launch: the target rides with the camera.
  o.realWork0 = WorldToScreenX(PlayerX);
  o.realWork1 = WorldToScreenY(PlayerY);
}

void RunFiringShell(int16_t slot) {
  EnemyObject& o = EnemyPool2[slot];
  const double tx = ScreenToWorldX(o.realWork0);
  const double ty = ScreenToWorldY(o.realWork1);
  o.heading = static_cast<int16_t>(TurnTowardAngle(AimAngle(o.x, o.y, tx, ty), o.heading, 16));
  SetVelocityFromAngle(o, o.heading);
  const double oldX = o.x;
  const double oldY = o.y;
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
  o.angle = o.heading;
  AnimatePool2(o);
  if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0 || SquaredDistance(o.x, o.y, tx, ty) < 1600 ||
      ShakeRunning()) {
    o.state = 3;
  }
}

void FiringShellDeath(EnemyObject& o) {
  SpawnTinyExplosion(o.x, o.y);
  SpawnEnemyShot(20, o.angle, ScaleShotSpeed(2.4), o.x, o.y, 0);
}

void SetUpRingBurstMine(EnemyObject& o) {
  o.speed = ScaleShotSpeed(6.4);
  o.vx = -1.6;
  o.vy = 0;
  o.heading = o.angle;
  o.intWork0 = 0;
  o.intWork1 = 0;
}

void RunRingBurstMine(int16_t slot) {
  EnemyObject& o = EnemyPool2[slot];
  o.x += o.vx + ScrollDeltaX;
  AnimatePool2(o);
  if (o.frame > 192 || ShakeRunning()) o.state = 3;
}

// However the mine ends (timed out, shot down, a stage clear, a cancel), its ring goes out.
void RingBurstMineDeath(EnemyObject& o) {
  SpawnTinyExplosion(o.x, o.y);
  for (const int16_t a : {85, 256, 427, 597, 768, 939}) {
    SpawnEnemyShot(0, a, ScaleShotSpeed(1.6), o.x, o.y, 0);
  }
}

void SetUpLargeMissile(EnemyObject& o) {
  const int c = o.angle;  // the launch code: tens pick climb or dive and the run's length
  o.speed = 6.4;
  o.vx = 0;
  o.vy = 0;
  const int distance = (3 - (c / 10) % 4) * 90 + (c % 10) * 30 + LcgRandom() % 90 - 60;
  o.heading = c / 10 >= 4 ? 256 : 768;
  o.angle = o.heading;
  o.intWork1 = o.heading == 256 ? 768 : 256;  // exit heading
  o.intWork0 = distance;
  o.phase = 0;      // motion stage
  o.realWork0 = 0;  // travelled
  o.realWork1 = 0;
}

void RunLargeMissile(int16_t slot) {
  EnemyObject& o = EnemyPool2[slot];
  SetVelocityFromAngle(o, o.heading);
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
  switch (o.phase) {
    case 0:
      o.speed = ApproachValue(o.speed, 0.1, 3.2);
      o.realWork0 += std::abs(o.vy);
      if (o.realWork0 > 24) o.phase = 1;
      break;
    case 1:
      o.speed = ApproachValue(o.speed, 0.1, 3.2);
      o.heading = static_cast<int16_t>(TurnTowardAngle(512, o.heading, 6));
      o.realWork0 = 0;
      if (o.heading == 512) o.phase = 2;
      break;
    case 2:
      o.speed = ApproachValue(o.speed, 0.1, 3.2);
      o.realWork0 += std::abs(o.vx);
      if (o.realWork0 > o.intWork0) o.phase = 3;
      break;
    default:
      o.speed = o.heading == o.intWork1 ? ApproachValue(o.speed, 0.02, 3.2)
                                        : ApproachValue(o.speed, 0.1, 0.2);
      o.heading = static_cast<int16_t>(TurnTowardAngle(o.intWork1, o.heading, 6));
      break;
  }
  o.angle = o.heading;
  AnimatePool2(o);
  if (ShakeRunning()) o.state = 3;
}

void SetUpHeavyShell(EnemyObject& o) {
  // The launcher's speed code 0..2, written right after the spawn.
  o.speed = 3.2 + (2 - o.intWork0) * 1.6;
  o.intWork0 = 0;
  SetVelocityFromAngle(o, o.angle);
  o.phase = 0;
  o.intWork1 = 0;
  o.realWork0 = 0;
  o.realWork1 = 0;
}

void RunHeavyShell(int16_t slot) {
  EnemyObject& o = EnemyPool2[slot];
  const double oldX = o.x;
  const double oldY = o.y;
  Fall(o);
  AnimatePool2(o);
  if (HitsTerrainOrSolidPart(o, oldX, oldY)) o.state = 3;
}

// However it ends, seven shots go straight up at 5 to 11 px a frame.
void HeavyShellDeath(EnemyObject& o) {
  for (int i = 1; i <= 7; ++i) SpawnEnemyShot(17, 768, i + 4, o.x, o.y, 0);
  SpawnTinyExplosion(o.x, o.y);
}

}  // namespace

void UpdateHomingMissile(int16_t slot) {
  RunPool2(slot, SetUpHomingMissile, RunHomingMissile, TinyExplosion);
}
void UpdateShootableShell(int16_t slot) {
  RunPool2(slot, SetUpShootableShell, RunShootableShell, TinyExplosion);
}
void UpdateLobbedShell(int16_t slot) {
  RunPool2(slot, SetUpLobbedShell, RunLobbedShell, TinyExplosion);
}
void UpdateFiringShell(int16_t slot) {
  RunPool2(slot, SetUpFiringShell, RunFiringShell, FiringShellDeath);
}
void UpdateRingBurstMine(int16_t slot) {
  RunPool2(slot, SetUpRingBurstMine, RunRingBurstMine, RingBurstMineDeath);
}
void UpdateLargeMissile(int16_t slot) {
  RunPool2(slot, SetUpLargeMissile, RunLargeMissile, TinyExplosion);
}
void UpdateFiringShellB(int16_t slot) {
  RunPool2(slot, SetUpHeavyShell, RunHeavyShell, HeavyShellDeath);
}
