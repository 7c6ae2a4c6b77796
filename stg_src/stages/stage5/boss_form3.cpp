#include "stg_src/stages/stage5/boss_chain.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage5Boss3(int16_t slot) {
  UpdateStage5CoreForm(slot, {{180, 128, 128, 1}, 1, -3, kStage5FormTimeOut, true});
}
void UpdateStage5Boss3ArmPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss3CannonPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss3LauncherPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
