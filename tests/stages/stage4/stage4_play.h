// Stage 4 played through the game's own loop by a ship that weaves and fires while deadly hits
// go to the three cores the stage's flow turns on: the carrier's once it has stood a second, the
// mid-boss's and the boss's a while after each opened. A watch records the flow's milestones.
#pragma once

#include <cstdint>

#include "tests/game_support/stage_run.h"

struct Stage4Watch {
  // The boss's core is hit 120 frames after its launchers dropped their first shell (their
  // shells' end shots come in), else a second after it opened.
  bool waitForShells = false;
  int firstShellAt = -1;
  int frame = 0;            // play frames seen
  int carrierStoodFor = 0;  // frames the carrier held the scroll
  int carrierKilledAt = -1;
  int midBossOpenFor = 0;  // frames the mid-boss's core could be hurt
  int midBossKilledAt = -1;
  int goAt = -1;        // StageWork[0] raised
  int fireWallAt = -1;  // the fire wall placed
  int bossArrivedAt = -1;
  int dasherArrivedAt = -1;  // StageWork[2] raised
  int coreOpenAt = -1;       // the boss core fully open
  int bossKilledAt = -1;
  double dasherLastX = 0;  // where the dasher was on its last frame
  int32_t coreXAtArrival = 0;
  int redPeakAfterWall = 0;
};

// Stage 4 from (difficulty, checkpoint) for up to frames play frames, the ship immune.
StageRunOptions Stage4Play(int16_t difficulty, int16_t checkpoint, int frames, Stage4Watch& watch);
