#include <initializer_list>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/boss_finale.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage6/boss_layout.h"
#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

// The boss (pool 0, type 10): a fortress peeled open in a fixed order, hulls, outer shell, the
// core behind the inner shell, the jaws, and on hard the free boss with its tentacles. The body
// is never hurt; the core decides its death. Body words: vx, vy the free boss's drift; frame the
// fight's clock (time-outs at 3000 for the hulls, 9000 or 10000 for the core).

using namespace stage6_boss;

namespace {

constexpr double kStopEdge = 14800;
constexpr double kStopBelowSpeed = 1.5;
constexpr double kFreeScrollSpeed = 3;
constexpr int32_t kHullTimeOut = 3000;
constexpr int32_t kFightTimeOut = 9000;
constexpr int32_t kHardFightTimeOut = 10000;
constexpr int16_t kInnerShellArmedLimit = 3000;
constexpr int16_t kJawsArmedLimit = 6000;
constexpr int32_t kLastBlastFrame = 72;
constexpr int32_t kClearFrame = 80;
constexpr double kFinaleDx = 102;

struct PartRow {
  bool front;  // partsB
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t variant;
  int16_t parent;
};
constexpr PartRow kBossParts[] = {
    {false, kCore, 21, -47, 0, 0, 0, -1},
    {true, kUpperJaw, 23, -51, -260, 0, 0, -1},
    {true, kLowerJaw, 23, -11, 300, 0, 1, -1},
    {true, kUpperHull, 20, -33, -130, 0, 0, kInnerShell},
    {true, kLowerHull, 20, -33, 130, 0, 0, kInnerShell},
    {true, kInnerShell, 22, 0, 0, 0, 0, -1},
    {true, kOuterShell, 22, -41, 0, 0, 1, -1},
    {true, 6, 25, -225, -70, 0, 0, kUpperJaw},
    {true, 7, 25, -105, -70, 0, 1, kUpperJaw},
    {true, 8, 28, 124, -44, 0, 0, kUpperJaw},
    {true, 9, 28, 172, -3, 0, 1, kUpperJaw},
    {true, 10, 25, -225, 70, 0, 2, kLowerJaw},
    {true, 11, 25, -105, 70, 0, 3, kLowerJaw},
    {true, 12, 28, 124, 44, 0, 2, kLowerJaw},
    {true, 13, 28, 172, 3, 0, 3, kLowerJaw},
    {true, 14, 31, 50, -91, 0, 0, -1},
    {true, 15, 31, 50, 91, 0, 3, -1},
    {true, 16, 31, -10, 0, 448, 1, -1},
    {true, 17, 31, 38, -64, 512, 2, -1},
    {true, 18, 31, 29, 52, 0, 1, -1},
    {true, kBlue, 26, -69, 0, 512, 0, -1},
};

void AttachTentacles(EnemyObject& o) {
  for (int k = 0; k < 4; ++k) {
    const int root = kFirstTentacle + 6 * k;
    AttachPart(o.partsA, root, 29, -9, k < 2 ? -141 : 141, 512, 0);
    for (int d = 1; d < 6; ++d) {
      AttachPart(o.partsA, root + d, 29, 36, 0, 512, 0);
      o.partsA[root + d].parentPart = static_cast<int16_t>(root + d - 1);
    }
  }
}

void SetUpBoss(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.angle = 0;
  o.hitMode = 1;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 60, 54, -121);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 60, 162, -121);
  SetEnemyHitCircle(EnemyPool0, slot, 2, 108, 64, 0);
  SetEnemyHitCircle(EnemyPool0, slot, 3, 60, 162, 121);
  SetEnemyHitCircle(EnemyPool0, slot, 4, 60, 54, 121);
  o.phase = 0;
  o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
  o.despawnMarginX = o.despawnMarginY = -1;
  o.cullMarginX = 260;
  o.cullMarginY = 200;
  o.realWork0 = o.realWork1 = 0;
  o.x += 162;
  o.y += 20;
  for (const PartRow& r : kBossParts) {
    EnemyPart* parts = r.front ? o.partsB : o.partsA;
    AttachPart(parts, r.slot, r.type, r.dx, r.dy, r.angle, 0);
    parts[r.slot].parentPart = r.parent;
    parts[r.slot].variant = r.variant;
  }
  const bool tentacles = IsHardFight();
  if (tentacles) AttachTentacles(o);
  o.partCountA = tentacles ? kPartCountWithTentacles : 1;
  o.partCountB = kPartCountB;
  // A second boss leaves the fight's flags to the first.
  if (BossState == 0) {
    BossState = 1;
    StageWork[kTentacleIntervalWork] = 0;
    StageWork[kHullsStandWork] = 1;
    StageWork[kGunnersWork] = 1;
  }
}

