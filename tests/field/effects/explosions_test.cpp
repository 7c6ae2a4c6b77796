// The explosion presets: how many numbers each draws from the game's generator, and what they
// spawn from them in which order.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "tests/field/effects/effect_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

class ExplosionsTest : public testing::Test {
 protected:
  FieldFixture field;
};

int LiveEffects() {
  int n = 0;
  for (const Effect& e : Effects) n += e.state != 0 ? 1 : 0;
  return n;
}

TEST_F(ExplosionsTest, EachPresetDrawsItsCountAndSpawnsItsPieces) {
  struct Row {
    std::string name;
    std::function<void()> spawn;
    int draws, effects;
  } rows[] = {
      {"tiny", [] { SpawnTinyExplosion(0, 0); }, 21, 6},
      {"large", [] { SpawnLargeExplosion(0, 0, 0, -1); }, 40, 11},
      {"large with debris", [] { SpawnLargeExplosion(0, 0, 1, 5); }, 100, 21},
      {"boss", [] { SpawnBossExplosion(0, 0, 0); }, 45, 11},
      {"boss with debris", [] { SpawnBossExplosion(0, 0, 1); }, 105, 21},
      {"medium", [] { SpawnMediumExplosion(0, 0, 0, -1); }, 37, 10},
      {"medium with debris", [] { SpawnMediumExplosion(0, 0, 1, -1); }, 85, 18},
      {"spark burst", [] { SpawnSparkBurst(0, 0, 0, -1); }, 44, 11},
      {"spark burst with debris", [] { SpawnSparkBurst(0, 0, 1, -1); }, 92, 19},
      {"small", [] { SpawnSmallExplosion(0, 0, 0); }, 21, 6},
      {"small with debris", [] { SpawnSmallExplosion(0, 0, 1); }, 45, 10},
      {"large box", [] { SpawnLargeBlastInBox(0, 0, 30, 20); }, 3, 1},
      {"medium box", [] { SpawnMediumBlastInBox(0, 0, 30, 20); }, 3, 1},
      {"small box", [] { SpawnSmallBlastInBox(0, 0, 30, 20); }, 3, 1},
      {"bak10", [] { SpawnBak10Explosion(0, 0); }, 0, 1},
      {"bak11", [] { SpawnBak11Explosion(0, 0); }, 0, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ClearAllObjects();
    SeedLcgRandom(2024);
    r.spawn();
    EXPECT_EQ(DrawsBetween(2024, LcgRandomState), r.draws);
    EXPECT_EQ(LiveEffects(), r.effects);
  }
}

struct Spawned {
  int type;
  double x, y;
  int rotation, motionAngle;
  double speed;
  int fading;
  bool operator==(const Spawned&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Spawned& s) {
  return os << "type " << s.type << (s.fading ? " fading" : "") << " at (" << s.x << ", " << s.y
            << ") rot " << s.rotation << " angle " << s.motionAngle << " speed " << s.speed;
}

std::vector<Spawned> SpawnedEffects() {
  std::vector<Spawned> out;
  for (const Effect& e : Effects) {
    if (e.state == 0) continue;
    out.push_back({e.type, e.x, e.y, e.rotation, e.motionAngle, e.speed, e.fading});
  }
  return out;
}

TEST_F(ExplosionsTest, TheMediumExplosionSpawnsRingsCoreAndDebrisInItsDrawOrder) {
  const double x = 412.5, y = 133.25;
  SeedLcgRandom(77);
  SpawnMediumExplosion(x, y, 1, -1);

  ReferenceLcg R{77};
  std::vector<Spawned> expected;
  // Outer ring: six fading type-2 sparks, r, a, s, rot each.
  for (int i = 0; i < 6; ++i) {
    const int r = R.Next() % 12;
    const int a = R.Next() % 1024;
    const double s = (R.Next() % 24 + 48) / 10.0;
    const int rot = R.Next() % 1024;
    expected.push_back({2, x + CosineTable[a] * r, y + SineTable[a] * r, rot, a, s, 1});
  }
  // Inner ring: three fading type-1 sparks at half the radius (whole pixels) and half speed.
  for (int i = 0; i < 3; ++i) {
    const int r = R.Next() % 12 / 2;
    const int a = R.Next() % 1024;
    const double s = (R.Next() % 24 + 48) / 20.0;
    const int rot = R.Next() % 1024;
    expected.push_back({1, x + CosineTable[a] * r, y + SineTable[a] * r, rot, a, s, 1});
  }
  // The core at a random rotation, drawn after the rings.
  expected.push_back({1, x, y, R.Next() % 1024, 0, 0, 0});
  // Eight pieces of debris: s, a, rot, dy, dx, t.
  for (int i = 0; i < 8; ++i) {
    const double s = (R.Next() % 24 + 48) / 12.0;
    const int a = R.Next() % 1024;
    const int rot = R.Next() % 1024;
    const int dy = R.Next() % 41 - 20;
    const int dx = R.Next() % 81 - 40;
    const int t = 5 + R.Next() % 3;
    expected.push_back({t, x + dx, y + dy, rot, a, s, 1});
  }
  EXPECT_EQ(SpawnedEffects(), expected);
  EXPECT_EQ(LcgRandomState, R.state);
}

TEST_F(ExplosionsTest, TheTinyExplosionsRingsStandTenPixelsOutLessADraw) {
  SeedLcgRandom(5);
  SpawnTinyExplosion(0, 0);
  ReferenceLcg R{5};
  const std::vector<Spawned> spawned = SpawnedEffects();
  ASSERT_EQ(spawned.size(), 6u);
  for (int i = 0; i < 5; ++i) {
    int r = 10 - R.Next() % 3;
    if (i >= 3) r /= 2;
    const int a = R.Next() % 1024;
    const double s = (R.Next() % 16 + 32) / (i >= 3 ? 40.0 : 20.0);
    const int rot = R.Next() % 1024;
    const Spawned want{3, CosineTable[a] * r, SineTable[a] * r, rot, a, s, 1};
    EXPECT_EQ(spawned[i], want) << i;
  }
  EXPECT_EQ(spawned[5], (Spawned{3, 0, 0, R.Next() % 1024, 0, 0, 0}));
}

TEST_F(ExplosionsTest, TheBossExplosionIsTheLargeOneWithFiveMoreDrawsAfterIt) {
  SeedLcgRandom(31);
  SpawnLargeExplosion(200, 100, 1, -1);
  const std::vector<Spawned> large = SpawnedEffects();
  const uint32_t afterLarge = LcgRandomState;
  ClearAllObjects();
  SeedLcgRandom(31);
  SpawnBossExplosion(200, 100, 1);
  EXPECT_EQ(SpawnedEffects(), large);
  EXPECT_EQ(DrawsBetween(afterLarge, LcgRandomState), 5);
  // Its core is a large blast, set up upright.
  EXPECT_EQ(large[10], (Spawned{0, 200, 100, 0, 0, 0, 0}));
}

TEST_F(ExplosionsTest, ABoxBlastLandsInsideItsBoxAndTakesSizesBelowOneAsOne) {
  struct Row {
    int16_t w, h;
  } rows[] = {{40, 20}, {1, 1}, {0, 0}, {-5, 7}, {9, -1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.w << " x " << r.h);
    ClearAllObjects();
    SeedLcgRandom(11);
    SpawnMediumBlastInBox(100, 50, r.w, r.h);
    ReferenceLcg R{11};
    const int w = r.w < 1 ? 1 : r.w;
    const int h = r.h < 1 ? 1 : r.h;
    const int rot = R.Next() % 1024;
    const int dy = R.Next() % h;
    const int dx = R.Next() % w;
    const std::vector<Spawned> spawned = SpawnedEffects();
    ASSERT_EQ(spawned.size(), 1u);
    EXPECT_EQ(spawned[0], (Spawned{1, 100.0 + dx - w / 2, 50.0 + dy - h / 2, rot, 0, 0, 0}));
    EXPECT_EQ(LcgRandomState, R.state);
  }
}

}  // namespace
