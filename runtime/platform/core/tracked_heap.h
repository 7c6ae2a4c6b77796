// The tracked heap: every block carries a header with its source name, line, running id and
// size, all live blocks form one list, and the list can be checked for damage and dumped to the
// log (the leak dump at shutdown).
#pragma once

#include <cstddef>
#include <cstdint>

// In front of every block. The fields keep their 32-bit order; the links are native
// pointers, so the header is 80 bytes and the data that follows stays 16-byte aligned.
struct MemoryBlockHeader {
  char name[16];            // last 15 characters of the caller's source name, NUL-terminated
  uint16_t id;              // running block number, wraps at 65,536
  uint16_t line;            // caller's line (-1 is 0xFFFF)
  uint32_t size;            // requested data size
  MemoryBlockHeader* next;  // the next older block, toward the sentinel
  MemoryBlockHeader* prev;  // the next newer block; null for the newest
  unsigned char copy[40];   // a copy of every byte above, for the damage check
};
static_assert(sizeof(MemoryBlockHeader) == 80);
static_assert(offsetof(MemoryBlockHeader, copy) == 40);

// The largest block the heap hands out. Sizes come from file headers too: anything larger is
// refused with null rather than wrapped around.
constexpr size_t kMaxTrackedBlockSize = 0x7FFFFFFFu - sizeof(MemoryBlockHeader);

// The data address of a block, or null. name may be null (stored empty).
void* AllocTracked(size_t size, const char* name, int line);
// The same, with the data zero-filled.
void* AllocTrackedZero(size_t size, const char* name, int line);
// Resizes a block (null pointer: a new block); grown bytes read as zero. On failure null, and
// the old block stays valid and listed.
void* ReallocTracked(void* pointer, size_t size, const char* name, int line);
// Null does nothing.
void FreeTracked(void* pointer);

// 0 when every listed header is intact; -1 at the first damaged one, which is logged.
int CheckTrackedHeaders();
// The leak dump: every live block, newest first, then the totals.
void DumpTrackedBlocks();
// The one-line description of a block, and the totals line.
void LogTrackedBlock(const MemoryBlockHeader* header);
void LogTrackedTotals();

// The header of a block handed out by the heap.
inline MemoryBlockHeader* TrackedBlockHeader(void* data) {
  return reinterpret_cast<MemoryBlockHeader*>(static_cast<unsigned char*>(data) -
                                              sizeof(MemoryBlockHeader));
}

struct TrackedHeapTotals {
  int64_t bytes;
  int blocks;
};
TrackedHeapTotals GetTrackedHeapTotals();

// Debug options, for tests: trace size (negative: every block; otherwise blocks of exactly that
// size; starts at 0), trace everything, log the totals after each call, check every header on
// each call. No runtime call changes them.
void SetTrackedHeapDebugOptions(int traceSize, int traceAll, int printTotals, int checkAllHeaders);
// For tests: the next count requests to the process heap fail, once `after` more have been
// granted.
void SetTrackedHeapFailures(int count, int after = 0);
