// A test owner for stage 4's part behaviours: a still pool-1 object on stage 4 (the object type
// and part type below lend their stage-4 cells to test behaviours while a test runs) and frames
// of the enemy pools and the enemy-shot pass run without the rest of the play field.
#pragma once

#include <cstdint>
#include <vector>

#include "stg_src/field/enemies/enemy_records.h"
#include "stg_src/stages/stage4/laser_weapons.h"

constexpr int kOwnerSlot = 5;
constexpr int kLaserPartType = 14;  // no behaviour of its own on stage 4

// Installs the test behaviours (the owner keeps still, part type 14 runs the laser of the row
// given) for its lifetime and puts the owner at (x, y) with one laser part at its centre,
// aimed at angle. CurrentStage is 4.
class Stage4TestOwner {
 public:
  Stage4TestOwner(double x, double y, int16_t angle);
  ~Stage4TestOwner();
  Stage4TestOwner(const Stage4TestOwner&) = delete;
  Stage4TestOwner& operator=(const Stage4TestOwner&) = delete;

  void UseRow(const Stage4LaserUser& row);
  EnemyObject& owner();
  EnemyPart& part();
};

// What one frame spawned, by shot type, and the part's cue after the pools ran.
struct LaserFrame {
  int spawned[27] = {};
  int16_t cue = 0;
};
// One frame: the pools, the spawns counted (shots still in state 1), then the shot pass.
LaserFrame RunLaserFrame();
// Slots in use of this type.
std::vector<int> LiveShots(int type);
