// The moving parts of the stage-3 boss: two jointed arms of thirteen segments, the two jaws and
// the gun at each arm's tip, the ten shield plates over the cores and the ring of flame pods.
// They read the boss's phase word and advance it themselves (boss_words.h says who sets what).
//
// Segment words: cue the swing value, work0 its limit, work1 its step. Claw: work0 the jaws'
// opening. Plate: none. Pod: startX the ring's radius, work1 the firing count, linkActive while
// its flash is up.
#include <cmath>
#include <cstdlib>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage3/boss_words.h"
#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kSegmentReach = 22;
constexpr int16_t kTipVariant = 12;
constexpr int16_t kMaxBend = 10;
constexpr int16_t kJawOpening = 192;
constexpr int16_t kClawBodyOffset = 51;
constexpr double kPlateOpen = 37;
constexpr double kPodRadius = 140;
constexpr double kPodFireLeftOf = 340;  // screen x the boss must be left of
constexpr int16_t kBurstEffect = 2;
constexpr int16_t kClawShotType = 18;
constexpr int16_t kFlashShotType = 14;
constexpr int16_t kFlameShotType = 20;
constexpr double kPodMuzzle = 30;
constexpr double kClawMuzzle = 38;

int16_t Wrapped(int a) { return static_cast<int16_t>(WrapAngle(a)); }

void CountUp(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

bool ShowsArms(int16_t phase) {
  return phase == kBossStretching || phase == kBossAttack || phase == kBossFolding;
}

// A burst with one random turn, as segments and claws go.
void Burst(EnemyPart& p) {
  SpawnEffect(kBurstEffect, p.x, p.y, static_cast<int16_t>(LcgRandom() % 1024), 0, 0);
  p.state = 0;
}

// The attack's swing: full steps far from the limit, slower ones as it comes near, held
// between 0 and the limit with the step turned back at either end.
void SwingArm(EnemyPart& p) {
  const int d = std::abs(p.cue - p.work0);
  const int half = p.work1 / 2;
  int change = 0;
  if (d >= 80) {
    change = p.work1;
  } else if (d >= 48) {
    change = half;
  } else if (d >= 16) {
    change = p.counter % 2 == 0 ? half : 0;
  } else {
    change = p.counter % 3 == 0 ? half : 0;
  }
  p.cue = static_cast<int16_t>(p.cue + change);
  const int16_t step = static_cast<int16_t>(std::abs(p.work1));
  const bool below = p.work0 < 0 ? p.cue < p.work0 : p.cue < 0;
  const bool above = p.work0 < 0 ? p.cue > 0 : p.cue > p.work0;
  if (below) {
    p.cue = p.work0 < 0 ? p.work0 : int16_t{0};
    p.work1 = step;
  } else if (above) {
    p.cue = p.work0 < 0 ? int16_t{0} : p.work0;
    p.work1 = static_cast<int16_t>(-step);
  }
}

// The stretched pose: segments reach out and bend by their share of the swing; the tip, once
// there, starts the attack.
void ReachOut(EnemyObject& boss, EnemyPart& p, int16_t base, int16_t v) {
  p.offsetX = ApproachValue(p.offsetX, 4, kSegmentReach);
  p.angle = static_cast<int16_t>(TurnTowardAngle(base + v * p.cue, p.angle, 8));
  if (p.variant == kTipVariant && p.offsetX == kSegmentReach &&
      p.angle == WrapAngle(base + kMaxBend * p.cue)) {
    boss.phase = kBossAttack;
  }
}

void UpdateStage3BossArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex,
                             int16_t base, int16_t swing) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  const auto stepSign = static_cast<int16_t>(swing < 1 ? -2 : 2);
  const bool root = p.parentPart < 0;
  CountUp(p);
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 1;
    if (p.variant == 0) {
      SetPartHitCircle(parts, partIndex, 0, 17, 0, 0);
    } else {
      for (int k = 0; k < 3; ++k) SetPartHitCircle(parts, partIndex, k, 5, 10 * k, 0);
    }
    p.cullMarginX = p.cullMarginY = 32;
    p.cue = swing;
    p.work0 = static_cast<int16_t>(2 * swing);
    p.work1 = stepSign;
    p.imageFrame = root ? 1 : 0;
    p.baseAngle = p.angle;
  }
  if (p.state == 2) {
    // Hidden while stowed, but still carried along and turned with the body.
    p.imageFrame = ShowsArms(boss.phase) ? (root ? 1 : 0) : -1;
    if (root) {
      FollowParentObject(pool, slot, parts, partIndex, 0);
    } else if (FollowParentPart(parts, p.parentPart, parts, partIndex) != 0) {
      p.x += ScrollDeltaX;
      p.y += ScrollDeltaY;
      const auto v = static_cast<int16_t>(std::min<int16_t>(p.variant, kMaxBend));
      if (boss.phase == kBossStretching) {
        p.cue = swing;
        p.work0 = static_cast<int16_t>(2 * swing);
        p.work1 = stepSign;
        ReachOut(boss, p, base, v);
      } else if (boss.phase == kBossAttack) {
        SwingArm(p);
        ReachOut(boss, p, base, v);
      } else if (boss.phase < 0) {
        p.offsetX = ApproachValue(p.offsetX, 2, p.variant == 1 ? 3 : 0);
        p.angle = static_cast<int16_t>(TurnTowardAngle(base, p.angle, 32));
        const bool folded = std::abs(parts[kUpperArmTipSlot].y - parts[kUpperArmInnerSlot].y) < 2;
        if (folded && p.angle == base && boss.phase == kBossFolding) boss.phase = kBossNewHeight;
      }
    }
    if (p.state == 2 && (boss.phase == kBossClosing || boss.phase == kBossCruise)) {
      p.angle = Wrapped(boss.angle + p.baseAngle);
    }
  }
  // Taken over from the body or the parent part; a segment whose parent is gone was freed
  // silently by its follow.
  if (p.state >= 3) Burst(p);
}

