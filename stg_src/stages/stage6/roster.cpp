#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"

#include "stg_src/game/deterministic.h"

namespace {

// Below this target speed a walker or the boss holds the scroll, and no common enemies come.
constexpr double kSpawnerMinScroll = 1.5;

}  // namespace

// Run after the common spawner in the same frame.
void GateStage6PairSpawner(int16_t slot) {
  if (ScrollTargetSpeed < kSpawnerMinScroll) EnemyPool0[slot].state = 0;
}
void GateStage6SingleSpawner(int16_t slot) { GateStage6PairSpawner(slot); }
void UpdateStage6CornerTurretMount(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage6Elevator(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage6Entry(int16_t slot) { EnemyPool0[slot].state = 0; }
void UpdateStage6Fusha(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage6PistonMount(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage6Press(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage6Shutter(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage6BlockPairMount(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage6WarpGate(int16_t slot) { EnemyPool1[slot].state = 0; }
void UpdateStage6BlockPairCorePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6CornerTurretPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6ElevatorGunPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6ElevatorPlatformPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6ElevatorSidePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6FushaBladePart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6PistonPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6PortalPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6PressPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6ShutterPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6BlockPairPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
void UpdateStage6WarpPart(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}
