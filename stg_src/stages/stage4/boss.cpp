// The stage-4 boss's body: it flies in and brakes, then alternates between the folded fight and
// the open fight, stepping up and down toward the player and cueing its guns; the parts move it
// through the changes between the two. It dies only with its core.
#include <iterator>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/boss_finale.h"
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
#include "stg_src/stages/stage4/stage4_boss.h"

#include "stg_src/game/deterministic.h"

// Boss (pool 0, type 10): intWork0 the phase timer, intWork1 the move step (0 choose a target,
// 1..7 settling), intWork2 the moves made, intWork3 the cycles completed; realWork0 the target y,
// realWork1 the vertical step. Guns: cue the laser count (launchers: their run), work0 the
// volley flag.

namespace {

constexpr double kEntrySpeed = 7.2;
constexpr int32_t kFightFrames = 400;
constexpr int32_t kCyclesBeforeFinalClose = 5;
constexpr double kVerticalStep = 60;
constexpr double kTopScreenY = 80;
constexpr double kBottomScreenY = 320;
constexpr int32_t kSettleFrames = 7;

struct PartSlot {
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t variant;
  int16_t parent;  // slot in the same array, -1 the boss
};

constexpr PartSlot kExhausts[] = {
    {0, 25, -142, -19, 0, 0, -1},
    {1, 25, -142, 19, 0, 0, -1},
};
constexpr PartSlot kFrontParts[] = {
    {0, 21, 0, -33, 576, 4, 6},   {1, 21, 0, 33, 448, 5, 6},  {2, 21, -1, 43, 64, 2, 12},
    {3, 21, -1, -43, 960, 3, 13}, {4, 21, 45, 0, 576, 0, 2},  {5, 21, 45, 0, 448, 1, 3},
    {6, 22, 0, 0, 0, 0, -1},      {7, 20, -14, 0, 0, 0, -1},  {8, 23, 45, 0, 512, 0, 4},
    {9, 23, 45, 0, 512, 1, 5},    {10, 23, -13, 18, 0, 2, 8}, {11, 23, -13, -18, 0, 3, 9},
    {12, 24, 16, 0, 512, 0, 0},   {13, 24, 16, 0, 512, 1, 1},
};

void AttachAll(EnemyPart* parts, const PartSlot* rows, int n) {
  for (int k = 0; k < n; ++k) {
    const PartSlot& r = rows[k];
    AttachPart(parts, r.slot, r.type, r.dx, r.dy, r.angle, 0);
    parts[r.slot].variant = r.variant;
    parts[r.slot].parentPart = r.parent;
  }
}

void SetUp(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  BossType = static_cast<int16_t>(o.type);
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = 0;
  o.hitMode = 1;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 34, 12, 0);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 25, 67, 0);
  o.vx = o.vy = 0;
  o.speed = kEntrySpeed;
  o.heading = 512;
  o.angle = 0;
  o.despawnMarginX = o.despawnMarginY = -1;
  o.cullMarginX = o.cullMarginY = 0;
  o.phase = kStage4BossEntry;
  o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
  o.realWork0 = o.realWork1 = 0;
  o.x += 180;
  o.y += 20;
  AttachAll(o.partsA, kExhausts, static_cast<int>(std::size(kExhausts)));
  AttachAll(o.partsB, kFrontParts, static_cast<int>(std::size(kFrontParts)));
  o.partCountA = static_cast<int16_t>(std::size(kExhausts));
  o.partCountB = static_cast<int16_t>(std::size(kFrontParts));
}

bool AreTrackedCuesIdle(const EnemyObject& o) {
  return o.partsB[kStage4BossArmLaser].cue == 0 && o.partsB[kStage4BossLauncher].cue == 0 &&
         o.partsB[kStage4BossCannon].cue == 0;
}

void HoldAcrossTheScreen(EnemyObject& o) {
  const double target = ScreenToWorldX(PlayerX > ScreenToWorldX(240) ? 620 : 500);
  const bool open = o.phase == kStage4BossOpen;
  const double v = open ? 0.4 : 0.8;
  const double step = open ? 0.02 : 0.04;
  if (o.x > target) o.vx = ApproachValue(o.vx, step, -v);
  if (o.x < target) o.vx = ApproachValue(o.vx, step, v);
}

// The vertical steps of a fight phase; false once the phase's time is up (the boss then waits
// for its guns to go idle, changes phase, and does nothing more this frame).
bool StepVertically(EnemyObject& o, int16_t slot) {
  if (o.intWork1 == 0) {
    if (o.intWork0 > kFightFrames) {
      o.vx = o.vy = o.speed = 0;
      if (AreTrackedCuesIdle(o)) {
        if (o.phase == kStage4BossOpen) {
          o.phase = kStage4BossCannonsIn;
        } else {
          o.phase = kStage4BossCannonsOut;
          o.intWork3 += 1;
        }
      }
      return false;
    }
    o.realWork1 = PlayerY < o.y ? -kVerticalStep : kVerticalStep;
    o.realWork0 = o.y + o.realWork1;
    const double screenY = WorldToScreenY(o.realWork0);
    if (screenY < kTopScreenY || screenY > kBottomScreenY) {
      o.realWork1 = -o.realWork1;
      o.realWork0 = o.y + o.realWork1;
    }
    o.intWork1 = 1;
    return true;
  }
  if (o.intWork2 > 0) {
    const bool laserRuns =
        o.partsB[kStage4BossArmLaser].cue != 0 || o.partsB[kStage4BossCannon].cue != 0;
    SteerTowardY(EnemyPool0, slot, o.realWork0, o.realWork1 < 0 ? 1 : 0, laserRuns ? 0.2 : 1.6,
                 laserRuns ? 2 : 16);
  }
  if (o.vy == 0) {
    o.intWork1 += 1;
    if (o.intWork1 > kSettleFrames) {
      o.intWork1 = 0;
      o.intWork2 += 1;
    }
  }
  return true;
}

