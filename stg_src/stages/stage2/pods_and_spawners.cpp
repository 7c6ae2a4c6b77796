#include <cmath>
#include <initializer_list>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage2/stage2.h"
#include "stg_src/stages/stage2/stage2_drones.h"

#include "stg_src/game/deterministic.h"

// The pod (pool 0, type 11), its drones (12) and the rock spawners (17-19).
// Pod words: intWork0 the opening flag (the shell turns open). Its shell (part type 4) takes the
// angle the pod writes.
// Drone words: heading the flight direction; imageFrame how far it is open (0..3); phase its
// frames on screen; intWork0 the flight state; intWork1 the opening delay; realWork0 the
// vertical distance of the current leg. Its jet (part type 5): cue the flame mode.

namespace {

constexpr int32_t kPodLife = 380;
constexpr int32_t kDroneLife = 8;
constexpr int16_t kShellOpen = 128;
constexpr int16_t kDroneShot = 16;

enum JetMode : int16_t { kJetDown = 0, kJetBurning = 1, kJetBurst = 2, kJetSpent = 4 };

struct Release {
  double dx, dy;
  int16_t angle;
};
// Up-left, down-left, up-right, down-right; the k-th drone goes into the highest free slot
// below the pod's slot - (k + 1).
constexpr Release kReleases[4] = {{-20, -20, 640}, {-20, 20, 384}, {20, -20, 896}, {20, 20, 128}};

void SetUpPod(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(kPodLife);
  o.imageFrame = 0;
  o.vx = o.vy = o.speed = 0;
  o.airFrames = 0;
  o.heading = 0;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 54, 0, 0);
  o.hitMode = 1;
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.despawnMarginX = o.despawnMarginY = 80;
  o.cullMarginX = o.cullMarginY = 64;
  o.x += 44;
  AttachPart(o.partsA, 0, 4, 0, 0, 0, 0);
  o.partCountA = 1;
}

}  // namespace

void UpdateStage2Marui(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    // The pod moves to the highest free slot, so that its drones can take slots below it; with
    // none above its own it is gone.
    o.state = 0;
    const int16_t to = FindFreeEnemySlot(EnemyPool0, kEnemyPool0Size, -1, true);
    if (to <= 0 || to <= slot) return;
    InitEnemyObject(EnemyPool0, to, o.type, 0);
    NoteEnemyMoveForTest(EnemyPool0, slot, to);
    EnemyObject& moved = EnemyPool0[to];
    moved.x = o.x;
    moved.y = o.y;
    moved.spawnDir = o.spawnDir;
    SetUpPod(to);
    return;
  }
  if (o.state == 2) {
    EnemyPart& shell = o.partsA[0];
    if (o.frame % ComputeFireInterval(160, o.rank) == ComputeFireInterval(20, o.rank)) {
      o.intWork0 = 1;
    }
    if (o.intWork0 == 1) {
      shell.angle = static_cast<int16_t>(TurnTowardAngle(kShellOpen, shell.angle, 4));
      if (shell.angle == kShellOpen) {
        for (int k = 0; k < 4; ++k) {
          const Release& r = kReleases[k];
          SpawnPool0Enemy(o.x + r.dx, o.y + r.dy, 12, r.angle, static_cast<int16_t>(slot - 1 - k),
                          0);
        }
        o.intWork0 = 0;
      }
    } else {
      shell.angle = static_cast<int16_t>(TurnTowardAngle(0, shell.angle, 4));
    }
    return;
  }
  if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    o.state = 0;
  }
}

void UpdateStage2MaruiPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 64;
    return;
  }
  if (p.state == 2) FollowParentObject(pool, slot, parts, partIndex, 1);
  if (p.state == 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    pool[slot].state = 3;
  }
}

int16_t NearestDiagonal(int angle) {
  for (const int16_t d : {128, 384, 640, 896}) {
    if (std::abs(angle - d) <= 128) return d;
  }
  return 896;  // not reached for angles 0..1023
}

int16_t LeftwardDiagonal(int angle) {
  const int16_t d = NearestDiagonal(angle);
  return d == 896 ? 640 : d == 128 ? 384 : d;
}

