#include "stg_src/shell/scene_machine.h"

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/front_scenes.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/result_scenes.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/shell_state.h"
#include "stg_src/shell/stage_load.h"
#include "stg_src/shell/title_menu.h"

#include "stg_src/game/deterministic.h"

namespace {

// Not game state: it only decides the program's exit status.
bool StageLoadFailed = false;

constexpr int kEscapeKey = 1;
constexpr int16_t kFrameWaitMs = 17;
constexpr int16_t kStageClearFrames = 162;
constexpr int16_t kGameOverDeathFrames = 80;
constexpr int16_t kLastStage = 7;

// The weapon that a stage clear earns, by StageUnlockId; any other value earns nothing.
void UnlockStageWeapon(int16_t id) {
  switch (id) {
    case 2:
      MainWeaponUnlocked[2] = 1;
      break;
    case 3:
      MainWeaponUnlocked[3] = 1;
      break;
    case 8:
      SubWeaponUnlocked[4] = 1;
      break;
    case 9:
      SubWeaponUnlocked[5] = 1;
      break;
    case 14:
      ChargeWeaponUnlocked[2] = 1;
      break;
    default:
      break;
  }
}

void RunTitleVisit() {
  CurrentScene = kSceneTitleIntro;  // before the calls, which may read it
  GamePaused = 0;
  ClearReplayFileList(ReplayFiles);
  MenuPage = 0;
  ScreenFlashWhite = 255;
  LoadMusicSet(0);
  SwitchMusicSlot(0);
  DemoPlaying = 0;
  SceneFrame = 1;
  Credits = 9;
  ResetWeaponUnlocks();
  ResetRunState();
  ReleaseStageAssets();
  LoadTitleAssets();
}

void RunStageStart() {
  InitStageParameters(CurrentStage);
  if (LoadStage(CurrentStage) != 1) {
    StageLoadFailed = true;
    CurrentScene = kSceneQuit;
    return;
  }
  // The closing stage plays the good ending's music only when no continue was used.
  const int set = CurrentStage < kLastStage ? CurrentStage : Credits == 9 ? 7 : 8;
  LoadMusicSet(set);
  ComputeStartPowerRank();
  CurrentScene = kScenePlay;
  if (CheckpointIndex > 0) RestartAtCheckpoint();
}

bool IsScene(int32_t first, int32_t last) { return CurrentScene >= first && CurrentScene <= last; }

}  // namespace

int16_t GetPlayMode() { return DemoPlaying ? 1 : MenuCursors[0]; }

bool IsOnConfigPage() { return MenuPage > 3; }

bool EndedOnStageLoadFailure() { return StageLoadFailed; }

void InitGameOnBoot() {
  StageLoadFailed = false;
  GamePaused = 0;
  TitleAssetsLoaded = 0;
  LogoLoaded = 0;
  WeaponSelectAssetsLoaded = 0;
  StageAssetsLoaded = 0;
  ResultAssetsLoaded = 0;
  PracticeStage = 1;
  PracticeShotPower = 0;
  PracticeSpeed = 0;
  FpsValue = 0;
  SceneFrame = 0;
  for (int role = kButtonLeft; role <= kButtonDown; ++role)
    ButtonPadBits[role] = kDefaultPadBits[role];
  CurrentMusicSet = -1;
  CurrentMusicSlot = -1;
  Difficulty = 1;
  DemoSavedDifficulty = Difficulty;

  // The player and weapon block, member by member.
  for (int16_t& v : MainWeaponLevels) v = 0;
  for (int16_t& v : SubWeaponLevels) v = 0;
  for (int16_t& v : ChargeWeaponLevels) v = 0;
  for (int16_t& v : MainWeaponTimers) v = 0;
  for (int16_t& v : SubWeaponTimers) v = 0;
  for (int16_t& v : ChargeWeaponTimers) v = 0;
  for (uint8_t& v : MainWeaponUnlocked) v = 0;
  for (uint8_t& v : SubWeaponUnlocked) v = 0;
  for (uint8_t& v : ChargeWeaponUnlocked) v = 0;
  SelectedMainWeapon = 0;
  SelectedSubWeapons[0] = SelectedSubWeapons[1] = 0;
  ActiveSubSlot = 0;
  SelectedChargeWeapon = 0;
  ShipSpeed = 0;
  StageBonusCount = 0;
  ShieldLevel = 0;
  ChargeGauge = 0;
  Lives = 0;
  PlayerHitCircles = {};
  Score = 0;
  ExtendProgress = 0;
  ExtendCount = 0;
  PlayerX = PlayerY = 0;
  PlayerMoveX = PlayerMoveY = 0;
  StageUnlockId = 0;

  LoadSettings();
  LoadHighScores();
  LoadStartStages();
  LoadScreenshotCounter();
  for (int16_t& cursor : MenuCursors) cursor = 0;
  DemoPlaying = 0;
  FastForwardRequest = 0;
  FrameSkipPhase = 0;
  ReturnToTitleRequest = 0;
  for (int d = 0; d < 4; ++d) {
    ScoreTable[d][0] = (d + 1) * 2500;
    ScoreTable[d][1] = (d + 1) * 10000;
    ScoreTable[d][2] = (d + 1) * 5000;
    ScoreTable[d][3] = (d + 1) * 150000;
  }
}

