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

namespace stage6 {

// The mounts' common set-up: an inert, indestructible body (it neither touches the player nor is
// hit) that its parts hang on.
void SetUpMount(EnemyObject& o, int slot, int32_t imageFrame, uint8_t solid, int cullX, int cullY) {
  o.state = 2;
  o.frame = 0;
  o.life = o.maxLife = o.scoreBase = -1;
  o.vx = o.vy = 0;
  ClearEnemyHitCircles(EnemyPool1, slot);
  o.hitMode = 0;
  o.phase = 0;
  o.intWork0 = o.intWork1 = 0;
  o.realWork0 = o.realWork1 = 0;
  o.despawnMarginX = o.despawnMarginY = 160;
  o.imageFrame = imageFrame;
  o.solid = solid;
  o.cullMarginX = cullX;
  o.cullMarginY = cullY;
}

// An indestructible part of a mount with its image frame and cull margins.
void SetUpMountPart(EnemyPart& p, int32_t imageFrame, int cullX, int cullY) {
  p.state = 2;
  p.life = p.maxLife = p.scoreBase = -1;
  p.imageFrame = imageFrame;
  p.cullMarginX = cullX;
  p.cullMarginY = cullY;
}

bool IsHard() { return GetDifficulty() >= 2; }

// The corner turret, the elevator and the windmill read tables by variant 0-3; any other value
// (an empty upper layer reads -1) is refused at set-up.
bool RefuseVariant(EnemyObject& o, const char* kind) {
  if (o.variant >= 0 && o.variant <= 3) return false;
  LogRefusedMapValue(kind, o.variant);
  o.state = 0;
  return true;
}

}  // namespace stage6

using namespace stage6;

namespace {

// Below this target speed a walker or the boss holds the scroll, and no common enemies come.
constexpr double kSpawnerMinScroll = 1.5;

// Press words: intWork0 the slam (0 ready, 1 slamming, 2..31 holding, 32 going home); intWork1
// the frames since it came home; realWork0 its home y; realWork1 the y it slams to.
constexpr int16_t kPressHeadType = 2;
constexpr double kPressReach = 60;
constexpr int32_t kPressRearm = 24;
constexpr int32_t kPressHeld = 32;
constexpr int16_t kPressSound = 54;

void StepPress(EnemyObject& o) {
  o.intWork1 += 1;
  if (o.intWork0 == 0 && o.intWork1 > kPressRearm - 1 && std::fabs(PlayerX - o.x) < kPressReach) {
    o.intWork0 = 1;
  }
  if (o.intWork0 == 1) {
    o.y = ApproachValue(o.y, IsHard() ? 6 : 3, o.realWork1);
    if (o.y == o.realWork1) {
      o.intWork0 = 2;
      RequestSoundEffect(kPressSound);
    }
  } else if (o.intWork0 >= 2 && o.intWork0 < kPressHeld) {
    o.intWork0 += 1;
  } else if (o.intWork0 == kPressHeld) {
    o.y = ApproachValue(o.y, IsHard() ? 2 : 1, o.realWork0);
    if (o.y == o.realWork0) {
      o.intWork0 = 0;
      o.intWork1 = 0;
    }
  }
}

// Block pair: two sliding blocks around a shootable zone that throws them out when shot. Block
// words: work0 the frames since it was last thrown.
constexpr int16_t kBlockType = 3;
constexpr int16_t kBlockZoneType = 6;
constexpr double kBlockRest = 40;
constexpr double kBlockThrown = 120;
constexpr int16_t kBlockReturnAfter = 60;
constexpr double kZoneClosedReach = 119;

// Piston words: startX its home offset, startCos its retracted one; work0 the thrust (1 out, 2..15
// held, 16 back).
constexpr int16_t kPistonType = 4;
constexpr double kPistonStroke = 80;
constexpr double kPistonStep = 4;
constexpr int16_t kPistonHeld = 16;

constexpr int16_t kShutterPanelType = 19;
constexpr double kShutterCloseStep = 0.14;
constexpr double kShutterCloseLine = 560;

// Corner turret: its angle at the post and the quarter it aims within, by variant; when shot it
// jumps back to its corner (the offset) and slides out again.
struct CornerRow {
  int16_t angle;
  int16_t aimLow, aimHigh;
  double cornerX, cornerY;
};
constexpr CornerRow kCorners[] = {
    {384, 256, 512, 40, -40},
    {128, 0, 256, -40, -40},
    {640, 512, 768, 40, 40},
    {896, 768, 1024, -40, 40},
};
constexpr int16_t kCornerTurretType = 5;
constexpr int16_t kCornerSlideAfter = 64;
constexpr int16_t kCornerFireAfter = 128;

// Windmill: blade angles by difficulty and hub variant, the blade's length and turn sense.
constexpr int16_t kFushaBladeType = 11;
constexpr int16_t kThreeBlades[4][3] = {
    {0, 341, 682}, {0, 341, 682}, {0, 341, 682}, {512, 853, 170}};
constexpr int16_t kFourBlades[4] = {0, 256, 512, 768};

}  // namespace

