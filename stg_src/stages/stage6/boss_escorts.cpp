#include <cmath>
#include <initializer_list>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/stages/stage6/boss_layout.h"
#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

// The boss's escorts. The orbit carrier (pool 0, type 14) holds four guns on a breathing ring at
// screen (180, 200) and leaves when the hulls are gone; words: phase -1 waiting for the scroll
// to stop, then the turning direction (0 positive, 1 negative); intWork0 the turn rate r;
// intWork1 1 while r ramps up; realWork0 the ring radius (80..180) and realWork1 its step. Gun
// words: work0 0 alive, counting down from -1 while destroyed; work1 the ring volley's interval
// base; startX the frames since the last ring. The floor and ceiling gunners (types 15, 16)
// patrol an edge and fire turning shots until the inner shell breaks; words: phase above 0
// firing, realWork0 the next shot speed, realWork1 the patrol speed.

using namespace stage6_boss;

namespace {

constexpr double kCarrierScreenX = 180;
constexpr double kCarrierScreenY = 200;
constexpr double kRingMin = 80;
constexpr double kRingMax = 180;
constexpr double kRingStep = 0.25;
constexpr double kRingOpenBelow = 125;
constexpr double kRingCloseAbove = 130;
constexpr int32_t kGunLife = 1600;
constexpr int16_t kFirstRingBase = 128;
constexpr int16_t kRevivedRingBase = 96;
constexpr int16_t kLeastRingBase = 64;
constexpr int16_t kReviveAfter = -90;
constexpr int16_t kRingShot = 3;
constexpr int16_t kTurretShot = 1;
constexpr int16_t kTurningShot = 26;

struct PartRow {
  int slot;
  double dx;
  int16_t angle;
  int16_t parent;
};
constexpr PartRow kCarrierParts[] = {
    {0, 180, 0, -1}, {1, -180, 0, -1}, {2, 0, 512, 0}, {3, 0, 0, 1}};

void SetUpCarrier(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = -1;
  o.vx = o.vy = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  o.hitMode = 0;
  o.phase = -1;
  o.intWork0 = -3;
  o.intWork1 = o.intWork2 = 0;
  o.realWork0 = kRingMin;
  o.realWork1 = kRingStep;
  o.despawnMarginX = o.despawnMarginY = 160;
  o.cullMarginX = o.cullMarginY = 0;
  for (const PartRow& r : kCarrierParts) {
    AttachPart(o.partsB, r.slot, 24, r.dx, 0, r.angle, 0);
    o.partsB[r.slot].parentPart = r.parent;
  }
  o.partCountA = 0;
  o.partCountB = 4;
  o.x = ScreenToWorldX(kCarrierScreenX);
  o.y = ScreenToWorldY(kCarrierScreenY);
  o.angle = 0;
}

void TurnCarrier(EnemyObject& o) {
  const int s = o.phase == 0 ? 1 : -1;
  const int32_t r = o.intWork0;
  if (r < 0) {
    o.angle = static_cast<int16_t>(WrapAngle(o.angle + s * -r));
  } else if (r < 30 && o.frame % (r + 1) != 0) {
    o.angle = static_cast<int16_t>(WrapAngle(o.angle + s));
  }
  // Every 800 frames the rate ramps up to 32, the direction flips, and it ramps back to -3.
  if (o.frame % 800 == 0) o.intWork1 = 1;
  if (o.intWork1 == 1) {
    if (o.frame % 8 == 0 && o.intWork0 < 32) o.intWork0 += 1;
    if (o.intWork0 == 32) {
      o.intWork1 = 0;
      o.phase = o.phase == 0 ? 1 : 0;
    }
  } else if (o.frame % 8 == 0 && o.intWork0 > -3) {
    o.intWork0 -= 1;
  }
}

void StepCarrier(EnemyObject& o) {
  o.x = ScreenToWorldX(kCarrierScreenX);
  o.y = ScreenToWorldY(kCarrierScreenY);
  o.realWork0 += o.realWork1;
  if (o.realWork0 > kRingMax) {
    o.realWork0 = kRingMax;
    o.realWork1 = -kRingStep;
  } else if (o.realWork0 < kRingMin) {
    o.realWork0 = kRingMin;
    o.realWork1 = kRingStep;
  }
  if (o.phase == -1) {
    if (ScrollTargetSpeed == 0) o.phase = 0;
    return;
  }
  TurnCarrier(o);
  if (StageWork[kHullsStandWork] == 0) o.state = 3;
}

void ReviveGun(EnemyPart& p, bool body, bool facesLeft) {
  p.blend = 0;
  p.imageFrame = body ? 0 : 5;
  p.cue = p.work0 = 0;
  p.work1 = kRevivedRingBase;
  p.state = 2;
  p.life = p.maxLife = ScaleLifeByRank(kGunLife);
  p.counter = 0;
  p.startX = 0;
  p.angle = facesLeft ? 512 : 0;
}

void PlaceGun(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t j, bool body) {
  if (body) {
    PlacePartOnObject(pool, slot, parts, j, 0);
  } else {
    parts[j].x = parts[parts[j].parentPart].x;
    parts[j].y = parts[parts[j].parentPart].y;
  }
}

void FireRing(const EnemyPart& p) {
  constexpr int kRing[8][2] = {{69, 0},  {50, 50},   {0, 69},  {-50, 50},
                               {-69, 0}, {-50, -50}, {0, -69}, {50, -50}};
  for (int k = 0; k < 8; ++k) {
    SpawnEnemyShot(kRingShot, static_cast<int16_t>(128 * k), ScaleShotSpeed(2.5), p.x + kRing[k][0],
                   p.y + kRing[k][1], 1);
  }
}

void StepGunBody(EnemyPart& p, const EnemyObject& carrier) {
  if (p.imageFrame > 3) p.imageFrame = 0;
  p.startX += 1;
  if (p.counter % 80 != 0 && p.work1 > kLeastRingBase) p.work1 = static_cast<int16_t>(p.work1 - 1);
  if (carrier.realWork0 < kRingOpenBelow) {
    if (p.counter % 4 == 0 && p.imageFrame > 0) p.imageFrame -= 1;
    if (ComputeFireInterval(p.work1, carrier.rank) <= p.startX && p.imageFrame == 0) {
      FireRing(p);
      p.startX = 0;
    }
  }
  if (carrier.realWork0 > kRingCloseAbove && p.counter % 4 == 0 && p.imageFrame < 3) {
    p.imageFrame += 1;
  }
}

void StepTurret(EnemyPart& p, const EnemyObject& carrier) {
  if (p.imageFrame > 8) p.imageFrame = 5;
  if (carrier.realWork0 < kRingOpenBelow && p.counter % 4 == 0 && p.imageFrame > 5) {
    p.imageFrame -= 1;
  }
  if (carrier.realWork0 <= kRingCloseAbove) return;
  if (p.counter % 4 == 0 && p.imageFrame < 8) p.imageFrame += 1;
  if (p.counter % ComputeFireIntervalFlat(12, carrier.rank) ==
          ComputeFireIntervalFlat(4, carrier.rank) &&
      p.imageFrame == 8) {
    for (int dy : {-20, 20}) {
      SpawnEnemyShot(kTurretShot, p.angle, ScaleShotSpeed(3), RotateOffsetX(p.x, 0, dy, p.angle),
                     RotateOffsetY(p.y, 0, dy, p.angle), 1);
    }
  }
}

// One table row of a gunner: the floor's or the ceiling's.
struct GunnerKind {
  int16_t angle;
  double startX, startY;
  double restY;
  double patrol;
  int16_t volleyBase;
  int16_t shotBase;
  double shotDy;
};
constexpr GunnerKind kFloorGunner = {0, 300, 432, 368, -3, 200, 20, -10};
constexpr GunnerKind kCeilingGunner = {512, 0, -32, 32, 5, 150, 15, 10};

void SetUpGunner(int16_t slot, const GunnerKind& k) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = -1;
  o.scoreBase = 0;
  o.imageFrame = 0;
  o.vx = o.vy = o.speed = 0;
  o.airFrames = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 33, -15, 26);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 28, -36, 40);
  SetEnemyHitCircle(EnemyPool0, slot, 2, 33, 15, 26);
  SetEnemyHitCircle(EnemyPool0, slot, 3, 28, 36, 40);
  o.hitMode = 1;
  o.phase = 0;
  o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
  o.realWork0 = 4;
  o.realWork1 = k.patrol;
  o.despawnMarginX = 160;
  o.despawnMarginY = 80;
  o.cullMarginX = 64;
  o.cullMarginY = 32;
  o.angle = o.heading = k.angle;
  o.x = ScreenToWorldX(k.startX);
  o.y = ScreenToWorldY(k.startY);
  o.partCountA = o.partCountB = 0;
}

