#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage5/boss_chain.h"
#include "stg_src/stages/stage5/boss_form_parts.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

// Form 4 (pool 0, type 13): a large body with two arms behind it, four missile pods on each, and
// in front its core and two hidden beam emitters. In the attack the arms slide apart and turn
// their ports forward to fire volleys while the body fires its rotating pattern; in the patrol
// they fold back and the pods open in turn. Form words: intWork0 counts the frames of the attack
// and the patrol, intWork2 steps the pod rotation, intWork3 the body's pattern. Arm words: work0
// the frames at a rest position, work1 the volley step, cue the cooldown after a volley. Pod
// words: work0 the open frames, work1 the launch step.

namespace {

constexpr int16_t kPatrol = -3;
constexpr int16_t kUnfold = 1;
constexpr int16_t kAttack = 3;
constexpr int16_t kFold = -1;
constexpr int kArmSlot = 0;
constexpr int kFirstPod = 2;
constexpr int kCoreSlot = 0;
constexpr int kBeamSlot = 1;
constexpr int32_t kAttackFrames = 600;
constexpr int32_t kPatrolFrames = 560;
constexpr int32_t kPodsUntil = 480;
constexpr int32_t kVolleysFrom = 80;
constexpr int32_t kBeamsAfter = 120;
constexpr int16_t kArmDockSound = 44;
constexpr int16_t kMuzzleCooldown = 32;

constexpr PartCircle kArmCircles[] = {{8, -143, -39}, {16, -111, -41}, {28, -65, -37},
                                      {25, -12, -39}, {12, 27, -21},   {7, -94, -12}};

struct Muzzle {
  int16_t type;
  double speed, dx, dy;
};
constexpr Muzzle kPair[] = {{1, 2.4, -73, -3}, {1, 2.4, -73, 3}};
constexpr Muzzle kUpperFront[] = {{3, 2.8, -118, -24}};
constexpr Muzzle kLowerFront[] = {{3, 2.8, -118, 24}};
constexpr Muzzle kUpperSide[] = {{3, 2.8, -90, -37}};
constexpr Muzzle kLowerSide[] = {{3, 2.8, -90, 37}};
constexpr Muzzle kCross[] = {{3, 2.8, -118, -24}, {3, 2.8, -90, 37}};
constexpr Muzzle kFronts[] = {{3, 2.8, -118, -24}, {3, 2.8, -118, 24}};
constexpr Muzzle kSides[] = {{3, 2.8, -90, -37}, {3, 2.8, -90, 37}};

struct Volley {
  const Muzzle* muzzles;
  int count;
};
template <int N>
constexpr Volley Of(const Muzzle (&m)[N]) {
  return {m, N};
}
constexpr Volley kNone = {nullptr, 0};
// The attack's body pattern and the patrol's pairs, by step of intWork3.
constexpr Volley kAttackPattern[8] = {Of(kPair),      Of(kUpperFront), Of(kLowerFront),
                                      Of(kUpperSide), Of(kLowerSide),  Of(kPair),
                                      kNone,          Of(kCross)};
constexpr Volley kPatrolPattern[8] = {Of(kPair), Of(kFronts), kNone, Of(kSides),
                                      kNone,     Of(kPair),   kNone, Of(kFronts)};

// The pods (array A slots) opened at each step of the patrol's rotation; -1 ends a row.
constexpr int kPodRotation[6][3] = {{3, 8, -1}, {5, 7, 9}, {2, 6, 8},
                                    {4, 7, -1}, {3, 5, 9}, {2, 4, 6}};

// An arm's ports by volley step: one or two (dx, dy), dy upward for the upper arm.
struct Port {
  double dx, dy;
};
constexpr Port kPorts[8][2] = {{{-12, 60}, {0, 0}},   {{-10, 77}, {0, 0}},   {{-15, 43}, {0, 0}},
                               {{-9, 98}, {0, 0}},    {{-16, 22}, {0, 0}},   {{-12, 60}, {0, 0}},
                               {{-9, 98}, {-15, 43}}, {{-10, 77}, {-16, 22}}};
constexpr int kPortCount[8] = {1, 1, 1, 1, 1, 1, 2, 2};

void FireVolley(const EnemyObject& o, const Volley& v) {
  for (int i = 0; i < v.count; ++i) {
    const Muzzle& m = v.muzzles[i];
    SpawnEnemyShot(m.type, 512, ScaleShotSpeed(m.speed), o.x + m.dx, o.y + m.dy, 1);
  }
}

void AttachOn(EnemyPart* parts, int slot, int32_t type, double dx, double dy, int16_t angle,
              int16_t variant, int16_t parent) {
  AttachPart(parts, slot, type, dx, dy, angle, 0);
  parts[slot].variant = variant;
  parts[slot].parentPart = parent;
}

void SetUp(int16_t slot) {
  BeginFormSetUp(slot, {180, 160, 96, 1});
  EnemyObject& o = EnemyPool0[slot];
  SetEnemyHitCircle(EnemyPool0, slot, 0, 64, 64, 0);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 28, -12, -58);
  SetEnemyHitCircle(EnemyPool0, slot, 2, 28, -12, 58);
  SetEnemyHitCircle(EnemyPool0, slot, 3, 14, -63, -33);
  SetEnemyHitCircle(EnemyPool0, slot, 4, 14, -63, 33);
  AttachOn(o.partsA, kArmSlot, 24, 78, -57, 0, 0, -1);
  AttachOn(o.partsA, kArmSlot + 1, 24, 78, 57, 0, 1, -1);
  for (int i = 0; i < 8; ++i) {
    const double dx = -78 + 21 * (i % 4);
    AttachOn(o.partsA, kFirstPod + i, 25, dx, i < 4 ? -55 : 55, 0, static_cast<int16_t>(i),
             static_cast<int16_t>(i < 4 ? kArmSlot : kArmSlot + 1));
  }
  AttachOn(o.partsB, kCoreSlot, kStage5CorePartType, 0, 0, 0, 1, -1);
  AttachOn(o.partsB, kBeamSlot, 26, -92, -70, 512, 0, -1);
  AttachOn(o.partsB, kBeamSlot + 1, 26, -92, 70, 512, 0, -1);
  o.partCountA = 10;
  o.partCountB = 3;
  FinishFormSetUp();
}

