#include "stg_src/shell/hold_counts.h"

#include <algorithm>

#include "runtime/platform/input/input_devices.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr int kEscapeKey = 1;
constexpr int kKeyConfigPage = 6;

// The codes the key-configuration page can assign, in the order they are asked.
constexpr int32_t kAssignableKeys[] = {
    14, 15, 28, 42, 54,  29, 157, 57,  201, 209, 207, 199, 210, 211, 12, 125, 144,
    52, 53, 70, 39, 146, 26, 27,  145, 43,  51,  183, 197, 82,  79,  80, 81,  75,
    76, 77, 71, 72, 73,  55, 78,  74,  83,  181, 156, 30,  48,  46,  32, 18,  33,
    34, 35, 23, 36, 37,  38, 50,  49,  24,  25,  16,  19,  31,  20,  22, 47,  17,
    45, 21, 44, 11, 2,   3,  4,   5,   6,   7,   8,   9,   10};
static_assert(std::size(kAssignableKeys) == 81);

int32_t CountUp(int32_t count) { return count < kHoldCountCap ? count + 1 : kHoldCountCap; }

bool IsPlayback() { return GetPlayMode() == 1 && CurrentScene == kScenePlay; }
bool IsLivePlay() { return GetPlayMode() != 1 && CurrentScene == kScenePlay && GamePaused == 0; }

bool IsAlwaysLiveKey(int code) {
  return code == kEscapeKey || code == KeyConfig[kButtonScreenShot] ||
         code == KeyConfig[kButtonBackToTitle] || code == KeyConfig[kButtonPause];
}

bool IsPadBitDown(int mask, int32_t bit) { return bit >= 0 && bit < 32 && (mask >> bit) & 1; }
bool IsKeyDownIn(const char* states, int32_t code) {
  return code >= 0 && code < kKeyCount && states[code];
}

}  // namespace

void UpdateKeyHoldCounts() {
  char states[kKeyCount] = {};
  GetAllKeyStates(states);
  const bool playback = IsPlayback();
  const bool counting = CurrentScene != kScenePlay || IsLivePlay();
  for (int k = 0; k < kKeyCount; ++k) {
    const bool live = IsAlwaysLiveKey(k);
    if (playback && !live) {
      KeyHoldCounts[k] = 0;
      continue;
    }
    if (!counting && !live) continue;  // paused: the count stands
    KeyHoldCounts[k] = states[k] ? CountUp(KeyHoldCounts[k]) : 0;
  }
}

void UpdateButtonHoldCounts() {
  const int mask = GetPadInputMask(1);
  const bool playback = IsPlayback();
  const int32_t screenShotBit = ButtonPadBits[kButtonScreenShot];

  if (playback) {
    const int byte = std::max(ReadReplayByte(ReplayPosition), 0);
    for (int role = 0; role < kReplayRoleCount; ++role) {
      if (int32_t* count = RoleHoldCount(role)) *count = (byte >> role) & 1 ? CountUp(*count) : 0;
    }
  }

  const bool counting = CurrentScene != kScenePlay || IsLivePlay();
  for (int bit = 0; bit < kPadBitCount; ++bit) {
    if (playback && bit != screenShotBit) continue;  // the replay has set it
    if (!counting && bit != screenShotBit) continue;
    ButtonHoldCounts[bit] = IsPadBitDown(mask, bit) ? CountUp(ButtonHoldCounts[bit]) : 0;
  }

  for (int role = kButtonLeft; role <= kButtonDown; ++role) {
    if (int32_t* count = RoleHoldCount(role))
      RaiseHoldCount(count, GetKeyPairHoldCount(KeyConfig[role], kArrowKeys[role]));
  }
  for (int role = kButtonShot; role <= kButtonWeaponChange; ++role) {
    if (int32_t* count = RoleHoldCount(role))
      RaiseHoldCount(count, GetKeyHoldCount(KeyConfig[role]));
  }

  if (GetPlayMode() == 0 && CurrentScene == kScenePlay && GamePaused == 0) {
    uint8_t byte = 0;
    for (int role = 0; role < kReplayRoleCount; ++role) {
      const int32_t* count = RoleHoldCount(role);
      if (count && *count > 0) byte |= static_cast<uint8_t>(1 << role);
    }
    WriteReplayByte(ReplayPosition, byte);  // nothing once the stream is full
  }

  // After recording: the screenshot is never part of a replay.
  if (int32_t* count = PadHoldCount(screenShotBit))
    RaiseHoldCount(count, GetKeyHoldCount(KeyConfig[kButtonScreenShot]));
}

int32_t GetKeyPairHoldCount(int32_t keyA, int32_t keyB) {
  // On the key-configuration page the configured keys are being reassigned: only the arrows
  // (keyB) move the cursor there.
  if (CurrentScene == kSceneTitleMenu && MenuPage == kKeyConfigPage) return GetKeyHoldCount(keyB);
  return std::max(GetKeyHoldCount(keyA), GetKeyHoldCount(keyB));
}

int32_t RaiseHoldCount(int32_t* count, int32_t value) {
  *count = std::max(*count, value);
  return *count;
}

int16_t ReadPlaybackButtons() {
  char states[kKeyCount] = {};
  GetAllKeyStates(states);
  const int mask = GetPadInputMask(1);
  auto down = [&](int role) {
    return IsPadBitDown(mask, ButtonPadBits[role]) || IsKeyDownIn(states, KeyConfig[role]);
  };
  if (down(kButtonChargeWeapon)) return 2;
  if (down(kButtonShot)) return 1;
  return 0;
}

void UpdateReplayPlaybackInput() {
  if (GetPlayMode() != 1) return;
  // The stream ends as ChargeWeapon ends a replay: the frame that played its last byte runs,
  // and the next returns to the title.
  const int16_t buttons = ReplayPosition >= kReplayBufferSize ? 2 : ReadPlaybackButtons();
  if (buttons == 1 && !DemoPlaying) {
    FastForwardRequest = 1;
  } else if (buttons == 2 || buttons == 1) {
    FastForwardRequest = 0;
    FrameSkipPhase = 0;
    ReturnToTitleRequest = 1;
    if (DemoPlaying) Difficulty = DemoSavedDifficulty;
  } else {
    FastForwardRequest = 0;
    FrameSkipPhase = 0;
  }
}

int32_t GetFirstPressedKey() {
  for (int32_t code : kAssignableKeys)
    if (IsKeyDown(code)) return code;
  return 0;
}
