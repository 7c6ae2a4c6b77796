// The screen shake's frames, and effects and shake in the run's digest: clearing, replaying the
// same, and the runtime generator's seed reaching the offsets alone.
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/platform/core/arithmetic_helpers.h"
#include "runtime/platform/core/random.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/effects/effect_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

class ShakeTest : public testing::Test {
 protected:
  FieldFixture field;
};

std::vector<int> RuntimeDraws(uint32_t seed, int n) {
  SeedRandom(seed);
  std::vector<int> draws;
  for (int i = 0; i < n; ++i) draws.push_back(GetRandomRange(10000));
  return draws;
}

int Spread(int draw, int amplitude) {
  return DoubleToInt(draw * (2.0 * amplitude) / 10000 - amplitude);
}

TEST_F(ShakeTest, AShakeRampsToEightShakesForItsDurationAndEndsOnTheUpdateAfter) {
  const std::vector<int> draws = RuntimeDraws(404, 43);
  SeedRandom(404);
  const uint32_t lcg = LcgRandomState;
  StartScreenShake(20);
  for (int update = 1; update <= 20; ++update) {
    UpdateScreenShake();
    const int amplitude = update < 4 ? 2 * update : 8;
    EXPECT_EQ(ScreenShake.amplitude, amplitude);
    EXPECT_EQ(ScreenShake.active, 1);
    EXPECT_EQ(ScreenShake.offsetX, Spread(draws[2 * update - 2], amplitude)) << update;
    EXPECT_EQ(ScreenShake.offsetY, Spread(draws[2 * update - 1], amplitude)) << update;
    EXPECT_LE(std::abs(ScreenShake.offsetX), amplitude);
    EXPECT_LE(std::abs(ScreenShake.offsetY), amplitude);
  }
  // The 21st draws its pair and ends.
  UpdateScreenShake();
  EXPECT_EQ(ScreenShake.active, 0);
  EXPECT_EQ(ScreenShake.offsetX, 0);
  EXPECT_EQ(ScreenShake.offsetY, 0);
  EXPECT_EQ(GetRandomRange(10000), draws[42]);
  EXPECT_EQ(LcgRandomState, lcg);

  // Idle, the amplitude falls by 1 a frame and nothing is drawn.
  SeedRandom(404);
  for (int update = 1; update <= 10; ++update) {
    UpdateScreenShake();
    EXPECT_EQ(ScreenShake.amplitude, update < 8 ? 8 - update : 0);
    EXPECT_EQ(ScreenShake.offsetX + ScreenShake.offsetY, 0);
  }
  EXPECT_EQ(GetRandomRange(10000), draws[0]);
}

TEST_F(ShakeTest, ANewShakeStartsFromTheRemainingAmplitude) {
  StartScreenShake(2);
  for (int i = 0; i < 3; ++i) UpdateScreenShake();  // 2, 4, and 6 as it ends
  EXPECT_EQ(ScreenShake.active, 0);
  EXPECT_EQ(ScreenShake.amplitude, 6);
  UpdateScreenShake();
  UpdateScreenShake();
  EXPECT_EQ(ScreenShake.amplitude, 4);
  StartScreenShake(0);
  UpdateScreenShake();
  EXPECT_EQ(ScreenShake.amplitude, 6);
  // Duration 0 shakes for one update only.
  EXPECT_EQ(ScreenShake.active, 0);
}

// Stage 3 plays from its first frame. A large explosion with debris and a shake at frame 5.
std::vector<FieldFrameReport> RunWithExplosion(uint32_t runtimeSeed) {
  FieldFixture field;
  field.WriteStageMaps(3, PlainBackgroundDescription(),
                       FieldMapDescription(40, 12, 5, "cell 2 5 6 16\n"));
  EXPECT_EQ(field.StartStage(3), 1);
  SeedRandom(runtimeSeed);
  field.beforeFrame = [](int frame) {
    if (frame != 5) return;
    SpawnLargeExplosion(PlayerX + 100, PlayerY, 1, -1);
    StartScreenShake(30);
  };
  return field.Run(80);
}

