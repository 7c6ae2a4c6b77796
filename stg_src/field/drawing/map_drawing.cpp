#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/image_tables.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kBackChipSize = 80;
// The whole-screen picture that stands for the background from variant 2 on.
constexpr int kBackdropChip = 255;

void DrawMainLayer(const int32_t (&layer)[kMainMapRows][kMainMapColumns],
                   const int32_t (&chips)[kMainChipCount]) {
  const int baseX = ToPixel(DrawOffsetX + ScreenShake.offsetX);
  const int baseY = ToPixel(DrawOffsetY + ScreenShake.offsetY);
  const int rowLast = ToPixel((-DrawOffsetY + kViewHeight) / kTileSize);
  const int columnLast = ToPixel((-DrawOffsetX + kViewWidth) / kTileSize);
  for (int i = ToPixel(-DrawOffsetY / kTileSize); i <= rowLast; ++i) {
    if (i < 0 || i >= MapHeight || i >= kMainMapRows) continue;
    // Columns left of the map (a positive offset) are outside it as much as those right of it.
    for (int j = ToPixel(-DrawOffsetX / kTileSize); j <= columnLast; ++j) {
      if (j < 0 || j >= MapWidth || j >= kMainMapColumns) continue;
      const int32_t chip = layer[i][j];
      if (chip < 0 || chip >= kMainChipCount) continue;
      FieldDraw.drawGraphAt(baseX + kTileSize * j, baseY + kTileSize * i, chips[chip], 1);
    }
  }
}

struct BackLayerView {
  const int32_t (*cells)[kBackMapColumns];
  const int32_t* chips;
  double offsetX, offsetY;
  int wrapColumns, loopColumn;
};

// The first W columns once, then columns L .. W - 1 over and over; BackgroundVariant picks the
// copy of that stretch stored W - L columns further on. Cells outside the loaded map are left
// out.
void DrawBackCells(const BackLayerView& v) {
  if (BackMapHeight <= 0) return;
  const int repeat = v.wrapColumns - v.loopColumn;
  const int baseX = ToPixel(v.offsetX + ScreenShake.offsetX);
  const int baseY = ToPixel(v.offsetY + ScreenShake.offsetY);
  const int rowLast = ToPixel((-v.offsetY + kViewHeight) / kBackChipSize);
  const int columnLast = ToPixel((-v.offsetX + kViewWidth) / kBackChipSize);
  for (int i = ToPixel(-v.offsetY / kBackChipSize); i <= rowLast; ++i) {
    if (i < 0) continue;
    const int row = i % BackMapHeight;
    if (row >= kBackMapRows) continue;
    for (int j = ToPixel(-v.offsetX / kBackChipSize); j <= columnLast; ++j) {
      int column = j;
      if (j >= v.wrapColumns) {
        if (repeat <= 0) continue;
        column = (j - v.wrapColumns) % repeat + v.loopColumn;
      }
      column += repeat * BackgroundVariant;
      if (column < 0 || column >= BackMapWidth || column >= kBackMapColumns) continue;
      const int32_t chip = v.cells[row][column];
      if (chip < 0 || chip >= kBgChipCount) continue;
      FieldDraw.drawGraphAt(baseX + kBackChipSize * j, baseY + kBackChipSize * i, v.chips[chip], 1);
    }
  }
}

}  // namespace

void DrawMainLayer0() { DrawMainLayer(MainMapLayer0, MainChipImages2); }

void DrawMainLayer1() {
  if (CurrentStage == 1 || CurrentStage == 2) DrawMainLayer(MainMapLayer1, MainChipImages1);
}

void DrawMainLayer0Pass() { DrawMainLayer0(); }

void DrawMainLayer1Pass() { DrawMainLayer1(); }

void DrawBackLayer(int n) {
  if (n == 1)
    DrawBackLayer0();
  else
    DrawBackLayer1();
}

void DrawBackLayer0() {
  if (BackgroundVariant > 1) {
    FieldDraw.drawGraphAt(0, 0, MainChipImages2[kBackdropChip], 1);
    return;
  }
  DrawBackCells({BackMapLayer0, BgChipImages1, BackLayer0OffsetX, BackLayer0OffsetY,
                 BackLayer0WrapColumns, BackLayer0LoopColumn});
}

void DrawBackLayer1() {
  if (BackgroundVariant > 1) return;
  DrawBackCells({BackMapLayer1, BgChipImages2, BackLayer1OffsetX, BackLayer1OffsetY,
                 BackLayer1WrapColumns, BackLayer1LoopColumn});
}
