#include "port/files/file_find.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "port/files/file_times.h"
#include "port/files/files.h"
#include "port/files/path_translate.h"
#include "port/kernel/last_error.h"

namespace {

// --- name matching ------------------------------------------------------------------------

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// One character: one byte, or a double-byte character's two.
struct NameUnit {
  char a;
  char b;
  int length;
};

std::vector<NameUnit> SplitUnits(const char* text) {
  std::vector<NameUnit> units;
  for (const char* p = text; *p;) {
    if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1]) {
      units.push_back({p[0], p[1], 2});
      p += 2;
    } else {
      units.push_back({p[0], 0, 1});
      p += 1;
    }
  }
  return units;
}

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool UnitsEqual(const NameUnit& x, const NameUnit& y) {
  if (x.length != y.length) return false;
  if (x.length == 2) return x.a == y.a && x.b == y.b;
  return FoldAscii(x.a) == FoldAscii(y.a);
}

bool IsDot(const NameUnit& u) { return u.length == 1 && u.a == '.'; }

// The pattern as Windows reads it: "?" matches one character, or none at a dot or the end;
// "*" before a dot stops short of the name's last dot; a dot before "?" or "*", or at the end,
// also matches the end of a name without an extension.
enum class TokenKind { Literal, Star, StarBeforeDot, QuestionMark, Dot };

struct Token {
  TokenKind kind;
  NameUnit unit;  // Literal only
};

std::vector<Token> ParsePattern(const char* pattern) {
  std::vector<Token> tokens;
  if (std::strcmp(pattern, "*.*") == 0) {
    tokens.push_back({TokenKind::Star, {}});
    return tokens;
  }
  std::vector<NameUnit> units = SplitUnits(pattern);
  for (size_t i = 0; i < units.size(); ++i) {
    const NameUnit& u = units[i];
    const NameUnit* next = i + 1 < units.size() ? &units[i + 1] : nullptr;
    bool nextIsWild = next && next->length == 1 && (next->a == '?' || next->a == '*');
    if (u.length == 1 && u.a == '?') {
      tokens.push_back({TokenKind::QuestionMark, {}});
    } else if (u.length == 1 && u.a == '*') {
      tokens.push_back({next && IsDot(*next) ? TokenKind::StarBeforeDot : TokenKind::Star, {}});
    } else if (IsDot(u) && (!next || nextIsWild)) {
      tokens.push_back({TokenKind::Dot, {}});
    } else {
      tokens.push_back({TokenKind::Literal, u});
    }
  }
  return tokens;
}

struct Matcher {
  const std::vector<Token>& tokens;
  const std::vector<NameUnit>& name;
  long lastDot;                    // index of the name's last dot, -1 without one
  std::vector<signed char> known;  // memo: -1 unknown, else the result

  bool Match(size_t t, size_t n) {
    signed char& memo = known[t * (name.size() + 1) + n];
    if (memo < 0) memo = Compute(t, n) ? 1 : 0;
    return memo == 1;
  }

  bool Compute(size_t t, size_t n) {
    size_t end = name.size();
    if (t == tokens.size()) return n == end;
    const Token& token = tokens[t];
    switch (token.kind) {
      case TokenKind::Literal:
        return n < end && UnitsEqual(token.unit, name[n]) && Match(t + 1, n + 1);
      case TokenKind::Star:
        for (size_t k = n; k <= end; ++k)
          if (Match(t + 1, k)) return true;
        return false;
      case TokenKind::StarBeforeDot:
        for (size_t k = n; k <= end; ++k) {
          if (Match(t + 1, k)) return true;
          if (static_cast<long>(k) == lastDot) break;  // never swallows the last dot
        }
        return false;
      case TokenKind::QuestionMark:
        if (n == end || IsDot(name[n])) {
          size_t after = t;
          while (after < tokens.size() && tokens[after].kind == TokenKind::QuestionMark) ++after;
          return Match(after, n);
        }
        return Match(t + 1, n + 1);
      case TokenKind::Dot:
        if (n < end && IsDot(name[n]) && Match(t + 1, n + 1)) return true;
        return n == end && Match(t + 1, n);
    }
    return false;
  }
};

// --- searches -------------------------------------------------------------------------------

struct FindEntry {
  std::string name;  // CP932
  WIN32_FIND_DATAA data;
};

struct FindState {
  std::vector<FindEntry> entries;
  size_t next;
};

std::mutex gFindMutex;
std::set<FindState*> gOpenFinds;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Splits at the last separator or drive colon (never inside a double-byte character).
void SplitPattern(const char* pattern, std::string* directory, std::string* name) {
  size_t cut = 0;  // length of the directory part, its separator included
  for (size_t i = 0; pattern[i];) {
    char c = pattern[i];
    if (IsSeparator(c) || c == ':') cut = i + 1;
    i += (IsLeadByte(static_cast<unsigned char>(c)) && pattern[i + 1]) ? 2 : 1;
  }
  directory->assign(pattern, cut);
  name->assign(pattern + cut);
}

