#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

void UpdateStage6BossTentaclePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
