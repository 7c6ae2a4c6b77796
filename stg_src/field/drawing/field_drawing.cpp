#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kPauseShade = 128;
// The curtains cover the play area until frame 0, then open 20 px a side a frame.
constexpr int kCurtainOpenFrames = 16;
constexpr int kCurtainStep = 20;
constexpr int kStageSixPoolThreeFrom = 100;

void DrawScreenFlash(int16_t level, int r, int g, int b) {
  if (level <= 0) return;
  FieldDraw.setBlendMode(kAdditiveBlend, level);
  FillBox(0, 0, kScreenWidth, kScreenHeight, r, g, b);
  FieldDraw.setBlendMode(kNoBlend, 0);
}

void DrawWhiteFlash() { DrawScreenFlash(ScreenFlashWhite, 255, 255, 255); }

void DrawPoolsZeroAndOne() {
  DrawEnemyPool(EnemyPool0, kEnemyPool0Size, 1);
  DrawEnemyPool(EnemyPool1, kEnemyPool1Size, 2);
}

void DrawPoolThree() { DrawEnemyPool(EnemyPool3, kEnemyPool3Size, 4); }

void DrawOverlays() {
  if (GameFrame < kCurtainOpenFrames) {
    FillBox(0, 0, 320 - kCurtainStep * GameFrame, 400, 0, 0, 0);
    FillBox(320 + kCurtainStep * GameFrame, 0, kScreenWidth, 400, 0, 0, 0);
  }
  if (GameFrame < 0) FieldDraw.drawFontText(280, 240, "START", 14);
  if (GamePaused != 0) {
    FieldDraw.setBlendMode(kAlphaBlend, kPauseShade);
    FillBox(0, 0, kScreenWidth, kScreenHeight, 0, 0, 0);
    FieldDraw.setBlendMode(kNoBlend, 0);
    FieldDraw.drawFontText(280, 240, "PAUSE", 14);
  }
}

}  // namespace

void DrawPlayField() {
  if (FastForwardRequest == 1) FrameSkipPhase = static_cast<int16_t>((FrameSkipPhase + 1) % 8);
  if (FrameSkipPhase != 0) return;
  const int16_t stage = CurrentStage;
  const bool shipShown = PlayerActive == 1 || stage == 7;
  FieldDraw.setDrawClipRect(0, 0, kScreenWidth, kScreenHeight);
  DrawBackLayer0();
  if (stage == 1) DrawPoolThree();
  DrawBackLayer1();
  DrawMainLayer0();
  if (stage == 4) DrawScreenFlash(ScreenFlashRed, 255, 0, 0);
  if (stage == 1 || stage == 2) DrawWhiteFlash();
  if (stage == 6 && StageWork[kStageSixCounter] >= kStageSixPoolThreeFrom) DrawPoolThree();
  // Stage 1's enemies pass under the ship's shots until its boss shows up.
  if (stage == 1 && BossState == 0) DrawPoolsZeroAndOne();
  if (shipShown) DrawPlayerShots();
  if (stage > 1 || BossState != 0) DrawPoolsZeroAndOne();
  DrawEnemyPool(EnemyPool2, kEnemyPool2Size, 3);
  DrawEffects();
  DrawItems();
  if (shipShown) DrawPlayerShip();
  DrawEnemyShots();
  if (stage == 5 && BossState == 0) DrawPoolThree();
  DrawMainLayer1();
  if (stage == 3) DrawWhiteFlash();
  DrawInfoPopups();
  DrawPlayFieldHud();
  DrawOverlays();
  FieldDraw.drawEndingCredits();
}
