#include "runtime/graphics/font/glyph_cache.h"

#include <algorithm>
#include <cstring>

#include "port/win32.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/font/font_cache_layout.h"
#include "runtime/graphics/font/font_handles.h"
#include "runtime/graphics/font/font_text.h"
#include "runtime/graphics/font/glyph_compose.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/startup/library_startup.h"

namespace {

constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// The font selected into a memory context for the outline queries.
struct GlyphContext {
  HDC dc = nullptr;
  HGDIOBJ old = nullptr;
  TEXTMETRICA metrics = {};
};

void OpenGlyphContext(const FontEntry& e, GlyphContext* c) {
  c->dc = CreateCompatibleDC(nullptr);
  c->old = c->dc != nullptr ? SelectObject(c->dc, e.Font) : nullptr;
  if (c->old == nullptr) AbortWithLog("テキストキャッシュサーフェスのＤＣの取得に失敗しました");
  GetTextMetricsA(c->dc, &c->metrics);
}

void CloseGlyphContext(GlyphContext* c) {
  SelectObject(c->dc, c->old);
  DeleteDC(c->dc);
}

// The glyph's bitmap in a zeroed buffer with a spare row before and after it, as the outline
// query fills it; empty (Bits null) for a glyph without pixels. False when the query fails.
struct FetchedGlyph {
  GLYPHMETRICS metrics = {};
  uint8_t* block = nullptr;
  GlyphBitmap bitmap = {};
};

bool FetchGlyph(const GlyphContext& c, unsigned code, int grey, FetchedGlyph* out) {
  const UINT format = grey ? GGO_GRAY4_BITMAP : GGO_BITMAP;
  const DWORD size = GetGlyphOutlineA(c.dc, code, format, &out->metrics, 0, nullptr, &kIdentity);
  if (size == GDI_ERROR) return false;
  const int width = static_cast<int>(out->metrics.gmBlackBoxX),
            height = static_cast<int>(out->metrics.gmBlackBoxY);
  if (size == 0) return true;
  const GlyphBitmap shape = MakeGlyphBitmap(nullptr, width, height, grey);
  const size_t rows = static_cast<size_t>(shape.Pitch) * static_cast<size_t>(height);
  const size_t pad = height > 0 ? size / static_cast<size_t>(height) / 4 * 4 : 0;
  out->block = static_cast<uint8_t*>(
      AllocTrackedZero(std::max<size_t>(size, rows) + 2 * pad, __FILE__, __LINE__));
  if (out->block == nullptr) AbortWithLog("アンチエイリアス文字取得用バッファの確保に失敗しました");
  if (GetGlyphOutlineA(c.dc, code, format, &out->metrics, size, out->block + pad, &kIdentity) ==
      GDI_ERROR) {
    FreeTracked(out->block);
    out->block = nullptr;
    return false;
  }
  out->bitmap = MakeGlyphBitmap(out->block + pad, width, height, grey);
  return true;
}

// Sends the cell's rectangle in both halves of the base image to the cache graph.
void TransferCell(FontEntry* e, int x, int y) {
  const int halves = (e->Type & kFontTypeEdge) ? 2 : 1;
  for (int half = 0; half < halves; ++half) {
    const int left = x + half * e->CacheWidth;
    RECT rect = {left, y, std::min(left + e->CellWidth, (half + 1) * e->CacheWidth),
                 std::min(y + e->CellWidth, e->CacheHeight)};
    if (rect.left < rect.right && rect.top < rect.bottom)
      TransferImageRectToGraph(0, nullptr, nullptr, nullptr, 0, &e->BaseImage, nullptr, &rect,
                               rect.left, rect.top, e->CacheGraph, 0);
  }
}

void ComposeIntoCell(FontEntry* e, const GlyphBitmap& bitmap, int slot) {
  int x, y;
  GlyphCellPosition(slot, e->RowsPerColumn, e->CellWidth, e->HardwareCache, &x, &y);
  if (e->HardwareCache) {
    ComposeHardwareGlyph(bitmap, e->Type, e->EdgeSize, &e->BaseImage, e->CacheWidth, x, y,
                         e->CellWidth);
    if (!e->CacheGraphsLost) TransferCell(e, x, y);
  } else {
    ComposeSoftwareGlyph(bitmap, e->Type, e->EdgeSize,
                         e->SoftCache + static_cast<ptrdiff_t>(y) * e->SoftBytesPerRow,
                         e->SoftBytesPerRow, e->CellWidth);
  }
}

GlyphRecord* RenderGlyph(FontEntry* e, const GlyphContext& c, const GlyphRequest& request) {
  GlyphRecord* record = &e->Records[e->NextSlot];
  if (record->InUse && record->Code != nullptr) *record->Code = GlyphCodeEntry{0, nullptr};
  record->InUse = 0;
  const int edge = (e->Type & kFontTypeEdge) ? std::max(e->EdgeSize, 0) : 0;
  const unsigned code = GlyphOutlineCode(request);
  const int grey = (e->Type & kFontTypeAntialias) ? 1 : 0;

  FetchedGlyph glyph;
  int advance = 0, width = 0, height = 0, offsetX = 0, offsetY = 0;
  if (IsSpaceRequest(request)) {
    GLYPHMETRICS metrics = {};
    if (GetGlyphOutlineA(c.dc, code, GGO_METRICS, &metrics, 0, nullptr, &kIdentity) != GDI_ERROR)
      advance = metrics.gmCellIncX + 2 * edge;
  } else if (FetchGlyph(c, code, grey, &glyph)) {
    offsetX = glyph.metrics.gmptGlyphOrigin.x;
    offsetY = c.metrics.tmAscent - glyph.metrics.gmptGlyphOrigin.y;
    advance = glyph.metrics.gmCellIncX + 2 * edge;
    // A glyph without pixels keeps no box.
    if (glyph.bitmap.Bits != nullptr) {
      width = glyph.bitmap.Width + 2 * edge;
      height = glyph.bitmap.Height + 2 * edge;
    }
  } else {
    WriteLogText("GetGlyphOutline 関数が失敗しました\n");
    GLYPHMETRICS metrics = {};
    if (GetGlyphOutlineA(c.dc, code, GGO_METRICS, &metrics, 0, nullptr, &kIdentity) != GDI_ERROR)
      advance = metrics.gmCellIncX + 2 * edge;
  }
  ComposeIntoCell(e, glyph.bitmap, record->Slot);
  if (glyph.block != nullptr) FreeTracked(glyph.block);

  record->OffsetX = static_cast<int16_t>(offsetX);
  record->OffsetY = static_cast<int16_t>(offsetY);
  record->Advance = static_cast<int16_t>(advance);
  record->Width = static_cast<int16_t>(width);
  record->Height = static_cast<int16_t>(height);
  GlyphCodeEntry* entry = &e->Codes[GlyphCodeIndex(request)];
  *entry = GlyphCodeEntry{1, record};
  record->InUse = 1;
  record->Code = entry;
  e->NextSlot = (e->NextSlot + 1) % e->Capacity;
  return record;
}

}  // namespace

