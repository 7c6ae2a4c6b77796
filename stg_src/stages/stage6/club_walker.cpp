#include <cmath>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/enemies/part_motion.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage6/club_layout.h"
#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

// The club (pool 0, type 12): a six-legged walker that paces the screen while it holds the
// scroll. Only its core part can be hurt. Club words: phase 0 walking left, 1 right; intWork0 1
// while a sweep is due on this rightward pass; intWork1 the frames before the turn logic runs
// again; drawOffsetY the bob. Its four far legs are copied every frame into a background-pool
// object (pool 3, type 0) whose slot the stage counter keeps as slot + 100.

namespace {

using namespace club;

constexpr double kBodyHeight = 247;
constexpr double kSinkDepth = -32;
constexpr double kHoldEdge = 13120;  // world x the view's right edge stops at
constexpr double kTopSpeed = 1.6;
constexpr double kSpeedStep = 0.2;
constexpr double kTurnLeft = -160;
constexpr double kTurnRight = 800;
constexpr int32_t kOvershoot = 80;
constexpr double kSweepLine = 360;
constexpr int16_t kSweepStart = -320;
constexpr int16_t kAimedBeam = 120;
constexpr int32_t kTimeOut = 5600;
constexpr int32_t kHangFrames = 80;
constexpr double kFreeLine = -380;
constexpr int16_t kBounceType = 19;
constexpr int16_t kFullPool = 99;
constexpr int16_t kSlotBase = 100;
constexpr int16_t kLegsType = 30;

struct PartRow {
  bool front;  // partsB
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t variant;
  int16_t parent;
};
constexpr PartRow kClubParts[] = {
    // Far legs, two pairs: hip, knee, shin.
    {false, 0, 15, -82, 1, 597, 6, -1},
    {false, 1, 15, 120, 0, 597, 8, 0},
    {false, 2, 15, 120, 0, 597, 10, 1},
    {false, 3, 15, 82, 1, 597, 7, -1},
    {false, 4, 15, 120, 0, 597, 9, 3},
    {false, 5, 15, 120, 0, 597, 11, 4},
    {false, 6, 15, -82, 1, 938, 6, -1},
    {false, 7, 15, 120, 0, 938, 8, 6},
    {false, 8, 15, 120, 0, 938, 10, 7},
    {false, 9, 15, 82, 1, 938, 7, -1},
    {false, 10, 15, 120, 0, 938, 9, 9},
    {false, 11, 15, 120, 0, 938, 11, 10},
    // Near legs.
    {true, 0, 15, -82, 1, 256, 0, -1},
    {true, 1, 15, 120, 0, 256, 2, 0},
    {true, 2, 15, 120, 0, 256, 4, 1},
    {true, 3, 15, 82, 1, 256, 1, -1},
    {true, 4, 15, 120, 0, 256, 3, 3},
    {true, 5, 15, 120, 0, 256, 5, 4},
    // Beam arms: arm, forearm, emitter.
    {true, 6, 17, -41, -36, 704, 0, -1},
    {true, 7, 17, 90, 0, 512, 1, 6},
    {true, 8, 17, 99, 0, 256, 2, 7},
    {true, 9, 17, 41, -36, 832, 3, -1},
    {true, 10, 17, 90, 0, 0, 4, 9},
    {true, 11, 17, 99, 0, 256, 5, 10},
    // Guns: mount, barrel.
    {true, 12, 18, -82, 2, 576, 2, -1},
    {true, 13, 18, 42, 0, 256, 3, 12},
    {true, 14, 18, 82, 2, 960, 0, -1},
    {true, 15, 18, 42, 0, 256, 1, 14},
    // Body picture, eye, core; the near feet on their shins.
    {true, 16, 16, 0, 0, 0, 6, -1},
    {true, 17, 16, 0, 54, 0, 8, -1},
    {true, 18, 16, 0, 58, 0, 0, -1},
    {true, 19, 15, 0, 0, 256, 12, 2},
    {true, 20, 15, 0, 0, 256, 13, 5},
};

struct Circle {
  int16_t size, dx, dy;
};
constexpr Circle kBodyCircles[] = {{40, -35, -17}, {30, -43, 13}, {40, 35, -17}, {30, 43, 13}};

void SetBodyCircles(EnemyObject* pool, int16_t slot) {
  ClearEnemyHitCircles(pool, slot);
  for (int k = 0; k < 4; ++k) {
    const Circle& c = kBodyCircles[k];
    SetEnemyHitCircle(pool, slot, k, c.size, c.dx, c.dy);
  }
  pool[slot].hitMode = 1;
}

void SetUpClub(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  o.state = 2;
  o.life = o.maxLife = -1;
  o.scoreBase = 0;
  o.imageFrame = -1;  // the body's picture is a part
  o.vx = o.vy = 0;
  o.speed = 1;
  o.airFrames = 0;
  o.heading = 0;
  SetBodyCircles(EnemyPool0, slot);
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.despawnMarginX = 8000;
  o.despawnMarginY = 600;
  o.cullMarginX = o.cullMarginY = 0;
  o.probeOffset = kBodyHeight;
  o.x += 350;
  DropOntoGround(o.x, &o.y, kBodyHeight);
  for (const PartRow& r : kClubParts) {
    EnemyPart* parts = r.front ? o.partsB : o.partsA;
    AttachPart(parts, r.slot, r.type, r.dx, r.dy, r.angle, 0);
    parts[r.slot].parentPart = r.parent;
    parts[r.slot].variant = r.variant;
  }
  o.partCountA = kFarLegCount;
  o.partCountB = 21;
  StageWork[0] = StageWork[1] = 0;
  // A second club shares the legs object that is already there.
  if (StageWork[kStageSixCounter] == 0) {
    const int16_t legs = SpawnPool3Object(0, 0, 0, 0, 0);
    StageWork[kStageSixCounter] = legs >= 0 ? legs + kSlotBase : kFullPool;
  }
}

void StepWalk(EnemyObject& o) {
  if (o.intWork1 > 0) {
    o.intWork1 -= 1;
    return;
  }
  // A sweep brakes the club to a stop.
  const bool sweeping = o.partsB[kLeftEmitter].cue < 0;
  const double sx = WorldToScreenX(o.x);
  if (o.phase == 0) {
    o.speed = ApproachValue(o.speed, kSpeedStep, sweeping ? 0 : -kTopSpeed);
    if (sx < kTurnLeft) {
      o.phase = 1;
      o.intWork1 = kOvershoot;
      o.intWork0 = 1;
    }
  } else {
    o.speed = ApproachValue(o.speed, kSpeedStep, sweeping ? 0 : kTopSpeed);
    if (sx > kTurnRight) {
      o.phase = 0;
      o.intWork1 = kOvershoot;
      o.intWork0 = 0;
    }
  }
}

void StepWeapons(EnemyObject& o) {
  EnemyPart& left = o.partsB[kLeftEmitter];
  EnemyPart& right = o.partsB[kRightEmitter];
  if (left.cue == 0 && o.intWork0 == 1 && WorldToScreenX(o.x) > kSweepLine) {
    left.cue = right.cue = kSweepStart;
    o.intWork0 = 0;
  }
  if (left.cue >= -270 && left.cue <= -115 && o.frame % 24 == 0) {
    const int16_t d = GetDifficulty();
    const double y = o.y + 39 + o.drawOffsetY;
    SpawnEnemyShot(kBounceType, static_cast<int16_t>(420 + 12 * d), 7, o.x - 51, y, 1);
    SpawnEnemyShot(kBounceType, static_cast<int16_t>(92 - 12 * d), 7, o.x + 51, y, 1);
  }
  const double shinA = o.partsB[kNearLeftShin].x;
  const double shinB = o.partsB[kNearRightShin].x;
  const bool between = PlayerX > std::fmin(shinA, shinB) && PlayerX < std::fmax(shinA, shinB);
  if (o.frame % ComputeFireInterval(90, o.rank) == ComputeFireInterval(30, o.rank) &&
      (GetDifficulty() > 1 || between)) {
    const int16_t burst = left.cue < 0 ? -1 : 1;
    o.partsB[kLeftBarrel].cue = o.partsB[kRightBarrel].cue = burst;
  }
  if (left.cue == 0 &&
      o.frame % ComputeFireIntervalFlat(210, o.rank) == ComputeFireInterval(120, o.rank)) {
    left.cue = right.cue = kAimedBeam;
  }
}

void StepClub(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  ScrollTargetSpeed = ViewRight < kHoldEdge ? 0.5 : 0;
  StepWalk(o);
  StepWeapons(o);
  const int16_t b = WrapAngle(o.partsB[kNearLeftHip].baseAngle);
  o.drawOffsetY = static_cast<int16_t>(static_cast<int>(std::fabs(16 * CosineTable[b])) - 4);
  StepFloorWalker(EnemyPool0, slot, o.speed, 0);
  EnemyPart& core = o.partsB[kCore];
  if (core.state > 2) {
    o.partsB[kBodyImage].state = 3;
    o.state = 3;
  }
  if (o.frame > kTimeOut && core.cue == 0) core.cue = 1;
}

void StepFall(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  const bool wasInAir = o.airFrames > 0;
  if (o.frame > kHangFrames) StepSlowFaller(EnemyPool0, slot, 0, 0);
  if (wasInAir && o.airFrames == 0) {
    RequestSoundEffect(27);
    SpawnEffect(32, o.x, o.y, 0, 0, 0);
    StartScreenShake(60);
    const int16_t legs = LegsObjectSlot();
    if (legs >= 0) EnemyPool3[legs].state = 3;
    SpawnBossExplosion(o.x + 30, o.y - 30, 1);
    ScrollTargetSpeed = 1.5;
  } else if (o.airFrames > 0 && o.frame % 8 == 0) {
    SpawnMediumBlastInBox(o.x, o.y, 128, 128);
  }
  if (WorldToScreenX(o.x) < kFreeLine) o.state = 0;
}

void MirrorFarLegs(const EnemyObject& o) {
  const int16_t s = LegsObjectSlot();
  if (s < 0) return;
  EnemyObject& legs = EnemyPool3[s];
  legs.x = o.x;
  legs.y = o.y;
  for (int j = 0; j < kFarLegCount; ++j) {
    const EnemyPart& from = o.partsA[j];
    EnemyPart& to = legs.partsA[j];
    to.baseAngle = from.baseAngle;
    to.angle = from.angle;
    to.facingSign = from.facingSign;
    to.x = from.x;
    to.y = from.y;
    to.drawOffsetY = from.drawOffsetY;
  }
}

bool IsShin(int16_t v) { return v == 4 || v == 5 || v == 10 || v == 11; }
bool IsHip(int16_t v) { return v == 0 || v == 1 || v == 6 || v == 7; }
bool IsKnee(int16_t v) { return v == 2 || v == 3 || v == 8 || v == 9; }
bool IsFoot(int16_t v) { return v == 12 || v == 13; }

void SetUpLegPart(EnemyPart* parts, int16_t j) {
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = -1;
  p.maxLife = 0;
  p.hitMode = p.variant > 5 ? 0 : 1;
  ClearPartHitCircles(parts, j);
  const int16_t t = p.variant % 2 == 0 ? 1 : -1;
  if (p.variant <= 3) {
    for (int k = 0; k < 3; ++k)
      SetPartHitCircle(parts, j, k, 16, static_cast<int16_t>(6 + 30 * k), 0);
  } else if (p.variant <= 5) {
    constexpr Circle kShin[] = {{26, 25, 9},  {20, 72, 8},  {16, 108, 8},
                                {14, 137, 7}, {12, 163, 7}, {11, 187, 6}};
    for (int k = 0; k < 6; ++k) {
      SetPartHitCircle(parts, j, k, kShin[k].size, kShin[k].dx,
                       static_cast<int16_t>(kShin[k].dy * t));
    }
  } else if (IsFoot(p.variant)) {
    SetPartHitCircle(parts, j, 0, 10, 207, static_cast<int16_t>(4 * t));
    SetPartHitCircle(parts, j, 1, 9, 226, 0);
    SetPartHitCircle(parts, j, 2, 8, 242, 0);
    p.hitMode = 1;
  }
  p.imageFrame = p.variant;
  p.cue = p.work0 = p.work1 = 0;
  p.cullMarginX = p.cullMarginY = 256;
}

// The legs fold as the wreck sinks: hips and knees turn in, shins swing down and out.
void StepDyingLeg(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t j) {
  EnemyPart& p = parts[j];
  const EnemyObject& o = pool[slot];
  if (o.frame == 1 && IsShin(p.variant)) SpawnEffect(0, p.x, p.y, 0, 0, 0);
  if (o.frame <= kHangFrames) return;
  const bool even = p.variant % 2 == 0;
  if (IsHip(p.variant)) {
    FollowParentObject(pool, slot, parts, j, 0);
    p.angle = static_cast<int16_t>(TurnTowardAngle(even ? 704 : 832, p.angle, 1));
  } else if (IsKnee(p.variant)) {
    FollowParentPart(parts, p.parentPart, parts, j);
    p.angle = static_cast<int16_t>(TurnTowardAngle(even ? 384 : 128, p.angle, 1));
  } else if (IsFoot(p.variant)) {
    FollowParentPart(parts, p.parentPart, parts, j);
    p.angle = parts[p.parentPart].angle;
  } else if (IsShin(p.variant)) {
    SwingPartOnCircle(parts, j, 256, 10, even ? 512 : 0);
  }
}

}  // namespace

