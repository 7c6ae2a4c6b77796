// Geometry of the rotated blit: corners and bounding box, the column steps, the inverse
// mapping, the run of each row that falls inside the source, and the set-ups that draw nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "runtime/softrender/rotated_geometry.h"

namespace {

struct WholeCorners {
  int64_t x[4], y[4];  // top-left, bottom-left, bottom-right, top-right
};

WholeCorners Whole(const RotatedSetup& s) {
  WholeCorners w{};
  for (int i = 0; i < 4; ++i) {
    w.x[i] = RotatedWholePixel(s.corners[i][0]);
    w.y[i] = RotatedWholePixel(s.corners[i][1]);
  }
  return w;
}

TEST(RotatedGeometry, CornersBoxAndStepsOfTheExamples) {
  struct Case {
    const char* what;
    int w, h;
    int cx, cy;
    float angle, scale;
    WholeCorners corners;
    ClipBox box;
    int64_t duColumn, dvColumn;
  } const cases[] = {
      {"4 x 2 at scale 1",
       4,
       2,
       10,
       10,
       0.0f,
       1.0f,
       {{8, 8, 12, 12}, {9, 11, 11, 9}},
       {6, 7, 16, 15},
       262144,
       0},
      {"3 x 3 at scale 1",
       3,
       3,
       10,
       10,
       0.0f,
       1.0f,
       {{8, 8, 11, 11}, {8, 11, 11, 8}},
       {6, 6, 15, 15},
       262144,
       0},
      {"4 x 2 at scale 2",
       4,
       2,
       10,
       10,
       0.0f,
       2.0f,
       {{6, 6, 14, 14}, {8, 12, 12, 8}},
       {4, 6, 18, 16},
       131072,
       0},
      {"8 x 2 at scale 0.5",
       8,
       2,
       10,
       10,
       0.0f,
       0.5f,
       {{8, 8, 12, 12}, {9, 10, 10, 9}},
       {6, 7, 16, 14},
       524288,
       0},
      {"4 x 2 at scale -1",
       4,
       2,
       10,
       10,
       0.0f,
       -1.0f,
       {{12, 12, 8, 8}, {11, 9, 9, 11}},
       {6, 7, 16, 15},
       -262144,
       0},
      {"4 x 2 turned a quarter",
       4,
       2,
       10,
       10,
       1.57079637f,
       1.0f,
       {{11, 9, 9, 11}, {8, 8, 12, 12}},
       {7, 6, 15, 16},
       0,
       -262144},
      // Corners below 0 are floored: -1.5 pixels is pixel -2.
      {"3 x 3 about the origin",
       3,
       3,
       0,
       0,
       0.0f,
       1.0f,
       {{-2, -2, 1, 1}, {-2, 1, 1, -2}},
       {-4, -4, 5, 5},
       262144,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RotatedSetup s;
    ASSERT_TRUE(SetUpRotation(c.w, c.h, c.cx, c.cy, c.angle, c.scale, &s));
    const WholeCorners w = Whole(s);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(w.x[i], c.corners.x[i]) << "corner " << i;
      EXPECT_EQ(w.y[i], c.corners.y[i]) << "corner " << i;
    }
    const ClipBox box = RotatedBounds(s);
    EXPECT_EQ(box.left, c.box.left);
    EXPECT_EQ(box.top, c.box.top);
    EXPECT_EQ(box.right, c.box.right);
    EXPECT_EQ(box.bottom, c.box.bottom);
    EXPECT_EQ(s.duColumn, c.duColumn);
    EXPECT_EQ(s.dvColumn, c.dvColumn);
  }
}

TEST(RotatedGeometry, WholePixelsRoundDown) {
  EXPECT_EQ(RotatedWholePixel(0), 0);
  EXPECT_EQ(RotatedWholePixel(262143), 0);
  EXPECT_EQ(RotatedWholePixel(262144), 1);
  EXPECT_EQ(RotatedWholePixel(-1), -1);
  EXPECT_EQ(RotatedWholePixel(-262144), -1);
  EXPECT_EQ(RotatedWholePixel(-262145), -2);
}

// The pixel at the centre samples the texel (W / 2, H / 2) at its top-left corner, whatever
// the angle and scale, also far from the origin.
TEST(RotatedGeometry, TheCentrePixelSamplesTheCentreTexel) {
  std::mt19937 rng(12);
  for (int i = 0; i < 200; ++i) {
    const int w = 1 + static_cast<int>(rng() % 300), h = 1 + static_cast<int>(rng() % 300);
    const int cx = static_cast<int>(rng() % 2000000) - 1000000,
              cy = static_cast<int>(rng() % 2000000) - 1000000;
    const float angle = static_cast<float>(rng() % 10000) / 1000.0f - 5.0f;
    const float scale = static_cast<float>(rng() % 8000 + 1) / 1000.0f * (rng() % 2 ? 1.0f : -1.0f);
    RotatedSetup s;
    ASSERT_TRUE(SetUpRotation(w, h, cx, cy, angle, scale, &s));
    int64_t u, v;
    ASSERT_TRUE(MapRotated(s, cx, cy, &u, &v));
    EXPECT_EQ(u, (w / 2) * kRotatedOne);
    EXPECT_EQ(v, (h / 2) * kRotatedOne);
  }
}

// The run of each row found by division is exactly the set of its pixels whose stepped
// position lies in the source, on random turns, scales and boxes.
TEST(RotatedGeometry, TheRunOfARowIsExactlyItsPixelsInsideTheSource) {
  std::mt19937 rng(99);
  for (int round = 0; round < 400; ++round) {
    const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 40);
    // Some draws at whole turns and power-of-two scales, whose positions land exactly on the
    // source's edges.
    const bool exact = rng() % 3 == 0;
    static const float kTurns[] = {0.0f, 1.57079637f, 3.14159274f, 4.71238899f};
    static const float kScales[] = {1.0f, 2.0f, 0.5f, -1.0f, 4.0f};
    const float angle = exact ? kTurns[rng() % 4] : static_cast<float>(rng() % 62832) / 10000.0f;
    const float scale =
        exact ? kScales[rng() % 5]
              : (0.05f + static_cast<float>(rng() % 4000) / 1000.0f) * (rng() % 4 ? 1.0f : -1.0f);
    RotatedSetup s;
    ASSERT_TRUE(SetUpRotation(w, h, 50, 40, angle, scale, &s));
    ClipBox box = RotatedBounds(s);
    box = ClipBoxTo(box, {static_cast<int64_t>(rng() % 50) - 10,
                          static_cast<int64_t>(rng() % 40) - 10, 120, 100});
    if (box.Empty()) continue;
    RotatedWalk walk;
    ASSERT_TRUE(StartRotatedWalk(s, box, &walk));
    const int64_t n = box.Width();
    for (int64_t row = 0; row < box.Height(); ++row) {
      int64_t first, count, u0, v0;
      RotatedRowInside(s, walk, row, n, &first, &count, &u0, &v0);
      for (int64_t k = 0; k < n; ++k) {
        const int64_t u = walk.u + row * walk.duRow + k * walk.duColumn;
        const int64_t v = walk.v + row * walk.dvRow + k * walk.dvColumn;
        const bool inside = u >= 0 && u < w * kRotatedOne && v >= 0 && v < h * kRotatedOne;
        ASSERT_EQ(inside, k >= first && k < first + count)
            << "round " << round << " row " << row << " column " << k << " run " << first << "+"
            << count;
        if (k == first && count > 0) {
          EXPECT_EQ(u0, u);
          EXPECT_EQ(v0, v);
        }
      }
    }
  }
}

