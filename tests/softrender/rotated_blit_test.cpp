// The rotated blit: the examples of turns, scales and the turn flag drawn with real pixels,
// the blend pattern moving with the source, refusals, tall sources and far corners.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "runtime/graphics/draw/draw_state.h"
#include "runtime/softrender/memimg.h"
#include "tests/softrender/memimg_fixture.h"

namespace {

constexpr float kQuarterTurn = 1.57079637f;
constexpr uint32_t kUntouched = '.';

// A 32-bit source whose texel (i, j) holds the letter 'a' + j * width + i.
void FillLetters(CanaryImage& src) {
  for (int y = 0; y < src.image.height; ++y)
    for (int x = 0; x < src.image.width; ++x)
      src.Set(x, y, static_cast<uint32_t>('a' + y * src.image.width + x));
}

// Rows 7 to 12, columns 5 to 14 of the destination as text.
std::vector<std::string> Picture(CanaryImage& dst) {
  std::vector<std::string> rows;
  for (int y = 7; y <= 12; ++y) {
    std::string row;
    for (int x = 5; x <= 14; ++x) row += static_cast<char>(dst.Get(x, y));
    rows.push_back(row);
  }
  return rows;
}

TEST(RotatedBlit, DrawsTheExamplesAboutTheCentre) {
  DrawStateGuard state;
  using Rows = std::vector<std::string>;
  struct Case {
    const char* what;
    int w, h;
    float angle, scale;
    int turn;
    Rows picture;  // rows 7 to 12, columns 5 to 14
  } const cases[] = {
      {"4 x 2 at scale 1",
       4,
       2,
       0.0f,
       1.0f,
       0,
       {"..........", "..........", "...abcd...", "...efgh...", "..........", ".........."}},
      {"4 x 2 turned: texel column 0 at x 12",
       4,
       2,
       0.0f,
       1.0f,
       1,
       {"..........", "..........", "....dcba..", "....hgfe..", "..........", ".........."}},
      {"3 x 3 at scale 1",
       3,
       3,
       0.0f,
       1.0f,
       0,
       {"..........", "..........", "....abc...", "....def...", "....ghi...", ".........."}},
      {"3 x 3 turned: rows 8 to 10, texel column 0 at x 11",
       3,
       3,
       0.0f,
       1.0f,
       1,
       {"..........", "....cba...", "....fed...", "....ihg...", "..........", ".........."}},
      {"4 x 2 at scale 2",
       4,
       2,
       0.0f,
       2.0f,
       0,
       {"..........", ".aabbccdd.", ".aabbccdd.", ".eeffgghh.", ".eeffgghh.", ".........."}},
      {"8 x 2 at scale 0.5: texels 0, 2, 4, 6 of row 1",
       8,
       2,
       0.0f,
       0.5f,
       0,
       {"..........", "..........", "..........", "...ikmo...", "..........", ".........."}},
      {"4 x 2 at scale -1: a half turn",
       4,
       2,
       0.0f,
       -1.0f,
       0,
       {"..........", "..........", "..........", "....hgfe..", "....dcba..", ".........."}},
      {"4 x 2 turned a quarter clockwise",
       4,
       2,
       kQuarterTurn,
       1.0f,
       0,
       {"..........", ".....ea...", ".....fb...", ".....gc...", ".....hd...", ".........."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CanaryImage src(c.w, c.h, Xrgb8888), dst(20, 20, Xrgb8888);
    FillLetters(src);
    dst.Fill(kUntouched);
    DrawMemImgRotated(&dst.image, &src.image, 10, 10, c.angle, c.scale, 0, c.turn, nullptr);
    EXPECT_EQ(Picture(dst), c.picture);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x)
        if (y < 7 || y > 12 || x < 5 || x > 14) {
          ASSERT_EQ(dst.Get(x, y), kUntouched) << x << "," << y;
        }
    EXPECT_TRUE(dst.CanariesIntact());
  }
}

// Drawn onto itself, an image reads each texel after the pixels before it on the row were
// written, as one pixel at a time would: shifted right, the first letter runs along the row.
TEST(RotatedBlit, OntoItselfReadsWhatTheRowAlreadyWrote) {
  DrawStateGuard state;
  const struct Case {
    int centreX;
    const char* row;
  } cases[] = {{11, "aaaaaaaaaaaaaaaaaaaa"}, {9, "bcdefghijklmnopqrstt"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.centreX);
    CanaryImage image(20, 1, Xrgb8888);
    FillLetters(image);
    DrawMemImgRotated(&image.image, &image.image, c.centreX, 0, 0.0f, 1.0f, 0, 0, nullptr);
    std::string row;
    for (int x = 0; x < 20; ++x) row += static_cast<char>(image.Get(x, 0));
    EXPECT_EQ(row, c.row);
    EXPECT_TRUE(image.CanariesIntact());
  }
  // The same through a view of another record over the pixels: columns 1 to 10, drawn one
  // pixel to the right.
  CanaryImage image(20, 1, Xrgb8888);
  FillLetters(image);
  MEMIMG view{};
  DeriveMemImg(&view, &image.image, 1, 0, 10, 1);
  DrawMemImgRotated(&image.image, &view, 7, 0, 0.0f, 1.0f, 0, 0, nullptr);
  std::string row;
  for (int x = 0; x < 20; ++x) row += static_cast<char>(image.Get(x, 0));
  EXPECT_EQ(row, "abbbbbbbbbbbmnopqrst");
  ReleaseMemImg(&view);
}

// At an eighth of a turn the box's corners lie outside the turned image: they keep the
// destination's pixels, while the centre shows the centre texel.
TEST(RotatedBlit, BoxCornersOutsideTheTurnedImageKeepTheirPixels) {
  DrawStateGuard state;
  CanaryImage src(6, 6, Xrgb8888), dst(30, 30, Xrgb8888);
  src.Fill(0x00FFFFFF);
  src.Set(3, 3, 0x00123456);
  dst.Fill(kUntouched);
  DrawMemImgRotated(&dst.image, &src.image, 15, 15, 0.785398163f, 1.0f, 0, 0, nullptr);
  EXPECT_EQ(dst.Get(15, 15), 0x00123456u);
  // The turned square reaches 4.24 pixels from the centre along the axes, 3 along the diagonals.
  EXPECT_EQ(dst.Get(15, 11), 0x00FFFFFFu);
  EXPECT_EQ(dst.Get(19, 15), 0x00FFFFFFu);
  for (const auto& corner :
       {std::pair{11, 11}, std::pair{19, 11}, std::pair{11, 19}, std::pair{19, 19}})
    EXPECT_EQ(dst.Get(corner.first, corner.second), kUntouched)
        << corner.first << "," << corner.second;
  int written = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) written += dst.Get(x, y) != kUntouched;
  EXPECT_GT(written, 30);  // about the 36 texels' area
  EXPECT_LT(written, 44);
}

// The blend weight is taken at the sampled texel: turning the image turns the pattern.
TEST(RotatedBlit, TheBlendPatternMovesWithTheSource) {
  DrawStateGuard state;
  for (int i = 0; i < 256; ++i) BlendImageRamp[i] = static_cast<uint8_t>(i);
  CanaryImage src(4, 2, Xrgb8888), blend(5, 3, Single8), dst(20, 20, Xrgb8888);
  src.Fill(0x00FFFFFF);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) blend.Set(x, y, static_cast<uint32_t>(20 + 30 * x + 100 * y));
  struct Case {
    float angle;
    int turn;
    int x0, y0, xi, yi, xj,
        yj;  // texel (i, j) lands at (x0 + i * xi + j * xj, y0 + i * yi + j * yj)
  } const cases[] = {
      {kQuarterTurn, 0, 11, 8, 0, 1, -1, 0},  // a quarter turn: (11 - j, 8 + i)
      {0.0f, 1, 12, 9, -1, 0, 0, 1},          // turned: (12 - i, 9 + j)
  };
  // Both triangles of the turned quad draw the pixel of texel (2, 1) on their shared diagonal,
  // which the weight shows; it is left out.
  const auto onDiagonal = [](const Case& c, int i, int j) { return c.turn && i == 2 && j == 1; };
  for (const Case& c : cases) {
    dst.Fill(0);
    DrawMemImgRotated(&dst.image, &src.image, 10, 10, c.angle, 1.0f, 0, c.turn, &blend.image);
    for (int j = 0; j < 2; ++j)
      for (int i = 0; i < 4; ++i) {
        if (onDiagonal(c, i, j)) continue;
        const uint32_t v = 255 * blend.Get(i, j) / 256;
        EXPECT_EQ(dst.Get(c.x0 + i * c.xi + j * c.xj, c.y0 + i * c.yi + j * c.yj), v * 0x010101)
            << "texel " << i << "," << j << " turn " << c.turn;
      }
  }
}

