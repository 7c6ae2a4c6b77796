#include "stg_src/shell/front_scenes.h"

#include <algorithm>
#include <cstdint>

#include <cstdio>

#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/platform/core/log.h"
#include "stg_src/game/font_text.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/scenes/scene_drawing.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

// Logo: SceneWork[0] is the fade state, [2] the black overlay's alpha.
constexpr int16_t kLogoShowing = -1;
constexpr int32_t kLogoStandFrames = 80;
constexpr int16_t kLogoFadeStep = 5;

// Weapon select: SceneWork[0] is the step.
constexpr int32_t kWeaponSelectFrames = 1800;
constexpr int16_t kLastStep = 3;

constexpr int16_t kSoundCursor = 24;
constexpr int16_t kSoundConfirm = 25;
constexpr int16_t kSoundCancel = 26;

bool ShotOrChargePressed() {
  return IsRolePressed(kButtonShot) || IsRolePressed(kButtonChargeWeapon);
}

// The choice the step edits, its entry count and unlock flags.
struct WeaponRow {
  int16_t* choice;
  int count;
  const uint8_t* unlocked;
};

WeaponRow RowOfStep(int16_t step) {
  switch (step) {
    case 0:
      return {&SelectedMainWeapon, kMainWeapons, MainWeaponUnlocked};
    case 1:
      return {&SelectedSubWeapons[0], kSubWeapons, SubWeaponUnlocked};
    case 2:
      return {&SelectedSubWeapons[1], kSubWeapons, SubWeaponUnlocked};
    default:
      return {&SelectedChargeWeapon, kChargeWeapons, ChargeWeaponUnlocked};
  }
}

// The next unlocked entry in the direction, wrapping; the second sub weapon passes over the
// first. One turn at most: with nothing else to take the choice stays.
void MoveWeaponChoice(int16_t step, int direction) {
  const WeaponRow row = RowOfStep(step);
  for (int i = 1; i < row.count; ++i) {
    const int candidate = ((*row.choice + direction * i) % row.count + row.count) % row.count;
    if (!row.unlocked[candidate]) continue;
    if (step == 2 && candidate == SelectedSubWeapons[0]) continue;
    *row.choice = static_cast<int16_t>(candidate);
    return;
  }
}

// The second sub weapon may not equal the first: it moves up by one (not asking whether that
// one is unlocked, as replays already hold the result).
void SeparateSubWeapons() {
  if (SelectedSubWeapons[1] == SelectedSubWeapons[0])
    SelectedSubWeapons[1] = static_cast<int16_t>((SelectedSubWeapons[1] + 1) % kSubWeapons);
}

// Playback takes the four bytes the run recorded. A set that is not one the weapon select
// could have made (a damaged or foreign file, or the stream's end) ends the playback before
// any play frame.
void ReadRecordedWeapons() {
  int16_t weapons[4];
  if (!ReadReplayWeaponBytes(weapons)) {
    LogPrintf("Replay stream ends at %d before its weapon bytes: the playback ends",
              static_cast<int>(ReplayPosition));
    ReturnToTitleRequest = 1;
    return;
  }
  if (!IsValidWeaponSet(weapons)) {
    LogPrintf("Replay weapon bytes %d %d %d %d are not a weapon set: the playback ends", weapons[0],
              weapons[1], weapons[2], weapons[3]);
    ReturnToTitleRequest = 1;
    return;
  }
  SelectedMainWeapon = weapons[0];
  SelectedSubWeapons[0] = weapons[1];
  SelectedSubWeapons[1] = weapons[2];
  SelectedChargeWeapon = weapons[3];
  CurrentScene = kSceneStageStart;
}

void UpdateWeaponChoice() {
  int16_t& step = SceneWork[0];
  if (IsRolePressed(kButtonLeft)) {
    RequestSoundEffect(kSoundCursor);
    MoveWeaponChoice(step, -1);
  } else if (IsRolePressed(kButtonRight)) {
    RequestSoundEffect(kSoundCursor);
    MoveWeaponChoice(step, 1);
  } else if (IsRolePressed(kButtonShot)) {
    RequestSoundEffect(kSoundConfirm);
    if (step == kLastStep) {
      CurrentScene = kSceneStageStart;
    } else {
      step += 1;
      if (step == 2) SeparateSubWeapons();
    }
  } else if (IsRolePressed(kButtonChargeWeapon)) {
    RequestSoundEffect(kSoundCancel);
    if (step > 0) step -= 1;
  }
}

// The weapon select's four rows as drawn: the second sub weapon's row repeats the first's
// weapons. Icons are WeaponIconImages entries iconBase + i.
struct WeaponRowLook {
  int y;
  int iconBase;
  int count;
  const uint8_t* unlocked;
  const int16_t* levels;
  const int16_t* timers;
  const int16_t* choice;
  uint8_t r, g, b;  // the level bar's colour
};

const WeaponRowLook kWeaponRows[4] = {
    {71, 0, kMainWeapons, MainWeaponUnlocked, MainWeaponLevels, MainWeaponTimers,
     &SelectedMainWeapon, 139, 3, 20},
    {183, 4, kSubWeapons, SubWeaponUnlocked, SubWeaponLevels, SubWeaponTimers,
     &SelectedSubWeapons[0], 9, 252, 110},
    {279, 4, kSubWeapons, SubWeaponUnlocked, SubWeaponLevels, SubWeaponTimers,
     &SelectedSubWeapons[1], 9, 252, 110},
    {391, 12, kChargeWeapons, ChargeWeaponUnlocked, ChargeWeaponLevels, ChargeWeaponTimers,
     &SelectedChargeWeapon, 233, 255, 25},
};

