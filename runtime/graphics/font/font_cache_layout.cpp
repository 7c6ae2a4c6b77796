#include "runtime/graphics/font/font_cache_layout.h"

#include <algorithm>

#include "runtime/graphics/font/glyph_records.h"

namespace {

constexpr int kHardwareCacheStart = 512;
constexpr int kHardwareCacheMinCells = 10;
constexpr int kSoftwareCachePixels = 0x50000;
constexpr int kSoftwareCacheMinCells = 20;

}  // namespace

int ComputeFontCellSize(int maxCharWidth, int textHeight, int edgeSize, FontCellSize* out) {
  if (maxCharWidth < 0 || textHeight < 0) return -1;
  const int64_t edge = 2 * static_cast<int64_t>(std::max(edgeSize, 0));
  const int64_t width = (int64_t{maxCharWidth} + 2 + edge + 7) / 8 * 8;
  const int64_t height = (int64_t{textHeight} + edge + 1) / 2 * 2;
  if (std::max(width, height) > kMaxFontCellSize) return -1;
  out->Width = static_cast<int32_t>(std::max(width, height));
  out->Height = static_cast<int32_t>(height);
  return 0;
}

FontCacheLayout ComputeHardwareCacheLayout(int cellWidth) {
  FontCacheLayout layout{};
  int64_t width = kHardwareCacheStart, height = kHardwareCacheStart;
  int64_t cells = (width / cellWidth) * (height / cellWidth);
  while (cells < kHardwareCacheMinCells) {
    if (width <= height)
      width *= 2;
    else
      height *= 2;
    cells = (width / cellWidth) * (height / cellWidth);
  }
  layout.Width = static_cast<int32_t>(width);
  layout.Height = static_cast<int32_t>(height);
  layout.Capacity = static_cast<int32_t>(std::min<int64_t>(cells, kGlyphCacheMaxCapacity));
  layout.RowsPerColumn = static_cast<int32_t>(height / cellWidth);
  return layout;
}

int ComputeSoftwareCacheLayout(int cellWidth, int type, FontCacheLayout* out) {
  if (type < 0 || type > 3) return -1;
  FontCacheLayout layout{};
  const int64_t cellPixels = static_cast<int64_t>(cellWidth) * cellWidth;
  layout.Capacity = static_cast<int32_t>(std::clamp<int64_t>(
      kSoftwareCachePixels / cellPixels, kSoftwareCacheMinCells, kGlyphCacheMaxCapacity));
  layout.Width = cellWidth;
  layout.Height = layout.Capacity * cellWidth;
  layout.RowsPerColumn = layout.Capacity;
  layout.BitsPerPixel = type == 0 ? 1 : 8;
  layout.BytesPerRow = (layout.BitsPerPixel * cellWidth + 7) / 8;
  layout.BufferBytes = static_cast<int64_t>(layout.Height) * layout.BytesPerRow;
  *out = layout;
  return 0;
}

void GlyphCellPosition(int slot, int rowsPerColumn, int cellWidth, int hardware, int* x, int* y) {
  const int inset = hardware ? 1 : 0;
  *x = slot / rowsPerColumn * cellWidth + inset;
  *y = slot % rowsPerColumn * cellWidth + inset;
}