TEST(RotatedBlit, RefusedDrawsLeaveTheDestinationAlone) {
  DrawStateGuard state;
  const float inf = std::numeric_limits<float>::infinity(),
              nan = std::numeric_limits<float>::quiet_NaN();
  CanaryImage src32(4, 4, Xrgb8888), src16(4, 4, Rgb565), palettedSrc(4, 4, Xrgb8888, 1);
  CanaryImage dst32(12, 12, Xrgb8888), dst16(12, 12, Rgb565), palettedDst(12, 12, Xrgb8888, 1),
      alphaDst(12, 12, Xrgb8888, 0, 1);
  CanaryImage smallBlend(3, 4, Single8), wideBlend(4, 4, Xrgb8888);
  src32.Fill(0x00FFFFFF);
  src16.Fill(0xFFFF);
  palettedSrc.image.body->colorsUsed = 1;
  std::memset(palettedSrc.image.body->palette, 0xFF, 4);
  MEMIMG noColumns = src32.image;  // a view of the same body without pixels
  noColumns.width = 0;
  struct Case {
    const char* what;
    MEMIMG* dst;
    const MEMIMG* src;
    float angle, scale;
    int turn;
    const MEMIMG* blend;
    int mode, param;
    RECT area;
  } const cases[] = {
      {"a 32-bit source into a 16-bit destination",
       &dst16.image,
       &src32.image,
       0,
       1,
       0,
       nullptr,
       0,
       255,
       {0, 0, 12, 12}},
      {"the same, turned", &dst16.image, &src32.image, 0, 1, 1, nullptr, 0, 255, {0, 0, 12, 12}},
      {"a 16-bit source into a 32-bit destination",
       &dst32.image,
       &src16.image,
       0,
       1,
       0,
       nullptr,
       0,
       255,
       {0, 0, 12, 12}},
      {"a paletted destination",
       &palettedDst.image,
       &palettedSrc.image,
       0,
       1,
       0,
       nullptr,
       0,
       255,
       {0, 0, 12, 12}},
      {"a destination with alpha",
       &alphaDst.image,
       &src32.image,
       0,
       1,
       0,
       nullptr,
       0,
       255,
       {0, 0, 12, 12}},
      {"a source without columns",
       &dst32.image,
       &noColumns,
       0,
       1,
       0,
       nullptr,
       0,
       255,
       {0, 0, 12, 12}},
      {"scale 0", &dst32.image, &src32.image, 0, 0, 0, nullptr, 0, 255, {0, 0, 12, 12}},
      {"scale 0, turned", &dst32.image, &src32.image, 0, 0, 1, nullptr, 0, 255, {0, 0, 12, 12}},
      {"scale NaN", &dst32.image, &src32.image, 0, nan, 0, nullptr, 0, 255, {0, 0, 12, 12}},
      {"scale infinite", &dst32.image, &src32.image, 0, inf, 1, nullptr, 0, 255, {0, 0, 12, 12}},
      {"angle NaN", &dst32.image, &src32.image, nan, 1, 0, nullptr, 0, 255, {0, 0, 12, 12}},
      {"a blend image narrower than the source",
       &dst32.image,
       &src32.image,
       0,
       1,
       0,
       &smallBlend.image,
       0,
       255,
       {0, 0, 12, 12}},
      {"a blend image of four bytes a pixel",
       &dst32.image,
       &src32.image,
       0,
       1,
       0,
       &wideBlend.image,
       0,
       255,
       {0, 0, 12, 12}},
      {"mode 1 at 0", &dst32.image, &src32.image, 0, 1, 0, nullptr, 1, 0, {0, 0, 12, 12}},
      {"mode 2 at 0", &dst32.image, &src32.image, 0, 1, 0, nullptr, 2, 0, {0, 0, 12, 12}},
      {"mode 3 at 0", &dst32.image, &src32.image, 0, 1, 0, nullptr, 3, 0, {0, 0, 12, 12}},
      {"mode 3 at 0, paletted source",
       &dst32.image,
       &palettedSrc.image,
       0,
       1,
       0,
       nullptr,
       3,
       0,
       {0, 0, 12, 12}},
      {"mode 7", &dst32.image, &src32.image, 0, 1, 0, nullptr, 7, 255, {0, 0, 12, 12}},
      {"mode 12", &dst32.image, &src32.image, 0, 1, 0, nullptr, 12, 255, {0, 0, 12, 12}},
      {"mode -1", &dst32.image, &src32.image, 0, 1, 0, nullptr, -1, 255, {0, 0, 12, 12}},
      {"an empty draw area", &dst32.image, &src32.image, 0, 1, 0, nullptr, 0, 255, {4, 4, 4, 12}},
      {"a box outside the draw area",
       &dst32.image,
       &src32.image,
       0,
       1,
       0,
       nullptr,
       0,
       255,
       {0, 0, 2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CurrentBlendMode = c.mode;
    BlendParam = c.param;
    DrawArea = c.area;
    const size_t size = static_cast<size_t>(c.dst->body->pitch) * 12 + 2 * CanaryImage::kMargin;
    const std::vector<uint8_t> before(c.dst->pixels - CanaryImage::kMargin,
                                      c.dst->pixels - CanaryImage::kMargin + size);
    DrawMemImgRotated(c.dst, c.src, 6, 6, c.angle, c.scale, 0, c.turn, c.blend);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), c.dst->pixels - CanaryImage::kMargin));
  }
  // Modes 0 and 4 draw at parameter 0.
  for (int mode : {0, 4}) {
    CurrentBlendMode = mode;
    BlendParam = 0;
    DrawArea = {0, 0, 12, 12};
    dst32.Fill(0x00808080);
    DrawMemImgRotated(&dst32.image, &src32.image, 6, 6, 0.0f, 1.0f, 0, 0, nullptr);
    EXPECT_NE(dst32.Get(6, 6), 0x00808080u) << mode;
  }
}

