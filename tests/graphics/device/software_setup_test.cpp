// Without OpenGL (SDL's dummy driver) the device set-up takes the software path; the library
// and the DirectDraw object it needs with the refresh period it measures, and the refusal of
// SetUseHardwareRendering after start-up.
#include <gtest/gtest.h>

#include "port/win32.h"
#include "runtime/graphics/device/display_modes.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/system_info.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/window_state.h"
#include "tests/support/log_capture.h"

namespace {

class SoftwareSetUp : public testing::Test {
 protected:
  void SetUp() override {
    DetectPerformanceCounter();
    WindowState.windowModeFlag = 1;
    ScreenMode = {640, 480, 32, 60};
    // The set-up measures the refresh period: on simulated time it takes no real time.
    PortSetSimulatedTime(true);
    PortSetVerticalBlankRate(50);
  }
  void TearDown() override {
    ReleaseGraphicsDevice();
    PortResetDirectDrawSwitches();
    PortSetSimulatedTime(false);
    PortResetModuleSwitches();
    PortSetClassAbsent(CLSID_DirectDraw7, false);
    SoftwareRenderingRequested = 0;
    gSystemState.initialised = 0;
    ScreenMode = {0, 0, 0, 0};
    WindowState.windowModeFlag = 0;
  }
  static bool Has(const std::string& log, const char* text) {
    return log.find(text) != std::string::npos;
  }
};

TEST_F(SoftwareSetUp, NoDeviceMeansTheSoftwarePath) {
  LogCapture log;
  ASSERT_EQ(SetUpGraphicsDevice(), 0);
  EXPECT_EQ(HardwareRendering, 0);
  EXPECT_EQ(Direct3DObject, nullptr);
  EXPECT_NE(DirectDraw7Object, nullptr);
  EXPECT_EQ(RefreshPeriod, 20000);
  const std::string text = log.Contents();
  EXPECT_TRUE(Has(text, "DirectDraw オブジェクトの取得を行います....  成功\r\n"));
  EXPECT_TRUE(Has(text, "引き続き初期化処理... 初期化に成功しました\r\n"));
  EXPECT_TRUE(Has(text,
                  "IDirect3D9Ex オブジェクトを取得します.... IDirect3D9 "
                  "オブジェクトを取得します.... IDirect3D9 "
                  "オブジェクトの取得に失敗しました\r\n"));
  ASSERT_EQ(ReleaseGraphicsDevice(), 0);
  EXPECT_EQ(DirectDraw7Object, nullptr);
  EXPECT_EQ(PortModuleLoadCount("d3d9.dll"), 0);
  EXPECT_TRUE(Has(log.Contents(), "Direct3D9 DLL の解放 4\r\n"));
}

TEST_F(SoftwareSetUp, RequestedSoftwareRenderingSkipsTheDeviceAndIsFixedAtStartUp) {
  ASSERT_EQ(SetUseHardwareRendering(0), 0);
  EXPECT_EQ(GetUseHardwareRendering(), 0);
  LogCapture log;
  ASSERT_EQ(SetUpGraphicsDevice(), 0);
  EXPECT_FALSE(Has(log.Contents(), "IDirect3D9Ex"));
  gSystemState.initialised = 1;
  EXPECT_EQ(SetUseHardwareRendering(1), -1);
  EXPECT_EQ(GetUseHardwareRendering(), 0);
}

TEST_F(SoftwareSetUp, WithoutTheLibraryOrDirectDrawTheSetUpFails) {
  LogCapture log;
  PortSetModuleAbsent("d3d9.dll", true);
  EXPECT_EQ(SetUpGraphicsDevice(), -1);
  EXPECT_TRUE(Has(log.Contents(), "d3d9.dll の読み込みに失敗しました\r\n"));
  PortSetModuleAbsent("d3d9.dll", false);

  PortSetClassAbsent(CLSID_DirectDraw7, true);
  EXPECT_EQ(SetUpGraphicsDevice(), -1);
  EXPECT_TRUE(Has(log.Contents(), "オブジェクトの取得に失敗しました\r\n"));
  EXPECT_TRUE(Has(log.Contents(), "Direct3D9 DLL の解放 3\r\n"));
  EXPECT_EQ(PortModuleLoadCount("d3d9.dll"), 0);
  PortSetClassAbsent(CLSID_DirectDraw7, false);

  // A full screen whose display mode cannot be set leaves nothing of the set-up behind.
  WindowState.windowModeFlag = 0;
  ScreenMode = {640, 480, 24, 0};
  EXPECT_EQ(SetUpGraphicsDevice(), -1);
  EXPECT_EQ(PortModuleLoadCount("d3d9.dll"), 0);
  EXPECT_EQ(DirectDraw7Object, nullptr);
}

}  // namespace
