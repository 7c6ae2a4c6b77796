#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage6/boss_layout.h"
#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

// The boss's four tentacles (hard and insane), six segments each in partsA 1..24: folded and
// hidden while a jaw stands, then unfolding and swinging in waves that run from the tip inward;
// the tips aim at the player and fire. Segment words: cue 0 folded, 1 unfolding, 2 swinging
// (written by the body); work0 the swing angle; work1 the swing step (signed); baseAngle the
// turn rate in steps a frame.

using namespace stage6_boss;

namespace {

constexpr int kSegmentsPerTentacle = 6;
constexpr int kTip = 5;
constexpr int kLastUpperSlot = 12;
constexpr int16_t kIntervalStart = 36;
constexpr int16_t kIntervalLeast = 14;
constexpr int kIntervalSlot = 2;  // the one segment that speeds the tips up
constexpr int16_t kTipShot = 18;
constexpr double kTipShotSpeed = 4.4;
constexpr double kTipMuzzle = 52;
constexpr double kRootFolded = 18;
constexpr double kRootOpen = -9;
constexpr double kSegmentOpen = 42;

void SetUpSegment(EnemyPart* parts, int16_t j, int d, int16_t step) {
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = p.maxLife = p.scoreBase = -1;
  p.imageFrame = -1;
  ClearPartHitCircles(parts, j);
  p.hitMode = 0;
  if (d == kTip) {
    SetPartHitCircle(parts, j, 0, 12, 0, 0);
    SetPartHitCircle(parts, j, 1, 7, 18, 0);
    SetPartHitCircle(parts, j, 2, 5, 33, 0);
  } else {
    for (int k = 0; k < 3; ++k)
      SetPartHitCircle(parts, j, k, 8, static_cast<int16_t>(3 + 16 * k), 0);
  }
  p.cullMarginX = p.cullMarginY = 64;
  p.work1 = step;
  p.baseAngle = 0;
  p.work0 = p.angle;
  StageWork[kTentacleIntervalWork] = kIntervalStart;
}

void StepRoot(EnemyPart& p) {
  if (p.cue == 0) {
    p.offsetX = kRootFolded;
    p.angle = 512;
  } else if (p.cue == 1) {
    p.imageFrame = 0;
    p.hitMode = 1;
    p.offsetX = ApproachValue(p.offsetX, 1, kRootOpen);
    if (p.offsetX == kRootOpen) p.cue = 2;
  }
}

void FireFromTip(const EnemyPart& p, int16_t rank) {
  const int16_t base = static_cast<int16_t>(StageWork[kTentacleIntervalWork]);
  if (p.counter % ComputeFireIntervalWeakRank(base, rank) != 0) return;
  SpawnEnemyShot(kTipShot, p.angle, ScaleShotSpeed(kTipShotSpeed),
                 RotateOffsetX(p.x, kTipMuzzle, 0, p.angle),
                 RotateOffsetY(p.y, kTipMuzzle, 0, p.angle), 1);
}

void StepSegment(EnemyPart* parts, int16_t j, int d, int16_t upper, int16_t lower, int16_t rank) {
  EnemyPart& p = parts[j];
  if (p.cue == 0) {
    p.offsetX = 0;
    p.work0 = 512;
  } else if (p.cue == 1) {
    p.offsetX = ApproachValue(p.offsetX, 1, kSegmentOpen);
    if (p.offsetX == kSegmentOpen) p.cue = 2;
    p.imageFrame = d == kTip ? 1 : 0;
    p.hitMode = 1;
  } else if (p.cue == 2) {
    p.work0 = static_cast<int16_t>(WrapAngle(p.work0 + p.baseAngle));
    if (p.work0 >= upper) {
      p.work1 = static_cast<int16_t>(-AbsoluteValue(p.work1));
    } else if (p.work0 <= lower) {
      p.work1 = static_cast<int16_t>(AbsoluteValue(p.work1));
    }
    if (d == kTip) FireFromTip(p, rank);
    if (j == kIntervalSlot && p.counter % 90 == 0 &&
        StageWork[kTentacleIntervalWork] > kIntervalLeast) {
      StageWork[kTentacleIntervalWork] -= 1;
    }
  }
  // A segment at a limit waits there until the one outward of it has reached it too.
  bool held = false;
  if (d != kTip) {
    const int16_t next = parts[j + 1].work0;
    held = (p.work0 >= upper && next < upper) || (p.work0 <= lower && next > lower);
  }
  if (p.cue > 0) p.baseAngle = ApproachInt(p.baseAngle, 1, held ? 0 : p.work1);
  if (d <= 2) {
    p.angle = p.work0;
  } else if (d < kTip) {
    p.angle = static_cast<int16_t>(WrapAngle((parts[j - 1].angle + parts[j + 1].angle) / 2));
  } else {
    const auto aim = static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY));
    const bool upperTentacle = j <= kLastUpperSlot;
    const int16_t target =
        upperTentacle ? ClampAngleToArc(aim, static_cast<int16_t>(p.work0 - 256), p.work0, 0)
                      : ClampAngleToArc(aim, p.work0, static_cast<int16_t>(p.work0 + 256), 0);
    p.angle = static_cast<int16_t>(TurnTowardAngle(target, p.angle, 8));
  }
}

// One segment's frame, its swing limits and step given by its slot.
void UpdateStage6BossTentacleWorker(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                    int16_t partIndex, int16_t upper, int16_t lower, int16_t step) {
  EnemyPart& p = parts[partIndex];
  const int d = (partIndex - 1) % kSegmentsPerTentacle;
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    SetUpSegment(parts, partIndex, d, step);
    return;
  }
  const int alive = d == 0 ? FollowParentObject(pool, slot, parts, partIndex, 1)
                           : FollowParentPart(parts, p.parentPart, parts, partIndex);
  if (alive == 0) return;
  if (p.state == 2) {
    if (d == 0) {
      StepRoot(p);
    } else {
      StepSegment(parts, partIndex, d, upper, lower, pool[slot].rank);
    }
    return;
  }
  if (p.state < 3) return;
  // Crumbling from the tip inward, one segment a frame.
  SpawnEffect(1, p.x, p.y, static_cast<int16_t>(LcgRandom() % 1024), 0, 0);
  if (d == kTip || parts[partIndex + 1].state == 0) p.state = 0;
}

}  // namespace

void UpdateStage6BossTentaclePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex) {
  if (partIndex < 1 || partIndex > kTentacleSegments) return;
  const int d = (partIndex - 1) % kSegmentsPerTentacle;
  const bool lowerTentacles = partIndex > kLastUpperSlot;
  const auto upper = static_cast<int16_t>(512 + d * (lowerTentacles ? 40 : 64));
  const auto lower = static_cast<int16_t>(512 - d * (lowerTentacles ? 64 : 40));
  const bool odd = (partIndex - 1) / kSegmentsPerTentacle % 2 == 1;
  const auto step = static_cast<int16_t>(odd ? d : -d);
  UpdateStage6BossTentacleWorker(pool, slot, parts, partIndex, upper, lower, step);
}
