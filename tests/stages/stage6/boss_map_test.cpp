// Where stage 6's maps put the boss: its cell comes into view before the view's right edge
// reaches 14800, where it stops the scroll, close enough that its hull pieces then stand left of
// screen x 560 (they cannot be hurt right of it); and the map runs on past the stop for the free
// boss's scroll on hard.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "stg_src/field/map/stage_maps.h"
#include "tests/game_support/stage_map_check.h"

namespace {

constexpr int kTile = 40;
constexpr int kBossCode = 11;
constexpr double kStopEdge = 14800;
constexpr double kHullLeftOfBossCell = kTile / 2 + 162 - 33;  // set-up shift, then the piece
constexpr double kHullReach = 560;
constexpr int kViewWidth = 640;

TEST(Stage6BossMap, TheBossStandsInViewWithItsHullsInReachWhereItStopsTheScroll) {
  StageMapRules rules;
  rules.stage = 6;
  rules.codes = {11, 12, 13, 14, 18, 19, 75, 76, 77, 78, 79, 80, 81, 82, 131, 133, 144, 145, 159};
  rules.more = [](int difficulty, std::vector<std::string>& problems) {
    const std::string map = difficulty >= 2 ? "hard map: " : "easy map: ";
    int bosses = 0;
    for (int column = 0; column < MapWidth; ++column) {
      for (int row = 0; row < MapHeight; ++row) {
        if (EventLayer[row][column] % 1000 != kBossCode) continue;
        ++bosses;
        const std::string at = " at column " + std::to_string(column);
        // Spawned as its column meets the view's right edge.
        if (column * kTile > kStopEdge)
          problems.push_back(map + "boss comes after the scroll stop" + at);
        const double hullScreenX = column * kTile + kHullLeftOfBossCell - (kStopEdge - kViewWidth);
        if (hullScreenX >= kHullReach)
          problems.push_back(map + "hull pieces out of reach at the stop" + at);
      }
    }
    if (bosses != 1) problems.push_back(map + std::to_string(bosses) + " boss cells");
    if (MapWidth * kTile < kStopEdge + kViewWidth)
      problems.push_back(map + "less than a screen of map after the scroll stop");
  };
  EXPECT_THAT(CheckStageMaps(rules), testing::IsEmpty());
}

}  // namespace
