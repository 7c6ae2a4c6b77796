#include <algorithm>
#include <cstdlib>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/stages/stage2/stage2.h"
#include "stg_src/stages/stage2/stage2_boss.h"

#include "stg_src/game/deterministic.h"

// The boss's parts. They read the body's phase and move it on: a forearm starts the ram, the
// inner upper fin may set phase 2, the lower side gun ends the guns' fold and the upper arm the
// arms' fold. cue is the trigger the body writes (fire, or the core's time-out count).

namespace {

struct Circle {
  int16_t size, dx, dy;
};

void Count(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

void SetCircles(EnemyPart* parts, int j, const Circle* circles, int n) {
  for (int k = 0; k < n; ++k) {
    SetPartHitCircle(parts, j, k, circles[k].size, circles[k].dx, circles[k].dy);
  }
}

// The life-less set-up every part but the core shares.
void SetUpHarmless(EnemyPart* parts, int j, int16_t hitMode, int32_t cull) {
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = p.maxLife = p.scoreBase = -1;
  ClearPartHitCircles(parts, j);
  p.hitMode = hitMode;
  p.cue = p.work0 = p.work1 = 0;
  p.cullMarginX = p.cullMarginY = cull;
}

// A part that the boss's death reached bursts and hands the death back to the body.
void BurstWithBoss(EnemyObject& boss, EnemyPart& p) {
  p.state = 0;
  SpawnLargeExplosion(p.x, p.y, 1, -1);
  boss.state = 3;
}

double Approach(double value, double step, double target) {
  return ApproachValue(value, step, target);
}

// A shot from the point (dx, dy) turned by the part's angle about the part.
void FireFromPart(const EnemyPart& p, int16_t type, int angle, double speed, double dx, double dy) {
  SpawnEnemyShot(type, static_cast<int16_t>(WrapAngle(angle)), ScaleShotSpeed(speed),
                 RotateOffsetX(p.x, dx, dy, p.angle), RotateOffsetY(p.y, dx, dy, p.angle), 1);
}

constexpr Circle kArmCircles[4][4] = {
    {{5, 7, 26}, {10, 24, 22}, {12, 53, 20}, {14, 85, 19}},
    {{7, -34, 26}, {13, -3, 18}, {16, 25, 16}, {17, 59, 16}},
    {{7, -34, -26}, {13, -3, -18}, {16, 25, -16}, {17, 59, -16}},
    {{5, 7, -26}, {10, 24, -22}, {12, 53, -20}, {14, 85, -19}},
};
constexpr int16_t kBlade = 4;
constexpr int16_t kBladeDim = 257;
constexpr int16_t kBladeBright = 480;
constexpr double kForearmReach = -117;
constexpr double kUpperArmFolded = -108;

bool IsForearm(int16_t v) { return v == 0 || v == 3; }

void MoveArm(EnemyObject& boss, EnemyPart& p) {
  const int16_t v = p.variant;
  if (boss.phase > 0) {
    if (v == 1 || v == 2) {
      p.offsetX = Approach(p.offsetX, 4, -100);
      p.offsetY = Approach(p.offsetY, 4, v == 1 ? -32 : 32);
    } else if (IsForearm(v)) {
      p.offsetX = Approach(p.offsetX, 8, kForearmReach);
      p.offsetY = Approach(p.offsetY, 2, 0);
      if (p.offsetX == kForearmReach) boss.phase = kStage2BossRam;
    } else if (boss.phase == kStage2BossRam && p.blend < kBladeBright) {
      p.blend = static_cast<int16_t>(std::min<int>(p.blend + 2, kBladeBright));
    }
  } else if (boss.phase <= kStage2BossArmsFold) {
    if (v == 1 || v == 2) {
      p.offsetX = Approach(p.offsetX, 4, -60);
      p.offsetY = Approach(p.offsetY, 4, v == 1 ? kUpperArmFolded : -kUpperArmFolded);
      // The entry keeps its own braking: only the fold and the hover hand over to the hover.
      if (v == 1 && p.offsetY == kUpperArmFolded && boss.phase != kStage2BossEntry) {
        boss.phase = kStage2BossHover;
      }
    } else if (IsForearm(v)) {
      p.offsetX = Approach(p.offsetX, 8, 1);
      p.offsetY = Approach(p.offsetY, 2, v == 0 ? -25 : 25);
    }
  }
  if (v == kBlade && boss.phase < 0 && p.blend > kBladeDim) {
    p.blend = static_cast<int16_t>(std::max<int>(p.blend - 4, kBladeDim));
  }
}

}  // namespace

// The core (part type 20): closed and unhurt until it opens after the entry; its cue counts the
// time-out from the body's cue.
void UpdateStage2BossCorePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  Count(p);
  if (p.state == 1) {
    p.unlockWeight = 2;
    SetUpHarmless(parts, partIndex, 1, 32);
    p.imageFrame = 5;
    SetPartHitCircle(parts, partIndex, 0, 32, 0, 0);
  } else if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    p.angle = boss.angle;
    if (p.cue <= 0) {
      const bool arrived = boss.phase != kStage2BossEntry && boss.phase != kStage2BossSpawned;
      if (arrived && p.counter > 96 && p.counter % 4 == 0 && p.imageFrame > 0) {
        p.imageFrame -= 1;
        if (p.imageFrame == 0) p.life = p.maxLife = p.scoreBase = ScaleLifeByRank(kStage2CoreLife);
      }
    } else {
      if (p.counter % 4 == 0 && p.imageFrame < 5) p.imageFrame += 1;
      if (p.imageFrame == 5) p.life = -1;
      p.cue = static_cast<int16_t>(p.cue + 1);
      if (p.cue > kStage2CoreTimeOut) p.state = 3;
    }
  }
  if (p.state == 3) {
    p.state = 4;
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    boss.state = 3;
    return;
  }
  if (p.state != 0) {
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    p.state = boss.state;
  }
}

