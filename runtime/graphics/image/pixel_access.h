// Little-endian reads and writes of 1- to 4-byte pixels, shared by the image code.
#pragma once

#include <cstddef>
#include <cstdint>

inline uint32_t ReadPixelValue(const uint8_t* p, int bytes) {
  switch (bytes) {
    case 1:
      return p[0];
    case 2:
      return static_cast<uint32_t>(p[0] | p[1] << 8);
    case 3:
      return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16);
    default:
      return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
             static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
  }
}

inline void WritePixelValue(uint8_t* p, int bytes, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  if (bytes >= 2) p[1] = static_cast<uint8_t>(v >> 8);
  if (bytes >= 3) p[2] = static_cast<uint8_t>(v >> 16);
  if (bytes >= 4) p[3] = static_cast<uint8_t>(v >> 24);
}

// Address of pixel (x, y) of a buffer; pitches may be negative.
inline uint8_t* PixelAddress(void* base, int pitch, int x, int y, int bytes) {
  return static_cast<uint8_t*>(base) + static_cast<ptrdiff_t>(y) * pitch +
         static_cast<ptrdiff_t>(x) * bytes;
}
inline const uint8_t* PixelAddress(const void* base, int pitch, int x, int y, int bytes) {
  return static_cast<const uint8_t*>(base) + static_cast<ptrdiff_t>(y) * pitch +
         static_cast<ptrdiff_t>(x) * bytes;
}

// A palette entry (B, G, R, A in memory) as its 32-bit word.
inline uint32_t PaletteWord(const uint8_t* palette, uint32_t index) {
  return ReadPixelValue(palette + (index & 0xFF) * 4, 4);
}
