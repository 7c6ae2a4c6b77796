// The Win32 set of the file function table: plain files, opened directly or with a reader thread.
#include "runtime/platform/files/win32_file.h"

#include <climits>
#include <cstring>

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {

FileAccessRecord* Record(FileHandle file) { return reinterpret_cast<FileAccessRecord*>(file); }

HANDLE OpenForReading(const char* name, DWORD share) {
  HANDLE file = CreateFileA(name, GENERIC_READ, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

// Positions and sizes are ints: a file they cannot address is not opened. (A failed size,
// INVALID_FILE_SIZE, is out of that range too.)
bool TakeFileSize(HANDLE file, int* size) {
  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  if (high != 0 || low > static_cast<DWORD>(INT_MAX)) return false;
  *size = static_cast<int>(low);
  return true;
}

void CloseEvents(FileThreadBlock* b) {
  if (b->RequestEvent) CloseHandle(b->RequestEvent);
  if (b->DoneEvent) CloseHandle(b->DoneEvent);
  b->RequestEvent = b->DoneEvent = nullptr;
}

void FreeCache(FileThreadBlock* b) {
  FreeTracked(b->Cache);
  b->Cache = nullptr;
}

// Waits until the reader thread has ended and lets its handle go.
void JoinReaderThread(FileThreadBlock* b) {
  WaitForSingleObject(b->Thread, INFINITE);
  CloseHandle(b->Thread);
  b->Thread = nullptr;
}

FileHandle OpenThreadedFile(FileAccessRecord* r, const char* name) {
  FileThreadBlock* b = &r->ThreadBlock;
  r->Threaded = 1;
  if (std::strlen(name) >= sizeof b->Name) {
    FreeTracked(r);
    return 0;
  }
  if (r->CacheFlag) {
    b->Cache = static_cast<BYTE*>(AllocTracked(FILE_READ_CACHE_SIZE, "win32_file.cpp", __LINE__));
    if (!b->Cache) {
      WriteLogText("ファイル読み込みキャッシュ用メモリの確保に失敗しました\n");
      FreeTracked(r);
      return 0;
    }
  }
  b->RequestEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  b->DoneEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  if (b->RequestEvent && b->DoneEvent)
    b->Thread = CreateThread(nullptr, 0, FileReaderThread, b, 0, &b->ThreadId);
  if (!b->Thread) {
    FreeCache(b);
    CloseEvents(b);
    FreeTracked(r);
    WriteLogText("ファイルアクセス専用スレッドの作成に失敗しました\n");
    return 0;
  }

  WaitFileThreadDone(b);
  std::strcpy(b->Name, name);
  PostFileRequest(b, FILE_COMMAND_OPEN);
  WaitFileThreadDone(b);
  if (b->OpenFailed) {
    JoinReaderThread(b);
    FreeCache(b);
    CloseEvents(b);
    FreeTracked(r);
    WriteLogText("ファイルのオープンに失敗しました\n");
    return 0;
  }
  r->Position = 0;
  r->EndFlag = 0;
  return reinterpret_cast<FileHandle>(r);
}

}  // namespace

FileHandle OpenWin32File(const char* name, int cacheFlag, int blockFlag, int asyncFlag) {
  (void)blockFlag;
  if (!name) return 0;
  FileAccessRecord* r = static_cast<FileAccessRecord*>(
      AllocTrackedZero(sizeof(FileAccessRecord), "win32_file.cpp", __LINE__));
  if (!r) return 0;
  r->CacheFlag = cacheFlag;
  r->AsyncFlag = asyncFlag;

  // A threaded file opens the file here only to take its size; its thread opens it again.
  HANDLE file = OpenForReading(name, FILE_SHARE_READ);
  if (!file) {
    FreeTracked(r);
    return 0;
  }
  if (!TakeFileSize(file, &r->Size)) {
    CloseHandle(file);
    FreeTracked(r);
    return 0;
  }
  if (!cacheFlag && !asyncFlag) {
    r->File = file;
    r->Position = 0;
    r->EndFlag = 0;
    return reinterpret_cast<FileHandle>(r);
  }
  CloseHandle(file);
  return OpenThreadedFile(r, name);
}

int CloseWin32File(FileHandle handle) {
  FileAccessRecord* r = Record(handle);
  if (!r) return -1;
  if (!r->Threaded) {
    BOOL closed = CloseHandle(r->File);
    FreeTracked(r);
    return closed ? 0 : -1;
  }
  FileThreadBlock* b = &r->ThreadBlock;
  WaitFileThreadDone(b);
  PostFileRequest(b, FILE_COMMAND_END);
  WaitFileThreadDone(b);
  JoinReaderThread(b);
  FreeCache(b);
  CloseEvents(b);
  FreeTracked(r);
  return 0;
}

int TellWin32File(FileHandle handle) {
  FileAccessRecord* r = Record(handle);
  return r ? r->Position : -1;
}

int SeekWin32File(FileHandle handle, int offset, int origin) {
  FileAccessRecord* r = Record(handle);
  if (!r) return -1;
  int64_t target;
  if (!SeekTarget(offset, origin, r->Position, r->Size, &target)) return -1;
  // Past the end is allowed (the next read finds the end); before the start is not.
  if (target < 0 || target > INT_MAX) return -1;
  if (r->Threaded) {
    FileThreadBlock* b = &r->ThreadBlock;
    WaitFileThreadDone(b);
    b->SeekPosition = static_cast<int>(target);
    PostFileRequest(b, FILE_COMMAND_SEEK);
  } else if (SetFilePointer(r->File, static_cast<LONG>(target), nullptr, FILE_BEGIN) ==
             INVALID_SET_FILE_POINTER) {
    return -1;
  }
  r->Position = static_cast<int>(target);
  r->EndFlag = 0;
  return 0;
}

size_t ReadWin32File(void* buffer, size_t elementSize, size_t count, FileHandle handle) {
  FileAccessRecord* r = Record(handle);
  if (!r || elementSize == 0 || count == 0) return 0;
  if (r->Position >= r->Size) {
    r->EndFlag = 1;
    return 0;
  }
  size_t left = static_cast<size_t>(r->Size - r->Position);
  size_t want;
  if (__builtin_mul_overflow(elementSize, count, &want) || want > left) want = left;
  int length = static_cast<int>(want);

  int got;
  if (r->Threaded) {
    FileThreadBlock* b = &r->ThreadBlock;
    WaitFileThreadDone(b);
    b->ReadDest = buffer;
    b->ReadPosition = r->Position;
    b->ReadLength = length;
    PostFileRequest(b, FILE_COMMAND_READ);
    if (r->AsyncFlag) {
      // The bytes arrive later; the position moves on now, as if they had.
      got = length;
    } else {
      WaitFileThreadDone(b);
      got = b->ReadLength;
    }
  } else {
    DWORD read = 0;
    ReadFile(r->File, buffer, static_cast<DWORD>(length), &read, nullptr);
    got = read > static_cast<DWORD>(length) ? length : static_cast<int>(read);
  }
  r->Position += got;
  return static_cast<size_t>(got) / elementSize;
}

int EofWin32File(FileHandle handle) {
  FileAccessRecord* r = Record(handle);
  if (!r) return -1;
  return r->EndFlag ? -1 : 0;
}

int IdleCheckWin32File(FileHandle handle) {
  FileAccessRecord* r = Record(handle);
  if (!r || !r->Threaded) return 1;
  return WaitForSingleObject(r->ThreadBlock.DoneEvent, 0) == WAIT_OBJECT_0 ? 1 : 0;
}

int SetWin32CurrentDirectory(const char* path) { return SetCurrentDirectoryA(path); }

int GetWin32CurrentDirectory(char* buffer) {
  return static_cast<int>(GetCurrentDirectoryA(260, buffer));
}

FindHandle FindFirstWin32File(const char* pattern, FileFindInfo* info) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) return -1;
  if (info) CopyFindDataToInfo(&data, info);
  return reinterpret_cast<FindHandle>(find);
}

