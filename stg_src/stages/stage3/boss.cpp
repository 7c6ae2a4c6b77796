// The stage-3 boss: an armoured body that cannot be destroyed, cruising a loop around the screen,
// stopping to turn a living core toward the player, closing its plates, stretching its arms and
// firing while it follows the player's height; then folding, moving to a new height and cruising
// again. Its two cores end the fight, shot down or by their own time-out. Also the cores and
// the spine; the arms, claws, plates and flame pods are in boss_parts.cpp.
//
// Body words: angle the drawn rotation (parts add their base angle); angle2 the heading the
// cruise turns toward; heading and speed the motion; phase the fight (boss_words.h); intWork2
// the turn sign, intWork3 the phase timer, spawnDir the facing target; life -1, lowered by each
// fallen core (below -2 the boss dies).
// Core and spine words: cue the core's time-out count (0 until cued).
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/boss_finale.h"
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
#include "stg_src/stages/stage3/boss_words.h"
#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kBossType = 10;
constexpr double kEntrySpeed = 4.8;
constexpr double kCruiseSpeed = 2;
constexpr int16_t kStopSound = 50;
constexpr int16_t kFoldSound = 51;
constexpr int32_t kAttackFrames = 620;
constexpr int32_t kCoreTimeOutFrame = 4800;
constexpr int16_t kCoreCloseAfter = 180;
constexpr int32_t kCoreLife = 2100;
// The boss dies once its life word, lowered by each fallen core, is below this.
constexpr int32_t kBothCoresGone = -2;

// Screen lines of the loop (world values through ScreenToWorldX/Y).
constexpr double kEntryEndX = 240;
constexpr double kLoopLeftX = 160;
constexpr double kLoopRightX = 480;
constexpr double kLoopMiddleY = 200;
constexpr double kStopTolerance = 10;
constexpr double kHighStopY = 100;
constexpr double kLowStopY = 300;

enum PartType : int32_t {
  kCorePart = 20,
  kSpinePart = 21,
  kUpperArmPart = 22,
  kLowerArmPart = 23,
  kUpperClawPart = 24,
  kLowerClawPart = 25,
  kPlatePart = 26,
  kFlamePodPart = 27,
};

struct PartPlace {
  int16_t slot;
  int32_t type;
  int16_t dx, dy;
  int16_t angle;
  int16_t parent;  // -1 the body
  int16_t variant;
};

// The cores, spines, arm roots, plates and claws; the arm segments between are laid by rule.
constexpr PartPlace kFixedParts[] = {
    {0, kCorePart, -83, 0, 512, -1, 0},      {1, kCorePart, 83, 0, 0, -1, 0},
    {2, kSpinePart, 0, 0, 0, -1, 0},         {14, kUpperArmPart, 3, 0, 768, 15, 1},
    {15, kUpperArmPart, 0, -48, 768, -1, 0}, {27, kLowerArmPart, 3, 0, 256, 28, 1},
    {28, kLowerArmPart, 0, 48, 256, -1, 0},  {29, kPlatePart, -67, -37, 0, -1, 0},
    {30, kPlatePart, 67, -37, 0, -1, 4},     {31, kPlatePart, -41, -37, 0, -1, 1},
    {32, kPlatePart, 41, -37, 0, -1, 3},     {33, kPlatePart, 0, -37, 0, -1, 2},
    {34, kPlatePart, 67, 37, 512, -1, 5},    {35, kPlatePart, -67, 37, 512, -1, 9},
    {36, kPlatePart, 41, 37, 512, -1, 6},    {37, kPlatePart, -41, 37, 512, -1, 8},
    {38, kPlatePart, 0, 37, 512, -1, 7},     {39, kSpinePart, 0, 0, 0, -1, 1},
    {40, kUpperClawPart, -1, 0, 768, 3, 2},  {41, kUpperClawPart, -1, 0, 768, 3, 0},
    {42, kUpperClawPart, -1, 0, 768, 3, 1},  {43, kLowerClawPart, -1, 0, 256, 16, 2},
    {44, kLowerClawPart, -1, 0, 256, 16, 0}, {45, kLowerClawPart, -1, 0, 256, 16, 1},
};

void PlacePart(EnemyPart* parts, const PartPlace& p) {
  AttachPart(parts, p.slot, p.type, p.dx, p.dy, p.angle, 0);
  parts[p.slot].parentPart = p.parent;
  parts[p.slot].variant = p.variant;
}

