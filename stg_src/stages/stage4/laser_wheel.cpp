// The laser wheel: a spinning hub with three emitters (four on hard and insane) that each run one
// full countdown laser as the wheel comes in from the right, and have their beams cut to 128
// frames once the wheel nears the left edge.
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage4/laser_weapons.h"
#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

// Wheel (pool 0): intWork0 the spin step, intWork1 the trigger state (0 waiting, 1 load the
// full laser, 2 firing, 3 cut the beams short, 4 done).

namespace {

constexpr double kEmitterRadius = 17;
constexpr double kFullLaserScreenX = 600;
constexpr double kShortBeamScreenX = 160;

void SetUpWheel(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(640);
  o.hitMode = 1;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 30, 0, 0);
  o.despawnMarginX = o.despawnMarginY = 200;
  o.cullMarginX = o.cullMarginY = 48;
  o.x += 140;
  o.y += 20;
  o.heading = 0;
  o.angle = 0;
  o.imageFrame = 0;
  o.intWork0 = PlayerY < o.y ? 3 : -3;
  o.intWork1 = 0;
  static constexpr int16_t kThree[] = {0, 341, 683};
  static constexpr int16_t kFour[] = {0, 256, 512, 768};
  const bool four = Difficulty > 1;
  const int16_t* angles = four ? kFour : kThree;
  const int count = four ? 4 : 3;
  for (int i = 0; i < count; ++i) {
    const int16_t a = angles[i];
    AttachPart(o.partsB, i, 13, kEmitterRadius * CosineTable[a], kEmitterRadius * SineTable[a], a,
               0);
  }
  o.partCountB = static_cast<int16_t>(count);
}

void LoadEmitters(EnemyObject& o, int16_t cue) {
  for (int i = 0; i < o.partCountB; ++i) o.partsB[i].cue = cue;
}

}  // namespace

void UpdateStage4LaserWheel(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) SetUpWheel(slot);
  if (o.state == 2) {
    o.angle = static_cast<int16_t>(WrapAngle(o.angle + o.intWork0));
    if (o.intWork1 == 0 && ScreenToWorldX(kFullLaserScreenX) >= o.x) {
      o.intWork1 = 1;
    } else if (o.intWork1 == 1) {
      LoadEmitters(o, kWheelEmitterLaser.startValue);
      o.intWork1 = 2;
    } else if (o.intWork1 == 2 && ScreenToWorldX(kShortBeamScreenX) >= o.x) {
      o.intWork1 = 3;
    } else if (o.intWork1 == 3) {
      LoadEmitters(o, kWheelShortBeam);
      o.intWork1 = 4;
    }
  } else if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    o.state = 0;
  }
}

void UpdateStage4LaserWheelPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = -1;
    p.maxLife = p.scoreBase = 0;
    p.hitMode = 1;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 12, 12, 0);
    p.imageFrame = 0;
    p.baseAngle = p.angle;
    p.cue = 0;
    p.cullMarginX = p.cullMarginY = 48;
  }
  if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    p.angle = static_cast<int16_t>(WrapAngle(pool[slot].angle + p.baseAngle));
    if (p.state == 2) RunStage4Laser(pool, slot, parts, partIndex, kWheelEmitterLaser);
    if (p.counter % 4 == 0) {
      if (p.linkActive == 1 && p.imageFrame < 3) p.imageFrame += 1;
      if (p.linkActive != 1 && p.imageFrame > 0) p.imageFrame -= 1;
    }
  }
  if (p.state >= 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    pool[slot].state = 3;
  }
}
