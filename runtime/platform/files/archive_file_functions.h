// The archive-aware set of the file function table, the set the runtime runs with: a path
// under a directory that has an archive file beside it ("DATA.ARC" beside "DATA") is served
// from that archive; any other path opens as a plain file through the Win32 set.
//
// Archives stay open, shared by reference count between the files and finds that use them,
// until CloseUnusedArchives (start-up and shutdown) or a full archive table sweeps the unused.
#pragma once

#include "runtime/platform/files/archive_reader.h"
#include "runtime/platform/files/file_functions.h"

#define ARCHIVE_SLOT_MAX 512
#define ARCHIVE_FILE_MAX 512
#define ARCHIVE_PATH_MAX 256
#define ARCHIVE_FILE_HANDLE_TAG 0xF0000000u  // file handles are slot | tag, so none is 0

struct ArchiveSlot {
  int RefCount;
  ArchiveRecord Archive;
  char Path[ARCHIVE_PATH_MAX];  // upper-cased full path, extension included
};

struct ArchiveFileRecord {
  int InArchive;
  FileHandle PlainFile;
  int ArchiveIndex;
  ArchiveEntryReader Reader;
};

struct ArchiveFindState {
  ArchiveRecord* Archive;
  char Pattern[ARCHIVE_PATH_MAX];  // upper-cased file pattern
  const ArchiveDirectoryRecord* Directory;
  int Index;  // next candidate: "." 0, ".." 1 (not in the root), then the entries
};

struct ArchiveFindHandle {
  int InArchive;
  int ArchiveIndex;
  FindHandle PlatformFind;
  ArchiveFindState* State;
  ArchiveFindHandle* Next;  // the live finds, so that a closed or foreign handle is refused
};

FileHandle OpenFileWithArchive(const char* name, int cacheFlag, int blockFlag, int asyncFlag);
int CloseFileWithArchive(FileHandle file);
int TellFileWithArchive(FileHandle file);
int SeekFileWithArchive(FileHandle file, int offset, int origin);
size_t ReadFileWithArchive(void* buffer, size_t elementSize, size_t count, FileHandle file);
int EofFileWithArchive(FileHandle file);
int IdleCheckFileWithArchive(FileHandle file);
// 0, or -1 when the platform refuses the directory.
int SetCurrentDirectoryWithArchive(const char* path);
// Writes the process's current directory (at most 256 bytes with its NUL); 0, or -1 when it
// cannot be read or does not fit, with the buffer then holding an empty string.
int GetCurrentDirectoryWithArchive(char* buffer);
FindHandle FindFirstWithArchive(const char* pattern, FileFindInfo* info);
int FindNextWithArchive(FindHandle handle, FileFindInfo* info);
int FindCloseWithArchive(FindHandle handle);

extern const FileFunctionTable ArchiveFileFunctions;

// Closes every archive that no open file or find references. 0.
int CloseUnusedArchives();

// The pieces below are the set's own steps, open for tests.

// The upper-cased full path that archives are found by: the path made full against the
// process's current directory, ASCII letters raised, double-byte characters kept. 0, or -1
// when it does not fit in outSize bytes.
int MakeArchiveFullPath(const char* name, char* out, size_t outSize);

// The archive slot serving name (its reference count raised by one), with *rest set to the
// part of the full path inside the archive; -1 when no archive serves it. rest points into
// restBuffer, which must hold restSize bytes.
int FindArchiveForPath(const char* name, char* restBuffer, size_t restSize, const char** rest);

// 0 when name matches pattern ('*' and '?', double-byte characters by the char-set code),
// else -1. A '*' stops at the first occurrence of the byte after it.
int MatchArchivePattern(const char* name, const char* pattern, int charSet);

// The archive slot at index (null when empty) and the number of used slots.
const ArchiveSlot* GetArchiveSlot(int index);
int GetArchiveSlotCount();
