// DirectInput devices: the system keyboard and mouse, and game controllers on SDL joysticks.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "port/dinput/dinput_objects.h"
#include "port/kernel/threads.h"
#include "port/kernel/winmm.h"
#include "port/user/user32.h"

namespace {

constexpr int kAxisSlots = 8;  // X, Y, Z, Rx, Ry, Rz and two sliders
constexpr int kMaxButtons = 32;
constexpr int kMaxHats = 4;

// Which device holds each joystick exclusively.
std::mutex gOwnersMutex;
std::vector<std::pair<SDL_JoystickID, PortInputDevice*>> gExclusiveOwners;

bool TakeExclusive(SDL_JoystickID id, PortInputDevice* device) {
  std::lock_guard lock(gOwnersMutex);
  for (auto& [owned, owner] : gExclusiveOwners)
    if (owned == id) return owner == device;
  gExclusiveOwners.push_back({id, device});
  return true;
}

void GiveUpExclusive(PortInputDevice* device) {
  std::lock_guard lock(gOwnersMutex);
  std::erase_if(gExclusiveOwners, [device](const auto& e) { return e.second == device; });
}

bool HoldsExclusive(PortInputDevice* device) {
  std::lock_guard lock(gOwnersMutex);
  for (auto& e : gExclusiveOwners)
    if (e.second == device) return true;
  return false;
}

DWORD HatPov(Uint8 hat) {
  int angle = PortHatAngle(hat);
  return angle < 0 ? 0xFFFFFFFFu : static_cast<DWORD>(angle);
}

bool ValidHeader(LPCDIPROPHEADER header, DWORD size) {
  return header && header->dwHeaderSize == sizeof(DIPROPHEADER) && header->dwSize == size;
}

}  // namespace

PortInputDevice::PortInputDevice(PortDiDevice kind, bool version8)
    : kind_(kind), version8_(version8) {
  for (AxisSettings& a : axes_) a = {0, 65535, 0, DI_FFNOMINALMAX};
}

PortInputDevice* PortInputDevice::New(PortDiDevice kind, bool version8, SDL_JoystickID joystick) {
  if (kind != PortDiDevice::Joystick) {
    PortStartInputWatch();
    PortInputDevice* d = new PortInputDevice(kind, version8);
    d->mouseRead_ = PortReadMouseTotals();
    return d;
  }
  if (!PortEnsureJoysticks()) return nullptr;
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) != joystick) continue;
    SDL_Joystick* js = SDL_JoystickOpen(i);
    if (!js) return nullptr;
    PortInputDevice* d = new PortInputDevice(kind, version8);
    d->joystick_ = js;
    d->joystickId_ = joystick;
    d->ReadJoystick(&d->lastPolled_);
    return d;
  }
  return nullptr;
}

PortInputDevice::~PortInputDevice() {
  DropAcquisition();
  if (listenerId_) PortRemoveKeyboardListener(listenerId_);
  if (joystick_) SDL_JoystickClose(joystick_);
}

HRESULT PortInputDevice::QueryInterface(REFIID riid, void** object) {
  bool ours = version8_ ? riid == IID_IDirectInputDevice8A : riid == IID_IDirectInputDevice7A;
  return Answer(riid == IID_IUnknown || ours, object);
}

DWORD PortInputDevice::DataSize() const {
  switch (kind_) {
    case PortDiDevice::Keyboard:
      return 256;
    case PortDiDevice::Mouse:
      return sizeof(DIMOUSESTATE);
    default:
      return sizeof(DIJOYSTATE);
  }
}

HRESULT PortInputDevice::SetDataFormat(LPCDIDATAFORMAT format) {
  if (acquired_) return DIERR_ACQUIRED;
  const DIDATAFORMAT* own = kind_ == PortDiDevice::Keyboard ? &c_dfDIKeyboard
                            : kind_ == PortDiDevice::Mouse  ? &c_dfDIMouse
                                                            : &c_dfDIJoystick;
  if (format != own) return DIERR_INVALIDPARAM;
  if (DirectInputCallFails(PortDiCall::SetDataFormat, kind_)) return DIERR_GENERIC;
  format_ = format;
  return DI_OK;
}

