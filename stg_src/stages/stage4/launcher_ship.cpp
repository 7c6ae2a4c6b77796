// The launcher ship: it comes in from beyond the view's left edge while the view stands still
// or moves back (a copy placed as the view moves forward is dropped), and its four launchers
// open one after another as it crosses the screen, each sending out two hatch fliers. The
// exhaust part is shared with the boss.
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

// Ship (pool 0): intWork0 the next launcher to open (0..4). Launcher (part 3): cue 1 opening,
// 2 spent; work0 its opening frames.

namespace {

constexpr int kLaunchers = 4;
constexpr double kFirstOpenScreenX = 240;
constexpr double kOpenSpacing = 30;
constexpr double kSpeedUpScreenX = 360;
constexpr int32_t kLaunchFrame = 6;
constexpr int32_t kSpentFrame = 11;
constexpr int16_t kHatchFlierType = 12;

void SetUpLauncherShip(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(560);
  o.hitMode = 1;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 40, -89, 0);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 45, -34, 0);
  SetEnemyHitCircle(EnemyPool0, slot, 2, 45, 45, 0);
  SetEnemyHitCircle(EnemyPool0, slot, 3, 45, 124, 0);
  o.despawnMarginX = 200;
  o.despawnMarginY = 60;
  o.cullMarginX = 192;
  o.cullMarginY = 48;
  o.x = ScreenToWorldX(0) - 192;
  o.y += GetVariantYShift(o.variant);
  o.speed = 3.5;
  o.angle = 0;
  o.imageFrame = 0;
  o.intWork0 = 0;
  AttachPart(o.partsA, 0, 25, -176, 0, 0, 0);
  o.partCountA = 1;
  for (int i = 0; i < kLaunchers; ++i) AttachPart(o.partsB, i, 3, -48 + 48 * i, 0, 0, 0);
  o.partCountB = kLaunchers;
}

}  // namespace

void UpdateStage4LauncherShip(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.acceptDir = -1;
  if (o.state == 1) SetUpLauncherShip(slot);
  if (o.state == 2) {
    o.x += o.speed;
    if (o.intWork0 < kLaunchers &&
        o.x >= ScreenToWorldX(kFirstOpenScreenX + kOpenSpacing * o.intWork0)) {
      o.partsB[o.intWork0].cue = 1;
      o.intWork0 += 1;
    }
    if (o.x > ScreenToWorldX(kSpeedUpScreenX)) o.speed += 0.05;
  } else if (o.state == 3) {
    SpawnMediumExplosion(o.x - 96, o.y, 1, -1);
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    SpawnMediumExplosion(o.x + 96, o.y, 1, -1);
    o.state = 0;
  }
}

void UpdateStage4LauncherPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = -1;
    p.maxLife = p.scoreBase = 0;
    p.imageFrame = 0;
    p.hitMode = 0;
    ClearPartHitCircles(parts, partIndex);
    p.cue = 0;
    p.work0 = 0;
    p.cullMarginX = 24;
    p.cullMarginY = 48;
  }
  if (p.state == 2) FollowParentObject(pool, slot, parts, partIndex, 1);
  if (p.state == 2 && p.cue == 1) {
    p.work0 = static_cast<int16_t>(p.work0 + 1);
    if (p.work0 % 4 == 0) {
      p.imageFrame += 1;
      if (p.imageFrame == kLaunchFrame) {
        SpawnPool1Enemy(p.x, p.y - 26, kHatchFlierType, 768, -1, 0);
        SpawnPool1Enemy(p.x, p.y + 26, kHatchFlierType, 256, -1, 0);
      }
      if (p.imageFrame == kSpentFrame) p.cue = 2;
    }
  } else if (p.state >= 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    pool[slot].state = 3;
  }
}

// The exhaust flame: drawn additive, flickering through four pictures, on the tail of its owner.
void UpdateStage4ExhaustPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = -1;
    p.maxLife = p.scoreBase = 0;
    p.imageFrame = 0;
    p.hitMode = 0;
    ClearPartHitCircles(parts, partIndex);
    p.blend = 511;
    p.baseAngle = p.angle;
    p.cullMarginX = 48;
    p.cullMarginY = 32;
  }
  if (p.state == 2) {
    p.angle = static_cast<int16_t>(WrapAngle(pool[slot].angle + p.baseAngle));
    FollowParentObject(pool, slot, parts, partIndex, 1);
    if (p.counter % 3 == 0) p.imageFrame = (p.imageFrame + 1) % 4;
  }
  if (p.state >= 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    pool[slot].state = 3;
  }
}
