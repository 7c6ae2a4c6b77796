#include "runtime/graphics/font/text_draw.h"

#include <algorithm>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/draw/hard_draw_paths.h"
#include "runtime/graphics/font/font_handles.h"
#include "runtime/graphics/font/font_text.h"
#include "runtime/graphics/font/glyph_cache.h"
#include "runtime/graphics/font/glyph_draw.h"
#include "runtime/graphics/font/text_layout.h"
#include "runtime/graphics/mask/mask_screen.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/window/message_loop.h"

namespace {

constexpr int kFixedRequests = 256;

struct LayoutContext {
  int font;
  FontEntry* entry;
  GlyphDrawSetup setup;
};

// The cached glyph, rendered again when it has been evicted since the text was prepared.
const GlyphRecord* FindGlyph(void* context, const GlyphRequest& request) {
  auto* c = static_cast<LayoutContext*>(context);
  const GlyphCodeEntry& code = c->entry->Codes[GlyphCodeIndex(request)];
  if (code.Present) return code.Record;
  const GlyphRecord* record = FillGlyphCache(c->font, 1, &request);
  if (record == nullptr) WriteLogText("テキストキャッシュの作成に失敗しました");
  return record;
}

void DrawGlyph(void* context, const GlyphRecord& glyph, int pen) {
  auto* c = static_cast<LayoutContext*>(context);
  if (c->setup.Target != nullptr)
    DrawCachedGlyphSoftware(c->setup, glyph, pen);
  else
    DrawCachedGlyphHardware(c->setup, glyph, pen);
}

RECT Intersect(const RECT& a, const RECT& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

}  // namespace

int LayoutAndDrawText(int mode, int x, int y, const char* text, int colour, MEMIMG* target,
                      const RECT* clip, int font, int edgeColour, int length, int vertical,
                      SIZE* size) {
  FontEntry* entry = GetFontEntry(font);
  if (DrawSuppressed || entry == nullptr) return -1;
  LayoutContext context = {font, entry, {}};
  GlyphDrawSetup& setup = context.setup;
  setup = {entry,
           x,
           y,
           vertical,
           ScaleByDrawBright(static_cast<uint32_t>(colour)),
           ScaleByDrawBright(static_cast<uint32_t>(edgeColour)),
           target,
           clip != nullptr ? *clip : DrawArea};
  if (text == nullptr || text[0] == '\0') {
    if (size != nullptr) *size = vertical ? SIZE{entry->CellHeight, 0} : SIZE{0, entry->CellHeight};
    return 0;
  }
  const int textLength = lstrlenA(text);
  if (length == -1 || length > textLength) length = textLength;

  GlyphRequest fixed[kFixedRequests];
  GlyphRequest* requests = fixed;
  if (length > kFixedRequests) {
    requests = static_cast<GlyphRequest*>(
        AllocTracked(sizeof(GlyphRequest) * static_cast<size_t>(length), __FILE__, __LINE__));
    if (requests == nullptr) return -1;
  }
  int count = 0;
  int result = PrepareStringGlyphs(length, text, font, requests, &count);
  if (result == 0)
    result = LayOutGlyphRun(requests, count, entry->Spacing, entry->CellHeight, vertical,
                            &FindGlyph, mode == 1 ? &DrawGlyph : nullptr, &context, size);
  if (requests != fixed) FreeTracked(requests);
  return result;
}

int DrawTextHardware(int x, int y, const char* text, int colour, int font, int edgeColour,
                     int vertical) {
  FontEntry* entry = GetFontEntry(font);
  if (entry == nullptr || !entry->HardwareCache) return 0;
  CreateFontCacheGraphs(entry);
  LayoutAndDrawText(1, x, y, text, colour, nullptr, &DrawArea, font, edgeColour, -1, vertical,
                    nullptr);
  return 0;
}

int DrawTextSoftware(int x, int y, const char* text, int colour, int font, int edgeColour,
                     int vertical) {
  FontEntry* entry = GetFontEntry(font);
  if (entry == nullptr || SoftDrawTarget == nullptr) return 0;
  SIZE size = {0, 0};
  if (LayoutAndDrawText(0, x, y, text, colour, nullptr, nullptr, font, edgeColour, -1, vertical,
                        &size) < 0)
    return 0;
  const bool antialiased = (entry->Type & kFontTypeAntialias) != 0;
  if (!antialiased && (CurrentBlendMode == 0 || (CurrentBlendMode == 1 && BlendParam == 255))) {
    LayoutAndDrawText(1, x, y, text, colour, SoftDrawTarget, &DrawArea, font, edgeColour, -1,
                      vertical, nullptr);
    return 0;
  }
  // Through a work image, blitted with the blend mode.
  MEMIMG* work = antialiased ? &FontWorkAlphaMemImg : &FontWorkMemImg;
  if (work->body == nullptr) return 0;
  const RECT area = DrawArea;
  const uint32_t bright = DrawBright;
  int screenWidth, screenHeight;
  GetScreenSize(&screenWidth, &screenHeight);
  const RECT box = Intersect({0, 0, size.cx, size.cy}, {0, 0, screenWidth, screenHeight});
  DrawArea = box;
  if (!antialiased) {
    // No pixel of the text may take the transparent colour; the colours compared are those the
    // text is written in.
    const uint32_t mask = work->body->colorType == Xrgb8888 ? 0xFFFFFFu : 0xFFFFu;
    const uint32_t text = GlyphColourPixel(work, ScaleByDrawBright(static_cast<uint32_t>(colour)));
    const uint32_t edge =
        GlyphColourPixel(work, ScaleByDrawBright(static_cast<uint32_t>(edgeColour)));
    uint32_t transparent = work->body->transparentColor & mask;
    while (transparent == text || transparent == edge) transparent = (transparent + 1) & mask;
    work->body->transparentColor = transparent;
  } else {
    work->body->transparentColor = 0;
  }
  FillMemImgRect(work, &box, work->body->transparentColor);
  LayoutAndDrawText(1, 0, 0, text, colour, work, &box, font, edgeColour, -1, vertical, nullptr);
  DrawBright = 0xFFFFFF;
  DrawArea = Intersect({x, y, x + size.cx, y + size.cy}, area);
  if (DrawArea.left < DrawArea.right && DrawArea.top < DrawArea.bottom)
    DrawMemImgPlain(SoftDrawTarget, work, x, y, 1, SoftBlendImage);
  DrawArea = area;
  DrawBright = bright;
  return 0;
}

int DrawStringWithFont(int x, int y, const char* text, int colour, int font, int edgeColour,
                       int vertical) {
  if (text == nullptr || text[0] == '\0' || DrawSuppressed || DrawAreaEmpty) return 0;
  FontEntry* entry = GetFontEntry(font);
  if (entry == nullptr) return WriteLogText("フォントハンドル値が異常です\n");
  WaitWhileInactive();
  const bool hardware = entry->HardwareCache != 0;
  const bool subtract = hardware && CurrentBlendMode == 3;
  const bool masked = MaskScreen.active != 0;
  RECT box = {0, 0, 0, 0};
  if (subtract || masked || DrawTarget == -4) {
    box = vertical ? RECT{x, y, x + entry->Size + 3, DrawArea.bottom}
                   : RECT{x, y, DrawArea.right, y + entry->Size + 3};
    if (x >= DrawArea.right) return 0;
  }
  // One mask wrap around the whole string; the glyphs' own draw calls nest inside it.
  if (masked) BeginMaskedDraw(&box);
  if (subtract && !SubtractBlendSupported) {
    BeginSubtractEmulation(&box);
    DrawTextHardware(x, y, text, colour, font, edgeColour, vertical);
    EndSubtractEmulation(&box);
  } else if (hardware) {
    DrawTextHardware(x, y, text, colour, font, edgeColour, vertical);
  } else {
    DrawTextSoftware(x, y, text, colour, font, edgeColour, vertical);
  }
  if (masked) EndMaskedDraw(&box);
  return 0;
}
