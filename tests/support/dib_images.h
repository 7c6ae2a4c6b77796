// DIBs for the DIB output tests: a header with its colour masks and the pixel rows.
#pragma once

#include <cstdint>
#include <vector>

#include "port/win32.h"

struct TestDib {
  std::vector<uint8_t> header;  // BITMAPINFOHEADER and, for bit fields, three masks
  std::vector<uint8_t> bits;
  const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(header.data()); }
};

// A distinct opaque colour for each pixel of a picture (0xFFRRGGBB).
uint32_t DibTestColor(int x, int y);

// A 32-bit (X8R8G8B8 bit fields) or 16-bit (R5G6B5 bit fields) DIB of `width` x `height`
// showing DibTestColor (narrowed to 5-6-5 for 16 bits); rows from the top when `topDown`.
TestDib MakeTestDib(int width, int height, int bits, bool topDown);

// The colour a 16-bit 5-6-5 DIB pixel of DibTestColor shows once widened back to 8 bits.
uint32_t DibTestColor565(int x, int y);
