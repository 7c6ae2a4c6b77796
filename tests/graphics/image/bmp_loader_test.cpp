// The BMP loader: every variant decodes to the file's pixels and the format its path
// gives; run-length records stay inside the image; damaged files are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "port/win32.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/image_file_support.h"
#include "tests/support/log_capture.h"

namespace {

// A 3 x 2 picture: red, green, blue over white, black, grey.
const std::vector<uint32_t> kPalette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080};
const std::vector<std::vector<uint32_t>> kIndices = {{1, 2, 3}, {4, 0, 5}};
// The picture as 0xAARRGGBB from GetGraphImagePixel (palette and RGB formats give alpha 0).
const std::vector<uint32_t> kColours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};

std::vector<std::vector<uint32_t>> Rows(const std::vector<uint32_t>& values, int width) {
  std::vector<std::vector<uint32_t>> rows;
  for (size_t i = 0; i < values.size(); i += width)
    rows.emplace_back(values.begin() + i, values.begin() + i + width);
  return rows;
}

std::vector<uint32_t> Palette16() {
  std::vector<uint32_t> p = kPalette;
  p.resize(16, 0);
  return p;
}

ByteString PaletteBmp(int bits, bool topDown, uint32_t headerSize = 40) {
  BmpFileLayout layout;
  layout.width = 3;
  layout.height = topDown ? -2 : 2;
  layout.bitCount = static_cast<uint16_t>(bits);
  layout.headerSize = headerSize;
  layout.palette =
      bits == 8 ? kPalette : (bits == 4 ? Palette16() : std::vector<uint32_t>{0x000000, 0xFFFFFF});
  layout.colorsUsed = bits == 8 ? static_cast<uint32_t>(kPalette.size()) : 0;
  std::vector<std::vector<uint32_t>> indices = kIndices;
  if (bits == 1)
    for (auto& row : indices)
      for (uint32_t& i : row) i &= 1;
  return MakeBmpFile(layout, PackDibRows(indices, bits, topDown));
}

ByteString ColourBmp(int bits, uint32_t compression, std::vector<uint32_t> masks,
                     const std::vector<uint32_t>& values, bool topDown) {
  BmpFileLayout layout;
  layout.width = 3;
  layout.height = topDown ? -2 : 2;
  layout.bitCount = static_cast<uint16_t>(bits);
  layout.compression = compression;
  layout.masks = masks;
  return MakeBmpFile(layout, PackDibRows(Rows(values, 3), bits, topDown));
}

