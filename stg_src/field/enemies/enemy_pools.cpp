#include "stg_src/field/enemies/enemy_pools.h"

#include <algorithm>
#include <cstring>

#include "stg_src/field/enemies/collisions.h"
#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/map/map_loops.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"

#include "stg_src/game/deterministic.h"

EnemyObject EnemyPool0[kEnemyPool0Size];
EnemyObject EnemyPool1[kEnemyPool1Size];
EnemyObject EnemyPool2[kEnemyPool2Size];
EnemyObject EnemyPool3[kEnemyPool3Size];

namespace {

constexpr int kFrameWrap = 65535;
constexpr int kTileCentre = kTileSize / 2;

struct PoolKind {
  EnemyObjectHandler* handlers;
  int typeCount;
};

const PoolKind kPoolKinds[4] = {
    {EnemyPool0Handlers, kPool0TypeCount},
    {EnemyPool1Handlers, kPool1TypeCount},
    {EnemyPool2Handlers, kPool2TypeCount},
    {EnemyPool3Handlers, kPool3TypeCount},
};

// slot negative: the lowest free; exact 1: that slot (refused outside the pool); else the
// highest free below slot. The slot to fill, or -1.
int16_t PickSpawnSlot(const EnemyObject* pool, int count, int16_t slot, uint8_t exact) {
  if (slot < 0) return FindFreeEnemySlot(pool, count, -1, false);
  if (exact == 1) return slot < count ? slot : int16_t{-1};
  return FindFreeEnemySlot(pool, count, slot, true);
}

int16_t SpawnInPool(EnemyObject* pool, int count, int typeCount, double x, double y, int16_t type,
                    int16_t angle, int16_t slot, uint8_t exact) {
  if (type >= typeCount) return -1;
  const int16_t s = PickSpawnSlot(pool, count, slot, exact);
  if (s < 0) return -1;
  SpawnEnemyAt(pool, s, type, x, y);
  pool[s].angle = angle;
  return exact == 1 && slot >= 0 ? int16_t{-1} : s;
}

int16_t SpawnAtTile(EnemyObject* pool, int count, int typeCount, int16_t type, int column, int row,
                    bool leading, int16_t variant) {
  if (type < 0 || type >= typeCount) return -1;
  const int16_t s = FindFreeEnemySlot(pool, count, -1, false);
  if (s < 0) return -1;
  SpawnEnemyAtTile(pool, s, type, column, row, leading, variant);
  return s;
}

void DecayToZero(double* value, double step) {
  if (*value > 0) *value = std::max(*value - step, 0.0);
}

void DecayToZero(int16_t* value, int16_t step) {
  if (*value > 0) *value = static_cast<int16_t>(std::max(*value - step, 0));
}

// The parts of one array, in slot order. A count past the array (the object is freed at the
// next pass) runs only the slots the array has.
void RunParts(EnemyObject* pool, int slot, EnemyPart* parts, int count, int capacity) {
  const int n = std::min(count, capacity);
  for (int j = 0; j < n; ++j) {
    EnemyPart& part = parts[j];
    if (part.state == 0) continue;
    part.facingSign = pool[slot].facingSign;
    part.beamReachLast = part.beamReach;
    part.beamReach = 0;
    if (IsPartParentReady(parts, j) && part.partType >= 0 && part.partType < kPartTypeCount) {
      EnemyPartHandlers[part.partType](pool, static_cast<uint16_t>(slot), parts,
                                       static_cast<int16_t>(j));
    }
    part.beamDrawn = 0;
    DecayToZero(&part.recoil, 0.5);
    DecayToZero(&part.hitFlash, int16_t{16});
  }
}

bool IsPastParts(const EnemyObject& o) {
  return o.partCountA > kPartsACount || o.partCountB > kPartsBCount;
}

// One object's part of a pool pass (the slot is in use).
void PassEnemyObject(EnemyObject* pool, int kind, int slot) {
  const PoolKind& table = kPoolKinds[kind];
  EnemyObject& o = pool[slot];
  o.frame = (o.frame + 1) % kFrameWrap;
  if (IsPastParts(o) || (o.state >= 2 && IsOffScreenXY(o.x, o.y, o.despawnMarginX, o.despawnMarginY,
                                                       o.useViewBox, 0))) {
    o.state = 0;
    return;
  }
  const double yBefore = o.y;
  if (kind <= 2 && StageClearTimer > 0 && o.state < 3) o.state = 3;

  if (o.type < 0 || o.type >= table.typeCount) {
    // A type past the table has no behaviour to run: it goes like a negative one.
    o.state = 0;
  } else if (o.state > 0) {
    const EnemyObjectHandler handler = table.handlers[o.type];
    // A type without behaviour would sit in its spawn state for ever, holding the slot.
    if (o.state == 1 && handler == static_cast<EnemyObjectHandler>(UpdateNothing)) {
      o.state = 0;
    } else {
      handler(static_cast<int16_t>(slot));
    }
    if ((kind == 1 || kind == 2) && CancelEnemyShots == 1 && (o.state == 1 || o.state == 2))
      o.state = 3;
  }
  // A map spawn from the trailing edge gets its one handler call and goes.
  if (o.spawnDir * o.acceptDir == -1) o.state = 0;
  if (o.state == 0) return;

  o.facingSign = o.facing == 0 ? 1 : o.facing == 2 ? -1 : 0;
  RunParts(pool, slot, o.partsA, o.partCountA, kPartsACount);
  RunParts(pool, slot, o.partsB, o.partCountB, kPartsBCount);
  DecayToZero(&o.hitFlash, int16_t{16});
  if (o.y != yBefore) WrapObjectInVerticalLoop(pool, slot);
  CollideEnemyObject(pool, static_cast<int16_t>(slot));
}

}  // namespace

