// The effect types' behaviours: what each set-up gives and how long each lives, the glows held
// on the ship, the boss-death flash with its rings, the spinning puff.
#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/effects/effect_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

class EffectBehavioursTest : public testing::Test {
 protected:
  FieldFixture field;
};

TEST_F(EffectBehavioursTest, EachTypeSetsUpItsLookAndLivesItsFrames) {
  struct Row {
    int type;
    double speed;
    int stage;
    int16_t rotation;
    int margin, blendMode, blendValue, firstCell, life, draws;
  } rows[] = {
      {4, 0, 1, 0, 48, kEffectBlendOpaque, 255, 0, 40, 0},
      {5, 0, 1, 0, 19, kEffectBlendAlpha, 255, 0, 30, 0},
      {6, 0, 1, 0, 12, kEffectBlendAlpha, 255, 0, 30, 0},
      {10, 0, 1, 0, 48, kEffectBlendOpaque, 255, 0, 24, 0},
      {11, 0, 1, 0, 32, kEffectBlendOpaque, 255, 0, 24, 0},
      {12, 0, 1, 0, 32, kEffectBlendOpaque, 255, 0, 24, 0},
      {13, 0, 1, 0, 48, kEffectBlendAlpha, 255, 0, 30, 0},
      {14, 0, 1, 0, 32, kEffectBlendAlpha, 255, 0, 30, 0},
      {15, 0, 1, 0, 24, kEffectBlendAlpha, 255, 0, 30, 0},
      // The speed as a size: above 0, the second image's cells 6-11.
      {16, 1, 1, 0, 26, kEffectBlendOpaque, 255, 6, 18, 0},
      {16, 0, 1, 0, 20, kEffectBlendOpaque, 255, 0, 18, 0},
      {17, 1, 1, 0, 32, kEffectBlendOpaque, 255, 6, 12, 0},
      {17, 0, 1, 0, 32, kEffectBlendOpaque, 255, 0, 18, 0},
      {25, 1, 1, 0, 32, kEffectBlendAdditive, 255, 6, 18, 0},
      {25, 1, 4, 0, 32, kEffectBlendAdditive, 255, 6, 12, 0},
      {25, 0, 4, 0, 32, kEffectBlendAdditive, 255, 0, 12, 0},
      {25, 0, 2, 0, 32, kEffectBlendAdditive, 255, 0, 18, 0},
      {20, 0, 1, 0, 32, kEffectBlendOpaque, 255, 0, 32, 0},
      {26, 0, 1, 0, 16, kEffectBlendOpaque, 255, 0, 32, 0},
      // Facing left (odd cells) for drawn angles strictly between 256 and 768.
      {27, 2, 1, 100, 25, kEffectBlendAdditive, 255, 0, 24, 0},
      {27, 2, 1, 300, 25, kEffectBlendAdditive, 255, 1, 24, 0},
      {27, 2, 1, 768, 25, kEffectBlendAdditive, 255, 0, 24, 0},
      {28, 0, 1, 0, 64, kEffectBlendAdditive, 192, 0, 20, 0},
      {29, 0, 1, 0, 64, kEffectBlendAdditive, 192, 0, 20, 0},
      {30, 0, 1, 0, 64, kEffectBlendAdditive, 192, 0, 20, 0},
      {31, 0, 1, 0, 24, kEffectBlendAdditive, 128, 0, 18, 1},
      {33, 0, 1, 0, 640, kEffectBlendAdditive, 255, 0, 18, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "type " << r.type << " speed " << r.speed);
    CurrentStage = static_cast<int16_t>(r.stage);
    const int16_t slot = SpawnEffect(r.type, 0, 0, r.rotation, 0, r.speed);
    ASSERT_GE(slot, 0);
    const uint32_t before = LcgRandomState;
    UpdateEffects();
    const Effect& e = Effects[slot];
    EXPECT_EQ(DrawsBetween(before, LcgRandomState), r.draws);
    EXPECT_EQ(e.state, 2);
    EXPECT_EQ(e.margin, r.margin);
    EXPECT_EQ(e.blendMode, r.blendMode);
    EXPECT_EQ(e.blendValue, r.blendValue);
    EXPECT_EQ(e.animFrame, r.firstCell);
    EXPECT_EQ(1 + UpdatesUntilFreed(slot), r.life);
  }
}

TEST_F(EffectBehavioursTest, SizedTypesStandStillWhateverTheirSpeed) {
  for (int type : {16, 17, 25, 34}) {
    SCOPED_TRACE(type);
    const int16_t slot = SpawnEffect(type, 50, 60, 0, 64, 2.5);
    UpdateEffects();
    UpdateEffects();
    EXPECT_EQ(Effects[slot].x, 50);
    EXPECT_EQ(Effects[slot].y, 60);
    Effects[slot].state = 0;
  }
}

TEST_F(EffectBehavioursTest, TheSparkStreakTurnsWithItsFlight) {
  const int16_t slot = SpawnEffect(27, 0, 0, 0, 300, 3);
  UpdateEffects();
  const Effect& e = Effects[slot];
  EXPECT_EQ(e.rotation, AimAngle(0, 0, e.vx, e.vy));
  EXPECT_NE(e.rotation, 0);
  EXPECT_DOUBLE_EQ(e.x, e.vx);
}