// The arm's base angle and swing turn with the side the boss faces.
void UpdateArm(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex, bool upper) {
  const bool faceCore0 = BossFacingTarget(pool[slot]) == kFaceCore0;
  const bool up = upper == faceCore0;
  UpdateStage3BossArmPart(pool, slot, parts, partIndex, up ? 768 : 256, up ? -24 : 24);
}

void SetUpClaw(EnemyPart* parts, int16_t j) {
  // (size, dx, dy) of the three circles of each jaw and the two of the gun.
  static constexpr int16_t kCircles[3][3][3] = {
      {{15, 13, -13}, {10, 9, -36}, {6, 5, -53}},
      {{15, 13, 13}, {10, 9, 36}, {6, 5, 53}},
      {{6, 16, 0}, {3, 25, 0}, {0, 0, 0}},
  };
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = p.maxLife = p.scoreBase = -1;
  p.imageFrame = 0;
  ClearPartHitCircles(parts, j);
  p.hitMode = 1;
  const int v = p.variant >= 0 && p.variant <= 2 ? p.variant : 2;
  for (int k = 0; k < 3; ++k) {
    if (kCircles[v][k][0] > 0) {
      SetPartHitCircle(parts, j, k, kCircles[v][k][0], kCircles[v][k][1], kCircles[v][k][2]);
    }
  }
  p.cullMarginX = p.cullMarginY = 96;
  p.cue = p.work0 = p.work1 = 0;
  p.imageFrame = p.variant;
  p.baseAngle = p.angle;
}

void FireClawGun(const EnemyObject& boss, const EnemyPart& p) {
  const int16_t interval = ComputeFireIntervalMildRank(Difficulty == 3 ? 10 : 8, boss.rank);
  if (boss.frame % interval != 0) return;
  SpawnEnemyShot(kClawShotType, p.angle, ScaleShotSpeed(4),
                 RotateOffsetX(p.x, kClawMuzzle, 0, p.angle),
                 RotateOffsetY(p.y, kClawMuzzle, 0, p.angle), 1);
}

