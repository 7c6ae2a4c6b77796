#include "runtime/graphics/font/glyph_draw.h"

#include <algorithm>
#include <cstring>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/font/font_cache_layout.h"
#include "runtime/graphics/font/font_handles.h"
#include "runtime/softrender/memimg.h"

namespace {

int Scale(int channel, uint32_t bright) { return channel * static_cast<int>(bright & 0xFF) / 255; }

// The glyph's box on the screen: columns [left, right), rows [top, bottom).
struct Box {
  int left, top, right, bottom;
};

// Writes pixels of a memory image of 16 or 32 bits, with or without alpha.
class PixelWriter {
 public:
  explicit PixelWriter(MEMIMG* image)
      : image_(image),
        pitch_(image->body->pitch),
        wide_(image->body->colorType == Xrgb8888),
        alpha_(image->body->hasAlpha != 0) {}

  void Put(int x, int y, uint32_t colour, int alpha) {
    uint8_t* p = image_->pixels + static_cast<ptrdiff_t>(y) * pitch_;
    if (wide_) {
      const uint32_t v = (colour & 0xFFFFFF) | static_cast<uint32_t>(alpha_ ? alpha : 0xFF) << 24;
      std::memcpy(p + x * 4, &v, 4);
    } else if (alpha_) {
      // The 5-6-5 colour, then the alpha byte beside it.
      const uint16_t v = static_cast<uint16_t>(colour);
      std::memcpy(p + x * 4, &v, 2);
      p[x * 4 + 2] = static_cast<uint8_t>(alpha);
    } else {
      const uint16_t v = static_cast<uint16_t>(colour);
      std::memcpy(p + x * 2, &v, 2);
    }
  }

 private:
  MEMIMG* image_;
  int pitch_;
  bool wide_, alpha_;
};

// Type 3: the glyph's level over the outline's, as one colour with an alpha.
void PutBlendedLevels(PixelWriter& out, const MEMIMG* image, int x, int y, int g, int e,
                      const GlyphColour& text, const GlyphColour& edge) {
  if (g == 15) {
    out.Put(x, y, GlyphColourPixel(image, text), 255);
  } else if (g > 0) {
    const int a = g * 16 + (15 - g) * e;
    const int t = g * 4096 / a;
    auto mix = [t](int over, int under) { return under + (over - under) * t / 256; };
    const GlyphColour c = {mix(text.Red, edge.Red), mix(text.Green, edge.Green),
                           mix(text.Blue, edge.Blue)};
    out.Put(x, y, GlyphColourPixel(image, c), a);
  } else if (e > 0) {
    out.Put(x, y, GlyphColourPixel(image, edge), e * 16);
  }
}

}  // namespace

GlyphColour ScaleByDrawBright(uint32_t colour) {
  GlyphColour c;
  GetColorComponents(colour, &c.Red, &c.Green, &c.Blue);
  return {Scale(c.Red, DrawBright >> 16), Scale(c.Green, DrawBright >> 8),
          Scale(c.Blue, DrawBright)};
}

uint32_t PackGlyphColour(const GlyphColour& c) {
  return 0xFF000000u | static_cast<uint32_t>(c.Red) << 16 | static_cast<uint32_t>(c.Green) << 8 |
         static_cast<uint32_t>(c.Blue);
}

uint32_t GlyphColourPixel(const MEMIMG* image, const GlyphColour& c) {
  if (image->body->colorType == Xrgb8888) return PackGlyphColour(c) & 0xFFFFFF;
  return static_cast<uint32_t>((c.Red >> 3) << 11 | (c.Green >> 2) << 5 | (c.Blue >> 3));
}

