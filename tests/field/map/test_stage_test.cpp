// The test stage that every stage without maps of its own plays: it loads on every stage and
// difficulty, its start view lies inside the map, its terrain holds every slope kind, and the
// scroll commands sit where the stage's flight needs them.
#include <set>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/support/log_capture.h"
#include "tools/lib/test_stage_maps.h"

namespace {

// The event code (lower layer) of a cell.
int EventCode(int row, int column) { return EventLayer[row][column] % 1000; }

TEST(TestStageTest, LoadsOnEveryStageWithItsMarkersAndCommands) {
  for (int difficulty : {0, 3}) {
    FieldFixture field(difficulty);
    WriteTestStageMaps(field.folder().path(), {1, 2, 3, 4, 5, 6, 7});
    for (int stage = 1; stage <= 7; ++stage) {
      SCOPED_TRACE(testing::Message() << "stage " << stage << " difficulty " << difficulty);
      CheckpointIndex = 0;
      LogCapture log;
      ASSERT_EQ(field.StartStage(stage), 1);
      EXPECT_EQ(log.Contents(), "");
      EXPECT_EQ(MapWidth, 160);
      EXPECT_EQ(MapHeight, stage == 2 || stage == 5 ? 40 : 30);
      EXPECT_EQ(BackMapWidth, 24);
      EXPECT_EQ(BackMapHeight, 5);
      EXPECT_EQ(CheckpointCount, 3);

      // The start view lies inside the map, the ship in the open.
      EXPECT_EQ(PlayerX, 6 * 40 + 20);
      EXPECT_EQ(PlayerY, 12 * 40 + 20);
      EXPECT_GE(CameraX, 0);
      EXPECT_LE(ViewRight, MapWidth * 40);
      EXPECT_GE(ViewTop, 0);
      EXPECT_LE(ViewBottom, 30 * 40);
      EXPECT_EQ(CollisionLayer[12][6], -1);

      // The scroll set-up under each marker: right, right, down.
      EXPECT_EQ(EventCode(CheckpointRow[0] + 1, CheckpointColumn[0]), 144);
      EXPECT_EQ(EventCode(CheckpointRow[1] + 1, CheckpointColumn[1]), 144);
      EXPECT_EQ(EventCode(CheckpointRow[2] + 1, CheckpointColumn[2]), 148);
    }
  }
}

TEST(TestStageTest, TheTerrainHoldsEverySlopeKindBesideAnOpenPath) {
  FieldFixture field;
  WriteTestStageMaps(field.folder().path(), {3});
  ASSERT_EQ(field.StartStage(3), 1);
  std::set<int> types;
  for (int r = 0; r < MapHeight; ++r) {
    for (int c = 0; c < MapWidth; ++c) types.insert(CollisionLayer[r][c]);
  }
  for (int t : {2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,  15,  18,  19,
                20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 44,  45,  46,  47,
                60, 61, 62, 63, 76, 77, 78, 79, 92, 93, 94, 95, 108, 109, 110, 111}) {
    EXPECT_TRUE(types.count(t)) << t;
  }
  // The path: the first stretch's rows, the shaft, the last stretch's rows are open.
  for (int c = 0; c < 90; ++c) {
    for (int r = 8; r <= 16; ++r) ASSERT_EQ(CollisionLayer[r][c], -1) << r << " " << c;
  }
  for (int r = 8; r <= 28; ++r) {
    for (int c = 60; c < 90; ++c) ASSERT_EQ(CollisionLayer[r][c], -1) << r << " " << c;
  }
  for (int r = 19; r <= 28; ++r) {
    for (int c = 60; c < 160; ++c) ASSERT_EQ(CollisionLayer[r][c], -1) << r << " " << c;
  }
  // Speed commands along the way.
  int speeds = 0;
  for (int r = 0; r < MapHeight; ++r) {
    for (int c = 0; c < MapWidth; ++c) speeds += EventCode(r, c) >= 129 && EventCode(r, c) <= 143;
  }
  EXPECT_GE(speeds, 5);
}

TEST(TestStageTest, TheShipFliesTheFirstStretchInsideTheMap) {
  FieldFixture field;
  WriteTestStageMaps(field.folder().path(), {2});
  ASSERT_EQ(field.StartStage(2), 1);
  // Until the map spawner reads the commands, the test sets the first stretch's speed.
  ScrollAngle = 0;
  ScrollSpeed = ScrollTargetSpeed = 2;
  field.Run(80 + 1000, [](int frame) {
    return frame % 200 < 100 ? HeldRole(kButtonUp) : HeldRole(kButtonDown);
  });
  EXPECT_EQ(CameraX, 100 + 2 * 1000);
  EXPECT_GE(PlayerY, ViewTop + 20);
  EXPECT_LE(PlayerY, ViewBottom - 20);
  EXPECT_EQ(CheckpointIndex, 1);  // checkpoint 1 at column 40 was passed on the way
}

}  // namespace
