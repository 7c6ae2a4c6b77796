// The stretched blit: which source column and row each destination pixel takes (enlarging,
// shrinking, mirroring, clipping, the copy leaves' own stepping), the hand-over to the plain
// blit, the general forms of the pixel rules, and refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "tests/softrender/memimg_fixture.h"

namespace {

// A 32-bit source whose pixel (c, r) has blue 20c + 10 and green 20r + 10: columns and rows up
// to 11 survive the rules used below within one step, so a pixel's source is read back as
// (blue / 20, green / 20).
void FillCoordinates(CanaryImage& src) {
  for (int y = 0; y < src.image.height; ++y)
    for (int x = 0; x < src.image.width; ++x)
      src.Set(x, y, static_cast<uint32_t>((20 * y + 10) << 8 | (20 * x + 10)));
}

std::vector<int> ColumnsOfRow(CanaryImage& dst, int y, int left, int right, bool inverted) {
  std::vector<int> columns;
  for (int x = left; x < right; ++x) {
    const uint32_t blue = dst.Get(x, y) & 0xFF;
    columns.push_back(static_cast<int>((inverted ? 255 - blue : blue) / 20));
  }
  return columns;
}

std::vector<int> RowsOfColumn(CanaryImage& dst, int x, int top, int bottom, bool inverted) {
  std::vector<int> rows;
  for (int y = top; y < bottom; ++y) {
    const uint32_t green = (dst.Get(x, y) >> 8) & 0xFF;
    rows.push_back(static_cast<int>((inverted ? 255 - green : green) / 20));
  }
  return rows;
}

using Seq = std::vector<int>;

TEST(StretchedBlit, EnlargingMirroringShrinkingAndClippingSampleTheirColumns) {
  DrawStateGuard state;
  struct Case {
    const char* what;
    int srcW, srcH;
    RECT rect, area;
    Seq columns, rows;  // in every row, and in every column
  } const cases[] = {
      {"5 wide drawn 13 wide",
       5,
       2,
       {0, 0, 13, 4},
       {0, 0, 40, 40},
       {0, 0, 0, 1, 1, 1, 2, 2, 3, 3, 3, 4, 4},
       {0, 0, 1, 1}},
      {"the same rectangle mirrored across",
       5,
       2,
       {13, 0, 0, 4},
       {0, 0, 40, 40},
       {4, 4, 4, 3, 3, 3, 2, 2, 1, 1, 1, 0, 0},
       {0, 0, 1, 1}},
      {"the same rectangle mirrored down",
       5,
       2,
       {0, 4, 13, 0},
       {0, 0, 40, 40},
       {0, 0, 0, 1, 1, 1, 2, 2, 3, 3, 3, 4, 4},
       {1, 1, 0, 0}},
      {"9 wide drawn 4 wide", 9, 1, {0, 0, 4, 1}, {0, 0, 40, 40}, {0, 2, 4, 6}, {0}},
      {"13 wide with the draw area 4 pixels in",
       5,
       2,
       {0, 0, 13, 4},
       {4, 0, 40, 40},
       {1, 1, 2, 2, 3, 3, 3, 4, 4},
       {0, 0, 1, 1}},
      {"13 wide mirrored, clipped on the right",
       5,
       2,
       {13, 0, 0, 4},
       {0, 0, 6, 40},
       {4, 4, 4, 3, 3, 3},
       {0, 0, 1, 1}},
      {"a 1 x 1 source fills the rectangle",
       1,
       1,
       {2, 1, 9, 6},
       {0, 0, 40, 40},
       {0, 0, 0, 0, 0, 0, 0},
       {0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CanaryImage src(c.srcW, c.srcH, Xrgb8888), dst(16, 8, Xrgb8888);
    FillCoordinates(src);
    dst.Fill(0x00FFFFFF);
    DrawArea = c.area;
    EXPECT_EQ(DrawMemImgStretched(&dst.image, &src.image, &c.rect, 0, nullptr), 1);
    const int left = std::max<int>(std::min(c.rect.left, c.rect.right), c.area.left);
    const int right = std::min<int>(std::max(c.rect.left, c.rect.right), c.area.right);
    const int top = std::min(c.rect.top, c.rect.bottom),
              bottom = std::max(c.rect.top, c.rect.bottom);
    for (int y = top; y < bottom; ++y)
      EXPECT_EQ(ColumnsOfRow(dst, y, left, right, false), c.columns) << y;
    for (int x = left; x < right; ++x)
      EXPECT_EQ(RowsOfColumn(dst, x, top, bottom, false), c.rows) << x;
    // Nothing outside the drawn rectangle changed.
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 16; ++x)
        if (x < left || x >= right || y < top || y >= bottom) {
          ASSERT_EQ(dst.Get(x, y), 0x00FFFFFFu) << x << "," << y;
        }
    EXPECT_TRUE(dst.CanariesIntact());
  }
}

// 8 pixels drawn 4 wide (and 4 high) land exactly on source edges: the copy leaves sample one
// earlier there (0, 1, 3, 5), every other leaf takes 0, 2, 4, 6. Clipping does not change that.
TEST(StretchedBlit, OnlyTheCopyLeavesSampleOneEarlierAtExactShrinkPositions) {
  DrawStateGuard state;
  const Seq copy = {0, 1, 3, 5}, general = {0, 2, 4, 6};
  struct Case {
    const char* what;
    int mode, param;
    uint32_t bright;
    bool blend, alpha, paletted;
    int transparent;
    uint32_t dest;
    bool inverted;  // the rule turns v into 255 - v (subtracting from white)
    const Seq& expected;
  } const cases[] = {
      {"mode 0 copy", 0, 0, 0xFFFFFF, false, false, false, 0, 0, false, copy},
      {"mode 0 copy with the transparent flag", 0, 0, 0xFFFFFF, false, false, false, 1, 0, false,
       copy},
      {"mode 1 at 255", 1, 255, 0xFFFFFF, false, false, false, 0, 0, false, copy},
      {"paletted copy", 0, 0, 0xFFFFFF, false, false, true, 1, 0, false, copy},
      {"mode 3 at 255", 3, 255, 0xFFFFFF, false, false, false, 0, 0x00FFFFFF, true, copy},
      {"mode 0 with brightness", 0, 0, 0xFEFFFF, false, false, false, 0, 0, false, general},
      {"mode 0 with a blend image", 0, 0, 0xFFFFFF, true, false, false, 0, 0, false, general},
      {"mode 0, alpha source", 0, 0, 0xFFFFFF, false, true, false, 1, 0, false, general},
      {"mode 2 at 255", 2, 255, 0xFFFFFF, false, false, false, 0, 0, false, general},
      {"mode 3 at 254", 3, 254, 0xFFFFFF, false, false, false, 0, 0x00FFFFFF, true, general},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CanaryImage direct(8, 8, Xrgb8888, 0, c.alpha ? 1 : 0, 0, 0x00FF00FF);
    CanaryImage paletted(8, 8, Xrgb8888, 1, 0, 0, 200);
    CanaryImage blend(8, 8, Single8);
    FillCoordinates(direct);
    if (c.alpha)
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) direct.Set(x, y, direct.Get(x, y) | 0xFF000000u);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        paletted.Set(x, y, static_cast<uint32_t>(8 * y + x));
        const uint32_t entry = direct.Get(x, y);
        std::memcpy(paletted.image.body->palette + 4 * (8 * y + x), &entry, 4);
      }
    paletted.image.body->colorsUsed = 64;
    std::memset(BlendImageRamp, 255, 256);  // weight 255: v becomes v - 1
    CurrentBlendMode = c.mode;
    BlendParam = c.param;
    DrawBright = c.bright;
    for (const RECT area : {RECT{0, 0, 40, 40}, RECT{3, 2, 40, 40}}) {
      CanaryImage dst(6, 6, Xrgb8888);
      dst.Fill(c.dest);
      DrawArea = area;
      const RECT rect = {1, 1, 5, 5};
      EXPECT_EQ(DrawMemImgStretched(&dst.image, c.paletted ? &paletted.image : &direct.image, &rect,
                                    c.transparent, c.blend ? &blend.image : nullptr),
                1);
      const Seq columns = ColumnsOfRow(dst, 4, 1, 5, c.inverted),
                rows = RowsOfColumn(dst, 4, 1, 5, c.inverted);
      for (int i = 0; i < 4; ++i) {
        if (1 + i >= area.left) {
          EXPECT_EQ(columns[i], c.expected[i]) << "column " << i << " in area " << area.left;
        }
        if (1 + i >= area.top) {
          EXPECT_EQ(rows[i], c.expected[i]) << "row " << i << " in area " << area.top;
        }
      }
      EXPECT_TRUE(dst.CanariesIntact());
    }
  }
}

