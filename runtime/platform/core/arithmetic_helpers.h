// Float and double conversions with fixed truncation, and the 128-bit multiply and divide that
// the clocks and sound positions use.
#pragma once

#include <cstdint>

// Sine and cosine from one evaluation at extended precision, each rounded to float.
void SinCosF(float angle, float* sine, float* cosine);
float SqrtF(float value);
// INT_MIN has no positive counterpart and comes back unchanged.
int AbsInt(int value);
// Values below 0 are negated; 0, -0 and NaN come back unchanged.
float AbsFloat(float value);
// Truncation toward zero whatever the rounding mode. A value that does not fit in 32 bits, or
// is not finite, gives INT_MIN (0x80000000).
int FloatToInt(float value);
int DoubleToInt(double value);
// left, top, right, bottom, each as DoubleToInt.
void DoublesToInts4(const double in[4], int out[4]);

// Numbers as 32-bit words, least significant first. out = a * b (four words).
void Multiply64To128(const uint32_t a[2], const uint32_t b[2], uint32_t out[4]);
// quotient = the low 64 bits of dividend / divisor, by long division in base 2. A divisor of 0
// gives the largest quotient, 0xFFFFFFFF'FFFFFFFF, instead of dividing.
void Divide128By64(const uint32_t dividend[4], const uint32_t divisor[2], uint32_t quotient[2]);
