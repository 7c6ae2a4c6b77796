// A bench for stage 2's behaviours without a map: the field's boot state from FieldFixture, the
// objects cleared, the screen at world (0, 0) and still, stage 2's tables, rank 0, and the pool
// passes and shot steps run by hand so that each test sees its objects frame by frame.
#pragma once

#include <cstdint>
#include <vector>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

class Stage2Bench {
 public:
  explicit Stage2Bench(int difficulty = 1);

  // A pool-0 object spawned at (x, y) with that variant and set up by one pass.
  int16_t Spawn(int16_t type, double x, double y, int16_t variant = 0);

  // A pool-1 object spawned at (x, y) along angle with that variant and set up by one pass.
  int16_t Spawn1(int16_t type, double x, double y, int16_t variant = 0, int16_t angle = 0);

  // A solid block in the terrain at that cell, on a map of 40 x 20 cells (kept out of the way
  // of the next bench by Unblock).
  static void Block(int column, int row);
  static void Unblock(int column, int row);

  // One pass of pool 0; the sounds it requested.
  std::vector<int> Pass();
  // One pass of pool 1; the sounds it requested.
  std::vector<int> Pass1();
  // One step of the enemy-shot pool; the sounds it requested.
  std::vector<int> PassShots();

  FieldFixture field;
};
