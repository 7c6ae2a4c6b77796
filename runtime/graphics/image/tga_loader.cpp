// TGA files: true-colour and colour-mapped images, plain or run-length encoded, in any of the
// four orientations, with or without the footer.
#include <algorithm>
#include <cstring>

#include "runtime/graphics/image/image_loader.h"
#include "runtime/graphics/image/image_stream_read.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

constexpr int kFooterSize = 26;
constexpr int kMaxTgaSide = 8192;
// A run packet of a header byte and one index gives at most 128 pixels.
constexpr int64_t kMaxRunPixelsPerByte = 64;

struct TgaHeader {
  int idLength;
  int mapType;
  int imageType;
  int mapFirst;
  int mapLength;
  int mapEntryBits;
  int xOrigin;
  int yOrigin;
  int width;
  int height;
  int depth;
  int descriptor;
};

TgaHeader ParseHeader(const uint8_t* h) {
  return TgaHeader{h[0],
                   h[1],
                   h[2],
                   ReadLe16(h + 3),
                   ReadLe16(h + 5),
                   h[7],
                   ReadLe16(h + 8),
                   ReadLe16(h + 10),
                   ReadLe16(h + 12),
                   ReadLe16(h + 14),
                   h[16],
                   h[17]};
}

// The footer counts only with no extension area before it.
bool HasFooter(DataStream* stream, int length) {
  uint8_t footer[kFooterSize];
  if (length < kFooterSize || StreamSeek(stream, length - kFooterSize, 0) != 0 ||
      !StreamReadExact(stream, footer, sizeof footer))
    return false;
  return std::memcmp(footer + 8, "TRUEVISION-XFILE", 16) == 0 && ReadLe32(footer) == 0;
}

// Packets: a header byte h, count (h & 0x7F) + 1, then one element repeated (h & 0x80) or
// count elements. Stops after `total` pixels or at the end of the data; what is not reached
// stays as it was (zero).
void DecodeRuns(const uint8_t* p, const uint8_t* end, int inBytes, int outBytes,
                const uint8_t* table, size_t total, uint8_t* out) {
  auto element = [&](const uint8_t* in) {
    return table ? table + static_cast<size_t>(*in) * outBytes : in;
  };
  size_t produced = 0;
  while (produced < total && p < end) {
    const int header = *p++;
    const size_t count = std::min<size_t>((header & 0x7F) + 1, total - produced);
    if (header & 0x80) {
      if (end - p < inBytes) return;
      const uint8_t* value = element(p);
      p += inBytes;
      for (size_t i = 0; i < count; ++i)
        std::memcpy(out + (produced + i) * outBytes, value, outBytes);
    } else {
      for (size_t i = 0; i < count; ++i, p += inBytes) {
        if (end - p < inBytes) return;
        std::memcpy(out + (produced + i) * outBytes, element(p), outBytes);
      }
    }
    produced += count;
  }
}

// Bottom-up rows and right-to-left columns are turned round in place.
void Orient(uint8_t* pixels, int width, int height, int bytes, bool bottomUp, bool rightToLeft) {
  const size_t pitch = static_cast<size_t>(width) * bytes;
  if (bottomUp)
    for (int r = 0; r < height / 2; ++r)
      std::swap_ranges(pixels + r * pitch, pixels + (r + 1) * pitch,
                       pixels + (height - 1 - r) * pitch);
  if (rightToLeft)
    for (int r = 0; r < height; ++r) {
      uint8_t* row = pixels + r * pitch;
      for (int x = 0; x < width / 2; ++x)
        std::swap_ranges(row + x * bytes, row + (x + 1) * bytes, row + (width - 1 - x) * bytes);
    }
}

}  // namespace

