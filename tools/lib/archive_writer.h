// Archive packer for fixtures and tools/make_archive: the writing side of
// runtime/platform/files/archive_format.h (stored and LZ entries, versions 0 to 4, nested
// directories, double-byte names, the built key or the second key).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ArchiveWriterEntry {
  // Components separated by '\\' or '/', in the archive's code page (Shift-JIS for 932).
  // Parent directories are made as needed; an entry with directory set makes an explicit,
  // possibly empty, directory.
  std::string path;
  std::vector<uint8_t> data;
  bool directory = false;
  int compress =
      -1;  // 1 LZ block, 0 stored, -1 LZ when that is smaller (always stored below version 2)
  uint64_t creationTime = 0, lastAccessTime = 0, lastWriteTime = 0;  // platform file times
};

struct ArchiveWriterOptions {
  int version = 4;
  uint32_t codePage = 932;          // written from version 4; decides the double-byte names
  const char* keyString = nullptr;  // as for BuildArchiveKey
  bool secondKey = false;           // scramble with the fixed second key instead
};

// Entries keep the given order within each directory; directories are laid out breadth
// first, the root's record first. Returns the scrambled archive bytes. Throws
// std::invalid_argument for an unusable version, a compressed entry below version 2, an empty
// path component, a name of 1,024 bytes or more, or the same file twice. A file and a
// directory may share a name.
std::vector<uint8_t> BuildArchiveImage(const std::vector<ArchiveWriterEntry>& entries,
                                       const ArchiveWriterOptions& options = {});

// The files and folders below folder, with their contents and last-write times. Names are
// converted from UTF-8 to the code page (932, 936, 949, 950; others are taken as they are).
// Folders are listed before files, each group in byte order of the name. Throws
// std::runtime_error when the folder cannot be read or a name cannot be converted.
std::vector<ArchiveWriterEntry> CollectArchiveFolder(const std::string& folder,
                                                     uint32_t codePage = 932);

// Writes bytes to a file, replacing it. Returns false on failure.
bool WriteArchiveBytes(const std::string& path, const std::vector<uint8_t>& bytes);
