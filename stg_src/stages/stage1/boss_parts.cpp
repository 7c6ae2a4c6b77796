#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage1/stage1_boss.h"

#include "stg_src/game/deterministic.h"

// The parts the boss carries besides its core. Part words: counter the part's clock; cue the
// owner's order (a flare, a tied beam, a gun's burst count); work0 the arm burst count (100 and
// up) or the shots a burst has fired, the thruster's flare step; work1 the arm burst's shot
// number, the middle gun's beam-used flag, the thruster's flare length.

namespace {

constexpr int16_t kArmAlong = 96;
constexpr int16_t kBeamGunAlong = 56;
constexpr int16_t kBurstStart = 100;
constexpr double kWingBreakLine = 19320;
constexpr double kWingBreakLineHard = 19800;
constexpr int32_t kWingBreakShake = 62;

int16_t Wrap(int a) { return static_cast<int16_t>(WrapAngle(a)); }
int16_t Turn(int target, int current, int step) {
  return static_cast<int16_t>(TurnTowardAngle(target, current, step));
}

void Tick(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

// What every part here sets up alike: live, no life of its own, no work words.
void SetUpCommon(EnemyPart& p, int16_t hitMode, int32_t cull) {
  p.state = 2;
  p.life = p.maxLife = p.scoreBase = -1;
  p.hitMode = hitMode;
  p.cue = 0;
  p.work0 = 0;
  p.work1 = 0;
  p.cullMarginX = p.cullMarginY = cull;
}

// The follow and the part's angle; false once the part no longer lives (it took the boss's end).
bool Follow(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t j) {
  EnemyPart& p = parts[j];
  FollowParentObject(pool, slot, parts, j, 1);
  p.angle = Wrap(pool[slot].angle + p.baseAngle);
  return p.state == 2;
}

// Arms, pods, plate, guns and the blade glow go up with the boss and pass its end on.
void ExplodeWithBoss(EnemyObject* pool, uint16_t slot, EnemyPart& p) {
  if (p.state != 3) return;
  p.state = 0;
  SpawnLargeExplosion(p.x, p.y, 1, -1);
  pool[slot].state = 3;
}

double Approach(double value, double step, double target) {
  return ApproachValue(value, step, target);
}

// A type-3 shot along the part's angle from `out` px along it.
void FireAlong(const EnemyPart& p, double out, double speed) {
  SpawnEnemyShot(3, p.angle, speed, RotateOffsetX(p.x, out, 0, p.angle),
                 RotateOffsetY(p.y, out, 0, p.angle), 1);
}

struct ArmPose {
  int16_t xAngle;  // base angle of the X pose after the transformation
  double xOffsetX, xOffsetY;
  double spreadY, foldY;
};
// By slot in array B, 1..4.
constexpr ArmPose kArmPoses[5] = {
    {0, 0, 0, 0, 0},      {640, -6, -6, -38, -20}, {896, 6, -6, -61, -43},
    {384, -6, 6, 38, 20}, {128, 6, 6, 61, 43},
};
constexpr int16_t kReportingArm = 1;

void PoseArm(EnemyObject& boss, EnemyPart& p, int16_t j) {
  const ArmPose& pose = kArmPoses[j >= 1 && j <= 4 ? j : 1];
  if (boss.phase >= kBossTransformPhase) {
    p.baseAngle = Turn(pose.xAngle, p.baseAngle, 8);
    p.offsetX = Approach(p.offsetX, 2, pose.xOffsetX);
    p.offsetY = Approach(p.offsetY, 2, pose.xOffsetY);
  } else if (boss.intWork0 > 0) {
    p.offsetY = Approach(p.offsetY, 1, pose.spreadY);
    if (j == kReportingArm && p.offsetY == pose.spreadY) boss.intWork0 = kArmsOut;
  } else if (boss.intWork0 < 0) {
    p.offsetY = Approach(p.offsetY, 1, pose.foldY);
    if (j == kReportingArm && p.offsetY == pose.foldY) boss.intWork0 = kArmsIn;
  }
}

// Five shots 4 frames apart at 2.0 .. 3.6 before scaling; on easy below the rank threshold the
// burst runs its steps without shots.
void StepArmBurst(EnemyPart& p) {
  if (p.work0 < kBurstStart) return;
  p.work0 = static_cast<int16_t>(p.work0 + 1);
  if (p.work0 % 4 != 0) return;
  if (IsHarderThanEasy()) FireAlong(p, 72, ScaleShotSpeed(2 + 0.4 * p.work1));
  p.work1 = static_cast<int16_t>(p.work1 + 1);
  if (p.work1 > 4) {
    p.work0 = 0;
    p.work1 = 0;
  }
}

// A burst of four 8 frames apart, counted in cue (frames) and work0 (shots).
template <typename Fire>
void StepBurstOfFour(EnemyPart& p, Fire fire) {
  if (p.cue <= 0) return;
  p.cue = static_cast<int16_t>(p.cue + 1);
  if (p.cue % 8 != 0) return;
  p.work0 = static_cast<int16_t>(p.work0 + 1);
  fire();
  if (p.work0 > 3) p.cue = 0;
}

bool FiresNow(const EnemyPart& p, const EnemyObject& boss, int16_t offset) {
  return p.counter % ComputeFireInterval(90, boss.rank) == ComputeFireInterval(offset, boss.rank);
}

// Pods and guns fire only with the boss level and riding its route.
bool BossLevelOnRoute(const EnemyObject& boss) { return boss.angle == 0 && boss.phase == 1; }

}  // namespace

void UpdateStage1BossArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  Tick(p);
  if (p.state == 1) {
    SetUpCommon(p, 1, 128);
    ClearPartHitCircles(parts, partIndex);
    constexpr int16_t kCircles[6][3] = {{7, 38, 0}, {11, 49, 0}, {8, 70, 0},
                                        {5, 86, 0}, {4, 99, 0},  {2, 108, 0}};
    for (int k = 0; k < 6; ++k) {
      SetPartHitCircle(parts, partIndex, k, kCircles[k][0], kCircles[k][1], kCircles[k][2]);
    }
    p.imageFrame = 0;
  } else if (p.state == 2) {
    PoseArm(boss, p, partIndex);
    if (Follow(pool, slot, parts, partIndex)) {
      StepArmBurst(p);
      RunTiedBeam(pool, slot, parts, partIndex, TiedBeamAlong(kArmAlong));
      if (p.counter % 4 == 0) {
        if (p.linkActive == 1 && p.imageFrame < 3) p.imageFrame += 1;
        if (p.linkActive != 1 && p.imageFrame > 0) p.imageFrame -= 1;
      }
    }
  }
  ExplodeWithBoss(pool, slot, p);
}

