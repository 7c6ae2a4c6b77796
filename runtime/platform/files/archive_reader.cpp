#include "runtime/platform/files/archive_reader.h"

#include <climits>
#include <cstring>

#include "port/win32.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/lz_block.h"
#include "runtime/platform/files/win32_file.h"

namespace {

bool IsSeparator(uint8_t b) { return b == '\\' || b == '/'; }

uint32_t HeaderSize(uint16_t version) {
  return version >= 4 ? kArchiveHeaderSizeV4 : kArchiveHeaderSizeV3;
}

FileHandle ArchiveFile(const ArchiveRecord* record) {
  return reinterpret_cast<FileHandle>(record->Source);
}

// The header's own promises: its tables lie inside the archive and the root record exists.
// Entries, names and directories below the root are checked when they are used.
bool HeaderFits(const ArchiveHeader& h, uint64_t archiveSize) {
  if (h.Magic != kArchiveMagic || h.Version > kArchiveMaxVersion) return false;
  if (HeaderSize(h.Version) > archiveSize || h.DataStart > archiveSize) return false;
  if (uint64_t{h.TableBlockOffset} + h.TableBlockSize > archiveSize) return false;
  if (h.FileTableOffset > h.TableBlockSize) return false;
  if (uint64_t{h.DirectoryTableOffset} + kArchiveDirectoryRecordSize > h.TableBlockSize)
    return false;
  return true;
}

bool MagicWithKey(const uint8_t first[8], const uint8_t key[kArchiveKeySize]) {
  uint8_t copy[8];
  std::memcpy(copy, first, sizeof copy);
  ScrambleArchiveBytes(sizeof copy, copy, 0, key);
  return (copy[0] | copy[1] << 8) == kArchiveMagic;
}

void WaitArchiveFileIdle(FileHandle file) {
  while (IdleCheckWin32File(file) == 0) Sleep(0);
}

// Reads count bytes at the archive file's position (which is offset) and unscrambles them.
bool ReadArchiveBytes(ArchiveRecord* record, void* dst, size_t count, uint64_t offset) {
  FileHandle file = ArchiveFile(record);
  size_t got = ReadWin32File(dst, 1, count, file);
  WaitArchiveFileIdle(file);
  if (got != count) return false;
  ScrambleArchiveBytes(count, dst, offset, record->Key);
  return true;
}

bool IsCompressed(const ArchiveRecord* record, const ArchiveEntry* entry) {
  return record->Header.Version >= 2 && entry->CompressedSize != kArchiveStored;
}

uint64_t EntryDataOffset(const ArchiveRecord* record, const ArchiveEntry* entry) {
  return uint64_t{record->Header.DataStart} + entry->DataAddress;
}

// The entry's bytes (its LZ block when compressed) lie inside the archive, and its size fits
// the int positions of a reader.
bool EntryDataFits(const ArchiveRecord* record, const ArchiveEntry* entry) {
  if (entry->Size > static_cast<uint32_t>(INT_MAX)) return false;
  uint64_t stored = entry->Size;
  if (IsCompressed(record, entry)) {
    if (entry->CompressedSize < static_cast<uint32_t>(kLzBlockHeaderSize)) return false;
    stored = entry->CompressedSize;
  }
  return EntryDataOffset(record, entry) + stored <= record->ArchiveSize;
}

// Decodes a compressed entry whose header must agree with the entry before anything is written.
bool DecodeEntryBlock(const ArchiveEntry* entry, const uint8_t* block, uint8_t* out) {
  uint32_t decoded, encoded;
  std::memcpy(&decoded, block, 4);
  std::memcpy(&encoded, block + 4, 4);
  if (decoded != entry->Size || encoded != entry->CompressedSize) return false;
  return DecodeLzBlock(block, entry->CompressedSize, out, entry->Size) ==
         static_cast<int>(entry->Size);
}

bool HasSeparator(const ArchiveRecord* record, const char* path) {
  for (const uint8_t* p = reinterpret_cast<const uint8_t*>(path); *p; ++p) {
    if (IsArchiveLeadByte(record->CharSet, *p) && p[1] != 0)
      ++p;
    else if (IsSeparator(*p))
      return true;
  }
  return false;
}

// Enters the first subdirectory of the current directory, in table order, named by key.
int EnterArchiveSubdirectory(ArchiveRecord* record, const ArchiveNameKey* key) {
  const ArchiveDirectoryRecord* dir = record->CurrentDirectory;
  for (uint32_t i = 0; i < dir->EntryCount; ++i) {
    const ArchiveEntry* entry = GetArchiveDirectoryEntry(record, dir, i);
    if (entry == nullptr) return -1;
    if ((entry->Attributes & kArchiveDirectoryAttribute) &&
        ArchiveEntryMatchesKey(record, entry, key)) {
      const ArchiveDirectoryRecord* sub = GetArchiveDirectory(record, entry->DataAddress);
      if (sub == nullptr) return -1;
      record->CurrentDirectory = sub;
      return 0;
    }
  }
  return -1;
}

void FinishPendingRead(ArchiveEntryReader* reader) {
  if (!reader->AsyncFlag) return;
  while (CompleteArchivedRead(reader) == 0) Sleep(1);
}

}  // namespace