namespace {

enum DroneFlight : int32_t {
  kFlyOut = 0,
  kBrake = 1,
  kOpenAndFire = 2,
  kCloseAndAim = 3,
  kAttack = 4,
  kBrakeAgain = 5,
  kTurnAway = 6,
  kLeave = 7,
};

constexpr double kDroneStart = 3.2;
constexpr double kFlyOutLeg = 56;
constexpr double kAttackLeg = 160;

// The ring as the drone closes: eight shots on hard and insane, four otherwise, none on easy
// below the rank threshold.
void FireRing(const EnemyObject& o) {
  if (!IsHarderThanEasy()) return;
  const bool eight = GetDifficulty() > 1;
  const int step = eight ? 128 : 256;
  for (int a = eight ? 64 : 128; a < 1024; a += step) {
    SpawnEnemyShot(kDroneShot, static_cast<int16_t>(a), ScaleShotSpeed(2.1), o.x, o.y, 1);
  }
}

void StepFlight(EnemyObject& o) {
  EnemyPart& jet = o.partsA[0];
  switch (o.intWork0) {
    case kFlyOut:
      if (std::fabs(o.realWork0) > kFlyOutLeg) o.intWork0 = kBrake;
      break;
    case kBrake:
    case kBrakeAgain:
      jet.cue = kJetDown;
      o.speed = ApproachValue(o.speed, 0.2, 0);
      if (o.speed == 0) o.intWork0 += 1;
      break;
    case kOpenAndFire:
      o.intWork1 += 1;
      if (o.intWork1 > 8 && o.frame % 4 == 0 && o.imageFrame < 3) o.imageFrame += 1;
      if (o.phase > 32 && o.imageFrame == 3) {
        o.intWork0 = kCloseAndAim;
        o.intWork1 = 0;
        FireRing(o);
      }
      break;
    case kCloseAndAim:
      if (o.frame % 4 == 0 && o.imageFrame > 0) o.imageFrame -= 1;
      if (o.imageFrame == 0) {
        o.intWork0 = kAttack;
        o.heading = NearestDiagonal(AimAngle(o.x, o.y, PlayerX, PlayerY));
        jet.cue = kJetBurst;
        o.realWork0 = 0;
      }
      break;
    case kAttack:
      o.speed = ApproachValue(o.speed, 0.2, 3);
      if (std::fabs(o.realWork0) > kAttackLeg) o.intWork0 = kBrakeAgain;
      break;
    case kTurnAway:
      o.heading = LeftwardDiagonal(WrapAngle(AimAngle(o.x, o.y, PlayerX, PlayerY) + 512));
      jet.cue = kJetBurst;
      o.realWork0 = 0;
      o.intWork0 = kLeave;
      break;
    default:  // leaving: the despawn margins take it
      o.speed = ApproachValue(o.speed, 0.2, 3.5);
      break;
  }
}

}  // namespace

void UpdateStage2Sikaku(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(kDroneLife);
    o.imageFrame = 0;
    o.vx = o.vy = 0;
    o.speed = kDroneStart;
    o.heading = o.angle;  // the launch direction
    o.angle = 0;
    ClearEnemyHitCircles(EnemyPool0, slot);
    SetEnemyHitCircle(EnemyPool0, slot, 0, 16, 0, 0);
    o.hitMode = 1;
    o.phase = 0;
    o.intWork0 = o.intWork1 = 0;
    o.angle2 = 0;
    o.realWork0 = o.realWork1 = 0;
    o.despawnMarginX = o.despawnMarginY = 40;
    o.cullMarginX = o.cullMarginY = 32;
    AttachPart(o.partsA, 0, 5, 0, 0, static_cast<int16_t>(WrapAngle(o.heading + 512)), 0);
    o.partCountA = 1;
    o.partsA[0].cue = kJetBurning;  // the jet's own set-up clears it: it starts dark
    return;
  }
  if (o.state == 2) {
    const double oldX = o.x, oldY = o.y;
    o.vx = CosineTable[WrapAngle(o.heading)] * o.speed;
    o.vy = SineTable[WrapAngle(o.heading)] * o.speed;
    o.x += o.vx;  // in the world: it does not ride with the scroll
    o.y += o.vy;
    o.realWork0 += o.vy;
    StepFlight(o);
    CountFramesOnScreen(o);
    if (TestTerrainHit(o.x, o.y, oldX, oldY, 1) >= 0) o.state = 3;
    return;
  }
  if (o.state == 3) {
    SpawnSmallExplosion(o.x, o.y, 1);
    o.state = 0;
  }
}

void UpdateStage2SikakuJetPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = p.variant;
    ClearPartHitCircles(parts, partIndex);
    p.baseAngle = p.angle;
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 32;
    p.blend = 511;
    return;
  }
  if (p.state == 2) {
    if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
    const bool step = p.counter % 3 == 0;
    switch (p.cue) {
      case kJetDown:
        if (step && p.imageFrame > 0) p.imageFrame -= 1;
        break;
      case kJetBurning:  // a flicker between 4 and 5
        if (step) p.imageFrame += 1;
        if (p.imageFrame > 5) p.imageFrame = 4;
        break;
      case kJetBurst:  // one burst; it runs to frame 8, past the sheet, which draws nothing
        if (step) p.imageFrame += 1;
        if (p.imageFrame > 8) {
          p.imageFrame = 0;
          p.cue = kJetSpent;
        }
        break;
      default:
        break;
    }
    p.angle = static_cast<int16_t>(WrapAngle(pool[slot].heading + 512));
  }
  if (p.state == 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    pool[slot].state = 3;
  }
}

namespace {

void SetUpSpawner(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.frame = 0;
  o.life = -1;
  o.imageFrame = -1;
  ClearEnemyHitCircles(EnemyPool0, slot);
  o.hitMode = 0;
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.despawnMarginX = o.despawnMarginY = 40;
  o.cullMarginX = o.cullMarginY = 0;
  o.x += 20;
  o.y += GetVariantYShift(o.variant);
}

// One rock thrown left within 160 steps of straight left (the angle drawn first), then gone.
void RunSpawner(int16_t slot, int smallest, int kinds) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpSpawner(slot);
    return;
  }
  if (o.state != 2) {
    o.state = 0;
    return;
  }
  const auto angle = static_cast<int16_t>(LcgRandom() % 321 + 352);
  const auto type = static_cast<int16_t>(kinds > 1 ? LcgRandom() % kinds + smallest : smallest);
  SpawnPool1Enemy(o.x, o.y, type, angle, -1, 1);
  o.state = 0;
}

}  // namespace

void UpdateStage2IwaLSpawner(int16_t slot) { RunSpawner(slot, 12, 1); }
void UpdateStage2IwaMSpawner(int16_t slot) { RunSpawner(slot, 13, 1); }
void UpdateStage2IwaSSpawner(int16_t slot) { RunSpawner(slot, 14, 3); }