int PrepareStringGlyphs(int length, const char* text, int handle, GlyphRequest* out, int* count) {
  FontEntry* e = GetFontEntry(handle);
  if (e == nullptr) return -1;
  const int textLength = lstrlenA(text);
  if (length == -1 || length > textLength) length = textLength;
  // The new characters are at most the capacity, so they need no heap block; their code entries
  // are marked present while the text is read, so that repeats are asked for once.
  GlyphRequest fresh[kGlyphCacheMaxCapacity];
  int freshCount = 0, characters = 0;
  for (int i = 0; i < length;) {
    GlyphRequest request;
    i += ReadGlyphRequest(text, length, i, e->CharsetIndex, &request);
    if (out != nullptr) out[characters] = request;
    ++characters;
    GlyphCodeEntry& code = e->Codes[GlyphCodeIndex(request)];
    if (!code.Present && freshCount < e->Capacity) {
      code.Present = 1;
      fresh[freshCount++] = request;
    }
  }
  for (int i = 0; i < freshCount; ++i) e->Codes[GlyphCodeIndex(fresh[i])].Present = 0;
  if (freshCount > 0) FillGlyphCache(handle, freshCount, fresh);
  if (count != nullptr) *count = characters;
  return 0;
}

const GlyphRecord* FillGlyphCache(int handle, int count, const GlyphRequest* requests) {
  FontEntry* e = GetFontEntry(handle);
  if (DrawSuppressed || e == nullptr) return nullptr;
  GlyphContext context;
  OpenGlyphContext(*e, &context);
  const GlyphRecord* last = nullptr;
  for (int i = 0; i < count; ++i) last = RenderGlyph(e, context, requests[i]);
  CloseGlyphContext(&context);
  return last;
}
