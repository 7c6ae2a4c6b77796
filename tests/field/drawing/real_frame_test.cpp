// One real frame of stage 2 drawn by the game's own loop on the software path, with the data
// kit's graphs as the shell's loaders load them: the ship lands where the field says it is, the
// map layers fill the play area around it, and the board lies under the play area.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/game_driver.h"

namespace {

constexpr int kKeyP = 25;  // the screenshot key

uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes.at(at + i));
  return v;
}

// The frame's screenshot: a 640 x 480 24-bit BMP, read as "is the pixel black".
struct Shot {
  std::string bmp;
  size_t pixels = 0;
  bool bottomUp = true;
  bool Lit(int x, int y) const {
    const size_t row = bottomUp ? 479 - y : y;
    const size_t at = pixels + row * 640 * 3 + x * 3;
    return bmp[at] != 0 || bmp[at + 1] != 0 || bmp[at + 2] != 0;
  }
};

TEST(RealFrameDrawing, TheShipAndTheBoardOnTheSoftwareScreen) {
  GameDriver::Options options;
  options.kit = "common,stage2";  // the stage's chip sheets too
  GameDriver driver(options);
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  ASSERT_GT(ShipImages[0], 0);  // the common set, loaded at boot
  ASSERT_GT(BoardImage, 0);
  ResetRunState();
  MenuCursors[0] = 0;
  CurrentStage = 2;
  CurrentScene = kSceneStageStart;
  driver.Run(100);
  ASSERT_EQ(CurrentScene, kScenePlay);
  ASSERT_GE(GameFrame, 16);  // the curtains are open

  std::filesystem::remove_all(driver.folder().path() + "/ScreenShots");
  driver.folder().MakeDirectory("ScreenShots");
  driver.Step({{kKeyP}});
  const int shipX = static_cast<int>(PlayerX + DrawOffsetX + ScreenShake.offsetX);
  const int shipY = static_cast<int>(PlayerY + DrawOffsetY + ScreenShake.offsetY);
  std::string name;
  for (const auto& e : std::filesystem::directory_iterator(driver.folder().path() + "/ScreenShots"))
    name = "ScreenShots/" + e.path().filename().string();
  ASSERT_FALSE(name.empty());
  Shot shot{driver.folder().ReadFile(name)};
  ASSERT_GE(shot.bmp.size(), 54u);
  shot.pixels = Le32(shot.bmp, 10);
  shot.bottomUp = static_cast<int32_t>(Le32(shot.bmp, 22)) > 0;
  ASSERT_EQ(shot.bmp.size(), shot.pixels + 640u * 3 * 480);

  // The play area: the ship's frame and its thruster's (centred 32 px behind), and the map
  // layers around them.
  int litShip = 0, litElsewhere = 0;
  for (int y = 0; y < 400; ++y) {
    for (int x = 0; x < 640; ++x) {
      if (!shot.Lit(x, y)) continue;
      const bool ship = x >= shipX - 32 && x < shipX + 32 && y >= shipY - 32 && y < shipY + 32;
      const bool jet = x >= shipX - 80 && x < shipX + 16 && y >= shipY - 16 && y < shipY + 16;
      (ship || jet ? litShip : litElsewhere) += 1;
    }
  }
  EXPECT_GT(litShip, 300) << shipX << ", " << shipY;
  EXPECT_GT(litElsewhere, 640 * 400 / 4) << shipX << ", " << shipY;
  // The board covers the rows under the play area.
  int litBoard = 0;
  for (int y = 400; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) litBoard += shot.Lit(x, y);
  }
  EXPECT_GT(litBoard, 640 * 80 / 2);

  driver.Quit();
}

}  // namespace
