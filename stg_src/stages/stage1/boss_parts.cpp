#include "stg_src/stages/stage1/stage1.h"

#include "stg_src/game/deterministic.h"

void UpdateStage1BossArmPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1BossGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1BossLauncherPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1BossSliderPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1BossThrusterPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1BossWingPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1ShurikenPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage1RetargetShot(int16_t) {}
