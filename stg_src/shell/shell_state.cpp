#include "stg_src/shell/shell_state.h"

#include <algorithm>
#include <iterator>

#include "stg_src/deterministic.h"

int32_t CurrentScene;
int32_t SceneFrame;
uint8_t GamePaused;
int16_t FrameWaitMs;
int32_t LastFrameTime;
int16_t FpsValue;
int32_t FpsFrameCount;
int32_t FpsLastTime;
int16_t FastForwardRequest;
int16_t FrameSkipPhase;
uint8_t ReturnToTitleRequest;
uint8_t DemoPlaying;
int16_t DemoSavedDifficulty;
int16_t Credits;
int16_t Difficulty;
int16_t MenuCursors[10];
int16_t MenuPage;
int32_t ScoreTable[4][4];
uint8_t TitleAssetsLoaded;
uint8_t LogoLoaded;
uint8_t WeaponSelectAssetsLoaded;
uint8_t StageAssetsLoaded;
uint8_t ResultAssetsLoaded;

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

int16_t PracticeStage;
int16_t PracticeShotPower;
int16_t PracticeSpeed;
int16_t SceneWork[5];
int16_t IntroBlastFrames[5];
int16_t LastConfigKey;
int16_t YesNoCursor;
int16_t SoundEffectVolume;
int16_t MusicVolume;
int16_t CurrentMusicSet;
int16_t CurrentMusicSlot;
int16_t MusicFade;
uint8_t SoundEffectRequests[kSoundEffectSlots];
int16_t SoundEffectGuards[kSoundEffectSlots];

int32_t HighScores[4];
int16_t StartStages[4];
int32_t ScreenshotCounter;

namespace {

template <typename T, size_t N>
void Zero(T (&values)[N]) {
  std::fill(std::begin(values), std::end(values), T{});
}

}  // namespace

void ResetShellState() {
  CurrentScene = 0;
  SceneFrame = 0;
  GamePaused = 0;
  FrameWaitMs = 0;
  LastFrameTime = 0;
  FpsValue = 0;
  FpsFrameCount = 0;
  FpsLastTime = 0;
  FastForwardRequest = 0;
  FrameSkipPhase = 0;
  ReturnToTitleRequest = 0;
  DemoPlaying = 0;
  DemoSavedDifficulty = 0;
  Credits = 0;
  Difficulty = 0;
  Zero(MenuCursors);
  MenuPage = 0;
  for (auto& row : ScoreTable) Zero(row);
  TitleAssetsLoaded = 0;
  LogoLoaded = 0;
  WeaponSelectAssetsLoaded = 0;
  StageAssetsLoaded = 0;
  ResultAssetsLoaded = 0;

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

  PracticeStage = 0;
  PracticeShotPower = 0;
  PracticeSpeed = 0;
  Zero(SceneWork);
  Zero(IntroBlastFrames);
  LastConfigKey = 0;
  YesNoCursor = 0;
  SoundEffectVolume = 0;
  MusicVolume = 0;
  CurrentMusicSet = 0;
  CurrentMusicSlot = 0;
  MusicFade = 0;
  Zero(SoundEffectRequests);
  Zero(SoundEffectGuards);

  Zero(HighScores);
  Zero(StartStages);
  ScreenshotCounter = 0;
}

void DigestShellState(StateDigest& d, DigestScope scope) {
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

  // The rest: clock readings, playback controls, how the run was started, menu and scene
  // scratch, loaded sets, sound output and the option files' values.
  DigestValue(d, LastFrameTime);
  DigestValue(d, FpsValue);
  DigestValue(d, FpsFrameCount);
  DigestValue(d, FpsLastTime);
  DigestValue(d, FastForwardRequest);
  DigestValue(d, FrameSkipPhase);
  DigestValue(d, ReturnToTitleRequest);
  DigestValue(d, DemoPlaying);
  DigestValue(d, DemoSavedDifficulty);
  DigestArray(d, MenuCursors);
  DigestValue(d, MenuPage);
  DigestValue(d, TitleAssetsLoaded);
  DigestValue(d, LogoLoaded);
  DigestValue(d, WeaponSelectAssetsLoaded);
  DigestValue(d, StageAssetsLoaded);
  DigestValue(d, ResultAssetsLoaded);
  DigestValue(d, PracticeStage);
  DigestValue(d, PracticeShotPower);
  DigestValue(d, PracticeSpeed);
  DigestArray(d, SceneWork);
  DigestArray(d, IntroBlastFrames);
  DigestValue(d, LastConfigKey);
  DigestValue(d, SoundEffectVolume);
  DigestValue(d, MusicVolume);
  DigestValue(d, CurrentMusicSet);
  DigestValue(d, CurrentMusicSlot);
  DigestValue(d, MusicFade);
  DigestArray(d, SoundEffectRequests);
  DigestArray(d, SoundEffectGuards);
  DigestArray(d, HighScores);
  DigestArray(d, StartStages);
  DigestValue(d, ScreenshotCounter);
}
