#include "stg_src/stages/stage7/stage7.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/deterministic.h"

void UpdateStage7Bokan(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage7Bokan2(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage7Fire(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage7VerniaPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