// A rectangle of the source's size that mirrors nothing is the plain blit's draw, with its
// special forms; mirrored, the same rectangle stays here and takes the general rules.
TEST(StretchedBlit, TheSameSizeUnmirroredIsThePlainBlit) {
  DrawStateGuard state;
  CurrentBlendMode = 1;
  BlendParam = 128;
  CanaryImage src(3, 1, Xrgb8888), dst(3, 1, Xrgb8888);
  src.Set(0, 0, 0x00F1F1F1);
  src.Set(1, 0, 0x00F1F1F1);
  src.Set(2, 0, 0x00000000);
  struct Case {
    RECT rect;
    uint32_t atLeft, atRight;
  } const cases[] = {
      {{0, 0, 3, 1}, 0x00787878, 0x00000000},  // the half mix: 120 and byte 3 cleared
      {{3, 0, 0, 1}, 0xAB000000, 0xAB797979},  // mirrored: mix by 128/256, byte 3 kept
      {{0, 1, 3, 0}, 0xAB797979, 0xAB000000},  // mirrored down only
  };
  for (const auto& c : cases) {
    dst.Fill(0xAB010101);
    EXPECT_EQ(DrawMemImgStretched(&dst.image, &src.image, &c.rect, 0, nullptr), 1);
    EXPECT_EQ(dst.Get(0, 0), c.atLeft) << c.rect.left;
    EXPECT_EQ(dst.Get(2, 0), c.atRight) << c.rect.left;
  }
}

