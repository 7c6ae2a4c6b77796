#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage5/boss_chain.h"
#include "stg_src/stages/stage5/boss_form_parts.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

// Form 5 (pool 0, type 14), the last form on hard and insane: a body that bobs between screen y
// 160 and 240, two plates held at screen y 80 and 320 whatever the body does, a claw on each
// plate that punches far to the left with a bar hanging from it, rails that telescope with the
// claws, four guns and its core. In each cycle one claw punches once, slowly, while the other
// punches fast and again; the cycle ends when the slow one is home. Form words: intWork0 the
// approach frames, or the slow claw's home signal; intWork1 the cycle count (up to 6); intWork2
// the bob direction (0 down, 1 up); intWork3 the gun rotation step; groundSlope the turning
// shot's count; realWork3 the body's y less screen y 200.

namespace {

constexpr int16_t kPlatesOut = -5;
constexpr int32_t kApproachFrames = 41;
constexpr int32_t kMostCycles = 6;
constexpr int kUpperPlate = 4;
constexpr int kLowerPlate = 5;
constexpr int kUpperClaw = 8;
constexpr int kLowerClaw = 9;
constexpr int kFirstGun = 10;
constexpr int kCoreSlot = 0;
constexpr double kPlateReach = 120;
constexpr double kClawHome = -120;
constexpr double kClawReach = -500;

constexpr PartCircle kRailNearCircles[] = {{10, -120, 0}, {10, -90, 0}, {10, -60, 0},
                                           {10, -30, 0},  {10, 0, 0},   {10, 30, 0}};
constexpr PartCircle kRailFarCircles[] = {{10, -120, 0}, {10, -90, 0},  {10, -60, 0},
                                          {10, -210, 0}, {10, -180, 0}, {10, -150, 0}};
constexpr PartCircle kPlateCircles[] = {{33, -28, -33}, {50, 53, -43}, {22, -5, 22}, {22, -5, 66}};
constexpr PartCircle kClawCircles[] = {{15, -44, 5}, {15, -16, 0}, {14, -15, 38}, {36, 30, 12}};
constexpr PartCircle kBarCircles[] = {{4, -127, -8}, {10, -112, -8}, {10, -91, -8},
                                      {10, -70, -8}, {10, -49, -8},  {10, -28, -8}};

// The gun (array A slot) each step of intWork3 cues; -1 none.
constexpr int kGunRotation[19] = {10, 11, 12, 13, 12, 11, 10, -1, 13, 12,
                                  11, 10, 11, 12, 13, -1, -1, -1, -1};

void AttachOn(EnemyPart* parts, int slot, int32_t type, double dx, double dy, int16_t angle,
              int16_t variant, int16_t parent) {
  AttachPart(parts, slot, type, dx, dy, angle, 0);
  parts[slot].variant = variant;
  parts[slot].parentPart = parent;
}

void SetUp(int16_t slot) {
  BeginFormSetUp(slot, {280, 160, 96, 1});
  EnemyObject& o = EnemyPool0[slot];
  o.realWork2 = o.realWork3 = 0;
  o.groundSlope = 0;
  SetEnemyHitCircle(EnemyPool0, slot, 0, 16, -75, -36);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 16, -75, 36);
  SetEnemyHitCircle(EnemyPool0, slot, 2, 30, -8, -44);
  SetEnemyHitCircle(EnemyPool0, slot, 3, 30, -8, 44);
  SetEnemyHitCircle(EnemyPool0, slot, 4, 38, 38, 0);
  AttachOn(o.partsA, 0, 31, 94, -30, 0, 0, kUpperPlate);
  AttachOn(o.partsA, 1, 31, 94, 30, 0, 1, kLowerPlate);
  AttachOn(o.partsA, 2, 31, 94, -30, 0, 2, kUpperPlate);
  AttachOn(o.partsA, 3, 31, 94, 30, 0, 3, kLowerPlate);
  AttachOn(o.partsA, kUpperPlate, 27, 0, -80, 0, 0, -1);
  AttachOn(o.partsA, kLowerPlate, 27, 0, 80, 0, 1, -1);
  AttachOn(o.partsA, 6, 29, -14, 40, 0, 0, kUpperClaw);
  AttachOn(o.partsA, 7, 29, -14, -40, 0, 1, kLowerClaw);
  AttachOn(o.partsA, kUpperClaw, 28, -120, -60, 0, 0, kUpperPlate);
  AttachOn(o.partsA, kLowerClaw, 28, -120, 60, 0, 1, kLowerPlate);
  AttachOn(o.partsA, kFirstGun, 30, -32, -68, 512, 0, -1);
  AttachOn(o.partsA, kFirstGun + 1, 30, -84, -47, 512, 0, -1);
  AttachOn(o.partsA, kFirstGun + 2, 30, -84, 47, 512, 0, -1);
  AttachOn(o.partsA, kFirstGun + 3, 30, -32, 68, 512, 0, -1);
  AttachOn(o.partsB, kCoreSlot, kStage5CorePartType, 0, 0, 0, 0, -1);
  o.partCountA = 14;
  o.partCountB = 1;
  FinishFormSetUp();
}

