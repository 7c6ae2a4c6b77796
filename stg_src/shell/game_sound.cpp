#include "stg_src/shell/game_sound.h"

#include <algorithm>

#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_handles.h"
#include "runtime/sound/sound_system.h"
#include "stg_src/game/file_reports.h"

#include "stg_src/game/deterministic.h"

namespace {

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

void EmptyMusicSlots() {
  for (int slot = 0; slot < kMusicSlots; ++slot) {
    StopSoundHandleIfPlaying(MusicHandles[slot]);
    DeleteSoundHandle(MusicHandles[slot]);
    MusicHandles[slot] = 0;
    MusicPlayTypes[slot] = -1;
  }
}

}  // namespace

void PlayRequestedSoundEffects() {
  // Muted: nothing plays and the guards stand still.
  if (SoundEffectVolume == 0) return;
  for (int slot = 0; slot < kSoundEffectSlots; ++slot) {
    if (SoundEffectRequests[slot]) {
      // From the top every time, so a slot never overlaps itself.
      StopSoundHandleIfPlaying(SoundEffectHandles[slot]);
      PlaySoundHandle(SoundEffectHandles[slot], SoundPlayBackground, 1);
    }
    if (SoundEffectGuards[slot] > 0) SoundEffectGuards[slot] -= 1;
  }
}

void StopAllSoundEffects() {
  for (int32_t handle : SoundEffectHandles) StopSoundHandleIfPlaying(handle);
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
      MusicHandles[slot] = LoadGameSoundFile(music.file);
      MusicPlayTypes[slot] = music.playType;
    }
  }
  ApplyMusicVolume();
  CurrentMusicSet = static_cast<int16_t>(set);
  CurrentMusicSlot = -1;
}

int LoadGameSoundFile(const char* file) {
  const int handle = LoadSoundFile(file, 3, -1);
  // Without a sound device nothing loads, and nothing is wrong with the file.
  if (handle == -1 && IsSoundStarted())
    ReportUnreadableFile(file, "the game goes on without this sound");
  return handle;
}

void ReleaseGameSounds() {
  for (int32_t& handle : SoundEffectHandles) {
    StopSoundHandleIfPlaying(handle);
    DeleteSoundHandle(handle);
    handle = 0;
  }
  EmptyMusicSlots();
  DeleteAllSounds();
}
