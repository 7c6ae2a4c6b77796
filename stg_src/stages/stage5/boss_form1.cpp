#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/stages/stage5/boss_chain.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

// Form 1 (pool 0, type 10): no body of its own, a side block and a cannon, each carrying one of
// the form's two cores. intWork0 counts the patrol frames from 100.

namespace {

constexpr int16_t kPatrol = -3;
constexpr int kSideSlot = 4;
constexpr int kSideCoreSlot = 5;
constexpr int kCannonSlot = 10;
constexpr int kCannonCoreSlot = 11;
constexpr int16_t kFrontPartCount = 13;

void AttachOn(EnemyPart* parts, int slot, int32_t type, double dx, double dy, int16_t variant,
              int16_t parent) {
  AttachPart(parts, slot, type, dx, dy, 0, 0);
  parts[slot].variant = variant;
  parts[slot].parentPart = parent;
}

void SetUp(int16_t slot) {
  BeginFormSetUp(slot, {160, 0, 0, 0});
  EnemyObject& o = EnemyPool0[slot];
  o.intWork0 = 100;
  AttachOn(o.partsB, kSideSlot, 11, 0, 0, 0, -1);
  AttachOn(o.partsB, kSideCoreSlot, kStage5CorePartType, 0, 0, 100, kSideSlot);
  AttachOn(o.partsB, kCannonSlot, 10, 0, 0, 0, -1);
  AttachOn(o.partsB, kCannonCoreSlot, kStage5CorePartType, -50, 0, 101, kCannonSlot);
  o.partCountA = 0;
  o.partCountB = kFrontPartCount;
  FinishFormSetUp();
}

// The patrol's horizontal drift around screen x 500 and the cores' time-out.
void StepPatrol(EnemyObject& o) {
  o.intWork0 += 1;
  o.vx = ApproachValue(o.vx, 0.04, o.x > ScreenToWorldX(500) ? -0.8 : 0.8);
  if (o.frame > kStage5FormTimeOut && o.partsB[kSideCoreSlot].cue == 0) {
    o.partsB[kSideCoreSlot].cue = 1;
    o.partsB[kCannonCoreSlot].cue = 1;
  }
}

// The side block and the cannon: they ride on the form and end with their core.
void UpdateCarrier(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.cue = p.work0 = p.work1 = 0;
  }
  if (p.state == 2) FollowParentObject(pool, slot, parts, partIndex, 1);
  if (p.state == 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
  }
}

}  // namespace

void UpdateStage5Boss1(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    BossType = static_cast<int16_t>(o.type);
    if (HandOverIfBeaten(slot)) return;
    SetUp(slot);
    return;
  }
  if (o.state == 2) {
    if (!StepFormEntry(o, kPatrol, false)) StepPatrol(o);
    MoveFormWithScroll(o);
    return;
  }
  StepFormDeath(slot);
}

void UpdateStage5Boss1ArmPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss1CannonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  UpdateCarrier(pool, slot, parts, partIndex);
}
void UpdateStage5Boss1GunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss1LauncherPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss1SidePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  UpdateCarrier(pool, slot, parts, partIndex);
}
