// The collision pass: the enemy pools' step after each object's handler and parts (player shots
// against the object and its parts, the ship against its body and parts) and the enemy shots'
// step (the ship, the charge and shield shots, solid enemies), with the tests they are built
// from and the homing search they feed. Damage, kills and the ship's death are in damage.h.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// The object's step: nothing off screen or unless live; every live player shot against it; then,
// while the ship lives, ramming its body and its parts (50 points to the enemy each), and each
// part's beam stop carried over or cleared.
void CollideEnemyObject(EnemyObject* pool, int16_t index);
bool EnemyObjectTouchesPlayer(const EnemyObject* pool, int16_t index);
// Box parts: 4 kills, 5 pushes the ship down once (PlayerPushedDown); circles only while not
// invulnerable.
bool PartTouchesPlayer(EnemyPart* parts, int16_t j, bool invulnerable);
// One player shot against one object: its parts first, then its body.
void HitEnemyWithPlayerShot(EnemyObject* pool, int16_t shot, int16_t index);
// Offers a target point to the shot's search (PlayerShotSearchModes).
void OfferHomingTarget(int16_t shot, double x, double y);

// The enemy shot's step: the ship, the charge and shield shots (slots 128..138, unharmed),
// solid enemies; a vanishing shot tied to a part records where its beam was cut.
void CollideEnemyShot(int16_t slot);
bool EnemyShotHitsPlayer(int16_t slot);
bool EnemyShotHitsPlayerShot(int16_t slot, int16_t playerShot);
// Solid pool-1 objects stop the shot (not on stage 2 in vertical free mode), and their solid box
// parts stop shots that meet terrain.
void CollideShotWithSolidEnemies(int16_t slot);