bool BeamCounting(const EnemyObject& o) { return o.partsB[kBeamSlot].cue >= 1; }

void StepAttack(EnemyObject& o) {
  CueCoreOnTimeOut(o, o.partsB[kCoreSlot], kStage5FormTimeOut);
  o.intWork0 += 1;
  if (o.intWork0 > kAttackFrames && o.partsA[kArmSlot].cue == 0) {
    ResetFormForPhase(o, kFold, true);
    return;
  }
  DriftTowardScreenX(o, 520, 480);
  const double speed = BeamCounting(o) ? 0.8 : 1.6;
  TrackPlayerY(o, 70, 330, speed, 0.04);
  if (o.frame % ComputeFireInterval(14, o.rank) == ComputeFireInterval(7, o.rank)) {
    FireVolley(o, kAttackPattern[o.intWork3 & 7]);
    o.intWork3 = (o.intWork3 + 1) % 8;
  }
}

void StepPatrol(EnemyObject& o) {
  CueCoreOnTimeOut(o, o.partsB[kCoreSlot], kStage5FormTimeOut);
  o.intWork0 += 1;
  if (o.intWork0 > kPatrolFrames) {
    ResetFormForPhase(o, kUnfold, true);
    return;
  }
  DriftTowardScreenX(o, 520, 480);
  const double speed = BeamCounting(o) ? 0.5 : 1.0;
  TrackPlayerY(o, 80, 320, speed, 0.04);
  if (o.intWork0 < kPodsUntil &&
      o.frame % ComputeFireIntervalMildRank(24, o.rank) == ComputeFireIntervalMildRank(6, o.rank)) {
    for (int pod : kPodRotation[o.intWork2 % 6]) {
      if (pod >= 0 && o.partsA[pod].cue == 0) o.partsA[pod].cue = 1;
    }
    o.intWork2 = (o.intWork2 + 1) % 6;
  }
  if (o.frame % ComputeFireIntervalMildRank(21, o.rank) == ComputeFireIntervalMildRank(7, o.rank)) {
    FireVolley(o, kPatrolPattern[o.intWork3 & 7]);
    o.intWork3 = (o.intWork3 + 1) % 8;
  }
}

void CueBeams(EnemyObject& o) {
  if (o.phase == kPatrol || o.frame <= kBeamsAfter) return;
  if (o.frame % ComputeFireIntervalFlat(240, o.rank) == ComputeFireIntervalFlat(30, o.rank)) {
    o.partsB[kBeamSlot].cue = kTiedBeamStart;
    o.partsB[kBeamSlot + 1].cue = kTiedBeamStart;
  }
}

// Unfolding: the arm slides out, rests, then turns its ports forward; the upper arm's arrival
// starts the attack.
void Unfold(EnemyObject& o, EnemyPart& p) {
  const double out = p.variant == 0 ? -76 : 76;
  p.offsetY = ApproachValue(p.offsetY, 2, out);
  if (p.offsetY != out) return;
  p.work0 = static_cast<int16_t>(p.work0 + 1);
  if (p.variant == 0) {
    if (p.work0 == 17) RequestSoundEffect(kArmDockSound);
    if (p.work0 > 16 || o.phase == kAttack) p.baseAngle = TurnAngle(256, p.baseAngle, 4);
    if (p.baseAngle == 256) o.phase = kAttack;
  } else if (p.work0 > 16) {
    p.baseAngle = TurnAngle(768, p.baseAngle, 4);
  }
}

