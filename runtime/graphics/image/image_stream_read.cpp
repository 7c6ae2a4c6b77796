// Stream reads and size checks shared by the image loaders.
#include "runtime/graphics/image/image_stream_read.h"

#include <algorithm>
#include <cstring>

#include "runtime/platform/core/tracked_heap.h"

bool ImageSizeAllowed(int64_t width, int64_t height, int64_t pitch) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels && pitch > 0 && pitch * height <= kMaxImageBytes;
}

int StreamTell(DataStream* stream) { return stream->Functions.Tell(stream->Handle); }

int StreamSeek(DataStream* stream, int offset, int origin) {
  return stream->Functions.Seek(stream->Handle, offset, origin) == 0 ? 0 : -1;
}

int StreamLength(DataStream* stream) {
  const int position = StreamTell(stream);
  if (position < 0 || StreamSeek(stream, 0, 2) != 0) return -1;
  const int length = StreamTell(stream);
  if (StreamSeek(stream, position, 0) != 0) return -1;
  return length;
}

size_t StreamReadUpTo(DataStream* stream, void* buffer, size_t n) {
  if (n == 0) return 0;
  return stream->Functions.Read(buffer, 1, n, stream->Handle);
}

bool StreamReadExact(DataStream* stream, void* buffer, size_t n) {
  return StreamReadUpTo(stream, buffer, n) == n;
}

uint8_t* StreamReadToEnd(DataStream* stream, int end, size_t minimumSize, size_t* size) {
  *size = 0;
  const int position = StreamTell(stream);
  if (position < 0 || end <= position) return nullptr;
  const size_t available = static_cast<size_t>(end - position);
  const size_t bytes = std::max(available, minimumSize);
  auto* data = static_cast<uint8_t*>(AllocTracked(bytes, __FILE__, __LINE__));
  if (!data) return nullptr;
  const size_t got = StreamReadUpTo(stream, data, available);
  if (got == 0) {
    FreeTracked(data);
    return nullptr;
  }
  std::memset(data + got, 0, bytes - got);
  *size = got;
  return data;
}

void SetLoadedImage(GraphImage* image, const PixelFormat& format, int width, int height, int pitch,
                    uint8_t* pixels) {
  image->Format = format;
  image->Width = width;
  image->Height = height;
  image->Pitch = pitch;
  image->Pixels = pixels;
  image->MipLevels = 0;
}
