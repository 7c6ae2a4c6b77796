#include <cstdlib>
#include <initializer_list>
#include <iterator>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage2/stage2.h"

#include "stg_src/game/deterministic.h"

// The drifting hazards (pool 1): rocks (types 12-17), ions (18) and the rock wall (19) with its
// masses (part type 9) and their cores and cannons (part type 10).
// Rock words: heading and speed the drift; angle the drawn spin; intWork0 the terrain-bounce
// cooldown; intWork1 a second cooldown that the rock-to-rock test reads on the other object.
// Ion words: heading and speed; intWork0 the fade level (0, 4, 8, 12).
// Rock mass: offsetY its place in the band; cue 8 on wrapping, then counting down.
// Core or cannon: work0 the cannon's burst count; cue the parent's cue while destroyed.

namespace {

constexpr int32_t kIonLife = 5;
constexpr double kIonSpeed = 2.5;
constexpr int16_t kIonRadius = 12;
constexpr int32_t kIonTopFade = 12;
constexpr int16_t kTerrainCooldown = 16;
constexpr int32_t kRockBounceAge = 32;
constexpr int16_t kRockSound = 31;
constexpr int kRockPuffEffect = 12;
constexpr int32_t kWallCoreLife = 160;
constexpr double kBandHalf = 300;
constexpr int16_t kWrapCue = 8;
constexpr int16_t kRegrowCue = 6;

struct RockKind {
  int32_t life;
  double speed;
  int16_t radius;
  int32_t cull;
};
constexpr RockKind kLargeRock = {45, 0.8, 25, 32};
constexpr RockKind kMediumRock = {36, 1.0, 16, 24};
constexpr RockKind kSmallRock = {27, 1.2, 8, 16};

const RockKind& KindOf(int32_t type) {
  return type == 12 ? kLargeRock : type == 13 ? kMediumRock : kSmallRock;
}

// Rocks and ions take the rank's scaling twice.
int32_t ScaleTwice(int32_t base) { return ScaleLifeByRank(ScaleLifeByRank(base)); }

void SetDrifter(EnemyObject& o, int16_t slot, int32_t life, double speed, int16_t radius,
                int32_t cull) {
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = o.scoreBase = ScaleTwice(life);
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = speed;
  o.heading = o.angle;  // the spawn angle
  o.angle = static_cast<int16_t>(LcgRandom() % 1024);
  ClearEnemyHitCircles(EnemyPool1, slot);
  SetEnemyHitCircle(EnemyPool1, slot, 0, radius, 0, 0);
  o.cullMarginX = o.cullMarginY = cull;
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.realWork0 = o.realWork1 = 0;
  o.despawnMarginX = o.despawnMarginY = 40;
}

void Drift(EnemyObject& o) {
  o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
  o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
  o.x += o.vx;
  o.y += o.vy;
}

// Four probes, left, right, top and bottom edge, each only while the earlier found nothing.
void BounceOffTerrain(EnemyObject& o, double oldX, double oldY, int16_t r) {
  int16_t surface = TestTerrainHit(o.x - r, o.y, oldX - r, oldY, 1);
  if (surface < 0) surface = TestTerrainHit(o.x + r, o.y, oldX + r, oldY, 1);
  if (surface < 0) surface = TestTerrainHit(o.x, o.y - r, oldX, oldY - r, 1);
  if (surface < 0) surface = TestTerrainHit(o.x, o.y + r, oldX, oldY + r, 1);
  if (surface < 0) return;
  o.heading = static_cast<int16_t>(ReflectAngle(o.heading, surface));
  o.intWork0 = kTerrainCooldown;
  o.x = oldX;
  o.y = oldY;
}

// One bounce a frame off the first solid pool-1 object it overlaps while closing in; both
// headings mirror about the line across the centres, and only this rock is put back.
void BounceOffSolids(int16_t slot, double oldX, double oldY, int16_t r) {
  EnemyObject& o = EnemyPool1[slot];
  for (int k = 0; k < kEnemyPool1Size; ++k) {
    EnemyObject& other = EnemyPool1[k];
    if (k == slot || other.solid == 0 || other.intWork1 >= 1 || other.state != 2) continue;
    if (!CirclesOverlap(o.x, o.y, other.x, other.y, r, other.hitCircles.size[0])) continue;
    if (SquaredDistance(oldX, oldY, other.x, other.y) <=
        SquaredDistance(o.x, o.y, other.x, other.y)) {
      continue;  // moving apart
    }
    int a = WrapAngle(AimAngle(o.x, o.y, other.x, other.y) + 256);
    if (a > 256 && a < 768) a = WrapAngle(a + 512);
    if (a == 768) a = 256;
    o.heading = static_cast<int16_t>(ReflectAngle(o.heading, a));
    other.heading = static_cast<int16_t>(ReflectAngle(other.heading, a));
    o.x = oldX;
    o.y = oldY;
    return;
  }
}

struct Piece {
  int16_t type;
  double dx, dy;
  int16_t turn;  // added to the broken rock's heading
};
constexpr Piece kLargePieces[] = {{13, -8, -8, 640}, {14, 16, 0, 0}, {15, 0, 16, 256}};
constexpr Piece kMediumPieces[] = {{16, 8, -8, 896}, {17, -8, 8, 384}};

// From the broken rock's place and heading, taken before the first piece may reuse its slot.
void SpawnPieces(double x, double y, int16_t h, const Piece* pieces, int n) {
  for (int k = 0; k < n; ++k) {
    const Piece& p = pieces[k];
    SpawnPool1Enemy(RotateOffsetX(x, p.dx, p.dy, h), RotateOffsetY(y, p.dx, p.dy, h), p.type,
                    static_cast<int16_t>(WrapAngle(h + p.turn)), -1, 1);
  }
}

void BreakRock(EnemyObject& o) {
  o.state = 0;
  const double x = o.x, y = o.y;
  const int16_t h = o.heading;
  if (o.type == 12) {
    SpawnBak10Explosion(x, y);
    SpawnPieces(x, y, h, kLargePieces, static_cast<int>(std::size(kLargePieces)));
  } else if (o.type == 13) {
    SpawnBak11Explosion(x, y);
    SpawnPieces(x, y, h, kMediumPieces, static_cast<int>(std::size(kMediumPieces)));
  } else {
    SpawnEffect(kRockPuffEffect, x, y, 0, 0, 0);
    RequestSoundEffect(kRockSound);
  }
}

int16_t ClockImageStep() { return static_cast<int16_t>(GameFrame / 2 % 4); }

}  // namespace

