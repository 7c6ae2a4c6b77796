#include "stg_src/stages/stage5/boss_form1.h"

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage5/boss_chain.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

// Form 1 (pool 0, type 10): no body of its own, a side block with four arms and a cannon with
// guns, launchers and an unseen beam emitter, each assembly carrying one of the form's two
// cores. It patrols at the right; in its attack the cannon slides out behind the player.
// intWork0 counts patrol and attack frames (from 100), intWork1 is the patrol step, intWork3
// counts patrol decisions; realWork0 is the centring speed or the patrol target y, realWork1
// the patrol offset.

using namespace stage5_form1;

namespace {

constexpr int16_t kFrontPartCount = 13;
constexpr int32_t kPatrolAtLeast = 250;
constexpr double kPatrolOffset = 80;
constexpr double kCannonReach = -400;

struct FrontPart {
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t variant;
  int16_t parent;
};
constexpr FrontPart kFrontParts[] = {
    {0, 14, 16, -40, 960, 0, kSideSlot},
    {1, 14, 16, -24, 1020, 1, kSideSlot},
    {2, 14, 16, 24, 4, 2, kSideSlot},
    {3, 14, 16, 40, 64, 3, kSideSlot},
    {kSideSlot, 11, 0, 0, 0, 0, -1},
    {kSideCoreSlot, kStage5CorePartType, 0, 0, 0, 100, kSideSlot},
    {6, 12, -48, -46, 512, 0, kCannonSlot},
    {7, 12, -48, 46, 512, 1, kCannonSlot},
    {8, 13, -17, -55, 640, 0, kCannonSlot},
    {9, 13, -17, 55, 384, 1, kCannonSlot},
    {kCannonSlot, 10, 0, 0, 0, 0, -1},
    {kCannonCoreSlot, kStage5CorePartType, -50, 0, 0, 101, kCannonSlot},
    {kEmitterSlot, 10, 0, 0, 0, 1, -1},
};

void SetUp(int16_t slot) {
  BeginFormSetUp(slot, {160, 0, 0, 0});
  EnemyObject& o = EnemyPool0[slot];
  o.intWork0 = 100;
  for (const FrontPart& f : kFrontParts) {
    AttachPart(o.partsB, f.slot, f.type, f.dx, f.dy, f.angle, 0);
    o.partsB[f.slot].variant = f.variant;
    o.partsB[f.slot].parentPart = f.parent;
  }
  o.partCountA = 0;
  o.partCountB = kFrontPartCount;
  FinishFormSetUp();
}

bool Every(const EnemyObject& o, int16_t base, int16_t at) {
  return o.frame % ComputeFireInterval(base, o.rank) == ComputeFireInterval(at, o.rank);
}
bool EveryFlat(const EnemyObject& o, int16_t base, int16_t at) {
  return o.frame % ComputeFireIntervalFlat(base, o.rank) == ComputeFireIntervalFlat(at, o.rank);
}

void CueParts(EnemyObject& o, const int* slots, int count, int16_t cue) {
  for (int k = 0; k < count; ++k) o.partsB[slots[k]].cue = cue;
}

void EnterPhase(EnemyObject& o, int16_t phase) {
  o.phase = phase;
  o.vx = o.vy = o.speed = 0;
  o.intWork0 = o.intWork1 = o.intWork2 = 0;
  o.realWork0 = o.realWork1 = 0;
}

// Six type-1 shots fanned from the side block's core.
void FireVolley(const EnemyObject& o) {
  struct Muzzle {
    double dx, dy;
    int16_t angle;
  };
  constexpr Muzzle kVolley[] = {{-76, -18, 512}, {-72, -37, 512}, {-67, -48, 576},
                                {-76, 18, 512},  {-72, 37, 512},  {-67, 48, 448}};
  const EnemyPart& core = o.partsB[kSideCoreSlot];
  const double speed = ScaleShotSpeed(2.8);
  for (const Muzzle& m : kVolley)
    SpawnEnemyShot(1, m.angle, speed, core.x + m.dx, core.y + m.dy, 1);
}

// A new patrol leg: 80 px toward the player's height, turned back when it would leave the band
// from screen y -40 to 440.
void PickPatrolLeg(EnemyObject& o) {
  o.realWork1 = o.y > PlayerY ? -kPatrolOffset : kPatrolOffset;
  o.realWork0 = o.y + o.realWork1;
  if (o.realWork0 < ScreenToWorldY(-40) || o.realWork0 > ScreenToWorldY(440)) {
    o.realWork1 = -o.realWork1;
    o.realWork0 = o.y + o.realWork1;
  }
  o.intWork1 = 1;
}

void StepPatrol(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.intWork0 += 1;
  o.vx = ApproachValue(o.vx, 0.04, o.x > ScreenToWorldX(500) ? -0.8 : 0.8);
  if (o.frame > kStage5FormTimeOut && o.partsB[kSideCoreSlot].cue == 0) {
    o.partsB[kSideCoreSlot].cue = 1;
    o.partsB[kCannonCoreSlot].cue = 1;
  }
  const bool sideAlive = IsLive(o, kSideCoreSlot);
  const bool cannonAlive = IsLive(o, kCannonCoreSlot);
  if (o.intWork1 == 0) {
    if (o.intWork0 > kPatrolAtLeast) {
      o.intWork3 += 1;
      if (sideAlive && cannonAlive) {
        EnterPhase(o, kCentre);
        return;
      }
    }
    PickPatrolLeg(o);
  } else {
    SteerTowardY(EnemyPool0, slot, o.realWork0, o.realWork1 < 0 ? 1 : 0, 1.6, 16);
    if (o.vy == 0) {
      o.intWork1 += 1;
      if (o.intWork1 >= 8) o.intWork1 = 0;
    }
  }
  if (Every(o, 45, 8)) CueParts(o, kGunSlots, 2, 1);
  if (EveryFlat(o, 90, 32)) CueParts(o, kLauncherSlots, 2, 1);
  if (Every(o, 360, 240)) o.partsB[kEmitterSlot].cue = kTiedBeamStart;
  if (sideAlive && !cannonAlive) {
    if (Every(o, 60, 8)) CueParts(o, kArmSlots, 4, 1);
    if (Every(o, 80, 4)) FireVolley(o);
  }
}

void StepCentre(EnemyObject& o) {
  o.realWork0 = ApproachValue(o.realWork0, 0.04, 2.4);
  const double centre = ScreenToWorldY(200);
  o.y = ApproachValue(o.y, o.realWork0, centre);
  if (o.y == centre) o.phase = kSlideOut;
}

void StepAttack(EnemyObject& o) {
  o.intWork0 += 1;
  if (o.intWork0 > 800) {
    EnterPhase(o, kReturnY);
    o.intWork3 += 1;
    return;
  }
  if (Every(o, 60, 8)) CueParts(o, kArmSlots, 4, 1);
  if (EveryFlat(o, 180, 30)) CueParts(o, kLauncherSlots, 2, 1);
  if (IsLive(o, kSideCoreSlot) && Every(o, 80, 4)) FireVolley(o);
  if (Every(o, 80, 44)) o.partsB[kCannonSlot].cue = 1;
}

// The cannon's slide by the form's phase; startCos is its x speed, startSin its y speed.
void SlideCannon(EnemyObject& o, EnemyPart& p) {
  switch (o.phase) {
    case kCentre:
      p.startCos = p.startSin = 0;
      break;
    case kSlideOut:
      p.startCos = ApproachValue(p.startCos, 0.05, -4.8);
      p.offsetX += p.startCos;
      if (p.offsetX <= kCannonReach) {
        p.offsetX = kCannonReach;
        p.startCos = 0;
        o.phase = kAttack;
      }
      break;
    case kAttack:
      p.startSin = TrackTowardPlayer(p.startSin, p.y, 2, 0.05);
      p.offsetY += p.startSin;
      break;
    case kReturnY:
      if (ReturnOffset(p.offsetY, p.startSin, 2, 0.05)) o.phase = kReturnX;
      break;
    case kReturnX:
      if (ReturnOffset(p.offsetX, p.startCos, 3.2, 0.05)) {
        o.phase = kPatrol;
        RequestSoundEffect(kDockSound);
      }
      break;
    case kPatrol:
      // Thrown into the patrol while out: it comes home on both axes without a sound.
      ReturnOffset(p.offsetY, p.startSin, 2, 0.05);
      ReturnOffset(p.offsetX, p.startCos, 3.2, 0.05);
      break;
    default:
      break;
  }
}

void UpdateCannon(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 2 && FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  if (EndIfDestroyed(p) || p.state != 2) return;
  SlideCannon(pool[slot], p);
  if (p.cue > 0) {
    const double speed = ScaleShotSpeed(2.8);
    SpawnEnemyShot(1, p.angle, speed, p.x + 8, p.y - 21, 1);
    SpawnEnemyShot(1, p.angle, speed, p.x + 8, p.y + 21, 1);
    p.cue = 0;
  }
}

// The unseen emitter rides on the cannon and runs the tied beam the form cues with 120. Its
// beam ends at cue 2 (cue 1 is rest, as 0 is), and then the patrol picks a new leg.
void UpdateEmitter(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 2 && FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  const EnemyPart& cannon = parts[kCannonSlot];
  if (p.state != 2 || cannon.state != 2) {
    p.state = 0;
    return;
  }
  p.x = cannon.x;
  p.y = cannon.y;
  if (p.cue < 2) {
    p.linkActive = 0;
    return;
  }
  const bool lastBeamFrame = p.cue == 2;
  RunTiedBeam(pool, slot, parts, partIndex, TiedBeamAlong(154));
  if (lastBeamFrame) pool[slot].intWork1 = 0;
}

}  // namespace

void UpdateStage5Boss1(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    BossType = static_cast<int16_t>(o.type);
    if (HandOverIfBeaten(slot)) return;
    SetUp(slot);
    return;
  }
  if (o.state != 2) {
    StepFormDeath(slot);
    return;
  }
  if (!StepFormEntry(o, kPatrol, false)) {
    if (o.phase == kPatrol) {
      StepPatrol(slot);
    } else if (o.phase == kCentre) {
      StepCentre(o);
    } else if (o.phase == kAttack) {
      StepAttack(o);
    }
  }
  MoveFormWithScroll(o);
}

void UpdateStage5Boss1CannonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) SetUpFormOnePart(parts, partIndex);
  if (p.variant == 1) {
    UpdateEmitter(pool, slot, parts, partIndex);
  } else {
    UpdateCannon(pool, slot, parts, partIndex);
  }
}
