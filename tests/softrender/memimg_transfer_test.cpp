// The run-length skip table, the premultiplied copy, image transfer and rectangle copies.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/graphics/image/graph_image.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/softrender/memimg.h"
#include "tests/softrender/memimg_fixture.h"

namespace {

std::vector<uint8_t> TableRow(const MEMIMG& image, int row) {
  const uint8_t* t = image.body->skipTable;
  for (int r = 0; r < row; ++r)
    while (*t++ != SkipTableRowEnd) {}
  std::vector<uint8_t> out;
  do out.push_back(*t);
  while (*t++ != SkipTableRowEnd);
  return out;
}

using Bytes = std::vector<uint8_t>;

TEST(SkipTable, EncodesKnownRows) {
  // 130 pixels: runs of 64, 64 and 2.
  CanaryImage wide(130, 2, Xrgb8888, 0, 0, 1, 0x00FF00FF);
  for (int x = 0; x < 130; ++x) {
    wide.Set(x, 0, 0x00FF00FF);
    wide.Set(x, 1, 0x00123456);
  }
  ASSERT_EQ(RebuildMemImgWorkBuffers(&wide.image), 0);
  EXPECT_EQ(TableRow(wide.image, 0), (Bytes{0x3F, 0x3F, 0x01, 0xC0}));
  EXPECT_EQ(TableRow(wide.image, 1), (Bytes{0x7F, 0x7F, 0x41, 0xC0}));

  const uint8_t alphas[6] = {0, 0, 255, 128, 128, 255};
  for (int colorType : {Xrgb8888, Rgb565}) {
    CanaryImage alpha(6, 1, colorType, 0, 1, 1, 0x00FFFFFF);
    for (int x = 0; x < 6; ++x) alpha.At(x, 0)[colorType == Xrgb8888 ? 3 : 2] = alphas[x];
    ASSERT_EQ(RebuildMemImgWorkBuffers(&alpha.image), 0);
    EXPECT_EQ(TableRow(alpha.image, 0), (Bytes{0x01, 0x40, 0x81, 0x40, 0xC0})) << colorType;
  }

  // The whole word is compared: a pixel that differs from the key in byte 3 alone is opaque.
  CanaryImage fourth(3, 1, Xrgb8888, 0, 0, 1, 0x00FF00FF);
  fourth.Set(0, 0, 0x00FF00FF);
  fourth.Set(1, 0, 0xFFFF00FF);
  fourth.Set(2, 0, 0x00FF00FF);
  ASSERT_EQ(RebuildMemImgWorkBuffers(&fourth.image), 0);
  EXPECT_EQ(TableRow(fourth.image, 0), (Bytes{0x00, 0x40, 0x00, 0xC0}));

  CanaryImage shallow(4, 1, Rgb565, 0, 0, 1, 0xF81F);
  shallow.Set(1, 0, 0xF81F);
  shallow.Set(2, 0, 0xF81F);
  ASSERT_EQ(RebuildMemImgWorkBuffers(&shallow.image), 0);
  EXPECT_EQ(TableRow(shallow.image, 0), (Bytes{0x40, 0x01, 0x40, 0xC0}));

  // A transparent index above 255 matches no index, 0 included.
  CanaryImage paletted(3, 1, Xrgb8888, 1, 0, 1, 256);
  ASSERT_EQ(RebuildMemImgWorkBuffers(&paletted.image), 0);
  EXPECT_EQ(TableRow(paletted.image, 0), (Bytes{0x42, 0xC0}));
  paletted.image.body->transparentColor = 0;
  paletted.Set(2, 0, 9);
  ASSERT_EQ(RebuildMemImgWorkBuffers(&paletted.image), 0);
  EXPECT_EQ(TableRow(paletted.image, 0), (Bytes{0x01, 0x40, 0xC0}));
}

TEST(SkipTable, OnlyImagesWithATableBufferAndAColourTypeGetOne) {
  CanaryImage none(4, 1, Xrgb8888);
  EXPECT_EQ(RebuildMemImgWorkBuffers(&none.image), -1);
  EXPECT_EQ(none.image.body->skipTableValid, 0);
  CanaryImage single16(4, 1, Single16, 0, 0, 1);
  EXPECT_EQ(RebuildMemImgWorkBuffers(&single16.image), -1);
}

TEST(SkipTable, PremultipliedCopyScalesEachFieldByItsAlpha) {
  CanaryImage deep(2, 1, Xrgb8888, 0, 1, 1), shallow(2, 1, Rgb565, 0, 1, 1);
  deep.Set(0, 0, 0x80FF8040);
  deep.Set(1, 0, 0xFF123456);
  shallow.Set(0, 0, 0x0080FFFF);
  shallow.Set(1, 0, 0x00FF1234);
  ASSERT_EQ(RebuildMemImgWorkBuffers(&deep.image), 0);
  ASSERT_EQ(RebuildMemImgWorkBuffers(&shallow.image), 0);
  const auto word = [](const MEMIMG& m, int x) {
    uint32_t v;
    std::memcpy(&v, m.premultipliedPixels + 4 * x, 4);
    return v;
  };
  EXPECT_EQ(deep.image.body->premultipliedValid, 1);
  EXPECT_EQ(word(deep.image, 0), 0x807F4020u);
  EXPECT_EQ(word(deep.image, 1), 0xFF113355u);
  EXPECT_EQ(word(shallow.image, 0), 0x00807BEFu);  // red 15, green 31, blue 15, alpha 128
  EXPECT_EQ(word(shallow.image, 1), 0x00FF0A13u);  // 255/256 of red 2, green 17, blue 20
}

// An image of XRGB pixels, each a distinct colour.
struct SourceImage {
  std::vector<uint8_t> pixels;
  GraphImage image{};
  SourceImage(int width, int height, bool alpha) {
    if (alpha)
      SetupARGB8PixelFormat(&image.Format);
    else
      SetupXRGB8PixelFormat(&image.Format);
    image.Width = width;
    image.Height = height;
    image.Pitch = width * 4 + 8;
    pixels.assign(static_cast<size_t>(image.Pitch) * height, 0);
    image.Pixels = pixels.data();
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) Set(x, y, 0xFF000000u | Colour(x, y));
  }
  static uint32_t Colour(int x, int y) { return 0x010203u * (1 + x + 16 * y); }
  void Set(int x, int y, uint32_t v) { std::memcpy(image.Pixels + y * image.Pitch + 4 * x, &v, 4); }
};

