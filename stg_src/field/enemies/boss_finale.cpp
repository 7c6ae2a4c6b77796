#include "stg_src/field/enemies/boss_finale.h"

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/items_and_popups.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kBossBeatenSound = 27;
constexpr int16_t kBossShakeFrames = 60;
constexpr int32_t kFinaleFrame = 80;

}  // namespace

void ClearStageAfterBoss() {
  StageClearTimer = 2;
  BossState = -1;
  StopMusicSlot();
}

void FinishBoss(const BossFinale& finale) {
  if (finale.clearsStage) ClearStageAfterBoss();
  if (finale.dropsCapsule && StageUnlockId > 0) SpawnItem(kUnlockCapsuleItem, finale.x, finale.y);
  RequestSoundEffect(kBossBeatenSound);
  SpawnEffect(kBossDeathFlashEffect, finale.x, finale.y, 0, 0, 0);
  StartScreenShake(kBossShakeFrames);
  SpawnBossExplosion(finale.blastX, finale.blastY, 1);
}

void DriftToAStop(EnemyObject& o) {
  o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
  o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
  o.speed = ApproachValue(o.speed, 0.2, 0);
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
}

void FinishBossWhereItStands(EnemyObject& o) {
  BossFinale finale;
  finale.x = o.x;
  finale.y = o.y;
  finale.blastX = o.x + 30;
  finale.blastY = o.y - 30;
  FinishBoss(finale);
  o.state = 0;
}

void StepBeatenBossDrifting(EnemyObject& o) {
  DriftToAStop(o);
  if (o.frame == kFinaleFrame) {
    FinishBossWhereItStands(o);
    return;
  }
  if (o.frame % 8 == 0) SpawnMediumBlastInBox(o.x, o.y, 128, 128);
  if (o.frame % 12 == 0) SpawnLargeBlastInBox(o.x, o.y, 240, 240);
}