HRESULT PortInputDevice::SetCooperativeLevel(HWND window, DWORD flags) {
  if (acquired_) return DIERR_ACQUIRED;
  const DWORD exclusive = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
  const DWORD focus = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
  if (exclusive == 0 || exclusive == (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE) || focus == 0 ||
      focus == (DISCL_FOREGROUND | DISCL_BACKGROUND) || !IsWindow(window))
    return DIERR_INVALIDPARAM;
  // An exclusive background keyboard would take the keys from every other program.
  if (kind_ == PortDiDevice::Keyboard && flags == (DISCL_EXCLUSIVE | DISCL_BACKGROUND))
    return DIERR_UNSUPPORTED;
  if (DirectInputCallFails(PortDiCall::SetCooperativeLevel, kind_)) return DIERR_GENERIC;
  cooperation_ = flags;
  window_ = window;
  return DI_OK;
}

HRESULT PortInputDevice::SetProperty(DIPROPID property, LPCDIPROPHEADER header) {
  if (property == DIPROP_BUFFERSIZE) {
    if (!ValidHeader(header, sizeof(DIPROPDWORD)) || header->dwHow != DIPH_DEVICE || header->dwObj)
      return DIERR_INVALIDPARAM;
    if (acquired_) return DIERR_ACQUIRED;
    if (DirectInputCallFails(PortDiCall::SetProperty, kind_)) return DIERR_GENERIC;
    bufferSize_ = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
    return DI_OK;
  }
  if (property != DIPROP_RANGE && property != DIPROP_DEADZONE && property != DIPROP_SATURATION)
    return DIERR_UNSUPPORTED;
  const DWORD size = property == DIPROP_RANGE ? sizeof(DIPROPRANGE) : sizeof(DIPROPDWORD);
  if (!ValidHeader(header, size)) return DIERR_INVALIDPARAM;
  if (kind_ != PortDiDevice::Joystick) return DIERR_UNSUPPORTED;
  int first = 0, last = kAxisSlots - 1;
  if (header->dwHow == DIPH_BYOFFSET) {
    if (!HasAxisAtOffset(header->dwObj)) return DIERR_OBJECTNOTFOUND;
    first = last = static_cast<int>(header->dwObj / sizeof(LONG));
  } else if (header->dwHow != DIPH_DEVICE || header->dwObj != 0) {
    return DIERR_INVALIDPARAM;
  }
  if (property == DIPROP_RANGE) {
    const DIPROPRANGE* r = reinterpret_cast<const DIPROPRANGE*>(header);
    if (r->lMin >= r->lMax) return DIERR_INVALIDPARAM;
    if (DirectInputCallFails(PortDiCall::SetProperty, kind_)) return DIERR_GENERIC;
    for (int a = first; a <= last; ++a) axes_[a].min = r->lMin, axes_[a].max = r->lMax;
    return DI_OK;
  }
  DWORD value = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
  if (value > static_cast<DWORD>(DI_FFNOMINALMAX)) return DIERR_INVALIDPARAM;
  if (DirectInputCallFails(PortDiCall::SetProperty, kind_)) return DIERR_GENERIC;
  for (int a = first; a <= last; ++a)
    (property == DIPROP_DEADZONE ? axes_[a].deadZone : axes_[a].saturation) = value;
  return DI_OK;
}

bool PortInputDevice::HasAxisAtOffset(DWORD offset) const {
  if (!joystick_ || offset % sizeof(LONG) != 0) return false;
  const DWORD slot = offset / sizeof(LONG);
  return slot < kAxisSlots && static_cast<int>(slot) < SDL_JoystickNumAxes(joystick_);
}

HRESULT PortInputDevice::Acquire() {
  if (!format_) return DIERR_INVALIDPARAM;
  if (acquired_ && StillAcquired()) return DI_NOEFFECT;
  if (DirectInputCallFails(PortDiCall::Acquire, kind_)) return DIERR_GENERIC;
  if ((cooperation_ & DISCL_FOREGROUND) && GetForegroundWindow() != window_)
    return DIERR_OTHERAPPHASPRIO;
  if (joystick_) {
    if (!SDL_JoystickGetAttached(joystick_)) return DIERR_UNPLUGGED;
    if ((cooperation_ & DISCL_EXCLUSIVE) && !TakeExclusive(joystickId_, this))
      return DIERR_OTHERAPPHASPRIO;
  }
  if (kind_ == PortDiDevice::Mouse) mouseRead_ = PortReadMouseTotals();
  acquired_ = true;
  return DI_OK;
}

