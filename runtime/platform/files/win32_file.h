// Plain files through the platform: the Win32 set of the file function table. A file opened
// with the cache or the asynchronous flag gets a reader thread of its own, which serves a
// 128 KiB read-ahead cache and reads that complete in the background.
#pragma once

#include "port/win32.h"
#include "runtime/platform/files/file_functions.h"

#define FILE_READ_CACHE_SIZE 131072

// Reader thread commands.
#define FILE_COMMAND_OPEN 0
#define FILE_COMMAND_READ 2
#define FILE_COMMAND_SEEK 3
#define FILE_COMMAND_END 4

// Shared by the caller and the reader thread, ordered by the two events: the caller writes a
// request only while the done event is set, and reads results only once it is set again.
struct FileThreadBlock {
  DWORD ThreadId;
  HANDLE Thread;
  HANDLE File;          // the thread's own handle
  HANDLE RequestEvent;  // manual reset, starts unset
  HANDLE DoneEvent;     // manual reset, starts set
  int Command;
  int ThreadEnded;
  int OpenFailed;
  char Name[260];
  void* ReadDest;
  int ReadPosition;
  int ReadLength;  // the thread writes back the count it read
  int SeekPosition;
  BYTE* Cache;  // FILE_READ_CACHE_SIZE bytes, null without the cache flag
  int CacheStart;
  int CacheFill;
};

// One open file; the file handle of this set is its address.
struct FileAccessRecord {
  HANDLE File;  // unthreaded files only
  int Threaded;
  int CacheFlag;
  int AsyncFlag;
  int EndFlag;
  int Position;
  int Size;
  FileThreadBlock ThreadBlock;
};

FileHandle OpenWin32File(const char* name, int cacheFlag, int blockFlag, int asyncFlag);
int CloseWin32File(FileHandle file);
int TellWin32File(FileHandle file);
int SeekWin32File(FileHandle file, int offset, int origin);
size_t ReadWin32File(void* buffer, size_t elementSize, size_t count, FileHandle file);
int EofWin32File(FileHandle file);
int IdleCheckWin32File(FileHandle file);
int SetWin32CurrentDirectory(const char* path);
int GetWin32CurrentDirectory(char* buffer);
FindHandle FindFirstWin32File(const char* pattern, FileFindInfo* info);
int FindNextWin32File(FindHandle handle, FileFindInfo* info);
int FindCloseWin32File(FindHandle handle);

extern const FileFunctionTable Win32FileFunctions;

// Find results and file times in the form the find slots report.
void CopyFindDataToInfo(const WIN32_FIND_DATAA* data, FileFindInfo* info);
void FileTimeToDateRecord(const FILETIME* time, DateRecord* date);

// The reader thread's routine; its parameter is the record's thread block.
DWORD WINAPI FileReaderThread(LPVOID block);
// The request protocol: WaitFileThreadDone (the previous request has finished), write the
// parameters into the block, PostFileRequest; then WaitFileThreadDone again to wait for this
// one.
void WaitFileThreadDone(FileThreadBlock* block);
void PostFileRequest(FileThreadBlock* block, int command);
