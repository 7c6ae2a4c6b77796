// Font handles: the record behind each font (its GDI font, its glyph cache in a texture or in
// memory, and the code table that finds a cached glyph), their creation with the face
// fall-backs, deletion, and the settings callers read back.
#pragma once

#include <cstdint>

#include "port/win32.h"
#include "runtime/graphics/font/glyph_records.h"
#include "runtime/graphics/image/graph_image.h"
#include "runtime/platform/core/handle_table.h"

constexpr int kMaxFontHandles = 40;
constexpr int kFontFaceNameBytes = 256;

// Type bits.
constexpr int kFontTypeEdge = 1;
constexpr int kFontTypeAntialias = 2;

struct FontEntry {
  int32_t CheckNumber;
  int* LostFlag;  // set to 1 when the font is deleted
  GlyphRecord Records[kGlyphRecordCount];
  GlyphCodeEntry Codes[kGlyphCodeCount];
  int32_t NextSlot;  // the ring's next record
  int32_t Capacity;  // cells in the cache
  // The memory cache (software path): one column of cells.
  uint8_t* SoftCache;
  int32_t SoftBytesPerRow;
  int32_t SoftBitsPerPixel;
  char FaceName[kFontFaceNameBytes];  // empty: the default face
  int32_t Thickness;
  int32_t Size;
  int32_t CellHeight;
  int32_t Italic;
  int32_t Spacing;  // pixels added after every character
  int32_t CellWidth;
  HFONT Font;
  int32_t Type;
  int32_t CharsetIndex;  // also the double-byte mode of the font's texts
  int32_t EdgeSize;
  int32_t CacheWidth;  // the glyph half; edge fonts keep their outlines in a second half
  int32_t CacheHeight;
  int32_t RowsPerColumn;
  int32_t CacheGraph;       // -1 none
  int32_t EdgeGraph;        // the outline half of CacheGraph, -1 none
  int32_t CacheGraphsLost;  // 1: the cache graphs must be made (again)
  GraphImage BaseImage;     // laid out like the cache graph; glyphs are composed here first
  int32_t HardwareCache;
};

extern HandleTable FontHandles;

// A new font; -1 for size, thickness, type, charset and edge size means 16, 6, 0, the
// library's character set and 1. An edge size above 1 makes it an edge font. slot and
// checkNumber -1 let the call choose; given, the handle keeps that value (the re-creation after
// a new device). The handle, or -1 with its line logged: the 40 fonts in use, memory, or no GDI
// font for the face. Types above 3 and charsets outside 0 to 4 are refused.
int CreateFontToHandle(const char* face, int size, int thickness, int type, int charset,
                       int edgeSize, int italic, int slot, int checkNumber);
// Deletes the GDI font, both caches and the record, and sets the lost flag. 0 or -1.
int DeleteFontHandle(int handle);
// Keeps flag (may be null) and clears it now; deleting the font sets it to 1. 0 or -1.
int SetFontLostFlag(int handle, int* flag);
// The face (kFontFaceNameBytes bytes), size and thickness; null outputs are skipped. 0 or -1.
int GetFontHandleSettings(char* face, int* size, int* thickness, int handle);
// The size, or -1.
int GetFontSize(int handle);
// 1 for a live font handle, else 0.
int IsFontHandleValid(int value);
FontEntry* GetFontEntry(int handle);
// 0 or -1.
int SetFontSpacing(int spacing, int handle);

// Makes the cache graphs while CacheGraphsLost is 1: a blank 16-bit graph (twice as wide for
// edge fonts, with the outline half as a sub graph) filled with transparent white. 0, or -1
// when no graph could be made.
int CreateFontCacheGraphs(FontEntry* entry);
// Empties the cache: no glyph present, record i owning slot i, the ring back at slot 0.
void ResetGlyphCache(FontEntry* entry);
