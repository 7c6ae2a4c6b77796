// Stage 4's kit maps pass the stage-map check with the stage's codes, and hold their checkpoints
// before the mid-boss.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "stg_src/field/map/stage_maps.h"
#include "tests/game_support/stage_map_check.h"

namespace {

constexpr int kMidBossCode = 12;  // pool 0 type 11

TEST(Stage4Maps, PassTheStageMapCheckWithCheckpointsOnlyBeforeTheMidBoss) {
  StageMapRules rules;
  rules.stage = 4;
  for (int code = 11; code <= 16; ++code) rules.codes.insert(code);
  for (int code = 75; code <= 83; ++code) rules.codes.insert(code);
  rules.codes.insert({135, 144});
  rules.checkpoints = 2;
  rules.more = [](int difficulty, std::vector<std::string>& problems) {
    int midBoss = -1;
    for (int c = 0; c < MapWidth && midBoss < 0; ++c)
      for (int r = 0; r < MapHeight; ++r)
        if (EventLayer[r][c] % 1000 == kMidBossCode) midBoss = c;
    if (midBoss < 0) problems.push_back("no mid-boss on map " + std::to_string(difficulty));
    for (int k = 1; k < CheckpointCount; ++k)
      if (CheckpointColumn[k] >= midBoss)
        problems.push_back("checkpoint " + std::to_string(k) + " past the mid-boss");
  };
  EXPECT_THAT(CheckStageMaps(rules), testing::IsEmpty());
}

}  // namespace