void UpdateStage1BossLauncherPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& boss = pool[slot];
  const double side = p.variant == 0 ? -1 : 1;
  Tick(p);
  if (p.state == 1) {
    SetUpCommon(p, 1, 64);
    SetPartHitCircle(parts, partIndex, 0, 12, 27, static_cast<int16_t>(13 * side));
  } else if (p.state == 2) {
    p.imageFrame = p.variant;
    if (Follow(pool, slot, parts, partIndex)) {
      if (boss.phase < kBossTransformPhase) {
        if (boss.intWork0 == kArmsIn && BossLevelOnRoute(boss) && FiresNow(p, boss, 30)) {
          p.cue = 1;
          p.work0 = 0;
        }
        StepBurstOfFour(p, [&] { SpawnPool2Enemy(p.x + 48, p.y + 14 * side, 2, 0); });
      } else {
        p.baseAngle = Turn(p.variant == 0 ? 256 : 768, p.baseAngle, 4);
      }
    }
  }
  ExplodeWithBoss(pool, slot, p);
}

void UpdateStage1BossSliderPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  Tick(p);
  if (p.state == 1) {
    SetUpCommon(p, 0, 32);
    p.imageFrame = 0;
  } else if (p.state == 2) {
    p.imageFrame = p.variant;
    if (Follow(pool, slot, parts, partIndex) && pool[slot].phase >= kBossTransformPhase) {
      p.offsetX = Approach(p.offsetX, 2, 32);
    }
  }
  ExplodeWithBoss(pool, slot, p);
}