int LoadTgaImage(DataStream* stream, GraphImage* image) {
  const int length = StreamLength(stream);
  if (length < 18) return -1;
  const bool footer = HasFooter(stream, length);
  uint8_t raw[18];
  if (StreamSeek(stream, 0, 0) != 0 || !StreamReadExact(stream, raw, sizeof raw)) return -1;
  const TgaHeader h = ParseHeader(raw);
  const bool mapped = h.imageType == 1 || h.imageType == 9;
  const bool runLength = h.imageType == 9 || h.imageType == 10;
  if (!mapped && h.imageType != 2 && h.imageType != 10) return -1;
  if (h.xOrigin != 0 || h.yOrigin != 0 || h.width <= 0 || h.height <= 0 || h.width > kMaxTgaSide ||
      h.height > kMaxTgaSide)
    return -1;
  const int elementBits = mapped ? h.mapEntryBits : h.depth;
  if (elementBits != 16 && elementBits != 24 && elementBits != 32) return -1;
  // Colour-mapped pixels are one-byte indices here; wider indices are not taken for them.
  if (mapped && h.depth != 8) return -1;
  const int bytes = elementBits / 8;
  if (!ImageSizeAllowed(h.width, h.height, int64_t{h.width} * bytes)) return -1;
  if (StreamSeek(stream, 18 + h.idLength, 0) != 0) return -1;

  // Colour map: entries fill a 256-element table from slot mapFirst on; entries past the
  // table are read over and dropped.
  uint8_t table[256 * 4] = {};
  if (mapped) {
    const size_t mapBytes = static_cast<size_t>(h.mapLength) * bytes;
    auto* map = static_cast<uint8_t*>(AllocTracked(mapBytes ? mapBytes : 1, __FILE__, __LINE__));
    if (!map) return -1;
    const bool complete = StreamReadExact(stream, map, mapBytes);
    for (int i = 0; complete && i < h.mapLength && h.mapFirst + i < 256; ++i)
      std::memcpy(table + (h.mapFirst + i) * bytes, map + i * bytes, bytes);
    FreeTracked(map);
    if (!complete) return -1;
  } else if (h.mapType == 1) {
    // A true-colour image may still carry a colour map; its pixels come after it.
    const int skip = h.mapLength * ((h.mapEntryBits + 7) / 8);
    if (StreamSeek(stream, StreamTell(stream) + skip, 0) != 0) return -1;
  }

  const size_t pixelCount = static_cast<size_t>(h.width) * h.height;
  const int inBytes = mapped ? 1 : bytes;
  const int position = StreamTell(stream);
  const int dataEnd = footer && length - kFooterSize >= position ? length - kFooterSize : length;
  const int64_t dataBytes = int64_t{dataEnd} - position;
  if (position < 0 || dataBytes <= 0) return -1;
  // Plain data must be all there; run-length data cannot make more than its packets hold.
  if (!runLength && dataBytes < static_cast<int64_t>(pixelCount) * inBytes) return -1;
  if (runLength && static_cast<int64_t>(pixelCount) > dataBytes * kMaxRunPixelsPerByte) return -1;

  auto* pixels = static_cast<uint8_t*>(AllocTrackedZero(pixelCount * bytes, __FILE__, __LINE__));
  if (!pixels) return -1;
  bool ok = true;
  if (!runLength && !mapped) {
    ok = StreamReadExact(stream, pixels, pixelCount * bytes);
  } else {
    size_t size = 0;
    uint8_t* data = StreamReadToEnd(
        stream, runLength ? dataEnd : position + static_cast<int>(pixelCount), 0, &size);
    ok = data != nullptr;
    if (ok && runLength) {
      DecodeRuns(data, data + size, inBytes, bytes, mapped ? table : nullptr, pixelCount, pixels);
    } else if (ok) {
      ok = size == pixelCount;
      for (size_t i = 0; ok && i < pixelCount; ++i)
        std::memcpy(pixels + i * bytes, table + data[i] * bytes, bytes);
    }
    FreeTracked(data);
  }
  if (!ok) {
    FreeTracked(pixels);
    return -1;
  }
  Orient(pixels, h.width, h.height, bytes, (h.descriptor & 0x20) == 0, (h.descriptor & 0x10) != 0);

  PixelFormat format{};
  if (bytes == 2)
    SetupPixelFormat(&format, 16, 0x7C00, 0x3E0, 0x1F, 0);
  else if (bytes == 3)
    SetupRGB8PixelFormat(&format);
  else
    SetupARGB8PixelFormat(&format);
  SetLoadedImage(image, format, h.width, h.height, h.width * bytes, pixels);
  return 0;
}
