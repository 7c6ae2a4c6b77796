#include <cmath>
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
#include "stg_src/stages/stage2/stage2.h"

#include "stg_src/game/deterministic.h"

// The gunships (pool 1): the spread gunner (type 10, also stage 4's) with its wings (part type
// 2), and the wing opener (11) with its sliding wings (part type 3). Both stay away before
// GameFrame 200.
// Spread gunner words: angle the motion and aim; speed, negative while it backs away; intWork0
// the attack counter (0 entering, frozen at 1000); intWork1 the next volley's spread;
// realWork0 and realWork1 the aim point (the player when it stopped).
// Wing opener words: heading 512 the motion; angle 512 the firing direction; intWork0 the hold
// state (0 entering, 1..999 holding, 1000 leaving); intWork1 the volleys fired; realWork0 the
// swing's vertical travel; realWork1 the swing bound, its sign the swing's way.
// Wings: cue open (1) or closed (0), written by the owner every frame.

namespace {

constexpr int32_t kEarliestFrame = 200;
constexpr int32_t kGunnerLife = 80;
constexpr int32_t kOpenerLife = 40;
constexpr int32_t kFrozen = 1000;
constexpr int32_t kLeaving = 1000;
constexpr int32_t kSpreadDone = 192;

bool IsStage4() { return CurrentStage == 4; }

bool Refused(EnemyObject& o) {
  if (GameFrame >= kEarliestFrame) return false;
  o.state = 0;
  return true;
}

void Fire(const EnemyObject& o, int16_t type, int angle, double speed, double dx, double dy) {
  SpawnEnemyShot(type, static_cast<int16_t>(WrapAngle(angle)), ScaleShotSpeed(speed),
                 RotateOffsetX(o.x, dx, dy, o.angle), RotateOffsetY(o.y, dx, dy, o.angle), 1);
}

// One volley of the widening spread: the centre line first, then each side.
void SpreadVolley(EnemyObject& o) {
  const int a = o.angle;
  const int32_t s = o.intWork1;
  if (s > kSpreadDone) return;
  Fire(o, 2, a + s, 4.4, 32, 0);
  Fire(o, 0, a + s, 3.6, 32, 0);
  Fire(o, 0, a + s, 3.2, 32, 0);
  if (s == 0) {
    o.intWork1 = 32;
    return;
  }
  Fire(o, 2, a - s, 4.0, 32, 0);  // the minus side's lead shot is slower
  Fire(o, 0, a - s, 3.6, 32, 0);
  Fire(o, 0, a - s, 3.2, 32, 0);
  o.intWork1 = s + 48;
}

bool WingsGone(const EnemyObject& o) { return o.partsB[0].state != 2 && o.partsB[1].state != 2; }

struct Circle {
  int16_t size, dx, dy;
};

void SetCircles(EnemyPart* parts, int16_t j, const Circle* circles, int n) {
  ClearPartHitCircles(parts, j);
  for (int k = 0; k < n; ++k) {
    SetPartHitCircle(parts, j, k, circles[k].size, circles[k].dx, circles[k].dy);
  }
}

}  // namespace

