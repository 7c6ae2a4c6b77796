#include "stg_src/shell/font_text.h"

#include "stg_src/deterministic.h"

// Empty until the bitmap font is loaded and drawn.
void DrawFontText(int, int, const char*, int) {}
void DrawFontNumber(int, int, int32_t, int, int) {}
void DrawKeyName(int, int, int32_t) {}
