#include <algorithm>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/stages/stage1/stage1.h"

#include "stg_src/game/deterministic.h"

// The far background of stage 1 in pool 3: blast glows and gunfire flashes that ride a parallax
// (three quarters of the camera's motion since they appeared), and the sky strips that slide
// across at twice the scroll. Parallax words: realWork0/1 the spawn point, vx/vy the camera's
// position at spawn; the glow's fade step in intWork0, its wait in intWork1, its brightness in
// blend. Three placers in pool 0 put them down and go.

namespace {

constexpr int16_t kAfterNone = -1;
constexpr int16_t kBgObjectType = 0;
constexpr int16_t kGlowType = 2;
constexpr int16_t kStripType = 3;

constexpr int16_t kGlowRise = 32;
constexpr int16_t kGlowFall = -4;
constexpr int16_t kGlowFull = 255;

constexpr double kStripScreenY = 265;
constexpr double kStripScreenXs[] = {960, 800, 640, 480, 320, 160, 0, -160};
constexpr double kStripWrapLine = -320;
constexpr double kStripTile = 1280;

void InitStage1ParallaxObject(int16_t slot) {
  EnemyObject& o = EnemyPool3[slot];
  if (o.state != 1) return;
  o.state = 2;
  o.frame = 0;
  o.imageFrame = -1;
  o.phase = 0;
  o.realWork0 = o.x;
  o.realWork1 = o.y;
  o.despawnMarginX = o.despawnMarginY = 12800;
  o.cullMarginX = o.cullMarginY = 0;
  o.vx = -DrawOffsetX;
  o.vy = -DrawOffsetY;
}

void MoveStage1ParallaxObject(int16_t slot) {
  EnemyObject& o = EnemyPool3[slot];
  if (o.state != 2) return;
  o.x = (-DrawOffsetX - o.vx) * 3 / 4 + o.realWork0;
  o.y = (-DrawOffsetY - o.vy) * 3 / 4 + o.realWork1;
}

// The frame a flash shows while it slows: 1 from 3.5 down to 7 from 0.5 down; before that the
// frame it has (not drawn).
int32_t FlashFrameBySpeed(double speed, int32_t frame) {
  constexpr double kLimits[] = {0.5, 1, 1.5, 2, 2.5, 3, 3.5};
  for (int k = 0; k < 7; ++k) {
    if (speed <= kLimits[k]) return 7 - k;
  }
  return frame;
}

}  // namespace

void UpdateStage1DisabledBgObject(int16_t slot) { EnemyPool3[slot].state = 0; }

void UpdateStage1Hougeki(int16_t slot) {
  EnemyObject& o = EnemyPool3[slot];
  if (o.state == 1) {
    o.speed = LcgRandom() % 6 + 10;
    o.heading = o.angle;
  }
  InitStage1ParallaxObject(slot);
  MoveStage1ParallaxObject(slot);
  if (o.state != 2) return;
  o.speed -= 0.1;
  if (o.speed <= 0) {
    o.speed = 0;
    o.imageFrame = std::max(o.imageFrame, int32_t{8});
    if (o.frame % 2 == 0) o.imageFrame += 1;
    if (o.imageFrame > 15) {
      o.state = 0;
      return;
    }
  } else {
    o.imageFrame = FlashFrameBySpeed(o.speed, o.imageFrame);
  }
  const int16_t h = static_cast<int16_t>(WrapAngle(o.heading));
  o.realWork0 += CosineTable[h] * o.speed;
  o.realWork1 += SineTable[h] * o.speed;
  if (o.y < -8) o.state = 0;
}

void UpdateStage1SkyBaku(int16_t slot) {
  EnemyObject& o = EnemyPool3[slot];
  if (o.state == 1) {
    o.intWork0 = kGlowRise;
    o.intWork1 = LcgRandom() % 280;
    o.blend = 0;
  }
  InitStage1ParallaxObject(slot);
  o.imageFrame = 0;
  o.cullMarginX = 240;
  o.cullMarginY = 80;
  MoveStage1ParallaxObject(slot);
  if (o.state != 2) return;
  if (o.intWork1 > 0) o.intWork1 -= 1;
  if (o.intWork1 != 0) return;
  o.blend = static_cast<int16_t>(o.blend + o.intWork0);
  if (o.blend > kGlowFull) {
    o.blend = kGlowFull;
    o.intWork0 = kGlowFall;
  }
  if (o.intWork0 < 0 && o.blend < 1) {
    o.blend = 0;
    o.intWork0 = kGlowRise;
    o.intWork1 = LcgRandom() % 80 + 200;
  }
}

void UpdateStage1Sora(int16_t slot) {
  EnemyObject& o = EnemyPool3[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = -1;
    o.imageFrame = 0;
    o.vx = o.vy = o.speed = 0;
    o.airFrames = 0;
    ClearEnemyHitCircles(EnemyPool3, slot);
    o.hitMode = 0;
    o.phase = 0;
    o.intWork0 = o.intWork1 = 0;
    // 322, not 320: a strip stays until it wraps.
    o.despawnMarginX = 322;
    o.despawnMarginY = 80;
    o.cullMarginX = 240;
    o.cullMarginY = 140;
    return;
  }
  if (o.state != 2) return;
  o.x += 2 * EffectDriftX + ScrollDeltaX;
  if (o.x <= ScreenToWorldX(kStripWrapLine)) o.x += kStripTile;
}

void UpdateStage1BgObjectPlacer(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  SpawnPool3Object(o.x, o.y, kBgObjectType, 0, kAfterNone);
  o.state = 0;
}

void UpdateStage1SkyBakuPlacer(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  SpawnPool3Object(o.x, o.y, kGlowType, 0, kAfterNone);
  o.state = 0;
}

void UpdateStage1SoraPlacer(int16_t slot) {
  for (double sx : kStripScreenXs) {
    SpawnPool3Object(ScreenToWorldX(sx), ScreenToWorldY(kStripScreenY), kStripType, 0, kAfterNone);
  }
  EnemyPool0[slot].state = 0;
}
