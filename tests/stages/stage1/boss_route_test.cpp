// The stage-1 boss on its route: the commands the waypoints give, how far it sees solid objects,
// the arm word its upper inner arm reports, the fans of the spread arms and the transformation
// once it is sent past the screen's right part.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage1/stage1_bench.h"
#include "tests/support/log_capture.h"

namespace {

constexpr int16_t kWaypoint = 18;
constexpr int16_t kLargeRock = 12;
constexpr int16_t kWall = 19;

TEST(Stage1BossRoute, EachCommandSetsHeadingLeanArmsAndStopsAtItsHeight) {
  struct Row {
    int command;
    int16_t heading, lean;
    int32_t arms;    // after one frame, from arms out (2) with the arms on their way
    double targetY;  // negative: no height to reach
  } rows[] = {
      {0, 0, 0, 2, -1},      {1, 256, 32, 1, 420}, {2, 768, 992, -1, 320}, {3, 768, 992, 1, 220},
      {4, 256, 32, -1, 320}, {5, 256, 64, 2, 520}, {6, 768, 960, 2, 120},  {7, 768, 960, 2, 240},
      {8, 256, 64, 2, 400},  {9, 0, 0, 0, -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.command);
    {
      Stage1Bench bench;
      // Far from the height, so that one frame does not reach it.
      EnemyObject& boss = bench.BossOnRoute(100, r.lean < 513 ? 150 : 450);
      boss.intWork0 = 2;
      boss.partsB[1].offsetY = -30;  // neither out nor in: the arm reports nothing this frame
      boss.intWork3 = r.command;
      bench.PassBoss();
      EXPECT_EQ(boss.heading, r.heading);
      EXPECT_EQ(boss.groundSlope, r.lean);
      EXPECT_EQ(boss.intWork0, r.arms);
      EXPECT_EQ(boss.phase, 1);
      EXPECT_EQ(boss.intWork3, r.command);
    }
    if (r.targetY < 0) continue;
    // Run to the height: the command drops to 0 on the frame it is reached, the boss stops dead
    // on the next.
    Stage1Bench bench;
    EnemyObject& boss = bench.BossOnRoute(100, r.lean < 513 ? 20 : 580);
    boss.intWork3 = r.command;
    int frames = 0;
    while (boss.intWork3 == r.command && frames < 2000) {
      bench.PassBoss();
      ++frames;
    }
    ASSERT_EQ(boss.intWork3, 0);
    if (r.lean < 513) {
      EXPECT_GE(boss.y, r.targetY);
      EXPECT_LT(boss.y - boss.vy, r.targetY);
    } else {
      EXPECT_LE(boss.y, r.targetY);
      EXPECT_GT(boss.y - boss.vy, r.targetY);
    }
    EXPECT_GT(boss.speed, 0);
    bench.PassBoss();
    EXPECT_EQ(boss.speed, 0);
    EXPECT_EQ(boss.heading, 0);
  }
}

TEST(Stage1BossRoute, SteepLeansCruiseFasterAndCommandNineFliesOnRight) {
  struct Row {
    int command;
    double fromY;
    double cruise;
  } rows[] = {{1, 20, 4.0}, {2, 580, 4.0}, {5, 20, 6.4}, {6, 580, 6.4}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.command);
    Stage1Bench bench;
    EnemyObject& boss = bench.BossOnRoute(100, r.fromY);
    boss.intWork3 = r.command;
    double fastest = 0;
    for (int f = 0; f < 40; ++f) {
      bench.PassBoss();
      fastest = std::max(fastest, boss.speed);
    }
    EXPECT_DOUBLE_EQ(fastest, r.cruise);
  }
  Stage1Bench bench;
  EnemyObject& boss = bench.BossOnRoute(100, 300);
  boss.intWork3 = 9;
  bench.PassBoss();
  EXPECT_DOUBLE_EQ(boss.speed, 0.04);
  for (int f = 0; f < 200 && boss.phase == 1; ++f) bench.PassBoss();
  EXPECT_EQ(boss.intWork3, 9);  // the command stays
  EXPECT_NEAR(boss.y, 300, 1e-9);
}

