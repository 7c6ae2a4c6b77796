// The empty play field: a stage starts, loads and runs its frames with nothing in it. The
// stage start sets the words the shell relies on, the load succeeds for stages 1..7, drawing
// steps the fast-forward phase, and score, the trigonometry tables and the two helpers work;
// every other update does nothing.
#include <algorithm>
#include <cmath>
#include <iterator>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/result_scenes.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/deterministic.h"

int16_t CurrentStage;
int32_t GameFrame;
int16_t BossState;
int16_t StageClearTimer;
int16_t DeathTimer;
uint8_t PlayerActive;
int16_t MapLoopMode;
int16_t VerticalLoopJump;
double VerticalShift;
int16_t CheckpointIndex;
int16_t ScreenFlashWhite;
int16_t TimeRank;
int16_t PowerRank;
int32_t ShipBankFrame;
int16_t SpeedUpTimer;
int32_t StageWork[kStageWorkSize];
int32_t StageWorkY[kStageWorkSize];
double SineTable[kTrigTableSize];
double CosineTable[kTrigTableSize];
int32_t BackMapLayer0[kBackMapRows][kBackMapColumns];
int32_t BackMapLayer1[kBackMapRows][kBackMapColumns];
int32_t MainMapLayer0[kMainMapRows][kMainMapColumns];
int32_t MainMapLayer1[kMainMapRows][kMainMapColumns];
int32_t CollisionLayer[kMainMapRows][kMainMapColumns];
int32_t EventLayer[kMainMapRows][kMainMapColumns];

namespace {

constexpr int32_t kScoreCap = 99999999;

template <typename T, size_t N>
void Zero(T (&values)[N]) {
  std::fill(std::begin(values), std::end(values), T{});
}

template <size_t Rows, size_t Columns>
void ZeroLayer(int32_t (&layer)[Rows][Columns]) {
  for (auto& row : layer) Zero(row);
}

}  // namespace

void BuildTrigTables() {
  // The step is pi rounded to 13 decimals over 512, and the argument is accumulated by
  // addition: replays depend on these exact table values.
  const double step = 3.1415926535898 / 512;
  double t = 0.0;
  for (int i = 0; i < kTrigTableSize; ++i) {
    SineTable[i] = std::sin(t);
    CosineTable[i] = std::cos(t);
    t += step;
  }
  SineTable[0] = SineTable[512] = 0.0;
  CosineTable[256] = CosineTable[768] = 0.0;
}

void InitStageParameters(int16_t stage) {
  SceneFrame = 0;
  GameFrame = stage == 3 ? 0 : -80;
  BossState = 0;
  StageClearTimer = 0;
  DeathTimer = 0;
  GamePaused = 0;
  YesNoCursor = 1;
  FastForwardRequest = 0;
  FrameSkipPhase = 0;
  ReturnToTitleRequest = 0;
  FrameWaitMs = 17;
  StageBonusCount = 0;
  StageUnlockId = -1;
  ScreenFlashWhite = 0;
  PlayerActive = stage == 1 || stage == 7 ? 0 : 1;
  Zero(StageWork);
  Zero(StageWorkY);
  ResetButtonsForStageStart();
}

uint8_t LoadStage(int16_t stage) {
  if (stage < 1 || stage > 7) return 0;
  LoadStageEnemyAssets(stage);
  StageAssetsLoaded = 1;
  return 1;
}

void ComputeStartPowerRank() {}
void RestartAtCheckpoint() {}
void SpawnFromEventLayer() {}
void ScrollAndMovePlayer() {}
void UpdatePlayerWeapons() {}
void UpdateEnemyPools() {}
void UpdateItemsAndPopups() {}
void UpdateEnemyShots() {}
void UpdateEffectsAndShake() {}
void AdvanceRanks(int32_t) {}
void RunStageEvents(int16_t) {}

void DrawPlayField() {
  if (FastForwardRequest == 1) FrameSkipPhase = static_cast<int16_t>((FrameSkipPhase + 1) % 8);
  DrawEndingCredits();
}

void UpdateRespawn() {}

void AddScore(int32_t points, bool noExtend) {
  if (points < 0) return;
  Score = static_cast<int32_t>(std::min<int64_t>(int64_t{Score} + points, kScoreCap));
  ExtendProgress =
      static_cast<int32_t>(std::min<int64_t>(int64_t{ExtendProgress} + points, INT32_MAX));
  const int32_t step = Difficulty >= 0 && Difficulty < 4 ? ScoreTable[Difficulty][3] : 0;
  // Every step crossed is taken off the progress; lives are paid while fewer than 7 were.
  while (step > 0 && ExtendProgress >= step) {
    ExtendProgress -= step;
    if (ExtendCount < 7 && !noExtend) {
      ExtendCount += 1;
      RequestSoundEffect(42);
      Lives += 1;
    }
  }
}

double ApproachValue(double value, double step, double target) {
  if (target > value) step = std::fabs(step);
  if (target < value) step = -std::fabs(step);
  value += step;
  if (step > 0 && value > target) value = target;
  if (step <= 0 && value < target) value = target;
  return value;
}

double AngleToRadians(int16_t angle) { return (angle % 1024) * 0.006135; }

void ResetPlayFieldState() {
  CurrentStage = 0;
  GameFrame = 0;
  BossState = 0;
  StageClearTimer = 0;
  DeathTimer = 0;
  PlayerActive = 0;
  MapLoopMode = 0;
  VerticalLoopJump = 0;
  VerticalShift = 0;
  CheckpointIndex = 0;
  ScreenFlashWhite = 0;
  TimeRank = 0;
  PowerRank = 0;
  ShipBankFrame = 0;
  SpeedUpTimer = 0;
  Zero(StageWork);
  Zero(StageWorkY);
  Zero(SineTable);
  Zero(CosineTable);
  ZeroLayer(BackMapLayer0);
  ZeroLayer(BackMapLayer1);
  ZeroLayer(MainMapLayer0);
  ZeroLayer(MainMapLayer1);
  ZeroLayer(CollisionLayer);
  ZeroLayer(EventLayer);
}

void DigestPlayFieldState(StateDigest& d, DigestScope scope) {
  DigestValue(d, CurrentStage);
  DigestValue(d, GameFrame);
  DigestValue(d, BossState);
  DigestValue(d, StageClearTimer);
  DigestValue(d, DeathTimer);
  DigestValue(d, PlayerActive);
  DigestValue(d, MapLoopMode);
  DigestValue(d, VerticalLoopJump);
  DigestValue(d, VerticalShift);
  DigestValue(d, CheckpointIndex);
  DigestValue(d, ScreenFlashWhite);
  DigestValue(d, TimeRank);
  DigestValue(d, PowerRank);
  DigestValue(d, ShipBankFrame);
  DigestValue(d, SpeedUpTimer);
  DigestArray(d, StageWork);
  DigestArray(d, StageWorkY);
  if (scope == DigestScope::Run) return;
  // Filled once at boot and by the stage load: the same in every frame of a run.
  DigestArray(d, SineTable);
  DigestArray(d, CosineTable);
  DigestArray(d, BackMapLayer0);
  DigestArray(d, BackMapLayer1);
  DigestArray(d, MainMapLayer0);
  DigestArray(d, MainMapLayer1);
  DigestArray(d, CollisionLayer);
  DigestArray(d, EventLayer);
}
