// The input hold counts and their configuration: for every key and every pad bit the number of
// consecutive frames it has been down (capped at 9999), the pad bit and the key of each game
// button. ResetInputState puts every member back to its value at program start (zero);
// DigestInputState sums them.
#pragma once

#include <cstdint>

#include "stg_src/state_digest.h"

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

void ResetInputState();
void DigestInputState(StateDigest& digest, DigestScope scope);
