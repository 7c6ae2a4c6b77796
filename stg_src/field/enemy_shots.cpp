#include "stg_src/field/play_field.h"

#include "stg_src/deterministic.h"

void UpdateEnemyShots() {}

void SpawnBurningFragment(int16_t, double, double) {}