// Folding: the arm turns back, rests, then slides in; home, it starts the patrol.
void Fold(EnemyObject& o, EnemyPart& p) {
  p.baseAngle = TurnAngle(0, p.baseAngle, 8);
  if (p.baseAngle != 0) return;
  p.work0 = static_cast<int16_t>(p.work0 + 1);
  if (p.work0 > 16 || o.phase == kPatrol) {
    p.offsetY = ApproachValue(p.offsetY, 2, p.variant == 0 ? -57 : 57);
  }
  if (p.offsetY == 57 || p.offsetY == -57) o.phase = kPatrol;
}

void StepVolleys(const EnemyObject& o, EnemyPart& p) {
  if (o.intWork0 > kAttackFrames) {
    if (p.cue > 0) p.cue = static_cast<int16_t>(p.cue - 1);
    return;
  }
  if (o.intWork0 <= kVolleysFrom) return;
  if (p.counter % ComputeFireIntervalMildRank(12, o.rank) != 0) return;
  const int step = p.work1 & 7;
  const double sign = p.variant == 0 ? -1 : 1;
  for (int i = 0; i < kPortCount[step]; ++i) {
    SpawnEnemyShot(3, 512, ScaleShotSpeed(3.6), p.x + kPorts[step][i].dx,
                   p.y + sign * kPorts[step][i].dy, 1);
  }
  p.work1 = static_cast<int16_t>((p.work1 + 1) % 8);
  p.cue = kMuzzleCooldown;
}

}  // namespace

void UpdateStage5Boss4(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    if (HandOverIfBeaten(slot)) return;
    SetUp(slot);
    return;
  }
  if (o.state != 2) {
    StepFormDeath(slot);
    return;
  }
  if (!StepFormEntry(o, kPatrol, true)) {
    if (o.phase == kAttack) {
      StepAttack(o);
    } else if (o.phase == kPatrol) {
      StepPatrol(o);
    }
    CueBeams(o);
  }
  MoveFormWithScroll(o);
}

void UpdateStage5Boss4ArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& o = pool[slot];
  TickPart(p);
  if (p.state == 1) {
    SetUpFormPart(parts, partIndex, 1, kArmCircles, p.variant == 0 ? 1 : -1, 192, 192, p.variant);
  }
  FollowParentObject(pool, slot, parts, partIndex, 1);
  if (EndWithForm(p, PartEnd::Large)) return;
  if (o.phase == kUnfold || o.phase == kAttack) {
    Unfold(o, p);
  } else if (o.phase == kFold || o.phase == kPatrol) {
    Fold(o, p);
  }
  if (o.phase != kUnfold && o.phase != kFold) p.work0 = 0;
  if (o.phase == kAttack) StepVolleys(o, p);
  p.angle = static_cast<int16_t>(WrapAngle(o.angle + p.baseAngle));
}

void UpdateStage5Boss4PodPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  const int32_t closed = p.variant < 4 ? 0 : 5;
  TickPart(p);
  if (p.state == 1) SetUpFormPart(parts, partIndex, 0, 16, 16, closed, 150);
  FollowParentPart(parts, p.parentPart, parts, partIndex);
  if (EndWithForm(p, PartEnd::Silent)) return;
  if (p.state != 2) return;
  const int16_t armAngle = p.parentPart >= 0 ? parts[p.parentPart].baseAngle : 0;
  p.angle = static_cast<int16_t>(WrapAngle(o.angle + armAngle));
  if (p.cue > 0 && p.angle != 0) p.cue = 0;
  if (p.cue <= 0) {
    p.work0 = 0;
    if (p.counter % 3 == 0 && p.imageFrame > closed) p.imageFrame -= 1;
    return;
  }
  p.cue = static_cast<int16_t>(p.cue + 1);
  const int32_t open = closed + 4;
  if (p.imageFrame < open && p.cue % 3 == 0) p.imageFrame += 1;
  if (p.imageFrame < open) return;
  if (p.work0 == 5) {
    SpawnPool2Enemy(p.x, p.y, 6, static_cast<int16_t>(p.variant * 10 + p.work1));
  }
  p.work0 = static_cast<int16_t>(p.work0 + 1);
  p.work1 = static_cast<int16_t>(p.work1 + 1);
  if (p.work1 > 2) p.work1 = 0;
  if (p.work0 >= 12) p.cue = 0;
}

// The hidden emitters fire the tied beam on their own clock, tied at their own point; once the
// form is gone the beam is cut short and fades.
void UpdateStage5Boss4BeamPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  TickPart(p);
  if (p.state == 1) {
    SetUpFormPart(parts, partIndex, 0, 0, 0, -1, 0);
    p.scoreBase = 0;
    p.stopFrame = 9999;
  }
  FollowParentObject(pool, slot, parts, partIndex, 1);
  p.drawOffsetY = o.drawOffsetY;
  if (p.state > 2) {
    if (p.cue > 30) p.cue = 30;
    p.cue = static_cast<int16_t>(p.cue - 3);
    if (p.cue <= 1) p.state = 0;
    return;
  }
  if (p.state == 2) RunTiedBeam(pool, slot, parts, partIndex, TiedBeamAlong(0));
}
