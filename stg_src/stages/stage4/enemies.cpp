#include "stg_src/stages/stage4/stage4.h"

#include <initializer_list>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/map_loops.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

// Striker (pool 1, stages 4 and 5): brakes on entering the screen, takes the player's spot as
// its target, turns toward it, then backs away along its angle and fires once as it opens.
// intWork0 its step count, realWork0 / realWork1 the target.
namespace {

constexpr int32_t kStrikerFirstFrame = 200;
constexpr double kStrikerSpeed = 7.2;
constexpr int kStrikerSpawnMargin = 240;
constexpr int32_t kStrikerTurnSteps = 24;
constexpr int32_t kStrikerFireFrame = 3;
constexpr int32_t kStrikerLastFrame = 5;

void FireStrikerVolley(const EnemyObject& o) {
  const double x = RotateOffsetX(o.x, 4, 0, o.angle);
  const double y = RotateOffsetY(o.y, 4, 0, o.angle);
  const double speed = ScaleShotSpeed(2.8);
  auto fire = [&](int spread) {
    SpawnEnemyShot(1, static_cast<int16_t>(WrapAngle(o.angle + spread)), speed, x, y, 1);
  };
  if (GetDifficulty() > 1) {
    for (int spread : {-32, 0, 32}) fire(spread);
  } else if (IsHarderThanEasy()) {
    for (int spread : {-16, 16}) fire(spread);
  }
}

}  // namespace

void UpdateStage4Striker(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    if (GameFrame < kStrikerFirstFrame) {
      o.state = 0;
      return;
    }
    o.state = 2;
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(24);
    o.imageFrame = 0;
    o.hitMode = 1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 9, 0, 0);
    o.despawnMarginX = o.despawnMarginY = 120;
    o.cullMarginX = o.cullMarginY = 16;
    o.x += 20;
    o.y += GetVariantYShift(o.variant);
    o.speed = kStrikerSpeed;
    o.heading = 0;
    o.angle = 512;
    o.vx = o.speed * CosineTable[512];
    o.vy = o.speed * SineTable[512];
    o.intWork0 = 0;
    o.realWork0 = o.realWork1 = 0;
    if (IsOutsideScreen(o.x, o.y, kStrikerSpawnMargin)) {
      o.state = 0;
      return;
    }
  }
  if (o.state == 2) {
    if (o.intWork0 == 0) {
      const double brakeLine = BackgroundVariant != 0 ? 630 : 600;
      if (WorldToScreenX(o.x) < brakeLine) {
        o.speed = ApproachValue(o.speed, 0.15, 0);
        if (o.speed == 0) {
          o.intWork0 = 1;
          o.realWork0 = PlayerX;
          o.realWork1 = PlayerY;
        }
      }
    } else {
      ShiftForMapLoop(&o.realWork0, &o.realWork1);
      if (o.intWork0 < kStrikerTurnSteps) {
        o.angle = static_cast<int16_t>(
            TurnTowardAngle(AimAngle(o.x, o.y, o.realWork0, o.realWork1), o.angle, 12));
      } else {
        if (o.speed > -4.8) o.speed -= 0.1;
        if (o.intWork0 % 4 == 0 && o.imageFrame < kStrikerLastFrame) {
          o.imageFrame += 1;
          if (o.imageFrame == kStrikerFireFrame) FireStrikerVolley(o);
        }
      }
      o.intWork0 += 1;
    }
    o.vx = o.speed * CosineTable[WrapAngle(o.angle)];
    o.vy = o.speed * SineTable[WrapAngle(o.angle)];
    const double oldX = o.x, oldY = o.y;
    o.x += o.vx + ScrollDeltaX;
    o.y += o.vy + ScrollDeltaY;
    if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0 ||
        IsPointInSolidPart(o.x, o.y, 1, static_cast<int16_t>(slot)))
      o.state = 3;
  }
  if (o.state >= 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    o.state = 0;
  }
}

