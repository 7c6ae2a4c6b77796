// Helpers for archive tests: whole-file reads and writes, test data, and patching the plain
// bytes of a scrambled archive.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "runtime/platform/files/archive_format.h"
#include "tools/lib/archive_writer.h"

using ArchiveBytes = std::vector<uint8_t>;

void WriteFileBytes(const std::filesystem::path& path, const ArchiveBytes& bytes);
ArchiveBytes ReadFileBytes(const std::filesystem::path& path);

// The UTF-8 form of a Shift-JIS text (literals in the sources are Shift-JIS; file names on
// the disk are UTF-8).
std::string ShiftJisToUtf8(const std::string& sjis);

// Deterministic contents: kind 0 noise, 1 text-like (compresses), 2 long runs.
ArchiveBytes MakeArchiveTestData(size_t size, int kind, uint32_t seed);

// The key the writer used for these options.
void ArchiveKeyFor(const ArchiveWriterOptions& options, uint8_t key[kArchiveKeySize]);

// Unscrambles image, lets edit change the plain bytes, and scrambles it again.
void PatchArchivePlain(ArchiveBytes& image, const ArchiveWriterOptions& options,
                       const std::function<void(ArchiveBytes& plain)>& edit);

// Little-endian field access in plain bytes.
uint32_t GetLe32(const ArchiveBytes& plain, size_t at);
void PutLe32(ArchiveBytes& plain, size_t at, uint32_t value);

// Offsets in a plain image: the header, entry i of the file table, directory record i.
ArchiveHeader PlainArchiveHeader(const ArchiveBytes& plain);
size_t PlainEntryOffset(const ArchiveBytes& plain, int index);
size_t PlainDirectoryOffset(const ArchiveBytes& plain, int index);
