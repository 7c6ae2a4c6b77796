#include "stg_src/shell/front_scenes.h"

#include <algorithm>
#include <cstdint>

#include "runtime/platform/core/log.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/hold_counts.h"
#include "stg_src/shell/input_state.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/scene_assets.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/deterministic.h"

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

void DrawLogoScene() {}

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

void DrawWeaponSelect() {}
