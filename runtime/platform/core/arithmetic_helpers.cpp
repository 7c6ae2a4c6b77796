#include "runtime/platform/core/arithmetic_helpers.h"

#include <climits>
#include <cmath>

namespace {

typedef unsigned __int128 u128;

// The conversion itself: static_cast always truncates, but a value outside the int range is
// undefined in C++, so it is caught first and given the processor's "integer indefinite".
int TruncateToInt(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT_MIN;
  return static_cast<int>(value);
}

// Whether every value within a relative 2^-44 of this one rounds to the same float. The double
// sine and cosine lie within a few units of their last place (2^-50 or so) of the true values,
// and the extended ones far closer still, so where this holds both give the same float.
bool RoundsAlikeNearby(double value) {
  constexpr double kMargin = 0x1p-44;
  const float rounded = static_cast<float>(value);
  return static_cast<float>(value * (1.0 + kMargin)) == rounded &&
         static_cast<float>(value * (1.0 - kMargin)) == rounded;
}

}  // namespace

void SinCosF(float angle, float* sine, float* cosine) {
  // The floats are those of the extended evaluation. The double one is several times faster
  // on large angles and gives the same floats except within a hair of a rounding boundary,
  // where the extended one decides.
  const double s = std::sin(static_cast<double>(angle));
  const double c = std::cos(static_cast<double>(angle));
  if (RoundsAlikeNearby(s) && RoundsAlikeNearby(c)) {
    *sine = static_cast<float>(s);
    *cosine = static_cast<float>(c);
    return;
  }
  const long double a = angle;
  *sine = static_cast<float>(sinl(a));
  *cosine = static_cast<float>(cosl(a));
}

float SqrtF(float value) { return std::sqrt(value); }

int AbsInt(int value) {
  return value < 0 ? static_cast<int>(0u - static_cast<unsigned>(value)) : value;
}

float AbsFloat(float value) { return value < 0.0f ? -value : value; }

int FloatToInt(float value) { return TruncateToInt(static_cast<double>(value)); }

int DoubleToInt(double value) { return TruncateToInt(value); }

void DoublesToInts4(const double in[4], int out[4]) {
  for (int i = 0; i < 4; ++i) out[i] = TruncateToInt(in[i]);
}

void Multiply64To128(const uint32_t a[2], const uint32_t b[2], uint32_t out[4]) {
  // Schoolbook on 32-bit words, each partial product fits 64 bits.
  uint64_t result[4] = {0, 0, 0, 0};
  for (int i = 0; i < 2; ++i) {
    uint64_t carry = 0;
    for (int j = 0; j < 2; ++j) {
      uint64_t t = static_cast<uint64_t>(a[i]) * b[j] + result[i + j] + carry;
      result[i + j] = t & 0xFFFFFFFFu;
      carry = t >> 32;
    }
    result[i + 2] += carry;
  }
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint32_t>(result[i]);
}

void Divide128By64(const uint32_t dividend[4], const uint32_t divisor[2], uint32_t quotient[2]) {
  const u128 d = (static_cast<u128>(divisor[1]) << 32) | divisor[0];
  if (d == 0) {
    quotient[0] = quotient[1] = 0xFFFFFFFFu;
    return;
  }
  u128 remainder = 0;
  for (int i = 3; i >= 0; --i) remainder = (remainder << 32) | dividend[i];
  u128 q = 0;
  for (;;) {
    // Double the divisor while it does not exceed the remainder; the top bit stops the
    // doubling before it can overflow 128 bits.
    u128 shifted = d;
    int k = 0;
    while (shifted <= remainder) {
      ++k;
      if (shifted >> 127) break;
      shifted <<= 1;
    }
    if (k == 0) break;
    // shifted is now d << k, or d << (k - 1) when the doubling stopped at the top bit.
    if (shifted > remainder) shifted >>= 1;
    q |= static_cast<u128>(1) << (k - 1);
    remainder -= shifted;
  }
  quotient[0] = static_cast<uint32_t>(q);
  quotient[1] = static_cast<uint32_t>(q >> 32);
}
