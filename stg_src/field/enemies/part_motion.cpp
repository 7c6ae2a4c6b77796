#include "stg_src/field/enemies/part_motion.h"

#include <cmath>

#include "runtime/platform/core/arithmetic_helpers.h"

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kCounterWrap = 65535;
constexpr int16_t kFootDownSound = 45;
constexpr int16_t kKneeLiftSound = 46;
constexpr int16_t kKneeLandSound = 47;
constexpr int16_t kSegmentKneeMax = 96;

void CountUp(EnemyPart& p) { p.counter = (p.counter + 1) % kCounterWrap; }

bool InRange(int v, int low, int high) { return v > low && v < high; }

// The part this one hangs on, or null when its index does not name another slot of the array.
const EnemyPart* ParentOf(const EnemyPart* parts, int j) {
  const int parent = parts[j].parentPart;
  if (parent < 0 || parent == j || parent >= PartArrayCapacity(parts)) return nullptr;
  return &parts[parent];
}

// The hip of either leg: counts its cue down and sets it to stepCue when a foot comes down.
void UpdateHip(EnemyPart& p, int16_t previous, int16_t stepCue) {
  if (p.cue > 0) p.cue -= 1;
  if (SnapStepPhase(previous, &p.baseAngle)) p.cue = stepCue;
}

}  // namespace

void RollAngleBySpeed(int16_t radius, int16_t* angle, double speed, bool reverse) {
  // The turn is divided by the radius.
  if (speed == 0 || radius <= 0) return;
  int c = DoubleToInt(std::fabs(speed) / 3.0 * 9.0 * (20.0 / radius)) % kTrigTableSize + 1;
  if (reverse) c = -c;
  *angle = static_cast<int16_t>(WrapAngle(speed > 0 ? *angle + c : *angle - c));
}

int16_t FrameFromAngle(int16_t base, int16_t angle) {
  if ((angle >= 192 && angle <= 320) || (angle >= 704 && angle <= 832)) return base;
  if (angle >= 321 && angle <= 703) return static_cast<int16_t>(base + 1);
  return static_cast<int16_t>(base - 1);
}

bool SnapStepPhase(int16_t previous, int16_t* phase) {
  const int16_t p = *phase;
  if (previous < 512 && p >= 512 && p < 768) {
    *phase = 512;
    return true;
  }
  if (previous > 512 && p > 256 && p <= 512) {
    *phase = 512;
    return true;
  }
  if (previous == 0) return false;
  if ((previous > 896 && p >= 0 && p < 256) || (previous < 128 && (p == 0 || p > 768))) {
    *phase = 0;
    return true;
  }
  return false;
}

void RollPartWithObject(int16_t radius, EnemyObject* pool, int slot, EnemyPart* parts, int j,
                        bool reverse) {
  EnemyPart& p = parts[j];
  CountUp(p);
  if (p.state == 1) {
    p.state = 2;
    p.life = 0;
    p.maxLife = 0;
    ClearPartHitCircles(parts, j);
    p.cue = 0;
    p.work0 = 0;
    p.work1 = 0;
  }
  if (p.state > 1 && FollowParentObject(pool, slot, parts, j, 1) == 0) return;
  if (p.state == 2) RollAngleBySpeed(radius, &p.baseAngle, pool[slot].groundSpeed, reverse);
}

void SwingPartWithObject(int16_t radius, EnemyObject* pool, int slot, EnemyPart* parts, int j,
                         int16_t low, int16_t high, bool copyFacing, bool reverse) {
  EnemyPart& p = parts[j];
  const EnemyObject& owner = pool[slot];
  CountUp(p);
  if (p.state > 1) {
    const int kept = p.parentPart < 0 ? FollowParentObject(pool, slot, parts, j, copyFacing ? 1 : 0)
                                      : FollowParentPart(parts, p.parentPart, parts, j);
    if (kept == 0) return;
  }
  if (p.state == 2 && p.parentPart < 0) {
    RollAngleBySpeed(radius, &p.baseAngle, owner.groundSpeed, reverse);
    // A triangle wave over the phase. Not wrapped: a swing from 900 to 100 runs through 500.
    const int phase = p.baseAngle;
    const double k = (high - low) / 512.0;
    const int along = phase <= 512 ? phase : 1024 - phase;
    int a = low + DoubleToInt(k * along);
    if (owner.facing == 2 && copyFacing) a = WrapAngle(512 - a);
    p.angle = static_cast<int16_t>(a);
  }
  p.drawOffsetY = owner.drawOffsetY;
}

