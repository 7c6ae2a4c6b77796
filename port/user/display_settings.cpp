// The display as the port shows it: desktop metrics from SDL, a list of display modes that
// always holds 640 x 480 at 16 and 32 bits, mode switches that scale full-screen windows instead
// of changing the real display, device contexts and their capabilities (a 32-bit desktop: SDL
// counts XRGB8888 as 24 bits, Windows as 32), and the stock brushes.
#include <algorithm>
#include <new>
#include <set>
#include <tuple>
#include <vector>

#include "port/gdi/device_context.h"
#include "port/kernel/last_error.h"
#include "port/user/window_internal.h"
#include "port/user/window_record.h"

namespace {

constexpr uint32_t kDcMagic = 0x43444450;     // "PDDC"
constexpr uint32_t kBrushMagic = 0x48535242;  // "BRSH"

bool gModeChanged = false;
PortDisplayMode gCurrentMode = {};
int gDesktopBitsOverride = 0;
// Live device contexts: a released handle is refused without touching its memory.
std::set<const void*> gDeviceContexts;

const PortBrush kStockBrushes[] = {
    {kBrushMagic, false, RGB(255, 255, 255)}, {kBrushMagic, false, RGB(192, 192, 192)},
    {kBrushMagic, false, RGB(128, 128, 128)}, {kBrushMagic, false, RGB(64, 64, 64)},
    {kBrushMagic, false, RGB(0, 0, 0)},       {kBrushMagic, true, 0},
};

// Test switches: modes that ChangeDisplaySettingsA refuses, and a count of mode changes still
// to refuse.
struct RefusedMode {
  int width, height, bits;
};
std::vector<RefusedMode> gRefusedModes;
int gChangesToRefuse = 0;
// A list that grows while it is read: after this many numbered enumerations the list holds
// `gModesToAdd` more modes (-1: never).
int gEnumerationsBeforeGrowth = -1;
int gModesToAdd = 0;

bool Refused(const PortDisplayMode& m) {
  for (const RefusedMode& r : gRefusedModes)
    if (r.width == m.width && r.height == m.height && r.bits == m.bits) return true;
  return false;
}

int DesktopBits() { return gDesktopBitsOverride ? gDesktopBitsOverride : 32; }

std::vector<PortDisplayMode> ModeList() {
  std::vector<PortDisplayMode> sizes;
  PortDisplayMode desktop = PortDesktopDisplayMode();
  sizes.push_back({640, 480, 0, 60});
  sizes.push_back({desktop.width, desktop.height, 0, desktop.refresh});
  if (PortEnsureVideo()) {
    int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
      SDL_DisplayMode m;
      if (SDL_GetDisplayMode(0, i, &m) == 0) sizes.push_back({m.w, m.h, 0, m.refresh_rate});
    }
  }
  if (gEnumerationsBeforeGrowth == 0)
    for (int i = 0; i < gModesToAdd; ++i) sizes.push_back({4000 + i, 3000, 0, 60});
  std::vector<PortDisplayMode> modes;
  for (int bits : {16, 32})
    for (PortDisplayMode s : sizes) modes.push_back({s.width, s.height, bits, s.refresh});
  auto key = [](const PortDisplayMode& m) {
    return std::tuple(m.bits, m.width, m.height, m.refresh);
  };
  std::sort(modes.begin(), modes.end(), [&](auto& a, auto& b) { return key(a) < key(b); });
  modes.erase(
      std::unique(modes.begin(), modes.end(), [&](auto& a, auto& b) { return key(a) == key(b); }),
      modes.end());
  return modes;
}

void FillDevMode(DEVMODEA* dm, const PortDisplayMode& m) {
  dm->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
  dm->dmBitsPerPel = static_cast<DWORD>(m.bits);
  dm->dmPelsWidth = static_cast<DWORD>(m.width);
  dm->dmPelsHeight = static_cast<DWORD>(m.height);
  dm->dmDisplayFrequency = static_cast<DWORD>(m.refresh);
}

}  // namespace

PortDisplayMode PortDesktopDisplayMode() {
  SDL_DisplayMode m;
  if (PortEnsureVideo() && SDL_GetDesktopDisplayMode(0, &m) == 0)
    return {m.w, m.h, DesktopBits(), m.refresh_rate ? m.refresh_rate : 60};
  return {640, 480, DesktopBits(), 60};
}

PortDisplayMode PortCurrentDisplayMode() {
  std::lock_guard lock(PortWindowMutex());
  return gModeChanged ? gCurrentMode : PortDesktopDisplayMode();
}

