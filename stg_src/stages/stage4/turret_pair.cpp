// The turret pairs of the carrier's walls and of the turret mount: an arm that can be shot and
// a gun hanging on it. A destroyed pair withdraws, waits 160 frames, rises back 1 px a frame and
// turns shootable again, for ever; the gun aims and fires only while its arm stands at rest.
// Type 7 stands upward (gun at 768), type 8 is its mirror in y.
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_movement.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

// work1: frames since built; the gun's cue: its firing count.

namespace {

constexpr int32_t kTurretLife = 110;
constexpr int16_t kBuiltAtStart = 160;
constexpr int16_t kWithdrawnFrames = 160;
constexpr int16_t kGunReadyFrames = 250;

bool IsArm(const EnemyPart& p) { return p.variant == 1; }
bool OnPart(const EnemyPart& p) { return p.parentPart >= 0; }

// sign +1 for type 7, -1 for type 8: every y figure of type 8 is type 7's negated.
double RestOffset(const EnemyPart& arm, int sign) { return OnPart(arm) ? -96.0 * sign : 0.0; }

void Rebuild(EnemyPart& p, int sign) {
  if (p.state != 3) return;
  p.work1 = 0;
  p.hitMode = 0;
  p.cue = 0;
  p.state = 2;
  if (IsArm(p)) {
    p.offsetY = (OnPart(p) ? -48.0 : 48.0) * sign;
    p.life = p.maxLife = ScaleLifeByRank(kTurretLife);
  } else {
    p.angle = static_cast<int16_t>(sign > 0 ? 768 : 256);
  }
  SpawnSparkBurst(p.x, p.y, 1, -1);
}

void Follow(EnemyObject* pool, int slot, EnemyPart* parts, int j) {
  if (OnPart(parts[j])) {
    FollowParentPart(parts, parts[j].parentPart, parts, j);
  } else {
    FollowParentObject(pool, slot, parts, j, 1);
  }
}

void RunArm(EnemyObject* pool, int slot, EnemyPart* parts, int j, int sign) {
  EnemyPart& p = parts[j];
  if (p.work1 > kWithdrawnFrames) {
    const double limit = OnPart(p) ? -72.0 : 24.0;
    if (p.offsetY * sign < limit) p.hitMode = 1;
    p.offsetY = ApproachValue(p.offsetY, 1, RestOffset(p, sign));
  }
  Follow(pool, slot, parts, j);
}

int16_t GunTarget(int aim, int sign) {
  if (sign > 0) return static_cast<int16_t>(aim >= 512 ? aim : aim < 256 ? 0 : 512);
  return static_cast<int16_t>(aim <= 512 ? aim : aim <= 768 ? 512 : 0);
}

void RunGun(EnemyObject* pool, int slot, EnemyPart* parts, int j, int sign) {
  EnemyPart& p = parts[j];
  FollowParentPart(parts, p.parentPart, parts, j);
  if (p.parentPart < 0 || p.parentPart >= PartArrayCapacity(parts)) return;
  const EnemyPart& arm = parts[p.parentPart];
  if (arm.offsetY != RestOffset(arm, sign)) return;
  const int16_t rank = pool[slot].rank;
  if (p.work1 > kGunReadyFrames &&
      p.work1 % ComputeFireInterval(60, rank) == ComputeFireInterval(30, rank))
    p.cue = 1;
  if (p.cue == 0) {
    const int16_t target = GunTarget(AimAngle(p.x, p.y, PlayerX, PlayerY), sign);
    p.angle = static_cast<int16_t>(sign > 0 ? TurnTowardAngleFlipTie(target, p.angle, 8)
                                            : TurnTowardAngle(target, p.angle, 8));
  } else {
    p.cue = static_cast<int16_t>(p.cue + 1);
    if (p.cue == 16) {
      SpawnEnemyShotHigh(3, p.angle, ScaleShotSpeed(4.8), RotateOffsetX(p.x, 32, 0, p.angle),
                         RotateOffsetY(p.y, 32, 0, p.angle), 1);
    }
    if (p.cue > 20) p.cue = 0;
  }
}

void UpdateTurretPart(EnemyObject* pool, int slot, EnemyPart* parts, int j, int sign) {
  EnemyPart& p = parts[j];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kTurretLife);
    p.imageFrame = p.variant;
    p.hitMode = IsArm(p) ? 1 : 0;
    ClearPartHitCircles(parts, j);
    if (IsArm(p)) SetPartHitCircle(parts, j, 0, 16, 0, static_cast<int16_t>(12 * sign));
    if (!IsArm(p)) p.angle = static_cast<int16_t>(sign > 0 ? 768 : 256);
    p.cue = 0;
    p.work1 = kBuiltAtStart;
    p.cullMarginX = p.cullMarginY = 48;
  }
  Rebuild(p, sign);
  if (p.state == 2) {
    p.work1 = CountUpSaturated(p.work1);
    if (IsArm(p)) {
      RunArm(pool, slot, parts, j, sign);
    } else {
      RunGun(pool, slot, parts, j, sign);
    }
  }
  Rebuild(p, sign);
  if (p.state >= 4) {
    p.state = 0;
    SpawnSparkBurst(p.x, p.y, 1, -1);
  }
}

}  // namespace

void UpdateStage4UpperTurretPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  UpdateTurretPart(pool, slot, parts, partIndex, 1);
}

void UpdateStage4LowerTurretPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  UpdateTurretPart(pool, slot, parts, partIndex, -1);
}