void UpdateRollingLegPart(EnemyObject* pool, int slot, EnemyPart* parts, int j, int16_t radius,
                          int16_t reach, bool hideInAir, bool bobDown) {
  EnemyPart& p = parts[j];
  const EnemyObject& owner = pool[slot];
  if (hideInAir && (owner.airFrames != 0 || owner.landTimer != 0)) {
    p.imageFrame = -1;
    return;
  }
  const int16_t previous = p.baseAngle;
  RollPartWithObject(radius, pool, slot, parts, j, false);
  if (p.state == 2) {
    p.angle = 0;
    if (p.facing == 0) {
      p.imageFrame = FrameFromAngle(p.sideFlag == 1 ? 1 : 7, p.baseAngle);
    } else if (p.facing == 2) {
      p.imageFrame = FrameFromAngle(p.sideFlag == 1 ? 4 : 10, p.baseAngle);
    } else {
      p.imageFrame = -1;
    }
    p.x = RotateOffsetX(p.x, reach, 0, p.baseAngle);
    if (owner.groundSpeed != 0) {
      const int d = bobDown ? 2 : -2;
      const int phase = p.baseAngle;
      if (phase > 512) p.y += d;
      if (InRange(phase, 576, 960)) p.y += d;
      if (InRange(phase, 640, 896)) p.y += d;
    }
  }
  if (reach >= 13 && previous > 512 && p.baseAngle <= 512) RequestSoundEffect(kFootDownSound);
}

void UpdateLegSegmentPart(EnemyObject* pool, int slot, EnemyPart* parts, int j, int16_t radius,
                          int16_t low, int16_t high, int16_t kneeBend, int16_t shakeFrames,
                          int16_t stepCue) {
  EnemyPart& p = parts[j];
  const bool moving = pool[slot].groundSpeed != 0;
  const int16_t previous = p.baseAngle;
  SwingPartWithObject(radius, pool, slot, parts, j, low, high, true, false);
  const int side = p.sideFlag == 1 ? 0 : 6;
  if (p.facing == 0) {
    p.imageFrame = p.variant + side;
  } else if (p.facing == 2) {
    p.imageFrame = p.variant + 3 + side;
  } else {
    p.imageFrame = -1;
    return;
  }
  if (p.variant == 0) {
    UpdateHip(p, previous, stepCue);
    return;
  }
  const EnemyPart* parent = ParentOf(parts, j);
  if (parent == nullptr) return;
  if (p.variant == 1) {
    if (p.state != 2) p.work0 = 0;
    p.baseAngle = parent->baseAngle;
    bool lifted;
    if (p.facing == 0) {
      p.angle = static_cast<int16_t>(WrapAngle(parent->angle + kneeBend + p.work0));
      p.work1 = static_cast<int16_t>(WrapAngle(parent->angle + kneeBend));
      lifted = moving && InRange(p.baseAngle, 576, 960);
    } else {
      p.angle = static_cast<int16_t>(WrapAngle(parent->angle - (kneeBend + p.work0)));
      p.work1 = static_cast<int16_t>(WrapAngle(parent->angle - kneeBend));
      lifted = moving && InRange(p.baseAngle, 64, 448);
    }
    if (lifted) {
      if (p.work0 < kSegmentKneeMax) p.work0 += 3;
    } else if (p.work0 > 0) {
      p.work0 -= 4;
      // The foot lands; the bend does not pass straight.
      if (p.work0 <= 0) {
        p.work0 = 0;
        StartScreenShake(shakeFrames);
        RequestSoundEffect(kFootDownSound);
      }
    }
  } else if (p.variant == 2) {
    p.baseAngle = parent->baseAngle;
    p.angle = 256;
  }
}

