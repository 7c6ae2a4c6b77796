// The front-end scenes' timing, headless: the boot, the logo's fade and its end, the intro's
// 432 frames and its timeline, the menu's first 48 frames without input, the attract demo after
// 1200 frames on the top page only, and the weapon select (unlocked entries, the two sub
// weapons, its time limit, the bytes it records and plays back, and the bad bytes that end a
// playback).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/game_support/scene_driving.h"

namespace {

// Index of the first frame after which the scene was `scene`, from frame `from` on.
int FirstFrameIn(const GameDriver& driver, int32_t scene, int from = 0) {
  const auto& s = driver.scenes();
  const auto it = std::find(s.begin() + from, s.end(), scene);
  return it == s.end() ? -1 : static_cast<int>(it - s.begin());
}

TEST(FrontScenes, BootLogoIntroAndMenuAtTheirFrameCounts) {
  GameDriver driver;
  ASSERT_EQ(driver.Start(), 0);
  std::vector<int16_t> fade;  // the logo's overlay level after each of its frames
  driver.afterFrame = [&] {
    if (CurrentScene == kSceneLogo && SceneFrame > 0) fade.push_back(SceneWork[2]);
  };
  driver.Run(2 + 132 + 1 + 432 + 1);
  const auto& scenes = driver.scenes();
  EXPECT_EQ(scenes[0], kSceneLogoSetUp);
  EXPECT_EQ(scenes[1], kSceneLogo);
  // The logo: 79 frames fading in and standing, 52 fading out, one empty frame.
  EXPECT_EQ(FirstFrameIn(driver, kSceneTitleVisit), 2 + 131);
  EXPECT_EQ(scenes[2 + 130], kSceneLogo);
  ASSERT_EQ(fade.size(), 131u);
  EXPECT_EQ(fade[0], 250);    // from 255, 5 a frame
  EXPECT_EQ(fade[50], 0);     // in after 51 frames
  EXPECT_EQ(fade[78], 0);     // standing
  EXPECT_EQ(fade[79], 5);     // frame 80: out again
  EXPECT_EQ(fade[129], 255);  // frame 130
  EXPECT_EQ(fade[130], 0);    // frame 131: out, the state done
  // The title visit starts the intro at once; it runs 432 frames.
  EXPECT_EQ(scenes[2 + 132], kSceneTitleIntro);
  EXPECT_EQ(FirstFrameIn(driver, kSceneTitleMenu), 2 + 132 + 432);
  EXPECT_EQ(scenes[2 + 132 + 431], kSceneTitleIntro);
  EXPECT_EQ(SceneFrame, 1);  // one menu frame run
  EXPECT_EQ(LogoLoaded, 0);
}

TEST(FrontScenes, ShotOrChargeWeaponCutsTheLogoAndTheIntroShort) {
  for (uint32_t button : {kPadShot, kPadCharge}) {
    SCOPED_TRACE(button);
    GameDriver driver;
    BootToLogo(driver);
    driver.Run(10);
    driver.Step(Pad(button));
    EXPECT_EQ(CurrentScene, kSceneTitleVisit);
    EXPECT_EQ(SceneFrame, 0);
    driver.Step();
    ASSERT_EQ(CurrentScene, kSceneTitleIntro);
    // Pressed on the intro's first frame: the menu begins with its white flash.
    driver.Step(Pad(button));
    EXPECT_EQ(CurrentScene, kSceneTitleMenu);
    EXPECT_EQ(SceneFrame, 0);
    EXPECT_EQ(ScreenFlashWhite, 255);
  }
}

// The intro's timeline at a few frames: scroll layers, boss, beams, steering, shots, flare.
TEST(FrontScenes, TheIntroTimeline) {
  GameDriver driver;
  BootToLogo(driver);
  CurrentScene = kSceneTitleVisit;
  driver.Step();
  // The title's asset load starts the curtain and the boss at 640.
  ASSERT_EQ(std::vector<int16_t>(SceneWork, SceneWork + 5),
            (std::vector<int16_t>{640, 0, 0, 640, 0}));
  struct Seen {
    int16_t work[5];
    int32_t bank, thin0, thick4, shots, flash;
    double y, moveY, moveX;
    std::vector<int> sounds;
  };
  std::vector<Seen> seen(440);
  driver.afterFrame = [&] {
    if (CurrentScene != kSceneTitleIntro) return;
    Seen& s = seen[SceneFrame];
    std::copy(SceneWork, SceneWork + 5, s.work);
    s.bank = ShipBankFrame;
    s.thin0 = StageWork[100];
    s.thick4 = StageWorkY[104];
    s.shots = StageWork[16];
    s.flash = StageWork[17];
    s.y = PlayerY;
    s.moveY = PlayerMoveY;
    s.moveX = PlayerMoveX;
    for (int slot = 0; slot < kSoundEffectSlots; ++slot)
      if (SoundEffectRequests[slot]) s.sounds.push_back(slot);
  };
  SoundEffectVolume = 100;
  driver.Run(431);
  ASSERT_EQ(CurrentScene, kSceneTitleIntro);
  ASSERT_EQ(SceneFrame, 432);

  // f 100, 99 steps on: the curtain at 640 - 4 x 99, the far layer 8 a step (back to 0 on
  // reaching -960), the near layer 12 a step (back to 0 on reaching -320, every 27th step).
  EXPECT_EQ(seen[100].work[0], 640 - 4 * 99);
  EXPECT_EQ(seen[100].work[1], -8 * 99);
  EXPECT_EQ(seen[100].work[2], -12 * (99 % 27));
  EXPECT_EQ(seen[121].work[1], 0);
  EXPECT_EQ(seen[100].work[3], 640);
  // The thin beam of row 0 starts at f 10 (shown at 0, then counted on) and cycles 0..31.
  EXPECT_EQ(seen[9].thin0, -1);
  EXPECT_EQ(seen[10].thin0, 1);
  EXPECT_EQ(seen[40].thin0, 31);
  EXPECT_EQ(seen[41].thin0, 0);
  // The thick beam of row 4 starts at f 50 and stops after 31.
  EXPECT_EQ(seen[50].thick4, 1);
  EXPECT_EQ(seen[80].thick4, 31);
  EXPECT_EQ(seen[81].thick4, -1);
  // Steering: up from f 21 at 0.3 a frame to -4.8, the ship leaning to image 0.
  EXPECT_DOUBLE_EQ(seen[21].moveY, -0.3);
  EXPECT_DOUBLE_EQ(seen[38].moveY, -4.8);
  EXPECT_EQ(seen[39].bank, 0);
  EXPECT_EQ(seen[20].bank, 3);
  // Shots every fourth frame after f 232, sixteen of them; the muzzle flash runs seven frames.
  EXPECT_EQ(seen[235].shots, 0);
  EXPECT_EQ(seen[236].shots, 1);
  EXPECT_EQ(seen[296].shots, 16);
  EXPECT_EQ(seen[300].shots, 16);
  EXPECT_EQ(seen[296].flash, 2);
  EXPECT_EQ(seen[301].flash, 7);
  EXPECT_EQ(seen[302].flash, 0);  // shown at 8, then over
  // The flare and the acceleration to the right from f 260.
  EXPECT_DOUBLE_EQ(seen[260].moveX, 0.1);
  EXPECT_DOUBLE_EQ(seen[259].moveX, 0);
  // The boss leaves from f 281 at 16 a frame; past -700 (f 364) the white flash rises.
  EXPECT_EQ(seen[300].work[3], 640 - 16 * 20);
  EXPECT_EQ(seen[363].work[4], 0);
  EXPECT_EQ(seen[364].work[4], 16);
  EXPECT_EQ(seen[379].work[4], 255);
  EXPECT_EQ(seen[431].work[4], 255);

  // Sounds: the beams' 50 and 51 at their cues, a shot's 0, the flare's 19, the boss's 27.
  const std::vector<int> none;
  EXPECT_EQ(seen[10].sounds, std::vector<int>{50});
  EXPECT_EQ(seen[11].sounds, none);
  EXPECT_EQ(seen[50].sounds, std::vector<int>{51});
  EXPECT_EQ(seen[90].sounds, (std::vector<int>{50, 51}));
  EXPECT_EQ(seen[236].sounds, std::vector<int>{0});
  EXPECT_EQ(seen[260].sounds, (std::vector<int>{0, 19}));
  EXPECT_EQ(seen[364].sounds, std::vector<int>{27});
  EXPECT_EQ(seen[365].sounds, none);
}

TEST(FrontScenes, TheMenuTakesNoInputForItsFirst48Frames) {
  for (int frame : {47, 48}) {
    SCOPED_TRACE(frame);
    GameDriver driver;
    BootToLogo(driver);
    CurrentScene = kSceneTitleVisit;
    driver.Step();
    driver.Step(Pad(kPadShot));
    ASSERT_EQ(CurrentScene, kSceneTitleMenu);
    MenuCursors[0] = 0;
    driver.Run(frame);  // menu frames 0 .. frame-1
    driver.Step(Pad(kPadDown));
    EXPECT_EQ(MenuCursors[0], frame == 47 ? 0 : 1);
    EXPECT_EQ(ScreenFlashWhite, 255 - 4 * (frame + 1));
  }
}

TEST(FrontScenes, TheAttractDemoStartsAt1200FramesOnTheTopPageOnly) {
  GameDriver driver;
  driver.digestFrames = false;
  BootToLogo(driver);
  Difficulty = 1;
  OpenTitleMenu(driver);
  // The cursor moves all the while: the count goes on.
  for (int i = 0; SceneFrame < 1200; ++i) driver.Step(Pad(i % 300 == 100 ? kPadDown : 0));
  EXPECT_EQ(CurrentScene, kSceneTitleMenu);
  EXPECT_NE(MenuCursors[0], 0);
  driver.Step();
  EXPECT_EQ(CurrentScene, kSceneWeaponSelectSetUp);
  EXPECT_EQ(DemoPlaying, 1);
  EXPECT_EQ(Difficulty, 2);
  EXPECT_EQ(GetPlayMode(), 1);

  // On every other page the count wraps at 1024 and no demo starts.
  for (int16_t page = 1; page <= 7; ++page) {
    SCOPED_TRACE(page);
    OpenTitleMenu(driver, 0);
    MenuPage = page;
    MenuCursors[page] = page == 2 ? 0 : 2;  // a row that leaves nothing when nothing is held
    ReplayFileCount = 0;
    SceneFrame = 1000;  // 250 frames would take it past 1200
    int32_t highest = 0;
    for (int i = 0; i < 250; ++i) {
      driver.Step();
      highest = std::max(highest, SceneFrame);
    }
    EXPECT_EQ(CurrentScene, kSceneTitleMenu);
    EXPECT_EQ(MenuPage, page);
    EXPECT_EQ(highest, 1024);
    EXPECT_LT(SceneFrame, 250);
  }
}

// --- weapon select ------------------------------------------------------------------------

// From the menu's START into the weapon select's first frame to come.
void EnterWeaponSelect(GameDriver& driver, int16_t mode) {
  MenuCursors[0] = mode;
  CurrentScene = kSceneTitleMenu;
  StartPlay();
  ASSERT_EQ(CurrentScene, kSceneWeaponSelectSetUp);
  driver.Step();
  ASSERT_EQ(CurrentScene, kSceneWeaponSelect);
}

TEST(FrontScenes, TheWeaponSelectOffersOnlyUnlockedEntries) {
  GameDriver driver;
  BootToLogo(driver);
  ResetWeaponUnlocks();
  ResetRunState();
  EnterWeaponSelect(driver, 0);
  // Main weapons 0 and 1 are open at the start; 3 once its stage is cleared.
  std::vector<int16_t> mains;
  for (int i = 0; i < 3; ++i) {
    PressPad(driver, kPadRight);
    mains.push_back(SelectedMainWeapon);
  }
  EXPECT_EQ(mains, (std::vector<int16_t>{1, 0, 1}));
  MainWeaponUnlocked[3] = 1;
  PressPad(driver, kPadRight);
  EXPECT_EQ(SelectedMainWeapon, 3);
  PressPad(driver, kPadLeft);
  EXPECT_EQ(SelectedMainWeapon, 1);

  // The first sub weapon: 0..3 open.
  PressPad(driver, kPadShot);
  ASSERT_EQ(SceneWork[0], 1);
  PressPad(driver, kPadLeft);
  EXPECT_EQ(SelectedSubWeapons[0], 3);
  // The second passes over the first: 1 -> 2 -> 0.
  PressPad(driver, kPadShot);
  ASSERT_EQ(SceneWork[0], 2);
  EXPECT_EQ(SelectedSubWeapons[1], 1);
  PressPad(driver, kPadRight, 2);
  EXPECT_EQ(SelectedSubWeapons[1], 0);
  // ChargeWeapon steps back.
  PressPad(driver, kPadCharge);
  EXPECT_EQ(SceneWork[0], 1);
  PressPad(driver, kPadShot, 2);
  PressPad(driver, kPadRight);
  EXPECT_EQ(SelectedChargeWeapon, 1);
  EXPECT_EQ(CurrentScene, kSceneWeaponSelect);
  PressPad(driver, kPadShot);
  EXPECT_EQ(CurrentScene, kScenePlay);  // through the stage start
  const int16_t chosen[4] = {1, 3, 0, 1};
  EXPECT_TRUE(std::equal(chosen, chosen + 4, ReplayBuffer));
}

TEST(FrontScenes, WithTwoSubWeaponsTheSecondCanOnlyBeTheOther) {
  GameDriver driver;
  BootToLogo(driver);
  ResetRunState();  // subs 0 and 1
  EnterWeaponSelect(driver, 0);
  std::fill(SubWeaponUnlocked, SubWeaponUnlocked + kSubWeapons, 0);
  SubWeaponUnlocked[0] = SubWeaponUnlocked[1] = 1;
  PressPad(driver, kPadShot, 2);
  ASSERT_EQ(SceneWork[0], 2);
  for (uint32_t b : {kPadRight, kPadLeft, kPadRight, kPadRight}) {
    PressPad(driver, b);
    EXPECT_EQ(SelectedSubWeapons[1], 1);
  }
  // Entering the step moves a second sub weapon equal to the first up by one, unlocked or not.
  PressPad(driver, kPadCharge);
  PressPad(driver, kPadRight);
  ASSERT_EQ(SelectedSubWeapons[0], 1);
  PressPad(driver, kPadShot);
  EXPECT_EQ(SelectedSubWeapons[1], 2);
}

TEST(FrontScenes, TheWeaponSelectEndsAfter1800FramesWithTheChoiceAsItStands) {
  GameDriver driver;
  BootToLogo(driver);
  ResetWeaponUnlocks();
  ResetRunState();
  EnterWeaponSelect(driver, 0);
  PressPad(driver, kPadRight);  // main weapon 1
  PressPad(driver, kPadShot);
  PressPad(driver, kPadRight);  // the first sub weapon onto the second's 1
  ASSERT_EQ(SelectedSubWeapons[0], 1);
  ReplayPosition = 0;
  for (int i = 6; i < 1800; ++i) {
    driver.Step();
    ASSERT_EQ(CurrentScene, kSceneWeaponSelect) << i;
  }
  driver.Step();
  EXPECT_EQ(CurrentScene, kSceneStageStart);
  EXPECT_EQ(SelectedMainWeapon, 1);
  // The two subs stay apart even when time runs out between their steps, so the recorded set
  // plays back.
  EXPECT_EQ(SelectedSubWeapons[0], 1);
  EXPECT_EQ(SelectedSubWeapons[1], 2);
  EXPECT_EQ(ReplayPosition, 4);
  const int16_t recorded[4] = {ReplayBuffer[0], ReplayBuffer[1], ReplayBuffer[2], ReplayBuffer[3]};
  EXPECT_TRUE(IsValidWeaponSet(recorded));
}

TEST(FrontScenes, InPlaybackTheWeaponSelectLastsOneFrame) {
  GameDriver driver;
  BootToLogo(driver);
  const uint8_t bytes[4] = {1, 2, 0, 1};
  std::copy(bytes, bytes + 4, ReplayBuffer);
  EnterWeaponSelect(driver, 1);
  driver.Step(Pad(kPadRight));  // nothing of the player's own choice
  EXPECT_EQ(CurrentScene, kSceneStageStart);
  EXPECT_EQ(SelectedMainWeapon, 1);
  EXPECT_EQ(SelectedSubWeapons[0], 2);
  EXPECT_EQ(SelectedSubWeapons[1], 0);
  EXPECT_EQ(SelectedChargeWeapon, 1);
  EXPECT_EQ(ReplayPosition, 4);
  driver.Step();
  EXPECT_EQ(CurrentScene, kScenePlay);
}

// Bytes that no weapon select writes end the playback before any play frame, and the attract
// demo gives back the difficulty it took.
TEST(FrontScenes, BadWeaponBytesEndThePlayback) {
  struct Case {
    const char* name;
    uint8_t bytes[4];
    int32_t position;
    bool demo;
    const char* logged;
  };
  const Case cases[] = {
      {"a missing file's filler", {'0', '0', '0', '0'}, 0, false, "48 48 48 48"},
      {"equal sub weapons", {0, 2, 2, 0}, 0, false, "0 2 2 0"},
      {"main weapon 4", {4, 0, 1, 0}, 0, true, "4 0 1 0"},
      {"past the stream's end", {0, 0, 1, 0}, kReplayBufferSize - 2, true, "stream ends"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GameDriver driver;
    BootToLogo(driver);
    Difficulty = 0;
    if (c.demo) {
      StartAttractDemo();  // no demo file: the stream is '0' throughout
      ASSERT_EQ(Difficulty, 2);
    } else {
      MenuCursors[0] = 1;
      StartPlay();
    }
    if (c.position <= kReplayBufferSize - 4)
      std::copy(c.bytes, c.bytes + 4, ReplayBuffer + c.position);
    driver.Step();
    ASSERT_EQ(CurrentScene, kSceneWeaponSelect);
    ReplayPosition = c.position;
    driver.Step();
    EXPECT_EQ(CurrentScene, kSceneTitleVisit);
    EXPECT_EQ(Difficulty, 0);
    EXPECT_EQ(WeaponSelectAssetsLoaded, 0);
    driver.Run(3);
    EXPECT_TRUE(driver.digests().empty());
    EXPECT_NE(driver.LogText().find(c.logged), std::string::npos) << driver.LogText();
    EXPECT_NE(driver.LogText().find("the playback ends"), std::string::npos);
  }
}

}  // namespace
