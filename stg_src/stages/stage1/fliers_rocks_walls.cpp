#include <cmath>
#include <cstdlib>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/enemies/part_motion.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage1/stage1.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kRockSound = 31;
constexpr int16_t kWallLandSound = 54;
constexpr int16_t kRockPuffEffect = 12;

int16_t Wrap(int a) { return static_cast<int16_t>(WrapAngle(a)); }
int16_t Turn(int target, int current, int step) {
  return static_cast<int16_t>(TurnTowardAngle(target, current, step));
}

void SetLife(EnemyObject& o, int32_t life) { o.life = o.maxLife = o.scoreBase = life; }

void SetMargins(EnemyObject& o, int32_t despawnX, int32_t despawnY, int32_t cullX, int32_t cullY) {
  o.despawnMarginX = despawnX;
  o.despawnMarginY = despawnY;
  o.cullMarginX = cullX;
  o.cullMarginY = cullY;
}

void ClearWork(EnemyObject& o) {
  o.phase = 0;
  o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
}

void SetSingleCircle(int16_t slot, int16_t size) {
  ClearEnemyHitCircles(EnemyPool1, slot);
  SetEnemyHitCircle(EnemyPool1, slot, 0, size, 0, 0);
}

// A shot-down rock: a puff of dust and the crack.
void CrumbleRock(EnemyObject& o) {
  SpawnEffect(kRockPuffEffect, o.x, o.y, 0, 0, 0);
  RequestSoundEffect(kRockSound);
  o.state = 0;
}

}  // namespace

// Cross flier (pool 1, type 10; stage 5 too). intWork0 the step: 0 brake, 1..127 fire, 128 turn
// away, above leave; intWork1 the turn between volleys (+24, or -24 with the player below);
// intWork2 the angle the cross turns to.
void UpdateStage1CrossGunner(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    SetLife(o, ScaleLifeByRank(104));
    o.imageFrame = 0;
    o.vx = o.vy = 0;
    o.speed = 4.8;
    o.heading = 512;
    o.angle = 0;
    SetSingleCircle(slot, 18);
    o.intWork0 = o.intWork1 = o.intWork2 = 0;
    SetMargins(o, 240, 240, 32, 32);
    o.probeOffset = 0;
    o.x += 20;
    o.y += GetVariantYShift(o.variant);
    return;
  }
  if (o.state == 3) {
    SpawnSparkBurst(o.x, o.y, 1, -1);
    o.state = 0;
    return;
  }
  if (o.state != 2) return;
  const double oldX = o.x, oldY = o.y;
  o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
  o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
  o.x += o.vx + ScrollDeltaX;
  o.y += o.vy + ScrollDeltaY;
  if (o.intWork0 == 0) {
    if (WorldToScreenX(o.x) < 640) {
      o.speed = ApproachValue(o.speed, 0.1, 0);
      if (o.speed == 0) o.intWork0 = 1;
    }
    o.intWork1 = PlayerY <= o.y ? 24 : -24;
  } else if (o.intWork0 < 128) {
    if (o.frame % 3 == 0 && o.imageFrame < 5) o.imageFrame += 1;
    if (o.imageFrame == 5 &&
        o.frame % ComputeFireInterval(16, o.rank) == ComputeFireInterval(8, o.rank)) {
      constexpr double kArms[4][2] = {{28, 0}, {0, 28}, {-28, 0}, {0, -28}};
      for (int k = 0; k < 4; ++k) {
        SpawnEnemyShot(1, Wrap(o.angle + 256 * k), ScaleShotSpeed(4.2),
                       RotateOffsetX(o.x, kArms[k][0], kArms[k][1], o.angle),
                       RotateOffsetY(o.y, kArms[k][0], kArms[k][1], o.angle), 1);
      }
      o.intWork2 = Wrap(o.angle + o.intWork1);
    }
    o.intWork0 += 1;
    o.angle = Turn(o.intWork2, o.angle, 4);
  } else if (o.intWork0 == 128) {
    o.intWork0 = 129;
    o.heading = o.intWork1 < 0 ? 896 : 128;
  } else {
    if (o.frame % 3 == 0 && o.imageFrame > 0) o.imageFrame -= 1;
    o.speed = ApproachValue(o.speed, 0.2, 6.4);
  }
  if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0) o.state = 3;
}