constexpr int kIconX = 64;
constexpr int kIconStep = 96;
constexpr int kMaxLevel = 8;
constexpr int kMaxLevelTimer = 3000;
constexpr int kBarWidth = 54;

// Below level 8 a block per level; at 8 the maximum-level timer as a gauge marked MAX.
void DrawLevelBar(const WeaponRowLook& row, int i) {
  const int x = 69 + kIconStep * i;
  const int top = row.y + 54;
  const int bottom = row.y + 69;
  const int level = row.levels[i];
  if (level < kMaxLevel) {
    for (int k = 0; k < level; ++k)
      FillSceneBox(x + 7 * k, row.y + 55, x + 7 * k + 5, bottom, row.r, row.g, row.b);
    return;
  }
  const int timer = std::clamp<int>(row.timers[i], 0, kMaxLevelTimer);
  FillSceneBox(x, top, x + kBarWidth, bottom, 0, 3, 19);
  DrawBoxOutline(x, top, x + kBarWidth, bottom, MakeColorValue(row.r, row.g, row.b));
  FillSceneBox(x, top, x + timer * kBarWidth / kMaxLevelTimer, bottom, row.r, row.g, row.b);
  DrawSceneText(72 + kIconStep * i, top - 2, "MAX");
}

}  // namespace

void UpdateLogoScene() {
  int16_t& state = SceneWork[0];
  int16_t& level = SceneWork[2];
  if (SceneFrame == 0) state = kLogoShowing;
  SceneFrame += 1;
  if (SceneFrame < kLogoStandFrames) {
    level = static_cast<int16_t>(std::max(level - kLogoFadeStep, 0));
  } else if (state == kLogoShowing) {
    level = static_cast<int16_t>(level + kLogoFadeStep);
    if (level >= 256) {
      level = 0;
      state = 0;
    }
  } else {
    CurrentScene = kSceneTitleVisit;  // the frame after the fade-out
  }
  if (ShotOrChargePressed()) CurrentScene = kSceneTitleVisit;
  if (CurrentScene != kSceneLogo) {
    SceneFrame = 0;
    ReleaseLogoImage();
  }
}

void DrawLogoScene() {
  if (CurrentScene != kSceneLogo) return;
  if (SceneWork[0] == kLogoShowing) DrawSceneImageCentred(320, 240, 1.0, SceneImage);
  FillSceneScreen(0, 0, 0, kSceneAlphaBlend, SceneWork[2]);
}

void UpdateWeaponSelect() {
  if (SceneFrame == 0) SceneWork[0] = 0;
  SceneFrame += 1;
  if (SceneFrame > kWeaponSelectFrames) {
    CurrentScene = kSceneStageStart;
    // Time ran out before the second sub weapon was confirmed: the rule of its step still
    // holds, so that the recorded set is one the playback takes.
    SeparateSubWeapons();
  }
  if (GetPlayMode() == 1)
    ReadRecordedWeapons();
  else if (CurrentScene == kSceneWeaponSelect)
    UpdateWeaponChoice();
  if (CurrentScene == kSceneWeaponSelect) return;

  if (GetPlayMode() == 0) {
    const int16_t chosen[4] = {SelectedMainWeapon, SelectedSubWeapons[0], SelectedSubWeapons[1],
                               SelectedChargeWeapon};
    WriteReplayWeaponBytes(chosen);  // nothing once the stream is full
  }
  ActiveSubSlot = 0;
  SceneFrame = 0;
  ReleaseWeaponSelectAssets();
}

void DrawWeaponSelect() {
  if (CurrentScene != kSceneWeaponSelect) return;
  DrawGraphAt(0, 0, SceneImage, 0);
  DrawSceneText(32, 16, "weapon select");
  char timer[16];
  std::snprintf(timer, sizeof(timer), "TIME %02d",
                std::max<int>((kWeaponSelectFrames - SceneFrame) / 60, 0));
  DrawSceneText(280, 16, timer);
  DrawSceneText(48, 51, "main weapon");
  DrawSceneText(48, 163, "primary sub weapon");
  DrawSceneText(48, 259, "secondary sub weapon");
  DrawSceneText(48, 371, "charge weapon");
  const int blink = (SceneFrame / 6) % 2;
  for (int r = 0; r < 4; ++r) {
    const WeaponRowLook& row = kWeaponRows[r];
    for (int i = 0; i < row.count; ++i) {
      if (!row.unlocked[i]) continue;
      DrawGraphAt(kIconX + kIconStep * i, row.y, WeaponIconImages[row.iconBase + i], 1);
      DrawLevelBar(row, i);
    }
    const int x = kIconX + kIconStep * *row.choice;
    DrawGraphAt(x, row.y, FlatEntry(EnemyImages3, 0), 1);
    if (r == SceneWork[0]) DrawGraphAt(x, row.y, FlatEntry(EnemyImages3, blink), 1);
  }
}
