// The bitmap font on the software path, with a fixture sheet whose cells each have a colour of
// their own (and a transparent top-left corner): strings at full and small size, bytes that
// draw nothing, right-aligned numbers, and key names.
#include <gtest/gtest.h>

#include <string>

#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/software_screen.h"
#include "stg_src/game/font_text.h"
#include "stg_src/shell/scene_assets.h"
#include "tests/game_support/game_driver.h"
#include "tests/support/graph_sheets.h"
#include "tests/support/screen_library.h"

namespace {

constexpr int kCell = 20;
constexpr int kBlank = -1;

// Cell c of the sheet: red c, a fixed green and blue; its top-left 2 x 2 pixels transparent.
uint32_t CellColour(int cell) { return 0xFF000000u | uint32_t(cell) << 16 | 0x9955u; }

class FontTextTest : public testing::Test {
 protected:
  void SetUp() override {
    const ByteString sheet = MakePngSheet(16 * kCell, 16 * kCell, [](int x, int y) {
      if (x % kCell < 2 && y % kCell < 2) return 0x00FF00FFu;
      return CellColour(y / kCell * 16 + x / kCell);
    });
    driver_.folder().WriteFile("font.png", std::string(sheet.begin(), sheet.end()));
    ASSERT_EQ(driver_.Start(), 0);
    ASSERT_EQ(LoadGraphCellsFromFile("font.png", kFontGlyphs, 16, 16, kCell, kCell, FontImages, 0),
              0);
    ASSERT_EQ(SetDrawTarget(-2), 0);
    ClearWholeDrawTarget();
  }

  // The glyph whose colour the screen shows at (x, y), kBlank for the background, -2 for a
  // colour of no glyph.
  static int GlyphAt(int x, int y) {
    const uint32_t pixel = ScreenImagePixel(x, y);
    if ((pixel & 0xFFFFFF) == 0) return kBlank;
    const int cell = static_cast<int>(pixel >> 16 & 0xFF);
    return pixel == CellColour(cell) ? cell : -2;
  }

  // True when no pixel of the rectangle (right and bottom exclusive) shows a glyph.
  static bool Blank(int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if (GlyphAt(x, y) != kBlank) return false;
    return true;
  }

  // The characters whose glyphs show at (x + k x step + 8, y + 8), ' ' where none does: past
  // the right edge of a glyph drawn 14 to the left.
  static std::string Shown(int x, int y, int count, int step) {
    std::string out;
    for (int k = 0; k < count; ++k) {
      const int glyph = GlyphAt(x + k * step + 8, y + 8);
      out += glyph == kBlank ? ' ' : static_cast<char>(glyph);
    }
    return out;
  }

