// How the font code reads text: which byte of a character a position holds, the characters of
// a text as glyph requests, and the codes a request stands for. A byte starts a double-byte
// character by IsDoubleByteStart (runtime/platform/core/text_helpers.h) under the given mode.
#pragma once

#include "runtime/graphics/font/glyph_records.h"

// Walks the text from its start: 0 when position holds a single-byte character, 1 or 2 when it
// holds the first or second byte of a double-byte character, -1 when the terminating zero
// comes first. A lead byte followed by the terminating zero ends the walk.
int ClassifyCharByte(const char* text, int position, int mode);

// The character at text[position] of a text of `length` bytes, as a request; returns the bytes
// it takes (1 or 2). A lead byte takes the next byte with it, except as the text's last byte:
// then it stands alone, and nothing past the length is read.
int ReadGlyphRequest(const char* text, int length, int position, int mode, GlyphRequest* out);

// The code that GetGlyphOutlineA takes: the byte, or first byte x 256 + second byte.
unsigned GlyphOutlineCode(const GlyphRequest& request);
// The request's entry in a font's code table: the two bytes as a little-endian 16-bit value.
int GlyphCodeIndex(const GlyphRequest& request);
// A space (0x20) or the double-byte space (0x81 0x40): it only moves the pen.
bool IsSpaceRequest(const GlyphRequest& request);
