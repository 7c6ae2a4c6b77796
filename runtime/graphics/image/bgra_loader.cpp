// The raw "BGRA" format: a 16-byte header and rows of 8-bit or 16-bit B, G, R, A channels.
#include <cstring>

#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/image/image_stream_read.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

constexpr uint32_t kEightBitChannels = 0x08080808;
constexpr uint32_t kSixteenBitChannels = 0x10101010;

}  // namespace

int LoadBgraImage(DataStream* stream, GraphImage* image) {
  uint8_t h[16];
  if (!StreamReadExact(stream, h, sizeof h) || std::memcmp(h, "BGRA", 4) != 0) return -1;
  const uint32_t depth = ReadLe32(h + 4);
  const uint32_t width = ReadLe32(h + 8);
  const uint32_t height = ReadLe32(h + 12);
  if (depth != kEightBitChannels && depth != kSixteenBitChannels) return -1;
  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide ||
      !ImageSizeAllowed(width, height, int64_t{width} * 4))
    return -1;
  const int w = static_cast<int>(width), ht = static_cast<int>(height);
  const size_t pitch = static_cast<size_t>(w) * 4;
  const size_t fileRow = depth == kEightBitChannels ? pitch : pitch * 2;
  const int length = StreamLength(stream);
  const int position = StreamTell(stream);
  if (length < 0 || position < 0 ||
      static_cast<int64_t>(length) - position < static_cast<int64_t>(fileRow) * ht)
    return -1;

  auto* pixels = static_cast<uint8_t*>(AllocTracked(pitch * ht, __FILE__, __LINE__));
  if (!pixels) return -1;
  bool ok;
  if (depth == kEightBitChannels) {
    ok = StreamReadExact(stream, pixels, pitch * ht);
  } else {
    // Each channel is a little-endian u16 whose high byte is kept.
    auto* row = static_cast<uint8_t*>(AllocTracked(fileRow, __FILE__, __LINE__));
    ok = row != nullptr;
    for (int y = 0; ok && y < ht; ++y) {
      ok = StreamReadExact(stream, row, fileRow);
      for (size_t i = 0; ok && i < pitch; ++i) pixels[y * pitch + i] = row[i * 2 + 1];
    }
    FreeTracked(row);
  }
  if (!ok) {
    FreeTracked(pixels);
    return -1;
  }
  PixelFormat format{};
  SetupARGB8PixelFormat(&format);
  SetLoadedImage(image, format, w, ht, static_cast<int>(pitch), pixels);
  return 0;
}
