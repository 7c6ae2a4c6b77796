// The factors of the 16-bit signed table step in multiply form, found once for every P.
#include "runtime/softrender/pixel_rules_565.h"

#include <array>
#include <cstdlib>

namespace {

// The step of TableMix565 for a field difference: trunc(diff * P / 255).
int TableStep(int diff, int param) {
  const int size = (diff < 0 ? -diff : diff) * param / 255;
  return diff < 0 ? -size : size;
}

// Whether the multiply form gives that step for every difference of two 6-bit fields (5-bit
// ones lie among them): diff * a stays in 16 signed bits, and its signed high half with b, plus
// one for a negative difference, is the step.
bool Reproduces(int a, int b, int param) {
  for (int diff = -63; diff <= 63; ++diff) {
    const int product = diff * a;
    if (product < -32768 || product > 32767) return false;
    const int step = ((product * b) >> 16) + (diff < 0 ? 1 : 0);
    if (step != TableStep(diff, param)) return false;
  }
  return true;
}

// a from 256 up, b around P * 2^16 / (255 * a): every P has a pair there.
TableStepFactors Search(int param) {
  for (int a = 256; a <= 520; ++a) {
    const int near = param * 65536 / (255 * a);
    for (int b = near > 2 ? near - 2 : 0; b <= near + 3; ++b)
      if (Reproduces(a, b, param)) return {static_cast<uint16_t>(a), static_cast<uint16_t>(b)};
  }
  std::abort();  // cannot happen: each P was checked to have a pair
}

}  // namespace

TableStepFactors TableStepFactorsOf(uint32_t param) {
  static const std::array<TableStepFactors, 256> table = [] {
    std::array<TableStepFactors, 256> t{};
    for (int p = 0; p < 256; ++p) t[static_cast<size_t>(p)] = Search(p);
    return t;
  }();
  return table[param & 0xFF];
}
