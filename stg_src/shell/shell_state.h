// The game shell's state: the scene machine and the frame loop, the player and weapon block,
// the words of the front-end scenes and the title menu, the sound words the shell sets, and the
// settings, scores and progress kept in the option files. All in static storage.
// ResetShellState puts every member back to its value at program start (zero);
// DigestShellState sums them.
#pragma once

#include <cstdint>

#include "stg_src/state_digest.h"

// --- scene machine and frame loop --------------------------------------------------------
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
// The pacing and frames-per-second words: read from the clock, so never game state.
extern int32_t LastFrameTime;
extern int16_t FpsValue;
extern int32_t FpsFrameCount;
extern int32_t FpsLastTime;
// Replay playback controls, forced to 0 in every frame outside the play scene.
extern int16_t FastForwardRequest;
extern int16_t FrameSkipPhase;  // 0..7; drawing, presenting and pacing only in phase 0
extern uint8_t ReturnToTitleRequest;
extern uint8_t DemoPlaying;
extern int16_t DemoSavedDifficulty;  // restored when the attract demo ends
extern int16_t Credits;              // continues left; 9 on every title visit
extern int16_t Difficulty;           // 0 easy, 1 normal, 2 hard, 3 insane
extern int16_t MenuCursors[10];      // entry 0, the top menu's row, is the play mode
extern int16_t MenuPage;             // 0..3 menus, 4..7 configuration pages
// Per difficulty: pickup and kill unit, item bonus, stage-bonus unit, extra-life step.
extern int32_t ScoreTable[4][4];
extern uint8_t TitleAssetsLoaded;
extern uint8_t LogoLoaded;
extern uint8_t WeaponSelectAssetsLoaded;
extern uint8_t StageAssetsLoaded;
extern uint8_t ResultAssetsLoaded;

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

// --- front-end scenes, title menu and sound words ----------------------------------------
extern int16_t PracticeStage;
extern int16_t PracticeShotPower;    // 0..8
extern int16_t PracticeSpeed;        // 0..3
extern int16_t SceneWork[5];         // scratch of the front-end scenes; 0 is the ending scroll
extern int16_t IntroBlastFrames[5];  // the title intro's explosion frames on its boss
extern int16_t LastConfigKey;        // key seen on the key page's previous frame
extern int16_t YesNoCursor;          // 0 yes, 1 no
extern int16_t SoundEffectVolume;    // percent
extern int16_t MusicVolume;          // percent
extern int16_t CurrentMusicSet;      // -1 none
extern int16_t CurrentMusicSlot;     // -1 none
extern int16_t MusicFade;            // 0..1000
constexpr int kSoundEffectSlots = 55;
// This frame's effect requests and each slot's retrigger guard (frames until it may be
// requested again). They decide only what is heard, and the guards stand still while effects
// are muted, so a replay does not reproduce them.
extern uint8_t SoundEffectRequests[kSoundEffectSlots];
extern int16_t SoundEffectGuards[kSoundEffectSlots];

// --- scores, progress and the screenshot counter (the option files) -----------------------
extern int32_t HighScores[4];
extern int16_t StartStages[4];  // furthest start stage per difficulty, 1..3
extern int32_t ScreenshotCounter;

void ResetShellState();
void DigestShellState(StateDigest& digest, DigestScope scope);
