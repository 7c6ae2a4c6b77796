#include "stg_src/shell/stage_load.h"

#include "runtime/sound/sound_file_loading.h"
#include "runtime/sound/sound_handles.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/sound_requests.h"
#include "stg_src/shell/enemy_assets.h"
#include "stg_src/shell/game_sound.h"
#include "stg_src/shell/shell_state.h"

#include "stg_src/game/deterministic.h"

namespace {

// The stage's own sound effects, slots 49..54 of SoundEffectHandles.
constexpr int kStageSoundFirst = 49;
constexpr int kStageSoundLast = 54;
struct StageSound {
  int slot;
  const char* file;
};
const StageSound kStageSounds[7][6] = {
    {{49, "data/se/stage1/transform.wav"}, {54, "data/se/stage1/don.wav"}},
    {{49, "data/se/stage2/bossarm.wav"}},
    {{49, "data/se/stage3/kazan.wav"},
     {50, "data/se/stage3/shokushu1.wav"},
     {51, "data/se/stage3/shokushu2.wav"},
     {52, "data/se/stage3/hibashira.wav"},
     {53, "data/se/stage3/hibashira2.wav"},
     {54, "data/se/stage1/don.wav"}},
    {{49, "data/se/stage6/granade.wav"},
     {50, "data/se/enemy_death0.wav"},
     {51, "data/se/enemy_death1.wav"},
     {52, "data/se/enemy_death2.wav"}},
    {},
    {{49, "data/se/stage6/granade.wav"},
     {50, "data/se/stage6/warp.wav"},
     {51, "data/se/stage6/tama1.wav"},
     {52, "data/se/stage6/tama2.wav"},
     {54, "data/se/stage1/don.wav"}},
    {},
};

}  // namespace

uint8_t LoadStage(int16_t stage) {
  LoadStageEnemyAssets(stage);
  StageAssetsLoaded = 1;
  LoadStageSounds(stage);
  return LoadStageMaps(stage);
}

void LoadStageSounds(int16_t stage) {
  for (int slot = kStageSoundFirst; slot <= kStageSoundLast; ++slot) {
    StopSoundHandleIfPlaying(SoundEffectHandles[slot]);
    DeleteSoundHandle(SoundEffectHandles[slot]);
  }
  if (stage >= 1 && stage <= 7) {
    for (const StageSound& sound : kStageSounds[stage - 1]) {
      if (sound.file != nullptr) SoundEffectHandles[sound.slot] = LoadGameSoundFile(sound.file);
    }
  }
  ApplySoundEffectVolume(kStageSoundFirst);
  if (stage == 4) {
    for (int slot : {50, 51, 52}) {
      SetSoundVolume(SoundEffectVolume * 255 / 800, SoundEffectHandles[slot]);
    }
  }
}
