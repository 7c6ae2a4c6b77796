// Stage 1's kit maps: both main maps pass the stage-map check with stage 1's codes, and the
// boss's route on each is one the boss can finish: waypoints only with route commands, commands
// 1, 2 or 4 among them, a command-9 waypoint that sends it right, and a large rock in its path
// past the line where the wing plates break off.
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/stage_map_check.h"

namespace {

constexpr int kBossCode = 11;
constexpr int kLargeRockCode = 77;
constexpr int kWaypointCode = 83;
constexpr int kVariantStep = 1000;

StageMapRules Stage1Rules() {
  StageMapRules rules;
  rules.stage = 1;
  for (int code = 1; code <= 14; ++code) rules.codes.insert(code);
  for (int code = 18; code <= 20; ++code) rules.codes.insert(code);
  for (int code = 65; code <= 84; ++code) rules.codes.insert(code);
  for (int code = 128; code <= 255; ++code) rules.codes.insert(code);
  rules.checkpoints = 4;
  rules.more = [](int difficulty, std::vector<std::string>& problems) {
    const std::string map = difficulty >= 2 ? "hard map" : "easy map";
    int bossColumn = -1;
    std::set<int> commands;
    bool sentRight = false;
    bool rockPastLine = false;
    const double line = difficulty >= 2 ? 19800 : 19320;
    for (int row = 0; row < MapHeight; ++row) {
      for (int column = 0; column < MapWidth; ++column) {
        if (EventLayer[row][column] % kVariantStep == kBossCode) bossColumn = column;
      }
    }
    if (bossColumn < 0) {
      problems.push_back(map + ": no boss");
      return;
    }
    for (int row = 0; row < MapHeight; ++row) {
      for (int column = 0; column < MapWidth; ++column) {
        const int code = EventLayer[row][column] % kVariantStep;
        const int variant = EventLayer[row][column] / kVariantStep - 1;
        if (code == kWaypointCode) {
          if (variant < 0 || variant > 9) {
            problems.push_back(map + ": waypoint at column " + std::to_string(column) +
                               " has no route command");
          }
          commands.insert(variant);
          // The boss starts 780 px behind its cell: a waypoint it can reach lies beyond that.
          if (variant == 9 && column * 40 > bossColumn * 40 - 780) sentRight = true;
        }
        if (code == kLargeRockCode && column > bossColumn - 20 && column * 40 > line) {
          rockPastLine = true;
        }
      }
    }
    if (!sentRight) problems.push_back(map + ": no command-9 waypoint on the boss's route");
    if (!commands.count(1) && !commands.count(2) && !commands.count(4)) {
      problems.push_back(map + ": the route never moves the boss with command 1, 2 or 4");
    }
    if (!rockPastLine) problems.push_back(map + ": no large rock on the route past the line");
    if (CheckpointColumn[1] - CheckpointColumn[0] > 16) {
      problems.push_back(map + ": checkpoint 1 is not just after the start");
    }
  };
  return rules;
}

TEST(Stage1Maps, BothMainMapsPassTheCheckAndCarryAFinishableRoute) {
  EXPECT_THAT(CheckStageMaps(Stage1Rules()), testing::IsEmpty());
}

}  // namespace
