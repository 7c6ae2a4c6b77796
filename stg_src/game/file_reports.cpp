#include "stg_src/game/file_reports.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "runtime/platform/core/user_report.h"

#include "stg_src/game/deterministic.h"

namespace {

// The path as the player finds it: from the root, through the folder the game runs in.
std::string FullPath(const char* path) {
  std::error_code error;
  const std::filesystem::path full = std::filesystem::absolute(path, error);
  return error ? std::string(path) : full.lexically_normal().string();
}

}  // namespace

void ReportUnreadableFile(const char* path, const char* consequence) {
  std::string why = "its contents are damaged or of the wrong kind";
  errno = 0;
  if (std::FILE* file = std::fopen(path, "rb")) {
    std::fclose(file);
  } else if (errno != 0) {
    why = std::strerror(errno);
  }
  ReportToUser("could not read %s (%s); %s", FullPath(path).c_str(), why.c_str(), consequence);
}

void ReportUnwritableFile(const char* path, int error, const char* consequence) {
  std::string why = "the write failed";
  if (error != 0) {
    why = std::strerror(error);
  } else {
    // The game never makes a folder: a missing one is the likeliest cause.
    std::error_code missing;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, missing))
      why = "its folder " + folder.string() + " does not exist";
  }
  ReportToUser("could not write %s (%s); %s", FullPath(path).c_str(), why.c_str(), consequence);
}
