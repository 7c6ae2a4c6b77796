// The stage-4 boss's frame: the core that only the dasher opens, the body hull that stays drawn
// while the boss explodes, and the six arms that fold and unfold around the guns and move the
// boss's phase on when the lower inner arm arrives.
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage4/stage4.h"
#include "stg_src/stages/stage4/stage4_boss.h"

#include "stg_src/game/deterministic.h"

// Core (part 20): cue the final close count. Arms (part 21): baseAngle the turning angle.

namespace {

constexpr int kCoreShut = 6;  // before it ever opened
constexpr int kCoreClosed = 5;
constexpr int16_t kCoreCloseEnd = 180;

void Count(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

void SetUpPart(EnemyPart* parts, int j, int16_t hitMode, int32_t cullX, int32_t cullY) {
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = -1;
  p.maxLife = p.scoreBase = 0;
  p.hitMode = hitMode;
  ClearPartHitCircles(parts, j);
  p.cue = 0;
  p.baseAngle = p.angle;
  p.cullMarginX = cullX;
  p.cullMarginY = cullY;
}

void TakeState(EnemyPart& p, int32_t state) {
  if (p.state != state) p.counter = 0;
  p.state = state;
}

int16_t Wrap(int a) { return static_cast<int16_t>(WrapAngle(a)); }

// Where arm variant v turns in the boss's phase, and by how much a frame; false where it keeps
// its angle.
bool ArmTarget(const EnemyObject& boss, int16_t v, int* target, int* step) {
  const EnemyPart* b = boss.partsB;
  switch (boss.phase) {
    case kStage4BossUnfold: {
      static constexpr int kTargets[] = {576, 448, 832, 192, 640, 384};
      static constexpr int kSteps[] = {3, 3, 4, 4, 2, 2};
      *target = kTargets[v];
      *step = kSteps[v];
      return true;
    }
    case kStage4BossOpen: {
      // The inner arms lean after the arm lasers; the divisions truncate toward zero.
      const int upper = b[kStage4BossArmLaser].angle;
      const int lower = b[kStage4BossArmLaser + 1].angle;
      const double rise = boss.y - PlayerY;
      *step = v < 2 ? 2 : 1;
      if (v == 0) *target = Wrap(576 - (512 - upper) / 2);
      if (v == 1) *target = Wrap((lower - 512) / 2 + 448);
      if (v == 2) *target = Wrap(832 - (512 - upper) / 3);
      if (v == 3) *target = Wrap((lower - 512) / 3 + 192);
      if (v == 4) *target = rise > 20 ? 704 : rise < -20 ? 576 : 640;
      if (v == 5) *target = rise > 20 ? 448 : rise < -20 ? 320 : 384;
      return true;
    }
    case kStage4BossFold:
    case kStage4BossFolded: {
      static constexpr int kTargets[] = {576, 448, 64, 960, 576, 448};
      *target = kTargets[v];
      *step = 8;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

// Shut and unhurt until the dasher's signal; it opens over 20 frames (its life written each of
// them) and publishes its x for the dasher every live frame. The final close shuts it for good.
void UpdateStage4BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  Count(p);
  if (p.state == 1) {
    SetUpPart(parts, partIndex, 1, 32, 32);
    p.unlockWeight = 2;
    p.imageFrame = kCoreShut;
    SetPartHitCircle(parts, partIndex, 0, 17, 0, 0);
  }
  if (p.state == 2) {
    p.angle = Wrap(boss.angle + p.baseAngle);
    FollowParentObject(pool, slot, parts, partIndex, 1);
  }
  if (p.state == 2) {
    if (p.cue > 0) {
      if (p.counter % 4 == 0 && p.imageFrame < kCoreClosed) p.imageFrame += 1;
      if (p.imageFrame >= kCoreClosed) p.life = -1;
      p.cue = static_cast<int16_t>(p.cue + 1);
      if (p.cue > kCoreCloseEnd) p.state = 3;
    } else if (StageWork[kStage4CoreOpenWord] > 0) {
      if (p.imageFrame > kCoreClosed) p.imageFrame = kCoreClosed;
      p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(4900);
      if (p.counter % 4 == 0) p.imageFrame -= 1;
      if (p.imageFrame <= 0) {
        p.imageFrame = 0;
        StageWork[kStage4CoreOpenWord] = 0;
      }
    }
    if (p.state == 2) StageWork[kStage4CoreXWord] = static_cast<int32_t>(p.x);
  }
  if (p.state == 3) {
    p.state = 4;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
  } else if (p.state >= 4) {
    p.imageFrame = -1;
    p.angle = Wrap(boss.angle + p.baseAngle);
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    boss.state = 3;
    p.state = 0;
  }
}

void UpdateStage4BossBodyPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  Count(p);
  if (p.state == 1) {
    SetUpPart(parts, partIndex, 1, 128, 64);
    p.imageFrame = 0;
    SetPartHitCircle(parts, partIndex, 0, 39, 31, 0);
    SetPartHitCircle(parts, partIndex, 1, 12, 89, 0);
    SetPartHitCircle(parts, partIndex, 2, 6, -51, -32);
    SetPartHitCircle(parts, partIndex, 3, 6, -51, 32);
    SetPartHitCircle(parts, partIndex, 4, 3, -61, -28);
    SetPartHitCircle(parts, partIndex, 5, 3, -61, 28);
  }
  if (p.state == 2) {
    p.angle = Wrap(pool[slot].angle + p.baseAngle);
    FollowParentObject(pool, slot, parts, partIndex, 1);
  } else if (p.state > 2) {
    // It stays on the exploding boss until the boss is gone.
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
  }
}

void UpdateStage4BossArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  Count(p);
  if (p.state == 1) {
    SetUpPart(parts, partIndex, 1, 96, 96);
    p.imageFrame = p.variant;
    for (int k = 0; k < 5; ++k) SetPartHitCircle(parts, partIndex, k, 7, 12 * k, 0);
  }
  if (p.state == 2) {
    p.angle = Wrap(boss.angle + p.baseAngle);
    if (p.parentPart < 0) {
      FollowParentObject(pool, slot, parts, partIndex, 1);
    } else {
      FollowParentPart(parts, p.parentPart, parts, partIndex);
    }
    int target = 0, step = 0;
    if (p.variant >= 0 && p.variant < 6 && ArmTarget(boss, p.variant, &target, &step)) {
      p.baseAngle = static_cast<int16_t>(TurnTowardAngle(target, p.baseAngle, step));
      // The lower inner arm is the last to arrive: it ends the unfolding and the folding.
      if (p.variant == 2 && p.baseAngle == target) {
        if (boss.phase == kStage4BossUnfold) boss.phase = kStage4BossOpen;
        if (boss.phase == kStage4BossFold) boss.phase = kStage4BossFolded;
      }
    }
    TakeState(p, boss.state);
  }
  if (p.state > 2) {
    p.state = 0;
    SpawnSparkBurst(p.x, p.y, 1, -1);
  }
}
