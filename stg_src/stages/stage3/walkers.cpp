// Stage 3's two legged walkers: the floor walker enters at the right edge and walks left on the
// floor; the ceiling walker enters at the left edge and walks right upside down. Four jointed
// legs of three segments each, and a gun that opens out of the body and fires one aimed shot.
// Killed, a walker drops (rises) slowly onto the nearest surface and explodes there.
//
// Walker words: phase the frames on screen (held at its top); intWork0 the gun state (0 closed,
// 1 opening, 2 open and firing); imageFrame 0..3 the body opening for the gun. Gun words: cue
// the firing count (0 idle, 1..31).
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/enemies/part_motion.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kFirstWalkerFrame = 80;
constexpr int32_t kGunPart = 15;
constexpr int kGunSlot = 6;
constexpr int16_t kGunShot = 3;
constexpr int16_t kGunFiresAt = 16;
constexpr int16_t kGunCycle = 32;
constexpr int kOpenFrame = 3;
constexpr double kFootProbe = 45;

// What tells the two walkers apart; the ceiling walker mirrors the floor walker's offsets.
struct WalkerKind {
  bool ceiling;
  double speed;
  int16_t heading;
  int16_t acceptDir;
  int16_t circleDy;  // circles (20, 0, dy) and (12, 0, 4 dy)
  int16_t fireOffset;
  int32_t legPart;
  int16_t gunAngle;
  int16_t gunArcLo, gunArcHi;
};

constexpr WalkerKind kFloorWalker = {false, -2, 512, 1, 8, 30, 16, 768, 608, 928};
constexpr WalkerKind kCeilingWalker = {true, 2, 0, -1, -8, 70, 17, 256, 96, 416};

// The legs: array (0 A, 1 B), slot, offset, angle, parent slot (-1 the body), variant.
struct LegPlace {
  int array;
  int slot;
  int16_t dx, dy;
  int16_t angle;
  int16_t parent;
  int16_t variant;
};

constexpr LegPlace kLegs[] = {
    {1, 0, -12, 18, 256, -1, 0}, {1, 1, 18, 0, 256, 0, 2}, {1, 2, 18, 0, 256, 1, 4},
    {1, 3, 12, 18, 256, -1, 1},  {1, 4, 18, 0, 256, 3, 3}, {1, 5, 18, 0, 256, 4, 5},
    {0, 0, -12, 18, 768, -1, 6}, {0, 1, 18, 0, 768, 0, 8}, {0, 2, 18, 0, 768, 1, 10},
    {0, 3, 12, 18, 768, -1, 7},  {0, 4, 18, 0, 768, 3, 9}, {0, 5, 18, 0, 768, 4, 11},
};

void SetUpWalker(int16_t slot, const WalkerKind& k) {
  EnemyObject& o = EnemyPool1[slot];
  if (GameFrame < kFirstWalkerFrame) {
    o.state = 0;
    return;
  }
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(48);
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = k.speed;
  o.heading = k.heading;
  o.acceptDir = k.acceptDir;
  o.airFrames = 0;
  ClearEnemyHitCircles(EnemyPool1, slot);
  SetEnemyHitCircle(EnemyPool1, slot, 0, 20, 0, k.circleDy);
  SetEnemyHitCircle(EnemyPool1, slot, 1, 12, 0, static_cast<int16_t>(4 * k.circleDy));
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.despawnMarginX = 160;
  o.despawnMarginY = 600;
  o.cullMarginX = o.cullMarginY = 32;
  o.probeOffset = kFootProbe;
  if (k.ceiling) {
    o.y += 60;
    o.x = ScreenToWorldX(0) - 60;
    RaiseToCeiling(o.x, &o.y, kFootProbe);
  } else {
    o.y -= 60;
    o.x = ScreenToWorldX(640) + 60;
    DropOntoGround(o.x, &o.y, kFootProbe);
  }
  const int16_t flip = k.ceiling ? -1 : 1;
  for (const LegPlace& leg : kLegs) {
    EnemyPart* parts = leg.array == 0 ? o.partsA : o.partsB;
    AttachPart(parts, leg.slot, k.legPart, leg.dx * flip, leg.dy * flip, leg.angle, 0);
    parts[leg.slot].parentPart = leg.parent;
    parts[leg.slot].variant = leg.variant;
  }
  AttachPart(o.partsA, kGunSlot, kGunPart, 0, 0, k.gunAngle, 0);
  o.partsA[kGunSlot].variant = k.ceiling ? 1 : 0;
  o.partCountA = 7;
  o.partCountB = 6;
}