void PortSwitchDisplayMode(const PortDisplayMode* mode) {
  std::vector<PortWindow*> all;
  {
    std::lock_guard lock(PortWindowMutex());
    gModeChanged = mode != nullptr;
    if (mode) gCurrentMode = *mode;
    all = PortWindowList();
  }
  PortDisplayMode now = PortCurrentDisplayMode();
  for (PortWindow* w : all) {
    PortSyncFullScreen(w);
    // The runtime waits for this message to know that a switch has completed.
    PortPostToOwner(w, WM_DISPLAYCHANGE, static_cast<WPARAM>(now.bits),
                    MAKELPARAM(now.width, now.height));
  }
}

// --- metrics -------------------------------------------------------------------------------

int WINAPI GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
      return PortCurrentDisplayMode().width;
    case SM_CYSCREEN:
      return PortCurrentDisplayMode().height;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME:
      return 3;
    case SM_CXSIZEFRAME:
    case SM_CYSIZEFRAME:
      return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return 2;
    case SM_CYCAPTION:
      return 20;
    default:
      return 0;
  }
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT uiParam, LPVOID pvParam, UINT) {
  static DWORD foregroundLockTimeout = 200000;
  switch (action) {
    case SPI_GETSCREENSAVEACTIVE:
      if (!pvParam) return FALSE;
      *static_cast<BOOL*>(pvParam) = PortEnsureVideo() && SDL_IsScreenSaverEnabled() ? TRUE : FALSE;
      return TRUE;
    case SPI_SETSCREENSAVEACTIVE:
      if (!PortEnsureVideo()) return FALSE;
      if (uiParam)
        SDL_EnableScreenSaver();
      else
        SDL_DisableScreenSaver();
      return TRUE;
    case SPI_GETFOREGROUNDLOCKTIMEOUT:
      if (!pvParam) return FALSE;
      *static_cast<DWORD*>(pvParam) = foregroundLockTimeout;
      return TRUE;
    case SPI_SETFOREGROUNDLOCKTIMEOUT:
      foregroundLockTimeout = static_cast<DWORD>(reinterpret_cast<uintptr_t>(pvParam));
      return TRUE;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

// --- display modes -------------------------------------------------------------------------

BOOL WINAPI EnumDisplaySettingsA(LPCSTR, DWORD modeNum, DEVMODEA* dm) {
  if (!dm) return FALSE;
  if (modeNum == ENUM_CURRENT_SETTINGS) {
    FillDevMode(dm, PortCurrentDisplayMode());
    return TRUE;
  }
  if (modeNum == ENUM_REGISTRY_SETTINGS) {
    FillDevMode(dm, PortDesktopDisplayMode());
    return TRUE;
  }
  std::vector<PortDisplayMode> modes = ModeList();
  if (gEnumerationsBeforeGrowth > 0) --gEnumerationsBeforeGrowth;
  if (modeNum >= modes.size()) return FALSE;
  FillDevMode(dm, modes[modeNum]);
  return TRUE;
}

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* dm, DWORD flags) {
  if (!dm) {
    if (!(flags & CDS_TEST)) PortSwitchDisplayMode(nullptr);
    return DISP_CHANGE_SUCCESSFUL;
  }
  PortDisplayMode want = PortCurrentDisplayMode();
  if (dm->dmFields & DM_PELSWIDTH) want.width = static_cast<int>(dm->dmPelsWidth);
  if (dm->dmFields & DM_PELSHEIGHT) want.height = static_cast<int>(dm->dmPelsHeight);
  if (dm->dmFields & DM_BITSPERPEL) want.bits = static_cast<int>(dm->dmBitsPerPel);
  int refresh = (dm->dmFields & DM_DISPLAYFREQUENCY) ? static_cast<int>(dm->dmDisplayFrequency) : 0;
  const PortDisplayMode* found = nullptr;
  std::vector<PortDisplayMode> modes = ModeList();
  for (const PortDisplayMode& m : modes)
    if (m.width == want.width && m.height == want.height && m.bits == want.bits &&
        (refresh <= 1 || m.refresh == refresh)) {
      found = &m;
      break;
    }
  if (!found) return DISP_CHANGE_BADMODE;
  {
    std::lock_guard lock(PortWindowMutex());
    if (Refused(*found)) return DISP_CHANGE_BADMODE;
    if (!(flags & CDS_TEST) && gChangesToRefuse > 0) {
      --gChangesToRefuse;
      return DISP_CHANGE_FAILED;
    }
  }
  if (flags & CDS_TEST) return DISP_CHANGE_SUCCESSFUL;
  PortSwitchDisplayMode(found);
  return DISP_CHANGE_SUCCESSFUL;
}

// --- device contexts -----------------------------------------------------------------------

PortDeviceContext* PortAllocDeviceContext(int kind, HWND window, size_t size) {
  size = std::max(size, sizeof(PortDeviceContext));
  void* memory = ::operator new(size, std::nothrow);
  if (!memory) return nullptr;
  std::fill_n(static_cast<unsigned char*>(memory), size, 0);
  auto* dc = static_cast<PortDeviceContext*>(memory);
  dc->magic = kDcMagic;
  dc->kind = kind;
  dc->window = window;
  std::lock_guard lock(PortWindowMutex());
  gDeviceContexts.insert(dc);
  return dc;
}

void PortFreeDeviceContext(PortDeviceContext* dc) {
  if (!dc) return;
  {
    std::lock_guard lock(PortWindowMutex());
    gDeviceContexts.erase(dc);
  }
  dc->magic = 0;
  ::operator delete(dc);
}

PortDeviceContext* PortCheckDeviceContext(HDC dc) {
  std::lock_guard lock(PortWindowMutex());
  if (!gDeviceContexts.count(dc)) return nullptr;
  auto* p = static_cast<PortDeviceContext*>(dc);
  return p->magic == kDcMagic ? p : nullptr;
}

HDC WINAPI GetDC(HWND window) {
  if (window && !PortLiveWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return PortAllocDeviceContext(window ? kPortWindowDC : kPortScreenDC, window, 0);
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
  PortDeviceContext* p = PortCheckDeviceContext(dc);
  if (!p || (p->kind != kPortWindowDC && p->kind != kPortScreenDC) || p->window != window) return 0;
  PortFreeDeviceContext(p);
  return 1;
}

int WINAPI GetDeviceCaps(HDC dc, int index) {
  if (!PortCheckDeviceContext(dc)) return 0;
  PortDisplayMode mode = PortCurrentDisplayMode();
  switch (index) {
    case HORZRES:
      return mode.width;
    case VERTRES:
      return mode.height;
    case BITSPIXEL:
      return DesktopBits();
    case PLANES:
      return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
    case VREFRESH:
      return mode.refresh;
    default:
      return 0;
  }
}

HGDIOBJ WINAPI GetStockObject(int object) {
  if (object < WHITE_BRUSH || object > NULL_BRUSH) return nullptr;
  return const_cast<PortBrush*>(&kStockBrushes[object]);
}

const PortBrush* PortCheckBrush(HBRUSH brush) {
  auto* p = static_cast<const PortBrush*>(brush);
  return p && p->magic == kBrushMagic ? p : nullptr;
}

// Fills through the SDL window surface; a window that carries an OpenGL context is drawn by
// its device instead, so the fill is skipped there.
int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  PortDeviceContext* p = PortCheckDeviceContext(dc);
  const PortBrush* b = PortCheckBrush(brush);
  if (!p || !rect || !b) return 0;
  if (b->hollow || p->kind != kPortWindowDC) return 1;
  PortWindow* w = PortLiveWindow(p->window);
  if (!w || !w->sdl || w->opengl) return 1;
  SDL_Surface* surface = SDL_GetWindowSurface(w->sdl);
  if (!surface) return 0;
  RECT c = PortClientScreenRect(w);
  int cw = std::max<int>(1, c.right - c.left), ch = std::max<int>(1, c.bottom - c.top);
  SDL_Rect r = {static_cast<int>(int64_t{rect->left} * surface->w / cw),
                static_cast<int>(int64_t{rect->top} * surface->h / ch), 0, 0};
  r.w = static_cast<int>(int64_t{rect->right} * surface->w / cw) - r.x;
  r.h = static_cast<int>(int64_t{rect->bottom} * surface->h / ch) - r.y;
  if (r.w <= 0 || r.h <= 0) return 1;
  Uint32 color =
      SDL_MapRGB(surface->format, b->color & 0xFF, (b->color >> 8) & 0xFF, (b->color >> 16) & 0xFF);
  SDL_FillRect(surface, &r, color);
  SDL_UpdateWindowSurface(w->sdl);
  return 1;
}

void PortSetDesktopColorBits(int bits) {
  std::lock_guard lock(PortWindowMutex());
  gDesktopBitsOverride = bits;
}

void PortRefuseDisplayMode(int width, int height, int bits) {
  std::lock_guard lock(PortWindowMutex());
  gRefusedModes.push_back({width, height, bits});
}

void PortRefuseNextDisplayChanges(int count) {
  std::lock_guard lock(PortWindowMutex());
  gChangesToRefuse = count < 0 ? 0 : count;
}

void PortGrowDisplayModeList(int enumerations, int sizes) {
  std::lock_guard lock(PortWindowMutex());
  gEnumerationsBeforeGrowth = enumerations < 0 ? -1 : enumerations;
  gModesToAdd = sizes < 0 ? 0 : sizes;
}

void PortResetDisplaySwitches() {
  std::lock_guard lock(PortWindowMutex());
  gRefusedModes.clear();
  gChangesToRefuse = 0;
  gEnumerationsBeforeGrowth = -1;
  gModesToAdd = 0;
}
