// The spawn census of a stage run: per pool and type (as spawned), the enemy objects that lived
// past their first pool pass, those spawned from the map's event cells apart from those spawned by
// code, and per type the enemy shots that lived past their first pass. It watches the field through
// its spawn observer (stg_src/field/test_hooks.h) while it lives, and changes nothing in play.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "stg_src/field/test_hooks.h"

// What a census counted; a value, so that a run's summary can keep it.
struct SpawnCounts {
  std::map<std::pair<int, int>, int> fromMap;   // (pool, type) -> objects
  std::map<std::pair<int, int>, int> fromCode;  // (pool, type) -> objects
  std::map<int, int> enemyShots;                // shot type -> shots

  int FromMap(int pool, int type) const;  // 0 where none
  int FromCode(int pool, int type) const;
  int EnemyShots(int type) const;
  int TotalFromMap() const;
};

class SpawnCensus : public SpawnObserverForTest {
 public:
  SpawnCensus();  // the field's observer from now on
  ~SpawnCensus() override;
  SpawnCensus(const SpawnCensus&) = delete;
  SpawnCensus& operator=(const SpawnCensus&) = delete;

  const SpawnCounts& counts() const { return counts_; }

  void EnemySpawned(int pool, int slot, int32_t type, bool fromMap) override;
  void EnemyMoved(int pool, int from, int to) override;
  void EnemyPassed(int pool, int slot, bool alive) override;
  void EnemyShotSpawned(int slot, int32_t type) override;
  void EnemyShotPassed(int slot, bool alive) override;

 private:
  // A spawn whose first pass is still to come.
  struct Pending {
    int32_t type = 0;
    bool fromMap = false;
  };
  std::map<std::pair<int, int>, Pending> objects_;  // (pool, slot)
  std::map<int, int32_t> shots_;                    // slot -> type
  SpawnCounts counts_;
};
