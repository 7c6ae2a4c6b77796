#include "stg_src/stages/stage6/roster_mounts.h"
#include "stg_src/stages/stage6/stage6.h"

#include <algorithm>
#include <cmath>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

// The elevators and the warp gates of the roster.

using namespace stage6;

namespace {

// Warp gate: the gate's phase is 0 until both portals are 48 px inside the screen, 1 while they
// stay there and the player has not warped, then 2 for good (closing). Portal and emitter words:
// work0 the closed frame, work1 the open one.
constexpr int16_t kPortalType = 10;
constexpr int16_t kPortalEmitterType = 27;
constexpr int kPortalInset = -48;
constexpr double kWarpReachSquared = 400;
constexpr int16_t kWarpSound = 50;
constexpr int16_t kNoStop = 9999;
constexpr int16_t kPortalEffectLinkMode = 80;

bool PortalWellInside(const EnemyPart& p) {
  return !IsOffScreenXY(p.x, p.y, kPortalInset, kPortalInset, false, true);
}

// Elevator: five platforms looping through 600 px, each with two zap emitters and a gun on a
// base. Platform cue: set to 8 on each wrap, counting down. Emitter words: work0 the zap count,
// work1 the fade count. Gun words: work0 the burst count; state 4 hidden until its platform's
// next wrap.
constexpr int16_t kPlatformType = 7;
constexpr int16_t kEmitterType = 8;
constexpr int16_t kElevatorGunType = 9;
constexpr int kPlatforms = 5;
constexpr double kPlatformRise[4] = {-0.8, 0.8, -1.6, 1.6};
constexpr int16_t kGunReviveCue = 6;

// The zap's circles by emitter frame (1, 2, 3 and above): size and dy, dx 0.
struct ZapCircle {
  int16_t size, dy;
};
constexpr ZapCircle kZap[3][5] = {
    {{4, -21}, {5, -21}, {6, -21}, {6, -21}, {6, -10}},
    {{4, -33}, {5, -33}, {6, -21}, {6, -21}, {6, -10}},
    {{4, -52}, {5, -44}, {6, -33}, {6, -21}, {6, -10}},
};

}  // namespace

void UpdateStage6WarpGate(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    SetUpMount(o, slot, -1, 0, 0, 0);
    o.x += 20;
    o.y += 20;
    const double exitX = o.variant == 0 ? 160 : 0;
    const double exitY = o.variant == 0 ? 0 : 160;
    AttachPart(o.partsB, 0, kPortalType, 0, 0, 0, 0);
    AttachPart(o.partsB, 1, kPortalType, exitX, exitY, 0, 8);
    AttachPart(o.partsB, 2, kPortalEmitterType, 0, 0, 512, 0);
    AttachPart(o.partsB, 3, kPortalEmitterType, exitX, exitY, 512, 8);
    for (int k = 0; k < 4; ++k) o.partsB[k].variant = static_cast<int16_t>(k % 2);
    o.partCountB = 4;
    return;
  }
  if (o.state >= 3) {
    o.state = 0;
    return;
  }
  const bool inside = PortalWellInside(o.partsB[0]) && PortalWellInside(o.partsB[1]);
  if (o.phase == 0 && inside) {
    o.phase = 1;
  } else if (o.phase == 1 && !inside) {
    o.phase = 2;
  }
}

