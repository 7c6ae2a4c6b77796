#include "stg_src/field/play_field.h"

#include "stg_src/deterministic.h"

void UpdateEnemyShots() {}
