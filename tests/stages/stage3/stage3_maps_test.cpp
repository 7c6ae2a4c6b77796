// Stage 3's kit maps: both main maps pass the stage-map check with stage 3's codes, run deep
// enough for the shaft to take the view below world y 1400 with the boss on the floor run down
// there, and bring the serpent and the fire curtain that hold and mark that way.
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "stg_src/field/map/stage_maps.h"
#include "tests/game_support/stage_map_check.h"

namespace {

constexpr int kBossCode = 11;
constexpr int kSerpentCode = 14;
constexpr int kCurtainCode = 19;

StageMapRules Stage3Rules() {
  StageMapRules rules;
  rules.stage = 3;
  // Common enemies, the stage's pool-0 codes 11-20 and pool-1 codes 75-83, and the commands
  // (stop, speed 3, right, down).
  rules.codes = {1, 2, 9, 69, 72, 73, 129, 135, 144, 148};
  for (int code = 11; code <= 20; ++code) rules.codes.insert(code);
  for (int code = 75; code <= 83; ++code) rules.codes.insert(code);
  rules.checkpoints = 3;
  rules.more = [](int difficulty, std::vector<std::string>& problems) {
    const std::string map = difficulty >= 2 ? "hard map" : "easy map";
    if (MapHeight < 50) problems.push_back(map + ": fewer than 50 rows");
    std::set<int> codes;
    int bossRow = -1;
    for (int row = 0; row < MapHeight; ++row)
      for (int column = 0; column < MapWidth; ++column) {
        const int code = EventLayer[row][column] % 1000;
        codes.insert(code);
        if (code == kBossCode) bossRow = row;
      }
    if (bossRow * 40 <= 1400) problems.push_back(map + ": the boss is not below world y 1400");
    if (!codes.count(kSerpentCode)) problems.push_back(map + ": no serpent");
    if (!codes.count(kCurtainCode)) problems.push_back(map + ": no fire curtain");
  };
  return rules;
}

TEST(Stage3Maps, BothMainMapsPassTheCheckAndRunDownToTheBoss) {
  EXPECT_THAT(CheckStageMaps(Stage3Rules()), testing::IsEmpty());
}

}  // namespace
