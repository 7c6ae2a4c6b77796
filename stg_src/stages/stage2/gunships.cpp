#include "stg_src/stages/stage2/stage2.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage2SpreadGunner(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage2WingOpener(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage2SpreadGunnerWingPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2WingOpenerWingPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
