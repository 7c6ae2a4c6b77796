#include "runtime/platform/window/window_procedure.h"

#include <algorithm>

#include "runtime/platform/core/log.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/main_window.h"
#include "runtime/platform/window/text_input.h"
#include "runtime/platform/window/window_hooks.h"
#include "runtime/platform/window/window_state.h"

namespace {

void Call(void (*hook)()) {
  if (hook) hook();
}

bool Has(int (*hook)()) { return hook && hook() != 0; }

// Posts WM_CLOSE once: later requests find the close already under way.
void RequestCloseOnce() {
  if (WindowState.closeRequested) return;
  WindowState.closeRequested = 1;
  PostMessageA(WindowState.mainWindow, WM_CLOSE, 0, 0);
}

void HandleActivation(WPARAM wParam) {
  if (WindowState.creating) return;
  WindowState.active = LOWORD(wParam) != 0;
  if (WindowState.active) {
    if (!WindowState.windowModeFlag && gSystemState.initialised) {
      if (HIWORD(wParam) == 0) Call(WindowHooks.releaseGraphicsForDisplayChange);
    } else if (WindowState.windowModeFlag && Has(WindowHooks.hasGraphicsDevice)) {
      if (WindowHooks.presentAfterActivation && WindowHooks.presentAfterActivation() != 0)
        Call(WindowHooks.releaseGraphicsForDisplayChange);
    }
    Call(WindowHooks.resumeAllMovies);
    Call(WindowHooks.reacquireInputDevices);
  } else {
    bool asWindowMode = WindowState.windowModeFlag != 0;
    if (!asWindowMode) {
      // Before Vista with hardware rendering the display stays as it is.
      if (gSystemState.systemCode >= 0x108 || !Has(WindowHooks.isHardwareRendering)) {
        ChangeDisplaySettingsA(nullptr, 0);
        ShowWindow(WindowState.mainWindow, SW_MINIMIZE);
      }
      if (Has(WindowHooks.hasDirectDrawObject)) {
        Call(WindowHooks.restoreDesktopComposition);
        if (!Has(WindowHooks.hasRestoreCallback)) {
          WriteLogText("復元関数が登録されていないため終了します\n");
          RequestCloseOnce();
          return;
        }
        Call(WindowHooks.pauseAllMovies);
      } else {
        asWindowMode = true;
      }
    }
    if (asWindowMode) {
      Call(WindowHooks.pauseAllMovies);
      Call(WindowHooks.reacquireInputDevices);
    }
  }
  Call(WindowHooks.refreshJoypadEffects);
}

void HandleDisplayChange(WPARAM wParam, LPARAM lParam) {
  if (WindowState.windowModeFlag && !WindowState.modeChanging) {
    int width, height;
    GetHookedScreenSize(&width, &height);
    int bits = GetHookedScreenBitDepth();
    int newBits = static_cast<int>(wParam);
    int newWidth = LOWORD(lParam), newHeight = HIWORD(lParam);
    if (newBits != bits || newWidth != width || newHeight != height) {
      if (!Has(WindowHooks.hasRestoreCallback) || newBits == 24 ||
          (newBits != bits && newBits == 8) || newWidth < width || newHeight < height) {
        WriteLogText(
            "復元関数が登録されていないためか画面が２４ビットカラーに変更されたため終了します\n");
        WriteLogText(
            "またはスクリーンが小さすぎるためか色ビット数の違いが大きいためか終了します\n");
        RequestCloseOnce();
        return;
      }
      Call(WindowHooks.resumeAllMovies);
    }
  }
  WindowState.displayChangeSeen = 1;
}

void HandlePaint(HWND window) {
  WindowState.painting = 1;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (WindowState.windowModeFlag && dc) {
    if (gSystemState.initialised) {
      int target = WindowHooks.getDrawTarget ? WindowHooks.getDrawTarget() : -2;
      if (target == -2 && WindowHooks.presentForPaint) WindowHooks.presentForPaint(&ps.rcPaint);
    } else {
      FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
  }
  EndPaint(window, &ps);
  WindowState.painting = 0;
}

void HandleSizing(WPARAM edge, RECT* proposed) {
  RECT window, client;
  GetWindowRect(WindowState.mainWindow, &window);
  GetClientRect(WindowState.mainWindow, &client);
  SizingLimits limits;
  limits.frameWidth = (window.right - window.left) - (client.right - client.left);
  limits.frameHeight = (window.bottom - window.top) - (client.bottom - client.top);
  limits.desktopWidth = WindowState.desktopWidth;
  limits.desktopHeight = WindowState.desktopHeight;
  GetHookedScreenSize(&limits.screenWidth, &limits.screenHeight);
  limits.capOnly = WindowState.capOnlyFlag;
  double x, y;
  GetWindowStretchRates(&x, &y);
  ApplySizingRule(static_cast<int>(edge), proposed, limits, &x, &y);
  WindowState.stretchRateX = x;
  WindowState.stretchRateY = y;
}

}  // namespace

void ApplySizingRule(int edge, RECT* proposed, const SizingLimits& limits, double* rateX,
                     double* rateY) {
  if (limits.screenWidth <= 0 || limits.screenHeight <= 0) return;
  int cw = (proposed->right - proposed->left) - limits.frameWidth;
  int ch = (proposed->bottom - proposed->top) - limits.frameHeight;
  cw = std::min(cw, limits.desktopWidth - limits.frameWidth);
  ch = std::min(ch, limits.desktopHeight - limits.frameHeight);
  if (limits.capOnly) {
    cw = std::min(cw, static_cast<int>(limits.screenWidth * *rateX));
    ch = std::min(ch, static_cast<int>(limits.screenHeight * *rateY));
    proposed->right = proposed->left + limits.frameWidth + cw;
    proposed->bottom = proposed->top + limits.frameHeight + ch;
    return;
  }
  double r = static_cast<double>(cw) / limits.screenWidth;
  bool corner = edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMLEFT ||
                edge == WMSZ_BOTTOMRIGHT;
  bool heightBelow = static_cast<double>(ch) / limits.screenHeight < r;
  if (edge == WMSZ_LEFT || edge == WMSZ_RIGHT || (corner && heightBelow)) {
    ch = cw * limits.screenHeight / limits.screenWidth;
    ch = std::min(ch, limits.desktopHeight - limits.frameHeight);
    proposed->right = proposed->left + limits.frameWidth + cw;  // the desktop cut, if any
    proposed->bottom = proposed->top + limits.frameHeight + ch;
    *rateX = *rateY = r;
  } else if (edge == WMSZ_TOP || edge == WMSZ_BOTTOM || corner) {
    cw = ch * limits.screenWidth / limits.screenHeight;
    cw = std::min(cw, limits.desktopWidth - limits.frameWidth);
    proposed->right = proposed->left + limits.frameWidth + cw;
    proposed->bottom = proposed->top + limits.frameHeight + ch;  // the desktop cut, if any
    *rateX = *rateY = static_cast<double>(cw) / limits.screenWidth;
  } else {
    *rateX = *rateY = r;
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      WriteLogText("ウインドウが破棄されようとしています\n");
      WindowState.destroyed = 1;
      PostQuitMessage(0);
      WindowState.quitSeen = 1;
      WriteLogText("ソフトを終了する準備が整いました\n");
      break;
    case WM_MOVE:
      GetWindowRect(window, &WindowState.lastWindowRect);
      if (WindowState.windowModeFlag && !WindowState.modeChanging) {
        RECT client;
        GetClientRect(window, &client);
        int x = static_cast<SHORT>(LOWORD(lParam)), y = static_cast<SHORT>(HIWORD(lParam));
        WindowState.clientScreenRect = {x, y, x + client.right, y + client.bottom};
        Call(WindowHooks.onWindowMoved);
      }
      break;
    case WM_SIZE:
      GetWindowRect(window, &WindowState.lastWindowRect);
      if (wParam != SIZE_MAXIMIZED) FitWindowSize();
      // A resize moves the right and bottom edges without a WM_MOVE; the stored client area
      // (which presenting and GetWindowClientArea read) follows here.
      if (WindowState.windowModeFlag && !WindowState.modeChanging &&
          window == WindowState.mainWindow)
        ReadClientScreenRect();
      break;
    case WM_ACTIVATE:
      HandleActivation(wParam);
      break;
    case WM_ACTIVATEAPP:
      if (wParam == 0) HandleActivation(wParam);
      break;
    case WM_PAINT:
      HandlePaint(window);
      break;
    case WM_CLOSE:
      WriteLogText("ウインドウを閉じようとしています\n");
      DestroyWindow(window);
      return 0;
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      if (!WindowState.cursorShown) {
        SetCursor(nullptr);
        while (ShowCursor(FALSE) >= 0) {}
      }
      break;
    case WM_DISPLAYCHANGE:
      HandleDisplayChange(wParam, lParam);
      break;
    case WM_NCHITTEST:
      if (!WindowState.windowModeFlag && Has(WindowHooks.isHardwareRendering) && lParam <= 0x7FFFF)
        return HTMENU;
      break;
    case WM_KEYDOWN:
      FeedKeyDown(wParam);
      break;
    case WM_CHAR:
      FeedChar(wParam);
      break;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_SETCONTEXT:
    case WM_IME_NOTIFY:
      return HandleImeMessage(wParam, message, window, lParam);
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER) return 1;
      break;
    case WM_SIZING:
      if (WindowState.windowModeFlag) HandleSizing(wParam, reinterpret_cast<RECT*>(lParam));
      break;
    case WM_MOVING:
      GetWindowRect(window, &WindowState.lastWindowRect);
      if (!WindowState.windowModeFlag)
        *reinterpret_cast<RECT*>(lParam) = WindowState.lastWindowRect;
      break;
    case MM_MCINOTIFY:
      if (WindowHooks.handleMciNotify) WindowHooks.handleMciNotify(wParam, lParam);
      break;
    case kSocketEventMessage:
      return WindowHooks.handleSocketEvent ? WindowHooks.handleSocketEvent(wParam, lParam) : 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
