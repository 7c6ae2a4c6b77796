// A bench for stage 3's enemies without a map: the field's boot state from FieldFixture, the
// objects cleared, the screen and the view box at world (0, 0) and still, an empty collision
// layer of 40 x 20 cells that tests fill where they need rock, stage 3's tables, rank 0, and the
// pool passes run by hand so that each test sees its objects frame by frame.
#pragma once

#include <cstdint>
#include <vector>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

class Stage3Bench {
 public:
  explicit Stage3Bench(int difficulty = 1);

  // An object spawned in the lowest free slot with that variant (not yet set up); its slot.
  int16_t SpawnPool0(int16_t type, double x, double y, int16_t variant = 0, int16_t angle = 0);
  int16_t SpawnPool1(int16_t type, double x, double y, int16_t variant = 0, int16_t angle = 0);

  // One pass of a pool (both: the play frame's pass of every pool); the sounds it requested.
  std::vector<int> PassPool0();
  std::vector<int> PassPool1();
  std::vector<int> PassBoth();

  // Collision cell (column, row) made full rock; a whole row of them.
  static void Rock(int column, int row);
  static void RockRow(int row);

  FieldFixture field;
};

// LcgRandom draws between two states of the generator (-1 past a limit of 10000).
int LcgDrawsBetween(uint32_t from, uint32_t to);
