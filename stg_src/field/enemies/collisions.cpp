// The enemy objects' collision step: player shots against parts and bodies, and the ship
// against bodies and parts. The enemy shots' step is in shot_collisions.cpp.
#include "stg_src/field/enemies/collisions.h"

#include <algorithm>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/damage.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/player_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kLive = 2;
constexpr int16_t kNoStop = 9999;
constexpr int16_t kBoxMargin = 1;
constexpr int kShipCircles = 3;
// The first three hit entries of a player shot meet solid box parts.
constexpr int kBoxProbes = 3;
// A cadence shot deals damage only after this many frames since its last hit.
constexpr int16_t kCadenceFrames = 4;

bool IsOdd(int16_t mode) { return mode % 2 != 0; }
bool IsShootable(int16_t mode) { return mode % 3 != 0; }
bool IsBoxMode(int16_t mode) { return mode == kSolidBoxHitMode || mode == kBoxHitMode; }

int UsedParts(int16_t count, int capacity) { return std::clamp<int>(count, 0, capacity); }

// Any of the ship's circles overlaps the circle at (x, y).
bool OverlapsShip(double x, double y, int16_t size) {
  for (int s = 0; s < kShipCircles; ++s) {
    if (CirclesOverlap(PlayerX + PlayerHitCircles.dx[s], PlayerY + PlayerHitCircles.dy[s], x, y,
                       PlayerHitCircles.size[s], size))
      return true;
  }
  return false;
}

// Any of the shot's hit entries in use, swept along its course, touches the circle.
bool ShotTouchesCircle(const PlayerShot& shot, double x, double y, int16_t size) {
  const int count = std::clamp<int>(shot.hitCount, 0, kPlayerShotHitEntries);
  const double sweep = PlayerShotSweepRadians(shot);
  for (int n = 0; n < count; ++n) {
    if (shot.hitSize[n] == 0) continue;
    if (BeamHitsCircle(shot.hitX[n], shot.hitY[n], x, y, shot.hitSize[n], size, shot.speed, sweep))
      return true;
  }
  return false;
}

bool ShotMeetsPart(int16_t s, EnemyPart* parts, int16_t j) {
  const PlayerShot& shot = PlayerShots[s];
  EnemyPart& p = parts[j];
  if (p.state != kLive) return false;
  if (p.hitMode == kSolidBoxHitMode) {
    for (int k = 0; k < kBoxProbes; ++k) {
      if (IsPointInSolidBoxPart(parts, j, shot.hitX[k], shot.hitY[k], kBoxMargin)) return true;
    }
    return false;
  }
  if (!IsShootable(p.hitMode) || p.imageFrame < 0) return false;
  const HitCircles& h = p.hitCircles;
  for (int k = 0; k < kHitCircleCount; ++k) {
    const double cx = PartCircleCentreX(p.facingSign, p.x, h.dx[k], h.dy[k], p.angle);
    const double cy =
        PartCircleCentreY(p.facingSign, p.y, h.dx[k], h.dy[k], p.angle) + p.drawOffsetY;
    if (p.life > 0) OfferHomingTarget(s, cx, cy);
    if (ShotTouchesCircle(shot, cx, cy, h.size[k])) return true;
  }
  return false;
}

bool ShotMeetsBody(int16_t s, const EnemyObject& o) {
  const PlayerShot& shot = PlayerShots[s];
  const HitCircles& h = o.hitCircles;
  for (int k = 0; k < kHitCircleCount; ++k) {
    if (h.size[k] == 0) continue;
    const double cx = CircleCentreX(o.facingSign, o.x, h.dx[k], h.dy[k], o.angle);
    const double cy = CircleCentreY(o.facingSign, o.y, h.dx[k], h.dy[k], o.angle) + o.drawOffsetY;
    if (o.life > 0) OfferHomingTarget(s, cx, cy);
    if (IsOffScreen(cx, cy, 4 * h.size[k], false)) continue;
    if (ShotTouchesCircle(shot, cx, cy, h.size[k])) return true;
  }
  return false;
}

// One hit of shot s on a target: stop, cadence, damage, pierce and spark. damage(n) deals n to
// the target and returns the overkill; life() reads its life afterwards.
template <typename DealDamage, typename ReadLife>
void ApplyHitRule(PlayerShot& shot, DealDamage damage, ReadLife life) {
  if (shot.stopsOnHit == 1) shot.state = 3;
  if (shot.hitCadence == 1 && shot.counterC < kCadenceFrames) return;
  const int32_t over = damage(shot.damage);
  if (over >= 1 && shot.pierce == 1) {
    shot.state = kLive;
    if (life() >= 0 && shot.hitCadence == 1) shot.sparkPending = 1;
  } else if (life() >= 0) {
    shot.sparkPending = 1;
  }
}

// Player shots meet parts in one array; false once the shot has stopped.
bool HitParts(int16_t s, EnemyPart* parts, int count) {
  PlayerShot& shot = PlayerShots[s];
  for (int16_t j = 0; j < count; ++j) {
    if (!ShotMeetsPart(s, parts, j)) continue;
    ApplyHitRule(
        shot, [&](int32_t n) { return DamagePart(parts, j, n); }, [&] { return parts[j].life; });
    if (shot.state != kLive) return false;
  }
  return true;
}

// The ship rams part j: 50 points to the part; the ship dies unless a raised shield saw the
// part destroyed.
void RamPart(EnemyPart* parts, int16_t j) {
  if (!PartTouchesPlayer(parts, j, ShieldLevel % 8 != 0)) return;
  const int32_t over = DamagePart(parts, j, kRammingDamage);
  if (over < 1 || ShieldLevel == 0) KillPlayer(0);
  SpendShield();
}

