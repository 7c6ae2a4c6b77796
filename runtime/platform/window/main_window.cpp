#include "runtime/platform/window/main_window.h"

#include <cstdio>
#include <cstring>

#include "runtime/platform/core/clocks.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/text_helpers.h"
#include "runtime/platform/core/user_report.h"
#include "runtime/platform/startup/runtime_libraries.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/cursor_and_mouse.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/text_input.h"
#include "runtime/platform/window/window_hooks.h"
#include "runtime/platform/window/window_procedure.h"
#include "runtime/platform/window/window_state.h"

namespace {

constexpr DWORD kWindowModeStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowModeExStyle = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
constexpr DWORD kFullScreenStyle = WS_POPUP;
constexpr DWORD kFullScreenExStyle = WS_EX_TOPMOST;
// A mode switch waits for the display to report the change; a display that never does must
// not hold the program forever.
constexpr int kDisplayChangeWaitMs = 3000;

DWORD WindowModeStyle() {
  DWORD style = kWindowModeStyle;
  if (WindowState.sizableFlag) style |= WS_THICKFRAME;
  if (WindowState.styleAppliedFlag) style |= WS_VISIBLE;
  return style;
}

// Client size for the window mode: the screen size times the stretch rates, truncated.
void TargetClientSize(int* width, int* height) {
  int sw, sh;
  GetHookedScreenSize(&sw, &sh);
  double rx, ry;
  GetWindowStretchRates(&rx, &ry);
  *width = static_cast<int>(sw * rx);
  *height = static_cast<int>(sh * ry);
}

// The window rectangle for a client size, centred on the desktop.
RECT CentredWindowRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle) {
  RECT r = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  int w = r.right - r.left, h = r.bottom - r.top;
  int x = (WindowState.desktopWidth - w) / 2, y = (WindowState.desktopHeight - h) / 2;
  return {x, y, x + w, y + h};
}

void LogMemoryStatus() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof(status);
  bool got = false;
  if (gSystemState.systemCode >= 0x106) {
    HMODULE kernel = LoadLibraryA("Kernel32.dll");
    auto statusEx = reinterpret_cast<BOOL(WINAPI*)(LPMEMORYSTATUSEX)>(
        kernel ? GetProcAddress(kernel, "GlobalMemoryStatusEx") : nullptr);
    got = statusEx && statusEx(&status) && status.ullTotalPhys != 0;
    if (kernel) FreeLibrary(kernel);
  }
  // The port has only the newer call; when it reports nothing the totals read 0.
  if (!got) status.ullTotalPhys = status.ullAvailPhys = 0;
  double total = static_cast<double>(status.ullTotalPhys) / 1048576.0;
  double free = static_cast<double>(status.ullAvailPhys) / 1048576.0;
  LogPrintf("メモリ総量:%.2fMB  空きメモリ領域:%.2fMB ", total, free);
  char line[64];
  std::snprintf(line, sizeof(line), "%.2fMB\n", free);
  OutputDebugStringA(line);
  WindowState.physicalMemoryTotal = status.ullTotalPhys;
  WindowState.physicalMemoryFree = status.ullAvailPhys;
}

// Which clock the library measures with: the performance counter unless it changes less often
// than the millisecond clock.
void ChooseClock() {
  LARGE_INTEGER frequency = {};
  QueryPerformanceFrequency(&frequency);
  gSystemState.performanceCounterAvailable = frequency.QuadPart != 0;
  TIMECAPS caps = {};
  timeGetDevCaps(&caps, sizeof(caps));
  WindowState.timerMinPeriod = caps.wPeriodMin;
  timeBeginPeriod(caps.wPeriodMin);
  if (!gSystemState.performanceCounterAvailable) return;

  WriteLogText("タイマーの精度を検査します\n");
  int counterChanges = 0, clockChanges = 0;
  LARGE_INTEGER lastCounter;
  QueryPerformanceCounter(&lastCounter);
  int start = GetNowMilliseconds(), lastClock = start;
  while (GetNowMilliseconds() - start < 1000 && counterChanges < 60 && clockChanges < 60) {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    if (counter.QuadPart != lastCounter.QuadPart) ++counterChanges, lastCounter = counter;
    int clock = GetNowMilliseconds();
    if (clock != lastClock) ++clockChanges, lastClock = clock;
  }
  LogPrintf("精度結果 更新回数 マルチメディアタイマー：%d  パフォーマンスカウンター：%d",
            clockChanges, counterChanges);
  char line[128];
  if (counterChanges < clockChanges) {
    std::snprintf(line, sizeof(line), "Multi Media Timer を使用します Timer 精度 : %d.00 ms ",
                  static_cast<int>(caps.wPeriodMin));
    gSystemState.performanceCounterAvailable = 0;
  } else {
    std::snprintf(line, sizeof(line),
                  "パフォーマンスカウンターを使用します タイマー精度 : %lf KHz ",
                  static_cast<double>(frequency.QuadPart) / 1000.0);
  }
  WriteLogText(line);
  WriteLogText(" ");
}