void StopScroll() {
  if (ScreenToWorldX(kViewWidth) < kStopEdge || ScrollTargetSpeed >= kStopBelowSpeed) return;
  if (ScrollTargetSpeed != 0) SpawnPool0Enemy(0, 0, kOrbitCarrierType, 0, -1, 1);
  ScrollTargetSpeed = 0;
}

// Once both jaws are gone: drift after the player, backing off right through each blue volley.
void SteerFreeBoss(EnemyObject& o) {
  const double targetX = PlayerX > ScreenToWorldX(240) ? ScreenToWorldX(560) : ScreenToWorldX(480);
  if (o.partsB[kBlue].cue < 1) {
    double targetY = PlayerY;
    if (PlayerX < ScreenToWorldX(320)) {
      if (targetY < ScreenToWorldY(150)) targetY = ScreenToWorldY(150);
      if (targetY > ScreenToWorldY(250)) targetY = ScreenToWorldY(250);
    } else if (PlayerY < ScreenToWorldY(50)) {
      targetY = ScreenToWorldY(30);
    } else if (PlayerY > ScreenToWorldY(350)) {
      targetY = ScreenToWorldY(370);
    }
    if (o.x > targetX) o.vx = ApproachValue(o.vx, 0.02, -0.4);
    if (o.x < targetX) o.vx = ApproachValue(o.vx, 0.02, 0.4);
    if (targetY > o.y) o.vy = ApproachValue(o.vy, 0.04, 0.8);
    if (targetY < o.y) o.vy = ApproachValue(o.vy, 0.04, -0.8);
  } else {
    o.vx = ApproachValue(o.vx, 0.1, o.x < ScreenToWorldX(680) ? 1.0 : 0.0);
    o.vy = ApproachValue(o.vy, 0.04, 0);
  }
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
}

void GateJawsAndMove(EnemyObject& o) {
  const bool tentacles = o.partCountA == kPartCountWithTentacles;
  EnemyPart* segments = o.partsA + kFirstTentacle;
  if (o.partsB[kUpperJaw].state != 0 || o.partsB[kLowerJaw].state != 0) {
    if (tentacles) {
      for (int k = 0; k < kTentacleSegments; ++k) segments[k].cue = 0;
    }
    return;
  }
  if (tentacles) {
    for (int k = 0; k < kTentacleSegments; ++k) {
      if (segments[k].cue == 0) segments[k].cue = 1;
    }
  }
  SteerFreeBoss(o);
}

void TimeOutHulls(EnemyObject& o) {
  if (o.frame <= kHullTimeOut) return;
  for (int j : {kUpperHull, kLowerHull}) {
    if (o.partsB[j].cue == 0) o.partsB[j].cue = 1;
  }
}

void OpenOuterShellWhenHullsGone(EnemyObject& o) {
  EnemyPart& upper = o.partsB[kUpperHull];
  EnemyPart& lower = o.partsB[kLowerHull];
  if (upper.state != 4 || lower.state != 4) return;
  o.partsB[kOuterShell].cue = 1;
  upper.work1 = lower.work1 = -5;
  StageWork[kHullsStandWork] = 0;
}

void BlowOffJaws(EnemyObject& o) {
  EnemyPart& core = o.partsA[kCore];
  core.hitMode = 0;
  EnemyPart& upper = o.partsB[kUpperJaw];
  if (upper.state == 1 || upper.state == 2) upper.state = 3;
  EnemyPart& lower = o.partsB[kLowerJaw];
  if (lower.state == 1 || lower.state == 2) {
    lower.state = 3;
    SpawnEffect(kBossDeathFlashEffect, core.x, core.y, 0, 0, 0);
    StartScreenShake(60);
    SpawnBossExplosion(core.x, core.y, 1);
  }
}

