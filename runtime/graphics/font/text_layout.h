// Laying out a run of glyphs: the pen moves along the text by each glyph's advance plus the
// font's spacing, glyphs with pixels are drawn at the pen, and the run's box is measured.
#pragma once

#include "port/win32.h"
#include "runtime/graphics/font/glyph_records.h"

// The glyph of a request, rendered again when it has left the cache; null when the cache cannot
// take it.
typedef const GlyphRecord* (*FindGlyphFunction)(void* context, const GlyphRequest& request);
// Draws a glyph whose cell starts `pen` pixels along the text.
typedef void (*DrawGlyphFunction)(void* context, const GlyphRecord& glyph, int pen);

// Walks the requests in order. The pen is a double (the sum of advance + spacing so far);
// glyphs are drawn at its value truncated, except spaces and glyphs of zero width and height;
// draw may be null to measure only. Returns the total advance truncated, or -1 (size untouched)
// when a glyph cannot be found. size, when given, receives (advance, cell height) across and
// (cell height, advance) for vertical text.
int LayOutGlyphRun(const GlyphRequest* requests, int count, int spacing, int cellHeight,
                   int vertical, FindGlyphFunction find, DrawGlyphFunction draw, void* context,
                   SIZE* size);
