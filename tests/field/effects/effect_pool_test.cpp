// The effect pool: spawning and its refusals, the update's order and drift, and the animation
// helpers' timing as the effect types use them.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "tests/field/effects/effect_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

class EffectPoolTest : public testing::Test {
 protected:
  FieldFixture field;
};

TEST_F(EffectPoolTest, AFadingSpawnIsItsTypeWithAThirtySecondOfItsSpeedAsFadeStep) {
  Effects[0].blendValue = 3;  // a previous occupant's leftovers
  Effects[0].scale = 7;
  Effects[0].stopCounter = 1;
  const int16_t fading = SpawnEffect(105, 10, 20, 30, 256, 6.4);
  const int16_t plain = SpawnEffect(5, 10, 20, 30, 0, 6.4);
  ASSERT_EQ(fading, 0);
  ASSERT_EQ(plain, 1);

  const Effect& f = Effects[fading];
  EXPECT_EQ(f.type, 5);
  EXPECT_EQ(f.fading, 1);
  EXPECT_DOUBLE_EQ(f.fadeStep, 0.2);
  EXPECT_EQ(f.state, 1);
  EXPECT_EQ(f.blendValue, 255);
  EXPECT_EQ(f.scale, 1.0);
  EXPECT_EQ(f.stopCounter, 0);
  EXPECT_EQ(f.margin, 60);
  EXPECT_EQ(f.rotation, 30);
  EXPECT_EQ(f.motionAngle, 256);
  // Straight down at 6.4.
  EXPECT_EQ(f.vx, 0.0);
  EXPECT_EQ(f.vy, 6.4);

  const Effect& p = Effects[plain];
  EXPECT_EQ(p.type, 5);
  EXPECT_EQ(p.fading, 0);
  EXPECT_EQ(p.fadeStep, 0.0);
  EXPECT_EQ(p.vx, 6.4);
}

