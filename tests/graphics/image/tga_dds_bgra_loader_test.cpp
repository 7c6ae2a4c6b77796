// The TGA, DDS and raw BGRA loaders: their types, orientations, layouts and mip levels, the
// limits they refuse, and the reads and writes they keep inside their buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/graphics/image/image_loader.h"
#include "runtime/platform/core/tracked_heap.h"
#include "tests/support/image_file_support.h"

namespace {

// 3 x 2, row by row from the top, as 0xAARRGGBB.
const std::vector<uint32_t> kPicture = {0x11FF0000, 0x2200FF00, 0x330000FF,
                                        0x44FFFFFF, 0x55000000, 0x66808080};

ByteString Element(uint32_t argb, int bytes) {
  if (bytes == 2) {
    const uint32_t v =
        ((argb >> 19) & 0x1F) << 10 | ((argb >> 11) & 0x1F) << 5 | ((argb >> 3) & 0x1F);
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
  }
  ByteString e = {static_cast<uint8_t>(argb), static_cast<uint8_t>(argb >> 8),
                  static_cast<uint8_t>(argb >> 16)};
  if (bytes == 4) e.push_back(static_cast<uint8_t>(argb >> 24));
  return e;
}

// What a loaded image gives back for the picture in a format of these bytes per pixel.
std::vector<uint32_t> Expected(int bytes) {
  std::vector<uint32_t> out;
  for (uint32_t c : kPicture) {
    if (bytes == 4)
      out.push_back(c);
    else if (bytes == 3)
      out.push_back(c & 0xFFFFFF);
    else
      out.push_back(c == 0x66808080 ? 0x838383 : c & 0xFFFFFF);  // 5-bit 16 reads as 131
  }
  return out;
}

// Per-pixel units (elements or one-byte indices) in the order the descriptor stores them.
ByteString StoreInOrder(const std::vector<ByteString>& units, int descriptor) {
  const bool bottomUp = (descriptor & 0x20) == 0, rightToLeft = (descriptor & 0x10) != 0;
  ByteString out;
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) {
      const int y = bottomUp ? 1 - r : r, x = rightToLeft ? 2 - c : c;
      const ByteString& u = units[y * 3 + x];
      out.insert(out.end(), u.begin(), u.end());
    }
  return out;
}

ByteString TgaOf(int imageType, int elementBits, int descriptor, bool footer) {
  const bool mapped = imageType == 1 || imageType == 9;
  const int bytes = elementBits / 8;
  TgaFileLayout layout;
  layout.imageType = imageType;
  layout.width = 3;
  layout.height = 2;
  layout.descriptor = descriptor;
  layout.footer = footer;
  layout.id = {'i', 'd', '!'};
  std::vector<ByteString> units;
  if (mapped) {
    layout.depth = 8;
    layout.mapFirst = 2;
    layout.mapLength = 6;
    layout.mapEntryBits = elementBits;
    for (int i = 0; i < 6; ++i) {
      const ByteString e = Element(kPicture[i], bytes);
      layout.colourMap.insert(layout.colourMap.end(), e.begin(), e.end());
      units.push_back({static_cast<uint8_t>(2 + i)});
    }
  } else {
    layout.depth = elementBits;
    for (uint32_t c : kPicture) units.push_back(Element(c, bytes));
  }
  ByteString data = StoreInOrder(units, descriptor);
  if (imageType >= 9) data = EncodeTgaRuns(data, mapped ? 1 : bytes);
  return MakeTgaFile(layout, data);
}

TEST(TgaLoader, TypesOrientationsAndFootersGiveTheSamePicture) {
  for (int type : {1, 2, 9, 10})
    for (int bits : {16, 24, 32})
      for (int descriptor : {0x00, 0x20, 0x10, 0x30})
        for (bool footer : {false, true}) {
          SCOPED_TRACE(testing::Message() << "type " << type << ", " << bits << " bits, descriptor "
                                          << descriptor << (footer ? ", footer" : ""));
          GraphImage image{};
          ASSERT_EQ(LoadImageBytes(LoadTgaImage, TgaOf(type, bits, descriptor, footer), &image), 0);
          EXPECT_EQ(image.Format.BitsPerPixel, bits);
          EXPECT_EQ(image.Pitch, 3 * bits / 8);  // not rounded to 4 bytes
          EXPECT_EQ(ImagePixels(&image), Expected(bits / 8));
          if (bits == 16) {
            EXPECT_EQ(image.Format.SpareMask, 0x8000u);
            EXPECT_EQ(image.Format.AlphaWidth, 0);
            EXPECT_EQ(image.Format.RedMask, 0x7C00u);
          }
          FreeGraphImage(&image);
        }
}

