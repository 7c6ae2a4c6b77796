// The ship with its shield, flames and charge flash; effects, items and captions.
#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/drawing/draw_recorder.h"

namespace {

TEST(ShipDrawing, ShieldFlamesThrusterShipAndChargeFlashInOrder) {
  ResetDrawingScene();
  GameFrame = -4;  // (-4 / 3) mod 4 is 3, not -1
  ShieldLevel = 8;
  SpeedUpTimer = 7;
  ShipBankFrame = 62;
  ChargeFullFlash = 40;
  PlayerX = 320.6;
  DrawRecorder rec;
  DrawPlayerShip();
  const std::vector<DrawRecord> draws = rec.ImageDraws();
  ASSERT_EQ(draws.size(), 5u);
  EXPECT_EQ(draws[0].image, kShieldCode + 3);
  EXPECT_EQ(draws[1].image, kShipJetCode + 2);  // timer 7: the second flame
  EXPECT_EQ(draws[2].image, kShipJetSmallCode + 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(draws[i].x, 288) << i;
    EXPECT_EQ(draws[i].y, 200) << i;
    EXPECT_EQ(draws[i].blendMode, kAdditiveBlend) << i;
    EXPECT_EQ(draws[i].blendValue, 255) << i;
  }
  EXPECT_EQ(draws[3].image, kShipCode + 6);
  EXPECT_EQ(draws[3].x, 320);
  EXPECT_EQ(draws[3].blendMode, kNoBlend);
  EXPECT_EQ(draws[4].image, kChargeImageCode);
  EXPECT_EQ(draws[4].scale, 0.4);
  EXPECT_EQ(draws[4].blendMode, kAdditiveBlend);
  EXPECT_EQ(draws[4].blendValue, 153);  // (100 - 40) x 255 / 100
  EXPECT_EQ(rec.blendMode, kNoBlend);
}

TEST(ShipDrawing, TheFiveFlamesShowInOrder) {
  struct Case {
    int16_t timer;
    int flame;  // -1 none
  };
  const Case cases[] = {{0, -1}, {2, -1}, {3, 1},  {5, 1},   {6, 2},  {9, 3},
                        {12, 4}, {17, 5}, {18, 6}, {21, -1}, {-3, -1}};
  for (const Case& c : cases) {
    ResetDrawingScene();
    SpeedUpTimer = c.timer;
    DrawRecorder rec;
    DrawPlayerShip();
    int flame = -1;
    for (int image : rec.Images()) {
      if (image >= kShipJetCode && image < kShipJetCode + 7) flame = image - kShipJetCode;
    }
    EXPECT_EQ(flame, c.flame) << c.timer;
  }
}

TEST(ShipDrawing, HiddenOffTheLeftEdgeOrWhileDying) {
  struct Case {
    double offsetX;
    int16_t deathTimer, shield;
    int32_t bankFrame;
    size_t draws;
  };
  const Case cases[] = {
      {-384, 0, 0, 31, 2},  // screen x -64: thruster and ship
      {-385, 0, 0, 31, 0},  // -65
      {0, 1, 8, 31, 0},     // dying
      {0, -1, 8, 31, 3},    // shield at 8 only
      {0, 0, 7, 31, 2},     // no shield below 8
      {0, 0, 0, 63, 1},     // no ship frame past the table
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    DrawOffsetX = c.offsetX;
    DeathTimer = c.deathTimer;
    ShieldLevel = c.shield;
    ShipBankFrame = c.bankFrame;
    DrawRecorder rec;
    DrawPlayerShip();
    EXPECT_EQ(rec.ImageDraws().size(), c.draws) << c.offsetX << " " << c.deathTimer;
  }
}

TEST(ObjectDrawing, EffectsByBlendModeScaleAndRotation) {
  ResetDrawingScene();
  const int16_t modes[] = {kEffectBlendAdditive, kEffectBlendAlpha, kEffectBlendOpaque};
  for (int i = 0; i < 3; ++i) {
    Effect& e = Effects[i * 10];
    e.state = 2;
    e.type = 4;
    e.animFrame = static_cast<int16_t>(3 + i);
    e.blendMode = modes[i];
    e.blendValue = 90;
    e.scale = 1.5;
    e.rotation = 256;
    e.x = 100 + i;
    e.y = 50;
    e.margin = 10;
  }
  Effects[1] = Effects[0];
  Effects[1].state = 1;  // not yet set up
  Effects[2] = Effects[0];
  Effects[2].x = 660;  // past its margin
  Effects[3] = Effects[0];
  Effects[3].x = 5000;
  Effects[3].margin = -1;  // never off screen
  Effects[4] = Effects[0];
  Effects[4].animFrame = 12;  // past the row
  DrawRecorder rec;
  DrawEffects();
  const std::vector<DrawRecord> draws = rec.ImageDraws();
  ASSERT_EQ(draws.size(), 4u);
  EXPECT_EQ(draws[0].image, kEffectCode + 4 * 12 + 3);
  EXPECT_EQ(draws[0].blendMode, kAdditiveBlend);
  EXPECT_EQ(draws[0].blendValue, 90);
  EXPECT_EQ(draws[0].scale, 1.5);
  EXPECT_DOUBLE_EQ(draws[0].angle, AngleToRadians(256));
  EXPECT_EQ(draws[1].x, 5000);  // slot 3
  EXPECT_EQ(draws[2].image, kEffectCode + 4 * 12 + 4);
  EXPECT_EQ(draws[2].blendMode, kAlphaBlend);
  EXPECT_EQ(draws[3].image, kEffectCode + 4 * 12 + 5);
  EXPECT_EQ(draws[3].blendMode, kNoBlend);
  EXPECT_EQ(rec.blendMode, kNoBlend);
}

TEST(ObjectDrawing, ItemsOfTheEightKindsAndCaptionsOfTheTwentyOne) {
  struct Case {
    const char* what;
    int32_t state, kind;
    int16_t anim, blink;
    double x;
    bool popup;
    int image;  // -1 none
  };
  const Case cases[] = {
      {"unlock capsule", 2, 7, 3, 0, 100, false, kItemCode + 7 * 8 + 3},
      {"taken items still show", 3, 0, 1, 0, 100, false, kItemCode + 1},
      {"kind 8 has no row", 2, 8, 0, 0, 100, false, -1},
      {"anim past the row", 2, 1, 8, 0, 100, false, -1},
      {"not set up", 1, 1, 0, 0, 100, false, -1},
      {"past the draw margin", 2, 1, 0, 0, 661, false, -1},
      {"on the widened edge", 2, 1, 0, 0, 660, false, kItemCode + 8},
      {"last caption", 2, 20, 0, 0, 100, true, kInfoCode + 20},
      {"caption 21", 2, 21, 0, 0, 100, true, -1},
      {"blinking", 2, 3, 0, 1, 100, true, -1},
      {"not set up", 1, 3, 0, 0, 100, true, -1},
  };
  for (const Case& c : cases) {
    ResetDrawingScene();
    if (c.popup) {
      InfoPopups[2] = {c.state, 0, c.kind, c.x, 300.5, 1.0, c.blink};
    } else {
      Item& item = Items[4];
      item.state = c.state;
      item.kind = c.kind;
      item.anim = c.anim;
      item.x = c.x;
      item.y = 300.5;
      item.drawMarginX = item.drawMarginY = 20;
    }
    DrawRecorder rec;
    DrawItems();
    DrawInfoPopups();
    const std::vector<DrawRecord> draws = rec.ImageDraws();
    ASSERT_EQ(draws.size(), c.image >= 0 ? 1u : 0u) << c.what;
    if (draws.empty()) continue;
    EXPECT_EQ(draws[0].image, c.image) << c.what;
    EXPECT_EQ(draws[0].y, 300) << c.what;
    EXPECT_EQ(draws[0].scale, 1.0);
    EXPECT_EQ(draws[0].angle, 0.0);
  }
}

}  // namespace
