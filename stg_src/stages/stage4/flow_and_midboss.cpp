// Stage 4's flow after the carrier: the mid-boss that stops the scroll at 11200 and raises the go
// signal 80 frames after its death, the fire wall it leaves behind at the view's left edge, and
// the dasher that waits for the go signal and runs to the boss core to open it.
#include <iterator>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

// Hand-off words: StageWork[0] the go signal, [1] the boss core's x, [2] the core open signal.
// Mid-boss (pool 0): intWork0 the turret cycle counter 0..4. Core (part 26): work1 the open state
// (0 shut, 1 opening, 2 open), cue the closing count. Gun arm (part 28): work0 the slide state,
// work1 the slide speed, cue the volley count. Turret (part 29): cue the firing count.
// Dasher (pool 1): vx its dash speed. Fire wall (pool 0): realWork0 its screen x, realWork1 the
// sway step, intWork0 1 once it has swayed in.

namespace {

constexpr double kMidBossStop = 11200;
constexpr int kCore = 0;  // in partsB
constexpr int kUpperArm = 4;
constexpr int kLowerArm = 5;
constexpr int kCoreClosed = 5;
constexpr int32_t kCoreTimeOut = 4000;
constexpr int16_t kCoreCloseEnd = 180;
constexpr int32_t kGoSignalFrame = 80;
constexpr double kFireWallScreenY = 240;

struct MidBossPart {
  int slot;
  int32_t type;
  double dx, dy;
  int16_t angle;
  int16_t variant;
};

constexpr MidBossPart kBackParts[] = {
    {0, 29, -100, -80, 512, 0}, {1, 29, -80, -40, 512, 0}, {2, 29, -80, 40, 512, 1},
    {3, 29, -100, 80, 512, 1},  {4, 28, -100, -140, 0, 0}, {5, 28, -100, 140, 0, 1},
    {6, 30, -60, 0, 0, 0},
};
constexpr MidBossPart kFrontParts[] = {
    {0, 26, -20, 0, 0, 0},
    {1, 27, 0, -60, 0, 0},
    {2, 27, 0, 60, 0, 1},
};

// The turret cue order over one cycle of F(210): the phase and the turret it cues.
struct TurretCue {
  int16_t phase;
  int turret;
};
constexpr TurretCue kTurretCues[] = {{10, 0},  {30, 1},  {50, 2},  {70, 3},
                                     {110, 3}, {130, 2}, {150, 1}, {170, 0}};
constexpr int16_t kLastTurretPhase = 170;
constexpr int32_t kSilentCycle = 3;

void SetUpMidBoss(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  BossType = static_cast<int16_t>(o.type);
  o.state = 2;
  o.life = o.maxLife = o.scoreBase = -1;
  o.imageFrame = 0;
  o.vx = o.vy = 0;
  o.speed = 6.4;
  o.heading = 512;
  o.angle = 0;
  o.hitMode = 1;
  ClearEnemyHitCircles(EnemyPool0, slot);
  SetEnemyHitCircle(EnemyPool0, slot, 0, 34, 12, 0);
  SetEnemyHitCircle(EnemyPool0, slot, 1, 25, 67, 0);
  o.despawnMarginX = o.despawnMarginY = -1;
  o.cullMarginX = o.cullMarginY = 0;
  o.intWork0 = 0;
  o.x += 220;
  o.y += 20;
  for (const MidBossPart& p : kBackParts) {
    AttachPart(o.partsA, p.slot, p.type, p.dx, p.dy, p.angle, 0);
    o.partsA[p.slot].variant = p.variant;
  }
  for (const MidBossPart& p : kFrontParts) {
    AttachPart(o.partsB, p.slot, p.type, p.dx, p.dy, p.angle, 0);
    o.partsB[p.slot].variant = p.variant;
  }
  o.partCountA = static_cast<int16_t>(std::size(kBackParts));
  o.partCountB = static_cast<int16_t>(std::size(kFrontParts));
  BossState = 1;
}

void CueMidBossWeapons(EnemyObject& o) {
  const int16_t rank = o.rank;
  const int32_t turretPhase = o.frame % ComputeFireInterval(210, rank);
  for (const TurretCue& c : kTurretCues) {
    if (turretPhase != ComputeFireInterval(c.phase, rank)) continue;
    if (o.intWork0 != kSilentCycle) o.partsA[c.turret].cue = 1;
    if (c.phase == kLastTurretPhase) {
      o.intWork0 += 1;
      if (o.intWork0 > 4) o.intWork0 = 0;
    }
  }
  EnemyPart& upper = o.partsA[kUpperArm];
  EnemyPart& lower = o.partsA[kLowerArm];
  if (upper.work0 == 0) upper.work0 = 1;
  if (upper.work0 == 2 && lower.work0 == 0) lower.work0 = 1;
  const int32_t gunPhase = o.frame % ComputeFireInterval(360, rank);
  if (gunPhase == ComputeFireInterval(40, rank) || gunPhase == ComputeFireInterval(160, rank))
    upper.cue = 1;
  if (gunPhase == ComputeFireInterval(100, rank) || gunPhase == ComputeFireInterval(220, rank))
    lower.cue = 1;
}

// The end of an array-A part: it goes with a large explosion and starts the mid-boss's death
// step again.
void EndMidBossPart(EnemyObject& owner, EnemyPart& p) {
  p.state = 0;
  SpawnLargeExplosion(p.x, p.y, 1, -1);
  owner.state = 3;
}

void SetUpPlainPart(EnemyPart* parts, int j, int16_t hitMode, int32_t cullX, int32_t cullY) {
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = -1;
  p.maxLife = p.scoreBase = 0;
  p.hitMode = hitMode;
  ClearPartHitCircles(parts, j);
  p.cue = 0;
  p.cullMarginX = cullX;
  p.cullMarginY = cullY;
}

// A point in the fire from two draws, x first; the draws are made even when the point is then
// too far off screen to use.
bool FireWallPointOnScreen(double x, double y, double* px, double* py) {
  const int rx = LcgRandom();
  const int ry = LcgRandom();
  *px = x + 20 + rx % 80;
  *py = y - 240 + ry % 481;
  return !IsOffScreen(*px, *py, 60, false);
}

}  // namespace

