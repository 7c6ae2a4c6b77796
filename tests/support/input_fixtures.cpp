#include "tests/support/input_fixtures.h"

#include "port/kernel/winmm.h"
#include "port/user/input_internal.h"

namespace {

int DeviceIndexOf(SDL_JoystickID id) {
  for (int i = 0; i < SDL_NumJoysticks(); ++i)
    if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
  return -1;
}
}  // namespace

VirtualPads::VirtualPads() { PortEnsureJoysticks(); }

VirtualPads::~VirtualPads() {
  for (size_t i = 0; i < pads_.size(); ++i) Detach(static_cast<int>(i));
  SDL_JoystickUpdate();
}

bool VirtualPads::OnlyOurs() {
  PortEnsureJoysticks();
  SDL_JoystickUpdate();
  for (int i = 0; i < SDL_NumJoysticks(); ++i)
    if (!SDL_JoystickIsVirtual(i)) return false;
  return true;
}

int SDLCALL VirtualPads::OnRumble(void* pad, Uint16 low, Uint16 high) {
  Rumble& r = static_cast<Pad*>(pad)->rumble;
  ++r.calls;
  r.low = low;
  r.high = high;
  return 0;
}

int VirtualPads::Attach(const char* name, int axes, int buttons, int hats, bool rumble) {
  auto pad = std::make_unique<Pad>();
  SDL_VirtualJoystickDesc desc = {};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = static_cast<Uint16>(axes);
  desc.nbuttons = static_cast<Uint16>(buttons);
  desc.nhats = static_cast<Uint16>(hats);
  desc.name = name;
  desc.userdata = pad.get();
  if (rumble) desc.Rumble = &OnRumble;
  int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index < 0) return -1;
  pad->id = SDL_JoystickGetDeviceInstanceID(index);
  pad->joystick = SDL_JoystickOpen(index);
  pads_.push_back(std::move(pad));
  return static_cast<int>(pads_.size()) - 1;
}

void VirtualPads::Detach(int pad) {
  Pad& p = *pads_[pad];
  if (!p.joystick) return;
  SDL_JoystickClose(p.joystick);
  p.joystick = nullptr;
  int index = DeviceIndexOf(p.id);
  if (index >= 0) SDL_JoystickDetachVirtual(index);
}

void VirtualPads::SetAxis(int pad, int axis, Sint16 value) {
  SDL_JoystickSetVirtualAxis(pads_[pad]->joystick, axis, value);
}

void VirtualPads::SetButton(int pad, int button, bool down) {
  SDL_JoystickSetVirtualButton(pads_[pad]->joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
}

void VirtualPads::SetHat(int pad, int hat, Uint8 value) {
  SDL_JoystickSetVirtualHat(pads_[pad]->joystick, hat, value);
}

VirtualPads::Rumble VirtualPads::LastRumble(int pad) const { return pads_[pad]->rumble; }

SDL_JoystickID VirtualPads::InstanceId(int pad) const { return pads_[pad]->id; }

void PushKey(SDL_Scancode scancode, bool down, Uint32 windowId) {
  SDL_Event e = {};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.windowID = windowId;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = scancode;
  e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
  SDL_PushEvent(&e);
}

void ReleaseHeldKeys() {
  PortStartInputWatch();
  for (int sc = 1; sc < SDL_NUM_SCANCODES; ++sc)
    if (PortScancodeDown(sc)) PushKey(static_cast<SDL_Scancode>(sc), false);
  const Uint8 buttons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1,
                           SDL_BUTTON_X2};  // in the order of the held bits
  const Uint32 held = PortReadMouseTotals().buttons;
  for (int b = 0; b < 5; ++b) {
    if (!(held & (1u << b))) continue;
    SDL_Event e = {};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.button = buttons[b];
    e.button.state = SDL_RELEASED;
    e.button.windowID = 0xFFFFFFF0u;  // no window: nothing reads it as a message
    SDL_PushEvent(&e);
  }
}

// The port holds the one offset, which the headless game moves too.
void AdvanceClock(DWORD ms) { PortSetTimeGetTimeOffset(PortGetTimeGetTimeOffset() + ms); }

void ResetClock() { PortSetTimeGetTimeOffset(0); }
