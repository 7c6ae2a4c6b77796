// The enemy shots' collision step: the ship, the charge and shield shots, solid enemies, and the
// beam stop a vanishing shot tied to a part records.
#include <algorithm>

#include "stg_src/field/enemies/collisions.h"
#include "stg_src/field/enemies/damage.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/map_spawner.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/shots/player_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int32_t kLive = 2;
constexpr int kShipCircles = 3;
constexpr int16_t kBoxMargin = 1;
// Solid objects do not stop shots on stage 2 while it scrolls over its whole height.
constexpr int16_t kOpenStage = 2;

bool CanHit(const EnemyShot& s) { return s.frame > 0 && s.hitActive == 1; }

// Any of the shot's four circles, swept along its course, touches the circle at (x, y).
bool ShotTouches(const EnemyShot& s, double x, double y, int16_t size) {
  const double sweep = EnemyShotSweepRadians(s);
  for (int n = 0; n < kEnemyShotHitPoints; ++n) {
    if (BeamHitsCircle(s.hitX[n], s.hitY[n], x, y, s.hitSize[n], size, s.speed, sweep)) return true;
  }
  return false;
}

bool MeetsSolidParts(const EnemyShot& s, const EnemyPart* parts, int count) {
  for (int j = 0; j < count; ++j) {
    for (int n = 0; n < kEnemyShotHitPoints; ++n) {
      if (IsPointInSolidBoxPart(parts, j, s.hitX[n], s.hitY[n], kBoxMargin)) return true;
    }
  }
  return false;
}

}  // namespace

void CollideEnemyShot(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (s.collides == 0) return;
  // Shield levels 1..7 leave the ship untouchable by shots.
  if (DeathTimer == 0 && ShieldLevel % 8 == 0 && s.state == kLive && EnemyShotHitsPlayer(slot)) {
    s.state = 3;
    if (ShieldLevel == 0) KillPlayer(0);
    SpendShield();
  }
  if (s.state == kLive) {
    for (int16_t p = kFirstChargeShotSlot; p < kPlayerShotSlots; ++p) {
      if (PlayerShots[p].state == kLive && EnemyShotHitsPlayerShot(slot, p)) {
        s.state = 3;
        break;
      }
    }
  }
  if (s.state == kLive) CollideShotWithSolidEnemies(slot);
  if (s.state == 3) {
    EnemyPart* part = LinkedPart(s);
    if (part != nullptr && part->stopFrame > s.frame) {
      part->stopFrame = static_cast<int16_t>(s.frame);
      part->beamStopped = 1;
    }
  }
}

bool EnemyShotHitsPlayer(int16_t slot) {
  const EnemyShot& s = EnemyShots[slot];
  if (!CanHit(s)) return false;
  for (int k = 0; k < kShipCircles; ++k) {
    if (ShotTouches(s, PlayerX + PlayerHitCircles.dx[k], PlayerY + PlayerHitCircles.dy[k],
                    PlayerHitCircles.size[k]))
      return true;
  }
  return false;
}

bool EnemyShotHitsPlayerShot(int16_t slot, int16_t playerShot) {
  const EnemyShot& s = EnemyShots[slot];
  if (!CanHit(s)) return false;
  const PlayerShot& p = PlayerShots[playerShot];
  const int count = std::clamp<int>(p.hitCount, 0, kPlayerShotHitEntries);
  for (int k = 0; k < count; ++k) {
    if (ShotTouches(s, p.hitX[k], p.hitY[k], p.hitSize[k])) return true;
  }
  return false;
}

void CollideShotWithSolidEnemies(int16_t slot) {
  EnemyShot& s = EnemyShots[slot];
  if (SolidEnemyTimer + SolidPartTimer <= 0) return;
  for (const EnemyObject& o : EnemyPool1) {
    if (o.solid == 0 || o.state != kLive) continue;
    if (CurrentStage == kOpenStage && VerticalFreeMode == 1) continue;
    if (!CanHit(s)) continue;
    // The object counts as one circle of its first size at its position.
    if ((o.hitMode == 1 || o.hitMode == 2) && ShotTouches(s, o.x, o.y, o.hitCircles.size[0])) {
      s.state = 3;
      return;
    }
    if (SolidPartTimer == 0 || s.passesTerrain == 1) continue;
    if (MeetsSolidParts(s, o.partsA, std::clamp<int>(o.partCountA, 0, kPartsACount)) ||
        MeetsSolidParts(s, o.partsB, std::clamp<int>(o.partCountB, 0, kPartsBCount))) {
      s.state = 3;
      return;
    }
  }
}
