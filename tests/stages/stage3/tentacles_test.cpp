// Stage 3's type-19 objects on a still bench: a tentacle shot anywhere pulls its segments in
// from the root outward, its rate climbs back one every second frame and it unrolls from the
// tip; no amount of fire destroys it. The invisible spout throws large fireballs on its beat
// whether on screen or not. An unknown variant is freed at once, with one logged refusal.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage3/stage3_bench.h"
#include "tests/support/log_capture.h"

namespace {

constexpr int16_t kType19 = 19;
constexpr int kSegments = 16;

TEST(Stage3Tentacles, AHitPullsTheSegmentsInFromTheRootAndTheyUnrollFromTheTip) {
  struct Row {
    int difficulty;
    int16_t variant;
    double pullStep;
  } rows[] = {{1, 1, 1.5}, {2, 2, 1.45}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.variant);
    Stage3Bench bench(r.difficulty);
    PlayerX = 100;
    PlayerY = r.variant == 1 ? 300 : 60;
    const int16_t slot = bench.SpawnPool0(kType19, 320, r.variant == 1 ? 40 : 360, r.variant);
    EnemyObject& o = EnemyPool0[slot];
    for (int f = 0; f < 20; ++f) bench.PassPool0();
    ASSERT_EQ(o.partCountA, kSegments);
    EXPECT_EQ(o.imageFrame, r.variant);
    EXPECT_EQ(o.intWork0, 16);
    EXPECT_EQ(o.intWork2, 15) << "fully out";
    EXPECT_EQ(o.partsA[15].imageFrame, 1) << "the tip";
    EXPECT_EQ(o.partsA[0].offsetY, r.variant == 1 ? 20 : -20);

    // Hits on a middle segment for 200 frames, harder than its life taken together; the
    // segments move only while the target is 0, so a short burst pulls in only the first few.
    std::vector<int> pulledIn, unrolled;
    int targetZeroAfter = -1;
    double firstStep = -1;
    for (int f = 0; f < 700; ++f) {
      if (f < 200) { ASSERT_TRUE(bench.field.DamageEnemy({0, slot, kTestPartsA, 8}, 20000)); }
      const std::vector<double> before = [&] {
        std::vector<double> v;
        for (int k = 0; k < kSegments; ++k) v.push_back(o.partsA[k].offsetX);
        return v;
      }();
      const int32_t rate = o.intWork1;
      bench.PassPool0();
      if (f >= 201 && rate < 16 && o.intWork1 != -16) {
        EXPECT_EQ(o.intWork1, rate + (o.frame % 2 == 0 ? 1 : 0)) << f;
      }
      if (targetZeroAfter < 0 && o.intWork0 == 0) targetZeroAfter = f;
      for (int k = 1; k < kSegments; ++k) {
        if (before[k] != 0 && o.partsA[k].offsetX == 0) pulledIn.push_back(k);
        if (before[k] != 16 && o.partsA[k].offsetX == 16) unrolled.push_back(k);
        if (firstStep < 0 && before[k] == 16 && o.partsA[k].offsetX < 16)
          firstStep = 16 - o.partsA[k].offsetX;
      }
      EXPECT_EQ(o.life, 99999);
      for (int k = 0; k < kSegments; ++k) ASSERT_EQ(o.partsA[k].state, 2) << k;
    }
    // The first hit sets the rate to -16: the target is 0 sixteen frames later.
    EXPECT_LE(targetZeroAfter, 1 + 16);
    EXPECT_DOUBLE_EQ(firstStep, r.pullStep);
    std::vector<int> rootOutward, tipInward;
    for (int k = 1; k < kSegments; ++k) rootOutward.push_back(k);
    for (int k = kSegments - 1; k >= 1; --k) tipInward.push_back(k);
    EXPECT_EQ(pulledIn, rootOutward);
    EXPECT_EQ(unrolled, tipInward);
    EXPECT_EQ(o.intWork0, 16);
    EXPECT_EQ(o.intWork2, 15);
  }
}

TEST(Stage3Tentacles, TheSpoutThrowsLargeFireballsOnItsBeatOnScreenOrNot) {
  for (double x : {320.0, 700.0}) {  // on screen, and right of it within its margin of 80
    SCOPED_TRACE(x);
    Stage3Bench bench;
    const int16_t slot = bench.SpawnPool0(kType19, x, 200, 0);
    EnemyObject& o = EnemyPool0[slot];
    std::vector<int> throws;
    for (int f = 0; f < 400; ++f) {
      bench.PassPool0();
      for (EnemyObject& b : EnemyPool1) {
        if (b.state == 0) continue;
        EXPECT_EQ(b.type, 10);
        EXPECT_EQ(b.x, x - 30);
        EXPECT_EQ(b.y, 180);
        b.state = 0;
        throws.push_back(o.frame);
      }
    }
    EXPECT_EQ(o.imageFrame, -1);
    ASSERT_GE(throws.size(), 3u);
    for (int frame : throws)
      EXPECT_EQ(frame % ComputeFireIntervalFlat(48, 0), ComputeFireInterval(20, 0));
  }
  // Beyond its margin the pool removes it.
  Stage3Bench bench;
  const int16_t slot = bench.SpawnPool0(kType19, 730, 200, 0);
  bench.PassPool0();
  bench.PassPool0();
  EXPECT_EQ(EnemyPool0[slot].state, 0);
}

TEST(Stage3Tentacles, AnUnknownVariantIsFreedAtOnceAndLoggedOnce) {
  Stage3Bench bench;
  LogCapture log;
  ForgetRefusedMapValues();
  for (int16_t variant : {int16_t{-1}, int16_t{3}, int16_t{62}}) {
    const int16_t slot = bench.SpawnPool0(kType19, 320, 200, variant);
    bench.PassPool0();
    EXPECT_EQ(EnemyPool0[slot].state, 0) << variant;
  }
  const std::string text = log.Contents();
  EXPECT_NE(text.find("stage 3 tentacle variant"), std::string::npos) << text;
  EXPECT_NE(text.find("-1"), std::string::npos) << text;
  EXPECT_EQ(text.find("62"), std::string::npos) << "one line a stage load: " << text;
}

}  // namespace
