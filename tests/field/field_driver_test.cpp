// The field run by the game itself through the headless driver: stage 2 of the test stage
// started by the scene machine, the ship flown by pad input, the same digests on two runs.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
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

FieldRun RunStageTwo() {
  GameDriver driver;
  EXPECT_EQ(driver.Start(), 0);
  driver.Run(2);
  // The stage start the title menu would lead to, on stage 2 of a normal game.
  ResetRunState();
  MenuCursors[0] = 0;
  CurrentStage = 2;
  CurrentScene = kSceneStageStart;
  driver.Run(80 + 300, [](int frame) {
    FrameInput input;
    if (frame >= 100) input.padBits = frame % 120 < 60 ? kPadUp | kPadRight : kPadDown;
    return input;
  });
  FieldRun run{driver.digests(), PlayerX, PlayerY, CameraX, driver.LogText()};
  EXPECT_EQ(CurrentScene, kScenePlay);
  return run;
}

TEST(FieldDriverTest, StageTwoOfTheTestStageFliesTheSameTwice) {
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

}  // namespace