void ResetWeaponUnlocks() {
  for (int16_t& v : MainWeaponLevels) v = 0;
  for (int16_t& v : SubWeaponLevels) v = 0;
  for (int16_t& v : ChargeWeaponLevels) v = 0;
  for (uint8_t& v : MainWeaponUnlocked) v = 0;
  for (uint8_t& v : SubWeaponUnlocked) v = 0;
  for (uint8_t& v : ChargeWeaponUnlocked) v = 0;
  MainWeaponUnlocked[0] = MainWeaponUnlocked[1] = 1;
  for (int i = 0; i <= 3; ++i) SubWeaponUnlocked[i] = 1;
  ChargeWeaponUnlocked[0] = ChargeWeaponUnlocked[1] = 1;
  ShipSpeed = 0;
}

void ResetRunState() {
  Score = 0;
  ExtendProgress = 0;
  ExtendCount = 0;
  TimeRank = 0;
  PowerRank = 0;
  SelectedMainWeapon = 0;
  SelectedSubWeapons[0] = 0;
  SelectedSubWeapons[1] = 1;
  ActiveSubSlot = 0;
  SelectedChargeWeapon = 0;
  StageBonusCount = 0;
  Lives = 3;
  PlayerHitCircles = {{6, 3, 3}, {0, 9, -9}, {0, 0, 0}};
  ShieldLevel = 0;
}

void ReleaseSceneAssets() {
  ReleaseTitleAssets();
  ReleaseLogoImage();
  ReleaseWeaponSelectAssets();
  ReleaseEnemyCommonAssets();
  ReleaseStageAssets();
  ReleaseResultAssets();
}

void UpdateFrameInput() {
  UpdateKeyHoldCounts();
  UpdateButtonHoldCounts();
  // The stream stops at its end: recording writes no further and playback ends there.
  if (CurrentScene == kScenePlay && GamePaused == 0 && ReplayPosition < kReplayBufferSize)
    ReplayPosition += 1;
}

