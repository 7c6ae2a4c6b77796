// Stage 3's enemy shots run by the shot pass: the vents' puffs and jets, the pods' flame with its
// brake, wait, re-aim and afterimages, the afterimage's harmless fade, the ring shot that starts
// at rest, and the shell's three hit points.
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

namespace {

class Stage3ShotsTest : public testing::Test {
 protected:
  FieldFixture field;

  void SetUp() override {
    ClearAllObjects();
    CurrentStage = 3;
    DrawOffsetX = DrawOffsetY = 0;
    ScrollDeltaX = ScrollDeltaY = 0;
    std::memset(CollisionLayer, 0, sizeof(CollisionLayer));
    MapWidth = 40;
    MapHeight = 20;
    field.SetShipImmune(true);
    PlayerX = 100;
    PlayerY = 300;
  }
  void TearDown() override { ScrollDeltaX = ScrollDeltaY = 0; }

  static void Block(int column, int row) { CollisionLayer[row][column] = 1; }

  static int Spawn(int16_t type, int16_t angle, double speed, double x, double y) {
    const int slot = SpawnEnemyShot(type, angle, speed, x, y, 0);
    EXPECT_GE(slot, 0);
    return slot;
  }

  // Passes until the slot is free; the pass that freed it, or -1 past the limit.
  static int PassesUntilFreed(int slot, int limit) {
    for (int n = 1; n <= limit; ++n) {
      UpdateEnemyShots();
      if (EnemyShots[slot].state == 0) return n;
    }
    return -1;
  }
};

TEST_F(Stage3ShotsTest, AVentPuffFadesAfterThirtyTwoFramesAndAJetFliesUntilTerrainOrFarAway) {
  const int puff = Spawn(17, 0, 1, 320, 180);
  EXPECT_EQ(PassesUntilFreed(puff, 100), 32);

  // A rock it crosses before frame 17 does not stop the jet; it goes 1000 px past the screen.
  Block(4, 4);  // x 160..200, crossed in its first frames
  const int jet = Spawn(17, 0, 16, 100, 180);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[jet].removalMargin, 1000);
  EXPECT_EQ(EnemyShots[jet].alpha, 192);
  EXPECT_EQ(EnemyShots[jet].additive, 1);
  int passes = 1;
  for (; passes < 15; ++passes) UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[jet].state, 2) << "no terrain test before frame 17";
  const int freed = PassesUntilFreed(jet, 200);
  ASSERT_GT(freed, 0);
  // Freed once more than 1000 px right of the screen (x 640 + 1000).
  const double lastX = 100 + 16.0 * (passes + freed);
  EXPECT_GT(lastX, 1640);
  EXPECT_LE(lastX - 16, 1640);

  // From frame 17 on a rock ahead stops it: it slows to a quarter and fades where it met it.
  SetUp();
  Block(14, 4);  // x 560..600
  const int hit = Spawn(17, 0, 16, 100, 180);
  int stopped = 0;
  for (int n = 1; n <= 60 && stopped == 0; ++n) {
    UpdateEnemyShots();
    if (EnemyShots[hit].state != 2) stopped = n;
  }
  // Frame 29 is the first whose step (to x 564) touches the rock's face at x 560; the jet still
  // makes that step.
  EXPECT_EQ(stopped, 29);
  EXPECT_EQ(EnemyShots[hit].x, 564);
  EXPECT_GT(PassesUntilFreed(hit, 20), 0);
  EXPECT_LE(EnemyShots[hit].x, 564 + 4 * 8);  // a quarter of its speed for at most 8 frames
}

