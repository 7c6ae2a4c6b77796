// The scenes that end a stage or a run, headless: the stage bonus, the start stages a clear
// writes, where each play mode goes after a clear, the high score on the first game-over frame,
// the replay and continue questions, the waits and the 6000-frame limit.
#include <gtest/gtest.h>

#include <string>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/result_scenes.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/game_support/scene_driving.h"

namespace {

// The scene begun on its first frame, in a run of this mode and stage.
void Enter(int32_t scene, int16_t mode, int16_t stage) {
  MenuCursors[0] = mode;
  CurrentStage = stage;
  CurrentScene = scene;
  SceneFrame = 0;
}

// Frames until the scene leaves `scene` (at most `limit`); the frames run.
int RunWhileIn(GameDriver& driver, int32_t scene, int limit) {
  int n = 0;
  while (CurrentScene == scene && n < limit) {
    driver.Step();
    ++n;
  }
  return n;
}

TEST(ResultScenes, TheStageBonusIsPaidOnceAndDoubledForTen) {
  struct Case {
    int16_t difficulty, items;
    int32_t bonus;
  };
  const Case cases[] = {{1, 10, 200000}, {1, 9, 90000}, {2, 7, 105000}, {0, 0, 0}};
  GameDriver driver;
  BootToLogo(driver);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.difficulty << " " << c.items);
    Difficulty = c.difficulty;
    StageBonusCount = c.items;
    Score = 1000;
    Enter(kSceneStageClear, 0, 1);
    EXPECT_EQ(StageBonus(), c.bonus);
    driver.Run(5);
    EXPECT_EQ(Score, 1000 + c.bonus);
  }
  // No bonus screen from stage 3 on.
  StageBonusCount = 10;
  Score = 0;
  Enter(kSceneStageClear, 0, 3);
  driver.Step();
  EXPECT_EQ(Score, 0);
}

TEST(ResultScenes, ClearingStages1And2OnNormalWritesTheStartStageAndOpensHard) {
  GameDriver driver;
  BootToLogo(driver);
  Difficulty = 1;
  ASSERT_EQ(StartStages[1], 1);
  Enter(kSceneStageClear, 0, 1);
  driver.Step();
  EXPECT_EQ(driver.folder().ReadFile("Option/start1.dat"), "2\r\n");
  EXPECT_EQ(ResultAssetsLoaded, 1);
  // 900 frames, then the weapon select of stage 2.
  EXPECT_EQ(RunWhileIn(driver, kSceneStageClear, 2000), 900);
  EXPECT_EQ(CurrentScene, kSceneWeaponSelectSetUp);
  EXPECT_EQ(CurrentStage, 2);
  EXPECT_EQ(SceneFrame, 0);
  EXPECT_EQ(ResultAssetsLoaded, 0);

  // Shot cuts the screen short, but only from its frame 121.
  Enter(kSceneStageClear, 0, 2);
  driver.Run(119);
  driver.Step(Pad(kPadShot));  // frame 120
  EXPECT_EQ(SceneFrame, 120);
  driver.Step();
  driver.Step(Pad(kPadShot));  // frame 122
  EXPECT_EQ(SceneFrame, 880);
  EXPECT_EQ(driver.folder().ReadFile("Option/start1.dat"), "3\r\n");
  EXPECT_EQ(RunWhileIn(driver, kSceneStageClear, 100), 21);
  EXPECT_EQ(CurrentScene, kSceneStageStart);  // stage 3 comes without a weapon select
  EXPECT_EQ(CurrentStage, 3);
  EXPECT_EQ(StartStages[1], 3);

  // From stage 3 on: two frames, nothing written.
  Enter(kSceneStageClear, 0, 3);
  EXPECT_EQ(RunWhileIn(driver, kSceneStageClear, 10), 3);
  EXPECT_EQ(CurrentStage, 4);
  EXPECT_EQ(driver.folder().ReadFile("Option/start1.dat"), "3\r\n");

  // HARD is offered now: up from NORMAL, past EASY, to the third row.
  OpenTitleMenu(driver, 0);
  PressPad(driver, kPadShot);
  ASSERT_EQ(MenuCursors[1], 1);
  PressPad(driver, kPadUp, 2);
  EXPECT_EQ(MenuCursors[1], 2);
}

