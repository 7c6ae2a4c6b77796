// Readable streams: six operations that image loaders and sound decoders call alike on a file
// (through the current file function table) or on a block of memory.
#pragma once

#include <cstddef>

#include "runtime/platform/files/file_functions.h"

// The handle is an open file handle or a MemoryStream pointer, as the table requires. Reads,
// seeks and the end test follow the rules of FileFunctionTable.
struct StreamFunctionTable {
  int (*Tell)(FileHandle handle);
  int (*Seek)(FileHandle handle, int offset, int origin);
  size_t (*Read)(void* buffer, size_t elementSize, size_t count, FileHandle handle);
  int (*Eof)(FileHandle handle);
  int (*IdleCheck)(FileHandle handle);
  int (*Close)(FileHandle handle);
};

// A stream table with the handle it works on, built by its user on its own storage. Whoever
// opened the handle closes it, directly or through Functions.Close.
struct DataStream {
  StreamFunctionTable Functions;
  FileHandle Handle;
};

// A read-only view of a memory block; the data are not owned by the stream.
struct MemoryStream {
  const void* Data;
  int Size;
  int Position;
  int EndFlag;
};

// Fills both stream tables; start-up calls it. They are filled from the start as well, so a
// stream can be used before the library has started.
void InitStreamFunctionTables();
const StreamFunctionTable* GetFileStreamFunctions();
const StreamFunctionTable* GetMemoryStreamFunctions();

// A stream at position 0 over size bytes of data; null when size is negative, data is null
// with a non-zero size, or the record cannot be allocated.
MemoryStream* OpenMemoryStream(const void* data, int size);
// Frees the stream, not the data. 0.
int CloseMemoryStream(FileHandle stream);
int TellMemoryStream(FileHandle stream);
int SeekMemoryStream(FileHandle stream, int offset, int origin);
size_t ReadMemoryStream(void* buffer, size_t elementSize, size_t count, FileHandle stream);
int EofMemoryStream(FileHandle stream);
int IdleCheckMemoryStream(FileHandle stream);
