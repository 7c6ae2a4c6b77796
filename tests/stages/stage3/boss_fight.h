// A fixture fight with the stage-3 boss: the boss spawned into pool 0 on a still screen (draw
// offsets and scroll 0, so world and screen agree), the pool, shot and effect passes run frame by
// frame as the play frame runs them, and after each frame a snapshot of what the tests read:
// the phase machine's words, the plates, the arm, and the shots and effects the frame spawned.
#pragma once

#include <cstdint>
#include <vector>

#include "stg_src/field/enemies/enemy_records.h"
#include "tests/game_support/field_fixture.h"

struct BossSnapshot {
  int32_t passes = 0;  // frames run so far, this one included
  int32_t state = 0;
  int32_t frame = 0;
  int16_t phase = 0;
  int16_t angle = 0;
  double x = 0, y = 0, vy = 0;
  int32_t turnSign = 0;
  int32_t timer = 0;
  int16_t facing = 0;
  double plateOffsetY[10] = {};  // slots 29..38
  double upperTipY = 0, upperInnerY = 0;
  double upperTipOffsetX = 0;
  int16_t upperTipAngle = 0, upperTipSwing = 0;
  int32_t upperRootImage = 0, upperSegmentImage = 0;
  int32_t coreState[2] = {};
  int16_t coreCue[2] = {};
  int32_t partState[kPartsBCount] = {};
  double podRadius[8] = {};
  // Enemy shots of the boss's types spawned this frame: (type, slot) pairs.
  std::vector<std::pair<int, int>> shots;
  int newBurstEffects = 0;  // type-2 effects spawned this frame
  int16_t stageClearTimer = 0;
  int16_t unlockId = 0;
};

class BossFight {
 public:
  // The field's boot state at this difficulty, stage 3, ranks 0, the ship immune and parked at
  // (60, 200), StageUnlockId -1.
  explicit BossFight(int difficulty = 1);

  // The boss at the lowest pool-0 slot (0), with the map variant a cell would give.
  void SpawnBoss(int16_t variant = 0);
  EnemyObject& boss();

  // One frame: the enemy pools, then the shots, then the effects.
  const BossSnapshot& Step();
  // Steps until done(snapshot) or limit frames; true when done was met.
  template <typename Done>
  bool RunUntil(Done done, int limit) {
    for (int i = 0; i < limit; ++i) {
      if (done(Step())) return true;
    }
    return false;
  }

  const std::vector<BossSnapshot>& history() const { return history_; }
  FieldFixture& field() { return field_; }

 private:
  FieldFixture field_;
  std::vector<BossSnapshot> history_;
};

// The first snapshot index at or after from where pred holds, or -1.
template <typename Pred>
int FindSnapshot(const std::vector<BossSnapshot>& h, int from, Pred pred) {
  for (int i = from < 0 ? 0 : from; i < static_cast<int>(h.size()); ++i) {
    if (pred(h[i])) return i;
  }
  return -1;
}