// Gunboat (pool 0): holds its world spot and dips toward the ceiling or floor to fire; a
// damaged one (below 3/8 of its life) shows it and dives no more. intWork0 the dive count,
// intWork1 the life on the previous frame, realWork0 home y, realWork1 dive y.
void UpdateStage4Gunboat(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    o.state = 2;
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(450);
    o.hitMode = 1;
    ClearEnemyHitCircles(EnemyPool0, slot);
    SetEnemyHitCircle(EnemyPool0, slot, 0, 18, -8, 0);
    SetEnemyHitCircle(EnemyPool0, slot, 1, 15, 14, 0);
    o.despawnMarginX = o.despawnMarginY = 80;
    o.cullMarginX = 48;
    o.cullMarginY = 32;
    o.x += 20;
    o.heading = 640;
    o.imageFrame = 0;
    o.intWork0 = 0;
    o.intWork1 = o.life;
    o.realWork0 = o.y;
    o.realWork1 = o.y + (o.variant == 1 ? 40 : -40);
  }
  if (o.state == 2) {
    const int32_t damaged = o.maxLife * 3 / 8;
    if (o.life < damaged && o.intWork1 >= damaged) {
      o.imageFrame = 1;
      SpawnSmallExplosion(o.x, o.y, 1);
    }
    if (o.imageFrame == 0 &&
        o.frame % ComputeFireIntervalFlat(130, o.rank) == ComputeFireIntervalFlat(20, o.rank))
      o.intWork0 = 1;
    if (o.intWork0 < 1) {
      o.y = ApproachValue(o.y, 2, o.realWork0);
    } else {
      o.intWork0 += 1;
      o.y = ApproachValue(o.y, 2, o.realWork1);
      if (o.intWork0 == 40) SpawnEnemyShot(3, 512, ScaleShotSpeed(4.8), o.x - 36, o.y, 1);
      if (o.intWork0 > 49) o.intWork0 = 0;
    }
    o.intWork1 = o.life;
  } else if (o.state == 3) {
    SpawnSparkBurst(o.x, o.y, 1, -1);
    o.state = 0;
  }
}

// Turret mount (pool 0): set-up only; it carries a turret pair standing up from the floor (map
// variant 1) or hanging from the ceiling, and never moves or dies. Its image frame is the map
// variant - 1 as the map gives it; a frame with no picture draws nothing.
void UpdateStage4TurretMount(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state != 1) return;
  o.state = 2;
  o.life = o.maxLife = -1;
  o.scoreBase = 0;
  o.hitMode = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  o.despawnMarginX = o.despawnMarginY = 80;
  o.cullMarginX = 40;
  o.cullMarginY = 20;
  o.x += 20;
  o.imageFrame = o.variant - 1;
  o.heading = 640;
  const bool up = o.variant == 1;
  const int32_t type = up ? 7 : 8;
  AttachPart(o.partsA, 0, type, 0, up ? 8 : -8, static_cast<int16_t>(up ? 768 : 256), 0);
  o.partsA[0].variant = 0;
  o.partsA[0].parentPart = 1;
  AttachPart(o.partsA, 1, type, 0, 0, 0, 0);
  o.partsA[1].variant = 1;
  o.partsA[1].parentPart = -1;
  o.partCountA = 2;
}

// Sliding block (pool 1): an indestructible solid frame with no picture of its own carrying one
// block (map variants other than 1) or two; each block slides up and down inside its range.
// Block (part 12): variant tens the picture (1 flat, 2 tall), units the direction; startCos the
// slide step.
void UpdateStage4SlidingBlock(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.life = o.maxLife = o.scoreBase = -1;
    o.imageFrame = -1;
    o.hitMode = 0;
    o.solid = 1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    o.despawnMarginX = o.despawnMarginY = 160;
    o.cullMarginX = o.cullMarginY = 0;
    o.y += 20;
    if (o.variant == 1) {
      AttachPart(o.partsB, 0, 12, 20, -20, 0, 0);
      o.partsB[0].variant = 10;
      AttachPart(o.partsB, 1, 12, 20, 20, 0, 0);
      o.partsB[1].variant = 11;
      o.partCountB = 2;
    } else {
      AttachPart(o.partsB, 0, 12, 0, 0, 0, 0);
      o.partsB[0].variant = static_cast<int16_t>(o.variant == 2 ? 20 : 21);
      o.partCountB = 1;
    }
  }
  if (o.state == 3) o.state = 0;
}

void UpdateStage4SlidingBlockPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  const bool flat = p.variant / 10 - 1 == 0;
  const bool forward = p.variant % 10 == 1;
  if (p.state == 1) {
    p.state = 2;
    p.life = -1;
    p.maxLife = p.scoreBase = 0;
    p.imageFrame = p.variant / 10 - 1;
    ClearPartHitCircles(parts, partIndex);
    if (flat) {
      SetSolidPartBox(parts, partIndex, 40, 20);
      p.startCos = forward ? 2 : -2;
      p.cullMarginX = 40;
      p.cullMarginY = 20;
    } else {
      SetSolidPartBox(parts, partIndex, 20, 40);
      p.startCos = forward ? 2.4 : -1.6;
      p.cullMarginX = 20;
      p.cullMarginY = 40;
    }
  }
  if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    if (p.state != 2) return;
    MarkSolidPartPresent();
    const double c = forward ? 120 : 0;
    const double lo = flat ? c - 100 : -80;
    const double hi = flat ? c - 20 : 80;
    p.offsetY += p.startCos;
    if (p.offsetY > hi) {
      p.offsetY = hi;
      p.startCos = -p.startCos;
    } else if (p.offsetY < lo) {
      p.offsetY = lo;
      p.startCos = -p.startCos;
    }
  } else if (p.state >= 3) {
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    p.state = 0;
  }
}

