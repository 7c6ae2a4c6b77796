// Points the log at a fresh temporary folder with an injected millisecond clock, and reads the
// log file back. The log is on while the object lives; the previous directory is restored and
// the real clock put back afterwards.
#pragma once

#include <string>
#include <vector>

#include "port/kernel/win32_types.h"
#include "tests/support/temp_folder.h"

class LogCapture {
 public:
  // Starts the log file with the clock at startTime.
  explicit LogCapture(DWORD startTime = 1000);
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // The injected clock's value from now on.
  static void SetTime(DWORD now);
  // The bytes of the log file as written so far.
  std::string Contents() const;
  const TempFolder& folder() const { return folder_; }

 private:
  TempFolder folder_;
  std::string previousDirectory_;
};

// The lines of log text, each without its CR LF; a last line without one counts too.
std::vector<std::string> SplitLogLines(const std::string& contents);
