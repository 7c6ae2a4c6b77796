#include "runtime/platform/window/cursor_and_mouse.h"

#include <cmath>
#include <cstdio>

#include "runtime/platform/window/window_state.h"

int SetCursorVisible(int flag) {
  if (flag != -1) WindowState.cursorWish = flag;
  int target = WindowState.cursorWish == 1;
  if (flag != -1 && target == WindowState.cursorShown) return 0;
  if (target) {
    while (ShowCursor(TRUE) < 0) {}
  } else {
    while (ShowCursor(FALSE) >= 0) {}
  }
  if (WindowState.mainWindow)
    PostMessageA(WindowState.mainWindow, WM_SETCURSOR,
                 reinterpret_cast<WPARAM>(WindowState.mainWindow), HTCLIENT);
  WindowState.cursorShown = target;
  return 0;
}

int GetMouseScreenPosition(int* x, int* y) {
  POINT p = {0, 0};
  GetCursorPos(&p);
  if (WindowState.windowModeFlag) {
    double rx, ry;
    GetWindowStretchRates(&rx, &ry);
    p.x = static_cast<LONG>((p.x - WindowState.clientScreenRect.left) / rx);
    p.y = static_cast<LONG>((p.y - WindowState.clientScreenRect.top - QueryToolBarHeight()) / ry);
  }
  if (x) *x = p.x;
  if (y) *y = p.y;
  return 0;
}

int GetWindowClientArea(RECT* rect) {
  if (!rect) return 0;
  *rect = WindowState.clientScreenRect;
  rect->top += QueryToolBarHeight();
  rect->bottom += QueryToolBarHeight();
  return 0;
}

int QueryToolBarHeight() { return 0; }

int FormatText(char* buffer, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatTextV(buffer, size, format, args);
  va_end(args);
  return 0;
}

int FormatTextV(char* buffer, size_t size, const char* format, va_list arguments) {
  if (!buffer || size == 0) return 0;
  int n = std::vsnprintf(buffer, size, format, arguments);
  if (n < 0) {
    buffer[0] = '\0';
    return n;
  }
  return static_cast<size_t>(n) < size ? n : static_cast<int>(size - 1);
}

double PowFloat(float base, float exponent) {
  return std::pow(static_cast<double>(base), static_cast<double>(exponent));
}
