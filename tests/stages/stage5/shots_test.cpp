// Stage 5's own shots run by the enemy-shot pass alone: the cannon shot's straight world course,
// the curving shot's stop and drift, the seeker's three turns, and the turning shot's climb or
// dive at the player's column with its trail.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage5/stage5_bench.h"

namespace {

constexpr int kCannon = 17;
constexpr int kCurve = 18;
constexpr int kSeeker = 19;
constexpr int kTurning = 21;
constexpr int kTrailDot = 22;

TEST(Stage5Shots, TheCannonShotKeepsAStraightWorldCourseWhileTheViewScrolls) {
  Stage5Bench bench;
  ScrollDeltaX = 3;
  ScrollDeltaY = 1;
  const int16_t slot = SpawnEnemyShot(kCannon, 512, 4, 300, 200, 1);
  const EnemyShot& s = EnemyShots[slot];
  EXPECT_EQ(bench.PassShots(), std::vector<int>{34});
  for (int i = 2; i <= 20; ++i) bench.PassShots();
  EXPECT_NEAR(s.x, 300 - 4 * 20, 1e-9);
  EXPECT_NEAR(s.y, 200, 1e-9);
  // Three circles of 3 along its axis.
  EXPECT_EQ(s.hitSize[0], 3);
  EXPECT_EQ(s.hitSize[1], 3);
  EXPECT_EQ(s.hitSize[2], 3);
  EXPECT_EQ(s.hitDx[1], 6);
  EXPECT_EQ(s.hitDx[2], -6);
  EXPECT_EQ(s.drawMargin, 32);
}

// Launched at 5.625 (a braking step of 1/8, exact): it flies left, is at rest on frame 45, and
// then drifts by its launch angle, read as a signed drift.
TEST(Stage5Shots, TheCurvingShotStopsAtFrame45ThenDriftsByItsLaunchAngle) {
  struct Row {
    int16_t launch;
    int drift;  // sign of its vertical motion after the stop
  } rows[] = {{0, 0}, {20, 1}, {1004, -1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.launch);
    Stage5Bench bench;
    ScrollDeltaX = 2;  // rides the scroll
    const int16_t slot = SpawnEnemyShot(kCurve, r.launch, 5.625, 500, 200, 1);
    const EnemyShot& s = EnemyShots[slot];
    EXPECT_EQ(bench.PassShots(), std::vector<int>{33});
    EXPECT_EQ(s.linkMode, r.launch > 768 ? r.launch - 1024 : r.launch);
    EXPECT_EQ(s.hitSize[0], 7);
    EXPECT_EQ(s.motionAngle, 512);
    int stopFrame = 0;
    for (int f = 2; f <= 60; ++f) {
      const double x = s.x, y = s.y;
      bench.PassShots();
      ASSERT_EQ(s.state, 2) << f;
      if (stopFrame == 0 && s.x - x == ScrollDeltaX) stopFrame = f;
      if (stopFrame == 0) {
        EXPECT_LT(s.x - x, ScrollDeltaX) << f;
        EXPECT_EQ(s.y, y) << f;
      }
    }
    EXPECT_EQ(stopFrame, 45);
    EXPECT_EQ(s.workWord, 1);
    const double y = s.y;
    for (int f = 61; f <= 80; ++f) bench.PassShots();
    ASSERT_EQ(s.state, 2);
    if (r.drift == 0) { EXPECT_EQ(s.y, y); }
    if (r.drift > 0) { EXPECT_GT(s.y, y + 1); }
    if (r.drift < 0) { EXPECT_LT(s.y, y - 1); }
    EXPECT_NEAR(s.speed, 34 * 0.125 / 3, 1e-9);  // a third of the braking rate from frame 47
  }
}

TEST(Stage5Shots, TheSeekerTurnsByThePlayersHeightThenStraightLeftOnItsThirdTurn) {
  struct Row {
    double playerDy;
    int16_t firstTurn;
  } rows[] = {{200, 288}, {-200, 736}, {10, 416}, {-10, 608}, {50, 352}, {-50, 672}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.playerDy);
    Stage5Bench bench;
    PlayerX = 100;
    PlayerY = 200 + r.playerDy;
    const int16_t slot = SpawnEnemyShot(kSeeker, 512, 3.2, 500, 200, 1);
    const EnemyShot& s = EnemyShots[slot];
    EXPECT_EQ(bench.PassShots(), std::vector<int>{34});
    std::vector<int> turns;
    std::vector<int16_t> angles;
    int topAgain = 0;
    for (int f = 2; f <= 200 && s.state == 2; ++f) {
      const int16_t turnsBefore = s.linkMode;
      bench.PassShots();
      if (s.linkMode != turnsBefore) {
        turns.push_back(f);
        angles.push_back(s.motionAngle);
        EXPECT_EQ(s.speed, 0);
        EXPECT_EQ(s.drawAngle, 0);  // stopped: drawn upright on cells 4..5
        EXPECT_TRUE(s.anim == 4 || s.anim == 5) << s.anim;
      }
      if (turns.size() == 1 && topAgain == 0 && s.speed > 3.2 - 1e-9) topAgain = f;
      if (s.speed > 0 && turns.size() == 1) { EXPECT_EQ(s.drawAngle, s.motionAngle); }
    }
    ASSERT_EQ(turns.size(), 3u);
    EXPECT_EQ(turns[0], 19);
    EXPECT_EQ(turns[1], 64);
    EXPECT_GT(turns[2], 64 + 45);  // the pauses stretch from frame 91
    EXPECT_EQ(angles[0], r.firstTurn);
    EXPECT_EQ(angles[2], 512);
    EXPECT_EQ(topAgain, 19 + 16 + 15);  // 16 frames at rest, 16 to regain its speed
  }
}