// The plate each one waits on: closing outer first, opening middle first (-1: at once).
struct PlateOrder {
  int16_t closeAfter, openAfter;
};
constexpr PlateOrder kPlateOrder[kLastPlateSlot - kFirstPlateSlot + 1] = {
    {-1, 31}, {-1, 31}, {29, 33}, {30, 33}, {32, -1},  // upper row, slots 29..33
    {-1, 36}, {-1, 36}, {34, 38}, {35, 38}, {37, -1},  // lower row, slots 34..38
};

bool IsPlateClosed(const EnemyPart& p) { return p.offsetY == 0; }
bool IsPlateOpen(const EnemyPart& p) { return std::abs(p.offsetY) == kPlateOpen; }

void StepPlate(EnemyObject& boss, EnemyPart* parts, int16_t j) {
  EnemyPart& p = parts[j];
  if (j < kFirstPlateSlot || j > kLastPlateSlot) return;
  const PlateOrder& order = kPlateOrder[j - kFirstPlateSlot];
  const bool middle = order.openAfter < 0;
  if (boss.phase == kBossClosing) {
    if (order.closeAfter < 0 || IsPlateClosed(parts[order.closeAfter])) {
      p.offsetY = ApproachValue(p.offsetY, 4, 0);
    }
    if (middle && IsPlateClosed(p) && boss.angle % 512 == 0) boss.phase = kBossStretching;
  } else if (boss.phase == kBossNewHeight || boss.phase == kBossCruise) {
    if (order.openAfter < 0 || IsPlateOpen(parts[order.openAfter])) {
      p.offsetY = ApproachValue(p.offsetY, 4, p.variant < 5 ? -kPlateOpen : kPlateOpen);
    }
    const bool outerWatch = j == kFirstPlateSlot || j == kFirstPlateSlot + 5;
    if (outerWatch && IsPlateOpen(p) && BossPhaseTimer(boss) == 1 && boss.vy == 0) {
      boss.phase = kBossCruise;
    }
  }
}

}  // namespace

void UpdateStage3BossUpperArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex) {
  UpdateArm(pool, slot, parts, partIndex, true);
}

void UpdateStage3BossLowerArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex) {
  UpdateArm(pool, slot, parts, partIndex, false);
}

void UpdateStage3BossClawPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  CountUp(p);
  if (p.state == 1) SetUpClaw(parts, partIndex);
  if (p.state == 2) {
    const int16_t tip = p.parentPart;
    const bool onTip = ShowsArms(boss.phase);
    int alive = 0;
    if (onTip) {
      p.offsetY = 0;
      alive = FollowParentPart(parts, tip, parts, partIndex);
    } else {
      p.offsetY = tip == kUpperArmTipSlot ? -kClawBodyOffset : kClawBodyOffset;
      alive = FollowParentObject(pool, slot, parts, partIndex, 0);
      p.angle = Wrapped(boss.angle + p.baseAngle);
    }
    if (alive == 0) return;
    p.x += ScrollDeltaX;
    p.y += ScrollDeltaY;
    const bool tipValid = tip >= 0 && tip < kPartsBCount;
    const int16_t tipAngle = tipValid ? parts[tip].angle : p.angle;
    if (p.state == 2 && boss.phase == kBossStretching) {
      p.offsetX = ApproachValue(p.offsetX, 4, kSegmentReach);
      p.angle = tipAngle;
      p.work0 = 0;
    } else if (p.state == 2 && boss.phase == kBossAttack) {
      p.offsetX = ApproachValue(p.offsetX, 4, kSegmentReach);
      if (p.variant != 2) {
        p.work0 = ApproachInt(p.work0, 16, p.variant == 1 ? kJawOpening : -kJawOpening);
      }
      p.angle = Wrapped(tipAngle + p.work0);
      if (p.variant == 2) FireClawGun(boss, p);
    } else if (p.state == 2 && boss.phase < 0) {
      p.offsetX = ApproachValue(p.offsetX, 4, 0);
      p.work0 = ApproachInt(p.work0, 16, 0);
      p.angle = Wrapped(tipAngle + p.work0);
    }
  }
  if (p.state >= 3) Burst(p);
}

void UpdateStage3BossLowerClawPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex) {
  UpdateStage3BossClawPart(pool, slot, parts, partIndex);
}

