#include "runtime/platform/core/tracked_heap.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "port/win32.h"
#include "runtime/platform/core/lasting_lock.h"
#include "runtime/platform/core/log.h"

namespace {

constexpr size_t kHeaderSize = sizeof(MemoryBlockHeader);
constexpr size_t kCheckedBytes = offsetof(MemoryBlockHeader, copy);

struct MemoryTrackerState {
  MemoryBlockHeader* newest = nullptr;
  uint16_t idCounter = 0;
  int64_t totalBytes = 0;
  int blockCount = 0;
  int traceSize = 0;
  int traceAll = 0;
  int printTotals = 0;
  int checkAllHeaders = 0;
  int failuresToInject = 0;
  int successesBeforeFailures = 0;
};

MemoryTrackerState gTracker;
MemoryBlockHeader TrackerSentinel;

// The tracker's own lock.
struct TrackerLockTag;
using TrackerGuard = LastingLockGuard<TrackerLockTag>;

bool InjectFailure() {
  if (gTracker.failuresToInject <= 0) return false;
  if (gTracker.successesBeforeFailures > 0) {
    --gTracker.successesBeforeFailures;
    return false;
  }
  --gTracker.failuresToInject;
  return true;
}

void RefreshCopy(MemoryBlockHeader* h) {
  if (h) std::memcpy(h->copy, h, kCheckedBytes);
}

bool HeaderIntact(const MemoryBlockHeader* h) {
  return std::memcmp(h, h->copy, kCheckedBytes) == 0;
}

void StoreCaller(MemoryBlockHeader* h, const char* name, int line) {
  std::memset(h->name, 0, sizeof(h->name));
  if (name) {
    size_t length = std::strlen(name);
    const char* tail = length > 15 ? name + (length - 15) : name;
    std::memcpy(h->name, tail, length > 15 ? 15 : length);
  }
  h->line = static_cast<uint16_t>(line);
  h->id = gTracker.idCounter++;
}

bool Traced(const MemoryBlockHeader* h) {
  return gTracker.traceSize < 0 || static_cast<int64_t>(h->size) == gTracker.traceSize ||
         gTracker.traceAll == 1;
}

// One block line, after an optional prefix, built in a 256-byte buffer; the fixed field widths
// and the 15-character name keep it well inside.
void FormatBlockLine(const char* prefix, const MemoryBlockHeader* h, char (&line)[256]) {
  const unsigned char* data = reinterpret_cast<const unsigned char*>(h) + kHeaderSize;
  int used = std::snprintf(
      line, sizeof(line),
      "%s\tsize:%10d(%10.3fkb)  file:%-26.15s  line:%-5d  ID:%-5d  addr:%016llx  data:<", prefix,
      static_cast<int>(h->size), static_cast<double>(h->size) / 1024.0, h->name,
      static_cast<int>(h->line), static_cast<int>(h->id),
      static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(data)));
  // At most 151 bytes so far (the longest prefix, the widest numbers); 70 more are needed.
  if (used < 0) used = 0;
  if (used > 185) used = 185;
  // The size from the copy as well: a damaged header must not send the dump past its block.
  uint32_t copiedSize;
  std::memcpy(&copiedSize, h->copy + offsetof(MemoryBlockHeader, size), sizeof(copiedSize));
  uint32_t shown = h->size < copiedSize ? h->size : copiedSize;
  const unsigned n = shown < 16 ? shown : 16;
  for (unsigned i = 0; i < n; ++i)
    line[used++] = static_cast<signed char>(data[i]) < 32 ? '.' : static_cast<char>(data[i]);
  line[used++] = '>';
  line[used++] = ' ';
  line[used++] = '[';
  for (unsigned i = 0; i < n; ++i)
    used += std::snprintf(line + used, sizeof(line) - used, "%02x ", data[i]);
  // "]\n" over the last character: the blank after the last pair, or the "[" itself.
  line[used - 1] = ']';
  line[used] = '\n';
  line[used + 1] = '\0';
}

void TraceBlock(const char* what, const MemoryBlockHeader* h) {
  char line[256];
  FormatBlockLine(what, h, line);
  WriteLogText(line);
}

void AfterCall() {
  if (gTracker.printTotals == 1) LogTrackedTotals();
  if (gTracker.checkAllHeaders == 1) CheckTrackedHeaders();
}

}  // namespace