void UpdateStage2Iwa(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  const RockKind& kind = KindOf(o.type);
  if (o.state == 1) {
    SetDrifter(o, slot, kind.life, kind.speed, kind.radius, kind.cull);
    o.hitMode = 1;
    o.solid = 1;
    return;
  }
  if (o.state == 2) {
    if (o.hitMode > 0) MarkSolidEnemyPresent();
    const double oldX = o.x, oldY = o.y;
    Drift(o);
    o.angle = static_cast<int16_t>(WrapAngle(o.angle + 1));
    if (o.intWork0 > 0) o.intWork0 -= 1;
    if (o.intWork1 > 0) o.intWork1 -= 1;
    if (o.intWork0 == 0) BounceOffTerrain(o, oldX, oldY, kind.radius);
    if (o.intWork1 == 0 && o.frame > kRockBounceAge && SolidEnemyTimer > 0) {
      BounceOffSolids(slot, oldX, oldY, kind.radius);
    }
    return;
  }
  if (o.state == 3) BreakRock(o);
}

void UpdateStage2IwaPiece(int16_t slot) { UpdateStage2Iwa(slot); }

void UpdateStage2Ion(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    if (BossState != 0) {  // no ions during a boss fight
      o.state = 0;
      return;
    }
    SetDrifter(o, slot, kIonLife, kIonSpeed, kIonRadius, 16);
    o.hitMode = 0;  // harmless while it fades in
    o.blend = 511;
    return;
  }
  if (o.state == 2) {
    if (o.frame > 0 && o.frame % 3 == 0 && o.intWork0 < kIonTopFade) o.intWork0 += 4;
    if (o.intWork0 == kIonTopFade) o.hitMode = 1;
    o.imageFrame = ClockImageStep() + o.intWork0;
    const double oldX = o.x, oldY = o.y;
    Drift(o);
    o.angle = 0;
    if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0 || IsPointInSolidPart(o.x, o.y, 1, -1) ||
        BossState != 0) {
      o.state = 3;
    }
    return;
  }
  if (o.state == 3) {
    o.frame = 0;
    o.state = 4;
  }
  if (o.state == 4) {
    // Fades out over 8 frames without a blast.
    if (o.frame > 0 && o.frame % 2 == 0) o.intWork0 -= 4;
    if (o.intWork0 < 0) {
      o.state = 0;
      return;
    }
    o.imageFrame = ClockImageStep() + o.intWork0;
  }
}

namespace {

struct WallSlot {
  int slot;
  double dx, dy;
  int16_t angle;
  int16_t parent;
  int32_t type;
  int16_t variant;
};
constexpr WallSlot kWallParts[] = {
    {0, 0, -150, 0, -1, 9, 0},  {1, 0, 150, 0, -1, 9, 0}, {2, 40, 0, 0, 0, 10, 0},
    {3, -40, 0, 512, 0, 10, 2}, {4, 40, 0, 0, 1, 10, 0},  {5, -40, 0, 512, 1, 10, 2},
    {6, 0, 0, 0, 2, 10, 1},     {7, 0, 0, 512, 3, 10, 3}, {8, 0, 0, 0, 4, 10, 1},
    {9, 0, 0, 512, 5, 10, 3},
};

// The masses' speed a frame by the wall's variant: 0 up, 1 down, 2 fast up, 3 fast down.
constexpr double kMassSpeed[4] = {-0.8, 0.8, -1.6, 1.6};
constexpr double kMassSpeedHard[4] = {-1.2, 1.2, -1.8, 1.8};

}  // namespace

