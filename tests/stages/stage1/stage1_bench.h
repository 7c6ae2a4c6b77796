// A bench for stage 1's behaviours without a map: the field's boot state from FieldFixture, the
// objects cleared, the screen and the view box at world (0, 0) and still (tests that move
// the screen move the box with it), stage 1's tables, rank 0, and the pool
// passes and shot steps run by hand so that each test sees its objects frame by frame.
#pragma once

#include <cstdint>
#include <vector>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

class Stage1Bench {
 public:
  explicit Stage1Bench(int difficulty = 1);

  // The boss spawned at (x, y) and set up (it stands 780 px left of x, 20 px below y).
  EnemyObject& SpawnBoss(double x, double y);
  // The boss put straight into its route at (x, y), level and still, its parts placed.
  EnemyObject& BossOnRoute(double x, double y);
  // A pool-1 object of stage 1 spawned and set up by a pass of pool 1; its slot.
  int16_t SpawnPool1(int16_t type, double x, double y, int16_t angle = 0, int16_t variant = 0);

  // One pass of pool 0 (pool 1 as well with both); the sounds it requested.
  std::vector<int> PassBoss();
  std::vector<int> PassBoth();
  std::vector<int> PassPool1();

  FieldFixture field;
};
