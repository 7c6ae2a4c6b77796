#include <iterator>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage2/stage2.h"

#include "stg_src/game/deterministic.h"

// The battleships (pool 0, types 13 and 14) and the batteries (15 and 16). Words: speed the
// cruise speed (the ships always move left); intWork0 the zone flag (in the firing zone);
// intWork1 the beam flag (a beam is running and the ship brakes); phase the battery's frames on
// screen. Parts: cue is the owner's trigger (a section's open flag, a gun's burst count, an
// emitter's beam timer).

namespace {

constexpr int32_t kShipLife = 400;
constexpr int32_t kSmallShipLife = 290;
constexpr int32_t kSectionLife = 480;
constexpr int32_t kMountLife = 140;
constexpr int32_t kBatteryLife = 9;

constexpr double kShipStartSpeed = 1.8;
constexpr double kShipCruise = 1.6;
constexpr double kSmallShipCruise = 2.4;
constexpr double kBrake = 0.05;
constexpr double kZoneEnter = 640;
constexpr double kZoneLeave = 400;
constexpr double kSmallZone = 580;
constexpr int32_t kWreckFrames = 16;

// The emitters' beams: start timer, warning line, beam, sound.
constexpr TiedBeamRow kShipBeam = {130, 70, 8, 9, 12, 13, 38, 0, false};
constexpr TiedBeamRow kSmallShipBeam = {120, 70, 10, 11, 12, 13, 37, 0, false};
constexpr int16_t kBeamIdleBelow = 2;
constexpr int16_t kShutdownCut = 30;
constexpr int16_t kShutdownStep = 3;

enum ShipSlots : int {
  kUpperSection = 1,  // partsA
  kLowerSection = 2,
  kEmitter = 0,  // partsB
  kRearUpper = 1,
  kRearLower = 2,
};

struct PartSlot {
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t parent;
  int16_t variant;
};
constexpr PartSlot kShipPartsA[] = {
    {0, 6, 0, 0, 0, -1, 4},    {1, 6, 0, -48, 0, -1, 0},  {2, 6, 0, 48, 0, -1, 1},
    {3, 7, 0, 8, 512, 4, 0},   {4, 7, -88, -19, 0, 1, 1}, {5, 7, 0, 8, 512, 6, 0},
    {6, 7, 32, -45, 0, 1, 1},  {7, 8, 0, -8, 512, 8, 0},  {8, 8, -88, 19, 0, 2, 1},
    {9, 8, 0, -8, 512, 10, 0}, {10, 8, 32, 45, 0, 2, 1},
};
constexpr PartSlot kShipPartsB[] = {
    {0, 25, -26, 0, 512, -1, 0}, {1, 6, 160, -32, 0, -1, 2}, {2, 6, 160, 32, 0, -1, 3}};
constexpr PartSlot kSmallShipPartsB[] = {{0, 26, -120, 0, 512, -1, 0}};

void AttachAll(EnemyPart* parts, const PartSlot* rows, int n) {
  for (int k = 0; k < n; ++k) {
    const PartSlot& r = rows[k];
    AttachPart(parts, r.slot, r.type, r.dx, r.dy, r.angle, 0);
    parts[r.slot].variant = r.variant;
    parts[r.slot].parentPart = r.parent;
  }
}

struct Circle {
  int16_t size, dx, dy;
};

void SetLife(EnemyObject& o, int32_t base) {
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(base);
}

// The set-up both ships and the battery share.
void SetUpBody(int16_t slot, int32_t life, double speed, const Circle* circles, int n) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.frame = 0;
  SetLife(o, life);
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = speed;
  o.airFrames = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  for (int k = 0; k < n; ++k) {
    SetEnemyHitCircle(EnemyPool0, slot, k, circles[k].size, circles[k].dx, circles[k].dy);
  }
  o.hitMode = 1;
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.y += GetVariantYShift(o.variant);
}

void Cruise(EnemyObject& o) {
  o.vx = CosineTable[512] * o.speed;
  o.x += o.vx + ScrollDeltaX;
}

// The wreck's last frames: its frame counts twice, so it is freed 8 frames after the blast.
void StepWreck(EnemyObject& o) {
  o.frame += 1;
  if (o.frame > kWreckFrames) o.state = 0;
}

void StartBeamOnce(EnemyObject& o, int16_t start) {
  if (o.partsB[kEmitter].cue == 0) {
    o.partsB[kEmitter].cue = start;
    o.intWork1 = 1;
  }
}

