#include "stg_src/shell/input_state.h"

#include <algorithm>
#include <iterator>

#include "stg_src/deterministic.h"

int32_t KeyHoldCounts[kKeyCount];
int32_t ButtonHoldCounts[kPadBitCount];
int32_t ButtonPadBits[kPadRoleCount];
int32_t KeyConfig[kRoleCount];

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
