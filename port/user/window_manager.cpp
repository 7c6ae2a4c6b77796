// Window classes and windows: each window is a record of the port with an SDL window that
// shows its client area. The window rectangle includes a frame that the port computes from the
// style (AdjustWindowRectEx); the SDL window sits at the client origin with the client size.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "port/kernel/cp932_text.h"
#include "port/kernel/last_error.h"
#include "port/user/window_internal.h"
#include "port/user/window_record.h"

namespace {

constexpr uint32_t kWindowMagic = 0x574E4457;  // "WDNW"

struct PortWindowClass {
  std::string name;
  WNDPROC proc;
  UINT style;
  HINSTANCE instance;
  HCURSOR cursor;
  int windows;
};

std::vector<PortWindowClass> gClasses;
std::vector<PortWindow*> gWindows;
ATOM gNextAtom = 0xC000;

bool gVideoUp = false;
bool gVideoFailed = false;
std::thread::id gVideoThread;

// The handle FindWindowA gives for a window that lives in another process.
PortWindow gForeignWindow = {};

// Frame widths of the port's window decorations (they exist only in the window rectangle;
// the window manager draws its own).
constexpr int kSizeFrame = 4;
constexpr int kFixedFrame = 3;
constexpr int kBorder = 1;
constexpr int kCaption = 20;
constexpr int kEdge = 2;
constexpr int kMenu = 20;

PortWindowClass* FindClass(const char* name) {
  for (PortWindowClass& c : gClasses)
    if (PortClassNamesEqual(c.name, name)) return &c;
  return nullptr;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

Uint32 SdlFlagsFor(const PortWindow* w) {
  Uint32 flags = SDL_WINDOW_HIDDEN;
  if ((w->style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
  if (w->style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
  if (w->exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  if (w->opengl) flags |= SDL_WINDOW_OPENGL;
  return flags;
}

SDL_Window* MakeSdlWindow(PortWindow* w) {
  RECT c = PortClientScreenRect(w);
  int cw = std::max(1, static_cast<int>(c.right - c.left));
  int ch = std::max(1, static_cast<int>(c.bottom - c.top));
  return SDL_CreateWindow(PortCp932ToUtf8(w->text.c_str()).c_str(), c.left, c.top, cw, ch,
                          SdlFlagsFor(w));
}

// Shows or hides the SDL window to match the record.
void SyncSdlVisibility(PortWindow* w) {
  if (!w->sdl) return;
  bool shown = (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_SHOWN) != 0;
  if (w->visible && !shown) SDL_ShowWindow(w->sdl);
  if (!w->visible && shown) SDL_HideWindow(w->sdl);
}

LRESULT Send(PortWindow* w, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(reinterpret_cast<HWND>(w), message, wParam, lParam);
}

void Activate(PortWindow* w) {
  w->activatedOnce = true;
  PortSetForegroundWindow(reinterpret_cast<HWND>(w));
  Send(w, WM_ACTIVATEAPP, TRUE, 0);
  Send(w, WM_ACTIVATE, WA_ACTIVE, 0);
}

// The window of the calling thread, or null with the last error set as Windows sets it.
PortWindow* OwnWindow(HWND window) {
  if (window == reinterpret_cast<HWND>(&gForeignWindow)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  PortWindow* w = PortLiveWindow(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return w;
}

void ApplyStyle(PortWindow* w, DWORD style, DWORD exStyle) {
  w->style = style;
  w->exStyle = exStyle;
  if (w->sdl) {
    SDL_SetWindowBordered(w->sdl, (style & WS_CAPTION) == WS_CAPTION ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowResizable(w->sdl, (style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowAlwaysOnTop(w->sdl, (exStyle & WS_EX_TOPMOST) ? SDL_TRUE : SDL_FALSE);
  }
  bool visible = (style & WS_VISIBLE) != 0;
  if (visible != w->visible) {
    w->visible = visible;
    if (visible) PortInvalidateWholeClient(w);
    SyncSdlVisibility(w);
  }
  // The client area changes with the frame; the SDL window follows at once, the messages come
  // with the next SetWindowPos, as on Windows.
  RECT c = PortClientScreenRect(w);
  if (w->sdl && !w->sdlFullScreen) {
    SDL_SetWindowPosition(w->sdl, c.left, c.top);
    SDL_SetWindowSize(w->sdl, std::max(1, static_cast<int>(c.right - c.left)),
                      std::max(1, static_cast<int>(c.bottom - c.top)));
  }
  PortSyncFullScreen(w);
}

// Tests and headless runs name their driver (SDL_VIDEODRIVER); a driver asked for is taken as
// it is.
bool VideoDriverAsked() {
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  return asked && *asked;
}

// With no display SDL falls back by itself on a driver that shows nothing, and a game would run
// unseen; this one line says why there is no window instead.
void SayNoDisplay(const char* why) {
  std::fprintf(stderr,
               "No display to open a window on (%s): set DISPLAY or WAYLAND_DISPLAY, or run "
               "headless with SDL_VIDEODRIVER=dummy\n",
               why);
}

}  // namespace

std::recursive_mutex& PortWindowMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

std::vector<PortWindow*>& PortWindowList() { return gWindows; }

bool PortClassNamesEqual(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return i == a.size() && b[i] == '\0';
}

PortWindow* PortLiveWindow(HWND window) {
  if (!window) return nullptr;
  std::lock_guard lock(PortWindowMutex());
  auto* w = reinterpret_cast<PortWindow*>(window);
  for (PortWindow* live : gWindows)
    if (live == w) return w;
  return nullptr;
}

bool PortEnsureVideo() {
  std::lock_guard lock(PortWindowMutex());
  if (gVideoUp) return true;
  if (gVideoFailed) return false;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (!VideoDriverAsked()) SayNoDisplay(SDL_GetError());
    gVideoFailed = true;
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  const bool hidden =
      driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
  if (hidden && !VideoDriverAsked()) {
    const std::string why = std::string("SDL found only its \"") + driver + "\" video driver";
    SayNoDisplay(why.c_str());
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    gVideoFailed = true;
    return false;
  }
  gVideoUp = true;
  gVideoThread = std::this_thread::get_id();
  return true;
}

bool PortIsVideoThread() { return gVideoUp && std::this_thread::get_id() == gVideoThread; }

void PortFrameSize(DWORD style, DWORD exStyle, RECT* frame) {
  int side = 0;
  if (style & WS_THICKFRAME)
    side = kSizeFrame;
  else if ((style & WS_CAPTION) == WS_CAPTION || (style & WS_DLGFRAME))
    side = kFixedFrame;
  else if (style & WS_BORDER)
    side = kBorder;
  if (exStyle & WS_EX_CLIENTEDGE) side += kEdge;
  frame->left = frame->right = frame->bottom = side;
  frame->top = side + ((style & WS_CAPTION) == WS_CAPTION ? kCaption : 0);
}

RECT PortClientScreenRect(const PortWindow* w) {
  RECT f;
  PortFrameSize(w->style, w->exStyle, &f);
  RECT c = {w->rect.left + f.left, w->rect.top + f.top, w->rect.right - f.right,
            w->rect.bottom - f.bottom};
  if (c.right < c.left) c.right = c.left;
  if (c.bottom < c.top) c.bottom = c.top;
  return c;
}

void PortInvalidateWholeClient(PortWindow* w) {
  RECT c = PortClientScreenRect(w);
  w->needsPaint = true;
  w->updateRect = {0, 0, c.right - c.left, c.bottom - c.top};
}

void PortSyncFullScreen(PortWindow* w) {
  if (!w->sdl) return;
  PortDisplayMode mode = PortCurrentDisplayMode();
  bool cover = w->visible && (w->style & WS_POPUP) && (w->style & WS_CAPTION) != WS_CAPTION &&
               SameRect(w->rect, RECT{0, 0, mode.width, mode.height});
  if (cover == w->sdlFullScreen) return;
  w->sdlFullScreen = cover;
  SDL_SetWindowFullscreen(w->sdl, cover ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  if (!cover) {
    RECT c = PortClientScreenRect(w);
    SDL_SetWindowSize(w->sdl, std::max(1, static_cast<int>(c.right - c.left)),
                      std::max(1, static_cast<int>(c.bottom - c.top)));
    SDL_SetWindowPosition(w->sdl, c.left, c.top);
  }
}

void PortApplyWindowRect(PortWindow* w, const RECT& rect, bool redraw) {
  w->rect = rect;
  RECT c = PortClientScreenRect(w);
  int cw = c.right - c.left, ch = c.bottom - c.top;
  if (w->sdl && !w->sdlFullScreen) {
    SDL_SetWindowPosition(w->sdl, c.left, c.top);
    SDL_SetWindowSize(w->sdl, std::max(1, cw), std::max(1, ch));
  }
  PortSyncFullScreen(w);
  bool moved = c.left != w->reportedOrigin.x || c.top != w->reportedOrigin.y;
  bool sized = cw != w->reportedSize.cx || ch != w->reportedSize.cy;
  w->reportedOrigin = {c.left, c.top};
  w->reportedSize = {cw, ch};
  if (sized && redraw) PortInvalidateWholeClient(w);
  HWND h = reinterpret_cast<HWND>(w);
  if (moved) SendMessageA(h, WM_MOVE, 0, MAKELPARAM(c.left, c.top));
  if (sized) SendMessageA(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cw, ch));
}

// --- classes -------------------------------------------------------------------------------

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpszClassName || !*wc->lpszClassName ||
      !wc->lpfnWndProc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard lock(PortWindowMutex());
  if (FindClass(wc->lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  gClasses.push_back(
      {wc->lpszClassName, wc->lpfnWndProc, wc->style, wc->hInstance, wc->hCursor, 0});
  return gNextAtom++;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
  if (!className) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(PortWindowMutex());
  PortWindowClass* c = FindClass(className);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (c->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  gClasses.erase(gClasses.begin() + (c - gClasses.data()));
  return TRUE;
}

// --- creation and destruction --------------------------------------------------------------

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
  if (!className) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!PortEnsureVideo()) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto* w = new PortWindow{};
  {
    std::lock_guard lock(PortWindowMutex());
    PortWindowClass* c = FindClass(className);
    if (!c) {
      delete w;
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    w->magic = kWindowMagic;
    w->className = c->name;
    w->proc = c->proc;
    w->classStyle = c->style;
    w->classCursor = c->cursor;
    ++c->windows;
  }
  w->text = windowName ? windowName : "";
  w->style = style & ~WS_VISIBLE;
  w->exStyle = exStyle;
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) width = 640, height = 480;
  w->rect = {x, y, x + width, y + height};
  w->owner = std::this_thread::get_id();
  w->ownerThreadId = PortCurrentThreadId();
  w->sdl = MakeSdlWindow(w);
  if (!w->sdl) {
    std::lock_guard lock(PortWindowMutex());
    --FindClass(className)->windows;
    delete w;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  {
    std::lock_guard lock(PortWindowMutex());
    gWindows.push_back(w);
  }
  PortClaimClassName(w->className);

  HWND h = reinterpret_cast<HWND>(w);
  CREATESTRUCTA cs = {
      param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
      windowName, className, exStyle};
  if (!SendMessageA(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
      SendMessageA(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(h);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  RECT c = PortClientScreenRect(w);
  w->reportedOrigin = {c.left, c.top};
  w->reportedSize = {c.right - c.left, c.bottom - c.top};
  SendMessageA(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->reportedSize.cx, w->reportedSize.cy));
  SendMessageA(h, WM_MOVE, 0, MAKELPARAM(c.left, c.top));
  if (style & WS_VISIBLE) ShowWindow(h, SW_SHOW);
  return h;
}

BOOL WINAPI DestroyWindow(HWND window) {
  PortWindow* w = OwnWindow(window);
  if (!w) return FALSE;
  if (w->owner != std::this_thread::get_id()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (w->destroying) return TRUE;
  w->destroying = true;
  if (w->visible) {
    w->visible = false;
    SyncSdlVisibility(w);
  }
  if (PortForegroundWindow() == window) PortSetForegroundWindow(nullptr);
  SendMessageA(window, WM_DESTROY, 0, 0);
  SendMessageA(window, WM_NCDESTROY, 0, 0);
  PortKillWindowTimers(window);
  PortPurgeWindowMessages(window);
  {
    std::lock_guard lock(PortWindowMutex());
    gWindows.erase(std::find(gWindows.begin(), gWindows.end(), w));
    if (PortWindowClass* c = FindClass(w->className.c_str())) --c->windows;
  }
  bool lastOfClass = true;
  {
    std::lock_guard lock(PortWindowMutex());
    for (PortWindow* other : gWindows)
      if (PortClassNamesEqual(other->className, w->className.c_str())) lastOfClass = false;
  }
  if (lastOfClass) PortReleaseClassName(w->className);
  if (w->sdl) SDL_DestroyWindow(w->sdl);
  w->magic = 0;
  delete w;
  return TRUE;
}

BOOL WINAPI IsWindow(HWND window) {
  return window == reinterpret_cast<HWND>(&gForeignWindow) || PortLiveWindow(window) != nullptr;
}

HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName) {
  {
    std::lock_guard lock(PortWindowMutex());
    for (PortWindow* w : gWindows) {
      if (w->destroying) continue;
      if (className && !PortClassNamesEqual(w->className, className)) continue;
      if (windowName && w->text != windowName) continue;
      return reinterpret_cast<HWND>(w);
    }
  }
  // Windows of other processes are known by their class only.
  if (className && !windowName && PortClassNameClaimedElsewhere(className))
    return reinterpret_cast<HWND>(&gForeignWindow);
  return nullptr;
}

HWND WINAPI GetDesktopWindow() {
  static PortWindow desktop = {};
  return reinterpret_cast<HWND>(&desktop);
}

// --- showing -------------------------------------------------------------------------------

BOOL WINAPI ShowWindow(HWND window, int command) {
  PortWindow* w = OwnWindow(window);
  if (!w) return FALSE;
  BOOL wasVisible = w->visible;
  switch (command) {
    case SW_HIDE:
      w->visible = false;
      w->style &= ~WS_VISIBLE;
      SyncSdlVisibility(w);
      PortSyncFullScreen(w);
      return wasVisible;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
      if (w->sdl) SDL_MinimizeWindow(w->sdl);
      break;
    case SW_RESTORE:
      if (w->sdl) SDL_RestoreWindow(w->sdl);
      break;
    default:
      break;
  }
  if (!w->visible) {
    w->visible = true;
    w->style |= WS_VISIBLE;
    PortInvalidateWholeClient(w);
    SyncSdlVisibility(w);
    PortSyncFullScreen(w);
  }
  // A window starts active: the first show activates it, unless told not to.
  if (!w->activatedOnce && command != SW_SHOWNOACTIVATE && command != SW_MINIMIZE) Activate(w);
  return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND window) {
  PortWindow* w = OwnWindow(window);
  if (!w) return FALSE;
  if (w->visible && w->needsPaint) SendMessageA(window, WM_PAINT, 0, 0);
  return TRUE;
}

BOOL WINAPI InvalidateRect(HWND window, const RECT* rect, BOOL) {
  PortWindow* w = OwnWindow(window);
  if (!w) return FALSE;
  if (!rect) {
    PortInvalidateWholeClient(w);
  } else if (!w->needsPaint) {
    w->needsPaint = true;
    w->updateRect = *rect;
  } else {
    w->updateRect.left = std::min(w->updateRect.left, rect->left);
    w->updateRect.top = std::min(w->updateRect.top, rect->top);
    w->updateRect.right = std::max(w->updateRect.right, rect->right);
    w->updateRect.bottom = std::max(w->updateRect.bottom, rect->bottom);
  }
  return TRUE;
}

BOOL WINAPI IsIconic(HWND window) {
  PortWindow* w = PortLiveWindow(window);
  return w && w->sdl && (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_MINIMIZED) ? TRUE : FALSE;
}

// --- window data ---------------------------------------------------------------------------

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
  PortWindow* w = OwnWindow(window);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE:
      return static_cast<LONG>(w->style | (w->visible ? WS_VISIBLE : 0));
    case GWL_EXSTYLE:
      return static_cast<LONG>(w->exStyle);
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_USERDATA:
      return w->userData;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
  }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  PortWindow* w = OwnWindow(window);
  if (!w) return 0;
  LONG_PTR old = GetWindowLongPtrA(window, index);
  switch (index) {
    case GWL_STYLE:
      ApplyStyle(w, static_cast<DWORD>(value), w->exStyle);
      break;
    case GWL_EXSTYLE:
      ApplyStyle(w, w->style | (w->visible ? WS_VISIBLE : 0), static_cast<DWORD>(value));
      break;
    case GWLP_WNDPROC:
      if (!value) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      w->proc = reinterpret_cast<WNDPROC>(value);
      break;
    case GWLP_USERDATA:
      w->userData = value;
      break;
    default:
      return 0;
  }
  return old;
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
  return static_cast<LONG>(GetWindowLongPtrA(window, index));
}

LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
  // Styles are 32-bit masks: keep the bits, do not sign-extend them.
  LONG_PTR v = (index == GWL_STYLE || index == GWL_EXSTYLE)
                   ? static_cast<LONG_PTR>(static_cast<DWORD>(value))
                   : value;
  return static_cast<LONG>(SetWindowLongPtrA(window, index, v));
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
  PortWindow* w = OwnWindow(window);
  if (!w) return FALSE;
  w->text = text ? text : "";
  if (w->sdl) SDL_SetWindowTitle(w->sdl, PortCp932ToUtf8(w->text.c_str()).c_str());
  return TRUE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR text, int maxCount) {
  PortWindow* w = OwnWindow(window);
  if (!w || !text || maxCount <= 0) return 0;
  size_t n = std::min(w->text.size(), static_cast<size_t>(maxCount - 1));
  std::memcpy(text, w->text.data(), n);
  text[n] = '\0';
  return static_cast<int>(n);
}

DWORD WINAPI GetWindowThreadProcessId(HWND window, LPDWORD processId) {
  PortWindow* w = PortLiveWindow(window);
  if (!w) return 0;
  if (processId) *processId = static_cast<DWORD>(getpid());
  return w->ownerThreadId;
}

// --- geometry ------------------------------------------------------------------------------

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT f;
  PortFrameSize(style, exStyle, &f);
  rect->left -= f.left;
  rect->top -= f.top + (menu ? kMenu : 0);
  rect->right += f.right;
  rect->bottom += f.bottom;
  return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                         UINT flags) {
  PortWindow* w = OwnWindow(window);
  if (!w) return FALSE;
  if (!(flags & SWP_NOZORDER)) {
    if (insertAfter == HWND_TOPMOST)
      ApplyStyle(w, w->style | (w->visible ? WS_VISIBLE : 0), w->exStyle | WS_EX_TOPMOST);
    else if (insertAfter == HWND_NOTOPMOST)
      ApplyStyle(w, w->style | (w->visible ? WS_VISIBLE : 0), w->exStyle & ~WS_EX_TOPMOST);
    if (w->sdl && !(flags & SWP_NOACTIVATE)) SDL_RaiseWindow(w->sdl);
  }
  RECT r = w->rect;
  if (!(flags & SWP_NOMOVE)) {
    r.right += x - r.left;
    r.bottom += y - r.top;
    r.left = x;
    r.top = y;
  }
  if (!(flags & SWP_NOSIZE)) {
    r.right = r.left + std::max(0, width);
    r.bottom = r.top + std::max(0, height);
  }
  PortApplyWindowRect(w, r, !(flags & SWP_NOREDRAW));
  if (flags & SWP_SHOWWINDOW)
    ShowWindow(window, (flags & SWP_NOACTIVATE) ? SW_SHOWNOACTIVATE : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
  return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
  PortWindow* w = OwnWindow(window);
  if (!w) return FALSE;
  PortApplyWindowRect(w, RECT{x, y, x + std::max(0, width), y + std::max(0, height)}, repaint);
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
  PortWindow* w = OwnWindow(window);
  if (!w || !rect) return FALSE;
  *rect = w->rect;
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
  PortWindow* w = OwnWindow(window);
  if (!w || !rect) return FALSE;
  RECT c = PortClientScreenRect(w);
  *rect = {0, 0, c.right - c.left, c.bottom - c.top};
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
  PortWindow* w = OwnWindow(window);
  if (!w || !point) return FALSE;
  RECT c = PortClientScreenRect(w);
  point->x += c.left;
  point->y += c.top;
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND window, LPPOINT point) {
  PortWindow* w = OwnWindow(window);
  if (!w || !point) return FALSE;
  RECT c = PortClientScreenRect(w);
  point->x -= c.left;
  point->y -= c.top;
  return TRUE;
}

// --- foreground ----------------------------------------------------------------------------

HWND WINAPI GetForegroundWindow() { return PortForegroundWindow(); }

BOOL WINAPI SetForegroundWindow(HWND window) {
  PortWindow* w = OwnWindow(window);
  if (!w) return FALSE;
  if (w->sdl) SDL_RaiseWindow(w->sdl);
  return TRUE;
}

HWND WINAPI SetActiveWindow(HWND window) {
  HWND previous = PortForegroundWindow();
  SetForegroundWindow(window);
  return previous;
}

BOOL WINAPI BringWindowToTop(HWND window) { return SetForegroundWindow(window); }

BOOL WINAPI AttachThreadInput(DWORD, DWORD, BOOL) { return TRUE; }

// --- for other port areas ------------------------------------------------------------------

SDL_Window* PortGetSdlWindow(HWND window) {
  PortWindow* w = PortLiveWindow(window);
  return w ? w->sdl : nullptr;
}

bool PortWindowHasOpenGL(HWND window) {
  PortWindow* w = PortLiveWindow(window);
  return w && w->opengl;
}

bool PortWindowIsFullScreen(HWND window) {
  PortWindow* w = PortLiveWindow(window);
  return w && w->sdlFullScreen;
}

HWND PortFindWindowBySdlId(Uint32 sdlWindowId) {
  std::lock_guard lock(PortWindowMutex());
  for (PortWindow* w : gWindows)
    if (w->sdl && SDL_GetWindowID(w->sdl) == sdlWindowId) return reinterpret_cast<HWND>(w);
  return nullptr;
}

SDL_Window* PortEnableOpenGL(HWND window) {
  PortWindow* w = PortLiveWindow(window);
  if (!w) return nullptr;
  if (w->opengl) return w->sdl;
  w->opengl = true;
  SDL_Window* replacement = MakeSdlWindow(w);
  if (!replacement) {
    w->opengl = false;
    return nullptr;
  }
  SDL_DestroyWindow(w->sdl);
  w->sdl = replacement;
  bool wasFull = w->sdlFullScreen;
  w->sdlFullScreen = false;
  SyncSdlVisibility(w);
  if (wasFull) PortSyncFullScreen(w);
  return w->sdl;
}
