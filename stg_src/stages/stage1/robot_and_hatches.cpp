#include <cmath>
#include <iterator>

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
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage1/stage1.h"

#include "stg_src/game/deterministic.h"

// The walking robot (pool 0, type 11) on two three-segment legs, the hatch (type 13) and the
// risers it releases (type 12). Robot words: speed the walking step (0 while standing); angle
// its aim; intWork0 the step flag; intWork1 the turn-back flag (set for good); intWork2 the
// burst counter; intWork3 the burst's shots; drawOffsetY the bob from the front leg's angles;
// realWork0 the distance fallen when dying. Riser words: intWork2 its direction (0 up); intWork1
// the hold after a turn; imageFrame 0 facing left .. 4 facing right.

namespace {

constexpr int32_t kRobotMarker = 40;  // frames no second robot may appear after one
constexpr double kRobotProbe = 115;
constexpr double kRobotStep = 1.6;
constexpr double kRobotTurnLine = 600;
constexpr int16_t kAimLow = 480;
constexpr int16_t kAimHigh = 640;
constexpr int16_t kBurstShots = 6;
constexpr int16_t kShotType = 3;
constexpr int32_t kEmitterSlot = 3;
constexpr int16_t kBackKnee = 1;
constexpr double kFootLine = 331;

struct LegRow {
  bool front;  // array B
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t parent;
  int16_t variant;
};
constexpr LegRow kRobotParts[] = {
    {false, 0, 2, 0, 0, 256, -1, 0}, {false, 1, 2, 55, 0, 256, 0, 1},
    {false, 2, 2, 62, 0, 256, 1, 2}, {false, 3, 3, 77, 30, 512, -1, 0},
    {true, 0, 2, 0, 0, 768, -1, 0},  {true, 1, 2, 55, 0, 768, 0, 1},
    {true, 2, 2, 62, 0, 768, 1, 2},
};

int16_t Interval(int16_t base, const EnemyObject& o) { return ComputeFireInterval(base, o.rank); }

void SetUpRobot(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (StageMarker > 0) {
    o.state = 0;  // one robot at a time
    return;
  }
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(680);
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = 2;
  o.airFrames = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 32, -14, 14);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 22, 22, 15);
  SetEnemyHitCircle(EnemyPool0, slot, 2, 6, 65, 30);
  o.phase = 0;
  o.intWork0 = o.intWork1 = o.intWork2 = 0;
  o.despawnMarginX = o.despawnMarginY = 130;
  o.cullMarginX = o.cullMarginY = 80;
  o.probeOffset = kRobotProbe;
  o.x += 60;
  DropOntoGround(o.x, &o.y, kRobotProbe);
  for (const LegRow& r : kRobotParts) {
    EnemyPart* parts = r.front ? o.partsB : o.partsA;
    AttachPart(parts, r.slot, r.type, r.dx, r.dy, r.angle, 0);
    parts[r.slot].parentPart = r.parent;
    parts[r.slot].variant = r.variant;
    parts[r.slot].sideFlag = r.front ? 1 : 0;
  }
  o.partCountA = 4;
  o.partCountB = 3;
  o.imageFrame = 0;
  o.facing = 0;
  o.angle = 512;
}

void StepRobotBurst(EnemyObject& o) {
  const int16_t cycle = Interval(600, o);
  const int32_t phase = o.frame % cycle;
  if (phase == Interval(50, o) || phase == Interval(450, o)) o.intWork2 = 1;
  if (o.intWork2 <= 0) return;
  if (o.intWork2 == 1) o.intWork3 = 0;
  o.intWork2 += 1;
  if (o.intWork2 % Interval(16, o) == 0) {
    SpawnEnemyShot(kShotType, o.angle, ScaleShotSpeed(4), RotateOffsetX(o.x, 60, 1, o.angle),
                   RotateOffsetY(o.y, 60, 1, o.angle) + o.drawOffsetY, 1);
    o.intWork3 += 1;
  }
  if (o.intWork3 >= kBurstShots) o.intWork2 = 0;
}

