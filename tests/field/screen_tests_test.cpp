// The world and screen conversions and the visibility tests: strict edges, margins that switch
// a test off or shrink the box, the view box during a vertical loop, and the clamp's order.
#include <gtest/gtest.h>

#include "stg_src/field/map/map_loops.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game_state.h"

namespace {

class ScreenTestsTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    // The screen shows world x 1000..1640, y 500..900; the view box is x 1000..1640, y 300..1100.
    DrawOffsetX = -1000;
    DrawOffsetY = -500;
    CameraX = 1000;
    ViewRight = 1640;
    ViewTop = 300;
    ViewBottom = 1100;
  }
  void TearDown() override { ResetGameState(); }
};

TEST_F(ScreenTestsTest, CoordinatesConvertByTheDrawOffsets) {
  EXPECT_EQ(ScreenToWorldX(20), 1020);
  EXPECT_EQ(ScreenToWorldY(20), 520);
  EXPECT_EQ(WorldToScreenX(1020), 20);
  EXPECT_EQ(WorldToScreenY(520), 20);
}

TEST_F(ScreenTestsTest, TheClampTestsItsLowerBoundFirst) {
  struct Case {
    double value, margin, x;
  } cases[] = {
      {0, 20, 1020},
      {1300, 20, 1300},
      {5000, 20, 1620},
      // Margins past the middle: below the lower bound gives it, anything else the upper.
      {1300, 400, 1400},
      {1500, 400, 1240},
      {650, 250, 1250},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " margin " << c.margin);
    EXPECT_EQ(ClampToScreenX(c.value, c.margin), c.x);
  }
  EXPECT_EQ(ClampToScreenY(0, 20), 520);
  EXPECT_EQ(ClampToScreenY(700, 20), 700);
  EXPECT_EQ(ClampToScreenY(5000, 20), 880);
  EXPECT_EQ(ClampToScreenY(600, 250), 750);  // lo 750 > hi 650
  EXPECT_EQ(ClampToScreenY(800, 250), 650);
}

TEST_F(ScreenTestsTest, ScreenEdgesAreInsideAndTheTestsAreStrict) {
  struct Case {
    double sx, sy;
    bool outside;
  } cases[] = {
      {640, 200, false}, {640.0001, 200, true}, {0, 200, false}, {-0.0001, 200, true},
      {300, 400, false}, {300, 400.0001, true}, {300, 0, false}, {300, -0.0001, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sx << ", " << c.sy);
    const double x = ScreenToWorldX(c.sx), y = ScreenToWorldY(c.sy);
    EXPECT_EQ(IsOutsideScreen(x, y, 0), c.outside);
    EXPECT_EQ(IsOffScreen(x, y, 0, false), c.outside);
    EXPECT_EQ(IsOffScreenXY(x, y, 0, 0, false, false), c.outside);
  }
  // A margin widens every side.
  EXPECT_FALSE(IsOutsideScreen(ScreenToWorldX(-30), ScreenToWorldY(430), 30));
  EXPECT_TRUE(IsOutsideScreen(ScreenToWorldX(-30.5), ScreenToWorldY(200), 30));
  EXPECT_FALSE(IsOutsideScreenXY(ScreenToWorldX(-30), ScreenToWorldY(405), 30, 5));
  EXPECT_TRUE(IsOutsideScreenXY(ScreenToWorldX(200), ScreenToWorldY(406), 30, 5));
}

TEST_F(ScreenTestsTest, ANegativeMarginSwitchesTheTestOffUnlessForced) {
  for (bool viewBox : {false, true}) {
    SCOPED_TRACE(viewBox);
    EXPECT_FALSE(IsOffScreen(-1e9, 1e9, -1, viewBox));
    EXPECT_FALSE(IsOffScreenXY(-1e9, 1e9, 10, -1, viewBox, false));
    EXPECT_FALSE(IsOffScreenXY(-1e9, 1e9, -1, 10, viewBox, false));
  }
  // Forced, marginY -1 shrinks the screen by a pixel at top and bottom; marginX 10 still widens.
  auto forced = [](double sx, double sy) {
    return IsOffScreenXY(ScreenToWorldX(sx), ScreenToWorldY(sy), 10, -1, false, true);
  };
  EXPECT_FALSE(forced(300, 1));
  EXPECT_TRUE(forced(300, 0.5));
  EXPECT_FALSE(forced(300, 399));
  EXPECT_TRUE(forced(300, 399.5));
  EXPECT_FALSE(forced(-10, 200));
  EXPECT_TRUE(forced(-10.5, 200));
}

TEST_F(ScreenTestsTest, TheViewBoxIgnoresYDuringAVerticalLoop) {
  struct Case {
    double x, y;
    bool outside, outsideInLoop;
  } cases[] = {
      {1300, 300, false, false},  {1300, 299, true, false},  {1300, -5000, true, false},
      {1300, 1100, false, false}, {1300, 9000, true, false}, {999, 700, true, true},
      {1640, 700, false, false},  {1641, 700, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    VerticalLoopBottom = 0;
    EXPECT_EQ(IsOutsideViewBox(c.x, c.y, 0), c.outside);
    EXPECT_EQ(IsOffScreen(c.x, c.y, 0, true), c.outside);
    VerticalLoopBottom = 1200;
    EXPECT_EQ(IsOutsideViewBox(c.x, c.y, 0), c.outsideInLoop);
    EXPECT_EQ(IsOutsideViewBoxXY(c.x, c.y, 0, 0), c.outsideInLoop);
  }
  VerticalLoopBottom = 0;
  // The view box is not the screen: y 1000 is off the screen but inside the view range.
  EXPECT_TRUE(IsOffScreen(1300, 1000, 0, false));
  EXPECT_FALSE(IsOffScreen(1300, 1000, 0, true));
  EXPECT_FALSE(IsOutsideViewBoxXY(990, 1150, 10, 50));
  EXPECT_TRUE(IsOutsideViewBoxXY(990, 1151, 10, 50));
}

}  // namespace
