#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

// Form 2's guns, wings and tails. The guns and tails belong to the form's first attack and go
// when it leaves it; the wings stay and fan curving shots during the volleys.

namespace {

constexpr int16_t kPatrol = -3;
constexpr int16_t kAttack = 3;
constexpr int32_t kGunLife = 240;
constexpr int32_t kGunLifeAgain = 110;
constexpr double kGunReach = 40;

bool IsTurret(const EnemyPart& p) { return p.variant % 2 == 0; }
bool IsUpper(const EnemyPart& p) { return p.variant < 2; }
int16_t RestAngle(const EnemyPart& p) { return IsUpper(p) ? 768 : 256; }

void SetUpGun(EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.state = 2;
  p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kGunLife);
  ClearPartHitCircles(parts, partIndex);
  if (IsTurret(p)) {
    p.hitMode = 0;
    p.angle = RestAngle(p);
  } else {
    p.hitMode = 1;
    SetPartHitCircle(parts, partIndex, 0, 18, 0, IsUpper(p) ? 8 : -8);
  }
  // The upper gun is culled with its arm; the lower one is always drawn.
  p.cullMarginX = p.cullMarginY = IsUpper(p) ? 32 : -1;
  p.cue = p.work0 = p.work1 = 0;
  p.imageFrame = p.variant;
}

// A base shot down retracts at once with less life; nothing stays destroyed.
void ResetShotDownGun(EnemyPart& p) {
  if (p.state != 3) return;
  p.work1 = 0;
  p.hitMode = 0;
  p.cue = 0;
  p.state = 2;
  if (IsTurret(p)) {
    p.angle = RestAngle(p);
  } else {
    p.offsetY = 0;
    p.life = p.maxLife = ScaleLifeByRank(kGunLifeAgain);
  }
  SpawnSparkBurst(p.x, p.y, 1, -1);
}

// The turret's aim kept in its half of the turn, away from the form behind it.
int TurretTarget(const EnemyPart& p, int u) {
  if (IsUpper(p)) return u >= 512 ? u : (u < 256 ? 0 : 512);
  return u <= 512 ? u : (u <= 768 ? 512 : 0);
}

void FireTurret(const EnemyPart& p) {
  struct Spread {
    int16_t turn;
    double speed;
  };
  constexpr Spread kSpread[] = {{0, 3.2}, {-32, 2.4}, {32, 2.4}, {0, 1.6}};
  const double x = RotateOffsetX(p.x, 32, 0, p.angle);
  const double y = RotateOffsetY(p.y, 32, 0, p.angle);
  for (const Spread& s : kSpread) {
    SpawnEnemyShot(0, static_cast<int16_t>(WrapAngle(p.angle + s.turn)), ScaleShotSpeed(s.speed), x,
                   y, 1);
  }
}

void StepTurret(const EnemyObject& o, EnemyPart* parts, EnemyPart& p) {
  const EnemyPart& base = parts[p.parentPart];
  if (base.offsetY != kGunReach && base.offsetY != -kGunReach) return;
  const int u = AimAngle(p.x, p.y, PlayerX, PlayerY);
  if (p.work1 % ComputeFireInterval(90, o.rank) == ComputeFireInterval(30, o.rank)) p.cue = 1;
  if (p.cue < 1) {
    const int target = TurretTarget(p, u);
    p.angle = static_cast<int16_t>(IsUpper(p) ? TurnTowardAngleFlipTie(target, p.angle, 8)
                                              : TurnTowardAngle(target, p.angle, 8));
    return;
  }
  const int16_t old = p.cue;
  p.cue = static_cast<int16_t>(p.cue + 1);
  if (old == 15) FireTurret(p);
  if (p.cue > 20) p.cue = 0;
}

// One volley wing shot: its offset turned by the wing's angle, its drift in the angle word.
void FireWingShot(const EnemyPart& p, double dx, double dy, int drift) {
  const double speed = ScaleShotSpeed(4);
  SpawnEnemyShot(18, static_cast<int16_t>(WrapAngle(drift)), speed,
                 RotateOffsetX(p.x, dx, dy, p.angle), RotateOffsetY(p.y, dx, dy, p.angle), 0);
}

