#include <algorithm>

#include "stg_src/field/angles.h"
#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/screen_tests.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kMissilePoolKind = 3;     // pool 2: its blend word is not drawn
constexpr int kBackgroundPoolKind = 4;  // pool 3: no drawOffsetY, no hit flash

void DrawHitFlash(double x, double y, double angle, int32_t image, int16_t flash) {
  FieldDraw.setBlendMode(kAdditiveBlend, flash);
  DrawAtWorld(x, y, 1.0, angle, image, 1, 0);
  FieldDraw.setBlendMode(kNoBlend, 0);
}

void DrawParts(const EnemyObject& owner, const EnemyPart* parts, int count) {
  for (int i = 0; i < count; ++i) {
    const EnemyPart& p = parts[i];
    if (p.state <= 1 || p.imageFrame < 0) continue;
    // A negative margin draws the part wherever it is.
    if (p.cullMarginX >= 0 && IsOffScreenXY(p.x, p.y, p.cullMarginX, p.cullMarginY, false, false))
      continue;
    int32_t image;
    if (!PartImage(p.partType, p.imageFrame, &image)) continue;
    const bool bright = SetClampedBrightness(p.brightness);
    const double y = p.y + p.drawOffsetY;
    const double angle = AngleToRadians(p.angle);
    const bool blended = SetBlendFromWord(p.blend);
    DrawAtWorld(p.x, y, 1.0, angle, image, 1, 0);
    if (blended) FieldDraw.setBlendMode(kNoBlend, 0);
    // The owner's flash lights all its parts.
    const int16_t flash = owner.hitFlash > 0 ? owner.hitFlash : p.hitFlash;
    if (flash > 0) DrawHitFlash(p.x, y, angle, image, flash);
    if (bright) FieldDraw.setDrawBrightness(255, 255, 255);
  }
}

void DrawBody(const EnemyObject& o, int kind) {
  if (o.imageFrame < 0) return;
  if (IsOffScreenXY(o.x, o.y, o.cullMarginX, o.cullMarginY, false, false)) return;
  int32_t image;
  if (!EnemyBodyImage(kind, o.type, o.imageFrame, &image)) return;
  const bool bright = SetClampedBrightness(o.brightness);
  const double angle = AngleToRadians(o.angle);
  const double y = kind == kBackgroundPoolKind ? o.y : o.y + o.drawOffsetY;
  const bool blended = kind != kMissilePoolKind && SetBlendFromWord(o.blend);
  DrawAtWorld(o.x, y, 1.0, angle, image, 1, 0);
  if (blended) FieldDraw.setBlendMode(kNoBlend, 0);
  if (kind != kBackgroundPoolKind && o.hitFlash > 0) DrawHitFlash(o.x, y, angle, image, o.hitFlash);
  if (bright) FieldDraw.setDrawBrightness(255, 255, 255);
}

}  // namespace

void DrawEnemyPool(const EnemyObject* pool, int count, int kind) {
  for (int slot = 0; slot < count; ++slot) {
    const EnemyObject& o = pool[slot];
    if (o.state <= 1) continue;
    DrawParts(o, o.partsA, std::clamp<int>(o.partCountA, 0, kPartsACount));
    DrawBody(o, kind);
    DrawParts(o, o.partsB, std::clamp<int>(o.partCountB, 0, kPartsBCount));
  }
}
