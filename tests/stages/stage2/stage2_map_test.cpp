// Stage 2's kit maps: both main maps pass the stage-map check with the codes this stage places
// (every pool-0 kind 11-20, every pool-1 kind 75-84, one speed and the scroll to the right).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/game_support/stage_map_check.h"

TEST(Stage2Maps, BothMainMapsPassTheStageMapCheck) {
  StageMapRules rules;
  rules.stage = 2;
  rules.codes = {11, 12, 13, 14, 15, 16, 17, 18, 19, 20,  75,
                 76, 77, 78, 79, 80, 81, 82, 83, 84, 133, 144};
  rules.checkpoints = 2;
  EXPECT_THAT(CheckStageMaps(rules), testing::IsEmpty());
}
