#include "tests/graphics_hardware/hardware_fixture.h"

#include "port/d3d9/gl_context.h"
#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/system_info.h"
#include "tests/support/log_capture.h"

void HardwareDeviceTest::SetUp() {
  MainWindowTest::SetUp();
  if (!PortGlAvailable())
    GTEST_SKIP() << "no OpenGL context can be made with SDL's \"" << SDL_GetCurrentVideoDriver()
                 << "\" driver";
  // A small screen keeps the device's clears, presents and read-backs quick.
  ScreenMode = {64, 48, 32, 60};
  ForceStateWrite = 0;
  ResetDeviceStateCache();
  ResetBlendStateCache();
  DetectPerformanceCounter();
  Open(1, "DeviceTest");
  // After the window, whose clock check spins on the clock: the set-up's measurements (refresh
  // period, back-buffer read-back) then take no real time and give the same result every run.
  PortSetSimulatedTime(true);
}

void HardwareDeviceTest::TearDown() {
  PortSetSimulatedTime(false);
  ReleaseGraphicsDevice();
  EXPECT_EQ(PortLiveDirect3DObjects(), 0);
  HardwareRendering = 0;
  ScreenMode = {0, 0, 0, 0};
  PortResetD3DSwitches();
  PortResetDirectDrawSwitches();
  PortResetModuleSwitches();
  PortSetDesktopColorBits(0);
  MainWindowTest::TearDown();
}

std::vector<std::string> HardwareDeviceTest::LogLines(const std::string& contents) {
  std::vector<std::string> lines;
  for (const std::string& line : SplitLogLines(contents)) {
    size_t at = line.find(':');
    at = at == std::string::npos ? 0 : at + 1;
    while (at < line.size() && line[at] == '\t') ++at;
    lines.push_back(line.substr(at));
  }
  return lines;
}

bool HardwareDeviceTest::HasLine(const std::vector<std::string>& lines, const std::string& line) {
  for (const std::string& l : lines)
    if (l == line) return true;
  return false;
}