TEST_F(EffectPoolTest, AFullPoolRefusesAllButThePlainBossFlashWhichTakesTheLastSlot) {
  for (int i = 0; i < kEffectSlots; ++i) ASSERT_EQ(SpawnEffect(10, i, 0, 0, 0, 0), i);
  std::vector<uint8_t> before(sizeof(Effects));
  std::memcpy(before.data(), Effects, sizeof(Effects));

  for (int type : {0, 5, 31, 33, 34, 105, 132}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(SpawnEffect(type, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(std::memcmp(before.data(), Effects, sizeof(Effects)), 0);
  }
  EXPECT_EQ(FindFreeEffectSlot(), -1);

  EXPECT_EQ(SpawnEffect(32, 500, 60, 0, 0, 0), 255);
  EXPECT_EQ(Effects[255].type, 32);
  EXPECT_EQ(Effects[255].x, 500);
  EXPECT_EQ(Effects[255].state, 1);
  EXPECT_EQ(Effects[254].type, 10);

  Effects[7].state = 0;
  EXPECT_EQ(FindFreeEffectSlot(), 7);
  EXPECT_EQ(SpawnEffect(132, 0, 0, 0, 0, 0), 7);
}

TEST_F(EffectPoolTest, ATypeWithoutATableEntryIsRefused) {
  for (int type : {-1, -100, 35, 99, 135, 1000}) {
    SCOPED_TRACE(type);
    EXPECT_EQ(SpawnEffect(type, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(FindFreeEffectSlot(), 0);
  }
  EXPECT_EQ(SpawnEffect(134, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(Effects[0].type, 34);
  EXPECT_EQ(SpawnEffect(100, 0, 0, 0, 0, 0), 1);
  EXPECT_EQ(Effects[1].type, 0);
}

TEST_F(EffectPoolTest, ATypeWithoutBehaviourGivesItsSlotBackOnItsFirstUpdate) {
  for (int type : {9, 18, 19, 21, 22, 23, 24, 109}) {
    SCOPED_TRACE(type);
    const int16_t slot = SpawnEffect(type, 0, 0, 0, 0, 0);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(UpdatesUntilFreed(slot), 1);
  }
}

TEST_F(EffectPoolTest, XFollowsTheScrollAndTheDriftEvenOnTheFreeingUpdateButYNever) {
  ScrollDeltaX = 1.5;
  ScrollDeltaY = 3;
  EffectDriftX = -0.25;
  // Type 10 plays six cells of four frames and goes.
  const int16_t slot = SpawnEffect(10, 100, 50, 0, 0, 0);
  int updates = 0;
  while (Effects[slot].state != 0 && updates < 100) {
    UpdateEffects();
    ++updates;
    EXPECT_EQ(Effects[slot].x, 100 + 1.25 * updates);
    EXPECT_EQ(Effects[slot].y, 50);
  }
  EXPECT_EQ(updates, 24);
}

TEST_F(EffectPoolTest, EffectsUpdateFromSlotZeroUpSoALowerSpawnWaitsForTheNextFrame) {
  // The flash in slot 1 throws its rings into slots 0 (free) and 2 on its second frame.
  CurrentStage = 1;
  ASSERT_EQ(SpawnEffect(10, 0, 0, 0, 0, 0), 0);
  ASSERT_EQ(SpawnEffect(32, 0, 0, 0, 0, 0), 1);
  Effects[0].state = 0;
  UpdateEffects();
  UpdateEffects();
  ASSERT_EQ(Effects[0].type, 33);
  ASSERT_EQ(Effects[2].type, 33);
  EXPECT_EQ(Effects[0].state, 1);  // not yet set up
  EXPECT_EQ(Effects[2].state, 2);  // set up in the same pass
}

// A core or spark of the blast family lasts 2 x first period + 10 n - 6 frames, where the first
// period comes from its set-up's draw.
TEST_F(EffectPoolTest, BlastCoresLastTwoFirstPeriodsAndTenStepsLessSix) {
  struct Row {
    int type, n, shortest, longest;
  } rows[] = {{0, 5, 48, 54}, {1, 5, 48, 54}, {2, 4, 38, 44}, {3, 4, 38, 44}, {8, 4, 38, 44}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    bool seen[6] = {};
    for (uint32_t seed = 1; seed < 40; ++seed) {
      SeedLcgRandom(seed);
      const int16_t slot = SpawnEffect(r.type, 0, 0, 0, 0, 0);
      const uint32_t before = LcgRandomState;
      UpdateEffects();
      EXPECT_EQ(DrawsBetween(before, LcgRandomState), 1);
      const int first = Effects[slot].firstPeriod;
      ASSERT_GE(first, 2);
      ASSERT_LE(first, 5);
      seen[first] = true;
      // The first two cells take `first` frames each.
      for (int f = 2; f <= 2 * first; ++f) {
        EXPECT_EQ(Effects[slot].animFrame, f <= first ? 0 : 1);
        UpdateEffects();
      }
      EXPECT_EQ(Effects[slot].animFrame, 2);
      const int life = 2 * first + UpdatesUntilFreed(slot);
      EXPECT_EQ(life, 2 * first + 10 * r.n - 6);
      EXPECT_GE(life, r.shortest);
      EXPECT_LE(life, r.longest);
    }
    EXPECT_TRUE(seen[2] && seen[3] && seen[4] && seen[5]);
  }
  // The ship's blast has no draw: 3 frames for each of the first two cells.
  const uint32_t before = LcgRandomState;
  const int16_t ship = SpawnEffect(4, 0, 0, 0, 0, 0);
  EXPECT_EQ(UpdatesUntilFreed(ship), 40);
  EXPECT_EQ(LcgRandomState, before);
}

TEST_F(EffectPoolTest, AFadingSparkSlowsToARestAfterThirtyTwoFramesAndStaysUntilItEnds) {
  SeedLcgRandom(7);
  const int16_t slot = SpawnFadingEffect(1, 200, 100, 0, 0, 6.4);
  std::vector<double> xs;
  int life = -1;
  for (int update = 1; update <= 100; ++update) {
    UpdateEffects();
    if (Effects[slot].state == 0) {
      life = update;
      break;
    }
    xs.push_back(Effects[slot].x);
    EXPECT_EQ(Effects[slot].stopCounter, update >= 32 ? 1 : 0) << update;
    EXPECT_EQ(Effects[slot].y, 100);
  }
  ASSERT_GE(life, 48);
  EXPECT_LE(life, 54);
  // It moves by its previous frame's speed, so the 33rd update is the last that moves it.
  EXPECT_DOUBLE_EQ(xs[0], 206.4);
  EXPECT_GT(xs[32], xs[31]);
  for (size_t i = 33; i < xs.size(); ++i) EXPECT_EQ(xs[i], xs[32]);
  // 6.4 twice, then 6.2 down to 0.2.
  EXPECT_NEAR(xs[32], 200 + 12.8 + 0.2 * (31 * 32 / 2), 1e-9);
}

TEST_F(EffectPoolTest, LoopingPiecesFadeFromFrameSeventeenAndFasterOnceStopped) {
  struct Row {
    int type;
    double speed;
    int life;
  } rows[] = {
      // 16 x 3 by frame 32, stopped from 33: 19 a frame, gone at 43.
      {105, 4.0, 43},
      {106, 4.0, 43},
      // Never moving: 19 a frame from frame 17.
      {13, 0, 30},
      {7, 0, 30},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    const int16_t slot = SpawnEffect(r.type, 0, 0, 0, 64, r.speed);
    for (int update = 1; update <= 24; ++update) {
      UpdateEffects();
      const int fade = r.speed > 0 ? 3 : 19;
      EXPECT_EQ(Effects[slot].blendValue, update <= 16 ? 255 : 255 - fade * (update - 16));
      // Cells 0..5, one every four frames, round again.
      EXPECT_EQ(Effects[slot].animFrame, update / 4 % 6);
    }
    EXPECT_EQ(24 + UpdatesUntilFreed(slot), r.life);
    EXPECT_EQ(Effects[slot].blendValue, 0);
    EXPECT_EQ(Effects[slot].blendMode, kEffectBlendAlpha);
  }
}

}  // namespace
