// Input as hold counts: once per frame the keyboard and the first joypad are sampled into
// KeyHoldCounts and ButtonHoldCounts (stg_src/game/input_state.h, with the reads of them), the
// configured keys are merged into the pad bits so that both devices drive the same game buttons,
// and the replay byte of each play frame is recorded or, during playback, drives the seven game
// buttons instead.
#pragma once

#include <cstdint>

#include "stg_src/game/input_state.h"

// Once per frame from the frame's start, keys first.
void UpdateKeyHoldCounts();
void UpdateButtonHoldCounts();

// The larger of the two keys' counts; keyB's alone on the key-configuration page.
int32_t GetKeyPairHoldCount(int32_t keyA, int32_t keyB);
// Stores max(*count, value) and returns it.
int32_t RaiseHoldCount(int32_t* count, int32_t value);

// During playback: 2 when the ChargeWeapon pad bit or key is down now, else 1 for Shot, else 0.
// Reads the devices, not the counts (frozen or replaced during playback).
int16_t ReadPlaybackButtons();
// Once per unpaused play frame during playback: Shot fast-forwards, ChargeWeapon (either one
// in the attract demo) returns to the title; so does reaching the end of the stream.
void UpdateReplayPlaybackInput();
// The first key of the assignable list that is down now, else 0.
int32_t GetFirstPressedKey();
