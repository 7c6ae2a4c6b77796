#include <cstdlib>
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
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage2/stage2.h"
#include "stg_src/stages/stage2/stage2_boss.h"

#include "stg_src/game/deterministic.h"

// The boss body (pool 0, type 10). Words: intWork0 the phase timer; intWork1 the hover's step
// counter, the ram's pass (0 charging left, 1 charging right); intWork2 the hover steps done;
// intWork3 the rams done (never reset); realWork0 the step's target y, realWork1 its signed
// distance. heading and speed move it outside the hover and the ram, which set vx and vy.

namespace {

constexpr int16_t kArmSound = 49;
constexpr double kEntrySpeed = 6.4;
constexpr double kStepDistance = 100;
constexpr double kStepSpeed = 3.2;
constexpr double kLineUpSpeed = 4.8;
constexpr double kRamSpeed = 16;
constexpr int32_t kHoverFrames = 400;
constexpr int32_t kFanAfter = 80;
constexpr int32_t kRamsBeforeTimeOut = 4;

struct PartSlot {
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t parent;
  int16_t variant;
};
constexpr PartSlot kPartsA[] = {
    {0, 22, 3, -64, 0, -1, 0}, {1, 22, 3, 64, 0, -1, 3},    {2, 22, 3, -39, 0, -1, 1},
    {3, 22, 3, 39, 0, -1, 2},  {4, 24, -63, 0, 512, -1, 0},
};
constexpr PartSlot kPartsB[] = {
    {0, 20, -32, 0, 0, -1, 0},   {1, 21, -60, -108, 0, -1, 1}, {2, 21, -60, 108, 0, -1, 2},
    {3, 21, 1, -25, 0, 1, 0},    {4, 21, 1, 25, 0, 2, 3},      {5, 21, -120, 0, 0, -1, 4},
    {6, 23, 134, -35, 0, -1, 1}, {7, 23, 134, 35, 0, -1, 3},   {8, 23, 30, -32, 0, -1, 0},
    {9, 23, 30, 32, 0, -1, 2},
};

// The twin front guns of each later hover step.
constexpr double kVolleyDx = -98;
constexpr double kVolleyDy = 22;
constexpr double kVolleySpeed = 3.2;

int16_t Turn(int target, int current, int step) {
  return static_cast<int16_t>(TurnTowardAngle(target, current, step));
}

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
  o.vx = o.vy = 0;
  o.speed = kEntrySpeed;
  o.airFrames = 0;
  o.angle = 0;
  o.heading = 512;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 34, 12, 0);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 25, 67, 0);
  o.hitMode = 1;
  o.phase = kStage2BossSpawned;
  o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
  o.despawnMarginX = o.despawnMarginY = -1;
  o.cullMarginX = 112;
  o.cullMarginY = 32;
  o.realWork0 = o.realWork1 = 0;
  o.x += 180;
  o.y += 20;
  AttachAll(o.partsA, kPartsA, static_cast<int>(std::size(kPartsA)));
  AttachAll(o.partsB, kPartsB, static_cast<int>(std::size(kPartsB)));
  o.partCountA = static_cast<int16_t>(std::size(kPartsA));
  o.partCountB = static_cast<int16_t>(std::size(kPartsB));
  BossState = 1;
}

void FireVolley(EnemyObject& o) {
  for (int k = 0; k < 4; ++k) o.partsA[k].cue = 1;
  o.partsB[kStage2BossUpperArm].cue = 1;
  o.partsB[kStage2BossLowerArm].cue = 1;
  const int16_t along = static_cast<int16_t>(WrapAngle(o.angle + 512));
  for (const double dy : {-kVolleyDy, kVolleyDy}) {
    SpawnEnemyShot(4, along, ScaleShotSpeed(kVolleySpeed),
                   RotateOffsetX(o.x, kVolleyDx, dy, o.angle),
                   RotateOffsetY(o.y, kVolleyDx, dy, o.angle), 1);
  }
}

// One hover step: the first of each hover only waits; the later ones move 100 px toward the
// player, settle, fire on their fourth count and hold to the fire interval. A new step (or the
// stop for the ram) only begins between steps.
void StepHoverSteps(EnemyObject& o, int16_t slot) {
  if (o.intWork1 >= 1) {
    if (o.intWork2 > 0) {
      SteerTowardY(EnemyPool0, slot, o.realWork0, o.realWork1 < 0 ? 1 : 0, kStepSpeed, 8);
    }
    if (o.vy != 0) return;
    o.intWork1 += 1;
    if (o.intWork2 > 0 && o.intWork1 == 4) FireVolley(o);
    if (o.intWork1 >= ComputeFireInterval(48, o.rank)) {
      o.intWork1 = 0;
      o.intWork2 += 1;
    }
  } else if (o.intWork0 <= kHoverFrames) {
    o.realWork1 = PlayerY < o.y ? -kStepDistance : kStepDistance;
    o.realWork0 = o.y + o.realWork1;
    o.intWork1 = 1;
    if (o.intWork0 > kFanAfter) o.partsA[kStage2BossNoseGun].cue = 1;
  } else {
    o.vx = o.vy = o.speed = 0;
    o.phase = kStage2BossStop;
    o.intWork3 += 1;
    RequestSoundEffect(kArmSound);
  }
}