int ClearArchiveRecord(ArchiveRecord* record) {
  std::memset(record, 0, sizeof *record);
  return 0;
}

int OpenArchiveFile(ArchiveRecord* record, const char* path, const char* keyString) {
  if (record == nullptr || path == nullptr || record->Source != nullptr) return -1;
  std::memset(&record->Header, 0, sizeof record->Header);

  FileHandle file = OpenWin32File(path, 0, 1, 1);
  if (file == 0) return -1;
  uint8_t* block = nullptr;
  ArchiveHeader h{};
  const FileAccessRecord* access = reinterpret_cast<const FileAccessRecord*>(file);
  record->Source = reinterpret_cast<void*>(file);
  record->ArchiveSize = access->Size > 0 ? static_cast<size_t>(access->Size) : 0;
  BuildArchiveKey(keyString, record->Key);

  uint8_t first[8];
  if (record->ArchiveSize < kArchiveHeaderSizeV3) goto fail;
  if (ReadWin32File(first, 1, sizeof first, file) != sizeof first) goto fail;
  WaitArchiveFileIdle(file);
  if (!MagicWithKey(first, record->Key)) {
    std::memcpy(record->Key, kArchiveSecondKey, kArchiveKeySize);
    if (!MagicWithKey(first, record->Key)) goto fail;
  }
  ScrambleArchiveBytes(sizeof first, first, 0, record->Key);
  std::memcpy(&h, first, sizeof first);
  if (h.Version > kArchiveMaxVersion) goto fail;
  if (!ReadArchiveBytes(record, reinterpret_cast<uint8_t*>(&h) + 8, HeaderSize(h.Version) - 8, 8))
    goto fail;
  if (h.Version < 4) h.CodePage = 0;
  if (!HeaderFits(h, record->ArchiveSize)) goto fail;

  block = static_cast<uint8_t*>(AllocTracked(h.TableBlockSize, __FILE__, __LINE__));
  if (block == nullptr) goto fail;
  if (SeekWin32File(file, static_cast<int>(h.TableBlockOffset), 0) != 0) goto fail;
  if (!ReadArchiveBytes(record, block, h.TableBlockSize, h.TableBlockOffset)) goto fail;

  record->Header = h;
  record->CharSet = h.Version >= 4 ? ArchiveCharSetFromCodePage(h.CodePage) : 0;
  record->TableBlock = block;
  record->NameTable = block;
  record->FileTable = block + h.FileTableOffset;
  record->DirectoryTable = block + h.DirectoryTableOffset;
  record->CurrentDirectory =
      reinterpret_cast<const ArchiveDirectoryRecord*>(record->DirectoryTable);
  record->MemoryImage = 0;
  record->CallerImage = 0;
  record->ImageSize = 0;
  return 0;

fail:
  CloseWin32File(file);
  if (block != nullptr) FreeTracked(block);
  ClearArchiveRecord(record);
  return -1;
}