TEST(BmpLoader, EveryVariantGivesItsPixelsAndFormat) {
  struct Case {
    std::string name;
    ByteString file;
    int bitsPerPixel;  // of the result
    std::vector<uint32_t> expected;
  };
  std::vector<Case> cases;
  for (bool topDown : {false, true}) {
    const std::string order = topDown ? " top-down" : " bottom-up";
    cases.push_back({"1-bit, through the platform" + order,
                     PaletteBmp(1, topDown),
                     24,
                     {0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0xFFFFFF}});
    cases.push_back({"4-bit" + order, PaletteBmp(4, topDown), 8, kColours});
    cases.push_back(
        {"8-bit with a short colour table" + order, PaletteBmp(8, topDown), 8, kColours});
    cases.push_back(
        {"8-bit after a 124-byte header" + order, PaletteBmp(8, topDown, 124), 8, kColours});
    cases.push_back(
        {"16-bit 5-5-5 through the platform" + order,
         ColourBmp(16, BI_RGB, {}, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0, 0x4210}, topDown),
         24,
         {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0, 0x848484}});
    cases.push_back({"16-bit 5-6-5 bit fields" + order,
                     ColourBmp(16, BI_BITFIELDS, {0xF800, 0x7E0, 0x1F},
                               {0xF800, 0x07E0, 0x001F, 0xFFFF, 0, 0x8410}, topDown),
                     24,
                     {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0, 0x848284}});
    cases.push_back({"24-bit" + order, ColourBmp(24, BI_RGB, {}, kColours, topDown), 24, kColours});
    cases.push_back(
        {"32-bit keeps its fourth byte as alpha" + order,
         ColourBmp(32, BI_RGB, {}, {0x11FF0000, 0x2200FF00, 0x330000FF, 0xFFFFFFFF, 0, 0x80808080},
                   topDown),
         32,
         {0x11FF0000, 0x2200FF00, 0x330000FF, 0xFFFFFFFF, 0, 0x80808080}});
    cases.push_back(
        {"32-bit bit fields lose the fourth byte" + order,
         ColourBmp(32, BI_BITFIELDS, {0xFF0000, 0xFF00, 0xFF},
                   {0x11FF0000, 0x2200FF00, 0x330000FF, 0xFFFFFFFF, 0, 0x80808080}, topDown),
         24, kColours});
  }
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    GraphImage image{};
    ASSERT_EQ(LoadImageBytes(LoadBmpImage, c.file, &image), 0);
    EXPECT_EQ(image.Width, 3);
    EXPECT_EQ(image.Height, 2);
    EXPECT_EQ(image.Format.BitsPerPixel, c.bitsPerPixel);
    EXPECT_EQ(ImagePixels(&image), c.expected);
    if (c.bitsPerPixel == 8) {
      EXPECT_EQ(image.Pitch, 4);
      EXPECT_EQ(image.Format.Palette[4].Red, 0xFF);
      EXPECT_EQ(image.Format.Palette[4].Alpha, 0);
    }
    FreeGraphImage(&image);
  }
}

TEST(BmpLoader, RunLengthRecordsWriteInsideTheImageAndLeaveTheRestAtIndexZero) {
  // 4 x 3, rows in file order from the bottom.
  const ByteString rle8 = {
      2, 1,              // run of two 1s
      0, 3, 2, 3, 4, 0,  // three literals (padded): the third falls off the row's end
      0, 0,              // next row
      1, 5,              // one 5
      0, 2, 1, 1,        // one right, one row on
      1, 4,              // one 4 at x = 2 of the top row
      0, 1,              // end of image
      9, 9,              // never read
  };
  BmpFileLayout layout;
  layout.width = 4;
  layout.height = 3;
  layout.bitCount = 8;
  layout.compression = BI_RLE8;
  layout.palette = kPalette;
  GraphImage image{};
  ASSERT_EQ(LoadImageBytes(LoadBmpImage, MakeBmpFile(layout, rle8), &image), 0);
  ASSERT_EQ(image.Format.BitsPerPixel, 8);
  EXPECT_EQ(image.Pitch, 4);
  const std::vector<uint8_t> expected = {0, 0, 4, 0, 5, 0, 0, 0, 1, 1, 2, 3};
  EXPECT_EQ(std::vector<uint8_t>(image.Pixels, image.Pixels + 12), expected);
  FreeGraphImage(&image);

  // RLE4, 5 x 2: runs alternate the nibbles, literals take them in order.
  const ByteString rle4 = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1};
  layout.width = 5;
  layout.height = 2;
  layout.bitCount = 4;
  layout.compression = BI_RLE4;
  layout.palette = Palette16();
  ASSERT_EQ(LoadImageBytes(LoadBmpImage, MakeBmpFile(layout, rle4), &image), 0);
  EXPECT_EQ(image.Pitch, 8);
  const std::vector<uint8_t> top(image.Pixels, image.Pixels + 5),
      bottom(image.Pixels + 8, image.Pixels + 13);
  EXPECT_EQ(top, (std::vector<uint8_t>{3, 4, 5, 0, 0}));
  EXPECT_EQ(bottom, (std::vector<uint8_t>{1, 2, 1, 2, 1}));
  EXPECT_EQ(image.Format.Palette[5].Red, 0x80);
  FreeGraphImage(&image);
}

