// Triangle coverage and texel mapping, without pixels: which pixels a triangle covers, which
// texel each gets, and how clipping and positions below 0 change that.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "runtime/softrender/triangle_geometry.h"

namespace {

using Pixel = std::pair<int64_t, int64_t>;  // x, y

struct Texel {
  int64_t u, v;
  int hits;
};

const ClipBox kOpen = {-1000, -1000, 1000, 1000};

// Every pixel the triangle writes inside the area, with the texel it reads. Textured mode
// drops pixels whose source position lies outside a width x height source.
std::map<Pixel, Texel> Rasterise(const std::vector<int32_t>& v, const ClipBox& area = kOpen,
                                 int64_t width = -1, int64_t height = -1) {
  std::map<Pixel, Texel> out;
  TriangleSetup s;
  if (!SetUpTriangle(v.data(), &s)) return out;
  WalkTriangle(s, area, [&](const TriangleSpan& span) {
    int64_t first = 0, count = span.count, u = 0, vv = 0;
    if (width >= 0) {
      ClipSpanToSource(span, s.dudx, s.dvdx, width, height, &first, &count, &u, &vv);
    } else {
      u = static_cast<int64_t>(span.u);
      vv = static_cast<int64_t>(span.v);
    }
    for (int64_t k = 0; k < count; ++k) {
      Texel& t = out[{span.column + first + k, span.row}];
      t.u = (u + k * s.dudx) >> FixShift;
      t.v = (vv + k * s.dvdx) >> FixShift;
      ++t.hits;
    }
  });
  return out;
}

std::vector<std::pair<int64_t, int64_t>> RowSpans(const std::vector<int32_t>& v) {
  std::vector<std::pair<int64_t, int64_t>> rows;
  TriangleSetup s;
  if (!SetUpTriangle(v.data(), &s)) return rows;
  WalkTriangle(s, kOpen, [&](const TriangleSpan& span) {
    EXPECT_EQ(span.row, s.topRow + static_cast<int64_t>(rows.size()));
    rows.push_back({span.column, span.column + span.count - 1});
  });
  return rows;
}

using Spans = std::vector<std::pair<int64_t, int64_t>>;

TEST(TriangleGeometry, RowSpansOfTheThreeShapes) {
  // Flat top: rows 0 to 3, spans 0..4, 0..3, 0..2, 0..1; the bottom vertex's row is not drawn.
  EXPECT_EQ(RowSpans({0, 0, 0, 0, 4, 0, 0, 0, 0, 4, 0, 0}),
            (Spans{{0, 4}, {0, 3}, {0, 2}, {0, 1}}));
  // Flat bottom.
  EXPECT_EQ(RowSpans({4, 0, 0, 0, 0, 4, 0, 0, 4, 4, 0, 0}),
            (Spans{{4, 4}, {3, 4}, {2, 4}, {1, 4}}));
  // Middle vertex on the right: the lower right segment starts one unit past the vertex.
  EXPECT_EQ(RowSpans({1, 0, 0, 0, 5, 3, 0, 0, 0, 6, 0, 0}),
            (Spans{{1, 1}, {1, 2}, {1, 4}, {1, 5}, {0, 3}, {0, 2}}));
  // Middle vertex on the left. Row 3's right edge crosses exactly at x = 5 but its truncated
  // slope keeps it just left of it.
  EXPECT_EQ(RowSpans({4, 0, 0, 0, 0, 3, 0, 0, 5, 6, 0, 0}),
            (Spans{{4, 4}, {3, 4}, {1, 4}, {0, 4}, {2, 5}, {3, 5}}));
  // The vertex order does not matter.
  EXPECT_EQ(RowSpans({0, 6, 0, 0, 1, 0, 0, 0, 5, 3, 0, 0}),
            RowSpans({1, 0, 0, 0, 5, 3, 0, 0, 0, 6, 0, 0}));
}

TEST(TriangleGeometry, FourteenPixelTriangle) {
  const auto px = Rasterise({0, 0, 0, 0, 4, 0, 0, 0, 0, 4, 0, 0});
  EXPECT_EQ(px.size(), 14u);
  for (const auto& [p, t] : px) EXPECT_LT(p.first + p.second, 5) << p.first << "," << p.second;
}

TEST(TriangleGeometry, DegenerateTrianglesCoverNothing) {
  const std::vector<std::vector<int32_t>> cases = {
      {0, 0, 0, 0, 2, 2, 0, 0, 5, 5, 0, 0},    // on one line
      {3, 1, 0, 0, 3, 1, 9, 9, 7, 4, 0, 0},    // two equal vertices
      {2, 2, 0, 0, 2, 2, 0, 0, 2, 2, 0, 0},    // one point
      {0, 3, 0, 0, 9, 3, 0, 0, 4, 3, 0, 0},    // one row
      {5, -9, 0, 0, 5, 0, 0, 0, 5, 20, 0, 0},  // one column
  };
  for (const auto& c : cases) {
    TriangleSetup s;
    EXPECT_FALSE(SetUpTriangle(c.data(), &s));
  }
}

// The quad of two triangles as the four-corner draw splits it, on a 4 x 4 source.
std::map<Pixel, Texel> Quad(int x0, int y0, int size = 4) {
  const int x1 = x0 + size, y1 = y0 + size;
  auto a = Rasterise({x0, y0, 0, 0, x1, y0, 4, 0, x0, y1, 0, 4}, kOpen, 4, 4);
  const auto b = Rasterise({x1, y0, 4, 0, x0, y1, 0, 4, x1, y1, 4, 4}, kOpen, 4, 4);
  for (const auto& [p, t] : b) {
    auto [it, fresh] = a.insert({p, t});
    if (!fresh) {
      EXPECT_EQ(it->second.u, t.u);
      EXPECT_EQ(it->second.v, t.v);
      it->second.hits += t.hits;
    }
  }
  return a;
}

TEST(TriangleGeometry, QuadShowsEachTexelOnceAndSharesThreeDiagonalPixels) {
  const auto px = Quad(0, 0);
  ASSERT_EQ(px.size(), 16u);
  std::vector<Pixel> twice;
  for (const auto& [p, t] : px) {
    EXPECT_EQ(t.u, p.first);
    EXPECT_EQ(t.v, p.second);
    if (t.hits == 2) twice.push_back(p);
    EXPECT_LE(t.hits, 2);
  }
  EXPECT_EQ(twice, (std::vector<Pixel>{{1, 3}, {2, 2}, {3, 1}}));
}

TEST(TriangleGeometry, PositionsBelowZeroMapLikeAnyOther) {
  // Flooring makes a shifted quad the same picture shifted, wherever it lies.
  const auto base = Quad(0, 0);
  for (const auto& [dx, dy] : std::vector<Pixel>{{0, -2}, {-3, 0}, {-1, -1}, {-7, -5}, {5, -3}}) {
    const auto moved = Quad(static_cast<int>(dx), static_cast<int>(dy));
    ASSERT_EQ(moved.size(), base.size()) << dx << "," << dy;
    for (const auto& [p, t] : base) {
      const auto it = moved.find({p.first + dx, p.second + dy});
      ASSERT_NE(it, moved.end()) << dx << "," << dy;
      EXPECT_EQ(it->second.u, t.u);
      EXPECT_EQ(it->second.v, t.v);
      EXPECT_EQ(it->second.hits, t.hits);
    }
  }
  // The case that truncation gets wrong: top-left corner at (0, -2), row 0 shows texel row 2.
  const auto high = Quad(0, -2);
  for (int64_t x = 0; x < 4; ++x) EXPECT_EQ(high.at({x, 0}).v, 2);
}

TEST(TriangleGeometry, RandomTrianglesTranslateExactly) {
  std::mt19937 rng(5);
  for (int i = 0; i < 300; ++i) {
    std::vector<int32_t> v(12);
    for (int& c : v) c = static_cast<int>(rng() % 41) - 20;
    const int dx = static_cast<int>(rng() % 61) - 30, dy = static_cast<int>(rng() % 61) - 30;
    std::vector<int32_t> w = v;
    for (int k = 0; k < 3; ++k) w[4 * k] += dx, w[4 * k + 1] += dy;
    const auto a = Rasterise(v), b = Rasterise(w);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [p, t] : a) {
      const auto it = b.find({p.first + dx, p.second + dy});
      ASSERT_NE(it, b.end());
      EXPECT_EQ(it->second.u, t.u);
      EXPECT_EQ(it->second.v, t.v);
    }
  }
}

