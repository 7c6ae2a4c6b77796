// What the graphics layer needs of the display itself: the DirectDraw object that times the
// vertical blank, the measured refresh period and the wait, the list of display modes, the
// full-screen resolution change with its fall-backs, and the device's dialog-box mode.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct IDirectDraw7;

// Null when none.
extern IDirectDraw7* DirectDraw7Object;
// Microseconds between vertical blanks, -1 while not measured.
extern int64_t RefreshPeriod;
// When the last vertical-blank wait returned (microseconds, 0 at load).
extern int64_t LastVBlankTime;

// One display mode of the list.
struct DisplayModeEntry {
  int32_t width;
  int32_t height;
  int32_t bits;
  int32_t refreshRate;
};

int CreateDirectDrawObject();
void ReleaseDirectDrawObject();
// DirectDraw7Object (null when none).
IDirectDraw7* GetDirectDrawObject();
// Measures RefreshPeriod over up to 60 blanks (it stays -1 when they never settle). 0.
int MeasureRefreshPeriod();
// Sleeps most of a frame, then waits for the next vertical blank. Nothing without a DirectDraw
// object.
void WaitVSync();

// The display-mode list, built on first use.
int CountDisplayModes();
// All four -1 when the index lies outside 0..count-1.
DisplayModeEntry GetDisplayModeEntry(int index);
int IsDisplayModeAvailable(int width, int height, int bits);
void ReleaseDisplayModeList();

// Sets the display to ScreenMode (full screen), falling back to no refresh rate and, for a
// refused 320 x 240, to 640 x 480 with Emulate320x240Fallback. 0 or -1.
int ChangeDisplayMode();

// With a device: ends an open scene and sets the device's dialog-box mode. 0.
int SetDeviceDialogBoxMode(int on);
// On the hardware path: dialog-box mode off, then on again when a window is given. 0.
int ResetDialogBoxMode(HWND window);
