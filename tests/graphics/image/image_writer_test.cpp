// The BMP, PNG and JPEG writers: exact BMP bytes, round trips through the loaders, and no file
// left behind when writing fails.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/image/image_writer.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/image_file_support.h"
#include "tests/support/image_fixtures.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_folder.h"

namespace {

uint32_t Le32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i)
    v |= static_cast<uint32_t>(static_cast<uint8_t>(s[at + i])) << (8 * i);
  return v;
}

// A view of width x height pixels of the format inside a larger buffer (pitch beyond the row).
struct View {
  std::vector<uint8_t> buffer;
  GraphImage image{};
  View(const PixelFormat& format, int width, int height, int extraPitch = 12) {
    image.Format = format;
    image.Width = width;
    image.Height = height;
    image.Pitch = width * format.BytesPerPixel + extraPitch;
    buffer.assign(static_cast<size_t>(image.Pitch) * height, 0);
    image.Pixels = buffer.data();
  }
  uint8_t* Row(int y) { return image.Pixels + static_cast<size_t>(y) * image.Pitch; }
};

uint32_t PatternArgb(int x, int y) {
  return static_cast<uint32_t>((x * 5 + y) & 0xFF) << 24 | static_cast<uint32_t>(x & 0xFF) << 16 |
         static_cast<uint32_t>(y & 0xFF) << 8 | static_cast<uint32_t>((x ^ y) & 0xFF);
}

void FillPattern(View* v) {
  for (int y = 0; y < v->image.Height; ++y)
    for (int x = 0; x < v->image.Width; ++x) {
      const uint32_t c = PatternArgb(x, y);
      std::memcpy(v->Row(y) + x * 4, &c, 4);
    }
}

class ImageWriter : public ::testing::Test {
 protected:
  TempFolder folder;
  std::string Path(const std::string& name) const { return folder.WindowsPath() + "\\" + name; }
};

TEST_F(ImageWriter, A640x480XrgbViewGivesA24BitBmpStoredBottomUp) {
  View v(TestFormatXRGB8(), 640, 480);
  FillPattern(&v);
  ASSERT_EQ(SaveGraphImageAsBmp(Path("shot.bmp").c_str(), &v.image), 0);
  const std::string file = folder.ReadFile("shot.bmp");
  ASSERT_EQ(file.size(), 921654u);
  EXPECT_EQ(file.substr(0, 2), "BM");
  EXPECT_EQ(Le32(file, 2), 921654u);
  EXPECT_EQ(Le32(file, 6), 0u);
  EXPECT_EQ(Le32(file, 10), 54u);
  EXPECT_EQ(Le32(file, 14), 40u);
  EXPECT_EQ(Le32(file, 18), 640u);
  EXPECT_EQ(Le32(file, 22), 480u);
  EXPECT_EQ(Le32(file, 26), 1u | 24u << 16);  // one colour layer, 24 bits
  for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(Le32(file, at), 0u) << at;
  for (int fileRow : {0, 1, 479}) {
    const int y = 479 - fileRow;
    for (int x : {0, 1, 639}) {
      const uint32_t c = PatternArgb(x, y);
      const size_t at = 54 + static_cast<size_t>(fileRow) * 1920 + x * 3;
      EXPECT_EQ(static_cast<uint8_t>(file[at]), c & 0xFF);
      EXPECT_EQ(static_cast<uint8_t>(file[at + 1]), (c >> 8) & 0xFF);
      EXPECT_EQ(static_cast<uint8_t>(file[at + 2]), (c >> 16) & 0xFF);
    }
  }
  // Read back, it is the picture without its fourth byte.
  GraphImage back{};
  ASSERT_EQ(ReadImageToGraphImage(Path("shot.bmp").c_str(), nullptr, 0, 0, &back, 0), 0);
  EXPECT_EQ(ImagePixel(&back, 639, 0), PatternArgb(639, 0) & 0xFFFFFF);
  EXPECT_EQ(ImagePixel(&back, 17, 479), PatternArgb(17, 479) & 0xFFFFFF);
  FreeGraphImage(&back);
}

