// Keyboard and mouse state kept from SDL's event stream, and the Win32 keyboard calls on it.
#include <array>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "port/user/input_internal.h"
#include "port/user/keyboard.h"
#include "port/user/user32.h"

namespace {

struct Listener {
  int id;
  void (*call)(void* context);
  void* context;
};

std::mutex gStartMutex;
std::atomic<bool> gStarted{false};
bool gFailed = false;  // under gStartMutex
std::mutex gMutex;     // the state below
std::array<bool, SDL_NUM_SCANCODES> gKeys = {};
PortMouseTotals gMouse = {};
std::vector<Listener> gListeners;
int gNextListenerId = 1;

Uint32 ButtonBit(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return 1u << 0;
    case SDL_BUTTON_RIGHT:
      return 1u << 1;
    case SDL_BUTTON_MIDDLE:
      return 1u << 2;
    case SDL_BUTTON_X1:
      return 1u << 3;
    case SDL_BUTTON_X2:
      return 1u << 4;
    default:
      return 0;
  }
}

// Runs on whichever thread sends the event. Listeners only signal events, so they are called
// with the mutex held: a device that removes its listener cannot be called afterwards.
int SDLCALL Watch(void*, SDL_Event* e) {
  std::lock_guard lock(gMutex);
  bool changed = false;
  switch (e->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      int sc = e->key.keysym.scancode;
      bool down = e->type == SDL_KEYDOWN;
      if (sc > 0 && sc < SDL_NUM_SCANCODES && gKeys[sc] != down) {
        gKeys[sc] = down;
        changed = true;
      }
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      Uint32 bit = ButtonBit(e->button.button);
      Uint32 before = gMouse.buttons;
      if (e->type == SDL_MOUSEBUTTONDOWN)
        gMouse.buttons |= bit;
      else
        gMouse.buttons &= ~bit;
      changed = before != gMouse.buttons;
      break;
    }
    case SDL_MOUSEMOTION:
      gMouse.x += e->motion.xrel;
      gMouse.y += e->motion.yrel;
      break;
    case SDL_MOUSEWHEEL:
      gMouse.wheel += e->wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e->wheel.y : e->wheel.y;
      break;
    default:
      break;
  }
  if (changed)
    for (const Listener& l : gListeners) l.call(l.context);
  return 1;
}

}  // namespace

bool PortStartInputWatch() {
  if (gStarted) return true;
  // SDL calls the watch with its own lock held, so that lock is never taken under gMutex.
  std::lock_guard start(gStartMutex);
  if (gStarted) return true;
  if (gFailed) return false;
  if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
    gFailed = true;
    return false;
  }
  {
    std::lock_guard lock(gMutex);
    int count = 0;
    const Uint8* sdlKeys = SDL_GetKeyboardState(&count);
    for (int i = 0; i < count && i < SDL_NUM_SCANCODES; ++i) gKeys[i] = sdlKeys[i] != 0;
    Uint32 sdlButtons = SDL_GetMouseState(nullptr, nullptr);
    for (Uint8 b = SDL_BUTTON_LEFT; b <= SDL_BUTTON_X2; ++b)
      if (sdlButtons & SDL_BUTTON(b)) gMouse.buttons |= ButtonBit(b);
  }
  SDL_AddEventWatch(&Watch, nullptr);
  gStarted = true;
  return true;
}

bool PortScancodeDown(int scancode) {
  std::lock_guard lock(gMutex);
  return scancode > 0 && scancode < SDL_NUM_SCANCODES && gKeys[scancode];
}

int PortAddKeyboardListener(void (*listener)(void* context), void* context) {
  std::lock_guard lock(gMutex);
  int id = gNextListenerId++;
  gListeners.push_back({id, listener, context});
  return id;
}

void PortRemoveKeyboardListener(int id) {
  std::lock_guard lock(gMutex);
  std::erase_if(gListeners, [id](const Listener& l) { return l.id == id; });
}

PortMouseTotals PortReadMouseTotals() {
  std::lock_guard lock(gMutex);
  return gMouse;
}

BOOL WINAPI GetKeyboardState(BYTE* state) {
  if (!state) return FALSE;
  std::memset(state, 0, 256);
  if (!PortStartInputWatch()) return TRUE;
  std::lock_guard lock(gMutex);
  for (int sc = 1; sc < SDL_NUM_SCANCODES; ++sc) {
    if (!gKeys[sc]) continue;
    const PortKeyLayoutEntry* key = PortFindKeyLayout(static_cast<SDL_Scancode>(sc));
    if (key && key->virtualKey) state[key->virtualKey] = 0x80;
  }
  if (state[VK_LSHIFT] | state[VK_RSHIFT]) state[VK_SHIFT] = 0x80;
  if (state[VK_LCONTROL] | state[VK_RCONTROL]) state[VK_CONTROL] = 0x80;
  if (state[VK_LMENU] | state[VK_RMENU]) state[VK_MENU] = 0x80;
  constexpr BYTE kButtonKeys[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2};
  for (int b = 0; b < 5; ++b)
    if (gMouse.buttons & (1u << b)) state[kButtonKeys[b]] = 0x80;
  return TRUE;
}

SHORT WINAPI GetKeyState(int virtualKey) {
  if (virtualKey < 0 || virtualKey > 255) return 0;
  BYTE state[256];
  GetKeyboardState(state);
  return (state[virtualKey] & 0x80) ? static_cast<SHORT>(0xFF80) : 0;
}
