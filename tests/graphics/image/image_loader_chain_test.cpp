// The loader chain and its front ends: every format through LoadGraphImage, the order and the
// fresh start each loader gets, files and memory blocks, mirroring, DIBs and alpha companions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "port/win32.h"
#include "runtime/graphics/image/image_loader.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/image_file_support.h"
#include "tests/support/temp_folder.h"

namespace {

std::string AsText(const ByteString& b) { return std::string(b.begin(), b.end()); }

// 3 x 2 files of every format; the top-left pixel of each is red.
ByteString Bmp24() {
  BmpFileLayout layout;
  layout.width = 3;
  layout.height = 2;
  return MakeBmpFile(
      layout,
      PackDibRows({{0xFF0000, 0x00FF00, 0x0000FF}, {0x111111, 0x222222, 0x333333}}, 24, false));
}

ByteString Bmp8() {
  BmpFileLayout layout;
  layout.width = 3;
  layout.height = 2;
  layout.bitCount = 8;
  layout.palette = {0xFF0000, 0x00FF00, 0x0000FF};
  return MakeBmpFile(layout, PackDibRows({{0, 1, 2}, {2, 1, 0}}, 8, false));
}

ByteString Png() {
  PngFileLayout layout;
  layout.width = 3;
  layout.height = 2;
  return MakePngFile(layout, {{255, 0, 0, 0, 255, 0, 0, 0, 255}, {1, 1, 1, 2, 2, 2, 3, 3, 3}});
}

ByteString Jpeg() {
  ByteString samples;
  for (int i = 0; i < 6; ++i) samples.insert(samples.end(), {255, 0, 0});
  return MakeJpegFile(3, 2, 3, samples, 100);
}

ByteString Bgra() {
  return MakeBgraFile(0x08080808, 3, 2, {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255,
                                         1, 1, 1,   1,   2, 2,   2, 2,   3,   3, 3, 3});
}

ByteString Tga() {
  TgaFileLayout layout;
  layout.width = 3;
  layout.height = 2;
  layout.descriptor = 0x20;
  return MakeTgaFile(layout, {0, 0, 255, 0, 255, 0, 255, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3});
}

ByteString Dds() {
  DdsFileLayout layout;
  layout.width = 4;
  layout.height = 4;
  layout.fourCC = "DXT1";
  // Colour 0 pure red, every index 0.
  return MakeDdsFile(layout, {0x00, 0xF8, 0x00, 0x00, 0, 0, 0, 0});
}

int gUserCalls = 0;
bool gUserSawFreshStart = true;

// Checks the fresh start, then reads, moves and scribbles before declining.
int MessyDecliningLoader(DataStream* stream, GraphImage* image) {
  ++gUserCalls;
  GraphImage zero{};
  if (stream->Functions.Tell(stream->Handle) != 0 || std::memcmp(image, &zero, sizeof zero) != 0)
    gUserSawFreshStart = false;
  uint8_t b[5];
  stream->Functions.Read(b, 1, sizeof b, stream->Handle);
  std::memset(image, 0x77, sizeof *image);
  return -1;
}

int TakingLoader(DataStream*, GraphImage* image) {
  ++gUserCalls;
  return CreateXrgbGraphImage(7, 7, image);
}

class LoaderChain : public ::testing::Test {
 protected:
  void SetUp() override {
    gUserCalls = 0;
    gUserSawFreshStart = true;
  }
  void TearDown() override { UserImageLoaderCount = 0; }
};

TEST_F(LoaderChain, EveryFormatIsFoundAfterLoadersThatDeclined) {
  UserImageLoaders[0] = MessyDecliningLoader;
  UserImageLoaders[1] = MessyDecliningLoader;
  UserImageLoaderCount = 2;
  struct Case {
    const char* name;
    ByteString file;
    int width;
  };
  const Case cases[] = {{"BMP", Bmp24(), 3}, {"JPEG", Jpeg(), 3}, {"PNG", Png(), 3},
                        {"BGRA", Bgra(), 3}, {"TGA", Tga(), 3},   {"DDS", Dds(), 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GraphImage image{};
    ASSERT_EQ(LoadImageBytes(nullptr, c.file, &image), 0);
    EXPECT_EQ(image.Width, c.width);
    const uint32_t topLeft = ImagePixel(&image, 0, 0) & 0xFFFFFF;
    EXPECT_GE(topLeft >> 16, 0xF0u);
    EXPECT_LE(topLeft & 0xFFFF, 0x0808u);
    FreeGraphImage(&image);
  }
  EXPECT_EQ(gUserCalls, 12);
  EXPECT_TRUE(gUserSawFreshStart);
}

TEST_F(LoaderChain, RegisteredLoadersComeFirstAndAStreamNobodyTakesFails) {
  UserImageLoaders[0] = MessyDecliningLoader;
  UserImageLoaders[1] = TakingLoader;
  UserImageLoaderCount = 2;
  GraphImage image{};
  ASSERT_EQ(LoadImageBytes(nullptr, Bmp24(), &image), 0);
  EXPECT_EQ(image.Width, 7);  // taken before the BMP loader saw it
  FreeGraphImage(&image);

  UserImageLoaders[1] = MessyDecliningLoader;
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  ByteString garbage(300);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 37 + 11);
  std::memset(&image, 0x33, sizeof image);
  EXPECT_EQ(LoadImageBytes(nullptr, garbage, &image), -1);
  GraphImage zero{};
  EXPECT_EQ(std::memcmp(&image, &zero, sizeof zero), 0);
  EXPECT_TRUE(gUserSawFreshStart);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
  EXPECT_EQ(LoadImageBytes(nullptr, ByteString(), &image), -1);
}

TEST_F(LoaderChain, FilesAndMemoryBlocksReadAlikeAndMirror) {
  TempFolder folder;
  folder.WriteFile("pic.bmp", AsText(Bmp24()));
  const std::string name = folder.WindowsPath() + "\\pic.bmp";
  const int handles = PortOpenHandleCount();
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  const ByteString bytes = Bmp24();
  for (int mirror : {0, 1}) {
    GraphImage fromFile{}, fromMemory{};
    ASSERT_EQ(ReadImageToGraphImage(name.c_str(), nullptr, 0, 0, &fromFile, mirror), 0);
    ASSERT_EQ(ReadImageToGraphImage(nullptr, bytes.data(), static_cast<int>(bytes.size()), 1,
                                    &fromMemory, mirror),
              0);
    const std::vector<uint32_t> expected =
        mirror ? std::vector<uint32_t>{0x0000FF, 0x00FF00, 0xFF0000, 0x333333, 0x222222, 0x111111}
               : std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0x111111, 0x222222, 0x333333};
    EXPECT_EQ(ImagePixels(&fromFile), expected);
    EXPECT_EQ(ImagePixels(&fromMemory), expected);
    FreeGraphImage(&fromFile);
    FreeGraphImage(&fromMemory);
  }
  // Block data are expanded before mirroring.
  const ByteString dds = Dds();
  GraphImage image{};
  ASSERT_EQ(ReadImageToGraphImage(nullptr, dds.data(), static_cast<int>(dds.size()), 1, &image, 1),
            0);
  EXPECT_EQ(image.Format.BlockCompression, 0u);
  EXPECT_EQ(ImagePixel(&image, 3, 0), 0xFFFF0000u);
  FreeGraphImage(&image);

