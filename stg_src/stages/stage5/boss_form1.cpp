#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage5Boss1(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage5Boss1ArmPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss1CannonPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss1GunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss1LauncherPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5Boss1SidePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
