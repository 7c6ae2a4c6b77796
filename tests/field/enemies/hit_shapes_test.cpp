// Hit circles and boxes: the setters, the world centres with their mirroring, circle overlap,
// the swept beam test (its samples and, over random cases, its distance guarantees), the point
// in a box against its inclusive inequalities, the search through solid parts with its skip
// index and array bounds, and walkers run along solid box parts.
#include <cmath>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/play_field.h"
#include "tests/field/terrain/terrain_reference.h"

namespace {

class HitShapesTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetPlayFieldState();
    BuildTrigTables();
  }
  void TearDown() override { ResetPlayFieldState(); }

  // A live solid box part of w x h at (x, y) in a live solid EnemyPool1 object.
  static EnemyPart& SolidPart(int slot, bool front, int j, double x, double y, int16_t w,
                              int16_t h) {
    EnemyObject& o = EnemyPool1[slot];
    o.state = 2;
    o.solid = 1;
    EnemyPart* parts = front ? o.partsB : o.partsA;
    int16_t& count = front ? o.partCountB : o.partCountA;
    count = std::max<int16_t>(count, static_cast<int16_t>(j + 1));
    parts[j].state = 2;
    parts[j].x = x;
    parts[j].y = y;
    SetSolidPartBox(parts, j, w, h);
    return parts[j];
  }
};

TEST_F(HitShapesTest, SettersWriteTheirEntriesAndTheBoxesKeepTheRest) {
  EnemyObject& o = EnemyPool0[3];
  SetEnemyHitCircle(EnemyPool0, 3, 5, 12, -3, 4);
  EXPECT_EQ(o.hitCircles.size[5], 12);
  EXPECT_EQ(o.hitCircles.dx[5], -3);
  EXPECT_EQ(o.hitCircles.dy[5], 4);
  // Entries outside 0..5 would land in the neighbouring arrays.
  SetEnemyHitCircle(EnemyPool0, 3, 6, 99, 99, 99);
  SetEnemyHitCircle(EnemyPool0, 3, -1, 99, 99, 99);
  EXPECT_EQ(o.hitCircles.dx[0], 0);
  EXPECT_EQ(o.hitCircles.dy[0], 0);
  EXPECT_EQ(o.hitCircles.dy[5], 4);
  ClearEnemyHitCircles(EnemyPool0, 3);
  EXPECT_EQ(o.hitCircles.size[5], 0);
  EXPECT_EQ(o.hitCircles.dy[5], 0);

  EnemyPart* parts = EnemyPool1[0].partsB;
  SetPartHitCircle(parts, 2, 0, 7, 1, 2);
  SetPartHitCircle(parts, 2, 3, 8, 9, 10);
  SetSolidPartBox(parts, 2, 10, 5);
  const HitCircles& h = parts[2].hitCircles;
  EXPECT_EQ(h.dx[0], -10);
  EXPECT_EQ(h.dx[1], 10);
  EXPECT_EQ(h.dy[0], -5);
  EXPECT_EQ(h.dy[1], 5);
  EXPECT_EQ(h.size[0], 7);
  EXPECT_EQ(h.size[3], 8);
  EXPECT_EQ(h.dy[3], 10);
  EXPECT_EQ(parts[2].hitMode, kSolidBoxHitMode);
  EXPECT_EQ(SolidPartTimer, 16);

  SolidPartTimer = 3;
  SetPartBox(parts, 2, 4, 6);
  EXPECT_EQ(parts[2].hitMode, kBoxHitMode);
  EXPECT_EQ(h.dx[0], -4);
  EXPECT_EQ(h.dy[1], 6);
  EXPECT_EQ(SolidPartTimer, 3);
  ClearPartHitCircles(parts, 2);
  EXPECT_EQ(h.size[3], 0);
  EXPECT_EQ(h.dx[0], 0);

  MarkSolidEnemyPresent();
  MarkSolidPartPresent();
  EXPECT_EQ(SolidEnemyTimer, 16);
  EXPECT_EQ(SolidPartTimer, 16);
}

