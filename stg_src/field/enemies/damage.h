// Damage and kills of enemy objects and parts (the hit sound, the flash, the kill score, the
// weapon-unlock weights), and the ship's side of a hit: the shield's burst and the death.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// Ramming an enemy costs it this much.
constexpr int32_t kRammingDamage = 50;

// The overkill (damage - life before), or 0 for an indestructible target (negative life), which
// is left untouched: no sound, flash or score.
int32_t DamageEnemyObject(EnemyObject* pool, int16_t index, int32_t damage);
int32_t DamagePart(EnemyPart* parts, int16_t j, int32_t damage);
// Sound 43 on every damage; below 0 life the kill: state 3 and the kill score (a part also takes
// its unlock weight off StageUnlockId).
void KillEnemyObject(EnemyObject* pool, int16_t index);
void KillPart(EnemyPart* parts, int16_t j);
// StageUnlockId set to the stage's weapon once it fell to -3 or below (stages 1-5).
void ResetStageUnlockId();
// After a hit on the ship: a raised shield (8) fires its burst and drops to 7; after a death the
// shield is gone.
void SpendShield();
// False while the ship is already dying. Otherwise a life, two levels of each weapon in use and
// a step of speed are lost, the ship explodes and the ranks fall.
bool KillPlayer(int32_t unused);
