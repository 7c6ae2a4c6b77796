// The PNG and JPEG readers: which format each kind of file gives, the pixels, and what happens
// to files that end early or are of another kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/graphics/image/image_loader.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/image_file_support.h"

namespace {

std::vector<ByteString> RowsOf(const ByteString& samples, size_t rowBytes) {
  std::vector<ByteString> rows;
  for (size_t i = 0; i < samples.size(); i += rowBytes)
    rows.emplace_back(samples.begin() + i, samples.begin() + i + rowBytes);
  return rows;
}

TEST(PngReader, PaletteWithoutTransparencyStaysPalette) {
  // 16 colours at 4 bits: entry i is (i * 16, 255 - i * 16, i).
  PngFileLayout layout;
  layout.width = 5;
  layout.height = 2;
  layout.bitDepth = 4;
  layout.colourType = 3;
  for (uint32_t i = 0; i < 16; ++i)
    layout.palette.push_back((i * 16) << 16 | (255 - i * 16) << 8 | i);
  const std::vector<ByteString> rows = {{0x01, 0x23, 0x40},
                                        {0xFE, 0xDC, 0xB0}};  // indices 0..4, 15..11
  GraphImage image{};
  ASSERT_EQ(LoadImageBytes(LoadPngImage, MakePngFile(layout, rows), &image), 0);
  EXPECT_EQ(image.Format.BitsPerPixel, 8);
  EXPECT_EQ(image.Format.BytesPerPixel, 1);
  EXPECT_EQ(image.Pitch, 5);
  EXPECT_EQ(ByteString(image.Pixels, image.Pixels + 10),
            (ByteString{0, 1, 2, 3, 4, 15, 14, 13, 12, 11}));
  EXPECT_EQ(image.Format.Palette[15].Red, 0xF0);
  EXPECT_EQ(image.Format.Palette[15].Green, 0x0F);
  EXPECT_EQ(image.Format.Palette[15].Blue, 15);
  EXPECT_EQ(image.Format.Palette[15].Alpha, 0);
  for (int i = 16; i < 256; ++i) {
    const PaletteEntry& e = image.Format.Palette[i];
    EXPECT_EQ(e.Red | e.Green | e.Blue | e.Alpha, 0) << "entry " << i;
  }
  FreeGraphImage(&image);
}

TEST(PngReader, EachColourTypeGivesItsFormat) {
  struct Case {
    std::string name;
    PngFileLayout layout;
    ByteString samples;  // packed rows, 3 x 2 pixels
    int bitsPerPixel;
    std::vector<uint32_t> expected;  // 0xAARRGGBB through GetGraphImagePixel
  };
  std::vector<Case> cases;
  {
    PngFileLayout s;
    s.width = 3;
    s.height = 2;
    s.bitDepth = 8;
    s.colourType = 3;
    s.palette = {0x102030, 0x405060, 0x708090};
    s.transparency = {0x00, 0x80};  // entry 2 keeps full alpha
    cases.push_back({"palette with tRNS becomes ARGB",
                     s,
                     {0, 1, 2, 2, 1, 0},
                     32,
                     {0x00102030, 0x80405060, 0xFF708090, 0xFF708090, 0x80405060, 0x00102030}});
  }
  {
    PngFileLayout s;
    s.width = 3;
    s.height = 2;
    s.bitDepth = 1;
    s.colourType = 0;
    cases.push_back({"1-bit grey becomes grey palette bytes of 0 or 255",
                     s,
                     {0xA0, 0x40},
                     8,
                     {0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF, 0}});
  }
  {
    PngFileLayout s;
    s.width = 3;
    s.height = 2;
    s.colourType = 0;
    cases.push_back({"8-bit grey",
                     s,
                     {0, 0x7F, 0xFF, 1, 2, 3},
                     8,
                     {0, 0x7F7F7F, 0xFFFFFF, 0x010101, 0x020202, 0x030303}});
  }
  {
    PngFileLayout s;
    s.width = 3;
    s.height = 2;
    s.colourType = 4;
    cases.push_back({"grey with alpha keeps two bytes and drops the alpha",
                     s,
                     {0x10, 0xFF, 0x20, 0x00, 0x30, 0x80, 0x40, 0x01, 0x50, 0x02, 0x60, 0x03},
                     16,
                     {0x101010, 0x202020, 0x303030, 0x404040, 0x505050, 0x606060}});
  }
  {
    PngFileLayout s;
    s.width = 3;
    s.height = 2;
    s.colourType = 0;
    s.transparentGrey = 0x20;
    cases.push_back({"grey with tRNS expands to grey with alpha",
                     s,
                     {0x10, 0x20, 0x30, 0x20, 0, 0xFF},
                     16,
                     {0x101010, 0x202020, 0x303030, 0x202020, 0, 0xFFFFFF}});
  }
  {
    PngFileLayout s;
    s.width = 3;
    s.height = 2;
    s.bitDepth = 16;
    s.colourType = 2;
    ByteString samples;
    for (int i = 0; i < 18; ++i)
      samples.insert(samples.end(), {static_cast<uint8_t>(i * 14), static_cast<uint8_t>(0xFF - i)});
    std::vector<uint32_t> expected;
    for (int p = 0; p < 6; ++p)
      expected.push_back(static_cast<uint32_t>(p * 3 * 14) << 16 |
                         static_cast<uint32_t>((p * 3 + 1) * 14) << 8 |
                         static_cast<uint32_t>((p * 3 + 2) * 14));
    cases.push_back({"16-bit RGB is stripped to RGB8", s, samples, 24, expected});
  }
  {
    PngFileLayout s;
    s.width = 3;
    s.height = 2;
    s.colourType = 6;
    cases.push_back(
        {"RGBA becomes ARGB8",
         s,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24},
         32,
         {0x04010203, 0x08050607, 0x0C090A0B, 0x100D0E0F, 0x14111213, 0x18151617}});
  }
  for (bool interlaced : {false, true}) {
    PngFileLayout s;
    s.width = 9;
    s.height = 9;
    s.colourType = 2;
    s.interlaced = interlaced;
    ByteString samples;
    std::vector<uint32_t> expected;
    for (int p = 0; p < 81; ++p) {
      const uint8_t r = static_cast<uint8_t>(p * 3), g = static_cast<uint8_t>(255 - p),
                    b = static_cast<uint8_t>(p ^ 0x55);
      samples.insert(samples.end(), {r, g, b});
      expected.push_back(static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b);
    }
    cases.push_back({interlaced ? "interlaced RGB" : "RGB", s, samples, 24, expected});
  }
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int channels = c.layout.colourType == 2   ? 3
                         : c.layout.colourType == 4 ? 2
                         : c.layout.colourType == 6 ? 4
                                                    : 1;
    const size_t rowBytes =
        (static_cast<size_t>(c.layout.width) * channels * c.layout.bitDepth + 7) / 8;
    GraphImage image{};
    ASSERT_EQ(
        LoadImageBytes(LoadPngImage, MakePngFile(c.layout, RowsOf(c.samples, rowBytes)), &image),
        0);
    EXPECT_EQ(image.Width, c.layout.width);
    EXPECT_EQ(image.Format.BitsPerPixel, c.bitsPerPixel);
    EXPECT_EQ(ImagePixels(&image), c.expected);
    if (c.bitsPerPixel == 16) {
      EXPECT_EQ(image.Format.SpareMask, 0xFF00u);
      EXPECT_EQ(image.Format.AlphaWidth, 0);
    }
    if (c.bitsPerPixel == 8) {
      EXPECT_EQ(image.Format.Palette[200].Red, 200);  // the grey palette
    }
    FreeGraphImage(&image);
  }
}