// Shared by the portals and their emitters: open and close with the gate, spin, and warp the
// player from the entry to the exit while the entry stands open.
void StepPortal(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex,
                int16_t spin) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& gate = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    SetUpMountPart(p, p.variant * 8, 60, 60);
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.work0 = static_cast<int16_t>(p.variant * 8);
    p.work1 = static_cast<int16_t>(p.variant * 8 + 7);
  }
  if (FollowParentObject(pool, slot, parts, partIndex, 0) == 0 || p.state != 2) return;
  if (p.counter % 4 == 0) {
    if (gate.phase == 0 && p.imageFrame > p.work0) {
      p.imageFrame -= 1;
    } else if (gate.phase == 1 && p.imageFrame < p.work1) {
      p.imageFrame += 1;
    } else if (gate.phase == 2) {
      p.imageFrame -= 1;
      if (p.imageFrame < p.work0) {
        p.state = 0;
        return;
      }
    }
  }
  p.angle = static_cast<int16_t>(WrapAngle(p.angle + spin));
  if (p.variant == 0 && p.imageFrame > 4 &&
      SquaredDistance(p.x, p.y, PlayerX, PlayerY) < kWarpReachSquared) {
    PlayerX = parts[1].x;
    PlayerY = parts[1].y;
    RequestSoundEffect(kWarpSound);
    if (gate.phase == 1) gate.phase = 2;  // one warp a gate
  }
}

void UpdateStage6WarpPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  StepPortal(pool, slot, parts, partIndex, 4);
}

void UpdateStage6PortalPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) p.blend = 511;
  StepPortal(pool, slot, parts, partIndex, -4);
  if (p.state != 2) return;
  if (p.imageFrame != 7 && p.imageFrame != 15) {
    p.linkActive = 0;
    return;
  }
  p.stopFrame = kNoStop;
  p.beamReach = p.beamReachLast = 0;
  p.linkActive = 1;
  if (p.counter % 2 != 0) return;
  const int16_t shot = SpawnEnemyShot(p.variant == 0 ? 23 : 24, 0, 0, p.x, p.y, 0);
  // A full shot pool links nothing.
  if (shot >= 0) {
    LinkEnemyShot(shot, static_cast<int16_t>(slot), partIndex, 0, 0, pool, parts,
                  kPortalEffectLinkMode);
  }
}

void UpdateStage6Elevator(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    if (RefuseVariant(o, "stage 6 elevator variant")) return;
    SetUpMount(o, slot, -1, 1, 0, 0);
    o.x += 40;
    o.y += 20;
    for (int i = 0; i < kPlatforms; ++i) {
      const auto platform = static_cast<int16_t>(i);
      AttachPart(o.partsB, i, kPlatformType, 0, -120 + 120 * i, 0, 0);
      o.partsB[i].parentPart = -1;
      AttachPart(o.partsB, 5 + 2 * i, kEmitterType, -52, -10, 0, 0);
      o.partsB[5 + 2 * i].parentPart = platform;
      AttachPart(o.partsB, 6 + 2 * i, kEmitterType, 52, -10, 0, 0);
      o.partsB[6 + 2 * i].parentPart = platform;
      AttachPart(o.partsB, 15 + i, kElevatorGunType, 0, -28, 512, 1);
      o.partsB[15 + i].parentPart = platform;
      o.partsB[15 + i].variant = 1;
      AttachPart(o.partsB, 20 + i, kElevatorGunType, 0, 0, 512, 0);
      o.partsB[20 + i].parentPart = static_cast<int16_t>(15 + i);
      o.partsB[20 + i].variant = 0;
    }
    o.partCountB = 25;
  } else if (o.state >= 3) {
    o.state = 0;
  }
}

void UpdateStage6ElevatorPlatformPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                      int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& lift = pool[slot];
  if (p.state == 1) {
    SetUpMountPart(p, 0, 60, 20);
    SetSolidPartBox(parts, partIndex, 60, 5);
  }
  if (p.cue > 0) p.cue = static_cast<int16_t>(p.cue - 1);
  if (FollowParentObject(pool, slot, parts, partIndex, 0) == 0 || p.state != 2) return;
  MarkSolidPartPresent();
  p.offsetY += kPlatformRise[lift.variant & 3];
  if (p.offsetY < -240) {
    p.offsetY += 600;
    p.cue = 8;
  } else if (p.offsetY > 360) {
    p.offsetY -= 600;
    p.cue = 8;
  }
}