TEST(ResultScenes, WhereEachPlayModeGoesAfterAClear) {
  struct Case {
    const char* name;
    int16_t mode, stage;
    bool demo;
    int32_t next;
  };
  const Case cases[] = {
      {"practice", 2, 1, false, kSceneGameEnd},
      {"practice on stage 3", 2, 3, false, kSceneGameEnd},
      {"playback after stage 1", 1, 1, false, kSceneWeaponSelectSetUp},
      {"playback after stage 2", 1, 2, false, kSceneGameEnd},
      {"the demo after stage 1", 1, 1, true, kSceneWeaponSelectSetUp},
      {"the demo after stage 2", 1, 2, true, kSceneGameEnd},
  };
  GameDriver driver;
  BootToLogo(driver);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DemoPlaying = c.demo;
    DemoSavedDifficulty = 0;
    Difficulty = c.demo ? 2 : 1;
    Enter(kSceneStageClear, c.mode, c.stage);
    RunWhileIn(driver, kSceneStageClear, 130);
    if (CurrentScene == kSceneStageClear) driver.Step(Pad(kPadShot));
    RunWhileIn(driver, kSceneStageClear, 100);
    EXPECT_EQ(CurrentScene, c.next);
    EXPECT_EQ(Difficulty, c.demo && c.next == kSceneGameEnd ? 0 : c.demo ? 2 : 1);
    EXPECT_EQ(StartStages[1], 1);  // only normal play writes start stages
    // The game end waits 120 frames, then Shot leads to the logo.
    if (c.next != kSceneGameEnd) continue;
    driver.Run(100);
    driver.Step(Pad(kPadShot));
    EXPECT_EQ(CurrentScene, kSceneGameEnd);
    driver.Run(30);
    driver.Step(Pad(kPadShot));
    EXPECT_EQ(CurrentScene, kSceneLogoSetUp);
    driver.Step();
    EXPECT_EQ(CurrentScene, kSceneLogo);
  }
  DemoPlaying = 0;
}

TEST(ResultScenes, TheHighScoreIsWrittenOnTheFirstGameOverFrame) {
  struct Case {
    int16_t mode;
    int32_t score;
    bool written;
  };
  const Case cases[] = {{0, 500, true}, {0, 100, false}, {1, 500, false}, {2, 500, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode << " " << c.score);
    GameDriver driver;
    BootToLogo(driver);
    Difficulty = 1;
    HighScores[1] = 100;
    Score = c.score;
    Enter(kSceneGameOver, c.mode, 2);
    driver.Step();
    EXPECT_EQ(driver.folder().Exists("Option/score_normal.dat"), c.written);
    if (c.written) { EXPECT_EQ(driver.folder().ReadFile("Option/score_normal.dat"), "500\r\n"); }
    EXPECT_EQ(HighScores[1], c.mode == 0 ? std::max(c.score, 100) : 100);
  }
}

