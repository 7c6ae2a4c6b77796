// The pod ring on a small stage-4 map whose view stands still: pods fire in pairs only while the
// player is inside the ring and only above easy; the key pod's death bursts every other pod once.
#include <gtest/gtest.h>

#include <algorithm>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/screen_tests.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

namespace {

const char* const kStillMap = R"(size 60 15
layers 5
rect 2 0 0 60 3 1
rect 2 0 12 60 3 1
cell 2 5 7 16
)";

constexpr int kPodRingType = 14;  // pool 1
constexpr int kPodShot = 17;

struct RingRun {
  int shots = 0;
  int pods = 0;
  int bursts = 0;       // pods marked burst
  int burstSounds = 0;  // sound 30 requests
};

RingRun RunRing(int difficulty, bool playerInside, bool killKey) {
  FieldFixture field(difficulty);
  field.WriteStageMaps(4, PlainBackgroundDescription(), kStillMap);
  EXPECT_EQ(field.StartStage(4), 1);
  field.digestFrames = false;
  field.SetShipImmune(true);
  field.Run(81);
  const double cx = ScreenToWorldX(400), cy = ScreenToWorldY(240);
  const int16_t s = SpawnPool1Enemy(cx - 140, cy + 20, kPodRingType, 0, -1, 0);
  EXPECT_GE(s, 0);
  field.PinShip(playerInside ? cx - 40 : cx - 200, cy);
  RingRun r;
  EnemyObject& o = EnemyPool1[s];
  for (int i = 0; i < 400; ++i) {
    if (killKey && i == 200)
      field.DamageEnemy({1, s, kTestPartsB, static_cast<int16_t>(o.partCountB - 1)}, 100000);
    ClearEnemyShots();
    const FieldFrameReport f = field.Step();
    r.shots += CountEnemyShotsOfType(kPodShot);
    r.burstSounds += static_cast<int>(std::count(f.sounds.begin(), f.sounds.end(), 30));
  }
  r.pods = o.partCountB - 1;
  for (int i = 0; i < r.pods; ++i) r.bursts += o.partsB[i].work0;
  return r;
}

TEST(Stage4PodRing, FiresOnlyWithThePlayerInsideAndAboveEasy) {
  EXPECT_GT(RunRing(1, true, false).shots, 0);
  EXPECT_EQ(RunRing(1, false, false).shots, 0);
  EXPECT_EQ(RunRing(0, true, false).shots, 0);
  EXPECT_EQ(RunRing(2, true, false).pods, 13);
  EXPECT_EQ(RunRing(1, true, false).pods, 11);
}

TEST(Stage4PodRing, TheKeyPodsDeathBurstsEveryOtherPodOnce) {
  const RingRun r = RunRing(1, false, true);
  EXPECT_EQ(r.bursts, 11);
  EXPECT_EQ(r.burstSounds, 11);
}

}  // namespace
