// The port's device context, for the port areas that draw through one (DIB output, fonts).
// Port-internal: the runtime sees only HDC.
#pragma once

#include "port/gdi/gdi32.h"
#include "port/user/user32.h"

enum PortDeviceContextKind {
  kPortWindowDC = 1,  // GetDC(window) or BeginPaint: draws into the window's client area
  kPortScreenDC = 2,  // GetDC(null): the display; only its capabilities are read
};

struct PortDeviceContext {
  uint32_t magic;
  int kind;
  HWND window;  // kPortWindowDC only
};

// The context behind an HDC, or null when the handle is not a live device context.
PortDeviceContext* PortCheckDeviceContext(HDC dc);
// Makes a device context of a kind another area defines (memory contexts and the like); it is
// freed with PortFreeDeviceContext. Kinds from 100 on are free for other areas.
PortDeviceContext* PortAllocDeviceContext(int kind, HWND window, size_t size);
void PortFreeDeviceContext(PortDeviceContext* dc);

// A stock brush: its colour, or hollow.
struct PortBrush {
  uint32_t magic;
  bool hollow;
  COLORREF color;
};
const PortBrush* PortCheckBrush(HBRUSH brush);