// Arms (variants 1 and 2), forearms (0 and 3) and the blade (4), part type 21.
void UpdateStage2BossArmPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  Count(p);
  const int16_t v = p.variant;
  if (p.state == 1) {
    SetUpHarmless(parts, partIndex, v == kBlade ? 0 : 1, 128);
    if (v >= 0 && v < kBlade) SetCircles(parts, partIndex, kArmCircles[v], 4);
    p.imageFrame = v;
    p.baseAngle = p.angle;
    if (v == kBlade) p.blend = kBladeDim;
    return;
  }
  if (p.state == 2) {
    if (IsForearm(v)) {
      FollowParentPart(parts, p.parentPart, parts, partIndex);
    } else if (boss.phase > kStage2BossHover) {
      FollowParentObject(pool, slot, parts, partIndex, 1);
    } else {
      EasePartToObject(pool, slot, parts, partIndex, 4, 0);
    }
    p.angle = static_cast<int16_t>(WrapAngle(boss.angle + p.baseAngle));
  }
  if (p.state == 2) {
    MoveArm(boss, p);
    if (p.cue == 1) {
      p.cue = 0;
      const int sign = p.imageFrame == 1 ? 1 : p.imageFrame == 2 ? -1 : 0;
      if (sign != 0) {
        FireFromPart(p, 3, p.angle + 512, 2.2, -34, 12 * sign);
        FireFromPart(p, 4, p.angle + 512, 3.2, -88, 27 * sign);
      }
    }
  } else if (p.state == 3) {
    BurstWithBoss(boss, p);
  }
}

// Fins (part type 22): variants 0 and 3 outer, 1 and 2 inner.
void UpdateStage2BossFinPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  Count(p);
  const int16_t v = p.variant;
  const bool inner = v == 1 || v == 2;
  if (p.state == 1) {
    SetUpHarmless(parts, partIndex, 1, 48);
    SetPartHitCircle(parts, partIndex, 0, 6, -26, 0);
    SetPartHitCircle(parts, partIndex, 1, 16, 0, 0);
    return;
  }
  if (p.state == 2) {
    p.imageFrame = v;
    if (boss.phase > kStage2BossHover) {
      FollowParentObject(pool, slot, parts, partIndex, 1);
    } else {
      EasePartToObject(pool, slot, parts, partIndex, inner ? 2 : 4, 0);
    }
    p.angle = boss.angle;
  }
  if (p.state == 2) {
    if (boss.phase == kStage2BossStop) {
      p.offsetY = Approach(p.offsetY, inner ? 2 : 4, 0);
      if (v == 1 && p.offsetY == 0) boss.phase = kStage2BossFinsFolded;
    } else if (boss.phase <= kStage2BossArmsFold) {
      constexpr double kOpen[4] = {-64, -39, 39, 64};
      if (v >= 0 && v < 4) p.offsetY = Approach(p.offsetY, inner ? 2 : 4, kOpen[v]);
    }
    if (p.cue == 1) {
      p.cue = 0;
      FireFromPart(p, 3, p.angle + 512, 2.2, inner ? -48 : -45, 0);
    }
  } else if (p.state == 3) {
    BurstWithBoss(boss, p);
  }
}