  GameDriver driver_;
};

TEST_F(FontTextTest, FullSizeGlyphsSitTopLeftSizeApart) {
  DrawFontText(100, 50, "Ab_", 14);
  // Top-left corners at x, x + 14 and x + 28, each 20 x 20, later glyphs over earlier ones.
  EXPECT_EQ(GlyphAt(102, 50), 'A');
  EXPECT_EQ(GlyphAt(113, 69), 'A');
  EXPECT_EQ(GlyphAt(116, 50), 'B');
  EXPECT_EQ(GlyphAt(127, 69), 'B');
  EXPECT_EQ(GlyphAt(130, 50), '[');
  EXPECT_EQ(GlyphAt(147, 69), '[');
  // Drawn with transparency: A shows through B's transparent corner.
  EXPECT_EQ(GlyphAt(114, 50), 'A');
  EXPECT_EQ(GlyphAt(100, 50), kBlank);
  EXPECT_TRUE(Blank(0, 0, 640, 50));
  EXPECT_TRUE(Blank(0, 70, 640, 480));
  EXPECT_TRUE(Blank(0, 50, 100, 70));
  EXPECT_TRUE(Blank(148, 50, 640, 70));
}

TEST_F(FontTextTest, CodesAndTheBytesThatDrawNothing) {
  struct Case {
    const char* text;
    std::string shown;  // at x + 14 k
  };
  const Case cases[] = {
      {"abz", "ABZ"},
      {"[\\]^_`", "[[[[[["},
      {"\x11\x10 0", "\x11  0"},
      // A Shift-JIS character draws nothing and still takes two steps.
      {"\x82\xA0X\x88\x9F", "  X  "},
      {"\x7F\x80\xFF"
       "a",
       "   A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ClearWholeDrawTarget();
    DrawFontText(10, 10, c.text, 14);
    EXPECT_EQ(Shown(10, 10, static_cast<int>(c.shown.size()), 14), c.shown);
    const int end = 10 + 14 * static_cast<int>(c.shown.size() - 1) + kCell;
    EXPECT_TRUE(Blank(end, 0, 640, 480));
  }
  ClearWholeDrawTarget();
  DrawFontText(10, 10, "", 14);
  DrawFontText(10, 10, nullptr, 14);
  EXPECT_TRUE(Blank(0, 0, 640, 480));
}

TEST_F(FontTextTest, SmallSizesDrawCentredAtFourFifths) {
  DrawFontText(200, 100, "AB", 10);
  // A: 16 x 16 centred on (200, 100); B on (210, 100) over it.
  EXPECT_EQ(GlyphAt(194, 92), 'A');
  EXPECT_EQ(GlyphAt(201, 107), 'A');
  EXPECT_EQ(GlyphAt(204, 92), 'B');
  EXPECT_EQ(GlyphAt(217, 107), 'B');
  EXPECT_TRUE(Blank(0, 0, 640, 92));
  EXPECT_TRUE(Blank(0, 108, 640, 480));
  EXPECT_TRUE(Blank(0, 92, 192, 108));
  EXPECT_TRUE(Blank(218, 92, 640, 108));
  // Transparent corner of A at its top-left, scaled.
  EXPECT_EQ(GlyphAt(192, 92), kBlank);
  EXPECT_EQ(GlyphAt(192, 94), 'A');
}

TEST_F(FontTextTest, NumbersRightAlignedWithoutLeadingZeros) {
  struct Case {
    int32_t value;
    int digits;
    std::string shown;
  };
  const Case cases[] = {
      {0, 8, "       0"},
      {42, 8, "      42"},
      {99999999, 8, "99999999"},
      {123456789, 8, "23456789"},
      {1000000000, 8, "00000000"},
      {2147483647, 8, "47483647"},
      {2147483647, 10, "2147483647"},
      {2147483647, 12, "  2147483647"},
      {7, 1, "7"},
      {-5, 8, "        "},
      {-2147483647 - 1, 8, "        "},
      {5, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " in " << c.digits);
    ClearWholeDrawTarget();
    DrawFontNumber(30, 200, c.value, c.digits, 24);
    EXPECT_EQ(Shown(30, 200, c.digits, 24), c.shown);
    EXPECT_TRUE(Blank(0, 0, 640, 200));
    EXPECT_TRUE(Blank(0, 220, 640, 480));
    EXPECT_TRUE(Blank(30 + 24 * c.digits, 200, 640, 220));
  }
}

TEST_F(FontTextTest, KeyNames) {
  struct Case {
    int32_t code;
    std::string name;  // "" draws nothing
  };
  const Case cases[] = {
      {1, "ESCAPE"},
      {28, "RETURN"},
      {203, "LEFT"},
      {125, "YEN"},
      {11, "0"},
      {211, "DELETE"},
      {156, "NUMPADENTER"},
      {0, ""},
      {13, ""},
      {40, ""},
      {41, ""},
      {69, ""},
      {86, ""},
      {212, ""},
      {-1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    ClearWholeDrawTarget();
    DrawKeyName(40, 300, c.code);
    if (c.name.empty()) {
      EXPECT_TRUE(Blank(0, 0, 640, 480));
      continue;
    }
    const int n = static_cast<int>(c.name.size());
    EXPECT_EQ(Shown(40, 300, n, 14), c.name);
    EXPECT_TRUE(Blank(40 + 14 * (n - 1) + kCell, 300, 640, 320));
  }
}

}  // namespace