// A first game over: after 120 frames the replay question (cursor on NO from the stage start),
// then the continue question with YES selected; YES plays the same stage again.
TEST(ResultScenes, TheReplayQuestionThenTheContinueQuestion) {
  GameDriver driver;
  BootToLogo(driver);
  Difficulty = 1;
  Credits = 9;
  Score = 12345;
  Lives = 0;
  YesNoCursor = 1;
  Enter(kSceneGameOver, 0, 2);
  driver.Run(100);
  driver.Step(Pad(kPadShot));  // frame 101: not yet
  driver.Step(Pad(kPadUp));    // frame 102: not yet
  EXPECT_EQ(YesNoCursor, 1);
  driver.Run(20);
  PressPad(driver, kPadUp);
  EXPECT_EQ(YesNoCursor, 0);
  EXPECT_EQ(CurrentScene, kSceneGameOver);
  driver.Step(Pad(kPadShot));
  EXPECT_EQ(driver.folder().ReadFile("replay/normal/normal_000012345.rpy").size(), 512000u);
  EXPECT_EQ(CurrentScene, kSceneContinue);
  EXPECT_EQ(SceneFrame, 120);
  EXPECT_EQ(YesNoCursor, 0);
  driver.Step();
  driver.Step(Pad(kPadShot));  // live at once
  EXPECT_EQ(CurrentScene, kSceneWeaponSelectSetUp);
  EXPECT_EQ(Credits, 8);
  EXPECT_EQ(CurrentStage, 2);
  EXPECT_EQ(Score, 0);
  EXPECT_EQ(Lives, 3);
  EXPECT_EQ(SceneFrame, 0);

  // The next game over asks no replay question: after 900 frames, or Shot, it asks to
  // continue; NO goes to the logo.
  Score = 777;
  Enter(kSceneGameOver, 0, 2);
  EXPECT_EQ(RunWhileIn(driver, kSceneGameOver, 1000), 901);
  EXPECT_EQ(CurrentScene, kSceneContinue);
  PressPad(driver, kPadDown);
  EXPECT_EQ(YesNoCursor, 1);
  driver.Step(Pad(kPadShot));
  EXPECT_EQ(CurrentScene, kSceneLogoSetUp);
  EXPECT_FALSE(driver.folder().Exists("replay/normal/normal_000000777.rpy"));
}

TEST(ResultScenes, WhereTheClosingScenesHandOver) {
  struct Case {
    const char* name;
    int32_t scene;
    int16_t mode, credits;
    bool demo;
    int32_t next;  // after Shot on frame 130
  };
  const Case cases[] = {
      {"game over, replay answered NO", kSceneGameOver, 0, 9, false, kSceneContinue},
      {"the end screen after the replay question", kSceneEndScreen, 0, 9, false, kSceneLogoSetUp},
      {"game over with a continue used", kSceneGameOver, 0, 8, false, kSceneContinue},
      {"game over with no credits left", kSceneGameOver, 0, 0, false, kSceneLogoSetUp},
      {"a replay's game over", kSceneGameOver, 1, 9, false, kSceneLogoSetUp},
      {"the demo's game over", kSceneGameOver, 1, 9, true, kSceneLogoSetUp},
  };
  GameDriver driver;
  BootToLogo(driver);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Credits = c.credits;
    YesNoCursor = 1;
    DemoPlaying = c.demo;
    DemoSavedDifficulty = 3;
    Difficulty = c.demo ? 2 : 1;
    Enter(c.scene, c.mode, 1);
    driver.Run(129);
    driver.Step(Pad(kPadShot));
    EXPECT_EQ(CurrentScene, c.next);
    EXPECT_EQ(SceneFrame, c.next == kSceneContinue ? 120 : 0);
    EXPECT_EQ(Difficulty, c.demo ? 3 : 1);
  }
  DemoPlaying = 0;
}

TEST(ResultScenes, AnyClosingSceneEndsAfter6000Frames) {
  GameDriver driver;
  driver.digestFrames = false;
  BootToLogo(driver);
  for (int32_t scene : {kSceneContinue, kSceneGameEnd, kSceneGameOver, kSceneEndScreen}) {
    SCOPED_TRACE(scene);
    Credits = 9;  // the questions wait for an answer
    Enter(scene, 0, 1);
    driver.Step();
    SceneFrame = 5900;
    EXPECT_EQ(RunWhileIn(driver, scene, 200), 101);
    EXPECT_EQ(CurrentScene, kSceneLogoSetUp);
    EXPECT_EQ(SceneFrame, 0);
  }
}

}  // namespace