void UpdateStage2SpreadGunner(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    if (Refused(o)) return;
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(kGunnerLife);
    o.imageFrame = 0;
    o.speed = IsStage4() ? 11.6 : 7.2;
    o.airFrames = -1;
    o.heading = 0;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 16, 0, 0);
    SetEnemyHitCircle(EnemyPool1, slot, 1, 7, 19, 0);
    o.intWork0 = o.intWork1 = 0;
    o.realWork0 = o.realWork1 = 0;
    o.despawnMarginX = o.despawnMarginY = 120;
    o.cullMarginX = o.cullMarginY = 32;
    o.x += 92;
    o.y += GetVariantYShift(o.variant);
    AttachPart(o.partsB, 0, 2, 0, 0, 192, 0);
    o.partsB[0].variant = 0;
    AttachPart(o.partsB, 1, 2, 0, 0, 832, 0);
    o.partsB[1].variant = 1;
    o.partCountB = 2;
    o.angle = 512;
    o.vx = -o.speed;
    o.vy = 0;
    return;
  }
  if (o.state == 2) {
    const double oldX = o.x, oldY = o.y;
    if (o.intWork0 == 0 && WorldToScreenX(o.x) < 560) {
      o.speed = ApproachValue(o.speed, IsStage4() ? 0.3 : 0.15, 0);
      if (o.speed == 0) {
        o.intWork0 = 1;
        o.realWork0 = PlayerX;
        o.realWork1 = PlayerY;
      }
    }
    if (o.intWork0 >= 1 && o.intWork0 < kFrozen) {
      ShiftForMapLoop(&o.realWork0, &o.realWork1);
      o.partsB[0].cue = o.partsB[1].cue = 1;
      if (o.intWork0 > 48 && o.intWork0 % ComputeFireInterval(8, o.rank) == 0) SpreadVolley(o);
      if (o.intWork0 > 47) {
        o.speed -= 0.025;  // backing away, ever faster
      } else {
        o.angle = static_cast<int16_t>(
            TurnTowardAngle(AimAngle(o.x, o.y, o.realWork0, o.realWork1), o.angle, 8));
      }
      o.intWork0 += 1;
    }
    o.vx = CosineTable[WrapAngle(o.angle)] * o.speed;
    o.vy = SineTable[WrapAngle(o.angle)] * o.speed;
    o.x += o.vx + ScrollDeltaX;
    o.y += o.vy + ScrollDeltaY;
    if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0) o.state = 3;
    o.imageFrame = 0;
    if (WingsGone(o)) o.state = 3;
    return;
  }
  if (o.state == 3) {
    o.frame = 0;
    o.state = 4;
    SpawnSparkBurst(o.x, o.y, 1, -1);
    return;
  }
  if (o.state == 4 && o.frame > 1) o.state = 0;
}

void UpdateStage2SpreadGunnerWingPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                      int16_t partIndex) {
  constexpr Circle kWing[2][4] = {{{8, -32, -7}, {8, 7, -47}, {8, 0, -32}, {12, -10, -11}},
                                  {{8, -32, 7}, {8, 7, 47}, {8, 0, 32}, {12, -10, 11}}};
  EnemyPart& p = parts[partIndex];
  const EnemyObject& gunner = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = p.variant;
    p.hitMode = 1;
    SetCircles(parts, partIndex, kWing[p.variant == 1 ? 1 : 0], 4);
    p.baseAngle = p.angle;
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 80;
    return;
  }
  if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    if (p.cue == 1) p.baseAngle = static_cast<int16_t>(TurnTowardAngle(0, p.baseAngle, 8));
    p.angle = static_cast<int16_t>(WrapAngle(gunner.angle + p.baseAngle));
  } else if (p.state == 3) {
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    p.state = 4;
    p.imageFrame += 2;  // broken
    SpawnSmallExplosion(p.x, p.y, 1);
  } else if (p.state == 4) {
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    if (gunner.state > 2 || gunner.state == 0) {
      SpawnSmallExplosion(p.x, p.y, 1);
      p.state = 0;
    }
  }
}

namespace {

// The stop line (screen x) and the leave line (world x) by the wing opener's variant band.
double StopLine(int16_t v) { return v > 19 ? 730 : v >= 10 ? 580 : 430; }
double LeaveLine(int16_t v) { return v > 19 ? 5260 : v >= 10 ? 5220 : 5180; }

constexpr double kWingOut = 56;

bool WingOut(const EnemyObject& o) {
  return o.partsB[0].offsetY == -kWingOut || o.partsB[1].offsetY == kWingOut;
}

// The second and fourth volley lead with a quartet from the nose; a dead wing's shot is left out.
void OpenerVolley(const EnemyObject& o) {
  if (o.intWork1 % 2 == 1) {
    for (const double dy : {-17.0, -10.0, 10.0, 17.0}) Fire(o, 1, o.angle, 3.8, 30, dy);
  }
  if (o.partsB[0].state == 2) Fire(o, 3, o.angle, 5, 36, -56);
  Fire(o, 3, o.angle, 5, 48, 0);
  if (o.partsB[1].state == 2) Fire(o, 3, o.angle, 5, 36, 56);
}

void Hold(EnemyObject& o) {
  o.angle = 512;
  o.partsB[0].cue = o.partsB[1].cue = 1;
  o.speed = ApproachValue(o.speed, 0.02, 0);
  if (WingOut(o) && o.intWork1 < 4) {
    o.intWork0 += 1;
    if (o.intWork0 > 16 && o.intWork0 % ComputeFireIntervalMildRank(35, o.rank) ==
                               ComputeFireIntervalMildRank(7, o.rank)) {
      OpenerVolley(o);
      o.intWork1 += 1;
    }
  }
  // The swing between the bounds, its sign the way it goes.
  if (o.realWork1 >= 0) {
    o.vy = ApproachValue(o.vy, 0.2, 1.2);
    o.realWork0 += o.vy;
    if (o.realWork1 < o.realWork0) o.realWork1 = -std::fabs(o.realWork1);
  } else {
    o.vy = ApproachValue(o.vy, 0.2, -1.2);
    o.realWork0 += o.vy;
    if (o.realWork0 < o.realWork1) o.realWork1 = std::fabs(o.realWork1);
  }
}

}  // namespace

