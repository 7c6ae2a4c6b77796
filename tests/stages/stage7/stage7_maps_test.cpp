// Stage 7's kit map passes the stage-map check with only the map commands the closing flight
// needs (no cell spawns anything: the flight spawns every object itself), is open sky with no
// terrain, and loops over a stretch at least a screen wide so that the view runs on for as long
// as the flight lasts.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "stg_src/field/map/stage_maps.h"
#include "tests/game_support/stage_map_check.h"

namespace {

constexpr int kVariantStep = 1000;
constexpr int kStartMarker = 16;
constexpr int kLoopStartCode = 161;
constexpr int kLoopEndCode = 177;
constexpr int kScreenColumns = 16;

TEST(Stage7Maps, OpenSkyWithNothingToSpawnAndALoopAScreenWide) {
  StageMapRules rules;
  rules.stage = 7;
  rules.codes = {144, kLoopStartCode, kLoopEndCode};
  rules.bossCodes = {};
  rules.checkpoints = 0;
  rules.more = [](int, std::vector<std::string>& problems) {
    int loopStart = -1, loopEnd = -1;
    for (int row = 0; row < MapHeight; ++row) {
      for (int column = 0; column < MapWidth; ++column) {
        const std::string at = " at " + std::to_string(column) + ", " + std::to_string(row);
        const int tile = CollisionLayer[row][column];
        if (tile != -1 && tile != kStartMarker) problems.push_back("terrain" + at);
        const int code = EventLayer[row][column] % kVariantStep;
        if (code == kLoopStartCode) loopStart = column;
        if (code == kLoopEndCode) loopEnd = column;
      }
    }
    // The jump back (end + 1 - start columns, less a screen) must be a whole screen or more, so
    // the view never lands before the loop's start.
    if (loopStart < 0 || loopEnd < 0 || loopEnd + 1 - loopStart < 2 * kScreenColumns)
      problems.push_back("no loop a screen wide: " + std::to_string(loopStart) + " .. " +
                         std::to_string(loopEnd));
  };
  EXPECT_THAT(CheckStageMaps(rules), testing::IsEmpty());
}

}  // namespace
