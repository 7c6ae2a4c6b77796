// Text in the game's 20 x 20 bitmap font: strings, right-aligned numbers and key names.
#pragma once

#include <cstdint>

// The glyphs are FontImages (image_tables.h): entry c is the glyph of character code c; codes
// 17..96 are drawn, the digits are 48..57.

// A zero-terminated 8-bit string; x advances by size for every byte. Size 14 and up draws the
// glyphs at full size with their top-left at (x, y), smaller sizes centred there at 0.8.
void DrawFontText(int x, int y, const char* text, int size);
// A non-negative number right-aligned in `digits` columns `spacing` pixels apart, without
// leading zeros; only its last `digits` digits show. A negative value draws nothing.
void DrawFontNumber(int x, int y, int32_t value, int digits, int spacing);
// The name of key code 1..211 at size 14; other codes draw nothing.
void DrawKeyName(int x, int y, int32_t code);
