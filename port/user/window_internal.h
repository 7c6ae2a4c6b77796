// What other port areas need of the port's windows: the SDL window behind an HWND (made
// OpenGL-capable on request), the display mode the port shows, and the SDL video start.
// Port-internal: the runtime never includes this header.
#pragma once

#include <SDL.h>

#include "port/user/user32.h"

// Starts SDL video on first use; the calling thread becomes the one that reads SDL events, so
// call it from the main thread. False when there is no video driver, and when SDL fell back by
// itself on a driver that shows no window ("offscreen", "dummy": no display, and
// SDL_VIDEODRIVER unset), which it says on standard error once.
bool PortEnsureVideo();

// The SDL window that shows the HWND's client area; null for an unknown or foreign handle.
SDL_Window* PortGetSdlWindow(HWND window);
// Makes the window's SDL window OpenGL-capable, re-creating it in place (same position, size,
// title, visibility and full-screen state) when it was made without OpenGL. Returns the SDL
// window, or null when the driver has no OpenGL (the dummy driver) or the handle is unknown;
// the old SDL window then stays as it was.
SDL_Window* PortEnableOpenGL(HWND window);
bool PortWindowHasOpenGL(HWND window);
// True while the window covers the whole display and is shown as SDL desktop full screen: its
// client area (the size of the display mode the port shows) is then scaled to the SDL drawable.
bool PortWindowIsFullScreen(HWND window);
// The HWND whose SDL window has this SDL id; null when none.
HWND PortFindWindowBySdlId(Uint32 sdlWindowId);

// A display mode as the port shows it: ChangeDisplaySettingsA changes it without touching the
// real display (full-screen windows are scaled instead).
struct PortDisplayMode {
  int width;
  int height;
  int bits;
  int refresh;
};
PortDisplayMode PortCurrentDisplayMode();
PortDisplayMode PortDesktopDisplayMode();
// Switches the display mode the port shows (null: back to the desktop's) as a completed change
// does: full-screen windows follow and every window gets WM_DISPLAYCHANGE. For a device that
// changes the display on its own (Direct3D full screen).
void PortSwitchDisplayMode(const PortDisplayMode* mode);