// One source pixel drawn over two destination pixels: both take the general form of the rule.
// Values are whole destination words (16-bit ones as 5-6-5 words).
TEST(StretchedBlit, PixelsTakeTheGeneralFormsOfTheRules) {
  DrawStateGuard state;
  enum Kind { Direct, Alpha, Paletted };
  constexpr uint32_t kWhite = 0xFFFFFF;
  struct Row {
    const char* what;
    int colorType;
    Kind kind;
    int mode, param;
    uint32_t bright;
    int transparent;
    uint32_t source, dest, expected;  // source: the pixel (alpha included) or the palette entry
  } const rows[] = {
      {"32-bit mode 1 at 128 mixes by 128/256 and keeps byte 3", Xrgb8888, Direct, 1, 128, kWhite,
       0, 0x00F1F1F1, 0xAB010101, 0xAB797979},
      {"32-bit paletted mode 1 at 128 likewise", Xrgb8888, Paletted, 1, 128, kWhite, 0, 0x00F1F1F1,
       0xAB010101, 0xAB797979},
      {"16-bit paletted mode 1 at 128 takes the table mix", Rgb565, Paletted, 1, 128, kWhite, 0,
       0x0000, 0xF800, 0x8000},
      {"16-bit mode 1 at 100 takes the table mix, not the 6-bit one", Rgb565, Direct, 1, 100,
       kWhite, 0, 0xFFFF, 0x0000, 0x630C},
      {"32-bit mode 2 at 255 keeps the low-bit term", Xrgb8888, Direct, 2, 255, kWhite, 0,
       0x00010101, 0x00010101, 0x00010102},
      {"16-bit mode 2 at 255 keeps the low-bit term", Rgb565, Direct, 2, 255, kWhite, 0, 0x0020,
       0x0020, 0x0020},
      {"16-bit mode 3 at 255 from itself", Rgb565, Direct, 3, 255, kWhite, 0, 0x1234, 0x1234,
       0x0800},
      {"32-bit alpha 255 without the flag is mixed, not copied", Xrgb8888, Alpha, 0, 255, kWhite, 0,
       0xFFFF0000, 0x5A000000, 0x5AFE0000},
      {"32-bit alpha 255 under the flag copies the word", Xrgb8888, Alpha, 0, 255, kWhite, 1,
       0xFFFF0000, 0x5A000000, 0xFFFF0000},
      {"32-bit alpha 128 under the flag mixes and keeps byte 3", Xrgb8888, Alpha, 0, 255, kWhite, 1,
       0x80FFFFFF, 0x5A000000, 0x5A7F7F7F},
      {"16-bit alpha 255 under the flag, white over black", Rgb565, Alpha, 0, 255, kWhite, 1,
       0x00FFFFFF, 0x0000, 0xFFFF},
      {"16-bit alpha 128 under the flag", Rgb565, Alpha, 0, 255, kWhite, 1, 0x0080FFFF, 0x0000,
       0x7BEF},
      {"16-bit alpha 0 under the flag is skipped", Rgb565, Alpha, 0, 255, kWhite, 1, 0x0000FFFF,
       0x1234, 0x1234},
      {"16-bit alpha 255 without the flag", Rgb565, Alpha, 0, 255, kWhite, 0, 0x00FFFFFF, 0x0000,
       0xF7DE},
      {"16-bit alpha 0 without the flag leaves the colour", Rgb565, Alpha, 0, 255, kWhite, 0,
       0x0000FFFF, 0x1234, 0x1234},
      {"16-bit mode 4 alpha 0 under the flag is skipped", Rgb565, Alpha, 4, 255, kWhite, 1,
       0x0000FFFF, 0xFFFF, 0xFFFF},
      {"16-bit mode 4 alpha 0 without the flag writes black", Rgb565, Alpha, 4, 255, kWhite, 0,
       0x0000FFFF, 0xFFFF, 0x0000},
      {"32-bit brightness in mode 0 keeps byte 3", Xrgb8888, Paletted, 0, 0, 0xFFFFFE, 0,
       0x00123456, 0xAB010101, 0xAB123455},
      {"16-bit mode 10 inverts before brightness", Rgb565, Paletted, 10, 255, kWhite, 0, 0x0000,
       0x1234, 0xFFFF},
      {"mode 1 at 0 draws nothing", Xrgb8888, Direct, 1, 0, kWhite, 0, 0x00FFFFFF, 0x5A123456,
       0x5A123456},
      {"mode 2 at 0 draws nothing", Rgb565, Paletted, 2, 0, kWhite, 0, 0xFFFF, 0x1234, 0x1234},
      {"mode 3 at 0 draws nothing", Xrgb8888, Paletted, 3, 0, kWhite, 0, 0x00FFFFFF, 0x5A123456,
       0x5A123456},
      {"mode 4 multiplies at 0", Xrgb8888, Direct, 4, 0, kWhite, 0, 0x00FFFFFF, 0x5AFFFFFF,
       0x5AFEFEFE},
      {"mode 11 at 0 writes the old value", Xrgb8888, Direct, 11, 0, kWhite, 0, 0x00808080,
       0x5A123456, 0x5A123456},
      {"mode 12 draws nothing", Xrgb8888, Direct, 12, 255, kWhite, 0, 0x00FFFFFF, 0x5A123456,
       0x5A123456},
      {"mode -1 draws nothing", Rgb565, Direct, -1, 255, kWhite, 0, 0xFFFF, 0x1234, 0x1234},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const bool deep = row.colorType == Xrgb8888;
    CanaryImage src(1, 1, row.colorType, row.kind == Paletted, row.kind == Alpha),
        dst(3, 1, row.colorType);
    if (row.kind == Paletted) {
      std::memcpy(src.image.body->palette + 3 * (deep ? 4 : 2), &row.source, deep ? 4 : 2);
      src.image.body->colorsUsed = 4;
      src.Set(0, 0, 3);
    } else {
      src.Set(0, 0, row.source);
    }
    dst.Fill(row.dest);
    CurrentBlendMode = row.mode;
    BlendParam = row.param;
    DrawBright = row.bright;
    const RECT rect = {0, 0, 2, 1};
    DrawMemImgStretched(&dst.image, &src.image, &rect, row.transparent, nullptr);
    EXPECT_EQ(dst.Get(0, 0), row.expected);
    EXPECT_EQ(dst.Get(1, 0), row.expected);
    EXPECT_EQ(dst.Get(2, 0), row.dest);
    EXPECT_TRUE(dst.CanariesIntact());
  }
}

