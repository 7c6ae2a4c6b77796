// With no life left the game-over scenes offer the continue: YES brings the stage back after the
// weapon select with one credit spent, NO leads back to the title.
#include <functional>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/end_to_end/session_script.h"

namespace {

constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadShot = 1u << 4;

// Presses (held one frame, let go the next) until done() or the frames run out; false then.
bool PressUntil(GameDriver& driver, uint32_t pad, const std::function<bool()>& done,
                int frames = 600) {
  for (int i = 0; i < frames && driver.running(); ++i) {
    if (done()) return true;
    driver.Step(FrameInput{{}, i % 2 == 0 ? pad : 0u});
  }
  return done();
}

// The session played to its game over, or a run of stage 2 with one life dived into the floor.
void PlayToTheGameOver(GameDriver& driver, bool wholeSession) {
  ASSERT_TRUE(StartSession(driver));
  if (!wholeSession) Lives = 1;
  for (int i = 0; i < kSessionFrames && CurrentScene == kScenePlay; ++i)
    driver.Step(wholeSession ? SessionInput(i) : FrameInput{{}, i >= 80 ? kPadDown : 0u});
  ASSERT_EQ(CurrentScene, kSceneGameOver);
  EXPECT_EQ(Lives, 0);
  EXPECT_EQ(Credits, 9);
}

// Through the replay question (NO: no file) to the continue, YES selected.
void ReachTheContinue(GameDriver& driver) {
  ASSERT_TRUE(PressUntil(driver, kPadDown, [] { return YesNoCursor == 1; }));
  ASSERT_TRUE(PressUntil(driver, kPadShot, [] { return CurrentScene == kSceneContinue; }));
  EXPECT_EQ(YesNoCursor, 0);
}

TEST(Continue, YesBringsTheStageBackAfterTheWeaponSelect) {
  const SessionOnTestStage testStage;
  GameDriver driver(SessionOptions(true));
  driver.digestFrames = false;
  ASSERT_NO_FATAL_FAILURE(PlayToTheGameOver(driver, true));
  ASSERT_NO_FATAL_FAILURE(ReachTheContinue(driver));
  bool weaponSelect = false;
  ASSERT_TRUE(PressUntil(driver, kPadShot, [&] {
    weaponSelect |= CurrentScene == kSceneWeaponSelect;
    return CurrentScene == kScenePlay;
  }));
  EXPECT_TRUE(weaponSelect);
  EXPECT_EQ(CurrentStage, kSessionStage);
  EXPECT_EQ(Credits, 8);
  EXPECT_EQ(Lives, 3);
  EXPECT_EQ(Score, 0);
  EXPECT_EQ(GameFrame, -80);  // the stage started again, its opening count to run
}

TEST(Continue, NoLeadsBackToTheTitle) {
  const SessionOnTestStage testStage;
  GameDriver driver(SessionOptions(true));
  driver.digestFrames = false;
  ASSERT_NO_FATAL_FAILURE(PlayToTheGameOver(driver, false));
  ASSERT_NO_FATAL_FAILURE(ReachTheContinue(driver));
  ASSERT_TRUE(PressUntil(driver, kPadDown, [] { return YesNoCursor == 1; }));
  ASSERT_TRUE(PressUntil(driver, kPadShot, [] { return CurrentScene != kSceneContinue; }));
  // The logo, then the title.
  ASSERT_TRUE(PressUntil(driver, 0, [] { return CurrentScene == kSceneTitleIntro; }));
  EXPECT_EQ(Credits, 9);
}

}  // namespace
