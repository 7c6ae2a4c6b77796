// The input hold counts and their configuration: for every key and every pad bit the number of
// consecutive frames it has been down (capped at 9999), the pad bit and the key of each game
// button, and how game code reads them. The shell samples the devices (or the replay) into them
// once a frame (stg_src/shell/hold_counts.h). A role is pressed in a frame when
// GetButtonHoldCount(ButtonPadBits[role]) is 1 and held while above 0. ResetInputState puts every
// member back to its value at program start (zero); DigestInputState sums them.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

// The ten input roles, in the order of ButtonPadBits and KeyConfig.
enum GameButton : int {
  kButtonLeft = 0,
  kButtonUp = 1,
  kButtonRight = 2,
  kButtonDown = 3,
  kButtonShot = 4,
  kButtonChargeWeapon = 5,
  kButtonWeaponChange = 6,
  kButtonScreenShot = 7,
  kButtonBackToTitle = 8,  // keyboard only
  kButtonPause = 9,        // keyboard only
};

constexpr int kKeyCount = 256;
constexpr int kPadBitCount = 16;
constexpr int kPadRoleCount = 8;  // roles with a pad bit: Left .. ScreenShot
constexpr int kRoleCount = 10;
constexpr int kReplayRoleCount = 7;  // roles in a replay byte: Left .. WeaponChange
constexpr int32_t kHoldCountCap = 9999;

extern int32_t KeyHoldCounts[kKeyCount];        // by DirectInput key code
extern int32_t ButtonHoldCounts[kPadBitCount];  // by pad bit; keyboard and replay merged in
extern int32_t ButtonPadBits[kPadRoleCount];    // pad bit of each role
extern int32_t KeyConfig[kRoleCount];           // DirectInput key code of each role

// The arrow keys steer whatever keys are configured, in the order left, up, right, down.
constexpr int32_t kArrowKeys[4] = {203, 200, 205, 208};

// The count of a pad bit, a key or a role's pad bit, or null for a value outside its table:
// assignments come from files and pages, and no count is ever read or written through an
// unchecked one.
int32_t* PadHoldCount(int32_t bit);
int32_t* KeyHoldCount(int32_t code);
int32_t* RoleHoldCount(int role);

// The count of the key code's low 8 bits.
int32_t GetKeyHoldCount(int32_t code);
// The count of pad bit 0..15, -1 for anything else.
int32_t GetButtonHoldCount(int32_t bit);
// Role Left .. ScreenShot pressed this frame: its button's count is 1.
bool IsRolePressed(int role);

// Stage start: the direction and Shot buttons and their keys from 0, ChargeWeapon and
// WeaponChange at 2 so that holding them across the start does not read as a press.
void ResetButtonsForStageStart();

void ResetInputState();
void DigestInputState(StateDigest& digest, DigestScope scope);
