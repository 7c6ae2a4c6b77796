// Stage 1's far background in pool 3: the placers that go after one call, the object that frees
// itself at once, the blast glow's flash and waits on its parallax, the sky strips that tile
// 1280 px and wrap without ever leaving, and the dormant gunfire flash.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/screen_tests.h"
#include "tests/stages/stage1/stage1_bench.h"

namespace {

constexpr int16_t kBgObjectPlacer = 17;
constexpr int16_t kGlowPlacer = 18;
constexpr int16_t kStripPlacer = 19;
constexpr int32_t kGlow = 2;
constexpr int32_t kStrip = 3;
constexpr int32_t kFlash = 1;

void PassPool3() { UpdateEnemyPool(EnemyPool3, 3, kEnemyPool3Size); }

std::vector<int> LiveSlots(const EnemyObject* pool, int count, int32_t type) {
  std::vector<int> slots;
  for (int s = 0; s < count; ++s) {
    if (pool[s].state != 0 && pool[s].type == type) slots.push_back(s);
  }
  return slots;
}

int LiveCount(const EnemyObject* pool, int count) {
  int n = 0;
  for (int s = 0; s < count; ++s) n += pool[s].state != 0;
  return n;
}

// The camera moved right by dx with the scroll words the stage script keeps.
void ScrollBy(double dx) {
  CameraX += dx;
  ViewRight += dx;
  DrawOffsetX -= dx;
  ScrollDeltaX = dx;
  if (dx > 0) EffectDriftX = -dx;
}

TEST(Stage1Background, PlacersRunOnceAndTheDisabledObjectLeavesNothing) {
  Stage1Bench bench;
  SpawnPool0Enemy(100, 100, kBgObjectPlacer, 0, -1, 0);
  EnemyPool0[0].state = 2;  // whatever its state, it runs once
  bench.PassBoss();
  EXPECT_EQ(LiveCount(EnemyPool0, kEnemyPool0Size), 0);
  ASSERT_EQ(LiveCount(EnemyPool3, kEnemyPool3Size), 1);
  EXPECT_EQ(EnemyPool3[0].type, 0);
  EXPECT_EQ(EnemyPool3[0].x, 100);
  PassPool3();
  EXPECT_EQ(LiveCount(EnemyPool3, kEnemyPool3Size), 0);

  SpawnPool0Enemy(250, 40, kGlowPlacer, 0, -1, 0);
  bench.PassBoss();
  EXPECT_EQ(LiveCount(EnemyPool0, kEnemyPool0Size), 0);
  ASSERT_EQ(LiveSlots(EnemyPool3, kEnemyPool3Size, kGlow).size(), 1u);
  EXPECT_EQ(EnemyPool3[0].x, 250);
  EXPECT_EQ(EnemyPool3[0].y, 40);
}

// The glow: a first wait of draw mod 280, then brightness 0, 32, ..., 224, 255, down by 4 to 3,
// then 0 and a new wait of draw mod 80 + 200. On screen it drifts at a quarter of the scroll.
TEST(Stage1Background, TheGlowFlashesFadesAndWaitsOnItsParallax) {
  Stage1Bench bench;
  SpawnPool3Object(300, 50, kGlow, 0, -1);
  SeedLcgRandom(5);
  const int firstWait = LcgRandom() % 280;
  SeedLcgRandom(5);
  std::vector<int> blends;
  int waitedBefore = 0;
  for (int f = 0; f < 900; ++f) {
    PassPool3();
    const EnemyObject& g = EnemyPool3[0];
    ASSERT_EQ(g.state, 2);
    if (g.intWork1 > 0 && blends.empty()) ++waitedBefore;
    if (g.intWork1 == 0 || !blends.empty()) blends.push_back(g.blend);
    if (!blends.empty() && g.intWork1 > 0) break;  // the next wait has begun
  }
  // The set-up call counts the wait down once already.
  EXPECT_EQ(waitedBefore, std::max(firstWait - 1, 0));
  std::vector<int> expected;
  for (int b = 32; b <= 224; b += 32) expected.push_back(b);
  for (int b = 255; b >= 3; b -= 4) expected.push_back(b);
  expected.push_back(0);
  ASSERT_GE(blends.size(), expected.size());
  EXPECT_EQ(std::vector<int>(blends.begin(), blends.begin() + expected.size()), expected);
  const int nextWait = EnemyPool3[0].intWork1;
  EXPECT_GE(nextWait, 200);
  EXPECT_LE(nextWait, 279);

  // Three quarters of the camera's motion through the world: a quarter of it on screen.
  const double x = EnemyPool3[0].x;
  ScrollBy(100);
  PassPool3();
  EXPECT_DOUBLE_EQ(EnemyPool3[0].x, x + 75);
  EXPECT_EQ(EnemyPool3[0].despawnMarginX, 12800);
}

// Eight strips at screen y 265 from x 960 down to -160; scrolling forward at 2 px they slide 4 px
// a frame on screen, the one from -160 wraps to 960 when it reaches -320, and the eight keep
// tiling 1280 px without one leaving by the despawn margin.
TEST(Stage1Background, TheStripsTileAndWrapWithoutLeaving) {
  Stage1Bench bench;
  ScrollBy(0);
  SpawnPool0Enemy(0, 0, kStripPlacer, 0, -1, 0);
  bench.PassBoss();
  std::vector<int> strips = LiveSlots(EnemyPool3, kEnemyPool3Size, kStrip);
  ASSERT_EQ(strips.size(), 8u);
  const double xs[] = {960, 800, 640, 480, 320, 160, 0, -160};
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(WorldToScreenX(EnemyPool3[strips[k]].x), xs[k]);
    EXPECT_EQ(WorldToScreenY(EnemyPool3[strips[k]].y), 265);
  }
  PassPool3();  // set-up
  const int last = strips[7];
  int wrapFrame = -1;
  for (int f = 0; f < 700; ++f) {
    const double before = WorldToScreenX(EnemyPool3[last].x);
    ScrollBy(2);
    PassPool3();
    ASSERT_EQ(LiveSlots(EnemyPool3, kEnemyPool3Size, kStrip), strips) << f;
    const double after = WorldToScreenX(EnemyPool3[last].x);
    if (wrapFrame < 0 && after > before) {
      wrapFrame = f;
      EXPECT_EQ(before, -316);
      EXPECT_EQ(after, -320 + 1280);
    } else if (wrapFrame < 0) {
      ASSERT_EQ(after, before - 4) << f;
    }
    std::vector<double> screen;
    for (int s : strips) screen.push_back(WorldToScreenX(EnemyPool3[s].x));
    std::ranges::sort(screen);
    for (size_t k = 1; k < screen.size(); ++k) ASSERT_EQ(screen[k] - screen[k - 1], 160) << f;
    ASSERT_GT(screen.front(), -320);
  }
  EXPECT_EQ(wrapFrame, 39);
}

