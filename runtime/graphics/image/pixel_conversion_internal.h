// What the parts of ConvertImagePixels share: the normalised call and its pixel addressing.
#pragma once

#include <cstdint>

#include "runtime/graphics/image/pixel_access.h"
#include "runtime/graphics/image/pixel_format.h"

struct Conversion {
  PixelFormat dst;
  PixelFormat src;
  PixelFormat alpha;  // all zero without an alpha image
  uint8_t* dstBase;
  int dstPitch;
  const uint8_t* srcBase;
  int srcPitch;
  const uint8_t* alphaBase;  // null without an alpha image
  int alphaPitch;
  int dstX, dstY;
  int left, top, width, height;  // the source rectangle
  int mirror;
  int keyToAlpha;  // after the switches: only when the destination takes alpha from the key
  uint32_t key;
  int dither;
  int zeroColour;
  int alphaFromRed;
  int skipKey;  // off when mirroring
  int remapPalette;
  bool sourceGivesAlpha;  // the destination has alpha and the source or an alpha image gives it
  bool alphaFromImage;    // the destination's alpha comes from the alpha image
};

// Source pixel at column col, row row of the rectangle.
inline const uint8_t* SourcePixel(const Conversion& c, int col, int row) {
  return PixelAddress(c.srcBase, c.srcPitch, c.left + col, c.top + row, c.src.BytesPerPixel);
}

inline const uint8_t* AlphaImagePixel(const Conversion& c, int col, int row) {
  return PixelAddress(c.alphaBase, c.alphaPitch, c.left + col, c.top + row, c.alpha.BytesPerPixel);
}

// Where source column col of row row lands; mirroring runs the columns from the right end.
inline uint8_t* DestinationPixel(const Conversion& c, int col, int row) {
  const int x = c.mirror != 0 ? c.dstX + c.width - 1 - col : c.dstX + col;
  return PixelAddress(c.dstBase, c.dstPitch, x, c.dstY + row, c.dst.BytesPerPixel);
}

// The general conversion, channel by channel; returns 0.
int ConvertGeneral(const Conversion& c);