// The port's "A" functions take CP932, so its code page is 932 whatever the host's locale.
constexpr UINT kPortOemCodePage = 932;

void ChooseCodePageMode() {
  if (CharSetMode != 0) return;
  switch (kPortOemCodePage) {
    case 932:
      CharSetMode = 1;
      break;
    case 949:
      CharSetMode = 2;
      break;
    case 950:
      CharSetMode = 3;
      break;
    case 936:
      CharSetMode = 4;
      break;
    default:
      CharSetMode = 1;
      break;
  }
}

// A creation that fails gives back what it changed on the way: the timer period and the screen
// saver setting.
void UndoCreationSettings() {
  timeEndPeriod(WindowState.timerMinPeriod);
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDWININICHANGE);
}

}  // namespace

void ReadClientScreenRect() {
  RECT c;
  GetClientRect(WindowState.mainWindow, &c);
  POINT origin = {0, 0};
  ClientToScreen(WindowState.mainWindow, &origin);
  WindowState.clientScreenRect = {origin.x, origin.y, origin.x + c.right, origin.y + c.bottom};
}

int CreateMainWindow() {
  ResetWindowState();

  // Only looked up: nothing here draws layered windows.
  if (HMODULE user = LoadLibraryA("user32")) {
    GetProcAddress(user, "UpdateLayeredWindow");
    FreeLibrary(user);
  }
  if (!WindowState.className[0])
    CopyTextBounded(WindowState.className, sizeof(WindowState.className),
                    WindowState.windowText[0] ? WindowState.windowText : kDefaultClassName);
  WindowState.moduleInstance = GetModuleHandleA(nullptr);
  WindowState.mainThreadId = GetCurrentThreadId();

  LogMemoryStatus();
  GetDesktopMetrics(&WindowState.desktopWidth, &WindowState.desktopHeight,
                    &WindowState.desktopColorBits);
  int screenWidth, screenHeight;
  GetHookedScreenSize(&screenWidth, &screenHeight);
  ChooseClock();
  if (WindowHooks.seedRandom)
    WindowHooks.seedRandom(static_cast<unsigned>(GetNowMilliseconds()) & 0x7FFFFFFF);
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, SPIF_SENDWININICHANGE);
  ChooseCodePageMode();

  WriteLogText("ソフトの二重起動検査... ");
  if (FindWindowA(WindowState.className, nullptr)) {
    WriteLogText("二重起動されています、ソフトを終了します\n");
    ReportToUser("another copy is already running (only one can run at a time); this one ends");
    WindowState.quitSeen = 1;
    UndoCreationSettings();
    return -1;
  }
  WriteLogText("二重起動はされていませんでした\n");

  WindowState.creating = 1;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = WindowState.moduleInstance;
  wc.hIcon = LoadIconA(WindowState.moduleInstance, MAKEINTRESOURCEA(32512));
  if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);  // the program carries no icon
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  wc.lpszClassName = WindowState.className;
  WriteLogText("ウインドウクラスを登録します... ");
  if (!RegisterClassExA(&wc)) {
    ReportToUser("could not start: the window class could not be registered");
    WindowState.quitSeen = 1;
    WindowState.creating = 0;
    UndoCreationSettings();
    return -1;
  }
  WriteLogText("登録に成功しました\n");

  if (!WindowState.windowText[0])
    CopyTextBounded(WindowState.windowText, sizeof(WindowState.windowText), kDefaultWindowText);
  HWND window;
  if (WindowState.windowModeFlag) {
    WriteLogText("ウインドウモード起動用のウインドウを作成します\n");
    int cw, ch;
    TargetClientSize(&cw, &ch);
    DWORD style = WindowModeStyle();
    RECT r = CentredWindowRect(cw, ch, style, kWindowModeExStyle);
    window = CreateWindowExA(kWindowModeExStyle, WindowState.className, WindowState.windowText,
                             style, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                             nullptr, WindowState.moduleInstance, nullptr);
    WindowState.cursorWish = 1;
  } else {
    WriteLogText("フルスクリーンモード用のウインドウを作成します\n");
    window = CreateWindowExA(kFullScreenExStyle, WindowState.className, WindowState.windowText,
                             kFullScreenStyle, 0, 0, screenWidth, screenHeight, nullptr, nullptr,
                             WindowState.moduleInstance, nullptr);
    WindowState.cursorWish = 0;
  }
  if (!window) {
    WindowState.quitSeen = 1;
    WindowState.creating = 0;
    UnregisterClassA(WindowState.className, WindowState.moduleInstance);
    UndoCreationSettings();
    WriteLogText("ウインドウの作成に失敗しました\n");
    ReportToUser("could not start: the window could not be created");
    return -1;
  }
  WindowState.mainWindow = window;
  WriteLogText("ウインドウの作成に成功しました\n");
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);

  WindowState.closeRequested = 0;
  WindowState.destroyed = 0;
  WindowState.active = 1;
  if (!WindowState.windowModeFlag) {
    WriteLogText("カーソルを不可視にしました\n");
    SetCursor(nullptr);
  }
  WriteLogText("ＩＭＥを無効にしました\n");
  if (RuntimeLibraries.user32.WINNLSEnableIME)
    RuntimeLibraries.user32.WINNLSEnableIME(window, FALSE);

  if (WindowState.windowModeFlag) ReadClientScreenRect();
  SetCursorVisible(WindowState.cursorWish);
  BringWindowToTop(window);
  FitWindowSize();
  WindowState.creating = 0;
  return 0;
}