// Mortar walker (pool 1, type 11). intWork0 the fire counter (0 idle, 1.. a salvo); intWork1 the
// walk-off direction (0 not chosen, 1 left, 2 right); intWork2 the shells of this salvo;
// realWork0 the x it keeps to, 240 px off the player. Its angle is the gun's.
namespace {

constexpr int32_t kWalkFrames = 600;
constexpr int32_t kAimFrames = 40;

int16_t GunRest(const EnemyObject& o) { return o.facing == 0 ? 512 : 0; }

// The gun kept in the half the walker faces.
void MirrorGun(EnemyObject& o) {
  const int a = o.angle;
  if ((o.facing == 2 && a > 256 && a < 768) || (o.facing == 0 && (a > 768 || a < 256))) {
    o.angle = Wrap(512 - a);
  }
}

void SetUpMortarWalker(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  o.state = 2;
  SetLife(o, ScaleLifeByRank(48));
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = 2.4;
  o.airFrames = 0;
  o.heading = 0;
  SetSingleCircle(slot, 24);
  ClearWork(o);
  o.realWork0 = 0;
  SetMargins(o, 120, 600, 48, 48);
  o.probeOffset = 32;
  o.x = o.x >= ScreenToWorldX(320) ? ScreenToWorldX(640) + 30 : ScreenToWorldX(0) - 30;
  DropOntoGround(o.x, &o.y, 32);
  AttachPart(o.partsA, 0, 5, 0, 0, 256, 0);
  AttachPart(o.partsB, 0, 5, 0, 0, 768, 0);
  o.partsB[0].sideFlag = 1;
  o.partCountA = 1;
  o.partCountB = 1;
}

void StepMortarWalker(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.intWork0 < 1 && o.angle == GunRest(o)) LeanTowardPlayer(EnemyPool1, slot);
  if (o.frame % 8 == 1) o.realWork0 = PlayerX > ScreenToWorldX(320) ? PlayerX - 240 : PlayerX + 240;
  double target;
  if (o.intWork0 >= 1) {
    target = 0;
  } else if (o.frame <= kWalkFrames) {
    target = std::abs(o.x - o.realWork0) < 40 ? 0 : o.realWork0 < o.x ? -2 : 2;
  } else {
    if (o.intWork1 == 0) o.intWork1 = o.x > ScreenToWorldX(320) ? 1 : 2;
    target = o.intWork1 == 1 ? -2 : 2;
  }
  o.speed = ApproachValue(o.speed, 0.4, target);
  StopAtTurnMarker(EnemyPool1, slot, 0, 0);
  if (o.frame % ComputeFireInterval(200, o.rank) == ComputeFireInterval(80, o.rank) &&
      (o.facing == 0 || o.facing == 2)) {
    o.intWork0 = 1;  // a trigger during a salvo restarts its aim, keeping the shells fired
  }
  if (o.intWork0 < 1) {
    o.intWork2 = 0;
    o.angle = Turn(GunRest(o), o.angle, 8);
    MirrorGun(o);
  } else {
    o.intWork0 += 1;
    MirrorGun(o);
    const int16_t aim = o.facing == 0 ? 704 : o.facing == 2 ? 832 : 0;
    if (o.intWork0 < kAimFrames) {
      o.angle = Turn(aim, o.angle, 8);
    } else if (o.intWork0 % 8 == 0) {
      o.intWork2 += 1;
      const double s = o.facing == 0 ? 8 : -8;
      SpawnPool2Enemy(RotateOffsetX(o.x, 40, s, o.angle), RotateOffsetY(o.y, 40, s, o.angle), 3,
                      o.angle);
    }
    if (o.intWork2 >= 8 + 2 * Difficulty) o.intWork0 = 0;
  }
  StepFloorWalker(EnemyPool1, slot, o.speed, 0);
  if (o.facing == 1) o.angle = 0;
  o.drawOffsetY = static_cast<int16_t>(std::abs(4 * CosineTable[WrapAngle(o.partsB[0].baseAngle)]));
}

}  // namespace

