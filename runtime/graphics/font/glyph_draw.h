// Drawing one cached glyph of a text: from the texture cache through the draw calls, or from
// the memory cache pixel by pixel into a memory image, across or turned a quarter turn
// clockwise for vertical text.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/graphics/font/glyph_records.h"

struct FontEntry;
struct MEMIMG;

// 8-bit channels.
struct GlyphColour {
  int Red, Green, Blue;
};

// What every glyph of one text shares.
struct GlyphDrawSetup {
  FontEntry* Font;
  int X, Y;  // the text box's top-left
  int Vertical;
  GlyphColour Text, Edge;  // scaled by the draw brightness
  MEMIMG* Target;          // the memory image (software path)
  RECT Clip;               // software path
};

// The text and edge colours of colour values of the screen (MakeColorValue), each channel
// scaled by the matching channel of DrawBright.
GlyphColour ScaleByDrawBright(uint32_t colour);
// A colour as 0xFFRRGGBB.
uint32_t PackGlyphColour(const GlyphColour& colour);
// A colour as a pixel of a memory image of 16 or 32 bits (alpha images: the colour part only).
uint32_t GlyphColourPixel(const MEMIMG* image, const GlyphColour& colour);

// Row j of a vertical glyph lands in column x + cell height - oy - kVerticalRowShift - j: where
// the device's quarter turn of the cache, its corners shifted by half a pixel, puts it.
constexpr int kVerticalRowShift = 1;

// The glyph whose cell starts pen pixels along the text. Hardware: the edge graph's cell in the
// edge colour, then the cache graph's in the text colour, with the blend graph switched off and
// the draw brightness as the colour, both put back afterwards.
void DrawCachedGlyphHardware(const GlyphDrawSetup& setup, const GlyphRecord& glyph, int pen);
// Software: the cache's pixels that carry anything, clipped to the clip rectangle and the image.
void DrawCachedGlyphSoftware(const GlyphDrawSetup& setup, const GlyphRecord& glyph, int pen);