void UpdateStage4Chubosu(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) SetUpMidBoss(slot);
  if (o.state == 2) {
    if (ScreenToWorldX(kViewWidth) >= kMidBossStop) {
      ScrollTargetSpeed = 0;
    } else {
      o.frame = 0;
    }
    if (o.partsB[kCore].state > 2) o.state = 3;
    if (o.state == 2 && ScrollTargetSpeed == 0) CueMidBossWeapons(o);
  }
  // Each part that goes puts the mid-boss back here, and the death count starts again.
  if (o.state == 3) {
    SpawnLargeExplosion(o.x, o.y, 1, -1);
    o.state = 4;
    o.frame = 0;
    return;
  }
  if (o.state == 4) {
    if (o.frame == kGoSignalFrame) {
      ScrollTargetSpeed = 8;
      StageWork[0] = 1;
    }
    if (WorldToScreenX(o.x) < -400) {
      o.state = 0;
      SpawnPool0Enemy(0, 0, 16, 0, -1, 0);
    }
  }
}

// Shut and invulnerable until the scroll stops, then opens over 15 frames; shot down, or closed
// again 4000 frames after the mid-boss came, it takes the mid-boss with it.
void UpdateStage4ChubosuCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& owner = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    SetUpPlainPart(parts, partIndex, 1, 32, 32);
    p.imageFrame = kCoreClosed;
    SetPartHitCircle(parts, partIndex, 0, 18, 0, 0);
    p.baseAngle = p.angle;
    p.work1 = 0;
  }
  if (p.state == 2) {
    if (ScrollTargetSpeed == 0 && p.work1 == 0) p.work1 = 1;
    if (p.work1 == 1) {
      if (p.counter % 3 == 0) p.imageFrame -= 1;
      if (p.imageFrame <= 0) {
        p.imageFrame = 0;
        p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(3500);
        p.work1 = 2;
      }
    }
    if (p.counter > kCoreTimeOut && p.cue == 0) p.cue = 1;
    FollowParentObject(pool, slot, parts, partIndex, 1);
    if (p.cue > 0) {
      if (p.counter % 4 == 0 && p.imageFrame < kCoreClosed) p.imageFrame += 1;
      if (p.imageFrame == kCoreClosed) p.life = -1;
      p.cue = static_cast<int16_t>(p.cue + 1);
      if (p.cue > kCoreCloseEnd) p.state = 3;
    }
  }
  if (p.state == 3) {
    p.state = 4;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    RequestSoundEffect(27);
    SpawnEffect(32, p.x, p.y, 0, 0, 0);
  } else if (p.state >= 4) {
    p.imageFrame = -1;
    p.angle = static_cast<int16_t>(WrapAngle(owner.angle + p.baseAngle));
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    owner.state = 3;
    p.state = 0;
  }
}