void UpdateStage1MortarWalker(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    SetUpMortarWalker(slot);
  } else if (o.state == 2) {
    StepMortarWalker(slot);
  } else if (o.state == 3) {
    SpawnSparkBurst(o.x, o.y, 1, -1);
    RequestSoundEffect(kRockSound);
    o.state = 0;
  }
}

void UpdateStage1MortarWalkerPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex) {
  if (parts[partIndex].state == 1) parts[partIndex].cullMarginX = parts[partIndex].cullMarginY = 32;
  UpdateRollingLegPart(pool, slot, parts, partIndex, 4, 10, false, false);
}

// Large rock (type 12): cannot be shot down; the boss's ram bursts it into ten thrown rocks and
// shakes the screen.
namespace {

struct ThrownRock {
  double dx, dy;
  int16_t type;
  int16_t angle;
};
constexpr ThrownRock kBurst[10] = {
    {-16, 0, 13, 832}, {0, -16, 13, 896}, {16, 0, 14, 840}, {0, 16, 14, 780},  {16, 0, 14, 856},
    {0, -16, 13, 816}, {-16, 0, 13, 880}, {0, 16, 14, 824}, {-16, 0, 14, 764}, {0, -16, 14, 840},
};
constexpr int16_t kBurstShake = 64;

}  // namespace

void UpdateStage1IwaL(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    SetLife(o, -1);
    o.imageFrame = 0;
    o.vx = o.vy = o.speed = 0;
    o.heading = 0;
    o.angle = o.variant == 1 ? 0 : 512;
    SetSingleCircle(slot, 30);
    o.hitMode = 1;
    ClearWork(o);
    SetMargins(o, 80, 320, 32, 40);
    o.solid = 1;
    o.x += 22;
    return;
  }
  if (o.state == 2) {
    if (o.hitMode > 0) MarkSolidEnemyPresent();
    return;
  }
  if (o.state == 3) {
    const double x = o.x, y = o.y;
    SpawnBak10Explosion(x, y);
    SpawnBak11Explosion(x, y - 80);
    SpawnBak11Explosion(x, y + 80);
    RequestSoundEffect(kRockSound);
    o.state = 0;
    for (const ThrownRock& r : kBurst) SpawnPool1Enemy(x + r.dx, y + r.dy, r.type, r.angle, -1, 0);
    StartScreenShake(kBurstShake);
  }
}

// Thrown rocks (13, 14): fly through the world, not with the screen, faster across than their
// launch speed says, and fall.
namespace {

void UpdateThrownRock(int16_t slot, double speed, int32_t cull) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    SetLife(o, ScaleLifeByRank(9));
    o.imageFrame = 0;
    o.speed = speed;
    o.heading = o.angle;
    o.angle = 0;
    SetSingleCircle(slot, 11);
    o.hitMode = 1;
    SetMargins(o, 40, 40, cull, cull);
    o.vx = 1.5 * speed * CosineTable[WrapAngle(o.heading)];
    o.vy = speed * SineTable[WrapAngle(o.heading)];
    return;
  }
  if (o.state == 2) {
    o.vy += 0.15;
    o.x += o.vx;
    o.y += o.vy;
  } else if (o.state == 3) {
    CrumbleRock(o);
  }
}