int OpenArchiveInMemory(ArchiveRecord* record, void* image, size_t size, const char* keyString) {
  if (record == nullptr || image == nullptr || record->Source != nullptr) return -1;
  if (size < kArchiveHeaderSizeV3) return -1;
  uint8_t* bytes = static_cast<uint8_t*>(image);
  uint8_t key[kArchiveKeySize];
  BuildArchiveKey(keyString, key);
  if (!MagicWithKey(bytes, key)) {
    std::memcpy(key, kArchiveSecondKey, kArchiveKeySize);
    if (!MagicWithKey(bytes, key)) return -1;
  }
  // The header is checked on a copy, so a refused image is never touched.
  ArchiveHeader h{};
  std::memcpy(&h, bytes, size < sizeof h ? size : sizeof h);
  ScrambleArchiveBytes(sizeof h, &h, 0, key);
  if (h.Version < 4) h.CodePage = 0;
  if (!HeaderFits(h, size)) return -1;

  ScrambleArchiveBytes(size, bytes, 0, key);
  record->Header = h;
  record->CharSet = h.Version >= 4 ? ArchiveCharSetFromCodePage(h.CodePage) : 0;
  record->Source = image;
  record->TableBlock = nullptr;
  record->NameTable = bytes + h.TableBlockOffset;
  record->FileTable = record->NameTable + h.FileTableOffset;
  record->DirectoryTable = record->NameTable + h.DirectoryTableOffset;
  record->CurrentDirectory =
      reinterpret_cast<const ArchiveDirectoryRecord*>(record->DirectoryTable);
  std::memcpy(record->Key, key, kArchiveKeySize);
  record->MemoryImage = 1;
  record->CallerImage = 1;
  record->ImageSize = size;
  record->ArchiveSize = size;
  return 0;
}

int CloseArchive(ArchiveRecord* record) {
  if (record == nullptr || record->Source == nullptr) return 0;
  if (record->MemoryImage) {
    if (record->CallerImage)
      ScrambleArchiveBytes(record->ImageSize, record->Source, 0, record->Key);
  } else {
    CloseWin32File(ArchiveFile(record));
    FreeTracked(record->TableBlock);
  }
  ClearArchiveRecord(record);
  return 0;
}

void* GetArchiveImage(ArchiveRecord* record) {
  return record->MemoryImage ? record->Source : nullptr;
}

int MakeArchiveNameKey(ArchiveNameKey* key, const ArchiveRecord* record, const char* text) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  int n = 0, i = 0;
  uint16_t sum = 0;
  // The key keeps at least one NUL inside kArchiveNameKeyMax bytes.
  const int limit = kArchiveNameKeyMax - 1;
  while (p[i] != 0 && !IsSeparator(p[i])) {
    // A lead byte takes its second byte along, unless the text ends there.
    if (IsArchiveLeadByte(record->CharSet, p[i]) && p[i + 1] != 0) {
      if (n + 2 > limit) return -1;
      key->Bytes[n++] = p[i];
      key->Bytes[n++] = p[i + 1];
      sum = static_cast<uint16_t>(sum + p[i] + p[i + 1]);
      i += 2;
    } else {
      if (n + 1 > limit) return -1;
      uint8_t b = p[i++];
      if (b >= 'a' && b <= 'z') b = static_cast<uint8_t>(b - 'a' + 'A');
      key->Bytes[n++] = b;
      sum = static_cast<uint16_t>(sum + b);
    }
  }
  int padded = (n / 4 + 1) * 4;
  std::memset(key->Bytes + n, 0, static_cast<size_t>(padded - n));
  key->WordCount = padded / 4;
  key->Checksum = sum;
  return i;
}

uint32_t ArchiveEntrySize(const ArchiveRecord* record) {
  return record->Header.Version >= 2 ? kArchiveEntrySizeV2 : kArchiveEntrySizeV1;
}

const ArchiveDirectoryRecord* GetArchiveDirectory(const ArchiveRecord* record, uint32_t offset) {
  const ArchiveHeader& h = record->Header;
  if (uint64_t{h.DirectoryTableOffset} + offset + kArchiveDirectoryRecordSize > h.TableBlockSize)
    return nullptr;
  return reinterpret_cast<const ArchiveDirectoryRecord*>(record->DirectoryTable + offset);
}

