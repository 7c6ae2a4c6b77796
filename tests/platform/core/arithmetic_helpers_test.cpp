// Truncating conversions and the 128-bit multiply and divide, checked against the compiler's
// own 128-bit arithmetic.
#include "runtime/platform/core/arithmetic_helpers.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

typedef unsigned __int128 u128;

void Split64(uint64_t v, uint32_t out[2]) {
  out[0] = static_cast<uint32_t>(v);
  out[1] = static_cast<uint32_t>(v >> 32);
}
void Split128(u128 v, uint32_t out[4]) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint32_t>(v >> (32 * i));
}
u128 Join(const uint32_t* words, int count) {
  u128 v = 0;
  for (int i = count - 1; i >= 0; --i) v = (v << 32) | words[i];
  return v;
}

uint64_t Divide(u128 dividend, uint64_t divisor) {
  uint32_t n[4], d[2], q[2] = {0xDEAD, 0xBEEF};
  Split128(dividend, n);
  Split64(divisor, d);
  Divide128By64(n, d, q);
  return static_cast<uint64_t>(Join(q, 2));
}

TEST(ArithmeticHelpers, TruncationTowardZeroInEveryRoundingMode) {
  const int saved = std::fegetround();
  for (int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    std::fesetround(mode);
    EXPECT_EQ(FloatToInt(-1.7f), -1);
    EXPECT_EQ(FloatToInt(1.7f), 1);
    EXPECT_EQ(DoubleToInt(2.9), 2);
    EXPECT_EQ(DoubleToInt(-2.9), -2);
    EXPECT_EQ(DoubleToInt(2147483647.9), INT_MAX);
    EXPECT_EQ(DoubleToInt(-2147483648.9), INT_MIN);
    EXPECT_EQ(std::fegetround(), mode);  // the caller's mode is left as it was
  }
  std::fesetround(saved);
}

TEST(ArithmeticHelpers, ValuesOutsideTheIntRangeGiveIntMin) {
  const double inf = std::numeric_limits<double>::infinity();
  for (double v : {2147483648.0, -2147483649.0, 1e300, -1e300, inf, -inf, std::nan("")})
    EXPECT_EQ(DoubleToInt(v), INT_MIN) << v;
  EXPECT_EQ(FloatToInt(3e9f), INT_MIN);
  EXPECT_EQ(FloatToInt(std::numeric_limits<float>::infinity()), INT_MIN);
  const double in[4] = {-0.5, 10.99, -7.01, 5e10};
  int out[4];
  DoublesToInts4(in, out);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 10);
  EXPECT_EQ(out[2], -7);
  EXPECT_EQ(out[3], INT_MIN);
}

TEST(ArithmeticHelpers, AbsoluteValuesAndRoots) {
  EXPECT_EQ(AbsInt(-5), 5);
  EXPECT_EQ(AbsInt(7), 7);
  EXPECT_EQ(AbsInt(INT_MIN), INT_MIN);
  EXPECT_EQ(AbsFloat(-2.5f), 2.5f);
  EXPECT_TRUE(std::signbit(AbsFloat(-0.0f)));  // -0 is not below 0
  EXPECT_TRUE(std::isnan(AbsFloat(std::nanf(""))));
  EXPECT_EQ(SqrtF(9.0f), 3.0f);
}

// Sine and cosine are the extended evaluation's, rounded to float, bit for bit: on angles of
// every size and sign, on the three positive angles whose double sine or cosine rounds to
// another float (found by a search over every float) and their negatives, and on random ones.
TEST(ArithmeticHelpers, SinCosGivesTheExtendedEvaluationsFloats) {
  std::vector<float> angles = {0.0f,    -0.0f,     0.5f,  1e-30f, -3.1415927f,
                               100.25f, -2031.24f, 1e20f, 3.4e38f};
  for (const uint32_t bits : {0x46199998u, 0x5F18B878u, 0x6115CB11u}) {
    float angle;
    std::memcpy(&angle, &bits, sizeof angle);
    angles.push_back(angle);
    angles.push_back(-angle);
  }
  std::mt19937 random(2718);
  for (int i = 0; i < 20000; ++i) {
    uint32_t bits = random();
    float angle;
    std::memcpy(&angle, &bits, sizeof angle);
    if (std::isfinite(angle)) angles.push_back(angle);
  }
  const auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  for (const float angle : angles) {
    float s, c;
    SinCosF(angle, &s, &c);
    const long double a = angle;
    EXPECT_TRUE(same(s, static_cast<float>(sinl(a)))) << angle;
    EXPECT_TRUE(same(c, static_cast<float>(cosl(a)))) << angle;
  }
  float s, c;
  SinCosF(std::numeric_limits<float>::infinity(), &s, &c);
  EXPECT_TRUE(std::isnan(s) && std::isnan(c));
}

TEST(ArithmeticHelpers, MultiplyKnownExampleAndRandomInputs) {
  uint32_t a[2] = {0xFFFFFFFFu, 0xFFFFFFFFu}, out[4];
  Multiply64To128(a, a, out);
  EXPECT_EQ(out[0], 1u);
  EXPECT_EQ(out[1], 0u);
  EXPECT_EQ(out[2], 0xFFFFFFFEu);
  EXPECT_EQ(out[3], 0xFFFFFFFFu);

  std::mt19937_64 random(12345);
  for (int i = 0; i < 20000; ++i) {
    uint64_t x = random(), y = random();
    if (i % 4 == 1) x >>= (random() % 64);
    if (i % 4 == 2) y >>= (random() % 64);
    uint32_t wx[2], wy[2], product[4];
    Split64(x, wx);
    Split64(y, wy);
    Multiply64To128(wx, wy, product);
    ASSERT_TRUE(Join(product, 4) == static_cast<u128>(x) * y) << x << " * " << y;
  }
}

TEST(ArithmeticHelpers, DivideKnownExampleAndRandomInputs) {
  const u128 e21 = static_cast<u128>(1000000000000ull) * 1000000000ull;
  EXPECT_EQ(Divide(e21, 1000000000ull), 1000000000000ull);
  EXPECT_EQ(Divide(5, 7), 0u);
  EXPECT_EQ(Divide(7, 7), 1u);

  std::mt19937_64 random(777);
  for (int i = 0; i < 20000; ++i) {
    uint64_t divisor = random() >> (random() % 64);
    if (divisor == 0) divisor = 1;
    // A dividend whose quotient fits 64 bits: quotient * divisor + a remainder.
    uint64_t quotient = random() >> (random() % 64);
    uint64_t remainder = random() % divisor;
    u128 dividend = static_cast<u128>(quotient) * divisor + remainder;
    ASSERT_EQ(Divide(dividend, divisor), quotient) << i;
  }
}

TEST(ArithmeticHelpers, DivideEdgesDoNotHang) {
  // The largest dividends: the doubling must not run past 128 bits.
  const u128 all = ~static_cast<u128>(0);
  EXPECT_EQ(Divide(all, 1), static_cast<uint64_t>(all));  // low 64 bits of the quotient
  EXPECT_EQ(Divide(all, 0xFFFFFFFFFFFFFFFFull), static_cast<uint64_t>(all / 0xFFFFFFFFFFFFFFFFull));
  EXPECT_EQ(Divide(static_cast<u128>(1) << 127, 3),
            static_cast<uint64_t>((static_cast<u128>(1) << 127) / 3));
  // A zero divisor gives the largest quotient instead of looping.
  EXPECT_EQ(Divide(12345, 0), 0xFFFFFFFFFFFFFFFFull);
}

}  // namespace