void UpdateStage2WingOpener(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    if (Refused(o)) return;
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(kOpenerLife);
    o.imageFrame = 0;
    o.speed = 4;
    o.airFrames = -1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 32, 0, 0);
    o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
    o.realWork0 = 0;
    o.realWork1 = o.variant >= 10 && o.variant <= 19 ? 64 : -64;
    o.despawnMarginX = 180;
    o.despawnMarginY = 120;
    o.cullMarginX = 64;
    o.cullMarginY = 48;
    o.angle = o.heading = 512;
    o.vx = -4;
    o.vy = 0;
    o.x += o.variant % 10 == 0 ? 92 : 122;
    o.y -= 20;
    AttachPart(o.partsB, 0, 3, 31, -22, 0, 0);
    o.partsB[0].variant = 0;
    AttachPart(o.partsB, 1, 3, 31, 22, 0, 0);
    o.partsB[1].variant = 1;
    o.partCountB = 2;
    return;
  }
  if (o.state == 2) {
    if (o.intWork0 == 0) {
      o.angle = static_cast<int16_t>(TurnTowardAngle(512, o.angle, 4));
      if (WorldToScreenX(o.x) < StopLine(o.variant)) {
        o.speed = ApproachValue(o.speed, 0.1, 0);
        if (o.speed == 0) o.intWork0 = 1;
      }
      o.vy = ApproachValue(o.vy, 0.2, 0);
    } else if (o.intWork0 < kLeaving) {
      Hold(o);
    } else {
      o.angle = static_cast<int16_t>(TurnTowardAngle(512, o.angle, 4));
      o.partsB[0].cue = o.partsB[1].cue = 0;
      o.speed = ApproachValue(o.speed, 0.2, 3.2);
      o.vy = ApproachValue(o.vy, 0.2, 0);
    }
    o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
    o.x += o.vx + ScrollDeltaX;
    o.y += o.vy + ScrollDeltaY;
    if (ScreenToWorldX(640) > LeaveLine(o.variant)) o.intWork0 = kLeaving;
    if (WingsGone(o)) o.state = 3;
    o.imageFrame = 0;
    return;
  }
  if (o.state == 3) {
    o.frame = 0;
    o.state = 4;
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    return;
  }
  if (o.state == 4 && o.frame > 1) o.state = 0;
}

void UpdateStage2WingOpenerWingPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                    int16_t partIndex) {
  constexpr Circle kWing[2][5] = {
      {{16, 0, 10}, {8, 24, 10}, {6, 38, 9}, {10, -26, 8}, {8, -41, -2}},
      {{16, 0, -10}, {8, 24, -10}, {6, 38, -9}, {10, -26, -8}, {8, -41, 2}}};
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  const double side = p.variant == 1 ? 1 : -1;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = p.variant;
    p.hitMode = 1;
    SetCircles(parts, partIndex, kWing[p.variant == 1 ? 1 : 0], 5);
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = 80;
    p.cullMarginY = 32;
    return;
  }
  if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    if (p.cue == 1) {
      p.offsetX = ApproachValue(p.offsetX, 1.5, 0);
      p.offsetY = ApproachValue(p.offsetY, 1.5, side * kWingOut);
    } else {
      p.offsetX = ApproachValue(p.offsetX, 3, 31);
      p.offsetY = ApproachValue(p.offsetY, 3, side * 22);
    }
    p.angle = pool[slot].angle;
  }
  if (p.state > 2) {
    p.state = 0;
    SpawnSparkBurst(p.x, p.y, 1, -1);
  }
}
