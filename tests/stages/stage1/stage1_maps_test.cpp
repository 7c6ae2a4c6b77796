// Stage 1's kit maps: both main maps pass the stage-map check with stage 1's rules.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/stages/stage1/stage1_map_rules.h"

namespace {

TEST(Stage1Maps, BothMainMapsPassTheCheckAndCarryAFinishableRoute) {
  EXPECT_THAT(CheckStageMaps(Stage1MapRules()), testing::IsEmpty());
}

}  // namespace