void UpdateStage6CornerTurretMount(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    if (RefuseVariant(o, "stage 6 corner turret variant")) return;
    SetUpMount(o, slot, -1, 1, 0, 0);
    const CornerRow& c = kCorners[o.variant];
    AttachPart(o.partsB, 0, kCornerTurretType, 0, 0, c.angle, 0);
    o.partsB[0].variant = static_cast<int16_t>(o.variant);
    o.partCountB = 1;
  } else if (o.state >= 3) {
    o.state = 0;
  }
}

void UpdateStage6CornerTurretPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& mount = pool[slot];
  const CornerRow& c = kCorners[p.variant & 3];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(45);
    p.imageFrame = 0;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 13, 0, 0);
    SetPartHitCircle(parts, partIndex, 1, 6, 16, 0);
    p.hitMode = 1;
    p.work0 = kCornerFireAfter;
    p.cullMarginX = p.cullMarginY = 40;
  } else if (p.state == 3) {
    // Shot (the score is given): back into its corner, to slide out again.
    SpawnSmallExplosion(p.x, p.y, 1);
    p.state = 2;
    p.life = p.maxLife = ScaleLifeByRank(45);
    p.hitMode = 0;
    p.work0 = 0;
    p.offsetX = c.cornerX;
    p.offsetY = c.cornerY;
    p.angle = c.angle;
    return;
  }
  if (FollowParentObject(pool, slot, parts, partIndex, 0) == 0 || p.state != 2) return;
  p.work0 = static_cast<int16_t>(p.work0 + 1);
  if (p.work0 > kCornerSlideAfter) {
    if (std::fabs(p.offsetX) < 20) p.hitMode = 1;
    p.offsetX = ApproachValue(p.offsetX, 2, 0);
    p.offsetY = ApproachValue(p.offsetY, 2, 0);
  }
  if (p.offsetX != 0) return;
  const int16_t aim = ClampAngleToArc(static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY)),
                                      c.aimLow, c.aimHigh, 0);
  p.angle = static_cast<int16_t>(TurnTowardAngle(aim, p.angle, 4));
  if (p.work0 > kCornerFireAfter && p.work0 % ComputeFireInterval(64, mount.rank) == 0) {
    const double x = RotateOffsetX(p.x, 32, 0, p.angle);
    const double y = RotateOffsetY(p.y, 32, 0, p.angle);
    if (!IsOutsideScreen(x, y, 0)) SpawnEnemyShot(0, p.angle, ScaleShotSpeed(2), x, y, 1);
  }
}

void UpdateStage6Fusha(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state != 1) return;  // the hub acts only in its set-up frame
  if (RefuseVariant(o, "stage 6 windmill variant")) return;
  if (o.variant == 1 && ScrollAngle == 0) {
    o.state = 0;  // made for a vertical stretch
    return;
  }
  SetUpMount(o, slot, 0, 0, 16, 16);
  o.speed = 0;
  const bool hard = GetDifficulty() > 1;
  const int blades = hard ? 4 : 3;
  const int16_t bladeVariant = o.variant <= 1 ? 1 : 0;
  for (int k = 0; k < blades; ++k) {
    const int16_t angle = hard ? kFourBlades[k] : kThreeBlades[o.variant][k];
    AttachPart(o.partsA, k, kFushaBladeType, 0, 0, angle, bladeVariant);
    o.partsA[k].variant = bladeVariant;
  }
  o.partCountA = static_cast<int16_t>(blades);
  o.x += 20;
  o.y += 20;
  if (o.variant == 0) {
    o.x += 80;
  } else if (o.variant == 1) {
    o.y += 80;
  } else {
    o.y += 120;
  }
}

