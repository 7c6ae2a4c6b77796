// What the port's input areas share: the keyboard and mouse state kept from SDL's event stream,
// the key layout (SDL scancode to DirectInput key code and virtual key), and the SDL joysticks
// that DirectInput and the multimedia joystick calls both read.
// Port-internal: the runtime never includes this header.
#pragma once

#include <SDL.h>

#include "port/kernel/win32_types.h"

// --- keyboard and mouse ----------------------------------------------------------------------
// SDL's own keyboard state follows only what its video driver reports, so events pushed into
// the queue (by tests, or input injection) would be missed. The port keeps its state from an
// event watch instead, which sees driver and pushed events alike, at the moment they arrive.
// Starts the watch on first use (seeded from SDL's keyboard state). False without SDL events.
bool PortStartInputWatch();
bool PortScancodeDown(int scancode);
// Every key and mouse button change calls the listeners (from the thread that sent the event).
// A listener stays registered until removed; the id returned removes it.
int PortAddKeyboardListener(void (*listener)(void* context), void* context);
void PortRemoveKeyboardListener(int id);

// Mouse motion and wheel totals since the watch started, and the buttons held (bit 0 left,
// 1 right, 2 middle, 3 and 4 the side buttons).
struct PortMouseTotals {
  int64_t x;
  int64_t y;
  int64_t wheel;  // notches
  Uint32 buttons;
};
PortMouseTotals PortReadMouseTotals();

// One key of the layout: a Japanese 106-key keyboard, by position.
struct PortKeyLayoutEntry {
  SDL_Scancode scancode;
  BYTE directInputCode;  // 0: none
  BYTE virtualKey;       // 0: none
};
// The key of a scancode, or null when the layout has none.
const PortKeyLayoutEntry* PortFindKeyLayout(SDL_Scancode scancode);

// --- joysticks -------------------------------------------------------------------------------
// Starts SDL's joystick subsystem on first use, with joystick events allowed while no window
// has the focus (DirectInput and the multimedia calls decide focus rules themselves). False
// when it cannot start.
bool PortEnsureJoysticks();
// Reads the joysticks (SDL_JoystickUpdate); the values SDL reports change only here and in
// the event pump.
void PortUpdateJoysticks();
// A hat's direction in hundredths of degrees clockwise from up; -1 when centred.
int PortHatAngle(Uint8 hat);
