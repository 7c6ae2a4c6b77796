#include "tests/field/enemies/handler_recorder.h"

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/stage_state.h"

namespace {

HandlerRecorder* active = nullptr;

void RecordObject(int pool, int16_t slot) {
  if (active == nullptr) return;
  EnemyObject& o = PoolArray(pool)[slot];
  active->calls.push_back({pool, slot, o.type, o.state, o.spawnDir, o.variant, o.x, o.y, -1, false,
                           CurrentStage, GameFrame});
  if (active->onObject) active->onObject(o, pool, slot);
}

}  // namespace

HandlerRecorder::HandlerRecorder() { active = this; }

HandlerRecorder::~HandlerRecorder() { active = nullptr; }

EnemyObject* PoolArray(int pool) {
  EnemyObject* pools[4] = {EnemyPool0, EnemyPool1, EnemyPool2, EnemyPool3};
  return pools[pool];
}

void RecordPool0(int16_t slot) { RecordObject(0, slot); }
void RecordPool1(int16_t slot) { RecordObject(1, slot); }
void RecordPool2(int16_t slot) { RecordObject(2, slot); }
void RecordPool3(int16_t slot) { RecordObject(3, slot); }

void RecordPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t j) {
  if (active == nullptr) return;
  const EnemyPart& p = parts[j];
  const bool b = parts == pool[slot].partsB;
  int poolIndex = -1;
  for (int k = 0; k < 4; ++k) poolIndex = PoolArray(k) == pool ? k : poolIndex;
  active->calls.push_back({poolIndex, slot, p.partType, p.state, 0, p.variant, p.x, p.y, j, b,
                           CurrentStage, GameFrame});
  if (active->onPart) active->onPart(pool, slot, parts, j);
}
