#include "stg_src/shell/result_scenes.h"

#include <cstdint>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/input_state.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/deterministic.h"

namespace {

constexpr int32_t kBonusScreenFrames = 900;  // stages 1 and 2
constexpr int32_t kQuietClearFrames = 2;     // from stage 3 on, with no bonus screen
constexpr int32_t kSkipFrom = 121;
constexpr int32_t kSkipTo = 880;
constexpr int16_t kPerfectCount = 10;
constexpr int32_t kQuestionFrom = 120;  // the closing scenes take input after this frame
constexpr int32_t kClosingWait = 900;
constexpr int32_t kClosingLimit = 6000;
constexpr int16_t kNoContinueUsed = 9;

constexpr int16_t kSoundCursor = 24;
constexpr int16_t kSoundConfirm = 25;

bool HasBonusScreen() { return CurrentStage == 1 || CurrentStage == 2; }

bool IsClosingScene(int32_t scene) { return scene >= kSceneContinue && scene <= kSceneEndScreen; }

// Where the run goes after the stage-clear screen.
void LeaveStageClear() {
  if (GetPlayMode() == 2) {
    CurrentScene = kSceneGameEnd;  // practice plays one stage
    return;
  }
  CurrentStage += 1;
  CheckpointIndex = 0;
  if (CurrentStage <= 2) {
    CurrentScene = kSceneWeaponSelectSetUp;  // playback reads the next weapon bytes there
  } else if (DemoPlaying) {
    CurrentScene = kSceneGameEnd;
    Difficulty = DemoSavedDifficulty;
  } else {
    CurrentScene = GetPlayMode() == 1 ? kSceneGameEnd : kSceneStageStart;
  }
}

void FlipYesNo() {
  if (IsRolePressed(kButtonUp) || IsRolePressed(kButtonDown)) {
    RequestSoundEffect(kSoundCursor);
    YesNoCursor = YesNoCursor ? 0 : 1;
  }
}

// After the replay question, or the wait once a continue was used: a game over with credits
// left asks to continue, YES selected and the question live at once; anything else ends.
void HandOver() {
  if (CurrentScene == kSceneGameOver && Credits > 0) {
    CurrentScene = kSceneContinue;
    SceneFrame = kQuestionFrom;
    YesNoCursor = 0;
  } else {
    CurrentScene = kSceneLogoSetUp;
  }
}

void UpdateNormalPlayEnd() {
  const bool shot = IsRolePressed(kButtonShot);
  if (CurrentScene == kSceneContinue) {
    FlipYesNo();
    if (!shot) return;
    RequestSoundEffect(kSoundConfirm);
    if (YesNoCursor == 0) {
      Credits -= 1;
      ReleaseStageAssets();
      ResetRunState();
      CurrentScene = kSceneWeaponSelectSetUp;  // the same stage again
    } else {
      CurrentScene = kSceneLogoSetUp;
    }
  } else if (Credits == kNoContinueUsed) {
    FlipYesNo();
    if (!shot) return;
    RequestSoundEffect(kSoundConfirm);
    if (YesNoCursor == 0) SaveReplayFile();
    HandOver();
  } else if (SceneFrame > kClosingWait || shot) {
    HandOver();
  }
}

}  // namespace

void UpdateStageClearScene() {
  if (SceneFrame == 0) {
    StopAllSoundEffects();
    SaveStartStage(Difficulty, static_cast<int16_t>(CurrentStage + 1));
    ReleaseStageAssets();
    LoadResultAssets();
  }
  SceneFrame += 1;
  if (SceneFrame >= kSkipFrom && SceneFrame < kSkipTo && IsRolePressed(kButtonShot))
    SceneFrame = kSkipTo;
  // Paid once, on the first frame the bonus screen shows.
  if (SceneFrame == 1 && HasBonusScreen()) AddScore(StageBonus(), false);
  if (SceneFrame <= (HasBonusScreen() ? kBonusScreenFrames : kQuietClearFrames)) return;
  ReleaseResultAssets();
  SceneFrame = 0;
  LeaveStageClear();
}

int32_t StageBonus() {
  const int32_t bonus = StageBonusCount * ScoreTable[Difficulty][2];
  return StageBonusCount == kPerfectCount ? bonus * 2 : bonus;
}

void DrawStageClearScene() {}

void UpdateGameOverScene() {
  if (SceneFrame == 0) {
    StopAllSoundEffects();
    StopMusicSlot();
    ReleaseStageAssets();
    if (GetPlayMode() == 0 && Score > HighScores[Difficulty]) {
      HighScores[Difficulty] = Score;
      SaveHighScore(Difficulty);
    }
  }
  SceneFrame += 1;
  if (CurrentScene == kSceneGameOver || CurrentScene == kSceneEndScreen) {
    LoadMusicSet(9);
    SwitchMusicSlot(0);
  }
  if (SceneFrame > kClosingLimit) {
    CurrentScene = kSceneLogoSetUp;
  } else if (SceneFrame > kQuestionFrom) {
    if (GetPlayMode() == 0)
      UpdateNormalPlayEnd();
    else if (IsRolePressed(kButtonShot) || SceneFrame > kClosingWait)
      CurrentScene = kSceneLogoSetUp;
  }
  if (IsClosingScene(CurrentScene)) return;
  if (DemoPlaying && CurrentScene == kSceneLogoSetUp) Difficulty = DemoSavedDifficulty;
  SceneFrame = 0;
}

void DrawGameOverScene() {}
void DrawEndingCredits() {}
