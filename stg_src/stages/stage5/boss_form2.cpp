#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage5/boss_chain.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

// Form 2 (pool 0, type 11): a body with two wings and two tails behind it, its core and an upper
// and a lower arm, each with an extending gun, in front. It
// tracks the player's height and fires timed volleys while the arms stay at its sides; at half
// core life, or after 2400 frames between volleys, the arms leave the screen and drop in at the
// player's x to fire sideways. intWork0 is the volley clock.

namespace {

constexpr int16_t kPatrol = -3;
constexpr int16_t kArmsLeave = 1;
constexpr int16_t kAttack = 3;
constexpr int kCoreSlot = 0;
constexpr int kUpperArmSlot = 3;
constexpr int kLowerArmSlot = 6;
constexpr int32_t kSwitchFrame = 2400;
constexpr int16_t kArmDropSound = 44;

struct Muzzle {
  double dx, dy;
};
constexpr Muzzle kFrontGuns[] = {{-62, -31}, {-80, -4}, {-80, 4}, {-62, 31}};
constexpr Muzzle kSideGuns[] = {{-39, -47}, {-39, 47}};

void FireFront(const EnemyObject& o) {
  for (const Muzzle& m : kFrontGuns)
    SpawnEnemyShot(1, 512, ScaleShotSpeed(3.2), o.x + m.dx, o.y + m.dy, 1);
}
void FireSide(const EnemyObject& o) {
  for (const Muzzle& m : kSideGuns)
    SpawnEnemyShot(6, 512, ScaleShotSpeed(2.8), o.x + m.dx, o.y + m.dy, 1);
}

struct FormPart {
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t variant;
  int16_t parent;
};
// Behind the body: the wings and the tails.
constexpr FormPart kBackParts[] = {
    {0, 18, 54, -23, 0, 0, -1},
    {1, 18, 54, 23, 0, 1, -1},
    {2, 19, 0, -31, 0, 0, -1},
    {3, 19, 0, 31, 0, 1, -1},
};
// In front: the core, and on each arm a gun base carrying its turret.
constexpr FormPart kFrontParts[] = {
    {kCoreSlot, kStage5CorePartType, 0, 0, 0, 0, -1},
    {1, 17, 0, 0, 768, 0, 2},
    {2, 17, 0, -40, 0, 1, kUpperArmSlot},
    {kUpperArmSlot, 15, 0, -64, 0, 0, -1},
    {4, 17, 0, 0, 256, 2, 5},
    {5, 17, 0, 40, 0, 3, kLowerArmSlot},
    {kLowerArmSlot, 16, 0, 64, 0, 0, -1},
};

void Attach(EnemyPart* parts, const FormPart& f) {
  AttachPart(parts, f.slot, f.type, f.dx, f.dy, f.angle, 0);
  parts[f.slot].variant = f.variant;
  parts[f.slot].parentPart = f.parent;
}

void SetUp(int16_t slot) {
  BeginFormSetUp(slot, {128, 96, 64, 1});
  EnemyObject& o = EnemyPool0[slot];
  for (const FormPart& f : kBackParts) Attach(o.partsA, f);
  for (const FormPart& f : kFrontParts) Attach(o.partsB, f);
  o.partCountA = 4;
  o.partCountB = kLowerArmSlot + 1;
  FinishFormSetUp();
}

void TrackPlayerHeight(EnemyObject& o) {
  if (PlayerY > o.y) o.vy = ApproachValue(o.vy, 0.05, 1.6);
  if (PlayerY < o.y) o.vy = ApproachValue(o.vy, 0.05, -1.6);
}

void ResetForPhase(EnemyObject& o, int16_t phase) {
  o.phase = phase;
  o.speed = o.vx = o.vy = 0;
  o.intWork0 = o.intWork1 = o.intWork2 = o.intWork3 = 0;
  o.realWork0 = o.realWork1 = 0;
}

void StepPatrol(EnemyObject& o) {
  const EnemyPart& core = o.partsB[kCoreSlot];
  if (core.life <= core.maxLife / 2 || (o.frame > kSwitchFrame && o.intWork0 == 0)) {
    ResetForPhase(o, kArmsLeave);
    return;
  }
  if (o.intWork0 < 1) {
    TrackPlayerHeight(o);
  } else {
    o.intWork0 += 1;
    if (o.intWork0 > 120) o.intWork0 = 0;
    o.vy = ApproachValue(o.vy, 0.1, 0);
  }
  if (o.frame % 320 == 240) o.intWork0 = 1;
  if (o.intWork0 == 50 || o.intWork0 == 80 || o.intWork0 == 110) FireFront(o);
  if (o.intWork0 == 80) FireSide(o);
  const int16_t every = ComputeFireIntervalFlat(120, o.rank);
  if (o.frame % every == ComputeFireIntervalFlat(30, o.rank) ||
      o.frame % every == ComputeFireIntervalFlat(60, o.rank)) {
    o.partsB[kUpperArmSlot].work0 = 1;
    o.partsB[kLowerArmSlot].work0 = 1;
  }
}

void StepAttack(EnemyObject& o) {
  CueCoreOnTimeOut(o, o.partsB[kCoreSlot], kStage5FormTimeOut);
  const double targetX = ScreenToWorldX(PlayerX > ScreenToWorldX(240) ? 590 : 500);
  o.vx = ApproachValue(o.vx, 0.02, o.x > targetX ? -0.4 : 0.4);
  TrackPlayerHeight(o);
  if (o.intWork0 < 1) {
    if (o.frame % ComputeFireIntervalFlat(30, o.rank) == ComputeFireIntervalFlat(6, o.rank))
      FireFront(o);
    if (o.frame % ComputeFireIntervalFlat(150, o.rank) == ComputeFireIntervalFlat(6, o.rank))
      FireSide(o);
  } else {
    o.intWork0 += 1;
    if (o.intWork0 > 200) o.intWork0 = 0;
  }
  if (o.frame % 320 == 240) o.intWork0 = 1;
}

// The arms' volley: four type-3 shots sideways from both ends.
void FireArm(const EnemyPart& p, int sign) {
  const double speed = ScaleShotSpeed(4.8);
  SpawnEnemyShot(3, 512, speed, p.x - 109, p.y + sign * 47, 1);
  SpawnEnemyShot(3, 512, speed, p.x - 87, p.y, 1);
  SpawnEnemyShot(3, 0, speed, p.x + 87, p.y, 1);
  SpawnEnemyShot(3, 0, speed, p.x + 109, p.y + sign * 47, 1);
}

// The attack's drop: in at the player's x from the home y to the stop y, five volleys, then back.
void StepArmAttack(const EnemyObject& o, EnemyPart& p, bool upper) {
  const int sign = upper ? -1 : 1;
  p.work1 = static_cast<int16_t>(p.work1 + 1);
  if (p.cue == 0) {
    if (p.work1 % ComputeFireIntervalFlat(280, o.rank) == ComputeFireIntervalFlat(80, o.rank)) {
      p.cue = 1;
      p.x = PlayerX;
      p.y = p.startY;
    }
  } else if (p.cue == 1) {
    p.startCos = ApproachValue(p.startCos, 0.1, -sign * 2.8);
    p.y += p.startCos;
    if (upper ? p.y >= p.startSin : p.y <= p.startSin) {
      p.y = p.startSin;
      p.cue = 2;
      p.startCos = 0;
      if (upper) RequestSoundEffect(kArmDropSound);
    }
  } else if (p.cue < 60) {
    p.cue = static_cast<int16_t>(p.cue + 1);
    if (p.cue % 6 == 0 && p.cue <= 32) p.work0 = 1;
  } else {
    p.startCos = ApproachValue(p.startCos, 0.1, sign * 4.8);
    p.y += p.startCos;
    if (upper ? p.y <= p.startY : p.y >= p.startY) {
      p.y = p.startY;
      p.cue = 0;
      p.startCos = 0;
    }
  }
}

// Both arms; the upper one sits above the form. work0 is the fire flag; for the attack startY
// holds the off-screen home y, startSin the stop y, startCos the y speed and work1 counts frames.
void UpdateArm(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex, bool upper) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& o = pool[slot];
  const int sign = upper ? -1 : 1;
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 1;
    const int16_t s = static_cast<int16_t>(sign == -1 ? 1 : -1);
    SetPartHitCircle(parts, partIndex, 0, 39, -25, static_cast<int16_t>(14 * s));
    SetPartHitCircle(parts, partIndex, 1, 27, -50, static_cast<int16_t>(27 * s));
    SetPartHitCircle(parts, partIndex, 2, 9, -83, static_cast<int16_t>(43 * s));
    SetPartHitCircle(parts, partIndex, 3, 9, -83, static_cast<int16_t>(43 * s));
    SetPartHitCircle(parts, partIndex, 4, 27, 50, static_cast<int16_t>(27 * s));
    SetPartHitCircle(parts, partIndex, 5, 39, 25, static_cast<int16_t>(14 * s));
    p.cullMarginX = 128;
    p.cullMarginY = 64;
    p.cue = p.work0 = p.work1 = 0;
  }
  if (o.phase == kAttack || o.state > 2) {
    p.x += ScrollDeltaX;
  } else if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) {
    return;
  }
  if (o.state > 2) {
    p.state = o.state;
    return;
  }
  if (o.phase == kPatrol) {
    const double reach = o.intWork0 != 0 ? 135 : 64;
    p.offsetY = ApproachValue(p.offsetY, 3, sign * reach);
  } else if (o.phase == kArmsLeave) {
    p.offsetY += sign * 4;
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    if (upper ? p.y <= ScreenToWorldY(-80) : p.y >= ScreenToWorldY(480)) {
      p.offsetY -= sign * 4;
      p.counter = 0;
    }
    p.startY = ScreenToWorldY(upper ? -80 : 480);
    p.startSin = ScreenToWorldY(200 + sign * 54);
    p.startCos = 0;
    p.cue = 0;
    p.work1 = 0;
  } else if (o.phase == kAttack) {
    StepArmAttack(o, p, upper);
  }
  if (p.work0 != 0) {
    FireArm(p, -sign);
    p.work0 = 0;
  }
}

}  // namespace

void UpdateStage5Boss2(int16_t slot) {
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
  if (!StepFormEntry(o, kPatrol, false)) {
    if (o.phase == kPatrol) {
      StepPatrol(o);
    } else if (o.phase == kArmsLeave) {
      if (o.partsB[kUpperArmSlot].y <= ScreenToWorldY(-64) &&
          o.partsB[kLowerArmSlot].y >= ScreenToWorldY(464)) {
        o.phase = kAttack;
      }
    } else if (o.phase == kAttack) {
      StepAttack(o);
    }
  }
  MoveFormWithScroll(o);
}

void UpdateStage5Boss2ArmAPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  UpdateArm(pool, slot, parts, partIndex, true);
}
void UpdateStage5Boss2ArmBPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  UpdateArm(pool, slot, parts, partIndex, false);
}