TEST_F(Stage3ShotsTest, AFlameBrakesWaitsReAimsOnceRelaunchesAndLeavesAfterimagesWhileFast) {
  field.TakeSoundRequests();
  const int slot = Spawn(20, 512, 3.5, 400, 200);
  std::vector<int> afterimageFrames;
  int stopFrame = -1, aimFrame = -1, fullFrame = -1, aims = 0;
  int16_t angle = 512;
  int lastTrails = 0;
  for (int f = 1; f <= 200; ++f) {  // it reaches the ship later
    UpdateEnemyShots();
    const EnemyShot& s = EnemyShots[slot];
    ASSERT_EQ(s.state, 2) << f;
    if (stopFrame < 0 && s.speed == 0) stopFrame = f;
    if (s.motionAngle != angle) {
      ++aims;
      aimFrame = f;
      angle = s.motionAngle;
    }
    if (fullFrame < 0 && aimFrame > 0 && s.speed > 3.5 - 1e-9) fullFrame = f;
    const int trails = CountEnemyShotsOfType(21);
    if (trails > lastTrails) {
      afterimageFrames.push_back(f);
      EXPECT_GT(s.speed, 1) << f;
      EXPECT_EQ(f % 4, 0);
    }
    lastTrails = trails;
  }
  EXPECT_EQ(stopFrame, 96);
  EXPECT_EQ(aims, 1);
  EXPECT_EQ(aimFrame, stopFrame + 49);
  // 48 steps of two thirds of a thirty-second from the frame after the turn (the sum of the
  // steps falls short of 3.5 by a rounding error, which the next frame's step makes up).
  EXPECT_EQ(fullFrame, aimFrame + 48);
  EXPECT_EQ(EnemyShots[slot].speed, 3.5);
  EXPECT_FALSE(afterimageFrames.empty());
  EXPECT_EQ(field.TakeSoundRequests(), std::vector<int>{49});
  // Down and to the left, toward the ship at (100, 300).
  EXPECT_LT(EnemyShots[slot].vx, 0);
  EXPECT_GT(EnemyShots[slot].vy, 0);

  // Spawned more than 60 px off screen it is gone in its set-up, silently.
  const int off = Spawn(20, 0, 3.5, -100, 200);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[off].state, 0);
  EXPECT_TRUE(field.TakeSoundRequests().empty());
}

TEST_F(Stage3ShotsTest, AnAfterimageStopsHurtingPastFrameFourAndFades) {
  const int slot = SpawnEnemyShot(21, 0, 0, 300, 200, 1);
  ASSERT_GE(slot, 0);
  ScrollDeltaX = 2;
  int harmless = -1;
  int freed = -1;
  for (int f = 1; f <= 40 && freed < 0; ++f) {
    UpdateEnemyShots();
    const EnemyShot& s = EnemyShots[slot];
    if (s.state == 0) {
      freed = f;
      break;
    }
    if (harmless < 0 && s.hitActive == 0) {
      harmless = f;
      EXPECT_EQ(s.anim, 5);
    }
    EXPECT_DOUBLE_EQ(s.x, 300 + 2.0 * f);  // it rides the scroll
  }
  EXPECT_EQ(harmless, 4);
  EXPECT_EQ(freed, 16);
}

TEST_F(Stage3ShotsTest, ARingShotStartsAtRestAndItsFirstTerrainTestSeesOnlyTheScroll) {
  Block(5, 5);  // x 200..240, y 200..240
  // Aimed at the rock from just before it: at rest, the first pass does not reach it.
  int slot = Spawn(22, 0, 4, 197, 220);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[slot].state, 2);
  EXPECT_DOUBLE_EQ(EnemyShots[slot].vx, 0);

  // Fired away from the rock, the scroll's movement alone carries the probe into it.
  SetUp();
  Block(5, 5);
  ScrollDeltaX = 4;
  slot = Spawn(22, 512, 4, 197, 220);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[slot].state, 3);

  // The launch speed is reached after 32 frames, and the shot keeps its world course.
  SetUp();
  slot = Spawn(22, 256, 4, 320, 100);
  int full = -1;
  for (int f = 1; f <= 40; ++f) {
    UpdateEnemyShots();
    if (full < 0 && EnemyShots[slot].speed == 4) full = f;
  }
  EXPECT_EQ(full, 32);
  EXPECT_DOUBLE_EQ(EnemyShots[slot].x, 320);
}

TEST_F(Stage3ShotsTest, TheShellHasThreeHitPointsAndTheRoundShotOne) {
  field.TakeSoundRequests();
  ScrollDeltaX = 1;
  ScrollDeltaY = 3;
  const int shell = Spawn(19, 0, 2, 300, 200);
  const int round = Spawn(18, 256, 2, 300, 100);
  UpdateEnemyShots();
  const EnemyShot& s = EnemyShots[shell];
  EXPECT_EQ(s.hitSize[0], 3);
  EXPECT_EQ(s.hitSize[1], 3);
  EXPECT_EQ(s.hitSize[2], 3);
  EXPECT_EQ(s.hitSize[3], -1);
  EXPECT_DOUBLE_EQ(s.hitX[1], s.x + 6);
  EXPECT_DOUBLE_EQ(s.hitX[2], s.x - 6);
  // It rides the horizontal scroll only.
  EXPECT_DOUBLE_EQ(s.x, 303);
  EXPECT_DOUBLE_EQ(s.y, 200);
  EXPECT_EQ(field.TakeSoundRequests(), std::vector<int>{34});

  const EnemyShot& r = EnemyShots[round];
  EXPECT_EQ(r.hitSize[0], 3);
  EXPECT_EQ(r.hitSize[1], -1);
  EXPECT_EQ(r.drawAngle, 256);
  EXPECT_DOUBLE_EQ(r.y, 100 + 2 + 3);
}

}  // namespace
