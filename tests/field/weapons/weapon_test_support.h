// Helpers of the weapon tests: the ship and weapon selection set for firing outside a stage, the
// weapon buttons held as hold counts frame by frame, and the shots a frame fired.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/game_support/field_fixture.h"

// A field at the given difficulty with the ship at (100, 200), GameFrame 10, vulcan, twoway and
// missile (twoway active), homing bomb, all at level 0 with the gauge empty (maximum 1800).
class WeaponField {
 public:
  WeaponField();

  // SHOT, CHARGE and CHANGE set from held (HeldRole bits): a held role's count rises, others go
  // to 0. Then the whole weapon frame (UpdatePlayerWeapons), or only the upkeep and firing.
  void Frame(uint32_t held);
  void FireOnly(uint32_t held);

  FieldFixture field;

 private:
  void Hold(uint32_t held);
};

// Slots of first..last fired in the last frame (state 1, frame 0).
std::vector<int> FiredSlots(int first, int last);
// Slots of first..last in use.
int BusySlots(int first, int last);
