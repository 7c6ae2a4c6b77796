#include "runtime/platform/files/archive_file_functions.h"

#include <cstring>

#include "port/win32.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/win32_file.h"

namespace {

ArchiveSlot* ArchiveSlots[ARCHIVE_SLOT_MAX];
int ArchiveSlotCount;
ArchiveFileRecord* ArchiveFiles[ARCHIVE_FILE_MAX];
int ArchiveFileCount;

// The last archive found: its path, the length of the directory prefix it serves, its slot.
struct ArchivePathCache {
  char Path[ARCHIVE_PATH_MAX];
  size_t PrefixLength;
  int Index;
};
ArchivePathCache PathCache;
ArchiveFindHandle* LiveFinds;

ArchiveFindHandle* LiveFind(FindHandle handle) {
  for (ArchiveFindHandle* h = LiveFinds; h != nullptr; h = h->Next)
    if (reinterpret_cast<FindHandle>(h) == handle) return h;
  return nullptr;
}

constexpr size_t kFullPathMax = 1024;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

void DropArchiveReference(int index) {
  if (index < 0 || index >= ARCHIVE_SLOT_MAX || ArchiveSlots[index] == nullptr) return;
  if (ArchiveSlots[index]->RefCount > 0) --ArchiveSlots[index]->RefCount;
}

void SweepUnusedArchives() {
  for (int i = 0; i < ARCHIVE_SLOT_MAX; ++i) {
    ArchiveSlot* slot = ArchiveSlots[i];
    if (slot == nullptr || slot->RefCount > 0) continue;
    CloseArchive(&slot->Archive);
    FreeTracked(slot);
    ArchiveSlots[i] = nullptr;
    --ArchiveSlotCount;
  }
}

// The slot holding the archive at path, opened on first use. -1 when it cannot be opened (the
// slot taken for it is left empty, so the caller can try its next candidate).
int OpenOrReuseArchive(int hint, const char* path) {
  if (hint >= 0 && hint < ARCHIVE_SLOT_MAX && ArchiveSlots[hint] != nullptr &&
      std::strcmp(ArchiveSlots[hint]->Path, path) == 0) {
    ++ArchiveSlots[hint]->RefCount;
    return hint;
  }
  for (int i = 0, seen = 0; i < ARCHIVE_SLOT_MAX && seen < ArchiveSlotCount; ++i) {
    if (ArchiveSlots[i] == nullptr) continue;
    ++seen;
    if (std::strcmp(ArchiveSlots[i]->Path, path) == 0) {
      ++ArchiveSlots[i]->RefCount;
      return i;
    }
  }
  if (ArchiveSlotCount >= ARCHIVE_SLOT_MAX) {
    SweepUnusedArchives();
    if (ArchiveSlotCount >= ARCHIVE_SLOT_MAX) return -1;
  }
  // The last free slot before the last used one, else the first free slot after them.
  int freeSlot = -1, i = 0;
  for (int seen = 0; i < ARCHIVE_SLOT_MAX && seen < ArchiveSlotCount; ++i) {
    if (ArchiveSlots[i] != nullptr)
      ++seen;
    else
      freeSlot = i;
  }
  if (freeSlot < 0) freeSlot = i;

  ArchiveSlot* slot =
      static_cast<ArchiveSlot*>(AllocTracked(sizeof(ArchiveSlot), __FILE__, __LINE__));
  if (slot == nullptr) return -1;
  std::memset(slot, 0, sizeof *slot);
  if (OpenArchiveFile(&slot->Archive, path, nullptr) != 0) {
    FreeTracked(slot);
    return -1;
  }
  slot->RefCount = 1;
  std::strcpy(slot->Path, path);  // the caller checked it fits
  ArchiveSlots[freeSlot] = slot;
  ++ArchiveSlotCount;
  return freeSlot;
}

ArchiveFileRecord* FileRecordOf(FileHandle file) {
  uintptr_t v = static_cast<uintptr_t>(file);
  if ((v & ~uintptr_t{0x0FFFFFFF}) != ARCHIVE_FILE_HANDLE_TAG) return nullptr;
  uintptr_t slot = v & 0x0FFFFFFF;
  if (slot >= ARCHIVE_FILE_MAX) return nullptr;
  return ArchiveFiles[slot];
}

// Copies text into a fixed field; false when it does not fit.
bool CopyBounded(char* dst, size_t dstSize, const char* src, size_t length) {
  if (length >= dstSize) return false;
  std::memcpy(dst, src, length);
  dst[length] = '\0';
  return true;
}

void UpperCaseArchiveText(char* text, int charSet) {
  for (uint8_t* p = reinterpret_cast<uint8_t*>(text); *p; ++p) {
    if (IsArchiveLeadByte(charSet, *p) && p[1] != 0)
      ++p;
    else if (*p >= 'a' && *p <= 'z')
      *p = static_cast<uint8_t>(*p - 'a' + 'A');
  }
}

// The name an entry is matched by: its key form, which ends at the key's first NUL.
bool EntryKeyText(const ArchiveRecord* record, const ArchiveEntry* entry, char* out,
                  size_t outSize) {
  const char* name = GetArchiveEntryName(record, entry);
  if (name == nullptr) return false;
  const uint8_t* rec = record->NameTable + entry->NameOffset;
  uint16_t words;
  std::memcpy(&words, rec, 2);
  const char* key = reinterpret_cast<const char*>(rec + 4);
  size_t length = strnlen(key, static_cast<size_t>(words) * 4);
  return CopyBounded(out, outSize, key, length);
}

void ClearFindInfo(FileFindInfo* info) { std::memset(info, 0, sizeof *info); }

int FindNextArchiveEntry(ArchiveFindState* state, FileFindInfo* info) {
  const ArchiveRecord* record = state->Archive;
  const ArchiveDirectoryRecord* dir = state->Directory;
  const int firstEntry = dir->ParentOffset == kArchiveNoParent ? 1 : 2;
  const int last =
      firstEntry + static_cast<int>(dir->EntryCount > 0x7FFFFFF ? 0x7FFFFFF : dir->EntryCount);
  for (int index = state->Index; index < last; ++index) {
    if (index < firstEntry) {
      const char* dots = index == 0 ? "." : "..";
      if (MatchArchivePattern(dots, state->Pattern, record->CharSet) != 0) continue;
      if (info) {
        ClearFindInfo(info);
        std::strcpy(info->Name, dots);
        info->DirFlag = 1;
      }
      state->Index = index;
      return 0;
    }
    const ArchiveEntry* entry =
        GetArchiveDirectoryEntry(record, dir, static_cast<uint32_t>(index - firstEntry));
    if (entry == nullptr) return -1;  // the directory's entries do not fit: nothing to list
    char key[kArchiveNameKeyMax];
    const char* name = GetArchiveEntryName(record, entry);
    // A stored name that the find record cannot hold is not reported.
    if (name == nullptr || std::strlen(name) >= sizeof info->Name) continue;
    if (!EntryKeyText(record, entry, key, sizeof key)) continue;
    if (MatchArchivePattern(key, state->Pattern, record->CharSet) != 0) continue;
    if (info) {
      ClearFindInfo(info);
      std::strcpy(info->Name, name);
      info->DirFlag = (entry->Attributes & kArchiveDirectoryAttribute) ? 1 : 0;
      info->SizeLow = entry->Size;
      info->SizeHigh = 0;
      FILETIME created = entry->CreationTime, written = entry->LastWriteTime;
      FileTimeToDateRecord(&created, &info->CreationTime);
      FileTimeToDateRecord(&written, &info->LastWriteTime);
    }
    state->Index = index;
    return 0;
  }
  return -1;
}

// Starts a find inside an archive; pattern is relative to its root. Null when nothing matches.
ArchiveFindState* FindFirstArchiveEntry(ArchiveRecord* record, const char* pattern,
                                        FileFindInfo* info) {
  // Split at the last separator or colon, double-byte aware.
  const char* split = nullptr;
  for (const uint8_t* p = reinterpret_cast<const uint8_t*>(pattern); *p; ++p) {
    if (IsArchiveLeadByte(record->CharSet, *p) && p[1] != 0)
      ++p;
    else if (IsSeparator(static_cast<char>(*p)) || *p == ':')
      split = reinterpret_cast<const char*>(p);
  }
  const char* filePattern = split ? split + 1 : pattern;
  char directory[kFullPathMax];
  if (!CopyBounded(directory, sizeof directory, pattern,
                   split ? static_cast<size_t>(split - pattern) : 0))
    return nullptr;
  ArchiveFindState* state =
      static_cast<ArchiveFindState*>(AllocTracked(sizeof(ArchiveFindState), __FILE__, __LINE__));
  if (state == nullptr) return nullptr;
  std::memset(state, 0, sizeof *state);
  state->Archive = record;
  if (!CopyBounded(state->Pattern, sizeof state->Pattern, filePattern, std::strlen(filePattern))) {
    FreeTracked(state);
    return nullptr;
  }
  UpperCaseArchiveText(state->Pattern, record->CharSet);
  UpperCaseArchiveText(directory, record->CharSet);

  const ArchiveDirectoryRecord* saved = record->CurrentDirectory;
  int walked = 0;
  // A pattern such as "\*" splits at its leading separator: the root.
  if (split != nullptr)
    walked = ChangeArchiveDirectory(record, directory[0] ? directory : "\\", 0, nullptr);
  state->Directory = record->CurrentDirectory;
  record->CurrentDirectory = saved;
  if (walked != 0 || FindNextArchiveEntry(state, info) != 0) {
    FreeTracked(state);
    return nullptr;
  }
  ++state->Index;
  return state;
}

}  // namespace

