// Presenting the finished screen to the main window: through the device's swap chain on the
// hardware path, through GDI's DIB output on the software path, with the window's stretch
// rates and the 320 x 240 emulation.
#pragma once

#include "port/win32.h"

// The source area (left, top, right, bottom) of the last whole-screen present; a repaint
// rectangle in client coordinates maps through it.
extern RECT LastPresentSourceRect;

// Presents the screen, or with rect (client coordinates) only the part of the window it covers.
// 0, also when there is nothing to present (no device, no screen image, no window context);
// -1 before the library is initialised, after the window's quit message, when the rectangle
// maps to an empty source, or when a device call fails.
int PresentBackBuffer(const RECT* rect);
int PresentScreen();
// The present of a window repaint: rect, with the vertical-blank wait switched off for it.
int PresentForPaint(const RECT* rect);
