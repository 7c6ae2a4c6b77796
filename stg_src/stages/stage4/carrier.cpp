#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage4Entry(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage4EntryCorePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4EntryGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4EntryWallPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4LowerTurretPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4UpperTurretPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
