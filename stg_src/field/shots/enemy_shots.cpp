#include "stg_src/field/shots/enemy_shots.h"

#include <cstring>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/collisions.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/terrain/terrain.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

EnemyShot EnemyShots[kEnemyShotSlots];

namespace {

constexpr int kFrameWrap = 65535;
constexpr int16_t kSpawnMargin = 60;
// Type 22 ages at half the rate, so it outlives its first 16 frames off screen.
constexpr int kSlowAgeingType = 22;
constexpr int16_t kMuzzleFrames = 3;

struct PoolRef {
  EnemyObject* objects;
  int count;
};

const PoolRef kPools[4] = {
    {EnemyPool0, kEnemyPool0Size},
    {EnemyPool1, kEnemyPool1Size},
    {EnemyPool2, kEnemyPool2Size},
    {EnemyPool3, kEnemyPool3Size},
};

bool IsInsideScreen(double x, double y) {
  return x > ScreenToWorldX(0) && x < ScreenToWorldX(kViewWidth) && y > ScreenToWorldY(0) &&
         y < ScreenToWorldY(kViewHeight);
}

void FillSpawnedShot(EnemyShot& s, int16_t type, int16_t angle, double speed, double x, double y) {
  s.state = 1;
  s.type = type;
  s.frame = 0;
  s.motionAngle = s.drawAngle = s.spawnAngle = angle;
  s.x = s.spawnX = x;
  s.y = s.spawnY = y;
  s.speed = speed;
  s.anim = 4;
  s.linkMode = 0;
  s.workWord = 0;
  for (double& w : s.workReal) w = 0;
  s.linkOffset1 = 0;
  s.linkOffset2 = 0;
  s.linkObject = -1;
  s.linkPart = -1;
  s.hitActive = 1;
  s.passesTerrain = 0;
  s.beamEndX = kNoBeamEnd;
  s.beamEndY = kNoBeamEnd;
  s.beamImage = -1;
  s.beamHalfWidth = -1;
  s.age = 0;
  s.scale = 100;
  s.alpha = 255;
  for (int k = 0; k < kEnemyShotHitPoints; ++k) {
    s.hitSize[k] = -1;
    s.hitX[k] = s.hitY[k] = s.hitDx[k] = s.hitDy[k] = 0;
  }
  s.removalMargin = kSpawnMargin;
  s.drawMargin = kSpawnMargin;
  s.collides = 1;
  s.upright = 0;
}

int16_t Spawn(int16_t slot, int16_t type, int16_t angle, double speed, double x, double y,
              uint8_t onScreenOnly) {
  if (type < 0 || type >= kEnemyShotTypes) return -1;
  if (onScreenOnly == 1 && !IsInsideScreen(x, y)) return -1;
  if (slot < 0) return -1;
  FillSpawnedShot(EnemyShots[slot], type, static_cast<int16_t>(WrapAngle(angle)), speed, x, y);
  NoteEnemyShotSpawnForTest(slot, type);
  return slot;
}

int16_t PoolIndex(const EnemyObject* pool) {
  for (int16_t p = 0; p < 4; ++p) {
    if (kPools[p].objects == pool) return p;
  }
  return -1;
}

}  // namespace

int16_t FindFreeShotSlot() {
  for (int i = 0; i < kEnemyShotSlots; ++i) {
    if (EnemyShots[i].state == 0) return static_cast<int16_t>(i);
  }
  return -1;
}

int16_t FindFreeShotSlotHigh() {
  for (int i = kEnemyShotSlots - 1; i >= 0; --i) {
    if (EnemyShots[i].state == 0) return static_cast<int16_t>(i);
  }
  return -1;
}

int16_t SpawnEnemyShot(int16_t type, int16_t angle, double speed, double x, double y,
                       uint8_t onScreenOnly) {
  return Spawn(FindFreeShotSlot(), type, angle, speed, x, y, onScreenOnly);
}

