// Stage 3's stone and metal: rock spouts throwing volleys of small rocks on ballistic arcs, the
// small rocks, the bouncing mine that waits on a floor or ceiling, dashes at the player,
// bounces off terrain and fires a ring of shots, and the sliding rock block that slides into
// place when the screen reaches it and then fires its three-barrelled cannon.
//
// Spout words: intWork0 the spawn attempts, intWork2 the volley cycle (0..12).
// Mine words: heading the motion, angle the drawn angle (512 on a ceiling, turning back to 0 in
// flight); intWork0 the dash state (0 cruising, 1 braking, 2 and above re-aiming); intWork2 1
// while it waits on its surface; intWork3 the active frames (0 until first on screen);
// realWork0/1 the target point; realWork3 its vertical travel since the last launch.
// Sliding rock words: intWork1 the slide state (0 waiting, 1 sliding, 2 landed).
// Barrel words: work0 the fire timer, work1 the shot timer, cue the sweep step (0..3).
#include <cmath>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage3/circle_probe.h"
#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int16_t kSpoutSound = 49;
constexpr int16_t kRockSound = 31;
constexpr int16_t kLandSound = 54;
constexpr int16_t kRockPuffEffect = 12;
constexpr int kRocksPerCycle = 6;
constexpr int kCycleTicks = 12;
constexpr int kCountedAttempts = 10;
constexpr double kRockSpeed = 4.8;
constexpr double kRockGravity = 0.0375;
constexpr int32_t kRockTerrainFrom = 20;  // frames before a rock can meet terrain
constexpr int32_t kRingGunPart = 28;
constexpr int16_t kRingShot = 22;
constexpr double kMineLift = 60;  // px off its surface a spent mine aims for
constexpr int32_t kMineSpentFrames = 600;
constexpr int32_t kRockBodyPart = 12;
constexpr int32_t kCannonBasePart = 13;
constexpr int32_t kBarrelPart = 14;
constexpr int kBaseSlot = 3;
constexpr double kTurnBackX = 9200;
constexpr double kSlideSpeed = 6.4;
constexpr int16_t kCannonShot = 19;

void SetMargins(EnemyObject& o, int32_t despawnX, int32_t despawnY, int32_t cullX, int32_t cullY) {
  o.despawnMarginX = despawnX;
  o.despawnMarginY = despawnY;
  o.cullMarginX = cullX;
  o.cullMarginY = cullY;
}

// One throw of a volley: angle, type, and (while counting) the draw the spout has always made
// after a throw that landed in the pool.
void ThrowRock(EnemyObject& o) {
  const int16_t angle = static_cast<int16_t>(LcgRandom() % 257 + 640);
  const int16_t type = static_cast<int16_t>(LcgRandom() % 3 + 12);
  const int16_t s = SpawnPool1Enemy(o.x, o.y, type, angle, -1, 0);
  o.intWork0 += 1;
  if (o.intWork0 < kCountedAttempts && s >= 0) LcgRandom();
}

bool OnCeiling(const EnemyObject& o) { return o.variant == 2; }

// Waiting on its surface: off it once the player has passed (at once when worn to a quarter).
void LaunchMine(EnemyObject& o) {
  o.realWork3 = 0;
  const double away = OnCeiling(o) ? kMineLift : -kMineLift;
  double ty = o.y + away;
  if (o.life > o.maxLife / 4) {
    if (PlayerX <= o.x) return;
    const bool open = OnCeiling(o) ? PlayerY > o.y : PlayerY < o.y;
    if (open) ty = PlayerY;
  }
  o.realWork0 = o.x;
  o.realWork1 = ty;
  o.heading = static_cast<int16_t>(AimAngle(o.x, o.y, o.realWork0, o.realWork1));
  o.intWork2 = 0;
  o.speed = 4.8 + 0.6 * Difficulty;
}

