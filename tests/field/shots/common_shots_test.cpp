// The common bullets: the straight movers' set-ups and sounds, the drop of a shot spawned far
// off screen (silent but for the seeker), terrain and the vanish frames, trail dots, the
// seeker's fading turn, the burning fragments of a boss explosion and the accelerating shot.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/effects/effect_test_support.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

class CommonShotsTest : public testing::Test {
 protected:
  FieldFixture field;
};

int CountShots(int type) {
  int n = 0;
  for (const EnemyShot& s : EnemyShots) n += s.state != 0 && s.type == type ? 1 : 0;
  return n;
}

TEST_F(CommonShotsTest, StraightMoversSetUpAndFlyOnTheirFirstUpdate) {
  struct Row {
    int16_t type;
    int16_t margin, radius;
    bool upright;
    int16_t additive;
    std::vector<int> sounds;  // requested by the set-up
  } rows[] = {
      {0, 8, 4, true, 0, {}},     {1, 8, 3, false, 0, {}},    {2, 16, 10, true, 0, {33}},
      {3, 32, 3, false, 0, {34}}, {4, 32, 7, false, 1, {41}},
  };
  ScrollDeltaX = 1.5;  // they ride the screen
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    ClearAllObjects();
    ASSERT_EQ(SpawnEnemyShot(r.type, 300, 3, 300, 200, 0), 0);
    field.TakeSoundRequests();
    UpdateEnemyShots();
    EXPECT_EQ(field.TakeSoundRequests(), r.sounds);
    const EnemyShot& s = EnemyShots[0];
    EXPECT_EQ(s.state, 2);
    EXPECT_EQ(s.drawMargin, r.margin);
    EXPECT_EQ(s.hitSize[0], r.radius);
    EXPECT_EQ(s.motionAngle, 300);
    EXPECT_EQ(s.drawAngle, r.upright ? 0 : 300);
    EXPECT_EQ(s.additive, r.additive);
    EXPECT_EQ(s.rotated, 1);
    EXPECT_DOUBLE_EQ(s.x, 300 + CosineTable[300] * 3 + 1.5);
    EXPECT_DOUBLE_EQ(s.y, 200 + SineTable[300] * 3);
    // Drawn upright, the hit tests still sweep along the course.
    EXPECT_DOUBLE_EQ(EnemyShotSweepRadians(s), AngleToRadians(300));
    UpdateEnemyShots();
    EXPECT_TRUE(field.TakeSoundRequests().empty());  // once, at the set-up
  }
}

TEST_F(CommonShotsTest, ShotsSpawnedFarOffScreenAreDroppedByTheirSetUp) {
  // Dropped in silence, except that the seeker asks for its sound in any case.
  struct Row {
    int16_t type;
    double x;
    bool kept;
    std::vector<int> sounds;
  } rows[] = {
      {0, -61, false, {}},  {0, -60, true, {}},  {1, 701, false, {}},   {2, -61, false, {}},
      {4, -100, false, {}}, {5, -61, false, {}}, {6, -61, false, {41}}, {15, -61, false, {}},
      {16, -61, false, {}}, {16, -59, true, {}},
  };
  for (const Row& r : rows) {
    ClearAllObjects();
    ASSERT_EQ(SpawnEnemyShot(r.type, 0, 0, r.x, 200, 0), 0);
    field.TakeSoundRequests();
    UpdateEnemyShots();
    EXPECT_EQ(EnemyShots[0].state != 0, r.kept) << r.type << " at " << r.x;
    EXPECT_EQ(field.TakeSoundRequests(), r.sounds) << r.type << " at " << r.x;
    // Nothing is spawned by a shot that was dropped.
    EXPECT_EQ(CountShots(r.type == 4 ? 5 : 7), 0);
  }
}