// Row after row, the stepped walk gives the runs RotatedRowInside gives, at every angle, scale
// and clip, and from centres far enough away that the positions no longer fit its steps.
TEST(RotatedGeometry, TheRowWalkMatchesTheRunsOfEachRow) {
  std::mt19937 rng(31337);
  for (int round = 0; round < 3000; ++round) {
    const int64_t w = 1 + rng() % 40, h = 1 + rng() % 40;
    const float angle = static_cast<float>(rng() % 62832) / 10000.0f;
    const float scale =
        (0.05f + static_cast<float>(rng() % 4000) / 1000.0f) * (rng() % 4 ? 1.0f : -1.0f);
    const bool far = rng() % 8 == 0;
    const int32_t cx = far ? 2000000000 : static_cast<int32_t>(rng() % 100),
                  cy = far ? -2000000000 : static_cast<int32_t>(rng() % 80);
    RotatedSetup s;
    const float used = far && rng() % 2 ? 0.001f : round % 5 == 0 ? 1.0f : scale;
    if (!SetUpRotation(w, h, cx, cy, angle, used, &s)) continue;
    ClipBox box = RotatedBounds(s);
    if (!far)
      box = ClipBoxTo(box, {static_cast<int64_t>(rng() % 50) - 10,
                            static_cast<int64_t>(rng() % 40) - 10, 120, 100});
    else
      box = {box.left, box.top, box.left + 1 + static_cast<int64_t>(rng() % 60),
             box.top + 1 + static_cast<int64_t>(rng() % 60)};
    if (box.Empty()) continue;
    RotatedWalk walk;
    if (!StartRotatedWalk(s, box, &walk)) continue;
    RotatedRows rows;
    StartRotatedRows(s, walk, box.Width(), box.Height(), &rows);
    // Batches of any size follow on from each other.
    RotatedRun runs[16];
    for (int64_t row = 0; row < box.Height();) {
      const int batch = static_cast<int>(
          std::min<int64_t>(1 + static_cast<int64_t>(rng() % 16), box.Height() - row));
      NextRotatedRuns(&rows, batch, runs);
      for (int i = 0; i < batch; ++i, ++row) {
        int64_t expected[4];
        RotatedRowInside(s, walk, row, box.Width(), &expected[0], &expected[1], &expected[2],
                         &expected[3]);
        const int64_t got[4] = {runs[i].first, runs[i].count, runs[i].u, runs[i].v};
        for (int k = 0; k < 4; ++k)
          ASSERT_EQ(got[k], expected[k]) << "round " << round << " row " << row << " value " << k;
      }
    }
  }
}

