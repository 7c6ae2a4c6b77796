#include "stg_src/shell/game_sound.h"

#include "stg_src/deterministic.h"

int32_t SoundEffectHandles[kSoundEffectSlots];

// Empty until the game's sounds are loaded and played.
void ClearSoundEffectRequests() {}
void RequestSoundEffect(int16_t) {}
void PlayRequestedSoundEffects() {}
void StopAllSoundEffects() {}
void ApplySoundEffectVolume(int) {}
void ApplyMusicVolume() {}
void LoadMusicSet(int) {}
void SwitchMusicSlot(int) {}
void StopMusicSlot() {}
void ReleaseGameSounds() {}
