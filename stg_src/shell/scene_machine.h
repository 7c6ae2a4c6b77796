// The scene machine: the step of every scene code, the play scene, the quit and back-to-title
// test, the boot initialisation, the per-title and per-game resets, and the small accessors
// the rest of the game reads. One loop iteration is BeginFrame, RunFrameBody, the screenshot
// button and EndFrame (frame_loop.h).
#pragma once

#include <cstdint>

#include "stg_src/game/shared_state.h"

// 0 normal play, 1 replay playback (also while the attract demo runs), 2 practice.
int16_t GetPlayMode();
// True on the configuration pages 4 to 7 of the title menu.
bool IsOnConfigPage();

void InitGameOnBoot();
// True once a stage could not be loaded: the quit that follows is a failure, and the program
// ends with -1 rather than 0. Cleared by InitGameOnBoot.
bool EndedOnStageLoadFailure();
// Every title visit: levels and unlocks back to the starting weapons, ShipSpeed 0.
void ResetWeaponUnlocks();
// Every title visit and continue: score, ranks and the weapon choice of a new game, 3 lives.
void ResetRunState();
// Every scene set, the common enemy images and the stage's, released.
void ReleaseSceneAssets();

// The input half of the frame's start: key and button hold counts (recording or playing back
// the replay byte) and, in an unpaused play frame, the stream position.
void UpdateFrameInput();
// The step of CurrentScene; a code without an entry has an empty step.
void RunSceneStep();
// Scene 100, one frame.
void RunPlayScene();

enum class FrameStep {
  Continue,       // on to the screenshot button and EndFrame
  NextIteration,  // back to title where it means nothing: no screenshot, no EndFrame
  LeaveLoop,      // quit: on to the exit sequence
};
// The quit and back-to-title test.
FrameStep RunQuitTest();
// What one iteration runs between BeginFrame and the screenshot button: the sound requests
// cleared, the playback controls reset outside the play scene, the scene step, the requested
// sounds played, the quit test.
FrameStep RunFrameBody();