// Cruise, brake near the target point, then re-aim at the player (off screen beside it).
void DashMine(EnemyObject& o) {
  const double step = 0.04 + 0.02 * Difficulty;
  if (o.intWork0 == 0) {
    o.speed = ApproachValue(o.speed, step, 2.4 + 0.3 * Difficulty);
    if (o.intWork3 < kMineSpentFrames &&
        SquaredDistance(o.x, o.y, o.realWork0, o.realWork1) < 1600) {
      o.intWork0 = 1;
    }
  } else if (o.intWork0 == 1) {
    o.speed = ApproachValue(o.speed, step, 0);
    if (o.speed == 0) o.intWork0 = 2;
  }
  if (o.intWork0 < 2) return;
  o.realWork0 = PlayerX;
  o.realWork1 = PlayerY;
  double ax = PlayerX, ay = PlayerY;
  if (IsOffScreenXY(o.x, o.y, 0, 0, o.useViewBox, 0)) {
    ax = LcgRandom() % 2 == 1 ? PlayerX - 80 : PlayerX + 80;
    ay = PlayerY < o.y ? PlayerY + 40 : PlayerY - 40;
  }
  o.heading = static_cast<int16_t>(AimAngle(o.x, o.y, ax, ay));
  const int32_t cycle = 48 - 4 * Difficulty;
  o.intWork0 += 1;
  if (o.intWork0 > cycle) o.intWork0 = 0;
  if (o.intWork0 == cycle / 2 && IsHarderThanEasy()) o.partsA[0].cue = 1;
}

void StepMine(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.intWork3 == 0) {
    if (IsOffScreenXY(o.x, o.y, 80, 320, o.useViewBox, 0)) return;
    o.intWork3 = 1;
  }
  const double oldX = o.x, oldY = o.y;
  o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
  o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
  o.x += o.vx;
  o.y += o.vy;
  o.realWork0 += ScrollDeltaX;
  o.realWork1 += ScrollDeltaY;
  o.realWork3 += std::fabs(o.vy);
  if (o.intWork2 == 1) {
    LaunchMine(o);
    if (o.intWork2 == 1) return;
  }
  o.intWork3 += 1;
  o.angle = static_cast<int16_t>(TurnTowardAngle(0, o.angle, 32));
  DashMine(o);
  if (o.realWork3 > 40) {
    const int16_t surface = TestTerrainAroundCircle(oldX, oldY, o.x, o.y, 16);
    if (surface >= 0) {
      o.heading = static_cast<int16_t>(ReflectAngle(o.heading, surface));
      o.x = oldX;
      o.y = oldY;
      if (o.speed < 0.2 || o.intWork3 > kMineSpentFrames - 1) o.state = 3;
      o.intWork0 = 1;
    }
  }
  if (o.hitMode == 1) o.imageFrame = (o.frame / 3) % 6;
}

// The barrels' sweep: the outer two turn by the step, the middle one keeps its line.
int16_t SweepAngle(bool facesLeft, int barrel, int16_t step) {
  static constexpr int16_t kLeft[2][3] = {{0, 960, 896}, {0, 64, 128}};
  static constexpr int16_t kRight[2][3] = {{512, 576, 640}, {512, 448, 384}};
  const int column = step == 0 ? 0 : step == 2 ? 2 : 1;
  const int row = barrel == 0 ? 0 : 1;
  return facesLeft ? kLeft[row][column] : kRight[row][column];
}

}  // namespace

void UpdateStage3RockSpout(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(5);
    o.imageFrame = -1;
    o.vx = o.vy = 0;
    o.airFrames = -1;
    o.heading = o.angle = 0;
    o.hitCircles = {};
    o.hitMode = 0;
    SetMargins(o, 60, 2000, 0, 0);
    o.intWork0 = 0;
    o.intWork1 = 8;
    o.intWork2 = 0;
    o.x += 20;
    o.y -= 20;
    return;
  }
  if (o.state != 2) return;
  if (o.x >= ScreenToWorldX(640 - 320 * o.variant)) return;
  if (o.frame % ComputeFireIntervalFlat(4, o.rank) != 0) return;
  if (o.intWork2 == 0) RequestSoundEffect(kSpoutSound);
  o.intWork2 += 1;
  if (o.intWork2 <= kRocksPerCycle) {
    ThrowRock(o);
  } else if (o.intWork2 >= kCycleTicks) {
    o.intWork2 = 0;
  }
}

