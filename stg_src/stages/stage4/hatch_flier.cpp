// The hatch flier: a small flier placed by the map or launched by the launcher ship. It flies out
// along its spawn angle, brakes once it has travelled 16 px up or down, turns to the player while
// stopped (firing then, once it has been on screen for more than 32 frames), and speeds off.
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

// intWork0 the step count (0 flying out, 1..63 braking and stopped, 64 on leaving); realWork0 the
// vertical travel; phase the frames on screen (CountFramesOnScreen).

namespace {

constexpr int32_t kLeaving = 64;
constexpr int16_t kSteadyAfter = 32;

void SetUpHatchFlier(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(8);
  o.hitMode = 1;
  ClearEnemyHitCircles(EnemyPool1, slot);
  SetEnemyHitCircle(EnemyPool1, slot, 0, 9, 0, 0);
  o.despawnMarginX = o.despawnMarginY = 40;
  o.cullMarginX = o.cullMarginY = 26;
  o.speed = 6.4;
  o.heading = static_cast<int16_t>(WrapAngle(o.angle));
  o.intWork0 = 0;
  o.realWork0 = 0;
  o.phase = 0;
  AttachPart(o.partsA, 0, 0, 0, 0, 256, 0);
  o.partsA[0].variant = static_cast<int16_t>(o.heading <= 512 ? 101 : 100);
  o.partCountA = 1;
}

}  // namespace

void UpdateStage4HatchZako(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) SetUpHatchFlier(slot);
  if (o.state == 2) {
    o.vx = o.speed * CosineTable[o.heading];
    o.vy = o.speed * SineTable[o.heading];
    const double oldX = o.x, oldY = o.y;
    o.x += o.vx + ScrollDeltaX;
    o.y += o.vy + ScrollDeltaY;
    o.realWork0 += o.vy;
    if ((o.realWork0 > 16 || o.realWork0 < -16) && o.intWork0 == 0) o.intWork0 = 1;
    if (o.intWork0 >= 1 && o.intWork0 < kLeaving) {
      o.speed = ApproachValue(o.speed, 0.7, 0);
      if (o.speed == 0) {
        o.heading = static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY));
        o.intWork0 += 1;
      }
    } else if (o.intWork0 >= kLeaving) {
      o.intWork0 += 1;
      o.speed =
          o.intWork0 < 81 ? ApproachValue(o.speed, 0.2, 3.2) : ApproachValue(o.speed, 0.05, 8);
    }
    o.angle =
        static_cast<int16_t>(TurnTowardAngle(AimAngle(o.x, o.y, PlayerX, PlayerY), o.angle, 8));
    CountFramesOnScreen(o);
    if (o.intWork0 >= 1 && o.intWork0 <= 39 && o.phase > kSteadyAfter &&
        o.frame % ComputeFireInterval(16, o.rank) == ComputeFireInterval(2, o.rank)) {
      SpawnEnemyShot(0, o.angle, ScaleShotSpeed(4), RotateOffsetX(o.x, 25, 0, o.angle),
                     RotateOffsetY(o.y, 25, 0, o.angle), 1);
    }
    if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0) o.state = 3;
  }
  if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    o.state = 0;
  }
}
