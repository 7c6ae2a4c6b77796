#include "port/files/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "port/files/file_internal.h"
#include "port/files/path_translate.h"
#include "port/kernel/last_error.h"

PortFile::~PortFile() {
  if (fd >= 0) close(fd);
}

namespace {

std::atomic<bool> gFileFlushFails{false};
std::atomic<bool> gFolderSyncFails{false};

void SetErrnoError(int error, bool parentExists) {
  SetLastError(PortErrorFromErrno(error, parentExists));
}

bool Translate(LPCSTR name, PortHostPath* out) {
  DWORD error = ERROR_SUCCESS;
  if (PortTranslatePath(name, out, &error)) return true;
  SetLastError(error);
  return false;
}

// The checks ReadFile and WriteFile make before they move bytes: the file behind the handle,
// or null with the last error set.
std::shared_ptr<PortFile> FileForTransfer(HANDLE handle, const void* buffer, DWORD bytes,
                                          LPOVERLAPPED overlapped, bool writing) {
  std::shared_ptr<PortFile> file = PortLookup<PortFile>(handle);
  if (!file) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (overlapped || (!buffer && bytes > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!(writing ? file->canWrite : file->canRead)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return file;
}

// fsync of the folder that holds the path, so that a rename into it is on the disk.
bool SyncFolderOf(const std::string& path) {
  if (gFolderSyncFails) {
    errno = EIO;
    return false;
  }
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  const int error = errno;
  close(fd);
  errno = error;
  return synced;
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE) {
  PortHostPath host;
  if (!Translate(fileName, &host)) return INVALID_HANDLE_VALUE;

  const bool read = (access & GENERIC_READ) != 0;
  const bool write = (access & GENERIC_WRITE) != 0;
  int flags = O_CLOEXEC | (read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY);
  switch (creationDisposition) {
    case CREATE_NEW:
      flags |= O_CREAT | O_EXCL;
      break;
    case CREATE_ALWAYS:
      flags |= O_CREAT | O_TRUNC;
      break;
    case OPEN_EXISTING:
      break;
    case OPEN_ALWAYS:
      flags |= O_CREAT;
      break;
    case TRUNCATE_EXISTING:
      if (!write) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
      }
      flags |= O_TRUNC;
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_HANDLE_VALUE;
  }

  struct stat before;
  const bool existed = stat(host.path.c_str(), &before) == 0;
  if (existed && S_ISDIR(before.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  if (existed && creationDisposition == CREATE_NEW) {
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
  }
  mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  int fd = open(host.path.c_str(), flags, mode);
  if (fd < 0) {
    SetErrnoError(errno, host.parentExists);
    return INVALID_HANDLE_VALUE;
  }
  auto file = std::make_shared<PortFile>();
  file->fd = fd;
  file->canRead = read;
  file->canWrite = write;
  file->hostPath = host.path;
  HANDLE handle = PortRegisterObject(std::move(file));
  if (!handle) {
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return INVALID_HANDLE_VALUE;
  }
  const bool reportsExisting =
      existed && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
  SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPOVERLAPPED overlapped) {
  if (bytesRead) *bytesRead = 0;
  std::shared_ptr<PortFile> file = FileForTransfer(handle, buffer, bytesToRead, overlapped, false);
  if (!file) return FALSE;
  DWORD total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < bytesToRead) {
    ssize_t n = read(file->fd, out + total, bytesToRead - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (bytesRead) *bytesRead = total;
      SetErrnoError(errno, true);
      return FALSE;
    }
    if (n == 0) break;
    total += static_cast<DWORD>(n);
  }
  if (bytesRead) *bytesRead = total;
  return TRUE;
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPOVERLAPPED overlapped) {
  if (bytesWritten) *bytesWritten = 0;
  std::shared_ptr<PortFile> file = FileForTransfer(handle, buffer, bytesToWrite, overlapped, true);
  if (!file) return FALSE;
  DWORD total = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (total < bytesToWrite) {
    ssize_t n = write(file->fd, in + total, bytesToWrite - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (bytesWritten) *bytesWritten = total;
      SetErrnoError(errno, true);
      return FALSE;
    }
    total += static_cast<DWORD>(n);
  }
  if (bytesWritten) *bytesWritten = total;
  return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
  std::shared_ptr<PortFile> file = PortLookup<PortFile>(handle);
  if (!file) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
  }
  int64_t move = distanceHigh
                     ? static_cast<int64_t>(
                           (static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                           static_cast<uint32_t>(distance))
                     : static_cast<int64_t>(distance);
  int64_t base;
  switch (moveMethod) {
    case FILE_BEGIN:
      base = 0;
      break;
    case FILE_CURRENT:
      base = lseek(file->fd, 0, SEEK_CUR);
      break;
    case FILE_END: {
      struct stat st;
      base = fstat(file->fd, &st) == 0 ? st.st_size : -1;
      break;
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_SET_FILE_POINTER;
  }
  if (base < 0) {
    SetErrnoError(errno, true);
    return INVALID_SET_FILE_POINTER;
  }
  if ((move < 0 && base + move < 0)) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  if (move > 0 && base > INT64_MAX - move) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  int64_t target = base + move;
  if (!distanceHigh && target > 0xFFFFFFFELL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (lseek(file->fd, static_cast<off_t>(target), SEEK_SET) < 0) {
    SetErrnoError(errno, true);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(static_cast<uint64_t>(target));
}

DWORD WINAPI GetFileSize(HANDLE handle, LPDWORD fileSizeHigh) {
  std::shared_ptr<PortFile> file = PortLookup<PortFile>(handle);
  if (!file) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  struct stat st;
  if (fstat(file->fd, &st) != 0) {
    SetErrnoError(errno, true);
    return INVALID_FILE_SIZE;
  }
  uint64_t size = static_cast<uint64_t>(st.st_size);
  if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

BOOL WINAPI FlushFileBuffers(HANDLE handle) {
  std::shared_ptr<PortFile> file = PortLookup<PortFile>(handle);
  if (!file) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!file->canWrite) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (gFileFlushFails) {
    SetLastError(ERROR_IO_DEVICE);
    return FALSE;
  }
  if (fsync(file->fd) != 0) {
    SetErrnoError(errno, true);
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI MoveFileExA(LPCSTR existingName, LPCSTR newName, DWORD flags) {
  if (flags & ~(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  PortHostPath from, to;
  if (!Translate(existingName, &from) || !Translate(newName, &to)) return FALSE;
  struct stat st;
  if (lstat(from.path.c_str(), &st) != 0) {
    SetErrnoError(errno, from.parentExists);
    return FALSE;
  }
  // renameat2's no-replace keeps the check and the move one step.
  const unsigned int mode = (flags & MOVEFILE_REPLACE_EXISTING) ? 0 : RENAME_NOREPLACE;
  int moved = renameat2(AT_FDCWD, from.path.c_str(), AT_FDCWD, to.path.c_str(), mode);
  if (moved != 0 && mode != 0 && (errno == EINVAL || errno == ENOSYS)) {
    // A file system without it: checked, then moved.
    if (lstat(to.path.c_str(), &st) == 0) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return FALSE;
    }
    moved = rename(from.path.c_str(), to.path.c_str());
  }
  if (moved != 0) {
    const int error = errno;
    if (error == EEXIST)
      SetLastError(ERROR_ALREADY_EXISTS);
    else
      SetErrnoError(error, to.parentExists);
    return FALSE;
  }
  if ((flags & MOVEFILE_WRITE_THROUGH) && !SyncFolderOf(to.path)) {
    SetErrnoError(errno, true);
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR fileName) {
  PortHostPath host;
  if (!Translate(fileName, &host)) return FALSE;
  struct stat st;
  if (lstat(host.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (unlink(host.path.c_str()) != 0) {
    SetErrnoError(errno, host.parentExists);
    return FALSE;
  }
  return TRUE;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
  char* cwd = getcwd(nullptr, 0);
  if (!cwd) {
    SetErrnoError(errno, true);
    return 0;
  }
  std::string windows;
  bool converted = PortHostToWindowsPath(cwd, &windows);
  free(cwd);
  if (!converted) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  if (!buffer || bufferLength < windows.size() + 1) return static_cast<DWORD>(windows.size() + 1);
  std::memcpy(buffer, windows.c_str(), windows.size() + 1);
  return static_cast<DWORD>(windows.size());
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR pathName) {
  PortHostPath host;
  if (!Translate(pathName, &host)) return FALSE;
  struct stat st;
  if (stat(host.path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_DIRECTORY);
    return FALSE;
  }
  if (chdir(host.path.c_str()) != 0) {
    SetErrnoError(errno, host.parentExists);
    return FALSE;
  }
  return TRUE;
}

BOOL WINAPI CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
  PortHostPath host;
  if (!Translate(pathName, &host)) return FALSE;
  if (mkdir(host.path.c_str(), 0777) != 0) {
    int error = errno;
    if (error == EEXIST)
      SetLastError(ERROR_ALREADY_EXISTS);
    else
      SetErrnoError(error == ENOENT ? ENOTDIR : error, host.parentExists);
    return FALSE;
  }
  return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR fileName) {
  PortHostPath host;
  if (!Translate(fileName, &host)) return INVALID_FILE_ATTRIBUTES;
  struct stat st;
  if (stat(host.path.c_str(), &st) != 0) {
    SetErrnoError(errno, host.parentExists);
    return INVALID_FILE_ATTRIBUTES;
  }
  DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (!(st.st_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

void PortSetFileFlushFails(bool fails) { gFileFlushFails = fails; }

void PortSetFolderSyncFails(bool fails) { gFolderSyncFails = fails; }
