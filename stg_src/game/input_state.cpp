#include "stg_src/game/input_state.h"

#include <algorithm>
#include <iterator>

#include "stg_src/game/deterministic.h"

int32_t KeyHoldCounts[kKeyCount];
int32_t ButtonHoldCounts[kPadBitCount];
int32_t ButtonPadBits[kPadRoleCount];
int32_t KeyConfig[kRoleCount];

int32_t* PadHoldCount(int32_t bit) {
  return bit >= 0 && bit < kPadBitCount ? &ButtonHoldCounts[bit] : nullptr;
}

int32_t* KeyHoldCount(int32_t code) {
  return code >= 0 && code < kKeyCount ? &KeyHoldCounts[code] : nullptr;
}

int32_t* RoleHoldCount(int role) { return PadHoldCount(ButtonPadBits[role]); }

int32_t GetKeyHoldCount(int32_t code) { return KeyHoldCounts[code & 0xFF]; }

int32_t GetButtonHoldCount(int32_t bit) {
  const int32_t* count = PadHoldCount(bit);
  return count ? *count : -1;
}

bool IsRolePressed(int role) {
  return role >= 0 && role < kPadRoleCount && GetButtonHoldCount(ButtonPadBits[role]) == 1;
}

void ResetButtonsForStageStart() {
  auto set = [](int32_t* count, int32_t value) {
    if (count) *count = value;
  };
  for (int role = kButtonLeft; role <= kButtonShot; ++role) {
    set(RoleHoldCount(role), 0);
    set(KeyHoldCount(KeyConfig[role]), 0);
  }
  for (int32_t arrow : kArrowKeys) set(KeyHoldCount(arrow), 0);
  for (int role : {kButtonChargeWeapon, kButtonWeaponChange}) {
    set(RoleHoldCount(role), 2);
    set(KeyHoldCount(KeyConfig[role]), 2);
  }
}

void ResetInputState() {
  std::fill(std::begin(KeyHoldCounts), std::end(KeyHoldCounts), 0);
  std::fill(std::begin(ButtonHoldCounts), std::end(ButtonHoldCounts), 0);
  std::fill(std::begin(ButtonPadBits), std::end(ButtonPadBits), 0);
  std::fill(std::begin(KeyConfig), std::end(KeyConfig), 0);
}

void DigestInputState(StateDigest& d, DigestScope scope) {
  // A replay reproduces the counts of the seven roles it carries; keys, the other pad bits and
  // the assignments come from the devices and the settings of whoever plays it back.
  for (int role = 0; role < kReplayRoleCount; ++role) {
    const int32_t bit = ButtonPadBits[role];
    DigestValue(d, bit >= 0 && bit < kPadBitCount ? ButtonHoldCounts[bit] : -1);
  }
  if (scope == DigestScope::Run) return;
  DigestArray(d, KeyHoldCounts);
  DigestArray(d, ButtonHoldCounts);
  DigestArray(d, ButtonPadBits);
  DigestArray(d, KeyConfig);
}
