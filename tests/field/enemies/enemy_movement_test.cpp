// The shared movement steps on small maps from the map writer: floor and ceiling walkers over
// slopes and off ledges, hard landings, route markers, the slow faller, homing, the turn by
// screen half, the eased vertical approach, the lean toward the player and the frames on screen.
#include <cmath>
#include <limits>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/terrain/terrain_reference.h"
#include "tests/game_support/field_fixture.h"

namespace {

class EnemyMovementTest : public testing::Test {
 protected:
  // A live walker in slot 0 of pool 0.
  EnemyObject& Walker(double x, double y, double speed) {
    EnemyObject& o = EnemyPool0[0];
    o = EnemyObject{};
    o.state = 2;
    o.x = x;
    o.y = y;
    o.speed = speed;
    o.vx = speed;
    o.vy = 0;
    o.probeOffset = 10;
    return o;
  }
  // The first ground (down) or ceiling in the column at x, from the reference's surfaces.
  static double SurfaceAt(const RefTerrainMap& map, double x, bool down) {
    return static_cast<double>(RefPlaceInColumn(map, x, down ? 0 : 479, 0, down).y);
  }
  static std::vector<RefCell> Row(int row, int from, int to, int type) {
    std::vector<RefCell> cells;
    for (int c = from; c <= to; ++c) cells.push_back({c, row, type});
    return cells;
  }
  static std::vector<RefCell> Join(std::initializer_list<std::vector<RefCell>> parts) {
    std::vector<RefCell> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  }

