// The pixel rules' arithmetic against the tables they stand for and against channel-wise
// statements of the packed add and subtract.
#include <gtest/gtest.h>

#include <random>

#include "runtime/softrender/memimg_tables.h"
#include "runtime/softrender/pixel_rules_565.h"
#include "runtime/softrender/pixel_rules_8888.h"
#include "tests/softrender/reference_blit.h"

namespace {

class PixelRules : public testing::Test {
 protected:
  static void SetUpTestSuite() { BuildMemImgTables(); }
};

// The rules compute the table entries instead of loading them: every entry must agree.
TEST_F(PixelRules, ComputedScalesEqualTheTables) {
  for (uint32_t k = 0; k < 256; ++k)
    for (uint32_t v = 0; v < 256; ++v) {
      ASSERT_EQ(Div255(v * k), static_cast<uint32_t>(BlendScaleTable[k][v])) << k << " " << v;
      if (v < 64) {
        ASSERT_EQ(Scale255u16(static_cast<uint16_t>(v), k), BlendScaleTable[k][v]) << k << " " << v;
      }
    }

  // One channel at a time through whole words: red and blue are 5 bits, green 6.
  for (uint32_t param = 0; param < 256; ++param) {
    const int q = static_cast<int>(param >> 2);
    for (uint16_t y = 0; y < 64; ++y)
      for (uint16_t d = 0; d < 64; ++d) {
        const uint16_t greenY = static_cast<uint16_t>(y << 5),
                       greenD = static_cast<uint16_t>(d << 5);
        ASSERT_EQ(Green565(TableMix565(greenD, greenY, param)),
                  d + SignedBlendTable[param][255 + y - d])
            << param << " " << y << " " << d;
        ASSERT_EQ(Green565(Scale6Mix565(greenD, greenY, param)), Scale6Table[q][y][d])
            << param << " " << y << " " << d;
        if (y < 32 && d < 32) {
          ASSERT_EQ(Red565(TableMix565(static_cast<uint16_t>(d << 11),
                                       static_cast<uint16_t>(y << 11), param)),
                    d + SignedBlendTable[param][255 + y - d]);
          ASSERT_EQ(Blue565(Scale6Mix565(d, y, param)), Scale6Table[q][y][d]);
        }
      }
  }
}

// The registers take the signed table step as a product of two 16-bit factors, in 16-bit lanes
// that wrap: for every P and every pair of fields it must be the table's step.
TEST_F(PixelRules, TableStepFactorsGiveTheTableStep) {
  for (uint32_t param = 0; param < 256; ++param) {
    const TableStepFactors f = TableStepFactorsOf(param);
    for (int y = 0; y < 64; ++y)
      for (int d = 0; d < 64; ++d) {
        const int16_t product = static_cast<int16_t>((y - d) * f.a);
        const int step = ((product * static_cast<int16_t>(f.b)) >> 16) + (y < d ? 1 : 0);
        ASSERT_EQ(step, SignedBlendTable[param][255 + y - d]) << param << " " << y << " " << d;
      }
  }
}

// The two-factor 16-bit mix equals the one-weight mix for every channel pair and factors.
TEST_F(PixelRules, TwoFactorMixEqualsTheWeightedMix) {
  for (uint32_t f1 : {0u, 1u, 77u, 128u, 255u, 256u})
    for (uint32_t f2 = 0; f2 < 257; ++f2)
      for (uint16_t y = 0; y < 64; ++y)
        for (uint16_t d = 0; d < 64; ++d) {
          const uint16_t gy = static_cast<uint16_t>(y << 5), gd = static_cast<uint16_t>(d << 5);
          ASSERT_EQ(Mix565By2(gd, gy, f1, f2), Mix565<16>(gd, gy, f1 * f2))
              << f1 << " " << f2 << " " << y << " " << d;
        }
}

TEST_F(PixelRules, PackedAddAndSubtractMatchTheirChannelWiseStatements) {
  std::mt19937 rng(5);
  for (int i = 0; i < 1 << 20; ++i) {
    const uint32_t d = rng(), t = rng();
    ASSERT_EQ(AddSaturate8888(d, t), ReferenceAddSaturate8888(d, t, true))
        << std::hex << d << " " << t;
    ASSERT_EQ(AddSaturateNoLowBits8888(d, t), ReferenceAddSaturate8888(d, t, false))
        << std::hex << d << " " << t;
    ASSERT_EQ(SubtractSaturate8888(d, t), ReferenceSubtractSaturate8888(d, t))
        << std::hex << d << " " << t;
    const uint16_t d16 = static_cast<uint16_t>(d), t16 = static_cast<uint16_t>(t);
    ASSERT_EQ(AddSaturate565<true>(d16, t16), ReferenceAddSaturate565(d16, t16, true))
        << std::hex << d16 << " " << t16;
    ASSERT_EQ(AddSaturate565<false>(d16, t16), ReferenceAddSaturate565(d16, t16, false))
        << std::hex << d16 << " " << t16;
    ASSERT_EQ(SubtractSaturate565(d16, t16), ReferenceSubtractSaturate565(d16, t16))
        << std::hex << d16 << " " << t16;
  }
}

TEST_F(PixelRules, PackedEdgeCases) {
  EXPECT_EQ(AddSaturate565<true>(0x001F, 0x0001), 0x003F);
  EXPECT_EQ(AddSaturate565<true>(0x0020, 0x0020), 0x0020);
  EXPECT_EQ(AddSaturate565<true>(0x0000, 0xFFFF), 0xFFFF);
  EXPECT_EQ(AddSaturate565<true>(0xF000, 0x1000), 0xF800);
  EXPECT_EQ(AddSaturate565<false>(0x0020, 0x0020), 0x0000);
  EXPECT_EQ(SubtractSaturate565(0xFFFF, 0x0000), 0xFFDF);
  for (uint32_t d = 0; d < 0x10000; ++d) {
    const uint16_t w = static_cast<uint16_t>(d);
    ASSERT_EQ(SubtractSaturate565(w, w), 0x0800) << d;
    ASSERT_EQ(SubtractSaturate565(w, 0), (w & 0xFFDF) | 0x0800) << d;
    ASSERT_EQ(AddSaturate565<true>(w, 0), w) << d;
    ASSERT_EQ(AddSaturate565<false>(w, 0), w & 0xF7DF) << d;
  }
  EXPECT_EQ(HalfMix565(0xFFFF, 0xFFFF), 0xF7DE);
  EXPECT_EQ(Multiply565<0>(0xFFFF, 0xFFFF, 1), 0xF7DE);
  EXPECT_EQ(HalfMix8888(0x00F1F1F1, 0xAB010101), 0x00787878u);
  EXPECT_EQ(AddSaturate8888(0x00FAFAFA, 0x000A0A0A), 0x01FFFFFFu);
}

}  // namespace
