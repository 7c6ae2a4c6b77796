#include "stg_src/stages/stage5/boss_chain.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage5Boss2(int16_t slot) {
  UpdateStage5CoreForm(slot, {{128, 96, 64, 1}, 0, -3, kStage5FormTimeOut, false});
}
void UpdateStage5Boss2ArmAPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss2ArmBPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss2GunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss2TailPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss2WingPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
