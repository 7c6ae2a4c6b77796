#include "stg_src/game/sound_requests.h"

#include <algorithm>
#include <iterator>

#include "runtime/sound/sound_handles.h"
#include "stg_src/game/sound_test_hooks.h"

#include "stg_src/game/deterministic.h"

int32_t SoundEffectHandles[kSoundEffectSlots];
int32_t MusicHandles[kMusicSlots];
int32_t MusicPlayTypes[kMusicSlots] = {-1, -1, -1};

int16_t SoundEffectVolume;
int16_t MusicVolume;
int16_t CurrentMusicSet;
int16_t CurrentMusicSlot;
int16_t MusicFade;
uint8_t SoundEffectRequests[kSoundEffectSlots];
int16_t SoundEffectGuards[kSoundEffectSlots];

namespace {

constexpr int kLastShortGuardSlot = 13;
constexpr int16_t kShortGuardFrames = 3;
constexpr int16_t kLongGuardFrames = 8;
constexpr int kWarningSlot = 1;
constexpr int kBossSlot = 2;
constexpr int kFirstStageSet = 1;
constexpr int kLastStageSet = 6;

SoundRequestObserver RequestObserver = nullptr;

bool IsMusicSlot(int slot) { return slot >= 0 && slot < kMusicSlots; }

}  // namespace

bool IsSoundHandlePlaying(int32_t handle) { return IsSoundPlaying(handle) == 1; }

void StopSoundHandleIfPlaying(int32_t handle) {
  if (IsSoundHandlePlaying(handle)) StopSoundHandle(handle);
}

void ClearSoundEffectRequests() { std::fill_n(SoundEffectRequests, kSoundEffectSlots, 0); }

void SetSoundRequestObserverForTest(SoundRequestObserver observer) { RequestObserver = observer; }

void RequestSoundEffect(int16_t slot) {
  if (RequestObserver != nullptr) RequestObserver(slot);
  if (slot < 0 || slot >= kSoundEffectSlots) return;
  if (SoundEffectGuards[slot] != 0) return;  // dropped, not queued
  SoundEffectRequests[slot] = 1;
  SoundEffectGuards[slot] = slot <= kLastShortGuardSlot ? kShortGuardFrames : kLongGuardFrames;
}

bool SwitchMusicSlot(int slot) {
  if (MusicVolume == 0) return false;
  if (slot == 3) slot = kBossSlot;
  if (!IsMusicSlot(slot)) return false;
  // The one-shot warning has ended: the boss music takes over in this same call.
  bool handedOver = false;
  if (CurrentMusicSet >= kFirstStageSet && CurrentMusicSet <= kLastStageSet &&
      CurrentMusicSlot == kWarningSlot && !IsSoundHandlePlaying(MusicHandles[kWarningSlot])) {
    handedOver = true;
    slot = kBossSlot;
  }
  if (slot == CurrentMusicSlot) return handedOver;
  if (IsMusicSlot(CurrentMusicSlot) && MusicPlayTypes[CurrentMusicSlot] != -1)
    StopSoundHandleIfPlaying(MusicHandles[CurrentMusicSlot]);
  if (MusicPlayTypes[slot] != -1) PlaySoundHandle(MusicHandles[slot], MusicPlayTypes[slot], 1);
  CurrentMusicSlot = static_cast<int16_t>(slot);
  return handedOver;
}

void StopMusicSlot() {
  if (IsMusicSlot(CurrentMusicSlot)) StopSoundHandleIfPlaying(MusicHandles[CurrentMusicSlot]);
  CurrentMusicSlot = -1;
}

void ResetSoundState() {
  SoundEffectVolume = 0;
  MusicVolume = 0;
  CurrentMusicSet = 0;
  CurrentMusicSlot = 0;
  MusicFade = 0;
  std::fill(std::begin(SoundEffectRequests), std::end(SoundEffectRequests), 0);
  std::fill(std::begin(SoundEffectGuards), std::end(SoundEffectGuards), 0);
}

void DigestSoundState(StateDigest& d, DigestScope scope) {
  // Sound output and its settings: nothing a replay reproduces.
  if (scope == DigestScope::Run) return;
  DigestValue(d, SoundEffectVolume);
  DigestValue(d, MusicVolume);
  DigestValue(d, CurrentMusicSet);
  DigestValue(d, CurrentMusicSlot);
  DigestValue(d, MusicFade);
  DigestArray(d, SoundEffectRequests);
  DigestArray(d, SoundEffectGuards);
}
