// The refusal log of bad map values met in play: one line per kind per stage load, the value in
// it; a stage load forgets what was told.
#include <string>

#include <gtest/gtest.h>

#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/play_field.h"
#include "tests/game_support/field_fixture.h"
#include "tests/support/log_capture.h"
#include "tools/lib/test_stage_maps.h"

namespace {

int CountLines(const std::string& log, const std::string& text) {
  int n = 0;
  for (const std::string& line : SplitLogLines(log))
    if (line.find(text) != std::string::npos) ++n;
  return n;
}

TEST(MapRefusals, EachKindIsToldOncePerStageLoad) {
  FieldFixture field;
  WriteTestStageMaps(field.folder().path(), {1});
  LogCapture log;
  ForgetRefusedMapValues();

  LogRefusedMapValue("stage 1 waypoint variant", 62);
  LogRefusedMapValue("stage 1 waypoint variant", 10);
  LogRefusedMapValue("stage 2 pod variant", -1);
  std::string text = log.Contents();
  EXPECT_EQ(CountLines(text, "stage 1 waypoint variant"), 1) << text;
  EXPECT_EQ(CountLines(text, "マップの値 62 を使いません"), 1) << text;
  EXPECT_EQ(CountLines(text, "stage 2 pod variant"), 1) << text;
  EXPECT_EQ(CountLines(text, "-1"), 1) << text;

  // The next stage load tells it again, once.
  ASSERT_EQ(LoadStageMaps(1), 1);
  LogRefusedMapValue("stage 1 waypoint variant", 10);
  LogRefusedMapValue("stage 1 waypoint variant", 11);
  text = log.Contents();
  EXPECT_EQ(CountLines(text, "stage 1 waypoint variant"), 2) << text;
  EXPECT_EQ(CountLines(text, "マップの値 10 を使いません"), 1) << text;
}

}  // namespace