TEST(PngReader, CutAndForeignDataAreRefused) {
  PngFileLayout layout;
  layout.width = 4;
  layout.height = 4;
  layout.colourType = 2;
  const ByteString file = MakePngFile(layout, std::vector<ByteString>(4, ByteString(12, 0x33)));
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  for (size_t cut : {size_t{0}, size_t{7}, size_t{33}, file.size() / 2, file.size() - 13}) {
    SCOPED_TRACE(cut);
    GraphImage image{};
    image.Width = 99;
    EXPECT_EQ(LoadImageBytes(LoadPngImage,
                             ByteString(file.begin(), file.begin() + static_cast<ptrdiff_t>(cut)),
                             &image),
              -1);
    EXPECT_EQ(image.Width, 0);
  }
  GraphImage image{};
  ByteString foreign = file;
  foreign[1] = 'Q';
  EXPECT_EQ(LoadImageBytes(LoadPngImage, foreign, &image), -1);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
}

// A smooth picture: JPEG's loss stays small on it.
ByteString SmoothSamples(int width, int height, int components) {
  ByteString s;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < components; ++c) s.push_back(static_cast<uint8_t>(30 + x + y + c * 40));
  return s;
}

int MaxDifference(GraphImage* image, const ByteString& samples, int components, int rows) {
  int worst = 0;
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < image->Width; ++x) {
      const uint32_t p = ImagePixel(image, x, y);
      const uint8_t* s = &samples[(static_cast<size_t>(y) * image->Width + x) * components];
      const int r = components == 1 ? s[0] : s[0], g = components == 1 ? s[0] : s[1],
                b = components == 1 ? s[0] : s[2];
      worst = std::max({worst, std::abs(static_cast<int>((p >> 16) & 0xFF) - r),
                        std::abs(static_cast<int>((p >> 8) & 0xFF) - g),
                        std::abs(static_cast<int>(p & 0xFF) - b)});
    }
  return worst;
}