void UpdateStage3SmallRock(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(9);
    o.imageFrame = 0;
    o.airFrames = -1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 10, 0, 0);
    o.phase = 0;
    o.intWork0 = o.intWork1 = 0;
    o.realWork0 = o.realWork1 = o.realWork2 = o.realWork3 = 0;
    SetMargins(o, 120, 800, 16, 16);
    o.useViewBox = 0;
    o.probeOffset = 0;
    o.speed = kRockSpeed;
    o.heading = o.angle;
    o.vx = CosineTable[WrapAngle(o.heading)] * kRockSpeed;
    o.vy = SineTable[WrapAngle(o.heading)] * kRockSpeed;
    return;
  }
  if (o.state == 2) {
    const double oldX = o.x, oldY = o.y;
    o.x += o.vx;
    o.y += o.vy;
    o.vy += kRockGravity;
    if (o.frame > kRockTerrainFrom && TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0) o.state = 3;
    return;
  }
  if (o.state == 3) {
    SpawnEffect(kRockPuffEffect, o.x, o.y, 0, 0, 0);
    RequestSoundEffect(kRockSound);
    o.state = 0;
  }
}

void UpdateStage3SmallRock2(int16_t slot) { UpdateStage3SmallRock(slot); }

void UpdateStage3BouncingMine(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(16);
    o.imageFrame = -1;
    o.vx = o.vy = 0;
    o.airFrames = -1;
    o.heading = o.angle = 0;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 16, 0, 0);
    o.hitMode = 1;
    o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
    o.despawnMarginX = 80;
    o.despawnMarginY = 320;
    o.realWork0 = PlayerX;
    o.realWork1 = PlayerY;
    o.realWork3 = 40;
    o.cullMarginX = o.cullMarginY = 24;
    o.probeOffset = 0;
    o.speed = 0;
    o.heading = static_cast<int16_t>(AimAngle(o.x, o.y, PlayerX, PlayerY));
    AttachPart(o.partsA, 0, kRingGunPart, 0, -9, 0, 0);
    o.partCountA = 1;
    o.angle = 0;
    if (o.variant == 1) {
      DropOntoGround(o.x, &o.y, 0);
      o.intWork2 = 1;
    } else if (o.variant == 2) {
      RaiseToCeiling(o.x, &o.y, 0);
      o.angle = 512;
      o.intWork2 = 1;
    }
    return;
  }
  if (o.state == 2) {
    StepMine(slot);
  } else if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    o.state = 0;
  }
}

void UpdateStage3RingGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyObject& o = pool[slot];
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.cue = 0;
    p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 20;
    return;
  }
  if (p.state >= 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    o.state = 3;
    return;
  }
  p.angle = o.angle;
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0 || p.state != 2) return;
  // Never on easy, whatever the rank says.
  if (Difficulty == 0) p.cue = 0;
  if (p.cue <= 0) {
    p.cue = 0;
    p.work0 += 1;
    p.work1 = 0;
    if (p.work0 % 4 == 0 && p.imageFrame > 0) p.imageFrame -= 1;
    return;
  }
  p.cue += 1;
  p.work0 = 0;
  if (p.cue % 4 == 0) p.imageFrame += 1;
  if (p.imageFrame > 2) {
    p.imageFrame = 3;
    p.work1 += 1;
  }
  if (p.work1 == 8) {
    const int step = Difficulty >= 2 ? 64 : 128;
    for (int a = 0; a < 1024; a += step) {
      SpawnEnemyShot(kRingShot, static_cast<int16_t>(a), ScaleShotSpeed(2.7), p.x, p.y - 4, 1);
    }
  }
  if (p.work1 == 16) p.cue = 0;
}

