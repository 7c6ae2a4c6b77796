// A window class whose procedure records every message it gets, for the port's window tests.
#pragma once

#include <unistd.h>

#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include "port/user/window_internal.h"
#include "port/win32.h"

struct RecordedMessage {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

inline std::vector<RecordedMessage> gRecorded;
// Set by a test to change what the procedure does; the default passes to DefWindowProcA.
inline LRESULT (*gProcedureHook)(HWND, UINT, WPARAM, LPARAM, bool* handled) = nullptr;

inline LRESULT CALLBACK RecordingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  gRecorded.push_back({w, m, wp, lp});
  if (gProcedureHook) {
    bool handled = false;
    LRESULT r = gProcedureHook(w, m, wp, lp, &handled);
    if (handled) return r;
  }
  return DefWindowProcA(w, m, wp, lp);
}

// Registers the recording class (once per test) and removes every window and message at the end.
// The class name carries the process id: test processes run side by side, and class names are
// seen across processes.
class WindowTest : public testing::Test {
 protected:
  static inline const std::string kClassName = "PortTestClass-" + std::to_string(getpid());
  static inline const char* kClass = kClassName.c_str();

  void SetUp() override {
    ASSERT_TRUE(PortEnsureVideo()) << SDL_GetError();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = RecordingProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = kClass;
    ASSERT_NE(RegisterClassExA(&wc), 0);
    gRecorded.clear();
    gProcedureHook = nullptr;
  }

  void TearDown() override {
    for (HWND w : windows_) DestroyWindow(w);
    Drain();
    UnregisterClassA(kClass, nullptr);
    PortResetDisplaySwitches();
    ChangeDisplaySettingsA(nullptr, 0);
    Drain();
    gProcedureHook = nullptr;
    gRecorded.clear();
    PortSetSimulatedTime(false);
  }

  HWND Make(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU, DWORD exStyle = 0, int x = 100,
            int y = 50, int w = 300, int h = 200, const char* text = "test") {
    HWND window = CreateWindowExA(exStyle, kClass, text, style, x, y, w, h, nullptr, nullptr,
                                  nullptr, nullptr);
    if (window) windows_.push_back(window);
    return window;
  }

  // Takes and dispatches everything that is queued (paint and timers included).
  static int Drain() {
    MSG m;
    int n = 0;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) && n < 1000) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
      ++n;
    }
    return n;
  }

  static std::vector<UINT> Messages() {
    std::vector<UINT> out;
    for (const RecordedMessage& r : gRecorded) out.push_back(r.message);
    return out;
  }

  // Takes the queued messages without dispatching them.
  static std::vector<MSG> Take() {
    std::vector<MSG> out;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) && out.size() < 1000) {
      if (m.message == WM_PAINT) {
        DispatchMessageA(&m);  // validates, or it would come forever
        continue;
      }
      out.push_back(m);
    }
    return out;
  }

  static void Push(const SDL_Event& e) { ASSERT_EQ(SDL_PushEvent(const_cast<SDL_Event*>(&e)), 1); }

  static SDL_Event WindowEvent(HWND window, Uint8 event, int data1 = 0, int data2 = 0) {
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(PortGetSdlWindow(window));
    e.window.event = event;
    e.window.data1 = data1;
    e.window.data2 = data2;
    return e;
  }

  std::vector<HWND> windows_;
};