// Side pieces (part type 23): variants 0 and 2 the guns, 1 and 3 the rear pieces. Each frame's
// two approaches of offset x run one after the other.
void UpdateStage2BossSideGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  Count(p);
  const int16_t v = p.variant;
  if (p.state == 1) {
    constexpr Circle kCircles[4][3] = {
        {{25, 26, -19}, {19, 67, -11}, {0, 0, 0}},
        {{17, -33, 0}, {14, 0, 2}, {13, 27, 3}},
        {{25, 26, 19}, {19, 67, 11}, {0, 0, 0}},
        {{17, -33, 0}, {14, 0, -2}, {13, 27, -3}},
    };
    SetUpHarmless(parts, partIndex, 1, 112);
    p.imageFrame = 0;
    if (v >= 0 && v < 4) SetCircles(parts, partIndex, kCircles[v], v % 2 == 0 ? 2 : 3);
    p.baseAngle = p.angle;
    return;
  }
  if (p.state == 2) {
    p.imageFrame = v;
    FollowParentObject(pool, slot, parts, partIndex, 1);
    p.angle = static_cast<int16_t>(WrapAngle(boss.angle + p.baseAngle));
  }
  if (p.state == 3) {
    BurstWithBoss(boss, p);
    return;
  }
  if (p.state != 2) return;
  const bool gun = v == 0 || v == 2;
  const double across = v == 0 || v == 1 ? -1 : 1;
  if (boss.phase > 0) {
    p.offsetX = Approach(p.offsetX, 4, 40);
    p.offsetX = Approach(p.offsetX, 4, gun ? 30 : 68);
    p.offsetY = Approach(p.offsetY, 4, across * (gun ? 6 : 16));
    if (v == 0) p.baseAngle = static_cast<int16_t>(StepAngleToward(704, p.baseAngle, -16));
    if (v == 2) p.baseAngle = static_cast<int16_t>(StepAngleToward(320, p.baseAngle, 16));
    if (gun && boss.phase == kStage2BossRam && std::abs(boss.vx) >= 12 &&
        p.counter % ComputeFireInterval(8, boss.rank) == 0) {
      FireFromPart(p, 17, p.angle + (v == 0 ? 256 : -256), 3.2, 37, 0);
    }
  } else if (boss.phase < 0) {
    p.offsetX = Approach(p.offsetX, 2, -32);
    p.offsetX = Approach(p.offsetX, 4, gun ? 30 : 134);
    p.offsetY = Approach(p.offsetY, 4, across * (gun ? 32 : 35));
    if (v == 0) p.baseAngle = static_cast<int16_t>(StepAngleToward(0, p.baseAngle, 12));
    if (v == 2) {
      if (p.offsetY == 32 && p.baseAngle == 0 && boss.phase >= kStage2BossSideGunsFold) {
        boss.phase = kStage2BossArmsFold;
      }
      p.baseAngle = static_cast<int16_t>(StepAngleToward(0, p.baseAngle, -12));
    }
  }
}

// The nose gun (part type 24): the fan when a hover step starts.
void UpdateStage2BossTailGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                 int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  EnemyObject& boss = pool[slot];
  Count(p);
  if (p.state == 1) {
    SetUpHarmless(parts, partIndex, 0, 16);
    p.imageFrame = 0;
    return;
  }
  if (p.state == 2) {
    FollowParentObject(pool, slot, parts, partIndex, 1);
    p.angle = static_cast<int16_t>(WrapAngle(boss.angle + 512));
  }
  if (p.state == 2 && p.cue == 1) {
    p.cue = 0;
    if (IsHarderThanEasy()) {
      struct FanShot {
        int turn;
        double speed;
      };
      constexpr FanShot kFan[] = {{-64, 2.8}, {0, 2.8}, {64, 2.8}, {-32, 2.4}, {32, 2.4}};
      for (const FanShot& f : kFan) FireFromPart(p, 0, p.angle + f.turn, f.speed, 18, 0);
      p.recoil = 8;
    }
  } else if (p.state >= 3) {
    BurstWithBoss(boss, p);
  }
}
