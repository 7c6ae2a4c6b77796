// Stage 6's kit maps pass the stage-map check with the stage's codes, keep a floor under the
// walkers' whole range, place the robo so it stands in view before its hold ends, give the
// corner turrets, elevators and windmills a variant they have a table row for, put a windmill of
// upper 2 only where the scroll climbs or dips, and leave the last speed command before the boss
// past the club's hold and below the club's 1.5.
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "stg_src/field/map/stage_maps.h"
#include "tests/game_support/stage_map_check.h"

namespace {

constexpr int kVariantStep = 1000;
constexpr int kTile = 40;
constexpr int kRoboCode = 12;
constexpr int kClubCode = 13;
constexpr int kRoboHoldEdge = 2480;
constexpr int kClubHoldColumn = 328;
constexpr int kBossEdgeColumn = 370;
constexpr int kFirstSpeedCommand = 129;
constexpr int kLastSpeedCommand = 143;
constexpr int kSlowSpeedCommands[] = {130, 131};  // 0.5 and 1
constexpr int kLevelScrollCode = 144;             // scroll directions 144..159
constexpr int kLastDirectionCode = 159;
constexpr int kWindmillCode = 81;
constexpr int kUpperTwo = 1;
const std::set<int> kVariantTableCodes = {78, 79, 81};  // corner turret, elevator, windmill

StageMapRules Stage6MapRules() {
  StageMapRules rules;
  rules.stage = 6;
  rules.codes = {11, 12, 13, 14, 18, 19, 75, 76, 77, 78, 79, 80, 81, 82, 131, 133, 144, 145, 159};
  rules.more = [](int difficulty, std::vector<std::string>& problems) {
    const std::string map = difficulty >= 2 ? "hard map: " : "easy map: ";
    std::set<int> kinds;
    int lastSpeedColumn = -1, lastSpeed = 0;
    bool tilted = false;  // a scroll direction other than level is in force
    int tiltedWindmills = 0;
    for (int column = 0; column < MapWidth; ++column) {
      bool floor = false;
      for (int row = 0; row < MapHeight; ++row) {
        floor = floor || (row > 0 && CollisionLayer[row][column] != 0);
        const int code = EventLayer[row][column] % kVariantStep;
        const int variant = EventLayer[row][column] / kVariantStep - 1;
        const std::string at = " at " + std::to_string(column) + ", " + std::to_string(row);
        if (code == 0) continue;
        kinds.insert(code);
        if (kVariantTableCodes.count(code) != 0 && (variant < 0 || variant > 3))
          problems.push_back(map + "no table row for variant " + std::to_string(variant) + at);
        if (code == kRoboCode && column * kTile >= kRoboHoldEdge - 8 * kTile)
          problems.push_back(map + "robo too late to stand in view before its hold ends" + at);
        if (code >= kLevelScrollCode && code <= kLastDirectionCode)
          tilted = code != kLevelScrollCode;
        if (code == kWindmillCode && variant == kUpperTwo) {
          if (tilted) {
            ++tiltedWindmills;
          } else {
            problems.push_back(map + "windmill of upper 2 on a level scroll" + at);
          }
        }
        if (code == kClubCode && column >= kClubHoldColumn)
          problems.push_back(map + "club past its own hold" + at);
        if (code >= kFirstSpeedCommand && code <= kLastSpeedCommand && column < kBossEdgeColumn) {
          lastSpeedColumn = column;
          lastSpeed = code;
        }
      }
      if (!floor) problems.push_back(map + "no floor in column " + std::to_string(column));
    }
    if (tiltedWindmills == 0)
      problems.push_back(map + "no windmill of upper 2 where the view climbs");
    for (int code : {12, 13, 14, 18, 19, 75, 76, 77, 78, 79, 80, 81, 82})
      if (kinds.count(code) == 0)
        problems.push_back(map + "no cell of code " + std::to_string(code));
    bool slow = false;
    for (int s : kSlowSpeedCommands) slow = slow || lastSpeed == s;
    if (lastSpeedColumn <= kClubHoldColumn || !slow)
      problems.push_back(map + "the last speed before the boss is not a slow one past the club");
  };
  return rules;
}

TEST(Stage6Maps, BothMainMapsPassTheCheckWithAFloorAndTheWalkersHoldsInPlace) {
  EXPECT_THAT(CheckStageMaps(Stage6MapRules()), testing::IsEmpty());
}

}  // namespace
