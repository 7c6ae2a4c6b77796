// The scripted session every end-to-end test of the field plays: a normal game on stage 2 of the
// test stage, started from the title through the shell's driver. Frame i after the stage's first
// play frame: the opening count (frames 0-79), then the ship climbs and dives a little while it
// moves right (it banks), holds Shot while the boxes on its row come (their items lie on its
// way, the shield's last), stops shooting once the shield is taken so that the turrets' shots
// reach it, and from frame 940 holds DOWN, so that it dives into the floor each time it comes
// back, until no life is left.
#pragma once

#include "tests/game_support/game_driver.h"
#include "tools/datakit/maps/stage_maps.h"

constexpr int kSessionStage = 2;
constexpr int kSessionShotStart = 80;
constexpr int kSessionShotEnd = 660;
constexpr int kSessionDiveStart = 940;
// Frames after which the session has lost every life and the game over has begun.
constexpr int kSessionFrames = 1380;

FrameInput SessionInput(int frame);

// The driver's options for the session: the data kit's common files (the ship, the board, the
// common enemies), and one frame in eight drawn when fast.
GameDriver::Options SessionOptions(bool fast);
// The driver booted and brought into the session's first play frame; false (with a test
// failure) when it did not get there.
bool StartSession(GameDriver& driver);

// While it lives, the session's stage flies the test stage's maps even where the stage has maps
// of its own (the driver writes the folder's maps when it starts).
class SessionOnTestStage {
 public:
  SessionOnTestStage() { OverrideStageMapsForTest(kSessionStage, &none_); }
  ~SessionOnTestStage() { OverrideStageMapsForTest(kSessionStage, nullptr); }
  SessionOnTestStage(const SessionOnTestStage&) = delete;
  SessionOnTestStage& operator=(const SessionOnTestStage&) = delete;

 private:
  StageMapDescriptions none_;
};
