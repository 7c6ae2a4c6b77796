#include "tests/support/log_capture.h"

#include <atomic>

#include "runtime/platform/core/log.h"

namespace {
std::atomic<DWORD> gNow{0};
DWORD WINAPI InjectedClock() { return gNow.load(); }
}  // namespace

LogCapture::LogCapture(DWORD startTime) {
  previousDirectory_ = GetLogDirectory();
  gNow = startTime;
  SetLogOutput(1);
  SetLogClock(&InjectedClock);
  SetLogDirectory(folder_.WindowsPath().c_str());
  StartLogFile();
}

LogCapture::~LogCapture() {
  SetLogDirectory(previousDirectory_.c_str());
  SetLogClock(nullptr);
}

void LogCapture::SetTime(DWORD now) { gNow = now; }

std::string LogCapture::Contents() const { return folder_.ReadFile("Log.txt"); }

std::vector<std::string> SplitLogLines(const std::string& contents) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < contents.size();) {
    size_t end = contents.find("\r\n", start);
    if (end == std::string::npos) end = contents.size();
    lines.push_back(contents.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}