TEST(JpegReader, GreyAndColourImages) {
  for (int components : {1, 3}) {
    SCOPED_TRACE(components);
    const ByteString samples = SmoothSamples(21, 10, components);
    GraphImage image{};
    ASSERT_EQ(LoadImageBytes(LoadJpegImage, MakeJpegFile(21, 10, components, samples, 95), &image),
              0);
    EXPECT_EQ(image.Width, 21);
    EXPECT_EQ(image.Height, 10);
    EXPECT_EQ(image.Pitch, 21 * components);  // rows are not rounded to 4 bytes
    EXPECT_EQ(image.Format.BitsPerPixel, components == 1 ? 8 : 24);
    if (components == 1) {
      EXPECT_EQ(image.Format.Palette[77].Green, 77);
    } else {
      EXPECT_EQ(image.Format.RedMask, 0xFF0000u);  // memory holds B, G, R
    }
    EXPECT_LE(MaxDifference(&image, samples, components, 10), 6);
    FreeGraphImage(&image);
  }
}

TEST(JpegReader, AFileCutInTheMiddleDecodesAsFarAsItGoes) {
  const int width = 64, height = 64;
  const ByteString samples = SmoothSamples(width, height, 3);
  const ByteString file = MakeJpegFile(width, height, 3, samples, 90);
  GraphImage whole{}, cut{};
  ASSERT_EQ(LoadImageBytes(LoadJpegImage, file, &whole), 0);
  EXPECT_LE(MaxDifference(&whole, samples, 3, height), 8);
  // Cut halfway through the entropy-coded data behind the start-of-scan marker.
  size_t scan = 0;
  while (scan + 1 < file.size() && !(file[scan] == 0xFF && file[scan + 1] == 0xDA)) ++scan;
  ASSERT_LT(scan + 1, file.size());
  const size_t cutAt = scan + (file.size() - scan) / 2;
  ASSERT_EQ(
      LoadImageBytes(LoadJpegImage,
                     ByteString(file.begin(), file.begin() + static_cast<ptrdiff_t>(cutAt)), &cut),
      0);
  ASSERT_EQ(cut.Width, width);
  ASSERT_EQ(cut.Height, height);
  // The rows whose data came before the cut are those of the whole file; the last rows are
  // what the decoder makes of no data.
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  EXPECT_EQ(ByteString(cut.Pixels, cut.Pixels + 16 * rowBytes),
            ByteString(whole.Pixels, whole.Pixels + 16 * rowBytes));
  EXPECT_NE(ByteString(cut.Pixels + 48 * rowBytes, cut.Pixels + 64 * rowBytes),
            ByteString(whole.Pixels + 48 * rowBytes, whole.Pixels + 64 * rowBytes));
  FreeGraphImage(&whole);
  FreeGraphImage(&cut);
}

TEST(JpegReader, EmptyForeignAndCmykStreamsAreRefused) {
  static const uint8_t kSof0[] = {0xFF, 0xC0};
  const ByteString grey = MakeJpegFile(8, 8, 1, SmoothSamples(8, 8, 1), 80);
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  GraphImage image{};
  EXPECT_EQ(LoadImageBytes(LoadJpegImage, ByteString(), &image), -1);
  EXPECT_EQ(LoadImageBytes(LoadJpegImage, ByteString(grey.begin(), grey.begin() + 2), &image), -1);
  EXPECT_EQ(LoadImageBytes(LoadJpegImage, ByteString{'B', 'M', 0, 0}, &image), -1);
  EXPECT_EQ(
      LoadImageBytes(LoadJpegImage, MakeJpegFile(8, 8, 4, SmoothSamples(8, 8, 4), 80), &image), -1);
  // The frame header marked 12-bit, or lossless: the library decodes 8-bit DCT data only.
  const size_t frame = std::search(grey.begin(), grey.end(), kSof0, kSof0 + 2) - grey.begin();
  ASSERT_LT(frame + 4, grey.size());
  ByteString twelveBit = grey, lossless = grey;
  twelveBit[frame + 4] = 12;
  lossless[frame + 1] = 0xC3;
  EXPECT_EQ(LoadImageBytes(LoadJpegImage, twelveBit, &image), -1);
  EXPECT_EQ(LoadImageBytes(LoadJpegImage, lossless, &image), -1);
  EXPECT_EQ(image.Pixels, nullptr);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
}

}  // namespace
