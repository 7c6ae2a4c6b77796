#include "tests/stages/stage2/stage2_bench.h"

#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/stage_bench.h"

Stage2Bench::Stage2Bench(int difficulty) : field(difficulty) {
  PrepareStageBench(2, difficulty);
  field.SetShipImmune(true);
}

int16_t Stage2Bench::Spawn(int16_t type, double x, double y, int16_t variant) {
  const int16_t slot = SpawnPool0Enemy(x, y, type, 0, -1, 0);
  if (slot < 0) return slot;
  EnemyPool0[slot].variant = variant;
  Pass();
  return slot;
}

std::vector<int> Stage2Bench::Pass() {
  field.TakeSoundRequests();
  UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
  return field.TakeSoundRequests();
}

std::vector<int> Stage2Bench::PassShots() {
  field.TakeSoundRequests();
  UpdateEnemyShots();
  return field.TakeSoundRequests();
}