void UpdateStage1BossGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& boss = pool[slot];
  Tick(p);
  if (p.state == 1) {
    SetUpCommon(p, 0, 64);
    p.imageFrame = p.variant;
  } else if (p.state == 2) {
    p.imageFrame = p.variant;
    if (Follow(pool, slot, parts, partIndex)) {
      if (boss.phase < kBossTransformPhase) {
        if (boss.intWork0 != kArmsOut) p.work1 = 0;
        if (boss.intWork0 == kArmsOut && BossLevelOnRoute(boss)) {
          if (p.variant == 1) {
            if (p.work1 == 0) {
              p.cue = kTiedBeamStart;
              p.work0 = 0;
              p.work1 = 1;  // one beam per arms-out period
            }
          } else if (FiresNow(p, boss, p.variant == 0 ? 30 : 75)) {
            p.cue = 1;
            p.work0 = 0;
          }
        }
        if (p.variant == 1) {
          RunTiedBeam(pool, slot, parts, partIndex, TiedBeamAlong(kBeamGunAlong));
        } else {
          StepBurstOfFour(p, [&] { FireAlong(p, 40, ScaleShotSpeed(4)); });
        }
      } else {
        p.offsetX = Approach(p.offsetX, 2, p.variant == 1 ? -32 : 0);
      }
    }
  }
  ExplodeWithBoss(pool, slot, p);
}

// work0 the flare step: 0 flicker, 1 flaring, 2 dying down.
void UpdateStage1BossThrusterPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  Tick(p);
  if (p.state == 1) {
    SetUpCommon(p, 0, 144);
    p.imageFrame = 0;
    p.blend = 511;
    return;
  }
  if (p.state == 2) {
    if (p.cue == 0) {
      if (p.counter % 3 == 0) p.imageFrame += 1;
      if (p.imageFrame > 1) p.imageFrame = 0;
      p.work0 = 0;
    } else if (p.work0 == 0) {
      if (p.counter % 6 == 0) p.imageFrame += 1;
      if (p.imageFrame > 3) {
        p.work0 = 1;
        p.work1 = 0;
      }
    } else if (p.work0 == 1) {
      if (p.counter % 3 == 0) p.imageFrame += 1;
      if (p.imageFrame > 4) p.imageFrame = 3;
      p.work1 = static_cast<int16_t>(p.work1 + 1);
      if (p.work1 > 64) p.work0 = 2;
    } else {
      if (p.counter % 6 == 0) p.imageFrame -= 1;
      if (p.imageFrame <= 0) p.cue = 0;
    }
    FollowParentObject(pool, slot, parts, partIndex, 1);
    p.angle = pool[slot].angle;
  }
  if (p.state >= 3) p.state = 0;
}

void UpdateStage1ShurikenPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  Tick(p);
  if (p.state == 1) {
    SetUpCommon(p, 0, 128);
    p.imageFrame = 1;
    p.blend = 257;
  } else if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    p.angle = pool[slot].angle;
    if (p.cue <= 0) {
      if (p.blend > 257) p.blend = static_cast<int16_t>(p.blend - 4);
      if (p.blend < 257) p.blend = 257;
    } else {
      p.blend = static_cast<int16_t>(p.blend + 2 > 480 ? 480 : p.blend + 2);
    }
  }
  ExplodeWithBoss(pool, slot, p);
}

