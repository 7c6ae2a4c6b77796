// The primitives as whole draws: which pixels they write in a destination with canary borders,
// their refusals, and how they relate to each other.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/draw_primitives.h"
#include "runtime/softrender/memimg.h"
#include "tests/softrender/memimg_fixture.h"

namespace {

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

constexpr uint32_t kBackground = 0x5A000000;

// The pixels that differ from the background; the canaries must hold.
PixelSet Changed(CanaryImage& img, uint32_t background = kBackground) {
  EXPECT_TRUE(img.CanariesIntact());
  PixelSet out;
  for (int y = 0; y < img.image.height; ++y)
    for (int x = 0; x < img.image.width; ++x)
      if (img.Get(x, y) != background) out.insert({x, y});
  return out;
}

PixelSet Rect(int x0, int y0, int x1, int y1) {
  PixelSet out;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) out.insert({x, y});
  return out;
}

// A source whose texel (i, j) holds a value of its own.
void Distinct(CanaryImage& src) {
  for (int y = 0; y < src.image.height; ++y)
    for (int x = 0; x < src.image.width; ++x)
      src.Set(x, y, 0x00100000u * (x + 1) + 0x0100u * (y + 1) + 1);
}

struct PrimitiveDraws : ::testing::Test {
  DrawStateGuard state;
  CanaryImage dst{12, 10, Xrgb8888};
  PrimitiveDraws() {
    dst.Fill(kBackground);
    DrawArea = {0, 0, 12, 10};
    SoftDrawTarget = &dst.image;
  }
  ~PrimitiveDraws() override { SoftDrawTarget = nullptr; }
};

TEST_F(PrimitiveDraws, FlatTriangleCoversFourteenPixels) {
  const int32_t v[12] = {0, 0, 0, 0, 4, 0, 0, 0, 0, 4, 0, 0};
  DrawMemImgTriangle(&dst.image, nullptr, v, 0, nullptr, 0x00123456);
  PixelSet want;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x <= 4 - y; ++x) want.insert({x, y});
  EXPECT_EQ(Changed(dst), want);
  EXPECT_EQ(want.size(), 14u);
  EXPECT_EQ(dst.Get(0, 0), 0x00123456u);
}

TEST_F(PrimitiveDraws, QuadShowsTheSourceAndBlendsTheDiagonalTwice) {
  CanaryImage src(4, 4, Xrgb8888);
  Distinct(src);
  const int32_t corners[8] = {0, 0, 4, 0, 0, 4, 4, 4};
  DrawMemImgQuad(&dst.image, &src.image, corners, 0, nullptr);
  EXPECT_EQ(Changed(dst), Rect(0, 0, 4, 4));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.Get(x, y), src.Get(x, y)) << x << "," << y;

  // Mode 2 at P 255 adds blue 1 once, or twice on the shared diagonal.
  dst.Fill(0);
  src.Fill(0x00000001);
  CurrentBlendMode = 2;
  BlendParam = 255;
  DrawMemImgQuad(&dst.image, &src.image, corners, 0, nullptr);
  PixelSet twice;
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      if (dst.Get(x, y) == 2)
        twice.insert({x, y});
      else
        EXPECT_EQ(dst.Get(x, y), 1u) << x << "," << y;
    }
  EXPECT_EQ(twice, (PixelSet{{3, 1}, {2, 2}, {1, 3}}));
  EXPECT_EQ(Changed(dst, 0), Rect(0, 0, 4, 4));
}

