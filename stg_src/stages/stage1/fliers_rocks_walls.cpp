#include "stg_src/stages/stage1/stage1.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage1BossWaypoint(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage1CeilingIwaS1(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage1CeilingIwaS2(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage1CeilingIwaS3(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage1CrossGunner(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage1IwaL(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage1IwaM(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage1IwaS1(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage1Kabe(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage1MortarWalker(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage1KabeCorePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1KabeHouPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1KabePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1MortarWalkerPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
