// DDS files: DXT1 to DXT5 blocks kept compressed, and plain pixels described by their masks,
// each with the mip levels stored after the top level.
#include <algorithm>
#include <cstring>

#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/image/image_stream_read.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

constexpr uint32_t kFlagPitch = 0x8;
constexpr uint32_t kFlagMipMapCount = 0x20000;
constexpr uint32_t kCapsComplex = 0x8;
constexpr uint32_t kCapsMipMap = 0x400000;
constexpr uint32_t kPixelFourCC = 0x4;
constexpr uint32_t kPixelRgb = 0x40;

// The most levels an image of this size can have (down to 1 x 1).
int MaxLevels(int width, int height) {
  int levels = 1;
  for (int side = std::max(width, height); side > 1; side >>= 1) ++levels;
  return levels;
}

}  // namespace

int LoadDdsImage(DataStream* stream, GraphImage* image) {
  uint8_t magic[4], h[124];
  if (!StreamReadExact(stream, magic, sizeof magic) || std::memcmp(magic, "DDS", 3) != 0 ||
      !StreamReadExact(stream, h, sizeof h))
    return -1;
  const uint32_t flags = ReadLe32(h + 4);
  const uint32_t height = ReadLe32(h + 8);
  const uint32_t width = ReadLe32(h + 12);
  const uint32_t pitchOrSize = ReadLe32(h + 16);
  const uint32_t mipCount = ReadLe32(h + 24);
  const uint32_t pixelFlags = ReadLe32(h + 76);
  const uint8_t* fourCC = h + 80;
  const uint32_t bitCount = ReadLe32(h + 84);
  const uint32_t caps = ReadLe32(h + 104);
  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) return -1;
  const int w = static_cast<int>(width), ht = static_cast<int>(height);

  int levels = 0;
  if ((flags & kFlagMipMapCount) && (caps & kCapsComplex) && (caps & kCapsMipMap)) {
    if (mipCount > static_cast<uint32_t>(MaxLevels(w, ht))) return -1;
    levels = static_cast<int>(mipCount);
  }

  PixelFormat format{};
  int pitch = 0;
  int64_t size = 0;
  if (pixelFlags & kPixelFourCC) {
    if (std::memcmp(fourCC, "DXT", 3) != 0 || fourCC[3] < '1' || fourCC[3] > '5') return -1;
    const int kind = fourCC[3] - '0';
    // The size it expands to must be one that can be held.
    if (!ImageSizeAllowed(w, ht, int64_t{w} * 4)) return -1;
    size = BlockCompressedDataBytes(static_cast<uint32_t>(kind), w, ht, levels);
    SetupARGB8PixelFormat(&format);
    format.BitsPerPixel = kind == 1 ? 4 : 8;
    format.BytesPerPixel = kind == 1 ? 0 : 1;
    format.BlockCompression = static_cast<uint32_t>(kind);
  } else if (pixelFlags & kPixelRgb) {
    // One byte per pixel would read as palette indices: only 16, 24 and 32 bits are taken.
    if ((bitCount != 16 && bitCount != 24 && bitCount != 32) ||
        SetupPixelFormat(&format, static_cast<int>(bitCount), ReadLe32(h + 88), ReadLe32(h + 92),
                         ReadLe32(h + 96), ReadLe32(h + 100)) != 0)
      return -1;
    const int64_t rowBytes = int64_t{w} * (bitCount / 8);
    const int64_t filePitch = (flags & kFlagPitch) ? int64_t{pitchOrSize} : rowBytes;
    // Rows shorter than their pixels would make every reader run past the buffer.
    if (filePitch < rowBytes || !ImageSizeAllowed(w, ht, filePitch)) return -1;
    pitch = static_cast<int>(filePitch);
    int64_t level = filePitch * ht;
    size = level;
    for (int i = 1; i < levels; ++i) {
      level /= 4;
      size += level;
    }
  } else {
    return -1;
  }

  const int length = StreamLength(stream);
  const int position = StreamTell(stream);
  if (size > kMaxImageBytes || length < 0 || position < 0 || int64_t{length} - position < size)
    return -1;
  auto* pixels = static_cast<uint8_t*>(AllocTracked(static_cast<size_t>(size), __FILE__, __LINE__));
  if (!pixels) return -1;
  if (!StreamReadExact(stream, pixels, static_cast<size_t>(size))) {
    FreeTracked(pixels);
    return -1;
  }
  SetLoadedImage(image, format, w, ht, pitch, pixels);
  // The file's count, which includes the top level; 0 when the file flags no mip levels.
  image->MipLevels = levels;
  return 0;
}
