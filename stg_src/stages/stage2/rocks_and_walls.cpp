#include "stg_src/stages/stage2/stage2.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage2Ion(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage2Iwa(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage2IwaKabe(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage2IwaPiece(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage2IwaKabePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2KabeCorePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
