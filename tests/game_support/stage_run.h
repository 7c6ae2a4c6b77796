// One stage run summed up for the stage tests: a run started from the title (GameDriver,
// StartGame) on a stage and checkpoint, played on a script until the stage clears, the run is
// lost or the script's frames end, with a spawn census beside it. Cheap by default: play draws
// one frame in eight and the digest is taken once, at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/game_support/game_driver.h"
#include "tests/game_support/spawn_census.h"

enum class StageEnd : uint8_t {
  Clear,       // the stage-clear scene was reached
  GameOver,    // the run was lost: the continue or game-over scene was reached
  EndOfInput,  // the script's frames ran out (or the game's loop ended) first
  NotStarted,  // play was never reached
};
const char* StageEndName(StageEnd end);

struct StageRunOptions {
  GameStartChoice start;  // stage, checkpoint, difficulty
  int frames = 6000;      // the most frames played after the stage's first play frame
  // Frame i's input from the first play frame on; null for none.
  std::function<FrameInput(int)> script = nullptr;
  bool immuneShip = false;
  // The data kit's files written for the game (GameDriver::Options::kit); the stages' maps are
  // there whatever it selects.
  const char* kit = "common";
  // Draw every frame (for tests that look at pictures); else one in eight.
  bool drawEveryFrame = false;
  // The digest after every play frame, as the driver keeps it; else only the last.
  bool digestEveryFrame = false;
  // Runs after every frame of play, as the driver's afterFrame.
  std::function<void()> afterFrame = nullptr;
};

struct StageRunSummary {
  // The scenes visited from start-up on, in order, a scene held for frames told once.
  std::vector<int32_t> scenes;
  SpawnCounts census;
  // The pool-0 type of each boss beaten, in order (BossState turning to -1; BossType then).
  std::vector<int> bossesKilled;
  StageEnd end = StageEnd::NotStarted;
  int frames = 0;  // played after the first play frame
  // The run's digests (DigestGameState(DigestScope::Run)): after every unpaused play frame with
  // digestEveryFrame, else the one after the last frame.
  std::vector<uint64_t> digests;
  // The runtime's log of the run.
  std::string log;
};

StageRunSummary RunStage(const StageRunOptions& options);