void StepCoreAndShells(EnemyObject& o) {
  EnemyPart& core = o.partsA[kCore];
  EnemyPart& inner = o.partsB[kInnerShell];
  const EnemyPart& outer = o.partsB[kOuterShell];
  EnemyPart& upperJaw = o.partsB[kUpperJaw];
  EnemyPart& lowerJaw = o.partsB[kLowerJaw];
  const bool hard = IsHardFight();
  if (outer.state == 0 && inner.state != 0) {
    if (StageWork[kGunnersWork] == 1) {
      StageWork[kGunnersWork] = 2;
      SpawnPool0Enemy(0, 0, kFloorGunnerType, 0, -1, 1);
      SpawnPool0Enemy(0, 0, kCeilingGunnerType, 0, -1, 1);
    }
    if (core.cue == 0) core.cue = -1;
    const int32_t breakBelow = hard ? core.maxLife * 2 / 3 : core.maxLife / 2;
    if (core.life > 0 && inner.state == 2 &&
        (core.work0 > kInnerShellArmedLimit || core.life < breakBelow)) {
      inner.state = 3;
      core.hitMode = 0;
      StageWork[kGunnersWork] = 0;
    }
  } else if (outer.state == 0 && inner.state == 0 && upperJaw.state == 2 && lowerJaw.state == 2) {
    core.hitMode = 1;
    upperJaw.cue = lowerJaw.cue = 1;
    if (hard && core.life > 0 && (core.work0 > kJawsArmedLimit || core.life < core.maxLife / 3)) {
      BlowOffJaws(o);
    }
  } else if (upperJaw.state == 0 && lowerJaw.state == 0) {
    core.hitMode = 1;
    ScrollTargetSpeed = kFreeScrollSpeed;
    if (o.partsB[kFirstLight].cue == 0) {
      for (int j = kFirstLight; j <= kLastLight; ++j) o.partsB[j].cue = 1;
    }
  }
}

void StepBoss(EnemyObject& o) {
  StopScroll();
  GateJawsAndMove(o);
  TimeOutHulls(o);
  OpenOuterShellWhenHullsGone(o);
  StepCoreAndShells(o);
  EnemyPart& core = o.partsA[kCore];
  const int32_t timeOut = IsHardFight() ? kHardFightTimeOut : kFightTimeOut;
  if (o.frame > timeOut && core.cue < 1) core.cue = 1;
  if (core.state > 2) {
    o.state = 3;
    for (int j : {kUpperJaw, kLowerJaw}) {
      if (o.partsB[j].state == 1 || o.partsB[j].state == 2) o.partsB[j].state = 3;
    }
  }
}

// 80 frames of blasts drifting to a stop, then the clear.
void StepDeath(EnemyObject& o) {
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
  o.vx = ApproachValue(o.vx, 0.2, 0);
  o.vy = ApproachValue(o.vy, 0.2, 0);
  if (o.frame % 8 == 0 && o.frame <= kLastBlastFrame) {
    SpawnMediumBlastInBox(o.x + kFinaleDx, o.y, 300, 380);
  }
  if (o.frame != kClearFrame) return;
  BossFinale finale;
  finale.x = finale.blastX = o.x + kFinaleDx;
  finale.y = finale.blastY = o.y;
  finale.dropsCapsule = false;
  FinishBoss(finale);
  if (!IsHardFight()) {
    SpawnEffect(0, ScreenToWorldX(640), ScreenToWorldY(0), 0, 0, 0);
    SpawnEffect(0, ScreenToWorldX(640), ScreenToWorldY(400), 0, 0, 0);
  }
  o.state = 0;
}

}  // namespace

void UpdateStage6Boss(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpBoss(slot);
    return;
  }
  if (o.state == 2) StepBoss(o);
  if (o.state == 3) {
    SpawnLargeExplosion(o.x, o.y, 1, -1);
    o.state = 4;
    o.frame = 0;
  }
  if (o.state == 4) StepDeath(o);
}