void* AllocTracked(size_t size, const char* name, int line) {
  TrackerGuard guard;
  if (size > kMaxTrackedBlockSize) return nullptr;
  auto* h =
      InjectFailure() ? nullptr : static_cast<MemoryBlockHeader*>(std::malloc(size + kHeaderSize));
  if (!h) {
    DumpTrackedBlocks();
    CheckTrackedHeaders();
    return nullptr;
  }
  h->size = static_cast<uint32_t>(size);
  StoreCaller(h, name, line);

  if (!gTracker.newest) gTracker.newest = &TrackerSentinel;
  MemoryBlockHeader* older = gTracker.newest;
  older->prev = h;
  h->next = older;
  h->prev = nullptr;
  gTracker.newest = h;
  RefreshCopy(h);
  RefreshCopy(older);

  gTracker.totalBytes += static_cast<int64_t>(size);
  gTracker.blockCount += 1;
  if (Traced(h)) TraceBlock("mem alloc  ", h);
  AfterCall();
  return reinterpret_cast<unsigned char*>(h) + kHeaderSize;
}

void* AllocTrackedZero(size_t size, const char* name, int line) {
  void* data = AllocTracked(size, name, line);
  if (data && size != 0) std::memset(data, 0, size);
  return data;
}

void* ReallocTracked(void* pointer, size_t size, const char* name, int line) {
  if (!pointer) return AllocTracked(size, name, line);
  TrackerGuard guard;
  MemoryBlockHeader* old = TrackedBlockHeader(pointer);
  const uint32_t oldSize = old->size;
  const bool wasNewest = gTracker.newest == old;
  auto* h = (size > kMaxTrackedBlockSize || InjectFailure())
                ? nullptr
                : static_cast<MemoryBlockHeader*>(std::realloc(old, size + kHeaderSize));
  if (!h) {
    if (size <= kMaxTrackedBlockSize) DumpTrackedBlocks();
    return nullptr;
  }
  unsigned char* data = reinterpret_cast<unsigned char*>(h) + kHeaderSize;
  if (size > oldSize) std::memset(data + oldSize, 0, size - oldSize);
  h->size = static_cast<uint32_t>(size);
  StoreCaller(h, name, line);

  // The block may have moved: its neighbours point at the new address.
  if (h->next) h->next->prev = h;
  if (h->prev) h->prev->next = h;
  if (wasNewest) gTracker.newest = h;

  gTracker.totalBytes -= oldSize;
  gTracker.totalBytes += static_cast<int64_t>(size);
  RefreshCopy(h);
  RefreshCopy(h->next);
  RefreshCopy(h->prev);
  if (Traced(h)) TraceBlock("mem realloc  ", h);
  AfterCall();
  return data;
}

void FreeTracked(void* pointer) {
  if (!pointer) return;
  TrackerGuard guard;
  MemoryBlockHeader* h = TrackedBlockHeader(pointer);
  gTracker.totalBytes -= h->size;
  gTracker.blockCount -= 1;
  if (gTracker.checkAllHeaders == 1) CheckTrackedHeaders();

  if (h->next) h->next->prev = h->prev;
  if (h->prev) h->prev->next = h->next;
  if (gTracker.newest == h) gTracker.newest = h->next;
  RefreshCopy(h->next);
  RefreshCopy(h->prev);

  if (Traced(h)) TraceBlock("mem free  ", h);
  if (gTracker.printTotals == 1) LogTrackedTotals();
  std::free(h);
}

int CheckTrackedHeaders() {
  TrackerGuard guard;
  for (MemoryBlockHeader* h = gTracker.newest; h && h != &TrackerSentinel; h = h->next) {
    if (!HeaderIntact(h)) {
      TraceBlock("以下のメモリ確保情報が破損しました", h);
      return -1;
    }
  }
  return 0;
}

void DumpTrackedBlocks() {
  TrackerGuard guard;
  WriteLogText("\n");
  WriteLogText("Alloc memory dump\n");
  for (MemoryBlockHeader* h = gTracker.newest; h && h != &TrackerSentinel; h = h->next)
    LogTrackedBlock(h);
  LogTrackedTotals();
  WriteLogText("\n");
}

void LogTrackedBlock(const MemoryBlockHeader* header) { TraceBlock("", header); }

void LogTrackedTotals() {
  TrackerGuard guard;
  LogPrintf("\tTotal size:%lld(%.3fkb)  Alloc num:%d", static_cast<long long>(gTracker.totalBytes),
            static_cast<double>(gTracker.totalBytes) / 1024.0, gTracker.blockCount);
}

TrackedHeapTotals GetTrackedHeapTotals() {
  TrackerGuard guard;
  return {gTracker.totalBytes, gTracker.blockCount};
}

void SetTrackedHeapDebugOptions(int traceSize, int traceAll, int printTotals, int checkAllHeaders) {
  TrackerGuard guard;
  gTracker.traceSize = traceSize;
  gTracker.traceAll = traceAll;
  gTracker.printTotals = printTotals;
  gTracker.checkAllHeaders = checkAllHeaders;
}

void SetTrackedHeapFailures(int count, int after) {
  TrackerGuard guard;
  gTracker.failuresToInject = count;
  gTracker.successesBeforeFailures = after;
}
