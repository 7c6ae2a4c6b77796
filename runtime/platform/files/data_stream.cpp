// The two stream tables: files through the current file function table, and memory blocks.
#include "runtime/platform/files/data_stream.h"

#include <cstring>

#include "runtime/platform/core/tracked_heap.h"

namespace {

MemoryStream* Stream(FileHandle handle) { return reinterpret_cast<MemoryStream*>(handle); }

StreamFunctionTable gFileStreamFunctions = {
    TellStreamFile, SeekStreamFile,      ReadStreamFile,
    EofStreamFile,  IdleCheckStreamFile, CloseStreamFile,
};
StreamFunctionTable gMemoryStreamFunctions = {
    TellMemoryStream, SeekMemoryStream,      ReadMemoryStream,
    EofMemoryStream,  IdleCheckMemoryStream, CloseMemoryStream,
};

}  // namespace

void InitStreamFunctionTables() {
  gFileStreamFunctions = {TellStreamFile, SeekStreamFile,      ReadStreamFile,
                          EofStreamFile,  IdleCheckStreamFile, CloseStreamFile};
  gMemoryStreamFunctions = {TellMemoryStream, SeekMemoryStream,      ReadMemoryStream,
                            EofMemoryStream,  IdleCheckMemoryStream, CloseMemoryStream};
}

const StreamFunctionTable* GetFileStreamFunctions() { return &gFileStreamFunctions; }
const StreamFunctionTable* GetMemoryStreamFunctions() { return &gMemoryStreamFunctions; }

MemoryStream* OpenMemoryStream(const void* data, int size) {
  if (size < 0 || (!data && size > 0)) return nullptr;
  MemoryStream* stream =
      static_cast<MemoryStream*>(AllocTracked(sizeof(MemoryStream), "data_stream.cpp", __LINE__));
  if (!stream) return nullptr;
  stream->Data = data;
  stream->Size = size;
  stream->Position = 0;
  stream->EndFlag = 0;
  return stream;
}

int CloseMemoryStream(FileHandle handle) {
  FreeTracked(Stream(handle));
  return 0;
}

int TellMemoryStream(FileHandle handle) {
  MemoryStream* m = Stream(handle);
  return m ? m->Position : -1;
}

int SeekMemoryStream(FileHandle handle, int offset, int origin) {
  MemoryStream* m = Stream(handle);
  if (!m) return -1;
  int64_t target;
  if (!SeekTarget(offset, origin, m->Position, m->Size, &target)) return -1;
  if (target < 0) target = 0;
  if (target > m->Size) target = m->Size;
  m->Position = static_cast<int>(target);
  m->EndFlag = 0;
  return 0;
}

size_t ReadMemoryStream(void* buffer, size_t elementSize, size_t count, FileHandle handle) {
  MemoryStream* m = Stream(handle);
  if (!m || elementSize == 0 || count == 0) return 0;
  if (m->Position >= m->Size) {
    m->EndFlag = 1;
    return 0;
  }
  size_t left = static_cast<size_t>(m->Size - m->Position);
  size_t want;
  if (__builtin_mul_overflow(elementSize, count, &want) || want > left) want = left;
  std::memcpy(buffer, static_cast<const BYTE*>(m->Data) + m->Position, want);
  m->Position += static_cast<int>(want);
  m->EndFlag = 0;
  return want / elementSize;
}

int EofMemoryStream(FileHandle handle) {
  MemoryStream* m = Stream(handle);
  if (!m) return -1;
  return m->EndFlag ? -1 : 0;
}

int IdleCheckMemoryStream(FileHandle handle) {
  (void)handle;
  return 1;
}