TEST(TgaLoader, ColourMapsAndPacketsStayInsideTheirTables) {
  // A map of 300 entries from slot 250: slots 250..255 are filled, the rest read over.
  TgaFileLayout layout;
  layout.imageType = 1;
  layout.width = 2;
  layout.height = 1;
  layout.depth = 8;
  layout.descriptor = 0x20;
  layout.mapFirst = 250;
  layout.mapLength = 300;
  layout.mapEntryBits = 24;
  for (int i = 0; i < 300; ++i) {
    const ByteString e = Element(0x010203u * static_cast<uint32_t>(i + 1), 3);
    layout.colourMap.insert(layout.colourMap.end(), e.begin(), e.end());
  }
  GraphImage image{};
  ASSERT_EQ(LoadImageBytes(LoadTgaImage, MakeTgaFile(layout, {255, 3}), &image), 0);
  EXPECT_EQ(ImagePixels(&image), (std::vector<uint32_t>{0x010203u * 6, 0}));
  FreeGraphImage(&image);

  // A run of 128 in a 3 x 2 image stops at six pixels.
  TgaFileLayout runs;
  runs.imageType = 10;
  runs.width = 3;
  runs.height = 2;
  runs.depth = 24;
  runs.descriptor = 0x20;
  ASSERT_EQ(LoadImageBytes(LoadTgaImage, MakeTgaFile(runs, {0xFF, 1, 2, 3, 0xFF, 9, 9, 9}), &image),
            0);
  EXPECT_EQ(ImagePixels(&image), std::vector<uint32_t>(6, 0x030201));
  FreeGraphImage(&image);
}

TEST(TgaLoader, RunLengthDataEndAtTheFooterOrWhereTheyStop) {
  // Three pixels given of six; the rest stay black, and the footer is not taken for data.
  TgaFileLayout layout;
  layout.imageType = 10;
  layout.width = 3;
  layout.height = 2;
  layout.depth = 24;
  layout.descriptor = 0x20;
  layout.footer = true;
  const ByteString data = {0x82, 0x10, 0x20, 0x30};
  GraphImage image{};
  ByteString file = MakeTgaFile(layout, data);
  ASSERT_EQ(LoadImageBytes(LoadTgaImage, file, &image), 0);
  EXPECT_EQ(ImagePixels(&image), (std::vector<uint32_t>{0x302010, 0x302010, 0x302010, 0, 0, 0}));
  FreeGraphImage(&image);
  // With an extension area named, the last 26 bytes are no footer and are read as packets.
  file[file.size() - 26] = 1;
  ASSERT_EQ(LoadImageBytes(LoadTgaImage, file, &image), 0);
  EXPECT_NE(ImagePixels(&image)[5], 0u);
  FreeGraphImage(&image);
}