void UpdateStage6ElevatorSidePart(EnemyObject*, uint16_t, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    SetUpMountPart(p, 0, 16, 96);
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.work0 = p.work1 = 0;
    p.blend = 511;
  }
  if (FollowParentPart(parts, p.parentPart, parts, partIndex) == 0 || p.state != 2) return;
  // A fixed cycle for every elevator on screen, whatever their rank; never on easy.
  if (GameFrame % ComputeFireIntervalFlat(120, 50) == ComputeFireIntervalFlat(30, 50)) {
    p.work0 = GetDifficulty() == 0 ? 0 : 1;
  }
  if (p.work0 <= 0) {
    p.work1 = CountUpSaturated(p.work1);
    if (p.work1 % 3 == 0 && p.imageFrame > 0) p.imageFrame -= 1;
  } else {
    p.work0 = static_cast<int16_t>(p.work0 + 1);
    if (p.work0 % 3 == 0) {
      p.imageFrame += 1;
      if (p.imageFrame > 6) p.imageFrame = 3;
    }
    if (p.work0 > 23) p.work0 = p.work1 = 0;
  }
  ClearPartHitCircles(parts, partIndex);
  if (p.imageFrame <= 0) {
    p.hitMode = 0;
    return;
  }
  p.hitMode = 3;  // touches the ship, cannot be shot
  const ZapCircle* zap = kZap[std::min<int32_t>(p.imageFrame, 3) - 1];
  for (int k = 0; k < 5; ++k) SetPartHitCircle(parts, partIndex, k, zap[k].size, 0, zap[k].dy);
}

void UpdateStage6ElevatorGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& lift = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  const EnemyPart& parent = parts[p.parentPart];
  const bool gun = p.variant == 1;
  if (p.state == 1) {
    SetUpMountPart(p, p.variant, 32, 32);
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(8);
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    if (gun) {
      SetPartHitCircle(parts, partIndex, 0, 24, 0, 0);
      p.hitMode = 1;
    }
    p.work0 = 0;
  } else if (p.state == 3 && gun) {
    SpawnSmallExplosion(p.x, p.y, 1);
    p.state = 4;
  }
  if (gun && p.state == 4) {
    // Hidden until its platform wraps round.
    p.cue = parent.cue;
    p.imageFrame = -1;
    if (parent.cue != kGunReviveCue) return;
    p.state = 2;
    p.life = p.maxLife = ScaleLifeByRank(8);
    p.imageFrame = p.variant;
  }
  const int32_t before = p.state;
  if (FollowParentPart(parts, p.parentPart, parts, partIndex) == 0) return;
  if (!gun) {
    // The base takes the gun's state: hidden with it, back with it.
    if (p.state == 4) p.imageFrame = -1;
    if (p.state == 2 && before == 4) {
      p.life = p.maxLife = ScaleLifeByRank(8);
      p.imageFrame = p.variant;
    }
    return;
  }
  if (p.state != 2) return;
  if (p.counter % ComputeFireInterval(240, lift.rank) == ComputeFireInterval(80, lift.rank)) {
    p.work0 = 1;
  }
  if (p.work0 <= 0) {
    p.angle = static_cast<int16_t>(TurnTowardAngle(512, p.angle, 8));
    return;
  }
  p.work0 = static_cast<int16_t>(p.work0 + 1);
  if (p.angle > 768 || p.angle < 256) p.angle = static_cast<int16_t>(WrapAngle(512 - p.angle));
  const int16_t aim =
      ClampAngleToArc(static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY)), 512, 704, 0);
  if (p.work0 < 40) p.angle = static_cast<int16_t>(TurnTowardAngle(aim, p.angle, 8));
  if (p.work0 == 40 || p.work0 == 44 || p.work0 == 48) {
    const double x = RotateOffsetX(p.x, 30, 8, p.angle);
    const double y = RotateOffsetY(p.y, 30, 8, p.angle);
    if (!IsOutsideScreen(x, y, 0)) SpawnEnemyShot(1, p.angle, ScaleShotSpeed(4), x, y, 1);
  }
  if (p.work0 >= 50) p.work0 = 0;
}