void UpdateStage3BossShieldPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  CountUp(p);
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.cue = p.work0 = p.work1 = 0;
    p.imageFrame = p.variant % 5;
    // The four outer plates are the only ones that stop shots.
    if (p.variant == 0 || p.variant == 4 || p.variant == 5 || p.variant == 9) {
      p.hitMode = 1;
      SetPartHitCircle(parts, partIndex, 0, 8, 0, 0);
      SetPartHitCircle(parts, partIndex, 1, 5, 0, -9);
      SetPartHitCircle(parts, partIndex, 2, 5, 0, 9);
    }
    p.baseAngle = p.angle;
    p.cullMarginX = p.cullMarginY = 32;
  }
  if (p.state == 2) {
    p.angle = Wrapped(boss.angle + p.baseAngle);
    if (FollowParentObject(pool, slot, parts, partIndex, 0) == 0) return;
    if (p.state == 2) StepPlate(boss, parts, partIndex);
  }
  // The body's death bursts every plate at once, and each keeps the body dying.
  if (p.state >= 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    boss.state = 3;
  }
}

void UpdateStage3BossFlamePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  CountUp(p);
  if (p.state == 1) {
    p.state = 2;
    p.life = -1;
    p.maxLife = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 1;
    SetPartHitCircle(parts, partIndex, 0, 10, 20, 0);
    SetPartHitCircle(parts, partIndex, 1, 21, 0, 0);
    p.imageFrame = -1;
    p.cue = p.work0 = p.work1 = 0;
    p.startX = 0;
    p.cullMarginX = p.cullMarginY = 60;
  }
  if (p.state == 2) {
    p.baseAngle = Wrapped(p.baseAngle + (BossTurnSign(boss) <= 0 ? -4 : 4));
    // From last frame's place, so it points outward.
    p.angle = static_cast<int16_t>(AimAngle(boss.x, boss.y, p.x, p.y));
    if (FollowParentObject(pool, slot, parts, partIndex, 0) != 0 && p.state == 2) {
      const int16_t e =
          std::max<int16_t>(ComputeFireIntervalMildRank(Difficulty < 2 ? 22 : 40, boss.rank), 6);
      if (boss.phase > 0) {
        p.startX = ApproachValue(p.startX, 4, 0);
        if (p.startX == 0) p.imageFrame = -1;
      } else if (boss.phase <= kBossCruise) {
        p.imageFrame = 0;
        p.startX = ApproachValue(p.startX, 8, kPodRadius);
        const int32_t due = partIndex % 2 == 0 ? 0 : e / 2;
        if (p.startX == kPodRadius && boss.frame % e == due &&
            boss.x < ScreenToWorldX(kPodFireLeftOf) && p.work1 == 0) {
          p.work1 = 1;
        }
      }
      if (p.work1 > 0) {
        p.work1 = static_cast<int16_t>(p.work1 + 1);
        if (p.work1 == 2) {
          // A full shot pool gives no flash: nothing to tie, and the count goes on.
          const int16_t flash = SpawnEnemyShot(kFlashShotType, 0, 15, 0, 0, 0);
          if (flash >= 0) {
            p.linkActive = 1;
            LinkEnemyShot(flash, static_cast<int16_t>(slot), partIndex, kPodMuzzle, 0, pool, parts,
                          0);
          }
        }
        if (p.work1 == e / 2) {
          p.linkActive = 0;
          const int16_t shot = SpawnEnemyShot(kFlameShotType, p.angle, 3.5,
                                              RotateOffsetX(p.x, kPodMuzzle, 0, p.angle),
                                              RotateOffsetY(p.y, kPodMuzzle, 0, p.angle), 1);
          if (shot >= 0) p.recoil = 4;
          p.work1 = 0;
        }
      }
      p.offsetX = p.startX * CosineTable[WrapAngle(p.baseAngle)];
      p.offsetY = p.startX * SineTable[WrapAngle(p.baseAngle)];
    }
  }
  if (p.state > 2) p.state = 0;
  p.drawOffsetY = boss.drawOffsetY;
}
