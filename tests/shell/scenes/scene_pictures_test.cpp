// The front-end scenes drawn on the software path, with flat-colour stand-ins for their images
// (scene_fixtures.h): pixels probed where the scenes put each image, text glyph and box, and a
// few whole frames held to their hashes (written out as PNG files when they differ).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "stg_src/field/play_field.h"
#include "stg_src/game/ending_text.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"
#include "tests/game_support/scene_driving.h"
#include "tests/shell/scenes/scene_fixtures.h"

namespace {

uint32_t Glyph(char c) { return FixtureColour("data/font.png", static_cast<uint8_t>(c)); }

// A colour drawn at brightness (255, 127, 127).
uint32_t Reddened(uint32_t c) { return (c & 0xFF0000) | (ScaleColour(c, 127, 255) & 0xFFFF); }

#define EXPECT_COLOUR(frame, x, y, expected) \
  EXPECT_EQ((frame).At(x, y), expected) << "at (" << (x) << ", " << (y) << ")"
#define EXPECT_COLOUR_NEAR(frame, x, y, expected, tolerance)                                 \
  EXPECT_TRUE(ColoursNear((frame).At(x, y), expected, tolerance))                            \
      << std::hex << (frame).At(x, y) << " for " << (expected) << " at (" << std::dec << (x) \
      << ", " << (y) << ")"

class ScenePictures : public testing::Test {
 protected:
  void SetUp() override {
    WriteSceneFixtures(driver_.folder());
    BootToLogo(driver_);
  }
  // One frame, then the window's picture.
  ShownFrame StepAndRead(const FrameInput& input = {}) {
    driver_.Step(input);
    return ReadShownFrame();
  }
  // The whole frame against the hash it had when its picture was checked by eye.
  void ExpectHash(const ShownFrame& frame, const char* name, uint64_t hash) {
    if (frame.Hash() == hash) return;
    ADD_FAILURE() << name << ": the frame's hash is 0x" << std::hex << frame.Hash()
                  << "; written to " << frame.SavePng(name);
  }