int16_t FindFreeEnemySlot(const EnemyObject* pool, int count, int n, bool downward) {
  if (downward) {
    const int end = n >= 0 && n < count ? n : count;
    for (int i = end - 1; i >= 0; --i) {
      if (pool[i].state == 0) return static_cast<int16_t>(i);
    }
    return -1;
  }
  int start = n + 1;
  if (start < 0) {
    start = 0;
  } else if (start >= count) {
    start = count - 1;
  }
  for (int i = start; i < count; ++i) {
    if (pool[i].state == 0) return static_cast<int16_t>(i);
  }
  return -1;
}

void InitEnemyObject(EnemyObject* pool, int slot, int32_t type, int16_t variant) {
  EnemyObject& o = pool[slot];
  o.type = type;
  o.state = 1;
  o.frame = 1;
  o.facing = 0;
  o.solid = 0;
  o.sideCount = 0;
  o.facingSign = 1;
  o.angle = 0;
  o.angle2 = 0;
  o.phase = 0;
  o.airFrames = 0;
  o.landTimer = 0;
  o.spare1 = 0;
  o.onMarker = 0;
  o.despawnMarginX = 0;
  o.despawnMarginY = 0;
  o.cullMarginX = 0;
  o.cullMarginY = 0;
  o.useViewBox = 1;
  o.partCountA = 0;
  o.partCountB = 0;
  o.hitMode = 1;
  o.hitFlash = 0;
  o.drawOffsetY = 0;
  std::ranges::fill(o.spare2, int16_t{0});
  o.realWork2 = 0;
  o.realWork3 = 0;
  o.spare3 = -1;
  o.blend = 256;
  o.brightness = 256;
  o.scoreBase = 0;
  o.probeOffset = 1.0;
  o.spawnDir = 0;
  o.acceptDir = 1;
  o.variant = variant;
  o.rank = TimeRank;
  // The heavy shell reads it from its first update; its launcher writes it only after the spawn.
  o.intWork0 = 0;
  NoteEnemySpawnForTest(pool, slot, false);
}