void PatrolOrFire(EnemyObject& o, const GunnerKind& k) {
  if (o.phase <= 0) {
    if (o.frame % 4 == 0 && o.imageFrame > 0) o.imageFrame -= 1;
    o.x += o.realWork1;
    if (o.frame % ComputeFireIntervalWeakRank(k.volleyBase, o.rank) ==
        ComputeFireIntervalWeakRank(40, o.rank)) {
      o.phase = 80;
      o.realWork0 = 4;
    }
  } else {
    o.x += o.realWork1 / 2;
    if (o.frame % 4 == 0 && o.imageFrame < 3) o.imageFrame += 1;
    if (o.imageFrame == 3 && o.frame % ComputeFireIntervalMildRank(k.shotBase, o.rank) == 0) {
      SpawnEnemyShot(kTurningShot, k.angle == 0 ? 768 : 256, ScaleShotSpeed(o.realWork0), o.x,
                     o.y + k.shotDy, 1);
      o.realWork0 -= 0.8;
    }
    if (o.realWork0 < 1.6) o.phase = 0;
  }
  const double sx = WorldToScreenX(o.x);
  if (sx > 450 || sx < 0) {
    o.x = ScreenToWorldX(sx > 450 ? 450 : 0);
    o.realWork1 = -o.realWork1;
  }
}

