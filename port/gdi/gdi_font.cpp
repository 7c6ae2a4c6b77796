// Logical fonts: CreateFontA, the pixel metrics of a face at a height, GetTextMetricsA and the
// test switches of font creation.
#include <ft2build.h>
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <new>
#include <string>
#include <unordered_set>
#include <vector>

#include "port/gdi/font_internal.h"
#include "port/kernel/last_error.h"

namespace {

constexpr uint32_t kFontMagic = 0x544E4650;  // "PFNT"
constexpr int kMaxHeight = 4096;             // a glyph of this size already takes 16 MB
constexpr int kDefaultCellHeight = 16;

FT_Library gLibrary = nullptr;
std::unordered_set<const PortFont*> gFonts;

struct FontSwitches {
  std::vector<std::string> failingFaces;
  bool allFail = false;
  int fixedMaxCharWidth = 0;
  int fixedHeight = 0;
} gSwitches;

// a x b / c rounded to nearest, for the scaling of font units to pixels.
int ScaleRounded(int64_t a, int64_t b, int64_t c) { return static_cast<int>((a * b + c / 2) / c); }

bool CreationFails(const char* face) {
  if (gSwitches.allFail) return true;
  const std::string name = face ? face : "";
  return std::find(gSwitches.failingFaces.begin(), gSwitches.failingFaces.end(), name) !=
         gSwitches.failingFaces.end();
}

// Sizes the face: the em height and the ascent and descent in pixels. GDI scales a cell height
// so that the face's Windows ascent and descent fill it.
bool SizeFace(PortFont* font, int height) {
  FT_Face face = font->face;
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  int64_t unitsAbove = face->ascender, unitsBelow = -face->descender;
  if (os2 && os2->usWinAscent + os2->usWinDescent > 0)
    unitsAbove = os2->usWinAscent, unitsBelow = os2->usWinDescent;
  const int64_t units = face->units_per_EM;
  if (units <= 0 || unitsAbove + unitsBelow <= 0) return false;
  if (height == 0) height = kDefaultCellHeight;
  if (height > 0) {
    font->ppem = std::max(1, ScaleRounded(height, units, unitsAbove + unitsBelow));
    font->ascent = ScaleRounded(height, unitsAbove, unitsAbove + unitsBelow);
    font->descent = height - font->ascent;
  } else {
    font->ppem = -height;
    font->ascent = ScaleRounded(unitsAbove, font->ppem, units);
    font->descent = ScaleRounded(unitsBelow, font->ppem, units);
  }
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font->ppem)) != 0) return false;
  const int bold = font->embolden ? 1 : 0;
  font->maxCharWidth = ScaleRounded(face->max_advance_width, font->ppem, units) + bold;
  font->aveCharWidth =
      (os2 && os2->xAvgCharWidth > 0 ? ScaleRounded(os2->xAvgCharWidth, font->ppem, units)
                                     : font->maxCharWidth / 2) +
      bold;
  return true;
}

// FreeType, started on first use and kept for the life of the process; null when it cannot
// start.
FT_Library FreeTypeLocked() {
  if (!gLibrary && FT_Init_FreeType(&gLibrary) != 0) gLibrary = nullptr;
  return gLibrary;
}

void DestroyFont(PortFont* font) {
  if (font->face) FT_Done_Face(font->face);
  font->magic = 0;
  delete font;
}

}  // namespace

PortFont* PortLiveFontLocked(HGDIOBJ object) {
  auto* font = static_cast<PortFont*>(object);
  return object && gFonts.count(font) && font->magic == kFontMagic ? font : nullptr;
}

void PortFreeFontLocked(PortFont* font) {
  gFonts.erase(font);
  DestroyFont(font);
}

int PortLiveFontCountLocked() { return static_cast<int>(gFonts.size()); }

HFONT WINAPI CreateFontA(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD,
                         DWORD charset, DWORD, DWORD, DWORD, DWORD, LPCSTR face) {
  std::lock_guard lock(PortGdiObjectLock());
  weight = weight <= FW_DONTCARE ? FW_NORMAL : std::min(weight, 1000);
  PortFaceFile file;
  FT_Library library = nullptr;
  if (CreationFails(face) || height > kMaxHeight || height < -kMaxHeight ||
      !(library = FreeTypeLocked()) ||
      !PortFindFaceFileLocked(face, static_cast<int>(charset), weight, &file)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* font = new (std::nothrow) PortFont{};
  if (!font) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  font->magic = kFontMagic;
  font->weight = weight;
  font->embolden = weight >= FW_SEMIBOLD && file.weight < FW_SEMIBOLD;
  font->italic = italic != 0;
  font->charset = static_cast<BYTE>(charset == DEFAULT_CHARSET ? SHIFTJIS_CHARSET : charset);
  if (FT_New_Face(library, file.path.c_str(), file.index, &font->face) != 0) font->face = nullptr;
  if (!font->face || !FT_IS_SCALABLE(font->face) || !SizeFace(font, height)) {
    DestroyFont(font);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  font->fixedPitch = FT_IS_FIXED_WIDTH(font->face);
  gFonts.insert(font);
  return font;
}

BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
  std::lock_guard lock(PortGdiObjectLock());
  const PortFont* font = PortLiveFontLocked(PortSelectedFontLocked(dc));
  if (!font || !metrics) {
    SetLastError(font ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
    return FALSE;
  }
  TEXTMETRICA m{};
  m.tmAscent = font->ascent;
  m.tmDescent = font->descent;
  m.tmHeight = font->ascent + font->descent;
  m.tmInternalLeading = std::max(0, m.tmHeight - font->ppem);
  m.tmAveCharWidth = font->aveCharWidth;
  m.tmMaxCharWidth = font->maxCharWidth;
  if (gSwitches.fixedMaxCharWidth > 0 && gSwitches.fixedHeight > 0) {
    m.tmHeight = gSwitches.fixedHeight;
    m.tmAscent = gSwitches.fixedHeight * 4 / 5;
    m.tmDescent = m.tmHeight - m.tmAscent;
    m.tmInternalLeading = 0;
    m.tmMaxCharWidth = gSwitches.fixedMaxCharWidth;
    m.tmAveCharWidth = gSwitches.fixedMaxCharWidth / 2;
  }
  m.tmWeight = font->weight;
  m.tmDigitizedAspectX = 96;
  m.tmDigitizedAspectY = 96;
  m.tmFirstChar = 0x20;
  m.tmLastChar = 0xFF;
  m.tmDefaultChar = 0x1F;
  m.tmBreakChar = 0x20;
  m.tmItalic = font->italic ? 1 : 0;
  m.tmPitchAndFamily = TMPF_VECTOR | TMPF_TRUETYPE | (font->fixedPitch ? 0 : TMPF_FIXED_PITCH);
  m.tmCharSet = font->charset;
  *metrics = m;
  return TRUE;
}

void PortSetFontCreationFailure(const char* face) {
  std::lock_guard lock(PortGdiObjectLock());
  gSwitches.failingFaces.emplace_back(face ? face : "");
}

void PortSetAllFontCreationsFail(bool fail) {
  std::lock_guard lock(PortGdiObjectLock());
  gSwitches.allFail = fail;
}

void PortSetFixedTextMetrics(int maxCharWidth, int height) {
  std::lock_guard lock(PortGdiObjectLock());
  gSwitches.fixedMaxCharWidth = maxCharWidth;
  gSwitches.fixedHeight = height;
}

void PortResetFontSwitches() {
  std::lock_guard lock(PortGdiObjectLock());
  gSwitches = FontSwitches{};
}
