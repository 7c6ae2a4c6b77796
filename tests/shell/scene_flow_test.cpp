// The scene machine driven through whole frames: boot, the quit and back-to-title test, the
// play scene with pause and the stage-clear and game-over counts.
#include <gtest/gtest.h>

#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"

namespace {

TEST(SceneFlow, BootGoesThroughTheLogoSetUpToTheLogo) {
  GameDriver driver;
  ASSERT_EQ(driver.Start(), 0);
  EXPECT_EQ(CurrentScene, 0);
  driver.Run(3);
  EXPECT_EQ(driver.scenes(), (std::vector<int32_t>{2000, 2001, 2001}));
}

}  // namespace
