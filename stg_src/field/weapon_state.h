// The weapons' counters that the play field keeps beside the shell's weapon block: cooldowns,
// the laser's burst count, the SHOT hold latch and the charge gauge's size and flash.
// ResetWeaponState puts every member back to its value at program start; DigestWeaponState
// sums them.
#pragma once

#include <cstdint>

#include "stg_src/state_digest.h"

extern int16_t MainWeaponCooldown;  // frames until the main weapon may fire again
extern int16_t SubWeaponCooldown;   // the same for the active sub weapon
extern int16_t LaserFireCounter;
extern int16_t FireHoldLatch;  // 8 while SHOT is held, then down to 0
extern int16_t ChargeGaugeMax;
extern int16_t ChargeFullFlash;

// Once per unpaused frame from GameFrame 0 on, while PlayerActive is 1.
void UpdatePlayerWeapons();

void ResetWeaponState();
void DigestWeaponState(StateDigest& digest, DigestScope scope);
