// Input as hold counts: once per frame the keyboard and the first joypad are sampled into
// KeyHoldCounts and ButtonHoldCounts (input_state.h), the configured keys are merged into the
// pad bits so that both devices drive the same game buttons, and the replay byte of each play
// frame is recorded or, during playback, drives the seven game buttons instead. A role is
// pressed in a frame when GetButtonHoldCount(ButtonPadBits[role]) is 1 and held while above 0.
#pragma once

#include <cstdint>

// Once per frame from the frame's start, keys first.
void UpdateKeyHoldCounts();
void UpdateButtonHoldCounts();

// The count of the key code's low 8 bits.
int32_t GetKeyHoldCount(int32_t code);
// The larger of the two keys' counts; keyB's alone on the key-configuration page.
int32_t GetKeyPairHoldCount(int32_t keyA, int32_t keyB);
// Stores max(*count, value) and returns it.
int32_t RaiseHoldCount(int32_t* count, int32_t value);
// The count of pad bit 0..15, -1 for anything else.
int32_t GetButtonHoldCount(int32_t bit);
// Role Left .. ScreenShot pressed this frame: its button's count is 1.
bool IsRolePressed(int role);

// During playback: 2 when the ChargeWeapon pad bit or key is down now, else 1 for Shot, else 0.
// Reads the devices, not the counts (frozen or replaced during playback).
int16_t ReadPlaybackButtons();
// Once per unpaused play frame during playback: Shot fast-forwards, ChargeWeapon (either one
// in the attract demo) returns to the title; so does reaching the end of the stream.
void UpdateReplayPlaybackInput();
// Stage start: the direction and Shot buttons and their keys from 0, ChargeWeapon and
// WeaponChange at 2 so that holding them across the start does not read as a press.
void ResetButtonsForStageStart();
// The first key of the assignable list that is down now, else 0.
int32_t GetFirstPressedKey();
