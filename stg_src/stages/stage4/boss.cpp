#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage4Boss(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage4BossArmPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4BossBodyPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4BossCannonPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4BossCorePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4BossLaserPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
