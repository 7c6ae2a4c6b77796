#include "stg_src/stages/stage1/stage1.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage1Hatch(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage1HatchRiser(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage1Robo(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage1RoboAsiPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
