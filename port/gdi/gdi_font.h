// The port's GDI fonts: logical fonts made by CreateFontA, their text metrics and glyph
// bitmaps, rasterised by FreeType from faces that fontconfig finds. Fonts are selected into and
// deleted through the memory-context calls of port/gdi/gdi_dib.h.
#pragma once

#include "port/gdi/gdi_bitmap.h"

// Weights (thickness x 100); FW_DONTCARE and below stand for FW_NORMAL, weights above 1000
// for 1000.
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_NORMAL 400
#define FW_SEMIBOLD 600
#define FW_BOLD 700

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SHIFTJIS_CHARSET 128
#define HANGUL_CHARSET 129
#define GB2312_CHARSET 134
#define CHINESEBIG5_CHARSET 136

#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2

// tmPitchAndFamily: the low bit is set for a font that is NOT of fixed pitch.
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04

struct TEXTMETRICA {
  LONG tmHeight;  // ascent + descent
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;  // tmHeight minus the em height
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
typedef TEXTMETRICA* LPTEXTMETRICA;

// GetGlyphOutlineA formats.
#define GGO_METRICS 0u
#define GGO_BITMAP 1u
#define GGO_NATIVE 2u
#define GGO_GRAY2_BITMAP 4u
#define GGO_GRAY4_BITMAP 5u
#define GGO_GRAY8_BITMAP 6u
#define GGO_GLYPH_INDEX 0x80u

// The black box of a glyph (the smallest rectangle holding its pixels), its top-left corner
// relative to the pen with y up from the baseline, and the pen's advance.
struct GLYPHMETRICS {
  UINT gmBlackBoxX;
  UINT gmBlackBoxY;
  POINT gmptGlyphOrigin;
  SHORT gmCellIncX;
  SHORT gmCellIncY;
};
typedef GLYPHMETRICS* LPGLYPHMETRICS;

// A 16.16 fixed-point number.
struct FIXED {
  WORD fract;
  SHORT value;
};
struct MAT2 {
  FIXED eM11;
  FIXED eM12;
  FIXED eM21;
  FIXED eM22;
};

// A logical font. height > 0 is the cell height (ascent + descent), height < 0 the em height,
// 0 a cell height of 16. weight 600 and above asks for bold, drawn thicker by one pixel when
// the face has no bold of its own; italic slants the glyphs. The charset is a language hint.
// Faces: none, "ＭＳ ゴシック" (CP932) and any face with SHIFTJIS_CHARSET that has no Japanese
// get IPA Gothic; other names are looked up by fontconfig and fall back to IPA Gothic when it
// has no face of that family. width, escapement, orientation, underline, strike-out, the
// precisions, quality and pitch are accepted and not applied. Null (ERROR_INVALID_PARAMETER)
// for a height beyond 4096 pixels, and when no face can be opened.
HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charset,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, LPCSTR face);

// The metrics of the font selected into a memory context. FALSE for another context or while
// the context holds its initial (stock) font.
BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics);

// One glyph of the font selected into a memory context. code is a byte, or lead x 256 + trail
// for a double-byte character, in CP932. format GGO_METRICS fills the metrics only (returns 0);
// GGO_BITMAP gives 1 bit a pixel, most significant bit first, GGO_GRAY4_BITMAP 1 byte a pixel
// of level 0 to 16; rows top-down, each padded to a DWORD. With size 0 or no buffer the call
// returns the bytes needed; otherwise it fills the buffer and returns the same. A glyph without
// pixels (a space) needs 0 bytes and reports a 1 x 1 black box. The matrix must be the
// identity. GDI_ERROR for another context, another format or flag, a code that is no CP932
// character, missing metrics or matrix, or a buffer too small.
DWORD WINAPI GetGlyphOutlineA(HDC dc, UINT code, UINT format, LPGLYPHMETRICS metrics, DWORD size,
                              LPVOID buffer, const MAT2* matrix);

// Test switches. CreateFontA fails for every call naming `face` (CP932, compared byte for byte;
// null or empty stands for the calls without a face); each call adds a face.
void PortSetFontCreationFailure(const char* face);
// Every CreateFontA call fails while set.
void PortSetAllFontCreationsFail(bool fail);
// While maxCharWidth and height are above 0, every font's text metrics report them (ascent
// four fifths of the height, the rest descent, average width half the maximum); glyphs keep
// their own metrics.
void PortSetFixedTextMetrics(int maxCharWidth, int height);
// Clears every switch above.
void PortResetFontSwitches();
