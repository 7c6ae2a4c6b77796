// The stage-6 boss's last stage on hard: the jaws blown off below a third of the core's life,
// the tentacles that stay folded until then and unfold (root 27 frames, others 42), swing
// between their slot's limits with the wave hold, and fire faster the longer they swing; the
// free boss that steers after the player, backs off for each blue volley and scrolls at 3; and
// the tentacles crumbling tip first when the boss dies.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/stages/stage6/stage6.h"
#include "tests/game_support/spawn_census.h"
#include "tests/stages/stage6/boss_field.h"

namespace {

constexpr int kUpperJaw = 0, kLowerJaw = 1, kInnerShell = 4, kOuterShell = 5, kBlue = 19;

// Hard, with both shells taken away by hand: the core armed and the jaws closing.
struct HardFight : Stage6BossField {
  HardFight() : Stage6BossField(2) {
    PowerRank = 0;
    B(kOuterShell).state = 0;
    field.Step();
    B(kInnerShell).state = 0;
    field.Step();
  }
  EnemyPart& A(int j) { return boss().partsA[j]; }
  bool AnyEffect(int type) {
    for (const Effect& e : Effects) {
      if (e.state != 0 && e.type == type) return true;
    }
    return false;
  }
  // Blows the jaws off and runs until the tentacles are all swinging.
  void FreeTheBoss() {
    field.DamageEnemy({0, slot, kTestPartsA, 0}, 15001);
    field.Run(2);
    while (B(kUpperJaw).state != 0 || B(kLowerJaw).state != 0) field.Step();
    field.Run(45);
  }
};

TEST(Stage6BossHard, JawsBlowOffBelowAThirdAndTheTentaclesUnfold) {
  HardFight f;
  ASSERT_EQ(f.core().maxLife, 22500);
  EXPECT_EQ(f.B(kUpperJaw).cue, 1);
  // Folded while a jaw stands: hidden and harmless.
  for (int j = 1; j <= 24; ++j) {
    EXPECT_EQ(f.A(j).cue, 0) << j;
    EXPECT_EQ(f.A(j).imageFrame, -1) << j;
    EXPECT_EQ(f.A(j).hitMode, 0) << j;
  }
  f.field.DamageEnemy({0, f.slot, kTestPartsA, 0}, 22500 - 7500);
  f.field.Step();
  EXPECT_EQ(f.B(kUpperJaw).state, 2);  // a third itself holds
  f.field.DamageEnemy({0, f.slot, kTestPartsA, 0}, 1);
  f.field.Step();
  EXPECT_EQ(f.B(kUpperJaw).state, 4);
  EXPECT_EQ(f.B(kLowerJaw).state, 4);
  EXPECT_EQ(f.core().hitMode, 0);
  EXPECT_TRUE(f.AnyEffect(kBossDeathFlashEffect));
  EXPECT_EQ(ScreenShake.active, 1);
  int jawFrames = 0;
  while (f.B(kUpperJaw).state != 0 && jawFrames < 200) {
    f.field.Step();
    ++jawFrames;
  }
  EXPECT_EQ(jawFrames, 81);  // blasts through 80 frames, gone on the next
  // Both jaws gone: the core is open to shots again, the scroll runs at 3, the lights come.
  std::vector<int> swingingAfter(25, -1);
  for (int i = 1; i <= 60; ++i) {
    f.field.Step();
    for (int j = 1; j <= 24; ++j) {
      if (swingingAfter[j] < 0 && f.A(j).cue == 2) swingingAfter[j] = i;
    }
  }
  EXPECT_EQ(f.core().hitMode, 1);
  EXPECT_EQ(ScrollTargetSpeed, 3);
  EXPECT_EQ(f.B(14).cue, 2);
  // The body turns them to unfolding on the frame after the jaws go, and they run in that frame:
  // the root slides 27 frames and the other segments 42.
  for (int j = 1; j <= 24; ++j) {
    EXPECT_EQ(swingingAfter[j], (j - 1) % 6 == 0 ? 27 : 42) << j;
    EXPECT_EQ(f.A(j).hitMode, 1) << j;
  }
  EXPECT_EQ(f.A(6).imageFrame, 1);  // a tip
  EXPECT_EQ(f.A(5).imageFrame, 0);
}

// The free boss steers toward screen x 480 (the player left of 240) and backs off to the right
// through a blue volley; the tips' interval base falls from 36 to 14 over 22 x 90 frames and
// they fire.
TEST(Stage6BossHard, TheFreeBossSteersBacksOffAndItsTipsFireFaster) {
  HardFight f;
  f.FreeTheBoss();
  EnemyObject& o = f.boss();
  ASSERT_GT(WorldToScreenX(o.x), 480);
  f.B(kBlue).cue = 0;
  f.field.Run(20);
  EXPECT_LT(o.vx, 0);
  // A volley's charge and shots: the boss drifts right the whole time, then steers back.
  f.B(kBlue).cue = 150;
  int backOff = 0;
  while (f.B(kBlue).cue > 0 && backOff < 200) {
    f.field.Step();
    EXPECT_GT(o.vx, -0.4);
    ++backOff;
  }
  EXPECT_EQ(backOff, 64 + 24);  // 64 frames to the first shot, 24 more to the third
  EXPECT_GT(o.vx, 0);
  SpawnCensus census;
  f.field.Run(22 * 90 + 10);
  EXPECT_EQ(StageWork[255], 14);
  EXPECT_GT(census.counts().EnemyShots(18), 0);
}

// Swing limits by slot: upper tentacles 512 + 64d above and 512 - 40d below, lower ones the
// reverse; the step turns at a limit and not a step before it.
TEST(Stage6BossHard, EachSegmentSwingsBetweenItsSlotsLimits) {
  HardFight f;
  f.FreeTheBoss();
  struct Case {
    int slot;
    int16_t upper, lower, step;
  };
  for (const Case& c : {Case{2, 576, 472, -1}, Case{8, 576, 472, 1}, Case{12, 832, 312, 5},
                        Case{14, 552, 448, -1}, Case{24, 712, 192, 5}}) {
    SCOPED_TRACE(c.slot);
    EnemyPart& p = f.A(c.slot);
    const int16_t size = static_cast<int16_t>(c.step < 0 ? -c.step : c.step);
    struct Probe {
      int16_t swing, stepBefore, stepAfter;
    };
    for (const Probe& t : {Probe{c.upper, size, static_cast<int16_t>(-size)},
                           Probe{static_cast<int16_t>(c.upper - 1), size, size},
                           Probe{c.lower, static_cast<int16_t>(-size), size},
                           Probe{static_cast<int16_t>(c.lower + 1), static_cast<int16_t>(-size),
                                 static_cast<int16_t>(-size)}}) {
      p.work0 = t.swing;
      p.work1 = t.stepBefore;
      p.baseAngle = 0;
      UpdateStage6BossTentaclePart(EnemyPool0, static_cast<uint16_t>(f.slot), f.boss().partsA,
                                   static_cast<int16_t>(c.slot));
      EXPECT_EQ(p.work1, t.stepAfter) << t.swing;
    }
  }
}

// A segment at its limit whose outer neighbour lags behind eases to a stop there; once the
// neighbour arrives it turns back.
TEST(Stage6BossHard, TheWaveHoldStopsASegmentAtItsLimitUntilTheOuterOneArrives) {
  HardFight f;
  f.FreeTheBoss();
  EnemyPart& seg = f.A(3);   // tentacle 0, d 2: limits 640 and 432
  EnemyPart& next = f.A(4);  // its outer neighbour
  int16_t nextSwing = 512;
  f.field.beforeFrame = [&](int) { next.work0 = nextSwing; };
  seg.work0 = 638;
  seg.baseAngle = 2;
  seg.work1 = 2;
  f.field.Run(10);
  EXPECT_EQ(seg.baseAngle, 0);
  EXPECT_EQ(seg.work0, 641);  // 640 at the limit, then one more step as the rate eases off
  EXPECT_EQ(seg.work1, -2);
  nextSwing = 650;
  f.field.Run(10);
  EXPECT_LT(seg.work0, 640);
}

// The boss killed: each tentacle crumbles from the tip to the root, one segment a frame.
TEST(Stage6BossHard, TentaclesCrumbleTipFirstWhenTheBossDies) {
  HardFight f;
  f.FreeTheBoss();
  f.field.DamageEnemy({0, f.slot, kTestPartsA, 0}, 1000000);
  std::vector<int> goneAt(25, -1);
  for (int i = 0; i < 20; ++i) {
    f.field.Step();
    for (int j = 1; j <= 24; ++j) {
      if (goneAt[j] < 0 && f.A(j).state == 0) goneAt[j] = i;
    }
  }
  for (int k = 0; k < 4; ++k) {
    for (int d = 0; d < 5; ++d) {
      EXPECT_EQ(goneAt[6 * k + 1 + d], goneAt[6 * k + 2 + d] + 1) << k << " " << d;
    }
  }
  EXPECT_GE(goneAt[6], 0);
}

}  // namespace