void CollideParts(const EnemyObject& o, EnemyPart* parts, int count) {
  for (int16_t j = 0; j < count; ++j) {
    EnemyPart& p = parts[j];
    // A stop that no segment renewed last frame is over.
    if (p.beamStopped == 0) p.stopFrame = kNoStop;
    p.beamStopped = 0;
    if (IsOffScreenXY(p.x, p.y, o.despawnMarginX, o.despawnMarginY, false, false)) continue;
    RamPart(parts, j);
  }
}

}  // namespace

void CollideEnemyObject(EnemyObject* pool, int16_t index) {
  EnemyObject& o = pool[index];
  if (IsOffScreenXY(o.x, o.y, o.despawnMarginX, o.despawnMarginY, false, false)) return;
  if (o.state != kLive) return;
  for (int16_t s = 0; s < kPlayerShotSlots; ++s) {
    if (PlayerShots[s].state == kLive) HitEnemyWithPlayerShot(pool, s, index);
  }
  // Tested once: parts still take their ramming damage after the body killed the ship.
  if (DeathTimer != 0) return;
  if (ShieldLevel % 8 == 0 && EnemyObjectTouchesPlayer(pool, index)) {
    const int32_t over = DamageEnemyObject(pool, index, kRammingDamage);
    if (over <= 0 || ShieldLevel == 0) KillPlayer(0);
    SpendShield();
  }
  CollideParts(o, o.partsA, UsedParts(o.partCountA, kPartsACount));
  CollideParts(o, o.partsB, UsedParts(o.partCountB, kPartsBCount));
}

bool EnemyObjectTouchesPlayer(const EnemyObject* pool, int16_t index) {
  const EnemyObject& o = pool[index];
  if (o.state != kLive || !IsOdd(o.hitMode) || o.imageFrame < 0) return false;
  const HitCircles& h = o.hitCircles;
  for (int k = 0; k < kHitCircleCount; ++k) {
    if (h.size[k] == 0) continue;
    const double cx = CircleCentreX(o.facingSign, o.x, h.dx[k], h.dy[k], o.angle);
    const double cy = CircleCentreY(o.facingSign, o.y, h.dx[k], h.dy[k], o.angle) + o.drawOffsetY;
    if (IsOffScreen(cx, cy, h.size[k], false)) continue;
    if (OverlapsShip(cx, cy, h.size[k])) return true;
  }
  return false;
}

bool PartTouchesPlayer(EnemyPart* parts, int16_t j, bool invulnerable) {
  const EnemyPart& p = parts[j];
  if (p.state == kLive && IsBoxMode(p.hitMode)) {
    // The ship's circle sizes serve as x offsets of the probes; the shield is not asked.
    for (int s = 0; s < kShipCircles; ++s) {
      const int16_t mode =
          IsPointInPartBox(parts, j, PlayerX + PlayerHitCircles.size[s], PlayerY, kBoxMargin);
      if (mode == kSolidBoxHitMode) return true;
      if (mode == kBoxHitMode && PlayerPushedDown == 0) {
        PlayerPushedDown = 1;
        return false;
      }
    }
    return false;
  }
  if (p.state != kLive || !IsOdd(p.hitMode) || p.imageFrame < 0 || invulnerable) return false;
  const HitCircles& h = p.hitCircles;
  for (int k = 0; k < kHitCircleCount; ++k) {
    if (h.size[k] <= 0) continue;
    const double cx = PartCircleCentreX(p.facingSign, p.x, h.dx[k], h.dy[k], p.angle);
    const double cy =
        PartCircleCentreY(p.facingSign, p.y, h.dx[k], h.dy[k], p.angle) + p.drawOffsetY;
    if (IsOffScreen(cx, cy, h.size[k], false)) continue;
    if (OverlapsShip(cx, cy, h.size[k])) return true;
  }
  return false;
}

void HitEnemyWithPlayerShot(EnemyObject* pool, int16_t s, int16_t index) {
  PlayerShot& shot = PlayerShots[s];
  EnemyObject& o = pool[index];
  if (shot.frame <= 0 || shot.damage <= 0 || o.state != kLive) return;
  if (!HitParts(s, o.partsA, UsedParts(o.partCountA, kPartsACount))) return;
  if (!HitParts(s, o.partsB, UsedParts(o.partCountB, kPartsBCount))) return;
  if (!IsShootable(o.hitMode) || !ShotMeetsBody(s, o)) return;
  ApplyHitRule(
      shot, [&](int32_t n) { return DamageEnemyObject(pool, index, n); }, [&] { return o.life; });
}

void OfferHomingTarget(int16_t s, double x, double y) {
  PlayerShot& shot = PlayerShots[s];
  const double sx = shot.x, sy = shot.y;
  const bool nearer =
      SquaredDistance(x, y, sx, sy) < SquaredDistance(shot.targetX, shot.targetY, sx, sy);
  bool passes;
  switch (shot.searchMode) {
    case 1:
    case 2:
      passes = true;
      break;
    case 3:
    case 4:
      passes = sy >= y && sx < x;
      break;
    case 5:
    case 6:
      passes = sy <= y && sx < x;
      break;
    case 7:
    case 8:
      passes = sy >= y && sx > x;
      break;
    case 9:
    case 10:
      passes = sy <= y && sx > x;
      break;
    default:
      return;
  }
  const bool first = shot.searchMode % 2 != 0;
  if (!passes || (!first && !nearer)) return;
  shot.targetX = x;
  shot.targetY = y;
  if (first) shot.searchMode += 1;
}
