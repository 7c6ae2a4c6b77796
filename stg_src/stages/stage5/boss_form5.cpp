#include "stg_src/stages/stage5/boss_chain.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage5Boss5(int16_t slot) {
  UpdateStage5CoreForm(slot, {{280, 160, 96, 1}, 0, -5, kStage5LastFormTimeOut, true});
}
void UpdateStage5Boss5BarPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss5ClawPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss5GunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss5PlatePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss5RailPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
