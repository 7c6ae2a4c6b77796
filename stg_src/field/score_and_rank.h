// Score with its extra lives, the two rank counters, and what enemies derive from them and the
// difficulty: fire intervals, shot speed, life, kill scores; and the two approach helpers most
// behaviours move values with. ResetScoreAndRank puts the ranks back to their values at program
// start; DigestScoreAndRank sums them (score, lives and the extend words are the shell's).
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

constexpr int16_t kRankMax = 200;
constexpr int32_t kScoreMax = 99999999;

extern int16_t TimeRank;   // rises with time, 0..200
extern int16_t PowerRank;  // rises with firepower, 0..200

// Adds to Score (at most 99,999,999) and ExtendProgress; every extra-life step crossed comes off
// the progress and pays a life while fewer than 7 were paid and noExtraLife is not set.
// Negative points do nothing.
void AddScore(int32_t points, bool noExtraLife);
// What a kill pays: an object's base doubled (1..29 counts as 30), a part's base (below 30 counts
// as 30), times the difficulty's unit over easy's.
int32_t EnemyKillScore(int32_t scoreBase);
int32_t PartKillScore(int32_t scoreBase);

// base x 120 / (rank / a + b) with the difficulty's a and b, at least 3. The four families
// differ in how much the rank counts.
int16_t ComputeFireInterval(int16_t base, int16_t rank);
int16_t ComputeFireIntervalMildRank(int16_t base, int16_t rank);
int16_t ComputeFireIntervalWeakRank(int16_t base, int16_t rank);
int16_t ComputeFireIntervalFlat(int16_t base, int16_t rank);
// Slower on the easier difficulties, up to 25% faster at the top time rank.
double ScaleShotSpeed(double speed);
// Lives of 0 or less keep their meaning; others grow with the power rank.
int32_t ScaleLifeByRank(int32_t life);
// At a stage start: two thirds of the power rank, plus shares for weapons at level 4 or more.
void ComputeStartPowerRank();
// Once per play frame with 0; a power-up pickup passes 1..3.
void AdvanceRanks(int32_t event);
// After a death: lower by the lives lost and by the weapons below level 4 (decimal flags 100,
// 10 and 1 for main, sub and charge).
void LowerRanksOnDeath(int16_t weak);
bool IsHarderThanEasy();
// value moved by the size of step toward target, never past it.
double ApproachValue(double value, double step, double target);
int16_t ApproachInt(int16_t value, int16_t step, int16_t target);

void ResetScoreAndRank();
void DigestScoreAndRank(StateDigest& digest, DigestScope scope);
