// The glyph cache's records: one record per cache cell, the code table entry of each character
// code, and the request for one character of a text.
#pragma once

#include <cstdint>

// A font's cache holds at most this many glyphs; its record array has one more, the last
// marking the end.
constexpr int kGlyphCacheMaxCapacity = 2024;
constexpr int kGlyphRecordCount = kGlyphCacheMaxCapacity + 1;
// One code table entry for every value of a character's two bytes.
constexpr int kGlyphCodeCount = 65536;

struct GlyphCodeEntry;

// A glyph in the cache. Record i owns cache slot i. For edge fonts, the width, height and
// advance include the outline on both sides.
struct GlyphRecord {
  uint8_t InUse;
  uint8_t Pad;
  int16_t OffsetX;  // the glyph origin's x
  int16_t OffsetY;  // the text ascent minus the glyph origin's y
  int16_t Advance;  // the pen's advance after this glyph
  int32_t Slot;
  int16_t Width;  // the black box
  int16_t Height;
  GlyphCodeEntry* Code;  // the entry that points back here
};

struct GlyphCodeEntry {
  int32_t Present;
  GlyphRecord* Record;
};

// One character of a text: its first byte, its second byte (0 for a single-byte character),
// and a 0.
struct GlyphRequest {
  uint8_t First;
  uint8_t Second;
  uint8_t Zero;
};
static_assert(sizeof(GlyphRequest) == 3);
