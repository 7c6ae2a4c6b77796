// What the game shell calls of the play field and the play-field words it reads or writes: the
// stage start and load, the seven per-frame updates in the order of the play scene, drawing,
// respawn, score, the trigonometry tables and two small helpers, and the map layers that the
// stage release empties. ResetPlayFieldState puts every word back to its value at program
// start; DigestPlayFieldState sums them.
#pragma once

#include <cstdint>

#include "stg_src/state_digest.h"

// --- calls ---------------------------------------------------------------------------------
// Fills SineTable and CosineTable; once, in the boot scene.
void BuildTrigTables();
// Stage start (1..7): every play-field word to its starting value, then
// ResetButtonsForStageStart.
void InitStageParameters(int16_t stage);
// Loads the stage's sounds, maps and images; 1 on success, anything else makes the shell quit.
uint8_t LoadStage(int16_t stage);
void ComputeStartPowerRank();
// At stage start while CheckpointIndex > 0.
void RestartAtCheckpoint();
// The seven per-frame updates, in this order, while GameFrame >= 0 and the game is not paused.
void SpawnFromEventLayer();
void ScrollAndMovePlayer();
void UpdatePlayerWeapons();  // only while PlayerActive is 1
void UpdateEnemyPools();
void UpdateItemsAndPopups();
void UpdateEnemyShots();
void UpdateEffectsAndShake();
void AdvanceRanks(int32_t event);  // 0 every unpaused play frame
void RunStageEvents(int16_t stage);
// Draws the play frame (also while paused); steps FrameSkipPhase while FastForwardRequest is 1
// and draws nothing while it is not 0; calls DrawEndingCredits last.
void DrawPlayField();
// Last in every unpaused play frame: the death count-up and the respawn.
void UpdateRespawn();
// Adds to Score (at most 99,999,999) and pays extra lives by the difficulty's step unless
// noExtend is set.
void AddScore(int32_t points, bool noExtend);
// value moved toward target by the size of step without passing it.
double ApproachValue(double value, double step, double target);
// An angle of 1024 steps a turn in radians.
double AngleToRadians(int16_t angle);

// --- words -----------------------------------------------------------------------------------
constexpr int kTrigTableSize = 1024;
constexpr int kStageWorkSize = 256;
constexpr int kBackMapRows = 20;
constexpr int kBackMapColumns = 80;
constexpr int kMainMapRows = 80;
constexpr int kMainMapColumns = 640;

extern int16_t CurrentStage;      // 1..7
extern int32_t GameFrame;         // from -80 (0 on stage 3); the field updates from 0 on
extern int16_t BossState;         // 0 none, 1 warning and fight, 2 boss music, -1 beaten
extern int16_t StageClearTimer;   // counts up from 2 once a boss is beaten
extern int16_t DeathTimer;        // 0 while alive
extern uint8_t PlayerActive;      // gates UpdatePlayerWeapons
extern int16_t MapLoopMode;       // 2 becomes 0 after every unpaused play frame
extern int16_t VerticalLoopJump;  // a positive value becomes 0 after the frame
extern double VerticalShift;      // 0 after the frame
extern int16_t CheckpointIndex;   // restart checkpoint of the stage
extern int16_t ScreenFlashWhite;  // white flash level 0..255
extern int16_t TimeRank;          // 0..200
extern int16_t PowerRank;         // 0..200
extern int32_t ShipBankFrame;
extern int16_t SpeedUpTimer;
extern int32_t StageWork[kStageWorkSize];
extern int32_t StageWorkY[kStageWorkSize];
extern double SineTable[kTrigTableSize];
extern double CosineTable[kTrigTableSize];
// Chip numbers (-1 none), tile types (-1 empty) and event values (0 nothing).
extern int32_t BackMapLayer0[kBackMapRows][kBackMapColumns];
extern int32_t BackMapLayer1[kBackMapRows][kBackMapColumns];
extern int32_t MainMapLayer0[kMainMapRows][kMainMapColumns];
extern int32_t MainMapLayer1[kMainMapRows][kMainMapColumns];
extern int32_t CollisionLayer[kMainMapRows][kMainMapColumns];
extern int32_t EventLayer[kMainMapRows][kMainMapColumns];

void ResetPlayFieldState();
void DigestPlayFieldState(StateDigest& digest, DigestScope scope);