void NextPhase(EnemyObject& o, int16_t phase) {
  o.phase = phase;
  o.speed = o.vx = 0;
  o.intWork0 = 0;
  o.realWork0 = o.realWork1 = 0;
}

// Phases 1 and 3: the approach; leaving it sets the claws' punches, the slow one on the upper
// claw after phase 1 and on the lower after phase 3.
void StepApproach(EnemyObject& o) {
  DriftTowardScreenX(o, 520, 480);
  o.intWork0 += 1;
  if (o.intWork0 < kApproachFrames) return;
  const bool upperSlow = o.phase == 1;
  NextPhase(o, static_cast<int16_t>(o.phase + 1));
  o.partsA[kUpperClaw].cue = upperSlow ? 1 : 2;
  o.partsA[kLowerClaw].cue = upperSlow ? 2 : 1;
}

// Phases 2 and 4: the punches; the slow claw's return ends the cycle.
void StepPunches(EnemyObject& o) {
  CueCoreOnTimeOut(o, o.partsB[kCoreSlot], kStage5LastFormTimeOut);
  if (o.intWork0 > 0) {
    NextPhase(o, static_cast<int16_t>(o.phase == 4 ? 1 : o.phase + 1));
    if (o.intWork1 < kMostCycles) o.intWork1 += 1;
    o.partsA[kUpperClaw].cue = 0;
    o.partsA[kLowerClaw].cue = 0;
  }
  DriftTowardScreenX(o, 520, 480);
}

// The bob between screen y 160 and 240, held still while the turning shot counts.
void Bob(EnemyObject& o) {
  double target;
  if (o.intWork2 == 0) {
    target = ScreenToWorldY(240);
    if (o.y >= target) o.intWork2 = 1;
  } else {
    target = ScreenToWorldY(160);
    if (o.y <= target) o.intWork2 = 0;
  }
  if (o.groundSlope < 1) {
    if (target > o.y) o.vy = 0.8;
    if (target < o.y) o.vy = -0.8;
  } else {
    o.vy = 0;
  }
}

void StepTurningShot(EnemyObject& o) {
  const int16_t every = ComputeFireIntervalFlat(400, o.rank);
  const int32_t at = o.frame % every;
  if (at == ComputeFireIntervalFlat(100, o.rank) || at == ComputeFireIntervalFlat(200, o.rank))
    o.groundSlope = 1;
  if (o.groundSlope <= 0) return;
  const int16_t old = o.groundSlope;
  o.groundSlope = static_cast<int16_t>(old + 1);
  if (old == 4) SpawnEnemyShot(21, 512, ScaleShotSpeed(2.8), o.x - 77, o.y, 1);
  if (o.groundSlope > 9) o.groundSlope = 0;
}

void CueGuns(EnemyObject& o) {
  if (o.frame % ComputeFireInterval(20, o.rank) != ComputeFireInterval(8, o.rank)) return;
  const int gun = kGunRotation[o.intWork3 % 19];
  if (gun >= 0) o.partsA[gun].cue = 1;
  o.intWork3 = (o.intWork3 + 1) % 19;
}

// A part hanging on the form's plate or claw: the follow, then the end with the form.
bool FollowAndLive(EnemyPart* parts, int16_t j, PartEnd end) {
  EnemyPart& p = parts[j];
  FollowParentPart(parts, p.parentPart, parts, j);
  if (EndWithForm(p, end)) return false;
  return p.state == 2;
}

}  // namespace

void UpdateStage5Boss5(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUp(slot);
    return;
  }
  if (o.state != 2) {
    StepFormDeath(slot);
    return;
  }
  if (StepFormEntry(o, kPlatesOut, true)) {
    MoveFormWithScroll(o);
    return;
  }
  if (o.phase == kPlatesOut) {
    if (o.y > PlayerY) o.intWork2 = 1;
  } else if (o.phase == 1 || o.phase == 3) {
    StepApproach(o);
  } else if (o.phase == 2 || o.phase == 4) {
    StepPunches(o);
  }
  if (o.phase > 0) {
    Bob(o);
    StepTurningShot(o);
    CueGuns(o);
  }
  MoveFormWithScroll(o);
  // Taken after the move, so the plates placed this frame keep their screen heights exactly.
  if (o.phase > 0) o.realWork3 = o.y - ScreenToWorldY(200);
}