TEST(TriangleGeometry, ClippingKeepsEveryVisiblePixelAndItsTexel) {
  const std::vector<int32_t> tri = {-3, 1, 0, 0, 9, 2, 12, 0, 2, 11, 3, 10};
  const auto full = Rasterise(tri, kOpen, 16, 16);
  const ClipBox area = {1, 3, 6, 8};
  const auto clipped = Rasterise(tri, area, 16, 16);
  size_t inside = 0;
  for (const auto& [p, t] : full) {
    const bool in = p.first >= 1 && p.first < 6 && p.second >= 3 && p.second < 8;
    const auto it = clipped.find(p);
    if (!in) {
      EXPECT_EQ(it, clipped.end());
      continue;
    }
    ++inside;
    ASSERT_NE(it, clipped.end()) << p.first << "," << p.second;
    // Left clipping starts the texture at the clipped pixel, not at the edge.
    EXPECT_EQ(it->second.u, t.u);
    EXPECT_EQ(it->second.v, t.v);
  }
  EXPECT_EQ(clipped.size(), inside);
  EXPECT_GT(inside, 10u);
  EXPECT_TRUE(Rasterise(tri, {3, 3, 3, 8}).empty());  // an empty area
}

TEST(TriangleGeometry, SourceTestSkipsPixelsOutsideTheSource) {
  // u runs from -2 to 7 along the row; a 4-texel source shows texels 0..3 only.
  const auto px = Rasterise({0, 0, -2, 0, 10, 0, 8, 0, 0, 4, -2, 4}, kOpen, 4, 4);
  for (const auto& [p, t] : px) {
    EXPECT_GE(t.u, 0);
    EXPECT_LT(t.u, 4);
    EXPECT_EQ(t.u, p.first - 2);
  }
  EXPECT_EQ(px.count({1, 0}), 0u);
  EXPECT_EQ(px.count({2, 0}), 1u);
  EXPECT_EQ(px.count({6, 0}), 0u);
}

