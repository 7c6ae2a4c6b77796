// The screen mode and the screen state the graphics start-up keeps, and the small screen
// queries the window code and start-up use. The renderer asks only for the depth.
#pragma once

#include <cstdint>

// Width, height, colour bits and refresh rate; 0 means not set.
struct ScreenModeRecord {
  int32_t width;
  int32_t height;
  int32_t bits;
  int32_t refreshRate;
};

extern ScreenModeRecord ScreenMode;

// 1 while a requested 320 x 240 full screen is shown as 640 x 480.
extern int Emulate320x240;
// 1 when the display refused 320 x 240 and 640 x 480 was set instead; survives draw-setting
// resets.
extern int Emulate320x240Fallback;
// 1 between a successful graphics start and the graphics end.
extern int GraphicsInitialised;

// The clear colour, each channel 0..255.
struct BackgroundColorRecord {
  int32_t red;
  int32_t green;
  int32_t blue;
};
extern BackgroundColorRecord BackgroundColor;

// Colour depth of the screen mode in bits per pixel: 16 while no mode has been set.
int GetScreenBitDepth();
// The screen mode's size, 640 x 480 while unset. Null outputs are skipped.
void GetScreenSize(int* width, int* height);
// 320 x 240 while either emulation flag is set, else the screen mode's size; and the bits.
// Null outputs are skipped.
void QueryScreenState(int* width, int* height, int* bits);
// 1 in full screen.
int IsFullScreen();
int SetEmulate320x240Fallback(int flag);
