// The title menu's pages driven by presses: the difficulties each start stage opens, the
// practice values and their bounds, the replay list's window and its empty state, the pad and
// key pages (never two roles on one button or key, a held key assigned once, the screenshot key
// assigned rather than shot), the volumes, and the one way the settings are written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/scenes/title_menu_pages.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/game_support/scene_driving.h"

namespace {

int FilesIn(const GameDriver& driver, const char* folder) {
  const std::filesystem::path path = std::filesystem::path(driver.folder().path()) / folder;
  return static_cast<int>(std::distance(std::filesystem::directory_iterator(path),
                                        std::filesystem::directory_iterator()));
}

TEST(TitleMenu, EachStartStageOpensItsDifficultiesAndTheRowPicksTheOneItShows) {
  struct Case {
    int16_t normal, hard, mode;
    std::vector<int16_t> shown;
  };
  const Case cases[] = {
      {1, 1, 0, {0, 1}},       {3, 1, 0, {0, 1, 2}},
      {3, 3, 0, {0, 1, 2, 3}}, {1, 3, 0, {0, 1, 3}},  // INSANE third, without HARD
      {1, 1, 1, {0, 1, 2, 3}},                        // replays offer all four
  };
  GameDriver driver;
  driver.digestFrames = false;
  BootToLogo(driver);
  for (const Case& c : cases) {
    for (size_t row = 0; row < c.shown.size(); ++row) {
      SCOPED_TRACE(testing::Message()
                   << c.normal << " " << c.hard << " mode " << c.mode << " row " << row);
      StartStages[1] = c.normal;
      StartStages[2] = c.hard;
      Difficulty = 0;
      OpenTitleMenu(driver, c.mode);
      PressPad(driver, kPadShot);
      ASSERT_EQ(MenuPage, 1);
      PressPad(driver, kPadUp);  // from the top row to the last
      EXPECT_EQ(MenuCursors[1], static_cast<int16_t>(c.shown.size() - 1));
      PressPad(driver, kPadDown, static_cast<int>(row) + 1);
      ASSERT_EQ(MenuCursors[1], static_cast<int16_t>(row));
      PressPad(driver, kPadShot);
      EXPECT_EQ(Difficulty, c.shown[row]);
      EXPECT_EQ(c.mode == 0 ? CurrentScene : MenuPage,
                c.mode == 0 ? kSceneWeaponSelect : int32_t{2});
    }
  }
}

// The page opens on the difficulty last played, which may no longer be offered; confirming
// at once (the pad's press released as the key's comes) takes the first row, not a fifth.
TEST(TitleMenu, ARowThatIsNotOfferedIsNotConfirmed) {
  GameDriver driver;
  BootToLogo(driver);
  StartStages[1] = StartStages[2] = 1;
  Difficulty = 3;
  OpenTitleMenu(driver, 0);
  driver.Step(Pad(kPadShot));
  ASSERT_EQ(MenuPage, 1);
  ASSERT_EQ(MenuCursors[1], 3);
  driver.Step(FrameInput{{kKeyZ}});
  EXPECT_EQ(CurrentScene, kSceneWeaponSelectSetUp);
  EXPECT_EQ(Difficulty, 0);
}

TEST(TitleMenu, PracticeValuesAndTheirBounds) {
  GameDriver driver;
  BootToLogo(driver);
  ResetWeaponUnlocks();
  Difficulty = 1;
  StartStages[1] = 3;
  OpenTitleMenu(driver, 2);
  PressPad(driver, kPadShot, 2);  // PRACTICE, then NORMAL
  ASSERT_EQ(MenuPage, 3);
  std::vector<int16_t> stages;
  for (uint32_t b : {kPadRight, kPadRight, kPadRight, kPadLeft, kPadLeft}) {
    PressPad(driver, b);
    stages.push_back(PracticeStage);
  }
  EXPECT_EQ(stages, (std::vector<int16_t>{2, 3, 1, 3, 2}));
  PressPad(driver, kPadDown);
  PressPad(driver, kPadLeft);
  EXPECT_EQ(PracticeShotPower, 8);
  PressPad(driver, kPadRight);
  EXPECT_EQ(PracticeShotPower, 0);
  PressPad(driver, kPadLeft);
  PressPad(driver, kPadDown);
  PressPad(driver, kPadLeft);
  EXPECT_EQ(PracticeSpeed, 3);
  PressPad(driver, kPadRight, 2);
  EXPECT_EQ(PracticeSpeed, 1);

  // The stage is held to the difficulty's furthest start stage, and never below 1.
  PressPad(driver, kPadDown);  // back on row 0
  PressPad(driver, kPadRight);
  ASSERT_EQ(PracticeStage, 3);
  StartStages[1] = 2;
  driver.Step();
  EXPECT_EQ(PracticeStage, 2);
  StartStages[1] = 0;  // a hand-edited file
  PressPad(driver, kPadRight);
  EXPECT_EQ(PracticeStage, 1);

  // Confirming on stage 3 unlocks what the clears before it give and goes straight there.
  StartStages[1] = 3;
  PressPad(driver, kPadLeft);
  ASSERT_EQ(PracticeStage, 3);
  PressPad(driver, kPadShot);
  EXPECT_EQ(MainWeaponUnlocked[2], 1);
  EXPECT_EQ(SubWeaponUnlocked[4], 1);
  EXPECT_EQ(MainWeaponUnlocked[3], 0);
  EXPECT_EQ(CurrentStage, 3);
  EXPECT_EQ(MainWeaponLevels[0], 8);
  EXPECT_EQ(ShipSpeed, 1);
  EXPECT_EQ(CurrentScene, kScenePlay);  // through the stage start, no weapon select
  EXPECT_EQ(MenuCursors[3], 0);
}

TEST(TitleMenu, TheReplayListScrollsWithinItsRowsAndStartsTheChosenFile) {
  GameDriver driver;
  BootToLogo(driver);
  for (int i = 0; i < 40; ++i)
    driver.folder().WriteFile("replay/normal/r" + std::to_string(100 + i) + ".rpy",
                              std::string(1, static_cast<char>(i)) + "rest");
  Difficulty = 1;
  OpenTitleMenu(driver, 1);
  PressPad(driver, kPadShot, 2);  // REPLAY, NORMAL
  ASSERT_EQ(MenuPage, 2);
  EXPECT_EQ(ReplayFileCount, 40);
  EXPECT_EQ(ReplayListRows, 29);
  // Not while the list slides in (1260, 40 a frame).
  EXPECT_GT(ReplayListSlide, 0);
  PressPad(driver, kPadShot);
  EXPECT_EQ(MenuPage, 2);

  auto inWindow = [] {
    return ReplayListTop <= MenuCursors[2] && MenuCursors[2] < ReplayListTop + 29;
  };
  for (int i = 0; i < 30; ++i) {
    PressPad(driver, kPadDown);
    ASSERT_TRUE(inWindow()) << i;
  }
  EXPECT_EQ(MenuCursors[2], 30);
  EXPECT_EQ(ReplayListTop, 2);
  for (int i = 0; i < 31; ++i) {
    PressPad(driver, kPadUp);
    ASSERT_TRUE(inWindow()) << i;
  }
  EXPECT_EQ(MenuCursors[2], 39);  // up from row 0 selects the last
  EXPECT_EQ(ReplayListTop, 11);

  ASSERT_EQ(ReplayListSlide, 0);
  std::string name;
  for (const ReplayFileNode* n = ReplayFiles.head; n; n = n->next)
    if (n->row == 39) name = n->name;
  PressPad(driver, kPadShot);
  EXPECT_EQ(CurrentScene, kSceneWeaponSelect);
  EXPECT_EQ(ReplayBuffer[0], static_cast<uint8_t>(std::stoi(name.substr(1, 3)) - 100));
  EXPECT_EQ(ReplayBuffer[5], '0');  // past the file's end
}

TEST(TitleMenu, AnEmptyReplayFolderReturnsToTheTopMenu) {
  GameDriver driver;
  BootToLogo(driver);
  Difficulty = 0;
  OpenTitleMenu(driver, 1);
  PressPad(driver, kPadShot, 2);
  ASSERT_EQ(MenuPage, 2);
  EXPECT_EQ(ReplayFileCount, 0);
  PressPad(driver, kPadDown);  // no entries: no row to move to
  EXPECT_EQ(MenuCursors[2], 0);
  driver.Run(32);
  PressPad(driver, kPadShot);
  EXPECT_EQ(MenuPage, 0);
  EXPECT_EQ(MenuCursors[0], 1);
  // ChargeWeapon goes back one page instead.
  PressPad(driver, kPadShot, 2);
  ASSERT_EQ(MenuPage, 2);
  PressPad(driver, kPadCharge);
  EXPECT_EQ(MenuPage, 1);
  EXPECT_EQ(MenuCursors[1], 0);
}

// Keys the tests may hold on the key page: letters, digits, a few others.
const int kSomeKeys[] = {30, 48, 46, 32, 18, 44, 45, 25, 19, 16, 2, 3, 11, 57, 28, 75, 72, 77, 80};

template <size_t N>
bool AllDifferent(const int32_t (&values)[N], int first, int last) {
  std::set<int32_t> seen(values + first, values + last + 1);
  return static_cast<int>(seen.size()) == last - first + 1;
}

TEST(TitleMenu, ThePadAndKeyPagesNeverPutTwoRolesOnOneButtonOrKey) {
  GameDriver driver;
  driver.digestFrames = false;
  BootToLogo(driver);
  OpenTitleMenu(driver, 3);
  PressPad(driver, kPadShot);
  ASSERT_EQ(MenuPage, 4);

  // One swap by hand: Shot takes ChargeWeapon's button 5, ChargeWeapon gets 4.
  PressPad(driver, kPadShot);
  ASSERT_EQ(MenuPage, 5);
  PressPad(driver, 1u << 5);
  EXPECT_EQ(ButtonPadBits[kButtonShot], 5);
  EXPECT_EQ(ButtonPadBits[kButtonChargeWeapon], 4);

  std::mt19937 rng(0x29);
  for (int16_t page : {5, 6}) {
    SCOPED_TRACE(page);
    int assignedFrames = 0;
    for (int frame = 0; frame < 1500; ++frame) {
      if (MenuPage != page) {
        MenuPage = page;
        MenuCursors[page] = static_cast<int16_t>(rng() % (page == 5 ? 6 : 12));
      }
      FrameInput in;
      if (rng() % 3 == 0) in.padBits |= rng() % 2 ? kPadUp : kPadDown;
      if (rng() % 3 == 0) in.padBits |= 1u << (4 + rng() % 8);
      for (int k = static_cast<int>(rng() % 3); k > 0; --k)
        if (rng() % 2) in.keys.insert(kSomeKeys[rng() % std::size(kSomeKeys)]);
      const int32_t before = page == 5 ? ButtonPadBits[kButtonShot] : KeyConfig[kButtonShot];
      driver.Step(in);
      assignedFrames += (page == 5 ? ButtonPadBits[kButtonShot] : KeyConfig[kButtonShot]) != before;
      ASSERT_TRUE(AllDifferent(ButtonPadBits, kButtonShot, kButtonScreenShot)) << frame;
      ASSERT_TRUE(AllDifferent(KeyConfig, 0, kRoleCount - 1)) << frame;
      for (int role = kButtonShot; role <= kButtonScreenShot; ++role) {
        ASSERT_GE(ButtonPadBits[role], 4);
        ASSERT_LE(ButtonPadBits[role], 11);
      }
    }
    EXPECT_GT(assignedFrames, 20);  // the sequence did reassign, many times
  }
}

// The screenshot key pressed on the key page is assigned, not shot; held on, it is assigned
// once, and the cursor moving under it leaves the other rows alone.
TEST(TitleMenu, TheKeyPageAssignsAHeldKeyOnceAndTheScreenshotKeyToo) {
  GameDriver driver;
  BootToLogo(driver);
  OpenTitleMenu(driver, 3);
  PressPad(driver, kPadShot);
  PressPad(driver, kPadDown);
  driver.Step(FrameInput{{kKeyZ}});  // KEY CONFIG, with the Shot key
  ASSERT_EQ(MenuPage, 6);
  driver.Step(FrameInput{{kKeyZ}});  // held from page 4: not taken for LEFT
  EXPECT_EQ(KeyConfig[kButtonLeft], 75);
  driver.Step();
  PressPad(driver, kPadDown, 4);
  ASSERT_EQ(MenuCursors[6], 4);  // SHOT
  const int32_t counter = ScreenshotCounter;
  driver.Step(FrameInput{{kKeyP}});
  EXPECT_EQ(KeyConfig[kButtonShot], kKeyP);
  EXPECT_EQ(KeyConfig[kButtonScreenShot], kKeyZ);
  for (int i = 0; i < 3; ++i) {
    driver.Step(FrameInput{{kKeyP}, kPadDown});
    driver.Step(FrameInput{{kKeyP}});
  }
  ASSERT_EQ(MenuCursors[6], 7);  // SCREEN SHOT, the key still held
  EXPECT_EQ(KeyConfig[kButtonScreenShot], kKeyZ);
  driver.Step();
  driver.Step(FrameInput{{kKeyP}});
  EXPECT_EQ(KeyConfig[kButtonScreenShot], kKeyP);
  EXPECT_EQ(KeyConfig[kButtonShot], kKeyZ);
  EXPECT_EQ(ScreenshotCounter, counter);
  EXPECT_EQ(FilesIn(driver, "ScreenShots"), 0);

  // DEFAULT puts every key back, RETURN goes to page 4 with its row.
  KeyConfig[kButtonPause] = 30;
  PressPad(driver, kPadDown, 3);
  ASSERT_EQ(MenuCursors[6], 10);
  driver.Step(FrameInput{{kKeyReturn}});
  EXPECT_TRUE(std::equal(KeyConfig, KeyConfig + kRoleCount, kDefaultKeyConfig));
  driver.Step();
  PressPad(driver, kPadDown);
  driver.Step(FrameInput{{kKeyReturn}});
  EXPECT_EQ(MenuPage, 4);
  EXPECT_EQ(MenuCursors[4], 1);
}

TEST(TitleMenu, VolumesWrapAndOnlyReturnWritesTheSettings) {
  GameDriver driver;
  BootToLogo(driver);
  ASSERT_EQ(MusicVolume, 0);  // no settings files
  OpenTitleMenu(driver, 3);
  PressPad(driver, kPadShot);
  PressPad(driver, kPadDown, 2);
  PressPad(driver, kPadShot);
  ASSERT_EQ(MenuPage, 7);
  PressPad(driver, kPadDown);
  std::vector<int16_t> music;
  for (uint32_t b : {kPadRight, kPadRight, kPadRight, kPadRight, kPadRight, kPadLeft}) {
    PressPad(driver, b);
    music.push_back(MusicVolume);
  }
  EXPECT_EQ(music, (std::vector<int16_t>{25, 50, 75, 100, 0, 100}));
  PressPad(driver, kPadUp);
  PressPad(driver, kPadLeft, 2);
  EXPECT_EQ(SoundEffectVolume, 75);
  PressPad(driver, kPadDown, 2);
  PressPad(driver, kPadShot);
  ASSERT_EQ(MenuPage, 4);

  // Leaving by ChargeWeapon keeps the change for the run and writes nothing.
  PressPad(driver, kPadCharge);
  EXPECT_EQ(MenuPage, 0);
  EXPECT_EQ(FilesIn(driver, "Option"), 0);
  EXPECT_EQ(MusicVolume, 100);

  // RETURN writes all sixteen.
  PressPad(driver, kPadShot);
  PressPad(driver, kPadDown, 3);
  PressPad(driver, kPadShot);
  EXPECT_EQ(MenuPage, 0);
  EXPECT_EQ(FilesIn(driver, "Option"), 16);
  EXPECT_EQ(driver.folder().ReadFile("Option/volumemusic.dat"), "100\r\n");
  EXPECT_EQ(driver.folder().ReadFile("Option/volumese.dat"), "75\r\n");
  EXPECT_EQ(driver.folder().ReadFile("Option/confKey4.dat"), "44\r\n");
}

// The slots a press requests: 24 for the cursor, 25 to confirm, 26 to go back; none for the
// configuration page's confirm or for the volumes.
TEST(TitleMenu, TheSoundsOfThePresses) {
  struct Case {
    const char* name;
    int16_t page, row;
    uint32_t pad;
    int slot;  // -1 none
  };
  const Case cases[] = {
      {"cursor", 0, 0, kPadDown, 24},
      {"START", 0, 0, kPadShot, 25},
      {"back from the difficulties", 1, 0, kPadCharge, 26},
      {"the configuration page's confirm", 4, 0, kPadShot, -1},
      {"back from the configuration page", 4, 0, kPadCharge, 26},
      {"a volume", 7, 1, kPadRight, -1},
      {"the practice stage", 3, 0, kPadRight, 24},
      {"a replay list with entries", 2, 0, kPadUp, 24},
  };
  GameDriver driver;
  BootToLogo(driver);
  driver.folder().WriteFile("replay/normal/a.rpy", "x");
  Difficulty = 1;
  StartStages[1] = 3;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenTitleMenu(driver, 0);
    SoundEffectVolume = 100;
    driver.Run(10);  // every guard run out
    OpenMenuPage(c.page, c.row);
    ReplayFileCount = ListReplayFiles(1);
    driver.Step(Pad(c.pad));
    for (int slot = 24; slot <= 26; ++slot)
      EXPECT_EQ(SoundEffectRequests[slot], slot == c.slot) << slot;
  }
}

}  // namespace
