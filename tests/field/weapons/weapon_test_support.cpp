#include "tests/field/weapons/weapon_test_support.h"

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"

WeaponField::WeaponField() {
  GameFrame = 10;
  PlayerActive = 1;
  PlayerX = 100;
  PlayerY = 200;
  SelectedMainWeapon = 0;
  SelectedSubWeapons[0] = 0;
  SelectedSubWeapons[1] = 1;
  ActiveSubSlot = 0;
  SelectedChargeWeapon = 0;
  ChargeGauge = 0;
  ChargeGaugeMax = 1800;
}

void WeaponField::Hold(uint32_t held) {
  for (int role : {kButtonShot, kButtonChargeWeapon, kButtonWeaponChange}) {
    int32_t& count = ButtonHoldCounts[ButtonPadBits[role]];
    count = (held & HeldRole(role)) != 0 ? count + 1 : 0;
  }
}

void WeaponField::Frame(uint32_t held) {
  Hold(held);
  UpdatePlayerWeapons();
}

void WeaponField::FireOnly(uint32_t held) {
  Hold(held);
  UpdateWeaponState();
}

std::vector<int> FiredSlots(int first, int last) {
  std::vector<int> slots;
  for (int slot = first; slot <= last; ++slot) {
    if (PlayerShots[slot].state == 1 && PlayerShots[slot].frame == 0) slots.push_back(slot);
  }
  return slots;
}

int BusySlots(int first, int last) {
  int n = 0;
  for (int slot = first; slot <= last; ++slot) n += PlayerShots[slot].state != 0 ? 1 : 0;
  return n;
}