void PortInputDevice::DropAcquisition() {
  acquired_ = false;
  GiveUpExclusive(this);
  // Effects stop when their device is unacquired.
  if (!effects_.empty()) {
    for (PortInputEffect* e : effects_) e->Halt();
    ApplyRumble();
  }
}

HRESULT PortInputDevice::Unacquire() {
  if (!acquired_) return DI_NOEFFECT;
  DropAcquisition();
  return DI_OK;
}

bool PortInputDevice::StillAcquired() {
  bool lost = ((cooperation_ & DISCL_FOREGROUND) && GetForegroundWindow() != window_) ||
              (joystick_ && !SDL_JoystickGetAttached(joystick_));
  if (lost) DropAcquisition();
  return !lost;
}

bool PortInputDevice::AcquiredExclusively() {
  return acquired_ && StillAcquired() && (cooperation_ & DISCL_EXCLUSIVE) && HoldsExclusive(this);
}

// Linear from the edge of the dead zone (the centre value) to the saturation point (the end of
// the range); both are ten-thousandths of the way from the centre to the end the axis points at.
LONG PortInputDevice::ScaleAxis(int axis, Sint16 value) const {
  const AxisSettings& s = axes_[axis];
  const int64_t centre = (static_cast<int64_t>(s.min) + s.max) / 2;
  const int64_t v = value;
  const int64_t full = v < 0 ? 32768 : 32767;
  const int64_t position = (v < 0 ? -v : v) * 10000;  // scaled by `full`
  const int64_t dead = s.deadZone * full;
  const int64_t saturated = s.saturation * full;
  if (position <= dead) return static_cast<LONG>(centre);
  if (saturated <= dead || position >= saturated) return v < 0 ? s.min : s.max;
  const int64_t half = v < 0 ? centre - s.min : s.max - centre;
  const int64_t moved = half * (position - dead) / (saturated - dead);
  return static_cast<LONG>(v < 0 ? centre - moved : centre + moved);
}

void PortInputDevice::ReadJoystick(DIJOYSTATE* state) const {
  std::memset(state, 0, sizeof(*state));
  LONG* axes = &state->lX;  // X..Rz then the two sliders, in a row
  const int axisCount = std::min(SDL_JoystickNumAxes(joystick_), kAxisSlots);
  for (int a = 0; a < axisCount; ++a) axes[a] = ScaleAxis(a, SDL_JoystickGetAxis(joystick_, a));
  const int hats = SDL_JoystickNumHats(joystick_);
  for (int h = 0; h < kMaxHats; ++h)
    state->rgdwPOV[h] = h < hats ? HatPov(SDL_JoystickGetHat(joystick_, h)) : 0xFFFFFFFFu;
  const int buttons = std::min(SDL_JoystickNumButtons(joystick_), kMaxButtons);
  for (int b = 0; b < buttons; ++b)
    state->rgbButtons[b] = SDL_JoystickGetButton(joystick_, b) ? 0x80 : 0;
}

HRESULT PortInputDevice::GetDeviceState(DWORD size, LPVOID data) {
  if (!data || !format_ || size != DataSize()) return DIERR_INVALIDPARAM;
  if (!acquired_) return DIERR_NOTACQUIRED;
  if (!StillAcquired()) return DIERR_INPUTLOST;
  if (DirectInputCallFails(PortDiCall::GetDeviceState, kind_)) return DIERR_GENERIC;
  switch (kind_) {
    case PortDiDevice::Keyboard: {
      BYTE* keys = static_cast<BYTE*>(data);
      std::memset(keys, 0, 256);
      for (int sc = 1; sc < SDL_NUM_SCANCODES; ++sc) {
        if (!PortScancodeDown(sc)) continue;
        const PortKeyLayoutEntry* key = PortFindKeyLayout(static_cast<SDL_Scancode>(sc));
        if (key && key->directInputCode) keys[key->directInputCode] = 0x80;
      }
      break;
    }
    case PortDiDevice::Mouse: {
      PortMouseTotals now = PortReadMouseTotals();
      DIMOUSESTATE* m = static_cast<DIMOUSESTATE*>(data);
      m->lX = static_cast<LONG>(now.x - mouseRead_.x);
      m->lY = static_cast<LONG>(now.y - mouseRead_.y);
      m->lZ = static_cast<LONG>((now.wheel - mouseRead_.wheel) * 120);
      for (int b = 0; b < 4; ++b) m->rgbButtons[b] = (now.buttons & (1u << b)) ? 0x80 : 0;
      mouseRead_ = now;
      break;
    }
    default:
      ReadJoystick(static_cast<DIJOYSTATE*>(data));
      break;
  }
  return DI_OK;
}

