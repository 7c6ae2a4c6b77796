// The stage-3 boss's cores and its end: the cores' life, score and unlock weight, the facing
// core shot in the attack, the time-out of untouched cores, kills in both orders with the
// destruction step that runs twice when core 1 falls second, the parts that burst or fall away
// at the end, the claw gun's interval, and map cells that cannot change the boss.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/items_and_popups.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage3/boss_fight.h"

namespace {

TestDamageTarget Core(int k) { return {0, 0, kTestPartsB, static_cast<int16_t>(k)}; }

int CapsuleItems() {
  int n = 0;
  for (const Item& it : Items) n += it.state != 0 && it.kind == 7 ? 1 : 0;
  return n;
}

// Passes in which the boss's destruction step ran: its frame restarted at 0 (a core may have
// set the dying boss back to state 3 after it in the same pass).
std::vector<int> DestructionSteps(const std::vector<BossSnapshot>& h) {
  std::vector<int> out;
  for (const BossSnapshot& s : h) {
    if ((s.state == 3 || s.state == 4) && s.frame == 0) out.push_back(s.passes);
  }
  return out;
}

TEST(Stage3BossCoresTest, CoresHaveScaledLifeAndAnUnlockWeightTheBodyCannotBeHurt) {
  BossFight fight(1);
  PowerRank = 120;
  fight.SpawnBoss();
  fight.Step();
  const EnemyObject& b = fight.boss();
  EXPECT_EQ(b.life, -1);
  EXPECT_EQ(BossState, 1);
  EXPECT_EQ(BossType, 10);
  for (int k = 0; k < 2; ++k) {
    const EnemyPart& c = b.partsB[k];
    EXPECT_EQ(c.life, ScaleLifeByRank(2100));
    EXPECT_GT(c.life, 2100);
    EXPECT_EQ(c.maxLife, c.life);
    EXPECT_EQ(c.scoreBase, c.life);
    EXPECT_EQ(c.unlockWeight, 1);
  }
  // The body ignores damage.
  EXPECT_TRUE(fight.field().DamageEnemy({0, 0, kTestBody, 0}, 100000));
  fight.Step();
  EXPECT_EQ(fight.boss().life, -1);
  EXPECT_EQ(fight.boss().state, 2);
}

TEST(Stage3BossCoresTest, ShootingTheFacingCoreEndsTheAttackAtOnceAndLaterStopsFaceCoreOne) {
  BossFight fight(1);
  fight.SpawnBoss();
  ASSERT_TRUE(
      fight.RunUntil([](const BossSnapshot& s) { return s.phase == 3 && s.timer > 30; }, 3000));
  fight.field().TakeSoundRequests();
  ASSERT_TRUE(fight.field().DamageEnemy(Core(0), 1000000));
  const BossSnapshot& next = fight.Step();
  EXPECT_EQ(next.coreState[0], 4);
  fight.Step();  // the boss reads the core's state on its next frame
  EXPECT_EQ(fight.history().back().phase, -1);
  const std::vector<int> sounds = fight.field().TakeSoundRequests();
  EXPECT_NE(std::find(sounds.begin(), sounds.end(), 51), sounds.end());
  EXPECT_EQ(fight.history().back().facing, 0);  // chosen at the stop, kept until the next

  // The next stop turns core 1 toward the player, and the body fires its two seekers there.
  ASSERT_TRUE(fight.RunUntil([](const BossSnapshot& s) { return s.phase == 1; }, 3000));
  EXPECT_EQ(fight.history().back().facing, 512);
  ASSERT_TRUE(fight.RunUntil([](const BossSnapshot& s) { return s.phase == 3; }, 1000));
  EXPECT_EQ(fight.history().back().angle, 512);
  const int16_t period = ComputeFireIntervalMildRank(80, 0);
  const int16_t due = ComputeFireIntervalMildRank(4, 0);
  int volleys = 0;
  for (int i = 0; i < 400; ++i) {
    const BossSnapshot& s = fight.Step();
    int seekers = 0, shells = 0;
    for (const auto& [type, slot] : s.shots) {
      seekers += type == 6 ? 1 : 0;
      shells += type == 3 ? 1 : 0;
    }
    EXPECT_EQ(shells, 0);
    EXPECT_EQ(seekers, s.frame % period == due ? 2 : 0) << s.frame;
    volleys += seekers > 0 ? 1 : 0;
  }
  EXPECT_GE(volleys, 2);
}

TEST(Stage3BossCoresTest, UntouchedCoresCloseFromFrame4800AndTheFightEndsWithoutScoreOrItem) {
  BossFight fight(1);
  fight.field().digestFrames = false;
  fight.SpawnBoss();
  ASSERT_TRUE(fight.RunUntil([](const BossSnapshot& s) { return s.coreCue[0] > 0; }, 6000));
  const BossSnapshot cued = fight.history().back();
  EXPECT_EQ(cued.frame, 4800);
  EXPECT_GT(cued.coreCue[1], 0);
  const int cuedAt = cued.passes;
  ASSERT_TRUE(fight.RunUntil([](const BossSnapshot& s) { return s.stageClearTimer == 2; }, 400));
  const std::vector<BossSnapshot>& h = fight.history();
  // The core closes its image on the way and cannot be hurt once shut.
  EXPECT_EQ(h[cuedAt + 30 - 1].coreState[0], 2);
  // The cue's frame is the first of its 180: the cores go on the 180th.
  for (int k = 0; k < 2; ++k) {
    const int gone =
        FindSnapshot(h, cuedAt - 1, [&](const BossSnapshot& s) { return s.coreState[k] != 2; });
    EXPECT_EQ(h[gone].passes - cuedAt, 179) << k;
  }
  const std::vector<int> steps = DestructionSteps(h);
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(h.back().passes - steps.back(), 80);
  EXPECT_EQ(Score, 0);
  EXPECT_EQ(StageUnlockId, -1);
  EXPECT_EQ(CapsuleItems(), 0);
  EXPECT_EQ(BossState, -1);
  EXPECT_EQ(fight.boss().state, 0);
}

TEST(Stage3BossCoresTest, KillsInEitherOrderEndTheFightCoreOneLastRunsTheDestructionTwice) {
  struct Row {
    int first, second;
    size_t steps;
  } rows[] = {{0, 1, 2}, {1, 0, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.first);
    BossFight fight(1);
    fight.SpawnBoss();
    for (int i = 0; i < 200; ++i) fight.Step();
    const int32_t scoreBase = fight.boss().partsB[r.first].scoreBase;
    ASSERT_TRUE(fight.field().DamageEnemy(Core(r.first), 1000000));
    EXPECT_EQ(StageUnlockId, -2);
    EXPECT_EQ(Score, PartKillScore(scoreBase));
    for (int i = 0; i < 10; ++i) fight.Step();
    EXPECT_EQ(fight.boss().life, -2);
    EXPECT_EQ(fight.boss().state, 2);
    ASSERT_TRUE(fight.field().DamageEnemy(Core(r.second), 1000000));
    // Past -3 the stage's weapon: stage 3 unlocks weapon 3.
    EXPECT_EQ(StageUnlockId, 3);
    const int killedAt = static_cast<int>(fight.history().size());
    ASSERT_TRUE(fight.RunUntil([](const BossSnapshot& s) { return s.stageClearTimer == 2; }, 300));
    const std::vector<BossSnapshot>& h = fight.history();
    EXPECT_EQ(DestructionSteps(h).size(), r.steps);
    EXPECT_EQ(CapsuleItems(), 1);

    // The frame the body goes: plates and arm roots burst at once; each arm's segments fall
    // away one a frame from the root outward, without a burst.
    const int dying =
        FindSnapshot(h, killedAt, [](const BossSnapshot& s) { return s.partState[29] == 0; });
    ASSERT_GE(dying, 0);
    for (int j = 29; j <= 38; ++j) EXPECT_EQ(h[dying].partState[j], 0) << j;
    EXPECT_EQ(h[dying].partState[15], 0);
    EXPECT_EQ(h[dying].partState[28], 0);
    EXPECT_EQ(h[dying - 1].partState[15], 2);
    for (int k = 1; k <= 11; ++k) {
      const BossSnapshot& s = h[dying + k];
      EXPECT_EQ(s.partState[15 - k], 0) << k;
      EXPECT_EQ(s.partState[28 - k], 0) << k;
      EXPECT_NE(h[dying + k - 1].partState[15 - k], 0) << k;
      EXPECT_EQ(s.newBurstEffects, 0) << k;
    }
  }
}

TEST(Stage3BossCoresTest, TheClawGunFiresEveryEightBossFramesOrTenOnInsane) {
  for (int difficulty : {1, 3}) {
    SCOPED_TRACE(difficulty);
    BossFight fight(difficulty);
    fight.SpawnBoss();
    ASSERT_TRUE(fight.RunUntil([](const BossSnapshot& s) { return s.phase == 3; }, 3000));
    std::vector<int> frames;
    for (int i = 0; i < 200; ++i) {
      const BossSnapshot& s = fight.Step();
      for (const auto& [type, slot] : s.shots) {
        if (type == 18) frames.push_back(s.frame);
      }
    }
    const int16_t interval = ComputeFireIntervalMildRank(difficulty == 3 ? 10 : 8, 0);
    ASSERT_GT(frames.size(), 4u);
    // Each arm's gun on those frames (a muzzle beyond the screen's edge fires nothing).
    for (int f : frames) EXPECT_EQ(f % interval, 0);
    EXPECT_LE(std::count(frames.begin(), frames.end(), frames[0]), 2);
  }
  EXPECT_NE(ComputeFireIntervalMildRank(10, 0), ComputeFireIntervalMildRank(8, 0));
}

TEST(Stage3BossCoresTest, ACellsUpperValuesDoNotChangeTheBoss) {
  auto run = [](int16_t variant) {
    BossFight fight(1);
    fight.SpawnBoss(variant);
    for (int i = 0; i < 600; ++i) fight.Step();
    return fight.history();
  };
  const std::vector<BossSnapshot> plain = run(0);
  for (int16_t variant : {int16_t{-1}, int16_t{62}}) {
    SCOPED_TRACE(variant);
    const std::vector<BossSnapshot> other = run(variant);
    ASSERT_EQ(other.size(), plain.size());
    for (size_t i = 0; i < plain.size(); ++i) {
      EXPECT_EQ(other[i].x, plain[i].x);
      EXPECT_EQ(other[i].y, plain[i].y);
      EXPECT_EQ(other[i].phase, plain[i].phase);
      EXPECT_EQ(other[i].angle, plain[i].angle);
    }
    EXPECT_DOUBLE_EQ(plain[0].x, 740 - 4.8);  // placed at screen (740, 100) whatever its cell
    EXPECT_DOUBLE_EQ(plain[0].y, 100);
  }
}

}  // namespace