// The boss meets solid objects only while a live solid object keeps SolidEnemyTimer up: a
// waypoint within its own circle and 8 px, others within four times their circle.
TEST(Stage1BossRoute, ContactReachByKindAndNothingWhileTheSolidTimerIsDown) {
  struct Row {
    const char* what;
    int16_t type;
    double spawnDx, spawnDy;  // where the object's set-up places it from its spawn point
    double distance;
    bool met;
  } rows[] = {
      {"waypoint", kWaypoint, 0, 0, 37.9, true},
      {"waypoint", kWaypoint, 0, 0, 38, false},
      {"large rock", kLargeRock, 22, 0, 127.9, true},
      {"large rock", kLargeRock, 22, 0, 128, false},
      {"wall (empty circle)", kWall, 60, -10, 7.9, true},
      {"wall (empty circle)", kWall, 60, -10, 8, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.what << " at " << r.distance);
    Stage1Bench bench;
    EnemyObject& boss = bench.BossOnRoute(200, 300);
    // A waypoint out of reach keeps the solid timer up for objects that do not (the wall).
    bench.SpawnPool1(kWaypoint, 600, 100, 0, 1);
    const int16_t slot =
        bench.SpawnPool1(r.type, 200 + r.distance - r.spawnDx, 300 - r.spawnDy, 0, 4);
    ASSERT_GE(slot, 0);
    EnemyObject& object = EnemyPool1[slot];
    ASSERT_NEAR(object.x - boss.x, r.distance, 1e-9);
    // With the timer down nothing is seen.
    SolidEnemyTimer = 0;
    bench.PassBoss();
    EXPECT_EQ(boss.intWork3, 0);
    EXPECT_EQ(object.state, 2);
    bench.PassBoth();
    if (r.type == kWaypoint) {
      EXPECT_EQ(boss.intWork3, r.met ? 4 : 0);
      EXPECT_EQ(object.state, 2);  // a waypoint stays
    } else {
      EXPECT_EQ(object.state == 3 || object.state == 0, r.met);
      EXPECT_EQ(boss.intWork3, 0);
    }
  }
}

// A waypoint variant that is no command (an empty upper layer gives -1; the layer holds up to
// 62) is refused once a kind and leaves the boss's course alone; the waypoint keeps it.
TEST(Stage1BossRoute, AWaypointVariantOutsideTheCommandsIsRefusedAndLogged) {
  for (int16_t variant : {int16_t{-1}, int16_t{10}, int16_t{62}}) {
    SCOPED_TRACE(variant);
    Stage1Bench bench;
    LogCapture log;
    ForgetRefusedMapValues();
    EnemyObject& boss = bench.BossOnRoute(200, 300);
    boss.intWork3 = 1;  // on its way down to 420
    const int16_t slot = bench.SpawnPool1(kWaypoint, 200, 300, 0, variant);
    for (int f = 0; f < 3; ++f) bench.PassBoth();
    EXPECT_EQ(boss.intWork3, 1);
    EXPECT_EQ(EnemyPool1[slot].variant, variant);
    const std::string text = log.Contents();
    EXPECT_NE(text.find("stage 1 waypoint variant"), std::string::npos) << text;
    EXPECT_NE(text.find(std::to_string(variant)), std::string::npos) << text;
    size_t lines = 0;
    for (size_t at = text.find("stage 1 waypoint variant"); at != std::string::npos;
         at = text.find("stage 1 waypoint variant", at + 1)) {
      ++lines;
    }
    EXPECT_EQ(lines, 1u);
  }
}

TEST(Stage1BossRoute, TheUpperInnerArmReportsArmsOutOnTheFrameItReachesMinus38) {
  Stage1Bench bench;
  EnemyObject& boss = bench.BossOnRoute(100, 300);
  boss.intWork0 = 1;
  const EnemyPart& arm = boss.partsB[1];
  ASSERT_EQ(arm.offsetY, -20);
  int frame = 0;
  while (boss.intWork0 == 1 && frame < 100) {
    bench.PassBoss();
    ++frame;
    if (boss.intWork0 == 1) { EXPECT_GT(arm.offsetY, -38); }
  }
  EXPECT_EQ(frame, 18);
  EXPECT_EQ(boss.intWork0, 2);
  EXPECT_EQ(arm.offsetY, -38);
  EXPECT_EQ(boss.partsB[2].offsetY, -61);
  EXPECT_EQ(boss.partsB[3].offsetY, 38);
  EXPECT_EQ(boss.partsB[4].offsetY, 61);
  EXPECT_EQ(boss.partsB[6].offsetY, -50);  // the wing plates open with the arms
  EXPECT_EQ(boss.partsB[7].offsetY, 50);
  // Folding back: -2 once the same arm is at -20 again.
  boss.intWork0 = -1;
  for (int f = 0; f < 18; ++f) bench.PassBoss();
  EXPECT_EQ(boss.intWork0, -2);
  EXPECT_EQ(arm.offsetY, -20);
}

