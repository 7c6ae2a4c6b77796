// The whole road through the front end, recorded and played back: the menu's START on NORMAL,
// weapons chosen, play with a pause, a game over, the replay saved, the continue declined, the
// logo again, the menu's REPLAY on NORMAL and the file chosen; the playback chooses the same
// weapons and runs the same digests frame for frame, then ends at its own game over.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/game_support/scene_driving.h"

namespace {

constexpr size_t kFramesToGameOver = 600;

// The input of play frame i: the pad steers and shoots in stretches; Pause is pressed at 100
// and again at 130.
FrameInput PlayInput(int i) {
  FrameInput in;
  if (i % 90 < 50) in.padBits |= kPadRight;
  if (i % 70 > 40) in.padBits |= kPadDown;
  if (i % 130 < 20) in.padBits |= kPadLeft | kPadUp;
  if ((i / 25) % 3 != 1) in.padBits |= kPadShot;
  if (i % 97 == 10) in.padBits |= kPadCharge;
  if (i == 100 || i == 130) in.keys.insert(kKeyQ);
  return in;
}

// From the logo into the title menu, its flash run out.
void LogoToMenu(GameDriver& driver) {
  ASSERT_EQ(CurrentScene, kSceneLogo);
  PressPad(driver, kPadShot);  // the logo cut short, the title visit
  ASSERT_EQ(CurrentScene, kSceneTitleIntro);
  PressPad(driver, kPadShot);  // the intro cut short
  ASSERT_EQ(CurrentScene, kSceneTitleMenu);
  driver.Run(48);
}

std::vector<std::string> ReplayFilesOf(const GameDriver& driver, const char* difficulty) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(
           std::filesystem::path(driver.folder().path()) / "replay" / difficulty))
    names.push_back(entry.path().filename().string());
  return names;
}

TEST(WholeRoad, RecordedAndPlayedBack) {
  GameDriver driver;
  BootToLogo(driver);
  // The game over comes by the field's words, after the same number of play frames each time.
  size_t playStart = 0;
  bool over = false;
  driver.afterFrame = [&] {
    if (over || CurrentScene != kScenePlay) return;
    if (driver.digests().size() - playStart < kFramesToGameOver) return;
    Lives = 0;
    DeathTimer = 80;
    over = true;
  };

  // --- the recorded run -------------------------------------------------------------------
  LogoToMenu(driver);
  ASSERT_EQ(MenuCursors[0], 0);
  PressPad(driver, kPadShot);  // START
  ASSERT_EQ(MenuPage, 1);
  ASSERT_EQ(MenuCursors[1], 1);  // NORMAL, the boot's difficulty
  PressPad(driver, kPadShot);
  ASSERT_EQ(CurrentScene, kSceneWeaponSelect);
  EXPECT_EQ(Difficulty, 1);
  for (uint32_t b : {kPadRight, kPadShot, kPadRight, kPadShot, kPadRight, kPadShot, kPadRight})
    PressPad(driver, b);
  driver.Step(Pad(kPadShot));
  ASSERT_EQ(CurrentScene, kSceneStageStart);
  const int16_t weapons[4] = {SelectedMainWeapon, SelectedSubWeapons[0], SelectedSubWeapons[1],
                              SelectedChargeWeapon};
  EXPECT_EQ(std::vector<int16_t>(weapons, weapons + 4), (std::vector<int16_t>{1, 1, 3, 1}));
  driver.Step();
  ASSERT_EQ(CurrentScene, kScenePlay);
  int paused = 0;
  for (int i = 0; CurrentScene == kScenePlay && i < 2000; ++i) {
    driver.Step(PlayInput(i));
    paused += GamePaused;
  }
  ASSERT_EQ(CurrentScene, kSceneGameOver);
  EXPECT_EQ(paused, 30);
  const std::vector<uint64_t> recorded = driver.digests();
  ASSERT_EQ(recorded.size(), kFramesToGameOver + 1);

  driver.Run(120);
  PressPad(driver, kPadUp);  // the replay question: YES
  PressPad(driver, kPadShot);
  ASSERT_EQ(CurrentScene, kSceneContinue);
  EXPECT_EQ(YesNoCursor, 0);
  const std::vector<std::string> saved = ReplayFilesOf(driver, "normal");
  ASSERT_EQ(saved.size(), 1u);
  const std::string file = driver.folder().ReadFile("replay/normal/" + saved[0]);
  ASSERT_EQ(file.size(), 512000u);
  EXPECT_EQ(file.substr(0, 4), std::string("\x01\x01\x03\x01", 4));
  PressPad(driver, kPadDown);  // continue: NO
  driver.Step(Pad(kPadShot));
  ASSERT_EQ(CurrentScene, kSceneLogoSetUp);
  driver.Step();

  // --- the playback -------------------------------------------------------------------------
  ResetRunState();  // nothing of the recorded run's choice carries over
  LogoToMenu(driver);
  PressPad(driver, kPadDown);  // REPLAY
  PressPad(driver, kPadShot);
  ASSERT_EQ(MenuCursors[1], 1);
  PressPad(driver, kPadShot);  // NORMAL
  ASSERT_EQ(MenuPage, 2);
  ASSERT_EQ(ReplayFileCount, 1);
  driver.Run(32);
  playStart = driver.digests().size();
  over = false;
  PressPad(driver, kPadShot);
  ASSERT_EQ(CurrentScene, kSceneWeaponSelect);
  driver.Step();  // one frame: the recorded bytes
  ASSERT_EQ(CurrentScene, kSceneStageStart);
  EXPECT_EQ(std::vector<int16_t>(weapons, weapons + 4),
            (std::vector<int16_t>{SelectedMainWeapon, SelectedSubWeapons[0], SelectedSubWeapons[1],
                                  SelectedChargeWeapon}));
  driver.Step();
  for (int i = 0; CurrentScene == kScenePlay && i < 2000; ++i) driver.Step();
  EXPECT_EQ(CurrentScene, kSceneGameOver);
  const std::vector<uint64_t> played(driver.digests().begin() + playStart, driver.digests().end());
  EXPECT_EQ(played, recorded);

  // No question in playback: Shot after 120 frames leads to the logo.
  driver.Run(121);
  PressPad(driver, kPadShot);
  EXPECT_EQ(CurrentScene, kSceneLogo);
  EXPECT_EQ(ReplayFilesOf(driver, "normal").size(), 1u);
}

}  // namespace