TEST_F(CommonShotsTest, TerrainStopsAShotWhereItMovedAndItsVanishFramesFreeIt) {
  PutBlock(8, 5);  // x 320..360, y 200..240
  ASSERT_EQ(SpawnEnemyShot(1, 0, 4, 300, 220, 0), 0);
  const EnemyShot& s = EnemyShots[0];
  int passes = 0;
  while (s.state == 2 || s.state == 1) {
    UpdateEnemyShots();
    ASSERT_LT(++passes, 20);
  }
  EXPECT_EQ(s.state, 3);
  EXPECT_GT(s.x, 315);  // moved on the frame it struck
  std::vector<int16_t> anims;
  while (s.state == 3) {
    UpdateEnemyShots();
    anims.push_back(s.anim);
  }
  // Frames 8..11 at one step every third frame, then freed.
  EXPECT_GE(anims.front(), 8);
  EXPECT_LE(anims.front(), 9);
  EXPECT_EQ(anims.back(), 12);
  EXPECT_GE(anims.size(), 10u);
  EXPECT_LE(anims.size(), 12u);
  // A shot that passes terrain flies on.
  ClearAllObjects();
  ASSERT_EQ(SpawnEnemyShot(1, 0, 4, 300, 220, 0), 0);
  EnemyShots[0].passesTerrain = 1;
  for (int i = 0; i < 20; ++i) UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[0].state, 2);
  EXPECT_GT(EnemyShots[0].x, 370);
}

TEST_F(CommonShotsTest, TrailDotsHurtOnlyBelowFrameFourAndGoAfterFrameFive) {
  struct Row {
    int16_t type, startAnim;
    int harmlessFrom, freedAt;
  } rows[] = {{5, 4, 1, 12}, {7, 4, 1, 12}, {5, 0, 24, 36}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.type << " from anim " << r.startAnim);
    ClearAllObjects();
    ASSERT_EQ(SpawnEnemyShot(r.type, 0, 0, 300, 200, 0), 0);
    EnemyShots[0].anim = r.startAnim;
    int harmlessFrom = -1, freedAt = -1;
    for (int pass = 1; pass <= 50 && freedAt < 0; ++pass) {
      UpdateEnemyShots();
      if (harmlessFrom < 0 && EnemyShots[0].hitActive == 0) harmlessFrom = pass;
      if (EnemyShots[0].state == 0) freedAt = pass;
    }
    EXPECT_EQ(harmlessFrom, r.harmlessFrom);
    EXPECT_EQ(freedAt, r.freedAt);
  }
}

TEST_F(CommonShotsTest, TheTrailShotDropsADotOnEveryEvenFrame) {
  ASSERT_EQ(SpawnEnemyShot(4, 0, 2, 100, 200, 0), 0);
  for (int i = 0; i < 6; ++i) UpdateEnemyShots();
  EXPECT_EQ(CountShots(5), 3);
  EXPECT_EQ(EnemyShots[0].additive, 1);
  EXPECT_EQ(EnemyShots[0].alpha, 255);
}

TEST_F(CommonShotsTest, TheSeekerTurnsEightAFrameUntilFrameNinetyThenFadesToNothing) {
  // The seeker stands (speed 0) and the ship is kept well round to one side of its heading, so
  // every frame's turn is its whole turn rate.
  ASSERT_EQ(SpawnEnemyShot(6, 0, 0, 300, 200, 0), 0);
  field.TakeSoundRequests();
  EnemyShot& s = EnemyShots[0];
  std::vector<int> turns;
  for (int frame = 1; frame <= 200; ++frame) {
    const int16_t before = s.drawAngle;
    const int aim = WrapAngle(before + 300);
    PlayerX = s.x + CosineTable[aim] * 200;
    PlayerY = s.y + SineTable[aim] * 200;
    UpdateEnemyShots();
    ASSERT_EQ(s.frame, frame);
    turns.push_back(WrapAngle(s.drawAngle - before));
    if (frame == 152) { EXPECT_EQ(s.workWord, 0); }
  }
  for (int frame = 1; frame <= 90; ++frame) EXPECT_EQ(turns[frame - 1], 8) << frame;
  // One step less every eighth frame after 90: 7 on frames 97..104, ..., none after 152.
  EXPECT_EQ(turns[96], 7);
  EXPECT_EQ(turns[151], 1);
  for (int frame = 153; frame <= 200; ++frame) EXPECT_EQ(turns[frame - 1], 0) << frame;
  // Its trail: a dot on every even frame, in silence; the seeker's sound came once.
  EXPECT_GT(CountShots(7), 0);
  EXPECT_EQ(s.additive, 1);
  EXPECT_EQ(field.TakeSoundRequests(), std::vector<int>{41});
}

