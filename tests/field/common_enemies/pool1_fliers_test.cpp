// The pool-1 fliers every stage shares: the swerve flier's turn toward the player's half, the
// weaving gunners' aim limit, and the escorts holding the item carrier's formation.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/common_enemies.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/field_fixture.h"

namespace {

using Handler = void (*)(int16_t);

class Pool1FliersTest : public testing::Test {
 protected:
  FieldFixture field;

  void SetUp() override {
    ClearAllObjects();
    DrawOffsetX = 0;
    DrawOffsetY = 0;
    CurrentStage = 1;
    TimeRank = 0;
    PowerRank = 0;
  }

  static void Pass(EnemyObject* pool, Handler handler, int slot) {
    pool[slot].frame += 1;
    handler(static_cast<int16_t>(slot));
  }
};

int LiveShots() {
  int n = 0;
  for (const EnemyShot& s : EnemyShots) n += s.state != 0 ? 1 : 0;
  return n;
}

TEST_F(Pool1FliersTest, TheSwerveFlierTurnsTowardThePlayersHalfForSixtyFiveFrames) {
  struct Row {
    double playerY;
    int16_t swerve;
  } rows[] = {{300, 128}, {100, 896}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.playerY);
    SetUp();
    PlayerY = r.playerY;
    ASSERT_EQ(SpawnPool1Enemy(500, 200, 4, 0, -1, 0), 0);
    EnemyObject& o = EnemyPool1[0];
    Pass(EnemyPool1, UpdateSwerveFlier, 0);
    EXPECT_EQ(o.heading, 512);
    int swerving = 0;
    int firstSwerve = -1;
    for (int f = 1; f <= 200; ++f) {
      Pass(EnemyPool1, UpdateSwerveFlier, 0);
      if (o.angle2 == r.swerve) {
        if (firstSwerve < 0) {
          firstSwerve = f;
          EXPECT_LT(o.x, 440);
          EXPECT_GE(o.x - o.vx, 440);  // the first frame left of screen x 440
        }
        ++swerving;
      }
    }
    EXPECT_EQ(swerving, 65);
    EXPECT_EQ(o.heading, 512);
    EXPECT_DOUBLE_EQ(o.speed, 2.0);
    EXPECT_EQ(LiveShots(), 0);  // it never fires
  }
}

TEST_F(Pool1FliersTest, TheSlowGunnerFiresOnlyAtAPlayerAheadOfIt) {
  struct Row {
    double playerX, playerY;
    bool fires;
  } rows[] = {{100, 200, true}, {100, 20, true}, {600, 200, false}, {290, 0, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.playerX << "," << r.playerY);
    SetUp();
    Difficulty = 1;
    PlayerX = r.playerX;
    PlayerY = r.playerY;
    ASSERT_EQ(SpawnPool1Enemy(400, 200, 5, 3, -1, 0), 0);
    EnemyObject& o = EnemyPool1[0];
    Pass(EnemyPool1, UpdateSlowGunner, 0);
    EXPECT_DOUBLE_EQ(o.vy, 3 * 1.2);
    for (int f = 0; f < 200; ++f) Pass(EnemyPool1, UpdateSlowGunner, 0);
    EXPECT_NEAR(o.x, 400 - 200 * 1.2, 1e-9);
    if (r.fires) {
      EXPECT_GT(LiveShots(), 0);
    } else {
      EXPECT_EQ(LiveShots(), 0);
    }
  }
}

TEST_F(Pool1FliersTest, EscortsHoldTheItemCarriersFormation) {
  for (int16_t stage : {1, 4}) {
    SCOPED_TRACE(stage);
    SetUp();
    CurrentStage = stage;
    DrawOffsetX = -100;  // the carrier spawns at screen x 640
    PlayerX = 300;
    PlayerY = 100;
    InitEnemyObject(EnemyPool0, 0, 9, 0);
    EnemyObject& carrier = EnemyPool0[0];
    carrier.x = 680;
    carrier.y = 250;
    Pass(EnemyPool0, UpdateItemCarrier, 0);
    std::vector<double> dx, dy;
    for (int k = 0; k < 6; ++k) {
      Pass(EnemyPool1, UpdateEscortGunner, k);
      dx.push_back(EnemyPool1[k].x - carrier.x);
      dy.push_back(EnemyPool1[k].y - carrier.y);
    }
    EXPECT_DOUBLE_EQ(dx[0], -40);
    EXPECT_DOUBLE_EQ(dy[3], 60);
    for (int f = 0; f < 90; ++f) {
      Pass(EnemyPool0, UpdateItemCarrier, 0);
      for (int k = 0; k < 6; ++k) Pass(EnemyPool1, UpdateEscortGunner, k);
    }
    for (int k = 0; k < 6; ++k) {
      EXPECT_NEAR(EnemyPool1[k].x - carrier.x, dx[k], 1e-9) << k;
      EXPECT_NEAR(EnemyPool1[k].y - carrier.y, dy[k], 1e-9) << k;
    }
    EXPECT_DOUBLE_EQ(EnemyPool1[0].vx, stage == 4 ? -3 : -1);
  }
}

