// Line clipping and stepping, without pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <random>
#include <utility>
#include <vector>

#include "runtime/softrender/line_geometry.h"

namespace {

using Pixel = std::pair<int64_t, int64_t>;
using Pixels = std::vector<Pixel>;

// Positions are encoded as y * kStride + x.
constexpr int64_t kStride = 1 << 20;
constexpr int64_t kBias = 0;

Pixels Line(int x1, int y1, int x2, int y2, const ClipBox& area = {0, 0, 10, 10}) {
  Pixels out;
  LineWalk w;
  if (!SetUpLine(x1, y1, x2, y2, area, &w)) return out;
  StepLine(w, kBias + w.y * kStride + w.x, 1, kStride, [&](int64_t pos) {
    const int64_t rel = pos - kBias;  // the areas here lie at x, y >= 0
    out.push_back({rel % kStride, rel / kStride});
  });
  EXPECT_EQ(static_cast<int64_t>(out.size()), LinePixelCount(w));
  return out;
}

Pixels Straight(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  Pixels out;
  const int64_t n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  for (int64_t k = 0; k <= n; ++k)
    out.push_back({x0 + (x1 - x0) * k / (n ? n : 1), y0 + (y1 - y0) * k / (n ? n : 1)});
  return out;
}

TEST(LineGeometry, KnownLines) {
  EXPECT_EQ(Line(0, 0, 4, 2), (Pixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(Line(0, 0, 3, 3), (Pixels{{0, 0}, {1, 1}, {2, 2}}));
  EXPECT_EQ(Line(5, 5, 1, 5), (Pixels{{5, 5}, {4, 5}, {3, 5}, {2, 5}}));
  EXPECT_TRUE(Line(2, 2, 2, 2).empty());
  EXPECT_EQ(Line(-4, -4, 14, 14), Straight(0, 0, 9, 9));
  EXPECT_EQ(Line(5, -3, 5, 20), Straight(5, 0, 5, 9));
  EXPECT_EQ(Line(12, 3, -6, 3), Straight(9, 3, 0, 3));
  EXPECT_EQ(Line(0, 0, 10, 0), Straight(0, 0, 9, 0));
  // y-major, going up and left; the minor coordinate is truncated, not rounded.
  EXPECT_EQ(Line(6, 9, 4, 4), (Pixels{{6, 9}, {6, 8}, {6, 7}, {5, 6}, {5, 5}}));
}

TEST(LineGeometry, LinesBesideTheAreaDrawNothing) {
  EXPECT_TRUE(Line(-5, 2, -1, 8).empty());              // left
  EXPECT_TRUE(Line(10, 0, 15, 9).empty());              // right
  EXPECT_TRUE(Line(0, -7, 9, -1).empty());              // above
  EXPECT_TRUE(Line(0, 10, 9, 12).empty());              // below
  EXPECT_TRUE(Line(0, 0, 5, 5, {3, 3, 3, 8}).empty());  // empty area
}

TEST(LineGeometry, BoxOutlineDrawsEachBorderPixelOnce) {
  // The four lines the outline of box 2, 2, 6, 5 is made of.
  const int x1 = 2, y1 = 2, x2 = 6, y2 = 5;
  std::map<Pixel, int> hits;
  for (const auto& l : std::vector<std::vector<int>>{{x1, y1, x2 - 1, y1},
                                                     {x2 - 1, y1, x2 - 1, y2 - 1},
                                                     {x2 - 1, y2 - 1, x1, y2 - 1},
                                                     {x1, y2 - 1, x1, y1}})
    for (const Pixel& p : Line(l[0], l[1], l[2], l[3])) ++hits[p];
  EXPECT_EQ(hits.size(), 10u);
  for (const auto& [p, n] : hits) {
    EXPECT_EQ(n, 1) << p.first << "," << p.second;
    EXPECT_TRUE(p.first == 2 || p.first == 5 || p.second == 2 || p.second == 4);
  }
}

TEST(LineGeometry, ClippedLinesStayInsideTheArea) {
  std::mt19937 rng(9);
  const int extremes[] = {INT32_MIN, INT32_MAX, -100000, 100000, -1, 0, 7, 16, 17};
  const ClipBox area = {2, 3, 17, 12};
  for (int i = 0; i < 20000; ++i) {
    int c[4];
    for (int& v : c) v = rng() % 2 ? static_cast<int>(rng() % 40) - 10 : extremes[rng() % 9];
    const Pixels px = Line(c[0], c[1], c[2], c[3], area);
    ASSERT_LE(px.size(), 16u);
    for (const Pixel& p : px)
      ASSERT_TRUE(p.first >= 2 && p.first < 17 && p.second >= 3 && p.second < 12)
          << c[0] << "," << c[1] << " -> " << c[2] << "," << c[3];
    // A line inside the area covers max(|dx|, |dy|) pixels starting at its start.
    if (c[0] >= 2 && c[0] < 17 && c[2] >= 2 && c[2] < 17 && c[1] >= 3 && c[1] < 12 && c[3] >= 3 &&
        c[3] < 12) {
      ASSERT_EQ(px.size(),
                static_cast<size_t>(std::max(std::abs(c[2] - c[0]), std::abs(c[3] - c[1]))));
      if (!px.empty()) { EXPECT_EQ(px.front(), Pixel(c[0], c[1])); }
    }
  }
}

}  // namespace
