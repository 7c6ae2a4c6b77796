#include "tests/support/text_by_hand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "port/win32.h"
#include "runtime/graphics/font/font_handles.h"

namespace {

constexpr int kMargin = 4;

// Covered pixels per row of the outline shapes used here, top to bottom.
int ShapeRow(int edge, int row) {
  static const int kCross[] = {1, 3, 1};
  static const int kMask2[] = {3, 5, 5, 5, 3};
  if (edge == 1) return kCross[row];
  if (edge == 2) return kMask2[row];
  return 2 * edge + 1;
}

struct Glyph {
  int width = 0, height = 0, originX = 0, originY = 0, advance = 0;
  std::vector<int> levels;  // 0 to 16
};

Glyph FetchGlyph(HDC dc, unsigned code, bool grey) {
  Glyph g;
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS m = {};
  const UINT format = grey ? GGO_GRAY4_BITMAP : GGO_BITMAP;
  const DWORD size = GetGlyphOutlineA(dc, code, format, &m, 0, nullptr, &identity);
  EXPECT_NE(size, GDI_ERROR) << code;
  g.advance = m.gmCellIncX;
  g.originX = m.gmptGlyphOrigin.x;
  g.originY = m.gmptGlyphOrigin.y;
  if (size == 0 || size == GDI_ERROR) return g;
  std::vector<uint8_t> bits(size);
  GetGlyphOutlineA(dc, code, format, &m, size, bits.data(), &identity);
  g.width = static_cast<int>(m.gmBlackBoxX);
  g.height = static_cast<int>(m.gmBlackBoxY);
  const int pitch = static_cast<int>(size) / g.height;
  for (int y = 0; y < g.height; ++y)
    for (int x = 0; x < g.width; ++x) {
      const uint8_t* row = bits.data() + y * pitch;
      g.levels.push_back(grey ? row[x] : ((row[x / 8] >> (7 - x % 8)) & 1) * 16);
    }
  return g;
}

TextPixel Classify(int type, int glyph, int edge) {
  const bool full = glyph == 16;
  if (full) return TextPixel::Text;
  if (glyph > 0) return (type & 2) ? TextPixel::Partial : TextPixel::Background;
  if (!(type & 1) || edge == 0) return TextPixel::Background;
  if (edge == 16) return TextPixel::Edge;
  return (type & 2) ? TextPixel::Partial : TextPixel::Background;
}

}  // namespace

TextPixel TextPicture::At(int x, int y) const {
  if (x < left || x >= right || y < top || y >= bottom) return TextPixel::Background;
  return classes[static_cast<size_t>((y - top) * (right - left) + (x - left))];
}