TEST_F(HitShapesTest, FacingMirrorsXOnObjectsAndYOnParts) {
  struct Case {
    int16_t sign, angle;
    double objectX, objectY, partX, partY;
  } cases[] = {
      {1, 0, 110, 105, 110, 105}, {-1, 0, 90, 105, 110, 95},   {0, 0, 100, 105, 110, 100},
      {1, 256, 95, 110, 95, 110}, {-1, 256, 95, 90, 105, 110}, {1, 512, 90, 95, 90, 95},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "sign " << c.sign << " angle " << c.angle);
    EXPECT_NEAR(CircleCentreX(c.sign, 100, 10, 5, c.angle), c.objectX, 1e-12);
    EXPECT_NEAR(CircleCentreY(c.sign, 100, 10, 5, c.angle), c.objectY, 1e-12);
    EXPECT_NEAR(PartCircleCentreX(c.sign, 100, 10, 5, c.angle), c.partX, 1e-12);
    EXPECT_NEAR(PartCircleCentreY(c.sign, 100, 10, 5, c.angle), c.partY, 1e-12);
  }
}

TEST(HitShapes, TouchingCirclesDoNotOverlap) {
  EXPECT_FALSE(CirclesOverlap(0, 0, 30, 40, 20, 30));
  EXPECT_TRUE(CirclesOverlap(0, 0, 30, 39.999, 20, 30));
  EXPECT_FALSE(CirclesOverlap(5, 5, 5, 5, 0, 0));
  EXPECT_TRUE(CirclesOverlap(5, 5, 5, 5, 0, 0.001));
}

TEST(HitShapes, TheBeamSamplesEveryReachBehindThePointThenThePoint) {
  // A circle of 4 that moved 30 to (100, 100) along +x, against circles of 6: R = 10, samples
  // at x 70, 80 and 90, then 100.
  struct Case {
    double bx, by, length;
    bool hit;
  } cases[] = {
      {70, 109.9, 30, true},   // the far sample
      {64, 100, 30, true},     // behind it, within R
      {58, 100, 30, false},    // no sample further back
      {75, 108.8, 30, false},  // between two samples: within R of the path, but not of a sample
      {100, 109.9, 30, true},  // the point
      {75, 108.8, 31, true},   // 31: samples at 69, 79, 89, 99
      {85, 108.8, 10, false},  // length R: the point alone
      {100, 109.9, 10, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BeamHitsCircle(100, 100, c.bx, c.by, 4, 6, c.length, 0), c.hit)
        << c.bx << ", " << c.by << " length " << c.length;
  }
  // A radius of 0 or less never hits, even on top.
  EXPECT_FALSE(BeamHitsCircle(5, 5, 5, 5, 0, 6, 30, 0));
  EXPECT_FALSE(BeamHitsCircle(5, 5, 5, 5, 4, -1, 30, 0));
  // A length of no sane size tests the point alone (and ends).
  for (double length :
       {std::numeric_limits<double>::infinity(), 1e300, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_TRUE(BeamHitsCircle(100, 100, 105, 100, 4, 6, length, 1)) << length;
    EXPECT_FALSE(BeamHitsCircle(100, 100, 80, 100, 4, 6, length, 1)) << length;
  }
}

TEST(HitShapes, TheBeamKeepsItsDistanceGuarantees) {
  std::mt19937 engine(9001);
  auto real = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine);
  };
  int near = 0, far = 0;
  for (int i = 0; i < 100000; ++i) {
    const double ax = real(0, 640), ay = real(0, 400), d = real(-8, 8);
    const double r1 = real(0.5, 12), r2 = real(0.5, 40), length = real(0, 300);
    const long double reach = static_cast<long double>(r1) + r2;
    // Around the swept path: along it from behind its far end to past the point, and across it
    // to twice the reach.
    const double along = real(-0.3, 1.3) * length,
                 across = real(-2, 2) * static_cast<double>(reach);
    const double bx = ax - along * std::cos(d) - across * std::sin(d);
    const double by = ay - along * std::sin(d) + across * std::cos(d);
    const long double farX = ax - length * std::cos(static_cast<long double>(d));
    const long double farY = ay - length * std::sin(static_cast<long double>(d));
    const long double distance = RefDistanceToSegment(farX, farY, ax, ay, bx, by);
    const bool hit = BeamHitsCircle(ax, ay, bx, by, r1, r2, length, d);
    if (distance > reach + 1e-6) {
      ++far;
      ASSERT_FALSE(hit) << "case " << i;
    } else if (length > reach && distance < std::sqrt(3.0L) / 2 * reach - 1e-6) {
      ++near;
      ASSERT_TRUE(hit) << "case " << i;
    }
  }
  EXPECT_GT(near, 5000);
  EXPECT_GT(far, 5000);
}