// Transparent source pixels are skipped with every destination pixel that repeats them; the
// blend image is read at the source pixel, so it mirrors with the source.
TEST(StretchedBlit, TransparencyAndTheBlendImageFollowTheSourcePixel) {
  DrawStateGuard state;
  CanaryImage src(3, 1, Xrgb8888, 0, 0, 0, 0x00FF00FF), blend(4, 2, Single8), dst(9, 1, Xrgb8888);
  src.Set(0, 0, 0x00FFFFFF);
  src.Set(1, 0, 0x00FF00FF);
  src.Set(2, 0, 0x00FFFFFF);
  blend.Set(0, 0, 0);
  blend.Set(1, 0, 100);
  blend.Set(2, 0, 200);
  for (int i = 0; i < 256; ++i) BlendImageRamp[i] = static_cast<uint8_t>(i);
  const RECT mirrored = {9, 0, 0, 1};
  dst.Fill(0x00000000);
  DrawMemImgStretched(&dst.image, &src.image, &mirrored, 1, &blend.image);
  const uint32_t w200 = 255 * 200 / 256, w0 = 0;
  const uint32_t expected[9] = {w200, w200, w200, 0, 0, 0, w0, w0, w0};
  for (int x = 0; x < 9; ++x) EXPECT_EQ(dst.Get(x, 0), expected[x] * 0x010101) << x;

  // Without the flag the key colour is drawn like any other.
  DrawMemImgStretched(&dst.image, &src.image, &mirrored, 0, nullptr);
  EXPECT_EQ(dst.Get(4, 0), 0x00FF00FFu);
}

