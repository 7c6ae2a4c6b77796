#include "runtime/graphics/image/pixel_format.h"

#include <cstring>

#include <gtest/gtest.h>

#include "tests/support/image_fixtures.h"

namespace {

TEST(PixelFormat, SetupFromMasks) {
  struct Case {
    int bits;
    uint32_t r, g, b, a;
    int widths[4], shifts[4];
    uint32_t spare;
    int spareShift, spareWidth;
  };
  const Case cases[] = {
      {32, 0xFF0000, 0xFF00, 0xFF, 0, {8, 8, 8, 0}, {16, 8, 0, 0}, 0xFF000000, 24, 8},
      {16, 0xF800, 0x7E0, 0x1F, 0, {5, 6, 5, 0}, {11, 5, 0, 0}, 0, 0, 0},
      {16, 0x7C00, 0x3E0, 0x1F, 0, {5, 5, 5, 0}, {10, 5, 0, 0}, 0x8000, 15, 1},
      {16, 0xF00, 0xF0, 0xF, 0xF000, {4, 4, 4, 4}, {8, 4, 0, 12}, 0, 0, 0},
      {32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000, {10, 10, 10, 2}, {0, 10, 20, 30}, 0, 0, 0},
      {24, 0xFF0000, 0xFF00, 0xFF, 0, {8, 8, 8, 0}, {16, 8, 0, 0}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bits << " bits, red " << std::hex << c.r);
    PixelFormat f{};
    f.Palette[7].Green = 0x42;
    f.BlockCompression = 3;
    ASSERT_EQ(SetupPixelFormat(&f, c.bits, c.r, c.g, c.b, c.a), 0);
    EXPECT_EQ(f.BitsPerPixel, c.bits);
    EXPECT_EQ(f.BytesPerPixel, c.bits / 8);
    EXPECT_EQ(f.BlockCompression, 0u);
    EXPECT_EQ(f.RedMask, c.r);
    EXPECT_EQ(f.AlphaMask, c.a);
    const int widths[4] = {f.RedWidth, f.GreenWidth, f.BlueWidth, f.AlphaWidth};
    const int shifts[4] = {f.RedShift, f.GreenShift, f.BlueShift, f.AlphaShift};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(widths[i], c.widths[i]) << "channel " << i;
      EXPECT_EQ(shifts[i], c.shifts[i]) << "channel " << i;
    }
    EXPECT_EQ(f.SpareMask, c.spare);
    EXPECT_EQ(f.SpareShift, c.spareShift);
    EXPECT_EQ(f.SpareWidth, c.spareWidth);
    EXPECT_EQ(f.Palette[7].Green, 0x42) << "the palette is not touched";
  }
}

