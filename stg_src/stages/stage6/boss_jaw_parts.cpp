#include <initializer_list>

#include "stg_src/field/angles.h"
#include "stg_src/field/effects/effects.h"
#include "stg_src/field/effects/explosions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/stages/stage6/boss_layout.h"
#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

// The boss's jaws and what they carry (red emitters, guns), the blue emitter under the core and
// the lights. Part words: cue the fire or close order (jaws: close; emitters: charge; guns: the
// burst's frame; lights: 1 fade in, 2 lit); work1 the jaw's closed flag and the blue volley's
// frame; work0 a light's flash; startX a gun's next shot speed.

using namespace stage6_boss;

namespace {

constexpr int16_t kJawCloseSound = 54;
constexpr double kClosedJawX = -211;
constexpr double kClosedJawY = 100;
constexpr int32_t kJawDriftFrames = 80;
constexpr int16_t kLongShot = 21;
constexpr int16_t kHeavyShot = 22;
constexpr int16_t kGunShot = 1;
constexpr double kLongShotSpeed = 2.4;
constexpr double kHeavyShotSpeed = 10.8;
constexpr double kBurstStart = 3.2;
constexpr double kBurstStep = 0.8;
constexpr double kBurstEnd = 1.6;
constexpr int16_t kDimBlend = 257;
constexpr int16_t kFullBlend = 511;

void TickCounter(EnemyPart& p) { p.counter = (p.counter + 1) % 65535; }

void SetUpInert(EnemyPart* parts, int16_t j) {
  EnemyPart& p = parts[j];
  p.state = 2;
  p.life = p.maxLife = p.scoreBase = -1;
  p.imageFrame = 0;
  ClearPartHitCircles(parts, j);
  p.hitMode = 0;
  p.cue = p.work0 = p.work1 = 0;
}

// An emitter's glow: dims toward 257 while idle; while charging brightens and, once full,
// reports that it may fire.
bool GlowEmitter(EnemyPart& p) {
  if (p.cue <= 0) {
    if (p.blend > kDimBlend) p.blend = static_cast<int16_t>(p.blend - 4);
    if (p.blend <= 256) p.blend = kDimBlend;
    return false;
  }
  p.blend = static_cast<int16_t>(p.blend + 4);
  if (p.blend <= 510) return false;
  p.blend = kFullBlend;
  return true;
}

bool IsJawClosed(const EnemyPart* parts, const EnemyPart& p) {
  return p.parentPart >= 0 && parts[p.parentPart].work1 == 1;
}

bool MildAt(int32_t counter, int16_t base, int16_t offset, int16_t rank) {
  return counter % ComputeFireIntervalMildRank(base, rank) ==
         ComputeFireIntervalMildRank(offset, rank);
}

}  // namespace

void UpdateStage6BossJawPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  const int16_t s = p.variant == 0 ? -1 : 1;
  TickCounter(p);
  if (p.state == 1) {
    p.state = 2;
    p.life = p.maxLife = p.scoreBase = -1;
    p.imageFrame = p.variant;
    ClearPartHitCircles(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 53, -297, static_cast<int16_t>(114 * s));
    SetPartHitCircle(parts, partIndex, 1, 68, -197, static_cast<int16_t>(141 * s));
    SetPartHitCircle(parts, partIndex, 2, 68, -62, static_cast<int16_t>(141 * s));
    SetPartHitCircle(parts, partIndex, 3, 58, 16, static_cast<int16_t>(132 * s));
    SetPartHitCircle(parts, partIndex, 4, 212, 133, static_cast<int16_t>(248 * s));
    SetPartHitCircle(parts, partIndex, 5, 333, 412, static_cast<int16_t>(230 * s));
    p.hitMode = 1;
    p.cue = p.work0 = p.work1 = 0;
    p.cullMarginX = 350;
    p.cullMarginY = 100;
    return;
  }
  if (p.state == 2) {
    if (FollowParentObject(pool, slot, parts, partIndex, 1) == 0 || p.state != 2) return;
    if (p.cue <= 0) p.counter = 0;
    if (p.cue > 0 && p.work1 == 0) {
      p.offsetX = ApproachValue(p.offsetX, 2, kClosedJawX);
      p.offsetY = ApproachValue(p.offsetY, 2, kClosedJawY * s);
      if (p.offsetX == kClosedJawX && p.offsetY == kClosedJawY * s) {
        p.work1 = 1;
        StartScreenShake(8);
        RequestSoundEffect(kJawCloseSound);
      }
    }
    return;
  }
  if (p.state == 3) {
    p.counter = 0;
    p.state = 4;
    return;
  }
  // Blown off: it drifts away from the body in blasts.
  struct Blast {
    int period, at;
    double dx, dy;
  };
  for (const Blast& b : {Blast{12, 0, 253, 22}, Blast{12, 4, 135, 102}, Blast{24, 8, 0, 86}}) {
    if (p.counter % b.period != b.at) continue;
    SpawnLargeExplosion(RotateOffsetX(p.x, b.dx, b.dy * s, p.angle),
                        RotateOffsetY(p.y, b.dx, b.dy * s, p.angle), 1, -1);
  }
  p.x += 1;
  p.y += (IsHardFight() ? 2 : 1) * s;
  if (p.counter > kJawDriftFrames) p.state = 0;
}