void UpdateStage2IwaKabe(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = -1;
    o.imageFrame = -1;
    o.vx = o.vy = 0;
    ClearEnemyHitCircles(EnemyPool1, slot);
    o.hitMode = 0;
    o.phase = 0;
    o.intWork0 = o.intWork1 = 0;
    o.realWork0 = o.realWork1 = 0;
    o.despawnMarginX = o.despawnMarginY = 160;
    o.cullMarginX = o.cullMarginY = 0;
    o.solid = 1;
    for (const WallSlot& w : kWallParts) {
      AttachPart(o.partsB, w.slot, w.type, w.dx, w.dy, w.angle, 0);
      o.partsB[w.slot].variant = w.variant;
      o.partsB[w.slot].parentPart = w.parent;
    }
    o.partCountA = 0;
    o.partCountB = static_cast<int16_t>(std::size(kWallParts));
    o.x += 60;
    o.y += 20;
    return;
  }
  if (o.state == 3) o.state = 0;
}

void UpdateStage2IwaKabePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = 0;
    p.cullMarginX = 80;
    p.cullMarginY = 100;
    ClearPartHitCircles(parts, partIndex);
    p.cue = p.work0 = p.work1 = 0;
    SetSolidPartBox(parts, partIndex, 40, 60);
    return;
  }
  if (p.state != 2) return;
  if (p.cue > 0) p.cue -= 1;
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  MarkSolidPartPresent();
  const int16_t v = pool[slot].variant;
  if (v >= 0 && v < 4) p.offsetY += GetDifficulty() < 2 ? kMassSpeed[v] : kMassSpeedHard[v];
  if (p.offsetY < -kBandHalf) {
    p.offsetY += 2 * kBandHalf;
    p.cue = kWrapCue;
  } else if (p.offsetY > kBandHalf) {
    p.offsetY -= 2 * kBandHalf;
    p.cue = kWrapCue;
  }
}

namespace {

bool IsCannon(const EnemyPart& p) { return p.variant % 2 != 0; }

void SetCoreLife(EnemyPart& p) {
  p.life = p.maxLife = ScaleLifeByRank(kWallCoreLife);
  if (IsCannon(p)) p.life = -1;  // it goes and comes back with its core
}

// Five pairs of ions, 10 frames apart, one draw a ion, the upper first.
void FireIonPair(const EnemyPart& p) {
  const bool left = p.angle != 0;
  for (const double dy : {-38.0, 38.0}) {
    const int spread = LcgRandom() % 129;
    const int angle = left ? spread + 448 : spread - 64;
    SpawnPool1Enemy(p.x + (left ? -20 : 20), p.y + dy, 18, static_cast<int16_t>(WrapAngle(angle)),
                    -1, 1);
  }
}

}  // namespace

void UpdateStage2KabeCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kWallCoreLife);
    p.imageFrame = p.variant % 2;
    p.hitMode = 1;
    ClearPartHitCircles(parts, partIndex);
    p.cue = p.work0 = p.work1 = 0;
    if (IsCannon(p)) {
      p.life = -1;
      SetPartHitCircle(parts, partIndex, 0, 14, 0, -40);
      SetPartHitCircle(parts, partIndex, 1, 14, 0, 40);
      p.cullMarginX = 20;
      p.cullMarginY = 60;
    } else {
      SetPartHitCircle(parts, partIndex, 0, 20, 0, 0);
      p.cullMarginX = 20;
      p.cullMarginY = 40;
    }
    return;
  }
  if (p.state == 2) {
    if (FollowParentPart(parts, p.parentPart, parts, partIndex) == 0) return;
    if (p.state == 2 && IsCannon(p)) {
      const int16_t rank = pool[slot].rank;
      if (p.counter % ComputeFireInterval(220, rank) == ComputeFireInterval(80, rank)) p.work0 = 1;
      if (p.work0 > 0) {
        p.work0 = static_cast<int16_t>(p.work0 + 1);
        if (p.work0 % 10 == 0) FireIonPair(p);
        if (p.work0 >= 50) p.work0 = 0;
      }
    }
  }
  if (p.state == 3) {
    for (const double dy : {-40.0, 0.0, 40.0}) SpawnSparkBurst(p.x, p.y + dy, 1, -1);
    p.state = 4;  // and it starts waiting at once, with its parent's cue
  }
  if (p.state == 4) {
    const int parent = p.parentPart;
    if (parent < 0 || parent >= kPartsBCount) return;
    p.cue = parts[parent].cue;
    p.imageFrame = -1;
    if (p.cue == kRegrowCue) {
      // Two frames after its mass wraps round, the core (and the cannon on it) grows back.
      FollowParentPart(parts, parent, parts, partIndex);
      p.state = 2;
      SetCoreLife(p);
      p.imageFrame = p.variant % 2;
    }
  }
}