int16_t club::LegsObjectSlot() {
  const int32_t c = StageWork[kStageSixCounter];
  return c >= kSlotBase && c < kSlotBase + kEnemyPool3Size ? static_cast<int16_t>(c - kSlotBase)
                                                           : -1;
}

void UpdateStage6Club(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    SetUpClub(slot);
  } else if (o.state == 2) {
    StepClub(slot);
  }
  if (o.state == 3) {
    SpawnLargeExplosion(o.x, o.y, 1, -1);
    o.probeOffset = kSinkDepth;
    o.vy = 0;
    o.state = 4;
    o.airFrames = 1;
    o.frame = 0;
    o.y += 4;
    StageWork[0] = StageWork[1] = 0;
    RequestSoundEffect(48);
  } else if (o.state == 4) {
    StepFall(slot);
  }
  MirrorFarLegs(o);
}

void UpdateStage6ClubBackLegs(int16_t slot) {
  EnemyObject& o = EnemyPool3[slot];
  if (o.state == 1) {
    o.state = 2;
    o.life = o.maxLife = -1;
    o.scoreBase = 0;
    o.imageFrame = -1;
    o.vx = o.vy = 0;
    o.speed = 1;
    SetBodyCircles(EnemyPool3, slot);
    o.despawnMarginX = 36000;
    o.despawnMarginY = 600;
    o.cullMarginX = o.cullMarginY = 0;
    o.probeOffset = kBodyHeight;
    for (int j = 0; j < kFarLegCount; ++j) {
      const PartRow& r = kClubParts[j];
      AttachPart(o.partsA, j, kLegsType, r.dx, r.dy, r.angle, 0);
      o.partsA[j].parentPart = -1;
      o.partsA[j].variant = r.variant;
    }
    o.partCountA = kFarLegCount;
  } else if (o.state == 3) {
    o.state = 4;
    o.frame = 0;
  } else if (o.state == 4) {
    o.frame += 1;
    if (o.frame > 3) {
      o.state = 0;
      StageWork[kStageSixCounter] = 0;
    }
  }
}

void UpdateStage6ClubBackLegPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    p.state = 2;
    p.life = -1;
    p.maxLife = 0;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.imageFrame = p.variant;
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = p.cullMarginY = 256;
  } else if (pool[slot].state >= 3) {
    p.state = 0;
  }
}

void UpdateStage6ClubLegPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  if (p.state == 1) {
    SetUpLegPart(parts, partIndex);
    return;
  }
  if (p.state == 2) {
    if (IsFoot(p.variant)) {
      FollowParentPart(parts, p.parentPart, parts, partIndex);
      p.angle = parts[p.parentPart].angle;
    } else {
      UpdateJointedLegPart(pool, slot, parts, partIndex, 14, 576, 704, 204, -32, 256, 8, 8, false);
    }
  } else if (p.state == 4) {
    StepDyingLeg(pool, slot, parts, partIndex);
  }
  if (IsHip(p.variant)) {
    p.drawOffsetY = o.drawOffsetY;
  } else if (IsKnee(p.variant)) {
    p.drawOffsetY = static_cast<int16_t>(o.drawOffsetY / 2);
  } else {
    p.drawOffsetY = 0;
  }
}
