// Composing glyph bitmaps into a font's glyph cache: the shapes an outline (edge) is drawn with,
// the grey levels of a glyph, and the pixels each cache and font type keeps for them. Every
// write stays inside the glyph's cell, whatever the glyph's size.
#pragma once

#include <cstdint>

#include "runtime/graphics/image/graph_image.h"

// A glyph bitmap as GetGlyphOutlineA gives it: rows top-down, each padded to 4 bytes; 1 bit a
// pixel, most significant bit first, or (grey) a byte a pixel of level 0 to 16.
struct GlyphBitmap {
  const uint8_t* Bits;
  int32_t Width;
  int32_t Height;
  int32_t Pitch;
  int32_t Grey;
};
GlyphBitmap MakeGlyphBitmap(const uint8_t* bits, int width, int height, int grey);
// The level of pixel (x, y), 0 to 16; a set bit is 16. The caller keeps (x, y) inside.
int GlyphBitmapLevel(const GlyphBitmap& glyph, int x, int y);

// The edge shape of an edge size: a (2e + 1)-pixel square centred on the glyph pixel, of which
// row `row` (0 at the top) covers this many pixels centred on the middle column: the cross for
// 1, masks for 2 to 4, the whole square beyond (and the pixel alone for 0). 0 outside.
int EdgeShapeRowLength(int edgeSize, int row);
// Whether the shape covers the pixel (dx, dy) away from its centre.
bool EdgeShapeCovers(int edgeSize, int dx, int dy);

// Outline levels combine like coverage: a pixel at level `old` that a glyph pixel of level
// `level` reaches becomes 16 - (16 - old) x (16 - level) / 16.
int CombineEdgeLevel(int old, int level);
// The alpha bits of a grey level in a pixel format: 0 for level 0, else the alpha mask's bits
// of (level << (alpha shift + alpha width - 4)) - 1, the full mask at 16.
uint32_t GlyphLevelAlpha(const PixelFormat& format, int level);

// Types: bit 0 edge, bit 1 anti-aliased. The edge size counts only for the edge types (kept
// within 0 to kMaxFontCellSize); the glyph then lies edgeSize pixels in from its cell's top-left
// corner.

// Into a cell of the software cache: `cell` is its first row, rows bytesPerRow apart, cellWidth
// rows of cellWidth pixels. Type 0 keeps a bit per glyph pixel; type 1 a byte of 1 for glyph
// pixels and 2 for outline pixels that are not glyph pixels; type 2 level - 1 for each pixel
// with a level; type 3 the glyph's level - 1 in the low nibble and in the high nibble the
// highest level - 1 of the glyph pixels whose edge shape reaches it. The cell is cleared first.
// -1 (nothing written) for a type outside 0 to 3.
int ComposeSoftwareGlyph(const GlyphBitmap& glyph, int type, int edgeSize, uint8_t* cell,
                         int bytesPerRow, int cellWidth);

// Into a cell of the hardware cache's base image, whose top-left is (cellX, cellY) and side
// cellWidth: white pixels whose alpha carries the glyph's levels (GlyphLevelAlpha). Edge fonts
// keep the outline at the same place in the right half of the image, cacheWidth further right,
// its levels combined by CombineEdgeLevel. The cell (in both halves) is cleared first; writes
// stay inside it and inside the image. -1 (nothing written) for a type outside 0 to 3 or an
// image that is not of 2 bytes a pixel.
int ComposeHardwareGlyph(const GlyphBitmap& glyph, int type, int edgeSize, GraphImage* base,
                         int cacheWidth, int cellX, int cellY, int cellWidth);
