#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

void UpdateStage5BossCorePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
