// Helpers of the shot and collision tests: a live enemy object with one hit circle and parts
// placed on it, a live player shot with one hit entry, full blocks in the collision layer, and
// running the enemy-shot pass until a slot is freed.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/shots/player_shots.h"

// A live, visible object of pool (kind 0..3) at (x, y) with one circle of radius size, hit mode
// 1 and the given life and score base; margins 0, no parts.
EnemyObject& PutEnemy(EnemyObject* pool, int slot, double x, double y, int16_t size, int32_t life,
                      int32_t scoreBase = 0);
// A live, visible part j of the object's partsA (or partsB) at (x, y) with one circle of radius
// size; the object's part count covers it.
EnemyPart& PutPart(EnemyObject& owner, bool front, int j, double x, double y, int16_t size,
                   int32_t life, int32_t scoreBase = 0);
// A live player shot (frame 1) at (x, y) with one hit entry of radius size, stopping on hit.
PlayerShot& PutPlayerShot(int slot, double x, double y, int16_t size, int32_t damage);
// A live enemy shot of type 1 (set up, frame 1) at (x, y) with one circle of radius size.
EnemyShot& PutEnemyShot(int slot, double x, double y, int16_t size);
// A full block in the collision layer at (column, row); the map is made 40 x 20 tiles.
void PutBlock(int column, int row);
// UpdateEnemyShots until slot is free, counting the pass that freed it; -1 past limit.
int PassesUntilShotFreed(int slot, int limit = 1000);