TEST_F(ImageWriter, EightBitImagesKeepTheirPaletteAndSixteenBitChannelsSitAtTheTop) {
  PixelFormat palette = TestFormatPalette({0x00112233, 0xFF445566});
  View eight(palette, 5, 2, 3);
  for (int x = 0; x < 5; ++x) eight.Row(0)[x] = static_cast<uint8_t>(x & 1), eight.Row(1)[x] = 9;
  ASSERT_EQ(SaveGraphImageAsBmp(Path("p.bmp").c_str(), &eight.image), 0);
  const std::string file = folder.ReadFile("p.bmp");
  ASSERT_EQ(file.size(), 1094u);
  EXPECT_EQ(Le32(file, 2), 1094u);
  EXPECT_EQ(Le32(file, 10), 1078u);
  EXPECT_EQ(Le32(file, 28) & 0xFFFF, 8u);
  EXPECT_EQ(Le32(file, 54), 0x00112233u);
  EXPECT_EQ(Le32(file, 58), 0x00445566u);  // the fourth byte is written 0
  EXPECT_EQ(file.substr(1078, 8),
            std::string("\x09\x09\x09\x09\x09\0\0\0", 8));  // bottom row first
  EXPECT_EQ(file.substr(1086, 8), std::string("\0\x01\0\x01\0\0\0\0", 8));

  View white(TestFormatR5G6B5(), 1, 1);
  white.Row(0)[0] = 0xFF, white.Row(0)[1] = 0xFF;
  ASSERT_EQ(SaveGraphImageAsBmp(Path("w.bmp").c_str(), &white.image), 0);
  EXPECT_EQ(folder.ReadFile("w.bmp").substr(54), std::string("\xF8\xFC\xF8\0", 4));
}

TEST_F(ImageWriter, BmpReplacesAFileAndRefusesOtherDepths) {
  folder.WriteFile("old.bmp", std::string(5000, 'x'));
  View v(TestFormatXRGB8(), 2, 2);
  ASSERT_EQ(SaveGraphImageAsBmp(Path("old.bmp").c_str(), &v.image), 0);
  EXPECT_EQ(folder.ReadFile("old.bmp").size(), 54u + 16u);

  View rgb(TestFormatRGB8(), 2, 2);
  EXPECT_EQ(SaveGraphImageAsBmp(Path("rgb.bmp").c_str(), &rgb.image), -1);
  EXPECT_FALSE(folder.Exists("rgb.bmp"));
  GraphImage none{};
  EXPECT_EQ(SaveGraphImageAsBmp(Path("none.bmp").c_str(), &none), -1);
  EXPECT_FALSE(folder.Exists("none.bmp"));
}

TEST_F(ImageWriter, BmpFailuresAreLogged) {
  LogCapture log;
  View v(TestFormatXRGB8(), 2, 2);
  SetTrackedHeapFailures(1);
  EXPECT_EQ(SaveGraphImageAsBmp(Path("a.bmp").c_str(), &v.image), -1);
  SetTrackedHeapFailures(0);
  EXPECT_EQ(SaveGraphImageAsBmp(Path("no\\such\\dir.bmp").c_str(), &v.image), -1);
  EXPECT_NE(log.Contents().find("BITMAPINFO構造体用メモリの確保に失敗しました\r\n"),
            std::string::npos);
  EXPECT_NE(log.Contents().find("ＢＭＰセーブ用ファイルのオープンに失敗しました\r\n"),
            std::string::npos);
  EXPECT_FALSE(folder.Exists("a.bmp"));
}