// Rows beyond 4096, where a fixed table of row addresses would end, draw from their own rows,
// in the source and in the blend image.
TEST(RotatedBlit, SourcesTallerThan4096RowsDrawTheirOwnRows) {
  DrawStateGuard state;
  for (int i = 0; i < 256; ++i) BlendImageRamp[i] = static_cast<uint8_t>(i);
  constexpr int kRows = 5000;
  CanaryImage src(3, kRows, Xrgb8888), blend(3, kRows, Single8), dst(8, 20, Xrgb8888);
  for (int y = 0; y < kRows; ++y)
    for (int x = 0; x < 3; ++x) {
      src.Set(x, y, static_cast<uint32_t>(y));
      blend.Set(x, y, static_cast<uint32_t>(y % 251));
    }
  // Centre row 2500 of the source at y = -1690: destination row y shows source row y + 4190.
  DrawMemImgRotated(&dst.image, &src.image, 4, -1690, 0.0f, 1.0f, 0, 0, nullptr);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(dst.Get(4, y), static_cast<uint32_t>(y + 4190)) << y;

  src.Fill(0x00FFFFFF);
  dst.Fill(0);
  DrawMemImgRotated(&dst.image, &src.image, 4, -1690, 0.0f, 1.0f, 0, 0, &blend.image);
  for (int y = 0; y < 20; ++y) {
    const uint32_t v = 255 * static_cast<uint32_t>((y + 4190) % 251) / 256;
    EXPECT_EQ(dst.Get(4, y), v * 0x010101) << y;
  }
  EXPECT_TRUE(dst.CanariesIntact());
}