void StepRobot(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  EnemyPart& emitter = o.partsA[kEmitterSlot];
  EnemyPart& backHip = o.partsA[0];
  EnemyPart& frontHip = o.partsB[0];
  if (o.intWork1 == 0 && IsTurnMarkerAhead(EnemyPool0, slot, 0, 0)) o.intWork1 = 1;
  if (emitter.cue == 0 && o.intWork0 == 1) {
    o.intWork0 = 0;
    if (o.intWork1 != 0) {
      o.speed = -kRobotStep;
    } else {
      o.speed = o.x < ScreenToWorldX(kRobotTurnLine) ? kRobotStep : -kRobotStep;
    }
  }
  // It stands while a leg sets down; both hips' timers run out together, and the step after
  // starts once they have.
  if (backHip.cue > 0 || frontHip.cue > 0) {
    o.speed = 0;
    if (backHip.cue + frontHip.cue == 2) o.intWork0 = 1;
  }
  const int s = frontHip.angle + o.partsB[1].work1;
  const int16_t a = static_cast<int16_t>(WrapAngle(s / 2));
  o.drawOffsetY = static_cast<int16_t>(std::fabs(RotateOffsetX(0, 22, 0, a)));
  const int16_t t = ClampAngleToArc(static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY)),
                                    kAimLow, kAimHigh, 0);
  if (emitter.cue < 1) {
    o.angle = static_cast<int16_t>(TurnTowardAngle(t, o.angle, 3));
  } else if (o.frame % 4 == 0) {
    o.angle = static_cast<int16_t>(TurnTowardAngle(t, o.angle, 1));
  }
  if (o.frame % Interval(600, o) == Interval(250, o) && emitter.cue == 0) {
    emitter.cue = kTiedBeamStart;
  }
  StepRobotBurst(o);
  StepFloorWalker(EnemyPool0, slot, o.speed, 0);
  StageMarker = kRobotMarker;
}

void StepRobotFall(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.realWork0 += o.vy;
  // Once it has fallen farther than the shortened probe, the hulk lands on its own position.
  if (o.probeOffset > 0 && o.probeOffset < o.realWork0) o.probeOffset = 0;
  o.groundSlope = o.angle;
  const bool wasInAir = o.airFrames > 0;
  StepSlowFaller(EnemyPool0, slot, 1, 0);
  if (wasInAir && o.airFrames == 0) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    SpawnSparkBurst(o.partsA[kBackKnee].x, o.partsA[kBackKnee].y, 1, -1);
    SpawnSparkBurst(o.partsB[kBackKnee].x, o.partsB[kBackKnee].y, 1, -1);
    o.state = 0;
    return;
  }
  if (o.frame % 10 == 0) SpawnSparkBurst(o.x, o.y, 0, -1);
}

}  // namespace

void UpdateStage1Robo(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpRobot(slot);
  } else if (o.state == 2) {
    StepRobot(slot);
  } else if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    o.probeOffset /= 2;
    o.vy = 0;
    o.state = 4;
    o.airFrames = 1;
    o.frame = 0;
    o.realWork0 = 0;
  } else if (o.state == 4) {
    StepRobotFall(slot);
  }
}

void UpdateStage1RoboAsiPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& robot = pool[slot];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = -1;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 1;
    p.cullMarginX = p.cullMarginY = 96;
    // Only the front leg can be hit or touch the ship.
    if (p.sideFlag == 1) {
      if (p.variant == 0 || p.variant == 1) {
        for (int k = 0; k < 5; ++k) {
          SetPartHitCircle(parts, partIndex, k, 5, static_cast<int16_t>(6 + 15 * k), 0);
        }
      } else if (p.variant == 2) {
        SetPartHitCircle(parts, partIndex, 0, 8, 20, -25);
        SetPartHitCircle(parts, partIndex, 1, 19, 8, -5);
        SetPartHitCircle(parts, partIndex, 2, 8, 18, 15);
        SetPartHitCircle(parts, partIndex, 3, 6, 24, 25);
        p.cullMarginX = p.cullMarginY = 64;
      }
    }
    p.cue = p.work0 = p.work1 = 0;
    return;
  }
  if (p.state == 2) {
    UpdateLegSegmentPart(pool, slot, parts, partIndex, 14, 64, 256, 192, 0, 16);
    p.angle = static_cast<int16_t>(WrapAngle(p.angle + robot.angle2));
    if (p.variant == 2 && p.y + p.drawOffsetY < ScreenToWorldY(kFootLine)) {
      p.y = ScreenToWorldY(kFootLine);
      p.drawOffsetY = 0;
    }
    return;
  }
  if (p.state != 4) return;
  // Taken over from the dying robot: the hip folds, the knee swings out, the foot stays.
  if (p.variant == 0) {
    p.counter = (p.counter + 1) % 65535;
    FollowParentObject(pool, slot, parts, partIndex, 1);
    const int16_t target = p.facing == 0 ? 0 : 512;
    p.angle = static_cast<int16_t>(TurnTowardAngle(target, p.angle, 2));
  } else if (p.variant == 1) {
    SwingPartOnCircle(parts, partIndex, 70, 5, p.facing == 0 ? 512 : 0);
  }
}

