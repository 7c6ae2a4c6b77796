#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage4Gunboat(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage4HatchZako(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage4LaserWheel(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage4LauncherShip(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage4Piston(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage4PodRing(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage4SlidingBlock(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage4Striker(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage4Swooper(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage4TurretMount(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage4LaserWheelPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4LauncherPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4PistonBasePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4PistonHeadPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4RingPodPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage4SlidingBlockPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
