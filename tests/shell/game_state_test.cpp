// The game state's reset: after a session that touched every area, the reset gives the digest
// of program start again, member for member.
#include <gtest/gtest.h>

#include "stg_src/game_state.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"

namespace {

TEST(GameState, TheResetGivesProgramStartAgain) {
  ResetGameState();
  const uint64_t atStart = DigestGameState(DigestScope::All).value;
  {
    GameDriver driver;
    ASSERT_EQ(driver.Start(), 0);
    driver.Run(2);
    driver.folder().WriteFile("replay/normal/a.rpy", "x");
    ListReplayFiles(1);
    CurrentScene = kSceneTitleVisit;
    driver.Step();
    StartPlay();
    driver.Step();
    CurrentScene = kSceneStageStart;
    driver.Run(30, [](int f) { return FrameInput{{44, 25}, f % 2 ? 0x6u : 0x31u}; });
    ASSERT_EQ(CurrentScene, kScenePlay);
    EXPECT_NE(DigestGameState(DigestScope::All).value, atStart);
  }
  ResetGameState();
  EXPECT_EQ(DigestGameState(DigestScope::All).value, atStart);
}

}  // namespace