void UpdateStage6RedPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  TickCounter(p);
  if (p.state == 1) {
    SetUpInert(parts, partIndex);
    p.blend = kDimBlend;
    p.cullMarginX = 96;
    p.cullMarginY = 24;
    return;
  }
  if (p.state == 2) {
    if (!IsJawClosed(parts, p)) p.counter = 0;
    const bool odd = p.variant % 2 == 1;
    const int16_t rank = pool[slot].rank;
    if (p.counter > 80 && (MildAt(p.counter, 360, odd ? 230 : 200, rank) ||
                           MildAt(p.counter, 360, odd ? 350 : 320, rank))) {
      p.cue = 1;
    }
    FollowParentPart(parts, p.parentPart, parts, partIndex);
  }
  if (p.state != 2) {
    p.state = 0;
    return;
  }
  if (!GlowEmitter(p)) return;
  SpawnEnemyShot(kLongShot, p.variant < 2 ? 256 : 768, kLongShotSpeed, p.x, p.y, 1);
  p.cue = 0;
}

void UpdateStage6BluePart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  TickCounter(p);
  if (p.state == 1) {
    SetUpInert(parts, partIndex);
    p.blend = kDimBlend;
    p.cullMarginX = 128;
    p.cullMarginY = 96;
    return;
  }
  if (p.state == 2) {
    const EnemyPart& core = pool[slot].partsA[kCore];
    if (core.hitMode != 1 || core.state != 2) p.cue = p.work1 = 0;
    FollowParentObject(pool, slot, parts, partIndex, 1);
  }
  if (p.state != 2) {
    p.state = 0;
    return;
  }
  if (p.cue <= 0) p.work1 = 0;
  if (!GlowEmitter(p)) return;
  // Three heavy shots 12 frames apart; they leave even from beyond the screen's edge.
  if (p.work1 % 12 == 0) {
    SpawnEnemyShot(kHeavyShot, 512, ScaleShotSpeed(kHeavyShotSpeed), p.x, p.y, 0);
  }
  p.work1 = static_cast<int16_t>(p.work1 + 1);
  if (p.work1 > 24) p.cue = 0;
}

void UpdateStage6BossGunPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                             int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  TickCounter(p);
  if (p.state == 1) {
    SetUpInert(parts, partIndex);
    SetPartHitCircle(parts, partIndex, 0, 11, 0, 0);
    p.hitMode = 1;
    p.startX = kBurstStart;
    p.cullMarginX = p.cullMarginY = 20;
    return;
  }
  if (p.state == 2) FollowParentPart(parts, p.parentPart, parts, partIndex);
  if (p.state != 2) {
    SpawnEffect(1, p.x, p.y, static_cast<int16_t>(LcgRandom() % 1024), 0, 0);
    p.state = 0;
    return;
  }
  const EnemyObject& boss = pool[slot];
  const bool lower = p.variant >= 2;
  const bool odd = p.variant % 2 == 1;
  const auto aim = static_cast<int16_t>(AimAngle(p.x, p.y, PlayerX, PlayerY));
  const int16_t a =
      lower ? ClampAngleToArc(aim, 384, 0, boss.angle) : ClampAngleToArc(aim, 0, 640, boss.angle);
  if (!IsJawClosed(parts, p)) p.counter = 0;
  if (p.counter > 80) {
    const int16_t burst = ComputeFireIntervalMildRank(270, boss.rank);
    const bool opens = odd ? MildAt(p.counter, 270, 30, boss.rank) : p.counter % burst == 0;
    if (opens || MildAt(p.counter, 270, odd ? 120 : 90, boss.rank)) p.cue = 1;
  }
  if (p.cue < 1) {
    p.startX = kBurstStart;
    int angle = TurnTowardAngleFlipTie(a, p.angle, 4);
    // Out of the sector the jaw itself covers.
    if (lower) {
      if (angle > 256 && angle < 384) angle = 384;
      if (angle <= 256) angle = 0;
    } else {
      if (angle > 640 && angle < 768) angle = 640;
      if (angle >= 768) angle = 0;
    }
    p.angle = static_cast<int16_t>(angle);
    return;
  }
  if (p.cue % 4 == 0) {
    const double x = RotateOffsetX(p.x, 15, 0, p.angle);
    const double y = RotateOffsetY(p.y, 15, 0, p.angle);
    SpawnEnemyShot(kGunShot, p.angle, ScaleShotSpeed(p.startX), x, y, 1);
    p.startX -= kBurstStep;
  }
  p.cue = static_cast<int16_t>(p.cue + 1);
  if (p.startX < kBurstEnd) p.cue = 0;
}

void UpdateStage6BossAnimPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                              int16_t partIndex) {
  EnemyPart& p = parts[partIndex];
  TickCounter(p);
  if (p.state == 1) {
    SetUpInert(parts, partIndex);
    p.imageFrame = 4;
    p.baseAngle = p.angle;
    p.cullMarginX = p.cullMarginY = 32;
    p.blend = 0;
    return;
  }
  if (p.state == 2) FollowParentObject(pool, slot, parts, partIndex, 1);
  if (p.state > 2) {
    PlacePartOnObject(pool, slot, parts, partIndex, 0);
    SpawnLargeExplosion(p.x, p.y, 1, -1);
    p.state = 0;
    return;
  }
  if (p.state != 2) return;
  if (p.cue == 1) {
    p.imageFrame = p.variant;
    p.cue = 2;
  }
  if (p.cue != 2) return;
  p.blend = static_cast<int16_t>(p.blend + 2);
  if (p.blend >= 256) p.blend = 255;
  if (p.counter % 120 == p.variant * 30) p.work0 = 30;
  if (p.work0 > 0) {
    if (p.work0 % 6 == 0) p.imageFrame += 1;
    p.work0 = static_cast<int16_t>(p.work0 - 1);
    if (p.imageFrame > 3) p.imageFrame = 0;
  }
}