  FieldFixture field;
};

TEST_F(EnemyMovementTest, AFloorWalkerKeepsToTheSurfaceOverSlopes) {
  // Floor at 320; up a half slope in two tiles to a shelf at 280, down a 45-degree slope.
  RefTerrainMap map(
      30, 12,
      Join({Row(8, 0, 29, 1),
            {{10, 7, 4}, {11, 7, 5}, {12, 7, 1}, {13, 7, 1}, {14, 7, 1}, {15, 7, 3}}}));
  EnemyObject& o = Walker(300, 310, 1.5);
  std::set<int> slopes;
  for (int frame = 0; frame < 300; ++frame) {
    const int16_t angle = o.angle;
    StepFloorWalker(EnemyPool0, 0, 123.0, 4);
    ASSERT_EQ(o.airFrames, 0) << frame;
    ASSERT_EQ(o.vy, 0) << frame;
    ASSERT_EQ(o.landTimer, 0) << frame;
    ASSERT_NEAR(o.y, SurfaceAt(map, o.x, true) - 10, 1e-9) << frame << " at x " << o.x;
    ASSERT_EQ(o.vx, 1.5 * CosineTable[o.groundSlope]) << frame;
    ASSERT_EQ(o.groundSpeed, 1.5) << frame;
    ASSERT_LE(std::abs(AngleDifference(o.angle, angle)), 4) << frame;
    slopes.insert(o.groundSlope);
  }
  EXPECT_GT(o.x, 700);
  EXPECT_EQ(slopes, (std::set<int>{0, 127, 949}));
  // Turned toward the flat ground at the end.
  EXPECT_EQ(o.angle, 0);
  EXPECT_EQ(o.angle2, 0);
}

TEST_F(EnemyMovementTest, AFallOffALedgeEndsInAHardLanding) {
  RefTerrainMap map(30, 12, Join({Row(5, 0, 9, 1), Row(8, 0, 29, 1)}));
  EnemyObject& o = Walker(300, 190, 1.5);
  int longestFlight = 0, frame = 0;
  for (; frame < 200; ++frame) {
    const int16_t airFrames = o.airFrames;
    StepFloorWalker(EnemyPool0, 0, 0, 0);
    longestFlight = std::max<int>(longestFlight, o.airFrames);
    if (airFrames > 0 && o.airFrames == 0) break;
    ASSERT_EQ(o.landTimer, 0) << frame;
  }
  EXPECT_GT(longestFlight, 10);
  EXPECT_EQ(o.landTimer, 32);
  EXPECT_EQ(o.y, 310);
  EXPECT_EQ(o.vy, 0);
  EXPECT_GT(o.x, 400);
}

TEST_F(EnemyMovementTest, OnlyThreeOrMoreAirborneFramesMakeAHardLanding) {
  RefTerrainMap map(30, 12, Row(8, 0, 29, 1));
  for (int airFrames : {0, 1, 2, 3, 9}) {
    EnemyObject& o = Walker(300, 309, 1);
    o.airFrames = static_cast<int16_t>(airFrames);
    o.vy = 3;
    o.landTimer = 0;
    StepFloorWalker(EnemyPool0, 0, 0, 0);
    EXPECT_EQ(o.airFrames, 0) << airFrames;
    EXPECT_EQ(o.y, 310) << airFrames;
    EXPECT_EQ(o.landTimer, airFrames >= 3 ? 32 : 0) << airFrames;
  }
}

TEST_F(EnemyMovementTest, ACeilingWalkerKeepsToTheCeilingUpsideDown) {
  // Ceiling undersides at 120, rising by quarter slopes to 80.
  RefTerrainMap map(30, 12,
                    Join({Row(1, 0, 29, 1),
                          Row(2, 0, 9, 1),
                          {{10, 2, 28}, {11, 2, 29}, {12, 2, 30}, {13, 2, 31}}}));
  EnemyObject& o = Walker(300, 130, 1.5);
  std::set<int> slopes;
  for (int frame = 0; frame < 300; ++frame) {
    StepCeilingWalker(EnemyPool0, 0, 0, 0);
    ASSERT_EQ(o.airFrames, 0) << frame;
    ASSERT_EQ(o.vy, 0) << frame;
    ASSERT_NEAR(o.y, SurfaceAt(map, o.x, false) + 10, 1e-9) << frame << " at x " << o.x;
    slopes.insert(o.groundSlope);
  }
  EXPECT_GT(o.x, 700);
  EXPECT_EQ(slopes, (std::set<int>{0, 985}));
  // Off the end of a ceiling it falls upward.
  RefTerrainMap open(30, 12, Row(2, 0, 9, 1));
  Walker(390, 130, 1.5);
  for (int frame = 0; frame < 20; ++frame) StepCeilingWalker(EnemyPool0, 0, 0, 0);
  EXPECT_GT(o.airFrames, 10);
  EXPECT_LT(o.y, 130);
  EXPECT_LT(o.vy, 0);
}

TEST_F(EnemyMovementTest, WalkersStopAtTheMarkerFacingThem) {
  // 48 (turn back toward -x) at column 6, 49 (toward +x) at column 12, at the walkers' feet.
  RefTerrainMap map(30, 12, Join({Row(8, 0, 29, 1), {{6, 7, 48}, {12, 7, 49}}}));
  struct Case {
    double x, speed, stopFrom, stopTo;
  } cases[] = {
      {200, 1.5, 480, 481.5},   // over 48 and on to 49
      {460, -1.5, 278.5, 280},  // back over nothing to 48
  };
  for (const Case& c : cases) {
    EnemyObject& o = Walker(c.x, 310, c.speed);
    int frame = 0;
    for (; frame < 400 && o.onMarker == 0; ++frame) {
      StepFloorWalker(EnemyPool0, 0, 0, 0);
      StopAtTurnMarker(EnemyPool0, 0, 0, 0);
    }
    EXPECT_EQ(o.onMarker, 1) << c.x;
    EXPECT_EQ(o.speed, 0) << c.x;
    EXPECT_GE(o.x, c.stopFrom) << c.x;
    EXPECT_LE(o.x, c.stopTo) << c.x;
    // Standing on it, it stays stopped.
    StepFloorWalker(EnemyPool0, 0, 0, 0);
    StopAtTurnMarker(EnemyPool0, 0, 0, 0);
    EXPECT_EQ(o.onMarker, 1);
  }
}

TEST_F(EnemyMovementTest, AMarkerIsAheadAgainstTheSpeedAndBothAtSpeedZero) {
  // 48 at column 6 and 49 at column 12 at the feet; 49 at column 16 above the head.
  RefTerrainMap map(30, 12, Join({Row(8, 0, 29, 1), {{6, 7, 48}, {12, 7, 49}, {16, 6, 49}}}));
  struct Case {
    double x, speed, probe;
    uint8_t back;
    bool ahead;
  } cases[] = {
      {250, -1, 10, 0, true},  {250, 0, 10, 0, true},  {250, 1, 10, 0, false},
      {490, -1, 10, 0, false}, {490, 0, 10, 0, true},  {490, 1, 10, 0, true},
      {330, 1, 10, 0, false},  {650, 1, 40, 0, false}, {650, 1, 40, 1, true},
  };
  for (const Case& c : cases) {
    EnemyObject& o = Walker(c.x, 310, c.speed);
    o.probeOffset = c.probe;
    EXPECT_EQ(IsTurnMarkerAhead(EnemyPool0, 0, 0, c.back), c.ahead)
        << c.x << " speed " << c.speed << " back " << int{c.back};
    // Another pair's markers are not seen.
    EXPECT_FALSE(IsTurnMarkerAhead(EnemyPool0, 0, 1, c.back));
  }
}

TEST_F(EnemyMovementTest, ASlowFallerLandsAndRisesWhenTold) {
  RefTerrainMap map(30, 12, Join({Row(8, 0, 29, 1), Row(2, 0, 29, 1), {{8, 7, 6}}}));
  EnemyObject& o = Walker(300, 200, 0);
  o.groundSlope = 77;
  o.angle = 300;
  int frame = 0;
  for (; frame < 200 && !(o.airFrames == 0 && o.vy == 0 && frame > 0); ++frame) {
    StepSlowFaller(EnemyPool0, 0, 0, 0);
    ASSERT_EQ(o.x, 300);
    ASSERT_EQ(o.angle, 0);
  }
  EXPECT_EQ(o.y, 310);
  EXPECT_GT(frame, 30);
  StepSlowFaller(EnemyPool0, 0, 0, 0);
  EXPECT_EQ(o.y, 310);
  EXPECT_EQ(o.vy, 0);

  for (frame = 0; frame < 200; ++frame) {
    StepSlowFaller(EnemyPool0, 0, 1, 1);
    if (o.vy == 0) break;
  }
  EXPECT_EQ(o.y, 130);
  EXPECT_EQ(o.airFrames, 0);
  // Turning toward a slope it never records: groundSlope is left as it was.
  EXPECT_EQ(o.groundSlope, 77);
  EXPECT_EQ(o.angle, 77);

  // Landing on a slope leaves groundSlope alone too.
  Walker(340, 200, 0).groundSlope = 5;
  for (frame = 0; frame < 200 && !(o.vy == 0 && frame > 0); ++frame) {
    StepSlowFaller(EnemyPool0, 0, 0, 0);
  }
  EXPECT_NEAR(o.y, 280 + 10 - 10, 1e-9);
  EXPECT_EQ(o.groundSlope, 5);
}

TEST_F(EnemyMovementTest, HomingTurnsByAtMostItsStepAndClosesIn) {
  EnemyObject& o = Walker(300, 200, 2);
  o.heading = 0;
  PlayerX = 300;
  PlayerY = 400;
  ScrollDeltaX = 1.5;
  ScrollDeltaY = -0.5;
  double distance = std::hypot(PlayerX - o.x, PlayerY - o.y);
  for (int frame = 0; frame < 40; ++frame) {
    const int16_t heading = o.heading;
    const double x = o.x, y = o.y;
    HomeOnPlayer(EnemyPool0, 0, 10);
    ASSERT_LE(std::abs(AngleDifference(o.heading, heading)), 10) << frame;
    ASSERT_EQ(o.angle, o.heading);
    ASSERT_EQ(o.vx, CosineTable[o.heading] * 2);
    ASSERT_EQ(o.vy, SineTable[o.heading] * 2);
    ASSERT_EQ(o.x, x + (o.vx + 1.5));
    ASSERT_EQ(o.y, y + (o.vy - 0.5));
  }
  EXPECT_LE(std::abs(AngleDifference(o.heading, AimAngle(o.x, o.y, PlayerX, PlayerY))), 10);
  EXPECT_LT(std::hypot(PlayerX - o.x, PlayerY - o.y), distance);
  ScrollDeltaX = ScrollDeltaY = 0;
  for (int frame = 0; frame < 60; ++frame) HomeOnPlayer(EnemyPool0, 0, 10);
  EXPECT_LT(std::hypot(PlayerX - o.x, PlayerY - o.y), 70);
}

TEST_F(EnemyMovementTest, TheScreenHalfDecidesTheTurnAway) {
  DrawOffsetY = -100;
  struct Case {
    double y;
    int16_t maxTurn, heading;
  } cases[] = {
      {250, 2000, 896}, {299.9, 2000, 896}, {300, 2000, 128},
      {350, 2000, 128}, {250, 8, 1016},     {350, 8, 8},
  };
  for (const Case& c : cases) {
    EnemyObject& o = Walker(100, c.y, 3);
    o.heading = 0;
    TurnToScreenHalf(EnemyPool0, 0, c.maxTurn);
    EXPECT_EQ(o.heading, c.heading) << c.y;
    EXPECT_EQ(o.angle, c.heading) << c.y;
    EXPECT_EQ(o.x, 100 + CosineTable[c.heading] * 3) << c.y;
    EXPECT_EQ(o.y, c.y + SineTable[c.heading] * 3) << c.y;
  }
}

TEST_F(EnemyMovementTest, SteeringTowardYNeverPassesItsGoalAndBrakesAtHalfRate) {
  EnemyObject& o = Walker(100, 200, 0);
  struct Case {
    double targetY;
    uint8_t upward;
    double vy0;
    std::vector<double> vys;
  } cases[] = {
      {300, 0, 0, {0.5, 1, 1.5, 2, 2}},         // below, downward: to +2 by 2 / 4
      {100, 0, 2, {1.75, 1.5, 1.25, 1, 0.75}},  // above, downward: brakes by half
      {100, 1, 0, {-0.5, -1, -1.5, -2, -2}},    // above, upward
      {300, 1, -0.3, {-0.05, 0, 0}},            // below, upward: brakes to 0
      {200, 0, 0.1, {0, 0}},                    // level counts as the other side
  };
  for (const Case& c : cases) {
    o.vy = c.vy0;
    for (double expected : c.vys) {
      SteerTowardY(EnemyPool0, 0, c.targetY, c.upward, 2, 4);
      EXPECT_DOUBLE_EQ(o.vy, expected) << c.targetY << " upward " << int{c.upward};
    }
  }
  std::mt19937 engine(1234);
  auto real = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine);
  };
  for (int i = 0; i < 10000; ++i) {
    const double speed = real(0, 6), vy = real(-8, 8), target = real(0, 400);
    const uint8_t upward = i % 2;
    const int16_t n = static_cast<int16_t>(1 + i % 9);
    const bool toward = upward ? target < 200 : target > 200;
    const double goal = toward ? (upward ? -speed : speed) : 0;
    o.vy = vy;
    SteerTowardY(EnemyPool0, 0, target, upward, speed, n);
    const double step = toward ? speed / n : speed / (2 * n);
    ASSERT_LE(std::fabs(o.vy - goal), std::fabs(vy - goal) + 1e-12) << i;
    ASSERT_FALSE((vy - goal) * (o.vy - goal) < 0) << i << ": passed the goal";
    ASSERT_NEAR(std::fabs(o.vy - vy), std::min(step, std::fabs(vy - goal)), 1e-9) << i;
  }
}

