// The stage-4 boss's guns: the two arm lasers (aimed volleys and the countdown laser), the two
// missile launchers on their backs that drop shells, and the two cannons that slide out and in
// between the fight phases (moving the phase on) and fire pairs of shots and the long laser.
#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage4/laser_weapons.h"
#include "stg_src/stages/stage4/stage4.h"
#include "stg_src/stages/stage4/stage4_boss.h"

#include "stg_src/game/deterministic.h"

// Arm laser (part 23, variants 0 and 1) and cannon (part 24): cue the laser count, work0 the
// volley flag, work1 the arm laser's volley counter. Launcher (part 23, variants 2 and 3): cue
// its 90-frame run.

namespace {

constexpr int16_t kLauncherRun = 90;
constexpr int16_t kShellType = 4;  // pool 2
constexpr double kCannonOut = 64;
constexpr double kCannonIn = 16;

struct Circle {
  int16_t size, dx, dy;
};
constexpr Circle kArmLaserCircles[] = {{7, 71, 14},  {11, 49, 11}, {18, 18, 7},
                                       {14, -17, 8}, {10, -39, 8}, {6, -59, 3}};
constexpr Circle kCannonCircles[] = {{13, 127, 15}, {16, 96, 18},  {24, 56, 17},
                                     {33, 0, 15},   {13, -66, 15}, {9, -103, 12}};

void Count(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

// Variant 1 is variant 0 mirrored across its length.
void SetCircles(EnemyPart* parts, int j, const Circle (&circles)[6], int16_t sign) {
  for (int k = 0; k < 6; ++k) {
    SetPartHitCircle(parts, j, k, circles[k].size, circles[k].dx,
                     static_cast<int16_t>(circles[k].dy * sign));
  }
}

void SetUpGun(EnemyPart* parts, int j, int16_t hitMode, int32_t cullX, int32_t cullY) {
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = -1;
  p.maxLife = p.scoreBase = 0;
  p.imageFrame = p.variant;
  p.hitMode = hitMode;
  ClearPartHitCircles(parts, j);
  p.cue = p.work0 = p.work1 = 0;
  p.baseAngle = p.angle;
  p.cullMarginX = cullX;
  p.cullMarginY = cullY;
}

// Takes the boss's state; a gun the boss's death reached bursts and hands the death back.
void EndWithBoss(EnemyObject& boss, EnemyPart& p) {
  if (p.state != boss.state) p.counter = 0;
  p.state = boss.state;
  if (p.state >= 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    boss.state = 3;
  }
}

void FireAlong(const EnemyPart& p, double speed, double dx, double dy) {
  SpawnEnemyShot(3, p.angle, ScaleShotSpeed(speed), RotateOffsetX(p.x, dx, dy, p.angle),
                 RotateOffsetY(p.y, dx, dy, p.angle), 1);
}

void StepArmLaser(EnemyObject& boss, EnemyPart* parts, int j, uint16_t slot, EnemyObject* pool) {
  EnemyPart& p = parts[j];
  const int16_t v = p.variant;
  const bool open = boss.phase == kStage4BossOpen;
  if (!open) {
    p.angle = static_cast<int16_t>(TurnTowardAngle(512, p.angle, 8));
  } else if (p.work0 == 0 && p.cue == 0) {
    const int16_t aim = ClampAngleToArc(static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY)),
                                        v == 0 ? 384 : 448, v == 0 ? 576 : 640, 0);
    p.angle = static_cast<int16_t>(TurnTowardAngle(aim, p.angle, 8));
  }
  RunStage4Laser(pool, slot, parts, j, kBossArmLaser[v]);
  if (p.work0 <= 0) return;
  // Three shots I(10) apart in the open fight, one otherwise.
  if (p.work1 % ComputeFireInterval(10, boss.rank) == 0) {
    FireAlong(p, 4, 58, v == 0 ? -2 : 2);
    p.work0 = open ? static_cast<int16_t>(p.work0 + 1) : int16_t{4};
  }
  p.work1 = static_cast<int16_t>(p.work1 + 1);
  if (p.work0 > 3) p.work0 = p.work1 = 0;
}

void StepLauncher(const EnemyObject& boss, EnemyPart& p) {
  if (p.cue < 1) {
    p.baseAngle = static_cast<int16_t>(TurnTowardAngle(0, p.baseAngle, 8));
    return;
  }
  p.cue = static_cast<int16_t>(p.cue + 1);
  if (p.cue > kLauncherRun) p.cue = 0;
  const int target = p.variant == 2 ? 256 : 768;
  p.baseAngle = static_cast<int16_t>(TurnTowardAngle(target, p.baseAngle, 8));
  if (p.baseAngle == target &&
      p.counter % ComputeFireInterval(16, boss.rank) == ComputeFireInterval(2, boss.rank)) {
    SpawnPool2Enemy(p.x - 24, p.y, kShellType, static_cast<int16_t>(p.variant == 2 ? 768 : 256));
  }
}

}  // namespace

void UpdateStage4BossLaserPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  Count(p);
  const bool launcher = p.variant == 2 || p.variant == 3;
  if (p.state == 1) {
    SetUpGun(parts, partIndex, launcher ? 0 : 1, 96, 96);
    if (!launcher) SetCircles(parts, partIndex, kArmLaserCircles, p.variant == 0 ? 1 : -1);
  }
  if (p.state == 2) {
    FollowParentPart(parts, p.parentPart, parts, partIndex);
    if (p.state == 2 && launcher) {
      p.angle = static_cast<int16_t>(WrapAngle(parts[p.parentPart].angle + p.baseAngle));
      StepLauncher(boss, p);
    } else if (p.state == 2 && (p.variant == 0 || p.variant == 1)) {
      StepArmLaser(boss, parts, partIndex, slot, pool);
    }
    EndWithBoss(boss, p);
  } else if (p.state >= 3) {
    EndWithBoss(boss, p);
  }
}

void UpdateStage4BossCannonPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  Count(p);
  const int16_t v = p.variant == 1 ? 1 : 0;
  if (p.state == 1) {
    SetUpGun(parts, partIndex, 1, 176, 64);
    SetCircles(parts, partIndex, kCannonCircles, v == 0 ? 1 : -1);
  }
  if (p.state == 2) {
    FollowParentPart(parts, p.parentPart, parts, partIndex);
    // It always fires to the left, whatever its arm does.
    p.angle = 512;
  }
  if (p.state == 2) {
    if (boss.phase == kStage4BossCannonsOut) {
      p.offsetX = ApproachValue(p.offsetX, 3, kCannonOut);
      if (v == 0 && p.offsetX == kCannonOut) boss.phase = kStage4BossUnfold;
    } else if (boss.phase == kStage4BossCannonsIn) {
      p.offsetX = ApproachValue(p.offsetX, 3, kCannonIn);
      if (v == 0 && p.offsetX == kCannonIn) boss.phase = kStage4BossFold;
    }
    RunStage4Laser(pool, slot, parts, partIndex, kBossCannonLaser[v]);
    if (p.work0 > 0) {
      FireAlong(p, 4, 102, v == 0 ? -8 : 8);
      FireAlong(p, 5.6, 116, v == 0 ? 31 : -31);
      p.work0 = 0;
    }
  }
  if (p.state >= 2) EndWithBoss(boss, p);
}
