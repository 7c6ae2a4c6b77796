// The growable byte queue behind network connections and ring-fed sound players. The stored
// bytes run from the read position, wrapping at the capacity, to the write position; a position
// equal to the capacity means 0. All zero while the ring holds no storage.
#pragma once

struct RingBuffer {
  unsigned char* data;  // tracked heap
  int readPosition;
  int writePosition;
  int storedBytes;
  int capacity;
};

// A read or write position equal to the capacity becomes 0. Returns ring.
RingBuffer* NormalizeRingBuffer(RingBuffer* ring);
// Copies n bytes from the front; with peek the ring is left unchanged. -1 when fewer than n
// bytes are stored (nothing is copied then) or n is negative.
int ReadRingBuffer(RingBuffer* ring, void* destination, int n, int peek);
// Makes room for n more bytes, growing to n + stored x 3 / 2 + 1000 when they do not fit, with
// the stored bytes moved to the front. -1 when the larger storage cannot be had: the ring and
// its bytes are kept as they were, and the size that failed is logged.
int ReserveRingBuffer(RingBuffer* ring, int n);
// Appends n bytes at the write position after making room; 0, or -1 (nothing written) when the
// room cannot be made.
int WriteRingBuffer(RingBuffer* ring, const void* source, int n);
// Frees the storage and zeroes the record; 0.
int FreeRingBuffer(RingBuffer* ring);
