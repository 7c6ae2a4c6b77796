// The current file function table, the calls that forward to it, and the file helpers built on
// it: text lines, full paths and temporary files.
#include "runtime/platform/files/file_functions.h"

#include <cstring>

#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/files/archive_file_functions.h"
#include "runtime/platform/files/win32_file.h"

namespace {

// The set that SetFileFunctionTable(null) installs. The current table starts with the same
// operations (listed there one by one so that it is filled before any code runs).
const FileFunctionTable* DefaultFileFunctions() { return &ArchiveFileFunctions; }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsLeadByte(const char* p) { return IsDoubleByteStart(p, CharSetMode) != 0; }

// A bounded string under construction; once something did not fit it stays failed.
struct PathBuilder {
  char* out;
  size_t capacity;  // bytes, the NUL included
  size_t length;
  bool overflow;
};

void Append(PathBuilder* b, const char* text, size_t n) {
  if (b->overflow) return;
  if (b->length + n + 1 > b->capacity) {
    b->overflow = true;
    return;
  }
  std::memcpy(b->out + b->length, text, n);
  b->length += n;
  b->out[b->length] = '\0';
}

void AppendComponent(PathBuilder* b, const char* component, size_t n) {
  Append(b, "\\", 1);
  Append(b, component, n);
}

// "..": drops the last component, never the drive (a colon stops the walk).
void RemoveLastComponent(PathBuilder* b) {
  if (b->overflow) return;
  long cut = -1;
  bool atColon = false;
  for (size_t i = 0; i < b->length;) {
    char c = b->out[i];
    if (IsSeparator(c) || c == ':') {
      cut = static_cast<long>(i);
      atColon = c == ':';
    }
    i += (IsLeadByte(b->out + i) && i + 1 < b->length) ? 2 : 1;
  }
  if (atColon) return;
  b->length = cut < 0 ? 0 : static_cast<size_t>(cut);
  b->out[b->length] = '\0';
}

// The length of text without one trailing separator (never the second byte of a character).
size_t LengthWithoutTrailingSeparator(const char* text) {
  size_t n = std::strlen(text);
  size_t last = n;  // start of the last character
  for (size_t i = 0; i < n;) {
    last = i;
    i += (IsLeadByte(text + i) && i + 1 < n) ? 2 : 1;
  }
  if (last < n && IsSeparator(text[last])) return last;
  return n;
}

// Reads the byte behind a CR that ended the bytes read, so that a CR LF split by the buffer
// edge still ends the line. True when it is LF (the file is then behind it); otherwise the
// file is put back at position.
bool NextByteIsLineFeed(FileHandle file, int position) {
  char next = 0;
  size_t got = ReadStreamFile(&next, 1, 1, file);
  while (IdleCheckStreamFile(file) == 0) Sleep(0);
  if (got == 1 && next == '\n') return true;
  if (got == 1) SeekStreamFile(file, position, 0);
  return false;
}

}  // namespace

