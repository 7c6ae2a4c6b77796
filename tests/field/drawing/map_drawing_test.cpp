// The map's picture layers: the main map's 40 px tiles over the visible rows and columns, and
// the background's 80 px chips with their wrap rule and variants; cells outside the loaded maps
// are never read.
#include <gtest/gtest.h>

#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/enemy_assets.h"
#include "tests/field/drawing/draw_recorder.h"

namespace {

TEST(MapDrawing, MainLayerTilesInViewWithTheShake) {
  ResetDrawingScene();
  DrawOffsetX = -85.5;
  DrawOffsetY = -10;
  ScreenShake.offsetX = 2;
  ScreenShake.offsetY = -3;
  MainMapLayer0[0][2] = 5;     // first visible column
  MainMapLayer0[9][15] = 255;  // last row and column of the map
  MainMapLayer0[0][1] = 7;     // left of the view
  MainMapLayer0[0][16] = 7;    // past MapWidth
  MainMapLayer0[10][3] = 7;    // past MapHeight
  MainMapLayer0[5][5] = 256;   // past the chip table
  DrawRecorder rec;
  DrawMainLayer0();
  const std::vector<DrawRecord> draws = rec.ImageDraws();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].op, DrawOp::At);
  EXPECT_EQ(draws[0].image, kMainChip2Code + 5);
  EXPECT_EQ(draws[0].x, -83 + 80);  // trunc(-85.5 + 2) + 40 x 2
  EXPECT_EQ(draws[0].y, -13);
  EXPECT_EQ(draws[0].transparent, 1);
  EXPECT_EQ(draws[1].image, kMainChip2Code + 255);
  EXPECT_EQ(draws[1].x, -83 + 600);
  EXPECT_EQ(draws[1].y, -13 + 360);
}

// Left of the map the column is negative: the row before's last cell must not show there.
TEST(MapDrawing, ColumnsLeftOfTheMapAreNotRead) {
  ResetDrawingScene();
  DrawOffsetX = 50;
  MainMapLayer0[0][kMainMapColumns - 1] = 9;
  MainMapLayer0[1][0] = 3;
  DrawRecorder rec;
  DrawMainLayer0();
  const std::vector<DrawRecord> draws = rec.ImageDraws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].image, kMainChip2Code + 3);
  EXPECT_EQ(draws[0].x, 50);
  EXPECT_EQ(draws[0].y, 40);
}

TEST(MapDrawing, UpperMainLayerOnStagesOneAndTwoOnly) {
  for (int16_t stage = 1; stage <= 7; ++stage) {
    ResetDrawingScene();
    CurrentStage = stage;
    MainMapLayer1[2][3] = 4;
    DrawRecorder rec;
    DrawMainLayer1Pass();
    const std::vector<int> expected =
        stage <= 2 ? std::vector<int>{kMainChip1Code + 4} : std::vector<int>{};
    EXPECT_EQ(rec.Images(), expected) << stage;
  }
}

struct BackCase {
  const char* what;
  double offsetX, offsetY;
  int16_t wrap, loop, variant, width;
  std::vector<int> columns;  // chips of screen row 0, one per cell drawn, left to right
  int firstX;
};

// Chip c stands in column c of row 0 (and of row 1 for the column-left-of-the-map case).
std::vector<int> DrawnBackColumns(const BackCase& c, int layer, int* firstX) {
  ResetDrawingScene();
  for (int column = 0; column < kBackMapColumns; ++column) {
    BackMapLayer0[0][column] = BackMapLayer1[0][column] = column;
  }
  BackMapWidth = c.width;
  BackgroundVariant = c.variant;
  ScreenShake.offsetX = 1;
  (layer == 0 ? BackLayer0OffsetX : BackLayer1OffsetX) = c.offsetX;
  (layer == 0 ? BackLayer0OffsetY : BackLayer1OffsetY) = c.offsetY;
  (layer == 0 ? BackLayer0WrapColumns : BackLayer1WrapColumns) = c.wrap;
  (layer == 0 ? BackLayer0LoopColumn : BackLayer1LoopColumn) = c.loop;
  DrawRecorder rec;
  DrawBackLayer(layer == 0 ? 1 : 2);
  const int base = layer == 0 ? kBgChip1Code : kBgChip2Code;
  std::vector<int> columns;
  *firstX = 0;
  const int topRow = static_cast<int>(c.offsetY) + 80 * static_cast<int>(-c.offsetY / 80);
  for (const DrawRecord& d : rec.ImageDraws()) {
    EXPECT_GE(d.image, base) << c.what;
    EXPECT_LT(d.image, base + kBgChipCount) << c.what;
    if (d.y != topRow) continue;
    if (columns.empty()) *firstX = d.x;
    columns.push_back(d.image - base);
  }
  return columns;
}