// The hatch (type 13) and its risers (type 12).
namespace {

constexpr int16_t kRiserType = 12;
constexpr int16_t kRiserLaunchAngle = 768;
constexpr int16_t kRiserHold = 24;
constexpr double kRiserFireLine = 390;

// The hatch runs from the highest free slot so that its risers, spawned below it, run and are
// drawn before it. The slot it now holds, or -1 when none above its own was free (it is gone).
int16_t MoveHatchToTop(int16_t slot) {
  EnemyObject& from = EnemyPool0[slot];
  from.state = 0;
  const int16_t to = FindFreeEnemySlot(EnemyPool0, kEnemyPool0Size, kEnemyPool0Size, true);
  if (to <= 0 || to <= slot) return -1;
  InitEnemyObject(EnemyPool0, to, from.type, from.variant);
  NoteEnemyMoveForTest(EnemyPool0, slot, to);
  EnemyObject& o = EnemyPool0[to];
  o.x = from.x;
  o.y = from.y;
  o.spawnDir = from.spawnDir;
  return to;
}

void SetUpHatch(int16_t slot) {
  const int16_t to = MoveHatchToTop(slot);
  if (to < 0) return;
  EnemyObject& o = EnemyPool0[to];
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = 0;
  o.vx = o.vy = o.speed = 0;
  o.airFrames = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool0, to);
  o.hitMode = 0;  // it can never be hit
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.despawnMarginX = 120;
  o.despawnMarginY = 40;
  o.cullMarginX = 60;
  o.cullMarginY = 20;
  o.x += 28;
}

void SetUpRiser(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  // A riser from the map has no hatch to give it its direction: its own variant does.
  if (o.spawnDir != 0) o.intWork2 = o.variant;
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(36);
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = 3.2;
  o.heading = o.angle;
  o.angle = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 20, 0, 0);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 8, 0, -38);
  SetEnemyHitCircle(EnemyPool0, slot, 2, 12, 0, -19);
  SetEnemyHitCircle(EnemyPool0, slot, 3, 12, 0, 19);
  SetEnemyHitCircle(EnemyPool0, slot, 4, 8, 0, 38);
  o.hitMode = 1;
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.angle2 = 0;
  o.realWork0 = o.realWork1 = 0;
  o.despawnMarginX = 40;
  o.despawnMarginY = 96;
  o.cullMarginX = 32;
  o.cullMarginY = 64;
  o.probeOffset = 0;
  const double d = o.intWork2 != 0 ? 1 : -1;
  o.realWork1 = o.vy = (1.6 + 0.2 * Difficulty) * d;
}

void StepRiser(EnemyObject& o) {
  o.y += o.vy;
  if (o.frame % 8 == 0) {
    o.imageFrame += o.x > PlayerX ? -1 : 1;
    if (o.imageFrame < 0) o.imageFrame = 0;
    if (o.imageFrame > 4) o.imageFrame = 4;
  }
  if (o.imageFrame >= 1 && o.imageFrame <= 3) {
    o.intWork1 = kRiserHold;
  } else if (o.intWork1 > 0) {
    o.intWork1 -= 1;
  }
  if (o.intWork1 != 0 || (o.imageFrame != 0 && o.imageFrame != 4)) return;
  // Its clock is the stage's and its interval the difficulty's alone.
  if (GameFrame % ComputeFireInterval(20, 0) != ComputeFireInterval(10, 0)) return;
  if (o.y >= kRiserFireLine || !IsHarderThanEasy()) return;
  const bool left = o.imageFrame == 0;
  SpawnEnemyShot(kShotType, left ? 512 : 0, ScaleShotSpeed(4), left ? o.x - 10 : o.x + 10, o.y, 1);
}

}  // namespace

void UpdateStage1Hatch(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpHatch(slot);
  } else if (o.state == 2) {
    if (o.frame % ComputeFireIntervalFlat(50, o.rank) != ComputeFireIntervalFlat(10, o.rank)) {
      return;
    }
    const double y = o.variant == 0 ? o.y + 72 : o.y - 432;
    const int16_t riser =
        SpawnPool0Enemy(o.x, y, kRiserType, kRiserLaunchAngle, static_cast<int16_t>(slot - 1), 0);
    if (riser >= 0) EnemyPool0[riser].intWork2 = o.variant;
  } else if (o.state == 3) {
    o.state = 0;
  }
}

void UpdateStage1HatchRiser(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpRiser(slot);
  } else if (o.state == 2) {
    StepRiser(o);
  } else if (o.state == 3) {
    SpawnSparkBurst(o.x, o.y - 24, 1, -1);
    SpawnSparkBurst(o.x, o.y + 24, 1, -1);
    o.state = 0;
  }
}
