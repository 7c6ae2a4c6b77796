// Type 19 of pool 0, one map code with three behaviours by variant: 0 an invisible spout of
// large fireballs, 1 a tentacle hanging from the ceiling, 2 one growing from the floor. A
// tentacle cannot be destroyed: a hit anywhere on it pulls its 16 segments in, root first, and
// left alone it unrolls again from the tip; it curls toward the player as far as it is out.
//
// Tentacle words: intWork0 the spacing target (0 pulled in .. 16 out), intWork1 the spacing rate
// (-16..16, its sign moves the target), intWork2 the extension count (0..15) the segments size
// their aiming arcs by. A segment's offsetX is its spacing from the part it hangs on.
// Spout words: intWork1 10, the rest unused.
#include <algorithm>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kUnworn = 99999;
constexpr int kSegments = 16;
constexpr int kTip = 15;
constexpr int32_t kExtended = 16;
constexpr int32_t kFullRate = 16;
constexpr int32_t kPullRate = -16;
constexpr int16_t kLargeFireball = 10;

// Angles of slots 9..15 (slots 1..8 step by 8 from 248); the floor mirrors them about 512.
constexpr int16_t kCeilingTail[] = {208, 224, 240, 248, 288, 320, 352};

int16_t CeilingAngle(int k) {
  if (k == 0) return 256;
  if (k <= 8) return static_cast<int16_t>(248 - 8 * (k - 1));
  return kCeilingTail[k - 9];
}

void SetUpSpout(EnemyObject& o) {
  o.state = 2;
  o.frame = 0;
  o.life = -1;
  o.imageFrame = -1;
  o.hitCircles = {};
  o.hitMode = 0;
  o.phase = 0;
  o.intWork0 = 0;
  o.intWork1 = 10;
  o.despawnMarginX = o.despawnMarginY = 80;
  o.cullMarginX = o.cullMarginY = 0;
  o.y -= 20;
}

void SetUpArm(EnemyObject& o, bool ceiling) {
  o.state = 2;
  o.frame = 0;
  o.life = kUnworn;
  o.hitCircles = {};
  o.hitCircles.size[0] = 12;
  o.hitMode = 1;
  o.phase = 0;
  o.intWork0 = kExtended;
  o.intWork1 = 8;
  o.intWork2 = 16;
  o.despawnMarginX = o.despawnMarginY = 320;
  o.cullMarginX = o.cullMarginY = 20;
  const int32_t type = ceiling ? 10 : 11;
  for (int k = 0; k < kSegments; ++k) {
    const int16_t angle = ceiling ? CeilingAngle(k) : static_cast<int16_t>(1024 - CeilingAngle(k));
    if (k == 0) {
      AttachPart(o.partsA, 0, type, 0, ceiling ? 20 : -20, angle, 0);
    } else {
      AttachPart(o.partsA, k, type, 16, 0, angle, 0);
      o.partsA[k].parentPart = static_cast<int16_t>(k - 1);
    }
  }
  o.partsA[kTip].variant = 1;
  o.partCountA = kSegments;
  o.imageFrame = o.variant;
}

// The segments move one at a time: in from the root outward, out from the tip inward.
void MoveSegments(EnemyObject& o) {
  if (o.intWork0 == 0) {
    o.intWork2 = 15;
    const double step = Difficulty >= 2 ? 1.45 : 1.5;
    for (int k = 1; k < kSegments; ++k) {
      EnemyPart& p = o.partsA[k];
      if (p.offsetX != 0) {
        p.offsetX = ApproachValue(p.offsetX, step, 0);
        break;
      }
      o.intWork2 -= 1;
    }
  } else if (o.intWork0 == kExtended) {
    o.intWork2 = 0;
    for (int k = kTip; k >= 1; --k) {
      EnemyPart& p = o.partsA[k];
      if (p.offsetX != kExtended) {
        p.offsetX = ApproachValue(p.offsetX, 1, kExtended);
        break;
      }
      o.intWork2 += 1;
    }
  }
}

void StepArm(EnemyObject& o) {
  o.life = kUnworn;
  if (o.hitFlash > 0) o.intWork1 = kPullRate;
  MoveSegments(o);
  if (o.frame % 2 == 0 && o.intWork1 < kFullRate) o.intWork1 += 1;
  const int32_t sign = o.intWork1 <= -1 ? -1 : o.intWork1 >= 1 ? 1 : 0;
  o.intWork0 = std::clamp(o.intWork0 + sign, 0, kExtended);
}

void UpdateArm(int16_t slot, bool ceiling) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpArm(o, ceiling);
  } else if (o.state == 2) {
    StepArm(o);
  }
}

