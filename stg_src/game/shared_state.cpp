#include "stg_src/game/shared_state.h"

#include <algorithm>
#include <iterator>

#include "stg_src/game/deterministic.h"

int32_t CurrentScene;
int32_t SceneFrame;
uint8_t GamePaused;
int16_t FrameWaitMs;
int16_t FpsValue;
int16_t FastForwardRequest;
int16_t FrameSkipPhase;
uint8_t ReturnToTitleRequest;
int16_t Credits;
int16_t Difficulty;
int32_t ScoreTable[4][4];
int16_t YesNoCursor;
int16_t SceneWork[5];
int32_t HighScores[4];

int16_t MainWeaponLevels[kMainWeapons];
int16_t SubWeaponLevels[kSubWeapons];
int16_t ChargeWeaponLevels[kChargeWeapons];
int16_t MainWeaponTimers[kMainWeapons];
int16_t SubWeaponTimers[kSubWeapons];
int16_t ChargeWeaponTimers[kChargeWeapons];
uint8_t MainWeaponUnlocked[kMainWeapons];
uint8_t SubWeaponUnlocked[kSubWeapons];
uint8_t ChargeWeaponUnlocked[kChargeWeapons];
int16_t SelectedMainWeapon;
int16_t SelectedSubWeapons[2];
int16_t ActiveSubSlot;
int16_t SelectedChargeWeapon;
int16_t ShipSpeed;
int16_t StageBonusCount;
int16_t ShieldLevel;
int16_t ChargeGauge;
int16_t Lives;
PlayerHitTable PlayerHitCircles;
int32_t Score;
int32_t ExtendProgress;
int16_t ExtendCount;
double PlayerX;
double PlayerY;
double PlayerMoveX;
double PlayerMoveY;
int16_t StageUnlockId;

namespace {

template <typename T, size_t N>
void Zero(T (&values)[N]) {
  std::fill(std::begin(values), std::end(values), T{});
}

}  // namespace

int16_t GetDifficulty() { return Difficulty; }

void ResetSharedState() {
  CurrentScene = 0;
  SceneFrame = 0;
  GamePaused = 0;
  FrameWaitMs = 0;
  FpsValue = 0;
  FastForwardRequest = 0;
  FrameSkipPhase = 0;
  ReturnToTitleRequest = 0;
  Credits = 0;
  Difficulty = 0;
  for (auto& row : ScoreTable) Zero(row);
  YesNoCursor = 0;
  Zero(SceneWork);
  Zero(HighScores);

  Zero(MainWeaponLevels);
  Zero(SubWeaponLevels);
  Zero(ChargeWeaponLevels);
  Zero(MainWeaponTimers);
  Zero(SubWeaponTimers);
  Zero(ChargeWeaponTimers);
  Zero(MainWeaponUnlocked);
  Zero(SubWeaponUnlocked);
  Zero(ChargeWeaponUnlocked);
  SelectedMainWeapon = 0;
  Zero(SelectedSubWeapons);
  ActiveSubSlot = 0;
  SelectedChargeWeapon = 0;
  ShipSpeed = 0;
  StageBonusCount = 0;
  ShieldLevel = 0;
  ChargeGauge = 0;
  Lives = 0;
  Zero(PlayerHitCircles.size);
  Zero(PlayerHitCircles.dx);
  Zero(PlayerHitCircles.dy);
  Score = 0;
  ExtendProgress = 0;
  ExtendCount = 0;
  PlayerX = 0;
  PlayerY = 0;
  PlayerMoveX = 0;
  PlayerMoveY = 0;
  StageUnlockId = 0;
}

void DigestSharedState(StateDigest& d, DigestScope scope) {
  // What a replay reproduces: the scene words, the run's settings and the player block.
  DigestValue(d, CurrentScene);
  DigestValue(d, SceneFrame);
  DigestValue(d, GamePaused);
  DigestValue(d, FrameWaitMs);
  DigestValue(d, Credits);
  DigestValue(d, Difficulty);
  DigestArray(d, ScoreTable);
  DigestValue(d, YesNoCursor);
  DigestArray(d, MainWeaponLevels);
  DigestArray(d, SubWeaponLevels);
  DigestArray(d, ChargeWeaponLevels);
  DigestArray(d, MainWeaponTimers);
  DigestArray(d, SubWeaponTimers);
  DigestArray(d, ChargeWeaponTimers);
  DigestArray(d, MainWeaponUnlocked);
  DigestArray(d, SubWeaponUnlocked);
  DigestArray(d, ChargeWeaponUnlocked);
  DigestValue(d, SelectedMainWeapon);
  DigestArray(d, SelectedSubWeapons);
  DigestValue(d, ActiveSubSlot);
  DigestValue(d, SelectedChargeWeapon);
  DigestValue(d, ShipSpeed);
  DigestValue(d, StageBonusCount);
  DigestValue(d, ShieldLevel);
  DigestValue(d, ChargeGauge);
  DigestValue(d, Lives);
  DigestArray(d, PlayerHitCircles.size);
  DigestArray(d, PlayerHitCircles.dx);
  DigestArray(d, PlayerHitCircles.dy);
  DigestValue(d, Score);
  DigestValue(d, ExtendProgress);
  DigestValue(d, ExtendCount);
  DigestValue(d, PlayerX);
  DigestValue(d, PlayerY);
  DigestValue(d, PlayerMoveX);
  DigestValue(d, PlayerMoveY);
  DigestValue(d, StageUnlockId);
  if (scope == DigestScope::Run) return;

  // The rest: a clock reading, the playback controls, scene scratch and the option files' high
  // scores.
  DigestValue(d, FpsValue);
  DigestValue(d, FastForwardRequest);
  DigestValue(d, FrameSkipPhase);
  DigestValue(d, ReturnToTitleRequest);
  DigestArray(d, SceneWork);
  DigestArray(d, HighScores);
}