int ApplyWindowStyle() {
  HWND window = WindowState.mainWindow;
  if (!window) return 0;
  int sw, sh;
  GetHookedScreenSize(&sw, &sh);
  if (WindowState.windowModeFlag) {
    WriteLogText("ウインドウスタイルをウインドウモード用に変更します... ");
    DWORD style = WindowModeStyle();
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(kWindowModeExStyle));
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style));
    int cw, ch;
    TargetClientSize(&cw, &ch);
    RECT r = CentredWindowRect(cw, ch, style, kWindowModeExStyle);
    SetWindowPos(window, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
    SetWindowPos(window, HWND_NOTOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
    ReadClientScreenRect();
    // Keep the client area on the desktop.
    LONG dx = WindowState.clientScreenRect.left < 0 ? -WindowState.clientScreenRect.left : 0;
    LONG dy = WindowState.clientScreenRect.top < 0 ? -WindowState.clientScreenRect.top : 0;
    if (dx || dy) {
      SetWindowPos(window, HWND_NOTOPMOST, r.left + dx, r.top + dy, r.right - r.left,
                   r.bottom - r.top, 0);
      ReadClientScreenRect();
    }
    SetCursorVisible(1);
  } else {
    WriteLogText("ウインドウスタイルをフルスクリーンモード用に変更します... ");
    SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(kFullScreenExStyle));
    SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(kFullScreenStyle));
    WindowState.clientScreenRect = {0, 0, sw, sh};
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, sw, sh, SWP_NOREDRAW);
    SetCursorVisible(0);
  }
  WriteLogText("完了\n");
  SetActiveWindow(window);
  PostMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT);
  return 0;
}

int StoreWindowModeFlag(int flag) {
  WindowState.windowModeFlag = flag;
  WriteLogText(flag ? "ウインドウモードフラグが立てられました\n"
                    : "ウインドウモードフラグが倒されました\n");
  return 0;
}

