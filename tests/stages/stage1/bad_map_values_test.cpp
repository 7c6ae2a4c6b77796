// Stage 1's event codes with the upper layer's extremes (empty, read as variant -1, and 63, read
// as 62) on a small map: everything spawns and runs under the sanitizers without reading outside
// a table, and the waypoint keeps the variant it was given. A route that never sends the boss
// right is caught by the map check before it can be played.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/stages/stage1/stage1_map_rules.h"
#include "tools/datakit/maps/stage_maps.h"

namespace {

constexpr int kStageCodes[] = {11, 12, 13, 14, 18, 19, 20, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84};

// A 40 x 12 map with a floor, the start at column 2 and every code in the first window, each
// with that upper-layer value (empty for -1).
std::string MapWithEveryCode(int upper) {
  std::string content = "rect 2 0 11 40 1 1\ncell 2 2 5 16\ncell 3 2 6 144\ncell 3 3 1 131\n";
  int k = 0;
  for (int code : kStageCodes) {
    const int column = 4 + k;
    const int row = 2 + k % 7;
    content += "cell 3 " + std::to_string(column) + " " + std::to_string(row) + " " +
               std::to_string(code) + "\n";
    if (upper >= 0) {
      content += "cell 4 " + std::to_string(column) + " " + std::to_string(row) + " " +
                 std::to_string(upper) + "\n";
    }
    ++k;
  }
  return FieldMapDescription(40, 12, 5, content);
}

TEST(Stage1BadMapValues, EveryCodeWithAnEmptyOrFullUpperLayerRunsSafely) {
  for (int upper : {-1, 63}) {
    SCOPED_TRACE(upper);
    FieldFixture field(2);
    field.WriteStageMaps(1, PlainBackgroundDescription(), MapWithEveryCode(upper));
    ASSERT_EQ(field.StartStage(1), 1);
    field.SetShipImmune(true);
    field.digestFrames = false;
    bool waypointSeen = false;
    for (int f = 0; f < 400; ++f) {
      field.Step(f % 8 < 4 ? HeldRole(kButtonShot) : 0);
      for (const EnemyObject& o : EnemyPool1) {
        if (o.state != 0 && o.type == 18) {
          waypointSeen = true;
          EXPECT_EQ(o.variant, upper < 0 ? -1 : 62);
        }
      }
    }
    EXPECT_TRUE(waypointSeen);
  }
}

// Stage 1's map rules catch a route whose waypoints never send the boss right.
TEST(Stage1BadMapValues, TheMapCheckRefusesARouteWithoutCommandNine) {
  const std::string main = FieldMapDescription(
      60, 12, 5,
      "cell 2 2 5 16\ncell 3 2 6 144\ncell 2 8 5 17\ncell 3 8 6 144\n"
      "cell 3 40 5 11\ncell 3 38 5 83\ncell 4 38 5 2\ncell 3 45 8 83\ncell 4 45 8 5\n");
  const std::string background = PlainBackgroundDescription();
  const StageMapDescriptions own{background.c_str(), main.c_str(), main.c_str()};
  OverrideStageMapsForTest(1, &own);
  const std::vector<std::string> problems = CheckStageMaps(Stage1MapRules());
  OverrideStageMapsForTest(1, nullptr);
  EXPECT_THAT(problems, testing::Contains(testing::HasSubstr("no command-9 waypoint")));
}

}  // namespace
