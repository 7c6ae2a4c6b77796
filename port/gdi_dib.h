// DIB output of the port's GDI: SetDIBitsToDevice and StretchDIBits into a window's device
// context (GetDC / BeginPaint), shown through the window's OpenGL canvas when the window is
// OpenGL-capable, else through its SDL window surface. Source rectangles count y from the
// bottom of the DIB, whichever way its rows are stored, as GDI does.
#pragma once

#include "port/gdi32.h"

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;  // negative: rows stored from the top
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

// With BI_BITFIELDS and a 40-byte header, the red, green and blue masks are the three DWORDs
// that follow it (where bmiColors begins).
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
typedef BITMAPINFO* LPBITMAPINFO;

#define BI_RGB 0u
#define BI_RLE8 1u
#define BI_RLE4 2u
#define BI_BITFIELDS 3u

#define DIB_RGB_COLORS 0u
#define DIB_PAL_COLORS 1u

#define SRCCOPY 0x00CC0020u

// Both take 16-bit (BI_RGB: 5-5-5; BI_BITFIELDS), 24-bit (BI_RGB) and 32-bit (BI_RGB: X8R8G8B8;
// BI_BITFIELDS) DIBs with DIB_RGB_COLORS. SetDIBitsToDevice returns the scan lines given
// (`scanLines`), StretchDIBits the source height; both 0 on failure. A top-down DIB must be
// given whole to SetDIBitsToDevice (start scan 0, all its lines). StretchDIBits takes SRCCOPY,
// samples the nearest pixel and does not mirror (sizes must be positive).
int WINAPI SetDIBitsToDevice(HDC dc, int destX, int destY, DWORD width, DWORD height, int srcX, int srcY,
                             UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info,
                             UINT colorUse);
int WINAPI StretchDIBits(HDC dc, int destX, int destY, int destWidth, int destHeight, int srcX, int srcY,
                         int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage,
                         DWORD rop);

// Another port area that makes device contexts of its own kind (memory contexts with DIB
// sections) takes both calls for them through a handler; PortDibCall holds the call as given.
struct PortDibCall {
  HDC dc;
  bool stretch;  // StretchDIBits; else SetDIBitsToDevice (srcWidth, srcHeight = width, height)
  int destX, destY, destWidth, destHeight;
  int srcX, srcY, srcWidth, srcHeight;
  UINT startScan, scanLines;  // SetDIBitsToDevice only
  const void* bits;
  const BITMAPINFO* info;
  UINT usage;
  DWORD rop;
};
typedef int (*PortDibHandler)(const PortDibCall& call);
void PortSetDibHandler(int deviceContextKind, PortDibHandler handler);

// Reads what a window shows, `width` x `height` ARGB pixels (alpha 255) that must match its
// client size: from its OpenGL framebuffer or its SDL surface. For tests.
bool PortReadWindowPixels(HWND window, int width, int height, uint32_t* out);
