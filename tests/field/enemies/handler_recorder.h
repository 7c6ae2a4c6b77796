// Recording stand-ins for the behaviour tables: a table entry swapped for a recorder while a
// test runs, every call logged with the object as the handler found it, and an optional action
// the test gives the recorder to play a behaviour (set up, free, spawn, ...).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "stg_src/field/enemies/enemy_records.h"

struct HandlerCall {
  int pool;  // 0..3 for objects; -1 for parts
  int slot;
  int32_t type;  // the object's type, or the part's partType
  int32_t state;
  int16_t spawnDir;
  int16_t variant;
  double x, y;
  int part = -1;        // part index for part calls
  bool partsB = false;  // the part array
  int16_t stage = 0;    // CurrentStage at the call
  int32_t gameFrame = 0;

  bool operator==(const HandlerCall&) const = default;
};

// Puts value into entry for the scope and restores what was there.
template <typename T>
class ScopedEntry {
 public:
  ScopedEntry(T& entry, T value) : entry_(entry), saved_(entry) { entry = value; }
  ~ScopedEntry() { entry_ = saved_; }
  ScopedEntry(const ScopedEntry&) = delete;
  ScopedEntry& operator=(const ScopedEntry&) = delete;

 private:
  T& entry_;
  T saved_;
};

class HandlerRecorder {
 public:
  HandlerRecorder();  // clears the log and the actions
  ~HandlerRecorder();

  std::vector<HandlerCall> calls;
  // Run after the call is logged.
  std::function<void(EnemyObject& object, int pool, int slot)> onObject;
  std::function<void(EnemyObject* pool, int slot, EnemyPart* parts, int j)> onPart;
};

// Recorders for the tables of pools 0..3 and for the part table.
void RecordPool0(int16_t slot);
void RecordPool1(int16_t slot);
void RecordPool2(int16_t slot);
void RecordPool3(int16_t slot);
void RecordPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
using ObjectRecorder = void (*)(int16_t);
constexpr ObjectRecorder kPoolRecorders[4] = {RecordPool0, RecordPool1, RecordPool2, RecordPool3};
EnemyObject* PoolArray(int pool);
