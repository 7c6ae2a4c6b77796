// The kit's bitmap font against the game's texts: every cell a text of the game draws shows the
// character that text means, as the kit's own glyph source draws it.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/graphics/image/graph_image.h"
#include "runtime/graphics/image/image_loader.h"
#include "tools/datakit/image_encode.h"
#include "tools/datakit/kit_build.h"
#include "tools/datakit/painters.h"

namespace {

struct Text {
  const char* written;  // the bytes the game draws
  const char* meant;    // what the player should read ("" when the same, in capitals)
};

// The game's texts: HUD, menus, configuration pages, weapon select, stage clear, game over,
// replay names (difficulty, underscore, score) and, for the key names and numbers, every letter
// and digit.
const Text kGameTexts[] = {
    {"SCORE+", "SCORE:"},
    {"HI-SCORE+", "HI-SCORE:"},
    {"FPS+", "FPS:"},
    {"START", ""},
    {"PAUSE", ""},
    {"MAX", ""},
    {"       STAGE CLEAR", ""},
    {"          BONUS", ""},
    {"          = 10", ""},
    {"PERFECT!", ""},
    {"           * 2", ""},
    {"10 *  2500     = 50000", ""},
    {"   GAME END   ", ""},
    {"   GAME OVER   ", ""},
    {"TO BE CONTINUED", ""},
    {"CONTINUE?", ""},
    {"CREDIT", ""},
    {"SAVE REPLAY?", ""},
    {"YES", ""},
    {"NO", ""},
    {">", ""},
    {"weapon select", ""},
    {"TIME 30", ""},
    {"primary sub weapon", ""},
    {"CONFIG", ""},
    {"SCREEN SHOT", ""},
    {"              AND LEFT", ""},
    {"SE VOLUME", ""},
    {"STAGE SELECT", ""},
    {"NOTHING", ""},
    {"normal_000000128.rpy", "NORMAL_000000128.RPY"},
    {"insane_012345679.rpy", "INSANE_012345679.RPY"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", ""},
};

// The cell the game draws for a byte, or -1 for none (it only advances).
int CellOf(unsigned char byte) {
  if (byte >= 128) return -1;
  if (byte >= 'a' && byte <= 'z') byte = static_cast<unsigned char>(byte - 'a' + 'A');
  if (byte >= 91 && byte <= 96) byte = 91;
  return byte >= 17 && byte <= 96 ? byte : -1;
}

using Cell = std::vector<uint32_t>;  // RGBA, row by row

Cell SheetCell(GraphImage& sheet, int cell) {
  Cell out;
  const int x0 = (cell % 16) * 20, y0 = (cell / 16) * 20;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      int r, g, b, a;
      GetGraphImagePixel(&sheet, x0 + x, y0 + y, &r, &g, &b, &a);
      // Colour means nothing where nothing shows.
      out.push_back(a == 0 ? 0 : static_cast<uint32_t>(r << 24 | g << 16 | b << 8 | a));
    }
  return out;
}

Cell GlyphCell(char ch) {
  Canvas c(20, 20);
  if (ch != ' ') PaintFontGlyph(c, ch);
  Cell out;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      // Every sprite cell of the kit keeps a clear ring round its edge.
      if (x == 0 || y == 0 || x == 19 || y == 19) {
        out.push_back(0);
        continue;
      }
      uint8_t p[4];
      ResolvePixel(c.At(x, y), Surface::Sprite, false, p);
      out.push_back(p[3] == 0 ? 0
                              : static_cast<uint32_t>(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]));
    }
  return out;
}

TEST(KitFont, EveryCellTheGamesTextsDrawShowsTheCharacterTheyMean) {
  const std::vector<KitFile> files = BuildKitFiles("data/font.png", 1);
  ASSERT_EQ(files.size(), 1u);
  GraphImage sheet{};
  ASSERT_EQ(ReadImageToGraphImage(nullptr, files[0].bytes.data(),
                                  static_cast<int>(files[0].bytes.size()), 1, &sheet, 0),
            0);
  ASSERT_EQ(sheet.Width, 320);
  ASSERT_EQ(sheet.Height, 320);

  std::vector<std::pair<std::string, std::string>> texts;
  for (const Text& t : kGameTexts) {
    std::string meant = t.meant[0] ? t.meant : t.written;
    for (char& ch : meant) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    texts.emplace_back(t.written, meant);
  }
  // The ending text is the kit's own, drawn with the same font.
  const std::vector<uint8_t> ending = EndingText();
  std::string line;
  for (uint8_t byte : ending) {
    if (byte == '\r') continue;
    if (byte == '\n') {
      std::string meant = line;
      for (char& ch : meant) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      texts.emplace_back(line, meant);
      line.clear();
      continue;
    }
    line.push_back(static_cast<char>(byte));
  }

  std::map<int, char> meaningOfCell;
  for (const auto& [written, meant] : texts) {
    ASSERT_EQ(written.size(), meant.size());
    for (size_t i = 0; i < written.size(); ++i) {
      const int cell = CellOf(static_cast<unsigned char>(written[i]));
      if (cell < 0) continue;
      SCOPED_TRACE("\"" + written + "\" at " + std::to_string(i));
      // One cell cannot mean two characters.
      const auto [at, fresh] = meaningOfCell.emplace(cell, meant[i]);
      EXPECT_EQ(at->second, meant[i]) << "cell " << cell;
      if (!fresh) continue;
      EXPECT_TRUE(SheetCell(sheet, cell) == GlyphCell(meant[i]))
          << "cell " << cell << " does not show '" << meant[i] << "'";
    }
  }
  // The characters read apart: no two meant characters share a glyph, and only a blank is
  // empty.
  std::set<char> meant;
  for (const auto& [cell, ch] : meaningOfCell) meant.insert(ch);
  std::map<Cell, char> seen;
  for (char ch : meant) {
    const Cell glyph = GlyphCell(ch);
    const auto [at, fresh] = seen.emplace(glyph, ch);
    EXPECT_TRUE(fresh) << "'" << ch << "' draws as '" << at->second << "'";
    EXPECT_EQ(ch == ' ', glyph == Cell(400, 0)) << "'" << ch << "'";
  }
  FreeGraphImage(&sheet);
}

}  // namespace
