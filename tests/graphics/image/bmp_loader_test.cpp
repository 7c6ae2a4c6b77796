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
        {"8-bit after a 64-byte OS/2 header" + order, PaletteBmp(8, topDown, 64), 8, kColours});
    cases.push_back(
        {"4-bit after a 16-byte OS/2 header" + order, PaletteBmp(4, topDown, 16), 8, kColours});
    cases.push_back({"1-bit after a 16-byte OS/2 header, through the platform" + order,
                     PaletteBmp(1, topDown, 16),
                     24,
                     {0xFFFFFF, 0, 0xFFFFFF, 0, 0, 0xFFFFFF}});
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
    cases.push_back({"32-bit with every fourth byte 0 is opaque" + order,
                     ColourBmp(32, BI_RGB, {}, kColours, topDown),
                     32,
                     {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFF808080}});
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

TEST(BmpLoader, TinyFilesWithoutColourMasksLoad) {
  // Less pixel data than three masks would take: only bit-field files have masks to read.
  struct Case {
    const char* name;
    int width, bits;
    uint32_t compression;
    std::vector<uint32_t> masks, values, expected;
  };
  const Case cases[] = {
      {"1 x 1, 16 bits", 1, 16, BI_RGB, {}, {0x7C00}, {0xFF0000}},
      {"1 x 1, 32 bits", 1, 32, BI_RGB, {}, {0x123456}, {0xFF123456}},
      {"2 x 1, 32 bits with alpha",
       2,
       32,
       BI_RGB,
       {},
       {0x80123456, 0x00654321},
       {0x80123456, 0x00654321}},
      {"1 x 1, 16-bit bit fields",
       1,
       16,
       BI_BITFIELDS,
       {0xF800, 0x7E0, 0x1F},
       {0x07E0},
       {0x00FF00}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BmpFileLayout layout;
    layout.width = c.width;
    layout.height = 1;
    layout.bitCount = static_cast<uint16_t>(c.bits);
    layout.compression = c.compression;
    layout.masks = c.masks;
    GraphImage image{};
    ASSERT_EQ(LoadImageBytes(LoadBmpImage,
                             MakeBmpFile(layout, PackDibRows({c.values}, c.bits, false)), &image),
              0);
    EXPECT_EQ(ImagePixels(&image), c.expected);
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

TEST(BmpLoader, RunLengthImagesMayOutgrowTheirDataButNotWithoutBound) {
  BmpFileLayout layout;
  layout.width = 640;
  layout.height = 480;
  layout.bitCount = 8;
  layout.compression = BI_RLE8;
  layout.palette = kPalette;
  auto rows = [](int count) {
    ByteString data;
    for (int i = 0; i < count; ++i) data.insert(data.end(), {255, 1, 255, 2, 130, 3, 0, 0});
    return data;
  };
  // Ten rows and the end of the image, or every row with no end record at all: the rest of
  // the image stays at index 0.
  ByteString early = rows(10);
  early.insert(early.end(), {0, 1});
  ByteString whole = rows(480);
  whole.resize(whole.size() - 2);
  for (const ByteString& data : {early, whole}) {
    GraphImage image{};
    ASSERT_EQ(LoadImageBytes(LoadBmpImage, MakeBmpFile(layout, data), &image), 0);
    EXPECT_EQ(ImagePixel(&image, 0, 479), 0xFF0000u);
    EXPECT_EQ(ImagePixel(&image, 300, 479), 0x00FF00u);
    EXPECT_EQ(ImagePixel(&image, 639, 470), 0x0000FFu);
    EXPECT_EQ(ImagePixel(&image, 639, 0), data == early ? 0u : 0x0000FFu);
    FreeGraphImage(&image);
  }
  // A small image may be all but empty.
  layout.width = layout.height = 256;
  GraphImage image{};
  ASSERT_EQ(LoadImageBytes(LoadBmpImage, MakeBmpFile(layout, {0, 1}), &image), 0);
  EXPECT_EQ(ImagePixel(&image, 255, 255), 0u);
  FreeGraphImage(&image);
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
  // 120 bytes in all that would make a 64 MiB image.
  BmpFileLayout vast = rle;
  vast.width = 8192;
  vast.height = 8192;
  vast.palette = {0x000000, 0xFFFFFF};
  const ByteString vastData(58, 1);
  BmpFileLayout vast4 = vast;
  vast4.bitCount = 4;
  vast4.compression = BI_RLE4;
  BmpFileLayout os2 = rle;
  os2.width = 3;
  os2.height = 2;
  os2.headerSize = 64;
  os2.bitCount = 1;
  os2.compression = 3;  // Huffman coding in OS/2 files
  os2.palette = {0x000000, 0xFFFFFF};
  BmpFileLayout os2Runs24 = os2;
  os2Runs24.bitCount = 24;
  os2Runs24.compression = 4;
  os2Runs24.palette.clear();
  // OS/2 1.x: 12-byte header with 16-bit width and height, a 3 x 2 24-bit picture.
  ByteString os1 = {'B', 'M', 50, 0, 0, 0, 0, 0, 0, 0, 26, 0,  0,
                    0,   12,  0,  0, 0, 3, 0, 2, 0, 1, 0,  24, 0};
  os1.resize(50, 0x40);
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
      {"2-bit pixels, which the platform does not draw", changed(28, {2, 0})},
      {"an OS/2 1.x header", os1},
      {"a header of 8 bytes", changed(14, {8, 0, 0, 0})},
      {"a header of 200 bytes", changed(14, {200, 0, 0, 0})},
      {"OS/2 Huffman coding", MakeBmpFile(os2, {0, 0, 0, 0, 0, 0, 0, 0})},
      {"OS/2 24-bit run-length coding", MakeBmpFile(os2Runs24, {2, 1, 2, 3, 0, 1})},
      {"run-length data far too small for the image", MakeBmpFile(vast, vastData)},
      {"4-bit run-length data far too small for the image", MakeBmpFile(vast4, vastData)},
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
