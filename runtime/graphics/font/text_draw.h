// Drawing text with a font handle: the public call, the hardware path (glyphs drawn from the
// texture cache by the draw calls) and the software path (glyphs written into the software
// draw target, or into a work image blitted with the blend mode), and the layout both share.
#pragma once

#include <cstdint>

#include "port/win32.h"

struct MEMIMG;

// The text with its box's top-left at (x, y), in colour with its outline in edgeColour (colour
// values of the screen, MakeColorValue), across or (vertical 1) downwards with the glyphs
// turned a quarter turn clockwise. 0 (also for null or empty text, while drawing is
// suppressed or the draw area is empty); -1 with "フォントハンドル値が異常です" for a handle that
// is not a live font.
int DrawStringWithFont(int x, int y, const char* text, int colour, int font, int edgeColour,
                       int vertical);
// The paths behind it; both return 0.
int DrawTextHardware(int x, int y, const char* text, int colour, int font, int edgeColour,
                     int vertical);
int DrawTextSoftware(int x, int y, const char* text, int colour, int font, int edgeColour,
                     int vertical);

// mode 0 measures, mode 1 draws: into target (clipped to clip) on the software path, through the
// draw calls with target null. length -1 or more than the text: the whole text. size, when
// given, receives (advance, cell height) across and (cell height, advance) downwards. The total
// advance, or -1 while drawing is suppressed, for a bad font, or for a glyph the cache cannot
// take ("テキストキャッシュの作成に失敗しました").
int LayoutAndDrawText(int mode, int x, int y, const char* text, int colour, MEMIMG* target,
                      const RECT* clip, int font, int edgeColour, int length, int vertical,
                      SIZE* size);
