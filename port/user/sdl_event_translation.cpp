// SDL events become window messages. Close, focus, mouse, the editing keys and text input are
// posted to the window's queue; moves and resizes are applied at once and their messages sent,
// as Windows does while a window is dragged. The port's queue is the only reader of SDL's event
// queue; other areas that want to see events use SDL_AddEventWatch.
#include <algorithm>

#include "port/gdi/window_output.h"
#include "port/kernel/cp932_text.h"
#include "port/user/window_internal.h"
#include "port/user/window_record.h"

namespace {

struct KeyMapping {
  SDL_Keycode key;
  int virtualKey;
};

// The keys that reach the window procedure as WM_KEYDOWN: the editing keys and the four that
// TranslateMessage turns into characters.
constexpr KeyMapping kKeys[] = {
    {SDLK_BACKSPACE, VK_BACK},  {SDLK_TAB, VK_TAB},       {SDLK_RETURN, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN}, {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},   {SDLK_END, VK_END},       {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},       {SDLK_UP, VK_UP},         {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},       {SDLK_INSERT, VK_INSERT}, {SDLK_DELETE, VK_DELETE},
};

PortWindow* WindowOf(Uint32 sdlId) {
  return PortLiveWindow(sdlId ? PortFindWindowBySdlId(sdlId) : PortForegroundWindow());
}

// Client coordinates from SDL window coordinates: a full-screen window shows its client area
// scaled into a box of its shape between bars; a point on a bar goes to the nearest edge.
POINT ClientPoint(PortWindow* w, int x, int y) {
  RECT c = PortClientScreenRect(w);
  if (w->sdlFullScreen && w->sdl) {
    int sw = 0, sh = 0;
    SDL_GetWindowSize(w->sdl, &sw, &sh);
    const int cw = c.right - c.left, ch = c.bottom - c.top;
    const SDL_Rect box = PortLetterboxRect(cw, ch, sw, sh);
    if (box.w > 0 && box.h > 0 && cw > 0 && ch > 0) {
      x = std::clamp(static_cast<int>(int64_t{x - box.x} * cw / box.w), 0, cw - 1);
      y = std::clamp(static_cast<int>(int64_t{y - box.y} * ch / box.h), 0, ch - 1);
    }
  }
  return {x, y};
}

WPARAM ButtonFlags(Uint32 state) {
  WPARAM flags = 0;
  if (state & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
  if (state & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
  if (state & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
  return flags;
}

void Mouse(PortWindow* w, UINT message, int x, int y, Uint32 buttons) {
  POINT p = ClientPoint(w, x, y);
  RECT c = PortClientScreenRect(w);
  PortSetTrackedCursorPos({c.left + p.x, c.top + p.y});
  PortPostToOwner(w, message, ButtonFlags(buttons), MAKELPARAM(p.x, p.y));
}

void Focus(PortWindow* w, bool gained) {
  HWND h = reinterpret_cast<HWND>(w);
  bool isForeground = PortForegroundWindow() == h;
  if (gained == isForeground) return;  // already so: the window starts active
  PortSetForegroundWindow(gained ? h : nullptr);
  PortPostToOwner(w, WM_ACTIVATEAPP, gained ? TRUE : FALSE, 0);
  PortPostToOwner(w, WM_ACTIVATE, gained ? WA_ACTIVE : WA_INACTIVE, 0);
}

void Moved(PortWindow* w, int x, int y) {
  if (w->sdlFullScreen) return;
  RECT c = PortClientScreenRect(w);
  if (x == c.left && y == c.top) return;  // our own move coming back
  RECT proposed = {w->rect.left + x - c.left, w->rect.top + y - c.top, w->rect.right + x - c.left,
                   w->rect.bottom + y - c.top};
  SendMessageA(reinterpret_cast<HWND>(w), WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
  if (!PortLiveWindow(reinterpret_cast<HWND>(w))) return;
  PortApplyWindowRect(w, proposed, false);
}

void Resized(PortWindow* w, int width, int height) {
  if (w->sdlFullScreen) return;
  RECT c = PortClientScreenRect(w);
  int cw = c.right - c.left, ch = c.bottom - c.top;
  if (width == cw && height == ch) return;
  RECT proposed = w->rect;
  proposed.right += width - cw;
  proposed.bottom += height - ch;
  WPARAM edge = width != cw && height != ch ? WMSZ_BOTTOMRIGHT
                : width != cw               ? WMSZ_RIGHT
                                            : WMSZ_BOTTOM;
  SendMessageA(reinterpret_cast<HWND>(w), WM_SIZING, edge, reinterpret_cast<LPARAM>(&proposed));
  if (!PortLiveWindow(reinterpret_cast<HWND>(w))) return;
  PortApplyWindowRect(w, proposed, true);
}

void Translate(const SDL_Event& e) {
  switch (e.type) {
    case SDL_WINDOWEVENT: {
      PortWindow* w = PortLiveWindow(PortFindWindowBySdlId(e.window.windowID));
      if (!w || w->destroying) return;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          PortPostToOwner(w, WM_CLOSE, 0, 0);
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          Focus(w, true);
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          Focus(w, false);
          break;
        case SDL_WINDOWEVENT_MOVED:
          Moved(w, e.window.data1, e.window.data2);
          break;
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          Resized(w, e.window.data1, e.window.data2);
          break;
        case SDL_WINDOWEVENT_EXPOSED:
          PortInvalidateWholeClient(w);
          break;
        default:
          break;
      }
      return;
    }
    case SDL_MOUSEMOTION:
      if (PortWindow* w = WindowOf(e.motion.windowID))
        Mouse(w, WM_MOUSEMOVE, e.motion.x, e.motion.y, e.motion.state);
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      PortWindow* w = WindowOf(e.button.windowID);
      if (!w) return;
      bool down = e.type == SDL_MOUSEBUTTONDOWN;
      UINT message;
      switch (e.button.button) {
        case SDL_BUTTON_LEFT:
          message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
          break;
        case SDL_BUTTON_RIGHT:
          message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
          break;
        case SDL_BUTTON_MIDDLE:
          message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
          break;
        default:
          return;
      }
      Mouse(w, message, e.button.x, e.button.y, SDL_GetMouseState(nullptr, nullptr));
      return;
    }
    case SDL_KEYDOWN: {
      PortWindow* w = WindowOf(e.key.windowID);
      if (!w) return;
      for (const KeyMapping& k : kKeys) {
        if (k.key != e.key.keysym.sym) continue;
        LPARAM lParam = 1 | (static_cast<LPARAM>(e.key.keysym.scancode & 0xFF) << 16) |
                        (e.key.repeat ? (LPARAM{1} << 30) : 0);
        PortPostToOwner(w, WM_KEYDOWN, static_cast<WPARAM>(k.virtualKey), lParam);
        return;
      }
      return;
    }
    case SDL_TEXTINPUT: {
      PortWindow* w = WindowOf(e.text.windowID);
      if (!w) return;
      std::string bytes = PortUtf8ToCp932(e.text.text, SDL_strlen(e.text.text));
      for (char b : bytes) PortPostToOwner(w, WM_CHAR, static_cast<unsigned char>(b), 1);
      return;
    }
    case SDL_QUIT: {
      // Interrupt or the session ending: every window is asked to close.
      std::vector<PortWindow*> all;
      {
        std::lock_guard lock(PortWindowMutex());
        all = PortWindowList();
      }
      for (PortWindow* w : all)
        if (!w->destroying) PortPostToOwner(w, WM_CLOSE, 0, 0);
      return;
    }
    default:
      return;
  }
}

}  // namespace

void PortTranslateSdlEvents() {
  if (!PortIsVideoThread()) return;
  SDL_PumpEvents();
  SDL_Event events[64];
  int n;
  while ((n = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0)
    for (int i = 0; i < n; ++i) Translate(events[i]);
}
