// Text in the game's 20 x 20 bitmap font: strings, right-aligned numbers and key names.
#pragma once

#include <cstdint>

// A zero-terminated 8-bit string; x advances by size for every byte.
void DrawFontText(int x, int y, const char* text, int size);
// A non-negative number right-aligned in `digits` columns `spacing` pixels apart.
void DrawFontNumber(int x, int y, int32_t value, int digits, int spacing);
// The name of key code 1..211 at size 14; other codes draw nothing.
void DrawKeyName(int x, int y, int32_t code);