TEST(TgaLoader, RefusesWhatItCannotTake) {
  auto with = [](auto change) {
    TgaFileLayout layout;
    layout.width = 3;
    layout.height = 2;
    change(layout);
    const int bytes =
        layout.imageType == 1 || layout.imageType == 9 ? 1 : std::max(1, layout.depth / 8);
    return MakeTgaFile(layout,
                       ByteString(static_cast<size_t>(layout.width) * layout.height * bytes, 7));
  };
  const ByteString plain = TgaOf(2, 24, 0, false);
  TgaFileLayout huge;
  huge.imageType = 10;
  huge.width = 8192;
  huge.height = 8192;
  struct Case {
    const char* name;
    ByteString file;
  };
  const Case cases[] = {
      {"x origin 1", with([](TgaFileLayout& s) { s.xOrigin = 1; })},
      {"y origin 1", with([](TgaFileLayout& s) { s.yOrigin = 1; })},
      {"8193 wide", with([](TgaFileLayout& s) {
         s.width = 8193;
         s.height = 1;
       })},
      {"width 0", with([](TgaFileLayout& s) { s.width = 0; })},
      {"height 0", with([](TgaFileLayout& s) { s.height = 0; })},
      {"type 0", with([](TgaFileLayout& s) { s.imageType = 0; })},
      {"grey type 3", with([](TgaFileLayout& s) {
         s.imageType = 3;
         s.depth = 8;
       })},
      {"type 11", with([](TgaFileLayout& s) { s.imageType = 11; })},
      {"15-bit pixels", with([](TgaFileLayout& s) { s.depth = 15; })},
      {"8-bit true colour", with([](TgaFileLayout& s) { s.depth = 8; })},
      {"16-bit indices", with([](TgaFileLayout& s) {
         s.imageType = 1;
         s.depth = 16;
         s.mapLength = 1;
         s.mapEntryBits = 24;
         s.colourMap = {1, 2, 3};
       })},
      {"a colour map cut short", with([](TgaFileLayout& s) {
         s.imageType = 1;
         s.depth = 8;
         s.mapLength = 4000;
         s.mapEntryBits = 24;
       })},
      {"plain data cut short", ByteString(plain.begin(), plain.end() - 1)},
      {"run-length data far too short for the size", MakeTgaFile(huge, ByteString(100, 0xFF))},
      {"shorter than a header", ByteString(17, 0)},
  };
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GraphImage image{};
    EXPECT_EQ(LoadImageBytes(LoadTgaImage, c.file, &image), -1);
  }
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
}

ByteString Pattern(size_t n, uint8_t seed) {
  ByteString b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
  return b;
}

TEST(DdsLoader, BlockDataStaysCompressedWithItsMipLevels) {
  struct Case {
    const char* fourCC;
    int width, height, mipCount;
    size_t bytes;  // read in all
    int levels;
  };
  const Case cases[] = {
      {"DXT1", 64, 64, 0, 2048, 0},
      {"DXT3", 64, 64, 0, 4096, 0},
      {"DXT5", 64, 64, 0, 4096, 0},
      {"DXT2", 8, 4, 0, 32, 0},
      {"DXT4", 4, 4, 0, 16, 0},
      {"DXT1", 16, 16, 3, 128 + 32 + 8, 3},
      // The smallest levels still hold a whole block of 16 bytes each.
      {"DXT5", 8, 8, 4, 64 + 16 + 16 + 16, 4},
      // A level of a long image is not a quarter of the one before: 4 x 1, 2 x 1, 1 x 1 blocks.
      {"DXT1", 16, 4, 3, 32 + 16 + 8, 3},
      // Sides that are not multiples of 4 take a last, partly used block.
      {"DXT1", 6, 6, 0, 32, 0},
      {"DXT3", 2, 2, 0, 16, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.fourCC << " " << c.width << "x" << c.height << " mips " << c.mipCount);
    DdsFileLayout layout;
    layout.width = c.width;
    layout.height = c.height;
    layout.fourCC = c.fourCC;
    layout.mipCount = c.mipCount;
    const ByteString data = Pattern(c.bytes, 3);
    GraphImage image{};
    ASSERT_EQ(LoadImageBytes(LoadDdsImage, MakeDdsFile(layout, data), &image), 0);
    const uint32_t kind = static_cast<uint32_t>(c.fourCC[3] - '0');
    EXPECT_EQ(image.Format.BlockCompression, kind);
    EXPECT_EQ(image.Format.BitsPerPixel, kind == 1 ? 4 : 8);
    EXPECT_EQ(image.Pitch, 0);
    EXPECT_EQ(image.MipLevels, c.levels);
    EXPECT_EQ(ByteString(image.Pixels, image.Pixels + c.bytes), data);
    FreeGraphImage(&image);
    // One byte fewer is refused.
    EXPECT_EQ(LoadImageBytes(LoadDdsImage,
                             MakeDdsFile(layout, ByteString(data.begin(), data.end() - 1)), &image),
              -1);
  }
}

