// The stage-1 boss in the open: the rush and the cross scaled by the difficulty, the arms'
// bursts, the core's clock that ends the fight by itself, and a kill that pays and unlocks.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage1/stage1_bench.h"

namespace {

// The boss set straight into its fight at (x, y), rushing along heading 0 at a target far away.
EnemyObject& BossInFight(Stage1Bench& bench, double x, double y) {
  EnemyObject& boss = bench.BossOnRoute(x, y);
  boss.phase = 3;
  boss.imageFrame = 3;
  boss.intWork0 = 0;
  boss.intWork1 = 0;
  boss.intWork2 = 1;
  boss.intWork3 = 0;
  boss.heading = 0;
  boss.realWork0 = 100000;
  boss.realWork1 = y;
  return boss;
}

TEST(Stage1BossFight, TheRushSpeedAndBrakeGrowWithTheDifficulty) {
  for (int difficulty = 0; difficulty < 4; ++difficulty) {
    SCOPED_TRACE(difficulty);
    Stage1Bench bench(difficulty);
    EnemyObject& boss = BossInFight(bench, 100, 200);
    const double top = 4.8 + 0.6 * difficulty;
    const double step = 0.2 + 0.025 * difficulty;
    bench.PassBoss();
    EXPECT_DOUBLE_EQ(boss.speed, step);
    EXPECT_EQ(boss.partsB[5].cue, 1);  // the blades glow while rushing
    for (int f = 0; f < 40; ++f) bench.PassBoss();
    EXPECT_DOUBLE_EQ(boss.speed, top);
    EXPECT_EQ(boss.intWork1, 27);  // spin rate
    boss.realWork0 = boss.x;       // arrived
    boss.realWork1 = boss.y;
    bench.PassBoss();
    EXPECT_EQ(boss.intWork3, 1);
    EXPECT_DOUBLE_EQ(boss.speed, top - step);
  }
  // Insane in numbers: 6.6 with a brake of 0.275.
  EXPECT_DOUBLE_EQ(4.8 + 0.6 * 3, 6.6);
  EXPECT_DOUBLE_EQ(0.2 + 0.025 * 3, 0.275);
}

TEST(Stage1BossFight, TheCrossSpinsTwiceAsFastOnHardAndInsane) {
  const int targets[4] = {2, 2, 4, 4};
  for (int difficulty = 0; difficulty < 4; ++difficulty) {
    SCOPED_TRACE(difficulty);
    Stage1Bench bench(difficulty);
    EnemyObject& boss = BossInFight(bench, 100, 200);
    boss.intWork0 = 2;  // the turn starts the cross with the spin reversed
    bench.PassBoss();
    ASSERT_EQ(boss.intWork0, 3);
    EXPECT_EQ(boss.intWork2, -1);
    boss.realWork0 = 100000;  // never arrives
    for (int f = 0; f < 50; ++f) bench.PassBoss();
    EXPECT_EQ(boss.intWork1, -targets[difficulty]);
    EXPECT_DOUBLE_EQ(boss.speed, 2);
  }
}

// The arms fire five type-3 shots, 4 frames apart, 72 px out along each arm, at 2.0 .. 3.6
// before scaling; on easy below the rank threshold the burst runs through without shots.
TEST(Stage1BossFight, ArmBurstsFireFiveShotsFourFramesApart) {
  for (int difficulty : {1, 0}) {
    SCOPED_TRACE(difficulty);
    Stage1Bench bench(difficulty);
    EnemyObject& boss = BossInFight(bench, 300, 200);
    for (int k = 1; k <= 4; ++k) boss.partsB[k].work0 = 100;
    std::vector<int> firedAt;
    std::vector<double> speeds;
    for (int f = 1; f <= 30; ++f) {
      ClearEnemyShots();
      bench.PassBoss();
      const auto shots = EnemyShotsOfType(3);
      if (shots.empty()) continue;
      ASSERT_EQ(shots.size(), 4u);  // one from each arm
      const EnemyPart& arm = boss.partsB[1];
      EXPECT_DOUBLE_EQ(shots[0]->x, RotateOffsetX(arm.x, 72, 0, arm.angle));
      EXPECT_DOUBLE_EQ(shots[0]->y, RotateOffsetY(arm.y, 72, 0, arm.angle));
      EXPECT_EQ(shots[0]->drawAngle, arm.angle);
      firedAt.push_back(f);
      speeds.push_back(shots[0]->speed);
    }
    EXPECT_EQ(boss.partsB[1].work0, 0);  // the burst is over either way
    EXPECT_EQ(boss.partsB[1].work1, 0);
    if (difficulty == 0) {
      EXPECT_TRUE(firedAt.empty());
      continue;
    }
    EXPECT_EQ(firedAt, (std::vector<int>{4, 8, 12, 16, 20}));
    ASSERT_EQ(speeds.size(), 5u);
    for (int n = 0; n < 5; ++n) EXPECT_DOUBLE_EQ(speeds[n], ScaleShotSpeed(2 + 0.4 * n));
  }
}

struct CoreRun {
  int hurtableFrom = -1;  // core clock when its life first turns positive
  int closedAt = -1;      // core clock when its life is -1 again
  int destroyedAt = -1;   // core clock on the frame it went
  int finaleAfter = -1;   // frames from the core's end to the stage clear
  std::vector<int> finaleSounds;
  int32_t scoreGained = 0;
  int itemsAtClear = 0;
  bool effect32 = false;
  int16_t unlockId = 0;   // StageUnlockId after the clear
  int32_t coreScore = 0;  // what a kill of the core pays
};

// Until the core is gone and the boss has played its finale; with killAt >= 0 the core takes a
// deadly hit once its clock reaches it.
CoreRun RunCore(int killAt) {
  Stage1Bench bench(1);
  EnemyObject& boss = BossInFight(bench, 320, 200);
  const int16_t slot = static_cast<int16_t>(&boss - EnemyPool0);
  EnemyPart& core = boss.partsB[0];
  StageUnlockId = -1;
  CoreRun run;
  const int32_t scoreBefore = Score;
  int lastClock = 0;
  int gone = -1;
  for (int f = 0; f < 4000 && boss.state != 0; ++f) {
    if (killAt >= 0 && core.state == 2 && core.counter == killAt) {
      EXPECT_TRUE(bench.field.DamageEnemy({0, slot, kTestPartsB, 0}, 1000000));
      EXPECT_EQ(core.state, 3);
    }
    const std::vector<int> sounds = bench.PassBoss();
    if (gone < 0 && core.state == 2) {
      lastClock = core.counter;
      if (run.hurtableFrom < 0 && core.life > 0) run.hurtableFrom = core.counter;
      if (run.hurtableFrom >= 0 && run.closedAt < 0 && core.life == -1) run.closedAt = core.counter;
    }
    if (gone < 0 && core.state != 2) {
      gone = f;
      run.destroyedAt = lastClock + 1;
    }
    if (boss.state == 0) {
      run.finaleAfter = f - gone;
      run.finaleSounds = sounds;
    }
  }
  run.scoreGained = Score - scoreBefore;
  for (const Item& it : Items) run.itemsAtClear += it.state != 0 && it.kind == kUnlockCapsuleItem;
  for (const Effect& e : Effects) run.effect32 |= e.state != 0 && e.type == 32;
  run.unlockId = StageUnlockId;
  run.coreScore = PartKillScore(ScaleLifeByRank(1100));
  EXPECT_EQ(StageClearTimer, 2);
  EXPECT_EQ(BossState, -1);
  return run;
}

TEST(Stage1BossFight, UntouchedTheCoreOpensClosesAndDestroysItselfWithoutPay) {
  const CoreRun run = RunCore(-1);
  EXPECT_EQ(run.hurtableFrom, 8);
  EXPECT_EQ(run.closedAt, 3520);  // five image steps after 3500, on multiples of 4
  EXPECT_EQ(run.destroyedAt, 3681);
  // The body takes the end on the next frame (its frame 0) and clears on its frame 80.
  EXPECT_EQ(run.finaleAfter, 81);
  EXPECT_NE(std::find(run.finaleSounds.begin(), run.finaleSounds.end(), 27),
            run.finaleSounds.end());
  EXPECT_TRUE(run.effect32);
  EXPECT_EQ(run.scoreGained, 0);
  EXPECT_EQ(run.itemsAtClear, 0);
}

TEST(Stage1BossFight, AKilledCorePaysUnlocksTheWeaponAndLeavesTheCapsule) {
  // The unlock weight of 2 takes -1 to -3, which the kill turns into stage 1's weapon.
  const CoreRun run = RunCore(100);
  EXPECT_EQ(run.unlockId, 2);
  EXPECT_GT(run.coreScore, 0);
  EXPECT_EQ(run.scoreGained, run.coreScore);
  EXPECT_EQ(run.finaleAfter, 81);
  EXPECT_EQ(run.itemsAtClear, 1);
}

// The end chain: the front parts go up in the core's frame, the ones behind vanish on the next
// frame before they run.
TEST(Stage1BossFight, FrontPartsExplodeInTheCoresFrameAndBackPartsVanishNext) {
  Stage1Bench bench;
  EnemyObject& boss = BossInFight(bench, 320, 200);
  const int16_t slot = static_cast<int16_t>(&boss - EnemyPool0);
  for (int f = 0; f < 20; ++f) bench.PassBoss();
  ASSERT_GT(boss.partsB[0].life, 0);
  ASSERT_TRUE(bench.field.DamageEnemy({0, slot, kTestPartsB, 0}, 1000000));
  bench.PassBoss();
  EXPECT_EQ(boss.state, 3);
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(boss.partsB[k].state, 0) << k;
  EXPECT_EQ(boss.partsB[6].state, 4);  // the wing plates break off
  EXPECT_EQ(boss.partsB[7].state, 4);
  for (int k = 0; k <= 5; ++k) EXPECT_EQ(boss.partsA[k].state, 2) << k;
  bench.PassBoss();
  EXPECT_EQ(boss.state, 4);
  for (int k = 0; k <= 5; ++k) EXPECT_EQ(boss.partsA[k].state, 0) << k;
}

}  // namespace