// Swooper (pool 1): waits in the world until the view's x 480 passes it, then speeds up along
// its slant, folding its wings (picture steps) and rolling once they are folded.
void UpdateStage4Swooper(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  const bool down = o.variant == 1;
  if (o.state == 1) {
    o.state = 2;
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(80);
    o.hitMode = 1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 16, 0, 0);
    SetEnemyHitCircle(EnemyPool1, slot, 1, 7, -22, 0);
    SetEnemyHitCircle(EnemyPool1, slot, 2, 7, 22, 0);
    o.despawnMarginX = o.despawnMarginY = 80;
    o.cullMarginX = o.cullMarginY = 40;
    o.x += 20;
    o.y += down ? 5 : -5;
    o.imageFrame = down ? 0 : 6;
    o.heading = static_cast<int16_t>(down ? 288 : 736);
    o.angle = 0;
    o.speed = 0;
    o.phase = 0;
  }
  if (o.state == 2) {
    if (ScreenToWorldX(480) > o.x) o.phase = 1;
    if (o.phase == 1) {
      o.speed += 0.08;
      const int32_t folded = down ? 5 : 11;
      if (o.imageFrame >= folded) {
        o.imageFrame = folded;
        o.angle = static_cast<int16_t>(WrapAngle(o.angle + (down ? 8 : -8)));
      } else if (o.frame % 4 == 0) {
        o.imageFrame += 1;
      }
    }
    o.vx = o.speed * CosineTable[o.heading];
    o.vy = o.speed * SineTable[o.heading];
    o.x += o.vx;
    o.y += o.vy;
  } else if (o.state == 3) {
    SpawnSparkBurst(o.x, o.y, 1, -1);
    o.state = 0;
  }
}

// Piston (pool 1): an indestructible solid frame with no picture of its own; its head (part 11)
// shoots out to the left once the view's x 560 passes the base (part 10) and the base follows it
// until it stands 240 px out. startCos: the speed of base and head; the head's cue its stroke
// (1 out, 2 running, 3 stopped).
namespace {

constexpr int kPistonBase = 0;  // in partsB
constexpr int kPistonHead = 1;

}  // namespace

void UpdateStage4Piston(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.life = o.maxLife = o.scoreBase = -1;
    o.imageFrame = -1;
    o.hitMode = 0;
    o.solid = 1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    o.despawnMarginX = o.despawnMarginY = 120;
    o.cullMarginX = o.cullMarginY = 0;
    o.x += 20;
    o.y += 20;
    AttachPart(o.partsB, kPistonBase, 10, 0, 0, 0, 0);
    AttachPart(o.partsB, kPistonHead, 11, 160, 0, 0, 0);
    o.partCountB = 2;
  }
  if (o.state == 3) o.state = 0;
}

void UpdateStage4PistonBasePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = -1;
    p.maxLife = p.scoreBase = 0;
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    SetSolidPartBox(parts, partIndex, 40, 40);
    p.startCos = 0;
    p.cullMarginX = p.cullMarginY = 40;
  }
  if (p.state >= 3) {
    p.state = 0;
    return;
  }
  if (p.state != 2) return;
  FollowParentObject(pool, slot, parts, partIndex, 1);
  if (p.state != 2) return;
  MarkSolidPartPresent();
  if (partIndex + 1 >= PartArrayCapacity(parts)) return;
  EnemyPart& head = parts[partIndex + 1];
  if (ScreenToWorldX(560) > p.x && head.cue == 0) head.cue = 1;
  if (p.offsetX < -240) {
    p.startCos = 0;
    p.offsetX = -240;
    if (head.cue == 2) head.cue = 3;
  }
  p.startCos = head.state == 2 ? head.startCos : ApproachValue(p.startCos, 0.5, 0);
  p.offsetX -= p.startCos;
}

void UpdateStage4PistonHeadPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(80);
    p.imageFrame = 0;
    p.hitMode = 1;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 18, 20, 0);
    p.startCos = 0;
    p.cue = 0;
    p.cullMarginX = 80;
    p.cullMarginY = 20;
  }
  if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    if (p.state != 2) return;
    if (p.cue == 1) {
      p.offsetX -= 3.2;
      if (p.offsetX <= 40) {
        p.offsetX = 40;
        p.cue = 2;
      }
    } else if (p.cue == 2) {
      p.offsetX -= p.startCos;
      p.startCos = ApproachValue(p.startCos, 0.04, 3.6);
    } else if (p.cue == 3) {
      if (p.offsetX < -200) p.offsetX = -200;
      p.startCos = 0;
    }
    if ((p.cue == 1 || p.cue == 2) && p.counter % 3 == 0) p.imageFrame = (p.imageFrame + 1) % 3;
    if (p.cue == 3 && p.counter % 3 == 0 && p.imageFrame < 3) p.imageFrame += 1;
  } else if (p.state == 3) {
    SpawnSparkBurst(p.x, p.y, 1, -1);
    p.state = 4;
    p.imageFrame = -1;
  }
}