void StepHover(EnemyObject& o, int16_t slot) {
  o.intWork0 += 1;
  EnemyPart& core = o.partsB[kStage2BossCore];
  if (core.cue == 0 && o.intWork3 > kRamsBeforeTimeOut) core.cue = 1;
  if (o.intWork3 < 1) {
    o.angle = Turn(0, o.angle, 8);
  } else {
    o.angle = Turn(WrapAngle(AimAngle(o.x, o.y, PlayerX, PlayerY) + 512), o.angle, 3);
  }
  const double restX = ScreenToWorldX(500);
  if (restX < o.x) o.vx = ApproachValue(o.vx, 0.05, -0.4);
  if (restX > o.x) o.vx = ApproachValue(o.vx, 0.05, 0.4);
  StepHoverSteps(o, slot);
}

void FaceRamPass(EnemyObject& o) {
  o.angle = Turn(o.intWork1 == 1 ? 512 : 0, o.angle, 8);
  o.heading = static_cast<int16_t>(WrapAngle(o.angle + 512));
}

// Track the player's height, back off, charge left off screen, line up out of sight, charge
// back to the right.
void StepRam(EnemyObject& o, int16_t slot) {
  o.intWork0 += 1;
  const int32_t t = o.intWork0;
  const bool secondPass = o.intWork1 == 1;
  if (t <= 89) {
    if (t < 5 * Difficulty + 70) {
      if (!secondPass) {
        SteerTowardY(EnemyPool0, slot, PlayerY, PlayerY < o.y ? 1 : 0, kLineUpSpeed, 8);
      } else {
        o.y = PlayerY;
      }
    } else {
      o.vy = ApproachValue(o.vy, 0.8, 0);
    }
    FaceRamPass(o);
    return;
  }
  FaceRamPass(o);
  if (secondPass || t > 119) {
    o.vx = ApproachValue(o.vx, 0.6, secondPass ? kRamSpeed : -kRamSpeed);
  } else {
    o.vx = ApproachValue(o.vx, 0.06, 2.8);
  }
  if (!secondPass && o.x < ScreenToWorldX(-120)) {
    o.intWork0 = 20;
    o.intWork1 = 1;
  } else if (secondPass && o.x > ScreenToWorldX(640)) {
    o.phase = kStage2BossSideGunsFold;
    RequestSoundEffect(kArmSound);
  }
}

void StepFold(EnemyObject& o) {
  o.speed = ApproachValue(o.speed, 0.8, 0);
  if (o.speed == 0) o.vx = o.vy = 0;
  o.angle = Turn(0, o.angle, 8);
  o.intWork0 = o.intWork1 = o.intWork2 = 0;
}

void StepLive(EnemyObject& o, int16_t slot) {
  if (o.phase != kStage2BossRam && o.phase != kStage2BossHover) {
    o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
    o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
  }
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
  switch (o.phase) {
    case kStage2BossSpawned:
      o.phase = kStage2BossEntry;
      break;
    case kStage2BossEntry:
      if (o.x < ScreenToWorldX(620)) {
        o.speed = ApproachValue(o.speed, 0.2, 0);
        if (o.speed <= 0) {
          o.frame = 0;
          o.phase = kStage2BossHover;
        }
      }
      break;
    case kStage2BossHover:
      StepHover(o, slot);
      break;
    case kStage2BossStop:
      o.speed = 0;
      o.vx = o.vy = 0;
      o.intWork0 = o.intWork1 = o.intWork2 = 0;
      break;
    case kStage2BossRam:
      StepRam(o, slot);
      break;
    case kStage2BossSideGunsFold:
    case kStage2BossArmsFold:
      StepFold(o);
      break;
    default:  // phase 2: the forearms move it on
      break;
  }
}

}  // namespace

void UpdateStage2Boss(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUp(slot);
    return;
  }
  if (o.state == 2) {
    StepLive(o, slot);
    return;
  }
  if (o.state == 3) {
    SpawnLargeExplosion(o.x, o.y, 1, -1);
    o.state = 4;
    o.frame = 0;
  }
  if (o.state == 4) StepBeatenBossDrifting(o);
}
