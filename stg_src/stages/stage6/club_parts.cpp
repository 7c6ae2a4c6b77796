#include <cmath>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage6/club_layout.h"
#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

// The club's upper works: the body picture, the eye and the core (type 16), the two beam arms
// with their emitters (type 17) and the two guns (type 18). Part words: cue the core's closing
// count, an emitter's beam count (positive aimed, negative a downward sweep), a barrel's burst;
// work1 a barrel's shots in the burst.

namespace {

using namespace club;

constexpr int32_t kCoreLife = 3500;
constexpr int16_t kCoreClosed = 5;
constexpr int16_t kCoreFuse = 180;
constexpr double kEmitterAlong = 132;
constexpr double kBarrelAlong = 80;
constexpr int16_t kGunShot = 3;

void Tick(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

int16_t AimAt(const EnemyPart& p) {
  return static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY));
}

int16_t Turn(int target, int16_t angle, int16_t steps) {
  return static_cast<int16_t>(
      TurnTowardAngle(static_cast<int16_t>(WrapAngle(target)), angle, steps));
}

// The sweep counts up from -320 toward 0, its beam starting at -270; the shared beam counts
// down from 120, beam at 70. The sweep runs it on the mirrored count.
void RunEmitterBeam(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t j) {
  EnemyPart& p = parts[j];
  if (p.cue >= 0) {
    RunTiedBeam(pool, slot, parts, j, TiedBeamAlong(kEmitterAlong));
    return;
  }
  TiedBeamRow sweep = TiedBeamAlong(kEmitterAlong);
  sweep.start = 320;
  sweep.beamStart = 270;
  p.cue = static_cast<int16_t>(-p.cue);
  RunTiedBeam(pool, slot, parts, j, sweep);
  p.cue = static_cast<int16_t>(-p.cue);
}

// A shot from kBarrelAlong px out along the barrel, its bob added.
int16_t FireFromBarrel(const EnemyPart& p, double speed, uint8_t onScreenOnly) {
  const double x = RotateOffsetX(p.x, kBarrelAlong, 0, p.angle);
  const double y = RotateOffsetY(p.y, kBarrelAlong, 0, p.angle) + p.drawOffsetY;
  return SpawnEnemyShot(kGunShot, p.angle, speed, x, y, onScreenOnly);
}

}  // namespace

void UpdateStage6ClubCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  Tick(p);
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kCoreLife);
    p.imageFrame = p.variant;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 24, 0, -10);
    p.hitMode = p.variant == 0 ? 1 : 0;
    p.cue = p.work0 = p.work1 = 0;
    p.baseAngle = p.angle;
    p.cullMarginX = p.cullMarginY = 96;
  } else if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    if (p.variant == 8) {
      const EnemyPart& core = parts[kCore];
      const int16_t t = ClampAngleToArc(AimAt(p), 64, 448, 0);
      p.angle = Turn(t, p.angle, 4);
      p.hitFlash = core.hitFlash;
      if (core.state > 2) p.state = 0;
    } else {
      p.angle = static_cast<int16_t>(WrapAngle(o.angle + p.baseAngle));
    }
    if (p.variant == 0 && p.cue > 0) {
      // Timed out: the core closes, can no longer be hurt and blows itself up.
      if (p.counter % 4 == 0 && p.imageFrame < kCoreClosed) p.imageFrame += 1;
      if (p.imageFrame == kCoreClosed) p.life = -1;
      p.cue = static_cast<int16_t>(p.cue + 1);
      if (p.cue > kCoreFuse) p.state = 3;
    }
  }
  if (p.state == 3) {
    p.state = 4;
    p.imageFrame = p.variant == 0 ? -1 : 7;  // the body picture turns into the wreck
    SpawnLargeExplosion(p.x, p.y, 1, -1);
  } else if (p.state == 4) {
    p.angle = static_cast<int16_t>(WrapAngle(o.angle + p.baseAngle));
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
  }
  p.drawOffsetY = o.drawOffsetY;
}