// Block pictures for DXT1 and DXT5 files of any size: every block of every level has its own
// colour c0 and alpha a0, and its diagonal (px == py) takes c1 and a1 instead, so a block in
// the wrong place, cut on the wrong side or read from the wrong level shows.
uint16_t BlockColour(int level, int bx, int by) {
  return static_cast<uint16_t>(level * 0x1F01 + bx * 0x0841 + by * 0x2003 + 0x1234);
}
uint8_t BlockAlpha(int level, int bx, int by) { return static_cast<uint8_t>(level * 40 + bx * 7 + by * 13 + 1); }
constexpr uint16_t kDiagonalColour = 0x001F;  // blue
constexpr uint8_t kDiagonalAlpha = 0x99;

uint32_t Widened565(uint16_t c) {
  return 0xFF000000u | uint32_t(((c >> 11) & 0x1F) * 255 / 31) << 16 |
         uint32_t(((c >> 5) & 0x3F) * 255 / 63) << 8 | uint32_t((c & 0x1F) * 255 / 31);
}

// What pixel (x, y) of a level shows, as 0xAARRGGBB.
uint32_t BlockPicturePixel(int kind, int level, int x, int y) {
  const bool diagonal = x % 4 == y % 4;
  const uint32_t colour = Widened565(diagonal ? kDiagonalColour : BlockColour(level, x / 4, y / 4));
  if (kind == 1) return colour;
  const uint8_t alpha = diagonal ? kDiagonalAlpha : BlockAlpha(level, x / 4, y / 4);
  return (colour & 0xFFFFFF) | uint32_t{alpha} << 24;
}

// Every level, block row by block row, as a writer stores them.
ByteString BlockPictureData(int kind, int width, int height, int levels) {
  ByteString data;
  for (int level = 0; level < levels; ++level) {
    const int w = std::max(1, width >> level), h = std::max(1, height >> level);
    for (int by = 0; by * 4 < h; ++by)
      for (int bx = 0; bx * 4 < w; ++bx) {
        if (kind == 5) {
          const uint8_t a0 = BlockAlpha(level, bx, by);
          // Index 1 (a1) on the diagonal pixels 0, 5, 10 and 15, index 0 (a0) elsewhere.
          const uint64_t bits = uint64_t{1} | uint64_t{1} << 15 | uint64_t{1} << 30 | uint64_t{1} << 45;
          data.insert(data.end(), {a0, kDiagonalAlpha});
          for (int i = 0; i < 6; ++i) data.push_back(static_cast<uint8_t>(bits >> (8 * i)));
        }
        const uint16_t c0 = BlockColour(level, bx, by);
        data.insert(data.end(), {static_cast<uint8_t>(c0), static_cast<uint8_t>(c0 >> 8),
                                 static_cast<uint8_t>(kDiagonalColour), static_cast<uint8_t>(kDiagonalColour >> 8),
                                 0x01, 0x04, 0x10, 0x40});
      }
  }
  return data;
}

