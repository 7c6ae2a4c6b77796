#include "stg_src/stages/stage1/stage1.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage1BgObjectPlacer(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage1DisabledBgObject(int16_t slot) { EnemyPool3[slot].state = 0; }
void UpdateStage1Hougeki(int16_t slot) { EnemyPool3[slot].state = 0; }
void UpdateStage1SkyBaku(int16_t slot) { EnemyPool3[slot].state = 0; }
void UpdateStage1SkyBakuPlacer(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage1Sora(int16_t slot) { EnemyPool3[slot].state = 0; }
void UpdateStage1SoraPlacer(int16_t slot) { EnemyPool0[slot].state = 0; }
