// The mouse cursor: the display count of ShowCursor and the cursor image of SetCursor decide
// together whether SDL shows the cursor. The position is the one the last mouse event (or
// SetCursorPos) gave, in screen coordinates.
#include "port/user/window_internal.h"
#include "port/user/window_record.h"

namespace {

struct PortCursor {
  int shape;
};
const PortCursor kArrow = {0};
const PortCursor kApplicationIcon = {1};

int gDisplayCount = 0;
HCURSOR gCursor = const_cast<PortCursor*>(&kArrow);
POINT gPosition = {0, 0};

}  // namespace

void PortApplyCursorVisibility() {
  if (!PortEnsureVideo()) return;
  SDL_ShowCursor(PortCursorVisible() ? SDL_ENABLE : SDL_DISABLE);
}

bool PortCursorVisible() {
  std::lock_guard lock(PortWindowMutex());
  return gDisplayCount >= 0 && gCursor != nullptr;
}

int PortCursorDisplayCount() {
  std::lock_guard lock(PortWindowMutex());
  return gDisplayCount;
}

void PortSetTrackedCursorPos(POINT p) {
  std::lock_guard lock(PortWindowMutex());
  gPosition = p;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  // Only the system's own cursors exist; the program has no cursor resources.
  if (instance || name != IDC_ARROW) return nullptr;
  return const_cast<PortCursor*>(&kArrow);
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (instance || name != IDI_APPLICATION) return nullptr;
  return const_cast<PortCursor*>(&kApplicationIcon);
}

int WINAPI ShowCursor(BOOL show) {
  int count;
  {
    std::lock_guard lock(PortWindowMutex());
    count = show ? ++gDisplayCount : --gDisplayCount;
  }
  PortApplyCursorVisibility();
  return count;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
  HCURSOR previous;
  {
    std::lock_guard lock(PortWindowMutex());
    previous = gCursor;
    gCursor = cursor;
  }
  PortApplyCursorVisibility();
  return previous;
}

HCURSOR WINAPI GetCursor() {
  std::lock_guard lock(PortWindowMutex());
  return gCursor;
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
  if (!point) return FALSE;
  std::lock_guard lock(PortWindowMutex());
  *point = gPosition;
  return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
  PortSetTrackedCursorPos({x, y});
  HWND window = PortForegroundWindow();
  PortWindow* w = PortLiveWindow(window);
  if (w && w->sdl && !w->sdlFullScreen) {
    RECT c = PortClientScreenRect(w);
    SDL_WarpMouseInWindow(w->sdl, x - c.left, y - c.top);
  }
  return TRUE;
}
