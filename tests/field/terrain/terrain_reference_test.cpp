// The terrain geometry against the slow long-double references over many random cases with
// fixed seeds: the swept edge test, the terrain hit, the surfaces a walker follows and the
// first ground or ceiling in a column agree wherever a case is not within a small epsilon of a
// decision; and an end of the motion within r of an edge's interior is always a hit.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/terrain/terrain.h"
#include "tests/field/terrain/terrain_reference.h"
#include "tests/game_support/field_fixture.h"

namespace {

class Random {
 public:
  explicit Random(uint32_t seed) : engine_(seed) {}
  double Real(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine_);
  }
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(engine_); }
  bool Chance(double p) { return Real(0, 1) < p; }

 private:
  std::mt19937 engine_;
};

int16_t FoldedAngle(long double ax, long double ay, long double bx, long double by) {
  const int a = AimAngle(static_cast<double>(ax), static_cast<double>(ay), static_cast<double>(bx),
                         static_cast<double>(by));
  if (a > 256 && a < 768) return static_cast<int16_t>(WrapAngle(512 - a));
  return static_cast<int16_t>(a == 768 ? 256 : a);
}

// Tallies of a random comparison, so that a run that decided too little fails.
struct Tally {
  int decided = 0, undecided = 0, positive = 0;
  void Expect(int cases, double positiveShare) const {
    EXPECT_EQ(decided + undecided, cases);
    EXPECT_LT(undecided, cases / 50) << "too many cases near a decision";
    EXPECT_GT(positive, decided * positiveShare) << "too few positive cases";
    EXPECT_GT(decided - positive, decided * positiveShare) << "too few negative cases";
  }
};

struct Motion {
  double ax, ay, bx, by, oldX, oldY, newX, newY, r;
};

// An edge, and a motion that starts near it; some edges and motions run exactly along an axis
// and some lie on whole pixels.
Motion RandomMotion(Random& rnd) {
  Motion m;
  const bool whole = rnd.Chance(0.1);
  auto coordinate = [&](double lo, double hi) {
    const double v = rnd.Real(lo, hi);
    return whole ? std::round(v) : v;
  };
  m.ax = coordinate(0, 400);
  m.ay = coordinate(0, 400);
  const int kind = rnd.Int(0, 9);
  m.bx = kind == 0 ? m.ax : m.ax + coordinate(-80, 80);
  m.by = kind == 1 ? m.ay : m.ay + coordinate(-80, 80);
  const double t = rnd.Real(-0.5, 1.5);
  m.oldX = coordinate(-30, 30) + m.ax + t * (m.bx - m.ax);
  m.oldY = coordinate(-30, 30) + m.ay + t * (m.by - m.ay);
  const int move = rnd.Int(0, 19);
  m.newX = move < 3 ? m.oldX : m.oldX + coordinate(-40, 40);
  m.newY = move >= 3 && move < 7 ? m.oldY : m.oldY + coordinate(-40, 40);
  m.r = whole ? rnd.Int(1, 20) : rnd.Real(0.5, 25);
  return m;
}

TEST(TerrainReference, SegmentHitsCircleAgreesWithTheSlowReference) {
  Random rnd(20240611);
  constexpr int kCases = 200000;
  Tally tally;
  for (int i = 0; i < kCases; ++i) {
    const Motion m = RandomMotion(rnd);
    const RefDecision ref =
        RefSegmentHitsCircle(m.ax, m.ay, m.bx, m.by, m.oldX, m.oldY, m.newX, m.newY, m.r);
    if (ref.undecided) {
      ++tally.undecided;
      continue;
    }
    ++tally.decided;
    tally.positive += ref.value;
    ASSERT_EQ(SegmentHitsCircle(m.ax, m.ay, m.bx, m.by, m.oldX, m.oldY, m.newX, m.newY, m.r),
              ref.value)
        << "case " << i << std::hexfloat << ": edge " << m.ax << ", " << m.ay << " - " << m.bx
        << ", " << m.by << ", motion " << m.oldX << ", " << m.oldY << " -> " << m.newX << ", "
        << m.newY << ", r " << m.r;
  }
  tally.Expect(kCases, 0.2);
}

TEST(TerrainReference, AnEndWithinRadiusOfAnEdgesInteriorIsAHit) {
  Random rnd(77031);
  int tested = 0;
  for (int i = 0; i < 200000; ++i) {
    const Motion m = RandomMotion(rnd);
    // The filter for motion along an axis may drop such hits on purpose.
    if (m.newX == m.oldX || m.newY == m.oldY) continue;
    const long double ex = m.bx - m.ax, ey = m.by - m.ay, l2 = ex * ex + ey * ey;
    if (l2 == 0) continue;
    bool within = false;
    for (const auto& [px, py] : {std::pair{m.oldX, m.oldY}, std::pair{m.newX, m.newY}}) {
      const long double t = ((px - m.ax) * ex + (py - m.ay) * ey) / l2;
      const long double d = std::fabs(ex * (py - m.ay) - ey * (px - m.ax)) / std::sqrt(l2);
      within = within || (t > 1e-9 && t < 1 - 1e-9 && d < m.r - 1e-6);
    }
    if (!within) continue;
    ++tested;
    ASSERT_TRUE(SegmentHitsCircle(m.ax, m.ay, m.bx, m.by, m.oldX, m.oldY, m.newX, m.newY, m.r))
        << "case " << i;
  }
  EXPECT_GT(tested, 20000);
}