void UpdateStage6ClubBeamPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  Tick(p);
  const int16_t role = static_cast<int16_t>(p.variant % 3);
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = role;
    ClearPartHitCircles(parts, partIndex);
    if (role == 0) {
      SetPartHitCircle(parts, partIndex, 0, 25, 18, 0);
      SetPartHitCircle(parts, partIndex, 1, 14, 58, 0);
    } else if (role == 1) {
      SetPartHitCircle(parts, partIndex, 0, 19, 3, 0);
      SetPartHitCircle(parts, partIndex, 1, 16, 37, 0);
      SetPartHitCircle(parts, partIndex, 2, 13, 65, 0);
    } else {
      constexpr int16_t kSize[] = {9, 10, 9, 8, 6, 6};
      constexpr int16_t kAlong[] = {-36, -14, 35, 63, 91, 117};
      for (int k = 0; k < 6; ++k) SetPartHitCircle(parts, partIndex, k, kSize[k], kAlong[k], 0);
    }
    p.hitMode = 1;
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 160;
  } else if (o.state > 2) {
    p.state = 0;
    StageWork[0] = StageWork[1] = 0;
  } else if (p.state == 2) {
    const bool live = role == 0 ? FollowParentObject(pool, slot, parts, partIndex, 1) != 0
                                : FollowParentPart(parts, p.parentPart, parts, partIndex) != 0;
    if (!live) return;
    const int e = parts[p.variant < 3 ? kLeftEmitter : kRightEmitter].angle - 256;
    int desired = 0;
    switch (p.variant) {
      case 0:
        desired = e / 3 + 704;
        break;
      case 1:
        desired = e / 2 + 512;
        break;
      case 2:
        desired = ClampAngleToArc(AimAt(p), 192, 448, 0);
        StageWork[0] = static_cast<int32_t>(p.x);
        break;
      case 3:
        desired = e / 3 + 832;
        break;
      case 4:
        desired = e / 2;
        break;
      default:
        desired = ClampAngleToArc(AimAt(p), 64, 320, 0);
        StageWork[1] = static_cast<int32_t>(p.x);
        break;
    }
    if (role != 2 || p.cue == 0) {
      p.angle = Turn(desired, p.angle, 2);
    } else if (p.cue < 0) {
      p.angle = Turn(256, p.angle, 8);  // a sweep points straight down
    }
    if (role == 2) RunEmitterBeam(pool, slot, parts, partIndex);
  }
  p.drawOffsetY = o.drawOffsetY;
}

void UpdateStage6ClubGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  Tick(p);
  const bool barrel = p.variant % 2 == 1;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = p.variant;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 96;
  } else if (o.state > 2) {
    p.state = 0;
    return;
  } else if (p.state == 2) {
    const bool live = barrel ? FollowParentPart(parts, p.parentPart, parts, partIndex) != 0
                             : FollowParentObject(pool, slot, parts, partIndex, 1) != 0;
    if (!live) return;
    int desired = 0;
    switch (p.variant) {
      case 0:
        desired = (parts[kRightBarrel].angle - 256) / 2 + 960;
        break;
      case 1:
        desired = ClampAngleToArc(AimAt(p), 0, 384, 0);
        break;
      case 2:
        desired = (parts[kLeftBarrel].angle - 256) / 2 + 576;
        break;
      default:
        desired = ClampAngleToArc(AimAt(p), 128, 512, 0);
        break;
    }
    p.angle = Turn(desired, p.angle, barrel ? 3 : 2);
    if (barrel && p.cue > 0) {
      p.cue = static_cast<int16_t>(p.cue + 1);
      if (p.cue % 4 == 0) {
        FireFromBarrel(p, GetDifficulty() >= 2 ? 3.4 : 3.2, 1);
        p.work1 += 1;
        if (p.work1 > 3) p.cue = p.work1 = 0;
      }
    } else if (barrel && p.cue < 0) {
      // During a sweep: one slow shot instead of a burst.
      p.cue = 0;
      FireFromBarrel(p, ScaleShotSpeed(1.6), 0);
    }
  }
  p.drawOffsetY = o.drawOffsetY;
}
