// The scene machine driven through whole frames: boot and the title visit, the quit and
// back-to-title test, start-up and exit, the play scene (pause, fast-forward, stage clear and
// game over), and the frame pacing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "port/gdi/window_output.h"
#include "port/kernel/winmm.h"
#include "port/user/user32.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/window_state.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/support/child_process.h"

namespace {

constexpr int kKeyEscape = 1;
constexpr int kKeyR = 19;  // BackToTitle
constexpr int kKeyQ = 16;  // Pause
constexpr int kKeyP = 25;  // ScreenShot
constexpr uint32_t kPadRight = 1u << 2;
constexpr uint32_t kPadShot = 1u << 4;

void Boot(GameDriver& driver) {
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  ASSERT_EQ(CurrentScene, kSceneLogo);
}

// The colour the window shows in the middle of its client area.
uint32_t WindowCentre() {
  std::vector<uint32_t> pixels(640 * 480);
  EXPECT_TRUE(PortReadWindowPixels(WindowState.mainWindow, 640, 480, pixels.data()));
  return pixels[240 * 640 + 320] & 0xFFFFFF;
}

void EnterPlay(int16_t stage = 2) {
  MenuCursors[0] = 0;
  CurrentScene = kScenePlay;
  CurrentStage = stage;
  GameFrame = 0;
  Lives = 3;
}

TEST(SceneFlow, BootGoesThroughTheLogoSetUpToTheLogo) {
  GameDriver driver;
  ASSERT_EQ(driver.Start(), 0);
  EXPECT_EQ(CurrentScene, kSceneBoot);
  // What the boot initialisation must overwrite, member by member.
  MainWeaponLevels[3] = 5;
  SubWeaponUnlocked[5] = 1;
  PlayerHitCircles.dy[2] = 9;
  Score = 77;
  StageUnlockId = 14;
  driver.Run(3);
  EXPECT_EQ(driver.scenes(), (std::vector<int32_t>{kSceneLogoSetUp, kSceneLogo, kSceneLogo}));
  EXPECT_EQ(SineTable[0], 0.0);
  EXPECT_NEAR(SineTable[128], 0.70710678118, 1e-9);
  EXPECT_EQ(CosineTable[768], 0.0);
  EXPECT_EQ(MainWeaponLevels[3], 0);
  EXPECT_EQ(SubWeaponUnlocked[5], 0);
  EXPECT_EQ(PlayerHitCircles.dy[2], 0);
  EXPECT_EQ(Score, 0);
  EXPECT_EQ(StageUnlockId, 0);
  EXPECT_EQ(Difficulty, 1);
  EXPECT_EQ(DemoSavedDifficulty, 1);
  EXPECT_EQ(PracticeStage, 1);
  // The boot leaves no set loaded; the logo set-up then loads set 0 without starting a slot.
  EXPECT_EQ(CurrentMusicSet, 0);
  EXPECT_EQ(CurrentMusicSlot, -1);
  EXPECT_EQ(std::vector<int32_t>(ButtonPadBits, ButtonPadBits + 4),
            (std::vector<int32_t>{1, 3, 2, 0}));
  EXPECT_EQ(std::vector<int32_t>(ScoreTable[3], ScoreTable[3] + 4),
            (std::vector<int32_t>{10000, 40000, 20000, 600000}));
  EXPECT_EQ(ScoreTable[0][3], 150000);
  EXPECT_EQ(GetPlayMode(), 0);
  // The game switches the runtime's log off; the driver switches it back on after start-up,
  // so the boot's reading of the (missing) option files shows there.
  EXPECT_NE(driver.LogText().find("Option/volumese.dat is missing"), std::string::npos);
}

TEST(SceneFlow, ATitleVisitStartsTheIntroWithANewGame) {
  GameDriver driver;
  Boot(driver);
  DemoPlaying = 1;
  MenuPage = 5;
  MainWeaponUnlocked[3] = 1;
  MainWeaponLevels[0] = 8;
  Score = 500;
  Lives = 0;
  CurrentScene = kSceneTitleVisit;
  driver.Step();
  EXPECT_EQ(CurrentScene, kSceneTitleIntro);
  EXPECT_EQ(SceneFrame, 1);
  EXPECT_EQ(Credits, 9);
  EXPECT_EQ(DemoPlaying, 0);
  EXPECT_EQ(MenuPage, 0);
  EXPECT_EQ(ScreenFlashWhite, 255);
  EXPECT_EQ(std::vector<uint8_t>(MainWeaponUnlocked, MainWeaponUnlocked + 4),
            (std::vector<uint8_t>{1, 1, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(SubWeaponUnlocked, SubWeaponUnlocked + 6),
            (std::vector<uint8_t>{1, 1, 1, 1, 0, 0}));
  EXPECT_EQ(std::vector<uint8_t>(ChargeWeaponUnlocked, ChargeWeaponUnlocked + 3),
            (std::vector<uint8_t>{1, 1, 0}));
  EXPECT_EQ(MainWeaponLevels[0], 0);
  EXPECT_EQ(Score, 0);
  EXPECT_EQ(Lives, 3);
  EXPECT_EQ(SelectedSubWeapons[1], 1);
  EXPECT_EQ(std::vector<int16_t>(PlayerHitCircles.size, PlayerHitCircles.size + 3),
            (std::vector<int16_t>{6, 3, 3}));
  EXPECT_EQ(std::vector<int16_t>(PlayerHitCircles.dx, PlayerHitCircles.dx + 3),
            (std::vector<int16_t>{0, 9, -9}));
}

TEST(SceneFlow, EscAndAClosedWindowEndThroughTheExitSequence) {
  struct Case {
    const char* name;
    int32_t scene;
    FrameInput held;
    bool close;
  };
  const Case cases[] = {
      {"Esc on the logo", kSceneLogo, {{kKeyEscape}}, false},
      {"Esc on the title menu", kSceneTitleMenu, {{kKeyEscape}}, false},
      {"Esc in play", kScenePlay, {{kKeyEscape}}, false},
      {"the quit request", kSceneQuit, {}, false},
      {"the window closed", kSceneTitleMenu, {}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameDriver driver;
    Boot(driver);
    if (c.scene == kScenePlay) EnterPlay();
    CurrentScene = c.scene;
    ScreenshotCounter = 12;
    if (c.close) driver.CloseWindow();
    EXPECT_FALSE(driver.Step(c.held));
    EXPECT_FALSE(driver.running());
    EXPECT_EQ(gSystemState.initialised, 0);
    EXPECT_EQ(driver.folder().ReadFile("Option/savess.dat"), "12\r\n");
    EXPECT_FALSE(EndedOnStageLoadFailure());  // a quit the player chose is no failure
  }
}

// A stage whose map is gone: the game quits through the exit sequence as the quit request does,
// but the player reads why on standard error and the program's end counts as a failure.
TEST(SceneFlow, AStageThatCannotLoadEndsTheGameAndSaysWhy) {
  GameDriver driver;
  Boot(driver);
  std::remove((driver.folder().path() + "/data/map/stage1_1/map1e.fmf").c_str());
  MenuCursors[0] = 0;
  Difficulty = 1;
  CurrentStage = 1;
  CurrentScene = kSceneStageStart;
  const std::string here = std::filesystem::current_path().string();
  testing::internal::CaptureStderr();
  EXPECT_FALSE(driver.Step());
  const std::string lines = testing::internal::GetCapturedStderr();
  EXPECT_NE(lines.find("KELVANOR: could not read " + here +
                       "/data/map/stage1_1/map1e.fmf (No such file or directory); the stage "
                       "cannot start, so the game ends\n"),
            std::string::npos)
      << lines;
  EXPECT_TRUE(EndedOnStageLoadFailure());
  EXPECT_EQ(gSystemState.initialised, 0);
}

TEST(SceneFlow, BackToTitle) {
  struct Case {
    int32_t scene;
    FrameInput held;
    bool request;    // ReturnToTitleRequest instead of the key
    int32_t after;   // the scene after the frame
    bool presented;  // the frame reached EndFrame
  };
  const Case cases[] = {
      {kSceneLogo, {{kKeyR}}, false, kSceneLogo, false},
      {kSceneTitleIntro, {{kKeyR}}, false, kSceneTitleIntro, false},
      {kSceneTitleMenu, {{kKeyR}}, false, kSceneTitleMenu, false},
      {kSceneTitleMenu, {{kKeyR, kKeyEscape}}, false, kSceneTitleMenu, false},  // Esc waits
      {kScenePlay, {{kKeyR}}, false, kSceneTitleVisit, true},
      {kScenePlay, {}, true, kSceneTitleVisit, true},
      {kSceneWeaponSelect, {{kKeyR}}, false, kSceneTitleVisit, true},
      {kSceneStageClear, {{kKeyR}}, false, kSceneTitleVisit, true},
      {kSceneGameOver, {{kKeyR}}, false, kSceneTitleVisit, true},
  };
  GameDriver driver;
  Boot(driver);
  const std::string shot = "ScreenShots/SS0000.bmp";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scene);
    if (c.scene == kScenePlay) EnterPlay();
    CurrentScene = c.scene;
    driver.Step();  // nothing held between cases: a black frame shown
    CurrentScene = c.scene;
    ReturnToTitleRequest = c.request;
    FpsFrameCount = 0;
    FpsLastTime = GetNowMilliseconds();
    ScreenshotCounter = 0;
    // The frame cleared to a colour of its own, with the screenshot key pressed too.
    FrameInput held = c.held;
    held.keys.insert(kKeyP);
    BackgroundColor = {30, 60, 90};
    ASSERT_TRUE(driver.Step(held));
    BackgroundColor = {0, 0, 0};
    EXPECT_EQ(CurrentScene, c.after);
    EXPECT_EQ(FpsFrameCount, c.presented ? 1 : 0);
    EXPECT_EQ(WindowCentre(), c.presented ? 0x1E3C5Au : 0u);
    EXPECT_EQ(driver.folder().Exists(shot), c.presented);
    EXPECT_EQ(ReturnToTitleRequest, 0);
    std::remove((driver.folder().path() + "/" + shot).c_str());
  }
}

TEST(SceneFlow, StartUpFailureAndTheFullScreenQuestion) {
  {
    PortSetDesktopColorBits(24);  // the library refuses a 24-bit desktop
    GameDriver driver;
    EXPECT_EQ(driver.Start(), -1);
    EXPECT_FALSE(driver.Step());
    PortSetDesktopColorBits(0);
  }
  {
    GameDriver driver;
    ASSERT_EQ(driver.Start(), 0);  // answered No
    EXPECT_EQ(WindowState.windowModeFlag, 1);
    EXPECT_EQ(WindowState.sizableFlag, 1);
  }
  // In a process of its own (the window settings outlive a run), and with no game of ours
  // running (the library refuses a second instance).
  EXPECT_EQ(RunTestInChild("SceneFlow.DISABLED_AnsweringYes"), 0);
}

TEST(SceneFlow, DISABLED_AnsweringYes) {
  if (!IsChildRunOf("SceneFlow.DISABLED_AnsweringYes")) GTEST_SKIP();
  GameDriver::Options options;
  options.messageBoxAnswer = IDYES;
  GameDriver driver(options);
  ASSERT_EQ(driver.Start(), 0);
  EXPECT_EQ(WindowState.sizableFlag, 0);
}

TEST(SceneFlow, PauseHoldsThePlayButStillDraws) {
  GameDriver::Options options;
  options.fast = true;  // drawing steps the fast-forward phase: the phase shows each draw
  GameDriver driver(options);
  Boot(driver);
  EnterPlay();
  driver.Step({{kKeyQ}});
  ASSERT_EQ(GamePaused, 1);
  const int32_t frame = GameFrame, scene = SceneFrame, position = ReplayPosition;
  const int16_t phase = FrameSkipPhase;
  driver.Run(5, [](int) { return FrameInput{{}, kPadRight}; });
  EXPECT_EQ(GameFrame, frame);
  EXPECT_EQ(SceneFrame, scene);
  EXPECT_EQ(ReplayPosition, position);
  EXPECT_EQ(FrameSkipPhase, (phase + 5) % 8);
  EXPECT_EQ(driver.digests().size(), 0u);
  driver.Step({{kKeyQ}});
  EXPECT_EQ(GamePaused, 0);
  EXPECT_EQ(GameFrame, frame + 1);

  // Pause cannot be toggled during playback.
  MenuCursors[0] = 1;
  driver.Step();
  driver.Step({{kKeyQ}});
  EXPECT_EQ(GamePaused, 0);
}

TEST(SceneFlow, FastForwardRunsEightUpdatesForEachPresentedFrame) {
  GameDriver::Options options;
  options.fast = true;
  GameDriver driver(options);
  Boot(driver);
  EnterPlay();
  FrameSkipPhase = 0;
  FpsFrameCount = 0;
  FpsLastTime = GetNowMilliseconds();
  const int32_t frame = GameFrame;
  driver.Run(16);
  EXPECT_EQ(GameFrame, frame + 16);
  EXPECT_EQ(FpsFrameCount, 2);
}

TEST(SceneFlow, StageClearAndGameOver) {
  struct Case {
    const char* name;
    int16_t clearTimer, deathTimer, lives, unlockId;
    int frames;
    int32_t scene;       // after the frames
    int16_t clearAfter;  // StageClearTimer after them
  };
  const Case cases[] = {
      {"a beaten boss clears after 161 frames", 2, 0, 3, 2, 161, kSceneStageClear, 163},
      {"not a frame earlier", 2, 0, 3, 2, 160, kScenePlay, 162},
      {"a death during the count-up cancels it", 100, 1, 3, 2, 1, kScenePlay, 0},
      {"below 2 it does not count", 1, 0, 3, 2, 10, kScenePlay, 1},
      {"no lives: no clear", 162, 0, 0, 2, 1, kScenePlay, 163},
      {"game over once the death has run 80 frames", 0, 80, 0, 2, 1, kSceneGameOver, 0},
      {"not before", 0, 79, 0, 2, 1, kScenePlay, 0},
      {"never both: the death cancels the clear", 162, 80, 0, 2, 1, kSceneGameOver, 0},
      {"lives left: no game over", 0, 80, 1, 2, 1, kScenePlay, 0},
  };
  GameDriver driver;
  Boot(driver);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EnterPlay();
    StageClearTimer = c.clearTimer;
    DeathTimer = c.deathTimer;
    Lives = c.lives;
    StageUnlockId = c.unlockId;
    SceneFrame = 40;
    driver.Run(c.frames);
    EXPECT_EQ(CurrentScene, c.scene);
    EXPECT_EQ(StageClearTimer, c.clearAfter);
    if (c.scene != kScenePlay) { EXPECT_EQ(SceneFrame, 0); }
  }

  // The weapon a clear earns, by StageUnlockId.
  struct Unlock {
    int16_t id;
    uint8_t* flag;
  };
  const Unlock unlocks[] = {{2, &MainWeaponUnlocked[2]},
                            {3, &MainWeaponUnlocked[3]},
                            {8, &SubWeaponUnlocked[4]},
                            {9, &SubWeaponUnlocked[5]},
                            {14, &ChargeWeaponUnlocked[2]},
                            {5, nullptr},
                            {-1, nullptr}};
  for (const Unlock& u : unlocks) {
    SCOPED_TRACE(u.id);
    ResetWeaponUnlocks();
    EnterPlay();
    StageClearTimer = 162;
    DeathTimer = 0;
    StageUnlockId = u.id;
    driver.Step();
    ASSERT_EQ(CurrentScene, kSceneStageClear);
    const int unlocked = MainWeaponUnlocked[2] + MainWeaponUnlocked[3] + SubWeaponUnlocked[4] +
                         SubWeaponUnlocked[5] + ChargeWeaponUnlocked[2];
    EXPECT_EQ(unlocked, u.flag ? 1 : 0);
    if (u.flag) { EXPECT_EQ(*u.flag, 1); }
  }
}

TEST(SceneFlow, StageStart) {
  GameDriver driver;
  Boot(driver);
  CurrentScene = kSceneStageStart;
  CurrentStage = 3;
  driver.Step();
  EXPECT_EQ(CurrentScene, kScenePlay);
  EXPECT_EQ(GameFrame, 0);  // stage 3 starts at once
  EXPECT_EQ(FrameWaitMs, 17);
  EXPECT_EQ(YesNoCursor, 1);
  EXPECT_EQ(StageUnlockId, -1);
  EXPECT_EQ(StageAssetsLoaded, 1);
  CurrentScene = kSceneStageStart;
  CurrentStage = 1;
  driver.Step();
  EXPECT_EQ(GameFrame, -80);
  EXPECT_EQ(PlayerActive, 0);

  // A stage that does not load ends the program in the same frame.
  CurrentScene = kSceneStageStart;
  CurrentStage = 8;
  EXPECT_FALSE(driver.Step());
}

// Frames played against the real clock: each takes its 17 ms, and the game's state does not
// notice: the digests equal those of the same frames run on the stepped clock.
TEST(SceneFlow, PacedFramesTake17MsAndChangeNothing) {
  // elapsed: SDL's real clock across the 60 frames; paceSpan: from the end of the paced frame
  // before them to the end of the last, on the millisecond clock the pacing reads.
  auto run = [](bool paced, Uint64* elapsed, int32_t* paceSpan) {
    GameDriver::Options options;
    options.paced = paced;
    GameDriver driver(options);
    Boot(driver);
    EnterPlay();
    const int32_t before = LastFrameTime;
    const Uint64 start = SDL_GetTicks64();
    driver.Run(60, [](int f) { return FrameInput{{}, (f / 7) % 2 ? kPadShot : kPadRight}; });
    *elapsed = SDL_GetTicks64() - start;
    *paceSpan = LastFrameTime - before;
    return driver.digests();
  };
  Uint64 paced = 0, stepped = 0;
  int32_t pacedSpan = 0, steppedSpan = 0;
  const std::vector<uint64_t> pacedDigests = run(true, &paced, &pacedSpan);
  // 60 x 17 ms from the previous paced frame's end. SDL's clock starts a little after that end
  // and rounds apart from the game's, so it gets a millisecond of slack.
  EXPECT_GE(pacedSpan, 1020);
  EXPECT_GE(paced, 1019u);
  EXPECT_EQ(pacedDigests.size(), 60u);
  EXPECT_EQ(run(false, &stepped, &steppedSpan), pacedDigests);
}

TEST(SceneFlow, AClockWrapBetweenFramesDoesNotHang) {
  GameDriver driver;
  Boot(driver);
  // The millisecond clock keeps 31 bits: move it to 20 ms before it wraps to 0.
  AdvanceClock(static_cast<DWORD>(0x7FFFFFEC - GetNowMilliseconds()) & 0x7FFFFFFF);
  driver.Run(3);
  EXPECT_LT(GetNowMilliseconds(), 1000);
  EXPECT_LT(LastFrameTime, 1000);
  EXPECT_EQ(driver.frames(), 5);
}

}  // namespace
