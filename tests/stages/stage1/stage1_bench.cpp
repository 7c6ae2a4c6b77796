#include "tests/stages/stage1/stage1_bench.h"

#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/stage_bench.h"

Stage1Bench::Stage1Bench(int difficulty) : field(difficulty) {
  PrepareStageBench(1, difficulty);
  field.SetShipImmune(true);
}

EnemyObject& Stage1Bench::SpawnBoss(double x, double y) {
  const int16_t slot = SpawnPool0Enemy(x, y, 10, 0, -1, 0);
  PassBoss();
  return EnemyPool0[slot];
}

EnemyObject& Stage1Bench::BossOnRoute(double x, double y) {
  EnemyObject& boss = SpawnBoss(x + 780, y - 20);
  boss.phase = 1;
  boss.speed = 0;
  PassBoss();  // the parts' set-up
  return boss;
}

int16_t Stage1Bench::SpawnPool1(int16_t type, double x, double y, int16_t angle, int16_t variant) {
  const int16_t slot = SpawnPool1Enemy(x, y, type, angle, -1, 0);
  if (slot < 0) return slot;
  EnemyPool1[slot].variant = variant;
  PassPool1();
  return slot;
}

std::vector<int> Stage1Bench::PassBoss() {
  field.TakeSoundRequests();
  UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
  return field.TakeSoundRequests();
}

std::vector<int> Stage1Bench::PassBoth() {
  field.TakeSoundRequests();
  UpdateEnemyPools();
  return field.TakeSoundRequests();
}

std::vector<int> Stage1Bench::PassPool1() {
  field.TakeSoundRequests();
  UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
  return field.TakeSoundRequests();
}