void AttachBossParts(EnemyObject& boss) {
  EnemyPart* b = boss.partsB;
  for (const PartPlace& p : kFixedParts) PlacePart(b, p);
  // Each arm: eleven segments from the tip (variant 12) in, each hanging on the next slot.
  for (int k = 0; k <= 10; ++k) {
    const auto variant = static_cast<int16_t>(12 - k);
    PlacePart(b, {static_cast<int16_t>(kUpperArmTipSlot + k), kUpperArmPart, 0, 0, 768,
                  static_cast<int16_t>(kUpperArmTipSlot + k + 1), variant});
    PlacePart(b, {static_cast<int16_t>(kLowerArmTipSlot + k), kLowerArmPart, 0, 0, 256,
                  static_cast<int16_t>(kLowerArmTipSlot + k + 1), variant});
  }
  boss.partCountB = kPartsBCount;
  // Six pods on the easier difficulties, eight from hard on.
  const int pods = Difficulty < 2 ? 6 : 8;
  static constexpr int16_t kSixPodAngles[6] = {0, 171, 342, 512, 683, 854};
  for (int k = 0; k < pods; ++k) {
    const auto angle = static_cast<int16_t>(pods == 6 ? kSixPodAngles[k] : 128 * k);
    AttachPart(boss.partsA, k, kFlamePodPart, 0, 0, angle, 0);
  }
  boss.partCountA = static_cast<int16_t>(pods);
}

void SetUpBoss(EnemyObject& o) {
  BossType = static_cast<int16_t>(o.type);
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = kEntrySpeed;
  o.airFrames = 0;
  o.angle = 0;
  o.heading = 512;
  o.angle2 = 0;
  ClearEnemyHitCircles(EnemyPool0, static_cast<int>(&o - EnemyPool0));
  SetEnemyHitCircle(EnemyPool0, static_cast<int>(&o - EnemyPool0), 0, 58, 0, 0);
  o.hitMode = 1;
  o.phase = kBossEntry;
  o.intWork0 = o.intWork1 = 0;
  BossTurnSign(o) = 1;
  BossPhaseTimer(o) = 0;
  o.despawnMarginX = o.despawnMarginY = -1;
  o.cullMarginX = o.cullMarginY = 96;
  AttachBossParts(o);
  BossState = 1;
  o.x = ScreenToWorldX(740);
  o.y = ScreenToWorldY(100);
  BossFacingTarget(o) = kFaceCore0;
}

int16_t Wrapped(int a) { return static_cast<int16_t>(WrapAngle(a)); }

// The cruise: one-step nudges at the loop's ends choose whether the next half-turn runs through
// 256 or 768, so the loop keeps its way; the stop at the right, level with the middle.
void Cruise(EnemyObject& o) {
  const int32_t s = BossTurnSign(o);
  o.speed = ApproachValue(o.speed, 0.04, kCruiseSpeed);
  const double middle = ScreenToWorldY(kLoopMiddleY);
  const bool upper = s == 1 ? o.y < middle : o.y > middle;
  if (upper) {
    if (o.x < ScreenToWorldX(kLoopLeftX) && o.heading == 512) {
      o.heading = static_cast<int16_t>(s == 1 ? 511 : 513);
      o.angle2 = 0;
    }
  } else if (o.x > ScreenToWorldX(kLoopRightX) && o.heading == 0) {
    o.heading = static_cast<int16_t>(s == 1 ? 1023 : 1);
    o.angle2 = 512;
  }
  o.angle = Wrapped(o.angle - 2 * s);
  if (o.x > ScreenToWorldX(kLoopRightX) && std::abs(o.y - middle) < kStopTolerance) {
    o.phase = kBossClosing;
    RequestSoundEffect(kStopSound);
    BossFacingTarget(o) = o.partsB[kBossCore0Slot].state == 2 ? kFaceCore0 : kFaceCore1;
    BossPhaseTimer(o) = 0;
    BossTurnSign(o) = -s;
    o.heading = 512;
    return;
  }
  o.heading = static_cast<int16_t>(TurnTowardAngle(o.angle2, o.heading, 3));
}

void TurnToFacingTarget(EnemyObject& o) {
  o.angle =
      static_cast<int16_t>(StepAngleToward(BossFacingTarget(o), o.angle, 12 * BossTurnSign(o)));
}

// Rank-scaled frame rule: frame mod I(period) = I(phase).
bool IsFireFrame(int32_t frame, int16_t period, int16_t phase, bool mild, int16_t rank) {
  const int16_t p =
      mild ? ComputeFireIntervalMildRank(period, rank) : ComputeFireInterval(period, rank);
  const int16_t q =
      mild ? ComputeFireIntervalMildRank(phase, rank) : ComputeFireInterval(phase, rank);
  return frame % p == q;
}

void FireFromBody(const EnemyObject& o) {
  if (o.angle == 0) {
    if (!IsFireFrame(o.frame, 32, 4, false, o.rank)) return;
    const double v = ScaleShotSpeed(5.2);
    SpawnEnemyShot(3, 576, v, o.x - 58, o.y - 51, 1);
    SpawnEnemyShot(3, 512, v, o.x - 75, o.y - 34, 1);
    SpawnEnemyShot(3, 512, v, o.x - 75, o.y + 34, 1);
    SpawnEnemyShot(3, 448, v, o.x - 58, o.y + 51, 1);
    return;
  }
  if (!IsFireFrame(o.frame, 80, 4, true, o.rank)) return;
  const double v = ScaleShotSpeed(3.2);
  SpawnEnemyShot(6, 576, v, o.x - 71, o.y - 48, 1);
  SpawnEnemyShot(6, 448, v, o.x - 71, o.y + 48, 1);
}

