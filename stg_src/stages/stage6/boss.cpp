#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage6Boss(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage6BluePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6BossAnimPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6BossCorePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6BossGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6BossHullPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6BossJawPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6BossShellPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6RedPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
