// Stage 5's pool-0 enemies: the small fliers that stop and circle while they shoot, the floor and
// ceiling laser turrets, the wall guns that fire together on the stage clock, and the ball with
// its two gun arms. They keep their world position: the screen scrolls past them.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/collisions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kRotorPartType = 0;
constexpr int16_t kTurretPartType = 3;
constexpr int16_t kArmPartType = 6;
constexpr int16_t kWallGunShotType = 17;
constexpr int16_t kFlierStopTravel = 120;
constexpr int16_t kFiresAfterOnScreen = 32;
constexpr int32_t kArmLife = 110;
constexpr int16_t kArmRegrowFrames = 160;
constexpr double kArmReach = 73;
constexpr double kArmRest = 30;
constexpr double kArmHittableReach = 45;

int16_t Wrap(int a) { return static_cast<int16_t>(WrapAngle(a)); }

void SetLife(EnemyObject& o, int32_t life) { o.life = o.maxLife = o.scoreBase = life; }

void SetMargins(EnemyObject& o, int32_t despawnX, int32_t despawnY, int32_t cullX, int32_t cullY) {
  o.despawnMarginX = despawnX;
  o.despawnMarginY = despawnY;
  o.cullMarginX = cullX;
  o.cullMarginY = cullY;
}

void FireFrom(int16_t type, int16_t angle, double speed, double x, double y, double out) {
  SpawnEnemyShot(type, Wrap(angle), ScaleShotSpeed(speed), RotateOffsetX(x, out, 0, angle),
                 RotateOffsetY(y, out, 0, angle), 1);
}

// Fliers: intWork0 the launch heading, intWork1 the step (0 fly, 1 brake, 2 circle), realWork0
// the vertical travel and then, with realWork1, the point it circles; vx the circle's radius.
void SetUpFlier(int16_t slot, int16_t aim, int16_t rotorVariant) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  SetLife(o, ScaleLifeByRank(8));
  o.hitMode = 1;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 9, 0, 0);
  SetMargins(o, 120, 480, 25, 25);
  o.imageFrame = 0;
  o.heading = o.angle;
  o.speed = 3.2;
  o.angle = aim;
  o.intWork0 = o.heading;
  o.intWork1 = 0;
  o.phase = 0;
  o.realWork0 = o.realWork1 = 0;
  AttachPart(o.partsA, 0, kRotorPartType, 0, 0, 256, 0);
  o.partsA[0].variant = rotorVariant;
  o.partCountA = 1;
}

void StepFlier(int16_t slot, int16_t circleTurn) {
  EnemyObject& o = EnemyPool0[slot];
  const double oldX = o.x, oldY = o.y;
  if (o.intWork1 < 2) {
    o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
    o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
    o.x += o.vx;
    o.y += o.vy;
    o.realWork0 += o.vy;
    if (std::abs(o.realWork0) > kFlierStopTravel && o.intWork1 == 0) o.intWork1 = 1;
  }
  if (o.intWork1 == 1) {
    o.speed = ApproachValue(o.speed, 0.2, 0);
    if (o.speed == 0) {
      o.heading = 0;
      o.intWork1 = 2;
      o.realWork0 = o.x;
      o.realWork1 = o.y;
      o.vx = 0;
    }
  }
  if (o.intWork1 == 2) {
    const double r = o.vx;
    o.x = o.realWork0 + r * CosineTable[WrapAngle(o.heading)];
    o.y = o.realWork1 + r / 2 * SineTable[WrapAngle(o.heading)];
    o.heading = Wrap(o.heading + circleTurn);
    o.vx = ApproachValue(o.vx, 0.4, 40);
  }
  o.angle = static_cast<int16_t>(TurnTowardAngle(AimAngle(o.x, o.y, PlayerX, PlayerY), o.angle, 8));
  CountFramesOnScreen(o);
  if (o.phase > kFiresAfterOnScreen &&
      o.frame % ComputeFireInterval(50, o.rank) == ComputeFireInterval(20, o.rank))
    FireFrom(0, o.angle, 4, o.x, o.y, 25);
  if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0 || IsPointInSolidPart(o.x, o.y, 1, -1))
    o.state = 3;
}

void UpdateFlier(int16_t slot, int16_t aim, int16_t rotorVariant, int16_t circleTurn) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) SetUpFlier(slot, aim, rotorVariant);
  if (o.state == 2) StepFlier(slot, circleTurn);
  if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    o.state = 0;
  }
}

}  // namespace

void UpdateStage5HatchZako(int16_t slot) { UpdateFlier(slot, 512, 100, 8); }
void UpdateStage5HatchZakoReverse(int16_t slot) { UpdateFlier(slot, 0, 101, -8); }