TEST(TriangleGeometry, SpanToSourceClipMatchesThePerPixelTest) {
  std::mt19937_64 rng(11);
  for (int i = 0; i < 20000; ++i) {
    TriangleSpan span{0, 0, static_cast<int64_t>(rng() % 40) + 1, 0, 0};
    const int64_t w = static_cast<int64_t>(rng() % 6) + 1, h = static_cast<int64_t>(rng() % 6) + 1;
    const int64_t scale = int64_t{1} << (rng() % 40);
    const int64_t dudx = static_cast<int64_t>(rng() % 2001) - 1000,
                  dvdx = static_cast<int64_t>(rng() % 2001) - 1000;
    span.u = static_cast<__int128>(static_cast<int64_t>(rng() % 4001) - 1000) * 1000 +
             (i % 7 == 0 ? FixOne * 3 : 0);
    span.v = static_cast<__int128>(static_cast<int64_t>(rng() % 4001) - 1000) * 1000;
    const int64_t du = dudx * scale / 4, dv = dvdx * scale / 4;
    int64_t first, count, u, v;
    ClipSpanToSource(span, du, dv, w, h, &first, &count, &u, &v);
    int64_t expectFirst = -1, expectCount = 0;
    for (int64_t k = 0; k < span.count; ++k) {
      const __int128 uk = span.u + static_cast<__int128>(k) * du,
                     vk = span.v + static_cast<__int128>(k) * dv;
      if (uk >= 0 && uk < w * FixOne && vk >= 0 && vk < h * FixOne) {
        if (expectFirst < 0) expectFirst = k;
        ASSERT_EQ(k, expectFirst + expectCount) << "inside pixels must be contiguous";
        ++expectCount;
      }
    }
    ASSERT_EQ(count, expectCount) << i;
    if (count > 0) {
      ASSERT_EQ(first, expectFirst) << i;
      EXPECT_EQ(u, static_cast<int64_t>(span.u + static_cast<__int128>(first) * du));
      EXPECT_EQ(v, static_cast<int64_t>(span.v + static_cast<__int128>(first) * dv));
    }
  }
}

TEST(TriangleGeometry, FarVerticesNeitherOverflowNorWalkOutsideTheArea) {
  const int32_t big = 2000000000;
  const ClipBox area = {0, 0, 50, 40};
  // A huge triangle over the whole area covers every pixel of it, each once.
  auto px = Rasterise({-big, -big, 0, 0, INT32_MAX, -big, 0, 0, -big, INT32_MAX, 0, 0}, area);
  EXPECT_EQ(px.size(), 50u * 40u);
  for (const auto& [p, t] : px) EXPECT_EQ(t.hits, 1);
  // Extreme texture coordinates and slivers: every pixel stays in the area and every texel
  // in the source.
  std::mt19937 rng(3);
  const int32_t extremes[] = {INT32_MIN, INT32_MAX, -big, big, -1, 0, 1, 25, 49, 50};
  for (int i = 0; i < 2000; ++i) {
    std::vector<int32_t> v(12);
    for (int& c : v) c = rng() % 3 == 0 ? static_cast<int>(rng() % 120) - 35 : extremes[rng() % 10];
    for (const auto& [p, t] : Rasterise(v, area, 7, 5)) {
      ASSERT_TRUE(p.first >= 0 && p.first < 50 && p.second >= 0 && p.second < 40);
      ASSERT_TRUE(t.u >= 0 && t.u < 7 && t.v >= 0 && t.v < 5);
      ASSERT_EQ(t.hits, 1);
    }
  }
}

}  // namespace