int16_t Turn(bool ceiling, int target, int current, int rate) {
  return static_cast<int16_t>(ceiling ? TurnTowardAngle(target, current, rate)
                                      : TurnTowardAngleFlipTie(target, current, rate));
}

// The tip's arc around straight down (ceiling) or up (floor): wider the further it is out.
void AimTip(EnemyPart& p, int16_t n, bool ceiling, int aim, int rate) {
  int g = n;
  if (g < 10) g -= 1;
  if (g < 8) g -= 1;
  const int h = 48 * std::max(g, 0);
  if (ceiling) {
    int lo = 256 - h;
    if (lo < 1 || lo > 768) lo = 1;
    const int hi = std::min(256 + h, 511);
    p.angle = Turn(true,
                   ClampAngleToArc(static_cast<int16_t>(aim), static_cast<int16_t>(lo),
                                   static_cast<int16_t>(hi), 0),
                   p.angle, rate);
  } else {
    const int lo = std::max(768 - h, 513);
    const int hi = std::min(768 + h, 1023);
    p.angle = Turn(false,
                   ClampAngleToArc(static_cast<int16_t>(aim), static_cast<int16_t>(lo),
                                   static_cast<int16_t>(hi), 0),
                   p.angle, rate);
  }
}

void UpdateSegment(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t j, bool ceiling) {
  EnemyObject& o = pool[slot];
  EnemyPart& p = parts[j];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = kUnworn;
    ClearPartHitCircles(parts, j);
    p.hitMode = 1;
    SetPartHitCircle(parts, j, 0, j == kTip ? 5 : 4, 0, 0);
    p.cullMarginX = p.cullMarginY = 24;
    p.cue = 0;
    p.work0 = p.work1 = 0;
    p.imageFrame = p.variant;
    p.baseAngle = p.angle;
    return;
  }
  if (p.state != 2) return;
  p.life = kUnworn;
  if (p.hitFlash > 0) o.intWork1 = kPullRate;
  const auto n = static_cast<int16_t>(o.intWork2);
  if (j == 0) {
    if (FollowParentObject(pool, slot, parts, 0, 1) == 0) return;
    const int c = ceiling ? 256 : 768;
    const int aim = AimAngle(p.x, p.y, PlayerX, PlayerY);
    p.angle = static_cast<int16_t>(
        TurnTowardAngle(ClampAngleToArc(static_cast<int16_t>(aim), static_cast<int16_t>(c - n / 2),
                                        static_cast<int16_t>(c + n / 2), 0),
                        p.angle, 1));
    return;
  }
  if (FollowParentPart(parts, p.parentPart, parts, j) == 0) return;
  const int aim = AimAngle(p.x, p.y, PlayerX, PlayerY);
  const int rate = std::max((j + 1) / 4, 1);
  if (j == kTip) {
    AimTip(p, n, ceiling, aim, rate);
  } else {
    const int target = WrapAngle((j * parts[kTip].angle + (16 - j) * parts[0].angle) / 16);
    p.angle = Turn(ceiling, target, p.angle, rate);
  }
}

}  // namespace

void UpdateStage3Shokushu(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  switch (o.variant) {
    case 0:
      UpdateStage3FireballSpout(slot);
      return;
    case 1:
      UpdateStage3ShokushuArm(slot, true);
      return;
    case 2:
      UpdateStage3ShokushuArm(slot, false);
      return;
    default:
      // It would sit in its spawn state for the rest of the stage, holding the slot.
      if (o.state == 1) {
        LogRefusedMapValue("stage 3 tentacle variant", o.variant);
        o.state = 0;
      }
      return;
  }
}

void UpdateStage3FireballSpout(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpSpout(o);
    return;
  }
  if (o.state != 2) return;
  if (o.frame % ComputeFireIntervalFlat(48, o.rank) == ComputeFireInterval(20, o.rank)) {
    SpawnPool1Enemy(o.x - 30, o.y, kLargeFireball, 0, -1, 0);
  }
}

void UpdateStage3ShokushuArm(int16_t slot, bool ceiling) { UpdateArm(slot, ceiling); }

void UpdateStage3ShokushuPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex,
                              bool ceiling) {
  UpdateSegment(pool, slot, parts, partIndex, ceiling);
}

void UpdateStage3ShokushuUpperPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex) {
  UpdateStage3ShokushuPart(pool, slot, parts, partIndex, true);
}

void UpdateStage3ShokushuLowerPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex) {
  UpdateStage3ShokushuPart(pool, slot, parts, partIndex, false);
}