TEST_F(EnemyMovementTest, TheLeanWaitsSeventeenFramesThenTurnsEveryOtherFrame) {
  EnemyObject& o = Walker(300, 200, 0);
  o.imageFrame = 0;
  o.sideCount = 5;
  o.frame = 1;
  PlayerX = 400;  // on the right
  std::vector<int> frames;
  std::vector<int> facings;
  for (int i = 1; i <= 30; ++i) {
    LeanTowardPlayer(EnemyPool0, 0);
    frames.push_back(o.imageFrame);
    facings.push_back(o.facing);
    o.frame += 1;
  }
  // Side counts -1 .. -30 on frames 1 .. 30: the first even frame past -16 is frame 18.
  EXPECT_EQ(frames[16], 0);
  EXPECT_EQ(frames[17], 1);
  EXPECT_EQ(frames[18], 1);
  EXPECT_EQ(frames[19], 2);
  EXPECT_EQ(frames[21], 3);
  EXPECT_EQ(frames[29], 3);
  EXPECT_EQ(facings[16], 0);
  EXPECT_EQ(facings[17], 1);
  EXPECT_EQ(facings[21], 2);

  // Back to the left: 16 frames on that side are not enough, the 17th (even) frame starts it.
  PlayerX = 200;
  o.frame = 2;
  for (int i = 0; i < 16; ++i) {
    LeanTowardPlayer(EnemyPool0, 0);
    o.frame += 1;
  }
  EXPECT_EQ(o.imageFrame, 3);
  EXPECT_EQ(o.sideCount, 16);
  LeanTowardPlayer(EnemyPool0, 0);
  EXPECT_EQ(o.imageFrame, 2);
  EXPECT_EQ(o.facing, 1);
  o.frame = 19;
  LeanTowardPlayer(EnemyPool0, 0);
  EXPECT_EQ(o.imageFrame, 2);
  // Mid-turn it follows the player's side at once, without the wait.
  PlayerX = 400;
  o.frame = 20;
  LeanTowardPlayer(EnemyPool0, 0);
  EXPECT_EQ(o.imageFrame, 3);
  EXPECT_EQ(o.sideCount, -1);
}

TEST_F(EnemyMovementTest, TheFramesOnScreenStopAtTheirTopAndRestartOffScreen) {
  DrawOffsetX = 0;
  DrawOffsetY = 0;
  EnemyObject& o = Walker(320, 200, 0);
  o.despawnMarginX = 40;
  o.despawnMarginY = 40;
  o.phase = 0;
  CountFramesOnScreen(o);
  EXPECT_EQ(o.phase, 1);
  // A stay longer than the word's range stays at its top instead of turning negative.
  o.phase = std::numeric_limits<int16_t>::max() - 1;
  for (int i = 0; i < 3; ++i) CountFramesOnScreen(o);
  EXPECT_EQ(o.phase, std::numeric_limits<int16_t>::max());
  o.x = -100;  // past the left margin
  CountFramesOnScreen(o);
  EXPECT_EQ(o.phase, 0);
}

}  // namespace
