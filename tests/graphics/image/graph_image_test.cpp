#include "runtime/graphics/image/graph_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/graphics/image/pixel_conversion.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/image_fixtures.h"

namespace {

// An image of the given format whose pixels are the values given row by row.
GraphImage MakeImage(const PixelFormat& format, int width, int height,
                     const std::vector<uint32_t>& values = {}) {
  GraphImage model{};
  model.Format = format;
  GraphImage image{};
  EXPECT_EQ(CreateGraphImageLike(width, height, &model, &image), 0);
  std::memset(image.Pixels, 0, static_cast<size_t>(image.Pitch) * height);
  for (size_t i = 0; i < values.size(); ++i) {
    uint8_t* p = image.Pixels + (i / width) * image.Pitch + (i % width) * format.BytesPerPixel;
    for (int b = 0; b < format.BytesPerPixel; ++b)
      p[b] = static_cast<uint8_t>(values[i] >> (8 * b));
  }
  return image;
}

uint32_t Raw(const GraphImage& image, int x, int y) {
  const int bytes = image.Format.BytesPerPixel;
  const uint8_t* p = image.Pixels + y * image.Pitch + x * bytes;
  uint32_t v = 0;
  for (int b = 0; b < bytes; ++b) v |= static_cast<uint32_t>(p[b]) << (8 * b);
  return v;
}

std::vector<uint32_t> AllRaw(const GraphImage& image) {
  std::vector<uint32_t> out;
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x) out.push_back(Raw(image, x, y));
  return out;
}

TEST(GraphImage, CreateAndFree) {
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  struct Case {
    PixelFormat format;
    int width, height, pitch;
  };
  const Case cases[] = {
      {TestFormatRGB8(), 5, 3, 16},
      {TestFormatR5G6B5(), 3, 2, 8},
      {TestFormatPalette({}), 1, 1, 4},
      {TestFormatARGB8(), 640, 480, 2560},
  };
  for (const Case& c : cases) {
    GraphImage model{};
    model.Format = c.format;
    model.Format.Palette[9].Red = 0x33;
    GraphImage image;
    std::memset(&image, 0xCC, sizeof image);
    ASSERT_EQ(CreateGraphImageLike(c.width, c.height, &model, &image), 0);
    EXPECT_EQ(image.Width, c.width);
    EXPECT_EQ(image.Height, c.height);
    EXPECT_EQ(image.Pitch, c.pitch);
    EXPECT_EQ(image.MipLevels, 0);
    EXPECT_EQ(memcmp(&image.Format, &model.Format, sizeof model.Format), 0);
    ASSERT_NE(image.Pixels, nullptr);
    std::memset(image.Pixels, 0x5A, static_cast<size_t>(image.Pitch) * image.Height);
    EXPECT_EQ(FreeGraphImage(&image), 0);
    const GraphImage zero{};
    EXPECT_EQ(memcmp(&image, &zero, sizeof image), 0);
  }
  GraphImage argb, xrgb;
  ASSERT_EQ(CreateArgbGraphImage(2, 2, &argb), 0);
  ASSERT_EQ(CreateXrgbGraphImage(2, 2, &xrgb), 0);
  EXPECT_EQ(argb.Format.AlphaMask, 0xFF000000u);
  EXPECT_EQ(xrgb.Format.SpareMask, 0xFF000000u);
  FreeGraphImage(&argb);
  FreeGraphImage(&xrgb);
  const TrackedHeapTotals after = GetTrackedHeapTotals();
  EXPECT_EQ(after.blocks, before.blocks);
  EXPECT_EQ(after.bytes, before.bytes);
}

