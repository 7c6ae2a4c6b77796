#include "runtime/graphics/image/pixel_conversion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "tests/support/image_fixtures.h"

namespace {

struct Options {
  int mirror = 0;
  int keyToAlpha = 0;
  uint32_t key = 0;
  int dither = 0;
  int zeroColour = 0;
  int alphaFromRed = 0;
  int skipKey = 0;
  int remapPalette = 0;
};

int Convert(GuardedImage& dst, const PixelFormat& dstFormat, int dstX, int dstY,
            const GuardedImage& src, const PixelFormat& srcFormat, RECT rect, const Options& o,
            const GuardedImage* alpha = nullptr, const PixelFormat* alphaFormat = nullptr) {
  return ConvertImagePixels(dst.Pixels(), dst.Pitch(), &dstFormat, src.Pixels(), src.Pitch(),
                            &srcFormat, alpha != nullptr ? alpha->Pixels() : nullptr,
                            alpha != nullptr ? alpha->Pitch() : 0, alphaFormat, dstX, dstY, &rect,
                            o.mirror, o.keyToAlpha, o.key, o.dither, o.zeroColour, o.alphaFromRed,
                            o.skipKey, o.remapPalette);
}

// Converts one pixel value and returns the destination value.
uint32_t ConvertOne(const PixelFormat& srcFormat, uint32_t value, const PixelFormat& dstFormat,
                    const Options& o = {}) {
  GuardedImage src(1, 1, srcFormat.BytesPerPixel);
  GuardedImage dst(1, 1, dstFormat.BytesPerPixel);
  src.Set(0, 0, value);
  dst.Set(0, 0, 0);
  dst.Snapshot();
  EXPECT_EQ(Convert(dst, dstFormat, 0, 0, src, srcFormat, RECT{0, 0, 1, 1}, o), 0);
  EXPECT_EQ(dst.ChangesOutside(0, 0, 1, 1), "");
  return dst.Get(0, 0);
}

const uint32_t kMagenta = 0xFF00FF;
// A palette whose entry 1 is magenta (alpha byte 0, as the loaders store it), entry 2 has an
// alpha byte of its own.
PixelFormat KeyPalette() {
  return TestFormatPalette({0x00000000, 0x00FF00FF, 0x12FF8010, 0x00FF8010});
}

TEST(PixelConversion, CasesOfTheCommonPairs) {
  Options key;
  key.keyToAlpha = 1;
  key.key = kMagenta;
  const PixelFormat pal = KeyPalette();
  const PixelFormat r565 = TestFormatR5G6B5(), x555 = TestFormatX1R5G5B5(),
                    a555 = TestFormatA1R5G5B5(), rgb8 = TestFormatRGB8(), xrgb8 = TestFormatXRGB8(),
                    argb8 = TestFormatARGB8();
  struct Case {
    const char* name;
    const PixelFormat* src;
    uint32_t value;
    const PixelFormat* dst;
    const Options* options;
    uint32_t expected;
  };
  const Options none;
  const Case cases[] = {
      // Channels narrowed by keeping their top bits, widened with zero low bits.
      {"palette to 565", &pal, 3, &r565, &none, 0xFC02},
      {"palette to X555 sets bit 15", &pal, 3, &x555, &none, 0xFE02},
      {"palette to XRGB8", &pal, 2, &xrgb8, &none, 0xFFFF8010},
      {"RGB8 to 565", &rgb8, 0xFF8010, &r565, &none, 0xFC02},
      {"RGB8 to X555", &rgb8, 0xFF8010, &x555, &none, 0xFE02},
      {"RGB8 to XRGB8", &rgb8, 0xFF8010, &xrgb8, &none, 0xFFFF8010},
      {"XRGB8 to 565", &xrgb8, 0x12FF8010, &r565, &none, 0xFC02},
      {"565 to RGB8", &r565, 0xFC02, &rgb8, &none, 0xF88010},
      {"565 white to XRGB8 leaves the top byte 0", &r565, 0xFFFF, &xrgb8, &none, 0x00F8FCF8},
      {"565 to X555 leaves bit 15 0", &r565, 0xFC02, &x555, &none, 0x7E02},
      {"X555 to 565 repeats green's low bit", &x555, 0xFE23, &r565, &none, 0xFC63},
      // Key to alpha on the direct loops.
      {"palette key to A555", &pal, 1, &a555, &key, 0x7C1F},
      {"palette to A555", &pal, 3, &a555, &key, 0xFE02},
      {"palette key to ARGB8", &pal, 1, &argb8, &key, 0x00FF00FF},
      {"palette to ARGB8", &pal, 3, &argb8, &key, 0xFFFF8010},
      {"RGB8 key to A555", &rgb8, kMagenta, &a555, &key, 0x7C1F},
      {"RGB8 to A555", &rgb8, 0xFF8010, &a555, &key, 0xFE02},
      {"RGB8 key to ARGB8", &rgb8, kMagenta, &argb8, &key, 0x00FF00FF},
      {"RGB8 to ARGB8", &rgb8, 0xFF8010, &argb8, &key, 0xFFFF8010},
      {"565 key to A555", &r565, 0xF81F, &a555, &key, 0x7C1F},
      {"565 to A555", &r565, 0xFC02, &a555, &key, 0xFE02},
      {"565 key to ARGB8", &r565, 0xF81F, &argb8, &key, 0x00F800F8},
      {"565 to ARGB8", &r565, 0xFC02, &argb8, &key, 0xFFF88010},
      // The general path fills widened channels to full scale and gives full alpha.
      {"565 white to ARGB8, general", &r565, 0xFFFF, &argb8, &none, 0xFFFFFFFF},
      {"565 middle to ARGB8, general", &r565, 0x8410, &argb8, &none, 0xFF838183},
      // Key to alpha in place: the source's top byte does not hide the key.
      {"XRGB8 key to ARGB8", &xrgb8, 0x00FF00FF, &argb8, &key, 0x00FF00FF},
      {"XRGB8 key with a top byte", &xrgb8, 0x7FFF00FF, &argb8, &key, 0x00FF00FF},
      {"XRGB8 other to ARGB8", &xrgb8, 0x00123456, &argb8, &key, 0xFF123456},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ConvertOne(*c.src, c.value, *c.dst, *c.options), c.expected) << c.name;
}

TEST(PixelConversion, KeyToAlphaInPlaceIgnoresSpareBitsOfSixteenBitSources) {
  // X1R5G5B5 into A1R5G5B5 with the same colour masks: a magenta pixel is the key whether
  // its spare bit is set or not.
  Options key;
  key.keyToAlpha = 1;
  key.key = kMagenta;
  const PixelFormat x555 = TestFormatX1R5G5B5(), a555 = TestFormatA1R5G5B5();
  EXPECT_EQ(ConvertOne(x555, 0x7C1F, a555, key), 0x7C1Fu);
  EXPECT_EQ(ConvertOne(x555, 0xFC1F, a555, key), 0x7C1Fu);
  EXPECT_EQ(ConvertOne(x555, 0x0001, a555, key), 0x8001u);
}

TEST(PixelConversion, KeyToAlphaOnTheGeneralPath) {
  Options key;
  key.keyToAlpha = 1;
  key.key = kMagenta;
  const PixelFormat a4 = TestFormatA4R4G4B4();
  // A palette source matches the key through its nearest entry's colour: index 1 is magenta,
  // index 3 is not; entry 2 has the same colour as 3 but its own alpha byte is not the key.
  const PixelFormat pal = KeyPalette();
  EXPECT_EQ(ConvertOne(pal, 1, a4, key), 0x0F0Fu);
  EXPECT_EQ(ConvertOne(pal, 3, a4, key), 0xFF81u);
  // A 565 source compares the key in its own precision: 0xF81F is magenta there.
  EXPECT_EQ(ConvertOne(TestFormatR5G6B5(), 0xF81F, a4, key), 0x0F0Fu);
  EXPECT_EQ(ConvertOne(TestFormatR5G6B5(), 0xF83F, a4, key), 0xFF0Fu);
  // A source with alpha gives its own alpha: the key is not used.
  EXPECT_EQ(ConvertOne(TestFormatARGB8(), 0x80FF00FF, a4, key), 0x8F0Fu);
}

TEST(PixelConversion, SkipKeyLeavesKeyPixelsUnwritten) {
  // The key is a raw value of the source's own size; a 32-bit source ignores its spare byte.
  Options skip;
  skip.skipKey = 1;
  struct Case {
    const char* name;
    PixelFormat src, dst;
    uint32_t key, keyValue, otherValue, otherExpected;
  };
  const Case cases[] = {
      {"XRGB8 into ARGB8", TestFormatXRGB8(), TestFormatARGB8(), kMagenta, 0x55FF00FF, 0x55123456,
       0xFF123456},
      {"same layout, 24-bit", TestFormatRGB8(), TestFormatRGB8(), 0x77FF00FF, 0xFF00FF, 0x123456,
       0x123456},
      {"general, 565 into XRGB8", TestFormatR5G6B5(), TestFormatXRGB8(), 0xABCDF81F, 0xF81F, 0x8410,
       0xFF838183},
      {"general, XRGB8 into RGB8", TestFormatXRGB8(), TestFormatRGB8(), kMagenta, 0x12FF00FF,
       0x12123456, 0x123456},
  };
  for (const Case& c : cases) {
    skip.key = c.key;
    GuardedImage src(2, 1, c.src.BytesPerPixel), dst(2, 1, c.dst.BytesPerPixel);
    src.Set(0, 0, c.keyValue);
    src.Set(1, 0, c.otherValue);
    dst.Snapshot();
    ASSERT_EQ(Convert(dst, c.dst, 0, 0, src, c.src, RECT{0, 0, 2, 1}, skip), 0) << c.name;
    EXPECT_EQ(dst.ChangesOutside(1, 0, 1, 1), "") << c.name << ": key pixel written";
    EXPECT_EQ(dst.Get(1, 0), c.otherExpected) << c.name;
  }
  // A palette source compares its index with the key's low byte.
  const PixelFormat pal = KeyPalette();
  GuardedImage src(3, 1, 1), dst(3, 1, 4);
  src.Set(0, 0, 1);
  src.Set(1, 0, 0xFF);
  src.Set(2, 0, 3);
  dst.Snapshot();
  skip.key = kMagenta;
  ASSERT_EQ(Convert(dst, TestFormatARGB8(), 0, 0, src, pal, RECT{0, 0, 3, 1}, skip), 0);
  EXPECT_TRUE(dst.PixelChanged(0, 0));
  EXPECT_FALSE(dst.PixelChanged(1, 0)) << "index 0xFF, the key's low byte, is skipped";
  EXPECT_TRUE(dst.PixelChanged(2, 0));
}

TEST(PixelConversion, OrderedDitherPatternFromTheRectangleCorner) {
  // A flat 0x88 per channel narrowed to 4 bits: 8 or 9 by the 4 x 4 matrix, starting at the
  // rectangle's top-left although the rectangle starts at (1, 1) of the source.
  const PixelFormat argb8 = TestFormatARGB8(), a4 = TestFormatA4R4G4B4();
  GuardedImage src(9, 9, 4), dst(8, 8, 2);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) src.Set(x, y, 0x88888888);
  Options o;
  o.dither = DitherOrdered;
  ASSERT_EQ(Convert(dst, a4, 0, 0, src, argb8, RECT{1, 1, 9, 9}, o), 0);
  const int matrix[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const uint32_t c = matrix[(x & 3) + (y & 3) * 4] < 8 ? 9 : 8;
      EXPECT_EQ(dst.Get(x, y), c * 0x1111) << x << ", " << y;
    }
  // Without dithering every pixel is 8.
  o.dither = DitherNone;
  ASSERT_EQ(Convert(dst, a4, 0, 0, src, argb8, RECT{1, 1, 9, 9}, o), 0);
  EXPECT_EQ(dst.Get(0, 0), 0x8888u);
}

