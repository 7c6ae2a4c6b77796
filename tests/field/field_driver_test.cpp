// The field run by the game itself through the headless driver: stage 2 of the test stage
// started by the scene machine, the ship flown by pad input, the same digests on two runs, and
// the whole map scrolled to its end by its own commands.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/end_to_end/session_script.h"
#include "tests/game_support/game_driver.h"

namespace {

constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadUp = 1u << 3;
constexpr uint32_t kPadRight = 1u << 2;

struct FieldRun {
  std::vector<uint64_t> digests;
  double shipX, shipY, cameraX;
  std::string log;
};

// The stage start the title menu would lead to, on stage 2 of a normal game.
void StartStageTwo(GameDriver& driver) {
  EXPECT_EQ(driver.Start(), 0);
  driver.Run(2);
  ResetRunState();
  MenuCursors[0] = 0;
  CurrentStage = 2;
  CurrentScene = kSceneStageStart;
}

FrameInput Weave(int frame) {
  FrameInput input;
  if (frame >= 100) input.padBits = frame % 120 < 60 ? kPadUp | kPadRight : kPadDown;
  return input;
}

FieldRun RunStageTwo() {
  GameDriver driver;
  StartStageTwo(driver);
  driver.Run(80 + 300, Weave);
  FieldRun run{driver.digests(), PlayerX, PlayerY, CameraX, driver.LogText()};
  EXPECT_EQ(CurrentScene, kScenePlay);
  return run;
}

TEST(FieldDriverTest, StageTwoOfTheTestStageFliesTheSameTwice) {
  const SessionOnTestStage testStage;  // the test stage, not stage 2's own maps
  const FieldRun a = RunStageTwo();
  const FieldRun b = RunStageTwo();
  ASSERT_FALSE(a.digests.empty());
  EXPECT_EQ(a.digests, b.digests);
  EXPECT_EQ(a.log.find("FMFマップ"), std::string::npos) << a.log;
  // The opening count, then the scroll and the ship's own motion.
  EXPECT_GT(a.cameraX, 100 + 250);
  EXPECT_NE(a.shipY, 12 * 40 + 20);
  EXPECT_GT(a.shipX - a.cameraX, 160);
}

// Until the camera stands at the map's end; the ship (immune here: the weave is not steered
// round the terrain) keeps weaving. Right, down the shaft, right again at the last speed command.
TEST(FieldDriverTest, StageTwoOfTheTestStageScrollsToTheMapsEndByItsCommands) {
  const SessionOnTestStage testStage;  // the test stage, not stage 2's own maps
  GameDriver::Options options;
  options.fast = true;
  options.immuneShip = true;
  GameDriver driver(options);
  driver.digestFrames = false;
  StartStageTwo(driver);
  int frames = 0;
  double deepestViewTop = 0;
  for (; frames < 12000; ++frames) {
    if (CurrentScene == kScenePlay && GameFrame > 0 && CameraX == MapWidth * 40 - 640 &&
        ScrollDeltaX == 0) {
      break;
    }
    driver.Step(Weave(frames));
    if (CurrentScene == kScenePlay) deepestViewTop = std::max(deepestViewTop, ViewTop);
  }
  EXPECT_LT(frames, 12000);
  EXPECT_EQ(CurrentScene, kScenePlay);
  EXPECT_EQ(MapWidth, 160);
  EXPECT_GE(deepestViewTop, 18 * 40);  // the view's top went past row 18 in the shaft
  EXPECT_EQ(ScrollAngle, 0);
  EXPECT_EQ(ScrollTargetSpeed, 0.5);
  // It stays at the end.
  driver.Run(30);
  EXPECT_EQ(CameraX, MapWidth * 40 - 640);
  EXPECT_EQ(driver.LogText().find("FMFマップ"), std::string::npos) << driver.LogText();
}

}  // namespace