// The two hull halves; they drift apart while the mid-boss dies.
void UpdateStage4ChubosuBodyPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  const int16_t sign = p.variant == 0 ? 1 : -1;
  if (p.state == 1) {
    SetUpPlainPart(parts, partIndex, 1, 120, 60);
    p.imageFrame = p.variant;
    SetPartHitCircle(parts, partIndex, 0, 27, -53, static_cast<int16_t>(11 * sign));
    SetPartHitCircle(parts, partIndex, 1, 100, -8, static_cast<int16_t>(-67 * sign));
  }
  if (p.state < 2) return;
  if (pool[slot].state > 3) p.offsetY -= sign;
  FollowParentObject(pool, slot, parts, partIndex, 1);
}

void UpdateStage4ChubosuGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  const int32_t restFrame = p.variant * 4;
  if (p.state == 1) {
    SetUpPlainPart(parts, partIndex, 1, 120, 20);
    p.imageFrame = restFrame;
    SetPartHitCircle(parts, partIndex, 0, 40, -80, static_cast<int16_t>(p.variant == 0 ? -20 : 20));
    p.work0 = p.work1 = 0;
  }
  if (p.state == 2) FollowParentObject(pool, slot, parts, partIndex, 1);
  if (p.state >= 3) {
    EndMidBossPart(pool[slot], p);
    return;
  }
  if (p.state != 2) return;
  p.offsetX += p.work1;
  if (p.work0 == 1) {
    p.work1 = -2;
    if (p.offsetX <= -240) p.work0 = 2;
  } else if (p.work0 == 2) {
    p.work1 = 2;
    if (p.offsetX >= -100) p.work0 = 1;
  }
  if (p.cue > 0) {
    p.cue = static_cast<int16_t>(p.cue + 1);
    if (p.cue % 3 == 0 && p.imageFrame < restFrame + 3) p.imageFrame += 1;
    if (p.cue == 16) {
      SpawnEnemyShot(21, static_cast<int16_t>(p.variant == 0 ? 384 : 640), ScaleShotSpeed(2.4),
                     p.x - 105, p.y, 1);
    }
    if (p.cue > 24) p.cue = 0;
    p.work1 = 0;
  } else if (p.counter % 3 == 0 && p.imageFrame > restFrame) {
    p.imageFrame -= 1;
  }
}

// Aims inside its arc and fires three shots when cued; in the silent cycle it turns to face left.
void UpdateStage4ChubosuTurretPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                   int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& owner = pool[slot];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    SetUpPlainPart(parts, partIndex, 1, 32, 32);
    p.imageFrame = 0;
    SetPartHitCircle(parts, partIndex, 0, 11, 0, 0);
  }
  if (p.state == 2) FollowParentObject(pool, slot, parts, partIndex, 1);
  if (p.state >= 3) {
    EndMidBossPart(owner, p);
    return;
  }
  if (p.state != 2) return;
  const int16_t lo = p.variant == 0 ? 192 : 320;
  const int16_t hi = p.variant == 0 ? 704 : 832;
  const int16_t aim = ClampAngleToArc(static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY)),
                                      lo, hi, owner.angle);
  if (p.cue <= 0) {
    const int target = owner.intWork0 == 4 ? 512 : aim;
    p.angle = static_cast<int16_t>(TurnTowardAngleFlipTie(target, p.angle, 4));
    return;
  }
  if (p.cue == 12 || p.cue == 16 || p.cue == 20) {
    SpawnEnemyShot(1, p.angle, ScaleShotSpeed(4), RotateOffsetX(p.x, 22, 0, p.angle),
                   RotateOffsetY(p.y, 22, 0, p.angle), 1);
  }
  p.cue = static_cast<int16_t>(p.cue + 1);
  if (p.cue > 24) p.cue = 0;
}

