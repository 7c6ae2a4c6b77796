// What the image loaders share: exact reads from a DataStream, little-endian fields, and the
// size limits every loader checks before it allocates pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/graphics/image/graph_image.h"
#include "runtime/platform/files/data_stream.h"

// The largest image a loader accepts: each side up to 32768 pixels and no more than 2^26
// pixels in all (a 8192 x 8192 image). The sizes come from the files, so anything larger is
// taken for damage rather than allocated.
constexpr int64_t kMaxImageSide = 32768;
constexpr int64_t kMaxImagePixels = int64_t{1} << 26;
// Pitch x height must stay an i32, as the GraphImage fields are.
constexpr int64_t kMaxImageBytes = 0x7FFFFFFF;

// Whether an image of width x height pixels with rows of pitch bytes may be allocated.
bool ImageSizeAllowed(int64_t width, int64_t height, int64_t pitch);

// The stream's length (seek to the end, tell) with the position put back where it was; -1
// when the stream cannot seek.
int StreamLength(DataStream* stream);
int StreamTell(DataStream* stream);
// 0, or -1 when the stream refused.
int StreamSeek(DataStream* stream, int offset, int origin);
// Reads exactly n bytes; false when fewer were there.
bool StreamReadExact(DataStream* stream, void* buffer, size_t n);
// Reads up to n bytes and returns how many came.
size_t StreamReadUpTo(DataStream* stream, void* buffer, size_t n);

// Reads everything from the current position to `end` (a stream offset) into a tracked-heap
// block of at least minimumSize bytes, the bytes past the data zeroed. Null when there is
// nothing to read or memory runs out; *size gets the number of bytes read.
uint8_t* StreamReadToEnd(DataStream* stream, int end, size_t minimumSize, size_t* size);

inline uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Puts a decoded image into the caller's record.
void SetLoadedImage(GraphImage* image, const PixelFormat& format, int width, int height, int pitch,
                    uint8_t* pixels);
