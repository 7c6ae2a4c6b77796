#include "runtime/platform/files/file_replacement.h"

#include <cstdio>

#include "port/win32.h"
#include "runtime/platform/core/log.h"

namespace {

constexpr DWORD kLargestWrite = 0x40000000u;

bool WriteAll(HANDLE file, const void* bytes, size_t size) {
  const auto* p = static_cast<const unsigned char*>(bytes);
  while (size > 0) {
    const DWORD chunk = size > kLargestWrite ? kLargestWrite : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, p, chunk, &written, nullptr) || written != chunk) return false;
    p += chunk;
    size -= chunk;
  }
  return true;
}

}  // namespace

int ReplaceFileContents(const char* path, const void* bytes, size_t size) {
  char temporary[300];
  if (std::snprintf(temporary, sizeof(temporary), "%s.tmp", path) >=
      static_cast<int>(sizeof(temporary))) {
    LogPrintf("Could not write %s: it stays as it was", path);
    return -1;
  }
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  bool written = file != INVALID_HANDLE_VALUE;
  if (written) {
    // Synced before the rename: otherwise after a power cut the name could stand for a file
    // whose bytes never reached the disk.
    written = WriteAll(file, bytes, size) && FlushFileBuffers(file);
    written = CloseHandle(file) && written;
  }
  if (written &&
      !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    // A write-through that fails after the move leaves the new file in place.
    if (GetFileAttributesA(temporary) == INVALID_FILE_ATTRIBUTES) {
      LogPrintf("Wrote %s, but could not make sure it is on the disk", path);
      return -1;
    }
    written = false;
  }
  if (!written) {
    DeleteFileA(temporary);
    LogPrintf("Could not write %s: it stays as it was", path);
    return -1;
  }
  return 0;
}
