// The words of the run that the shell and the play field share: the scene machine's scene and
// frame, the pause and the replay playback controls, the run's settings (difficulty, continues,
// score table), the player and weapon block, the front-end scratch that the closing stage
// drives, and the high scores the HUD shows. The shell's own words (clock readings, menus,
// loaded sets, option files) are stg_src/shell/shell_state.h. All in static storage.
// ResetSharedState puts every member back to its value at program start (zero);
// DigestSharedState sums them.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

// --- scenes, pause and playback --------------------------------------------------------------
// Scene codes of CurrentScene.
enum SceneCode : int32_t {
  kSceneBoot = 0,
  kSceneTitleVisit = 1,
  kSceneTitleMenu = 2,
  kSceneStageStart = 99,
  kScenePlay = 100,
  kSceneContinue = 998,
  kSceneGameEnd = 999,
  kSceneGameOver = 1000,
  kSceneEndScreen = 1001,
  kSceneStageClear = 1002,
  kSceneLogoSetUp = 2000,
  kSceneLogo = 2001,
  kSceneTitleIntro = 2002,
  kSceneWeaponSelectSetUp = 5000,
  kSceneWeaponSelect = 5001,
  kSceneQuit = 9999,
};

extern int32_t CurrentScene;
extern int32_t SceneFrame;  // frames since the scene began
extern uint8_t GamePaused;
extern int16_t FrameWaitMs;  // minimum milliseconds per frame: 17
// Frames per second as the frame loop last counted them: read from the clock, so shown but
// never game state.
extern int16_t FpsValue;
// Replay playback controls, forced to 0 in every frame outside the play scene.
extern int16_t FastForwardRequest;
extern int16_t FrameSkipPhase;  // 0..7; drawing, presenting and pacing only in phase 0
extern uint8_t ReturnToTitleRequest;
extern int16_t Credits;     // continues left; 9 on every title visit
extern int16_t Difficulty;  // 0 easy, 1 normal, 2 hard, 3 insane
// Per difficulty: pickup and kill unit, item bonus, stage-bonus unit, extra-life step.
extern int32_t ScoreTable[4][4];
extern int16_t YesNoCursor;    // 0 yes, 1 no
extern int16_t SceneWork[5];   // scratch of the front-end scenes; 0 is the ending scroll
extern int32_t HighScores[4];  // per difficulty, from and to the option files

// --- the player and weapon block -------------------------------------------------------------
constexpr int kMainWeapons = 4;
constexpr int kSubWeapons = 6;
constexpr int kChargeWeapons = 3;

// The ship's three hit circles: radius, x offset and y offset of each.
struct PlayerHitTable {
  int16_t size[3];
  int16_t dx[3];
  int16_t dy[3];
};

extern int16_t MainWeaponLevels[kMainWeapons];  // 0..8
extern int16_t SubWeaponLevels[kSubWeapons];
extern int16_t ChargeWeaponLevels[kChargeWeapons];
extern int16_t MainWeaponTimers[kMainWeapons];  // maximum-level timers, 0..3000 frames
extern int16_t SubWeaponTimers[kSubWeapons];
extern int16_t ChargeWeaponTimers[kChargeWeapons];
extern uint8_t MainWeaponUnlocked[kMainWeapons];
extern uint8_t SubWeaponUnlocked[kSubWeapons];
extern uint8_t ChargeWeaponUnlocked[kChargeWeapons];
extern int16_t SelectedMainWeapon;     // 0..3
extern int16_t SelectedSubWeapons[2];  // 0..5, never equal
extern int16_t ActiveSubSlot;          // 0 or 1
extern int16_t SelectedChargeWeapon;   // 0..2
extern int16_t ShipSpeed;              // 0..3
extern int16_t StageBonusCount;        // bonus items of the stage, 10 is PERFECT
extern int16_t ShieldLevel;
extern int16_t ChargeGauge;
extern int16_t Lives;
extern PlayerHitTable PlayerHitCircles;
extern int32_t Score;
extern int32_t ExtendProgress;
extern int16_t ExtendCount;
extern double PlayerX;
extern double PlayerY;
extern double PlayerMoveX;
extern double PlayerMoveY;
extern int16_t StageUnlockId;  // weapon that this stage's clear unlocks, -1 none

int16_t GetDifficulty();

void ResetSharedState();
void DigestSharedState(StateDigest& digest, DigestScope scope);