TEST(DdsLoader, SidesThatAreNotMultiplesOfFourDecodeEveryLevelAndMirror) {
  struct Case {
    int width, height, levels;
  };
  for (int kind : {1, 5}) {
    for (const Case& c : {Case{1, 1, 1}, Case{5, 3, 3}, Case{127, 64, 7}}) {
      SCOPED_TRACE(testing::Message() << "DXT" << kind << " " << c.width << "x" << c.height);
      DdsFileLayout layout;
      layout.width = c.width;
      layout.height = c.height;
      layout.fourCC = kind == 1 ? "DXT1" : "DXT5";
      layout.mipCount = c.levels;
      const ByteString data = BlockPictureData(kind, c.width, c.height, c.levels);
      const ByteString file = MakeDdsFile(layout, data);
      GraphImage image{};
      ASSERT_EQ(LoadImageBytes(LoadDdsImage, file, &image), 0);
      EXPECT_EQ(image.MipLevels, c.levels);
      ASSERT_EQ(ByteString(image.Pixels, image.Pixels + data.size()), data);
      GraphImage cut{};
      EXPECT_EQ(LoadImageBytes(LoadDdsImage, ByteString(file.begin(), file.end() - 1), &cut), -1);

      // Each level lies where the block layout says and expands to its own picture.
      EXPECT_EQ(BlockCompressedDataBytes(image.Format.BlockCompression, c.width, c.height, image.MipLevels),
                static_cast<int64_t>(data.size()));
      int64_t at = 0;
      for (int level = 0; level < c.levels; ++level) {
        const int w = std::max(1, c.width >> level), h = std::max(1, c.height >> level);
        const int64_t bytes = BlockCompressedLevelBytes(image.Format.BlockCompression, c.width, c.height, level);
        ASSERT_LE(at + bytes, static_cast<int64_t>(data.size())) << "level " << level;
        GraphImage one = image;
        one.Width = w;
        one.Height = h;
        one.Pixels = static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(bytes), "test", __LINE__));
        std::memcpy(one.Pixels, image.Pixels + at, static_cast<size_t>(bytes));
        at += bytes;
        const std::vector<uint32_t> pixels = ImagePixels(&one);
        for (int y = 0, n = 0; y < h; ++y)
          for (int x = 0; x < w; ++x, ++n)
            ASSERT_EQ(pixels[n], BlockPicturePixel(kind, level, x, y)) << "level " << level << " at " << x << ", " << y;
        FreeGraphImage(&one);
      }

      // Mirrored as the file is read, and in place.
      GraphImage mirrored{};
      ASSERT_EQ(ReadImageToGraphImage(nullptr, file.data(), static_cast<int>(file.size()), 1, &mirrored, 1), 0);
      ASSERT_EQ(MirrorGraphImage(&image), 0);
      for (GraphImage* m : {&mirrored, &image}) {
        ASSERT_EQ(m->Format.BlockCompression, 0u);
        EXPECT_EQ(m->MipLevels, 0) << "only the top level is kept";
        const std::vector<uint32_t> pixels = ImagePixels(m);
        for (int y = 0, n = 0; y < c.height; ++y)
          for (int x = 0; x < c.width; ++x, ++n)
            ASSERT_EQ(pixels[n], BlockPicturePixel(kind, 0, c.width - 1 - x, y)) << x << ", " << y;
        FreeGraphImage(m);
      }
    }
  }
}

TEST(DdsLoader, RgbMasksDescribeThePixels) {
  // 3 x 2 A8R8G8B8.
  DdsFileLayout argb;
  argb.width = 3;
  argb.height = 2;
  ByteString data;
  for (uint32_t c : kPicture) {
    const ByteString e = Element(c, 4);
    data.insert(data.end(), e.begin(), e.end());
  }
  GraphImage image{};
  ASSERT_EQ(LoadImageBytes(LoadDdsImage, MakeDdsFile(argb, data), &image), 0);
  EXPECT_EQ(image.Pitch, 12);
  EXPECT_EQ(image.Format.AlphaMask, 0xFF000000u);
  EXPECT_EQ(ImagePixels(&image), kPicture);
  FreeGraphImage(&image);

  // R5G6B5 rows of 6 bytes in a pitch of 8, with three mip levels of 16, 4 and 1 bytes.
  DdsFileLayout r565;
  r565.width = 3;
  r565.height = 2;
  r565.bitCount = 16;
  r565.masks[0] = 0xF800;
  r565.masks[1] = 0x7E0;
  r565.masks[2] = 0x1F;
  r565.masks[3] = 0;
  r565.pitch = 8;
  r565.mipCount = 2;
  ByteString rows = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0, 0xFF, 0xFF, 0, 0, 0x10, 0x84, 0, 0};
  ByteString withMip = rows;
  withMip.insert(withMip.end(), {1, 2, 3, 4});
  ASSERT_EQ(LoadImageBytes(LoadDdsImage, MakeDdsFile(r565, withMip), &image), 0);
  EXPECT_EQ(image.Pitch, 8);
  EXPECT_EQ(image.MipLevels, 2);
  EXPECT_EQ(ImagePixels(&image),
            (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0, 0x838183}));
  EXPECT_EQ(ByteString(image.Pixels, image.Pixels + 20), withMip);
  FreeGraphImage(&image);
}

