// Small sample files of every variant the image loaders take.
#include "tools/lib/image_file_fixtures.h"

namespace {

// A w x h picture of stored values below `limit`, top row first.
std::vector<std::vector<uint32_t>> Picture(int w, int h, uint32_t limit, uint32_t seed) {
  std::vector<std::vector<uint32_t>> rows(h, std::vector<uint32_t>(w));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 214013u + 2531011u;
      rows[y][x] = (seed >> 8) % limit;
    }
  return rows;
}

std::vector<uint32_t> Colours(size_t n) {
  std::vector<uint32_t> c(n);
  for (size_t i = 0; i < n; ++i) c[i] = static_cast<uint32_t>(i * 0x0F1E2D) & 0xFFFFFF;
  return c;
}

ByteString Bytes(size_t n, uint32_t seed) {
  ByteString b(n);
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 214013u + 2531011u;
    b[i] = static_cast<uint8_t>(seed >> 16);
  }
  return b;
}

ByteString Flatten(const std::vector<std::vector<uint32_t>>& rows, int bytes) {
  ByteString out;
  for (const auto& row : rows)
    for (uint32_t v : row)
      for (int b = 0; b < bytes; ++b) out.push_back(static_cast<uint8_t>(v >> (8 * b)));
  return out;
}

}  // namespace

std::vector<ByteString> SampleBmpFiles() {
  std::vector<ByteString> files;
  struct Plain {
    int bits;
    uint32_t compression;
    std::vector<uint32_t> masks;
    int height;
    uint32_t headerSize;
  };
  const Plain plain[] = {
      {1, 0, {}, 5, 40},  {4, 0, {}, 5, 40},  {8, 0, {}, 5, 40},   {8, 0, {}, -5, 124},
      {16, 0, {}, 5, 40}, {16, 3, {0xF800, 0x7E0, 0x1F}, -5, 40}, {24, 0, {}, 5, 40},
      {24, 0, {}, -5, 40}, {32, 0, {}, 5, 40}, {32, 3, {0xFF0000, 0xFF00, 0xFF}, 5, 108},
      {8, 0, {}, 5, 64},  {4, 0, {}, -5, 16},
  };
  for (const Plain& p : plain) {
    BmpFileLayout layout;
    layout.width = 7;
    layout.height = p.height;
    layout.bitCount = static_cast<uint16_t>(p.bits);
    layout.compression = p.compression;
    layout.masks = p.masks;
    layout.headerSize = p.headerSize;
    if (p.bits <= 8) layout.palette = Colours(size_t{1} << p.bits);
    const uint32_t limit = p.bits >= 32 ? 0xFFFFFFFFu : (1u << p.bits);
    files.push_back(
        MakeBmpFile(layout, PackDibRows(Picture(7, 5, limit, p.bits * 31u), p.bits, p.height < 0)));
  }
  // 1 x 1 at 16 and 32 bits: less pixel data than three masks would take.
  for (uint16_t bits : {16, 32}) {
    BmpFileLayout tiny;
    tiny.width = 1;
    tiny.height = 1;
    tiny.bitCount = bits;
    files.push_back(MakeBmpFile(tiny, Bytes(4, bits)));
  }
  BmpFileLayout rle;
  rle.width = 9;
  rle.height = 6;
  rle.bitCount = 8;
  rle.compression = 1;
  rle.palette = Colours(256);
  files.push_back(
      MakeBmpFile(rle, {3, 1, 0, 4, 5, 6, 7, 8, 0, 0, 0, 2, 2, 1, 9, 3, 0, 0, 4, 4, 0, 1}));
  rle.bitCount = 4;
  rle.compression = 2;
  rle.palette = Colours(16);
  files.push_back(MakeBmpFile(rle, {5, 0x12, 0, 3, 0x45, 0x60, 0, 0, 0, 2, 1, 2, 4, 0xAB, 0, 1}));
  return files;
}