void FireHullPair(const EnemyObject& o, double dx, double dy) {
  const int16_t along = static_cast<int16_t>(WrapAngle(o.angle + 512));
  for (const double across : {-dy, dy}) {
    SpawnEnemyShot(1, along, ScaleShotSpeed(3.2), RotateOffsetX(o.x, dx, across, o.angle),
                   RotateOffsetY(o.y, dx, across, o.angle), 1);
  }
}

void StartVolleys(EnemyObject& o, int first) {
  o.partsB[first].work0 = 1;
  o.partsB[first + 1].work0 = 1;
}

void CueWeapons(EnemyObject& o) {
  const int16_t rank = o.rank;
  const auto phaseOf = [&o, rank](int16_t period, int16_t at) {
    return o.frame % ComputeFireInterval(period, rank) == ComputeFireInterval(at, rank);
  };
  const auto flatPhaseOf = [&o, rank](int16_t period, int16_t at) {
    return o.frame % ComputeFireIntervalFlat(period, rank) == ComputeFireIntervalFlat(at, rank);
  };
  const bool open = o.phase == kStage4BossOpen;
  // The launchers' run silences everything else; the open fight's hull guns go on.
  const bool launchersRun = o.partsB[kStage4BossLauncher].cue != 0;
  if (!open && launchersRun) return;
  if (phaseOf(60, 20)) FireHullPair(o, -88, 3);
  if (phaseOf(60, 40)) FireHullPair(o, -80, 28);
  if (launchersRun) return;
  EnemyPart* b = o.partsB;
  if (open) {
    if (phaseOf(60, 30) && b[kStage4BossCannon].cue == 0) StartVolleys(o, kStage4BossCannon);
    if (phaseOf(70, 10) && b[kStage4BossArmLaser].cue == 0) StartVolleys(o, kStage4BossArmLaser);
  } else {
    if (phaseOf(60, 30)) {
      if (b[kStage4BossArmLaser].cue == 0) StartVolleys(o, kStage4BossArmLaser);
      if (b[kStage4BossCannon].cue == 0) StartVolleys(o, kStage4BossCannon);
    }
    if (phaseOf(280, 260)) b[kStage4BossLauncher].cue = b[kStage4BossLauncher + 1].cue = 1;
  }
  if (flatPhaseOf(320, 80)) {
    b[kStage4BossArmLaser].cue = b[kStage4BossArmLaser + 1].cue = kBossArmLaser[0].startValue;
  }
  if (flatPhaseOf(320, 240)) {
    b[kStage4BossCannon].cue = b[kStage4BossCannon + 1].cue = kBossCannonLaser[0].startValue;
  }
}

void StepFight(EnemyObject& o, int16_t slot) {
  o.intWork0 += 1;
  HoldAcrossTheScreen(o);
  EnemyPart& core = o.partsB[kStage4BossCore];
  if (o.phase == kStage4BossFolded && core.cue == 0 && o.intWork3 > kCyclesBeforeFinalClose) {
    core.cue = 1;
  }
  if (StepVertically(o, slot)) CueWeapons(o);
}

void StepLive(EnemyObject& o, int16_t slot) {
  const bool fighting = o.phase == kStage4BossOpen || o.phase == kStage4BossFolded;
  if (!fighting) {
    o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
    o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
  }
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
  if (o.phase == kStage4BossEntry) {
    o.speed = ApproachValue(o.speed, 0.08, 0);
    if (o.speed == 0) {
      o.frame = 0;
      o.phase = kStage4BossFolded;
    }
  } else if (fighting) {
    StepFight(o, slot);
  } else {
    o.speed = ApproachValue(o.speed, 0.1, 0);
    if (o.speed == 0) {
      o.vx = o.vy = 0;
      o.intWork0 = o.intWork1 = o.intWork2 = 0;
    }
  }
}

}  // namespace

void UpdateStage4Boss(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) SetUp(slot);
  if (o.state == 2) {
    StepLive(o, slot);
    return;
  }
  // Each part that goes with the boss sets it back here: one more explosion, the count anew.
  if (o.state == 3) {
    SpawnLargeExplosion(o.x, o.y, 1, -1);
    o.state = 4;
    o.frame = 0;
    return;
  }
  if (o.state == 4) StepBeatenBossDrifting(o);
}