TEST(Transfer, WholeViewTransfersRebuildTheTableAndOthersClearIt) {
  SourceImage src(6, 2, true);
  const uint8_t alphas[6] = {0, 0, 255, 128, 128, 255};
  for (int x = 0; x < 6; ++x) src.Set(x, 0, uint32_t{alphas[x]} << 24 | 0x102030);
  MEMIMG dst{};
  ASSERT_EQ(CreateMemImg(&dst, 6, 2, -1, 0, Xrgb8888, 0, 1, 1, nullptr), 0);

  EXPECT_GE(TransferGraphImageToMemImg(&src.image, nullptr, &dst, 0, 0, 6, 2, 0, 0, 0), 0);
  EXPECT_EQ(dst.body->skipTableValid, 1);
  EXPECT_EQ(dst.body->premultipliedValid, 1);
  EXPECT_EQ(TableRow(dst, 0), (Bytes{0x01, 0x40, 0x81, 0x40, 0xC0}));

  // A part of the view, even at the view's full size but placed at an offset, is not full.
  EXPECT_GE(TransferGraphImageToMemImg(&src.image, nullptr, &dst, 0, 0, 3, 1, 0, 0, 0), 0);
  EXPECT_EQ(dst.body->skipTableValid, 0);
  EXPECT_EQ(dst.body->premultipliedValid, 0);
  EXPECT_GE(TransferGraphImageToMemImg(&src.image, nullptr, &dst, 0, 0, 6, 2, 1, 0, 0), 0);
  EXPECT_EQ(dst.body->skipTableValid, 0);

  for (int x = 0; x < 6; ++x) src.Set(x, 0, 0xFF000000u);
  EXPECT_GE(TransferGraphImageToMemImg(&src.image, nullptr, &dst, 0, 0, 6, 2, 0, 0, 0), 0);
  EXPECT_EQ(dst.body->skipTableValid, 1);
  EXPECT_EQ(TableRow(dst, 0), (Bytes{0x45, 0xC0}));
  ReleaseMemImg(&dst);

  MEMIMG plain{};
  ASSERT_EQ(CreateMemImg(&plain, 6, 2, -1, 0, Xrgb8888, 0, 1, 0, nullptr), 0);
  EXPECT_GE(TransferGraphImageToMemImg(&src.image, nullptr, &plain, 0, 0, 6, 2, 0, 0, 0), 0);
  EXPECT_EQ(plain.body->skipTableValid, 0);
  ReleaseMemImg(&plain);
}

TEST(Transfer, AFailedConversionTouchesNothing) {
  SourceImage src(4, 4, false);
  src.image.Format.BlockCompression = 1;  // block data cannot be converted here
  CanaryImage dst(4, 4, Xrgb8888, 1, 0, 1);
  ASSERT_EQ(RebuildMemImgWorkBuffers(&dst.image), 0);
  dst.image.body->colorsUsed = 3;
  EXPECT_LT(TransferGraphImageToMemImg(&src.image, nullptr, &dst.image, 0, 0, 4, 4, 0, 0, 0), 0);
  EXPECT_EQ(dst.image.body->skipTableValid, 1);
  EXPECT_EQ(dst.image.body->colorsUsed, 3);
}

// A blend image takes the red channel of the image it is made from.
TEST(Transfer, SingleChannelImagesTakeTheRedValue) {
  SourceImage src(4, 1, false);
  const uint32_t colours[4] = {0x00112233, 0x00FF0000, 0x00008000, 0x000000FF};
  for (int x = 0; x < 4; ++x) src.Set(x, 0, colours[x]);
  CanaryImage blend(4, 1, Single8);
  EXPECT_GE(TransferGraphImageToMemImg(&src.image, nullptr, &blend.image, 0, 0, 4, 1, 0, 0, 0), 0);
  EXPECT_EQ(blend.Get(0, 0), 0x11u);
  EXPECT_EQ(blend.Get(1, 0), 0xFFu);
  EXPECT_EQ(blend.Get(2, 0), 0u);
  EXPECT_EQ(blend.Get(3, 0), 0u);
  EXPECT_TRUE(blend.CanariesIntact());
}

