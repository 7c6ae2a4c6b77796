#include "port/files/path_translate.h"

#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "port/kernel/last_error.h"

namespace {

bool Convert(const char* from, const char* to, const char* input, size_t length, std::string* out) {
  out->clear();
  if (length == 0) return true;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string result(length * 4 + 8, '\0');
  char* in = const_cast<char*>(input);
  size_t inLeft = length;
  char* outPtr = result.data();
  size_t outLeft = result.size();
  size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1) || inLeft != 0) return false;
  result.resize(result.size() - outLeft);
  *out = std::move(result);
  return true;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(const char* a, const std::string& b) {
  size_t i = 0;
  for (; a[i] && i < b.size(); ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  return a[i] == '\0' && i == b.size();
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Join(const std::string& directory, const std::string& name) {
  return directory == "/" ? "/" + name : directory + "/" + name;
}

// The entry of the directory whose name matches without regard to case; the smallest such name
// when there are several, so the choice does not depend on the directory's order.
bool FindCaseInsensitive(const std::string& directory, const std::string& name,
                         std::string* found) {
  DIR* dir = opendir(directory.c_str());
  if (!dir) return false;
  bool any = false;
  while (struct dirent* entry = readdir(dir)) {
    if (!EqualsIgnoringAsciiCase(entry->d_name, name)) continue;
    if (!any || std::strcmp(entry->d_name, found->c_str()) < 0) *found = entry->d_name;
    any = true;
  }
  closedir(dir);
  return any;
}

}  // namespace

bool PortCp932ToUtf8(const char* text, std::string* out) {
  return Convert("CP932", "UTF-8", text, std::strlen(text), out);
}

bool PortUtf8ToCp932(const std::string& text, std::string* out) {
  return Convert("UTF-8", "CP932", text.data(), text.size(), out);
}

bool PortTranslatePath(const char* windowsPath, PortHostPath* out, DWORD* error) {
  std::string utf8;
  if (!windowsPath || !*windowsPath || !PortCp932ToUtf8(windowsPath, &utf8)) {
    *error = ERROR_INVALID_NAME;
    return false;
  }

  // Where the path starts: the drive root, or the current directory.
  size_t pos = 0;
  bool fromRoot = false;
  if (utf8.size() >= 2 && utf8[1] == ':') {
    if (FoldAscii(utf8[0]) != 'z') {
      *error = ERROR_PATH_NOT_FOUND;  // only drive Z: exists
      return false;
    }
    pos = 2;
    if (pos < utf8.size() && IsSeparator(utf8[pos])) fromRoot = true;
  } else if (utf8.size() >= 2 && IsSeparator(utf8[0]) && IsSeparator(utf8[1])) {
    *error = ERROR_PATH_NOT_FOUND;  // network paths lead nowhere here
    return false;
  } else if (IsSeparator(utf8[0])) {
    fromRoot = true;
  }

  std::vector<std::string> components;
  if (!fromRoot) {
    char* cwd = getcwd(nullptr, 0);
    if (!cwd) {
      *error = ERROR_PATH_NOT_FOUND;
      return false;
    }
    std::string current = cwd;
    free(cwd);
    size_t start = 1;
    while (start < current.size()) {
      size_t end = current.find('/', start);
      if (end == std::string::npos) end = current.size();
      if (end > start) components.push_back(current.substr(start, end - start));
      start = end + 1;
    }
  }

  // "." and ".." are taken lexically, as Windows does, and never climb above the root.
  while (pos < utf8.size()) {
    size_t end = pos;
    while (end < utf8.size() && !IsSeparator(utf8[end])) ++end;
    std::string part = utf8.substr(pos, end - pos);
    if (part == "..") {
      if (!components.empty()) components.pop_back();
    } else if (!part.empty() && part != ".") {
      components.push_back(part);
    }
    pos = end + 1;
  }

  std::string path = "/";
  bool parentExists = true;
  for (size_t i = 0; i < components.size(); ++i) {
    const std::string& name = components[i];
    std::string candidate = Join(path, name);
    if (parentExists && !Exists(candidate)) {
      std::string match;
      if (FindCaseInsensitive(path, name, &match)) candidate = Join(path, match);
    }
    path = candidate;
    if (i + 1 < components.size()) parentExists = parentExists && IsDirectory(path);
  }
  out->path = path;
  out->parentExists = parentExists;
  return true;
}

bool PortHostToWindowsPath(const std::string& hostPath, std::string* out) {
  std::string windows = "Z:";
  if (hostPath.empty() || hostPath[0] != '/') windows += '\\';
  for (char c : hostPath) windows += (c == '/') ? '\\' : c;
  if (windows == "Z:") windows = "Z:\\";
  return PortUtf8ToCp932(windows, out);
}

DWORD PortErrorFromErrno(int error, bool parentExists) {
  switch (error) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
      return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case EIO:
      return ERROR_IO_DEVICE;
    default:
      return ERROR_GEN_FAILURE;
  }
}
