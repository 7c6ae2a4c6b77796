// The library's main window on SDL's offscreen driver, with the graphics device set up and
// released by the test through the device layer, on the port's simulated time once the window
// is open. Tests skip (saying why) only when no OpenGL context can be made at all.
#pragma once

#include <string>
#include <vector>

#include "tests/platform/window/main_window_fixture.h"

class HardwareDeviceTest : public MainWindowTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The log lines from the capture, each without its time stamp and indentation.
  static std::vector<std::string> LogLines(const std::string& contents);
  static bool HasLine(const std::vector<std::string>& lines, const std::string& line);
};
