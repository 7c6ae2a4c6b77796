#include "tests/game_support/spawn_census.h"

namespace {

template <typename Key>
int CountOf(const std::map<Key, int>& counts, const Key& key) {
  const auto it = counts.find(key);
  return it == counts.end() ? 0 : it->second;
}

}  // namespace

int SpawnCounts::FromMap(int pool, int type) const { return CountOf(fromMap, {pool, type}); }

int SpawnCounts::FromCode(int pool, int type) const { return CountOf(fromCode, {pool, type}); }

int SpawnCounts::EnemyShots(int type) const { return CountOf(enemyShots, type); }

int SpawnCounts::TotalFromMap() const {
  int total = 0;
  for (const auto& [key, n] : fromMap) total += n;
  return total;
}

SpawnCensus::SpawnCensus() { SetSpawnObserverForTest(this); }

SpawnCensus::~SpawnCensus() { SetSpawnObserverForTest(nullptr); }

void SpawnCensus::EnemySpawned(int pool, int slot, int32_t type, bool fromMap) {
  // A spawn into a slot whose previous occupant never had its pass replaces it.
  objects_[{pool, slot}] = {type, fromMap};
}

void SpawnCensus::EnemyMoved(int pool, int from, int to) {
  const auto it = objects_.find({pool, from});
  if (it == objects_.end()) {
    objects_.erase({pool, to});  // an object past its first pass: it was counted already
    return;
  }
  objects_[{pool, to}] = it->second;
  objects_.erase(it);
}

void SpawnCensus::EnemyPassed(int pool, int slot, bool alive) {
  const auto it = objects_.find({pool, slot});
  if (it == objects_.end()) return;
  if (alive) {
    auto& counts = it->second.fromMap ? counts_.fromMap : counts_.fromCode;
    counts[{pool, it->second.type}] += 1;
  }
  objects_.erase(it);
}

void SpawnCensus::EnemyShotSpawned(int slot, int32_t type) { shots_[slot] = type; }

void SpawnCensus::EnemyShotPassed(int slot, bool alive) {
  const auto it = shots_.find(slot);
  if (it == shots_.end()) return;
  if (alive) counts_.enemyShots[it->second] += 1;
  shots_.erase(it);
}