std::vector<ByteString> SampleTgaFiles() {
  std::vector<ByteString> files;
  for (int type : {1, 2, 9, 10})
    for (int bits : {16, 24, 32}) {
      const bool mapped = type == 1 || type == 9;
      TgaFileLayout layout;
      layout.imageType = type;
      layout.width = 6;
      layout.height = 4;
      layout.descriptor = (bits == 24 ? 0x20 : 0) | (type >= 9 ? 0x10 : 0);
      layout.footer = bits != 16;
      layout.depth = mapped ? 8 : bits;
      ByteString pixels;
      if (mapped) {
        layout.mapFirst = 3;
        layout.mapLength = 12;
        layout.mapEntryBits = bits;
        layout.colourMap = Bytes(static_cast<size_t>(12 * bits / 8), 5);
        pixels = Flatten(Picture(6, 4, 15, 9), 1);
      } else {
        pixels = Flatten(Picture(6, 4, 4, 7), bits / 8);  // few values, so runs occur
      }
      if (type >= 9) pixels = EncodeTgaRuns(pixels, mapped ? 1 : bits / 8);
      files.push_back(MakeTgaFile(layout, pixels));
    }
  return files;
}

std::vector<ByteString> SampleDdsFiles() {
  std::vector<ByteString> files;
  DdsFileLayout dxt;
  dxt.width = 8;
  dxt.height = 8;
  for (const char* fourCC : {"DXT1", "DXT3", "DXT5"}) {
    dxt.fourCC = fourCC;
    dxt.mipCount = 4;
    const size_t block = fourCC[3] == '1' ? 8 : 16;
    files.push_back(MakeDdsFile(dxt, Bytes(block * 4 + block * 3, 3)));
  }
  // Sides that are not multiples of 4: 5 x 3 in DXT1 (2 x 1, 1 x 1, 1 x 1 blocks over three
  // levels) and 1 x 1 in DXT5.
  dxt.width = 5;
  dxt.height = 3;
  dxt.fourCC = "DXT1";
  dxt.mipCount = 3;
  files.push_back(MakeDdsFile(dxt, Bytes(32, 5)));
  dxt.width = 1;
  dxt.height = 1;
  dxt.fourCC = "DXT5";
  dxt.mipCount = 1;
  files.push_back(MakeDdsFile(dxt, Bytes(16, 7)));
  DdsFileLayout rgb;
  rgb.width = 5;
  rgb.height = 3;
  files.push_back(MakeDdsFile(rgb, Bytes(60, 4)));
  rgb.bitCount = 16;
  rgb.masks[0] = 0xF800;
  rgb.masks[1] = 0x7E0;
  rgb.masks[2] = 0x1F;
  rgb.masks[3] = 0;
  rgb.pitch = 12;
  rgb.mipCount = 2;
  files.push_back(MakeDdsFile(rgb, Bytes(36 + 9, 6)));
  return files;
}

std::vector<ByteString> SampleBgraFiles() {
  return {MakeBgraFile(0x08080808, 5, 3, Bytes(60, 1)),
          MakeBgraFile(0x10101010, 3, 2, Bytes(48, 2))};
}

std::vector<ByteString> SamplePngFiles() {
  std::vector<ByteString> files;
  struct Kind {
    int colourType, bitDepth, channels;
    bool interlaced, transparency;
  };
  const Kind kinds[] = {
      {3, 4, 1, false, false}, {3, 8, 1, false, true},  {0, 1, 1, false, false},
      {0, 8, 1, true, true},   {4, 8, 2, false, false}, {2, 16, 3, false, false},
      {2, 8, 3, true, false},  {6, 8, 4, false, false},
  };
  for (const Kind& k : kinds) {
    PngFileLayout layout;
    layout.width = 7;
    layout.height = 5;
    layout.colourType = k.colourType;
    layout.bitDepth = k.bitDepth;
    layout.interlaced = k.interlaced;
    if (k.colourType == 3) layout.palette = Colours(size_t{1} << k.bitDepth);
    if (k.transparency && k.colourType == 3) layout.transparency = Bytes(5, 8);
    if (k.transparency && k.colourType == 0) layout.transparentGrey = 7;
    const size_t rowBytes = (7u * k.channels * k.bitDepth + 7) / 8;
    std::vector<ByteString> rows;
    for (int y = 0; y < 5; ++y) rows.push_back(Bytes(rowBytes, 11u + y));
    files.push_back(MakePngFile(layout, rows));
  }
  return files;
}

std::vector<ByteString> SampleJpegFiles() {
  std::vector<ByteString> files;
  for (int components : {1, 3}) {
    ByteString samples;
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 10; ++x)
        for (int c = 0; c < components; ++c)
          samples.push_back(static_cast<uint8_t>(x * 20 + y * 5 + c * 60));
    files.push_back(MakeJpegFile(10, 12, components, samples, 75));
  }
  return files;
}
