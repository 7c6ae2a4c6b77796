// Stage 3's walkers on a bench with a floor and a ceiling: none in the stage's first 80 frames,
// a ceiling walker spawned on the leading edge removed, the gun's one shot per opening and the
// body open for its cycle, no gun on easy below the rank threshold, and a walker killed in the
// air that drops (rises) at 0.075 a frame squared and explodes where it lands.
#include <cmath>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage3/stage3_bench.h"

namespace {

constexpr int16_t kFloorWalker = 16;
constexpr int16_t kCeilingWalker = 17;
constexpr double kFloorY = 360;   // row 9's top
constexpr double kCeilingY = 40;  // row 0's bottom

class Stage3WalkersTest : public testing::Test {
 protected:
  explicit Stage3WalkersTest(int difficulty = 1) : bench(difficulty) {
    Stage3Bench::RockRow(0);
    Stage3Bench::RockRow(9);
    GameFrame = 200;
    PlayerX = 60;
    PlayerY = 200;
  }
  Stage3Bench bench;
};

TEST_F(Stage3WalkersTest, NoneBeforeFrame80AndALeadingEdgeCeilingWalkerIsRemoved) {
  struct Row {
    int16_t type;
    int32_t gameFrame;
    int16_t spawnDir;
    bool stays;
  } rows[] = {
      {kFloorWalker, 79, 1, false},    {kFloorWalker, 80, 1, true},
      {kCeilingWalker, 79, -1, false}, {kCeilingWalker, 80, -1, true},
      {kCeilingWalker, 200, 1, false}, {kFloorWalker, 200, -1, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.type << " at " << r.gameFrame << " dir " << r.spawnDir);
    ClearAllObjects();
    GameFrame = r.gameFrame;
    const int16_t slot = bench.SpawnPool1(r.type, 320, 200);
    EnemyPool1[slot].spawnDir = r.spawnDir;
    bench.PassPool1();
    bench.PassPool1();
    EXPECT_EQ(EnemyPool1[slot].state != 0, r.stays);
  }
}

TEST_F(Stage3WalkersTest, TheyEnterAtTheirEdgesOnTheirSurfacesAndWalkTowardTheOther) {
  DrawOffsetX = -200;  // the left edge's entry point inside the map
  CameraX = 200;
  ViewRight = 840;
  const int16_t floor = bench.SpawnPool1(kFloorWalker, 320, 300);
  const int16_t ceiling = bench.SpawnPool1(kCeilingWalker, 320, 100);
  EnemyPool1[ceiling].spawnDir = -1;
  bench.PassPool1();
  const EnemyObject& f = EnemyPool1[floor];
  const EnemyObject& c = EnemyPool1[ceiling];
  EXPECT_EQ(f.x, 900);
  EXPECT_EQ(f.y, kFloorY - 45);
  EXPECT_EQ(c.x, 140);
  EXPECT_EQ(c.y, kCeilingY + 45);
  EXPECT_EQ(f.partCountA, 7);
  EXPECT_EQ(f.partCountB, 6);
  EXPECT_EQ(c.partsB[0].offsetX, 12);
  EXPECT_EQ(c.partsB[0].offsetY, -18);
  for (int k = 0; k < 30; ++k) bench.PassPool1();
  EXPECT_LT(f.x, 860);
  EXPECT_GT(c.x, 180);
  EXPECT_NEAR(f.y, kFloorY - 45, 1);
  EXPECT_NEAR(c.y, kCeilingY + 45, 1);
}

// The gun, cued once the body is fully open, fires one aimed type-3 shot as its count steps
// from 15 to 16; at 32 the body starts closing again.
TEST_F(Stage3WalkersTest, TheGunFiresOncePerOpeningAndTheBodyStaysOpenForItsCycle) {
  PlayerX = 100;
  PlayerY = 100;
  const int16_t slot = bench.SpawnPool1(kFloorWalker, 320, 300);
  EnemyObject& o = EnemyPool1[slot];
  bench.PassPool1();
  o.x = 500;                                      // on screen, where its shot is not refused
  o.frame = ComputeFireInterval(30, o.rank) + 1;  // its own trigger a whole interval away
  int openedAt = -1, shotAt = -1, closingAt = -1, shots = 0;
  o.intWork0 = 1;
  for (int pass = 0; pass < 64; ++pass) {
    ClearEnemyShots();
    bench.PassPool1();
    const int n = CountEnemyShotsOfType(3);
    shots += n;
    if (n > 0) {
      shotAt = pass;
      EXPECT_EQ(o.partsA[6].cue, 16);
      const EnemyShot* s = EnemyShotsOfType(3)[0];
      // Along the gun, which turns by at most 4 after it has fired.
      EXPECT_LE(std::abs(AngleDifference(s->drawAngle, o.partsA[6].angle)), 4);
      EXPECT_DOUBLE_EQ(s->speed, ScaleShotSpeed(4));
    }
    if (openedAt < 0 && o.intWork0 == 2) {
      openedAt = pass;
      EXPECT_EQ(o.imageFrame, 3);
    }
    if (openedAt >= 0 && closingAt < 0 && o.intWork0 == 0) closingAt = pass;
  }
  EXPECT_EQ(shots, 1);
  ASSERT_GE(openedAt, 0);
  EXPECT_EQ(shotAt - openedAt, 14);  // cued at 1 and counted up in the same frame
  EXPECT_EQ(closingAt - openedAt, 30);
  EXPECT_EQ(o.imageFrame, 0);
  // Aimed up-left at the player, within its arc above the body.
  const int a = o.partsA[6].angle;
  EXPECT_GE(a, 608);
  EXPECT_LE(a, 928);
}

TEST_F(Stage3WalkersTest, OnlyAboveEasyOrPastTheRankThresholdDoesTheGunOpen) {
  struct Row {
    int difficulty;
    int16_t timeRank;
    bool opens;
  } rows[] = {{0, 0, false}, {0, 133, false}, {0, 134, true}, {1, 0, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.difficulty << " rank " << r.timeRank);
    ClearAllObjects();
    Difficulty = static_cast<int16_t>(r.difficulty);
    TimeRank = r.timeRank;
    const int16_t slot = bench.SpawnPool1(kFloorWalker, 320, 300);
    EnemyObject& o = EnemyPool1[slot];
    bool opened = false;
    int triggerFrame = -1;
    for (int pass = 0; pass < 200; ++pass) {
      const int32_t before = o.intWork0;
      bench.PassPool1();
      if (before == 0 && o.intWork0 == 1) {
        opened = true;
        triggerFrame = o.frame;
      }
    }
    EXPECT_EQ(o.state, 2);
    EXPECT_EQ(opened, r.opens);
    if (opened) {
      EXPECT_EQ(triggerFrame % ComputeFireInterval(120, o.rank), ComputeFireInterval(30, o.rank));
    }
  }
}

TEST_F(Stage3WalkersTest, AWalkerKilledInTheAirDropsOrRisesOntoTheNearestSurfaceAndExplodes) {
  struct Row {
    int16_t type;
    double killedAtY;
    double landsAtY;
    double gravity;
  } rows[] = {{kFloorWalker, 100, kFloorY, 0.075}, {kCeilingWalker, 300, kCeilingY, -0.075}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    ClearAllObjects();
    PlayerX = 600;
    const int16_t slot = bench.SpawnPool1(r.type, 320, 200);
    if (r.type == kCeilingWalker) EnemyPool1[slot].spawnDir = -1;
    bench.PassPool1();
    EnemyObject& o = EnemyPool1[slot];
    o.x = 320;
    o.y = r.killedAtY;
    o.state = 3;
    bench.PassPool1();
    EXPECT_EQ(o.state, 4);
    EXPECT_EQ(o.y, r.killedAtY + 4);
    double lastY = o.y;
    int frames = 0;
    while (o.state == 4 && frames < 200) {
      lastY = o.y;
      bench.PassPool1();
      ++frames;
      if (o.state == 4) { ASSERT_NEAR(o.vy, r.gravity * frames, 1e-6) << frames; }
    }
    EXPECT_EQ(o.state, 0);
    EXPECT_NEAR(o.y, r.landsAtY, 1);
    EXPECT_NE(lastY, o.y);
    // Expected fall time from the kill: d = g t^2 / 2.
    const double d = std::fabs(r.landsAtY - (r.killedAtY + 4));
    EXPECT_NEAR(frames, std::sqrt(2 * d / 0.075), 2);
  }
}

}  // namespace
