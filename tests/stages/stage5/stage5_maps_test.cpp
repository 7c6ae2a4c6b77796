// Stage 5's kit maps pass the stage-map check with the stage's codes, fit the loader's rows with
// the top rows repeated, loop over the shaft from the top to the bottom, give every turret and
// shutter a variant it has a shape for, and put a waypoint mark in every jet's path.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "stg_src/field/map/stage_maps.h"
#include "tests/game_support/stage_map_check.h"

namespace {

constexpr int kVariantStep = 1000;
constexpr int kRepeatedRows = 10;
constexpr int kMostFileRows = 70;
constexpr int kTurretCode = 18;
constexpr int kShutterCode = 77;
constexpr int kJetCode = 81;
constexpr int kWaypointCode = 83;
constexpr int kLoopTopCommand = 165;
constexpr int kLoopBottomCommand = 181;

StageMapRules Stage5MapRules() {
  StageMapRules rules;
  rules.stage = 5;
  rules.codes = {3, 4, 11, 18, 19, 20, 75, 76, 77, 78, 79, 81, 82, 83, 84};
  rules.codes.insert({135, 144, 163, 164, 165, 180, 181});
  rules.checkpoints = 2;
  rules.more = [](int difficulty, std::vector<std::string>& problems) {
    const std::string map = difficulty >= 2 ? "hard map: " : "easy map: ";
    if (MapHeight - kRepeatedRows > kMostFileRows) problems.push_back(map + "too many rows");
    bool loopTop = false, loopBottom = false;
    int jets = 0;
    for (int row = 0; row < MapHeight; ++row) {
      for (int column = 0; column < MapWidth; ++column) {
        const int code = EventLayer[row][column] % kVariantStep;
        const int variant = EventLayer[row][column] / kVariantStep - 1;
        const std::string at = " at " + std::to_string(column) + ", " + std::to_string(row);
        if (code == kLoopTopCommand && row == 0) loopTop = true;
        // The loop's bottom command sits 11 rows above the loaded map's end.
        if (code == kLoopBottomCommand && row == MapHeight - 11) loopBottom = true;
        if (code == kTurretCode && variant != 0 && variant != 1)
          problems.push_back(map + "turret without a shape" + at);
        if (code == kShutterCode && (variant < 0 || variant % 10 > 2))
          problems.push_back(map + "shutter without a panel size" + at);
        if (code != kJetCode) continue;
        jets += 1;
        bool marked = false;
        for (int c = column + 1; c <= column + 4 && c < MapWidth; ++c)
          if (EventLayer[row][c] % kVariantStep == kWaypointCode) marked = true;
        if (!marked) problems.push_back(map + "jet without a waypoint in its path" + at);
      }
    }
    if (!loopTop || !loopBottom) problems.push_back(map + "no loop from the top to the bottom");
    if (jets == 0) problems.push_back(map + "no jet");
  };
  return rules;
}

TEST(Stage5Maps, BothMainMapsPassTheCheckWithTheShaftLoopAndMarkedJets) {
  EXPECT_THAT(CheckStageMaps(Stage5MapRules()), testing::IsEmpty());
}

}  // namespace
