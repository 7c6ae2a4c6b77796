#include "stg_src/field/angles.h"
#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/items_and_popups.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/weapon_state.h"
#include "stg_src/game/image_tables.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr double kShipLeftLimit = -64;  // screen x left of which the ship is not drawn
constexpr double kJetOffsetX = -32;     // shield and flames sit behind the ship's centre
constexpr int kFullShield = 8;
constexpr int kBankFramesPerImage = 9;
constexpr int kJetTimerStep = 3;

template <int N>
bool ListEntry(const int32_t (&table)[N], int index, int32_t* image) {
  if (index < 0 || index >= N) return false;
  *image = table[index];
  return true;
}

}  // namespace

void DrawEffects() {
  for (const Effect& e : Effects) {
    if (e.state != 2 || IsOffScreen(e.x, e.y, e.margin, false)) continue;
    int32_t image;
    if (!EffectImage(e.type, e.animFrame, &image)) continue;
    if (e.blendMode == kEffectBlendAdditive) FieldDraw.setBlendMode(kAdditiveBlend, e.blendValue);
    if (e.blendMode == kEffectBlendAlpha) FieldDraw.setBlendMode(kAlphaBlend, e.blendValue);
    DrawAtWorld(e.x, e.y, e.scale, AngleToRadians(e.rotation), image, 1, 0);
    FieldDraw.setBlendMode(kNoBlend, 0);
  }
}

void DrawItems() {
  for (const Item& item : Items) {
    if (item.state < 2 ||
        IsOffScreenXY(item.x, item.y, item.drawMarginX, item.drawMarginY, false, false))
      continue;
    if (item.kind < 0 || item.kind >= kItemImageRows) continue;
    int32_t image;
    if (!ListEntry(ItemImages[item.kind], item.anim, &image)) continue;
    DrawAtWorld(item.x, item.y, 1.0, 0.0, image, 1, 0);
  }
}

void DrawInfoPopups() {
  for (const InfoPopup& popup : InfoPopups) {
    int32_t image;
    if (popup.state <= 1 || popup.blink != 0 || !ListEntry(InfoImages, popup.kind, &image))
      continue;
    DrawAtWorld(popup.x, popup.y, 1.0, 0.0, image, 1, 0);
  }
}

void DrawPlayerShip() {
  if (WorldToScreenX(PlayerX) < kShipLeftLimit || DeathTimer >= 1) return;
  const double jetX = PlayerX + kJetOffsetX;
  int32_t image;
  FieldDraw.setBlendMode(kAdditiveBlend, 255);
  if (ShieldLevel == kFullShield && ListEntry(ShieldImages, AnimationCycle4(3), &image))
    DrawAtWorld(jetX, PlayerY, 1.0, 0.0, image, 1, 0);
  // Entry 0 of the flames is empty: timers 3..17 show flames 1..5 in order.
  const int flame = SpeedUpTimer / kJetTimerStep;
  if (flame > 0 && ListEntry(ShipJetImages, flame, &image))
    DrawAtWorld(jetX, PlayerY, 1.0, 0.0, image, 1, 0);
  if (ListEntry(ShipJetSmallImages, AnimationCycle4(3), &image))
    DrawAtWorld(jetX, PlayerY, 1.0, 0.0, image, 1, 0);
  FieldDraw.setBlendMode(kNoBlend, 0);
  if (ListEntry(ShipImages, ShipBankFrame / kBankFramesPerImage, &image))
    DrawAtWorld(PlayerX, PlayerY, 1.0, 0.0, image, 1, 0);
  if (ChargeFullFlash > 0) {
    FieldDraw.setBlendMode(kAdditiveBlend, (100 - ChargeFullFlash) * 255 / 100);
    DrawAtWorld(PlayerX, PlayerY, ChargeFullFlash / 100.0, 0.0, ShipChargeImage, 1, 0);
    FieldDraw.setBlendMode(kNoBlend, 0);
  }
}
