#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage6/boss_layout.h"
#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

// The boss's hull pieces, core and shells. Part words: cue the order from the body (hull: -1
// closed and out of reach, -2 opening, 0 open, above 0 timed out; core: -1 arm, -2 armed, above
// 0 timed out; outer shell: above 0 opening); work0 the hull's opening frames and the core's
// armed frames; work1 -5 from the body frees a broken hull piece.

using namespace stage6_boss;

namespace {

constexpr int32_t kClosedFrame = 5;
constexpr double kHullReachLine = 560;
constexpr int32_t kHullLife = 4200;
constexpr int32_t kCoreLife = 15000;
constexpr int32_t kHardCoreLife = 22500;
constexpr int16_t kSelfDestructAfter = 180;
constexpr int16_t kBlueVolleyCharge = 150;
constexpr int16_t kBlueVolleySound = 28;
constexpr int32_t kShellBreakFrames = 160;

void TickCounter(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

// One image step toward closed on every fourth counter frame.
void CloseStep(EnemyPart& p) {
  if (p.counter % 4 == 0 && p.imageFrame < kClosedFrame) p.imageFrame += 1;
}

// Timed out: closes, turns indestructible once closed and goes 180 frames after its cue.
void StepTimedOut(EnemyPart& p) {
  CloseStep(p);
  if (p.imageFrame == kClosedFrame) p.life = -1;
  p.cue = static_cast<int16_t>(p.cue + 1);
  if (p.cue > kSelfDestructAfter) p.state = 3;
}

void SetUpIndestructible(EnemyPart& p) {
  p.state = 2;
  p.life = p.maxLife = -1;
  p.cue = p.work0 = p.work1 = 0;
}

}  // namespace

void UpdateStage6BossHullPart(EnemyObject*, uint16_t, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  TickCounter(p);
  if (p.state == 1) {
    SetUpIndestructible(p);
    p.scoreBase = 0;
    p.imageFrame = kClosedFrame;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 19, -3, 0);
    p.hitMode = 1;
    p.cue = -1;
    p.baseAngle = p.angle;
    p.cullMarginX = 60;
    p.cullMarginY = 40;
    return;
  }
  if (p.state == 2) {
    if (FollowParentPart(parts, p.parentPart, parts, partIndex) == 0 || p.state != 2) return;
    if (p.cue == -1 && WorldToScreenX(p.x) < kHullReachLine) {
      p.cue = -2;
      p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kHullLife);
    }
    if (p.cue == -2) {
      p.work0 = static_cast<int16_t>(p.work0 + 1);
      if (p.work0 % 4 == 0 && p.imageFrame > 0) p.imageFrame -= 1;
      if (p.imageFrame == 0) p.cue = 0;
    } else if (p.cue > 0) {
      StepTimedOut(p);
    }
    return;
  }
  if (p.state == 3) {
    p.state = 4;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    return;
  }
  p.imageFrame = -1;
  if (p.work1 <= -3) p.state = 0;
}

void UpdateStage6BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  TickCounter(p);
  if (p.state == 1) {
    SetUpIndestructible(p);
    p.scoreBase = 0;
    p.imageFrame = kClosedFrame;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 24, -4, 0);
    p.hitMode = 1;
    p.baseAngle = p.angle;
    p.cullMarginX = p.cullMarginY = 40;
    return;
  }
  if (p.state == 2) {
    if (p.cue == -1) {
      p.cue = -2;
      p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(IsHardFight() ? kHardCoreLife : kCoreLife);
    }
    if (p.cue == -2) {
      p.work0 = static_cast<int16_t>(p.work0 + 1);
      if (p.hitMode == 1) {
        if (p.work0 % 4 == 0 && p.imageFrame > 0) p.imageFrame -= 1;
      } else {
        CloseStep(p);
      }
    }
    p.angle = static_cast<int16_t>(boss.angle + p.baseAngle);
    if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0 || p.state != 2) return;
    if (p.cue > 0) StepTimedOut(p);
    // Fully open, the core charges the blue emitter's volleys.
    if (p.imageFrame == 0) {
      const int16_t rank = boss.rank;
      const bool first =
          p.counter % ComputeFireIntervalFlat(360, rank) == ComputeFireIntervalFlat(120, rank);
      const bool second =
          p.counter % ComputeFireIntervalFlat(540, rank) == ComputeFireIntervalFlat(300, rank);
      if (first || second) {
        boss.partsB[kBlue].cue = kBlueVolleyCharge;
        RequestSoundEffect(kBlueVolleySound);
      }
    }
    return;
  }
  if (p.state == 3) {
    p.state = 4;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    p.counter = 0;
    return;
  }
  // Gone: shown no more, placed on the body for one frame, then freed.
  if (p.counter >= 2) {
    p.state = 0;
    return;
  }
  p.imageFrame = -1;
  p.angle = static_cast<int16_t>(boss.angle + p.baseAngle);
  PlacePartOnObject(pool, slot, parts, partIndex, 0);
}

void UpdateStage6BossShellPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const bool outer = p.variant == 1;
  TickCounter(p);
  if (p.state == 1) {
    SetUpIndestructible(p);
    p.scoreBase = -1;
    p.imageFrame = p.variant;
    p.hitMode = 1;
    ClearPartHitCircles(parts, partIndex);
    if (outer) {
      for (int k = 0; k < 5; ++k) {
        SetPartHitCircle(parts, partIndex, k, 23, 28, static_cast<int16_t>(-64 + 32 * k));
      }
    } else {
      SetPartHitCircle(parts, partIndex, 0, 160, -33, -328);
      SetPartHitCircle(parts, partIndex, 1, 140, 107, -170);
      SetPartHitCircle(parts, partIndex, 2, 50, 25, 0);
      SetPartHitCircle(parts, partIndex, 3, 140, 107, 107);
      SetPartHitCircle(parts, partIndex, 4, 160, -33, 328);
    }
    p.cullMarginX = 140;
    p.cullMarginY = 200;
    return;
  }
  if (p.state == 2) {
    if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
    if (p.state == 2 && outer && p.cue > 0) {
      p.cue = static_cast<int16_t>(p.cue + 1);
      if (p.cue > 120 && p.cue % 12 == 0) p.imageFrame += 1;
      if (p.imageFrame > 5) p.state = 0;
    }
    return;
  }
  if (outer) {
    p.state = 0;
    return;
  }
  if (p.state == 3) {
    p.counter = 0;
    p.state = 4;
    return;
  }
  // Breaking: blasts around the shell every 16 frames, then the last flash.
  if (p.counter % 16 == 0) {
    const int r1 = LcgRandom();
    const int r2 = LcgRandom();
    SpawnBossExplosion(p.x + r2 % 201 - 100, p.y + r1 % 201 - 100, 1);
  }
  if (p.counter > kShellBreakFrames) {
    SpawnEffect(kBossDeathFlashEffect, p.x, p.y, 0, 0, 0);
    StartScreenShake(60);
    SpawnBossExplosion(p.x, p.y, 1);
    p.state = 0;
  }
}
