#include "runtime/platform/core/log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "port/win32.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/core/lasting_lock.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/startup/runtime_libraries.h"

namespace {

constexpr size_t kPathBytes = 260;
constexpr size_t kLocalConversionBytes = 256;
constexpr size_t kLocalFormatBytes = 1024;

struct LogState {
  int logOff = 0;
  char directory[kPathBytes] = {};
  char fileName[kPathBytes] = {};
  int dateName = 0;
  int indentLevel = 0;
  int midLine = 0;
  DWORD startTime = 0;
  DWORD(WINAPI* clock)() = nullptr;
};

LogState gLog;

// One writer at a time, so that a stamp, its indentation and its text stay together and the
// mid-line state is never read half-way through another thread's write.
struct LogLockTag;
using LogGuard = LastingLockGuard<LogLockTag>;

// The multimedia timer of the run-time libraries, unless a test set a clock. Before the
// libraries are loaded, and after they are freed, there is no clock and every stamp reads 0.
DWORD Now() {
  if (gLog.clock) return gLog.clock();
  DWORD(WINAPI* const timeGetTime)() = RuntimeLibraries.winmm.timeGetTime;
  return timeGetTime ? timeGetTime() : gLog.startTime;
}

// 1 when the text's last character (not the second byte of a double-byte one) is a backslash.
bool EndsWithBackslash(const char* text) {
  const char* last = nullptr;
  for (const char* p = text; *p;) {
    last = p;
    p += (IsDoubleByteStart(p, CharSetMode) && p[1] != '\0') ? 2 : 1;
  }
  return last && *last == '\\';
}

// The log file's full path; false when there is no directory yet.
bool LogPath(char (&path)[kPathBytes * 2]) {
  if (gLog.directory[0] == '\0' || gLog.fileName[0] == '\0') return false;
  std::snprintf(path, sizeof(path), "%s%s%s", gLog.directory,
                EndsWithBackslash(gLog.directory) ? "" : "\\", gLog.fileName);
  return true;
}

// Bytes the CR LF conversion needs, terminator included.
size_t ConvertedSize(const char* text) {
  size_t size = 1;
  for (const char* p = text; *p;) {
    if (IsDoubleByteStart(p, CharSetMode) && p[1] != '\0') {
      size += 2;
      p += 2;
      continue;
    }
    if (*p == '\n') {
      if (p != text && p[-1] == '\r') return size + std::strlen(p);
      ++size;  // the CR put in front
    }
    ++size;
    ++p;
  }
  return size;
}

// A line feed that does not follow a carriage return becomes CR LF; at the first one that
// already does, the rest of the text is copied unchanged. Returns the converted length.
size_t ConvertLineEnds(const char* text, char* out) {
  char* o = out;
  for (const char* p = text; *p;) {
    if (IsDoubleByteStart(p, CharSetMode) && p[1] != '\0') {
      *o++ = *p++;
      *o++ = *p++;
      continue;
    }
    if (*p == '\n') {
      if (p != text && p[-1] == '\r') {
        size_t rest = std::strlen(p);
        std::memcpy(o, p, rest + 1);
        return static_cast<size_t>(o - out) + rest;
      }
      *o++ = '\r';
    }
    *o++ = *p++;
  }
  *o = '\0';
  return static_cast<size_t>(o - out);
}

void WritePiece(HANDLE file, const char* piece, size_t length) {
  DWORD written = 0;
  WriteFile(file, piece, static_cast<DWORD>(length), &written, nullptr);
  OutputDebugStringA(piece);
}

// Appends converted text to the log file under the log's lock: opens the file at its end, writes
// the stamp and indent when a new line starts, the text, and keeps the mid-line state.
void AppendConverted(const char* converted, size_t length) {
  if (length == 0) return;  // nothing to write, and no stamp for it either
  LogGuard guard;
  char path[kPathBytes * 2];
  if (gLog.logOff || !LogPath(path)) return;
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  SetFilePointer(file, 0, nullptr, FILE_END);
  if (gLog.midLine == 0) {
    char stamp[16];
    int n = std::snprintf(stamp, sizeof(stamp), "%d:", static_cast<int>(Now() - gLog.startTime));
    WritePiece(file, stamp, static_cast<size_t>(n));
    if (gLog.indentLevel > 0) {
      char tabs[64];
      int count = gLog.indentLevel < 63 ? gLog.indentLevel : 63;
      std::memset(tabs, '\t', static_cast<size_t>(count));
      tabs[count] = '\0';
      WritePiece(file, tabs, static_cast<size_t>(count));
    }
  }
  WritePiece(file, converted, length);
  gLog.midLine = converted[length - 1] != '\n' ? 1 : 0;
  CloseHandle(file);
}

}  // namespace

