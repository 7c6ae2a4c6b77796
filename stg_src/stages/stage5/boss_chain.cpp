#include "stg_src/stages/stage5/boss_chain.h"

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/boss_finale.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr double kEntrySpeed = 6.4;
constexpr double kBrakeStep = 0.2;
constexpr int16_t kEnterPhase = 0;
constexpr int16_t kBrakePhase = -4;
constexpr int16_t kLeftHeading = 512;
constexpr int32_t kFirstFormHandOverFrame = 80;
constexpr int32_t kFinaleFrame = 80;
constexpr int32_t kHandOverFrame = 160;
constexpr int32_t kBlastEvery = 8;
constexpr int32_t kLastEasyFormType = 13;
constexpr int32_t kLastFormType = 14;
// The core's open cell and the closed cell it turns to on its time-out.
constexpr int32_t kCoreClosedCell = 5;
constexpr int16_t kCoreBurstCue = 180;

void SpawnNextForm(EnemyObject& o) {
  const int16_t next = static_cast<int16_t>(o.type + 1);
  o.state = 0;
  SpawnPool0Enemy(ScreenToWorldX(640), ScreenToWorldY(200), next, 0, -1, 1);
}

void HandOver(EnemyObject& o) {
  StageMarker = o.type + 1;
  SpawnNextForm(o);
}

void VelocityFromHeading(EnemyObject& o) {
  o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
  o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
}

bool IsLastForm(int32_t type) { return type == kLastEasyFormType + (Difficulty > 1 ? 1 : 0); }

}  // namespace

bool HandOverIfBeaten(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.type >= StageMarker) return false;
  SpawnNextForm(o);
  return true;
}

void BeginFormSetUp(int16_t slot, const Stage5FormSetUp& setUp) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = kEntrySpeed;
  o.heading = kLeftHeading;
  o.angle = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  o.hitMode = setUp.hitMode;
  o.phase = kEnterPhase;
  o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
  o.despawnMarginX = o.despawnMarginY = -1;
  o.cullMarginX = setUp.cullMarginX;
  o.cullMarginY = setUp.cullMarginY;
  o.realWork0 = o.realWork1 = 0;
  o.x += setUp.spawnShiftX;
  o.y = ScreenToWorldY(200);
}

void FinishFormSetUp() {
  if (BossState == 0) BossState = 1;
}

bool StepFormEntry(EnemyObject& o, int16_t firstPhase, bool stopOnArrival) {
  if (o.phase != kEnterPhase && o.phase != kBrakePhase) return false;
  if (o.phase == kEnterPhase) {
    VelocityFromHeading(o);
    if (o.x < ScreenToWorldX(620)) o.phase = kBrakePhase;
    return true;
  }
  // The velocity follows the braked speed, so a form that stops has no drift left over.
  o.speed = ApproachValue(o.speed, kBrakeStep, 0);
  VelocityFromHeading(o);
  if (o.speed <= 0) {
    o.frame = 0;
    o.phase = firstPhase;
    if (stopOnArrival) o.vx = o.vy = 0;
  }
  return true;
}

void MoveFormWithScroll(EnemyObject& o) {
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
}

void CueCoreOnTimeOut(const EnemyObject& o, EnemyPart& core, int32_t limit) {
  if (o.frame > limit && core.cue == 0) core.cue = 1;
}

