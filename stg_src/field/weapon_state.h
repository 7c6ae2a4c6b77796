// The weapons' counters that the play field keeps beside the shell's weapon block: cooldowns,
// the laser's burst count, the SHOT hold latch and the charge gauge's size and flash; the
// per-frame upkeep (shield count-down, gauge, maximum-level timers, the weapon change) and the
// three firing routines that place shots into PlayerShots. ResetWeaponState puts every member
// back to its value at program start; DigestWeaponState sums them.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

extern int16_t MainWeaponCooldown;  // frames until the main weapon may fire again
extern int16_t SubWeaponCooldown;   // the same for the active sub weapon
extern int16_t LaserFireCounter;
extern int16_t FireHoldLatch;  // 8 while SHOT is held, then down to 0
extern int16_t ChargeGaugeMax;
extern int16_t ChargeFullFlash;

// Levels step at 4 and 8: band 0 for levels 0..3, 1 for 4..7, 2 for 8.
int16_t WeaponBand(int16_t level);
// A weapon's level and maximum-level timer in the shell's tables.
struct WeaponEntry {
  int16_t* level;  // both null when the selection lies outside its table
  int16_t* timer;
};
// The selected main weapon, the active sub weapon (ActiveSubSlot and the selection it names
// both checked) and the selected charge weapon.
WeaponEntry SelectedMainWeaponEntry();
WeaponEntry ActiveSubWeaponEntry();
WeaponEntry SelectedChargeWeaponEntry();
// The active sub weapon 0..5, or -1 for a selection outside the table.
int16_t ActiveSubWeapon();

// Once per unpaused frame from GameFrame 0 on, while PlayerActive is 1: the shots, the two
// cooldowns, then UpdateWeaponState. Shots fired in a frame first move in the next one.
void UpdatePlayerWeapons();
// Shield count-down, charge gauge, the selected weapons' maximum-level timers, the SHOT latch,
// then (from GameFrame 2 while alive) the weapon change and the three firing attempts.
void UpdateWeaponState();
// One firing attempt each. A selection outside its table fires nothing and touches no table.
void FireMainWeapon();
void FireSubWeapon();
void FireChargeWeapon();

void ResetWeaponState();
void DigestWeaponState(StateDigest& digest, DigestScope scope);
