// The carrier: an indestructible frame of walls that stops the scroll, sways, fires bouncing shots
// between its walls from two wall guns, carries three rebuilding turret pairs on each wall and a
// laser core at its far end; with the core gone it shuts down, drifts home and lets the scroll go.
#include <cstdlib>
#include <iterator>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage4/laser_weapons.h"
#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

// Carrier (pool 1): phase 1 while the core warns or fires; intWork0 the wall guns' cue number
// (1..8), intWork1 their volley count, intWork3 sway on; realWork0 the horizontal sway
// acceleration (0 until the stop), realWork1 the vertical sway offset, heading the sway angle;
// realWork2 / realWork3 home.
// Core (part 4): cue the laser count. Walls (part 5): image frame 0 upper, 1 lower, 2 the end
// wall, whose cue 9999 (then 10000) is the carrier's shut-down sign. Wall guns (part 6): work0
// the cue number of their volley, work1 the volley count. Turret pairs (parts 7 and 8): variant 1
// the arm, 0 the gun hanging on it; work1 frames since built; the gun's cue its firing count.

namespace {

constexpr int kCore = 0;  // in partsA
constexpr int kWallGunTop = 12;
constexpr int kWallGunBottom = 13;
constexpr int kEndWall = 14;
constexpr int kTurretArms[] = {1, 3, 5, 7, 9, 11};

constexpr double kStopRightEdge = 4080;
constexpr int16_t kShutDown = 9999;
constexpr int16_t kOpened = 10000;
constexpr double kSwayLimit = 0.5;
constexpr double kSwayAcceleration = 0.01;
constexpr double kHomingStep = 0.4;
constexpr int32_t kLaserAfterFrame = 800;
constexpr int32_t kSelfDestructAfterFrame = 5000;

constexpr double kCoreRest = 880;
constexpr double kCoreOut = 944;

struct CarrierPart {
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t variant;
  int16_t parent;  // partsB slot it hangs on, -1 the carrier
};

constexpr CarrierPart kFrontParts[] = {
    {0, 7, 0, 8, 768, 0, 1},        {1, 7, -317, -96, 0, 1, 16},   {2, 8, 0, -8, 256, 0, 3},
    {3, 8, -317, 96, 0, 1, 15},     {4, 7, 0, 8, 768, 0, 5},       {5, 7, 164, -96, 0, 1, 16},
    {6, 8, 0, -8, 256, 0, 7},       {7, 8, 164, 96, 0, 1, 15},     {8, 7, 0, 8, 768, 0, 9},
    {9, 7, 294, -96, 0, 1, 16},     {10, 8, 0, -8, 256, 0, 11},    {11, 8, 294, 96, 0, 1, 15},
    {12, 6, -40, -100, 384, 0, 14}, {13, 6, -40, 100, 640, 1, 14}, {14, 5, 920, 0, 0, 2, -1},
    {15, 5, 460, -500, 0, 0, -1},   {16, 5, 460, 300, 0, 1, -1},
};

void SetUpCarrier(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = -1;
  o.hitMode = 0;
  o.solid = 1;
  ClearEnemyHitCircles(EnemyPool1, slot);
  o.despawnMarginX = o.despawnMarginY = 1040;
  o.cullMarginX = o.cullMarginY = 0;
  o.phase = 0;
  o.intWork0 = 1;
  o.intWork1 = 0;
  o.intWork3 = 0;
  o.realWork0 = 0;
  o.realWork1 = 0;
  o.heading = 0;
  o.vx = o.vy = 0;
  o.x -= 79;
  o.y -= 20;
  o.realWork2 = o.x;
  o.realWork3 = o.y;
  AttachPart(o.partsA, kCore, 4, kCoreRest, 0, 512, 0);
  for (const CarrierPart& p : kFrontParts) {
    AttachPart(o.partsB, p.slot, p.type, p.dx, p.dy, p.angle, 0);
    o.partsB[p.slot].variant = p.variant;
    o.partsB[p.slot].parentPart = p.parent;
  }
  o.partCountA = 1;
  o.partCountB = static_cast<int16_t>(std::size(kFrontParts));
  o.state = 2;
}

void CueWallGun(EnemyObject& o, int gun) {
  EnemyPart& g = o.partsB[gun];
  g.cue = 1;
  g.work0 = static_cast<int16_t>(o.intWork0);
  g.work1 = static_cast<int16_t>(o.intWork1);
}

void Sway(EnemyObject& o) {
  if (o.intWork3 == 1) o.vx += o.realWork0;
  if (o.vx > kSwayLimit) {
    o.vx = kSwayLimit;
    o.realWork0 = -o.realWork0;
  } else if (o.vx < -kSwayLimit) {
    o.vx = -kSwayLimit;
    o.realWork0 = -o.realWork0;
  }
  o.heading = static_cast<int16_t>(WrapAngle(o.heading + 2));
  o.realWork1 = static_cast<int>(std::abs(20 * CosineTable[o.heading]));
}

void GoHome(EnemyObject& o) {
  o.realWork1 = ApproachValue(o.realWork1, kHomingStep, 0);
  o.x = ApproachValue(o.x, kHomingStep, o.realWork2);
  o.vx = 0;
  if (o.realWork1 == 0 && o.x == o.realWork2) ScrollTargetSpeed = 1;
}

}  // namespace