int StartLogFile() {
  LogGuard guard;
  if (gLog.logOff) return 0;
  if (gLog.dateName) {
    int now[6];
    GetLocalDateTime(now);
    std::snprintf(gLog.fileName, sizeof(gLog.fileName), "Log%d_%d_%d_%d_%d_%d.txt", now[0], now[1],
                  now[2], now[3], now[4], now[5]);
  } else {
    CopyText(gLog.fileName, "Log.txt");
  }
  char path[kPathBytes * 2];
  if (LogPath(path)) {
    DeleteFileA(path);
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  gLog.indentLevel = 0;
  gLog.midLine = 0;
  gLog.startTime = Now();
  return 0;
}

int WriteLogText(const char* text) {
  if (!text) return -1;
  // The conversion runs before the log's lock is taken: a long text borrows a tracked block,
  // and the tracked heap itself writes to the log while holding its own lock.
  const size_t needed = ConvertedSize(text);
  char local[kLocalConversionBytes];
  char* converted = local;
  if (needed > sizeof(local)) {
    converted = static_cast<char*>(AllocTracked(needed, nullptr, -1));
    if (!converted) return -1;
  }
  size_t length = ConvertLineEnds(text, converted);
  AppendConverted(converted, length);
  if (converted != local) FreeTracked(converted);
  return -1;
}

int PutLogText(const char* text) { return WriteLogText(text); }

int LogPrintf(const char* format, ...) {
  char local[kLocalFormatBytes];
  va_list args;
  va_start(args, format);
  int length = std::vsnprintf(local, sizeof(local) - 1, format, args);
  va_end(args);
  if (length < 0) return -1;
  if (static_cast<size_t>(length) < sizeof(local) - 1) {
    local[length] = '\n';
    local[length + 1] = '\0';
    return WriteLogText(local);
  }
  // Longer than the local buffer: format again into a block of the real length.
  char* text = static_cast<char*>(AllocTracked(static_cast<size_t>(length) + 2, nullptr, -1));
  if (!text) return -1;
  va_start(args, format);
  std::vsnprintf(text, static_cast<size_t>(length) + 1, format, args);
  va_end(args);
  text[length] = '\n';
  text[length + 1] = '\0';
  int result = WriteLogText(text);
  FreeTracked(text);
  return result;
}

int LogIndentIn() {
  LogGuard guard;
  ++gLog.indentLevel;
  return 0;
}

int LogIndentOut() {
  LogGuard guard;
  if (gLog.indentLevel > 0) --gLog.indentLevel;
  return 0;
}

int SetLogOutput(int flag) {
  LogGuard guard;
  gLog.logOff = flag == 0 ? 1 : 0;
  return 0;
}

int SetLogDirectory(const char* directory) {
  if (!directory || std::strlen(directory) >= kPathBytes) return -1;
  LogGuard guard;
  CopyText(gLog.directory, directory);
  return 0;
}

const char* GetLogDirectory() { return gLog.directory; }

void SetLogClock(DWORD(WINAPI* clock)()) {
  LogGuard guard;
  gLog.clock = clock;
}

void SetLogDateFileName(int flag) {
  LogGuard guard;
  gLog.dateName = flag;
}

const char* GetLogFileName() { return gLog.fileName; }
