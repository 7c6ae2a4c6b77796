// Port-internal: reading the pixels of a DIB that a BITMAPINFO describes, and copying a
// rectangle of it, stretched or not, into a 16-, 24- or 32-bit pixel buffer. SetDIBitsToDevice
// and StretchDIBits use it for memory DIB sections; the window output uses the same routines
// with the window's pixels as the target, so both show a DIB alike.
#pragma once

#include <cstdint>

#include "port/gdi/gdi_bitmap.h"

// A checked DIB source.
struct PortDibSource {
  int width;
  int height;             // always positive
  bool topDown;           // rows stored top row first
  int bitCount;           // 1, 4, 8, 16, 24 or 32
  int stride;             // bytes per stored row (a multiple of 4)
  const uint8_t* bits;    // the first stored row given
  int firstRow;           // the band of stored rows given: rows firstRow .. firstRow + rowCount - 1
  int rowCount;           // in storage order (bottom-up DIBs count from the bottom)
  uint32_t masks[3];      // red, green, blue for 16 and 32 bits (BI_RGB gets the implied ones)
  int paletteCount;       // entries of palette in use for 1 to 8 bits
  uint32_t palette[256];  // 0x00RRGGBB
};

// Fills source from a BITMAPINFO and the bits holding `lines` stored rows from `startScan` on.
// false for a description GDI refuses: no header, a size below 40, a width <= 0, a height of
// 0, a depth other than 1, 4, 8, 16, 24 or 32, compression other than BI_RGB (or
// BI_BITFIELDS for 16 and 32 bits), DIB_PAL_COLORS (there are no logical palettes here),
// null bits, or a size whose rows cannot be addressed.
bool PortDescribeDib(const BITMAPINFO* info, UINT usage, const void* bits, UINT startScan,
                     UINT lines, PortDibSource* source);

// Pixel x of the row y counted from the top, as 0x00RRGGBB; 0 for a row outside the band
// given. Channels narrower than 8 bits are widened by repeating their bits (5-bit 31 gives
// 255, 16 gives 132), wider ones keep their top 8 bits; indices past the palette are black.
// The caller keeps x and y inside the DIB.
uint32_t PortDibPixel(const PortDibSource* source, int x, int y);
// Whether the row y counted from the top is among the rows given.
bool PortDibRowGiven(const PortDibSource* source, int y);
// The stored bytes of the row y counted from the top; null for a row outside the band given.
const uint8_t* PortDibRow(const PortDibSource* source, int y);

// Where a copy goes.
struct PortDibTarget {
  uint8_t* pixels;  // the top row
  int pitch;        // bytes from a row to the one below it (negative for bottom-up storage)
  int width;
  int height;
  int bitCount;       // 16, 24 or 32
  uint32_t masks[3];  // red, green, blue for 16 and 32 bits; 24 bits is B, G, R in memory
};

// Copies the source rectangle (xSrc, ySrc, srcWidth, srcHeight), whose y is counted from the
// bottom of the DIB as GDI does for every DIB, onto the target rectangle (xDst, yDst,
// dstWidth, dstHeight) counted from the target's top, stretched by nearest pixel. Target
// pixels outside the target, or whose source lies outside the DIB or its band of rows, are
// left alone. Sizes must be positive (false otherwise).
bool PortStretchDib(const PortDibSource* source, int xSrc, int ySrc, int srcWidth, int srcHeight,
                    const PortDibTarget* target, int xDst, int yDst, int dstWidth, int dstHeight);
