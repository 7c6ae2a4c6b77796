#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage4Chubosu(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage4Dasher(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage4FireWall(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage4ChubosuAnimPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4ChubosuBodyPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4ChubosuCorePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4ChubosuGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4ChubosuTurretPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
