#include "stg_src/field/stage_state.h"

#include <algorithm>
#include <cstring>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/items_and_popups.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/shots/player_shots.h"
#include "stg_src/game/input_state.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

int16_t CurrentStage;
int32_t GameFrame;
uint8_t PlayerActive;
int16_t StageClearTimer;
int16_t DeathTimer;
int16_t BossState;
int16_t BossType;
int32_t StageMarker;
int32_t StageWork[kStageWorkSize];
int32_t StageWorkY[kStageWorkSize];
int16_t ScreenFlashWhite;
int16_t ScreenFlashWhiteStep;
int16_t ScreenFlashRed;
int16_t ScreenFlashRedStep;
uint8_t CancelEnemyShots;
int16_t SolidEnemyTimer;
int16_t SolidPartTimer;
int16_t BackgroundVariant;
uint8_t MapRepeatTopRows;
double BackLayer0DivisorX;
double BackLayer0DivisorY;
double BackLayer1DivisorX;
double BackLayer1DivisorY;
int16_t BackLayer0WrapColumns;
int16_t BackLayer1WrapColumns;
int16_t BackLayer0LoopColumn;
int16_t BackLayer1LoopColumn;

namespace {

constexpr double kFixed = kFixedAxisDivisor;
constexpr int kDeathFrames = 80;

// What a stage sets over the defaults at its start.
struct StageConstants {
  double layer0DivisorX, layer0DivisorY, layer1DivisorX, layer1DivisorY;
  int16_t wrapColumns0, wrapColumns1, loopColumn0, loopColumn1;
  int16_t bossState;
  bool reseedRandom;
  uint8_t playerActive;
  uint8_t repeatTopRows;
  int32_t stageMarker;
};

constexpr StageConstants kStageConstants[7] = {
    {4, kFixed, 2, 2, 12, 12, 0, 0, -1, true, 0, 0, 0},
    {8, kFixed, 4, 4, 24, 24, 12, 12, 0, false, 1, 1, 0},
    {20, 20, 4, 4, 12, 12, 0, 0, 0, false, 1, 0, 0},
    {0.3, kFixed, 0.15, kFixed, 12, 12, 0, 0, 0, false, 1, 0, 0},
    {8, kFixed, 4, 4, 24, 24, 12, 12, 0, false, 1, 1, 10},
    {5.9, 5.9, 8.5, 8.5, 12, 12, 0, 0, 0, false, 1, 0, 0},
    {24, 24, 12, 12, 12, 12, 0, 0, 0, true, 0, 0, 0},
};

// A stage outside 1..7 keeps the defaults.
constexpr StageConstants kDefaultConstants = {8, 8, 4, 4, 24, 24, 0, 0, 0, false, 1, 0, 0};

}  // namespace

void InitStageParameters(int16_t stage) {
  YesNoCursor = 1;
  SceneFrame = 0;
  GameFrame = stage == 3 ? 0 : -80;
  BossState = 0;
  GamePaused = 0;
  SolidEnemyTimer = 0;
  SolidPartTimer = 0;
  std::ranges::fill(StageWork, 0);
  std::ranges::fill(StageWorkY, 0);

  const StageConstants& c =
      stage >= 1 && stage <= 7 ? kStageConstants[stage - 1] : kDefaultConstants;
  BackLayer0DivisorX = c.layer0DivisorX;
  BackLayer0DivisorY = c.layer0DivisorY;
  BackLayer1DivisorX = c.layer1DivisorX;
  BackLayer1DivisorY = c.layer1DivisorY;
  BackLayer0WrapColumns = c.wrapColumns0;
  BackLayer1WrapColumns = c.wrapColumns1;
  BackLayer0LoopColumn = c.loopColumn0;
  BackLayer1LoopColumn = c.loopColumn1;
  MapRepeatTopRows = c.repeatTopRows;
  StageMarker = c.stageMarker;
  PlayerActive = c.playerActive;
  BossState = c.bossState;
  if (c.reseedRandom) SeedLcgRandom(1);

  ClearAllObjects();
  // The stage script sets the drift from GameFrame 0 on; nothing of an earlier run's is left.
  EffectDriftX = 0;

  DeathTimer = 0;
  PlayerPushedDown = 0;
  PlayerMoveX = 0;
  PlayerMoveY = 0;
  StageClearTimer = 0;
  ScreenFlashRed = 0;
  ScreenFlashRedStep = 0;
  ScreenFlashWhite = 0;
  ScreenFlashWhiteStep = -4;
  BackgroundVariant = 0;
  FastForwardRequest = 0;
  FrameSkipPhase = 0;
  ReturnToTitleRequest = 0;
  FrameWaitMs = 17;
  CancelEnemyShots = 0;
  StageBonusCount = 0;
  StageUnlockId = -1;
  ResetButtonsForStageStart();
}