void UpdateStage6FushaBladePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& hub = pool[slot];
  if (p.state == 1) {
    SetUpMountPart(p, p.variant, 120, 120);
    ClearPartHitCircles(parts, partIndex);
    const int circles = p.variant == 1 ? 6 : 4;
    for (int k = 0; k < circles; ++k) {
      SetPartHitCircle(parts, partIndex, k, 4, static_cast<int16_t>(10 + 20 * k), 0);
    }
    p.hitMode = 1;
  }
  if (FollowParentObject(pool, slot, parts, partIndex, 0) == 0 || p.state != 2) return;
  const int step = GetDifficulty() > 1 ? 4 : 3;
  const int sense = hub.variant == 0 || hub.variant == 2 ? 1 : -1;
  p.angle = static_cast<int16_t>(WrapAngle(p.angle + sense * step));
}

void UpdateStage6Entry(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    o.state = 2;
    o.frame = 0;
    o.life = o.maxLife = o.scoreBase = ScaleLifeByRank(1000);
    o.imageFrame = 0;
    o.vx = o.vy = o.speed = 0;
    ClearEnemyHitCircles(EnemyPool0, slot);
    SetEnemyHitCircle(EnemyPool0, slot, 0, 20, 16, -100);
    SetEnemyHitCircle(EnemyPool0, slot, 1, 33, 7, -56);
    SetEnemyHitCircle(EnemyPool0, slot, 2, 40, 0, 0);
    SetEnemyHitCircle(EnemyPool0, slot, 3, 33, 7, 56);
    SetEnemyHitCircle(EnemyPool0, slot, 4, 20, 16, 100);
    o.hitMode = 1;
    o.phase = 0;
    o.intWork0 = o.intWork1 = 0;
    o.despawnMarginX = o.despawnMarginY = 80;
    o.cullMarginX = 40;
    o.cullMarginY = 120;
    o.x += 22;
    o.y += 20;
  } else if (o.state == 3) {
    SpawnMediumExplosion(o.x, o.y, 1, -1);
    SpawnSparkBurst(o.x, o.y - 70, 1, -1);
    SpawnSparkBurst(o.x, o.y + 70, 1, -1);
    RequestSoundEffect(31);
    o.state = 0;
  }
}

void UpdateStage6Press(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    SetUpMount(o, slot, -1, 1, 0, 0);
    o.x += 60;
    o.y += o.variant == 0 ? 100 : -100;
    AttachPart(o.partsB, 0, kPressHeadType, 0, 0, 0, 0);
    o.partCountB = 1;
    o.intWork0 = 0;
    o.intWork1 = kPressRearm;
    o.realWork0 = o.y;
    o.realWork1 = o.variant == 0 ? o.y - 160 : o.y + 160;
  } else if (o.state == 2) {
    StepPress(o);
  } else if (o.state >= 3) {
    o.state = 0;
  }
}

void UpdateStage6PressPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    SetUpMountPart(p, 0, 80, 120);
    SetSolidPartBox(parts, partIndex, 80, 120);
  }
  if (FollowParentObject(pool, slot, parts, partIndex, 1) != 0) MarkSolidPartPresent();
}

void UpdateStage6BlockPairMount(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    SetUpMount(o, slot, 0, 1, 80, 20);
    o.x += 60;
    o.y += 20;
    AttachPart(o.partsA, 0, kBlockType, -kBlockRest, 0, 0, 0);
    o.partsA[0].variant = 0;
    AttachPart(o.partsA, 1, kBlockType, kBlockRest, 0, 0, 0);
    o.partsA[1].variant = 1;
    AttachPart(o.partsA, 2, kBlockZoneType, 0, 0, 0, 0);
    o.partCountA = 3;
  } else if (o.state >= 3) {
    o.state = 0;
  }
}

void UpdateStage6BlockPairPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const double side = p.variant == 0 ? -1 : 1;
  if (p.state == 1) {
    SetUpMountPart(p, 0, 40, 10);
    SetSolidPartBox(parts, partIndex, 40, 9);
    p.work0 = 0;
  } else if (p.state == 3) {
    // Thrown out by the zone's kill.
    p.work0 = 0;
    p.state = 2;
    p.life = -1;
    p.offsetX = side * kBlockThrown;
    SpawnSmallExplosion(p.x - 20, p.y, 1);
    SpawnSmallExplosion(p.x + 20, p.y, 1);
  }
  if (FollowParentObject(pool, slot, parts, partIndex, 0) == 0 || p.state != 2) return;
  MarkSolidPartPresent();
  p.work0 = CountUpSaturated(p.work0);
  if (p.work0 > kBlockReturnAfter) p.offsetX = ApproachValue(p.offsetX, 2, side * kBlockRest);
  p.imageFrame = (GameFrame / 4) % 4;
}

