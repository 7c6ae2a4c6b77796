// The screen mode as the graphics start-up keeps it. The renderer asks only for its depth.
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

// Colour depth of the screen mode in bits per pixel: 16 while no mode has been set.
int GetScreenBitDepth();
