// The sizes of a font's glyph cache: the square cell every glyph gets, the texture cache of the
// hardware path, the memory cache of the software path, and where a slot's cell lies.
#pragma once

#include <cstdint>

// A cell holds one glyph with its outline.
struct FontCellSize {
  int32_t Width;   // the side of the square a glyph gets in the cache
  int32_t Height;  // the text's line height with the outline
};

// Cell width = max character width + 2 (+ twice the edge size), rounded up to a multiple of 8;
// cell height = text height (+ twice the edge size), made even; the width is never below the
// height. edgeSize is 0 for fonts without an edge (below 0 counts as 0). -1 (output untouched)
// when a side would pass kMaxFontCellSize or the metrics are negative.
constexpr int kMaxFontCellSize = 1 << 16;
int ComputeFontCellSize(int maxCharWidth, int textHeight, int edgeSize, FontCellSize* out);

struct FontCacheLayout {
  int32_t Width;  // pixels; the hardware cache of an edge font is twice as wide, its outlines
                  // in the right half
  int32_t Height;
  int32_t Capacity;       // cells, at most kGlyphCacheMaxCapacity
  int32_t RowsPerColumn;  // slots run down a column, then on to the next
  int32_t BitsPerPixel;   // software cache: 1 for type 0, 8 for types 1 to 3; 0 on the hardware
  int32_t BytesPerRow;    // software cache only
  int64_t BufferBytes;    // software cache only: Height x BytesPerRow
};

// The cell widths below are those ComputeFontCellSize gives (8 and more).
// The texture cache: 512 x 512, the width and then the height doubled in turn until 10 cells
// fit.
FontCacheLayout ComputeHardwareCacheLayout(int cellWidth);
// The memory cache: one column of 0x50000 / cellWidth^2 cells, at least 20. -1 (output
// untouched) for a type outside 0 to 3.
int ComputeSoftwareCacheLayout(int cellWidth, int type, FontCacheLayout* out);

// The top-left pixel of a slot's cell: column slot / rowsPerColumn, row slot % rowsPerColumn,
// each cellWidth pixels; on the hardware cache (1, 1) further in.
void GlyphCellPosition(int slot, int rowsPerColumn, int cellWidth, int hardware, int* x, int* y);