// The row starts step by the difference over the box's height, truncated toward zero.
TEST(RotatedGeometry, RowStartsStepByTheTruncatedDifference) {
  RotatedSetup s;
  ASSERT_TRUE(SetUpRotation(9, 5, 30, 30, 0.3f, 1.7f, &s));
  const ClipBox box = {20, 22, 41, 39};
  RotatedWalk walk;
  ASSERT_TRUE(StartRotatedWalk(s, box, &walk));
  int64_t uTop, vTop, uBottom, vBottom;
  ASSERT_TRUE(MapRotated(s, 20, 22, &uTop, &vTop));
  ASSERT_TRUE(MapRotated(s, 20, 39, &uBottom, &vBottom));
  EXPECT_EQ(walk.u, uTop);
  EXPECT_EQ(walk.v, vTop);
  EXPECT_EQ(walk.duRow, (uBottom - uTop) / 17);
  EXPECT_EQ(walk.dvRow, (vBottom - vTop) / 17);
  EXPECT_NE((uBottom - uTop) % 17, 0);  // the case shows the truncation
}

TEST(RotatedGeometry, MeaninglessSetUpsDrawNothing) {
  const float inf = std::numeric_limits<float>::infinity(),
              nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* what;
    int w, h;
    float angle, scale;
  } const cases[] = {
      {"scale 0", 4, 4, 0.0f, 0.0f},
      {"scale -0", 4, 4, 0.0f, -0.0f},
      {"scale NaN", 4, 4, 0.0f, nan},
      {"scale infinite", 4, 4, 0.0f, inf},
      {"scale minus infinite", 4, 4, 0.0f, -inf},
      {"angle NaN", 4, 4, nan, 1.0f},
      {"angle infinite", 4, 4, inf, 1.0f},
      {"a source without columns", 0, 4, 0.0f, 1.0f},
      {"a source without rows", 4, 0, 0.0f, 1.0f},
      {"a scale whose corners pass 2^61 units", 4, 4, 0.0f, 1e30f},
      {"a scale whose steps pass 2^61 units", 4, 4, 0.0f, 1e-30f},
  };
  for (const Case& c : cases) {
    RotatedSetup s;
    EXPECT_FALSE(SetUpRotation(c.w, c.h, 0, 0, c.angle, c.scale, &s)) << c.what;
  }
}

// Centres and corners far beyond 32768 pixels (where 14.18 in 32 bits would wrap) keep their
// places.
TEST(RotatedGeometry, FarCentresAndLargeImagesKeepTheirPlaces) {
  RotatedSetup s;
  ASSERT_TRUE(SetUpRotation(4, 2, 2000000000, -2000000000, 0.0f, 1.0f, &s));
  const ClipBox box = RotatedBounds(s);
  EXPECT_EQ(box.left, 1999999998 - 2);
  EXPECT_EQ(box.top, -2000000001 - 2);
  EXPECT_EQ(box.right, 2000000002 + 4);
  EXPECT_EQ(box.bottom, -1999999999 + 4);

  ASSERT_TRUE(SetUpRotation(100, 100, 0, 0, 0.0f, 1000.0f, &s));  // 100000 pixels wide
  const ClipBox large = RotatedBounds(s);
  EXPECT_EQ(large.left, -50000 - 2);
  EXPECT_EQ(large.right, 50000 + 4);
  int64_t u, v;
  ASSERT_TRUE(MapRotated(s, -49990, 49990, &u, &v));
  EXPECT_EQ(u >> 18, 0);   // 10 pixels in from the left edge: texel column 0
  EXPECT_EQ(v >> 18, 99);  // 10 pixels up from the bottom: the last row
}

}  // namespace
