#include "stg_src/stages/stage1/stage1.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage1BeamCannonHigh(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage1BeamCannonLow(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage1Bokan(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage1BeamEmitterPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1BokanHatchPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1BokanVerniaPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1HougekiPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1JetFlamePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1JikiPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
