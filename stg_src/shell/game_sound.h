// Sound effects and music: 55 effect slots that game code requests for the frame and the frame
// loop plays once after the scene step, with a retrigger guard per slot; three music slots
// (track, warning, boss) filled from one of eleven music sets.
#pragma once

#include <cstdint>

constexpr int kSoundEffectSlots = 55;

// The sound handle of each effect slot; slots 49..54 belong to the stage being played (the
// stage load replaces them). Runtime handles, not game state.
extern int32_t SoundEffectHandles[kSoundEffectSlots];

// First thing after the frame's start: every request flag cleared.
void ClearSoundEffectRequests();
// The one way game code plays an effect (slot 0..54).
void RequestSoundEffect(int16_t slot);
// Once per frame after the scene step.
void PlayRequestedSoundEffects();
void StopAllSoundEffects();
// Volume of effect slots first..54 from SoundEffectVolume.
void ApplySoundEffectVolume(int first);
void ApplyMusicVolume();
void LoadMusicSet(int set);
void SwitchMusicSlot(int slot);
void StopMusicSlot();
// At program end: every game sound deleted.
void ReleaseGameSounds();
