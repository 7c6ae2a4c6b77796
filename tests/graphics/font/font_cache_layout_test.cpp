// The sizes of glyph cells and caches, and where each slot's cell lies.
#include "runtime/graphics/font/font_cache_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>

namespace {

TEST(FontCacheLayout, CellsAreRoundedEvenAndNeverNarrowerThanHigh) {
  struct Case {
    int maxWidth, height, edge;
    int cellWidth, cellHeight;
  } cases[] = {
      {10, 20, 0, 20, 20},                        // 12 rounds to 16, then widened to the height
      {10, 20, 2, 24, 24},                        // 16 wide, 24 high
      {13, 15, 0, 16, 16},                        // 15 rounds to 16, 15 made even
      {30, 9, 1, 40, 12},                         // 34 rounds to 40
      {6, 6, 0, 8, 6},     {10, 20, -3, 20, 20},  // a negative edge counts as none
  };
  for (const Case& c : cases) {
    FontCellSize cell{};
    ASSERT_EQ(ComputeFontCellSize(c.maxWidth, c.height, c.edge, &cell), 0);
    EXPECT_EQ(cell.Width, c.cellWidth) << c.maxWidth << " " << c.height << " " << c.edge;
    EXPECT_EQ(cell.Height, c.cellHeight) << c.maxWidth << " " << c.height << " " << c.edge;
  }
  FontCellSize untouched{7, 7};
  for (auto [w, h, e] : {std::tuple{kMaxFontCellSize, 10, 0}, std::tuple{10, 10, INT_MAX},
                         std::tuple{INT_MAX, INT_MAX, INT_MAX}, std::tuple{-1, 10, 0}}) {
    EXPECT_EQ(ComputeFontCellSize(w, h, e, &untouched), -1) << w << " " << h << " " << e;
    EXPECT_EQ(untouched.Width, 7);
  }
}

TEST(FontCacheLayout, HardwareCacheGrowsUntilTenCellsFit) {
  struct Case {
    int cell;
    int width, height, capacity, rows;
  } cases[] = {
      {20, 512, 512, 625, 25},  {8, 512, 512, 2024, 64},  {171, 1024, 512, 10, 2},
      {250, 1024, 1024, 16, 4}, {300, 2048, 1024, 18, 3}, {512, 2048, 2048, 16, 4},
  };
  for (const Case& c : cases) {
    const FontCacheLayout layout = ComputeHardwareCacheLayout(c.cell);
    EXPECT_EQ(layout.Width, c.width) << c.cell;
    EXPECT_EQ(layout.Height, c.height) << c.cell;
    EXPECT_EQ(layout.Capacity, c.capacity) << c.cell;
    EXPECT_EQ(layout.RowsPerColumn, c.rows) << c.cell;
  }
  const FontCacheLayout largest = ComputeHardwareCacheLayout(kMaxFontCellSize);
  EXPECT_GE(largest.Capacity, 10);
}

TEST(FontCacheLayout, SoftwareCacheIsOneColumnOfBoundedCells) {
  struct Case {
    int cell, type;
    int capacity, bits, bytesPerRow;
  } cases[] = {
      {20, 0, 819, 1, 3},   {20, 2, 819, 8, 20}, {8, 1, 2024, 8, 8},
      {256, 3, 20, 8, 256}, {24, 0, 568, 1, 3},
  };
  for (const Case& c : cases) {
    FontCacheLayout layout{};
    ASSERT_EQ(ComputeSoftwareCacheLayout(c.cell, c.type, &layout), 0);
    EXPECT_EQ(layout.Capacity, c.capacity) << c.cell;
    EXPECT_EQ(layout.RowsPerColumn, c.capacity) << c.cell;
    EXPECT_EQ(layout.Width, c.cell);
    EXPECT_EQ(layout.Height, c.capacity * c.cell);
    EXPECT_EQ(layout.BitsPerPixel, c.bits);
    EXPECT_EQ(layout.BytesPerRow, c.bytesPerRow);
    EXPECT_EQ(layout.BufferBytes, int64_t{c.capacity} * c.cell * c.bytesPerRow);
  }
  FontCacheLayout layout{};
  ASSERT_EQ(ComputeSoftwareCacheLayout(kMaxFontCellSize, 3, &layout), 0);
  EXPECT_EQ(layout.BufferBytes, int64_t{20} * kMaxFontCellSize * kMaxFontCellSize);
  for (int type : {-1, 4}) EXPECT_EQ(ComputeSoftwareCacheLayout(20, type, &layout), -1) << type;
}

TEST(FontCacheLayout, SlotsRunDownColumns) {
  int x = 0, y = 0;
  GlyphCellPosition(0, 25, 20, 1, &x, &y);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 1);
  GlyphCellPosition(24, 25, 20, 1, &x, &y);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 481);
  GlyphCellPosition(26, 25, 20, 1, &x, &y);
  EXPECT_EQ(x, 21);
  EXPECT_EQ(y, 21);
  GlyphCellPosition(818, 819, 20, 0, &x, &y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 16360);
}

}  // namespace
