// Device-independent bitmaps: the records and constants that describe them. One header for
// every area that hands pixels to GDI (image loading, window output, fonts), so that the layout
// exists once.
#pragma once

#include "port/kernel/win32_types.h"

// One colour table entry, in memory B, G, R, reserved.
struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

// The 40-byte header of a DIB and of a BMP file after its 14-byte file header. A positive
// height stores the rows bottom-up, a negative one top-down.
struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
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

// The header followed by the colour table (biClrUsed entries, or 2^biBitCount when that is 0,
// for 1 to 8 bits) or, with BI_BITFIELDS, by the red, green and blue masks as three DWORDs.
// The table starts biSize bytes after the header's start; the masks 40 bytes after it.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
typedef BITMAPINFO* LPBITMAPINFO;

// biCompression
#define BI_RGB 0u
#define BI_RLE8 1u
#define BI_RLE4 2u
#define BI_BITFIELDS 3u
#define BI_JPEG 4u
#define BI_PNG 5u

// How the colour table of a BITMAPINFO is to be read.
#define DIB_RGB_COLORS 0u
#define DIB_PAL_COLORS 1u

// Raster operations.
#define SRCCOPY 0x00CC0020u

#define GDI_ERROR 0xFFFFFFFFu
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(-1)))
