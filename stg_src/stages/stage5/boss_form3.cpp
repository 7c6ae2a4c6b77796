#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage5/boss_chain.h"
#include "stg_src/stages/stage5/boss_form_parts.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

// Form 3 (pool 0, type 12): a body with two arms, a big cannon on each arm and two missile
// launchers behind it, its core in front. It patrols firing seeker bursts from the cannons,
// then swings the arms in and sweeps the cannons four times, firing faster the nearer they point
// straight left. Form words: intWork0 counts the patrol frames, and the sweeps in the attack.
// Cannon words: work0 the frames of the attack's pause and the seekers of a burst, work1 the
// seeker speed step, cue the burst's clock.

namespace {

constexpr int16_t kPatrol = -3;
constexpr int16_t kArmsIn = 1;
constexpr int16_t kSweep = 3;
constexpr int16_t kCannonsOut = -1;
constexpr int kArmSlot = 0;
constexpr int kCannonSlot = 2;
constexpr int kLauncherSlot = 4;
constexpr int kCoreSlot = 0;
constexpr int32_t kPatrolFrames = 560;
constexpr int32_t kSweepPause = 80;
constexpr int32_t kLaunchAfter = 80;

constexpr PartCircle kArmCircles[] = {{8, 0, 0}, {8, 11, 0}, {8, 22, 0}};
constexpr PartCircle kCannonCircles[] = {
    {38, 17, 32}, {15, 67, 44}, {7, 99, 63}, {16, -33, 38}, {6, -66, 28}};

void AttachOn(EnemyPart* parts, int slot, int32_t type, double dx, double dy, int16_t angle,
              int16_t variant, int16_t parent) {
  AttachPart(parts, slot, type, dx, dy, angle, 0);
  parts[slot].variant = variant;
  parts[slot].parentPart = parent;
}

void SetUp(int16_t slot) {
  BeginFormSetUp(slot, {180, 128, 128, 1});
  EnemyObject& o = EnemyPool0[slot];
  SetEnemyHitCircle(EnemyPool0, slot, 0, 19, -74, -39);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 19, -74, 39);
  SetEnemyHitCircle(EnemyPool0, slot, 2, 16, -36, -37);
  SetEnemyHitCircle(EnemyPool0, slot, 3, 16, -36, 37);
  SetEnemyHitCircle(EnemyPool0, slot, 4, 38, 16, -50);
  SetEnemyHitCircle(EnemyPool0, slot, 5, 38, 16, 50);
  AttachOn(o.partsA, kArmSlot, 21, 10, -90, 896, 0, -1);
  AttachOn(o.partsA, kArmSlot + 1, 21, 10, 90, 128, 1, -1);
  AttachOn(o.partsA, kCannonSlot, 22, 32, 0, 384, 0, kArmSlot);
  AttachOn(o.partsA, kCannonSlot + 1, 22, 32, 0, 640, 1, kArmSlot + 1);
  AttachOn(o.partsA, kLauncherSlot, 23, -93, -31, 512, 0, -1);
  AttachOn(o.partsA, kLauncherSlot + 1, 23, -93, 31, 512, 1, -1);
  AttachOn(o.partsB, kCoreSlot, kStage5CorePartType, 0, 0, 0, 1, -1);
  o.partCountA = 6;
  o.partCountB = 1;
  FinishFormSetUp();
}

void StepPatrolOrSweep(EnemyObject& o) {
  CueCoreOnTimeOut(o, o.partsB[kCoreSlot], kStage5FormTimeOut);
  if (o.phase == kPatrol) {
    o.intWork0 += 1;
    if (o.intWork0 > kPatrolFrames) {
      ResetFormForPhase(o, kArmsIn, false);
      return;
    }
  } else if (o.intWork0 > 3) {
    ResetFormForPhase(o, kCannonsOut, false);
    return;
  }
  DriftTowardScreenX(o, 590, 500);
  if (o.phase == kPatrol) {
    TrackPlayerY(o, 96, 304, 0.8, 0.04);
  } else {
    TrackPlayerY(o, 112, 288, 0.8, 0.04);
  }
  if (o.frame % ComputeFireIntervalFlat(30, o.rank) == ComputeFireIntervalFlat(6, o.rank)) {
    const double speed = ScaleShotSpeed(2.8);
    SpawnEnemyShot(1, 512, speed, o.x - 82, o.y - 9, 1);
    SpawnEnemyShot(1, 512, speed, o.x - 82, o.y + 9, 1);
  }
}

void CueLaunchers(EnemyObject& o) {
  if (o.frame <= kLaunchAfter) return;
  const int16_t every = ComputeFireIntervalFlat(150, o.rank);
  if (o.frame % every == ComputeFireIntervalFlat(30, o.rank)) o.partsA[kLauncherSlot].cue = 1;
  if (o.frame % every == ComputeFireIntervalFlat(105, o.rank)) o.partsA[kLauncherSlot + 1].cue = 1;
}

// A sweep shot: faster the nearer the cannon points straight left, none below 2.
double SweepShotSpeed(int16_t angle) {
  const int off = angle > 512 ? angle - 512 : 512 - angle;
  return (256 - off) * 2.8 / 128;
}

void FireFromCannon(const EnemyPart& p, int16_t type, int16_t angle, double speed, double dx,
                    double dy) {
  const double sign = p.variant == 0 ? 1 : -1;
  SpawnEnemyShot(type, angle, ScaleShotSpeed(speed), RotateOffsetX(p.x, dx, dy * sign, p.angle),
                 RotateOffsetY(p.y, dx, dy * sign, p.angle), 1);
}

