#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage3BouncingMine(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage3RockSpout(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage3SlidingRock(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage3SmallRock(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage3SmallRock2(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage3HouBarrelPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3HouBasePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3RingGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3RockPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