TEST(PixelConversion, RunningCarryDitherIsNotResetPerRow) {
  const PixelFormat argb8 = TestFormatARGB8(), a4 = TestFormatA4R4G4B4();
  GuardedImage src(3, 2, 4), dst(3, 2, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) src.Set(x, y, 0x88888888);
  Options o;
  o.dither = DitherCarry;
  ASSERT_EQ(Convert(dst, a4, 0, 0, src, argb8, RECT{0, 0, 3, 2}, o), 0);
  // The dropped 8 of each pixel adds up: every second pixel, counted across rows, is raised.
  const uint32_t expected[6] = {0x8888, 0x9999, 0x8888, 0x9999, 0x8888, 0x9999};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(dst.Get(i % 3, i / 3), expected[i]) << i;
}

TEST(PixelConversion, DitherClampsAtFullScale) {
  const PixelFormat argb8 = TestFormatARGB8(), a4 = TestFormatA4R4G4B4();
  Options o;
  o.dither = DitherOrdered;
  EXPECT_EQ(ConvertOne(argb8, 0xFFFFFFFF, a4, o), 0xFFFFu);
  EXPECT_EQ(ConvertOne(argb8, 0xF8F8F8F8, a4, o), 0xFFFFu) << "15 raised stays 15";
}

TEST(PixelConversion, PaletteDestinations) {
  // Different palettes with remapping: each index goes to the nearest destination entry; of
  // two equal entries the lower index wins.
  const PixelFormat src = TestFormatPalette({0x000000, 0xFF0000, 0xFFFFFF});
  const PixelFormat dst = TestFormatPalette({0xFFFFFF, 0x000000, 0xFE0000, 0xFE0000});
  GuardedImage in(3, 1, 1), out(3, 1, 1);
  for (int i = 0; i < 3; ++i) in.Set(i, 0, static_cast<uint32_t>(i));
  Options remap;
  remap.remapPalette = 1;
  EXPECT_EQ(Convert(out, dst, 0, 0, in, src, RECT{0, 0, 3, 1}, remap), 0);
  EXPECT_EQ(out.Get(0, 0), 1u);
  EXPECT_EQ(out.Get(1, 0), 2u);
  EXPECT_EQ(out.Get(2, 0), 0u);

  // Identical palettes: indices copied; the result is the highest index copied.
  GuardedImage many(4, 1, 1);
  const uint32_t indices[4] = {3, 7, 2, 0};
  for (int i = 0; i < 4; ++i) many.Set(i, 0, indices[i]);
  GuardedImage copy(4, 1, 1);
  EXPECT_EQ(Convert(copy, src, 0, 0, many, src, RECT{0, 0, 4, 1}, remap), 7);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(copy.Get(i, 0), indices[i]);
  EXPECT_EQ(Convert(copy, dst, 0, 0, many, src, RECT{0, 0, 4, 1}, Options{}), 7)
      << "without remapping the indices are copied whatever the palettes";

  // 16-bit pixels into a palette are matched at full 8-bit scale: 565 full red, green and
  // blue find the full entries, not those that hold the channels' unscaled 31 and 63.
  const PixelFormat primaries = TestFormatPalette(
      {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x1F0000, 0x003F00, 0x00001F, 0x838183});
  const PixelFormat r565 = TestFormatR5G6B5();
  EXPECT_EQ(ConvertOne(r565, 0xF800, primaries), 1u);
  EXPECT_EQ(ConvertOne(r565, 0x07E0, primaries), 2u);
  EXPECT_EQ(ConvertOne(r565, 0x001F, primaries), 3u);
  EXPECT_EQ(ConvertOne(r565, 0x8410, primaries), 7u);
  EXPECT_EQ(ConvertOne(r565, 0x0000, primaries), 0u);
  EXPECT_EQ(ConvertOne(TestFormatX1R5G5B5(), 0x03E0, primaries), 2u);
  EXPECT_EQ(ConvertOne(TestFormatXRGB8(), 0x00838183, primaries), 7u);
}

