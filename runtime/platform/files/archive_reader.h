// Reading archives: opening one held in a file or in memory, finding entries by path, and
// reading an archived file synchronously or in the background.
//
// Every offset and count taken from an archive is checked against the table block and the
// archive's size before it is used; a record that does not fit is treated as absent.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/platform/files/archive_format.h"
#include "runtime/platform/files/file_functions.h"

// A name in key form: upper-cased ASCII letters, double-byte characters as they are, NUL
// padded to whole words. Two keys match when word count, checksum and words are equal.
struct ArchiveNameKey {
  uint8_t Bytes[kArchiveNameKeyMax];
  uint16_t Checksum;
  int WordCount;
};

// An open archive. Zero it (ClearArchiveRecord) before the first open.
struct ArchiveRecord {
  ArchiveHeader Header;  // CodePage is 0 below version 4
  int CharSet;
  void* Source;  // the archive file's FileAccessRecord, or the image in memory
  uint8_t* TableBlock;
  uint8_t* FileTable;
  uint8_t* DirectoryTable;
  uint8_t* NameTable;
  const ArchiveDirectoryRecord* CurrentDirectory;
  uint8_t Key[kArchiveKeySize];
  int MemoryImage;  // 1 when the whole archive is in memory
  int CallerImage;  // 1 when that memory belongs to the caller
  size_t ImageSize;
  int BackgroundRead;  // whole-image background reads: never used, kept clear
  FileHandle ReaderFile;
  size_t ArchiveSize;  // bytes of the archive file or image, for the range checks
};

// One archived file being read.
struct ArchiveEntryReader {
  ArchiveRecord* Archive;
  const ArchiveEntry* Entry;
  uint8_t* DecodedBuffer;     // the whole file of a compressed entry
  uint8_t* CompressedBuffer;  // its LZ block while the background read runs
  int EndFlag;
  int Position;
  int AsyncFlag;
  int PendingState;  // 0 none, 1 the compressed block is being read, 2 stored bytes are
  int PendingFileOffset;
  void* PendingDestination;
  int PendingLength;
  int Failed;  // the compressed block arrived damaged: reads find nothing
};

int ClearArchiveRecord(ArchiveRecord* record);

// Opens the archive file at path (with a reader thread). 0, or -1 for a record that is in use,
// a file that cannot be opened, a magic that neither key gives, a version above 4, tables that
// do not fit in the file, or a failed allocation; nothing is kept on failure.
int OpenArchiveFile(ArchiveRecord* record, const char* path, const char* keyString);

// Opens an archive whose scrambled bytes the caller holds; they are unscrambled in place and
// scrambled back by CloseArchive. 0, or -1 with the image untouched.
int OpenArchiveInMemory(ArchiveRecord* record, void* image, size_t size, const char* keyString);

// Closes the archive (a caller's image gets its scrambled bytes back) and zeroes the record. 0.
int CloseArchive(ArchiveRecord* record);

// The key of text up to its first NUL, backslash or slash. Returns the bytes of text taken,
// or -1 when the key would not fit in kArchiveNameKeyMax bytes.
int MakeArchiveNameKey(ArchiveNameKey* key, const ArchiveRecord* record, const char* text);

// Moves the archive's current directory: "." stays, "\" or "/" goes to the root, ".." to the
// parent; otherwise each component is entered in turn (a leading separator starts at the
// root). When a component cannot be entered, keyOut (when given) gets its key, the starting
// directory comes back when restore is 1, and the result is -1.
int ChangeArchiveDirectory(ArchiveRecord* record, const char* path, int restore,
                           ArchiveNameKey* keyOut);

// Like ChangeArchiveDirectory for a path with separators, restore 0, but tells where it
// stopped: 0 every component entered; 1 only the last component was not entered (keyOut holds
// its key and the current directory is the one that should hold it); -1 otherwise.
int WalkArchivePath(ArchiveRecord* record, const char* path, ArchiveNameKey* keyOut);

// The entry of the file at path (relative to the root, either separator, any ASCII case), or
// null. Directories, and files whose data do not lie inside the archive, are not found.
const ArchiveEntry* LookupArchiveFile(const char* path, ArchiveRecord* record);

// The file's data offset in the archive (data start + data address) and its size. 0 or -1.
int FindArchiveEntry(ArchiveRecord* record, const char* path, int* dataOffset, int* size);

// The image of an archive in memory, null for a file-backed archive.
void* GetArchiveImage(ArchiveRecord* record);

// Entry and name access with range checks; null when the record does not fit.
uint32_t ArchiveEntrySize(const ArchiveRecord* record);
const ArchiveDirectoryRecord* GetArchiveDirectory(const ArchiveRecord* record, uint32_t offset);
const ArchiveEntry* GetArchiveDirectoryEntry(const ArchiveRecord* record,
                                             const ArchiveDirectoryRecord* dir, uint32_t index);
const char* GetArchiveEntryName(const ArchiveRecord* record, const ArchiveEntry* entry);
bool ArchiveEntryMatchesKey(const ArchiveRecord* record, const ArchiveEntry* entry,
                            const ArchiveNameKey* key);

int OpenFileInArchive(ArchiveEntryReader* reader, ArchiveRecord* record, const char* path,
                      int asyncFlag);
size_t ReadFileInArchive(ArchiveEntryReader* reader, void* buffer, size_t length);
int SeekFileInArchive(ArchiveEntryReader* reader, int offset, int origin);
int TellFileInArchive(ArchiveEntryReader* reader);
int EofFileInArchive(ArchiveEntryReader* reader);
// 1 when nothing is pending (finishing a read whose bytes have arrived), 0 while one runs.
int CompleteArchivedRead(ArchiveEntryReader* reader);
int CloseFileInArchive(ArchiveEntryReader* reader);