TEST(BmpLoader, HostileRunLengthRecordsStayInsideTheImage) {
  // Runs past the row end, deltas past the image, literals longer than the data, a run record
  // cut in half: every write is clipped, every read bounded, and the result is a cut image.
  const ByteString records[] = {
      {255, 7, 255, 7, 0, 0, 255, 7},
      {0, 2, 255, 255, 1, 7},
      {1, 7, 0, 2, 1, 0, 0, 200, 1, 2, 3},
      {1, 7, 0, 2, 3},
      {1, 7, 0},
  };
  for (uint32_t compression : {BI_RLE8, BI_RLE4}) {
    for (const ByteString& data : records) {
      BmpFileLayout layout;
      layout.width = 3;
      layout.height = -2;  // top-down run-length data is taken the same way
      layout.bitCount = compression == BI_RLE8 ? 8 : 4;
      layout.compression = compression;
      layout.palette = Palette16();
      GraphImage image{};
      ASSERT_EQ(LoadImageBytes(LoadBmpImage, MakeBmpFile(layout, data), &image), 0);
      EXPECT_EQ(image.Width, 3);
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_LE(image.Pixels[y * image.Pitch + x], 15);
      FreeGraphImage(&image);
    }
  }
}

TEST(BmpLoader, DamagedAndUnknownFilesAreRefused) {
  const ByteString good = ColourBmp(24, BI_RGB, {}, kColours, false);
  auto changed = [&](size_t at, std::vector<uint8_t> bytes) {
    ByteString b = good;
    for (size_t i = 0; i < bytes.size(); ++i) b[at + i] = bytes[i];
    return b;
  };
  struct Case {
    const char* name;
    ByteString file;
  };
  BmpFileLayout rle;
  rle.width = 2;
  rle.height = 0;
  rle.bitCount = 8;
  rle.compression = BI_RLE8;
  BmpFileLayout huge = rle;
  huge.width = 16384;
  huge.height = 4097;
  BmpFileLayout jpeg;
  jpeg.width = 2;
  jpeg.height = 2;
  jpeg.bitCount = 0;
  jpeg.compression = BI_JPEG;
  const Case cases[] = {
      {"no BM", changed(0, {'M', 'B'})},
      {"width 0", changed(18, {0, 0, 0, 0})},
      {"negative width", changed(18, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"height 0 with run-length data", MakeBmpFile(rle, {0, 1})},
      {"the lowest height", changed(22, {0, 0, 0, 0x80})},
      {"rows ending early", ByteString(good.begin(), good.end() - 4)},
      {"data offset past the end", changed(10, {0xFF, 0xFF, 0, 0})},
      {"a side past the limit", changed(18, {0x01, 0x80, 0, 0})},
      {"too many pixels in all", MakeBmpFile(huge, {0, 1})},
      {"a compression the platform does not draw", MakeBmpFile(jpeg, {0xFF, 0xD8, 0xFF, 0xD9})},
      {"a header cut short", ByteString(good.begin(), good.begin() + 30)},
  };
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GraphImage image{};
    EXPECT_EQ(LoadImageBytes(LoadBmpImage, c.file, &image), -1);
    EXPECT_EQ(image.Pixels, nullptr);
  }
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
  // A last row without its padding is still whole.
  GraphImage image{};
  ASSERT_EQ(LoadImageBytes(LoadBmpImage, ByteString(good.begin(), good.end() - 3), &image), 0);
  EXPECT_EQ(ImagePixels(&image), kColours);
  FreeGraphImage(&image);
}

TEST(BmpLoader, APlatformWithoutDibSectionsLogsAndRefuses) {
  LogCapture log;
  const int objects = PortLiveGdiObjectCount();
  PortSetDibSectionFailures(1);
  GraphImage image{};
  EXPECT_EQ(LoadImageBytes(LoadBmpImage, PaletteBmp(1, false), &image), -1);
  EXPECT_NE(log.Contents().find("ＤＩＢの作成に失敗しました3\r\n"), std::string::npos);
  EXPECT_EQ(PortLiveGdiObjectCount(), objects);
}

}  // namespace
