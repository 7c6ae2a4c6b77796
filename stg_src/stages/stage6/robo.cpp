#include <cmath>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/enemies/part_motion.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

// The robo (pool 0, type 11): a two-legged walker that holds the scroll while it lives. Robo
// words: speed the step (0 while a foot sets down); angle the body's aim; phase flips with each
// beam (1: faster head bursts, slower gun shots); intWork0 the step flag; intWork1 the target
// screen x (380 or 580); intWork2 1 while heading for 580; intWork3 the hatch sequence (1000 and
// up: timed out, closing); drawOffsetY the bob. Part words: cue the step pause of a hip, the tied
// beam of the head, the shot flag of the gun and the opening of a hatch; work1 the head's burst
// count, the knee's bend; work0 a hatch's frames open.

namespace {

constexpr double kBodyHeight = 159;
constexpr double kCollapsedHeight = -16;
constexpr double kStep = 1.6;
constexpr double kNearTarget = 380;
constexpr double kFarTarget = 580;
constexpr double kHoldEdge = 2480;  // world x the view's right edge stops at
constexpr int32_t kTimeOut = 3200;
constexpr int32_t kClosing = 1000;
constexpr int32_t kClosed = 1200;
constexpr double kFootLine = 314;
constexpr double kFireLine = 280;
constexpr double kFreeLine = -240;
constexpr int16_t kShellType = 7;

// Slots in partsA / partsB.
constexpr int kHip = 0;
constexpr int kKnee = 1;
constexpr int kHead = 3;
constexpr int kFirstHatch = 4;
constexpr int kGun = 7;

struct PartRow {
  bool front;  // partsB
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t variant;
  int16_t parent;
};
constexpr PartRow kRoboParts[] = {
    {false, 0, 12, 0, 0, 256, 0, -1},  {false, 1, 12, 72, 0, 256, 1, 0},
    {false, 2, 12, 72, 0, 256, 2, 1},  {false, 3, 12, 72, 0, 256, 3, 0},
    {true, 0, 12, 0, 0, 768, 0, -1},   {true, 1, 12, 72, 0, 768, 1, 0},
    {true, 2, 12, 72, 0, 768, 2, 1},   {true, 3, 13, 28, 50, 512, 0, -1},
    {true, 4, 14, -21, 41, 512, 0, 3}, {true, 5, 14, -47, 41, 512, 1, 3},
    {true, 6, 14, -73, 41, 512, 2, 3}, {true, 7, 13, 62, -18, 512, 2, 3},
    {true, 8, 12, 72, 0, 768, 3, 0},
};

bool Fires(const EnemyObject& o, int16_t base, int16_t offset, bool flat) {
  if (flat)
    return o.frame % ComputeFireIntervalFlat(base, o.rank) ==
           ComputeFireIntervalFlat(offset, o.rank);
  return o.frame % ComputeFireInterval(base, o.rank) == ComputeFireInterval(offset, o.rank);
}

void SetUpRobo(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(3900);
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = 2;
  o.airFrames = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 35, 13, 9);
  o.phase = 0;
  o.intWork0 = 0;
  o.intWork1 = static_cast<int32_t>(kNearTarget);
  o.intWork2 = o.intWork3 = 0;
  o.despawnMarginX = o.despawnMarginY = 410;
  o.cullMarginX = o.cullMarginY = 64;
  o.probeOffset = kBodyHeight;
  o.x += 160;
  DropOntoGround(o.x, &o.y, kBodyHeight);
  for (const PartRow& r : kRoboParts) {
    EnemyPart* parts = r.front ? o.partsB : o.partsA;
    AttachPart(parts, r.slot, r.type, r.dx, r.dy, r.angle, 0);
    parts[r.slot].parentPart = r.parent;
    parts[r.slot].variant = r.variant;
    parts[r.slot].sideFlag = r.front ? 1 : 0;
  }
  o.partCountA = 4;
  o.partCountB = 9;
  o.facing = 0;
  o.angle = 512;
}

void StepTimeOut(EnemyObject& o) {
  if (o.frame > kTimeOut && o.intWork3 < kClosing) {
    o.life = o.maxLife = -1;
    o.scoreBase = 0;
    o.intWork3 = kClosing;
  }
  if (o.intWork3 < kClosing) return;
  o.intWork3 += 1;
  if (o.intWork3 % 4 == 0 && o.imageFrame < 5) o.imageFrame += 1;
  if (o.intWork3 > kClosed) o.state = 3;
}

void StepWalkTarget(EnemyObject& o) {
  const double sx = WorldToScreenX(o.x);
  if (o.intWork2 == 1 && sx > o.intWork1) {
    o.intWork1 = static_cast<int32_t>(kNearTarget);
    o.intWork2 = 0;
  } else if (o.intWork2 == 0 && sx < o.intWork1) {
    o.intWork1 = static_cast<int32_t>(kFarTarget);
    o.intWork2 = 1;
  }
  if (o.x < PlayerX) {
    o.intWork1 = static_cast<int32_t>(kFarTarget);
    o.intWork2 = 1;
  }
  if (o.intWork0 == 1) {
    o.intWork0 = 0;
    o.speed = ScreenToWorldX(o.intWork1) > o.x ? kStep : -kStep;
  }
  // A foot has just set down: stand for the hips' pause, then choose the next step.
  const EnemyPart& farHip = o.partsA[kHip];
  const EnemyPart& nearHip = o.partsB[kHip];
  if (farHip.cue > 0 || nearHip.cue > 0) {
    o.speed = 0;
    if (farHip.cue + nearHip.cue == 2) o.intWork0 = 1;
  }
}