// The emitters' shared step: the tied beam with the ship's row, idle once the timer is below
// 2 (so one beam a ship), the ship moving on as the beam ends, and the fade-out when the ship
// is gone.
void RunShipEmitter(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex,
                    const TiedBeamRow& row) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& ship = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.imageFrame = -1;
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 0;
    return;
  }
  if (p.state < 2) return;
  if (FollowParentObject(pool, static_cast<int>(slot), parts, partIndex, 1) == 0) return;
  if (p.cue < kBeamIdleBelow) {
    p.linkActive = 0;
  } else {
    const bool ending = p.cue == kBeamIdleBelow;
    RunTiedBeam(pool, slot, parts, partIndex, row);
    if (ending) ship.intWork1 = 0;
  }
  if (p.state > 2) {
    if (p.cue > kShutdownCut) p.cue = kShutdownCut;
    p.cue = static_cast<int16_t>(p.cue - kShutdownStep);
    if (p.cue <= 1) {
      p.state = 0;
      return;
    }
  }
  p.drawOffsetY = ship.drawOffsetY;
}

constexpr Circle kShipCircles[] = {{60, 54, 0}, {14, -14, 0}, {25, 30, 0}};
constexpr Circle kSmallShipCircles[] = {{26, -91, 0}, {31, -36, 0}, {33, 26, 0}, {20, 75, 0}};
constexpr Circle kBatteryCircles[] = {{8, 0, 0}};

}  // namespace

void UpdateStage2Senkan(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpBody(slot, kShipLife, kShipStartSpeed, kShipCircles, 3);
    o.despawnMarginX = 180;
    o.despawnMarginY = 240;
    o.cullMarginX = 160;
    o.cullMarginY = 64;
    o.x += 128;
    AttachAll(o.partsA, kShipPartsA, static_cast<int>(std::size(kShipPartsA)));
    AttachAll(o.partsB, kShipPartsB, static_cast<int>(std::size(kShipPartsB)));
    o.partCountA = static_cast<int16_t>(std::size(kShipPartsA));
    o.partCountB = static_cast<int16_t>(std::size(kShipPartsB));
    return;
  }
  if (o.state == 2) {
    Cruise(o);
    const double sx = WorldToScreenX(o.x);
    if (sx <= kZoneEnter) o.intWork0 = 1;
    if (sx <= kZoneLeave) o.intWork0 = 0;
    const int16_t open = o.intWork0 == 1 ? 1 : 0;
    o.partsA[kUpperSection].cue = o.partsA[kLowerSection].cue = open;
    o.partsB[kRearUpper].cue = o.partsB[kRearLower].cue = open;
    if (open == 1) StartBeamOnce(o, kShipBeam.start);
    o.speed = ApproachValue(o.speed, kBrake, o.intWork1 == 1 ? 0 : kShipCruise);
    const int16_t p = ComputeFireInterval(100, o.rank);
    const int32_t at = o.frame % p;
    if (at == ComputeFireInterval(10, o.rank)) o.partsA[3].cue = o.partsA[7].cue = 1;
    if (at == ComputeFireInterval(30, o.rank)) o.partsA[5].cue = o.partsA[9].cue = 1;
    return;
  }
  if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    o.state = 4;
    o.frame = 0;
  }
  if (o.state == 4) StepWreck(o);
}

void UpdateStage2Senkan2(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpBody(slot, kSmallShipLife, kSmallShipCruise, kSmallShipCircles, 4);
    o.despawnMarginX = 128;
    o.despawnMarginY = 160;
    o.cullMarginX = 128;
    o.cullMarginY = 48;
    o.x += 108;
    AttachAll(o.partsB, kSmallShipPartsB, 1);
    o.partCountA = 0;
    o.partCountB = 1;
    return;
  }
  if (o.state == 2) {
    Cruise(o);
    // The small ship's zone is never left: its beam comes once.
    if (WorldToScreenX(o.x) <= kSmallZone) o.intWork0 = 1;
    if (o.intWork0 == 1) StartBeamOnce(o, kSmallShipBeam.start);
    o.speed = ApproachValue(o.speed, kBrake, o.intWork1 == 1 ? 0 : kSmallShipCruise);
    return;
  }
  if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    const auto r1 = static_cast<int16_t>(LcgRandom() % 1024);
    SpawnEffect(1, o.x - 60, o.y, r1, 0, 0);
    const auto r2 = static_cast<int16_t>(LcgRandom() % 1024);
    SpawnEffect(1, o.x + 60, o.y, r2, 0, 0);
    o.state = 4;
    o.frame = 0;
  }
  if (o.state == 4) StepWreck(o);
}

void UpdateStage2Houdai(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpBody(slot, kBatteryLife, 0, kBatteryCircles, 1);
    o.angle = 512;
    o.despawnMarginX = o.despawnMarginY = 40;
    o.cullMarginX = 40;
    o.cullMarginY = 20;
    return;
  }
  if (o.state == 2) {
    CountFramesOnScreen(o);
    if (o.phase > 32 &&
        o.frame % ComputeFireInterval(32, o.rank) == ComputeFireInterval(16, o.rank) &&
        IsHarderThanEasy()) {
      SpawnEnemyShot(3, o.angle, ScaleShotSpeed(4), RotateOffsetX(o.x, 16, 0, o.angle),
                     RotateOffsetY(o.y, 16, 0, o.angle), 1);
    }
    return;
  }
  if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    o.state = 0;
  }
}

