#include "runtime/softrender/memimg_tables.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/graphics/draw/draw_state.h"

namespace {

class MemImgTables : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(BuildMemImgTables(), 0); }
};

TEST_F(MemImgTables, EveryEntryEqualsItsFormula) {
  for (int k = 0; k < 256; ++k)
    for (int v = 0; v < 256; ++v) ASSERT_EQ(BlendScaleTable[k][v], (v * k) / 255) << k << " " << v;

  for (int k = 0; k < 256; ++k) {
    for (int d = -255; d <= 255; ++d) {
      // Truncation toward zero, written as the magnitude's floor with the sign put back.
      const int magnitude = (d < 0 ? -d : d) * k / 255;
      ASSERT_EQ(SignedBlendTable[k][d + 255], d < 0 ? -magnitude : magnitude) << k << " " << d;
    }
    ASSERT_EQ(SignedBlendTable[k][511], 0) << "entry 511 is never written";
  }

  for (int i = 0; i < 64; ++i)
    for (int a = 0; a < 64; ++a)
      for (int b = 0; b < 64; ++b)
        ASSERT_EQ(Scale6Table[i][a][b], (a * i + b * (63 - i)) / 63) << i << " " << a << " " << b;
}

TEST_F(MemImgTables, SpotValues) {
  for (int v = 0; v < 256; ++v) {
    EXPECT_EQ(BlendScaleTable[255][v], v);
    EXPECT_EQ(BlendScaleTable[0][v], 0);
  }
  EXPECT_EQ(BlendScaleTable[128][255], 128);
  EXPECT_EQ(BlendScaleTable[1][254], 0);

  const auto signedAt = [](int k, int d) { return SignedBlendTable[k][255 + d]; };
  EXPECT_EQ(signedAt(255, -255), -255);
  EXPECT_EQ(signedAt(128, -1), 0);  // toward zero, not floor (which would give -1)
  EXPECT_EQ(signedAt(128, -255), -128);
  EXPECT_EQ(signedAt(128, 255), 128);

  EXPECT_EQ(Scale6Table[32][63][0], 32);
  EXPECT_EQ(Scale6Table[31][63][0], 31);
  EXPECT_EQ(Scale6Table[63][10][20], 10);
  EXPECT_EQ(Scale6Table[0][10][20], 20);
}

std::vector<int> Ramp(int p, int q) {
  BuildBlendImageRamp(p, q);
  return std::vector<int>(BlendImageRamp, BlendImageRamp + 256);
}

// Entries below `from` are `low`, entry `from` is `mid`, entries after it are `high`.
std::vector<int> Step(int from, int low, int mid, int high) {
  std::vector<int> r(256);
  for (int i = 0; i < 256; ++i) r[i] = i < from ? low : i == from ? mid : high;
  return r;
}

TEST_F(MemImgTables, BlendImageRampRows) {
  std::vector<int> identity(256);
  for (int i = 0; i < 256; ++i) identity[i] = i;

  EXPECT_EQ(Ramp(0, 255), std::vector<int>(256, 255));
  EXPECT_EQ(Ramp(128, 255), identity);
  EXPECT_EQ(Ramp(255, 255), Step(255, 0, 1, 1));
  EXPECT_EQ(Ramp(128, 0), Step(128, 0, 128, 255));
  EXPECT_EQ(Ramp(255, 0), Step(255, 0, 1, 1));
  EXPECT_EQ(Ramp(0, 0), std::vector<int>(256, 255));

  // With range 255 the slope is 1: entry i = i + 256 - 2p, clamped.
  const std::vector<int> p100 = Ramp(100, 255);
  for (int i = 0; i < 256; ++i) {
    const int v = i + 256 - 200;
    EXPECT_EQ(p100[i], v > 255 ? 255 : v) << i;
  }
}

TEST_F(MemImgTables, RampClampsArgumentsOutsideTheirRange) {
  EXPECT_EQ(Ramp(-40, -1), Ramp(0, 0));
  EXPECT_EQ(Ramp(300, 999), Ramp(255, 255));
}

}  // namespace
