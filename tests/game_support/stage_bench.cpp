#include "tests/game_support/stage_bench.h"

#include <cstring>

#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"

void PrepareStageBench(int stage, int difficulty) {
  ClearAllObjects();
  CurrentStage = static_cast<int16_t>(stage);
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
}

std::vector<const EnemyShot*> EnemyShotsOfType(int32_t type) {
  std::vector<const EnemyShot*> shots;
  for (const EnemyShot& s : EnemyShots)
    if (s.state != 0 && s.type == type) shots.push_back(&s);
  return shots;
}

int CountEnemyShotsOfType(int32_t type) { return static_cast<int>(EnemyShotsOfType(type).size()); }

void ClearEnemyShots() {
  for (EnemyShot& s : EnemyShots) s.state = 0;
}