TEST(PixelConversion, AlphaImageGivesAlpha) {
  // A grey palette alpha image: its red channel is the alpha, rescaled to the destination.
  PixelFormat grey{};
  SetupGrayPalettePixelFormat(&grey);
  GuardedImage src(2, 1, 3), alpha(2, 1, 1), dst(2, 1, 4), dst4(2, 1, 2);
  src.Set(0, 0, 0x102030);
  src.Set(1, 0, 0x405060);
  alpha.Set(0, 0, 0x00);
  alpha.Set(1, 0, 0xC8);
  ASSERT_EQ(Convert(dst, TestFormatARGB8(), 0, 0, src, TestFormatRGB8(), RECT{0, 0, 2, 1},
                    Options{}, &alpha, &grey),
            0);
  EXPECT_EQ(dst.Get(0, 0), 0x00102030u);
  EXPECT_EQ(dst.Get(1, 0), 0xC8405060u);
  ASSERT_EQ(Convert(dst4, TestFormatA4R4G4B4(), 0, 0, src, TestFormatRGB8(), RECT{0, 0, 2, 1},
                    Options{}, &alpha, &grey),
            0);
  EXPECT_EQ(dst4.Get(1, 0), 0xC456u);
  // A destination without alpha ignores the alpha image.
  GuardedImage plain(2, 1, 4);
  ASSERT_EQ(Convert(plain, TestFormatXRGB8(), 0, 0, src, TestFormatRGB8(), RECT{0, 0, 2, 1},
                    Options{}, &alpha, &grey),
            0);
  EXPECT_EQ(plain.Get(1, 0), 0xFF405060u);
}

