#include "stg_src/field/enemies/boss_finale.h"

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/items_and_popups.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kBossBeatenSound = 27;
constexpr int16_t kBossShakeFrames = 60;

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
