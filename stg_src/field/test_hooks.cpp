#include "stg_src/field/test_hooks.h"

#include <algorithm>

#include "stg_src/field/enemies/damage.h"
#include "stg_src/field/enemies/enemy_pools.h"

#include "stg_src/game/deterministic.h"

namespace {

bool ShipImmune = false;
SpawnObserverForTest* Observer = nullptr;

int PoolNumber(const EnemyObject* pool) {
  if (pool == EnemyPool0) return 0;
  if (pool == EnemyPool1) return 1;
  if (pool == EnemyPool2) return 2;
  if (pool == EnemyPool3) return 3;
  return -1;
}

EnemyObject* PoolOf(int16_t pool, int* count) {
  switch (pool) {
    case 0:
      *count = kEnemyPool0Size;
      return EnemyPool0;
    case 1:
      *count = kEnemyPool1Size;
      return EnemyPool1;
    case 2:
      *count = kEnemyPool2Size;
      return EnemyPool2;
    case 3:
      *count = kEnemyPool3Size;
      return EnemyPool3;
    default:
      *count = 0;
      return nullptr;
  }
}

}  // namespace

void SetShipImmuneForTest(bool on) { ShipImmune = on; }

bool IsShipImmuneForTest() { return ShipImmune; }

bool DamageEnemyForTest(const TestDamageTarget& t, int32_t damage) {
  int count = 0;
  EnemyObject* pool = PoolOf(t.pool, &count);
  if (pool == nullptr || t.slot < 0 || t.slot >= count || pool[t.slot].state == 0) return false;
  EnemyObject& o = pool[t.slot];
  if (t.partArray == kTestBody) {
    DamageEnemyObject(pool, t.slot, damage);
    return true;
  }
  EnemyPart* parts;
  int used;
  if (t.partArray == kTestPartsA) {
    parts = o.partsA;
    used = std::min<int>(o.partCountA, kPartsACount);
  } else if (t.partArray == kTestPartsB) {
    parts = o.partsB;
    used = std::min<int>(o.partCountB, kPartsBCount);
  } else {
    return false;
  }
  if (t.part < 0 || t.part >= used || parts[t.part].state == 0) return false;
  DamagePart(parts, t.part, damage);
  return true;
}

void SetSpawnObserverForTest(SpawnObserverForTest* observer) { Observer = observer; }

void NoteEnemySpawnForTest(const EnemyObject* pool, int slot, bool fromMap) {
  const int p = PoolNumber(pool);
  if (Observer != nullptr && p >= 0) Observer->EnemySpawned(p, slot, pool[slot].type, fromMap);
}

void NoteEnemyMoveForTest(const EnemyObject* pool, int from, int to) {
  const int p = PoolNumber(pool);
  if (Observer != nullptr && p >= 0) Observer->EnemyMoved(p, from, to);
}

void NoteEnemyPassForTest(int pool, int slot, bool alive) {
  if (Observer != nullptr) Observer->EnemyPassed(pool, slot, alive);
}

void NoteEnemyShotSpawnForTest(int slot, int32_t type) {
  if (Observer != nullptr) Observer->EnemyShotSpawned(slot, type);
}

void NoteEnemyShotPassForTest(int slot, bool alive) {
  if (Observer != nullptr) Observer->EnemyShotPassed(slot, alive);
}

void ResetTestHooks() { ShipImmune = false; }
