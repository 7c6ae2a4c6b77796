// Running one test of the current test program in a child process (for behaviour across
// processes and for a process that must end), and a private X server for real-window tests.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// Runs this test program with --gtest_filter=<test> and the extra environment entries
// ("NAME=value"), with KELVANOR_CHILD_TEST=<test> set. Returns the exit status (0..255), or -1
// (with a failure when this program has no such test) when the child could not be started or
// did not exit normally.
//
// A test that runs only as a child is named DISABLED_...: plain runs and the test list leave it
// out, and the child is started with --gtest_also_run_disabled_tests.
int RunTestInChild(const std::string& test, const std::vector<std::string>& environment = {});

// True inside a child started by RunTestInChild for this test; a child-only test skips
// otherwise.
bool IsChildRunOf(const std::string& test);

// A private Xvfb display. Start() returns false (with the reason in why()) when Xvfb is not
// installed or does not come up.
class XvfbDisplay {
 public:
  XvfbDisplay() = default;
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;
  ~XvfbDisplay();
  bool Start();
  const std::string& name() const { return name_; }  // ":N"
  const std::string& why() const { return why_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
  std::string why_;
};
