#include "stg_src/stages/stage2/stage2.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage2Houdai(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage2HoudaiReverse(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage2Senkan(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage2Senkan2(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage2Senkan2BeamPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2SenkanBeamPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2SenkanHullPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2SenkanLowerTurretPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage2SenkanUpperTurretPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
