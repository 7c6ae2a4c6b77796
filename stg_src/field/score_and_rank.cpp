#include "stg_src/field/score_and_rank.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "runtime/platform/core/arithmetic_helpers.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"

#include "stg_src/game/deterministic.h"

int16_t TimeRank;
int16_t PowerRank;

namespace {

constexpr int kMaxExtends = 7;
constexpr int16_t kExtendSound = 42;
constexpr int kMinFireInterval = 3;

// base x 120 / (rank / a + b), by difficulty.
struct FireRule {
  int a, b;
};
using FireRules = FireRule[4];
constexpr FireRules kFireRules = {{9, 26}, {6, 44}, {5, 82}, {4, 132}};
constexpr FireRules kMildRankRules = {{18, 26}, {12, 44}, {10, 82}, {8, 132}};
constexpr FireRules kWeakRankRules = {{27, 26}, {24, 44}, {20, 82}, {16, 132}};
constexpr FireRules kFlatRules = {{16, 41}, {13, 56}, {13, 75}, {13, 90}};

constexpr double kShotSpeedDivisors[4] = {21, 19, 17, 16};

bool IsKnownDifficulty() { return Difficulty >= 0 && Difficulty < 4; }

int16_t FireInterval(const FireRules& rules, int16_t base, int16_t rank) {
  int quotient = base;
  if (IsKnownDifficulty()) {
    const FireRule& r = rules[Difficulty];
    // Ranks are never negative in play; a divisor of 0 is taken as 1 rather than trapping.
    const int divisor = rank / r.a + r.b;
    quotient = base * 120 / (divisor != 0 ? divisor : 1);
  }
  const int16_t interval = static_cast<int16_t>(quotient);
  return interval < kMinFireInterval ? kMinFireInterval : interval;
}

int32_t KillScore(int64_t s) {
  const int d = IsKnownDifficulty() ? Difficulty : 0;
  if (ScoreTable[0][0] == 0) return 0;
  const int64_t award = s * ScoreTable[d][0] / ScoreTable[0][0];
  return static_cast<int32_t>(std::clamp<int64_t>(award, INT32_MIN, INT32_MAX));
}

// 1 when the selected weapon of a kind stands at level 4 or more.
int StrongWeapon(const int16_t* levels, int count, int16_t selected) {
  if (selected < 0 || selected >= count) return 0;
  return std::min(levels[selected] / 4, 1);
}

int16_t LimitRank(int value) { return static_cast<int16_t>(std::min<int>(value, kRankMax)); }

}  // namespace

void AddScore(int32_t points, bool noExtraLife) {
  if (points < 0) return;
  Score = static_cast<int32_t>(std::min<int64_t>(int64_t{Score} + points, kScoreMax));
  int64_t progress = int64_t{ExtendProgress} + points;
  const int32_t step = IsKnownDifficulty() ? ScoreTable[Difficulty][3] : 0;
  while (step > 0 && progress >= step) {
    progress -= step;
    if (ExtendCount < kMaxExtends && !noExtraLife) {
      ExtendCount += 1;
      RequestSoundEffect(kExtendSound);
      Lives += 1;
    }
  }
  ExtendProgress = static_cast<int32_t>(std::min<int64_t>(progress, INT32_MAX));
}

int32_t EnemyKillScore(int32_t scoreBase) {
  const int64_t s = 2 * int64_t{scoreBase};
  return KillScore(s >= 1 && s <= 29 ? 30 : s);
}

int32_t PartKillScore(int32_t scoreBase) { return KillScore(scoreBase < 30 ? 30 : scoreBase); }

int16_t ComputeFireInterval(int16_t base, int16_t rank) {
  return FireInterval(kFireRules, base, rank);
}

int16_t ComputeFireIntervalMildRank(int16_t base, int16_t rank) {
  return FireInterval(kMildRankRules, base, rank);
}

int16_t ComputeFireIntervalWeakRank(int16_t base, int16_t rank) {
  return FireInterval(kWeakRankRules, base, rank);
}

int16_t ComputeFireIntervalFlat(int16_t base, int16_t rank) {
  return FireInterval(kFlatRules, base, rank);
}

double ScaleShotSpeed(double speed) {
  if (IsKnownDifficulty()) speed = speed * 16 / kShotSpeedDivisors[Difficulty];
  return TimeRank * speed / 800 + speed;
}

int32_t ScaleLifeByRank(int32_t life) {
  if (life <= 0) return life;
  return static_cast<int32_t>(std::min<int64_t>(life + int64_t{PowerRank} * life / 440, INT32_MAX));
}

void ComputeStartPowerRank() {
  const int main = StrongWeapon(MainWeaponLevels, kMainWeapons, SelectedMainWeapon);
  const int sub1 = StrongWeapon(SubWeaponLevels, kSubWeapons, SelectedSubWeapons[0]);
  const int sub2 = StrongWeapon(SubWeaponLevels, kSubWeapons, SelectedSubWeapons[1]);
  const int charge = StrongWeapon(ChargeWeaponLevels, kChargeWeapons, SelectedChargeWeapon);
  const double r = PowerRank;
  const double q = r / 40;
  int rank = DoubleToInt((r + r) / 3);
  rank += DoubleToInt(main * q * 5);
  rank += DoubleToInt(sub1 * q * 4);
  rank += DoubleToInt(sub2 * q * 4);
  rank += DoubleToInt(charge * q * 2);
  PowerRank = LimitRank(rank);
}

void AdvanceRanks(int32_t event) {
  if (GameFrame % 250 == 0 && TimeRank < kRankMax) TimeRank += 1;
  if (GameFrame % 500 == 0 && PowerRank < kRankMax) PowerRank += 1;
  if (event == 0) return;
  constexpr int16_t kPowerUpRank[4] = {0, 40, 30, 20};
  if (event >= 1 && event <= 3) PowerRank += kPowerUpRank[event];
  TimeRank = LimitRank(TimeRank);
  PowerRank = LimitRank(PowerRank);
}

void LowerRanksOnDeath(int16_t weak) {
  const int livesLost = Lives <= 3 ? 3 - Lives : 0;
  const int k = livesLost * 50;
  int timeRank = TimeRank - k;
  int powerRank = PowerRank - k / 3;
  if (weak / 100 > 0) powerRank -= 50;
  if ((weak / 10) % 10 > 0) powerRank -= 40;
  if (weak % 10 > 0) powerRank -= 30;
  TimeRank = static_cast<int16_t>(std::max(timeRank, 0));
  PowerRank = static_cast<int16_t>(std::max(powerRank, 0));
}

bool IsHarderThanEasy() { return Difficulty > 0 || TimeRank > 133; }

double ApproachValue(double value, double step, double target) {
  if (target > value) step = std::fabs(step);
  if (target < value) step = -std::fabs(step);
  value += step;
  if (step > 0 && value > target) value = target;
  if (step <= 0 && value < target) value = target;
  return value;
}

int16_t ApproachInt(int16_t value, int16_t step, int16_t target) {
  int s = step;
  if (target > value) s = std::abs(s);
  if (target < value) s = -std::abs(s);
  int v = value + s;
  if (s > 0 && v > target) v = target;
  if (s <= 0 && v < target) v = target;
  return static_cast<int16_t>(v);
}

void ResetScoreAndRank() {
  TimeRank = 0;
  PowerRank = 0;
}

void DigestScoreAndRank(StateDigest& d, DigestScope) {
  DigestValue(d, TimeRank);
  DigestValue(d, PowerRank);
}