void UpdateStage4ChubosuAnimPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  p.counter = (p.counter + 1) % 65535;
  if (p.state == 1) {
    SetUpPlainPart(parts, partIndex, 0, 20, 20);
    p.imageFrame = 0;
  }
  if (p.state == 2) FollowParentObject(pool, slot, parts, partIndex, 1);
  if (p.state >= 3) {
    EndMidBossPart(pool[slot], p);
    return;
  }
  if (p.state == 2 && p.counter % 3 == 0) p.imageFrame = (p.imageFrame + 1) % 4;
}

void UpdateStage4Dasher(int16_t slot) {
  EnemyObject& o = EnemyPool1[slot];
  // Nothing destroys or clears it.
  if (o.state > 2) o.state = 2;
  if (o.state == 1) {
    o.state = 2;
    o.life = -1;
    o.maxLife = o.scoreBase = 0;
    o.imageFrame = 0;
    o.vx = o.vy = o.speed = 0;
    o.hitMode = 1;
    ClearEnemyHitCircles(EnemyPool1, slot);
    SetEnemyHitCircle(EnemyPool1, slot, 0, 17, 0, 0);
    o.despawnMarginX = o.despawnMarginY = 640;
    o.cullMarginX = 80;
    o.cullMarginY = 32;
    o.x += 40;
    o.y += 20;
    // Live from the next call on: a copy spawned as its column leaves the view gets this one
    // call only, and must not clear the words of the dasher already dashing.
    return;
  }
  if (o.state != 2) return;
  // The spawn frame counts 1 and the set-up call 2: the first live call sees 3.
  if (o.frame <= 3) StageWork[0] = StageWork[1] = StageWork[2] = 0;
  if (StageWork[0] <= 0) return;
  if (o.frame % 3 == 0) {
    o.imageFrame += 1;
    if (o.imageFrame > 4) o.imageFrame = 1;
  }
  if (o.vx == 0) o.vx = 0.5;
  o.x += o.vx;
  o.vx = ApproachValue(o.vx, 0.016, 20);
  if (StageWork[1] > 0 && o.x >= StageWork[1]) {
    o.state = 0;
    StageWork[2] = 1;
    RequestSoundEffect(44);
  }
}

void UpdateStage4FireWall(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state == 1) {
    o.state = 2;
    o.life = o.maxLife = o.scoreBase = -1;
    o.imageFrame = 0;
    o.hitMode = 0;
    o.realWork0 = -240;
    o.realWork1 = 0.8;
    o.despawnMarginX = 660;
    o.despawnMarginY = 4288;
    o.cullMarginX = o.cullMarginY = 240;
    o.x = ScreenToWorldX(-240);
    o.y = ScreenToWorldY(kFireWallScreenY);
    o.blend = 511;
    if (ScreenFlashRedStep == 0) ScreenFlashRedStep = 4;
  }
  // It outlives the stage clear: the destroyed state the pool sets goes back to live.
  if (o.state != 1) o.state = 2;
  o.realWork0 += o.realWork1;
  if (o.realWork0 > -60) {
    o.realWork0 = -60;
    o.intWork0 = 1;
    o.realWork1 = -0.4;
  }
  if (o.intWork0 == 1 && o.realWork0 < -100) {
    o.realWork0 = -100;
    o.realWork1 = 0.4;
  }
  o.x = ScreenToWorldX(o.realWork0);
  o.y = ScreenToWorldY(kFireWallScreenY);
  double px = 0, py = 0;
  if (o.frame % 32 == 7 && FireWallPointOnScreen(o.x, o.y, &px, &py))
    SpawnLargeExplosion(px, py, 0, 50);
  if (o.frame % 16 == 6 && FireWallPointOnScreen(o.x, o.y, &px, &py))
    SpawnMediumExplosion(px, py, 0, 51);
  if (o.frame % 16 == 10 && FireWallPointOnScreen(o.x, o.y, &px, &py))
    SpawnSparkBurst(px, py, 0, 52);
}
