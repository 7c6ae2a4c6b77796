#include "runtime/graphics/font/glyph_compose.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "runtime/graphics/font/font_cache_layout.h"

namespace {

constexpr int kFullLevel = 16;

// Covered pixels per row of the edge masks of sizes 2 to 4, top to bottom.
constexpr int kEdgeMask2[] = {3, 5, 5, 5, 3};
constexpr int kEdgeMask3[] = {1, 5, 5, 7, 5, 5, 1};
constexpr int kEdgeMask4[] = {5, 7, 9, 9, 9, 9, 9, 7, 5};

// The part of an image a glyph may write: columns [left, right), rows [top, bottom).
struct Clip {
  int left, top, right, bottom;
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Calls visit(cellX, cellY, level) for each pixel of the glyph with a level, placed `inset`
// pixels in from the cell's corner.
template <typename Visit>
void ForEachGlyphPixel(const GlyphBitmap& glyph, int inset, Visit visit) {
  for (int y = 0; y < glyph.Height; ++y)
    for (int x = 0; x < glyph.Width; ++x)
      if (const int level = GlyphBitmapLevel(glyph, x, y)) visit(x + inset, y + inset, level);
}

// Calls visit(x, y) for each pixel of the edge shape around (cx, cy) that the clip holds.
template <typename Visit>
void ForEachEdgePixel(int edgeSize, int cx, int cy, const Clip& clip, Visit visit) {
  const int top = std::max(-edgeSize, clip.top - cy),
            bottom = std::min(edgeSize, clip.bottom - 1 - cy);
  for (int dy = top; dy <= bottom; ++dy) {
    const int half = EdgeShapeRowLength(edgeSize, dy + edgeSize) / 2;
    const int left = std::max(-half, clip.left - cx), right = std::min(half, clip.right - 1 - cx);
    for (int dx = left; dx <= right; ++dx) visit(cx + dx, cy + dy);
  }
}

uint16_t Load16(const GraphImage* image, int x, int y) {
  uint16_t v;
  std::memcpy(&v, image->Pixels + static_cast<ptrdiff_t>(y) * image->Pitch + x * 2, 2);
  return v;
}

void Store16(GraphImage* image, int x, int y, uint32_t v) {
  const uint16_t w = static_cast<uint16_t>(v);
  std::memcpy(image->Pixels + static_cast<ptrdiff_t>(y) * image->Pitch + x * 2, &w, 2);
}

}  // namespace

GlyphBitmap MakeGlyphBitmap(const uint8_t* bits, int width, int height, int grey) {
  const int pitch = grey ? (width + 3) / 4 * 4 : (width + 31) / 32 * 4;
  return GlyphBitmap{bits, width, height, pitch, grey ? 1 : 0};
}

int GlyphBitmapLevel(const GlyphBitmap& glyph, int x, int y) {
  const uint8_t* row = glyph.Bits + static_cast<ptrdiff_t>(y) * glyph.Pitch;
  if (!glyph.Grey) return (row[x / 8] >> (7 - x % 8)) & 1 ? kFullLevel : 0;
  return std::min<int>(row[x], kFullLevel);
}

int EdgeShapeRowLength(int edgeSize, int row) {
  const int e = std::max(edgeSize, 0);
  if (row < 0 || row > 2 * e) return 0;
  switch (e) {
    case 1:
      return row == 1 ? 3 : 1;  // the cross
    case 2:
      return kEdgeMask2[row];
    case 3:
      return kEdgeMask3[row];
    case 4:
      return kEdgeMask4[row];
    default:
      return 2 * e + 1;
  }
}

bool EdgeShapeCovers(int edgeSize, int dx, int dy) {
  const int e = std::max(edgeSize, 0);
  return 2 * std::abs(dx) + 1 <= EdgeShapeRowLength(e, dy + e);
}

int CombineEdgeLevel(int old, int level) {
  return kFullLevel - (kFullLevel - old) * (kFullLevel - level) / kFullLevel;
}

uint32_t GlyphLevelAlpha(const PixelFormat& format, int level) {
  if (level <= 0) return 0;
  const int top = format.AlphaShift + format.AlphaWidth;
  const uint64_t scaled = (static_cast<uint64_t>(std::min(level, kFullLevel)) << top) >> 4;
  return static_cast<uint32_t>((scaled - 1) & format.AlphaMask);
}

int ComposeSoftwareGlyph(const GlyphBitmap& glyph, int type, int edgeSize, uint8_t* cell,
                         int bytesPerRow, int cellWidth) {
  if (type < 0 || type > 3) return -1;
  const int e = (type & 1) ? std::clamp(edgeSize, 0, kMaxFontCellSize) : 0;
  for (int y = 0; y < cellWidth; ++y)
    std::memset(cell + static_cast<ptrdiff_t>(y) * bytesPerRow, 0, bytesPerRow);
  const int columns = std::min(cellWidth, type == 0 ? bytesPerRow * 8 : bytesPerRow);
  const Clip clip = {0, 0, columns, cellWidth};
  auto at = [&](int x, int y) -> uint8_t& {
    return cell[static_cast<ptrdiff_t>(y) * bytesPerRow + (type == 0 ? x / 8 : x)];
  };
  ForEachGlyphPixel(glyph, e, [&](int x, int y, int level) {
    if (!clip.Contains(x, y)) return;
    if (type == 0)
      at(x, y) |= static_cast<uint8_t>(0x80 >> (x % 8));
    else
      at(x, y) = static_cast<uint8_t>(type == 1 ? 1 : level - 1);
  });
  if (!(type & 1)) return 0;
  ForEachGlyphPixel(glyph, e, [&](int gx, int gy, int level) {
    ForEachEdgePixel(e, gx, gy, clip, [&](int x, int y) {
      uint8_t& v = at(x, y);
      if (type == 1 && v == 0) v = 2;
      if (type == 3 && (v >> 4) < level - 1) v = static_cast<uint8_t>((level - 1) << 4 | (v & 15));
    });
  });
  return 0;
}

int ComposeHardwareGlyph(const GlyphBitmap& glyph, int type, int edgeSize, GraphImage* base,
                         int cacheWidth, int cellX, int cellY, int cellWidth) {
  if (type < 0 || type > 3 || base->Format.BytesPerPixel != 2 || !base->Pixels) return -1;
  const bool edge = type & 1;
  const int e = edge ? std::clamp(edgeSize, 0, kMaxFontCellSize) : 0;
  // The cell in the glyph half; the outline half is the same, shifted by cacheWidth.
  const Clip clip = {std::max(cellX, 0), std::max(cellY, 0),
                     std::min({cellX + cellWidth, cacheWidth, base->Width}),
                     std::min(cellY + cellWidth, base->Height)};
  const Clip edgeClip = {clip.left, clip.top, std::min(clip.right, base->Width - cacheWidth),
                         clip.bottom};
  for (int y = clip.top; y < clip.bottom; ++y) {
    for (int x = clip.left; x < clip.right; ++x) Store16(base, x, y, 0);
    if (edge)
      for (int x = edgeClip.left; x < edgeClip.right; ++x) Store16(base, x + cacheWidth, y, 0);
  }
  const PixelFormat& format = base->Format;
  const uint32_t white = format.RedMask | format.GreenMask | format.BlueMask;
  // The glyph and its outline fill a box edgeSize pixels wider on every side.
  const Clip box = {cellX, cellY, cellX + glyph.Width + 2 * e, cellY + glyph.Height + 2 * e};
  for (int y = std::max(box.top, clip.top); y < std::min(box.bottom, clip.bottom); ++y) {
    for (int x = std::max(box.left, clip.left); x < std::min(box.right, clip.right); ++x) {
      const int gx = x - cellX - e, gy = y - cellY - e;
      const bool inside = gx >= 0 && gx < glyph.Width && gy >= 0 && gy < glyph.Height;
      Store16(base, x, y,
              white | GlyphLevelAlpha(format, inside ? GlyphBitmapLevel(glyph, gx, gy) : 0));
    }
  }
  if (!edge) return 0;
  // The outline's levels gather in the cleared pixels first, then become pixels.
  ForEachGlyphPixel(glyph, e, [&](int gx, int gy, int level) {
    ForEachEdgePixel(e, cellX + gx, cellY + gy, edgeClip, [&](int x, int y) {
      Store16(base, x + cacheWidth, y, CombineEdgeLevel(Load16(base, x + cacheWidth, y), level));
    });
  });
  for (int y = std::max(box.top, edgeClip.top); y < std::min(box.bottom, edgeClip.bottom); ++y)
    for (int x = std::max(box.left, edgeClip.left); x < std::min(box.right, edgeClip.right); ++x)
      Store16(base, x + cacheWidth, y,
              white | GlyphLevelAlpha(format, Load16(base, x + cacheWidth, y)));
  return 0;
}
