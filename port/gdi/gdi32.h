// The port's GDI: device contexts of windows and of the screen, their capabilities, and the
// stock brushes. The device context itself is declared in port/gdi/device_context.h for the port
// areas that draw through it.
#pragma once

#include "port/kernel/win32_types.h"

typedef DWORD COLORREF;
#define RGB(r, g, b)                                                                              \
  (static_cast<COLORREF>(static_cast<BYTE>(r) | (static_cast<DWORD>(static_cast<BYTE>(g)) << 8) | \
                         (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))

// GetDeviceCaps
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define VREFRESH 116

// GetStockObject
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH

int WINAPI GetDeviceCaps(HDC dc, int index);
HGDIOBJ WINAPI GetStockObject(int object);
