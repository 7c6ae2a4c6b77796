#include "tests/support/dib_images.h"

#include <cstring>

namespace {

uint16_t To565(uint32_t c) {
  return static_cast<uint16_t>((((c >> 16) & 0xFF) >> 3) << 11 | (((c >> 8) & 0xFF) >> 2) << 5 |
                               ((c & 0xFF) >> 3));
}

// Widening repeats the bits, as GDI does: 5-bit 31 is 255, 16 is 132.
uint32_t Widen(uint32_t v, int bits) {
  return bits == 5 ? (v << 3) | (v >> 2) : (v << 2) | (v >> 4);
}

}  // namespace

uint32_t DibTestColor(int x, int y) {
  return 0xFF000000u | (static_cast<uint32_t>(x * 7 + y) & 0xFF) << 16 |
         (static_cast<uint32_t>(y * 3) & 0xFF) << 8 | (static_cast<uint32_t>(x ^ y) & 0xFF);
}

uint32_t DibTestColor565(int x, int y) {
  uint16_t p = To565(DibTestColor(x, y));
  return 0xFF000000u | Widen(p >> 11, 5) << 16 | Widen((p >> 5) & 63, 6) << 8 | Widen(p & 31, 5);
}

TestDib MakeTestDib(int width, int height, int bits, bool topDown) {
  TestDib dib;
  dib.header.assign(sizeof(BITMAPINFOHEADER) + 12, 0);
  BITMAPINFOHEADER h = {};
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = topDown ? -height : height;
  h.biPlanes = 1;
  h.biBitCount = static_cast<WORD>(bits);
  h.biCompression = BI_BITFIELDS;
  std::memcpy(dib.header.data(), &h, sizeof(h));
  const uint32_t masks32[3] = {0xFF0000u, 0xFF00u, 0xFFu}, masks16[3] = {0xF800u, 0x7E0u, 0x1Fu};
  std::memcpy(dib.header.data() + sizeof(h), bits == 32 ? masks32 : masks16, 12);
  size_t rowBytes = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  dib.bits.assign(rowBytes * height, 0);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = dib.bits.data() + rowBytes * static_cast<size_t>(topDown ? y : height - 1 - y);
    for (int x = 0; x < width; ++x) {
      uint32_t c = DibTestColor(x, y);
      if (bits == 32) {
        std::memcpy(row + x * 4, &c, 4);
      } else {
        uint16_t p = To565(c);
        std::memcpy(row + x * 2, &p, 2);
      }
    }
  }
  return dib;
}