TEST_F(CommonShotsTest, ABossExplosionThrowsFiveBurningFragmentsThatHarmNothing) {
  SpawnBossExplosion(320, 200, 0);
  std::vector<EnemyShot> thrown;
  for (const EnemyShot& s : EnemyShots) {
    if (s.state != 0) thrown.push_back(s);
  }
  ASSERT_EQ(thrown.size(), 5u);
  // They keep their world course: no scroll term.
  ScrollDeltaX = 3;
  UpdateEnemyShots();
  for (size_t i = 0; i < thrown.size(); ++i) {
    const EnemyShot& f = EnemyShots[i];
    EXPECT_EQ(f.type, 15);
    EXPECT_EQ(f.speed, 5.2);
    EXPECT_DOUBLE_EQ(f.x, thrown[i].x + CosineTable[thrown[i].drawAngle] * 5.2);
    EXPECT_EQ(f.hitActive, 0);
    EXPECT_EQ(f.collides, 0);
    EXPECT_EQ(f.anim, -1);
  }
  // Off screen, the explosion throws none.
  ClearAllObjects();
  SpawnBossExplosion(-200, 200, 0);
  for (const EnemyShot& s : EnemyShots) EXPECT_EQ(s.state, 0);
}

TEST_F(CommonShotsTest, ABurningFragmentPuffsEveryFourthFrameAndIsGoneAfterFrameSeventyFive) {
  // Slow enough to stay on screen for its whole life.
  ASSERT_EQ(SpawnEnemyShot(15, 0, 1, 200, 200, 1), 0);
  int draws = 0;
  for (int frame = 1; frame <= 76; ++frame) {
    const uint32_t before = LcgRandomState;
    UpdateEnemyShots();
    draws += DrawsBetween(before, LcgRandomState);
    if (frame == 75) { EXPECT_EQ(EnemyShots[0].state, 2); }
  }
  EXPECT_EQ(EnemyShots[0].state, 0);
  // One draw and one puff (effect 1) on each of frames 4, 8, ..., 72.
  EXPECT_EQ(draws, 18);
  int puffs = 0;
  for (const Effect& e : Effects) puffs += e.state != 0 && e.type == 1 ? 1 : 0;
  EXPECT_EQ(puffs, 18);
}

TEST_F(CommonShotsTest, ABurningFragmentThatMeetsTerrainIsGone) {
  PutBlock(9, 5);  // x 360..400
  SpawnBurningFragment(0, 350, 220);
  EXPECT_EQ(PassesUntilShotFreed(0), 1);
}

TEST_F(CommonShotsTest, TheAcceleratingShotReachesItsSpeedInThirtyTwoFramesOnItsWorldCourse) {
  ASSERT_EQ(SpawnEnemyShot(16, 256, 6.4, 300, 100, 0), 0);
  const EnemyShot& s = EnemyShots[0];
  ScrollDeltaX = 2;
  ScrollDeltaY = 1;
  double lastY = 100;
  for (int frame = 1; frame <= 40; ++frame) {
    UpdateEnemyShots();
    EXPECT_NEAR(s.speed, std::min(frame * 0.2, 6.4), 1e-9) << frame;
    EXPECT_EQ(s.x, 300);
    EXPECT_GT(s.y, lastY - 1e-9);
    lastY = s.y;
  }
  EXPECT_EQ(s.drawAngle, 0);
  EXPECT_EQ(s.motionAngle, 256);
  EXPECT_DOUBLE_EQ(EnemyShotSweepRadians(s), AngleToRadians(256));
}

}  // namespace
