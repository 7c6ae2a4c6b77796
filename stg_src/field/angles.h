// The play field's angle unit (1024 steps a turn, 0 to +x, 256 to +y, clockwise on screen), the
// sine and cosine tables every mover reads, and the angle and distance helpers they share. Replays
// rebuild every position from these numbers, so their rounding and table use are fixed.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

constexpr int kTrigTableSize = 1024;

// Filled once at boot by BuildTrigTables, read-only afterwards.
extern double SineTable[kTrigTableSize];
extern double CosineTable[kTrigTableSize];

// Both tables back to zero, as at program start; their digest (they are the same in every frame of
// a run, so only the full digest takes them).
void ResetTrigTables();
void DigestTrigTables(StateDigest& digest, DigestScope scope);

// The argument is accumulated by addition of pi/512 (pi to 13 decimals), as the stored replays
// were made with; sine 0 and 512 and cosine 256 and 768 are exactly 0.
void BuildTrigTables();

// a brought into 0..1023.
inline int WrapAngle(int a) {
  const int r = a % kTrigTableSize;
  return r < 0 ? r + kTrigTableSize : r;
}
// The signed shortest difference a - b, -512..512 for wrapped inputs (+512 and -512 both kept).
int AngleDifference(int a, int b);
// current turned toward target by at most maxStep, 0..1023. At exactly half a turn the sign of
// the difference decides the way; the FlipTie variant turns the other way in that one case.
int TurnTowardAngle(int target, int current, int maxStep);
int TurnTowardAngleFlipTie(int target, int current, int maxStep);
// Adds step (its own sign, not turned toward target) unless the target lies within it, in which
// case it lands on the target. 0..1023.
int StepAngleToward(int target, int current, int step);
// The mirror image of a about the line of direction surface, 0..1023.
int ReflectAngle(int a, int surface);
// The angle from point 1 toward point 2: atan scaled by a slightly small 512/pi and truncated, so
// diagonals give 127, 385, 639, 897 and straight down never reaches 256.
int AimAngle(double x1, double y1, double x2, double y2);
// The helpers below run for every shot against every target circle: inline, so those loops pay
// no call per pair.

// The sign-keeping remainder a % 1024 times 0.006135.
inline double AngleToRadians(int16_t a) { return (a % kTrigTableSize) * 0.006135; }

// The second term of the rotations: -dy read at a + 256 or a - 256, signed so that the sum is
// -dy x sin(a) for x and dy x cos(a) for y.
inline double RotatedSecondTerm(const double* table, double dy, int16_t a) {
  const double e = -dy;
  if (e < 0) return -(e * table[WrapAngle(a + 256)]);
  if (e > 0) return e * table[WrapAngle(a - 256)];
  return 0.0;
}

// The point at local offset (dx, dy) from x (or y) turned by a, read from one table each at a
// and a +- 256.
inline double RotateOffsetX(double x, double dx, double dy, int16_t a) {
  const double first = dx != 0 ? dx * CosineTable[WrapAngle(a)] : 0.0;
  return (x + first) + RotatedSecondTerm(CosineTable, dy, a);
}
inline double RotateOffsetY(double y, double dx, double dy, int16_t a) {
  const double first = dx != 0 ? dx * SineTable[WrapAngle(a)] : 0.0;
  return (y + first) + RotatedSecondTerm(SineTable, dy, a);
}
inline double SquaredDistance(double x1, double y1, double x2, double y2) {
  return (x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1);
}
double AbsoluteValue(double v);
