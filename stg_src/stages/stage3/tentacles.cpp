#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage3Shokushu(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage3ShokushuLowerPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3ShokushuUpperPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
