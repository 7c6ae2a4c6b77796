// The field of the stage-7 tests: the kit's own stage-7 maps, the stage started with a chosen
// ending (Credits) and run to its first play frame, then frame by frame with the GameFrame each
// frame ran.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tools/datakit/maps/stage_maps.h"

constexpr int16_t kGoodEnding = 9;  // no continue used
constexpr int16_t kContinued = 8;
constexpr int32_t kFireType = 10;
constexpr int32_t kBokanType = 11;
constexpr int32_t kBokan2Type = 12;

struct ClosingFlightField {
  FieldFixture field;

  explicit ClosingFlightField(int16_t credits) {
    field.digestFrames = false;
    Credits = credits;
    const StageMapDescriptions maps = Stage7MapDescriptions();
    field.WriteStageMaps(7, maps.background, maps.hardMain);
    EXPECT_EQ(field.StartStage(7), 1);
    while (GameFrame < 0) field.Step();
  }

  // Runs the frames up to the one that runs GameFrame `last`; read(g, report) after each.
  template <typename Read>
  void RunTo(int32_t last, Read read, uint32_t held = 0) {
    while (GameFrame <= last) {
      const int32_t g = GameFrame;
      const FieldFrameReport r = field.Step(held);
      read(g, r);
    }
  }
};

// The pool-0 slots holding this type in this state.
inline std::vector<int> SlotsOf(int32_t type, int32_t state) {
  std::vector<int> slots;
  for (int i = 0; i < kEnemyPool0Size; ++i) {
    if (EnemyPool0[i].state == state && EnemyPool0[i].type == type) slots.push_back(i);
  }
  return slots;
}

inline bool HasNoHitCircles(const HitCircles& h) {
  for (int16_t size : h.size) {
    if (size != 0) return false;
  }
  return true;
}