void UpdateStage2HoudaiReverse(int16_t slot) {
  UpdateStage2Houdai(slot);
  EnemyPool0[slot].angle = 0;
}

// Hull sections (part type 6): 0 upper, 1 lower, 2 and 3 rear, 4 the centre. A section shot
// away stays as an invisible, inert wreck (image frame -1) that its mounts read as gone.
void UpdateStage2SenkanHullPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& ship = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  const int16_t v = p.variant;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kSectionLife);
    p.imageFrame = v;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    if (v == 0 || v == 1) {
      constexpr Circle kSection[] = {
          {18, -132, 26}, {26, -83, 23}, {28, -36, 18}, {36, 25, 10}, {40, 102, 11}};
      const int16_t sign = v == 0 ? -1 : 1;
      p.hitMode = 1;
      for (int k = 0; k < 5; ++k) {
        SetPartHitCircle(parts, partIndex, k, kSection[k].size, kSection[k].dx,
                         static_cast<int16_t>(sign * kSection[k].dy));
      }
    }
    p.cullMarginX = v == 4 ? 160 : v >= 2 ? 64 : 176;
    p.cullMarginY = v == 4 ? 96 : v >= 2 ? 32 : 48;
    p.cue = p.work0 = p.work1 = 0;
    return;
  }
  if (p.state == 3) {
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    p.state = 2;
    p.life = -1;
    p.imageFrame = -1;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
  }
  if (p.state == 2) {
    FollowParentObject(pool, static_cast<int>(slot), parts, partIndex, 1);
    constexpr double kOpen[4] = {-80, 80, -48, 48};
    constexpr double kShut[4] = {-48, 48, -32, 32};
    if (v >= 0 && v < 4) p.offsetY = ApproachValue(p.offsetY, 1, p.cue == 1 ? kOpen[v] : kShut[v]);
    p.angle = ship.angle;
    if (ship.state > 2) p.state = 4;
  }
  if (p.state == 4) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
  }
}

namespace {

// A turret mount (variant 1) or the gun on it (variant 0); upper guns never aim into the lower
// half of the turn, lower guns never into the upper half.
void RunTurret(EnemyPart* parts, int16_t partIndex, bool upper) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kMountLife);
    p.imageFrame = p.variant;
    ClearPartHitCircles(parts, partIndex);
    const bool mount = p.variant == 1;
    p.hitMode = mount ? 1 : 0;
    if (mount) SetPartHitCircle(parts, partIndex, 0, 16, 0, upper ? 13 : -13);
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = 32;
    p.cullMarginY = 16;
    return;
  }
  if (p.state == 2) {
    if (FollowParentPart(parts, p.parentPart, parts, partIndex) == 0) return;  // mount gone
  }
  if (p.state == 2 && p.imageFrame == 0) {
    const int a = AimAngle(p.x, p.y, PlayerX, PlayerY);
    if (p.cue == 1 && IsOffScreenXY(p.x, p.y, 8, 8, false, false)) p.cue = 0;
    if (p.cue <= 0) {
      if (upper) {
        const int target = a >= 512 ? a : a < 256 ? 0 : 512;
        p.angle = static_cast<int16_t>(TurnTowardAngleFlipTie(target, p.angle, 8));
      } else {
        const int target = a <= 512 ? a : a <= 768 ? 512 : 0;
        p.angle = static_cast<int16_t>(TurnTowardAngle(target, p.angle, 8));
      }
    } else {
      p.cue = static_cast<int16_t>(p.cue + 1);
      if (p.cue % 4 == 0) {
        SpawnEnemyShot(3, p.angle, ScaleShotSpeed(4), RotateOffsetX(p.x, 32, 0, p.angle),
                       RotateOffsetY(p.y, 32, 0, p.angle), 1);
      }
      if (p.cue > 20) p.cue = 0;
    }
  }
  if (p.state == 2) {
    const int parent = p.parentPart;
    if (parent >= 0 && parent < kPartsACount && parts[parent].imageFrame == -1) p.state = 3;
  }
  if (p.state >= 3) {
    p.state = 0;
    SpawnSparkBurst(p.x, p.y, 1, -1);
  }
}

}  // namespace

void UpdateStage2SenkanUpperTurretPart(EnemyObject*, uint16_t, EnemyPart* parts,
                                       int16_t partIndex) {
  RunTurret(parts, partIndex, true);
}

void UpdateStage2SenkanLowerTurretPart(EnemyObject*, uint16_t, EnemyPart* parts,
                                       int16_t partIndex) {
  RunTurret(parts, partIndex, false);
}

void UpdateStage2SenkanBeamPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  RunShipEmitter(pool, slot, parts, partIndex, kShipBeam);
}

void UpdateStage2Senkan2BeamPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  RunShipEmitter(pool, slot, parts, partIndex, kSmallShipBeam);
}