int16_t SpawnEnemyShotHigh(int16_t type, int16_t angle, double speed, double x, double y,
                           uint8_t onScreenOnly) {
  return Spawn(FindFreeShotSlotHigh(), type, angle, speed, x, y, onScreenOnly);
}

void LinkEnemyShot(int16_t slot, int16_t objectIndex, int16_t partIndex, double offset1,
                   double offset2, const EnemyObject* ownerPool, const EnemyPart* ownerParts,
                   int16_t mode) {
  if (slot < 0 || slot >= kEnemyShotSlots) return;
  EnemyShot& s = EnemyShots[slot];
  s.linkOffset1 = offset1;
  s.linkOffset2 = offset2;
  s.linkObject = objectIndex;
  s.linkPart = partIndex;
  s.linkMode = mode;
  s.ownerPool = PoolIndex(ownerPool);
  s.ownerPartArray = -1;
  if (s.ownerPool < 0 || objectIndex < 0 || objectIndex >= kPools[s.ownerPool].count) return;
  const EnemyObject& owner = kPools[s.ownerPool].objects[objectIndex];
  if (ownerParts == owner.partsA) s.ownerPartArray = kShotPartsA;
  if (ownerParts == owner.partsB) s.ownerPartArray = kShotPartsB;
}

EnemyPart* LinkedPart(const EnemyShot& s) {
  if (s.linkPart < 0 || s.ownerPool < 0 || s.ownerPool > 3) return nullptr;
  const PoolRef& pool = kPools[s.ownerPool];
  if (s.linkObject < 0 || s.linkObject >= pool.count) return nullptr;
  EnemyObject& owner = pool.objects[s.linkObject];
  if (s.ownerPartArray == kShotPartsA && s.linkPart < kPartsACount)
    return &owner.partsA[s.linkPart];
  if (s.ownerPartArray == kShotPartsB && s.linkPart < kPartsBCount)
    return &owner.partsB[s.linkPart];
  return nullptr;
}

void MoveEnemyShotStraight(int16_t slot, int16_t hitRadius, int16_t sound, uint8_t upright) {
  EnemyShot& s = EnemyShots[slot];
  if (s.state == 1) {
    s.state = 2;
    s.hitSize[0] = hitRadius;
    s.rotated = 1;
    s.additive = 0;
    s.motionAngle = s.drawAngle;
    s.upright = upright == 1 ? 1 : 0;
    if (s.upright == 1) s.drawAngle = 0;
    SetShotVelocity(s, s.motionAngle, s.speed);
    if (IsShotFarOffScreen(s)) {
      s.state = 0;
      return;
    }
    if (sound >= 0) RequestSoundEffect(sound);
  }
  if (s.state == 2) {
    const double nx = s.x + s.vx + ScrollDeltaX, ny = s.y + s.vy + ScrollDeltaY;
    if (s.passesTerrain != 1 && TestTerrainHit(nx, ny, s.x, s.y, 1) >= 0) s.state = 3;
    s.x = nx;
    s.y = ny;
    CycleShotFlightAnim(s);
  } else if (s.state == 3) {
    PlayShotVanishFrames(s);
  }
}

double EnemyShotSweepRadians(const EnemyShot& s) {
  return AngleToRadians(s.upright == 1 ? s.motionAngle : s.drawAngle);
}