  GameDriver driver_;
};

TEST_F(ScenePictures, TheLogoFadesInStandsAndFadesOut) {
  const uint32_t logo = FixtureColour("data/demo/logo.bmp", 0);
  // 200 x 100 centred on (320, 240), under a black box of the fade level.
  ShownFrame f = StepAndRead();  // frame 1: 250
  EXPECT_COLOUR_NEAR(f, 320, 240, ScaleColour(logo, 5, 255), 2);
  driver_.Run(49);
  f = StepAndRead();  // frame 51: in
  EXPECT_COLOUR(f, 320, 240, logo);
  EXPECT_COLOUR(f, 220, 190, logo);
  EXPECT_COLOUR(f, 219, 240, 0u);
  EXPECT_COLOUR(f, 320, 290, 0u);
  driver_.Run(48);
  f = StepAndRead();  // frame 100: 105
  EXPECT_COLOUR_NEAR(f, 320, 240, ScaleColour(logo, 150, 255), 2);
  driver_.Run(30);
  f = StepAndRead();  // frame 131: out, nothing drawn
  EXPECT_COLOUR(f, 320, 240, 0u);
}

// The scroll layers' colour at a screen point: the near layer's 16 x 16 chip corners over the
// far layer's chips, both 400 high from y 40.
uint32_t LayerColour(int x, int y, int farX, int nearX) {
  const int ly = y - 40;
  int nx = (x - nearX) % 320;
  if (nx < 0) nx += 320;
  if (nx % 80 < 16 && ly % 80 < 16)
    return FixtureColour("data/map/stage4_1/map4b2.bmp", (ly / 80) * 12 + nx / 80);
  int fx = (x - farX) % 960;
  if (fx < 0) fx += 960;
  return FixtureColour("data/map/stage4_1/map4b.bmp", (ly / 80) * 12 + fx / 80);
}

TEST_F(ScenePictures, TheIntroAtFrames100And300) {
  const uint32_t curtain = 59u << 16 | 59u << 8 | 84u;
  auto thinBeam = [](int frame) { return FixtureColour("data/title/beam2.png", frame); };
  CurrentScene = kSceneTitleVisit;
  driver_.Step();
  driver_.Run(98);
  ShownFrame f = StepAndRead();
  ASSERT_EQ(SceneFrame, 100);
  // The layers scrolled 99 steps: far -792, near -216 (back at 0 every 27th step).
  ASSERT_EQ(SceneWork[1], -792);
  ASSERT_EQ(SceneWork[2], -216);
  // The curtain from 0 to its edge (244), the banner's corner at the edge.
  EXPECT_COLOUR(f, 100, 300, curtain);
  EXPECT_COLOUR(f, 243, 300, curtain);
  EXPECT_COLOUR(f, 250, 10, FixtureColour("data/title/kelv.png", 0));
  // Between beam rows: the layers alone.
  EXPECT_COLOUR(f, 400, 196, LayerColour(400, 196, -792, -216));
  EXPECT_COLOUR(f, 300, 196, LayerColour(300, 196, -792, -216));
  // Row 8 (y 400): its thin beam, started at f 40, on frame (60 mod 32) / 4, added.
  EXPECT_COLOUR(f, 400, 400, AddColours(LayerColour(400, 400, -792, -216), thinBeam(7)));
  EXPECT_COLOUR(f, 400, 390, LayerColour(400, 390, -792, -216));
  ExpectHash(f, "intro100", 0xf9d909a6db1c09b7ull);

  driver_.Run(199);
  f = StepAndRead();
  ASSERT_EQ(SceneFrame, 300);
  // The boss from x 320 (16 a frame from f 281), under no blast or beam at y 250.
  ASSERT_EQ(SceneWork[3], 320);
  const uint32_t boss = FixtureColour("data/title/boss.bmp", 0);
  EXPECT_COLOUR(f, 320, 250, boss);
  EXPECT_COLOUR(f, 630, 250, boss);
  EXPECT_NE(f.At(319, 250), boss);
  // The layers at -472 and -24; the curtain gone; row 0's beam, re-cued at f 110, on frame 7.
  EXPECT_COLOUR(f, 100, 60, LayerColour(100, 60, -472, -24));
  EXPECT_COLOUR(f, 100, 300, LayerColour(100, 300, -472, -24));
  EXPECT_COLOUR(f, 100, 80, AddColours(LayerColour(100, 80, -472, -24), thinBeam(7)));
  // The ship, leaning up to image 0, drawn where it stood before this frame's move.
  ASSERT_EQ(ShipBankFrame, 0);
  const int shipX = static_cast<int>(PlayerX - PlayerMoveX);
  const int shipY = static_cast<int>(PlayerY - PlayerMoveY);
  EXPECT_COLOUR(f, shipX, shipY - 20, FixtureColour("data/robo/jiki.bmp", 0));
  EXPECT_COLOUR(f, shipX + 30, shipY - 20, FixtureColour("data/robo/jiki.bmp", 0));
  ExpectHash(f, "intro300", 0x1096803e6c3bf7fbull);

  // The frame the intro ends in is the white its flash reaches.
  f = StepAndRead(Pad(kPadShot));
  ASSERT_EQ(CurrentScene, kSceneTitleMenu);
  EXPECT_COLOUR(f, 0, 0, 0xF4F4F4u);
  EXPECT_COLOUR(f, 639, 479, 0xF4F4F4u);
}

// Menu frame n is drawn with the flash at 255 - 4n; from 66 up the menu stands slid right by
// s = 6 x flash - 390 and the flash box adds 244 x flash / 255.
TEST_F(ScenePictures, TheTopMenuSlidesIn) {
  const uint32_t back = FixtureColour("data/title/weaponback.bmp", 0);
  const uint32_t selected = FixtureColour("data/title/menu_bg.png", 0);
  const uint32_t plain = FixtureColour("data/title/menu_bg_.png", 0);
  CurrentScene = kSceneTitleVisit;
  driver_.Step();
  driver_.Step(Pad(kPadShot));
  ASSERT_EQ(CurrentScene, kSceneTitleMenu);
  MenuCursors[0] = 1;
  driver_.Run(45);
  ShownFrame f = StepAndRead();  // menu frame 45: flash 75, s 60
  const uint32_t flash = ScaleColour(0xF4F4F4, 75, 255);
  auto lit = [&](uint32_t c) { return AddColours(c, flash); };
  EXPECT_COLOUR_NEAR(f, 20, 450, lit(back), 2);
  EXPECT_COLOUR_NEAR(f, 143, 293, lit(back), 2);      // left of the slid row frames
  EXPECT_COLOUR_NEAR(f, 144, 293, lit(plain), 2);     // row 0's frame from 84 + 60
  EXPECT_COLOUR_NEAR(f, 300, 323, lit(selected), 2);  // row 1, the cursor's
  EXPECT_COLOUR_NEAR(f, 300, 353, lit(plain), 2);
  EXPECT_COLOUR_NEAR(f, 151, 300, lit(Glyph('>')), 2);  // the pointer at 89 + s, 268 + 30
  EXPECT_COLOUR_NEAR(f, 198, 272, lit(Glyph('S')), 2);  // START at 136 + s
  EXPECT_COLOUR_NEAR(f, 198, 392, lit(Glyph('Q')), 2);  // QUIT

  driver_.Run(20);
  f = StepAndRead();  // the flash out: no slide, nothing added
  EXPECT_COLOUR(f, 20, 450, back);
  EXPECT_COLOUR(f, 84, 293, plain);
  EXPECT_COLOUR(f, 83, 293, back);
  EXPECT_COLOUR(f, 91, 300, Glyph('>'));
  EXPECT_COLOUR(f, 138, 272, Glyph('S'));
  EXPECT_COLOUR(f, 320, 100, FixtureColour("data/title/title.png", 0));
  // The frame picture's corner at (0, 0) in alpha 191 over the backdrop.
  EXPECT_COLOUR_NEAR(f, 5, 5,
                     AddColours(ScaleColour(FixtureColour("data/title/quorvwaku.bmp", 0), 191, 255),
                                ScaleColour(back, 64, 255)),
                     2);
  ExpectHash(f, "menu", 0x62df6bcd4a036663ull);
}

TEST_F(ScenePictures, TheKeyPageShowsTheKeysNames) {
  OpenTitleMenu(driver_, 3);
  MenuPage = 6;
  MenuCursors[6] = 4;
  const ShownFrame f = StepAndRead();
  EXPECT_COLOUR(f, 101, 80, Glyph('K'));   // KEY CONFIG
  EXPECT_COLOUR(f, 86, 139, Glyph('L'));   // LEFT
  EXPECT_COLOUR(f, 300, 139, Glyph('N'));  // NUMPAD4
  EXPECT_COLOUR(f, 496, 139, Glyph('A'));  // AND LEFT, after fourteen blanks
  EXPECT_COLOUR(f, 300, 159, Glyph('N'));  // NUMPAD6, on the RIGHT row
  EXPECT_COLOUR(f, 300, 219, Glyph('Z'));  // SHOT
  EXPECT_COLOUR(f, 300, 279, Glyph('P'));  // SCREEN SHOT
  EXPECT_COLOUR(f, 66, 219, Glyph('>'));   // the pointer on row 4
  EXPECT_COLOUR(f, 66, 199, FixtureColour("data/title/weaponback.bmp", 0));
}

TEST_F(ScenePictures, TheWeaponSelectIconsCursorsAndLevelBars) {
  auto icon = [](int i) { return FixtureColour("data/weapon/weaponicon.bmp", i); };
  auto cursor = [](int i) { return FixtureColour("data/weapon/weaponiconcursor.bmp", i); };
  const uint32_t back = FixtureColour("data/weapon/weaponselect.bmp", 0);
  ResetWeaponUnlocks();
  ResetRunState();
  MenuCursors[0] = 0;
  CurrentScene = kSceneTitleMenu;
  StartPlay();
  driver_.Step();
  ASSERT_EQ(CurrentScene, kSceneWeaponSelect);
  MainWeaponLevels[1] = 3;
  SubWeaponLevels[2] = 8;
  SubWeaponTimers[2] = 1500;
  ShownFrame f = StepAndRead();  // frame 1
  // Unlocked icons at (64 + 96 i, row y); locked ones not drawn.
  EXPECT_COLOUR(f, 96, 100, icon(0));
  EXPECT_COLOUR(f, 192, 100, icon(1));
  EXPECT_COLOUR(f, 288, 100, back);                 // main weapon 2, locked
  EXPECT_COLOUR(f, 96 + 3 * 96, 212, icon(4 + 3));  // sub weapon 3
  EXPECT_COLOUR(f, 96 + 4 * 96, 212, back);         // sub weapon 4, locked
  EXPECT_COLOUR(f, 96 + 96, 420, icon(12 + 1));     // charge weapon 1
  // The choice framed in every row; the current step's row with the blinking cursor, frame 0
  // for SceneFrame 0..5, 1 for 6..11.
  EXPECT_COLOUR(f, 65, 72, cursor(0));
  EXPECT_COLOUR(f, 65, 184, cursor(0));
  EXPECT_COLOUR(f, 160 + 1, 280, cursor(0));  // the second sub weapon's choice, 1
  // Level bars 15 high from 54 below the row: main weapon 1 at level 3, three blocks 5 wide
  // and 7 apart from x 165.
  EXPECT_COLOUR(f, 165, 126, 0x8B0314u);
  EXPECT_COLOUR(f, 169 + 14, 139, 0x8B0314u);
  EXPECT_COLOUR(f, 170, 130, icon(1));
  EXPECT_COLOUR(f, 186, 130, icon(1));
  EXPECT_COLOUR(f, 165, 125, icon(1));
  // Sub weapon 2 at level 8: the dark gauge, its outline, half of it filled, MAX over it.
  EXPECT_COLOUR(f, 262, 245, 0x09FC6Eu);
  EXPECT_COLOUR(f, 313, 245, 0x000313u);
  EXPECT_COLOUR(f, 314, 245, 0x09FC6Eu);
  EXPECT_COLOUR(f, 266, 237, Glyph('M'));
  // TIME 29: (1800 - 1) / 60.
  EXPECT_COLOUR(f, 352, 18, Glyph('2'));
  EXPECT_COLOUR(f, 380, 18, Glyph('9'));
  ExpectHash(f, "weaponselect", 0x28b22edbbff65d7full);

  driver_.Run(5);
  f = StepAndRead();  // frame 7: the cursor's other frame
  EXPECT_COLOUR(f, 65, 72, cursor(1));
  EXPECT_COLOUR(f, 65, 184, cursor(0));
  // The last second reads TIME 00.
  SceneFrame = 1749;
  f = StepAndRead();
  EXPECT_COLOUR(f, 352, 18, Glyph('0'));
  EXPECT_COLOUR(f, 380, 18, Glyph('0'));
}

TEST_F(ScenePictures, TheStageClearLines) {
  const uint32_t back = FixtureColour("data/title/weaponback.bmp", 0);
  Difficulty = 1;
  CurrentStage = 1;
  StageBonusCount = 10;
  StageUnlockId = 2;
  CurrentScene = kSceneStageClear;
  SceneFrame = 0;
  ShownFrame f = StepAndRead();
  EXPECT_COLOUR(f, 95, 77, Glyph('S'));    // "       STAGE CLEAR" from -5
  EXPECT_COLOUR(f, 137, 152, Glyph('B'));  // "          BONUS"
  EXPECT_COLOUR(f, 125, 187, FixtureColour("data/item/item5.bmp", 0));
  EXPECT_COLOUR(f, 165, 192, Glyph('='));
  EXPECT_COLOUR(f, 193, 192, Glyph('1'));  // the count, 10
  // PERFECT! in (255, 127, 127), "* 2" under the line "10 * 10000     = 200000".
  EXPECT_COLOUR_NEAR(f, 123, 232, Reddened(Glyph('P')), 1);
  EXPECT_COLOUR(f, 95, 272, Glyph('1'));
  EXPECT_COLOUR_NEAR(f, 249, 272, Reddened(Glyph('*')), 1);
  EXPECT_COLOUR(f, 319, 272, Glyph('='));
  // The unlocked weapon: its icon, the UNLOCKED picture's corner, the unlock item.
  EXPECT_COLOUR(f, 200, 400, FixtureColour("data/weapon/weaponicon.bmp", 2));
  EXPECT_COLOUR(f, 5, 355, FixtureColour("data/weapon/UNLOCKED.bmp", 0));
  EXPECT_COLOUR(f, 117, 368, FixtureColour("data/item/unlock.bmp", 0));
  EXPECT_COLOUR(f, 5, 5, FixtureColour("data/title/weaponback2.png", 0));
  EXPECT_COLOUR(f, 600, 450, back);
  ExpectHash(f, "stageclear", 0x6709a185911a74abull);

  // Seven items: one line at y 230, no PERFECT!.
  StageBonusCount = 7;
  StageUnlockId = -1;
  CurrentScene = kSceneStageClear;
  SceneFrame = 0;
  f = StepAndRead();
  EXPECT_COLOUR(f, 109, 232, Glyph('7'));
  EXPECT_COLOUR(f, 95, 272, back);
  EXPECT_COLOUR(f, 200, 400, back);
}

TEST_F(ScenePictures, TheGameOverQuestion) {
  Difficulty = 1;
  Credits = 9;
  YesNoCursor = 1;
  MenuCursors[0] = 0;
  Score = 1234;
  HighScores[1] = 99;
  CurrentScene = kSceneGameOver;
  SceneFrame = 0;
  driver_.Run(120);
  ShownFrame f = StepAndRead();            // frame 121: the replay question
  EXPECT_COLOUR(f, 257, 212, Glyph('G'));  // "   GAME OVER   " at full brightness
  auto dim = [](char c) { return ScaleColour(Glyph(c), 128, 255); };
  EXPECT_COLOUR_NEAR(f, 362, 425, dim('S'), 1);  // SAVE REPLAY?
  EXPECT_COLOUR_NEAR(f, 550, 445, dim('>'), 1);  // on NO
  EXPECT_COLOUR_NEAR(f, 242, 7, dim('H'), 1);    // HI-SCORE+
  // The higher of the two scores, right-aligned in 17 columns from 240: 1234 ends at 464 (each
  // digit drawn right to left, over the last one's first pixels).
  EXPECT_COLOUR_NEAR(f, 240 + 16 * 14 + 8, 7, dim('4'), 1);
  EXPECT_COLOUR_NEAR(f, 240 + 13 * 14 + 2, 7, dim('1'), 1);
  EXPECT_COLOUR_NEAR(f, 7, 7, dim('S'), 1);  // SCORE+
  EXPECT_COLOUR_NEAR(f, 5 + 13 * 14 + 8, 7, dim('4'), 1);
}

TEST_F(ScenePictures, TheEndingTextAndTheBarsFromStage3On) {
  const uint32_t bar = FixtureColour("data/demo/alphablack.png", 0);
  ResetRunState();
  MenuCursors[0] = 0;
  CurrentStage = 3;
  CurrentScene = kSceneStageStart;
  driver_.Run(3);
  ASSERT_EQ(CurrentScene, kScenePlay);
  ASSERT_GT(GameFrame, 1);
  std::strcpy(EndingTextLines[0], "ABC");
  std::strcpy(EndingTextLines[1], "HELLO");
  std::strcpy(EndingTextLines[2], "WORLD");
  SceneWork[1] = 3;
  SceneWork[0] = 300;
  const ShownFrame f = StepAndRead();
  // Line i at y = 490 + 30 i - 300.
  EXPECT_COLOUR(f, 34, 192, Glyph('A'));
  EXPECT_COLOUR(f, 34, 222, Glyph('H'));
  EXPECT_COLOUR(f, 34, 252, Glyph('W'));
  // The black bars and the soft edge centred on y 80 and 400.
  EXPECT_COLOUR(f, 320, 30, 0u);
  EXPECT_COLOUR(f, 320, 460, 0u);
  EXPECT_COLOUR(f, 320, 70, bar);
  EXPECT_COLOUR(f, 10, 410, bar);
  EXPECT_COLOUR(f, 320, 59, 0u);
}

TEST_F(ScenePictures, TheReplayListAndItsEmptyState) {
  driver_.folder().WriteFile("replay/normal/a.rpy", "x");
  driver_.folder().WriteFile("replay/normal/b.rpy", "x");
  OpenTitleMenu(driver_, 1);
  Difficulty = 1;
  MenuPage = 2;
  ReplayFileCount = ListReplayFiles(1);
  ASSERT_EQ(ReplayFileCount, 2);
  ReplayListTop = 0;
  ReplayListSlide = 200;
  MenuCursors[2] = 1;
  ShownFrame f = StepAndRead();
  // Names from x 40 + the slide, 16 apart from y 3 (lower case drawn as upper); the pointer.
  const char first = ReplayFiles.head->name[0] == 'a' ? 'A' : 'B';
  EXPECT_COLOUR(f, 242, 5, Glyph(first));
  EXPECT_COLOUR(f, 242, 21, Glyph(first == 'A' ? 'B' : 'A'));
  EXPECT_COLOUR(f, 18, 21, Glyph('>'));
  EXPECT_COLOUR(f, 42, 5, FixtureColour("data/title/weaponback.bmp", 0));
  f = StepAndRead();  // 40 further in
  EXPECT_COLOUR(f, 202, 5, Glyph(first));

  ReplayFileCount = 0;
  f = StepAndRead();
  EXPECT_COLOUR(f, 18, 5, Glyph('N'));  // NOTHING
  EXPECT_COLOUR(f, 18, 30, FixtureColour("data/title/weaponback.bmp", 0));
}

}  // namespace
