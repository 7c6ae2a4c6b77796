// Input for tests: SDL virtual joysticks that record the rumble they are asked for, injected
// key events, and a millisecond clock that tests move on.
#pragma once

#include <memory>
#include <vector>

#include <SDL.h>

#include "port/kernel/win32_types.h"

class VirtualPads {
 public:
  struct Rumble {
    int calls;
    Uint16 low;
    Uint16 high;
  };

  VirtualPads();
  ~VirtualPads();  // detaches every pad it attached
  VirtualPads(const VirtualPads&) = delete;
  VirtualPads& operator=(const VirtualPads&) = delete;

  // False when SDL has joysticks of its own (the tests count on only theirs).
  static bool OnlyOurs();
  // Attaches a pad at the end of SDL's list; returns its number here (0, 1, ...).
  int Attach(const char* name, int axes, int buttons, int hats, bool rumble);
  void Detach(int pad);
  void SetAxis(int pad, int axis, Sint16 value);
  void SetButton(int pad, int button, bool down);
  void SetHat(int pad, int hat, Uint8 value);
  Rumble LastRumble(int pad) const;
  SDL_JoystickID InstanceId(int pad) const;

 private:
  struct Pad {
    SDL_JoystickID id;
    SDL_Joystick* joystick;  // the handle values are set through
    Rumble rumble;
  };
  static int SDLCALL OnRumble(void* pad, Uint16 low, Uint16 high);
  std::vector<std::unique_ptr<Pad>> pads_;
};

// Pushes a key down or up into SDL's queue, addressed to the SDL window `windowId` (0: none).
void PushKey(SDL_Scancode scancode, bool down, Uint32 windowId = 0);
// Lets go of every key and mouse button the port sees held (other tests may have pressed them
// and left them).
void ReleaseHeldKeys();
// Moves the multimedia millisecond clock on by `ms` (the per-millisecond refresh limits of the
// input layer then let the next read through).
void AdvanceClock(DWORD ms = 1);
// Puts the clock back (end of a test).
void ResetClock();