void UpdateJointedLegPart(EnemyObject* pool, int slot, EnemyPart* parts, int j, int16_t radius,
                          int16_t low, int16_t high, int16_t kneeMax, int16_t footMax,
                          int16_t footAngle, int16_t shakeFrames, int16_t stepCue, bool reverse) {
  EnemyPart& p = parts[j];
  const bool moving = pool[slot].groundSpeed != 0;
  const int16_t previous = p.baseAngle;
  const bool mirrored = p.variant % 2 != 0;
  const int16_t lo = mirrored ? static_cast<int16_t>(WrapAngle(512 - low)) : low;
  const int16_t hi = mirrored ? static_cast<int16_t>(WrapAngle(512 - high)) : high;
  SwingPartWithObject(radius, pool, slot, parts, j, lo, hi, false, reverse);
  p.facingSign = 1;
  if (p.imageFrame < 0) return;

  // Variants 6..11 repeat 0..5: two hips, a knee and its mirror, a foot and its mirror.
  if (p.variant < 0 || p.variant >= 12) return;
  const int segment = p.variant % 6;
  if (segment <= 1) {
    UpdateHip(p, previous, stepCue);
    return;
  }
  const EnemyPart* parent = ParentOf(parts, j);
  if (parent == nullptr) return;
  if (p.state != 2) p.work0 = 0;
  p.baseAngle = parent->baseAngle;
  // The two halves of a pair lift on opposite halves of the stride.
  const bool lifted =
      moving && (mirrored ? InRange(p.baseAngle, 576, 960) : InRange(p.baseAngle, 64, 448));
  if (segment <= 3) {
    const int bend = mirrored ? -p.work0 : p.work0;
    p.angle = static_cast<int16_t>(WrapAngle(1024 - parent->angle + bend));
    p.work1 = static_cast<int16_t>(WrapAngle(1024 - parent->angle));
    if (lifted) {
      if (p.work0 < kneeMax) p.work0 += 4;
      if (!mirrored && shakeFrames > 0 && p.work0 > 1 && p.work0 < 6) {
        RequestSoundEffect(kKneeLiftSound);
      }
    } else if (p.work0 > 0) {
      p.work0 -= 8;
      if (p.work0 <= 0) {
        p.work0 = 0;
        StartScreenShake(shakeFrames);
        if (!mirrored && shakeFrames > 0) RequestSoundEffect(kKneeLandSound);
      }
    }
    return;
  }
  p.angle = static_cast<int16_t>(mirrored ? WrapAngle(512 - footAngle - p.work0)
                                          : WrapAngle(footAngle + p.work0));
  if (lifted) {
    if (p.work0 < footMax) p.work0 += 4;
  } else if (p.work0 > 0) {
    p.work0 -= 8;
    if (p.work0 < 0) p.work0 = 0;
  }
}

void SwingPartOnCircle(EnemyPart* parts, int j, int16_t radius, int16_t rampFrames,
                       int16_t target) {
  EnemyPart& p = parts[j];
  if (p.counter <= 1) {
    p.cue = -4;
    p.startX = p.x;
    p.startY = p.y;
    p.startCos = CosineTable[WrapAngle(p.angle)];
    p.startSin = SineTable[WrapAngle(p.angle)];
  }
  CountUp(p);
  if (p.cue >= 0) {
    p.angle = static_cast<int16_t>(TurnTowardAngle(target, p.angle, p.cue));
  } else if (p.counter % -p.cue == 0) {
    p.angle = static_cast<int16_t>(TurnTowardAngle(target, p.angle, 1));
  }
  // The ramp divides the frame count.
  if (rampFrames >= 1 && p.counter % rampFrames == 0) {
    p.cue += 1;
    if (p.cue == 0) p.cue = 1;
  }
  const int a = WrapAngle(p.angle);
  p.x = p.startX - (CosineTable[a] - p.startCos) * radius;
  p.y = p.startY + std::fabs(p.startSin - SineTable[a]) * radius;
}
