// The multimedia joystick calls on SDL joysticks.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "port/kernel/cp932_text.h"
#include "port/kernel/winmm.h"
#include "port/user/input_internal.h"

namespace {

constexpr UINT kMaxIds = 16;
constexpr int kMaxAxes = 6;
constexpr int kMaxButtons = 32;

// The joysticks these calls opened, by SDL instance id; closed once detached.
std::mutex gMutex;
std::map<SDL_JoystickID, SDL_Joystick*> gOpen;

// The joystick with this id, opened, or null. Call with gMutex held.
SDL_Joystick* JoystickForId(UINT id) {
  for (auto it = gOpen.begin(); it != gOpen.end();) {
    if (SDL_JoystickGetAttached(it->second)) {
      ++it;
      continue;
    }
    SDL_JoystickClose(it->second);
    it = gOpen.erase(it);
  }
  if (id >= static_cast<UINT>(SDL_NumJoysticks())) return nullptr;
  SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(static_cast<int>(id));
  if (instance < 0) return nullptr;
  auto found = gOpen.find(instance);
  if (found != gOpen.end()) return found->second;
  SDL_Joystick* js = SDL_JoystickOpen(static_cast<int>(id));
  if (js) gOpen[instance] = js;
  return js;
}

DWORD RawAxis(SDL_Joystick* js, int axis) {
  if (axis >= SDL_JoystickNumAxes(js)) return 32768;
  return static_cast<DWORD>(SDL_JoystickGetAxis(js, axis) + 32768);
}

DWORD HatPov(Uint8 hat) {
  int angle = PortHatAngle(hat);
  return angle < 0 ? JOY_POVCENTERED : static_cast<DWORD>(angle);
}

}  // namespace

MMRESULT WINAPI joyGetPosEx(UINT id, LPJOYINFOEX info) {
  if (!info || info->dwSize != sizeof(JOYINFOEX) || id >= kMaxIds) return JOYERR_PARMS;
  PortUpdateJoysticks();
  std::lock_guard lock(gMutex);
  SDL_Joystick* js = JoystickForId(id);
  if (!js) return JOYERR_UNPLUGGED;
  const DWORD flags = info->dwFlags;
  DWORD* positions[kMaxAxes] = {&info->dwXpos, &info->dwYpos, &info->dwZpos,
                                &info->dwRpos, &info->dwUpos, &info->dwVpos};
  for (int a = 0; a < kMaxAxes; ++a)
    if (flags & (JOY_RETURNX << a)) *positions[a] = RawAxis(js, a);
  if (flags & JOY_RETURNBUTTONS) {
    info->dwButtons = 0;
    info->dwButtonNumber = 0;
    const int buttons = std::min(SDL_JoystickNumButtons(js), kMaxButtons);
    for (int b = 0; b < buttons; ++b) {
      if (!SDL_JoystickGetButton(js, b)) continue;
      info->dwButtons |= 1u << b;
      ++info->dwButtonNumber;
    }
  }
  if (flags & JOY_RETURNPOV)
    info->dwPOV = SDL_JoystickNumHats(js) > 0 ? HatPov(SDL_JoystickGetHat(js, 0)) : JOY_POVCENTERED;
  return JOYERR_NOERROR;
}

MMRESULT WINAPI joyGetDevCapsA(UINT_PTR id, LPJOYCAPSA caps, UINT size) {
  if (!caps || size != sizeof(JOYCAPSA) || id >= kMaxIds) return JOYERR_PARMS;
  if (!PortEnsureJoysticks()) return JOYERR_PARMS;
  PortUpdateJoysticks();
  std::lock_guard lock(gMutex);
  SDL_Joystick* js = JoystickForId(static_cast<UINT>(id));
  if (!js) return JOYERR_PARMS;
  std::memset(caps, 0, sizeof(*caps));
  caps->wMid = SDL_JoystickGetVendor(js);
  caps->wPid = SDL_JoystickGetProduct(js);
  const char* name = SDL_JoystickName(js);
  std::string text = PortUtf8ToCp932(name ? name : "", name ? std::strlen(name) : 0);
  std::strncpy(caps->szPname, text.c_str(), MAXPNAMELEN - 1);
  caps->wXmax = caps->wYmax = caps->wZmax = caps->wRmax = caps->wUmax = caps->wVmax = 65535;
  const int axes = std::min(SDL_JoystickNumAxes(js), kMaxAxes);
  caps->wNumAxes = static_cast<UINT>(axes);
  caps->wMaxAxes = kMaxAxes;
  caps->wNumButtons = static_cast<UINT>(std::min(SDL_JoystickNumButtons(js), kMaxButtons));
  caps->wMaxButtons = kMaxButtons;
  caps->wPeriodMin = 10;
  caps->wPeriodMax = 1000;
  const UINT axisCaps[] = {JOYCAPS_HASZ, JOYCAPS_HASR, JOYCAPS_HASU, JOYCAPS_HASV};
  for (int a = 2; a < axes; ++a) caps->wCaps |= axisCaps[a - 2];
  if (SDL_JoystickNumHats(js) > 0) caps->wCaps |= JOYCAPS_HASPOV | JOYCAPS_POVCTS;
  return JOYERR_NOERROR;
}