void UpdateGunner(int16_t slot, const GunnerKind& k) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpGunner(slot, k);
    return;
  }
  if (o.state == 2) {
    const double sy = WorldToScreenY(o.y);
    if (sy != k.restY) {
      const double next = sy < k.restY ? std::fmin(sy + 1, k.restY) : std::fmax(sy - 1, k.restY);
      o.y = ScreenToWorldY(next);
      if (o.phase > 0) o.phase = 0;
    } else {
      PatrolOrFire(o, k);
    }
    if (StageWork[kGunnersWork] == 0) o.state = 3;
  }
  if (o.state >= 3) {
    SpawnLargeExplosion(o.x, o.y, 1, -1);
    o.state = 0;
  }
}

}  // namespace

void UpdateStage6OrbitCarrier(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpCarrier(slot);
  } else if (o.state == 2) {
    StepCarrier(o);
  } else if (o.state == 3) {
    o.frame = 1;  // still and inert until the pool drops it off screen
  } else if (o.frame > 2) {
    o.state = 0;
  }
}

void UpdateStage6OrbitGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& carrier = pool[slot];
  const bool body = p.parentPart < 0;
  const bool facesLeft = partIndex == 2;
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kGunLife);
    p.imageFrame = body ? 0 : 5;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 55, 0, 0);
    p.hitMode = 0;
    p.cue = p.work0 = 0;
    p.work1 = kFirstRingBase;
    p.angle = facesLeft ? 512 : 0;
    p.blend = 0;
    p.startX = 0;
    p.cullMarginX = p.cullMarginY = 80;
    return;
  }
  if (p.state == 2) {
    PlaceGun(pool, slot, parts, partIndex, body);
    if (!body) {
      if (parts[p.parentPart].state == 3) p.state = 3;
      p.angle = static_cast<int16_t>(WrapAngle((facesLeft ? 512 : 1024) - carrier.angle));
    }
    p.offsetX = partIndex == 0 ? carrier.realWork0 : -carrier.realWork0;
    if (carrier.state > 2) p.state = 4;
  }
  if (p.state == 2) {
    // Fading in; a body can be shot from the frame it is fully there, a turret never.
    if (p.blend <= 255) {
      p.blend = static_cast<int16_t>(p.blend + 2);
      if (p.blend == 256 && body) p.hitMode = 1;
      if (p.blend <= 255) return;
    }
    if (body) {
      StepGunBody(p, carrier);
    } else {
      StepTurret(p, carrier);
    }
    return;
  }
  if (p.state == 3) {
    if (p.work0 == 0) {
      if (body) {
        SpawnLargeExplosion(p.x, p.y, 1, -1);
        p.imageFrame = 4;
      }
      p.work0 = -1;
    }
    PlaceGun(pool, slot, parts, partIndex, body);
    p.hitMode = 0;
    p.work0 = static_cast<int16_t>(p.work0 - 1);
    if (p.work0 < kReviveAfter) ReviveGun(p, body, facesLeft);
    return;
  }
  if (body) SpawnLargeExplosion(p.x, p.y, 1, -1);
  p.state = 0;
}

void UpdateStage6FloorGunner(int16_t slot) { UpdateGunner(slot, kFloorGunner); }
void UpdateStage6CeilingGunner(int16_t slot) { UpdateGunner(slot, kCeilingGunner); }
