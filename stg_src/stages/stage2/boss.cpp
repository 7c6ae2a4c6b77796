#include "stg_src/stages/stage2/stage2.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage2Boss(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage2BossArmPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2BossCorePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2BossFinPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2BossSideGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2BossTailGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
