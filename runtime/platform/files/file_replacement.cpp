#include "runtime/platform/files/file_replacement.h"

#include <cerrno>
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
  // The first step that fails gives the reason; the clean-up and the log must not replace it.
  int error = 0;
  auto step = [&error](bool done) {
    if (!done && error == 0) error = errno;
    return done;
  };
  auto fail = [&error](const char* format, const char* name) {
    LogPrintf(format, name);
    errno = error;
    return -1;
  };
  errno = 0;
  char temporary[300];
  if (std::snprintf(temporary, sizeof(temporary), "%s.tmp", path) >=
      static_cast<int>(sizeof(temporary))) {
    error = ENAMETOOLONG;
    return fail("Could not write %s: it stays as it was", path);
  }
  HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  bool written = step(file != INVALID_HANDLE_VALUE);
  if (written) {
    // Synced before the rename: otherwise after a power cut the name could stand for a file
    // whose bytes never reached the disk.
    written = step(WriteAll(file, bytes, size)) && step(FlushFileBuffers(file));
    written = step(CloseHandle(file)) && written;
  }
  if (written &&
      !step(MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))) {
    // A write-through that fails after the move leaves the new file in place.
    if (GetFileAttributesA(temporary) == INVALID_FILE_ATTRIBUTES)
      return fail("Wrote %s, but could not make sure it is on the disk", path);
    written = false;
  }
  if (!written) {
    DeleteFileA(temporary);
    return fail("Could not write %s: it stays as it was", path);
  }
  return 0;
}
