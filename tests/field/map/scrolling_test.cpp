// The camera and the ship's flight through the play scene, input as hold counts: scroll easing
// and its stop, the camera held in the map, the ship's speed and margins, the view range, the
// map's top, checkpoint passing, the placement at the start, the draw offsets and the bank.
#include <string>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/field_fixture.h"

namespace {

class ScrollingTest : public testing::Test {
 protected:
  // Nothing here reads the digest, which sums megabytes of enemy pools a frame.
  ScrollingTest() { field.digestFrames = false; }
  // A 100 x 20 map (4,000 x 800 px) played on stage 3 (no opening count), the start at column
  // 10, row 10: the ship at (420, 420), the camera at 260, the view range 220..620.
  void Start(const std::string& markers = "cell 2 10 10 16\n") {
    field.WriteStageMaps(3, PlainBackgroundDescription(), FieldMapDescription(100, 20, 5, markers));
    ASSERT_EQ(field.StartStage(3), 1);
  }
  FieldFixture field;
};

TEST_F(ScrollingTest, SpeedEasesTowardItsTargetAndZeroStopsAtOnce) {
  Start();
  // The first frame of play takes the map's speed at once (0 here, no commands).
  field.Step();
  EXPECT_EQ(ScrollSpeed, 0);
  ScrollTargetSpeed = 1;
  for (int i = 1; i <= 60; ++i) {
    field.Step();
    ASSERT_NEAR(ScrollSpeed, std::min(0.02 * i, 1.0), 1e-9) << i;
  }
  EXPECT_EQ(ScrollSpeed, 1);
  ScrollTargetSpeed = 0.5;
  field.Step();
  EXPECT_NEAR(ScrollSpeed, 0.98, 1e-12);
  ScrollTargetSpeed = 0;
  field.Step();
  EXPECT_EQ(ScrollSpeed, 0);
}

TEST_F(ScrollingTest, TheCameraMovesSpeedTimesFramesToTheMapsEnd) {
  Start();
  ScrollSpeed = ScrollTargetSpeed = 3;
  field.Run(100);
  EXPECT_EQ(CameraX, 260 + 300);
  EXPECT_EQ(ViewRight, CameraX + 640);
  EXPECT_EQ(DrawOffsetX, -CameraX);
  // The ship rides with the scroll.
  EXPECT_EQ(PlayerX, 420 + 300);
  field.Run(2000);
  EXPECT_EQ(CameraX, 4000 - 640);
  EXPECT_EQ(ViewRight, 4000);
  EXPECT_EQ(ScrollDeltaX, 0);
  EXPECT_EQ(ScrollSpeed, 3);
}

TEST_F(ScrollingTest, TheShipMovesByItsSpeedSettingAndSlowerOnDiagonals) {
  struct Case {
    int shipSpeed;
    uint32_t held;
    double dx, dy;
  } cases[] = {
      {0, HeldRole(kButtonRight), 2.5, 0},
      {0, HeldRole(kButtonUp), 0, -2.5},
      {3, HeldRole(kButtonDown), 0, 5.5},
      {0, HeldRole(kButtonLeft) | HeldRole(kButtonUp), -2.5 / 1.4, -2.5 / 1.4},
      {2, HeldRole(kButtonRight) | HeldRole(kButtonDown), 4.5 / 1.4, 4.5 / 1.4},
      {0, HeldRole(kButtonLeft) | HeldRole(kButtonRight), 2.5, 0},
      {0, HeldRole(kButtonUp) | HeldRole(kButtonDown), 0, 2.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.held);
    Start();
    ShipSpeed = static_cast<int16_t>(c.shipSpeed);
    const double x = PlayerX, y = PlayerY;
    field.Step(c.held);
    EXPECT_EQ(PlayerX, x + c.dx);
    EXPECT_EQ(PlayerY, y + c.dy);
  }
  // An inactive ship does not take input.
  Start();
  PlayerActive = 0;
  const double x = PlayerX;
  field.Step(HeldRole(kButtonRight));
  EXPECT_EQ(PlayerX, x);
}

TEST_F(ScrollingTest, TheShipKeepsTwentyPixelsFromTheWindowsEdges) {
  Start();
  ScrollSpeed = ScrollTargetSpeed = 1;
  field.Run(300, [](int) { return HeldRole(kButtonLeft) | HeldRole(kButtonUp); });
  EXPECT_EQ(PlayerX, CameraX + 20);
  EXPECT_EQ(PlayerY, ViewTop + 20);
  field.Run(400, [](int) { return HeldRole(kButtonRight) | HeldRole(kButtonDown); });
  EXPECT_EQ(PlayerX, ViewRight - 20);
  EXPECT_EQ(PlayerY, ViewBottom - 20);
  // A vertical loop lets the ship past the range (here one whose ends are far from the window,
  // so that it does not wrap).
  VerticalLoopTop = 0;
  VerticalLoopBottom = 2000;
  field.Step(HeldRole(kButtonDown));
  EXPECT_EQ(PlayerY, ViewBottom - 20 + 2.5);
}

TEST_F(ScrollingTest, TheRangeWidensAtOnceAndNarrowsFourPixelsAFrame) {
  Start();
  ViewTopTarget = 120;
  ViewBottomTarget = 700;
  field.Step();
  EXPECT_EQ(ViewTop, 120);
  EXPECT_EQ(ViewBottom, 700);
  ViewTopTarget = 130;
  ViewBottomTarget = 695;
  const double tops[] = {124, 128, 130, 130};
  const double bottoms[] = {696, 695, 695, 695};
  for (int i = 0; i < 4; ++i) {
    field.Step();
    EXPECT_EQ(ViewTop, tops[i]) << i;
    EXPECT_EQ(ViewBottom, bottoms[i]) << i;
  }
  // The bottom keeps 400 below the top.
  ViewTopTarget = 500;
  ViewBottomTarget = 600;
  field.Step();
  EXPECT_EQ(ViewBottomTarget, 900);
}

TEST_F(ScrollingTest, TheMapsTopStopsAVerticalScrollForGood) {
  Start();
  ScrollAngle = 768;  // up
  ScrollSpeed = ScrollTargetSpeed = 2;
  field.Step();
  EXPECT_NEAR(ViewTop, 218, 1e-9);
  EXPECT_EQ(ScrollDeltaX, CosineTable[768] * 2);
  field.Run(200);
  EXPECT_EQ(ViewTop, 0);
  EXPECT_EQ(ViewTopTarget, 0);
  EXPECT_EQ(ScrollSpeed, 0);
  EXPECT_EQ(ScrollTargetSpeed, 0);
  EXPECT_EQ(DrawOffsetY, 0);
  // Down to the bottom: the same stop there, the range ending within the last frame's step.
  ScrollAngle = 256;
  ScrollSpeed = ScrollTargetSpeed = 4;
  field.Run(200);
  EXPECT_EQ(ScrollSpeed, 0);
  EXPECT_EQ(ScrollTargetSpeed, 0);
  const double bottom = ViewBottom;
  EXPECT_GE(bottom, 800);
  EXPECT_LE(bottom, 804);
  field.Run(20);
  EXPECT_EQ(ViewBottom, bottom);
  EXPECT_EQ(-DrawOffsetY, bottom - 400);
}

TEST_F(ScrollingTest, ACheckpointPassesWithinFortyPixelsOfTheWindowsCentreLine) {
  // Checkpoint 1 at column 30, row 10: (1220, 420).
  struct Case {
    double cameraAfterMove;
    bool horizontal;
    double viewTop;
    bool passed;
  } cases[] = {
      {1220 - 361, true, 220, false},
      {1220 - 360, true, 220, true},
      {1220 - 280, true, 220, true},
      {1220 - 279, true, 220, false},
      {1220 - 320, true, 19, false},
      {1220 - 320, true, 20, true},
      {1220 - 320, false, 420 - 200 - 41, false},
      {1220 - 320, false, 420 - 200 - 40, true},
      {1220 - 320, false, 420 - 200 + 40, true},
      {1220 - 320, false, 420 - 200 + 41, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.cameraAfterMove << " " << c.horizontal << " " << c.viewTop);
    CheckpointIndex = 0;
    Start("cell 2 10 10 16\ncell 2 30 10 17\n");
    ScrollSpeed = ScrollTargetSpeed = c.horizontal ? 0.5 : 0;
    CameraX = c.cameraAfterMove - (c.horizontal ? 0.5 : 0);
    ViewTop = ViewTopTarget = c.viewTop;
    ViewBottom = ViewBottomTarget = c.viewTop + 400;
    PlayerY = c.viewTop + 200;
    field.Step();
    EXPECT_EQ(CheckpointIndex, c.passed ? 1 : 0);
  }
}

TEST_F(ScrollingTest, TheStartPlacesTheShipAndTheCamera) {
  struct Case {
    int column, row;
    double shipX, cameraX;
  } cases[] = {{10, 10, 420, 260}, {5, 10, 220, 60}, {2, 3, 160, 0}, {99, 19, 3980, 3360}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.column);
    Start("cell 2 " + std::to_string(c.column) + " " + std::to_string(c.row) + " 16\n");
    EXPECT_EQ(PlayerX, c.shipX);
    EXPECT_EQ(PlayerY, c.row * 40 + 20);
    EXPECT_EQ(CameraX, c.cameraX);
    EXPECT_EQ(ViewTop, PlayerY - 200);
    EXPECT_EQ(ViewBottom, PlayerY + 200);
    EXPECT_EQ(DrawOffsetY, 200 - PlayerY);  // at screen y 200
    EXPECT_EQ(ShipBankFrame, 31);
  }
}