void UpdateStage6BlockPairCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    SetUpMountPart(p, 0, 120, 120);
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(120);
    p.hitMode = 2;  // shot, never touching the ship
  } else if (p.state == 3) {
    // Scored: shootable again once the blocks are back.
    p.state = 2;
    p.life = p.maxLife = ScaleLifeByRank(120);
    parts[0].state = 3;
    parts[1].state = 3;
    p.hitMode = 0;
    return;  // the blocks are thrown out before its reach is tested again
  }
  if (FollowParentObject(pool, slot, parts, partIndex, 0) == 0 || p.state != 2) return;
  const auto b0 = static_cast<int16_t>(parts[0].offsetX);
  const auto b1 = static_cast<int16_t>(parts[1].offsetX);
  const int16_t dx[6] = {static_cast<int16_t>(b0 - 28), b0, static_cast<int16_t>(b0 + 28),
                         static_cast<int16_t>(b1 - 28), b1, static_cast<int16_t>(b1 + 28)};
  for (int k = 0; k < 6; ++k) SetPartHitCircle(parts, partIndex, k, 17, dx[k], 0);
  if (std::fabs(parts[0].offsetX) < kZoneClosedReach) p.hitMode = 2;
}

void UpdateStage6PistonMount(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    SetUpMount(o, slot, -1, 1, 0, 0);
    o.x += 20;
    o.y += 20;
    const bool up = o.variant == 0;
    AttachPart(o.partsB, 0, kPistonType, 0, 0, 0, 0);
    o.partsB[0].variant = up ? 2 : 3;
    AttachPart(o.partsB, 1, kPistonType, 0, up ? -34 : 34, 0, 0);
    o.partsB[1].variant = up ? 0 : 1;
    o.partCountB = 2;
  } else if (o.state >= 3) {
    SpawnLargeExplosion(o.x, o.y, 1, -1);
    o.state = 0;
  }
}

void UpdateStage6PistonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& mount = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    SetUpMountPart(p, std::min<int32_t>(p.variant, 2), 40, 40);
    if (p.variant <= 1) {
      SetSolidPartBox(parts, partIndex, 40, 5);
    } else {
      SetSolidPartBox(parts, partIndex, 8, 40);
    }
    p.startX = p.offsetY;
    p.startCos = p.startX + (p.variant % 2 == 0 ? kPistonStroke : -kPistonStroke);
    p.offsetY = p.startCos;  // it starts retracted
    p.work0 = 0;
  }
  if (FollowParentObject(pool, slot, parts, partIndex, 0) == 0 || p.state != 2) return;
  MarkSolidPartPresent();
  if (p.counter % ComputeFireIntervalFlat(120, mount.rank) ==
      ComputeFireIntervalFlat(30, mount.rank)) {
    p.work0 = 1;
  }
  if (p.work0 == 1) {
    p.offsetY = ApproachValue(p.offsetY, kPistonStep, p.startX);
    if (p.offsetY == p.startX) p.work0 = 2;
  } else if (p.work0 >= 2 && p.work0 < kPistonHeld) {
    p.work0 = static_cast<int16_t>(p.work0 + 1);
  } else if (p.work0 == kPistonHeld) {
    p.offsetY = ApproachValue(p.offsetY, kPistonStep, p.startCos);
    if (p.offsetY == p.startCos) p.work0 = 0;
  }
}

void UpdateStage6Shutter(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  if (o.state == 1) {
    SetUpMount(o, slot, 0, 1, 20, 40);
    o.y += 20;
    AttachPart(o.partsA, 0, kShutterPanelType, 0, -60, 0, 0);
    o.partsA[0].variant = 0;
    AttachPart(o.partsA, 1, kShutterPanelType, 0, 60, 0, 1);
    o.partsA[1].variant = 1;
    o.partCountA = 2;
  }
  if (o.state == 2) MarkSolidEnemyPresent();
  if (o.state >= 3) o.state = 0;
}

void UpdateStage6ShutterPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  if (p.state == 1) {
    SetUpMountPart(p, p.variant, 20, 20);
    SetSolidPartBox(parts, partIndex, 12, 20);
    p.startX = p.variant == 0 ? -20 : 20;  // the closed offset
  }
  if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  MarkSolidPartPresent();
  if (WorldToScreenX(p.x) < kShutterCloseLine) {
    p.offsetY = ApproachValue(p.offsetY, kShutterCloseStep, p.startX);
  }
}

// Run after the common spawner in the same frame.
void GateStage6PairSpawner(int16_t slot) {
  if (ScrollTargetSpeed < kSpawnerMinScroll) EnemyPool0[slot].state = 0;
}
void GateStage6SingleSpawner(int16_t slot) { GateStage6PairSpawner(slot); }
