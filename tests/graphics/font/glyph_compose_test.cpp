// Composing glyphs into the caches: the edge shapes, the level rules, what each type keeps in
// the software cache, the white-and-alpha pixels of the hardware cache, and that no write ever
// leaves the glyph's cell.
#include "runtime/graphics/font/glyph_compose.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A glyph bitmap with its own storage, laid out as GetGlyphOutlineA gives it. Rows are given as
// text: '#' for a set bit, or the level 0-9, a-g (10 to 16) for grey.
struct TestGlyph {
  std::vector<uint8_t> bytes;
  GlyphBitmap bitmap;
};

TestGlyph MakeGlyph(const std::vector<std::string>& rows, bool grey) {
  const int width = static_cast<int>(rows[0].size()), height = static_cast<int>(rows.size());
  TestGlyph g;
  GlyphBitmap shape = MakeGlyphBitmap(nullptr, width, height, grey);
  g.bytes.assign(static_cast<size_t>(shape.Pitch) * height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const char c = rows[y][x];
      uint8_t* row = g.bytes.data() + y * shape.Pitch;
      if (!grey && c == '#') row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      if (grey) row[x] = static_cast<uint8_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
  }
  g.bitmap = MakeGlyphBitmap(g.bytes.data(), width, height, grey);
  return g;
}

TEST(GlyphCompose, BitmapsAreReadInGdiLayout) {
  const TestGlyph mono = MakeGlyph({"#.........#", "..#........"}, false);
  EXPECT_EQ(mono.bitmap.Pitch, 4);
  EXPECT_EQ(GlyphBitmapLevel(mono.bitmap, 0, 0), 16);
  EXPECT_EQ(GlyphBitmapLevel(mono.bitmap, 10, 0), 16);
  EXPECT_EQ(GlyphBitmapLevel(mono.bitmap, 1, 0), 0);
  EXPECT_EQ(GlyphBitmapLevel(mono.bitmap, 2, 1), 16);
  const TestGlyph grey = MakeGlyph({"0g5", "19a"}, true);
  EXPECT_EQ(grey.bitmap.Pitch, 4);
  EXPECT_EQ(GlyphBitmapLevel(grey.bitmap, 1, 0), 16);
  EXPECT_EQ(GlyphBitmapLevel(grey.bitmap, 2, 1), 10);
}

TEST(GlyphCompose, EdgeShapesAreTheCrossTheMasksAndTheSquare) {
  struct Case {
    int edge;
    std::vector<int> rows;
  } cases[] = {
      {0, {1}},
      {1, {1, 3, 1}},
      {2, {3, 5, 5, 5, 3}},
      {3, {1, 5, 5, 7, 5, 5, 1}},
      {4, {5, 7, 9, 9, 9, 9, 9, 7, 5}},
      {5, {11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 11}},
  };
  for (const Case& c : cases) {
    const int e = c.edge;
    EXPECT_EQ(EdgeShapeRowLength(e, -1), 0);
    EXPECT_EQ(EdgeShapeRowLength(e, 2 * e + 1), 0);
    for (int row = 0; row <= 2 * e; ++row) {
      EXPECT_EQ(EdgeShapeRowLength(e, row), c.rows[row]) << "edge " << e << " row " << row;
      // Each run is centred on the middle column.
      for (int dx = -e - 1; dx <= e + 1; ++dx)
        EXPECT_EQ(EdgeShapeCovers(e, dx, row - e), 2 * std::abs(dx) < c.rows[row])
            << "edge " << e << " at " << dx << ", " << row - e;
    }
  }
  EXPECT_TRUE(EdgeShapeCovers(-2, 0, 0));
  EXPECT_FALSE(EdgeShapeCovers(-2, 1, 0));
}

