#include "tests/support/log_capture.h"

#include <atomic>

#include "runtime/platform/log.h"

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