TEST(GraphImage, CreateRefusesSizesThatCannotBeHeld) {
  GraphImage out{};
  const int sizes[][2] = {{0, 5}, {5, 0}, {-1, 5}, {5, -3}, {70000, 70000}, {0x7FFFFFFF, 1}};
  for (const auto& s : sizes) {
    out.Pixels = reinterpret_cast<uint8_t*>(&out);
    EXPECT_EQ(CreateArgbGraphImage(s[0], s[1], &out), -1) << s[0] << " x " << s[1];
    EXPECT_EQ(out.Pixels, nullptr);
  }
  GraphImage dxt{};
  SetupARGB8PixelFormat(&dxt.Format);
  dxt.Format.BlockCompression = 1;
  EXPECT_EQ(CreateGraphImageLike(4, 4, &dxt, &out), -1);

  SetTrackedHeapFailures(1);
  EXPECT_EQ(CreateXrgbGraphImage(4, 4, &out), -1);
  EXPECT_EQ(out.Pixels, nullptr);
  SetTrackedHeapFailures(0);
}

TEST(GraphImage, PixelAccess) {
  GraphImage white565 = MakeImage(TestFormatR5G6B5(), 2, 1, {0xFFFF, 0x8410});
  EXPECT_EQ(GetGraphImagePixelArgb(&white565, 0, 0), 0x00F8FCF8u);
  EXPECT_EQ(GetGraphImagePixelArgb(&white565, 1, 0), 0x00808080u);
  int r = -1, g = -1, b = -1, a = -1;
  ASSERT_EQ(GetGraphImagePixel(&white565, 1, 0, &r, &g, &b, &a), 0);
  EXPECT_EQ(r, 131);
  EXPECT_EQ(g, 129);
  EXPECT_EQ(b, 131);
  EXPECT_EQ(a, 0);

  // Outside the image, negative coordinates included: -1 and the outputs unchanged.
  const int outside[][2] = {{2, 0}, {0, 1}, {-1, 0}, {0, -1}};
  for (const auto& p : outside) {
    r = g = b = a = 77;
    EXPECT_EQ(GetGraphImagePixel(&white565, p[0], p[1], &r, &g, &b, &a), -1);
    EXPECT_EQ(SetGraphImagePixel(&white565, p[0], p[1], 1, 2, 3, 4), -1);
    EXPECT_EQ(r + g + b + a, 4 * 77);
  }
  ASSERT_EQ(SetGraphImagePixel(&white565, 1, 0, 255, 0, 255, 0), 0);
  EXPECT_EQ(Raw(white565, 1, 0), 0xF81Fu);
  FreeGraphImage(&white565);

  GraphImage argb = MakeImage(TestFormatARGB8(), 1, 1, {0x80102030});
  EXPECT_EQ(GetGraphImagePixelArgb(&argb, 0, 0), 0x80102030u);
  ASSERT_EQ(SetGraphImagePixel(&argb, 0, 0, 1, 2, 3, 4), 0);
  EXPECT_EQ(Raw(argb, 0, 0), 0x04010203u);
  FreeGraphImage(&argb);

  GraphImage rgb = MakeImage(TestFormatRGB8(), 2, 1);
  ASSERT_EQ(SetGraphImagePixel(&rgb, 1, 0, 0x11, 0x22, 0x33, 0), 0);
  EXPECT_EQ(rgb.Pixels[3], 0x33);
  EXPECT_EQ(rgb.Pixels[4], 0x22);
  EXPECT_EQ(rgb.Pixels[5], 0x11);
  EXPECT_EQ(Raw(rgb, 0, 0), 0u);
  FreeGraphImage(&rgb);

  // Palette images read their entries, alpha byte included, and write the nearest index.
  GraphImage pal = MakeImage(TestFormatPalette({0x00000000, 0x7FFF8040, 0x00FFFFFF}), 2, 1, {1, 0});
  EXPECT_EQ(GetGraphImagePixelArgb(&pal, 0, 0), 0x00FF8040u);
  ASSERT_EQ(GetGraphImagePixel(&pal, 0, 0, &r, &g, &b, &a), 0);
  EXPECT_EQ(r, 0xFF);
  EXPECT_EQ(g, 0x80);
  EXPECT_EQ(b, 0x40);
  EXPECT_EQ(a, 0x7F);
  ASSERT_EQ(SetGraphImagePixel(&pal, 1, 0, 250, 250, 250, 0), 0);
  EXPECT_EQ(Raw(pal, 1, 0), 2u);
  FreeGraphImage(&pal);

  GraphImage none{};
  EXPECT_EQ(GetGraphImagePixelArgb(&none, 0, 0), 0u);
  EXPECT_EQ(GetGraphImagePixel(&none, 0, 0, &r, &g, &b, &a), -1);
}