TEST(PixelFormat, SetupRefusesMasksThatCannotDescribeChannels) {
  PixelFormat f{};
  ASSERT_EQ(SetupPixelFormat(&f, 16, 0xF800, 0x7E0, 0x1F, 0), 0);
  const PixelFormat before = f;
  EXPECT_EQ(SetupPixelFormat(&f, 16, 0xF0F0, 0, 0, 0), -1) << "gap in a mask";
  EXPECT_EQ(SetupPixelFormat(&f, 16, 0x1F0000, 0x7E0, 0x1F, 0), -1) << "mask past 16 bits";
  EXPECT_EQ(SetupPixelFormat(&f, 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(SetupPixelFormat(&f, 64, 0xFF, 0, 0, 0), -1);
  EXPECT_EQ(memcmp(&f, &before, sizeof f), 0);
}

TEST(PixelFormat, FixedFormats) {
  PixelFormat f{};
  f.SpareShift = 5;
  SetupARGB8PixelFormat(&f);
  EXPECT_EQ(f.BitsPerPixel, 32);
  EXPECT_EQ(f.AlphaMask, 0xFF000000u);
  EXPECT_EQ(f.AlphaWidth, 8);
  EXPECT_EQ(f.AlphaShift, 24);
  EXPECT_EQ(f.SpareMask, 0u);

  SetupXRGB8PixelFormat(&f);
  EXPECT_EQ(f.AlphaMask, 0u);
  EXPECT_EQ(f.AlphaWidth, 0);
  EXPECT_EQ(f.SpareMask, 0xFF000000u);
  EXPECT_EQ(f.SpareShift, 24);
  EXPECT_EQ(f.SpareWidth, 8);

  SetupRGB8PixelFormat(&f);
  EXPECT_EQ(f.BitsPerPixel, 24);
  EXPECT_EQ(f.BytesPerPixel, 3);
  EXPECT_EQ(f.SpareMask, 0u);

  f.Palette[3] = PaletteEntry{1, 2, 3, 4};
  f.BlockCompression = 1;
  SetupPalettePixelFormat(&f);
  EXPECT_EQ(f.BytesPerPixel, 1);
  EXPECT_EQ(f.RedMask, 0xFF0000u);
  EXPECT_EQ(f.SpareMask, 0xFF000000u);
  EXPECT_EQ(f.BlockCompression, 0u);
  EXPECT_EQ(f.Palette[3].Red, 3) << "palette kept";

  SetupGrayPalettePixelFormat(&f);
  for (int i : {0, 1, 128, 255}) {
    EXPECT_EQ(f.Palette[i].Red, i);
    EXPECT_EQ(f.Palette[i].Green, i);
    EXPECT_EQ(f.Palette[i].Blue, i);
    EXPECT_EQ(f.Palette[i].Alpha, 0);
  }
}

TEST(PixelFormat, UpdateSpareBitsMask) {
  PixelFormat f = TestFormatX1R5G5B5();
  f.SpareMask = 0;
  EXPECT_EQ(UpdateSpareBitsMask(&f), &f);
  EXPECT_EQ(f.SpareMask, 0x8000u);
  f = TestFormatARGB8();
  f.SpareMask = 0x1234;
  UpdateSpareBitsMask(&f);
  EXPECT_EQ(f.SpareMask, 0u) << "the widths fill all 32 bits";
}

TEST(PixelFormat, MakePixelValue) {
  struct Case {
    const char* name;
    PixelFormat format;
    int r, g, b, a;
    uint32_t expected;
  };
  const Case cases[] = {
      {"X8R8G8B8 sets the spare byte", TestFormatXRGB8(), 1, 2, 3, 77, 0xFF010203},
      {"X1R5G5B5 red", TestFormatX1R5G5B5(), 255, 0, 0, 0, 0xFC00},
      {"R5G6B5 keeps top bits", TestFormatR5G6B5(), 0x0F, 0x07, 0xFF, 0, 0x83F},
      {"A8R8G8B8 alpha", TestFormatARGB8(), 0x10, 0x20, 0x30, 0x80, 0x80102030},
      {"A4R4G4B4 alpha narrowed", TestFormatA4R4G4B4(), 0xFF, 0x80, 0x1F, 0x7F, 0x7F81},
      {"arguments used as bytes", TestFormatARGB8(), 0x1FF, -1, 0x100, 0x2FF, 0xFFFFFF00},
      {"10-bit channels", MakeTestFormat(32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000), 255, 0, 1,
       255, 0xC0000000u | 0x3FC00000u | 4u},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MakePixelValue(&c.format, c.r, c.g, c.b, c.a), c.expected) << c.name;
}

TEST(PixelFormat, MakePixelValueOnPaletteFindsNearestLowestOnTies) {
  // Entries 1 and 2 are equally near to (100, 100, 100); entry 3 is exact for white.
  PixelFormat f = TestFormatPalette({0x000000, 0x5A6464, 0x6E6464, 0xFFFFFF});
  EXPECT_EQ(MakePixelValue(&f, 100, 100, 100, 0), 1u);
  EXPECT_EQ(MakePixelValue(&f, 255, 255, 255, 0), 3u);
  EXPECT_EQ(MakePixelValue(&f, 10, 0, 0, 0), 0u) << "entries 4.. are black too; lowest wins";
  EXPECT_EQ(FindNearestPaletteIndex(&f, 0x6E, 0x64, 0x64), 2);
}

TEST(PixelFormat, SplitPixelValue) {
  struct Case {
    const char* name;
    PixelFormat format;
    uint32_t value;
    int r, g, b, a;
  };
  const Case cases[] = {
      {"R5G6B5 white", TestFormatR5G6B5(), 0xFFFF, 255, 255, 255, 0},
      {"R5G6B5 middle", TestFormatR5G6B5(), 0x8410, 131, 129, 131, 0},
      {"A8R8G8B8 as stored", TestFormatARGB8(), 0x80102030, 0x10, 0x20, 0x30, 0x80},
      {"X8R8G8B8 has no alpha", TestFormatXRGB8(), 0xFF102030, 0x10, 0x20, 0x30, 0},
      {"A1R5G5B5 alpha scaled", TestFormatA1R5G5B5(), 0x8000, 0, 0, 0, 255},
      {"8-8-8 with a 2-bit alpha", MakeTestFormat(32, 0xFF0000, 0xFF00, 0xFF, 0x3000000), 0x2123456,
       0x12, 0x34, 0x56, 170},
  };
  for (const Case& c : cases) {
    int r = -1, g = -1, b = -1, a = -1;
    SplitPixelValue(&c.format, c.value, &r, &g, &b, &a);
    EXPECT_EQ(r, c.r) << c.name;
    EXPECT_EQ(g, c.g) << c.name;
    EXPECT_EQ(b, c.b) << c.name;
    EXPECT_EQ(a, c.a) << c.name;
  }
  int g = -1;
  const PixelFormat f = TestFormatR5G6B5();
  SplitPixelValue(&f, 0x07E0, nullptr, &g, nullptr, nullptr);
  EXPECT_EQ(g, 255) << "null outputs are skipped";
}

TEST(PixelFormat, RescaleChannel) {
  struct Case {
    uint32_t value;
    int from, to;
    uint32_t expected;
  };
  const Case cases[] = {
      {31, 5, 8, 255},    {16, 5, 8, 131},       {0, 5, 8, 0}, {63, 6, 8, 255}, {1, 1, 8, 255},
      {0xAB, 8, 5, 0x15}, {0xFF, 8, 16, 0xFFFF}, {7, 3, 3, 7}, {5, 0, 8, 0},    {200, 8, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RescaleChannel(c.value, c.from, c.to), c.expected)
        << c.value << " from " << c.from << " to " << c.to << " bits";
}

}  // namespace