TEST_F(EffectBehavioursTest, ScreenAndHitSparksRideWithTheScreen) {
  ScrollDeltaX = 2;
  ScrollDeltaY = 1.5;
  EffectDriftX = -2;
  // Spawned with a speed that they do not fly by.
  const int16_t screen = SpawnEffect(8, 100, 100, 0, 0, 5);
  const int16_t hit = SpawnEffect(31, 100, 100, 0, 0, 5);
  for (int update = 1; update <= 10; ++update) {
    UpdateEffects();
    EXPECT_EQ(Effects[screen].x, 100 + 2 * update);
    EXPECT_EQ(Effects[screen].y, 100 + 1.5 * update);
    EXPECT_EQ(Effects[hit].x, 100 + 2 * update);
    EXPECT_EQ(Effects[hit].y, 100);
  }
}

TEST_F(EffectBehavioursTest, APickupGlowStaysTwelvePixelsLeftOfTheMovingShip) {
  ScrollDeltaX = 0.5;
  for (int type : {28, 29, 30}) {
    SCOPED_TRACE(type);
    PlayerX = 300;
    PlayerY = 200;
    const int16_t slot = SpawnEffect(type, 0, 0, 0, 0, 0);
    for (int update = 1; update <= 20; ++update) {
      PlayerX += 3;
      PlayerY -= 2;
      UpdateEffects();
      // The update's drift comes after the behaviour has placed it.
      EXPECT_EQ(Effects[slot].x, PlayerX - 12 + 0.5);
      EXPECT_EQ(Effects[slot].y, PlayerY);
      EXPECT_EQ(Effects[slot].animFrame, update / 5);
    }
    EXPECT_EQ(Effects[slot].state, 0);
  }
}

TEST_F(EffectBehavioursTest,
       TheBossFlashCancelsShotsUntilItsBlendRunsOutAndRingsOnlyOnStagesOneAndTwo) {
  for (int stage : {1, 2, 3, 5}) {
    SCOPED_TRACE(stage);
    CurrentStage = static_cast<int16_t>(stage);
    SeedLcgRandom(99);
    ReferenceLcg reference{99};
    const int16_t flash = SpawnEffect(32, 320, 200, 0, 0, 0);
    int rings = 0;
    int draws = 0;
    int life = 0;
    while (Effects[flash].state != 0 && life < 500) {
      const uint32_t before = LcgRandomState;
      UpdateEffects();
      ++life;
      const int drawn = DrawsBetween(before, LcgRandomState);
      draws += drawn;
      if (Effects[flash].state != 0) { EXPECT_EQ(CancelEnemyShots, 1) << life; }
      if (drawn == 0) continue;
      // One pair: spin then rotation each, the second spin narrower. They run in this pass,
      // so each has turned once by its spin already.
      const int spin1 = reference.Next() % 11 - 5;
      const int rot1 = reference.Next() % 1024;
      const int spin2 = reference.Next() % 7 - 3;
      const int rot2 = reference.Next() % 1024;
      EXPECT_EQ(drawn, 4);
      EXPECT_EQ(life % 2, 0);
      EXPECT_EQ(Effects[flash + 1].motionAngle, spin1);
      EXPECT_EQ(Effects[flash + 1].rotation, WrapAngle(rot1 + spin1));
      EXPECT_EQ(Effects[flash + 2].motionAngle, spin2);
      EXPECT_EQ(Effects[flash + 2].rotation, WrapAngle(rot2 + spin2));
      rings += 2;
      // Out of the way of the next pair.
      Effects[flash + 1].state = Effects[flash + 2].state = 0;
    }
    // Even frames 2..18, while the scale is below 1.0.
    EXPECT_EQ(rings, stage <= 2 ? 18 : 0);
    EXPECT_EQ(draws, stage <= 2 ? 36 : 0);
    // Growing past 1.2 at frame 21, then 255 / 3 frames of fading.
    EXPECT_EQ(life, 105);
    EXPECT_EQ(CancelEnemyShots, 0);
  }
}

TEST_F(EffectBehavioursTest, TheSpinningPuffLivesThirtyTwoFramesAndTurnsBySlotParity) {
  struct Row {
    double speed;
    int firstCell, lastCell, margin;
    double scale;  // after the set-up's first frame
  } rows[] = {
      {0, 0, 3, 32, 0.8 + 0.002},   {0.5, 0, 3, 32, 1.6 + 0.004}, {1.5, 4, 7, 48, 1.6 + 0.002},
      {2.5, 4, 7, 48, 1.2 + 0.002}, {4, 4, 7, 48, 0.6 + 0.002},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.speed);
    // An even and an odd slot.
    const int16_t even = SpawnEffect(34, 0, 0, 100, 0, r.speed);
    const int16_t odd = SpawnEffect(34, 0, 0, 100, 0, r.speed);
    ASSERT_EQ(even % 2, 0);
    ASSERT_EQ(odd % 2, 1);
    UpdateEffects();
    EXPECT_EQ(Effects[even].animFrame, r.firstCell);
    EXPECT_EQ(Effects[even].margin, r.margin);
    EXPECT_DOUBLE_EQ(Effects[even].scale, r.scale);
    EXPECT_EQ(Effects[even].rotation, 104);
    EXPECT_EQ(Effects[odd].rotation, 96);
    for (int update = 2; update <= 31; ++update) UpdateEffects();
    EXPECT_EQ(Effects[even].state, 2);
    EXPECT_EQ(Effects[even].animFrame, r.lastCell);
    EXPECT_EQ(Effects[even].rotation, WrapAngle(100 + 4 * 31));
    EXPECT_EQ(Effects[odd].rotation, WrapAngle(100 - 4 * 31));
    UpdateEffects();
    EXPECT_EQ(Effects[even].state, 0);
    EXPECT_EQ(Effects[odd].state, 0);
  }
}

}  // namespace
