// The reader thread of a threaded file: it owns the file's platform handle, carries out one
// request at a time, and while it is idle fills the read-ahead cache.
#include <climits>
#include <cstring>

#include "runtime/platform/files/win32_file.h"

namespace {

// How long an idle thread with a cache waits for a request before it reads ahead.
const DWORD kCacheFillPeriod = 100;

// Reads up to length bytes at position into dest; returns the count read.
int ReadFileAt(HANDLE file, long long position, void* dest, int length) {
  if (length <= 0 || position < 0 || position > INT_MAX) return 0;
  if (SetFilePointer(file, static_cast<LONG>(position), nullptr, FILE_BEGIN) ==
      INVALID_SET_FILE_POINTER)
    return 0;
  DWORD got = 0;
  ReadFile(file, dest, static_cast<DWORD>(length), &got, nullptr);
  return got > static_cast<DWORD>(length) ? length : static_cast<int>(got);
}

void FillCache(FileThreadBlock* b) {
  if (!b->File || b->CacheFill >= FILE_READ_CACHE_SIZE) return;
  long long from = static_cast<long long>(b->CacheStart) + b->CacheFill;
  b->CacheFill +=
      ReadFileAt(b->File, from, b->Cache + b->CacheFill, FILE_READ_CACHE_SIZE - b->CacheFill);
}

// The cache serves a read only when the read starts exactly at the cache's first byte; any
// read that goes on to the file restarts the cache behind it. ReadLength becomes the whole
// count delivered.
void CarryOutRead(FileThreadBlock* b) {
  BYTE* dest = static_cast<BYTE*>(b->ReadDest);
  int position = b->ReadPosition;
  int length = b->ReadLength;
  int delivered = 0;
  if (b->Cache && position == b->CacheStart && b->CacheFill > 0) {
    int n = length < b->CacheFill ? length : b->CacheFill;
    std::memcpy(dest, b->Cache, static_cast<size_t>(n));
    dest += n;
    position += n;
    delivered += n;
    length -= n;
    b->CacheStart += n;
    b->CacheFill -= n;
    std::memmove(b->Cache, b->Cache + n, static_cast<size_t>(b->CacheFill));
  }
  if (length > 0) {
    int got = ReadFileAt(b->File, position, dest, length);
    delivered += got;
    if (b->Cache) {
      b->CacheFill = 0;
      b->CacheStart = position + got;
    }
  }
  b->ReadLength = delivered;
}

}  // namespace

void WaitFileThreadDone(FileThreadBlock* block) { WaitForSingleObject(block->DoneEvent, INFINITE); }

void PostFileRequest(FileThreadBlock* block, int command) {
  block->Command = command;
  ResetEvent(block->DoneEvent);
  SetEvent(block->RequestEvent);
}

DWORD WINAPI FileReaderThread(LPVOID parameter) {
  FileThreadBlock* b = static_cast<FileThreadBlock*>(parameter);
  for (;;) {
    DWORD wait = WaitForSingleObject(b->RequestEvent, b->Cache ? kCacheFillPeriod : INFINITE);
    if (wait == WAIT_TIMEOUT) {
      FillCache(b);
      continue;
    }
    if (wait != WAIT_OBJECT_0) {
      // The events are gone: nothing can reach this thread any more.
      b->ThreadEnded = 1;
      SetEvent(b->DoneEvent);
      return 1;
    }
    ResetEvent(b->RequestEvent);
    ResetEvent(b->DoneEvent);
    switch (b->Command) {
      case FILE_COMMAND_OPEN: {
        HANDLE file = CreateFileA(b->Name, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
          // The flags are written before the done event: once it is set the caller may free
          // the block.
          b->File = nullptr;
          b->OpenFailed = 1;
          b->ThreadEnded = 1;
          SetEvent(b->DoneEvent);
          return 1;
        }
        b->File = file;
        break;
      }
      case FILE_COMMAND_READ:
        CarryOutRead(b);
        break;
      case FILE_COMMAND_SEEK:
        SetFilePointer(b->File, b->SeekPosition, nullptr, FILE_BEGIN);
        if (b->Cache) {
          b->CacheFill = 0;
          b->CacheStart = b->SeekPosition;
        }
        break;
      case FILE_COMMAND_END:
        if (b->File) {
          CloseHandle(b->File);
          b->File = nullptr;
        }
        b->ThreadEnded = 1;
        SetEvent(b->DoneEvent);
        return 1;
      default:
        break;
    }
    SetEvent(b->DoneEvent);
  }
}
