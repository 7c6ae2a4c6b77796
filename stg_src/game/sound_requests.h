// Sound effects and music as game code asks for them: 55 effect slots that game code requests for
// the frame (the frame loop plays them once after the scene step, stg_src/shell/game_sound.h),
// with a retrigger guard per slot; three music slots (track, warning, boss) of the loaded music
// set, switched and stopped here. The sound words live here too; ResetSoundState puts them back
// to their value at program start (zero), DigestSoundState sums them.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

constexpr int kSoundEffectSlots = 55;
constexpr int kMusicSlots = 3;  // 0 track, 1 warning, 2 boss
constexpr int kMusicSets = 11;

// The sound handle of each effect slot; slots 49..54 belong to the stage being played (the
// stage load replaces them). Runtime handles, not game state.
extern int32_t SoundEffectHandles[kSoundEffectSlots];
// The loaded set's music: handle (0 when empty) and play type (3 loop, 1 once, -1 empty).
// Runtime handles, not game state.
extern int32_t MusicHandles[kMusicSlots];
extern int32_t MusicPlayTypes[kMusicSlots];

extern int16_t SoundEffectVolume;  // percent
extern int16_t MusicVolume;        // percent
extern int16_t CurrentMusicSet;    // -1 none
extern int16_t CurrentMusicSlot;   // -1 none
extern int16_t MusicFade;          // 0..1000
// This frame's effect requests and each slot's retrigger guard (frames until it may be
// requested again). They decide only what is heard, and the guards stand still while effects
// are muted, so a replay does not reproduce them.
extern uint8_t SoundEffectRequests[kSoundEffectSlots];
extern int16_t SoundEffectGuards[kSoundEffectSlots];

// First thing after the frame's start: every request flag cleared.
void ClearSoundEffectRequests();
// The one way game code plays an effect (slot 0..54; others are ignored).
void RequestSoundEffect(int16_t slot);

// Starts music slot 0..2 (3 means 2) of the loaded set unless it is the one current. On a
// stage's set, while the one-shot warning is current and has played to its end, the boss music
// takes over in this same call, and the result is true: the play scene then moves the boss
// fight on (BossState 2). False otherwise.
bool SwitchMusicSlot(int slot);
void StopMusicSlot();

// IsSoundPlaying gives -1 for a handle that failed to load: only 1 is playing.
bool IsSoundHandlePlaying(int32_t handle);
void StopSoundHandleIfPlaying(int32_t handle);

void ResetSoundState();
void DigestSoundState(StateDigest& digest, DigestScope scope);