void SpawnEnemyAtTile(EnemyObject* pool, int slot, int32_t type, int column, int row, bool leading,
                      int16_t variant) {
  InitEnemyObject(pool, slot, type, variant);
  pool[slot].x = column * kTileSize + kTileCentre;
  pool[slot].y = LoopAdjustedY(row * kTileSize + kTileCentre);
  pool[slot].spawnDir = leading ? 1 : -1;
  NoteEnemySpawnForTest(pool, slot, true);
}

void SpawnEnemyAt(EnemyObject* pool, int slot, int32_t type, double x, double y) {
  InitEnemyObject(pool, slot, type, 0);
  pool[slot].x = x;
  pool[slot].y = LoopAdjustedY(y);
}

int16_t SpawnPool0Enemy(double x, double y, int16_t type, int16_t angle, int16_t slot,
                        uint8_t exact) {
  return SpawnInPool(EnemyPool0, kEnemyPool0Size, kPool0TypeCount, x, y, type, angle, slot, exact);
}

int16_t SpawnPool1Enemy(double x, double y, int16_t type, int16_t angle, int16_t slot,
                        uint8_t exact) {
  return SpawnInPool(EnemyPool1, kEnemyPool1Size, kPool1TypeCount, x, y, type, angle, slot, exact);
}

int16_t SpawnPool2Enemy(double x, double y, int16_t type, int16_t angle) {
  return SpawnInPool(EnemyPool2, kEnemyPool2Size, kPool2TypeCount, x, y, type, angle, -1, 0);
}

int16_t SpawnPool3Object(double x, double y, int16_t type, int16_t angle, int16_t after) {
  if (type >= kPool3TypeCount) return -1;
  const int16_t s = FindFreeEnemySlot(EnemyPool3, kEnemyPool3Size, after, false);
  if (s < 0) return -1;
  SpawnEnemyAt(EnemyPool3, s, type, x, y);
  EnemyPool3[s].angle = angle;
  return s;
}

int16_t SpawnPool0AtTile(int16_t type, int column, int row, bool leading, int16_t variant) {
  // The boss on screen is not spawned again when the window passes its cell once more.
  if (type == BossType) return -1;
  return SpawnAtTile(EnemyPool0, kEnemyPool0Size, kPool0TypeCount, type, column, row, leading,
                     variant);
}

int16_t SpawnPool1AtTile(int16_t type, int column, int row, bool leading, int16_t variant) {
  return SpawnAtTile(EnemyPool1, kEnemyPool1Size, kPool1TypeCount, type, column, row, leading,
                     variant);
}

void UpdateEnemyPools() {
  if (SolidEnemyTimer > 0) SolidEnemyTimer -= 1;
  if (SolidPartTimer > 0) SolidPartTimer -= 1;
  const bool pool3Runs = CurrentStage == 1 || (CurrentStage == 5 && BossState == 0) ||
                         (CurrentStage == 6 && StageWork[kStageSixCounter] >= 100);
  if (pool3Runs) UpdateEnemyPool(EnemyPool3, 3, kEnemyPool3Size);
  UpdateEnemyPool(EnemyPool2, 2, kEnemyPool2Size);
  UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
  UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
}

void UpdateEnemyPool(EnemyObject* pool, int kind, int count) {
  for (int slot = 0; slot < count; ++slot) {
    if (pool[slot].state < 1) continue;
    PassEnemyObject(pool, kind, slot);
    NoteEnemyPassForTest(kind, slot, pool[slot].state != 0);
  }
}

void ResetEnemyPools() {
  std::memset(EnemyPool0, 0, sizeof(EnemyPool0));
  std::memset(EnemyPool1, 0, sizeof(EnemyPool1));
  std::memset(EnemyPool2, 0, sizeof(EnemyPool2));
  std::memset(EnemyPool3, 0, sizeof(EnemyPool3));
}