TEST(GlyphCompose, EdgeLevelsCombineLikeCoverageAndBecomeAlpha) {
  struct Case {
    int old, level, combined;
  } cases[] = {{0, 0, 0},   {0, 9, 9},   {9, 0, 9},   {8, 8, 12},  {4, 12, 13},
               {12, 4, 13}, {16, 3, 16}, {3, 16, 16}, {15, 15, 16}};
  for (const Case& c : cases)
    EXPECT_EQ(CombineEdgeLevel(c.old, c.level), c.combined) << c.old << " " << c.level;

  PixelFormat argb4{}, argb1555{}, rgb565{}, argb8{};
  ASSERT_EQ(SetupPixelFormat(&argb4, 16, 0x0F00, 0x00F0, 0x000F, 0xF000), 0);
  ASSERT_EQ(SetupPixelFormat(&argb1555, 16, 0x7C00, 0x03E0, 0x001F, 0x8000), 0);
  ASSERT_EQ(SetupPixelFormat(&rgb565, 16, 0xF800, 0x07E0, 0x001F, 0), 0);
  ASSERT_EQ(SetupARGB8PixelFormat(&argb8), 0);
  struct AlphaCase {
    const PixelFormat* format;
    int level;
    uint32_t alpha;
  } alphas[] = {
      {&argb4, 0, 0},      {&argb4, 1, 0},          {&argb4, 2, 0x1000},
      {&argb4, 8, 0x7000}, {&argb4, 16, 0xF000},    {&argb4, 40, 0xF000},
      {&argb1555, 8, 0},   {&argb1555, 9, 0x8000},  {&argb1555, 16, 0x8000},
      {&rgb565, 16, 0},    {&argb8, 8, 0x7F000000}, {&argb8, 16, 0xFF000000},
  };
  for (const AlphaCase& a : alphas)
    EXPECT_EQ(GlyphLevelAlpha(*a.format, a.level), a.alpha) << a.level;
}

// Two software cells one above the other; the glyph goes into the first, the second shows any
// write that leaves it.
class SoftwareCells {
 public:
  SoftwareCells(int cellWidth, int bytesPerRow)
      : cell_(cellWidth), pitch_(bytesPerRow), bytes_(2 * cellWidth * bytesPerRow, 0xEE) {}
  int Compose(const GlyphBitmap& glyph, int type, int edge) {
    return ComposeSoftwareGlyph(glyph, type, edge, bytes_.data(), pitch_, cell_);
  }
  uint8_t Byte(int x, int y) const { return bytes_[y * pitch_ + x]; }
  int Bit(int x, int y) const { return (Byte(x / 8, y) >> (7 - x % 8)) & 1; }
  // The cell's bytes of one digit each (types 1 and 2) as rows of hex digits; '?' for more.
  std::vector<std::string> Rows(int width, int height) const {
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
      std::string row;
      for (int x = 0; x < width; ++x) row += Byte(x, y) < 16 ? "0123456789abcdef"[Byte(x, y)] : '?';
      rows.push_back(row);
    }
    return rows;
  }
  bool NeighbourUntouched() const {
    for (size_t i = cell_ * pitch_; i < bytes_.size(); ++i)
      if (bytes_[i] != 0xEE) return false;
    return true;
  }

 private:
  int cell_, pitch_;
  std::vector<uint8_t> bytes_;
};