TEST(StretchedBlit, RefusedAndEmptyDrawsLeaveTheDestinationAlone) {
  DrawStateGuard state;
  CanaryImage src32(4, 4, Xrgb8888), src16(4, 4, Rgb565), palettedSrc(4, 4, Xrgb8888, 1);
  CanaryImage single8(4, 4, Single8), single8Dst(8, 8, Single8);
  CanaryImage dst32(8, 8, Xrgb8888), dst16(8, 8, Rgb565), palettedDst(8, 8, Xrgb8888, 1),
      alphaDst(8, 8, Xrgb8888, 0, 1);
  CanaryImage smallBlend(3, 4, Single8), shortBlend(4, 3, Single8), wideBlend(4, 4, Xrgb8888);
  src32.Fill(0x00FFFFFF);
  src16.Fill(0xFFFF);
  palettedSrc.image.body->colorsUsed = 1;
  std::memset(palettedSrc.image.body->palette, 0xFF, 4);
  single8.Fill(0xFF);
  MEMIMG noColumns = src32.image, noRows = src32.image;  // views of the same body without pixels
  noColumns.width = 0;
  noRows.height = 0;
  const RECT wide = {0, 0, 7, 6}, flat = {2, 3, 7, 3}, thin = {3, 0, 3, 6},
             outside = {20, 20, 30, 30};
  struct Case {
    const char* what;
    MEMIMG* dst;
    const MEMIMG* src;
    const RECT* rect;
    const MEMIMG* blend;
    int mode, param;
  } const cases[] = {
      {"a 32-bit source into a 16-bit destination", &dst16.image, &src32.image, &wide, nullptr, 0,
       255},
      {"a 16-bit source into a 32-bit destination", &dst32.image, &src16.image, &wide, nullptr, 0,
       255},
      {"a paletted destination", &palettedDst.image, &palettedSrc.image, &wide, nullptr, 0, 255},
      {"a destination with alpha", &alphaDst.image, &src32.image, &wide, nullptr, 0, 255},
      {"8-bit single-channel images", &single8Dst.image, &single8.image, &wide, nullptr, 0, 255},
      {"a source without columns", &dst32.image, &noColumns, &wide, nullptr, 0, 255},
      {"a source without rows", &dst32.image, &noRows, &wide, nullptr, 0, 255},
      {"equal x corners", &dst32.image, &src32.image, &thin, nullptr, 0, 255},
      {"equal y corners", &dst32.image, &src32.image, &flat, nullptr, 0, 255},
      {"a rectangle outside the destination", &dst32.image, &src32.image, &outside, nullptr, 0,
       255},
      {"a blend image narrower than the source", &dst32.image, &src32.image, &wide,
       &smallBlend.image, 0, 255},
      {"a blend image shorter than the source", &dst32.image, &src32.image, &wide,
       &shortBlend.image, 0, 255},
      {"a blend image of four bytes a pixel", &dst32.image, &src32.image, &wide, &wideBlend.image,
       0, 255},
      {"paletted source, mode 3 at 0", &dst32.image, &palettedSrc.image, &wide, nullptr, 3, 0},
      {"mode 5", &dst32.image, &src32.image, &wide, nullptr, 5, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CurrentBlendMode = c.mode;
    BlendParam = c.param;
    const size_t size = static_cast<size_t>(c.dst->body->pitch) * 8 + 2 * CanaryImage::kMargin;
    const std::vector<uint8_t> before(c.dst->pixels - CanaryImage::kMargin,
                                      c.dst->pixels - CanaryImage::kMargin + size);
    EXPECT_EQ(DrawMemImgStretched(c.dst, c.src, c.rect, 0, c.blend), 0);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), c.dst->pixels - CanaryImage::kMargin));
  }
  CurrentBlendMode = 0;
  EXPECT_EQ(DrawMemImgStretched(nullptr, &src32.image, &wide, 0, nullptr), 0);
  EXPECT_EQ(DrawMemImgStretched(&dst32.image, nullptr, &wide, 0, nullptr), 0);
  EXPECT_EQ(DrawMemImgStretched(&dst32.image, &src32.image, nullptr, 0, nullptr), 0);
  // An empty draw area draws nothing either.
  DrawArea = {5, 5, 5, 9};
  EXPECT_EQ(DrawMemImgStretched(&dst32.image, &src32.image, &wide, 0, nullptr), 0);
}

