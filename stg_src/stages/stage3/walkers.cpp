#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage3CeilingWalker(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage3FloorWalker(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage3CeilingWalkerLegPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3FloorWalkerLegPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3WalkerGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