TEST(PixelConversion, ZeroColourAndAlphaFromRedMakeSingleChannelImages) {
  const PixelFormat single8 = MakeTestFormat(8, 0xFF, 0xFF, 0xFF, 0xFF);
  Options o;
  o.zeroColour = 1;
  o.alphaFromRed = 1;
  EXPECT_EQ(ConvertOne(TestFormatXRGB8(), 0x00C81234, single8, o), 0xC8u);
  // A 5-bit red is taken as read, not rescaled.
  EXPECT_EQ(ConvertOne(TestFormatR5G6B5(), 0xF800, single8, o), 0x1Fu);
  o.alphaFromRed = 0;
  EXPECT_EQ(ConvertOne(TestFormatARGB8(), 0x7F123456, TestFormatARGB8(), o), 0x7F000000u);
}

TEST(PixelConversion, RefusesEmptyRectanglesAndBlockData) {
  const PixelFormat argb8 = TestFormatARGB8();
  GuardedImage src(4, 4, 4), dst(4, 4, 4);
  dst.Snapshot();
  const RECT empty[] = {{1, 1, 1, 3}, {1, 1, 3, 1}, {3, 0, 1, 2}, {0, 3, 2, 1}};
  for (const RECT& r : empty) EXPECT_EQ(Convert(dst, argb8, 0, 0, src, argb8, r, Options{}), -1);
  PixelFormat dxt = argb8;
  dxt.BitsPerPixel = 4;
  dxt.BytesPerPixel = 0;
  dxt.BlockCompression = 1;
  EXPECT_EQ(Convert(dst, argb8, 0, 0, src, dxt, RECT{0, 0, 4, 4}, Options{}), -1);
  EXPECT_EQ(Convert(dst, dxt, 0, 0, src, argb8, RECT{0, 0, 4, 4}, Options{}), -1);
  EXPECT_EQ(dst.ChangesOutside(0, 0, 0, 0), "");
}

