// Score with its extra lives, the rank counters, and what enemies derive from them.
#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/field_fixture.h"

namespace {

class ScoreAndRankTest : public testing::Test {
 protected:
  FieldFixture field{0};
};

TEST_F(ScoreAndRankTest, ExtraLivesArePaidForEveryStepCrossedUpToSeven) {
  // Easy: a step of 150,000. 1,000 short of it, an award of 2,000 pays one life.
  for (int crossing = 1; crossing <= 8; ++crossing) {
    ExtendProgress = 149000;
    const int lives = Lives;
    AddScore(2000, false);
    EXPECT_EQ(ExtendProgress, 1000);
    EXPECT_EQ(Lives, lives + (crossing <= 7 ? 1 : 0)) << crossing;
  }
  EXPECT_EQ(ExtendCount, 7);

  // An award of three and a half steps pays three lives at once and leaves half a step.
  ResetRunState();
  AddScore(525000, false);
  EXPECT_EQ(Lives, 6);
  EXPECT_EQ(ExtendCount, 3);
  EXPECT_EQ(ExtendProgress, 75000);
  // The next crossing still pays.
  AddScore(75000, false);
  EXPECT_EQ(Lives, 7);

  // With the flag the step is taken off all the same.
  AddScore(150000, true);
  EXPECT_EQ(Lives, 7);
  EXPECT_EQ(ExtendProgress, 0);

  const int score = Score;
  AddScore(-5, false);
  EXPECT_EQ(Score, score);
  EXPECT_EQ(ExtendProgress, 0);
}

TEST_F(ScoreAndRankTest, TheScoreStopsAtItsCapWhileTheProgressCounts) {
  Difficulty = 3;  // a step of 600,000
  Score = kScoreMax - 10;
  AddScore(100, false);
  EXPECT_EQ(Score, kScoreMax);
  EXPECT_EQ(ExtendProgress, 100);
  AddScore(INT32_MAX, false);
  EXPECT_EQ(Score, kScoreMax);
  EXPECT_EQ(ExtendProgress, (100 + int64_t{INT32_MAX}) % 600000);
  EXPECT_EQ(ExtendCount, 7);
}

TEST_F(ScoreAndRankTest, FireIntervalsByDifficultyAndRank) {
  struct Case {
    int difficulty;
    int16_t (*function)(int16_t, int16_t);
    int base, rank, interval;
  } cases[] = {
      {0, ComputeFireInterval, 60, 0, 276},
      {1, ComputeFireInterval, 60, 0, 163},
      {2, ComputeFireInterval, 60, 0, 87},
      {3, ComputeFireInterval, 60, 0, 54},
      {1, ComputeFireIntervalFlat, 60, 200, 101},
      {0, ComputeFireInterval, 1, 0, 4},
      {1, ComputeFireInterval, 1, 0, 3},
      {2, ComputeFireInterval, 1, 0, 3},
      {3, ComputeFireInterval, 1, 0, 3},
      {3, ComputeFireInterval, 60, 200, 39},
      {3, ComputeFireIntervalMildRank, 60, 200, 45},
      {3, ComputeFireIntervalWeakRank, 60, 200, 50},
      {0, ComputeFireIntervalWeakRank, 60, 27, 266},
      {4, ComputeFireInterval, 60, 0, 60},
      {4, ComputeFireInterval, 2, 0, 3},
  };
  for (const Case& c : cases) {
    Difficulty = static_cast<int16_t>(c.difficulty);
    EXPECT_EQ(c.function(static_cast<int16_t>(c.base), static_cast<int16_t>(c.rank)), c.interval)
        << "difficulty " << c.difficulty << " base " << c.base << " rank " << c.rank;
  }
}

TEST_F(ScoreAndRankTest, ShotSpeedLifeAndKillScores) {
  Difficulty = 3;
  TimeRank = 200;
  EXPECT_DOUBLE_EQ(ScaleShotSpeed(4), 5);
  Difficulty = 0;
  TimeRank = 0;
  EXPECT_DOUBLE_EQ(ScaleShotSpeed(21), 16);

  PowerRank = 200;
  EXPECT_EQ(ScaleLifeByRank(1000), 1454);
  EXPECT_EQ(ScaleLifeByRank(0), 0);
  EXPECT_EQ(ScaleLifeByRank(-1), -1);

  Difficulty = 2;
  EXPECT_EQ(EnemyKillScore(1), 90);  // doubled, raised to 30, times 3
  EXPECT_EQ(EnemyKillScore(14), 90);
  EXPECT_EQ(EnemyKillScore(15), 90);
  EXPECT_EQ(EnemyKillScore(16), 96);
  EXPECT_EQ(EnemyKillScore(50), 300);
  EXPECT_EQ(EnemyKillScore(0), 0);
  EXPECT_EQ(PartKillScore(10), 90);
  EXPECT_EQ(PartKillScore(40), 120);
}

TEST_F(ScoreAndRankTest, RanksRiseWithTimeAndPowerAndFallOnDeath) {
  GameFrame = 500;
  AdvanceRanks(0);
  EXPECT_EQ(TimeRank, 1);
  EXPECT_EQ(PowerRank, 1);
  GameFrame = 250;
  AdvanceRanks(1);
  EXPECT_EQ(TimeRank, 2);
  EXPECT_EQ(PowerRank, 41);
  GameFrame = 251;
  PowerRank = 190;
  AdvanceRanks(2);
  EXPECT_EQ(PowerRank, 200);
  TimeRank = 200;
  GameFrame = 0;
  AdvanceRanks(0);
  EXPECT_EQ(TimeRank, 200);

  Lives = 1;
  TimeRank = 150;
  PowerRank = 160;
  LowerRanksOnDeath(111);
  EXPECT_EQ(TimeRank, 50);
  EXPECT_EQ(PowerRank, 7);
  LowerRanksOnDeath(111);
  EXPECT_EQ(TimeRank, 0);
  EXPECT_EQ(PowerRank, 0);
  Lives = 4;
  TimeRank = PowerRank = 100;
  LowerRanksOnDeath(10);
  EXPECT_EQ(TimeRank, 100);
  EXPECT_EQ(PowerRank, 60);

  Difficulty = 0;
  TimeRank = 133;
  EXPECT_FALSE(IsHarderThanEasy());
  TimeRank = 134;
  EXPECT_TRUE(IsHarderThanEasy());
}

TEST_F(ScoreAndRankTest, StartPowerRankKeepsTwoThirdsAndPaysStrongWeapons) {
  PowerRank = 120;
  SelectedMainWeapon = 2;
  SelectedSubWeapons[0] = 1;
  SelectedSubWeapons[1] = 4;
  SelectedChargeWeapon = 1;
  MainWeaponLevels[2] = 4;
  SubWeaponLevels[1] = 8;
  SubWeaponLevels[4] = 3;
  ChargeWeaponLevels[1] = 5;
  ComputeStartPowerRank();
  EXPECT_EQ(PowerRank, 80 + 15 + 12 + 0 + 6);
  PowerRank = 200;
  SubWeaponLevels[4] = 8;
  ComputeStartPowerRank();
  EXPECT_EQ(PowerRank, 200);
  // A selection outside the tables counts as a weak weapon.
  PowerRank = 30;
  SelectedMainWeapon = 9;
  SelectedSubWeapons[0] = -1;
  ComputeStartPowerRank();
  EXPECT_EQ(PowerRank, 20 + 3 + 1);
}

TEST_F(ScoreAndRankTest, ApproachNeverPassesTheTarget) {
  EXPECT_EQ(ApproachValue(5, 2, 5), 5);
  EXPECT_EQ(ApproachValue(4, -2, 5), 5);
  EXPECT_EQ(ApproachValue(0, 0.3, -1), -0.3);
  EXPECT_EQ(ApproachInt(10, 3, 0), 7);
  EXPECT_EQ(ApproachInt(1, 3, 0), 0);
  EXPECT_EQ(ApproachInt(-5, -4, 10), -1);
}

}  // namespace