// Ceiling rocks (15..17) hang until the screen shakes. intWork1 counts the frames since the
// shake for types 16 and 17; fallDelay 0 falls during the shake itself.
void UpdateCeilingRock(int16_t slot, int32_t fallDelay) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    SetLife(o, ScaleLifeByRank(9));
    o.imageFrame = 0;
    o.angle = o.heading = 0;
    SetSingleCircle(slot, 11);
    o.hitMode = 1;
    ClearWork(o);
    SetMargins(o, 40, 40, 16, 16);
    o.vx = o.vy = 0;
    return;
  }
  if (o.state == 3) {
    CrumbleRock(o);
    return;
  }
  if (o.state != 2) return;
  if (fallDelay == 0) {
    if (ScreenShake.amplitude > 0) o.vy += 0.15;
  } else {
    if (ScreenShake.amplitude > 0) o.intWork1 = 1;
    if (o.intWork1 > 0) o.intWork1 += 1;
    if (o.intWork1 > fallDelay) o.vy += 0.15;
  }
  o.x += o.vx;
  o.y += o.vy;
}

}  // namespace

void UpdateStage1IwaM(int16_t slot) { UpdateThrownRock(slot, 4.8, 24); }
void UpdateStage1IwaS1(int16_t slot) { UpdateThrownRock(slot, 6.4, 16); }
void UpdateStage1CeilingIwaS1(int16_t slot) { UpdateCeilingRock(slot, 0); }
void UpdateStage1CeilingIwaS2(int16_t slot) { UpdateCeilingRock(slot, 20); }
void UpdateStage1CeilingIwaS3(int16_t slot) { UpdateCeilingRock(slot, 40); }

// Waypoint (type 18; stage 5 too): invisible and inert, only solid, so that the stage-1 boss
// meets it. Its variant is the boss's route command (a heading on stage 5), kept as the map gave
// it.
void UpdateStage1BossWaypoint(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    SetLife(o, -1);
    o.imageFrame = -1;
    o.vx = o.vy = 0;
    SetSingleCircle(slot, 30);
    o.hitMode = 0;
    ClearWork(o);
    SetMargins(o, 40, 40, 0, 0);
    o.solid = 1;
    return;
  }
  if (o.state == 2) {
    MarkSolidEnemyPresent();
  } else if (o.state >= 3) {
    o.state = 0;
  }
}

// Wall (type 19): three stacked segments with a core and two cannons on the top one. Only the
// core can be shot; its loss blows the bottom segment and drops the rest onto its place.
namespace {

constexpr int16_t kWallCoreSlot = 5;
constexpr int16_t kWallTopSlot = 4;
constexpr double kWallDrop = 60;
constexpr double kWallFallStep = 0.01875;

struct WallPart {
  bool front;
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t parent;  // -1 the wall object
  int16_t variant;
};
constexpr WallPart kWallParts[] = {
    {false, 0, 7, 0, 0, 0, -1, 3},
    {true, 0, 12, -56, 0, 512, kWallTopSlot, 0},
    {true, 1, 12, 56, 0, 0, kWallTopSlot, 1},
    {true, 2, 7, 0, 0, 0, -1, 0},
    {true, 3, 7, 0, -90, 0, -1, 1},
    {true, 4, 7, 0, -180, 0, -1, 2},
    {true, 5, 6, -35, 0, 0, -1, 0},
};

struct SegmentShape {
  int32_t cullX, cullY;
  int16_t halfWidth, halfHeight;  // 0: no box
};
// By variant: bottom, middle, top, rear piece.
constexpr SegmentShape kSegments[4] = {
    {40, 50, 35, 50}, {60, 60, 35, 60}, {60, 30, 56, 30}, {40, 50, 0, 0}};

}  // namespace

void UpdateStage1Kabe(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    SetLife(o, -1);
    o.imageFrame = -1;
    o.vx = o.vy = 0;
    ClearEnemyHitCircles(EnemyPool1, slot);
    o.hitMode = 0;
    ClearWork(o);
    SetMargins(o, 120, 120, 0, 0);
    o.solid = 1;
    for (const WallPart& w : kWallParts) {
      EnemyPart* parts = w.front ? o.partsB : o.partsA;
      AttachPart(parts, w.slot, w.type, w.dx, w.dy, w.angle, 0);
      parts[w.slot].parentPart = w.parent;
      parts[w.slot].variant = w.variant;
    }
    o.partCountA = 1;
    o.partCountB = 6;
    o.x += 60;
    o.y -= 10;
  } else if (o.state >= 3) {
    o.state = 0;
  }
}