TEST_F(PrimitiveDraws, QuadHalves) {
  CanaryImage src(4, 4, Xrgb8888);
  Distinct(src);
  // Three corners on a line: only the second triangle draws.
  const int32_t line[8] = {0, 0, 4, 4, 2, 2, 6, 0};
  DrawMemImgQuad(&dst.image, &src.image, line, 0, nullptr);
  const int32_t v2[12] = {4, 4, 4, 0, 2, 2, 0, 4, 6, 0, 4, 4};
  CanaryImage alone(12, 10, Xrgb8888);
  alone.Fill(kBackground);
  DrawMemImgTriangle(&alone.image, &src.image, v2, 0, nullptr, 0);
  EXPECT_FALSE(Changed(alone).empty());
  EXPECT_EQ(dst.buffer, alone.buffer);

  // A self-crossing quad (bottom corners swapped) draws both triangles, the second one last.
  dst.Fill(kBackground);
  const int32_t crossed[8] = {0, 0, 6, 0, 6, 6, 0, 6};
  DrawMemImgQuad(&dst.image, &src.image, crossed, 0, nullptr);
  CanaryImage first(12, 10, Xrgb8888), second(12, 10, Xrgb8888);
  first.Fill(kBackground);
  second.Fill(kBackground);
  const int32_t t1[12] = {0, 0, 0, 0, 6, 0, 4, 0, 6, 6, 0, 4};
  const int32_t t2[12] = {6, 0, 4, 0, 6, 6, 0, 4, 0, 6, 4, 4};
  DrawMemImgTriangle(&first.image, &src.image, t1, 0, nullptr, 0);
  DrawMemImgTriangle(&second.image, &src.image, t2, 0, nullptr, 0);
  const PixelSet a = Changed(first), b = Changed(second);
  size_t overlap = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inB = b.count({x, y}) != 0, inA = a.count({x, y}) != 0;
      overlap += inA && inB;
      EXPECT_EQ(dst.Get(x, y), inB   ? second.Get(x, y)
                               : inA ? first.Get(x, y)
                                     : kBackground)
          << x << "," << y;
    }
  EXPECT_GT(overlap, 3u);
}

TEST_F(PrimitiveDraws, DegenerateAndRefusedTrianglesDrawNothing) {
  CanaryImage src(4, 4, Xrgb8888);
  Distinct(src);
  const int32_t flat[12] = {0, 0, 0, 0, 3, 3, 4, 4, 6, 6, 0, 4};
  DrawMemImgTriangle(&dst.image, &src.image, flat, 0, nullptr, 0);
  DrawMemImgTriangle(&dst.image, nullptr, flat, 0, nullptr, 0x00FFFFFF);
  const int32_t good[12] = {0, 0, 0, 0, 8, 0, 4, 0, 0, 8, 0, 4};
  // A source of another colour type, and destinations with a palette, alpha or one channel.
  CanaryImage src16(4, 4, Rgb565);
  DrawMemImgTriangle(&dst.image, &src16.image, good, 0, nullptr, 0);
  CanaryImage single(12, 10, Single8);
  DrawMemImgTriangle(&single.image, nullptr, good, 0, nullptr, 0x55);
  CanaryImage single16(12, 10, Single16), singleSrc(4, 4, Single16);
  DrawMemImgTriangle(&single16.image, &singleSrc.image, good, 0, nullptr, 0);
  CanaryImage paletted(12, 10, Xrgb8888, 1), alpha(12, 10, Xrgb8888, 0, 1);
  DrawMemImgTriangle(&paletted.image, nullptr, good, 0, nullptr, 0x00FFFFFF);
  DrawMemImgTriangle(&alpha.image, &src.image, good, 0, nullptr, 0);
  // A blend image smaller than the source, or not 8-bit.
  CanaryImage smallBlend(3, 4, Single8), wideBlend(4, 4, Rgb565);
  DrawMemImgTriangle(&dst.image, &src.image, good, 0, &smallBlend.image, 0);
  DrawMemImgTriangle(&dst.image, &src.image, good, 0, &wideBlend.image, 0);
  EXPECT_TRUE(Changed(dst).empty());
  EXPECT_TRUE(Changed(single, 0).empty());
  EXPECT_TRUE(Changed(single16, 0).empty());
  EXPECT_TRUE(Changed(paletted, 0).empty());
  EXPECT_TRUE(Changed(alpha, 0).empty());
  // The same triangle draws once the blend image covers the source.
  CanaryImage blend(4, 4, Single8);
  BlendImageRamp[0] = 255;
  DrawMemImgTriangle(&dst.image, &src.image, good, 0, &blend.image, 0);
  EXPECT_FALSE(Changed(dst).empty());
}