// The formats the system works with: image files, textures, the software renderer's images.
struct NamedFormat {
  const char* name;
  PixelFormat format;
};

std::vector<NamedFormat> SystemFormats() {
  std::vector<uint32_t> entries;
  std::mt19937 rng(7);
  while (entries.size() < 256) {
    const uint32_t e = rng() & 0xFFFFFF;
    bool seen = false;
    for (uint32_t old : entries) seen = seen || old == e;
    if (!seen) entries.push_back(e);
  }
  return {
      {"palette", TestFormatPalette(entries)},
      {"R5G6B5", TestFormatR5G6B5()},
      {"X1R5G5B5", TestFormatX1R5G5B5()},
      {"A1R5G5B5", TestFormatA1R5G5B5()},
      {"A4R4G4B4", TestFormatA4R4G4B4()},
      {"X4R4G4B4", MakeTestFormat(16, 0xF00, 0xF0, 0xF, 0)},
      {"A8R3G3B2", MakeTestFormat(16, 0xE0, 0x1C, 0x3, 0xFF00)},
      {"RGB8", TestFormatRGB8()},
      {"XRGB8", TestFormatXRGB8()},
      {"ARGB8", TestFormatARGB8()},
      {"A8B8G8R8", MakeTestFormat(32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000)},
      {"X8B8G8R8", MakeTestFormat(32, 0xFF, 0xFF00, 0xFF0000, 0)},
      {"A2R10G10B10", MakeTestFormat(32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000)},
      {"R5G6B5 with alpha byte", MakeTestFormat(32, 0xF800, 0x7E0, 0x1F, 0xFF0000)},
  };
}

