// Opens the library's main window for a test, with a class name of this process so that test
// processes running side by side do not take each other for a second instance, and takes
// everything down again afterwards.
#pragma once

#include <unistd.h>

#include <string>

#include <SDL.h>
#include <gtest/gtest.h>

#include "port/user/window_internal.h"
#include "port/win32.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/main_window.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/text_input.h"
#include "runtime/platform/window/window_hooks.h"
#include "runtime/platform/window/window_state.h"

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(PortEnsureVideo()) << SDL_GetError();
    WindowState = {};
    WindowHooks = {};
    gSystemState.logicalProcessorCount = 4;
    InitTextInput();
  }

  void TearDown() override {
    if (WindowState.mainWindow && !WindowState.destroyed) DestroyMainWindow();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.message == WM_PAINT) DispatchMessageA(&m);
    }
    UnregisterClassA(WindowState.className, nullptr);
    ChangeDisplaySettingsA(nullptr, 0);
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {}
    EndTextInput();
    WindowState = {};
    WindowHooks = {};
  }

  static std::string UniqueTitle(const char* stem) {
    return std::string(stem) + "-" + std::to_string(getpid());
  }

  // Opens the main window in window mode (or full screen) with a title of this process.
  void Open(int windowMode = 1, const char* stem = "WindowTest") {
    WindowState.windowModeFlag = windowMode;
    SetWindowTitleText(UniqueTitle(stem).c_str());
    ASSERT_EQ(CreateMainWindow(), 0);
  }

  static void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1); }

  static SDL_Event WindowEvent(Uint8 event, int data1 = 0, int data2 = 0) {
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(PortGetSdlWindow(WindowState.mainWindow));
    e.window.event = event;
    e.window.data1 = data1;
    e.window.data2 = data2;
    return e;
  }

  static SDL_Event Key(SDL_Keycode key) {
    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.windowID = SDL_GetWindowID(PortGetSdlWindow(WindowState.mainWindow));
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    return e;
  }

  // Everything the buffer holds, taken byte by byte.
  static std::string TakeAllInput() {
    std::string out;
    char c[2];
    int n;
    while ((n = TakeInputChar(c, 1)) > 0) out.append(c, static_cast<size_t>(n));
    return out;
  }

  // Runs passes until nothing is left queued (paint included).
  static void Settle() {
    for (int i = 0; i < 20; ++i) ProcessWindowMessages();
  }
};