void UpdateStage3SlidingRock(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = -1;
    o.imageFrame = -1;
    o.vx = o.vy = 0;
    o.hitCircles = {};
    o.hitMode = 0;
    o.phase = 0;
    o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
    SetMargins(o, 120, 2000, 0, 0);
    o.solid = 1;
    o.x += o.x < kTurnBackX ? -60 : 60;
    o.y += 20;
    const bool facesLeft = o.x >= kTurnBackX;
    o.heading = facesLeft ? int16_t{512} : int16_t{0};
    const double d = facesLeft ? 110 : -110, e = facesLeft ? 80 : -80;
    const int16_t g = facesLeft ? int16_t{0} : int16_t{512};
    for (int k = 0; k < 3; ++k) AttachPart(o.partsB, k, kBarrelPart, d, -12 + 12 * k, g, 0);
    AttachPart(o.partsB, kBaseSlot, kCannonBasePart, e, 0, g, 0);
    AttachPart(o.partsB, 4, kRockBodyPart, 0, 0, 0, 0);
    o.partCountB = 5;
    return;
  }
  if (o.state == 3) {
    o.state = 0;
    return;
  }
  if (o.state != 2) return;
  const double oldX = o.x;
  o.x += o.vx;
  if (o.intWork1 == 0) {
    if (WorldToScreenY(o.y) <= o.variant * 40) {
      o.intWork1 = 1;
      o.vx = CosineTable[WrapAngle(o.heading)] * kSlideSpeed;
    }
  } else if (o.intWork1 == 1 && TestTerrainHit(o.x, o.y, oldX, o.y, 1) >= 0) {
    o.intWork1 = 2;
    o.vx = 0;
    StartScreenShake(8);
    RequestSoundEffect(kLandSound);
  }
}

void UpdateStage3RockPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    SetSolidPartBox(parts, partIndex, 78, 40);
    p.cue = 0;
    p.work0 = p.work1 = 0;
    p.cullMarginX = 100;
    p.cullMarginY = 50;
    return;
  }
  if (p.state != 2) return;
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  MarkSolidPartPresent();
}

void UpdateStage3HouBasePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(64);
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 1;
    SetPartHitCircle(parts, partIndex, 0, 20, 20, 0);
    p.cue = 0;
    p.work0 = p.work1 = 0;
    p.cullMarginX = 40;
    p.cullMarginY = 32;
    return;
  }
  if (p.state >= 3) {
    p.state = 0;
    for (int k = 0; k < 3; ++k) parts[k].state = 0;
    SpawnSparkBurst(p.x, p.y, 1, -1);
    return;
  }
  FollowParentObject(pool, slot, parts, partIndex, 1);
}

void UpdateStage3HouBarrelPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  const EnemyObject& rock = pool[slot];
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(40);
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    SetPartHitCircle(parts, partIndex, 0, 10, 0, 0);
    p.cue = 0;
    p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 40;
    return;
  }
  if (p.state != 2) return;
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  if (rock.intWork1 == 2 && p.work0 == 0) p.work0 = 1;
  if (p.work0 == 0) return;
  if (p.work1 == 0 &&
      p.work0 % ComputeFireInterval(60, rock.rank) == ComputeFireInterval(4, rock.rank)) {
    p.work1 = 1;
    p.cue = static_cast<int16_t>(p.cue >= 3 ? 0 : p.cue + 1);
  }
  p.work0 += 1;
  if (p.work1 > 0) {
    p.work1 += 1;
    if (p.work1 == 12) {
      SpawnEnemyShot(kCannonShot, p.angle, ScaleShotSpeed(2.3), RotateOffsetX(p.x, 30, 0, p.angle),
                     RotateOffsetY(p.y, 30, 0, p.angle), 1);
      p.work1 = 0;
    }
  }
  if (partIndex != 1) {
    const int16_t target = SweepAngle(rock.heading == 512, partIndex, p.cue);
    p.angle = static_cast<int16_t>(TurnTowardAngle(target, p.angle, 8));
  }
}