void UpdateStage4Entry(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) SetUpCarrier(slot);
  // Nothing destroys it; a pool-wide cancel that sends it to state 3 lets it go.
  if (o.state != 2) {
    o.state = 0;
    return;
  }
  EnemyPart& core = o.partsA[kCore];
  EnemyPart& endWall = o.partsB[kEndWall];
  o.x += o.vx;
  o.y = o.realWork3 + o.realWork1;
  if (ScreenToWorldX(kViewWidth) >= kStopRightEdge && o.realWork0 == 0 && endWall.cue < kShutDown) {
    ScrollTargetSpeed = 0;
    o.intWork3 = 1;
    o.vx = -kSwayLimit;
    o.realWork0 = kSwayAcceleration;
  }
  if (core.state >= 3 && endWall.cue < kShutDown) {
    endWall.cue = kShutDown;
    o.partsB[kWallGunTop].state = 3;
    o.partsB[kWallGunBottom].state = 3;
    for (int arm : kTurretArms) o.partsB[arm].state = 4;
  }
  if (endWall.cue < kShutDown) {
    Sway(o);
  } else {
    GoHome(o);
  }
  const int16_t laserPeriod = ComputeFireIntervalFlat(480, o.rank);
  if (core.cue == 0 && o.frame > kLaserAfterFrame &&
      o.frame % laserPeriod == ComputeFireIntervalFlat(160, o.rank))
    core.cue = kCarrierCoreLaser.startValue;
  if (core.cue == 0 && o.frame > kSelfDestructAfterFrame) core.cue = -1;
  const int16_t gunPeriod = ComputeFireInterval(100, o.rank);
  const int32_t gunPhase = o.frame % gunPeriod;
  const bool gunsCued = o.intWork0 % 4 != 0;
  if (gunPhase == ComputeFireInterval(20, o.rank) && gunsCued) CueWallGun(o, kWallGunTop);
  if (gunPhase == ComputeFireInterval(70, o.rank)) {
    if (gunsCued) CueWallGun(o, kWallGunBottom);
    o.intWork0 = o.intWork0 >= 8 ? 1 : o.intWork0 + 1;
    o.intWork1 += 1;
  }
}

