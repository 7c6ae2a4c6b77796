#include "tests/stages/stage2/stage2_bench.h"

#include "stg_src/field/map/stage_maps.h"
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

int16_t Stage2Bench::Spawn1(int16_t type, double x, double y, int16_t variant, int16_t angle) {
  const int16_t slot = SpawnPool1Enemy(x, y, type, angle, -1, 0);
  if (slot < 0) return slot;
  EnemyPool1[slot].variant = variant;
  Pass1();
  return slot;
}

void Stage2Bench::Block(int column, int row) {
  MapWidth = 40;
  MapHeight = 20;
  CollisionLayer[row][column] = 1;
}

void Stage2Bench::Unblock(int column, int row) { CollisionLayer[row][column] = 0; }

std::vector<int> Stage2Bench::Pass1() {
  field.TakeSoundRequests();
  UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
  return field.TakeSoundRequests();
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
