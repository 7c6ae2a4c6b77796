#include "tests/stages/stage1/stage1_bench.h"

#include <cstring>

#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"

Stage1Bench::Stage1Bench(int difficulty) : field(difficulty) {
  ClearAllObjects();
  CurrentStage = 1;
  Difficulty = static_cast<int16_t>(difficulty);
  DrawOffsetX = 0;
  DrawOffsetY = 0;
  CameraX = 0;
  ViewRight = 640;
  ViewTop = 0;
  ViewBottom = 400;
  ScrollDeltaX = 0;
  ScrollDeltaY = 0;
  TimeRank = 0;
  PowerRank = 0;
  SolidEnemyTimer = 0;
  StageClearTimer = 0;
  CancelEnemyShots = 0;
  std::memset(&ScreenShake, 0, sizeof ScreenShake);
  PlayerX = 320;
  PlayerY = 200;
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

std::vector<const EnemyShot*> Stage1Bench::ShotsOfType(int32_t type) {
  std::vector<const EnemyShot*> shots;
  for (const EnemyShot& s : EnemyShots)
    if (s.state != 0 && s.type == type) shots.push_back(&s);
  return shots;
}

void Stage1Bench::ClearShots() {
  for (EnemyShot& s : EnemyShots) s.state = 0;
}