// Wall segment (part 7). work0 the core-gone count (0 while the core stands); startX the offset
// it lands at, startY its fall speed.
void UpdateStage1KabePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = p.variant;
    p.startX = p.offsetY + kWallDrop;
    p.startY = 0;
    ClearPartHitCircles(parts, partIndex);
    const SegmentShape& shape = kSegments[p.variant >= 0 && p.variant < 4 ? p.variant : 3];
    p.cullMarginX = shape.cullX;
    p.cullMarginY = shape.cullY;
    if (shape.halfWidth > 0) {
      SetSolidPartBox(parts, partIndex, shape.halfWidth, shape.halfHeight);
    } else {
      p.hitMode = 0;
    }
    p.cue = p.work0 = p.work1 = 0;
    return;
  }
  if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    if (p.state != 2) return;
    MarkSolidPartPresent();
    const int32_t coreState = parts[kWallCoreSlot].state;
    if (p.work0 == 0 && coreState != 1 && coreState != 2) {
      p.work0 = 1;
      if (p.imageFrame == 0) p.state = 3;
    }
    if (p.work0 > 0 && p.imageFrame < 3) {
      p.work0 = static_cast<int16_t>(p.work0 + 1);
      const int16_t wait = Difficulty >= 2 ? 96 : 192;
      if (p.work0 > wait && p.offsetY < p.startX) {
        p.offsetY += p.startY;
        p.startY += kWallFallStep;
        if (p.offsetY >= p.startX) {
          p.offsetY = p.startX;
          RequestSoundEffect(kWallLandSound);
        }
      }
    }
  }
  if (p.state == 3) {
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    p.state = 0;
  }
}

// Wall core (part 6): the one part of the wall a shot can harm.
void UpdateStage1KabeCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(295);
    p.imageFrame = 0;
    p.hitMode = 1;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 20, 0, 0);
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = 20;
    p.cullMarginY = 30;
    return;
  }
  if (p.state == 2) FollowParentObject(pool, slot, parts, partIndex, 1);
  if (p.state == 3) {
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    p.state = 0;
  }
}

// Wall cannon (part 12) on the top segment. cue 0 aims; 1.. a burst of five, holding its aim.
void UpdateStage1KabeHouPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& wall = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(28);
    p.imageFrame = 0;
    p.hitMode = 1;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 10, 0, 0);
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 20;
    return;
  }
  if (p.state == 2) { FollowParentPart(parts, p.parentPart, parts, partIndex); }
  if (p.state > 2) {
    SpawnSparkBurst(p.x, p.y, 1, -1);
    p.state = 0;
    return;
  }
  if (p.state != 2) return;
  const bool left = p.variant == 0;
  const int16_t a = ClampAngleToArc(static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY)),
                                    left ? 448 : 960, left ? 576 : 64, wall.angle);
  if (p.counter % ComputeFireInterval(60, wall.rank) == ComputeFireInterval(30, wall.rank)) {
    p.cue = static_cast<int16_t>(p.cue + 1);
  }
  if (p.cue <= 0) {
    p.angle = Turn(a, p.angle, 4);
    return;
  }
  p.cue = static_cast<int16_t>(p.cue + 1);
  if (p.cue % 4 == 0 && IsHarderThanEasy()) {
    SpawnEnemyShot(1, p.angle, ScaleShotSpeed(4), RotateOffsetX(p.x, 17, 0, p.angle),
                   RotateOffsetY(p.y, 17, 0, p.angle), 1);
  }
  if (p.cue > 20) p.cue = 0;
}