TEST_F(ScrollingTest, TheWindowFollowsTheShipBetweenScreenRows160And260) {
  Start();
  ViewTopTarget = ViewTop = 0;  // room above and below
  ViewBottomTarget = ViewBottom = 800;
  field.Step();
  EXPECT_EQ(PlayerY + DrawOffsetY, 200);
  // Flying up at 2.5 px a frame: the screen y falls to 160, then the window follows by the
  // ship's own motion one frame behind it, holding the ship at 157.5.
  field.Run(16, [](int) { return HeldRole(kButtonUp); });
  EXPECT_EQ(PlayerY + DrawOffsetY, 160);
  field.Run(10, [](int) { return HeldRole(kButtonUp); });
  EXPECT_EQ(PlayerY + DrawOffsetY, 157.5);
  // At rest the window eases back by 2 px a step to exactly 160, and stays.
  field.Run(3);
  EXPECT_EQ(PlayerY + DrawOffsetY, 160);
  // Flying down the same happens at 260.
  field.Run(50, [](int) { return HeldRole(kButtonDown); });
  EXPECT_EQ(PlayerY + DrawOffsetY, 262.5);
  // At the range's top the window stops and the ship goes on up to the margin.
  field.Run(200, [](int) { return HeldRole(kButtonUp); });
  EXPECT_EQ(DrawOffsetY, 0);
  EXPECT_EQ(PlayerY, 20);
}

TEST_F(ScrollingTest, TheShipBanksThreeAFrameAndLevelsOneAFrame) {
  Start();
  field.Step(HeldRole(kButtonUp));
  EXPECT_EQ(ShipBankFrame, 28);
  field.Run(20, [](int) { return HeldRole(kButtonUp); });
  EXPECT_EQ(ShipBankFrame, 0);
  field.Run(3);
  EXPECT_EQ(ShipBankFrame, 3);
  field.Run(40, [](int) { return HeldRole(kButtonDown); });
  EXPECT_EQ(ShipBankFrame, 62);
  field.Run(31);
  EXPECT_EQ(ShipBankFrame, 31);
  field.Step();
  EXPECT_EQ(ShipBankFrame, 31);
}

}  // namespace