void DrawCachedGlyphHardware(const GlyphDrawSetup& s, const GlyphRecord& glyph, int pen) {
  const FontEntry& f = *s.Font;
  int cx, cy;
  GlyphCellPosition(glyph.Slot, f.RowsPerColumn, f.CellWidth, 1, &cx, &cy);
  const int blendGraph = BlendGraphHandle, border = BlendGraphBorder, range = BlendGraphRange;
  SetBlendGraph(-1, 0, 0);
  const uint32_t bright = DrawBright;
  const bool edge = (f.Type & kFontTypeEdge) != 0 && f.EdgeGraph != -1;
  // Only the glyph's own cell is drawn, however large its box.
  const int width = std::min<int>(glyph.Width, f.CellWidth),
            height = std::min<int>(glyph.Height, f.CellWidth);
  if (!s.Vertical) {
    const int x = s.X + pen + glyph.OffsetX, y = s.Y + glyph.OffsetY;
    if (edge) {
      SetDrawBrightnessPacked(PackGlyphColour(s.Edge));
      DrawGraphRect(x, y, cx, cy, width, height, f.EdgeGraph, 1, 0);
    }
    SetDrawBrightnessPacked(PackGlyphColour(s.Text));
    DrawGraphRect(x, y, cx, cy, width, height, f.CacheGraph, 1, 0);
  } else {
    // The whole cache turned a quarter turn clockwise so that the glyph's cell lands on its box:
    // cache point (u, v) goes to (x0 - v, y0 + u); the draw area keeps the other cells out.
    const RECT area = DrawArea;
    const int right = s.X + f.CellHeight - glyph.OffsetY, top = s.Y + pen + glyph.OffsetX;
    RECT box = {right - height - 1, top, right + 1, top + width};
    box = {std::max(box.left, area.left), std::max(box.top, area.top),
           std::min(box.right, area.right), std::min(box.bottom, area.bottom)};
    if (box.left < box.right && box.top < box.bottom) {
      SetDrawClipRect(box.left, box.top, box.right, box.bottom);
      const float x0 = static_cast<float>(right + cy) - 0.5f,
                  y0 = static_cast<float>(top - cx) - 0.5f;
      const float h = static_cast<float>(f.CacheHeight);
      // The cache graph of an edge font holds both halves; the edge graph is its right one.
      auto draw = [&](int graph, int halves) {
        const float w = static_cast<float>(f.CacheWidth * halves);
        DrawGraphFourCornersF(x0, y0, x0, y0 + w, x0 - h, y0 + w, x0 - h, y0, graph, 1);
      };
      if (edge) {
        SetDrawBrightnessPacked(PackGlyphColour(s.Edge));
        draw(f.EdgeGraph, 1);
      }
      SetDrawBrightnessPacked(PackGlyphColour(s.Text));
      draw(f.CacheGraph, (f.Type & kFontTypeEdge) ? 2 : 1);
      SetDrawClipRect(area.left, area.top, area.right, area.bottom);
    }
  }
  SetBlendGraph(blendGraph, border, range);
  SetDrawBrightnessPacked(bright);
}

void DrawCachedGlyphSoftware(const GlyphDrawSetup& s, const GlyphRecord& glyph, int pen) {
  const FontEntry& f = *s.Font;
  MEMIMG* image = s.Target;
  if (image == nullptr || image->body == nullptr || f.SoftCache == nullptr) return;
  int cx, cy;
  GlyphCellPosition(glyph.Slot, f.RowsPerColumn, f.CellWidth, 0, &cx, &cy);
  // Across, glyph pixel (i, j) goes to (originX + i, originY + j); turned, to (originX - j,
  // originY + i). Pixels beyond the cell are not the glyph's.
  const int width = std::min<int>(glyph.Width, f.CellWidth),
            height = std::min<int>(glyph.Height, f.CellWidth);
  Box box;
  int originX, originY;
  if (!s.Vertical) {
    originX = s.X + pen + glyph.OffsetX;
    originY = s.Y + glyph.OffsetY;
    box = {originX, originY, originX + width, originY + height};
  } else {
    originX = s.X + f.CellHeight - glyph.OffsetY - kVerticalRowShift;
    originY = s.Y + pen + glyph.OffsetX;
    box = {originX - height + 1, originY, originX + 1, originY + width};
  }
  box = {std::max({box.left, static_cast<int>(s.Clip.left), 0}),
         std::max({box.top, static_cast<int>(s.Clip.top), 0}),
         std::min({box.right, static_cast<int>(s.Clip.right), image->width}),
         std::min({box.bottom, static_cast<int>(s.Clip.bottom), image->height})};
  if (box.left >= box.right || box.top >= box.bottom) return;

  PixelWriter out(image);
  const uint32_t text = GlyphColourPixel(image, s.Text), edge = GlyphColourPixel(image, s.Edge);
  const int type = f.Type;
  for (int y = box.top; y < box.bottom; ++y) {
    for (int x = box.left; x < box.right; ++x) {
      const int i = s.Vertical ? y - originY : x - originX;
      const int j = s.Vertical ? originX - x : y - originY;
      const uint8_t* row = f.SoftCache + static_cast<ptrdiff_t>(cy + j) * f.SoftBytesPerRow;
      if (type == 0) {
        if ((row[i / 8] >> (7 - i % 8)) & 1) out.Put(x, y, text, 255);
        continue;
      }
      const int v = row[i];
      if (v == 0) continue;
      if (type == 1)
        out.Put(x, y, v == 1 ? text : edge, 255);
      else if (type == 2)
        out.Put(x, y, text, v * 16);
      else
        PutBlendedLevels(out, image, x, y, v & 15, v >> 4, s.Text, s.Edge);
    }
  }
}
