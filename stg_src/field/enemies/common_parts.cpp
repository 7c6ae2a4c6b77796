#include "stg_src/field/enemies/common_enemies.h"

#include "stg_src/deterministic.h"

void UpdateRotorPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateCommonPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