void StepFiring(EnemyObject& o) {
  EnemyPart& head = o.partsB[kHead];
  if (Fires(o, 600, 250, true) && head.cue == 0) {
    head.cue = kTiedBeamStart;
    o.phase = o.phase == 0 ? 1 : 0;
  }
  if (Fires(o, o.phase == 1 ? 90 : 180, 50, false) && head.cue == 0 &&
      WorldToScreenX(head.x) > kFireLine) {
    head.work1 = 1;
  }
  const bool easy = GetDifficulty() == 0;
  const int16_t gunGap = o.phase == 1 ? (easy ? 40 : 30) : (easy ? 20 : 15);
  EnemyPart& gun = o.partsB[kGun];
  if (Fires(o, gunGap, 4, true) && head.cue == 0 && WorldToScreenX(gun.x) > kFireLine) {
    gun.cue = 1;
  }
  if (Fires(o, 100, 80, true) && o.intWork3 == 0) o.intWork3 = 1;
  if (o.intWork3 >= 1 && o.intWork3 < kClosing) {
    o.intWork3 += 1;
    const int32_t at = o.intWork3 % ComputeFireIntervalFlat(36, o.rank);
    for (int k = 0; k < 3; ++k) {
      if (at == ComputeFireIntervalFlat(static_cast<int16_t>(9 * (k + 1)), o.rank)) {
        o.partsB[kFirstHatch + k].cue = 1;
        if (k == 2) o.intWork3 = 0;
      }
    }
  }
}

void StepRobo(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  StepTimeOut(o);
  ScrollTargetSpeed = ViewRight < kHoldEdge ? 0.5 : 0;
  StepWalkTarget(o);
  const int s = o.partsB[kHip].angle + o.partsB[kKnee].work1;
  const int16_t a = static_cast<int16_t>(WrapAngle(s / 2));
  o.drawOffsetY = static_cast<int16_t>(std::fabs(RotateOffsetX(0, 26, 0, a)));
  if (o.frame % 2 == 0) {
    const int16_t t =
        ClampAngleToArc(static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY)), 480, 576, 0);
    o.angle = static_cast<int16_t>(TurnTowardAngle(t, o.angle, 1));
  }
  StepFiring(o);
  StepFloorWalker(EnemyPool0, slot, o.speed, 0);
}

void StepCollapse(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.groundSlope = o.angle;
  const bool wasInAir = o.airFrames > 0;
  StepSlowFaller(EnemyPool0, slot, 1, 0);
  if (wasInAir && o.airFrames == 0) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    SpawnSparkBurst(o.partsA[kKnee].x, o.partsA[kKnee].y, 1, -1);
    SpawnSparkBurst(o.partsB[kKnee].x, o.partsB[kKnee].y, 1, -1);
    ScrollTargetSpeed = 1;
  } else if (o.airFrames > 0 && o.frame % 10 == 0) {
    SpawnSparkBurst(o.x, o.y, 0, -1);
  }
  if (WorldToScreenX(o.x) < kFreeLine) o.state = 0;
}

// A shot from the part's point (dx, dy) turned by its angle, its bob added; none off screen.
void FireFromPart(const EnemyPart& p, int16_t type, double dx, double dy, double speed) {
  const double x = RotateOffsetX(p.x, dx, dy, p.angle);
  const double y = RotateOffsetY(p.y, dx, dy, p.angle) + p.drawOffsetY;
  if (IsOutsideScreen(x, y, 0)) return;
  SpawnEnemyShot(type, p.angle, ScaleShotSpeed(speed), x, y, 1);
}

}  // namespace

void UpdateStage6Robo(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpRobo(slot);
  } else if (o.state == 2) {
    StepRobo(slot);
  } else if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    o.probeOffset = kCollapsedHeight;
    o.vy = 0;
    o.state = 4;
    o.airFrames = 1;
    o.frame = 0;
    o.imageFrame = 6;
  } else if (o.state == 4) {
    StepCollapse(slot);
  }
}