// The gunfire flash nothing on stage 1 spawns: it slows from 10..15 by 0.1 a frame, shows
// frames 1..7 as it slows, then up to 15 at rest, and goes.
TEST(Stage1Background, TheDormantFlashSlowsBurnsOutAndGoes) {
  Stage1Bench bench;
  SpawnPool3Object(100, 200, kFlash, 0, -1);
  std::vector<int> frames;
  int passes = 0;
  while (EnemyPool3[0].state != 0 && passes < 400) {
    PassPool3();
    ++passes;
    if (EnemyPool3[0].state != 0) frames.push_back(EnemyPool3[0].imageFrame);
  }
  ASSERT_EQ(EnemyPool3[0].state, 0);
  ASSERT_FALSE(frames.empty());
  EXPECT_TRUE(std::ranges::is_sorted(frames));
  EXPECT_EQ(frames.back(), 15);
  // Each slowing frame shows for half a pixel of speed (5 frames); at rest the frames step every
  // other frame from at least 8.
  for (int shown = 1; shown <= 7; ++shown) EXPECT_EQ(std::ranges::count(frames, shown), 5) << shown;
  EXPECT_LE(std::ranges::count(frames, 15), 2);
  EXPECT_GT(passes, 100);  // at least 10 / 0.1 frames of flight
}

}  // namespace
