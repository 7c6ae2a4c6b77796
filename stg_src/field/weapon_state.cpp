#include "stg_src/field/weapon_state.h"

#include "stg_src/field/shots/player_shots.h"

#include "stg_src/deterministic.h"

int16_t MainWeaponCooldown;
int16_t SubWeaponCooldown;
int16_t LaserFireCounter;
int16_t FireHoldLatch;
int16_t ChargeGaugeMax;
int16_t ChargeFullFlash;

// The shots move first; the cooldowns and firing join here with the weapons.
void UpdatePlayerWeapons() { UpdatePlayerShots(); }

void ResetWeaponState() {
  MainWeaponCooldown = 0;
  SubWeaponCooldown = 0;
  LaserFireCounter = 0;
  FireHoldLatch = 0;
  ChargeGaugeMax = 0;
  ChargeFullFlash = 0;
}

void DigestWeaponState(StateDigest& d, DigestScope) {
  DigestValue(d, MainWeaponCooldown);
  DigestValue(d, SubWeaponCooldown);
  DigestValue(d, LaserFireCounter);
  DigestValue(d, FireHoldLatch);
  DigestValue(d, ChargeGaugeMax);
  DigestValue(d, ChargeFullFlash);
}