FileFunctionTable CurrentFileFunctions = {
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

int SetFileFunctionTable(const FileFunctionTable* table) {
  CurrentFileFunctions = table ? *table : *DefaultFileFunctions();
  return 0;
}

FileHandle OpenStreamFile(const char* name, int cacheFlag, int blockFlag, int asyncFlag) {
  return CurrentFileFunctions.Open(name, cacheFlag, blockFlag, asyncFlag);
}
int CloseStreamFile(FileHandle file) { return CurrentFileFunctions.Close(file); }
int TellStreamFile(FileHandle file) { return CurrentFileFunctions.Tell(file); }
int SeekStreamFile(FileHandle file, int offset, int origin) {
  return CurrentFileFunctions.Seek(file, offset, origin);
}
size_t ReadStreamFile(void* buffer, size_t elementSize, size_t count, FileHandle file) {
  return CurrentFileFunctions.Read(buffer, elementSize, count, file);
}
int EofStreamFile(FileHandle file) { return CurrentFileFunctions.Eof(file); }
int IdleCheckStreamFile(FileHandle file) { return CurrentFileFunctions.IdleCheck(file); }

FileHandle OpenFileForRead(const char* name, int async) {
  return OpenStreamFile(name, 0, 1, async != 0 ? 1 : 0);
}

int ReadFileLine(char* buffer, int bufferSize, FileHandle file) {
  if (!buffer || bufferSize < 1) return -1;
  buffer[0] = '\0';
  if (bufferSize < 2 || EofStreamFile(file) != 0) return -1;

  int start = TellStreamFile(file);
  size_t got = ReadStreamFile(buffer, 1, static_cast<size_t>(bufferSize - 1), file);
  while (IdleCheckStreamFile(file) == 0) Sleep(0);
  if (got == 0) return -1;

  int n = static_cast<int>(got);
  int i = 0;
  while (i < n) {
    char c = buffer[i];
    // A NUL ends the line; the file stays behind everything read.
    if (c == '\0') break;
    if (IsLeadByte(buffer + i)) {
      if (i + 1 < n) {
        i += 2;
        continue;
      }
      // The second byte was not read: the character starts the next line. A lead byte that is
      // the only byte read (the file ends there) is taken alone, so that reading moves on.
      if (i > 0)
        SeekStreamFile(file, start + i, 0);
      else
        i = 1;
      break;
    }
    if (c == '\r') {
      if (i + 1 < n && buffer[i + 1] == '\n') {
        SeekStreamFile(file, start + i + 2, 0);
        break;
      }
      if (i + 1 == n && NextByteIsLineFeed(file, start + n)) break;
    }
    ++i;
  }
  buffer[i] = '\0';
  return i;
}

int MakeFullPath(const char* path, char* out, size_t outSize, const char* currentDirectory) {
  if (!out || outSize == 0) return -1;
  char fetched[260];
  if (!currentDirectory) {
    std::memset(fetched, 0, sizeof fetched);
    CurrentFileFunctions.GetDirectory(fetched);
    fetched[sizeof fetched - 1] = '\0';
    currentDirectory = fetched;
  }
  PathBuilder b = {out, outSize, 0, false};
  out[0] = '\0';

  const char* s = path;
  if (!s) {
    if (currentDirectory[0] == '\0') return -1;
    Append(&b, currentDirectory, std::strlen(currentDirectory));
  } else if (IsSeparator(s[0]) && IsSeparator(s[1])) {
    // A network path: each component adds its own backslash, which restores the second one.
    Append(&b, "\\", 1);
    s += 2;
  } else if (IsSeparator(s[0])) {
    if (std::strlen(currentDirectory) < 2) return -1;
    Append(&b, currentDirectory, 2);
    s += 1;
  } else if (s[0] != '\0' && s[1] == ':') {
    // A drive-relative path is taken from the drive's root.
    Append(&b, s, 2);
    s += 2;
    if (IsSeparator(*s)) ++s;
  } else {
    if (currentDirectory[0] == '\0') return -1;
    Append(&b, currentDirectory, LengthWithoutTrailingSeparator(currentDirectory));
  }

  if (s) {
    const char* component = s;
    for (;;) {
      const char* end = component;
      while (*end && !IsSeparator(*end)) end += (IsLeadByte(end) && end[1]) ? 2 : 1;
      size_t n = static_cast<size_t>(end - component);
      if (*end == '\0') {
        // The last component is kept as it stands, even "." or "..".
        if (n > 0) AppendComponent(&b, component, n);
        break;
      }
      if (n == 2 && component[0] == '.' && component[1] == '.') {
        RemoveLastComponent(&b);
      } else if (n > 0 && !(n == 1 && component[0] == '.')) {
        AppendComponent(&b, component, n);
      }
      component = end + 1;
    }
  }

  if (b.overflow) {
    out[0] = '\0';
    return -1;
  }
  return 0;
}

HANDLE OpenTempFile(char* pathOut) {
  char directory[260];
  DWORD n = GetTempPathA(256, directory);
  if (n == 0 || n >= 256) return nullptr;
  if (LengthWithoutTrailingSeparator(directory) == n) {
    directory[n] = '\\';
    directory[n + 1] = '\0';
  }
  char name[MAX_PATH];
  if (GetTempFileNameA(directory, "tmp", 0, name) == 0) return nullptr;

  char full[MAX_PATH];
  if (MakeFullPath(name, full, sizeof full, nullptr) != 0) {
    DeleteFileA(name);
    return nullptr;
  }
  // The name was created by the platform; make it again as a file of our own, for writing.
  DeleteFileA(full);
  HANDLE file =
      CreateFileA(full, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  if (pathOut) std::strcpy(pathOut, full);
  return file;
}