void RunSceneStep() {
  switch (CurrentScene) {
    case kSceneBoot:
      BuildTrigTables();
      InitGameOnBoot();
      LoadCommonAssets();
      CurrentScene = kSceneLogoSetUp;
      break;
    case kSceneLogoSetUp:
      LoadLogoImage();
      LoadMusicSet(0);
      SceneFrame = 0;
      CurrentScene = kSceneLogo;
      break;
    case kSceneLogo:
      UpdateLogoScene();
      DrawLogoScene();
      break;
    case kSceneTitleVisit:
      RunTitleVisit();
      break;
    case kSceneTitleIntro:
      UpdateTitleIntro();
      DrawTitleIntro();
      EndTitleIntroFrame();
      break;
    case kSceneTitleMenu:
      StopMusicSlot();
      GamePaused = 0;
      UpdateTitleMenu();
      DrawTitleMenu();
      EndTitleMenuFrame();
      SceneFrame += 1;
      CheckpointIndex = 0;
      break;
    case kSceneWeaponSelectSetUp:
      if (GetPlayMode() != 1) {
        LoadMusicSet(10);
        SwitchMusicSlot(0);
      }
      LoadWeaponSelectAssets();
      SceneFrame = 0;
      CurrentScene = kSceneWeaponSelect;
      break;
    case kSceneWeaponSelect:
      UpdateWeaponSelect();
      DrawWeaponSelect();
      break;
    case kSceneStageStart:
      RunStageStart();
      break;
    case kScenePlay:
      RunPlayScene();
      break;
    case kSceneStageClear:
      UpdateStageClearScene();
      DrawStageClearScene();
      MusicFade = 1000;
      break;
    case kSceneContinue:
    case kSceneGameEnd:
    case kSceneGameOver:
    case kSceneEndScreen:
      UpdateGameOverScene();
      DrawGameOverScene();
      break;
    default:
      break;
  }
}

void RunPlayScene() {
  if (GetPlayMode() != 1 && GetKeyHoldCount(KeyConfig[kButtonPause]) == 1)
    GamePaused = GamePaused ? 0 : 1;
  if (!GamePaused) {
    UpdateReplayPlaybackInput();
    if (GameFrame >= 0) UpdatePlayField();
    if (MapLoopMode == 2) MapLoopMode = 0;
    if (VerticalLoopJump > 0) VerticalLoopJump = 0;
    VerticalShift = 0.0;
  }
  DrawPlayField();
  // Only stages 1 and 2 take their music slot from the boss state here; the warning's end moves
  // the fight on.
  if (CurrentStage < 3 && DeathTimer == 0 && SwitchMusicSlot(BossState)) BossState = 2;
  if (GamePaused) return;

  GameFrame += 1;
  // The stage-7 script may have started the end screen this frame: its frame 0 is its set-up
  // (the high score saved), so it is not counted as a play frame.
  if (CurrentScene == kScenePlay) SceneFrame += 1;
  if (StageClearTimer >= 2) {
    StageClearTimer = DeathTimer == 0 ? StageClearTimer + 1 : 0;
    if (StageClearTimer > kStageClearFrames && Lives > 0) {
      SceneFrame = 0;
      UnlockStageWeapon(StageUnlockId);
      CurrentScene = kSceneStageClear;
    }
  }
  if (Lives <= 0 && DeathTimer >= kGameOverDeathFrames) {
    SceneFrame = 0;
    CurrentScene = kSceneGameOver;
  }
  UpdateRespawn();
}

FrameStep RunQuitTest() {
  const bool escape = GetKeyHoldCount(kEscapeKey) == 1;
  const bool backToTitle =
      GetKeyHoldCount(KeyConfig[kButtonBackToTitle]) == 1 || ReturnToTitleRequest == 1;
  if (CurrentScene != kSceneQuit && !escape && !backToTitle) return FrameStep::Continue;

  LoadMusicSet(0);
  if (DemoPlaying) Difficulty = DemoSavedDifficulty;
  // Back to the title means nothing in the boot, logo, intro and title scenes; the frame is
  // neither shot nor presented, and an Esc pressed with it is not acted on.
  if (backToTitle &&
      (CurrentScene <= kSceneTitleMenu || IsScene(kSceneLogoSetUp, kSceneTitleIntro)))
    return FrameStep::NextIteration;
  StopAllSoundEffects();
  ReleaseSceneAssets();
  if (CurrentScene == kSceneQuit || escape) return FrameStep::LeaveLoop;
  ReturnToTitleRequest = 0;
  CurrentScene = kSceneTitleVisit;
  return FrameStep::Continue;
}

FrameStep RunFrameBody() {
  ClearSoundEffectRequests();
  if (CurrentScene != kScenePlay) {
    FastForwardRequest = 0;
    FrameSkipPhase = 0;
    ReturnToTitleRequest = 0;
    FrameWaitMs = kFrameWaitMs;
  }
  RunSceneStep();
  PlayRequestedSoundEffects();
  return RunQuitTest();
}
