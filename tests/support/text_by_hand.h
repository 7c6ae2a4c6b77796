// What a text drawn with a font handle must leave on the screen, worked out independently of
// the glyph cache: the port's own GetGlyphOutlineA bitmaps of the font's GDI font placed by hand
// at the pen, with the outline spread around them, across or turned for vertical text.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

enum class TextPixel : uint8_t {
  Background,
  Text,     // a glyph pixel of full coverage
  Edge,     // an outline pixel of full coverage outside the glyph
  Partial,  // anti-aliased coverage: not checked
};

struct TextPicture {
  int left = 0, top = 0, right = 0, bottom = 0;  // the box the classes cover
  std::vector<TextPixel> classes;
  int advance = 0;  // the pen after the last character
  TextPixel At(int x, int y) const;
};

// The text (CP932) as the font's type, edge size, cell height and spacing draw it at (x, y).
TextPicture PlaceTextByHand(int font, const char* text, int x, int y, int vertical);

// Compares the pixels (0x00RRGGBB at screen (x, y)) of the picture's box and a margin around
// it: background pixels must equal background, text and edge pixels their colours within
// tolerance per channel. Adds a failure per kind of mismatch with the first place it was seen;
// returns the number of pixels that did not match.
int CompareTextPixels(const TextPicture& picture, const std::function<uint32_t(int, int)>& pixel,
                      uint32_t text, uint32_t edge, uint32_t background, int tolerance);
