#include <algorithm>
#include <cstdlib>

#include "stg_src/field/angles.h"
#include "stg_src/field/drawing/field_drawing.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/shots/player_shots.h"
#include "stg_src/game/image_tables.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kMuzzleFrames = 4;      // cells 0..3 of a shot's row
constexpr int kBeamEndFirstCell = 8;  // the vanish cells flicker at a beam's end
constexpr int kQuarterTurn = 256;

int ShotBlendValue(const EnemyShot& s) { return std::min(std::abs(int{s.alpha}), 255); }

// The shot's own blend back after the beam body's.
void RestoreShotBlend(const EnemyShot& s) {
  if (s.additive == 1)
    FieldDraw.setBlendMode(kAdditiveBlend, ShotBlendValue(s));
  else
    FieldDraw.setBlendMode(kNoBlend, 0);
}

// The beam body from the spawn point to the end, half-width to each side of the draw angle,
// once a part a frame however many segments the part has out; then the end's flicker.
void DrawBeam(const EnemyShot& s, EnemyPart& part, double scale, double angle) {
  if (s.beamImage >= 0 && s.beamImage < kLaserImageCount) {
    const int h = std::min(std::abs(int{s.alpha}) * 2 - 254, 255);
    if (h > 0) {
      const int left = WrapAngle(s.drawAngle + kQuarterTurn);
      const int right = WrapAngle(s.drawAngle - kQuarterTurn);
      const double lx = s.beamHalfWidth * CosineTable[left], ly = s.beamHalfWidth * SineTable[left];
      const double rx = s.beamHalfWidth * CosineTable[right];
      const double ry = s.beamHalfWidth * SineTable[right];
      FieldDraw.setBlendMode(kAdditiveBlend, h);
      DrawQuadAtWorld(s.beamEndX + lx, s.beamEndY + ly, s.spawnX + lx, s.spawnY + ly, s.spawnX + rx,
                      s.spawnY + ry, s.beamEndX + rx, s.beamEndY + ry, LaserImages[s.beamImage], 1);
      RestoreShotBlend(s);
    }
  }
  int32_t image;
  if (EnemyShotImage(s.type, kBeamEndFirstCell + AnimationCycle4(2), &image))
    DrawAtWorld(s.beamEndX, s.beamEndY, scale, angle, image, 1, 0);
  part.beamDrawn = 1;
}

void DrawEnemyShot(const EnemyShot& s) {
  if (s.additive == 1) FieldDraw.setBlendMode(kAdditiveBlend, ShotBlendValue(s));
  const double angle = s.rotated != 0 ? AngleToRadians(s.drawAngle) : 0.0;
  const double scale = s.scale / 100.0;
  int32_t image;
  if (s.anim >= 0 && s.alpha > 0 && EnemyShotImage(s.type, s.anim, &image))
    DrawAtWorld(s.x, s.y, scale, angle, image, 1, 0);
  // A beam with no part to hang on is not drawn: its segments end on their next update.
  if (s.beamEndX > 0) {
    EnemyPart* part = LinkedPart(s);
    if (part != nullptr && part->beamDrawn == 0) DrawBeam(s, *part, scale, angle);
  }
  if (s.age < kMuzzleFrames && EnemyShotImage(s.type, s.age, &image))
    DrawAtWorld(s.spawnX, s.spawnY, scale, AngleToRadians(s.spawnAngle), image, 1, 0);
  if (s.additive == 1) FieldDraw.setBlendMode(kNoBlend, 0);
}

}  // namespace

void DrawPlayerShots() {
  for (const PlayerShot& s : PlayerShots) {
    if (s.state <= 1 || IsOffScreen(s.x, s.y, s.drawMargin, false)) continue;
    if (s.additive == 1) FieldDraw.setBlendMode(kAdditiveBlend, s.alpha);
    int32_t image;
    if (s.frame > 0 && s.anim >= 0 && PlayerShotImage(s.type, s.imageLevel, s.anim, &image))
      DrawAtWorld(s.x, s.y, s.scale, AngleToRadians(s.angle), image, 1, 0);
    if (s.age < kMuzzleFrames && PlayerShotImage(s.type, s.imageLevel, s.age, &image))
      DrawAtWorld(PlayerX + s.flashOffsetX, PlayerY + s.flashOffsetY, 1.0,
                  AngleToRadians(s.flashAngle), image, 1, 0);
    if (s.additive == 1) FieldDraw.setBlendMode(kNoBlend, 0);
  }
}

void DrawEnemyShots() {
  FieldDraw.setTextureFilterMode(1);
  for (const EnemyShot& s : EnemyShots) {
    if (s.state <= 1 || IsOffScreen(s.x, s.y, s.drawMargin, false)) continue;
    DrawEnemyShot(s);
  }
  FieldDraw.setTextureFilterMode(0);
}
