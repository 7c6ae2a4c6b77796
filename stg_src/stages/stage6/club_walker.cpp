#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage6Club(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage6ClubBackLegs(int16_t slot) { EnemyPool3[slot].state = 0; }
void UpdateStage6ClubBackLegPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6ClubBeamPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6ClubCorePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6ClubGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6ClubLegPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