void StepFormDeath(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 3) {
    SpawnLargeExplosion(o.x, o.y, 1, -1);
    o.state = 4;
    o.frame = 0;
  }
  if (o.state != 4) return;
  VelocityFromHeading(o);
  o.speed = ApproachValue(o.speed, kBrakeStep, 0);
  MoveFormWithScroll(o);
  BossFinale finale;
  finale.x = o.x;
  finale.y = o.y;
  finale.blastX = o.x + 30;
  finale.blastY = o.y - 30;
  finale.clearsStage = false;
  if (o.type == kStage5FirstFormType) {
    if (o.frame == 1) {
      finale.dropsCapsule = false;
      FinishBoss(finale);
    }
    if (o.frame == kFirstFormHandOverFrame) HandOver(o);
    return;
  }
  if (o.frame < kFinaleFrame && o.frame % kBlastEvery == 0) {
    SpawnMediumBlastInBox(o.x, o.y, 128, 128);
  }
  if (o.frame == kFinaleFrame) {
    finale.dropsCapsule = o.type >= kLastEasyFormType;
    FinishBoss(finale);
    o.imageFrame = -1;
  }
  if (o.frame != kHandOverFrame) return;
  if (o.type == kLastFormType || (o.type == kLastEasyFormType && Difficulty <= 1)) {
    ClearStageAfterBoss();
  } else {
    HandOver(o);
  }
}

// The core (part type 20). variant: 0 and 1 hang on the form, 100 and above on another part
// (form 1's two assemblies). cue counts the frames since the form's time-out.
void UpdateStage5BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& form = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    if (IsLastForm(form.type)) p.unlockWeight = 2;
    p.state = 2;
    const int32_t life = p.variant >= 100 ? 4750 : (p.variant == 1 ? 6000 : 5100);
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(life);
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 1;
    SetPartHitCircle(parts, partIndex, 0, 32, 0, 0);
    SetPartHitCircle(parts, partIndex, 1, 16, -38, 0);
    if (p.variant == 101) SetPartHitCircle(parts, partIndex, 2, 16, -70, 0);
    p.cue = 0;
    p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 16;
  } else if (p.state == 2) {
    if (p.variant < 100) {
      FollowParentObject(pool, slot, parts, partIndex, 1);
      p.angle = form.angle;
    } else {
      FollowParentPart(parts, p.parentPart, parts, partIndex);
    }
    if (p.state == 2 && p.cue > 0) {
      if (p.counter % 4 == 0 && p.imageFrame < kCoreClosedCell) p.imageFrame += 1;
      if (p.imageFrame == kCoreClosedCell) p.life = -1;
      p.cue = static_cast<int16_t>(p.cue + 1);
      if (p.cue > kCoreBurstCue) p.state = 3;
    }
  }
  if (p.state == 3) {
    p.state = 4;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    form.phase = -3;
    if (p.variant < 100) {
      form.state = 3;
    } else {
      const bool otherAlive = parts[5].state == 2 || parts[11].state == 2;
      if (!otherAlive) {
        form.state = 3;
        form.x = p.x;
        form.y = p.y;
      }
      if (p.parentPart >= 0 && p.parentPart < kPartsBCount) parts[p.parentPart].state = 3;
    }
  } else if (p.state >= 4) {
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    if (p.variant < 100) {
      p.state = form.state;
    } else if (form.state != 2) {
      p.state = 0;
    }
  }
  if (p.state > 2) p.imageFrame = -1;
}

void UpdateStage5CoreForm(int16_t slot, const Stage5CoreForm& form) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    if (o.type < kLastFormType && HandOverIfBeaten(slot)) return;
    BeginFormSetUp(slot, form.setUp);
    AttachPart(o.partsB, 0, kStage5CorePartType, 0, 0, 0, 0);
    o.partsB[0].variant = form.coreVariant;
    o.partCountA = 0;
    o.partCountB = 1;
    FinishFormSetUp();
    return;
  }
  if (o.state != 2) {
    StepFormDeath(slot);
    return;
  }
  if (!StepFormEntry(o, form.firstPhase, form.stopOnArrival)) {
    CueCoreOnTimeOut(o, o.partsB[0], form.timeOut);
    const double targetX = ScreenToWorldX(PlayerX > ScreenToWorldX(240) ? 590 : 500);
    o.vx = ApproachValue(o.vx, 0.02, o.x > targetX ? -0.4 : 0.4);
    if (PlayerY != o.y) o.vy = ApproachValue(o.vy, 0.05, PlayerY > o.y ? 1.6 : -1.6);
  }
  MoveFormWithScroll(o);
}