void StepWalker(int16_t slot, const WalkerKind& k) {
  EnemyObject& o = EnemyPool1[slot];
  if (k.ceiling) {
    StepCeilingWalker(EnemyPool1, slot, o.speed, 8);
  } else {
    StepFloorWalker(EnemyPool1, slot, o.speed, 8);
  }
  CountFramesOnScreen(o);
  if (o.phase > 32 &&
      o.frame % ComputeFireInterval(120, o.rank) == ComputeFireInterval(k.fireOffset, o.rank) &&
      IsHarderThanEasy() && o.x > ScreenToWorldX(280)) {
    o.intWork0 = 1;
  }
  if (o.intWork0 == 1) {
    if (o.frame % 4 == 0 && o.imageFrame < kOpenFrame) o.imageFrame += 1;
    if (o.imageFrame >= kOpenFrame) {
      o.intWork0 = 2;
      o.partsA[kGunSlot].cue = 1;
    }
  } else if (o.intWork0 == 0 && o.frame % 4 == 0 && o.imageFrame > 0) {
    o.imageFrame -= 1;
  }
}

void UpdateWalker(int16_t slot, const WalkerKind& k) {
  EnemyObject& o = EnemyPool1[slot];
  switch (o.state) {
    case 1:
      SetUpWalker(slot, k);
      return;
    case 2:
      StepWalker(slot, k);
      return;
    case 3:
      SpawnSparkBurst(o.x, o.y, 1, -1);
      o.probeOffset = 0;
      o.vy = 0;
      o.state = 4;
      o.airFrames = 1;
      o.frame = 0;
      o.y += 4;
      return;
    case 4: {
      const int16_t wasInAir = o.airFrames;
      o.groundSlope = o.angle;
      StepSlowFaller(EnemyPool1, slot, 1, k.ceiling ? 1 : 0);
      if (wasInAir >= 1 && o.airFrames == 0) {
        SpawnSmallExplosion(o.x, o.y, 1);
        o.state = 0;
      }
      return;
    }
    default:
      return;
  }
}

void UpdateLeg(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t j, bool ceiling) {
  const EnemyObject& o = pool[slot];
  EnemyPart& p = parts[j];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = 0;
    ClearPartHitCircles(parts, j);
    p.hitMode = 0;
    p.imageFrame = p.variant;
    p.cue = 0;
    p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 32;
    return;
  }
  if (p.state == 4) {
    if (o.frame <= kFirstWalkerFrame) return;
    if (p.variant == 4 || p.variant == 5) SpawnSparkBurst(p.x, p.y, 1, -1);
    p.state = 0;
  } else {
    UpdateJointedLegPart(pool, slot, parts, j, 4, 448, 320, 64, 0, 320, 0, 8, ceiling);
    p.angle = static_cast<int16_t>(WrapAngle(p.angle + o.angle));
  }
  // The body bobs; the hips go with it, the knees half way, the feet stay on the ground.
  const int segment = p.variant % 6;
  p.drawOffsetY = segment <= 1   ? o.drawOffsetY
                  : segment <= 3 ? static_cast<int16_t>(o.drawOffsetY / 2)
                                 : int16_t{0};
}

}  // namespace

void UpdateStage3FloorWalker(int16_t slot) { UpdateWalker(slot, kFloorWalker); }
void UpdateStage3CeilingWalker(int16_t slot) { UpdateWalker(slot, kCeilingWalker); }

void UpdateStage3FloorWalkerLegPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                    int16_t partIndex) {
  UpdateLeg(pool, slot, parts, partIndex, false);
}

void UpdateStage3CeilingWalkerLegPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                      int16_t partIndex) {
  UpdateLeg(pool, slot, parts, partIndex, true);
}

void UpdateStage3WalkerGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyObject& o = pool[slot];
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(40);
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.cue = 0;
    p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 32;
    return;
  }
  if (p.state > 2) {
    p.state = 0;
    SpawnSparkBurst(p.x, p.y, 1, -1);
    return;
  }
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  if (p.state != 2) return;
  const int aim = AimAngle(p.x, p.y, PlayerX, PlayerY);
  if (p.cue > 0) {
    p.cue += 1;
    if (p.cue == kGunFiresAt) {
      SpawnEnemyShot(kGunShot, p.angle, ScaleShotSpeed(4), RotateOffsetX(p.x, 20, 0, p.angle),
                     RotateOffsetY(p.y, 20, 0, p.angle), 1);
    }
    if (p.cue >= kGunCycle) {
      p.cue = 0;
      o.intWork0 = 0;
    }
  }
  const bool ceiling = p.variant == 1;
  const int16_t lo = ceiling ? kCeilingWalker.gunArcLo : kFloorWalker.gunArcLo;
  const int16_t hi = ceiling ? kCeilingWalker.gunArcHi : kFloorWalker.gunArcHi;
  p.angle = static_cast<int16_t>(
      TurnTowardAngle(ClampAngleToArc(static_cast<int16_t>(aim), lo, hi, o.angle), p.angle, 4));
}
