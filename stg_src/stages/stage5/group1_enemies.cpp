#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

void UpdateStage5AnimBlock(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage5Jet(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage5LaunchedZako(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage5LauncherAnim(int16_t slot) { EnemyPool3[slot].state = 0; }
void UpdateStage5LoopAnim(int16_t slot) { EnemyPool3[slot].state = 0; }
void UpdateStage5Rammer(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage5Ring(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage5Shutter(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage5ZakoLauncher(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage5FollowerPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5JetPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5RammerGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5RingPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5ShutterPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage5ZakoGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