// The attack: after the pause the cannons sweep; the first cannon counts the sweeps and restarts
// both pauses, the second only mirrors it.
void StepSweep(EnemyObject& o, EnemyPart* parts, int16_t j) {
  EnemyPart& p = parts[j];
  p.work0 = static_cast<int16_t>(p.work0 + 1);
  if (p.work0 <= kSweepPause || o.intWork0 > 3) return;
  const bool outward = o.intWork0 % 2 == 0;
  const int16_t target = p.variant == 0 ? (outward ? 352 : 512) : (outward ? 672 : 512);
  p.baseAngle = TurnAngle(target, p.baseAngle, 1);
  p.angle = static_cast<int16_t>(WrapAngle(o.angle + p.baseAngle));
  if (p.counter % ComputeFireIntervalFlat(12, o.rank) == 0) {
    const double t = SweepShotSpeed(p.angle);
    if (t >= 2) FireFromCannon(p, 3, p.angle, t, 89, 42);
  }
  if (p.variant == 0 && p.baseAngle == target) {
    p.work0 = 0;
    parts[j + 1].work0 = 0;
    o.intWork0 += 1;
  }
}

// The patrol's seeker bursts: four seekers, their speed stepping 3.2, 4.4, 5.6 and on from
// burst to burst.
void StepSeekers(const EnemyObject& o, EnemyPart& p) {
  if (p.cue == 0 && p.counter % ComputeFireInterval(98, o.rank) == ComputeFireInterval(40, o.rank))
    p.cue = 1;
  if (p.cue <= 0) return;
  p.cue = static_cast<int16_t>(p.cue + 1);
  if (p.cue % ComputeFireIntervalFlat(7, o.rank) == 0) {
    FireFromCannon(p, 19, 512, p.work1 * 1.2 + 3.2, 48, 69);
    p.work0 = static_cast<int16_t>(p.work0 + 1);
    p.work1 = static_cast<int16_t>(p.work1 + 1);
    if (p.work1 > 2) p.work1 = 0;
  }
  if (p.work0 > 3) {
    p.cue = 0;
    p.work0 = 0;
  }
}

}  // namespace

void UpdateStage5Boss3(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    if (HandOverIfBeaten(slot)) return;
    SetUp(slot);
    return;
  }
  if (o.state != 2) {
    StepFormDeath(slot);
    return;
  }
  if (!StepFormEntry(o, kPatrol, true)) {
    if (o.phase == kPatrol || o.phase == kSweep) StepPatrolOrSweep(o);
    CueLaunchers(o);
  }
  MoveFormWithScroll(o);
}

void UpdateStage5Boss3ArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& o = pool[slot];
  TickPart(p);
  if (p.state == 1) { SetUpFormPart(parts, partIndex, 1, kArmCircles, 1, 64, 64, p.variant); }
  FollowParentObject(pool, slot, parts, partIndex, 1);
  if (EndWithForm(p, PartEnd::Large)) return;
  if (o.phase == kArmsIn) {
    const int16_t target = p.variant == 0 ? 576 : 448;
    p.baseAngle = TurnAngle(target, p.baseAngle, 4);
    if (p.variant == 0 && p.baseAngle == target) o.phase = kSweep;
  } else if (o.phase == kPatrol) {
    p.baseAngle = TurnAngle(p.variant == 0 ? 896 : 128, p.baseAngle, 8);
  }
  p.angle = static_cast<int16_t>(WrapAngle(o.angle + p.baseAngle));
}

void UpdateStage5Boss3CannonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& o = pool[slot];
  TickPart(p);
  if (p.state == 1) {
    SetUpFormPart(parts, partIndex, 1, kCannonCircles, p.variant == 0 ? 1 : -1, 128, 128,
                  p.variant);
  }
  FollowParentPart(parts, p.parentPart, parts, partIndex);
  if (EndWithForm(p, PartEnd::Large)) return;
  if (p.state != 2) return;
  p.angle = static_cast<int16_t>(WrapAngle(o.angle + p.baseAngle));
  if (o.phase == kArmsIn) {
    p.baseAngle = TurnAngle(512, p.baseAngle, 8);
    o.intWork0 = 0;
    p.work0 = 0;
  } else if (o.phase == kSweep) {
    StepSweep(o, parts, partIndex);
  } else if (o.phase == kCannonsOut) {
    const int16_t target = p.variant == 0 ? 384 : 640;
    p.baseAngle = TurnAngle(target, p.baseAngle, 8);
    if (p.variant == 0 && p.baseAngle == target) o.phase = kPatrol;
    p.work0 = p.work1 = 0;
  } else if (o.phase == kPatrol) {
    StepSeekers(o, p);
  }
  p.angle = static_cast<int16_t>(WrapAngle(o.angle + p.baseAngle));
}

void UpdateStage5Boss3LauncherPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  TickPart(p);
  if (p.state == 1) SetUpFormPart(parts, partIndex, 0, 30, 16, 0);
  p.angle = static_cast<int16_t>(WrapAngle(o.angle + 512));
  FollowParentObject(pool, slot, parts, partIndex, 1);
  if (EndWithForm(p, PartEnd::Small)) return;
  if (p.state == 2 && p.cue == 1) {
    p.cue = 0;
    SpawnPool2Enemy(p.x - 8, p.y, 5, 512);
    p.recoil = 16;
  }
}
