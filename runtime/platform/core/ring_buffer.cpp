#include "runtime/platform/core/ring_buffer.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"

RingBuffer* NormalizeRingBuffer(RingBuffer* ring) {
  if (ring->readPosition == ring->capacity) ring->readPosition = 0;
  if (ring->writePosition == ring->capacity) ring->writePosition = 0;
  return ring;
}

int ReadRingBuffer(RingBuffer* ring, void* destination, int n, int peek) {
  if (n < 0 || ring->storedBytes < n) return -1;
  if (n == 0) return 0;
  NormalizeRingBuffer(ring);
  unsigned char* out = static_cast<unsigned char*>(destination);
  int read = ring->readPosition;
  if (read + n > ring->capacity) {
    int first = ring->capacity - read;
    std::memcpy(out, ring->data + read, static_cast<size_t>(first));
    std::memcpy(out + first, ring->data, static_cast<size_t>(n - first));
    read = n - first;
  } else {
    std::memcpy(out, ring->data + read, static_cast<size_t>(n));
    read += n;
  }
  if (!peek) {
    ring->readPosition = read;
    ring->storedBytes -= n;
  }
  return 0;
}

int ReserveRingBuffer(RingBuffer* ring, int n) {
  NormalizeRingBuffer(ring);
  int64_t needed = static_cast<int64_t>(ring->storedBytes) + n;
  if (ring->capacity >= needed) return 0;

  // Worked out wide: a request near the int range must fail, not wrap into a small buffer.
  int64_t grown =
      static_cast<int64_t>(n) + (static_cast<int64_t>(ring->storedBytes) * 3) / 2 + 1000;
  unsigned char* data = nullptr;
  if (grown <= INT_MAX)
    data =
        static_cast<unsigned char*>(AllocTracked(static_cast<size_t>(grown), __FILE__, __LINE__));
  if (!data) {
    // The queued bytes stay where they are: a failed growth loses nothing.
    LogPrintf("リングバッファの再確保に失敗しました(確保しようとしたサイズ %lld byte)",
              static_cast<long long>(grown));
    return -1;
  }

  int stored = ring->storedBytes;
  if (stored > 0) {
    int read = ring->readPosition;
    int first = ring->capacity - read;
    if (first >= stored) {
      std::memcpy(data, ring->data + read, static_cast<size_t>(stored));
    } else {
      std::memcpy(data, ring->data + read, static_cast<size_t>(first));
      std::memcpy(data + first, ring->data, static_cast<size_t>(stored - first));
    }
  }
  if (ring->data) FreeTracked(ring->data);
  ring->data = data;
  ring->capacity = static_cast<int>(grown);
  ring->readPosition = 0;
  ring->writePosition = stored;
  return 0;
}

int WriteRingBuffer(RingBuffer* ring, const void* source, int n) {
  if (n < 0) return -1;
  if (n == 0) return 0;
  if (ReserveRingBuffer(ring, n) != 0) return -1;
  const unsigned char* in = static_cast<const unsigned char*>(source);
  int write = ring->writePosition;
  if (write + n > ring->capacity) {
    int first = ring->capacity - write;
    std::memcpy(ring->data + write, in, static_cast<size_t>(first));
    std::memcpy(ring->data, in + first, static_cast<size_t>(n - first));
    ring->writePosition = n - first;
  } else {
    std::memcpy(ring->data + write, in, static_cast<size_t>(n));
    ring->writePosition = write + n;
  }
  ring->storedBytes += n;
  return 0;
}

int FreeRingBuffer(RingBuffer* ring) {
  if (ring->data) FreeTracked(ring->data);
  std::memset(ring, 0, sizeof *ring);
  return 0;
}