TEST(MapDrawing, BackgroundWrapRuleAndVariants) {
  const BackCase cases[] = {
      {"the first W columns once", -160, 0, 24, 8, 0, 24, {2, 3, 4, 5, 6, 7, 8, 9, 10}, 1},
      {"then L .. W - 1 over and over",
       -3040,
       0,
       24,
       8,
       0,
       48,
       {22, 23, 8, 9, 10, 11, 12, 13, 14},
       1},
      {"variant 1: the copy W - L further on",
       -3040,
       0,
       24,
       8,
       1,
       48,
       {38, 39, 24, 25, 26, 27, 28, 29, 30},
       1},
      {"a copy past BackMapWidth is left out",
       -3040,
       0,
       24,
       8,
       1,
       38,
       {24, 25, 26, 27, 28, 29, 30},
       161},
      {"nothing repeats when L is W", -1800, 0, 24, 24, 0, 48, {22, 23}, -39},
      {"fractions truncate", -165.7, -20.5, 24, 0, 0, 24, {2, 3, 4, 5, 6, 7, 8, 9, 10}, -4},
  };
  for (const BackCase& c : cases) {
    for (int layer = 0; layer < 2; ++layer) {
      int firstX = 0;
      EXPECT_EQ(DrawnBackColumns(c, layer, &firstX), c.columns) << c.what << ", layer " << layer;
      EXPECT_EQ(firstX, c.firstX) << c.what << ", layer " << layer;
    }
  }
}

// Rows wrap by the background's height; a row above it and a column left of it are not read.
TEST(MapDrawing, BackgroundRowsWrapAndCellsLeftOrAboveAreSkipped) {
  struct Case {
    double offsetY;
    std::vector<std::pair<int, int>> cells;  // (chip, screen y)
  };
  const Case cases[] = {
      {100, {{1, 180}, {3, 340}}},             // rows -1 .. 3: -1 skipped
      {-300, {{3, -60}, {1, 180}, {3, 340}}},  // rows 3 .. 8: 6 and 8 are rows 1 and 3 again
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    BackMapLayer0[0][kBackMapColumns - 1] = 79;  // where row 1's column -1 would read
    BackMapLayer0[1][0] = 1;
    BackMapLayer0[3][0] = 3;
    BackLayer0OffsetX = 100;
    BackLayer0OffsetY = c.offsetY;
    DrawRecorder rec;
    DrawBackLayer0();
    std::vector<std::pair<int, int>> cells;
    for (const DrawRecord& d : rec.ImageDraws()) {
      cells.push_back({d.image - kBgChip1Code, d.y});
      EXPECT_EQ(d.x, 100);
    }
    EXPECT_EQ(cells, c.cells) << c.offsetY;
  }
}

TEST(MapDrawing, VariantTwoIsOnePictureAndNoSecondLayer) {
  ResetDrawingScene();
  BackMapLayer0[0][0] = BackMapLayer1[0][0] = 1;
  BackgroundVariant = 2;
  ScreenShake.offsetX = 3;
  DrawRecorder rec;
  DrawBackLayer0();
  DrawBackLayer1();
  const std::vector<DrawRecord> draws = rec.ImageDraws();
  ASSERT_EQ(draws.size(), 1u);
  const DrawRecord& d = draws[0];
  EXPECT_EQ(d.image, kMainChip2Code + 255);
  EXPECT_EQ(d.x, 0);
  EXPECT_EQ(d.y, 0);
  EXPECT_EQ(d.transparent, 1);
}

}  // namespace