// Centres and corners far beyond 32768 pixels, where 14.18 positions in 32 bits would wrap,
// draw the part of the image that lies on the destination.
TEST(RotatedBlit, FarCornersDrawClippedOrNothing) {
  DrawStateGuard state;
  CanaryImage src(4, 4, Xrgb8888), dst(16, 12, Xrgb8888);
  FillLetters(src);
  // 80000 pixels wide, centred 39990 pixels to the left: the destination sees the right edge
  // of texel column 3, texel row 1 above y = 5 and row 2 from there. The image ends at x = 10;
  // the column step, 13.1 units truncated to 13, reaches that edge one pixel late.
  dst.Fill(kUntouched);
  DrawMemImgRotated(&dst.image, &src.image, -39990, 5, 0.0f, 20000.0f, 0, 0, nullptr);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) {
      const uint32_t expected = x <= 10 ? 'a' + (y < 5 ? 4 : 8) + 3 : kUntouched;
      ASSERT_EQ(dst.Get(x, y), expected) << x << "," << y;
    }
  // Turned, the same image is drawn through the quad, mirrored: texel column 0 shows.
  dst.Fill(kUntouched);
  DrawMemImgRotated(&dst.image, &src.image, -39990, 5, 0.0f, 20000.0f, 0, 1, nullptr);
  for (int y = 0; y < 12; ++y) EXPECT_EQ((dst.Get(0, y) - 'a') % 4, 0u) << y;

  // Corners beyond the 32-bit pixel range: the unturned draw covers the destination with the
  // centre texel, the turned one cannot hand its corners to the quad and draws nothing.
  dst.Fill(kUntouched);
  DrawMemImgRotated(&dst.image, &src.image, 8, 6, 0.0f, 3e9f, 0, 0, nullptr);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) ASSERT_EQ(dst.Get(x, y), 'a' + 2 * 4 + 2u) << x << "," << y;
  dst.Fill(kUntouched);
  DrawMemImgRotated(&dst.image, &src.image, 8, 6, 0.0f, 3e9f, 0, 1, nullptr);
  EXPECT_EQ(dst.Get(8, 6), kUntouched);
  EXPECT_TRUE(dst.CanariesIntact());
}

}  // namespace