void PortInputDevice::SignalEvent(void* device) {
  HANDLE event = static_cast<PortInputDevice*>(device)->event_;
  if (event) SetEvent(event);
}

HRESULT PortInputDevice::SetEventNotification(HANDLE event) {
  if (acquired_) return DIERR_ACQUIRED;
  if (DirectInputCallFails(PortDiCall::SetEventNotification, kind_)) return DIERR_GENERIC;
  if (listenerId_) PortRemoveKeyboardListener(listenerId_);
  listenerId_ = 0;
  event_ = event;
  if (kind_ == PortDiDevice::Joystick) return DI_POLLEDDEVICE;
  if (event_) listenerId_ = PortAddKeyboardListener(&SignalEvent, this);
  return DI_OK;
}

HRESULT PortInputDevice::Poll() {
  if (!acquired_) return DIERR_NOTACQUIRED;
  if (kind_ != PortDiDevice::Joystick) return DI_NOEFFECT;
  PortUpdateJoysticks();
  if (!StillAcquired()) return DIERR_INPUTLOST;
  DIJOYSTATE now;
  ReadJoystick(&now);
  if (std::memcmp(&now, &lastPolled_, sizeof(now)) != 0) {
    lastPolled_ = now;
    if (event_) SetEvent(event_);
  }
  if (!effects_.empty()) ApplyRumble();
  return DI_OK;
}

HRESULT PortInputDevice::CreateEffect(REFGUID effect, LPCDIEFFECT parameters,
                                      LPDIRECTINPUTEFFECT* out, LPUNKNOWN outer) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!joystick_ || !SDL_JoystickHasRumble(joystick_)) return DIERR_UNSUPPORTED;
  if (effect != GUID_Sine && effect != GUID_ConstantForce) return DIERR_DEVICENOTREG;
  PortInputEffect* e = new PortInputEffect(this, effect == GUID_Sine);
  const DWORD all = DIEP_DURATION | DIEP_GAIN | DIEP_TYPESPECIFICPARAMS;
  HRESULT hr = parameters ? e->Validate(parameters, all) : DI_OK;
  if (SUCCEEDED(hr) && DirectInputCallFails(PortDiCall::CreateEffect, kind_)) hr = DIERR_GENERIC;
  if (FAILED(hr)) {
    e->Release();
    return hr;
  }
  if (parameters) e->SetParameters(parameters, all);
  effects_.push_back(e);
  *out = e;
  return DI_OK;
}

void PortInputDevice::RemoveEffect(PortInputEffect* effect) {
  std::erase(effects_, effect);
  ApplyRumble();
}

void PortInputDevice::ApplyRumble() {
  const DWORD now = timeGetTime();
  int strength = 0;
  int remaining = 0;  // longest time left; -1 unlimited
  for (PortInputEffect* e : effects_) {
    int left = 0;
    int s = e->Strength(now, &left);
    if (s <= 0) continue;
    strength = std::max(strength, s);
    if (left < 0 || remaining < 0)
      remaining = -1;
    else
      remaining = std::max(remaining, left);
  }
  const Uint16 motor =
      static_cast<Uint16>(static_cast<uint32_t>(strength) * 0xFFFFu / DI_FFNOMINALMAX);
  // SDL takes 0 as "until changed"; finite rumbles are capped by SDL at about a minute.
  const Uint32 duration =
      motor == 0 || remaining < 0 ? 0 : static_cast<Uint32>(std::max(remaining, 1));
  SDL_JoystickRumble(joystick_, motor, motor, duration);
}