int FindNextWin32File(FindHandle handle, FileFindInfo* info) {
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(reinterpret_cast<HANDLE>(handle), &data)) return -1;
  if (info) CopyFindDataToInfo(&data, info);
  return 0;
}

int FindCloseWin32File(FindHandle handle) {
  return FindClose(reinterpret_cast<HANDLE>(handle)) ? 0 : -1;
}

void CopyFindDataToInfo(const WIN32_FIND_DATAA* data, FileFindInfo* info) {
  size_t n = strnlen(data->cFileName, sizeof info->Name - 1);
  std::memcpy(info->Name, data->cFileName, n);
  info->Name[n] = '\0';
  info->DirFlag = (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
  info->SizeLow = data->nFileSizeLow;
  info->SizeHigh = data->nFileSizeHigh;
  FileTimeToDateRecord(&data->ftCreationTime, &info->CreationTime);
  FileTimeToDateRecord(&data->ftLastWriteTime, &info->LastWriteTime);
}

void FileTimeToDateRecord(const FILETIME* time, DateRecord* date) {
  FILETIME local;
  SYSTEMTIME fields;
  if (!FileTimeToLocalFileTime(time, &local) || !FileTimeToSystemTime(&local, &fields)) {
    std::memset(date, 0, sizeof *date);
    return;
  }
  date->Year = fields.wYear;
  date->Month = fields.wMonth;
  date->Day = fields.wDay;
  date->Hour = fields.wHour;
  date->Minute = fields.wMinute;
  date->Second = fields.wSecond;
}

const FileFunctionTable Win32FileFunctions = {
    OpenWin32File,
    CloseWin32File,
    TellWin32File,
    SeekWin32File,
    ReadWin32File,
    EofWin32File,
    IdleCheckWin32File,
    SetWin32CurrentDirectory,
    GetWin32CurrentDirectory,
    FindFirstWin32File,
    FindNextWin32File,
    FindCloseWin32File,
};
