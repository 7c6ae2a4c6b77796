// The play field's frame and stage-start words: the stage and its frame number, the boss,
// stage-clear and death count-ups, the per-stage work areas, the screen flashes, the gates the
// pools read, the background parallax constants, and the stage start, object clearing and
// respawn that set them. ResetStageState puts every member back to its value at program start;
// DigestStageState sums them.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

constexpr int kStageWorkSize = 256;
// StageWork entry where stage 6 keeps the pool-3 slot of its walker's far legs plus 100; pool 3
// runs and is drawn on stage 6 only while it is 100 or more.
constexpr int kStageSixCounter = 254;
// A background divisor at or above this marks a fixed axis: no parallax there.
constexpr double kFixedParallaxDivisor = 1000;
// The divisor the stages set on a fixed axis.
constexpr double kFixedAxisDivisor = 9999;

extern int16_t CurrentStage;     // 1..7
extern int32_t GameFrame;        // from -80 (0 on stage 3); the field updates from 0 on
extern uint8_t PlayerActive;     // weapons, ship and shot drawing
extern int16_t StageClearTimer;  // a beaten boss sets 2; the stage clears above 162
extern int16_t DeathTimer;       // 0 alive; KillPlayer sets 1; the respawn after 80
extern int16_t BossState;        // 0 none, 1 fight, -1 beaten; the music slot on stages 1-2
extern int16_t BossType;         // pool-0 type of the boss on screen, -1 none
extern int32_t StageMarker;      // per-stage marker, 10 on stage 5
extern int32_t StageWork[kStageWorkSize];
extern int32_t StageWorkY[kStageWorkSize];
extern int16_t ScreenFlashWhite;  // 0..255
extern int16_t ScreenFlashWhiteStep;
extern int16_t ScreenFlashRed;
extern int16_t ScreenFlashRedStep;
extern uint8_t CancelEnemyShots;
extern int16_t SolidEnemyTimer;
extern int16_t SolidPartTimer;
extern int16_t BackgroundVariant;
extern uint8_t MapRepeatTopRows;  // the loader repeats the main map's first 10 rows below it
extern double BackLayer0DivisorX;
extern double BackLayer0DivisorY;
extern double BackLayer1DivisorX;
extern double BackLayer1DivisorY;
extern int16_t BackLayer0WrapColumns;
extern int16_t BackLayer1WrapColumns;
extern int16_t BackLayer0LoopColumn;
extern int16_t BackLayer1LoopColumn;

// Stage start (1..7): every word to its starting value with the stage's constants, the objects
// cleared, then ResetButtonsForStageStart. Stages 1 and 7 reseed LcgRandom with 1.
void InitStageParameters(int16_t stage);
// Every object array emptied and the boss forgotten.
void ClearAllObjects();
// Last in every unpaused play frame: the death count-up, and on its 81st frame the restart at
// the current checkpoint.
void UpdateRespawn();

void ResetStageState();
void DigestStageState(StateDigest& digest, DigestScope scope);