void StepWingFire(const EnemyObject& o, EnemyPart& p) {
  const bool lower = p.variant == 1;
  const auto interval = [&](int16_t base) {
    return lower ? ComputeFireIntervalFlat(base, o.rank) : ComputeFireInterval(base, o.rank);
  };
  const int sign = lower ? -1 : 1;  // the drift's sign
  const int dySign = lower ? 1 : -1;
  const int s = p.work0;
  if (p.counter % interval(32) == 0) {
    FireWingShot(p, -54, dySign * 17, sign * -2 * s);
    FireWingShot(p, -38, dySign * 16, sign * -(s / 2));
    if (s / 2 > 0) FireWingShot(p, -38, dySign * 16, sign * (s / 2));
    FireWingShot(p, -22, dySign * 13, sign * 2 * s);
  }
  if (p.counter % interval(32) == interval(16)) {
    FireWingShot(p, -46, dySign * 16, sign * -s);
    FireWingShot(p, -30, dySign * 15, sign * s);
    p.work0 = static_cast<int16_t>(p.work0 + 2);
    if (p.work0 > 5) p.work0 = static_cast<int16_t>(p.work0 - 5);
  }
}

}  // namespace

// Gun bases (variants 1, 3) extend from their arm after 160 frames and can be shot down; the
// turrets on them (variants 0, 2) aim and fire a four-shot spread once the base is fully out.
void UpdateStage5Boss2GunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  if (p.state == 1) SetUpGun(parts, partIndex);
  ResetShotDownGun(p);
  if (p.state == 2) {
    p.state = o.state;
    p.work1 = static_cast<int16_t>(p.work1 + 1);
    if (!IsTurret(p) && p.work1 > 160) {
      p.offsetY = ApproachValue(p.offsetY, 1, IsUpper(p) ? -kGunReach : kGunReach);
      if (p.offsetY > 20 || p.offsetY < -20) p.hitMode = 1;
    }
    if (FollowParentPart(parts, p.parentPart, parts, partIndex) == 0) return;
    if (p.state == 2 && IsTurret(p)) StepTurret(o, parts, p);
  }
  ResetShotDownGun(p);
  if (p.state == 4) {
    p.state = 0;
    SpawnSparkBurst(p.x, p.y, 1, -1);
  } else if (o.phase > 0) {
    p.state = 4;
  }
}

// Wings: spread and turned out during the attack's pauses, fanning curving shots in a volley.
// work0 is the drift step, 1, 3, 5, 2, 4, 1, ...
void UpdateStage5Boss2WingPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 1;
    const int16_t dy = p.variant == 1 ? -1 : 1;
    SetPartHitCircle(parts, partIndex, 0, 8, -51, static_cast<int16_t>(-26 * dy));
    SetPartHitCircle(parts, partIndex, 1, 8, -27, static_cast<int16_t>(-22 * dy));
    SetPartHitCircle(parts, partIndex, 2, 8, -5, static_cast<int16_t>(-13 * dy));
    p.cullMarginX = p.cullMarginY = 80;
    p.imageFrame = p.variant;
    p.work0 = 1;
  }
  if (p.state == 2 && FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  if (p.state >= 3) {
    p.state = 0;
    SpawnSmallExplosion(p.x, p.y, 1);
    return;
  }
  const int sign = p.variant == 1 ? 1 : -1;
  if (o.phase == kAttack) {
    if (o.intWork0 != 0) {
      p.offsetY = ApproachValue(p.offsetY, 3, sign * 34);
      if (p.offsetY == 34 || p.offsetY == -34)
        p.angle = static_cast<int16_t>(TurnTowardAngle(p.variant == 1 ? 768 : 256, p.angle, 16));
    } else {
      if (p.angle == 0) p.offsetY = ApproachValue(p.offsetY, 3, sign * 23);
      p.angle = static_cast<int16_t>(TurnTowardAngle(0, p.angle, 16));
    }
  }
  if (o.intWork0 > 40 && o.intWork0 < 120) StepWingFire(o, p);
}

// Tails: spread wider during a volley; blown off when the form leaves its first attack.
void UpdateStage5Boss2TailPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                               int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const EnemyObject& o = pool[slot];
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    ClearPartHitCircles(parts, partIndex);
    p.hitMode = 0;
    p.cullMarginX = p.cullMarginY = 32;
    p.imageFrame = p.variant;
  }
  if (p.state == 2 && FollowParentObject(pool, slot, parts, partIndex, 1) == 0) return;
  if (p.state >= 3) {
    p.state = 0;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    return;
  }
  if (o.phase == kPatrol) {
    const int sign = p.variant == 1 ? 1 : -1;
    p.offsetY = ApproachValue(p.offsetY, 2, sign * (o.intWork0 != 0 ? 70 : 31));
  }
  if (o.phase > 0) p.state = 3;
}
