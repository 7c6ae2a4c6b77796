// Slow references of the stretched and the rotated blit for the differential tests: the pixel
// rules come from the plain blit's reference (its general forms), the source pixel of each
// destination pixel is found pixel by pixel: by the closed form of the stretched mapping, and
// by stepping the rotated walk one pixel at a time.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/softrender/memimg.h"

// Each draws as its blit would, reading the draw state, into dstPixels: a copy of the
// destination's bytes whose first byte corresponds to dst->pixels.
void ReferenceDrawStretched(uint8_t* dstPixels, const MEMIMG* dst, const MEMIMG* src,
                            const RECT& rect, int transparent, const MEMIMG* blendImage);
void ReferenceDrawRotated(uint8_t* dstPixels, const MEMIMG* dst, const MEMIMG* src, int centreX,
                          int centreY, float angle, float scale, int transparent, int turn,
                          const MEMIMG* blendImage);
