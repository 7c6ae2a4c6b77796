// Slow references of the primitives for the differential tests: the pixel rules come from the
// plain blit's reference, the source test and the stepping are done pixel by pixel, and the
// brightness of the flat colours is written out channel by channel.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/softrender/memimg.h"

// Each draws as its primitive would, reading the draw state, into dstPixels: a copy of the
// destination's bytes whose first byte corresponds to dst->pixels.
void ReferenceDrawTriangle(uint8_t* dstPixels, const MEMIMG* dst, const MEMIMG* src,
                           const int32_t vertices[12], int transparent, const MEMIMG* blendImage,
                           int32_t colour);
void ReferenceFillBox(uint8_t* dstPixels, const MEMIMG* dst, const RECT* rect, int32_t colour);
void ReferenceDrawLine(uint8_t* dstPixels, const MEMIMG* dst, int32_t x1, int32_t y1, int32_t x2,
                       int32_t y2, int32_t colour);