// The core slides out to fire: its warning count waits until it stands at 944; with cue -1 it
// slides out and blows itself up.
void UpdateStage4EntryCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& carrier = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(3500);
    p.imageFrame = 0;
    p.hitMode = 1;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 40, -33, 0);
    p.cue = 0;
    p.cullMarginX = 20;
    p.cullMarginY = 40;
  }
  if (p.state == 2) { FollowParentObject(pool, slot, parts, partIndex, 1); }
  if (p.state == 2) {
    const Stage4LaserUser& u = kCarrierCoreLaser;
    BeginStage4LaserFrame(p, u);
    if (p.cue >= u.warningFloor) {
      // The count waits for the core to stand out: 32 frames from rest before its first step.
      if (p.offsetX == kCoreOut) RunStage4LaserWarningStep(pool, slot, parts, partIndex, u);
      p.offsetX = ApproachValue(p.offsetX, 2, kCoreOut);
      carrier.phase = 1;
    } else if (p.cue == 0) {
      p.offsetX = ApproachValue(p.offsetX, 1, kCoreRest);
      p.linkActive = 0;
      carrier.phase = 0;
    } else if (p.cue < 0) {
      p.offsetX = ApproachValue(p.offsetX, 1, kCoreOut);
      if (p.offsetX == kCoreOut) p.state = 3;
      carrier.phase = 0;
    } else {
      p.offsetX = ApproachValue(p.offsetX, 2, kCoreOut);
      RunStage4LaserBeamStep(pool, slot, parts, partIndex, u);
      carrier.phase = 1;
    }
    return;
  }
  if (p.state == 3) {
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    SpawnLargeExplosion(p.x + 80, p.y - 120, 1, -1);
    SpawnLargeExplosion(p.x + 80, p.y + 120, 1, -1);
    SpawnLargeExplosion(p.x + 160, p.y, 1, -1);
    p.state = 4;
    p.linkActive = 0;
  } else if (p.state >= 4) {
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    p.state = 0;
    p.linkActive = 0;
    carrier.phase = 0;
  }
}

// The walls close in while the core fires, write the lines the bouncing shots turn at, and the
// end wall opens (image 3, no longer solid) once the carrier has shut down.
void UpdateStage4EntryWallPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = p.variant;
    ClearPartHitCircles(parts, partIndex);
    if (p.imageFrame == 2) {
      SetSolidPartBox(parts, partIndex, 40, 320);
      p.cullMarginX = 100;
      p.cullMarginY = 320;
    } else {
      SetSolidPartBox(parts, partIndex, 440, 80);
      p.cullMarginX = 480;
      p.cullMarginY = 80;
    }
    p.cue = 0;
    p.work0 = p.work1 = 0;
  }
  if (p.state != 2) return;
  if (p.cue == kShutDown) {
    p.imageFrame += 1;
    p.cue = kOpened;
    p.hitMode = 0;
  }
  const bool firing = pool[slot].phase != 0;
  const bool step = firing ? p.counter % 2 == 0 : p.counter % 4 == 0;
  if (p.imageFrame == 0) {
    if (step) p.offsetY = ApproachValue(p.offsetY, 1, firing ? -260 : -200);
    StageWorkY[0] = static_cast<int32_t>(p.y) + 80;
  } else if (p.imageFrame == 1) {
    if (step) p.offsetY = ApproachValue(p.offsetY, 1, firing ? 260 : 200);
    StageWorkY[1] = static_cast<int32_t>(p.y) - 80;
  }
  FollowParentObject(pool, slot, parts, partIndex, 1);
  MarkSolidPartPresent();
}

// Aims by the carrier's cue number (shifted toward the walls after 20 volleys) and fires one
// bouncing shot per cue.
void UpdateStage4EntryGunPart(EnemyObject*, uint16_t, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = -1;
    p.maxLife = p.scoreBase = 0;
    p.imageFrame = 0;
    p.hitMode = 1;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 10, 0, 0);
    p.cue = 0;
    p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 20;
  }
  if (p.state >= 3) {
    p.state = 0;
    SpawnSparkBurst(p.x, p.y, 1, -1);
    return;
  }
  if (p.state != 2) return;
  FollowParentPart(parts, p.parentPart, parts, partIndex);
  const bool low = p.variant == 1;
  int target;
  switch (p.work0) {
    case 1:
    case 7:
      target = low ? 672 : 416;
      break;
    case 2:
    case 6:
      target = low ? 640 : 384;
      break;
    case 3:
    case 5:
      target = low ? 608 : 352;
      break;
    default:
      target = p.angle;
      break;
  }
  if (p.work1 > 20) target += low ? 32 : -32;
  if (p.cue > 0) {
    if (p.cue == 16) {
      SpawnEnemyShotHigh(18, p.angle, ScaleShotSpeed(4), RotateOffsetX(p.x, 22, 0, p.angle),
                         RotateOffsetY(p.y, 22, 0, p.angle), 1);
    }
    p.cue = static_cast<int16_t>(p.cue + 1);
    if (p.cue > 24) p.cue = 0;
  }
  p.angle = static_cast<int16_t>(TurnTowardAngleFlipTie(WrapAngle(target), p.angle, 8));
}
