#include "stg_src/shell/game_sound.h"

#include <algorithm>

#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_handles.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/sound_test_hooks.h"

#include "stg_src/deterministic.h"

int32_t SoundEffectHandles[kSoundEffectSlots];
int32_t MusicHandles[kMusicSlots];
int32_t MusicPlayTypes[kMusicSlots] = {-1, -1, -1};

namespace {

constexpr int kLastShortGuardSlot = 13;
constexpr int16_t kShortGuardFrames = 3;
constexpr int16_t kLongGuardFrames = 8;
constexpr int kWarningSlot = 1;
constexpr int kBossSlot = 2;
constexpr int kFirstStageSet = 1;
constexpr int kLastStageSet = 6;

struct MusicFile {
  const char* file;  // null: the slot stays empty
  int playType;
};

constexpr MusicFile kNone = {nullptr, -1};
constexpr MusicFile kWarning = {"data/music/warning.ogg", SoundPlayBackground};
constexpr MusicFile kBoss = {"data/music/boss.ogg", SoundPlayLoop};

constexpr MusicFile kMusicSetFiles[kMusicSets][kMusicSlots] = {
    {kBoss, kNone, kNone},
    {{"data/music/stage1.ogg", SoundPlayLoop}, kWarning, kBoss},
    {{"data/music/stage2.ogg", SoundPlayLoop}, kWarning, kBoss},
    {{"data/music/stage3.ogg", SoundPlayLoop}, kWarning, kBoss},
    {{"data/music/stage4.ogg", SoundPlayLoop}, kWarning, kBoss},
    {{"data/music/stage5.ogg", SoundPlayLoop}, kWarning, kBoss},
    {{"data/music/stage6.ogg", SoundPlayLoop},
     kWarning,
     {"data/music/lastboss.ogg", SoundPlayLoop}},
    {{"data/music/goodend.ogg", SoundPlayBackground}, kNone, kNone},
    {{"data/music/badend.ogg", SoundPlayBackground}, kNone, kNone},
    {{"data/music/gameover.ogg", SoundPlayBackground}, kNone, kNone},
    {{"data/music/select.ogg", SoundPlayLoop}, kNone, kNone},
};

// IsSoundPlaying gives -1 for a handle that failed to load: only 1 is playing.
bool IsPlaying(int32_t handle) { return IsSoundPlaying(handle) == 1; }

void StopIfPlaying(int32_t handle) {
  if (IsPlaying(handle)) StopSoundHandle(handle);
}

SoundRequestObserver RequestObserver = nullptr;

bool IsMusicSlot(int slot) { return slot >= 0 && slot < kMusicSlots; }

void EmptyMusicSlots() {
  for (int slot = 0; slot < kMusicSlots; ++slot) {
    StopIfPlaying(MusicHandles[slot]);
    DeleteSoundHandle(MusicHandles[slot]);
    MusicHandles[slot] = 0;
    MusicPlayTypes[slot] = -1;
  }
}

}  // namespace

void ClearSoundEffectRequests() { std::fill_n(SoundEffectRequests, kSoundEffectSlots, 0); }

void SetSoundRequestObserverForTest(SoundRequestObserver observer) { RequestObserver = observer; }

void RequestSoundEffect(int16_t slot) {
  if (RequestObserver != nullptr) RequestObserver(slot);
  if (slot < 0 || slot >= kSoundEffectSlots) return;
  if (SoundEffectGuards[slot] != 0) return;  // dropped, not queued
  SoundEffectRequests[slot] = 1;
  SoundEffectGuards[slot] = slot <= kLastShortGuardSlot ? kShortGuardFrames : kLongGuardFrames;
}

void PlayRequestedSoundEffects() {
  // Muted: nothing plays and the guards stand still.
  if (SoundEffectVolume == 0) return;
  for (int slot = 0; slot < kSoundEffectSlots; ++slot) {
    if (SoundEffectRequests[slot]) {
      // From the top every time, so a slot never overlaps itself.
      StopIfPlaying(SoundEffectHandles[slot]);
      PlaySoundHandle(SoundEffectHandles[slot], SoundPlayBackground, 1);
    }
    if (SoundEffectGuards[slot] > 0) SoundEffectGuards[slot] -= 1;
  }
}

void StopAllSoundEffects() {
  for (int32_t handle : SoundEffectHandles) StopIfPlaying(handle);
}

void ApplySoundEffectVolume(int first) {
  const int volume = SoundEffectVolume * 255 / 100;
  for (int slot = std::max(first, 0); slot < kSoundEffectSlots; ++slot)
    SetSoundVolume(volume, SoundEffectHandles[slot]);
}

void ApplyMusicVolume() {
  const int volume = MusicVolume * 255 / 100 * MusicFade / 1000;
  for (int32_t handle : MusicHandles) SetSoundVolume(volume, handle);
}

void LoadMusicSet(int set) {
  if (set == CurrentMusicSet) return;  // the music keeps playing
  EmptyMusicSlots();
  CurrentMusicSet = -1;
  MusicFade = 1000;
  if (set >= 0 && set < kMusicSets) {
    for (int slot = 0; slot < kMusicSlots; ++slot) {
      const MusicFile& music = kMusicSetFiles[set][slot];
      if (music.file == nullptr) continue;
      MusicHandles[slot] = LoadSoundFile(music.file, 3, -1);
      MusicPlayTypes[slot] = music.playType;
    }
  }
  ApplyMusicVolume();
  CurrentMusicSet = static_cast<int16_t>(set);
  CurrentMusicSlot = -1;
}

void SwitchMusicSlot(int slot) {
  if (MusicVolume == 0) return;
  if (slot == 3) slot = kBossSlot;
  if (!IsMusicSlot(slot)) return;
  // The one-shot warning has ended: the boss music takes over in this same call.
  if (CurrentMusicSet >= kFirstStageSet && CurrentMusicSet <= kLastStageSet &&
      CurrentMusicSlot == kWarningSlot && !IsPlaying(MusicHandles[kWarningSlot])) {
    BossState = 2;
    slot = kBossSlot;
  }
  if (slot == CurrentMusicSlot) return;
  if (IsMusicSlot(CurrentMusicSlot) && MusicPlayTypes[CurrentMusicSlot] != -1)
    StopIfPlaying(MusicHandles[CurrentMusicSlot]);
  if (MusicPlayTypes[slot] != -1) PlaySoundHandle(MusicHandles[slot], MusicPlayTypes[slot], 1);
  CurrentMusicSlot = static_cast<int16_t>(slot);
}

void StopMusicSlot() {
  if (IsMusicSlot(CurrentMusicSlot)) StopIfPlaying(MusicHandles[CurrentMusicSlot]);
  CurrentMusicSlot = -1;
}

void ReleaseGameSounds() {
  for (int32_t& handle : SoundEffectHandles) {
    StopIfPlaying(handle);
    DeleteSoundHandle(handle);
    handle = 0;
  }
  EmptyMusicSlots();
  DeleteAllSounds();
}