TEST_F(HitShapesTest, BoxesHoldTheirEdgesWidenedByTheMargin) {
  EnemyPart* parts = EnemyPool1[0].partsA;
  parts[0].state = 2;
  parts[0].x = 100;
  parts[0].y = 100;
  SetSolidPartBox(parts, 0, 10, 5);
  struct Case {
    double x, y;
    bool inside;
  } cases[] = {{111, 100, true}, {111.5, 100, false}, {89, 100, true}, {88.5, 100, false},
               {100, 106, true}, {100, 106.5, false}, {100, 94, true}, {111, 106, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(IsPointInSolidBoxPart(parts, 0, c.x, c.y, 1), c.inside) << c.x << ", " << c.y;
    EXPECT_EQ(IsPointInPartBox(parts, 0, c.x, c.y, 1), c.inside ? 4 : 0) << c.x << ", " << c.y;
  }
  SetPartBox(parts, 0, 10, 5);
  EXPECT_FALSE(IsPointInSolidBoxPart(parts, 0, 100, 100, 0));
  EXPECT_EQ(IsPointInPartBox(parts, 0, 100, 100, 0), 5);
  parts[0].hitMode = 1;
  EXPECT_EQ(IsPointInPartBox(parts, 0, 100, 100, 0), 0);
  parts[0].hitMode = 4;
  for (int32_t state : {0, 1, 3}) {
    parts[0].state = state;
    EXPECT_FALSE(IsPointInSolidBoxPart(parts, 0, 100, 100, 0)) << state;
    EXPECT_EQ(IsPointInPartBox(parts, 0, 100, 100, 0), 0) << state;
  }

  // Random boxes and points on a quarter-pixel grid, where every sum is exact.
  std::mt19937 engine(31337);
  auto quarter = [&](int lo, int hi) {
    return std::uniform_int_distribution<int>(lo * 4, hi * 4)(engine) / 4.0;
  };
  for (int i = 0; i < 20000; ++i) {
    EnemyPart& p = parts[1];
    p.state = 2;
    p.x = quarter(0, 100);
    p.y = quarter(0, 100);
    const int16_t w = static_cast<int16_t>(quarter(0, 20)),
                  h = static_cast<int16_t>(quarter(0, 20));
    if (i % 2) {
      SetSolidPartBox(parts, 1, w, h);
    } else {
      SetPartBox(parts, 1, w, h);
    }
    const double x = p.x + quarter(-24, 24), y = p.y + quarter(-24, 24);
    const int16_t margin = static_cast<int16_t>(quarter(-3, 3));
    const bool inside = p.x - w <= x + margin && p.x + w >= x - margin && p.y - h <= y + margin &&
                        p.y + h >= y - margin;
    ASSERT_EQ(IsPointInSolidBoxPart(parts, 1, x, y, margin), inside && i % 2) << i;
    ASSERT_EQ(IsPointInPartBox(parts, 1, x, y, margin), inside ? p.hitMode : 0) << i;
  }
}

TEST_F(HitShapesTest, SolidPartsAreSearchedInLiveSolidObjectsButTheSkippedOne) {
  SolidPart(5, false, 2, 300, 200, 10, 10);
  SolidPart(9, true, 0, 400, 200, 10, 10);
  EXPECT_TRUE(IsPointInSolidPart(305, 205, 0, -1));
  EXPECT_TRUE(IsPointInSolidPart(395, 195, 0, 5));
  EXPECT_FALSE(IsPointInSolidPart(305, 205, 0, 5));
  EXPECT_FALSE(IsPointInSolidPart(350, 200, 0, -1));
  EXPECT_TRUE(IsPointInSolidPart(311, 200, 1, 9));

  SolidPartTimer = 0;
  EXPECT_FALSE(IsPointInSolidPart(305, 205, 0, -1));
  SolidPartTimer = 1;
  EnemyPool1[5].solid = 0;
  EXPECT_FALSE(IsPointInSolidPart(305, 205, 0, -1));
  EnemyPool1[5].solid = 1;
  EnemyPool1[5].state = 3;
  EXPECT_FALSE(IsPointInSolidPart(305, 205, 0, -1));
  EnemyPool1[5].state = 2;
  // Parts past the count are not looked at.
  EnemyPool1[5].partCountA = 2;
  EXPECT_FALSE(IsPointInSolidPart(305, 205, 0, -1));
}

TEST_F(HitShapesTest, APartCountPastItsArrayStopsAtTheArraysEnd) {
  // Slot 25 of partsA would be slot 0 of partsB, which its own count of 0 leaves out.
  EnemyObject& o = EnemyPool1[7];
  SolidPart(7, true, 0, 300, 200, 10, 10);
  o.partCountB = 0;
  o.partCountA = 30;
  EXPECT_FALSE(IsPointInSolidPart(300, 200, 0, -1));
  o.partCountA = -5;
  o.partCountB = 1;
  EXPECT_TRUE(IsPointInSolidPart(300, 200, 0, -1));
  // The last object of the pool: a front count past 46 stays inside it.
  SolidPart(127, true, 45, 500, 200, 10, 10);
  EnemyPool1[127].partCountB = 500;
  EXPECT_TRUE(IsPointInSolidPart(500, 200, 0, -1));
  EXPECT_FALSE(IsPointInSolidPart(700, 200, 0, -1));
  double x = 700, y = 200, speed = 1, speedOut = 0;
  int16_t slope = 0;
  EXPECT_EQ(FollowSolidParts(&x, &y, 0, 8, 8, 700, 200, &speed, &speedOut, &slope), 0);
}

TEST_F(HitShapesTest, WalkersFollowTheTopsAndBottomsOfSolidParts) {
  // A box of 200 x 300, top 290, bottom 310, x 180..220; foot and head probes 8.
  SolidPart(4, false, 0, 200, 300, 20, 10);
  struct Case {
    const char* what;
    double x, y, oldY;
    int16_t mode, result;
    double y2;
  } cases[] = {
      {"standing, foot inside near the top", 200, 290, 290, 0, 1, 282},
      {"standing, foot just above the top", 200, 281, 281, 0, 1, 282},
      {"standing, foot 2 px above the top", 200, 280, 280, 0, 0, 280},
      {"standing, 19 px into it", 200, 301, 301, 0, 1, 282},
      {"standing, 20 px into it", 200, 302, 302, 0, 0, 302},
      {"past the box's side", 221, 290, 290, 0, 0, 290},
      {"at the box's side", 220, 290, 290, 0, 1, 282},
      {"landing from above", 200, 285, 280, 3, 1, 282},
      {"landing from 5 px below the line", 200, 290, 287, 3, 1, 282},
      {"falling from further below", 200, 290, 288, 3, 0, 290},
      {"rising to its bottom", 200, 316, 320, 3, 1, 318},
      {"standing while rising, 2 px under the bottom", 200, 316, 320, 0, 1, 318},
      {"rising from 6 px above the bottom line", 200, 310, 312, 3, 0, 310},
  };
  for (const Case& c : cases) {
    double x = c.x, y = c.y, speed = 1.5, speedOut = 77;
    int16_t slope = 99;
    EXPECT_EQ(FollowSolidParts(&x, &y, c.mode, 8, 8, -1, c.oldY, &speed, &speedOut, &slope),
              c.result)
        << c.what;
    EXPECT_EQ(y, c.y2) << c.what;
    EXPECT_EQ(x, c.x) << c.what;
    EXPECT_EQ(slope, c.result == 1 ? 0 : 99) << c.what;
    EXPECT_EQ(speed, 1.5) << c.what;
    EXPECT_EQ(speedOut, 77) << c.what;
  }
  // The first part in pool order is taken, even when a later one would land the walker.
  double x = 200, y = 290, speed = 1, speedOut = 0;
  int16_t slope = 0;
  EXPECT_EQ(FollowSolidParts(&x, &y, 3, 8, 8, 200, 285, &speed, &speedOut, &slope), 1);
  SolidPart(2, true, 3, 200, 290, 20, 10);
  y = 290;
  EXPECT_EQ(FollowSolidParts(&x, &y, 3, 8, 8, 200, 285, &speed, &speedOut, &slope), 0);
  SolidPartTimer = 0;
  y = 290;
  EXPECT_EQ(FollowSolidParts(&x, &y, 0, 8, 8, 200, 290, &speed, &speedOut, &slope), 0);
}

}  // namespace
