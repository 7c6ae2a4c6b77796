#include "runtime/graphics/font/text_layout.h"

#include "runtime/graphics/font/font_text.h"

int LayOutGlyphRun(const GlyphRequest* requests, int count, int spacing, int cellHeight,
                   int vertical, FindGlyphFunction find, DrawGlyphFunction draw, void* context,
                   SIZE* size) {
  double pen = 0;
  for (int i = 0; i < count; ++i) {
    const GlyphRecord* glyph = find(context, requests[i]);
    if (!glyph) return -1;
    if (draw && !IsSpaceRequest(requests[i]) && (glyph->Width != 0 || glyph->Height != 0))
      draw(context, *glyph, static_cast<int>(pen));
    pen += glyph->Advance + spacing;
  }
  const int total = static_cast<int>(pen);
  if (size) {
    size->cx = vertical ? cellHeight : total;
    size->cy = vertical ? total : cellHeight;
  }
  return total;
}
