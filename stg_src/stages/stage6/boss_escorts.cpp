#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage6CeilingGunner(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage6FloorGunner(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage6OrbitCarrier(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage6OrbitGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
