#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage5HatchZako(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage5HatchZakoReverse(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage5LaserHou(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage5LaserHou2(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage5Maru(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage5LaserHouPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5MaruPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