void UpdateStage5Boss5PlatePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& o = pool[slot];
  TickPart(p);
  if (p.state == 1) {
    SetUpFormPart(parts, partIndex, 1, kPlateCircles, p.variant == 0 ? 1 : -1, 120, 120, p.variant);
  }
  const double reach = p.variant == 0 ? -kPlateReach : kPlateReach;
  if (o.phase == kPlatesOut) {
    p.offsetY = ApproachValue(p.offsetY, 1, reach);
    if (p.variant == 1 && p.offsetY == reach) o.phase = 1;
  } else if (o.phase > 0) {
    p.offsetY = reach - o.realWork3;
  }
  if (p.state > 0) FollowParentObject(pool, slot, parts, partIndex, 1);
  EndWithForm(p, PartEnd::Large);
}

void UpdateStage5Boss5ClawPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& o = pool[slot];
  TickPart(p);
  if (p.state == 1) {
    SetUpFormPart(parts, partIndex, 1, kClawCircles, p.variant == 0 ? 1 : -1, 100, 60, p.variant);
  }
  if (!FollowAndLive(parts, partIndex, PartEnd::Large)) return;
  const double n = o.intWork1;
  const double slow = n * 0.25 + 1;
  const double fast = n * 0.5 + 2;
  switch (p.cue) {
    case 1:
      p.offsetX = ApproachValue(p.offsetX, slow, kClawReach);
      if (p.offsetX == kClawReach) p.cue = -1;
      break;
    case -1:
      p.offsetX = ApproachValue(p.offsetX, slow, kClawHome);
      if (p.offsetX == kClawHome) o.intWork0 = 1;
      break;
    case 2:
      p.offsetX = ApproachValue(p.offsetX, fast, kClawReach);
      if (p.offsetX == kClawReach) p.cue = -2;
      break;
    case -2:
      p.offsetX = ApproachValue(p.offsetX, fast, kClawHome);
      if (p.offsetX == kClawHome) p.cue = 2;
      break;
    default:
      p.offsetX = ApproachValue(p.offsetX, fast, kClawHome);
      break;
  }
}

void UpdateStage5Boss5BarPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  TickPart(p);
  if (p.state == 1) {
    SetUpFormPart(parts, partIndex, 1, kBarCircles, p.variant == 0 ? 1 : -1, 160, 160, p.variant);
  }
  if (!FollowAndLive(parts, partIndex, PartEnd::LargeNoDebris)) return;
  if (o.phase > 0 || o.phase == kPlatesOut) {
    p.angle = TurnAngle(p.variant == 0 ? 768 : 256, p.angle, 2);
  }
}

void UpdateStage5Boss5GunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  TickPart(p);
  if (p.state == 1) SetUpFormPart(parts, partIndex, 0, 40, 40, 0);
  FollowParentObject(pool, slot, parts, partIndex, 1);
  if (EndWithForm(p, PartEnd::Silent) || p.state != 2) return;
  if (o.phase > 0 && p.cue == 0) {
    const bool lower = partIndex >= kFirstGun + 2;
    const int16_t aim = static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY));
    const int16_t target =
        lower ? ClampAngleToArc(aim, 448, 512, 0) : ClampAngleToArc(aim, 512, 576, 0);
    p.angle = TurnAngle(target, p.angle, 4);
  }
  if (p.cue <= 0) return;
  p.cue = static_cast<int16_t>(p.cue + 1);
  if (p.cue % 3 == 0) {
    SpawnEnemyShot(1, p.angle, ScaleShotSpeed(3), RotateOffsetX(p.x, 35, 0, p.angle),
                   RotateOffsetY(p.y, 35, 0, p.angle), 1);
  }
  if (p.cue > 10) p.cue = 0;
}

// The rails telescope with their claw: the near pair moves with it, the far pair at 1/2.8.
void UpdateStage5Boss5RailPart(EnemyObject*, uint16_t, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  TickPart(p);
  if (p.state == 1) {
    if (p.variant < 2) {
      SetUpFormPart(parts, partIndex, 1, kRailNearCircles, 1, 160, 20, p.variant);
    } else {
      SetUpFormPart(parts, partIndex, 1, kRailFarCircles, 1, 160, 20, p.variant);
    }
  }
  const EnemyPart& claw = parts[p.variant % 2 == 0 ? kUpperClaw : kLowerClaw];
  const double travel = claw.offsetX - kClawHome;
  p.offsetX = p.variant < 2 ? travel + 96 : travel / 2.8 + 96;
  FollowAndLive(parts, partIndex, PartEnd::LargeNoDebris);
}