// Every tile type on one map, most with empty cells around them, some beside each other, with
// markers between; walkers and shots are thrown at them.
class TerrainReferenceMap : public testing::Test {
 protected:
  void SetUp() override {
    std::vector<RefCell> cells;
    int i = 0;
    for (const RefTileShape& s : RefTileShapes()) {
      cells.push_back({1 + 2 * (i % 14), 1 + 2 * (i / 14), s.type});
      ++i;
    }
    for (int c = 0; c < 30; ++c) cells.push_back({c, 10, c % 7 == 3 ? 48 + c % 6 : 1 + c % 15});
    for (int c = 0; c < 30; c += 4) cells.push_back({c, 11, 18 + c % 14});
    map = std::make_unique<RefTerrainMap>(kWidth, kHeight, cells);
  }

  static constexpr int kWidth = 30, kHeight = 13;
  FieldFixture field;
  std::unique_ptr<RefTerrainMap> map;
};

TEST_F(TerrainReferenceMap, TestTerrainHitAgreesWithTheSlowReference) {
  Random rnd(5150);
  constexpr int kCases = 100000;
  Tally tally;
  for (int i = 0; i < kCases; ++i) {
    const double oldX = rnd.Real(-50, kWidth * 40 + 10), oldY = rnd.Real(-50, kHeight * 40 + 10);
    const int move = rnd.Int(0, 9);
    const double newX = move == 0 ? oldX : oldX + rnd.Real(-30, 30);
    const double newY = move == 1 ? oldY : oldY + rnd.Real(-30, 30);
    const int radius = rnd.Int(1, 16);
    const RefTerrainHit ref = RefTestTerrainHit(*map, newX, newY, oldX, oldY, radius);
    if (ref.undecided) {
      ++tally.undecided;
      continue;
    }
    ++tally.decided;
    tally.positive += ref.edge >= 0;
    const int16_t expected = ref.edge < 0 ? -1 : FoldedAngle(ref.ax, ref.ay, ref.bx, ref.by);
    ASSERT_EQ(TestTerrainHit(newX, newY, oldX, oldY, static_cast<int16_t>(radius)), expected)
        << "case " << i << std::hexfloat << ": " << oldX << ", " << oldY << " -> " << newX << ", "
        << newY << " radius " << radius;
  }
  tally.Expect(kCases, 0.05);
}

TEST_F(TerrainReferenceMap, FollowTerrainAgreesWithTheSlowSurfaceHeights) {
  Random rnd(424242);
  constexpr int kCases = 100000;
  Tally tally;
  for (int i = 0; i < kCases; ++i) {
    const double x = rnd.Real(-20, kWidth * 40 + 20), y = rnd.Real(-20, kHeight * 40 + 20);
    const double oldX = rnd.Chance(0.2) ? x : x - rnd.Real(-6, 6);
    const double oldY = rnd.Chance(0.1) ? y : y - rnd.Real(-12, 12);
    const int16_t mode = static_cast<int16_t>(rnd.Chance(0.5) ? 0 : rnd.Int(1, 40));
    const double foot = rnd.Real(0, 24), head = rnd.Real(0, 24);
    const RefFollow ref = RefFollowTerrain(*map, x, y, mode, foot, head, oldX, oldY);
    if (ref.undecided) {
      ++tally.undecided;
      continue;
    }
    ++tally.decided;
    tally.positive += ref.landed;
    double fx = x, fy = y, speed = 1.5, speedOut = 0;
    int16_t slope = -7;
    const int16_t result =
        FollowTerrain(&fx, &fy, mode, foot, head, oldX, oldY, &speed, &speedOut, &slope);
    auto where = [&] {
      return testing::Message() << "case " << i << std::hexfloat << ": " << x << ", " << y
                                << " from " << oldX << ", " << oldY << " mode " << mode << " foot "
                                << foot << " head " << head;
    };
    ASSERT_EQ(result, ref.result) << where();
    ASSERT_EQ(fx, ref.result >= 10 ? oldX : x) << where();
    ASSERT_NEAR(fy, static_cast<double>(ref.y), 1e-9) << where();
    ASSERT_EQ(speedOut, 1.5) << where();
    const int16_t expectedSlope =
        ref.landed ? FoldedAngle(ref.sx0, ref.sy0, ref.sx1, ref.sy1) : int16_t{-7};
    ASSERT_EQ(slope, expectedSlope) << where();
    ASSERT_EQ(speed, ref.landed && mode == 0 ? 1.5 * CosineTable[expectedSlope] : 1.5) << where();
  }
  tally.Expect(kCases, 0.05);
}

TEST_F(TerrainReferenceMap, DropAndRaiseAgreeWithTheSlowSurfaceHeights) {
  Random rnd(8086);
  int found = 0;
  for (int i = 0; i < 50000; ++i) {
    const double x = rnd.Real(-20, kWidth * 40 + 20), y = rnd.Real(-20, kHeight * 40 + 20);
    const double offset = rnd.Real(-10, 30);
    const bool down = rnd.Chance(0.5);
    const RefColumnSurface ref = RefPlaceInColumn(*map, x, y, offset, down);
    double placed = y;
    if (down) {
      DropOntoGround(x, &placed, offset);
    } else {
      RaiseToCeiling(x, &placed, offset);
    }
    found += placed != y && placed != (down ? y + offset : y - offset);
    ASSERT_NEAR(placed, static_cast<double>(ref.y), 1e-9)
        << "case " << i << std::hexfloat << ": " << x << ", " << y << " offset " << offset
        << (down ? " down" : " up");
  }
  EXPECT_GT(found, 20000);
}

}  // namespace
