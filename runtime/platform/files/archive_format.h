// The archive file format, shared by the reader (runtime) and the packer (tools).
//
// All numbers are little-endian. Every byte of an archive, header included, is stored
// exclusive-ored with key[offset mod 12]. The layout below is that of the plain bytes:
//
//   ArchiveHeader at offset 0 (24 bytes up to version 3, 28 bytes in version 4)
//   entry data at DataStart + DataAddress: Size plain bytes, or an LZ block of CompressedSize
//   the table block at TableBlockOffset, TableBlockSize bytes:
//     name table at its start: per name u16 word count n, u16 checksum, n x 4 bytes of key
//       form (upper-cased, NUL padded), then the stored name and a NUL
//     file table at FileTableOffset: ArchiveEntry records (40 bytes below version 2)
//     directory table at DirectoryTableOffset: ArchiveDirectoryRecord, the root at offset 0
//
// Nothing here assumes the records are aligned: they are packed and read in place.
#pragma once

#include <cstddef>
#include <cstdint>

#include "port/win32.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "archive records are read in place");

inline constexpr uint16_t kArchiveMagic = 0x5241;
inline constexpr uint16_t kArchiveMaxVersion = 4;
inline constexpr uint32_t kArchiveHeaderSizeV3 = 24;  // versions 0 to 3
inline constexpr uint32_t kArchiveHeaderSizeV4 = 28;
inline constexpr uint32_t kArchiveEntrySizeV1 = 40;  // versions 0 and 1: no compressed size
inline constexpr uint32_t kArchiveEntrySizeV2 = 44;
inline constexpr uint32_t kArchiveDirectoryRecordSize = 16;
inline constexpr uint32_t kArchiveNoParent = 0xFFFFFFFFu;
inline constexpr uint32_t kArchiveStored = 0xFFFFFFFFu;  // compressed size of a stored entry
inline constexpr uint32_t kArchiveDirectoryAttribute = 0x10;
inline constexpr int kArchiveKeySize = 12;
inline constexpr int kArchiveNameKeyMax = 1024;

#pragma pack(push, 1)
struct ArchiveHeader {
  uint16_t Magic;
  uint16_t Version;
  uint32_t TableBlockSize;
  uint32_t DataStart;
  uint32_t TableBlockOffset;
  uint32_t FileTableOffset;
  uint32_t DirectoryTableOffset;
  uint32_t CodePage;  // version 4 only
};

struct ArchiveEntry {
  uint32_t NameOffset;
  uint32_t Attributes;
  FILETIME CreationTime;
  FILETIME LastAccessTime;
  FILETIME LastWriteTime;
  uint32_t DataAddress;  // files: from DataStart; directories: their directory record
  uint32_t Size;
  uint32_t CompressedSize;  // version 2 and up
};

struct ArchiveDirectoryRecord {
  uint32_t Unused;
  uint32_t ParentOffset;
  uint32_t EntryCount;
  uint32_t FirstEntryOffset;
};
#pragma pack(pop)

static_assert(sizeof(ArchiveHeader) == kArchiveHeaderSizeV4);
static_assert(sizeof(ArchiveEntry) == kArchiveEntrySizeV2);
static_assert(sizeof(ArchiveDirectoryRecord) == kArchiveDirectoryRecordSize);

// The key. Without a key string the 12 bytes start as kArchiveKeyFiller; with one, as the
// string repeated (its first 12 bytes when longer). Each position then goes through its own
// fixed operation (see archive_format.cpp). An archive that does not unscramble to the magic
// with that key is tried once with kArchiveSecondKey, which is used as it stands.
inline constexpr uint8_t kArchiveKeyFiller = 0xA7;
extern const uint8_t kArchiveSecondKey[kArchiveKeySize];

void BuildArchiveKey(const char* keyString, uint8_t key[kArchiveKeySize]);

// Exclusive-ors count bytes that sit at archive offset offset: scrambles and unscrambles.
void ScrambleArchiveBytes(size_t count, void* bytes, uint64_t offset,
                          const uint8_t key[kArchiveKeySize]);

// The char-set code of an archive's names: 932 -> 1, 949 -> 2, 950 -> 3, 936 -> 4, else 0.
int ArchiveCharSetFromCodePage(uint32_t codePage);

// Whether b starts a double-byte character under the char-set code: codes 0 and 1 take the
// Shift-JIS lead bytes 0x81-0x9F and 0xE0-0xFC, codes 2 to 4 any byte with the high bit set.
inline bool IsArchiveLeadByte(int charSet, uint8_t b) {
  if (charSet >= 2 && charSet <= 4) return b >= 0x80;
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