TEST_F(Pool1FliersTest, TheDashFlierFiresTwinVolleysPastHalfItsBrakeLength) {
  struct Row {
    int16_t difficulty;
    int32_t firstStage;  // the volleys start past half the brake length
  } rows[] = {{3, 5}, {0, 17}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.difficulty);
    SetUp();
    Difficulty = r.difficulty;
    TimeRank = 200;
    PlayerX = 100;
    PlayerY = 200;
    ASSERT_EQ(SpawnPool1Enemy(560, 200, 7, 0, -1, 0), 0);
    EnemyObject& o = EnemyPool1[0];
    Pass(EnemyPool1, UpdateDashFlier, 0);
    EXPECT_EQ(o.intWork1, 8 + 8 * (3 - r.difficulty));
    int shotStage = -1;
    for (int f = 0; f < 200 && shotStage < 0; ++f) {
      Pass(EnemyPool1, UpdateDashFlier, 0);
      if (LiveShots() > 0) shotStage = o.intWork0 - 1;
    }
    ASSERT_GT(shotStage, 0);
    EXPECT_GE(shotStage, r.firstStage);
    EXPECT_LT(shotStage, r.firstStage + 8);
    EXPECT_EQ(LiveShots(), 2);
  }
}

TEST_F(Pool1FliersTest, TheAmbushFlierEmergesFortyPixelsInForEachVariantStep) {
  PlayerX = 100;
  PlayerY = 300;
  InitEnemyObject(EnemyPool1, 0, 8, 3);
  EnemyObject& o = EnemyPool1[0];
  o.x = 680;
  o.y = 150;
  Pass(EnemyPool1, UpdateAmbushFlier, 0);
  EXPECT_EQ(o.hitMode, 0);
  EXPECT_EQ(o.imageFrame, -1);
  double emergedAt = 0;
  for (int f = 0; f < 200 && o.hitMode == 0; ++f) {
    DrawOffsetX -= 2;  // the screen moves on, the hidden flier stays put
    Pass(EnemyPool1, UpdateAmbushFlier, 0);
    emergedAt = WorldToScreenX(o.x);
  }
  ASSERT_EQ(o.hitMode, 1);
  EXPECT_LE(emergedAt, 480);
  EXPECT_GT(emergedAt, 478);
  EXPECT_DOUBLE_EQ(o.y, 110);  // upper half: out upward, then heading down
  EXPECT_EQ(o.heading, 256);
  EXPECT_GE(o.imageFrame, 0);
}

TEST_F(Pool1FliersTest, ABossFightKeepsHatchingFliersAway) {
  PlayerX = 100;
  PlayerY = 200;
  // Refused outright.
  BossState = 1;
  ASSERT_EQ(SpawnPool1Enemy(500, 200, 9, 0, -1, 0), 0);
  Pass(EnemyPool1, UpdateSmallFlier, 0);
  EXPECT_EQ(EnemyPool1[0].state, 0);

  // Waiting in its shell: freed without a sound; out and flying: destroyed.
  BossState = 0;
  ASSERT_EQ(SpawnPool1Enemy(700, 200, 9, 0, -1, 0), 0);  // not yet in reach
  ASSERT_EQ(SpawnPool1Enemy(500, 200, 9, 0, -1, 0), 1);
  for (int f = 0; f < 120; ++f) {
    Pass(EnemyPool1, UpdateSmallFlier, 0);
    Pass(EnemyPool1, UpdateSmallFlier, 1);
  }
  EXPECT_EQ(EnemyPool1[0].imageFrame, -1);
  EXPECT_EQ(EnemyPool1[1].hitMode, 1);
  EXPECT_GE(EnemyPool1[1].imageFrame, 8);
  BossState = 1;
  Pass(EnemyPool1, UpdateSmallFlier, 0);
  Pass(EnemyPool1, UpdateSmallFlier, 1);
  EXPECT_EQ(EnemyPool1[0].state, 0);
  EXPECT_EQ(EnemyPool1[1].state, 3);
  Pass(EnemyPool1, UpdateSmallFlier, 1);
  EXPECT_EQ(EnemyPool1[1].state, 0);
  int effects = 0;
  for (const Effect& e : Effects) effects += e.state != 0 ? 1 : 0;
  EXPECT_GT(effects, 0);
}

}  // namespace
