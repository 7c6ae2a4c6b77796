#include "stg_src/field/enemies/common_enemies.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/deterministic.h"

void UpdateFloorTurret(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateCeilingTurret(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateFloorHatch(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateCeilingHatch(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateHatchZako(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateHatchZakoMirror(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateZakoSpawner(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateZakoPairSpawner(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateItemBox(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateItemCarrier(int16_t slot) { EnemyPool0[slot].state = 0; }

void UpdateGunWalker(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateCeilingGunWalker(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateGunWalkerBackward(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateCeilingGunWalkerBackward(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateSwerveFlier(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateSlowGunner(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateEscortGunner(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateDashFlier(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateAmbushFlier(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateSmallFlier(int16_t slot) { EnemyPool1[slot].state = 0; }

void UpdateHomingMissile(int16_t slot) { EnemyPool2[slot].state = 0; }
void UpdateShootableShell(int16_t slot) { EnemyPool2[slot].state = 0; }
void UpdateLobbedShell(int16_t slot) { EnemyPool2[slot].state = 0; }
void UpdateFiringShell(int16_t slot) { EnemyPool2[slot].state = 0; }
void UpdateRingBurstMine(int16_t slot) { EnemyPool2[slot].state = 0; }
void UpdateLargeMissile(int16_t slot) { EnemyPool2[slot].state = 0; }
void UpdateFiringShellB(int16_t slot) { EnemyPool2[slot].state = 0; }
