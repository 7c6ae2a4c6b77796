// The screen shake's start and clearing, its offsets kept out of the run's digest, and the
// random spread drawn from the runtime's generator without touching the play field.
#include <gtest/gtest.h>

#include "runtime/platform/core/random.h"
#include "stg_src/field/play_field.h"

namespace {

uint64_t FieldDigest(DigestScope scope) {
  StateDigest d;
  DigestPlayFieldState(d, scope);
  return d.value;
}

TEST(ScreenShake, StartKeepsTheAmplitudeAndClearingEmptiesAllSixWords) {
  ResetPlayFieldState();
  ScreenShake = {0, 7, 3, 6, -4, 5};
  StartScreenShake(64);
  EXPECT_EQ(ScreenShake.active, 1);
  EXPECT_EQ(ScreenShake.frame, 0);
  EXPECT_EQ(ScreenShake.duration, 64);
  EXPECT_EQ(ScreenShake.amplitude, 6);
  EXPECT_EQ(ScreenShake.offsetX, -4);
  EXPECT_EQ(ScreenShake.offsetY, 5);
  StartScreenShake(-1);
  EXPECT_EQ(ScreenShake.duration, -1);

  ClearAllObjects();
  for (int32_t word : {ScreenShake.active, ScreenShake.frame, ScreenShake.duration,
                       ScreenShake.amplitude, ScreenShake.offsetX, ScreenShake.offsetY}) {
    EXPECT_EQ(word, 0);
  }
}

TEST(ScreenShake, OnlyTheOffsetsStayOutOfTheRunsDigest) {
  ResetPlayFieldState();
  const uint64_t run = FieldDigest(DigestScope::Run), all = FieldDigest(DigestScope::All);
  ScreenShake.offsetX = 3;
  ScreenShake.offsetY = -2;
  EXPECT_EQ(FieldDigest(DigestScope::Run), run);
  EXPECT_NE(FieldDigest(DigestScope::All), all);
  for (int32_t ScreenShakeRecord::*word :
       {&ScreenShakeRecord::active, &ScreenShakeRecord::frame, &ScreenShakeRecord::duration,
        &ScreenShakeRecord::amplitude}) {
    ResetPlayFieldState();
    ScreenShake.*word = 1;
    EXPECT_NE(FieldDigest(DigestScope::Run), run);
  }
}

TEST(ScreenShake, RandomSpreadTakesOneRuntimeDrawAndLeavesTheFieldAlone) {
  ResetPlayFieldState();
  SeedRandom(2024);
  int draws[3];
  for (int& r : draws) r = GetRandomRange(10000);

  SeedRandom(2024);
  const uint64_t before = FieldDigest(DigestScope::All);
  EXPECT_EQ(RandomSpread(0), 0.0);
  EXPECT_EQ(FieldDigest(DigestScope::All), before);
  // The spread maps 0..10000 onto -x..x.
  EXPECT_DOUBLE_EQ(RandomSpread(8), draws[1] * 16.0 / 10000 - 8);
  EXPECT_EQ(GetRandomRange(10000), draws[2]);

  SeedRandom(7);
  for (int i = 0; i < 2000; ++i) {
    const double v = RandomSpread(6);
    ASSERT_GE(v, -6);
    ASSERT_LE(v, 6);
  }
}

}  // namespace
