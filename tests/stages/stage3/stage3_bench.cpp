#include "tests/stages/stage3/stage3_bench.h"

#include <cstring>

#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"

Stage3Bench::Stage3Bench(int difficulty) : field(difficulty) {
  PrepareStageBench(3, difficulty);
  std::memset(CollisionLayer, 0, sizeof CollisionLayer);
  MapWidth = 40;
  MapHeight = 20;
  field.SetShipImmune(true);
}

int16_t Stage3Bench::SpawnPool0(int16_t type, double x, double y, int16_t variant, int16_t angle) {
  const int16_t slot = SpawnPool0Enemy(x, y, type, angle, -1, 0);
  if (slot >= 0) EnemyPool0[slot].variant = variant;
  return slot;
}

int16_t Stage3Bench::SpawnPool1(int16_t type, double x, double y, int16_t variant, int16_t angle) {
  const int16_t slot = SpawnPool1Enemy(x, y, type, angle, -1, 0);
  if (slot >= 0) EnemyPool1[slot].variant = variant;
  return slot;
}

std::vector<int> Stage3Bench::PassPool0() {
  field.TakeSoundRequests();
  UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
  return field.TakeSoundRequests();
}

std::vector<int> Stage3Bench::PassPool1() {
  field.TakeSoundRequests();
  UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
  return field.TakeSoundRequests();
}

std::vector<int> Stage3Bench::PassBoth() {
  field.TakeSoundRequests();
  UpdateEnemyPools();
  return field.TakeSoundRequests();
}

void Stage3Bench::Rock(int column, int row) { CollisionLayer[row][column] = 1; }

void Stage3Bench::RockRow(int row) {
  for (int column = 0; column < MapWidth; ++column) Rock(column, row);
}

int LcgDrawsBetween(uint32_t from, uint32_t to) {
  for (int n = 0; n <= 10000; ++n) {
    if (from == to) return n;
    from = from * 214013u + 2531011u;
  }
  return -1;
}
