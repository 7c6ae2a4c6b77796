// What the stages' benches share: the field put still at world (0, 0) on a stage without a map,
// and the enemy-shot pool read and cleared by type.
#pragma once

#include <cstdint>
#include <vector>

#include "stg_src/field/shots/enemy_shots.h"

// Clears every object and puts the field on `stage` at that difficulty: the screen and the view
// box at world (0, 0) and still, rank 0, no solid-enemy or clear timers, no shake, the ship at
// (320, 200).
void PrepareStageBench(int stage, int difficulty);

// The enemy shots of a type in use, in slot order.
std::vector<const EnemyShot*> EnemyShotsOfType(int32_t type);
// How many of them there are.
int CountEnemyShotsOfType(int32_t type);
// Frees every enemy shot.
void ClearEnemyShots();