TEST(GlyphCompose, SoftwareTypesKeepBitsLevelsAndOutlines) {
  const TestGlyph mono = MakeGlyph({"#.#", ".#."}, false);
  SoftwareCells type0(8, 1);
  ASSERT_EQ(type0.Compose(mono.bitmap, 0, 3), 0);  // no edge for type 0, whatever the size
  EXPECT_EQ(type0.Byte(0, 0), 0xA0);
  EXPECT_EQ(type0.Byte(0, 1), 0x40);
  for (int y = 2; y < 8; ++y) EXPECT_EQ(type0.Byte(0, y), 0) << "the cell is cleared";
  EXPECT_TRUE(type0.NeighbourUntouched());

  const TestGlyph grey = MakeGlyph({"0129fg"}, true);
  SoftwareCells type2(8, 8);
  ASSERT_EQ(type2.Compose(grey.bitmap, 2, 1), 0);
  EXPECT_EQ(type2.Rows(8, 2), (std::vector<std::string>{"0018ef00", "00000000"}));

  const TestGlyph dot = MakeGlyph({"#"}, false);
  SoftwareCells type1(8, 8);
  ASSERT_EQ(type1.Compose(dot.bitmap, 1, 1), 0);
  EXPECT_EQ(type1.Rows(4, 4), (std::vector<std::string>{"0200", "2120", "0200", "0000"}));
  ASSERT_EQ(type1.Compose(mono.bitmap, 1, 2), 0);
  EXPECT_EQ(type1.Rows(7, 6), (std::vector<std::string>{"0222220", "2222222", "2212122", "2221222",
                                                        "0222220", "0022200"}));
  EXPECT_TRUE(type1.NeighbourUntouched());

  // Type 3: the glyph's level - 1 low, the highest reaching level - 1 high.
  const TestGlyph pair = MakeGlyph({"g5"}, true);
  SoftwareCells type3(8, 8);
  ASSERT_EQ(type3.Compose(pair.bitmap, 3, 1), 0);
  const uint8_t expected[3][4] = {
      {0x00, 0xF0, 0x40, 0x00}, {0xF0, 0xFF, 0xF4, 0x40}, {0x00, 0xF0, 0x40, 0x00}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(type3.Byte(x, y), expected[y][x]) << x << ", " << y;
}

TEST(GlyphCompose, SoftwareWritesStayInTheCell) {
  // A glyph larger than its 8-pixel cell, with an outline, in every type.
  std::vector<std::string> rows(12, std::string(12, '#'));
  std::vector<std::string> levels(12, std::string(12, 'g'));
  const TestGlyph mono = MakeGlyph(rows, false), grey = MakeGlyph(levels, true);
  for (int type = 0; type <= 3; ++type) {
    SoftwareCells cells(8, type == 0 ? 1 : 8);
    ASSERT_EQ(cells.Compose(type & 2 ? grey.bitmap : mono.bitmap, type, 4), 0);
    EXPECT_TRUE(cells.NeighbourUntouched()) << type;
  }
  SoftwareCells cells(8, 8);
  EXPECT_EQ(cells.Compose(grey.bitmap, 4, 1), -1);
  EXPECT_EQ(cells.Compose(grey.bitmap, -1, 1), -1);
  EXPECT_EQ(cells.Byte(0, 0), 0xEE) << "nothing written";
}

// A 16-bit A4R4G4B4 base image of a hardware cache, twice the cache's width.
class HardwareBase {
 public:
  HardwareBase(int cacheWidth, int height) : cacheWidth_(cacheWidth) {
    SetupPixelFormat(&image_.Format, 16, 0x0F00, 0x00F0, 0x000F, 0xF000);
    image_.Width = 2 * cacheWidth;
    image_.Height = height;
    image_.Pitch = image_.Width * 2;
    pixels_.assign(static_cast<size_t>(image_.Pitch) * height, 0xEE);
    image_.Pixels = pixels_.data();
  }
  int Compose(const GlyphBitmap& glyph, int type, int edge, int x, int y, int cell) {
    return ComposeHardwareGlyph(glyph, type, edge, &image_, cacheWidth_, x, y, cell);
  }
  uint16_t At(int x, int y) const {
    uint16_t v;
    std::memcpy(&v, pixels_.data() + y * image_.Pitch + x * 2, 2);
    return v;
  }
  // Pixels outside the given rectangles of both halves that were written.
  int WrittenOutside(int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = 0; y < image_.Height; ++y)
      for (int x = 0; x < image_.Width; ++x) {
        const int cx = x % cacheWidth_;
        if ((cx < left || cx >= right || y < top || y >= bottom) && At(x, y) != 0xEEEE) ++n;
      }
    return n;
  }
  GraphImage* image() { return &image_; }

 private:
  int cacheWidth_;
  GraphImage image_{};
  std::vector<uint8_t> pixels_;
};