TEST(GraphImage, ClearIsClippedToTheImage) {
  GraphImage image = MakeImage(TestFormatRGB8(), 3, 3);
  ASSERT_EQ(image.Pitch, 12);
  std::memset(image.Pixels, 0xEE, static_cast<size_t>(image.Pitch) * 3);
  ASSERT_EQ(ClearGraphImageRect(&image, 1, 1, 1, 1), 0);
  ASSERT_EQ(ClearGraphImageRect(&image, 2, 2, 10, 10), 0);
  ASSERT_EQ(ClearGraphImageRect(&image, -5, -5, 6, 6), 0);
  const std::vector<uint32_t> expected = {0x000000, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0x000000,
                                          0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0x000000};
  EXPECT_EQ(AllRaw(image), expected);
  // The row padding after the last pixel is not part of the image.
  for (int i = 9; i < 12; ++i) EXPECT_EQ(image.Pixels[2 * image.Pitch + i], 0xEE);
  FreeGraphImage(&image);
}

TEST(GraphImage, MirrorAndHalfTurn) {
  for (const PixelFormat& f :
       {TestFormatPalette({}), TestFormatR5G6B5(), TestFormatRGB8(), TestFormatARGB8()}) {
    SCOPED_TRACE(f.BitsPerPixel);
    GraphImage image =
        MakeImage(f, 3, 2, {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112});
    std::vector<uint32_t> v = AllRaw(image);
    ASSERT_EQ(MirrorGraphImage(&image), 0);
    EXPECT_EQ(AllRaw(image), (std::vector<uint32_t>{v[2], v[1], v[0], v[5], v[4], v[3]}));
    ASSERT_EQ(MirrorGraphImage(&image), 0);
    ASSERT_EQ(RotateGraphImageHalfTurn(&image), 0);
    EXPECT_EQ(AllRaw(image), (std::vector<uint32_t>{v[5], v[4], v[3], v[2], v[1], v[0]}));
    FreeGraphImage(&image);
  }
  // 2 x 2: (0,0) with (1,1), (1,0) with (0,1).
  GraphImage square = MakeImage(TestFormatARGB8(), 2, 2, {1, 2, 3, 4});
  ASSERT_EQ(RotateGraphImageHalfTurn(&square), 0);
  EXPECT_EQ(AllRaw(square), (std::vector<uint32_t>{4, 3, 2, 1}));
  FreeGraphImage(&square);
  // An odd height turns its middle row as well.
  GraphImage odd = MakeImage(TestFormatARGB8(), 2, 3, {1, 2, 3, 4, 5, 6});
  ASSERT_EQ(RotateGraphImageHalfTurn(&odd), 0);
  EXPECT_EQ(AllRaw(odd), (std::vector<uint32_t>{6, 5, 4, 3, 2, 1}));
  FreeGraphImage(&odd);

  GraphImage empty{};
  SetupARGB8PixelFormat(&empty.Format);
  EXPECT_EQ(MirrorGraphImage(&empty), -1);
}