std::string JoinHost(const std::string& directory, const std::string& name) {
  return directory == "/" ? "/" + name : directory + "/" + name;
}

void FillFindData(const std::string& hostPath, const std::string& name, WIN32_FIND_DATAA* data) {
  std::memset(data, 0, sizeof *data);
  std::memcpy(data->cFileName, name.c_str(), name.size() + 1);
  struct statx sx;
  bool haveStat = statx(AT_FDCWD, hostPath.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0 ||
                  statx(AT_FDCWD, hostPath.c_str(), AT_SYMLINK_NOFOLLOW,
                        STATX_BASIC_STATS | STATX_BTIME, &sx) == 0;
  if (!haveStat) {
    data->dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
    return;
  }
  bool directory = S_ISDIR(sx.stx_mode);
  data->dwFileAttributes = directory ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
  if (!(sx.stx_mode & S_IWUSR)) data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
  if (!directory) {
    data->nFileSizeLow = static_cast<DWORD>(sx.stx_size & 0xFFFFFFFFu);
    data->nFileSizeHigh = static_cast<DWORD>(sx.stx_size >> 32);
  }
  data->ftLastWriteTime = PortFileTimeFromUnix(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
  data->ftLastAccessTime = PortFileTimeFromUnix(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
  data->ftCreationTime = (sx.stx_mask & STATX_BTIME)
                             ? PortFileTimeFromUnix(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec)
                             : data->ftLastWriteTime;
}

// "." and ".." first, then the names in case-blind order (ties by their bytes).
bool ComesBefore(const FindEntry& x, const FindEntry& y) {
  auto rank = [](const std::string& n) { return n == "." ? 0 : n == ".." ? 1 : 2; };
  if (rank(x.name) != rank(y.name)) return rank(x.name) < rank(y.name);
  size_t n = std::min(x.name.size(), y.name.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char a = static_cast<unsigned char>(FoldAscii(x.name[i]));
    unsigned char b = static_cast<unsigned char>(FoldAscii(y.name[i]));
    if (a != b) return a < b;
  }
  if (x.name.size() != y.name.size()) return x.name.size() < y.name.size();
  return x.name < y.name;
}

}  // namespace

bool PortMatchFileName(const char* pattern, const char* name) {
  std::vector<Token> tokens = ParsePattern(pattern);
  std::vector<NameUnit> units = SplitUnits(name);
  long lastDot = -1;
  for (size_t i = 0; i < units.size(); ++i)
    if (IsDot(units[i])) lastDot = static_cast<long>(i);
  Matcher m{tokens, units, lastDot,
            std::vector<signed char>((tokens.size() + 1) * (units.size() + 1), -1)};
  return m.Match(0, 0);
}

HANDLE WINAPI FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findData) {
  if (!fileName || !findData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string directory, pattern;
  SplitPattern(fileName, &directory, &pattern);
  if (pattern.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (directory.empty() || directory.back() == ':') directory += ".";

  PortHostPath host;
  DWORD error = ERROR_PATH_NOT_FOUND;
  if (!PortTranslatePath(directory.c_str(), &host, &error)) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  DIR* dir = opendir(host.path.c_str());
  if (!dir) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  FindState* state = new FindState{{}, 0};
  bool root = host.path == "/";
  while (struct dirent* entry = readdir(dir)) {
    std::string hostName = entry->d_name;
    bool dots = hostName == "." || hostName == "..";
    if (root && dots) continue;  // a drive's root has neither
    std::string name;
    // A name that CP932 cannot spell cannot be opened through the port either.
    if (!PortUtf8ToCp932(hostName, &name) || name.size() >= MAX_PATH) continue;
    if (!PortMatchFileName(pattern.c_str(), name.c_str())) continue;
    FindEntry found;
    found.name = name;
    FillFindData(JoinHost(host.path, hostName), name, &found.data);
    state->entries.push_back(found);
  }
  closedir(dir);
  if (state->entries.empty()) {
    delete state;
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::sort(state->entries.begin(), state->entries.end(), ComesBefore);
  *findData = state->entries[0].data;
  state->next = 1;
  std::lock_guard lock(gFindMutex);
  gOpenFinds.insert(state);
  return state;
}

BOOL WINAPI FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findData) {
  std::lock_guard lock(gFindMutex);
  FindState* state = static_cast<FindState*>(findFile);
  if (!gOpenFinds.count(state) || !findData) {
    SetLastError(findData ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (state->next >= state->entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  *findData = state->entries[state->next++].data;
  return TRUE;
}

BOOL WINAPI FindClose(HANDLE findFile) {
  std::lock_guard lock(gFindMutex);
  FindState* state = static_cast<FindState*>(findFile);
  if (!gOpenFinds.erase(state)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete state;
  return TRUE;
}

int PortOpenFindCount() {
  std::lock_guard lock(gFindMutex);
  return static_cast<int>(gOpenFinds.size());
}