TEST_F(PrimitiveDraws, LeftClippingStartsTheTextureAtTheClippedPixel) {
  CanaryImage src(8, 8, Xrgb8888);
  Distinct(src);
  const int32_t v[12] = {-2, 0, 0, 0, 8, 1, 8, 0, 0, 9, 1, 8};
  CanaryImage full(12, 10, Xrgb8888);
  full.Fill(kBackground);
  DrawMemImgTriangle(&full.image, &src.image, v, 0, nullptr, 0);
  DrawArea = {3, 2, 7, 8};
  DrawMemImgTriangle(&dst.image, &src.image, v, 0, nullptr, 0);
  const PixelSet drawn = Changed(dst);
  PixelSet want;
  for (const Pixel& p : Changed(full))
    if (p.first >= 3 && p.first < 7 && p.second >= 2 && p.second < 8) want.insert(p);
  EXPECT_EQ(drawn, want);
  EXPECT_GT(drawn.size(), 12u);
  for (const Pixel& p : drawn) EXPECT_EQ(dst.Get(p.first, p.second), full.Get(p.first, p.second));
}

TEST_F(PrimitiveDraws, Lines) {
  DrawArea = {0, 0, 10, 10};
  DrawMemImgLine(&dst.image, 0, 0, 4, 2, 0x00ABCDEF);
  EXPECT_EQ(Changed(dst), (PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(dst.Get(2, 1), 0x00ABCDEFu);
  dst.Fill(kBackground);
  DrawMemImgLine(&dst.image, 12, 3, -6, 3, 0x00ABCDEF);  // clipped to the area, not the image
  EXPECT_EQ(Changed(dst), Rect(0, 3, 10, 4));

  // Lists: in order, the sixth field unread, a count of 0 or less draws nothing.
  dst.Fill(kBackground);
  const MemImgLine lines[2] = {{0, 5, 3, 5, 0x00000011, 0}, {1, 5, 1, 8, 0x00000022, -12345}};
  DrawMemImgLines(&dst.image, lines, 0);
  DrawMemImgLines(&dst.image, lines, -3);
  EXPECT_TRUE(Changed(dst).empty());
  DrawMemImgLines(&dst.image, lines, 2);
  EXPECT_EQ(Changed(dst), (PixelSet{{0, 5}, {1, 5}, {2, 5}, {1, 6}, {1, 7}}));
  EXPECT_EQ(dst.Get(1, 5), 0x22u);  // the second line drew last

  // Paletted and alpha destinations are refused, as the box refuses them.
  CanaryImage paletted(10, 10, Xrgb8888, 1), alpha(10, 10, Rgb565, 0, 1);
  DrawMemImgLine(&paletted.image, 0, 0, 9, 9, 0x00FFFFFF);
  DrawMemImgLine(&alpha.image, 0, 0, 9, 9, 0xFFFF);
  EXPECT_TRUE(Changed(paletted, 0).empty());
  EXPECT_TRUE(Changed(alpha, 0).empty());
}

TEST_F(PrimitiveDraws, BoxOutlineMultipliesEachBorderPixelOnce) {
  dst.Fill(0x80808080);
  CurrentBlendMode = 4;
  MemImgLine lines[4];
  MakeBoxOutlineLines(2, 2, 6, 5, 0x00808080, BlendParam, lines);
  DrawMemImgLines(&dst.image, lines, 4);
  PixelSet border = Rect(2, 2, 6, 5);
  for (const Pixel& p : Rect(3, 3, 5, 4)) border.erase(p);
  EXPECT_EQ(border.size(), 10u);
  EXPECT_EQ(Changed(dst, 0x80808080), border);
  for (const Pixel& p : border) EXPECT_EQ(dst.Get(p.first, p.second), 0x80404040u);
}

TEST_F(PrimitiveDraws, BoxCoverage) {
  const auto fill = [&](const RECT* r) {
    dst.Fill(kBackground);
    FillMemImgBox(&dst.image, r, 0x00010203);
    return Changed(dst);
  };
  const RECT box = {10, 2, 5, 7}, ordered = {5, 2, 10, 7};
  EXPECT_EQ(fill(&box), Rect(5, 2, 10, 7));
  EXPECT_EQ(fill(&ordered), Rect(5, 2, 10, 7));
  const RECT reversed = {10, 7, 5, 2};
  EXPECT_EQ(fill(&reversed), Rect(5, 2, 10, 7));
  const RECT thin[] = {{4, 2, 4, 8}, {1, 5, 9, 5}, {20, 2, 30, 8}, {-9, -9, -1, 4}};
  for (const RECT& r : thin) EXPECT_TRUE(fill(&r).empty());
  EXPECT_EQ(fill(nullptr), Rect(0, 0, 12, 10));
  DrawArea = {3, 1, 7, 9};
  EXPECT_EQ(fill(nullptr), Rect(3, 1, 7, 9));
  const RECT big = {-100, -100, 100, 100};
  EXPECT_EQ(fill(&big), Rect(3, 1, 7, 9));

  // 10, 10, 20, 15 on an open area: columns 10 to 19, rows 10 to 14.
  CanaryImage wide(24, 18, Xrgb8888);
  wide.Fill(kBackground);
  SoftDrawTarget = &wide.image;
  DrawArea = {0, 0, 24, 18};
  const RECT tenByFive = {10, 10, 20, 15};
  FillMemImgBox(&wide.image, &tenByFive, 0x00010203);
  EXPECT_EQ(Changed(wide), Rect(10, 10, 20, 15));
  SoftDrawTarget = &dst.image;

  // A graph that is not the draw target is clipped to itself only.
  CanaryImage other(6, 5, Xrgb8888);
  other.Fill(kBackground);
  FillMemImgBox(&other.image, nullptr, 0x00010203);
  EXPECT_EQ(Changed(other), Rect(0, 0, 6, 5));
}

TEST_F(PrimitiveDraws, SixteenBitBoxesOfOddAndEvenWidth) {
  CanaryImage d16(7, 3, Rgb565);
  d16.Fill(0x1111);
  SoftDrawTarget = &d16.image;
  DrawArea = {0, 0, 7, 3};
  for (int w = 1; w <= 3; ++w) {
    d16.Fill(0x1111);
    const RECT r = {1, 0, 1 + w, 3};
    FillMemImgBox(&d16.image, &r, 0xABCD);
    EXPECT_EQ(Changed(d16, 0x1111), Rect(1, 0, 1 + w, 3)) << w;
    for (const Pixel& p : Rect(1, 0, 1 + w, 3)) EXPECT_EQ(d16.Get(p.first, p.second), 0xABCDu);
  }
}

TEST_F(PrimitiveDraws, BoxRefusalsAndParameterZero) {
  CanaryImage paletted(5, 5, Xrgb8888, 1), alpha(5, 5, Xrgb8888, 0, 1), single(5, 5, Single8);
  for (int mode : {0, 1, 2, 4}) {
    CurrentBlendMode = mode;
    FillMemImgBox(&paletted.image, nullptr, 0x00FFFFFF);
    FillMemImgBox(&alpha.image, nullptr, 0x00FFFFFF);
    FillMemImgBox(&single.image, nullptr, 0xFF);
  }
  EXPECT_TRUE(Changed(paletted, 0).empty());
  EXPECT_TRUE(Changed(alpha, 0).empty());
  EXPECT_TRUE(Changed(single, 0).empty());

  const RECT r = {1, 1, 4, 3};
  BlendParam = 0;
  for (int mode : {1, 2, 3, 10, 11, 5, 9, 12, -1}) {
    CurrentBlendMode = mode;
    FillMemImgBox(&dst.image, &r, 0x00FFFFFF);
    DrawMemImgLine(&dst.image, 0, 0, 9, 9, 0x00FFFFFF);
  }
  EXPECT_TRUE(Changed(dst).empty());
  CurrentBlendMode = 0;
  FillMemImgBox(&dst.image, &r, 0x00FFFFFF);
  EXPECT_EQ(Changed(dst), Rect(1, 1, 4, 3));
  dst.Fill(0x00C8C8C8);
  CurrentBlendMode = 4;
  FillMemImgBox(&dst.image, &r, 0x00808080);
  EXPECT_EQ(dst.Get(2, 2), 0x00646464u);
}

TEST_F(PrimitiveDraws, FourthByteOfBoxesByMode) {
  struct Row {
    int mode;
    uint32_t colour, dest, want;
  };
  const Row rows[] = {
      {0, 0x7F010203, 0xA5000000, 0x7F010203},  // the colour's fourth byte
      {1, 0x7F010203, 0xA5000000, 0xA5000101},  // kept
      {2, 0x7F000000, 0xA5000000, 0x00000000},  // the carry out of red: none
      {2, 0x7FFF0000, 0xA5800000, 0x01FF0000},  // the carry out of red: one
      {3, 0x7F000000, 0xA5000000, 0x00010100},  // cleared
      {4, 0x7FFFFFFF, 0xA5FFFFFF, 0xA5FEFEFE},  // kept
      {10, 0x7F000000, 0xA5000000, 0xA57F7F7F}, {11, 0x7F000000, 0xA5FFFFFF, 0xA57F7F7F},
  };
  for (const Row& row : rows) {
    dst.Fill(row.dest);
    CurrentBlendMode = row.mode;
    BlendParam = 128;
    const RECT r = {0, 0, 2, 2};
    FillMemImgBox(&dst.image, &r, static_cast<int32_t>(row.colour));
    EXPECT_EQ(dst.Get(1, 1), row.want) << "mode " << row.mode;
  }
}

// Mode 1 at P 255 draws exactly as mode 0, and mode 0 ignores P, in every draw and kind.
TEST_F(PrimitiveDraws, OpaqueParameterIsModeZero) {
  std::mt19937 rng(21);
  struct Kind {
    int colorType, paletted, alpha;
  };
  const Kind kinds[] = {{Xrgb8888, 0, 0}, {Xrgb8888, 0, 1}, {Xrgb8888, 1, 0},
                        {Rgb565, 0, 0},   {Rgb565, 0, 1},   {Rgb565, 1, 0}};
  for (const Kind& k : kinds) {
    CanaryImage src(5, 5, k.colorType, k.paletted, k.alpha), blend(5, 5, Single8);
    CanaryImage start(12, 10, k.colorType);
    start.Randomise(rng);
    src.Randomise(rng);
    blend.Randomise(rng);
    if (k.paletted)
      for (int i = 0; i < 1024; ++i) src.image.body->palette[i] = static_cast<uint8_t>(rng());
    src.image.body->transparentColor = src.Get(1, 1);
    for (int i = 0; i < 256; ++i) BlendImageRamp[i] = static_cast<uint8_t>(rng());
    const int32_t v[12] = {0, 0, 0, 0, 11, 2, 5, 0, 1, 9, 0, 5};
    const int32_t corners[8] = {1, 1, 9, 0, 0, 8, 10, 9};
    const int32_t colour = static_cast<int32_t>(rng() & 0xFFFFFF),
                  flat = static_cast<int32_t>(rng());
    for (uint32_t bright : {0xFFFFFFu, 0x3080FFu})
      for (int transparent : {0, 1})
        for (bool withBlend : {false, true}) {
          DrawBright = bright;
          std::vector<std::vector<uint8_t>> results;
          for (const auto& [mode, param] :
               std::vector<std::pair<int, int>>{{0, 255}, {0, 0}, {1, 255}}) {
            CurrentBlendMode = mode;
            BlendParam = param;
            CanaryImage d(12, 10, k.colorType);
            d.buffer = start.buffer;
            SoftDrawTarget = &d.image;
            DrawMemImgTriangle(&d.image, &src.image, v, transparent,
                               withBlend ? &blend.image : nullptr, 0);
            DrawMemImgQuad(&d.image, &src.image, corners, transparent,
                           withBlend ? &blend.image : nullptr);
            DrawMemImgTriangle(&d.image, nullptr, v, 0, nullptr, flat);
            const RECT r = {2, 3, 9, 7};
            FillMemImgBox(&d.image, &r, colour);
            DrawMemImgLine(&d.image, 0, 9, 11, 0, colour ^ 0x5555);
            EXPECT_TRUE(d.CanariesIntact());
            results.push_back(d.buffer);
            SoftDrawTarget = &dst.image;
          }
          EXPECT_NE(results[0], start.buffer);
          EXPECT_TRUE(results[1] == results[0]) << "mode 0 at P 0";
          EXPECT_TRUE(results[2] == results[0]) << "mode 1 at P 255";
        }
  }
}

}  // namespace
