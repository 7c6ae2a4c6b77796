#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage3FallingFire(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage3FireCurtain(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage3Fireball(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage3FireballVolley(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage3FlameVent(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage3SmallFireball(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage3SmallFireballVolley(int16_t slot) { EnemyPool0[slot].state = 0; }
