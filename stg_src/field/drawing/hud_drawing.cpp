#include <algorithm>

#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/weapon_state.h"
#include "stg_src/game/image_tables.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kFontSize = 14;
constexpr int kFullWeaponLevel = 8;
constexpr int kMaxLevelTimer = 3000;
constexpr int kMaxBarWidth = 54;
constexpr int kLevelBoxStep = 7;
constexpr int kLevelBoxWidth = 5;
constexpr int kHideAlpha = 200;
constexpr int kGaugeFullWidth = 150;  // the gauge of the largest maximum, 1800
constexpr int kLargestGaugeMax = 1800;

struct Colour {
  int r, g, b;
};

constexpr Colour kBlack = {0, 0, 0};
constexpr Colour kMainColour = {139, 3, 20};
constexpr Colour kSubColour = {9, 252, 110};
constexpr Colour kChargeColour = {233, 255, 25};
constexpr Colour kMaxBarGround = {0, 3, 19};

void Fill(int x1, int y1, int x2, int y2, Colour c) { FillBox(x1, y1, x2, y2, c.r, c.g, c.b); }

void Outline(int x1, int y1, int x2, int y2, Colour c) {
  FieldDraw.drawRectangle(x1, y1, x2, y2, FieldDraw.makeColorValue(c.r, c.g, c.b), 0);
}

// The map edges a shake uncovers, in black.
void BlackOutShakeEdges() {
  const int bx = ToPixel(DrawOffsetX + ScreenShake.offsetX);
  const int by = ToPixel(DrawOffsetY + ScreenShake.offsetY);
  if (ScreenShake.offsetX > 0)
    Fill(0, 0, bx + kTileSize * ToPixel(-DrawOffsetX / kTileSize), kViewHeight, kBlack);
  if (ScreenShake.offsetY > 0)
    Fill(0, 0, kViewWidth, by + kTileSize * ToPixel(-DrawOffsetY / kTileSize), kBlack);
  if (ScreenShake.offsetX < 0) {
    const int k = std::min(ToPixel((-DrawOffsetX + kViewWidth) / kTileSize) + 1, int{MapWidth});
    Fill(bx + kTileSize * k, 0, kViewWidth, kViewHeight, kBlack);
  }
  if (ScreenShake.offsetY < 0) {
    const int k = std::min(ToPixel((-DrawOffsetY + kViewHeight) / kTileSize) + 1, int{MapHeight});
    Fill(0, by + kTileSize * k, kViewWidth, kViewHeight, kBlack);
  }
}

// Score, high score and frame rate; they fade as the ship nears the top.
void DrawTopTexts() {
  const int16_t shipY = static_cast<int16_t>(ToPixel(WorldToScreenY(PlayerY)));
  const int16_t alpha = static_cast<int16_t>(2 * shipY);
  if (alpha < 255) FieldDraw.setBlendMode(kAlphaBlend, alpha);
  if (FrameWaitMs <= 17) {
    FieldDraw.drawFontText(540, 5, "FPS+", kFontSize);
    FieldDraw.drawFontNumber(540, 5, FpsValue + 1, 6, kFontSize);
  }
  const bool known = Difficulty >= 0 && Difficulty < 4;
  const int32_t high = known && HighScores[Difficulty] >= Score ? HighScores[Difficulty] : Score;
  FieldDraw.drawFontText(240, 5, "HI-SCORE+", kFontSize);
  FieldDraw.drawFontNumber(240, 5, high, 17, kFontSize);
  FieldDraw.drawFontText(5, 5, "SCORE+", kFontSize);
  FieldDraw.drawFontNumber(5, 5, Score, 14, kFontSize);
  if (alpha < 255) FieldDraw.setBlendMode(kNoBlend, 0);
}

struct WeaponPanel {
  int16_t level, timer;
  int icon;  // WeaponIconImages entry
  int iconX, barX;
  Colour colour;
};

void DrawWeaponPanel(const WeaponPanel& p) {
  if (p.icon >= 0 && p.icon < kWeaponIconCount)
    FieldDraw.drawGraphAt(p.iconX, 404, WeaponIconImages[p.icon], 1);
  if (p.level >= kFullWeaponLevel) {
    Fill(p.barX, 458, p.barX + kMaxBarWidth, 473, kMaxBarGround);
    Outline(p.barX, 458, p.barX + kMaxBarWidth, 473, p.colour);
    Fill(p.barX, 458, p.barX + p.timer * kMaxBarWidth / kMaxLevelTimer, 473, p.colour);
    FieldDraw.drawFontText(p.barX + 3, 456, "MAX", kFontSize);
    return;
  }
  for (int i = 0; i < p.level; ++i) {
    const int x = p.barX + kLevelBoxStep * i;
    Fill(x, 459, x + kLevelBoxWidth, 473, p.colour);
  }
}

// A panel for weapon w of the level and timer tables; nothing for a selection outside them.
template <int N>
void DrawSelectedWeapon(int16_t w, const int16_t (&levels)[N], const int16_t (&timers)[N],
                        int firstIcon, int iconX, Colour colour) {
  if (w < 0 || w >= N) return;
  DrawWeaponPanel({levels[w], timers[w], firstIcon + w, iconX, iconX + 5, colour});
}

void DrawWeaponPanels() {
  DrawSelectedWeapon(SelectedMainWeapon, MainWeaponLevels, MainWeaponTimers, 0, 147, kMainColour);
  DrawSelectedWeapon(SelectedSubWeapons[0], SubWeaponLevels, SubWeaponTimers, 4, 237, kSubColour);
  DrawSelectedWeapon(SelectedSubWeapons[1], SubWeaponLevels, SubWeaponTimers, 4, 320, kSubColour);
  // The sub weapon that is not in use is dimmed.
  const int s = ((ActiveSubSlot + 1) % 2 + 2) % 2;
  FieldDraw.setBlendMode(kAlphaBlend, kHideAlpha);
  FieldDraw.drawGraphAt(235 + 67 * s, 402, HideImages[s], 1);
  FieldDraw.setBlendMode(kNoBlend, 0);
  DrawSelectedWeapon(SelectedChargeWeapon, ChargeWeaponLevels, ChargeWeaponTimers, 12, 410,
                     kChargeColour);
}

// Until it is full the bar stops at least a pixel short of the outline's inner edge.
void DrawChargeGauge() {
  const int t = ChargeGaugeMax * kGaugeFullWidth / kLargestGaugeMax;
  Outline(481, 432, 483 + t, 456, kChargeColour);
  // No gauge size yet (before the ship is placed): an empty bar.
  int w = ChargeGaugeMax > 0 ? t * ChargeGauge / ChargeGaugeMax : 0;
  if (w >= t && ChargeGauge < ChargeGaugeMax) w = t - 1;
  Fill(482, 433, 482 + w, 455, kChargeColour);
}

}  // namespace

void DrawPlayFieldHud() {
  if (ScreenShake.amplitude > 0) BlackOutShakeEdges();
  if (CurrentStage >= 3) return;
  DrawTopTexts();
  FieldDraw.drawGraphAt(0, 400, BoardImage, 0);
  FieldDraw.drawFontNumber(-85, 420, std::max(Lives - 1, 0), 8, kFontSize);
  for (int i = 0; i < ShipSpeed; ++i) FieldDraw.drawGraphAt(73 + 17 * i, 408, SpeedImage, 1);
  for (int i = 0; i < StageBonusCount; ++i) FieldDraw.drawGraphAt(7 + 12 * i, 447, BonusImage, 1);
  DrawWeaponPanels();
  DrawChargeGauge();
}