// State 4: broken off, tumbling through the world on its own.
void UpdateStage1BossWingPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& boss = pool[slot];
  const double side = p.variant == 0 ? -1 : 1;
  Tick(p);
  if (p.state == 1) {
    SetUpCommon(p, 0, 128);
    p.imageFrame = p.variant;
    return;
  }
  if (p.state == 2) {
    p.imageFrame = p.variant;
    if (Follow(pool, slot, parts, partIndex)) {
      if (boss.intWork0 > 0) p.offsetY = Approach(p.offsetY, 1, 50 * side);
      if (boss.intWork0 < 0) p.offsetY = Approach(p.offsetY, 1, 32 * side);
      const double line = Difficulty >= 2 ? kWingBreakLineHard : kWingBreakLine;
      if (ScreenToWorldX(0) > line && ScreenShake.duration > kWingBreakShake) p.state = 3;
    }
  }
  if (p.state == 3) {
    p.state = 4;
    SpawnMediumExplosion(p.x + 64, p.y, 1, -1);
    SpawnMediumExplosion(p.x, p.y, 1, -1);
    SpawnMediumExplosion(p.x + 64, p.y, 1, -1);
    return;
  }
  if (p.state == 4) {
    p.angle = Wrap(p.angle - 4 * static_cast<int>(side));
    p.y += 4 * side;
    p.x += 4.8;
    if (WorldToScreenX(p.x) < -120) p.state = 0;
  }
}

// Shot 17: flies out, brakes to a stop, takes one aim at the player (never more than 128 steps
// off straight right) and speeds up again. linkMode is its phase, workReal[0] the launch speed,
// workReal[1] the speed step.
void UpdateStage1RetargetShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 3) {
    PlayShotVanishFrames(s);
    return;
  }
  if (s.state == 1) {
    s.drawMargin = 16;
    s.state = 2;
    s.hitSize[0] = 4;
    s.rotated = 1;
    s.additive = 1;
    s.motionAngle = s.drawAngle;
    s.drawAngle = 0;
    s.linkMode = 0;
    s.workReal[0] = s.speed;
    s.workReal[1] = s.speed / 16;
    s.vx = s.vy = 0;
    if (IsOffScreen(s.x, s.y, 60, false)) {
      s.state = 0;
      return;
    }
    RequestSoundEffect(33);
    s.anim = 4;
  }
  if (s.state == 2) {
    const double nx = s.x + s.vx + ScrollDeltaX;
    const double ny = s.y + s.vy + ScrollDeltaY;
    if (TestTerrainHit(nx, ny, s.x, s.y, 1) >= 0) s.state = 3;
    s.vx = CosineTable[WrapAngle(s.motionAngle)] * s.speed;
    s.vy = SineTable[WrapAngle(s.motionAngle)] * s.speed;
    s.x += s.vx + ScrollDeltaX;
    s.y += s.vy + ScrollDeltaY;
    if (s.frame % 3 == 0) s.anim = static_cast<int16_t>(s.anim + 1);
    if (s.frame > 23 && s.linkMode == 0) s.linkMode = 1;
    switch (s.linkMode) {
      case 0:
      case 1:
        if (s.anim > 6) s.anim = 4;
        if (s.linkMode == 1) {
          if (s.speed > 0) s.speed -= s.workReal[1];
          if (s.speed <= 0) {
            s.speed = 0;
            s.linkMode = 2;
          }
        }
        s.drawAngle = s.motionAngle;
        break;
      case 2: {
        if (s.anim > 6) s.anim = 4;
        const int a = ClampAngleToArc(static_cast<int16_t>(AimAngle(s.x, s.y, PlayerX, PlayerY)),
                                      896, 128, 0);
        s.drawAngle = s.motionAngle = static_cast<int16_t>(a);
        s.speed = 0;
        s.linkMode = 3;
        break;
      }
      default:
        s.anim = 7;
        if (s.speed < s.workReal[0]) s.speed += s.workReal[1];
        break;
    }
  }
}