TEST(Stage1BossRoute, SpreadArmsFireFansOfFiveRetargetShots) {
  Stage1Bench bench;
  EnemyObject& boss = bench.BossOnRoute(100, 300);
  boss.intWork0 = 2;
  boss.partsB[1].offsetY = -38;
  const int16_t every = ComputeFireInterval(48, boss.rank);
  const int16_t at = ComputeFireInterval(24, boss.rank);
  int fans = 0;
  for (int f = 0; f < 3 * every; ++f) {
    ClearEnemyShots();
    bench.PassBoss();
    const auto shots = EnemyShotsOfType(17);
    if (boss.frame % every != at) {
      EXPECT_TRUE(shots.empty()) << boss.frame;
      continue;
    }
    ++fans;
    ASSERT_EQ(shots.size(), 5u);
    const int16_t angles[5] = {896, 960, 0, 64, 128};
    const double dx[5] = {1, 16, 22, 16, 1}, dy[5] = {-22, -14, 0, 14, 22};
    for (int k = 0; k < 5; ++k) {
      EXPECT_EQ(shots[k]->drawAngle, angles[k]);
      EXPECT_DOUBLE_EQ(shots[k]->speed, ScaleShotSpeed(4.8));
      EXPECT_DOUBLE_EQ(shots[k]->x, boss.x + dx[k]);
      EXPECT_DOUBLE_EQ(shots[k]->y, boss.y + dy[k]);
    }
  }
  EXPECT_GE(fans, 2);
  EXPECT_EQ(boss.phase, 1);  // with the arms out it never transforms
}

TEST(Stage1BossRoute, NoFansOnEasyBelowTheRankThatMakesItHarder) {
  Stage1Bench easy(0);
  EnemyObject& calm = easy.BossOnRoute(100, 300);
  calm.intWork0 = 2;
  ASSERT_FALSE(IsHarderThanEasy());
  for (int f = 0; f < 200; ++f) easy.PassBoss();
  EXPECT_TRUE(EnemyShotsOfType(17).empty());
  TimeRank = 134;
  ASSERT_TRUE(IsHarderThanEasy());
  for (int f = 0; f < 200; ++f) easy.PassBoss();
  EXPECT_FALSE(EnemyShotsOfType(17).empty());
}

TEST(Stage1BossRoute, SentRightItTransformsPastScreenX520WithOneSound) {
  Stage1Bench bench;
  DrawOffsetX = -1000;  // the screen need not be at the world's origin
  EnemyObject& boss = bench.BossOnRoute(1100, 300);
  boss.intWork0 = -2;
  boss.intWork3 = 9;
  int transformSounds = 0;
  double xBefore = boss.x;
  while (boss.phase == 1 && boss.frame < 1000) {
    xBefore = boss.x;
    for (int s : bench.PassBoss()) transformSounds += s == 49;
  }
  ASSERT_EQ(boss.phase, 2);
  EXPECT_GT(boss.x, ScreenToWorldX(520));
  EXPECT_LE(xBefore, ScreenToWorldX(520));
  EXPECT_EQ(boss.intWork0, 0);  // command 9 took the arm word to 0
  for (int f = 0; f < 300; ++f) {
    for (int s : bench.PassBoss()) transformSounds += s == 49;
  }
  EXPECT_EQ(transformSounds, 1);
  EXPECT_EQ(boss.phase, 3);
  EXPECT_EQ(boss.imageFrame, 3);
  EXPECT_EQ(boss.hitMode, 0);
  EXPECT_EQ(boss.partsA[6].state, 0);  // the main thruster is gone
}

}  // namespace