void UpdateStage6RoboLegPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& robo = pool[slot];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = -1;
    p.cullMarginX = p.cullMarginY = 128;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 1;
    // Only the near leg can be hit or touch the ship.
    if (p.sideFlag == 1 && (p.variant == 0 || p.variant == 1)) {
      for (int k = 0; k < 3; ++k) {
        SetPartHitCircle(parts, partIndex, k, 16, static_cast<int16_t>(6 + 30 * k), 0);
      }
    } else if (p.sideFlag == 1 && p.variant == 2) {
      SetPartHitCircle(parts, partIndex, 0, 19, 26, 35);
      SetPartHitCircle(parts, partIndex, 1, 15, 1, 16);
      SetPartHitCircle(parts, partIndex, 2, 10, 33, 8);
      SetPartHitCircle(parts, partIndex, 3, 10, 33, -12);
      SetPartHitCircle(parts, partIndex, 4, 10, 33, -33);
    }
    p.cue = p.work0 = p.work1 = 0;
    return;
  }
  if (p.variant == 3) {
    // The joint cover over the hip.
    p.imageFrame = p.sideFlag == 1 ? 9 : 10;
    p.drawOffsetY = robo.drawOffsetY;
    if (FollowParentPart(parts, p.parentPart, parts, partIndex) != 0 && p.state > 2) p.state = 0;
    return;
  }
  if (p.state == 2) {
    UpdateLegSegmentPart(pool, slot, parts, partIndex, 18, 64, 256, 192, 0, 16);
    p.angle = static_cast<int16_t>(WrapAngle(p.angle + robo.angle2));
    if (p.variant == 2 && p.y + p.drawOffsetY > ScreenToWorldY(kFootLine)) {
      p.y = ScreenToWorldY(kFootLine);
      p.drawOffsetY = 0;
    }
    return;
  }
  if (p.state != 4) return;
  // Taken over from the collapsing robo: the hip folds, the knee swings down, the foot stays.
  if (p.variant == 0) {
    p.counter = (p.counter + 1) % 65535;
    FollowParentObject(pool, slot, parts, partIndex, 1);
    const int16_t target = p.facing != 0 ? 576 : 960;
    p.angle = static_cast<int16_t>(TurnTowardAngle(target, p.angle, 2));
  } else if (p.variant == 1) {
    SwingPartOnCircle(parts, partIndex, 70, 5, p.facing != 0 ? 960 : 576);
  }
}

void UpdateStage6RoboHeadPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& robo = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = -1;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    if (p.variant == 0) {
      SetPartHitCircle(parts, partIndex, 0, 43, -54, 6);
      SetPartHitCircle(parts, partIndex, 1, 34, 23, 3);
      SetPartHitCircle(parts, partIndex, 2, 14, 74, -1);
      SetPartHitCircle(parts, partIndex, 3, 12, 109, 0);
      p.hitMode = 1;
    }
    p.imageFrame = p.variant;
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 192;
  } else if (p.state == 2 && p.variant == 0) {
    p.angle = robo.angle;
    if (FollowParentObject(pool, slot, parts, partIndex, 1) != 0 && p.state == 2) {
      RunTiedBeam(pool, slot, parts, partIndex, TiedBeamAlong(127));
      if (p.work1 > 0) {
        p.work1 += 1;
        if (p.work1 % 11 == 0) FireFromPart(p, 4, 110, 32, 6);
        if (p.work1 > 25) p.work1 = 0;
      }
    }
  } else if (p.state == 2) {
    if (FollowParentPart(parts, p.parentPart, parts, partIndex) != 0 && p.state == 2) {
      if (p.cue > 0) {
        p.cue = 0;
        FireFromPart(p, 3, 38, 0, 4);
      }
      const EnemyPart& head = parts[p.parentPart];
      const int16_t t = ClampAngleToArc(static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY)),
                                        -192, 0, head.angle);
      p.angle = static_cast<int16_t>(TurnTowardAngle(t, p.angle, 4));
    }
  }
  if (p.state > 2) {
    if (p.variant != 0) {
      p.state = 0;
      return;
    }
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    p.imageFrame = 1;
  }
  p.drawOffsetY = robo.drawOffsetY;
}

void UpdateStage6RoboHatchPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& robo = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(150);
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;  // it can never be hit
    p.cue = p.work0 = p.work1 = 0;
    p.imageFrame = 0;
    p.cullMarginX = p.cullMarginY = 16;
  } else if (p.state == 2) {
    const EnemyPart& head = parts[p.parentPart];
    p.angle = head.angle;
    FollowParentPart(parts, p.parentPart, parts, partIndex);
    if (p.cue <= 0) {
      p.work0 = 0;
      if (p.counter % 3 == 0 && p.imageFrame > 0) p.imageFrame -= 1;
    } else {
      p.cue = static_cast<int16_t>(p.cue + 1);
      if (p.imageFrame < 4) {
        if (p.cue % 3 == 0) p.imageFrame += 1;
      } else {
        p.work0 += 1;
        if (p.work0 == 6) {
          const int16_t shell = SpawnPool2Enemy(p.x, p.y + p.drawOffsetY, kShellType,
                                                static_cast<int16_t>(WrapAngle(p.angle + 192)));
          // The shell's launch speed comes from the hatch; a full pool launches nothing.
          if (shell >= 0) EnemyPool2[shell].intWork0 = p.variant;
        }
        if (p.work0 == 12) p.cue = 0;
      }
    }
  }
  if (p.state > 2) {
    p.state = 0;
    return;
  }
  p.drawOffsetY = robo.drawOffsetY;
}