void ClearAllObjects() {
  BossType = -1;
  ResetEnemyPools();
  ResetEnemyShots();
  ResetPlayerShots();
  ResetItemsAndPopups();
  std::memset(Effects, 0, sizeof(Effects));
  ScreenFlashRed = 0;
  ScreenFlashRedStep = 0;
  ScreenShake = {};
}

void UpdateRespawn() {
  if (DeathTimer == 0) return;
  PlayerActive = 1;
  DeathTimer += 1;
  if (DeathTimer <= kDeathFrames) return;
  DeathTimer = 0;
  BossState = 0;
  ClearAllObjects();
  GameFrame = Lives != 0 ? -80 : 0;
  StageClearTimer = 0;
  PlacePlayerAtStart();
}

void ResetStageState() {
  CurrentStage = 0;
  GameFrame = 0;
  PlayerActive = 0;
  StageClearTimer = 0;
  DeathTimer = 0;
  BossState = 0;
  BossType = 0;
  StageMarker = 0;
  std::ranges::fill(StageWork, 0);
  std::ranges::fill(StageWorkY, 0);
  ScreenFlashWhite = 0;
  ScreenFlashWhiteStep = 0;
  ScreenFlashRed = 0;
  ScreenFlashRedStep = 0;
  CancelEnemyShots = 0;
  SolidEnemyTimer = 0;
  SolidPartTimer = 0;
  BackgroundVariant = 0;
  MapRepeatTopRows = 0;
  BackLayer0DivisorX = 0;
  BackLayer0DivisorY = 0;
  BackLayer1DivisorX = 0;
  BackLayer1DivisorY = 0;
  BackLayer0WrapColumns = 0;
  BackLayer1WrapColumns = 0;
  BackLayer0LoopColumn = 0;
  BackLayer1LoopColumn = 0;
}

void DigestStageState(StateDigest& d, DigestScope) {
  DigestValue(d, CurrentStage);
  DigestValue(d, GameFrame);
  DigestValue(d, PlayerActive);
  DigestValue(d, StageClearTimer);
  DigestValue(d, DeathTimer);
  // The shell sets 2 when the warning music has played out, which the audio clock decides.
  DigestValue(d, BossState == 2 ? int16_t{1} : BossState);
  DigestValue(d, BossType);
  DigestValue(d, StageMarker);
  DigestArray(d, StageWork);
  DigestArray(d, StageWorkY);
  DigestValue(d, ScreenFlashWhite);
  DigestValue(d, ScreenFlashWhiteStep);
  DigestValue(d, ScreenFlashRed);
  DigestValue(d, ScreenFlashRedStep);
  DigestValue(d, CancelEnemyShots);
  DigestValue(d, SolidEnemyTimer);
  DigestValue(d, SolidPartTimer);
  DigestValue(d, BackgroundVariant);
  DigestValue(d, MapRepeatTopRows);
  DigestValue(d, BackLayer0DivisorX);
  DigestValue(d, BackLayer0DivisorY);
  DigestValue(d, BackLayer1DivisorX);
  DigestValue(d, BackLayer1DivisorY);
  DigestValue(d, BackLayer0WrapColumns);
  DigestValue(d, BackLayer1WrapColumns);
  DigestValue(d, BackLayer0LoopColumn);
  DigestValue(d, BackLayer1LoopColumn);
}