// Laser turret: variant 0 stands on the floor (turret up), 1 hangs from the ceiling; any other
// variant has no shape and is refused. The body only counts its frames on screen; the turret
// part opens, aims and fires.
void UpdateStage5LaserHou(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    if (o.variant != 0 && o.variant != 1) {
      LogRefusedMapValue("stage 5 laser turret variant", o.variant);
      o.state = 0;
      return;
    }
    const bool ceiling = o.variant == 1;
    o.state = 2;
    SetLife(o, ScaleLifeByRank(90));
    o.hitMode = 1;
    ClearEnemyHitCircles(EnemyPool0, slot);
    SetEnemyHitCircle(EnemyPool0, slot, 0, 24, 0, 0);
    SetEnemyHitCircle(EnemyPool0, slot, 1, 20, 0, static_cast<int16_t>(ceiling ? -20 : 20));
    SetMargins(o, 120, 120, 40, 40);
    o.imageFrame = o.variant;
    o.x += 20;
    o.y += ceiling ? 20 : -20;
    o.phase = 0;
    AttachPart(o.partsA, 0, kTurretPartType, 0, 0, static_cast<int16_t>(ceiling ? 256 : 768), 0);
    o.partCountA = 1;
  }
  if (o.state == 2) CountFramesOnScreen(o);
  if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    o.state = 4;
    o.frame = 0;
  }
  if (o.state == 4) {
    o.frame += 1;
    if (o.frame > 16) o.state = 0;
  }
}

// The turret: opens over the middle of each 250-frame cycle, fires while fully open, turns fast
// while closed and slowly once opening, kept to its half of the turn. work0 1 on the ceiling.
void UpdateStage5LaserHouPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& body = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = 0;
    p.hitMode = 0;
    ClearPartHitCircles(parts, partIndex);
    p.imageFrame = 0;
    p.cue = 0;
    p.work0 = p.angle == 256 ? 1 : 0;
    p.cullMarginX = p.cullMarginY = 64;
  }
  if (p.state <= 1) return;
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  const int cycle = p.counter % 250;
  if (cycle < 50 || cycle > 200) {
    if (p.counter % 3 == 0 && p.imageFrame > 0) p.imageFrame -= 1;
  } else if (p.counter % 3 == 0 && p.imageFrame < 3) {
    p.imageFrame += 1;
  }
  if (p.imageFrame == 3 &&
      p.counter % ComputeFireInterval(19, body.rank) == ComputeFireInterval(4, body.rank)) {
    p.recoil = 8;
    FireFrom(2, p.angle, 3.2, p.x, p.y, 54);
  }
  const int u = AimAngle(p.x, p.y, PlayerX, PlayerY);
  const int rate = p.imageFrame == 0 ? 12 : 2;
  if (p.work0 == 1) {
    const int target = u > 768 ? 0 : u > 512 ? 512 : u;
    p.angle = static_cast<int16_t>(TurnTowardAngle(target, p.angle, rate));
  } else {
    const int target = u < 256 ? 0 : u < 512 ? 512 : u;
    p.angle = static_cast<int16_t>(TurnTowardAngleFlipTie(target, p.angle, rate));
  }
  if (p.state > 2) {
    p.cue = static_cast<int16_t>(std::min<int>(p.cue, 30) - 3);
    if (p.cue <= 1) p.state = 0;
  }
  p.drawOffsetY = body.drawOffsetY;
}

// Wall gun: every gun on screen fires on the same beat of the stage clock (rank 0), once it has
// been on screen for more than 32 frames.
void UpdateStage5LaserHou2(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    o.state = 2;
    SetLife(o, ScaleLifeByRank(9));
    o.hitMode = 1;
    ClearEnemyHitCircles(EnemyPool0, slot);
    SetEnemyHitCircle(EnemyPool0, slot, 0, 12, 0, 0);
    SetEnemyHitCircle(EnemyPool0, slot, 1, 10, -16, 0);
    SetMargins(o, 80, 80, 40, 20);
    o.imageFrame = o.variant;
    o.x += 30;
    o.phase = 0;
  }
  if (o.state == 2) {
    CountFramesOnScreen(o);
    if (o.phase > kFiresAfterOnScreen &&
        GameFrame % ComputeFireInterval(24, 0) == ComputeFireInterval(12, 0))
      SpawnEnemyShot(kWallGunShotType, 512, ScaleShotSpeed(4), o.x - 40, o.y, 1);
  }
  if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    o.state = 0;
  }
}

