#include "tests/stages/stage5/stage5_bench.h"

#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"

Stage5Bench::Stage5Bench(int difficulty, int stage) : field(difficulty) {
  PrepareStageBench(stage, difficulty);
  MapWidth = 0;  // no terrain anywhere
  MapHeight = 0;
  field.SetShipImmune(true);
}

int16_t Stage5Bench::SpawnPool0(int16_t type, double x, double y, int16_t angle, int16_t variant) {
  const int16_t slot = SpawnPool0Enemy(x, y, type, angle, -1, 0);
  if (slot < 0) return slot;
  EnemyPool0[slot].variant = variant;
  PassPool0();
  return slot;
}

int16_t Stage5Bench::SpawnPool1(int16_t type, double x, double y, int16_t angle, int16_t variant) {
  const int16_t slot = SpawnPool1Enemy(x, y, type, angle, -1, 0);
  if (slot < 0) return slot;
  EnemyPool1[slot].variant = variant;
  PassPool1();
  return slot;
}

std::vector<int> Stage5Bench::PassPool0() {
  field.TakeSoundRequests();
  UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
  return field.TakeSoundRequests();
}

std::vector<int> Stage5Bench::PassPool1() {
  field.TakeSoundRequests();
  UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
  return field.TakeSoundRequests();
}

std::vector<int> Stage5Bench::PassPools() {
  field.TakeSoundRequests();
  UpdateEnemyPools();
  return field.TakeSoundRequests();
}

std::vector<int> Stage5Bench::PassShots() {
  field.TakeSoundRequests();
  UpdateEnemyShots();
  return field.TakeSoundRequests();
}