TextPicture PlaceTextByHand(int font, const char* text, int x, int y, int vertical) {
  TextPicture picture;
  const FontEntry* f = GetFontEntry(font);
  if (f == nullptr) {
    ADD_FAILURE() << "not a font";
    return picture;
  }
  const int e = (f->Type & 1) ? f->EdgeSize : 0;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, f->Font);
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);

  // Each glyph's levels and its outline's, in box coordinates, with the box's place in the text.
  struct Placed {
    int pen, offsetX, offsetY, width, height;
    std::vector<int> glyph, edge;
  };
  std::vector<Placed> placed;
  int pen = 0;
  for (const char* p = text; *p != '\0';) {
    const uint8_t lead = static_cast<uint8_t>(*p);
    const bool pair =
        ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) && p[1] != '\0';
    const unsigned code = pair ? lead * 256u + static_cast<uint8_t>(p[1]) : lead;
    p += pair ? 2 : 1;
    const Glyph g = FetchGlyph(dc, code, (f->Type & 2) != 0);
    const bool space = code == 0x20 || code == 0x8140;
    if (!space && g.width > 0) {
      Placed q{pen, g.originX, tm.tmAscent - g.originY, g.width + 2 * e, g.height + 2 * e, {}, {}};
      q.glyph.assign(static_cast<size_t>(q.width * q.height), 0);
      q.edge = q.glyph;
      for (int j = 0; j < g.height; ++j)
        for (int i = 0; i < g.width; ++i) {
          const int level = g.levels[static_cast<size_t>(j * g.width + i)];
          q.glyph[static_cast<size_t>((j + e) * q.width + i + e)] = level;
          if (level == 0 || e == 0) continue;
          for (int dy = -e; dy <= e; ++dy)
            for (int dx = -e; dx <= e; ++dx) {
              if (2 * std::abs(dx) + 1 > ShapeRow(e, dy + e)) continue;
              // The strongest glyph pixel within reach: full coverage only where a full one
              // reaches (the caches combine weaker ones differently).
              int& v = q.edge[static_cast<size_t>((j + e + dy) * q.width + i + e + dx)];
              v = std::max(v, level);
            }
        }
      placed.push_back(std::move(q));
    }
    pen += g.advance + 2 * e + f->Spacing;
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  picture.advance = pen;

  // Box pixel (bx, by) of a glyph lands at (x + pen + ox + bx, y + oy + by) across and at
  // (x + cell height - oy - 1 - by, y + pen + ox + bx) turned.
  auto screen = [&](const Placed& q, int bx, int by, int* sx, int* sy) {
    if (!vertical) {
      *sx = x + q.pen + q.offsetX + bx;
      *sy = y + q.offsetY + by;
    } else {
      *sx = x + f->CellHeight - q.offsetY - 1 - by;
      *sy = y + q.pen + q.offsetX + bx;
    }
  };
  picture.left = picture.top = 1 << 30;
  picture.right = picture.bottom = -(1 << 30);
  for (const Placed& q : placed)
    for (int corner = 0; corner < 4; ++corner) {
      int sx, sy;
      screen(q, (corner & 1) ? q.width - 1 : 0, (corner & 2) ? q.height - 1 : 0, &sx, &sy);
      picture.left = std::min(picture.left, sx);
      picture.top = std::min(picture.top, sy);
      picture.right = std::max(picture.right, sx + 1);
      picture.bottom = std::max(picture.bottom, sy + 1);
    }
  if (placed.empty()) picture.left = picture.top = picture.right = picture.bottom = 0;
  const int w = picture.right - picture.left, h = picture.bottom - picture.top;
  picture.classes.assign(static_cast<size_t>(w * h), TextPixel::Background);
  for (const Placed& q : placed)
    for (int by = 0; by < q.height; ++by)
      for (int bx = 0; bx < q.width; ++bx) {
        const size_t at = static_cast<size_t>(by * q.width + bx);
        const TextPixel c = Classify(f->Type, q.glyph[at], q.edge[at]);
        if (c == TextPixel::Background) continue;
        int sx, sy;
        screen(q, bx, by, &sx, &sy);
        TextPixel& slot =
            picture.classes[static_cast<size_t>((sy - picture.top) * w + sx - picture.left)];
        // Where glyphs meet, the partial class wins over a claim of either colour.
        slot = slot == TextPixel::Background ? c : TextPixel::Partial;
      }
  return picture;
}

int CompareTextPixels(const TextPicture& picture, const std::function<uint32_t(int, int)>& pixel,
                      uint32_t text, uint32_t edge, uint32_t background, int tolerance) {
  auto near = [tolerance](uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8)
      if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
          tolerance)
        return false;
    return true;
  };
  int mismatches = 0;
  bool reported[4] = {};
  for (int y = picture.top - kMargin; y < picture.bottom + kMargin; ++y)
    for (int x = picture.left - kMargin; x < picture.right + kMargin; ++x) {
      const TextPixel c = picture.At(x, y);
      if (c == TextPixel::Partial) continue;
      const uint32_t got = pixel(x, y) & 0xFFFFFF;
      const uint32_t want = c == TextPixel::Text ? text : c == TextPixel::Edge ? edge : background;
      const bool ok = c == TextPixel::Background ? got == want : near(got, want);
      if (ok) continue;
      ++mismatches;
      if (!reported[static_cast<int>(c)]) {
        reported[static_cast<int>(c)] = true;
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") of class " << static_cast<int>(c)
                      << " is " << std::hex << got << ", expected " << want;
      }
    }
  return mismatches;
}