void Attack(EnemyObject& o) {
  TurnToFacingTarget(o);
  if (PlayerY > o.y) o.vy = ApproachValue(o.vy, 0.05, 1.6);
  if (PlayerY < o.y) o.vy = ApproachValue(o.vy, 0.05, -1.6);
  BossPhaseTimer(o) += 1;
  const int facingCore = BossFacingTarget(o) == kFaceCore0 ? kBossCore0Slot : kBossCore1Slot;
  if (BossPhaseTimer(o) > kAttackFrames || o.partsB[facingCore].state != 2) {
    o.phase = kBossFolding;
    RequestSoundEffect(kFoldSound);
    BossPhaseTimer(o) = 0;
  }
  FireFromBody(o);
}

void MoveToNewHeight(EnemyObject& o) {
  const double target = ScreenToWorldY(BossTurnSign(o) < 1 ? kLowStopY : kHighStopY);
  if (std::abs(o.y - target) < 4) BossPhaseTimer(o) = 1;
  if (BossPhaseTimer(o) == 0) {
    if (target > o.y) o.vy = ApproachValue(o.vy, 0.4, 5.6);
    if (target < o.y) o.vy = ApproachValue(o.vy, 0.4, -5.6);
  } else {
    o.vy = ApproachValue(o.vy, 0.5, 0);
  }
}

void StepPhase(EnemyObject& o) {
  switch (o.phase) {
    case kBossEntry:
      o.angle2 = 512;
      o.angle = Wrapped(o.angle - 6);
      if (o.x < ScreenToWorldX(kEntryEndX)) o.phase = kBossCruise;
      break;
    case kBossCruise:
      Cruise(o);
      break;
    case kBossClosing:
    case kBossStretching:
      TurnToFacingTarget(o);
      o.speed = ApproachValue(o.speed, 0.1, 0);
      break;
    case kBossAttack:
      Attack(o);
      break;
    case kBossFolding:
      o.vy = ApproachValue(o.vy, 0.5, 0);
      break;
    case kBossNewHeight:
      MoveToNewHeight(o);
      break;
    default:
      break;
  }
}

void LiveStep(EnemyObject& o) {
  // The attack and the moves around it steer vx and vy directly.
  if (o.phase != kBossNewHeight && o.phase != kBossFolding && o.phase != kBossAttack) {
    o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
    o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
  }
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
  StepPhase(o);
  if (o.frame >= kCoreTimeOutFrame) {
    for (int slot : {kBossCore0Slot, kBossCore1Slot}) {
      if (o.partsB[slot].cue == 0) o.partsB[slot].cue = 1;
    }
  }
}

EnemyObject& Owner(EnemyObject* pool, uint16_t slot) { return pool[slot]; }

}  // namespace

void UpdateStage3Boss(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) SetUpBoss(o);
  if (o.state == 2) {
    LiveStep(o);
    return;
  }
  if (o.state == 3) {
    SpawnLargeExplosion(o.x, o.y, 1, -1);
    o.state = 4;
    o.frame = 0;
  }
  if (o.state == 4) StepBeatenBossDrifting(o);
}

void UpdateStage3BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = Owner(pool, slot);
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.unlockWeight = 1;
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kCoreLife);
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 17, 0, 0);
    p.hitMode = 1;
    p.cue = p.work0 = p.work1 = 0;
    p.baseAngle = p.angle;
    p.cullMarginX = p.cullMarginY = 32;
  }
  if (p.state == 2) {
    p.angle = Wrapped(boss.angle + p.baseAngle);
    if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
    if (p.state == 2 && p.cue > 0) {
      // Cued: the core closes a frame every fourth count and cannot be hurt once shut; it
      // blows itself up when the count passes its end.
      if (p.counter % 4 == 0 && p.imageFrame < 5) p.imageFrame += 1;
      if (p.imageFrame == 5) p.life = -1;
      p.cue = static_cast<int16_t>(p.cue + 1);
      if (p.cue > kCoreCloseAfter) p.state = 3;
    }
  }
  if (p.state == 3) {
    p.state = 4;
    boss.life -= 1;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
  }
  if (p.state == 4) {
    p.imageFrame = -1;
    p.angle = Wrapped(boss.angle + p.baseAngle);
    if (boss.life < kBothCoresGone) {
      boss.state = 3;
      p.state = 0;
    }
  }
}

void UpdateStage3BossSpinePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& boss = Owner(pool, slot);
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 1;
    for (int k = 0; k < 5; ++k) {
      SetPartHitCircle(parts, partIndex, k, 21, static_cast<int16_t>(-60 + 30 * k), 0);
    }
    p.cue = p.work0 = p.work1 = 0;
    p.baseAngle = p.angle;
    p.cullMarginX = p.cullMarginY = 96;
  }
  if (p.state == 2) {
    p.angle = Wrapped(boss.angle + p.baseAngle);
    FollowParentObject(pool, slot, parts, partIndex, 1);
    p.state = boss.state;
  } else if (p.state > 2) {
    // It stays in place through the boss's dying frames and goes with the boss.
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    p.state = boss.state;
  }
}
