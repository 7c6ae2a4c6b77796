// A run started from the title at a checkpoint of the test stage: its first play frame is at
// the chosen marker, as the stage start restarts there after a continue (no opening count, the
// window filled around the marker), and a checkpoint the map does not have is refused.
#include <string>

#include <gtest/gtest.h>

#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/end_to_end/session_script.h"

namespace {

// The test stage's markers: the start at column 6, row 12; checkpoint 1 at column 40, row 12
// in the first stretch; checkpoint 2 at column 72, row 20 in the shaft. 40-pixel tiles: the ship
// at the marker's centre, the camera's left edge 160 pixels behind it and the view's top 200
// above. The first play frame then scrolls by the speed command near the marker, right at 2 in
// the stretch and down at 1 in the shaft, carrying the ship along; at the start it only counts
// down (GameFrame from -80).
struct CheckpointCase {
  int16_t checkpoint;
  double markerX, markerY;
  double scrollX, scrollY;  // the first play frame's
  int32_t gameFrame;        // after the first play frame
};

TEST(CheckpointStart, TheStagesFirstPlayFrameIsAtTheChosenCheckpoint) {
  const SessionOnTestStage testStage;
  const CheckpointCase cases[] = {
      {0, 260, 500, 0, 0, -79},
      {1, 1620, 500, 2, 0, 1},
      {2, 2900, 820, 0, 1, 1},
  };
  for (const CheckpointCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "checkpoint " << c.checkpoint);
    GameDriver driver(SessionOptions(false));
    ASSERT_EQ(driver.Start(), 0);
    driver.Run(2);
    ASSERT_TRUE(driver.StartGame({0, 1, kSessionStage, c.checkpoint}));
    EXPECT_EQ(CurrentScene, kScenePlay);
    EXPECT_EQ(CheckpointIndex, c.checkpoint);
    EXPECT_EQ(GameFrame, c.gameFrame);
    EXPECT_EQ(PlayerActive, 1);
    EXPECT_EQ(PlayerX, c.markerX + c.scrollX);
    EXPECT_EQ(PlayerY, c.markerY + c.scrollY);
    EXPECT_EQ(CameraX, c.markerX - 160 + c.scrollX);
    EXPECT_EQ(ViewTop, c.markerY - 200 + c.scrollY);
  }
}

TEST(CheckpointStart, ACheckpointTheMapDoesNotHaveIsRefused) {
  const SessionOnTestStage testStage;
  GameDriver driver(SessionOptions(false));
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  const GameStartChoice choice = {0, 1, kSessionStage, 3};
  EXPECT_FALSE(driver.StartGame(choice));
  EXPECT_NE(CurrentScene, kScenePlay);
  EXPECT_EQ(CheckpointCount, 3);
  EXPECT_EQ(DescribeFailedStart(choice), "stage 2 has no checkpoint 3 (it has 0 to 2)");
  // A negative one never starts a run.
  EXPECT_FALSE(StartRunFromTitle({0, 1, kSessionStage, -1}, [&](int) { return driver.Step(); }));
}

}  // namespace