  image.Width = 5;
  EXPECT_EQ(ReadImageToGraphImage((folder.WindowsPath() + "\\missing.bmp").c_str(), nullptr, 0, 0,
                                  &image, 0),
            -1);
  EXPECT_EQ(image.Width, 0);
  folder.WriteFile("junk.bmp", "not an image at all");
  EXPECT_EQ(ReadImageToGraphImage((folder.WindowsPath() + "\\junk.bmp").c_str(), nullptr, 0, 0,
                                  &image, 0),
            -1);
  EXPECT_EQ(ReadImageToGraphImage(nullptr, nullptr, -1, 1, &image, 0), -1);
  // Every stream was closed once: no file handles and no memory streams are left.
  EXPECT_EQ(PortOpenHandleCount(), handles);
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
}

TEST_F(LoaderChain, DibsReuseTheBufferWhenItsRowsFitAndCopyOtherwise) {
  struct Case {
    const char* name;
    ByteString file;
    int bits;
    int red, green;  // of the top-left pixel
  };
  ByteString jpeg5;
  for (int i = 0; i < 10; ++i) jpeg5.insert(jpeg5.end(), {200, 100, 50});
  const Case cases[] = {
      {"8-bit BMP: its own rows", Bmp8(), 8, 255, 0},
      {"24-bit BMP: its own rows", Bmp24(), 24, 255, 0},
      {"RGB JPEG 5 wide has rows of 15 bytes: copied", MakeJpegFile(5, 2, 3, jpeg5, 100), 24, 200,
       100},
      {"ARGB BGRA: converted to 24 bits", Bgra(), 24, 255, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TrackedHeapTotals before = GetTrackedHeapTotals();
    GraphImage image{};
    BITMAPINFO* info = nullptr;
    void* bits = nullptr;
    ASSERT_EQ(ReadImageFile(nullptr, c.file.data(), static_cast<int>(c.file.size()), 1, 1, 0,
                            &image, &info, &bits),
              0);
    EXPECT_EQ(image.Pixels, nullptr);
    ASSERT_NE(info, nullptr);
    ASSERT_NE(bits, nullptr);
    const BITMAPINFOHEADER& h = info->bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biHeight, -2);
    EXPECT_EQ(h.biBitCount, c.bits);
    EXPECT_EQ(h.biCompression, BI_RGB);
    // The DIB shows the file's top-left pixel, whichever way it was made.
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO target{};
    target.bmiHeader = {40, 1, -1, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* pixel = nullptr;
    HBITMAP section = CreateDIBSection(dc, &target, DIB_RGB_COLORS, &pixel, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, section);
    EXPECT_EQ(SetDIBitsToDevice(dc, 0, 0, 1, 1, 0, 1, 0, 2, bits, info, DIB_RGB_COLORS), 2);
    const uint8_t* p = static_cast<const uint8_t*>(pixel);
    EXPECT_NEAR(p[2], c.red, 3);
    EXPECT_NEAR(p[1], c.green, 3);
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDC(dc);
    FreeTracked(info);
    FreeTracked(bits);
    EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
  }
}

TEST_F(LoaderChain, GraphImageToDibOptions) {
  GraphImage image{};
  const ByteString bmp = Bmp8();
  ASSERT_EQ(LoadImageBytes(LoadBmpImage, bmp, &image), 0);
  alignas(4) uint8_t storage[sizeof(BITMAPINFOHEADER) + 1024] = {};
  auto* info = reinterpret_cast<BITMAPINFO*>(storage);
  void* bits = nullptr;
  EXPECT_EQ(GraphImageToDib(&image, info, &bits, 0, 0), 0);
  EXPECT_EQ(bits, image.Pixels);
  EXPECT_EQ(storage[40 + 4 * 1 + 1], 0xFF);  // entry 1 is green, stored B, G, R, A
  EXPECT_EQ(GraphImageToDib(&image, info, &bits, 1, 0), 1);
  EXPECT_NE(bits, image.Pixels);
  EXPECT_EQ(std::memcmp(bits, image.Pixels, 8), 0);
  FreeTracked(bits);
  EXPECT_EQ(GraphImageToDib(&image, info, &bits, 0, 1), 1);
  EXPECT_EQ(info->bmiHeader.biBitCount, 24);
  const uint8_t* p = static_cast<const uint8_t*>(bits);
  EXPECT_EQ(std::vector<uint8_t>(p, p + 9),
            (std::vector<uint8_t>{0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0}));
  FreeTracked(bits);
  FreeGraphImage(&image);
  EXPECT_EQ(GraphImageToDib(&image, info, &bits, 0, 0), -1);
}

TEST_F(LoaderChain, AlphaCompanions) {
  TempFolder folder;
  folder.WriteFile("ship.bmp", AsText(Bmp24()));
  folder.WriteFile("ship_a.bmp", AsText(Bmp8()));
  folder.WriteFile("lone.bmp", AsText(Bmp24()));
  folder.WriteFile("lone_a.bmp", "broken");
  const std::string dir = folder.WindowsPath() + "\\";
  const ByteString main = Bmp24(), alpha = Bmp8();
  struct Case {
    const char* name;
    std::string file;
    bool fromMemory;
    int alphaMode;
    int expected;
  };
  const Case cases[] = {
      {"companion file", dir + "ship.bmp", false, 0, 0},
      {"undecodable companion", dir + "lone.bmp", false, 0, 1},
      {"no companion", dir + "nothing", false, 0, -1},
      {"companion in memory", "", true, 1, 0},
      {"no alpha asked", dir + "ship.bmp", false, 2, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GraphImage image{}, alphaImage{};
    const int result =
        ReadImageFileWithAlpha(c.fromMemory ? nullptr : c.file.c_str(), main.data(),
                               static_cast<int>(main.size()), c.fromMemory ? 1 : 0, alpha.data(),
                               static_cast<int>(alpha.size()), c.alphaMode, &image, &alphaImage, 1);
    EXPECT_EQ(result, c.expected);
    if (result >= 0) {
      EXPECT_EQ(ImagePixel(&image, 0, 0) & 0xFFFFFF, 0x0000FFu);  // mirrored
    }
    if (result == 0) {
      EXPECT_EQ(alphaImage.Format.BitsPerPixel, 8);
      EXPECT_EQ(ImagePixel(&alphaImage, 0, 0), 0x0000FFu);  // mirrored the same way
    } else {
      EXPECT_EQ(alphaImage.Pixels, nullptr);
    }
    FreeGraphImage(&image);
    FreeGraphImage(&alphaImage);
  }
}

TEST_F(LoaderChain, AlphaCompanionNames) {
  struct Case {
    const char* name;
    const char* expected;
  };
  const Case cases[] = {
      {"data/ship.png", "data/ship_a.png"},
      {"image.bmp", "image_a.bmp"},
      {"image", "image_a"},
      {"dir.v2\\image", "dir_a.v2\\image"},  // the last dot of the whole name
      {"画像.bmp", "画像_a.bmp"},
      {"表.", "表_a."},
  };
  for (const Case& c : cases) {
    char out[MAX_PATH];
    ASSERT_EQ(MakeAlphaImageFileName(c.name, out, sizeof out), 0) << c.name;
    EXPECT_STREQ(out, c.expected);
  }
  char small[9] = "x";
  EXPECT_EQ(MakeAlphaImageFileName("image.bmp", small, sizeof small), -1);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(MakeAlphaImageFileName("abc.bmp", small, sizeof small), -1);
  EXPECT_EQ(MakeAlphaImageFileName("ab.bmp", small, sizeof small), 0);
  EXPECT_STREQ(small, "ab_a.bmp");
}

}  // namespace
