#include "stg_src/shell/result_scenes.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"

#include "stg_src/field/play_field.h"
#include "stg_src/game/ending_text.h"
#include "stg_src/game/font_text.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/option_files.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/scenes/scene_drawing.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

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

constexpr int kBonusItemRow = 5;   // ItemImages row of the bonus item
constexpr int kUnlockItemRow = 7;  // and of the unlock item

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

void DrawStageClearScene() {
  if (CurrentScene != kSceneStageClear || !HasBonusScreen()) return;
  if (SceneFrame < 1 || SceneFrame > kBonusScreenFrames) return;
  DrawGraphAt(0, 0, WeaponBackImage, 0);
  DrawGraphAt(0, 0, FlatEntry(EnemyImages3, 2), 1);
  DrawSceneText(-5, 75, "       STAGE CLEAR");
  DrawSceneText(-5, 150, "          BONUS");
  DrawGraphAt(123, 185, ItemImages[kBonusItemRow][0], 1);
  char line[64];
  std::snprintf(line, sizeof(line), "          = %2d", StageBonusCount);
  DrawSceneText(23, 190, line);
  const int32_t unit = ScoreTable[Difficulty][2];
  if (StageBonusCount == kPerfectCount) {
    SetDrawBrightness(255, 127, 127);
    DrawSceneText(121, 230, "PERFECT!");
    DrawSceneText(93, 270, "           * 2");
    SetDrawBrightness(255, 255, 255);
    std::snprintf(line, sizeof(line), "%2d * %5d     = %d", StageBonusCount, unit, StageBonus());
    DrawSceneText(93, 270, line);
  } else {
    std::snprintf(line, sizeof(line), "%2d * %5d = %d", StageBonusCount, unit, StageBonus());
    DrawSceneText(93, 230, line);
  }
  if (StageUnlockId >= 0 && StageUnlockId < kWeaponIconCount) {
    DrawGraphAt(190, 352, WeaponIconImages[StageUnlockId], 1);
    DrawGraphAt(0, 350, UnlockedImage, 1);
    DrawGraphAt(115, 366, ItemImages[kUnlockItemRow][0], 1);
  }
}

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

void DrawGameOverScene() {
  if (!IsClosingScene(CurrentScene)) return;
  if (CurrentScene == kSceneGameEnd) DrawSceneText(220, 210, "   GAME END   ");
  if (CurrentScene == kSceneGameOver) DrawSceneText(213, 210, "   GAME OVER   ");
  if (CurrentScene == kSceneEndScreen) DrawSceneText(213, 210, "TO BE CONTINUED");
  SetDrawBrightness(128, 128, 128);
  DrawSceneText(240, 5, "HI-SCORE+");
  DrawFontNumber(240, 5, std::max(HighScores[Difficulty], Score), 17, kSceneTextSize);
  DrawSceneText(5, 5, "SCORE+");
  DrawFontNumber(5, 5, Score, 14, kSceneTextSize);
  const bool continueQuestion = CurrentScene == kSceneContinue;
  const bool replayQuestion = !continueQuestion && SceneFrame > kQuestionFrom &&
                              GetPlayMode() == 0 && Credits == kNoContinueUsed;
  if (continueQuestion) {
    DrawSceneText(360, 423, "CONTINUE?");
    DrawSceneText(360, 443, "CREDIT");
    DrawFontNumber(472, 443, Credits, 1, kSceneTextSize);
  } else if (replayQuestion) {
    DrawSceneText(360, 423, "SAVE REPLAY?");
  }
  if (continueQuestion || replayQuestion) {
    DrawSceneText(576, 423, "YES");
    DrawSceneText(576, 443, "NO");
    DrawSceneText(548, 423 + 20 * YesNoCursor, ">");
  }
  SetDrawBrightness(255, 255, 255);
}

void DrawEndingCredits() {
  if (CurrentStage < 3) return;
  if (GameFrame > 1) {
    // The count comes from the ending text's load; other scenes use the same word.
    const int lines = std::clamp<int>(SceneWork[1], 0, kEndingTextRows);
    for (int i = 0; i < lines; ++i) {
      const int y = 490 + 30 * i - SceneWork[0];
      if (y > 0 && y < 460) DrawSceneText(32, y, EndingTextLines[i]);
    }
  }
  FillSceneBox(0, 0, kScreenWidth, 80, 0, 0, 0);
  FillSceneBox(0, 400, kScreenWidth, kScreenHeight, 0, 0, 0);
  DrawSceneImageCentred(320, 80, 1.0, AlphaBlackImage);
  DrawSceneImageCentred(320, 400, 1.0, AlphaBlackImage);
}
