#include "runtime/platform/window/window_state.h"

#include <cstring>

#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/window_hooks.h"

WindowSystemState WindowState = {};
WindowServiceHooks WindowHooks = {};

void ResetWindowState() {
  WindowSystemState kept = {};
  std::memcpy(kept.windowText, WindowState.windowText, sizeof(kept.windowText));
  std::memcpy(kept.className, WindowState.className, sizeof(kept.className));
  kept.windowModeFlag = WindowState.windowModeFlag;
  kept.sizableFlag = WindowState.sizableFlag;
  kept.capOnlyFlag = WindowState.capOnlyFlag;
  kept.stretchRateX = WindowState.stretchRateX;
  kept.stretchRateY = WindowState.stretchRateY;
  WindowState = kept;
}

int GetQuitFlag() { return WindowState.quitSeen; }
HWND GetMainWindowHandle() { return WindowState.mainWindow; }
int QueryWindowedMode() { return WindowState.windowModeFlag; }
int GetWindowActiveFlag() { return WindowState.active; }
int GetRunWhenInactiveFlag() { return WindowState.runWhenInactiveFlag; }
int GetMmxFlag() { return gSystemState.mmxFlag; }
int GetCloseRequestedFlag() { return WindowState.closeRequested; }

double GetWindowStretchRates(double* x, double* y) {
  double rx = 1.0, ry = 1.0;
  if (WindowState.windowModeFlag) {
    if (WindowState.stretchRateX > 0) rx = WindowState.stretchRateX;
    if (WindowState.stretchRateY > 0) ry = WindowState.stretchRateY;
  }
  if (x) *x = rx;
  if (y) *y = ry;
  return rx;
}

int GetDesktopMetrics(int* width, int* height, int* bits) {
  if (!width && !height && !bits) return 0;
  if (gSystemState.initialised) {
    if (width) *width = WindowState.desktopWidth;
    if (height) *height = WindowState.desktopHeight;
    if (bits) *bits = WindowState.desktopColorBits;
    return 0;
  }
  if (width) *width = GetSystemMetrics(SM_CXSCREEN);
  if (height) *height = GetSystemMetrics(SM_CYSCREEN);
  if (bits) {
    HDC dc = GetDC(nullptr);
    *bits = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(nullptr, dc);
  }
  return 0;
}

void GetHookedScreenSize(int* width, int* height) {
  int w = 0, h = 0;
  if (WindowHooks.getScreenSize) WindowHooks.getScreenSize(&w, &h);
  *width = w > 0 ? w : 640;
  *height = h > 0 ? h : 480;
}

int GetHookedScreenBitDepth() {
  int bits = WindowHooks.getScreenBitDepth ? WindowHooks.getScreenBitDepth() : 0;
  return bits > 0 ? bits : 16;
}
