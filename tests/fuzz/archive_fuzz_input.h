// What the archive and LZ fuzz targets do with one input, shared by the libFuzzer programs and
// the fuzz smoke test. Every call either refuses the input or reads it within its bounds; a
// result that breaks the reader's promises aborts.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "runtime/platform/files/archive_reader.h"
#include "runtime/platform/files/lz_block.h"

namespace archive_fuzz {

inline void Require(bool ok) {
  if (!ok) std::abort();
}

// Opens, reads, seeks and closes one file of an open archive.
inline void ReadArchivedFile(ArchiveRecord* record, const std::string& path, int async) {
  ArchiveEntryReader reader;
  if (OpenFileInArchive(&reader, record, path.c_str(), async) != 0) return;
  const int size = static_cast<int>(reader.Entry->Size);
  uint8_t buffer[4096];
  int total = 0;
  for (;;) {
    size_t n = ReadFileInArchive(&reader, buffer, sizeof buffer);
    while (CompleteArchivedRead(&reader) == 0) {}
    if (n == 0) break;
    total += static_cast<int>(n);
    Require(total <= size);
  }
  Require(EofFileInArchive(&reader) == -1);
  Require(SeekFileInArchive(&reader, size / 2, 0) == 0 && TellFileInArchive(&reader) == size / 2);
  ReadFileInArchive(&reader, buffer, 16);
  CloseFileInArchive(&reader);
}

// Visits what the directory tree reaches, to a fixed depth and breadth, by path as a caller
// would name it, and walks back up with "..".
inline void WalkArchive(ArchiveRecord* record, const ArchiveDirectoryRecord* dir,
                        const std::string& prefix, int depth) {
  for (uint32_t i = 0; i < dir->EntryCount && i < 32; ++i) {
    const ArchiveEntry* entry = GetArchiveDirectoryEntry(record, dir, i);
    if (entry == nullptr) return;
    const char* name = GetArchiveEntryName(record, entry);
    if (name == nullptr) continue;
    std::string path = prefix + name;
    if (entry->Attributes & kArchiveDirectoryAttribute) {
      const ArchiveDirectoryRecord* sub = GetArchiveDirectory(record, entry->DataAddress);
      if (sub != nullptr && depth < 4) WalkArchive(record, sub, path + "\\", depth + 1);
      const ArchiveDirectoryRecord* saved = record->CurrentDirectory;
      if (ChangeArchiveDirectory(record, path.c_str(), 1, nullptr) == 0)
        ChangeArchiveDirectory(record, "..", 0, nullptr);
      record->CurrentDirectory = saved;
    } else {
      LookupArchiveFile(path.c_str(), record);
      ReadArchivedFile(record, path, 0);
      ReadArchivedFile(record, path, 1);
    }
  }
}

inline void ExerciseOpenArchive(ArchiveRecord* record) {
  WalkArchive(record, record->CurrentDirectory, "", 0);
  for (const char* path : {"a", "IMG\\A.PNG", "x/y/z", "..", "\\", "/a/", ""})
    LookupArchiveFile(path, record);
}

// An archive held in memory: opened from an exact-size copy, which must come back unchanged.
inline void ExerciseArchiveImage(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> image(new uint8_t[size ? size : 1]);
  if (size) std::memcpy(image.get(), data, size);
  ArchiveRecord record;
  ClearArchiveRecord(&record);
  if (OpenArchiveInMemory(&record, image.get(), size, nullptr) == 0) {
    ExerciseOpenArchive(&record);
    CloseArchive(&record);
  }
  Require(size == 0 || std::memcmp(image.get(), data, size) == 0);
}

// One LZ block: a decode either fails or yields exactly the size its header gives, and an
// output one byte short is refused.
inline void ExerciseLzBlock(const uint8_t* data, size_t size) {
  int decoded = DecodeLzBlock(data, size, nullptr, 0);
  if (decoded < 0 || decoded > (1 << 22)) return;
  std::unique_ptr<uint8_t[]> out(new uint8_t[decoded ? decoded : 1]);
  int r = DecodeLzBlock(data, size, out.get(), static_cast<size_t>(decoded));
  Require(r == -1 || r == decoded);
  if (decoded > 0)
    Require(DecodeLzBlock(data, size, out.get(), static_cast<size_t>(decoded - 1)) == -1);
}

}  // namespace archive_fuzz
