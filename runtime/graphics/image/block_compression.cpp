// The layout of DXT1 to DXT5 block data, and its expansion into plain ARGB8 pixels.
#include <algorithm>
#include <cstring>

#include "runtime/graphics/image/pixel_access.h"
#include "runtime/graphics/image/pixel_conversion.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

constexpr int64_t kMaxImageBytes = 0x7FFFFFFF;

struct Colour {
  int r, g, b, a;
};

Colour Expand565(uint32_t c) {
  return Colour{static_cast<int>(((c >> 11) & 0x1F) * 255 / 31),
                static_cast<int>(((c >> 5) & 0x3F) * 255 / 63),
                static_cast<int>((c & 0x1F) * 255 / 31), 255};
}

// The four colours of a colour half; DXT1 blocks with c0 <= c1 have three and a transparent one.
void ColourTable(const uint8_t* half, bool dxt1, Colour out[4]) {
  const uint32_t c0 = ReadPixelValue(half, 2), c1 = ReadPixelValue(half + 2, 2);
  const Colour a = Expand565(c0), b = Expand565(c1);
  out[0] = a;
  out[1] = b;
  if (!dxt1 || c0 > c1) {
    out[2] = Colour{(2 * a.r + b.r) / 3, (2 * a.g + b.g) / 3, (2 * a.b + b.b) / 3, 255};
    out[3] = Colour{(a.r + 2 * b.r) / 3, (a.g + 2 * b.g) / 3, (a.b + 2 * b.b) / 3, 255};
  } else {
    out[2] = Colour{(a.r + b.r) >> 1, (a.g + b.g) >> 1, (a.b + b.b) >> 1, 255};
    out[3] = out[2];
    out[3].a = 0;
  }
}

// The eight alpha values of a DXT4 / DXT5 alpha half.
void AlphaTable(const uint8_t* half, int out[8]) {
  const int a0 = half[0], a1 = half[1];
  out[0] = a0;
  out[1] = a1;
  if (a0 > a1) {
    for (int i = 1; i <= 6; ++i) out[1 + i] = ((7 - i) * a0 + i * a1) / 7;
  } else {
    for (int i = 1; i <= 4; ++i) out[1 + i] = ((5 - i) * a0 + i * a1) / 5;
    out[6] = 0;
    out[7] = 255;
  }
}

void DecodeBlock(const uint8_t* block, int kind, uint8_t* out, int pitch) {
  const bool dxt1 = kind == 1;
  const uint8_t* colourHalf = dxt1 ? block : block + 8;
  Colour colours[4];
  ColourTable(colourHalf, dxt1, colours);
  int alphas[8] = {};
  uint64_t alphaBits = 0;
  if (kind == 4 || kind == 5) {
    AlphaTable(block, alphas);
    for (int i = 0; i < 6; ++i) alphaBits |= uint64_t{block[2 + i]} << (8 * i);
  }
  for (int py = 0; py < 4; ++py) {
    const uint8_t indexRow = colourHalf[4 + py];
    for (int px = 0; px < 4; ++px) {
      const int n = py * 4 + px;
      Colour c = colours[(indexRow >> (2 * px)) & 3];
      if (kind == 2 || kind == 3) {
        c.a = ((block[n / 2] >> (4 * (n & 1))) & 0xF) * 17;
      } else if (kind == 4 || kind == 5) {
        c.a = alphas[(alphaBits >> (3 * n)) & 7];
      }
      // Premultiplied kinds: divide the colour back; with alpha 0 it is lost, so black.
      if (kind == 2 || kind == 4) {
        if (c.a == 0) {
          c.r = c.g = c.b = 0;
        } else {
          c.r = c.r * 255 / c.a > 255 ? 255 : c.r * 255 / c.a;
          c.g = c.g * 255 / c.a > 255 ? 255 : c.g * 255 / c.a;
          c.b = c.b * 255 / c.a > 255 ? 255 : c.b * 255 / c.a;
        }
      }
      uint8_t* p = out + py * pitch + px * 4;
      p[0] = static_cast<uint8_t>(c.b);
      p[1] = static_cast<uint8_t>(c.g);
      p[2] = static_cast<uint8_t>(c.r);
      p[3] = static_cast<uint8_t>(c.a);
    }
  }
}

int BlockBytes(uint32_t blockCompression) {
  if (blockCompression < 1 || blockCompression > 5) return 0;
  return blockCompression == 1 ? 8 : 16;
}

}  // namespace

int64_t BlockCompressedRowBytes(uint32_t blockCompression, int width) {
  if (width <= 0) return 0;
  return (int64_t{width} + 3) / 4 * BlockBytes(blockCompression);
}

int64_t BlockCompressedLevelBytes(uint32_t blockCompression, int width, int height, int level) {
  if (width <= 0 || height <= 0 || level < 0) return 0;
  const int w = level >= 31 ? 1 : std::max(1, width >> level);
  const int h = level >= 31 ? 1 : std::max(1, height >> level);
  return BlockCompressedRowBytes(blockCompression, w) * ((int64_t{h} + 3) / 4);
}

int64_t BlockCompressedDataBytes(uint32_t blockCompression, int width, int height, int levels) {
  int64_t bytes = 0;
  for (int level = 0; level < std::max(levels, 1); ++level)
    bytes += BlockCompressedLevelBytes(blockCompression, width, height, level);
  return bytes;
}

int ExpandBlockCompressedImage(GraphImage* image) {
  if (image == nullptr) return -1;
  const int kind = static_cast<int>(image->Format.BlockCompression);
  if (kind == 0) return 0;
  if (kind < 1 || kind > 5 || image->Pixels == nullptr || image->Width <= 0 || image->Height <= 0)
    return -1;
  const int64_t pitch = int64_t{image->Width} * 4;
  const int64_t size = pitch * image->Height;
  if (pitch > kMaxImageBytes || size > kMaxImageBytes) return -1;
  auto* pixels = static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(size), __FILE__, __LINE__));
  if (pixels == nullptr) return -1;
  const int blockBytes = BlockBytes(static_cast<uint32_t>(kind));
  const int64_t rowBytes = BlockCompressedRowBytes(static_cast<uint32_t>(kind), image->Width);
  uint8_t decoded[4 * 16];
  for (int y = 0; y < image->Height; y += 4) {
    const uint8_t* block = image->Pixels + y / 4 * rowBytes;
    for (int x = 0; x < image->Width; x += 4, block += blockBytes) {
      DecodeBlock(block, kind, decoded, 16);
      // The last block of a row or column may hang over the image's edge.
      const int columns = std::min(4, image->Width - x), rows = std::min(4, image->Height - y);
      for (int row = 0; row < rows; ++row)
        std::memcpy(pixels + (y + row) * pitch + x * 4, decoded + row * 16,
                    static_cast<size_t>(columns) * 4);
    }
  }
  FreeTracked(image->Pixels);
  image->Pixels = pixels;
  SetupARGB8PixelFormat(&image->Format);
  image->Pitch = static_cast<int32_t>(pitch);
  // Only the top level is expanded: the smaller levels are gone with the block data.
  image->MipLevels = 0;
  return 0;
}
