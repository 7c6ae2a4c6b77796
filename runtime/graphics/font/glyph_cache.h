// Filling a font's glyph cache: a text's characters read into requests, with the ones not yet
// cached rendered by the GDI font into the ring of cache cells.
#pragma once

#include "runtime/graphics/font/glyph_records.h"

// Reads the text (lstrlenA bytes, or length when that is not -1 and shorter) into one request
// per character, written to out when given (it holds a request per byte), the count to count.
// The characters not in the cache, each once and at most the cache's capacity of them, are
// rendered. A lead byte at the text's end stands alone. 0, or -1 for a bad handle.
int PrepareStringGlyphs(int length, const char* text, int handle, GlyphRequest* out, int* count);

// Renders the requests into the next cells of the ring, evicting the glyphs that lived there.
// The record of the last request; null while drawing is suppressed or for a bad handle
// (count must be at least 1). A glyph whose outline cannot be had gets an empty cell, no size,
// and the advance its metrics gave (else 0).
const GlyphRecord* FillGlyphCache(int handle, int count, const GlyphRequest* requests);