TEST(DdsLoader, RefusesWhatItCannotTake) {
  auto dxt = [](auto change, size_t bytes = 2048) {
    DdsFileLayout layout;
    layout.width = 64;
    layout.height = 64;
    layout.fourCC = "DXT1";
    change(layout);
    return MakeDdsFile(layout, ByteString(bytes, 0));
  };
  auto rgb = [](auto change) {
    DdsFileLayout layout;
    layout.width = 4;
    layout.height = 4;
    change(layout);
    return MakeDdsFile(layout, ByteString(256, 0));
  };
  ByteString noMagic = dxt([](DdsFileLayout&) {});
  noMagic[0] = 'X';
  struct Case {
    const char* name;
    ByteString file;
  };
  const Case cases[] = {
      {"no magic", noMagic},
      {"DXT6", dxt([](DdsFileLayout& s) { s.fourCC = "DXT6"; })},
      {"another fourCC", dxt([](DdsFileLayout& s) { s.fourCC = "ATI2"; })},
      {"a format code as fourCC", dxt([](DdsFileLayout& s) { s.fourCC = "\x15\0\0\0"; })},
      {"width 0", dxt([](DdsFileLayout& s) { s.width = 0; })},
      {"more mip levels than sizes", dxt([](DdsFileLayout& s) { s.mipCount = 8; }, 4096)},
      {"a side past the limit", dxt([](DdsFileLayout& s) { s.width = 65536; })},
      {"8-bit RGB", rgb([](DdsFileLayout& s) {
         s.bitCount = 8;
         s.masks[0] = 0xE0;
         s.masks[1] = 0x1C;
         s.masks[2] = 0x3;
         s.masks[3] = 0;
       })},
      {"a pitch shorter than a row", rgb([](DdsFileLayout& s) { s.pitch = 12; })},
      {"masks with gaps", rgb([](DdsFileLayout& s) { s.masks[0] = 0xF0F0; })},
      {"RGB data cut short", rgb([](DdsFileLayout& s) { s.width = 17; })},
      {"RGB with no bit count", dxt([](DdsFileLayout& s) {
         s.fourCC = nullptr;
         s.bitCount = 0;
       })},
  };
  const TrackedHeapTotals before = GetTrackedHeapTotals();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GraphImage image{};
    EXPECT_EQ(LoadImageBytes(LoadDdsImage, c.file, &image), -1);
  }
  EXPECT_EQ(GetTrackedHeapTotals().blocks, before.blocks);
}

TEST(BgraLoader, EightAndSixteenBitChannels) {
  ByteString eight, sixteen;
  for (uint32_t c : kPicture) {
    const ByteString e = Element(c, 4);
    eight.insert(eight.end(), e.begin(), e.end());
    for (uint8_t b : e)
      sixteen.insert(sixteen.end(), {static_cast<uint8_t>(b ^ 0x5A), b});  // low byte is noise
  }
  for (const ByteString& file :
       {MakeBgraFile(0x08080808, 3, 2, eight), MakeBgraFile(0x10101010, 3, 2, sixteen)}) {
    GraphImage image{};
    ASSERT_EQ(LoadImageBytes(LoadBgraImage, file, &image), 0);
    EXPECT_EQ(image.Pitch, 12);
    EXPECT_EQ(image.Format.AlphaMask, 0xFF000000u);
    EXPECT_EQ(ImagePixels(&image), kPicture);
    FreeGraphImage(&image);
  }
  GraphImage image{};
  EXPECT_EQ(LoadImageBytes(LoadBgraImage, MakeBgraFile(0x08080800, 3, 2, eight), &image), -1);
  EXPECT_EQ(LoadImageBytes(LoadBgraImage, MakeBgraFile(0x08080808, 3, 3, eight), &image), -1);
  EXPECT_EQ(LoadImageBytes(LoadBgraImage, MakeBgraFile(0x10101010, 3, 2, eight), &image), -1);
  EXPECT_EQ(LoadImageBytes(LoadBgraImage, MakeBgraFile(0x08080808, 0, 2, eight), &image), -1);
  EXPECT_EQ(
      LoadImageBytes(LoadBgraImage, MakeBgraFile(0x08080808, 0x10000, 0x10000, eight), &image), -1);
}

}  // namespace