const ArchiveEntry* GetArchiveDirectoryEntry(const ArchiveRecord* record,
                                             const ArchiveDirectoryRecord* dir, uint32_t index) {
  const ArchiveHeader& h = record->Header;
  const uint64_t size = ArchiveEntrySize(record);
  // The directory's whole run of entries must lie inside the table block.
  if (index >= dir->EntryCount) return nullptr;
  if (uint64_t{h.FileTableOffset} + dir->FirstEntryOffset + dir->EntryCount * size >
      h.TableBlockSize)
    return nullptr;
  return reinterpret_cast<const ArchiveEntry*>(record->FileTable + dir->FirstEntryOffset +
                                               index * size);
}

// A name record fits when its key words and its NUL-terminated name lie inside the block.
static const uint8_t* NameRecord(const ArchiveRecord* record, const ArchiveEntry* entry,
                                 const char** name) {
  const uint64_t blockSize = record->Header.TableBlockSize;
  uint64_t at = entry->NameOffset;
  if (at + 4 > blockSize) return nullptr;
  const uint8_t* rec = record->NameTable + at;
  uint16_t words;
  std::memcpy(&words, rec, 2);
  uint64_t nameAt = at + 4 + uint64_t{words} * 4;
  if (words == 0 || nameAt >= blockSize) return nullptr;
  const void* nul =
      std::memchr(record->NameTable + nameAt, 0, static_cast<size_t>(blockSize - nameAt));
  if (nul == nullptr) return nullptr;
  if (name) *name = reinterpret_cast<const char*>(record->NameTable + nameAt);
  return rec;
}

const char* GetArchiveEntryName(const ArchiveRecord* record, const ArchiveEntry* entry) {
  const char* name = nullptr;
  return NameRecord(record, entry, &name) ? name : nullptr;
}

bool ArchiveEntryMatchesKey(const ArchiveRecord* record, const ArchiveEntry* entry,
                            const ArchiveNameKey* key) {
  const uint8_t* rec = NameRecord(record, entry, nullptr);
  if (rec == nullptr) return false;
  uint16_t words, checksum;
  std::memcpy(&words, rec, 2);
  std::memcpy(&checksum, rec + 2, 2);
  if (words != key->WordCount || checksum != key->Checksum) return false;
  return std::memcmp(rec + 4, key->Bytes, static_cast<size_t>(key->WordCount) * 4) == 0;
}

int WalkArchivePath(ArchiveRecord* record, const char* path, ArchiveNameKey* keyOut) {
  const char* p = path;
  for (;;) {
    if (IsSeparator(static_cast<uint8_t>(*p))) {
      record->CurrentDirectory =
          reinterpret_cast<const ArchiveDirectoryRecord*>(record->DirectoryTable);
      if (*++p == 0) return 0;
      continue;
    }
    ArchiveNameKey key;
    int n = MakeArchiveNameKey(&key, record, p);
    if (n < 0) return -1;
    const char* q = p + n;
    bool last = *q == 0 || q[1] == 0;
    if (EnterArchiveSubdirectory(record, &key) != 0) {
      if (keyOut) *keyOut = key;
      return last ? 1 : -1;
    }
    if (last) {
      if (keyOut) *keyOut = key;
      return 0;
    }
    p = q + 1;
  }
}

int ChangeArchiveDirectory(ArchiveRecord* record, const char* path, int restore,
                           ArchiveNameKey* keyOut) {
  if (record == nullptr || record->Source == nullptr || path == nullptr) return -1;
  if (std::strcmp(path, ".") == 0) return 0;
  if (std::strcmp(path, "\\") == 0 || std::strcmp(path, "/") == 0) {
    record->CurrentDirectory =
        reinterpret_cast<const ArchiveDirectoryRecord*>(record->DirectoryTable);
    return 0;
  }
  if (std::strcmp(path, "..") == 0) {
    uint32_t parent = record->CurrentDirectory->ParentOffset;
    if (parent == kArchiveNoParent) return -1;
    const ArchiveDirectoryRecord* dir = GetArchiveDirectory(record, parent);
    if (dir == nullptr) return -1;
    record->CurrentDirectory = dir;
    return 0;
  }
  if (!HasSeparator(record, path)) {
    ArchiveNameKey key;
    if (MakeArchiveNameKey(&key, record, path) < 0) return -1;
    if (EnterArchiveSubdirectory(record, &key) == 0) return 0;
    if (keyOut) *keyOut = key;
    return -1;
  }
  const ArchiveDirectoryRecord* start = record->CurrentDirectory;
  if (WalkArchivePath(record, path, keyOut) == 0) return 0;
  if (restore == 1) record->CurrentDirectory = start;
  return -1;
}

