// Stage 2's kit maps: both main maps pass the stage-map check with the codes this stage places
// (the boss, the battleships and the batteries, one speed and the scroll to the right).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/game_support/stage_map_check.h"

TEST(Stage2Maps, BothMainMapsPassTheStageMapCheck) {
  StageMapRules rules;
  rules.stage = 2;
  rules.codes = {11, 14, 15, 16, 17, 133, 144};
  rules.checkpoints = 2;
  EXPECT_THAT(CheckStageMaps(rules), testing::IsEmpty());
}