int ChangeWindowMode(int flag) {
  WriteLogText("ChangeWindowMode実行 \n");
  if ((flag != 0) == (WindowState.windowModeFlag != 0)) return 0;
  if (!flag && WindowState.mainWindow) {
    int sw, sh;
    GetHookedScreenSize(&sw, &sh);
    bool available = WindowHooks.isDisplayModeAvailable &&
                     WindowHooks.isDisplayModeAvailable(sw, sh, GetHookedScreenBitDepth());
    bool emulated =
        sw == 320 && sh == 240 &&
        !(WindowHooks.softwareRenderingRequested && WindowHooks.softwareRenderingRequested());
    if (!available && !emulated) return -1;
    if (sw == 320 && sh == 240 && WindowHooks.setEmulate320x240) WindowHooks.setEmulate320x240(1);
  }
  WindowState.styleAppliedFlag = 1;
  WindowState.displayChangeSeen = 0;
  StoreWindowModeFlag(flag ? 1 : 0);
  if (!WindowState.mainWindow) return 0;

  WindowState.modeChanging = 1;
  ApplyWindowStyle();
  int result = 0;
  if (WindowHooks.changeScreenModeForWindowMode) {
    result = WindowHooks.changeScreenModeForWindowMode();
    int start = GetNowMilliseconds();
    while (PumpWindowMessages() == 0 && !WindowState.displayChangeSeen &&
           GetNowMilliseconds() - start < kDisplayChangeWaitMs) {}
  }
  WindowState.modeChanging = 0;
  return result;
}

int SetWindowResizable(int sizable, int keepAspect) {
  if ((sizable != 0) == (WindowState.sizableFlag != 0)) return 0;
  WindowState.sizableFlag = sizable ? 1 : 0;
  WindowState.capOnlyFlag = keepAspect != 1;
  if (WindowState.mainWindow && WindowState.windowModeFlag) ApplyWindowStyle();
  return 0;
}

int SetWindowTitleText(const char* text) {
  CopyTextBounded(WindowState.windowText, sizeof(WindowState.windowText), text ? text : "");
  CopyTextBounded(WindowState.className, sizeof(WindowState.className), WindowState.windowText);
  SetUserReportName(WindowState.windowText);
  if (WindowState.mainWindow) SetWindowTextA(WindowState.mainWindow, WindowState.windowText);
  return 0;
}

int FitWindowSize() {
  HWND window = WindowState.mainWindow;
  if (!window) return 0;
  int tw, th;
  TargetClientSize(&tw, &th);
  RECT w, c;
  GetWindowRect(window, &w);
  GetClientRect(window, &c);
  int frameW = (w.right - w.left) - c.right, frameH = (w.bottom - w.top) - c.bottom;
  int cw = tw, ch = th;
  if (WindowState.capOnlyFlag) {
    cw = c.right < tw ? c.right : tw;
    ch = c.bottom < th ? c.bottom : th;
  }
  MoveWindow(window, w.left, w.top, frameW + cw, frameH + ch, TRUE);
  if (WindowState.windowModeFlag && !WindowState.styleAppliedFlag) {
    WindowState.styleAppliedFlag = 1;
    ApplyWindowStyle();
  }
  return 0;
}

void BringWindowToFront(HWND window, int topmost) {
  HWND foreground = GetForegroundWindow();
  DWORD self = GetWindowThreadProcessId(window, nullptr);
  DWORD other = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
  AttachThreadInput(self, other, TRUE);
  DWORD timeout = 0;
  SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
  SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
  SetForegroundWindow(window);
  SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                        reinterpret_cast<LPVOID>(static_cast<uintptr_t>(timeout)), 0);
  AttachThreadInput(self, other, FALSE);
  if (topmost)
    SetWindowPos(WindowState.mainWindow, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW);
}

int DestroyMainWindow() {
  HWND window = WindowState.mainWindow;
  if (!window) return 0;
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDWININICHANGE);
  if (RuntimeLibraries.user32.WINNLSEnableIME)
    RuntimeLibraries.user32.WINNLSEnableIME(window, TRUE);
  WindowState.cursorWish = 1;
  if (!WindowState.cursorShown) {
    while (ShowCursor(TRUE) < 0) {}
    PostMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT);
    WindowState.cursorShown = 1;
  }
  if (!WindowState.closeRequested) {
    WindowState.closeRequested = 1;
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  while (PumpWindowMessages() == 0 && !WindowState.destroyed) {}
  UnregisterClassA(WindowState.className, WindowState.moduleInstance);
  EndTextInput();
  TIMECAPS caps = {};
  timeGetDevCaps(&caps, sizeof(caps));
  timeEndPeriod(caps.wPeriodMin);
  return 0;
}
