#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/image_tables.h"

#include "stg_src/game/deterministic.h"

namespace {

template <int Rows, int Cells>
bool TableEntry(const int32_t (&table)[Rows][Cells], int32_t row, int32_t cell, int32_t* image) {
  if (row < 0 || row >= Rows || cell < 0 || cell >= Cells) return false;
  *image = table[row][cell];
  return true;
}

}  // namespace

// Far-off and non-finite values are held where the int conversion stays defined; they draw
// nothing either way.
int ToPixel(double v) {
  constexpr double kFar = 1 << 30;
  if (!(v > -kFar)) return -(1 << 30);
  if (v > kFar) return 1 << 30;
  return static_cast<int>(v);
}

bool EnemyBodyImage(int kind, int32_t type, int32_t frame, int32_t* image) {
  switch (kind) {
    case 1:
      return TableEntry(EnemyImages0, type, frame, image);
    case 2:
      return TableEntry(EnemyImages1, type, frame, image);
    case 3:
      return TableEntry(EnemyImages2, type, frame, image);
    case 4:
      return TableEntry(EnemyImages3, type, frame, image);
    default:
      return false;
  }
}

bool PartImage(int32_t type, int32_t frame, int32_t* image) {
  return TableEntry(PartImages, type, frame, image);
}

bool EnemyShotImage(int32_t type, int32_t frame, int32_t* image) {
  return TableEntry(EnemyShotImages, type, frame, image);
}

bool EffectImage(int32_t type, int32_t frame, int32_t* image) {
  return TableEntry(EffectImages, type, frame, image);
}

bool PlayerShotImage(int32_t type, int32_t band, int32_t frame, int32_t* image) {
  if (type < 0 || type >= kPlayerShotImageTypes) return false;
  return TableEntry(PlayerShotImages[type], band, frame, image);
}

int AnimationCycle4(int divisor) {
  const int r = (GameFrame / divisor) % 4;
  return r < 0 ? r + 4 : r;
}

int ScreenPixelX(double x) { return ToPixel(ScreenShake.offsetX + x + DrawOffsetX); }

int ScreenPixelY(double y) { return ToPixel(ScreenShake.offsetY + y + DrawOffsetY); }

void DrawAtWorld(double x, double y, double scale, double angle, int32_t image, int transparent,
                 int turn) {
  FieldDraw.drawGraphRotated(ScreenPixelX(x), ScreenPixelY(y), scale, angle, image, transparent,
                             turn);
}

void DrawQuadAtWorld(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                     double y4, int32_t image, int transparent) {
  FieldDraw.drawGraphFourCorners(ScreenPixelX(x1), ScreenPixelY(y1), ScreenPixelX(x2),
                                 ScreenPixelY(y2), ScreenPixelX(x3), ScreenPixelY(y3),
                                 ScreenPixelX(x4), ScreenPixelY(y4), image, transparent);
}

bool SetClampedBrightness(int v) {
  if (v < 0) v = 0;
  if (v > 255) return false;
  FieldDraw.setDrawBrightness(v, v, v);
  return true;
}

bool SetBlendFromWord(int16_t blend) {
  if (blend < 256) {
    FieldDraw.setBlendMode(kAlphaBlend, blend);
    return true;
  }
  if (blend > 256) {
    FieldDraw.setBlendMode(kAdditiveBlend, blend - 256);
    return true;
  }
  return false;
}

void FillBox(int x1, int y1, int x2, int y2, int r, int g, int b) {
  FieldDraw.drawRectangle(x1, y1, x2, y2, FieldDraw.makeColorValue(r, g, b), 1);
}