const ArchiveEntry* LookupArchiveFile(const char* path, ArchiveRecord* record) {
  if (record == nullptr || record->Source == nullptr || path == nullptr) return nullptr;
  const ArchiveDirectoryRecord* saved = record->CurrentDirectory;
  ArchiveNameKey key;
  const ArchiveEntry* found = nullptr;
  bool haveKey = HasSeparator(record, path) ? WalkArchivePath(record, path, &key) == 1
                                            : MakeArchiveNameKey(&key, record, path) >= 0;
  if (haveKey) {
    const ArchiveDirectoryRecord* dir = record->CurrentDirectory;
    for (uint32_t i = 0; i < dir->EntryCount; ++i) {
      const ArchiveEntry* entry = GetArchiveDirectoryEntry(record, dir, i);
      if (entry == nullptr) break;
      if (!(entry->Attributes & kArchiveDirectoryAttribute) &&
          ArchiveEntryMatchesKey(record, entry, &key)) {
        found = entry;
        break;
      }
    }
  }
  record->CurrentDirectory = saved;
  if (found != nullptr && !EntryDataFits(record, found)) return nullptr;
  return found;
}

int FindArchiveEntry(ArchiveRecord* record, const char* path, int* dataOffset, int* size) {
  const ArchiveEntry* entry = LookupArchiveFile(path, record);
  if (entry == nullptr) return -1;
  uint64_t offset = EntryDataOffset(record, entry);
  if (offset > static_cast<uint64_t>(INT_MAX)) return -1;
  if (dataOffset) *dataOffset = static_cast<int>(offset);
  if (size) *size = static_cast<int>(entry->Size);
  return 0;
}

int OpenFileInArchive(ArchiveEntryReader* reader, ArchiveRecord* record, const char* path,
                      int asyncFlag) {
  std::memset(reader, 0, sizeof *reader);
  const ArchiveEntry* entry = LookupArchiveFile(path, record);
  if (entry == nullptr) return -1;
  ArchiveEntryReader r{};
  r.Archive = record;
  r.Entry = entry;
  r.AsyncFlag = asyncFlag ? 1 : 0;
  if (!IsCompressed(record, entry)) {
    *reader = r;
    return 0;
  }

  const uint64_t offset = EntryDataOffset(record, entry);
  const uint32_t blockSize = entry->CompressedSize;
  r.DecodedBuffer =
      static_cast<uint8_t*>(AllocTracked(entry->Size ? entry->Size : 1, __FILE__, __LINE__));
  if (r.DecodedBuffer == nullptr) return -1;
  if (record->MemoryImage) {
    if (!DecodeEntryBlock(entry, static_cast<uint8_t*>(record->Source) + offset, r.DecodedBuffer))
      goto fail;
    *reader = r;
    return 0;
  }
  r.CompressedBuffer = static_cast<uint8_t*>(AllocTrackedZero(blockSize, __FILE__, __LINE__));
  if (r.CompressedBuffer == nullptr) goto fail;
  if (SeekWin32File(ArchiveFile(record), static_cast<int>(offset), 0) != 0) goto fail;
  if (r.AsyncFlag) {
    ReadWin32File(r.CompressedBuffer, 1, blockSize, ArchiveFile(record));
    r.PendingState = 1;
    r.PendingFileOffset = static_cast<int>(offset);
  } else {
    if (!ReadArchiveBytes(record, r.CompressedBuffer, blockSize, offset)) goto fail;
    if (!DecodeEntryBlock(entry, r.CompressedBuffer, r.DecodedBuffer)) goto fail;
    FreeTracked(r.CompressedBuffer);
    r.CompressedBuffer = nullptr;
  }
  *reader = r;
  return 0;

fail:
  FreeTracked(r.DecodedBuffer);
  FreeTracked(r.CompressedBuffer);
  return -1;
}

