// The library's main window with the input layer's state reset, SDL virtual joypads, and key
// events addressed to the window. Windows 7 is the system, as the port reports it.
#pragma once

#include <set>

#include "runtime/platform/core/api_lock.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/input/input_devices.h"
#include "runtime/platform/startup/runtime_libraries.h"
#include "tests/platform/window/main_window_fixture.h"
#include "tests/support/input_fixtures.h"

class InputDevicesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (!VirtualPads::OnlyOurs()) GTEST_SKIP() << "SDL reports joysticks of the machine";
    LoadStartupLibraries();  // the joystick calls of the Win32 path, as start-up loads them
    gSystemState.systemCode = 0x109;
    InputState = {};
    ReleaseHeldKeys();
    Open(1, "InputTest");
  }

  void TearDown() override {
    ReleaseInputDevices();
    InputState = {};
    PortResetDirectInputSwitches();
    PortResetModuleSwitches();
    PortResetComSwitches();
    ResetClock();
    FreeRuntimeLibraries();
    MainWindowTest::TearDown();
  }

  // One frame's message pass, a millisecond after the last read.
  static void Pass() {
    AdvanceClock();
    ProcessWindowMessages();
  }

  static void Key(SDL_Scancode scancode, bool down) {
    PushKey(scancode, down, SDL_GetWindowID(PortGetSdlWindow(WindowState.mainWindow)));
  }

  // The codes GetAllKeyStates reports down (and that it writes only 0 and 1).
  static std::set<int> KeysDown() {
    char states[256];
    EXPECT_EQ(GetAllKeyStates(states), 0);
    std::set<int> down;
    for (int i = 0; i < 256; ++i) {
      EXPECT_TRUE(states[i] == 0 || states[i] == 1) << i;
      if (states[i]) down.insert(i);
    }
    return down;
  }

  VirtualPads pads_;
};
