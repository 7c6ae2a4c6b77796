// A bench for stage 5's (or another stage's) behaviours without a map or terrain: the field's boot
// state from FieldFixture, the objects cleared, the screen and the view box at world (0, 0) and
// still, stage 5's tables at the chosen difficulty, rank 0, and the pool passes and shot steps run
// by hand so that each test sees its objects frame by frame.
#pragma once

#include <cstdint>
#include <vector>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

class Stage5Bench {
 public:
  explicit Stage5Bench(int difficulty = 1, int stage = 5);

  // An object of pool 0 or 1 spawned at (x, y) with that spawn angle and variant and set up by a
  // pass of its pool; its slot (-1 when the pool was full).
  int16_t SpawnPool0(int16_t type, double x, double y, int16_t angle = 0, int16_t variant = 0);
  int16_t SpawnPool1(int16_t type, double x, double y, int16_t angle = 0, int16_t variant = 0);

  // One pass of a pool (or of all four, as the field runs them); the sounds it requested.
  std::vector<int> PassPool0();
  std::vector<int> PassPool1();
  std::vector<int> PassPools();
  // One step of the enemy shots; the sounds it requested.
  std::vector<int> PassShots();

  FieldFixture field;
};
