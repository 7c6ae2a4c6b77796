// SDL's joystick subsystem, shared by DirectInput and the multimedia joystick calls.
#include <mutex>

#include "port/user/input_internal.h"

namespace {
std::mutex gMutex;
bool gStarted = false;
bool gFailed = false;
}  // namespace

bool PortEnsureJoysticks() {
  std::lock_guard lock(gMutex);
  if (gStarted) return true;
  if (gFailed) return false;
  // Focus rules belong to DirectInput's cooperative levels; SDL must not drop joystick input
  // while none of the port's windows has the keyboard focus (always so under headless drivers).
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
    gFailed = true;
    return false;
  }
  gStarted = true;
  return true;
}

void PortUpdateJoysticks() {
  if (PortEnsureJoysticks()) SDL_JoystickUpdate();
}

int PortHatAngle(Uint8 hat) {
  switch (hat) {
    case SDL_HAT_UP:
      return 0;
    case SDL_HAT_RIGHTUP:
      return 4500;
    case SDL_HAT_RIGHT:
      return 9000;
    case SDL_HAT_RIGHTDOWN:
      return 13500;
    case SDL_HAT_DOWN:
      return 18000;
    case SDL_HAT_LEFTDOWN:
      return 22500;
    case SDL_HAT_LEFT:
      return 27000;
    case SDL_HAT_LEFTUP:
      return 31500;
    default:
      return -1;
  }
}