TEST(GraphImage, CopyRectClipsBothImages) {
  const PixelFormat f = TestFormatARGB8();
  std::vector<uint32_t> values;
  for (uint32_t i = 1; i <= 20; ++i) values.push_back(i);
  GraphImage src = MakeImage(f, 5, 4, values);
  struct Case {
    const char* name;
    int sx, sy, w, h, dx, dy;
    std::vector<uint32_t> expected;  // the 4 x 3 destination, 0 where nothing was written
  };
  const Case cases[] = {
      {"inside", 1, 1, 2, 2, 1, 0, {0, 7, 8, 0, 0, 12, 13, 0, 0, 0, 0, 0}},
      {"srcX -3 shifts right by 3 and narrows by 3",
       -3,
       0,
       5,
       1,
       0,
       0,
       {0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"negative destination", 0, 0, 3, 3, -1, -2, {12, 13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"over the right and bottom edges", 0, 0, 5, 4, 2, 1, {0, 0, 0, 0, 0, 0, 1, 2, 0, 0, 6, 7}},
      {"wholly outside the destination", 0, 0, 2, 2, 4, 0, std::vector<uint32_t>(12, 0)},
      {"wholly outside the source", 5, 0, 2, 2, 0, 0, std::vector<uint32_t>(12, 0)},
      {"negative size", 0, 0, -2, 2, 0, 0, std::vector<uint32_t>(12, 0)},
  };
  for (const Case& c : cases) {
    GraphImage dst = MakeImage(f, 4, 3);
    EXPECT_EQ(CopyGraphImageRect(c.sx, c.sy, c.w, c.h, c.dx, c.dy, &src, &dst), 0) << c.name;
    EXPECT_EQ(AllRaw(dst), c.expected) << c.name;
    FreeGraphImage(&dst);
  }
  // Between palettes the indices are remapped.
  GraphImage p1 = MakeImage(TestFormatPalette({0x000000, 0xFFFFFF}), 2, 1, {0, 1});
  GraphImage p2 = MakeImage(TestFormatPalette({0xFFFFFF, 0x000000}), 2, 1);
  EXPECT_EQ(CopyGraphImageRect(0, 0, 2, 1, 0, 0, &p1, &p2), 0);
  EXPECT_EQ(AllRaw(p2), (std::vector<uint32_t>{1, 0}));
  FreeGraphImage(&p1);
  FreeGraphImage(&p2);
  FreeGraphImage(&src);
}

TEST(GraphImage, ScaleRect) {
  const PixelFormat f = TestFormatARGB8();
  GraphImage src = MakeImage(f, 2, 2, {0xFF000000, 0xFFFFFFFF, 0xFF102030, 0x80FFFFFF});
  GraphImage dst = MakeImage(f, 4, 4);
  // Refused rectangles.
  EXPECT_EQ(ScaleGraphImageRect(1, 0, 1, 2, &src, 0, 0, 4, 4, &dst, 0), -1) << "sx2 = sx1";
  EXPECT_EQ(ScaleGraphImageRect(0, 0, 3, 2, &src, 0, 0, 4, 4, &dst, 0), -1) << "past source";
  EXPECT_EQ(ScaleGraphImageRect(0, 0, 2, 2, &src, -1, 0, 4, 4, &dst, 0), -1);
  EXPECT_EQ(ScaleGraphImageRect(0, 0, 2, 2, &src, 0, 0, 4, 5, &dst, 0), -1);
  EXPECT_EQ(AllRaw(dst), std::vector<uint32_t>(16, 0));

  // Equal sizes copy exactly.
  ASSERT_EQ(ScaleGraphImageRect(0, 0, 2, 2, &src, 1, 1, 3, 3, &dst, 1), 0);
  EXPECT_EQ(Raw(dst, 2, 2), 0x80FFFFFFu);
  EXPECT_EQ(Raw(dst, 1, 2), 0xFF102030u);

  // Nearest doubles each pixel.
  ASSERT_EQ(ScaleGraphImageRect(0, 0, 2, 2, &src, 0, 0, 4, 4, &dst, 0), 0);
  EXPECT_EQ(AllRaw(dst), (std::vector<uint32_t>{0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF,
                                                0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF,
                                                0xFF102030, 0xFF102030, 0x80FFFFFF, 0x80FFFFFF,
                                                0xFF102030, 0xFF102030, 0x80FFFFFF, 0x80FFFFFF}));
  FreeGraphImage(&dst);
  FreeGraphImage(&src);

  // Bilinear: the weights lose a little at full scale (255 becomes 254 halfway); the last
  // column's right neighbour lies outside the image and repeats the edge pixel instead.
  GraphImage row = MakeImage(f, 2, 1, {0xFF000000, 0xFFFFFFFF});
  GraphImage wide = MakeImage(f, 4, 1);
  ASSERT_EQ(ScaleGraphImageRect(0, 0, 2, 1, &row, 0, 0, 4, 1, &wide, 1), 0);
  EXPECT_EQ(AllRaw(wide), (std::vector<uint32_t>{0xFE000000, 0xFE7F7F7F, 0xFEFEFEFE, 0xFEFEFEFE}));
  FreeGraphImage(&row);
  FreeGraphImage(&wide);
}

TEST(GraphImage, HalvePixels) {
  const PixelFormat argb = TestFormatARGB8();
  const PixelFormat x555 = TestFormatX1R5G5B5();
  uint32_t src[4] = {0x10203040, 0x30405060, 0x50607080, 0x708090A0};
  uint32_t out[4] = {};
  // 2 x 2 into one pixel.
  ASSERT_EQ(HalveGraphImagePixels(&argb, out, 8, src, 8, 0, 0, 0, 0, 2, 2), 0);
  EXPECT_EQ(out[0], 0x40506070u);
  // 2 x 1 and 1 x 2: pairs; written at the requested position.
  ASSERT_EQ(HalveGraphImagePixels(&argb, out, 8, src, 8, 1, 0, 0, 0, 2, 1), 0);
  EXPECT_EQ(out[1], 0x20304050u);
  ASSERT_EQ(HalveGraphImagePixels(&argb, out, 8, src, 8, 0, 1, 1, 0, 1, 2), 0);
  EXPECT_EQ(out[2], 0x50607080u);
  // 1 x 1 is copied whole; averaged pixels lose the bits outside the channels.
  uint16_t s16[4] = {0xFFFF, 0x8001, 0x0000, 0x0000};
  uint16_t o16[2] = {};
  ASSERT_EQ(HalveGraphImagePixels(&x555, o16, 4, s16, 4, 0, 0, 0, 0, 1, 1), 0);
  EXPECT_EQ(o16[0], 0xFFFF);
  ASSERT_EQ(HalveGraphImagePixels(&x555, o16, 4, s16, 4, 1, 0, 0, 0, 2, 1), 0);
  EXPECT_EQ(o16[1], (0x1F / 2 << 10) | (0x1F / 2 << 5) | ((0x1F + 1) / 2));
  // Odd sides are refused; other depths write nothing.
  uint32_t before[4];
  std::memcpy(before, out, sizeof out);
  EXPECT_EQ(HalveGraphImagePixels(&argb, out, 8, src, 8, 0, 0, 0, 0, 3, 2), -1);
  EXPECT_EQ(HalveGraphImagePixels(&argb, out, 8, src, 8, 0, 0, 0, 0, 2, 0), -1);
  const PixelFormat rgb = TestFormatRGB8();
  EXPECT_EQ(HalveGraphImagePixels(&rgb, out, 8, src, 8, 0, 0, 0, 0, 2, 2), 0);
  EXPECT_EQ(memcmp(out, before, sizeof out), 0);
}

// A DXT image of the given kind from raw block bytes, as the DDS loader hands it over.
GraphImage MakeBlockImage(int kind, int width, int height, const std::vector<uint8_t>& blocks) {
  GraphImage image{};
  SetupARGB8PixelFormat(&image.Format);
  image.Format.BitsPerPixel = kind == 1 ? 4 : 8;
  image.Format.BytesPerPixel = kind == 1 ? 0 : 1;
  image.Format.BlockCompression = static_cast<uint32_t>(kind);
  image.Width = width;
  image.Height = height;
  image.MipLevels = 2;
  image.Pixels = static_cast<uint8_t*>(AllocTracked(blocks.size(), "test", __LINE__));
  std::memcpy(image.Pixels, blocks.data(), blocks.size());
  return image;
}

TEST(BlockCompression, ColourBlocks) {
  // c0 red > c1 blue: four opaque colours, indices 0, 1, 2, 3 along each row.
  GraphImage four = MakeBlockImage(1, 4, 4, {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4});
  ASSERT_EQ(ExpandBlockCompressedImage(&four), 0);
  EXPECT_EQ(four.Format.BlockCompression, 0u);
  EXPECT_EQ(four.Format.BitsPerPixel, 32);
  EXPECT_EQ(four.Pitch, 16);
  EXPECT_EQ(four.MipLevels, 0) << "the expanded buffer holds the top level only";
  EXPECT_EQ(AllRaw(four)[0], 0xFFFF0000u);
  EXPECT_EQ(AllRaw(four)[1], 0xFF0000FFu);
  EXPECT_EQ(AllRaw(four)[2], 0xFFAA0055u);
  EXPECT_EQ(AllRaw(four)[15], 0xFF5500AAu);
  FreeGraphImage(&four);

  // c0 = c1 (green): colour 2 is the average, colour 3 the same colour with alpha 0.
  GraphImage three = MakeBlockImage(1, 4, 4, {0xE0, 0x07, 0xE0, 0x07, 0xE4, 0, 0, 0});
  ASSERT_EQ(ExpandBlockCompressedImage(&three), 0);
  EXPECT_EQ(Raw(three, 2, 0), 0xFF00FF00u);
  EXPECT_EQ(Raw(three, 3, 0), 0x0000FF00u);
  FreeGraphImage(&three);

  // 6 x 8 is two rows of two blocks: red, green over blue, white. The right blocks are cut
  // at x 6, and the lower row of blocks starts at the third block.
  GraphImage odd = MakeBlockImage(1, 6, 8,
                                  {0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0, 0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0,
                                   0x1F, 0x00, 0x1F, 0x00, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});
  ASSERT_EQ(ExpandBlockCompressedImage(&odd), 0);
  EXPECT_EQ(odd.Pitch, 24);
  const uint32_t blockColours[] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(Raw(odd, x, y), blockColours[y / 4 * 2 + x / 4]) << x << ", " << y;
  FreeGraphImage(&odd);
}

TEST(BlockCompression, WholeBlocksSizeEveryLevel) {
  struct Case {
    uint32_t kind;
    int width, height, level;
    int64_t rowBytes, levelBytes;  // a block row of the top level; the level given
  };
  const Case cases[] = {
      {1, 1, 1, 0, 8, 8},        {5, 1, 1, 0, 16, 16},       {1, 6, 8, 0, 16, 32},
      {3, 5, 3, 0, 32, 32},      {1, 127, 64, 0, 256, 4096}, {1, 127, 64, 1, 256, 1024},
      {5, 127, 64, 6, 512, 16},  {1, 16, 4, 1, 32, 16},      {1, 16, 4, 40, 32, 8},
      {0, 4, 4, 0, 0, 0},        {6, 4, 4, 0, 0, 0},         {1, 0, 4, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "DXT" << c.kind << " " << c.width << "x" << c.height
                                    << " level " << c.level);
    EXPECT_EQ(BlockCompressedRowBytes(c.kind, c.width), c.rowBytes);
    EXPECT_EQ(BlockCompressedLevelBytes(c.kind, c.width, c.height, c.level), c.levelBytes);
  }
  // 127 x 64 in DXT1: 4096 + 1024 + 256 + 64 + 16 + 8 + 8 over its seven levels.
  EXPECT_EQ(BlockCompressedDataBytes(1, 127, 64, 7), 5472);
  EXPECT_EQ(BlockCompressedDataBytes(1, 127, 64, 0), 4096) << "no mip levels is one level";
}

TEST(BlockCompression, AlphaBlocks) {
  const std::vector<uint8_t> white = {0xFF, 0xFF, 0x00, 0x00, 0, 0, 0, 0};
  // DXT3: 4-bit alpha x 17, low nibble first.
  std::vector<uint8_t> dxt3 = {0x0F, 0x5A, 0, 0, 0, 0, 0, 0};
  dxt3.insert(dxt3.end(), white.begin(), white.end());
  GraphImage a3 = MakeBlockImage(3, 4, 4, dxt3);
  ASSERT_EQ(ExpandBlockCompressedImage(&a3), 0);
  EXPECT_EQ(Raw(a3, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Raw(a3, 1, 0), 0x00FFFFFFu);
  EXPECT_EQ(Raw(a3, 2, 0), 0xAAFFFFFFu);
  EXPECT_EQ(Raw(a3, 3, 0), 0x55FFFFFFu);
  FreeGraphImage(&a3);

  // DXT5, a0 > a1: eight interpolated steps; pixel n takes index n & 7.
  struct Mode {
    uint8_t a0, a1;
    int expected[8];
  };
  const Mode modes[] = {{255, 0, {255, 0, 218, 182, 145, 109, 72, 36}},
                        {0, 255, {0, 255, 51, 102, 153, 204, 0, 255}}};
  for (const Mode& m : modes) {
    uint64_t bits = 0;
    for (int n = 0; n < 16; ++n) bits |= uint64_t(n & 7) << (3 * n);
    std::vector<uint8_t> block = {m.a0, m.a1};
    for (int i = 0; i < 6; ++i) block.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    block.insert(block.end(), white.begin(), white.end());
    GraphImage a5 = MakeBlockImage(5, 4, 4, block);
    ASSERT_EQ(ExpandBlockCompressedImage(&a5), 0);
    for (int n = 0; n < 16; ++n)
      EXPECT_EQ(Raw(a5, n % 4, n / 4) >> 24, static_cast<uint32_t>(m.expected[n & 7]))
          << "a0 " << int(m.a0) << ", pixel " << n;
    FreeGraphImage(&a5);
  }

  // DXT4 is premultiplied: the colour is divided back by the alpha; alpha 0 gives black.
  std::vector<uint8_t> dxt4 = {128, 0, 0, 0, 0, 0, 0, 0};
  dxt4[2] = 0x08;  // pixel 0 index 0 (128), pixel 1 index 1 (0)
  dxt4.insert(dxt4.end(), {0x08, 0x42, 0x08, 0x42, 0, 0, 0, 0});  // (65, 64, 65)
  GraphImage a4 = MakeBlockImage(4, 4, 4, dxt4);
  ASSERT_EQ(ExpandBlockCompressedImage(&a4), 0);
  EXPECT_EQ(Raw(a4, 0, 0), 0x80817F81u);
  EXPECT_EQ(Raw(a4, 1, 0), 0x00000000u);
  FreeGraphImage(&a4);
}

TEST(BlockCompression, PixelAccessExpandsAndFailureKeepsTheData) {
  const std::vector<uint8_t> red = {0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0};
  GraphImage image = MakeBlockImage(1, 4, 4, red);
  SetTrackedHeapFailures(1);
  int r = -1;
  EXPECT_EQ(GetGraphImagePixel(&image, 0, 0, &r, nullptr, nullptr, nullptr), -1);
  EXPECT_EQ(r, -1);
  EXPECT_EQ(image.Format.BlockCompression, 1u);
  EXPECT_EQ(memcmp(image.Pixels, red.data(), red.size()), 0);
  SetTrackedHeapFailures(0);
  ASSERT_EQ(GetGraphImagePixel(&image, 0, 0, &r, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(image.Format.BlockCompression, 0u);
  EXPECT_EQ(ExpandBlockCompressedImage(&image), 0) << "plain pixels: nothing to do";
  FreeGraphImage(&image);

  GraphImage mirrored = MakeBlockImage(1, 4, 4, {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0});
  ASSERT_EQ(MirrorGraphImage(&mirrored), 0);
  EXPECT_EQ(Raw(mirrored, 0, 0), 0xFF5500AAu);
  EXPECT_EQ(Raw(mirrored, 3, 0), 0xFFFF0000u);
  FreeGraphImage(&mirrored);
  GraphImage turned = MakeBlockImage(1, 4, 4, red);
  EXPECT_EQ(RotateGraphImageHalfTurn(&turned), -1);
  FreeGraphImage(&turned);
}

}  // namespace