bool IsPalette(const PixelFormat& f) { return f.BytesPerPixel == 1; }

// B keeps every bit of A: each channel at least as wide (a palette only keeps a palette).
bool Holds(const PixelFormat& b, const PixelFormat& a) {
  if (IsPalette(b)) return IsPalette(a);
  return b.RedWidth >= a.RedWidth && b.GreenWidth >= a.GreenWidth && b.BlueWidth >= a.BlueWidth &&
         b.AlphaWidth >= a.AlphaWidth;
}

uint32_t InformationBits(const PixelFormat& f) {
  return IsPalette(f) ? 0xFF : f.RedMask | f.GreenMask | f.BlueMask | f.AlphaMask;
}

void FillRandom(GuardedImage& img, std::mt19937& rng) {
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x) img.Set(x, y, rng());
}

TEST(PixelConversion, RoundTripThroughAWiderFormatGivesTheImageBack) {
  const std::vector<NamedFormat> formats = SystemFormats();
  std::mt19937 rng(1234);
  int pairs = 0;
  for (const NamedFormat& a : formats) {
    for (const NamedFormat& b : formats) {
      if (!Holds(b.format, a.format)) continue;
      ++pairs;
      // 19 x 17 takes the table path of the general case, 5 x 3 the per-pixel one.
      for (const int w : {19, 5}) {
        for (const int mirror : {0, 1}) {
          const int h = w == 19 ? 17 : 3;
          SCOPED_TRACE(std::string(a.name) + " -> " + b.name + (mirror ? " mirrored" : "") + " " +
                       std::to_string(w) + " wide");
          const int ab = a.format.BytesPerPixel, bb = b.format.BytesPerPixel;
          GuardedImage src(w, h, ab), mid(w, h, bb), back(w, h, ab);
          FillRandom(src, rng);
          Options o;
          o.mirror = mirror;
          ASSERT_GE(Convert(mid, b.format, 0, 0, src, a.format, RECT{0, 0, w, h}, o), 0);
          ASSERT_GE(Convert(back, a.format, 0, 0, mid, b.format, RECT{0, 0, w, h}, o), 0);
          const uint32_t bits = InformationBits(a.format);
          int wrong = 0;
          for (int y = 0; y < h && wrong < 3; ++y)
            for (int x = 0; x < w && wrong < 3; ++x)
              if ((back.Get(x, y) & bits) != (src.Get(x, y) & bits)) {
                ++wrong;
                ADD_FAILURE() << "pixel " << x << ", " << y << ": " << std::hex << src.Get(x, y)
                              << " came back as " << back.Get(x, y) << " via "
                              << mid.Get(mirror ? w - 1 - x : x, y);
              }
        }
      }
    }
  }
  EXPECT_GT(pairs, 40) << "the holds rule must leave many pairs to check";
}

TEST(PixelConversion, WholeRectangleAgreesWithPixelByPixel) {
  // A large rectangle takes the table-driven loop; single pixels take the per-pixel loop.
  // Both must give the same bits for every pair.
  const std::vector<NamedFormat> formats = SystemFormats();
  std::mt19937 rng(99);
  const int w = 20, h = 16;
  for (const NamedFormat& a : formats) {
    for (const NamedFormat& b : formats) {
      if (IsPalette(b.format)) continue;
      SCOPED_TRACE(std::string(a.name) + " -> " + b.name);
      GuardedImage src(w, h, a.format.BytesPerPixel), whole(w, h, b.format.BytesPerPixel),
          single(w, h, b.format.BytesPerPixel);
      FillRandom(src, rng);
      ASSERT_EQ(Convert(whole, b.format, 0, 0, src, a.format, RECT{0, 0, w, h}, Options{}), 0);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(
              Convert(single, b.format, x, y, src, a.format, RECT{x, y, x + 1, y + 1}, Options{}),
              0);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(whole.Get(x, y), single.Get(x, y)) << x << ", " << y;
    }
  }
}

