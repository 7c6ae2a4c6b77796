// The gun walkers: their entry at the edge of the half they were placed in, the three silent
// shots of an attack, and the backward-only types that a forward scroll drops after one call.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/common_enemies.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

class GunWalkersTest : public testing::Test {
 protected:
  FieldFixture field;

  void SetUp() override {
    ClearAllObjects();
    DrawOffsetX = 0;
    DrawOffsetY = 0;
    CurrentStage = 1;
    TimeRank = 0;
    PowerRank = 0;
    for (int c = 0; c < 40; ++c) PutBlock(c, 8);  // ground at y 320
  }

  // One pool pass's worth of the floor walker's (or the ceiling walker's) behaviour.
  static void Pass(int slot, bool ceiling = false) {
    EnemyPool1[slot].frame += 1;
    (ceiling ? UpdateCeilingGunWalker : UpdateGunWalker)(static_cast<int16_t>(slot));
  }
};

TEST_F(GunWalkersTest, AWalkerEntersAtTheEdgeOfItsHalfStandingOnTheGround) {
  struct Row {
    double x, entryX;
  } rows[] = {{900, 1070}, {720, 1070}, {719, 370}, {500, 370}};  // screen from world 400
  for (const Row& r : rows) {
    SCOPED_TRACE(r.x);
    SetUp();
    DrawOffsetX = -400;
    ASSERT_EQ(SpawnPool1Enemy(r.x, 250, 0, 0, -1, 0), 0);
    Pass(0);
    const EnemyObject& o = EnemyPool1[0];
    EXPECT_DOUBLE_EQ(o.x, r.entryX);
    EXPECT_DOUBLE_EQ(o.y, 320 - 23);
    EXPECT_EQ(o.partCountA, 1);
    EXPECT_EQ(o.partsA[0].angle, 256);
    EXPECT_EQ(o.partsB[0].angle, 768);
    EXPECT_EQ(o.partsB[0].sideFlag, 1);
  }
}

TEST_F(GunWalkersTest, EachAttackFiresExactlyThreeShotsAtFortyFortyFourAndFortyEight) {
  for (int16_t difficulty : {3, 0}) {
    SCOPED_TRACE(difficulty);
    SetUp();
    field.TakeSoundRequests();
    Difficulty = difficulty;
    PlayerX = 100;
    PlayerY = 200;
    ASSERT_EQ(SpawnPool1Enemy(500, 250, 0, 0, -1, 0), 0);
    Pass(0);
    const EnemyObject& o = EnemyPool1[0];
    std::vector<int> counters;
    int attacks = 0;
    int shotsBefore = 0;
    for (int f = 0; f < 400; ++f) {
      Pass(0);
      if (o.intWork0 == 2) ++attacks;  // started and counted on in one pass
      int shots = 0;
      for (const EnemyShot& s : EnemyShots) shots += s.state != 0 ? 1 : 0;
      if (shots > shotsBefore) counters.push_back(o.intWork0);
      shotsBefore = shots;
    }
    ASSERT_GT(attacks, 0);
    if (difficulty == 0) {
      EXPECT_TRUE(counters.empty());  // never on easy before the time rank passes 133
      continue;
    }
    ASSERT_FALSE(counters.empty());
    for (size_t k = 0; k < counters.size(); ++k) {
      EXPECT_EQ(counters[k], 40 + 4 * static_cast<int>(k % 3)) << k;
    }
    // Small shots: neither the walker nor their set-ups ask for a sound.
    UpdateEnemyShots();
    int setUp = 0;
    for (const EnemyShot& s : EnemyShots) setUp += s.state == 2 ? 1 : 0;
    EXPECT_GT(setUp, 0);
    EXPECT_TRUE(field.TakeSoundRequests().empty());
  }
}

TEST_F(GunWalkersTest, WalkersStopShortOfTheirTargetAttackOnTheirCadenceAndLeaveAfterFrame600) {
  // Insane at rank 0: an attack starts every 120 x 120 / 132 = 109 frames, at frame mod 109 =
  // 80 x 120 / 132 = 72. The player on the left half puts the target 240 px right of it.
  for (int32_t type : {0, 1}) {
    SCOPED_TRACE(type);
    SetUp();
    for (int c = 0; c < 40; ++c) PutBlock(c, 2);  // a ceiling with its underside at y 120
    Difficulty = 3;
    PlayerX = 100;
    PlayerY = 200;
    const double target = PlayerX + 240;
    ASSERT_EQ(SpawnPool1Enemy(500, 250, static_cast<int16_t>(type), 0, -1, 0), 0);
    const bool ceiling = type == 1;
    Pass(0, ceiling);
    const EnemyObject& o = EnemyPool1[0];
    EXPECT_DOUBLE_EQ(o.y, ceiling ? 120 + 23 : 320 - 23);

    std::vector<int> starts;
    std::vector<double> xs(701), speeds(701);
    std::vector<int> counters(701), exits(701);
    for (int f = 1; f <= 700; ++f) {
      Pass(0, ceiling);
      ASSERT_EQ(o.frame, f);
      if (o.intWork0 == 2) starts.push_back(f);
      xs[f] = o.x;
      speeds[f] = o.speed;
      counters[f] = o.intWork0;
      exits[f] = o.intWork1;
    }
    EXPECT_EQ(starts, (std::vector<int>{72, 181, 290, 399, 508, 617}));
    // Each attack ends on its 50th count, and the walker stands meanwhile.
    for (int f : starts) {
      EXPECT_EQ(counters[f + 47], 49) << f;
      EXPECT_EQ(counters[f + 48], 0) << f;
      EXPECT_EQ(speeds[f + 20], 0) << f;
    }
    int shots = 0;
    for (const EnemyShot& s : EnemyShots) shots += s.state != 0 ? 1 : 0;
    EXPECT_EQ(shots, 3 * static_cast<int>(starts.size()));

    // Between attacks it has walked in and stopped inside 40 px of its target.
    for (int f : {170, 280, 600}) {
      EXPECT_EQ(speeds[f], 0) << f;
      EXPECT_LT(std::abs(xs[f] - target), 40) << f;
      EXPECT_GT(std::abs(xs[f] - target), 20) << f;  // not walked on to the target itself
    }
    // Past frame 600 it turns for the nearer edge once (right of screen x 320: the left) and
    // walks off at full speed once the last attack is over.
    EXPECT_EQ(exits[600], 0);
    EXPECT_EQ(exits[601], 1);
    for (int f = 680; f <= 700; ++f) {
      EXPECT_DOUBLE_EQ(speeds[f], -3.2) << f;
      EXPECT_NEAR(xs[f] - xs[f - 1], -3.2, 1e-9) << f;
    }
  }
}

TEST_F(GunWalkersTest, BackwardWalkersPlacedWhileScrollingForwardGoAfterOneCall) {
  for (int16_t type : {2, 3}) {
    SCOPED_TRACE(type);
    SetUp();
    SpawnEnemyAtTile(EnemyPool1, 0, type, 12, 6, true, 0);
    SpawnEnemyAtTile(EnemyPool1, 1, type, 12, 6, false, 0);
    UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
    EXPECT_EQ(EnemyPool1[0].state, 0);
    EXPECT_EQ(EnemyPool1[1].state, 2);
  }
}

}  // namespace
