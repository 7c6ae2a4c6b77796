// GetGlyphOutlineA: one glyph rendered by FreeType into GDI's bitmap layouts.
#include <ft2build.h>
#include FT_OUTLINE_H

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "port/gdi/font_internal.h"
#include "port/kernel/cp932_text.h"
#include "port/kernel/last_error.h"

namespace {

constexpr FT_Fixed kItalicShear = 0x3333;  // x grows by a fifth of the height above the baseline

bool IsIdentity(const MAT2& m) {
  auto is = [](const FIXED& f, SHORT value) { return f.fract == 0 && f.value == value; };
  return is(m.eM11, 1) && is(m.eM12, 0) && is(m.eM21, 0) && is(m.eM22, 1);
}

bool CodePointOf(UINT code, uint32_t* codePoint) {
  if (code == 0 || code > 0xFFFF) return false;
  const char bytes[2] = {static_cast<char>(code > 0xFF ? code >> 8 : code),
                         static_cast<char>(code & 0xFF)};
  return PortCp932CharToCodePoint(code > 0xFF ? bytes : bytes + 1, code > 0xFF ? 2 : 1, codePoint);
}

// Loads and renders the glyph into the face's slot, slanted and thickened as the font asks.
// A character the face lacks renders as the face's missing-glyph box, as GDI's default glyph.
bool RenderGlyph(const PortFont* font, uint32_t codePoint, bool mono, FT_GlyphSlot* slotOut) {
  FT_Face face = font->face;
  const FT_UInt index = FT_Get_Char_Index(face, codePoint);
  const FT_Int32 load = FT_LOAD_NO_BITMAP | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
  if (FT_Load_Glyph(face, index, load) != 0 || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
    return false;
  FT_GlyphSlot slot = face->glyph;
  if (font->italic) {
    const FT_Matrix shear = {0x10000, kItalicShear, 0, 0x10000};
    FT_Outline_Transform(&slot->outline, &shear);
  }
  // One pixel wider to the right, as GDI thickens a face that has no bold.
  if (font->embolden && FT_Outline_EmboldenXY(&slot->outline, 64, 0) != 0) return false;
  // A glyph without an outline (a space) has no pixels; the mono renderer would give it one.
  if (slot->outline.n_points > 0 &&
      (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0 ||
       slot->bitmap.pitch < 0))
    return false;
  *slotOut = slot;
  return true;
}

// Pixel (x, y) of a rendered bitmap: 0 or 1 in mono, else a level of 0 to 16.
int PixelAt(const FT_Bitmap& bitmap, bool mono, int x, int y) {
  const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
  return mono ? (row[x / 8] >> (7 - x % 8)) & 1 : (row[x] * 16 + 127) / 255;
}

DWORD Fail(DWORD error) {
  SetLastError(error);
  return GDI_ERROR;
}

}  // namespace

DWORD WINAPI GetGlyphOutlineA(HDC dc, UINT code, UINT format, LPGLYPHMETRICS metrics, DWORD size,
                              LPVOID buffer, const MAT2* matrix) {
  uint32_t codePoint = 0;
  if (!metrics || !matrix || !IsIdentity(*matrix) ||
      (format != GGO_METRICS && format != GGO_BITMAP && format != GGO_GRAY4_BITMAP) ||
      !CodePointOf(code, &codePoint))
    return Fail(ERROR_INVALID_PARAMETER);
  std::lock_guard lock(PortGdiObjectLock());
  const PortFont* font = PortLiveFontLocked(PortSelectedFontLocked(dc));
  if (!font) return Fail(ERROR_INVALID_HANDLE);
  const bool mono = format == GGO_BITMAP;
  FT_GlyphSlot slot = nullptr;
  if (!RenderGlyph(font, codePoint, mono, &slot)) return Fail(ERROR_INVALID_PARAMETER);

  // GDI's black box is tight; FreeType's bitmaps may carry empty rows and columns.
  const FT_Bitmap& bitmap = slot->bitmap;
  int left = static_cast<int>(bitmap.width), top = static_cast<int>(bitmap.rows);
  int right = 0, bottom = 0;
  if (slot->outline.n_points > 0) {
    for (int y = 0; y < static_cast<int>(bitmap.rows); ++y) {
      for (int x = 0; x < static_cast<int>(bitmap.width); ++x) {
        if (!PixelAt(bitmap, mono, x, y)) continue;
        left = std::min(left, x), right = std::max(right, x + 1);
        top = std::min(top, y), bottom = std::max(bottom, y + 1);
      }
    }
  }
  const bool blank = right <= left;
  const int width = blank ? 0 : right - left, rows = blank ? 0 : bottom - top;
  GLYPHMETRICS m{};
  m.gmBlackBoxX = blank ? 1 : width;
  m.gmBlackBoxY = blank ? 1 : rows;
  m.gmptGlyphOrigin.x = blank ? 0 : slot->bitmap_left + left;
  m.gmptGlyphOrigin.y = blank ? 0 : slot->bitmap_top - top;
  m.gmCellIncX = static_cast<SHORT>(((slot->advance.x + 32) >> 6) + (font->embolden ? 1 : 0));
  m.gmCellIncY = 0;
  *metrics = m;
  if (format == GGO_METRICS || blank) return 0;

  const int pitch = mono ? (width + 31) / 32 * 4 : (width + 3) / 4 * 4;
  const DWORD needed = static_cast<DWORD>(pitch) * static_cast<DWORD>(rows);
  if (size == 0 || !buffer) return needed;
  if (size < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
  auto* out = static_cast<uint8_t*>(buffer);
  std::memset(out, 0, needed);
  for (int y = 0; y < rows; ++y) {
    uint8_t* row = out + static_cast<ptrdiff_t>(y) * pitch;
    for (int x = 0; x < width; ++x) {
      const int level = PixelAt(bitmap, mono, left + x, top + y);
      if (mono)
        row[x / 8] |= static_cast<uint8_t>(level << (7 - x % 8));
      else
        row[x] = static_cast<uint8_t>(level);
    }
  }
  return needed;
}
