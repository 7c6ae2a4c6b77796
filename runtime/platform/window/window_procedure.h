// The main window's procedure: activation, closing, display changes, sizing with the screen's
// aspect kept, text input, and the notifications of music and sockets.
#pragma once

#include "port/win32.h"

constexpr UINT kSocketEventMessage = 0x505;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The sizing rule for a proposed window rectangle (WM_SIZING). frame: window size minus client
// size. The stretch rates are read (for the cap) and written (when the aspect is kept).
struct SizingLimits {
  int frameWidth;
  int frameHeight;
  int desktopWidth;
  int desktopHeight;
  int screenWidth;
  int screenHeight;
  int capOnly;
};
void ApplySizingRule(int edge, RECT* proposed, const SizingLimits& limits, double* rateX,
                     double* rateY);
