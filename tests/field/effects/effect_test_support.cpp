#include "tests/field/effects/effect_test_support.h"

#include "stg_src/field/effects/effects.h"

int DrawsBetween(uint32_t from, uint32_t to, int limit) {
  ReferenceLcg lcg{from};
  for (int n = 0; n <= limit; ++n) {
    if (lcg.state == to) return n;
    lcg.Next();
  }
  return -1;
}

int UpdatesUntilFreed(int slot, int limit) {
  for (int n = 1; n <= limit; ++n) {
    UpdateEffects();
    if (Effects[slot].state == 0) return n;
  }
  return -1;
}
