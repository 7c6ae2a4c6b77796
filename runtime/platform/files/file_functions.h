// The file function table: every file access of the runtime goes through the twelve operations
// of the current table, so a set that serves paths from archives can stand in for plain files.
// Beside it: the helpers every file user needs (open for reading, read a text line, make a full
// path, create a temporary file) and the calls that forward to the current table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "port/win32.h"

// A file handle (and a find handle) is a pointer-sized number that only the set which opened
// it understands. 0 means no file; a find handle of -1 means nothing was found.
typedef intptr_t FileHandle;
typedef intptr_t FindHandle;

// A calendar date in local time.
struct DateRecord {
  int Year;
  int Month;
  int Day;
  int Hour;
  int Minute;
  int Second;
};

// One find result.
struct FileFindInfo {
  char Name[260];  // without its directory
  int DirFlag;     // 1 for a directory
  uint32_t SizeLow;
  uint32_t SizeHigh;
  DateRecord CreationTime;
  DateRecord LastWriteTime;
};

// The twelve operations, in slot order.
//
// Reading, in every set: a read of count elements of elementSize bytes consumes
// min(count x elementSize, bytes left) bytes into the buffer, advances by them and returns
// the number of whole elements among them, as fread does; the bytes of a partial last
// element are delivered but not counted. An element size or count of 0 reads nothing. The
// end test reports -1 once a read has started at the end of the file (and so found nothing);
// a read that delivers bytes, and any seek, clear it.
//
// Seeking: origin 0 from the start, 1 from the current position, 2 from the end; 0 on
// success, -1 (position unchanged) for any other origin or when the set refuses the target.
struct FileFunctionTable {
  FileHandle (*Open)(const char* name, int cacheFlag, int blockFlag, int asyncFlag);
  int (*Close)(FileHandle file);
  int (*Tell)(FileHandle file);
  int (*Seek)(FileHandle file, int offset, int origin);
  size_t (*Read)(void* buffer, size_t elementSize, size_t count, FileHandle file);
  int (*Eof)(FileHandle file);        // -1 at the end, else 0
  int (*IdleCheck)(FileHandle file);  // 1 when no asynchronous request is pending
  int (*SetDirectory)(const char* path);
  int (*GetDirectory)(char* buffer);  // buffer of at least 260 bytes
  FindHandle (*FindFirst)(const char* pattern, FileFindInfo* info);
  int (*FindNext)(FindHandle handle, FileFindInfo* info);
  int (*FindClose)(FindHandle handle);
};

// The byte a seek asks for by the rules above, in 64 bits so that no sum overflows; false for
// an origin other than 0, 1 and 2. What a target outside the file means is each set's own rule.
inline bool SeekTarget(int offset, int origin, int64_t position, int64_t size, int64_t* target) {
  switch (origin) {
    case 0:
      *target = offset;
      return true;
    case 1:
      *target = position + offset;
      return true;
    case 2:
      *target = size + offset;
      return true;
    default:
      return false;
  }
}

// The table in force. Written at start-up before other threads run, only read afterwards.
extern FileFunctionTable CurrentFileFunctions;

// Copies the table's twelve operations into the current table; null installs the default set.
// A handle opened by one set must never reach another. Returns 0.
int SetFileFunctionTable(const FileFunctionTable* table);

// The matching slot of the current table, result unchanged.
FileHandle OpenStreamFile(const char* name, int cacheFlag, int blockFlag, int asyncFlag);
int CloseStreamFile(FileHandle file);
int TellStreamFile(FileHandle file);
int SeekStreamFile(FileHandle file, int offset, int origin);
size_t ReadStreamFile(void* buffer, size_t elementSize, size_t count, FileHandle file);
int EofStreamFile(FileHandle file);
int IdleCheckStreamFile(FileHandle file);

// Opens without cache, the asynchronous flag made 0 or 1; 0 on failure.
FileHandle OpenFileForRead(const char* name, int async);

// Reads one text line into buffer (at most bufferSize - 1 bytes and a NUL) and returns its
// length, or -1 at the end of the file. CR LF ends a line and is not part of it; a line longer
// than the buffer continues in the next call; a double-byte character is never split.
int ReadFileLine(char* buffer, int bufferSize, FileHandle file);

// Makes path a full path against the current directory given (null: the one the current
// table reports), resolving "." and ".." and joining with backslashes. Returns 0, or -1 when
// the result does not fit in outSize bytes (out is then empty) or no directory is known.
int MakeFullPath(const char* path, char* out, size_t outSize, const char* currentDirectory);

// Creates a new, empty file in the temporary directory, opened for writing, and copies its
// full path to pathOut (at least 260 bytes) when given. Returns null on failure, with pathOut
// untouched.
HANDLE OpenTempFile(char* pathOut);