// Ball: a still body with two arms, each a base (odd variant, the piece that can be shot) and a
// gun tip hanging on it; upper arm A 1 / A 0, lower arm A 3 / A 2.
void UpdateStage5Maru(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    o.state = 2;
    SetLife(o, ScaleLifeByRank(400));
    o.hitMode = 1;
    ClearEnemyHitCircles(EnemyPool0, slot);
    SetEnemyHitCircle(EnemyPool0, slot, 0, 58, 0, 0);
    SetMargins(o, 80, 80, 60, 60);
    o.imageFrame = 0;
    o.x += 40;
    o.y += GetVariantYShift(o.variant);
    AttachPart(o.partsA, 1, kArmPartType, 0, -kArmRest, 0, 1);
    o.partsA[1].variant = 1;
    AttachPart(o.partsA, 0, kArmPartType, 0, 0, 768, 0);
    o.partsA[0].variant = 0;
    o.partsA[0].parentPart = 1;
    AttachPart(o.partsA, 3, kArmPartType, 0, kArmRest, 0, 3);
    o.partsA[3].variant = 3;
    AttachPart(o.partsA, 2, kArmPartType, 0, 0, 256, 2);
    o.partsA[2].variant = 2;
    o.partsA[2].parentPart = 3;
    o.partCountA = 4;
  }
  if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    o.frame = 0;
    o.state = 4;
    o.imageFrame = -1;
  }
  if (o.state == 4 && o.frame > 2) o.state = 0;
}

namespace {

bool IsArmBase(const EnemyPart& p) { return p.variant % 2 == 1; }
bool IsUpperArm(const EnemyPart& p) { return p.variant < 2; }
double ArmSign(const EnemyPart& p) { return IsUpperArm(p) ? -1.0 : 1.0; }
int16_t TipRestAngle(const EnemyPart& p) { return static_cast<int16_t>(IsUpperArm(p) ? 768 : 256); }

// A shot-down base snaps back with its life restored and must regrow; its tip returns to rest.
void RebuildArmPiece(EnemyPart& p) {
  if (p.state != 3) return;
  p.work1 = 0;
  p.hitMode = 0;
  p.cue = 0;
  p.state = 2;
  if (IsArmBase(p)) {
    p.offsetY = kArmRest * ArmSign(p);
    p.life = p.maxLife = ScaleLifeByRank(kArmLife);
  } else {
    p.angle = TipRestAngle(p);
  }
  SpawnSparkBurst(p.x, p.y, 1, -1);
}

void StepArmBase(EnemyObject* pool, int slot, EnemyPart* parts, int j) {
  EnemyPart& p = parts[j];
  if (FollowParentObject(pool, slot, parts, j, 1) == 0 || p.state != 2) return;
  if (p.work1 > kArmRegrowFrames) {
    p.offsetY = ApproachValue(p.offsetY, 1, kArmReach * ArmSign(p));
    if (std::abs(p.offsetY) > kArmHittableReach) p.hitMode = 1;
  }
}

void StepArmTip(const EnemyObject& body, EnemyPart* parts, int j) {
  EnemyPart& p = parts[j];
  if (FollowParentPart(parts, p.parentPart, parts, j) == 0 || p.state != 2) return;
  const EnemyPart& base = parts[p.parentPart];
  if (base.offsetY != kArmReach * ArmSign(base)) return;
  const int u = AimAngle(p.x, p.y, PlayerX, PlayerY);
  if (p.work1 % ComputeFireInterval(60, body.rank) == ComputeFireInterval(30, body.rank)) p.cue = 1;
  if (p.cue < 1) {
    if (IsUpperArm(p)) {
      const int target = u >= 512 ? u : u < 256 ? 0 : 512;
      p.angle = static_cast<int16_t>(TurnTowardAngleFlipTie(target, p.angle, 8));
    } else {
      const int target = u <= 512 ? u : u <= 768 ? 512 : 0;
      p.angle = static_cast<int16_t>(TurnTowardAngle(target, p.angle, 8));
    }
    return;
  }
  const int16_t was = p.cue;
  p.cue = static_cast<int16_t>(p.cue + 1);
  if (was == 15) {
    const int16_t d = p.angle;
    FireFrom(0, d, 3.2, p.x, p.y, 32);
    FireFrom(0, Wrap(d - 32), 2.4, p.x, p.y, 32);
    FireFrom(0, Wrap(d + 32), 2.4, p.x, p.y, 32);
    FireFrom(0, d, 1.6, p.x, p.y, 32);
  }
  if (p.cue > 20) p.cue = 0;
}

}  // namespace

// work1 the frames since the piece was (re)built; the tip's cue its firing count.
void UpdateStage5MaruPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kArmLife);
    ClearPartHitCircles(parts, partIndex);
    if (IsArmBase(p)) {
      p.hitMode = 1;
      SetPartHitCircle(parts, partIndex, 0, 16, 0, 0);
    } else {
      p.hitMode = 0;
      p.angle = TipRestAngle(p);
    }
    p.cue = 0;
    p.work0 = p.work1 = 0;
    p.imageFrame = p.variant;
  }
  if (IsUpperArm(p)) p.cullMarginX = p.cullMarginY = 32;
  RebuildArmPiece(p);
  if (p.state == 2) {
    p.work1 = CountUpSaturated(p.work1);
    if (IsArmBase(p)) {
      StepArmBase(pool, slot, parts, partIndex);
    } else {
      StepArmTip(pool[slot], parts, partIndex);
    }
  }
  RebuildArmPiece(p);
  if (p.state >= 4) {
    SpawnSparkBurst(p.x, p.y, 1, -1);
    p.state = 0;
  }
}
