// The behaviours common to every stage that the handler tables name: pool-0 types 0..9 (turrets,
// hatches and their fliers, two spawners, the item box and carrier), pool-1 types 0..9 (walkers
// and fliers), the pool-2 missiles and shells, and part types 0 and 1. Each takes its object's
// slot: state 1 sets up, 2 runs, 3 plays the death and frees the slot.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// common_enemies.cpp: pool 0, types 0..9.
void UpdateFloorTurret(int16_t slot);
void UpdateCeilingTurret(int16_t slot);
void UpdateFloorHatch(int16_t slot);
void UpdateCeilingHatch(int16_t slot);
void UpdateHatchZako(int16_t slot);
void UpdateHatchZakoMirror(int16_t slot);
void UpdateZakoSpawner(int16_t slot);
void UpdateZakoPairSpawner(int16_t slot);
void UpdateItemBox(int16_t slot);
void UpdateItemCarrier(int16_t slot);

// common_enemies.cpp: pool 1, types 0..9.
void UpdateGunWalker(int16_t slot);
void UpdateCeilingGunWalker(int16_t slot);
void UpdateGunWalkerBackward(int16_t slot);
void UpdateCeilingGunWalkerBackward(int16_t slot);
void UpdateSwerveFlier(int16_t slot);
void UpdateSlowGunner(int16_t slot);
void UpdateEscortGunner(int16_t slot);
void UpdateDashFlier(int16_t slot);
void UpdateAmbushFlier(int16_t slot);
void UpdateSmallFlier(int16_t slot);

// common_enemies.cpp: pool 2, types 0 and 2..7.
void UpdateHomingMissile(int16_t slot);
void UpdateShootableShell(int16_t slot);
void UpdateLobbedShell(int16_t slot);
void UpdateFiringShell(int16_t slot);
void UpdateRingBurstMine(int16_t slot);
void UpdateLargeMissile(int16_t slot);
void UpdateFiringShellB(int16_t slot);

// common_parts.cpp: part types 0 and 1.
void UpdateRotorPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void UpdateCommonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
