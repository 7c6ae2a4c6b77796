// Moving pixels between two formats, and expanding block-compressed (DXT) data.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/graphics/image/graph_image.h"
#include "runtime/graphics/image/pixel_format.h"

// Dither option values.
enum {
  DitherNone = 0,
  DitherOrdered = 1,  // 4 x 4 ordered pattern
  DitherCarry = 2,    // running carry of the dropped bits
};

// Converts the source rectangle (right and bottom exclusive) into the destination at
// (dstX, dstY), pixel by pixel from srcFormat to dstFormat.
//   alphaPixels      a separate image whose red channel gives the alpha (null: none)
//   mirror           each row is written right to left
//   keyToAlpha       pixels of keyColour (0x00RRGGBB) get alpha 0, all others full alpha
//   dither           DitherNone, DitherOrdered or DitherCarry, used when channels narrow
//   zeroColour       the colour channels of the result are 0
//   alphaFromRed     the result's alpha is the source's red value
//   skipKey          source pixels equal to keyColour are not written
//   remapPalette     between two palette formats with different palettes, indices are
//                    translated to the nearest destination entry
// Returns 0; for a palette-to-palette index copy the highest index copied; -1 for an empty
// rectangle or a format that cannot be converted (block data, more than 4 bytes per pixel).
int ConvertImagePixels(void* dstPixels, int dstPitch, const PixelFormat* dstFormat,
                       const void* srcPixels, int srcPitch, const PixelFormat* srcFormat,
                       const void* alphaPixels, int alphaPitch, const PixelFormat* alphaFormat,
                       int dstX, int dstY, const RECT* srcRect, int mirror, int keyToAlpha,
                       uint32_t keyColour, int dither, int zeroColour, int alphaFromRed,
                       int skipKey, int remapPalette);

// Expands DXT1 to DXT5 block data of the top level into ARGB8 pixels in a new buffer, which
// holds that level only (MipLevels becomes 0). 0 when done or when the image holds plain
// pixels; -1 (image unchanged) when the size cannot be held or memory runs out.
int ExpandBlockCompressedImage(GraphImage* image);
