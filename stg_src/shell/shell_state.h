// The game shell's own state: the frame pacing's clock readings, the attract demo's switch, the
// title menu's cursors and page, the loaded scene sets, the practice choices, the front-end
// scenes' scratch, and the progress and screenshot counter kept in the option files. What the
// shell shares with the play field (scenes, the run's settings, the player block) is
// stg_src/game/shared_state.h, which this header includes. All in static storage.
// ResetShellState puts every member back to its value at program start (zero);
// DigestShellState sums them.
#pragma once

#include <cstdint>

#include "stg_src/game/shared_state.h"
#include "stg_src/game/state_digest.h"

// --- frame loop and title menu ---------------------------------------------------------------
// The pacing and frames-per-second words: read from the clock, so never game state.
extern int32_t LastFrameTime;
extern int32_t FpsFrameCount;
extern int32_t FpsLastTime;
extern uint8_t DemoPlaying;
extern int16_t DemoSavedDifficulty;  // restored when the attract demo ends
extern int16_t MenuCursors[10];      // entry 0, the top menu's row, is the play mode
extern int16_t MenuPage;             // 0..3 menus, 4..7 configuration pages
extern uint8_t TitleAssetsLoaded;
extern uint8_t LogoLoaded;
extern uint8_t WeaponSelectAssetsLoaded;
extern uint8_t StageAssetsLoaded;
extern uint8_t ResultAssetsLoaded;

// --- front-end scenes ----------------------------------------------------------------------
extern int16_t PracticeStage;
extern int16_t PracticeShotPower;    // 0..8
extern int16_t PracticeSpeed;        // 0..3
extern int16_t IntroBlastFrames[5];  // the title intro's explosion frames on its boss
extern int16_t LastConfigKey;        // key seen on the key page's previous frame

// --- progress and the screenshot counter (the option files) --------------------------------
extern int16_t StartStages[4];  // furthest start stage per difficulty, 1..3
extern int32_t ScreenshotCounter;

void ResetShellState();
void DigestShellState(StateDigest& digest, DigestScope scope);