void UpdateEnemyShots() {
  for (int16_t slot = 0; slot < kEnemyShotSlots; ++slot) {
    EnemyShot& s = EnemyShots[slot];
    if (s.state <= 0) continue;
    s.frame = (s.frame + 1) % kFrameWrap;
    if (s.frame % (s.type == kSlowAgeingType ? 4 : 2) == 0) s.age += 1;
    // A type past the table has no behaviour: it would hold the slot for ever.
    if (s.type < 0 || s.type >= kEnemyShotTypes) {
      s.state = 0;
      NoteEnemyShotPassForTest(slot, false);
      continue;
    }
    EnemyShotHandlers[s.type](slot);
    for (int k = 0; k < kEnemyShotHitPoints; ++k) {
      s.hitX[k] = RotateOffsetX(s.x, s.hitDx[k], s.hitDy[k], s.drawAngle);
      s.hitY[k] = RotateOffsetY(s.y, s.hitDx[k], s.hitDy[k], s.drawAngle);
    }
    if (s.age > kMuzzleFrames && IsOffScreen(s.x, s.y, s.removalMargin, false)) s.state = 0;
    if (CancelEnemyShots == 1 && s.state == 2 && s.hitActive == 1) s.state = 3;
    CollideEnemyShot(slot);
    NoteEnemyShotPassForTest(slot, s.state != 0);
  }
}

void ResetEnemyShots() { std::memset(EnemyShots, 0, sizeof(EnemyShots)); }

void DigestEnemyShots(StateDigest& d, DigestScope) {
  for (const EnemyShot& s : EnemyShots) {
    DigestValue(d, s.state);
    DigestValue(d, s.type);
    DigestValue(d, s.frame);
    DigestValue(d, s.motionAngle);
    DigestValue(d, s.drawAngle);
    DigestValue(d, s.x);
    DigestValue(d, s.y);
    DigestValue(d, s.speed);
    DigestValue(d, s.vx);
    DigestValue(d, s.vy);
    DigestArray(d, s.hitSize);
    DigestArray(d, s.hitX);
    DigestArray(d, s.hitY);
    DigestArray(d, s.hitDx);
    DigestArray(d, s.hitDy);
    DigestValue(d, s.hitActive);
    DigestValue(d, s.passesTerrain);
    DigestValue(d, s.anim);
    DigestValue(d, s.linkMode);
    DigestValue(d, s.workWord);
    DigestArray(d, s.workReal);
    DigestValue(d, s.linkOffset1);
    DigestValue(d, s.linkOffset2);
    DigestValue(d, s.linkObject);
    DigestValue(d, s.linkPart);
    DigestValue(d, s.ownerPool);
    DigestValue(d, s.ownerPartArray);
    DigestValue(d, s.additive);
    DigestValue(d, s.rotated);
    DigestValue(d, s.alpha);
    DigestValue(d, s.scale);
    DigestValue(d, s.beamEndX);
    DigestValue(d, s.beamEndY);
    DigestValue(d, s.beamImage);
    DigestValue(d, s.beamHalfWidth);
    DigestValue(d, s.spawnX);
    DigestValue(d, s.spawnY);
    DigestValue(d, s.spawnAngle);
    DigestValue(d, s.age);
    DigestValue(d, s.removalMargin);
    DigestValue(d, s.drawMargin);
    DigestValue(d, s.collides);
    DigestValue(d, s.upright);
  }
}

void RideScrollAndFade(EnemyShot& shot, int framesPerCell, int lastHurtingCell, int lastCell) {
  shot.x += ScrollDeltaX;
  shot.y += ScrollDeltaY;
  if (shot.frame % framesPerCell == 0) shot.anim += 1;
  if (shot.anim > lastHurtingCell) shot.hitActive = 0;
  if (shot.anim > lastCell) shot.state = 0;
}

void BreakUpAgainstTerrain(EnemyShot& shot) {
  if (shot.state == 3) shot.state = 4;
  if (shot.state != 4) return;
  shot.x += shot.vx / 4;
  shot.y += shot.vy / 4;
  shot.anim += 1;
  if (shot.anim > 7) shot.state = 0;
}

bool EnemyShotMeetsTerrainAhead(const EnemyShot& shot) {
  return TestTerrainHit(shot.x + shot.vx + ScrollDeltaX, shot.y + shot.vy + ScrollDeltaY, shot.x,
                        shot.y, 1) >= 0;
}