int CompleteArchivedRead(ArchiveEntryReader* reader) {
  if (!reader->AsyncFlag || reader->PendingState == 0) return 1;
  ArchiveRecord* record = reader->Archive;
  if (IdleCheckWin32File(ArchiveFile(record)) == 0) return 0;
  if (reader->PendingState == 1) {
    ScrambleArchiveBytes(reader->Entry->CompressedSize, reader->CompressedBuffer,
                         static_cast<uint64_t>(reader->PendingFileOffset), record->Key);
    // A block that arrives damaged leaves a reader that finds nothing.
    if (!DecodeEntryBlock(reader->Entry, reader->CompressedBuffer, reader->DecodedBuffer))
      reader->Failed = 1;
    FreeTracked(reader->CompressedBuffer);
    reader->CompressedBuffer = nullptr;
  } else if (reader->PendingState == 2) {
    ScrambleArchiveBytes(static_cast<size_t>(reader->PendingLength), reader->PendingDestination,
                         static_cast<uint64_t>(reader->PendingFileOffset), record->Key);
  }
  reader->PendingState = 0;
  return 1;
}

size_t ReadFileInArchive(ArchiveEntryReader* reader, void* buffer, size_t length) {
  if (reader->Archive == nullptr) return 0;
  FinishPendingRead(reader);
  if (reader->EndFlag) return 0;
  const ArchiveEntry* entry = reader->Entry;
  const int size = static_cast<int>(entry->Size);
  if (reader->Position == size || reader->Failed) {
    reader->EndFlag = 1;
    return 0;
  }
  size_t left = static_cast<size_t>(size - reader->Position);
  if (length > left) length = left;
  if (length == 0) return 0;

  ArchiveRecord* record = reader->Archive;
  const uint64_t offset = EntryDataOffset(record, entry) + static_cast<uint64_t>(reader->Position);
  if (reader->DecodedBuffer != nullptr) {
    std::memcpy(buffer, reader->DecodedBuffer + reader->Position, length);
  } else if (record->MemoryImage) {
    std::memcpy(buffer, static_cast<uint8_t*>(record->Source) + offset, length);
  } else {
    FileHandle file = ArchiveFile(record);
    if (static_cast<uint64_t>(TellWin32File(file)) != offset &&
        SeekWin32File(file, static_cast<int>(offset), 0) != 0)
      return 0;
    if (reader->AsyncFlag) {
      ReadWin32File(buffer, 1, length, file);
      reader->PendingState = 2;
      reader->PendingFileOffset = static_cast<int>(offset);
      reader->PendingDestination = buffer;
      reader->PendingLength = static_cast<int>(length);
    } else if (!ReadArchiveBytes(record, buffer, length, offset)) {
      return 0;
    }
  }
  reader->Position += static_cast<int>(length);
  reader->EndFlag = 0;
  return length;
}

int SeekFileInArchive(ArchiveEntryReader* reader, int offset, int origin) {
  if (reader->Archive == nullptr) return -1;
  FinishPendingRead(reader);
  const int64_t size = reader->Entry->Size;
  int64_t target;
  if (!SeekTarget(offset, origin, reader->Position, size, &target)) return -1;
  if (target < 0) target = 0;
  if (target > size) target = size;
  reader->Position = static_cast<int>(target);
  reader->EndFlag = 0;
  return 0;
}

int TellFileInArchive(ArchiveEntryReader* reader) {
  if (reader->Archive == nullptr) return -1;
  FinishPendingRead(reader);
  return reader->Position;
}

int EofFileInArchive(ArchiveEntryReader* reader) {
  if (reader->Archive == nullptr) return -1;
  FinishPendingRead(reader);
  return reader->EndFlag ? -1 : 0;
}

int CloseFileInArchive(ArchiveEntryReader* reader) {
  if (reader->Archive != nullptr) FinishPendingRead(reader);
  FreeTracked(reader->DecodedBuffer);
  FreeTracked(reader->CompressedBuffer);
  std::memset(reader, 0, sizeof *reader);
  return 0;
}
