#include "stg_src/stages/stage2/stage2.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage2IwaLSpawner(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage2IwaMSpawner(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage2IwaSSpawner(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage2Marui(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage2Sikaku(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage2MaruiPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2SikakuJetPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