TEST(Transfer, PaletteEntriesAreConvertedAndCopied) {
  GraphImage src{};
  std::vector<uint8_t> indices(4, 3);
  SetupPalettePixelFormat(&src.Format);
  std::memset(src.Format.Palette, 0, sizeof(src.Format.Palette));
  src.Format.Palette[3] = {0xFF, 0x80, 0x10, 0x44};  // blue, green, red, alpha
  src.Width = 4;
  src.Height = 1;
  src.Pitch = 4;
  src.Pixels = indices.data();
  for (int colorType : {Xrgb8888, Rgb565}) {
    MEMIMG dst{};
    ASSERT_EQ(CreateMemImg(&dst, 4, 1, -1, 0, colorType, 1, 0, 0, nullptr), 0);
    EXPECT_GE(TransferGraphImageToMemImg(&src, nullptr, &dst, 0, 0, 4, 1, 0, 0, 0), 0);
    const MemImgBody& body = *dst.body;
    EXPECT_EQ(body.colorsUsed, 4);  // the highest index written, plus one
    EXPECT_EQ(dst.pixels[0], 3);
    uint32_t entry = 0;
    std::memcpy(&entry, body.palette + 3 * (colorType == Xrgb8888 ? 4 : 2),
                colorType == Xrgb8888 ? 4 : 2);
    EXPECT_EQ(entry,
              colorType == Xrgb8888 ? 0x001080FFu : 0x141Fu);  // 565: red 2, green 32, blue 31
    EXPECT_EQ(std::memcmp(body.palette, body.paletteCopy, colorType == Xrgb8888 ? 1024 : 512), 0);
    ReleaseMemImg(&dst);
  }
}

// Rectangles that hang over either image: only the overlap is written, with the pixels that
// belong there, and nothing outside the destination's rows.
TEST(Transfer, RectanglesOverhangingEitherImageAreClippedToBoth) {
  struct Case {
    const char* what;
    int srcX, srcY, width, height, dstX, dstY;
  } const cases[] = {
      {"over the image's right edge", 3, 0, 6, 2, 0, 0},
      {"over the image's top-left corner", -2, -1, 4, 4, 1, 1},
      {"over the destination's bottom-right corner", 0, 0, 5, 4, 4, 3},
      {"to the left of and above the destination", 0, 0, 5, 4, -3, -2},
      {"far outside", 0, 0, 5, 4, 100, 100},
      {"larger than both", -10, -10, 40, 40, -10, -10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SourceImage src(5, 4, false);
    CanaryImage dst(6, 5, Xrgb8888);
    TransferGraphImageToMemImg(&src.image, nullptr, &dst.image, c.srcX, c.srcY, c.width, c.height,
                               c.dstX, c.dstY, 0);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x) {
        const int sx = x - c.dstX + c.srcX, sy = y - c.dstY + c.srcY;
        const bool written = x - c.dstX >= 0 && x - c.dstX < c.width && y - c.dstY >= 0 &&
                             y - c.dstY < c.height && sx >= 0 && sx < 5 && sy >= 0 && sy < 4;
        EXPECT_EQ(dst.Get(x, y) & 0xFFFFFF, written ? SourceImage::Colour(sx, sy) : 0u)
            << x << "," << y;
      }
    EXPECT_TRUE(dst.CanariesIntact());

    // The same rectangle between two memory images.
    CanaryImage from(5, 4, Xrgb8888), to(6, 5, Xrgb8888);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) from.Set(x, y, SourceImage::Colour(x, y));
    const RECT rect = {c.srcX, c.srcY, c.srcX + c.width, c.srcY + c.height};
    CopyMemImgRect(&to.image, &from.image, &rect, c.dstX, c.dstY);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 6; ++x)
        EXPECT_EQ(to.Get(x, y), dst.Get(x, y) & 0xFFFFFF) << x << "," << y;
    EXPECT_TRUE(to.CanariesIntact());
  }
}

TEST(Transfer, CopyOfTheWholeSourceAndOfNothing) {
  CanaryImage from(3, 2, Rgb565), to(4, 4, Rgb565);
  from.Fill(0xBEEF);
  EXPECT_EQ(CopyMemImgRect(&to.image, &from.image, nullptr, 1, 2), 0);
  EXPECT_EQ(to.Get(1, 2), 0xBEEFu);
  EXPECT_EQ(to.Get(3, 3), 0xBEEFu);
  EXPECT_EQ(to.Get(0, 2), 0u);
  const RECT empty = {2, 1, 2, 2};
  EXPECT_EQ(CopyMemImgRect(&to.image, &from.image, &empty, 0, 0), -1);
  EXPECT_TRUE(to.CanariesIntact());
}

}  // namespace