TEST(EffectsInTheRunTest, EffectsAndTheShakeEnterTheDigestButTheRuntimeSeedReachesOnlyTheOffsets) {
  const std::vector<FieldFrameReport> a = RunWithExplosion(1);
  const std::vector<FieldFrameReport> b = RunWithExplosion(987654);
  ASSERT_EQ(a.size(), 80u);
  bool offsetsDiffer = false;
  for (size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(a[i].digest, b[i].digest);
    EXPECT_EQ(a[i].draws, b[i].draws);
    EXPECT_EQ(a[i].liveEffects, b[i].liveEffects);
    EXPECT_EQ(a[i].shakeAmplitude, b[i].shakeAmplitude);
    offsetsDiffer |= a[i].shakeX != b[i].shakeX || a[i].shakeY != b[i].shakeY;
  }
  EXPECT_TRUE(offsetsDiffer);
  // The explosion's 21 pieces; on their first update the core and the ten sparks draw their
  // first periods.
  EXPECT_EQ(a[5].liveEffects, 21);
  EXPECT_EQ(a[5].draws.size(), 11u);
  EXPECT_EQ(a[5].shakeAmplitude, 2);
  // 31 shaking updates (frames 5..35), then falling by 1 a frame.
  EXPECT_EQ(a[34].shakeAmplitude, 8);
  EXPECT_EQ(a[35].shakeX, 0);
  EXPECT_EQ(a[35].shakeY, 0);
  EXPECT_EQ(a[40].shakeAmplitude, 3);
  // Everything is gone 54 frames after the explosion at most.
  EXPECT_EQ(a[60].liveEffects, 0);
}

TEST(EffectsInTheRunTest, EveryMemberOfALiveEffectAndTheDriftEnterTheDigest) {
  FieldFixture field;
  const int16_t slot = SpawnFadingEffect(5, 10, 20, 30, 40, 5);
  const uint64_t live = DigestGameState(DigestScope::Run).value;
  Effect& e = Effects[slot];
  const Effect kept = e;
  for (auto change : std::vector<void (*)(Effect&)>{
           [](Effect& f) { f.frame += 1; },       [](Effect& f) { f.type = 6; },
           [](Effect& f) { f.animFrame += 1; },   [](Effect& f) { f.stopCounter = 1; },
           [](Effect& f) { f.firstPeriod = 3; },  [](Effect& f) { f.rotation += 1; },
           [](Effect& f) { f.motionAngle += 1; }, [](Effect& f) { f.x += 0.5; },
           [](Effect& f) { f.y += 0.5; },         [](Effect& f) { f.speed += 0.5; },
           [](Effect& f) { f.vx += 0.5; },        [](Effect& f) { f.vy += 0.5; },
           [](Effect& f) { f.growth = 0.5; },     [](Effect& f) { f.blendMode = 1; },
           [](Effect& f) { f.blendValue -= 1; },  [](Effect& f) { f.scale = 2; },
           [](Effect& f) { f.fadeStep = 0; },     [](Effect& f) { f.fading = 0; },
           [](Effect& f) { f.margin = 1; },       [](Effect& f) { f.state = 2; }}) {
    change(e);
    EXPECT_NE(DigestGameState(DigestScope::Run).value, live);
    e = kept;
  }
  EffectDriftX = -1;
  EXPECT_NE(DigestGameState(DigestScope::Run).value, live);
  EffectDriftX = 0;
  EXPECT_EQ(DigestGameState(DigestScope::Run).value, live);
}

TEST(EffectsInTheRunTest, TheStageStartAndTheRespawnEmptyThePoolAndStopTheShake) {
  FieldFixture field;
  field.WriteStageMaps(3, PlainBackgroundDescription(),
                       FieldMapDescription(40, 12, 5, "cell 2 5 6 16\n"));
  ASSERT_EQ(field.StartStage(3), 1);
  SpawnMediumExplosion(300, 200, 1, -1);
  StartScreenShake(50);
  field.Run(3);
  ASSERT_GT(field.Step().liveEffects, 0);
  ASSERT_EQ(field.StartStage(3), 1);
  FieldFrameReport report = field.Step();
  EXPECT_EQ(report.liveEffects, 0);
  EXPECT_EQ(report.shakeAmplitude, 0);

  SpawnMediumExplosion(300, 200, 1, -1);
  StartScreenShake(50);
  DeathTimer = 80;  // the respawn on the next frame's end
  report = field.Step();
  EXPECT_EQ(DeathTimer, 0);
  EXPECT_EQ(report.liveEffects, 0);
  EXPECT_EQ(ScreenShake.active, 0);
}

}  // namespace