TEST(Stage5Shots, TheTurningShotTurnsAtThePlayersColumnLeavingADotEverySecondFrame) {
  Stage5Bench bench;
  PlayerX = 300;
  PlayerY = 320;
  const int16_t slot = SpawnEnemyShot(kTurning, 512, 4, 500, 100, 1);
  const EnemyShot& s = EnemyShots[slot];
  EXPECT_EQ(bench.PassShots(), std::vector<int>{41});
  EXPECT_EQ(s.additive, 1);
  int turnFrame = 0;
  std::vector<int> dotFrames;
  for (int f = 2; f <= 120 && s.state == 2; ++f) {
    bench.PassShots();
    for (const EnemyShot* dot : EnemyShotsOfType(kTrailDot))
      if (dot->frame == 1) dotFrames.push_back(f);
    if (turnFrame == 0 && s.linkMode == 1) {
      turnFrame = f;
      EXPECT_LE(s.x, PlayerX);
      EXPECT_GT(s.x, PlayerX - 4);
      EXPECT_EQ(s.motionAngle, 256);  // above the player: down
    }
  }
  ASSERT_GT(turnFrame, 20);
  EXPECT_EQ(turnFrame, 51);  // 200 px at 4
  for (int f : dotFrames) EXPECT_EQ(f % 2, 0) << f;
  // A dot on every even frame while it moves, before the turn as after it.
  EXPECT_EQ(dotFrames.size(), 60u);
  EXPECT_DOUBLE_EQ(s.speed, 4);  // back to full speed 64 frames after the turn
}

TEST(Stage5Shots, ATurningShotThatNeverReachesThePlayersColumnKeepsFlyingLeft) {
  Stage5Bench bench;
  PlayerX = -2000;
  PlayerY = 320;
  const int16_t slot = SpawnEnemyShot(kTurning, 512, 4, 600, 100, 1);
  const EnemyShot& s = EnemyShots[slot];
  for (int f = 1; f <= 140; ++f) {
    bench.PassShots();
    ASSERT_EQ(s.state, 2) << f;
    EXPECT_EQ(s.linkMode, 0);
    EXPECT_EQ(s.motionAngle, 512);
  }
  EXPECT_NEAR(s.x, 600 - 4 * 140, 1e-9);
}

}  // namespace
