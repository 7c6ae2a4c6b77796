// Playing what game code asks for (stg_src/game/sound_requests.h): the frame's requested effects,
// once after the scene step; the effect and music volumes; the music sets, of which one at a time
// fills the three music slots; and every game sound released at the end.
#pragma once

#include "stg_src/game/sound_requests.h"

// Once per frame after the scene step.
void PlayRequestedSoundEffects();
void StopAllSoundEffects();
// Volume of effect slots first..54 from SoundEffectVolume.
void ApplySoundEffectVolume(int first);
void ApplyMusicVolume();
// Replaces the three music slots by set 0..10 (another number empties them); the loaded set
// keeps playing. Nothing starts until SwitchMusicSlot.
void LoadMusicSet(int set);
// A sound or music file of the data folder as a handle (-1, and the player told on standard
// error, when it cannot be loaded).
int LoadGameSoundFile(const char* file);
// At program end: every game sound deleted.
void ReleaseGameSounds();
