#include "port/files/temp_files.h"

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "port/files/files.h"
#include "port/files/path_translate.h"
#include "port/kernel/last_error.h"

namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// True when the last character (not the second byte of a double-byte one) is a separator.
bool EndsWithSeparator(const std::string& text) {
  size_t last = text.size();
  for (size_t i = 0; i < text.size();) {
    last = i;
    i += (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
  }
  return last < text.size() && (text[last] == '\\' || text[last] == '/');
}

bool IsDirectory(const char* hostPath) {
  struct stat st;
  return stat(hostPath, &st) == 0 && S_ISDIR(st.st_mode);
}

// Where the next search for a free number starts: it moves on with every name handed out, so
// that names made one after the other are tried first where none was made yet.
std::atomic<unsigned> gNextUnique{0};

unsigned StartingUnique() {
  unsigned start = gNextUnique.load();
  if (start == 0) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    unsigned seed =
        static_cast<unsigned>(now.tv_nsec / 1000) ^ (static_cast<unsigned>(getpid()) << 4);
    unsigned expected = 0;
    gNextUnique.compare_exchange_strong(expected, seed | 0x10000u);
    start = gNextUnique.load();
  }
  return start;
}

}  // namespace

DWORD WINAPI GetTempPathA(DWORD bufferLength, LPSTR buffer) {
  const char* env = std::getenv("TMPDIR");
  std::string host = (env && env[0] == '/' && IsDirectory(env)) ? env : "/tmp";
  while (host.size() > 1 && host.back() == '/') host.pop_back();
  std::string path;
  if (!PortHostToWindowsPath(host, &path)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  if (!EndsWithSeparator(path)) path += '\\';
  DWORD length = static_cast<DWORD>(path.size());
  if (!buffer || bufferLength < length + 1) return length + 1;
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return length;
}

UINT WINAPI GetTempFileNameA(LPCSTR pathName, LPCSTR prefix, UINT unique, LPSTR tempFileName) {
  if (!pathName || !tempFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string base = pathName;
  if (!base.empty() && !EndsWithSeparator(base)) base += '\\';
  // At most three characters of the prefix, a double-byte character counting as one.
  if (prefix) {
    for (int characters = 0; *prefix && characters < 3; ++characters) {
      bool wide = IsLeadByte(static_cast<unsigned char>(*prefix)) && prefix[1];
      base.append(prefix, wide ? 2 : 1);
      prefix += wide ? 2 : 1;
    }
  }
  const size_t kNumberAndExtension = 8;  // "XXXX.TMP"
  if (base.size() + kNumberAndExtension + 1 > MAX_PATH) {
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return 0;
  }
  auto form = [&](unsigned number) {
    std::snprintf(tempFileName, MAX_PATH, "%s%04X.TMP", base.c_str(), number & 0xFFFFu);
  };
  if (unique != 0) {
    form(unique);
    return unique;
  }

  unsigned start = StartingUnique();
  for (unsigned attempt = 0; attempt < 0x10000u; ++attempt) {
    unsigned number = (start + attempt) & 0xFFFFu;
    if (number == 0) continue;
    form(number);
    HANDLE file = CreateFileA(tempFileName, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      gNextUnique.store(((number + 1) & 0xFFFFu) | 0x10000u);
      return number;
    }
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      tempFileName[0] = '\0';
      return 0;
    }
  }
  tempFileName[0] = '\0';
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}
