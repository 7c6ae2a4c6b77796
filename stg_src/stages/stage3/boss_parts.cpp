#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/game/deterministic.h"

void UpdateStage3BossClawPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3BossFlamePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3BossLowerArmPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3BossLowerClawPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3BossShieldPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage3BossUpperArmPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