TEST(GlyphCompose, HardwareGlyphsAreWhiteWithTheirLevelsInAlpha) {
  const TestGlyph grey = MakeGlyph({"0g", "81"}, true);
  HardwareBase base(32, 16);
  ASSERT_EQ(base.Compose(grey.bitmap, 2, 1, 9, 1, 8), 0);
  EXPECT_EQ(base.At(9, 1), 0x0FFF);
  EXPECT_EQ(base.At(10, 1), 0xFFFF);
  EXPECT_EQ(base.At(9, 2), 0x7FFF);
  EXPECT_EQ(base.At(10, 2), 0x0FFF);
  EXPECT_EQ(base.At(11, 1), 0) << "the rest of the cell is cleared";
  EXPECT_EQ(base.At(16, 8), 0);
  EXPECT_EQ(base.At(32 + 9, 1), 0xEEEE) << "no outline half without an edge";
  EXPECT_EQ(base.WrittenOutside(9, 1, 17, 9), 0);
}

TEST(GlyphCompose, HardwareOutlinesGoToTheRightHalf) {
  // One full pixel with the cross around it: the glyph half keeps it edgeSize pixels in.
  const TestGlyph dot = MakeGlyph({"#"}, false);
  HardwareBase base(16, 8);
  ASSERT_EQ(base.Compose(dot.bitmap, 1, 1, 0, 0, 8), 0);
  const uint16_t full = 0xFFFF, clear = 0x0FFF;
  const uint16_t glyph[3][3] = {{clear, clear, clear}, {clear, full, clear}, {clear, clear, clear}};
  const uint16_t edge[3][3] = {{clear, full, clear}, {full, full, full}, {clear, full, clear}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(base.At(x, y), glyph[y][x]) << x << ", " << y;
      EXPECT_EQ(base.At(16 + x, y), edge[y][x]) << x << ", " << y;
    }
  EXPECT_EQ(base.At(3, 0), 0);
  EXPECT_EQ(base.At(16 + 3, 0), 0);

  // Grey pixels of level 8 side by side: where both reach, the coverage rule gives 12.
  const TestGlyph pair = MakeGlyph({"88"}, true);
  ASSERT_EQ(base.Compose(pair.bitmap, 3, 1, 0, 0, 8), 0);
  EXPECT_EQ(base.At(16 + 1, 0), 0x7FFF);  // reached by the left pixel only
  EXPECT_EQ(base.At(16 + 1, 1), 0xBFFF);  // by both
  EXPECT_EQ(base.At(1, 1), 0x7FFF);       // the glyph itself
}

TEST(GlyphCompose, HardwareWritesStayInTheCellAndTheImage) {
  std::vector<std::string> rows(20, std::string(20, 'g'));
  const TestGlyph big = MakeGlyph(rows, true);
  for (int type = 0; type <= 3; ++type) {
    // A cell at the cache's bottom-right corner, one pixel in as on the hardware cache, so that
    // it reaches one pixel past the cache.
    HardwareBase base(32, 32);
    ASSERT_EQ(base.Compose(big.bitmap, type, 3, 25, 25, 8), 0);
    EXPECT_EQ(base.WrittenOutside(25, 25, 32, 32), 0) << type;
    EXPECT_EQ(base.At(31, 31), 0xFFFF) << type;
    // A cell in the middle.
    HardwareBase middle(32, 32);
    ASSERT_EQ(middle.Compose(big.bitmap, type, 3, 9, 9, 8), 0);
    EXPECT_EQ(middle.WrittenOutside(9, 9, 17, 17), 0) << type;
  }
  HardwareBase base(32, 32);
  EXPECT_EQ(base.Compose(big.bitmap, 4, 1, 0, 0, 8), -1);
  GraphImage wide = *base.image();
  SetupARGB8PixelFormat(&wide.Format);
  EXPECT_EQ(ComposeHardwareGlyph(big.bitmap, 2, 0, &wide, 16, 0, 0, 8), -1);
  EXPECT_EQ(base.WrittenOutside(0, 0, 0, 0), 0) << "nothing written";
}

}  // namespace