// Mirroring, colour keys and alpha images on odd sizes, with every buffer guarded.
TEST(PixelConversion, OddSizesWriteOnlyTheDestinationRectangle) {
  PixelFormat grey{};
  SetupGrayPalettePixelFormat(&grey);
  const PixelFormat pal = KeyPalette();
  struct Pair {
    const char* name;
    PixelFormat src, dst;
  };
  const Pair pairs[] = {
      {"XRGB8 -> ARGB8", TestFormatXRGB8(), TestFormatARGB8()},
      {"RGB8 -> RGB8", TestFormatRGB8(), TestFormatRGB8()},
      {"565 -> RGB8", TestFormatR5G6B5(), TestFormatRGB8()},
      {"565 -> A555", TestFormatR5G6B5(), TestFormatA1R5G5B5()},
      {"RGB8 -> A4R4G4B4", TestFormatRGB8(), TestFormatA4R4G4B4()},
      {"palette -> ARGB8", pal, TestFormatARGB8()},
      {"palette -> palette", pal, pal},
      {"ARGB8 -> 565", TestFormatARGB8(), TestFormatR5G6B5()},
  };
  struct Variant {
    const char* name;
    Options options;
    bool alphaImage;
  };
  Variant variants[4] = {{"mirror", {}, false},
                         {"key to alpha", {}, false},
                         {"skip key", {}, false},
                         {"alpha image, mirror", {}, true}};
  variants[0].options.mirror = 1;
  variants[1].options.keyToAlpha = 1;
  variants[1].options.mirror = 1;
  variants[1].options.key = kMagenta;
  variants[2].options.skipKey = 1;
  variants[2].options.key = kMagenta;
  variants[3].options.mirror = 1;
  const int sizes[3][2] = {{1, 1}, {3, 5}, {17, 2}};
  std::mt19937 rng(5);
  for (const Pair& p : pairs)
    for (const Variant& v : variants)
      for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        SCOPED_TRACE(std::string(p.name) + ", " + v.name + ", " + std::to_string(w) + " x " +
                     std::to_string(h));
        // The source rectangle sits at (1, 2) of its image, the destination at (2, 1).
        GuardedImage src(w + 2, h + 3, p.src.BytesPerPixel, 3);
        GuardedImage alpha(w + 2, h + 3, 1, 5);
        GuardedImage dst(w + 4, h + 2, p.dst.BytesPerPixel, 1);
        FillRandom(src, rng);
        FillRandom(alpha, rng);
        src.Set(1, 2, p.src.BytesPerPixel == 1 ? 1 : MakePixelValue(&p.src, 255, 0, 255, 255));
        src.Snapshot();
        alpha.Snapshot();
        dst.Snapshot();
        const int r = Convert(dst, p.dst, 2, 1, src, p.src, RECT{1, 2, 1 + w, 2 + h}, v.options,
                              v.alphaImage ? &alpha : nullptr, v.alphaImage ? &grey : nullptr);
        EXPECT_GE(r, 0);
        EXPECT_EQ(dst.ChangesOutside(2, 1, w, h), "");
        EXPECT_EQ(src.ChangesOutside(0, 0, 0, 0), "");
        EXPECT_EQ(alpha.ChangesOutside(0, 0, 0, 0), "");
        // Each pixel landed where it belongs: converted alone, it gives the same value.
        if (v.options.skipKey == 0) {
          for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
              // Mirroring may choose another path; on one pixel it moves nothing.
              const Options alone = v.options;
              GuardedImage one(1, 1, p.dst.BytesPerPixel);
              GuardedImage a1(1, 1, 1);
              a1.Set(0, 0, alpha.Get(1 + x, 2 + y));
              GuardedImage s1(1, 1, p.src.BytesPerPixel);
              s1.Set(0, 0, src.Get(1 + x, 2 + y));
              Convert(one, p.dst, 0, 0, s1, p.src, RECT{0, 0, 1, 1}, alone,
                      v.alphaImage ? &a1 : nullptr, v.alphaImage ? &grey : nullptr);
              const int dx = v.options.mirror ? 2 + w - 1 - x : 2 + x;
              ASSERT_EQ(dst.Get(dx, 1 + y), one.Get(0, 0)) << x << ", " << y;
            }
        }
      }
}

}  // namespace
