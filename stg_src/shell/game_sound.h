// Sound effects and music: 55 effect slots that game code requests for the frame and the frame
// loop plays once after the scene step, with a retrigger guard per slot; three music slots
// (track, warning, boss) filled from one of eleven music sets.
#pragma once

#include <cstdint>

#include "stg_src/shell/shell_state.h"

constexpr int kMusicSlots = 3;  // 0 track, 1 warning, 2 boss
constexpr int kMusicSets = 11;

// The sound handle of each effect slot; slots 49..54 belong to the stage being played (the
// stage load replaces them). Runtime handles, not game state.
extern int32_t SoundEffectHandles[kSoundEffectSlots];
// The loaded set's music: handle (0 when empty) and play type (3 loop, 1 once, -1 empty).
// Runtime handles, not game state.
extern int32_t MusicHandles[kMusicSlots];
extern int32_t MusicPlayTypes[kMusicSlots];

// First thing after the frame's start: every request flag cleared.
void ClearSoundEffectRequests();
// The one way game code plays an effect (slot 0..54; others are ignored).
void RequestSoundEffect(int16_t slot);
// Once per frame after the scene step.
void PlayRequestedSoundEffects();
void StopAllSoundEffects();
// Volume of effect slots first..54 from SoundEffectVolume.
void ApplySoundEffectVolume(int first);
void ApplyMusicVolume();
// Replaces the three music slots by set 0..10 (another number empties them); the loaded set
// keeps playing. Nothing starts until SwitchMusicSlot.
void LoadMusicSet(int set);
// Starts music slot 0..2 (3 means 2) unless it is the one current; on a stage set the
// warning's end hands over to the boss music.
void SwitchMusicSlot(int slot);
void StopMusicSlot();
// At program end: every game sound deleted.
void ReleaseGameSounds();