// The 16.16 step of a source far wider than its rectangle: a step of 0 draws nothing; a step
// that ends outside a source wider than 65536 samples the last column instead. (The add at
// full strength over black shows the source pixel with the general stepping.)
TEST(StretchedBlit, SourcesBeyondTheStepRangeNeverReadOutsideThemselves) {
  DrawStateGuard state;
  CurrentBlendMode = 2;
  CanaryImage dst(4, 1, Xrgb8888);
  {
    CanaryImage src(70000, 1, Xrgb8888);
    src.Fill(0x00FFFFFF);
    const RECT one = {0, 0, 1, 1}, two = {0, 0, 2, 1};
    EXPECT_EQ(DrawMemImgStretched(&dst.image, &src.image, &one, 0, nullptr), 0);
    EXPECT_EQ(dst.Get(0, 0), 0u);
    src.Set(65536, 0, 0x00123456);
    EXPECT_EQ(DrawMemImgStretched(&dst.image, &src.image, &two, 0, nullptr), 1);
    EXPECT_EQ(dst.Get(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(dst.Get(1, 0), 0x00123456u);  // 65536 / step 1
  }
  {
    CanaryImage src(131071, 1, Xrgb8888);
    src.Fill(0x00FFFFFF);
    src.Set(131070, 0, 0x00ABCDEF);
    const RECT three = {0, 0, 3, 1},
               mirrored = {3, 0, 0, 1};  // step 1: column 131072 at the third pixel
    dst.Fill(0);
    EXPECT_EQ(DrawMemImgStretched(&dst.image, &src.image, &three, 0, nullptr), 1);
    EXPECT_EQ(dst.Get(2, 0), 0x00ABCDEFu);
    dst.Fill(0);
    EXPECT_EQ(DrawMemImgStretched(&dst.image, &src.image, &mirrored, 0, nullptr), 1);
    EXPECT_EQ(dst.Get(0, 0), 0x00ABCDEFu);
    EXPECT_EQ(dst.Get(2, 0), 0x00FFFFFFu);
  }
  EXPECT_TRUE(dst.CanariesIntact());
}

// Corners far outside the destination, and rectangles wider than 65536, keep their mapping:
// the visible part shows what the whole rectangle would.
TEST(StretchedBlit, HugeRectanglesClipToTheirVisiblePart) {
  DrawStateGuard state;
  CanaryImage src(4, 1, Xrgb8888), dst(16, 2, Xrgb8888);
  for (int x = 0; x < 4; ++x) src.Set(x, 0, static_cast<uint32_t>(0x10 * (x + 1)));
  struct Case {
    RECT rect;
    uint32_t first, last;  // destination pixels 0 and 15 of row 0
  } const cases[] = {
      {{-100000, 0, 100000, 2}, 0x30, 0x30},  // the middle of the rectangle: column 2
      {{-200000, 0, 16, 2}, 0x40, 0x40},      // its right end: column 3
      {{0, 0, 200000, 2}, 0x10, 0x10},        // its left end: column 0
      {{200000, 0, 0, 2}, 0x40, 0x40},        // mirrored: column 3 at the left end
      {{-65540, -40000, 65540, 40000},
       0x30,
       0x30},  // 131080 wide: the low 16 bits alone would say 8
  };
  for (const auto& c : cases) {
    dst.Fill(0);
    EXPECT_EQ(DrawMemImgStretched(&dst.image, &src.image, &c.rect, 0, nullptr), 1);
    EXPECT_EQ(dst.Get(0, 0), c.first) << c.rect.left;
    EXPECT_EQ(dst.Get(15, 1), c.last) << c.rect.left;
  }
  EXPECT_TRUE(dst.CanariesIntact());
}

// The palette is the body's own 256 zero-filled entries: an index beyond those in use draws
// entry 0-filled black, whatever an earlier draw of another palette left behind.
TEST(StretchedBlit, PaletteEntriesComeFromTheSourceBody) {
  DrawStateGuard state;
  CanaryImage first(1, 1, Xrgb8888, 1), other(1, 1, Xrgb8888, 1), dst(2, 1, Xrgb8888);
  first.image.body->colorsUsed = 1;
  first.Set(0, 0, 200);
  other.image.body->colorsUsed = 256;
  std::memset(other.image.body->palette, 0x77, 1024);
  other.Set(0, 0, 200);
  const RECT rect = {0, 0, 2, 1};
  DrawMemImgStretched(&dst.image, &other.image, &rect, 0, nullptr);
  EXPECT_EQ(dst.Get(1, 0), 0x77777777u);
  DrawMemImgStretched(&dst.image, &first.image, &rect, 0, nullptr);
  EXPECT_EQ(dst.Get(1, 0), 0u);
}

}  // namespace