TEST_F(ImageWriter, PngRoundTripsKeepAlphaOnlyWhenTheImageHasIt) {
  for (bool alpha : {true, false}) {
    SCOPED_TRACE(alpha ? "ARGB" : "XRGB");
    View v(alpha ? TestFormatARGB8() : TestFormatXRGB8(), 37, 11);
    FillPattern(&v);
    ASSERT_EQ(SaveGraphImageAsPng(Path("p.png").c_str(), &v.image, 6), 0);
    const std::string file = folder.ReadFile("p.png");
    EXPECT_EQ(static_cast<uint8_t>(file[25]), alpha ? 6 : 2);  // IHDR colour type
    GraphImage back{};
    ASSERT_EQ(ReadImageToGraphImage(Path("p.png").c_str(), nullptr, 0, 0, &back, 0), 0);
    EXPECT_EQ(back.Format.BitsPerPixel, alpha ? 32 : 24);
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 37; ++x)
        ASSERT_EQ(ImagePixel(&back, x, y), PatternArgb(x, y) & (alpha ? 0xFFFFFFFF : 0xFFFFFF))
            << x << "," << y;
    FreeGraphImage(&back);
  }
  // A palette image is written as its colours.
  View p(TestFormatPalette({0x102030, 0x405060}), 2, 1);
  p.Row(0)[1] = 1;
  ASSERT_EQ(SaveGraphImageAsPng(Path("q.png").c_str(), &p.image, 9), 0);
  GraphImage back{};
  ASSERT_EQ(ReadImageToGraphImage(Path("q.png").c_str(), nullptr, 0, 0, &back, 0), 0);
  EXPECT_EQ(ImagePixels(&back), (std::vector<uint32_t>{0x102030, 0x405060}));
  FreeGraphImage(&back);
}

TEST_F(ImageWriter, JpegRoundTripStaysWithinItsLoss) {
  View v(TestFormatXRGB8(), 40, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x) {
      const uint32_t c =
          static_cast<uint32_t>(60 + x * 3) << 16 | static_cast<uint32_t>(80 + y * 4) << 8 | 120;
      std::memcpy(v.Row(y) + x * 4, &c, 4);
    }
  ASSERT_EQ(SaveGraphImageAsJpeg(Path("j.jpg").c_str(), &v.image, 95, 0), 0);
  GraphImage back{};
  ASSERT_EQ(ReadImageToGraphImage(Path("j.jpg").c_str(), nullptr, 0, 0, &back, 0), 0);
  ASSERT_EQ(back.Width, 40);
  ASSERT_EQ(back.Height, 24);
  int worst = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 40; ++x) {
      const uint32_t got = ImagePixel(&back, x, y), want = GetGraphImagePixelArgb(&v.image, x, y);
      for (int shift : {0, 8, 16})
        worst = std::max(worst, std::abs(static_cast<int>((got >> shift) & 0xFF) -
                                         static_cast<int>((want >> shift) & 0xFF)));
    }
  EXPECT_LE(worst, 6);
  FreeGraphImage(&back);
}

TEST_F(ImageWriter, FailedPngAndJpegWritesLeaveNoFile) {
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  View v(TestFormatXRGB8(), 4, 4);
  // The compressor refuses level 99 only after the header is out.
  EXPECT_EQ(SaveGraphImageAsPng(Path("bad.png").c_str(), &v.image, 99), -1);
  EXPECT_FALSE(folder.Exists("bad.png"));
  // libjpeg refuses a row of 70,000 pixels once the file is open.
  View wide(TestFormatXRGB8(), 70000, 1, 0);
  EXPECT_EQ(SaveGraphImageAsJpeg(Path("bad.jpg").c_str(), &wide.image, 80, 0), -1);
  EXPECT_FALSE(folder.Exists("bad.jpg"));
  EXPECT_EQ(SaveGraphImageAsPng(Path("no\\dir\\x.png").c_str(), &v.image, 6), -1);
  EXPECT_EQ(SaveGraphImageAsJpeg(Path("no\\dir\\x.jpg").c_str(), &v.image, 80, 0), -1);
  EXPECT_EQ(WritePngFile(L"wide.png", Path("w.png").c_str(), &v.image, 6), -1);
  EXPECT_EQ(WriteJpegFile(L"wide.jpg", Path("w.jpg").c_str(), &v.image, 80, 0), -1);
  EXPECT_FALSE(folder.Exists("w.png"));
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
}

}  // namespace
