#include "tests/stages/stage2/stage2_bench.h"

#include <cstring>

#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"

Stage2Bench::Stage2Bench(int difficulty) : field(difficulty) {
  ClearAllObjects();
  CurrentStage = 2;
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

std::vector<const EnemyShot*> Stage2Bench::ShotsOfType(int32_t type) {
  std::vector<const EnemyShot*> shots;
  for (const EnemyShot& s : EnemyShots)
    if (s.state != 0 && s.type == type) shots.push_back(&s);
  return shots;
}

void Stage2Bench::ClearShots() {
  for (EnemyShot& s : EnemyShots) s.state = 0;
}