int MakeArchiveFullPath(const char* name, char* out, size_t outSize) {
  char current[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(sizeof current, current);
  if (length == 0 || length >= sizeof current) return -1;
  UpperCaseText(current);
  if (MakeFullPath(name, out, outSize, current) != 0) return -1;
  UpperCaseText(out);
  return 0;
}

int FindArchiveForPath(const char* name, char* restBuffer, size_t restSize, const char** rest) {
  char full[kFullPathMax];
  if (MakeArchiveFullPath(name, full, sizeof full) != 0) return -1;
  size_t fullLength = std::strlen(full);

  const size_t cached = PathCache.PrefixLength;
  if (cached > 0 && fullLength > cached && std::strncmp(full, PathCache.Path, cached) == 0 &&
      IsSeparator(full[cached])) {
    int index = OpenOrReuseArchive(PathCache.Index, PathCache.Path);
    if (index < 0) return -1;
    if (!CopyBounded(restBuffer, restSize, full + cached + 1, fullLength - cached - 1)) {
      DropArchiveReference(index);
      return -1;
    }
    *rest = restBuffer;
    return index;
  }

  // Try each leading directory in turn, outermost first: "C:.ARC", "C:\GAME.ARC", ...
  size_t pos = 0;
  if (full[0] == '\\' && full[1] == '\\') pos = 2;
  for (;;) {
    size_t end = pos;
    while (full[end] != '\0' && !IsSeparator(full[end]))
      end += IsDoubleByteStart(full + end, CharSetMode) && full[end + 1] != '\0' ? 2 : 1;
    if (full[end] == '\0' || end == pos) return -1;
    char candidate[ARCHIVE_PATH_MAX];
    // A candidate too long for the archive table counts as no archive.
    if (end + 4 < sizeof candidate) {
      std::memcpy(candidate, full, end);
      std::memcpy(candidate + end, ".ARC", 5);
      int index = OpenOrReuseArchive(-1, candidate);
      if (index >= 0) {
        if (!CopyBounded(restBuffer, restSize, full + end + 1, fullLength - end - 1)) {
          DropArchiveReference(index);
          return -1;
        }
        std::strcpy(PathCache.Path, candidate);
        PathCache.PrefixLength = end;
        PathCache.Index = index;
        *rest = restBuffer;
        return index;
      }
    }
    pos = end + 1;
  }
}

int MatchArchivePattern(const char* name, const char* pattern, int charSet) {
  const uint8_t* n = reinterpret_cast<const uint8_t*>(name);
  const uint8_t* p = reinterpret_cast<const uint8_t*>(pattern);
  for (;;) {
    if (*p == 0 && *n == 0) return 0;
    if (IsArchiveLeadByte(charSet, *p) && p[1] != 0) {
      if (n[0] != p[0] || n[1] != p[1]) return -1;
      n += 2;
      p += 2;
    } else if (*p == '*') {
      while (*p == '*') ++p;
      if (*p == 0) return 0;
      // No backtracking: the first occurrence of the next byte is the only one tried.
      while (*n != 0 && *n != *p) ++n;
      if (*n == 0) return -1;
      ++n;
      ++p;
    } else if (*p == '?') {
      if (*n == 0) return -1;
      ++n;
      ++p;
    } else {
      if (*p != *n) return -1;
      ++n;
      ++p;
    }
    if ((*n == 0) != (*p == 0)) return -1;
  }
}

FileHandle OpenFileWithArchive(const char* name, int cacheFlag, int /*blockFlag*/, int asyncFlag) {
  if (ArchiveFileCount >= ARCHIVE_FILE_MAX) {
    WriteLogText("同時に開けるファイルの数が限界を超えました\n");
    return 0;
  }
  int slot = 0;
  while (ArchiveFiles[slot] != nullptr) ++slot;
  ArchiveFileRecord* rec =
      static_cast<ArchiveFileRecord*>(AllocTracked(sizeof(ArchiveFileRecord), __FILE__, __LINE__));
  if (rec == nullptr) {
    WriteLogText("ファイルの情報を格納するメモリの確保に失敗しました\n");
    return 0;
  }
  std::memset(rec, 0, sizeof *rec);

  char restBuffer[kFullPathMax];
  const char* rest = nullptr;
  int index = FindArchiveForPath(name, restBuffer, sizeof restBuffer, &rest);
  if (index < 0) {
    rec->PlainFile = OpenWin32File(name, cacheFlag, 1, asyncFlag);
    if (rec->PlainFile == 0) {
      FreeTracked(rec);
      return 0;
    }
  } else {
    // Under an archive's directory only the archive counts: the plain file is not tried.
    if (OpenFileInArchive(&rec->Reader, &ArchiveSlots[index]->Archive, rest, asyncFlag) != 0) {
      DropArchiveReference(index);
      FreeTracked(rec);
      return 0;
    }
    rec->InArchive = 1;
    rec->ArchiveIndex = index;
  }
  ArchiveFiles[slot] = rec;
  ++ArchiveFileCount;
  return static_cast<FileHandle>(static_cast<uintptr_t>(slot) | ARCHIVE_FILE_HANDLE_TAG);
}

int CloseFileWithArchive(FileHandle file) {
  ArchiveFileRecord* rec = FileRecordOf(file);
  if (rec == nullptr) return -1;
  if (rec->InArchive) {
    DropArchiveReference(rec->ArchiveIndex);
    CloseFileInArchive(&rec->Reader);
  } else {
    CloseWin32File(rec->PlainFile);
  }
  FreeTracked(rec);
  ArchiveFiles[static_cast<uintptr_t>(file) & 0x0FFFFFFF] = nullptr;
  --ArchiveFileCount;
  return 0;
}

int TellFileWithArchive(FileHandle file) {
  ArchiveFileRecord* rec = FileRecordOf(file);
  if (rec == nullptr) return -1;
  return rec->InArchive ? TellFileInArchive(&rec->Reader) : TellWin32File(rec->PlainFile);
}

int SeekFileWithArchive(FileHandle file, int offset, int origin) {
  ArchiveFileRecord* rec = FileRecordOf(file);
  if (rec == nullptr) return -1;
  return rec->InArchive ? SeekFileInArchive(&rec->Reader, offset, origin)
                        : SeekWin32File(rec->PlainFile, offset, origin);
}

size_t ReadFileWithArchive(void* buffer, size_t elementSize, size_t count, FileHandle file) {
  ArchiveFileRecord* rec = FileRecordOf(file);
  if (rec == nullptr) return 0;
  if (!rec->InArchive) return ReadWin32File(buffer, elementSize, count, rec->PlainFile);
  if (elementSize == 0 || count == 0) return 0;
  // An archived file is at most INT_MAX bytes, so an overflowing request means "all of it".
  size_t bytes = count > SIZE_MAX / elementSize ? SIZE_MAX : count * elementSize;
  return ReadFileInArchive(&rec->Reader, buffer, bytes) / elementSize;
}

int EofFileWithArchive(FileHandle file) {
  ArchiveFileRecord* rec = FileRecordOf(file);
  if (rec == nullptr) return -1;
  return rec->InArchive ? EofFileInArchive(&rec->Reader) : EofWin32File(rec->PlainFile);
}

int IdleCheckFileWithArchive(FileHandle file) {
  ArchiveFileRecord* rec = FileRecordOf(file);
  if (rec == nullptr) return -1;
  return rec->InArchive ? CompleteArchivedRead(&rec->Reader) : IdleCheckWin32File(rec->PlainFile);
}

int SetCurrentDirectoryWithArchive(const char* path) { return SetCurrentDirectoryA(path) ? 0 : -1; }

int GetCurrentDirectoryWithArchive(char* buffer) {
  DWORD length = GetCurrentDirectoryA(ARCHIVE_PATH_MAX, buffer);
  if (length == 0 || length >= ARCHIVE_PATH_MAX) {
    buffer[0] = '\0';
    return -1;
  }
  return 0;
}

FindHandle FindFirstWithArchive(const char* pattern, FileFindInfo* info) {
  ArchiveFindHandle* h =
      static_cast<ArchiveFindHandle*>(AllocTracked(sizeof(ArchiveFindHandle), __FILE__, __LINE__));
  if (h == nullptr) return -1;
  std::memset(h, 0, sizeof *h);
  char restBuffer[kFullPathMax];
  const char* rest = nullptr;
  int index = FindArchiveForPath(pattern, restBuffer, sizeof restBuffer, &rest);
  if (index < 0) {
    h->PlatformFind = FindFirstWin32File(pattern, info);
    if (h->PlatformFind == -1) {
      FreeTracked(h);
      return -1;
    }
  } else {
    h->State = FindFirstArchiveEntry(&ArchiveSlots[index]->Archive, rest, info);
    if (h->State == nullptr) {
      DropArchiveReference(index);
      FreeTracked(h);
      return -1;
    }
    h->InArchive = 1;
    h->ArchiveIndex = index;
  }
  h->Next = LiveFinds;
  LiveFinds = h;
  return reinterpret_cast<FindHandle>(h);
}

int FindNextWithArchive(FindHandle handle, FileFindInfo* info) {
  ArchiveFindHandle* h = LiveFind(handle);
  if (h == nullptr) return -1;
  if (!h->InArchive) return FindNextWin32File(h->PlatformFind, info);
  if (FindNextArchiveEntry(h->State, info) != 0) return -1;
  ++h->State->Index;
  return 0;
}

int FindCloseWithArchive(FindHandle handle) {
  ArchiveFindHandle* h = LiveFind(handle);
  if (h == nullptr) return -1;
  for (ArchiveFindHandle** link = &LiveFinds; *link != nullptr; link = &(*link)->Next) {
    if (*link == h) {
      *link = h->Next;
      break;
    }
  }
  if (h->InArchive) {
    FreeTracked(h->State);
    DropArchiveReference(h->ArchiveIndex);
  } else {
    FindCloseWin32File(h->PlatformFind);
  }
  FreeTracked(h);
  return 0;
}

int CloseUnusedArchives() {
  SweepUnusedArchives();
  return 0;
}

const ArchiveSlot* GetArchiveSlot(int index) {
  return index >= 0 && index < ARCHIVE_SLOT_MAX ? ArchiveSlots[index] : nullptr;
}

int GetArchiveSlotCount() { return ArchiveSlotCount; }

const FileFunctionTable ArchiveFileFunctions = {
    OpenFileWithArchive,
    CloseFileWithArchive,
    TellFileWithArchive,
    SeekFileWithArchive,
    ReadFileWithArchive,
    EofFileWithArchive,
    IdleCheckFileWithArchive,
    SetCurrentDirectoryWithArchive,
    GetCurrentDirectoryWithArchive,
    FindFirstWithArchive,
    FindNextWithArchive,
    FindCloseWithArchive,
};
