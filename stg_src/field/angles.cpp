#include "stg_src/field/angles.h"

#include <algorithm>
#include <cmath>

#include "runtime/platform/core/arithmetic_helpers.h"

#include "stg_src/game/deterministic.h"

double SineTable[kTrigTableSize];
double CosineTable[kTrigTableSize];

namespace {

constexpr double kTablePi = 3.1415926535898;
constexpr double kAngleToTableArgument = kTablePi / 512;
constexpr double kTableArgumentToAngle = 512 / kTablePi;

long long Magnitude(long long v) { return v < 0 ? -v : v; }

// Shared by both turn variants: the clamped step, and whether the difference was half a turn.
int ClampedTurn(int target, int current, int maxStep, bool* halfTurn) {
  const int d = AngleDifference(target, current);
  *halfTurn = d == 512 || d == -512;
  if (Magnitude(d) > maxStep) return d < 0 ? -maxStep : maxStep;
  return d;
}

}  // namespace

void BuildTrigTables() {
  double t = 0.0;
  for (int i = 0; i < kTrigTableSize; ++i) {
    SineTable[i] = std::sin(t);
    CosineTable[i] = std::cos(t);
    t += kAngleToTableArgument;
  }
  SineTable[0] = 0.0;
  SineTable[512] = 0.0;
  CosineTable[256] = 0.0;
  CosineTable[768] = 0.0;
}

int AngleDifference(int a, int b) {
  long long d = static_cast<long long>(a) - b;
  if (d > 512) {
    d -= 1024;
  } else if (d < -512) {
    d += 1024;
  }
  return static_cast<int>(d);
}

int TurnTowardAngle(int target, int current, int maxStep) {
  target = WrapAngle(target);
  current = WrapAngle(current);
  if (maxStep == 0) return current;
  bool halfTurn;
  return WrapAngle(current + ClampedTurn(target, current, maxStep, &halfTurn));
}

int TurnTowardAngleFlipTie(int target, int current, int maxStep) {
  target = WrapAngle(target);
  current = WrapAngle(current);
  if (maxStep == 0) return current;
  bool halfTurn;
  const int d = ClampedTurn(target, current, maxStep, &halfTurn);
  return WrapAngle(current + (halfTurn ? -d : d));
}

int StepAngleToward(int target, int current, int step) {
  const int d = AngleDifference(target, current);
  const int added = Magnitude(step) < Magnitude(d) ? step : d;
  return WrapAngle(WrapAngle(current) + WrapAngle(added));
}

int ReflectAngle(int a, int surface) { return WrapAngle(2 * WrapAngle(surface) - WrapAngle(a)); }

int AimAngle(double x1, double y1, double x2, double y2) {
  double dx = x2 - x1;
  if (dx == 0) dx = 1;
  const double dy = y2 - y1;
  int a = DoubleToInt(std::atan(dy / dx) * kTableArgumentToAngle);
  if (dx < 0) {
    a += 512;
  } else if (dy < 0) {
    a += 1024;
  }
  // Only a non-finite position can make a negative here; it still names a table entry.
  return WrapAngle(a);
}

double AbsoluteValue(double v) { return std::fabs(v); }

void ResetTrigTables() {
  std::ranges::fill(SineTable, 0.0);
  std::ranges::fill(CosineTable, 0.0);
}

void DigestTrigTables(StateDigest& d, DigestScope scope) {
  if (scope == DigestScope::Run) return;
  DigestArray(d, SineTable);
  DigestArray(d, CosineTable);
}
