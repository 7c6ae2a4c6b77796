// The mid-boss, the fire wall and the dasher on a small stage-4 map whose start puts the view's
// right edge past the mid-boss's stop: the core's time-out, the weapons' silence before the stop
// and in one turret cycle of five, the hull halves, the fire wall's sway, pulse and survival of
// the clear rule, and the dasher's hand-off words.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"

namespace {

// 300 x 15 cells: ceiling rows 0-2, floor rows 12-14; the start at column 275 scrolls right.
const char* const kMidBossMap = R"(size 300 15
layers 5
rect 2 0 0 300 3 1
rect 2 0 12 300 3 1
cell 2 275 7 16
cell 3 275 8 144
cell 3 277 5 133
)";

constexpr int kMidBossType = 11;
constexpr int kFireWallType = 16;
constexpr int kDasherType = 17;
constexpr int kCore = 0;  // partsB
constexpr int kUpperHull = 1;
constexpr int kTurrets[] = {0, 1, 2, 3};  // partsA

class MidBossTest : public testing::Test {
 protected:
  void SetUp() override {
    field.WriteStageMaps(4, PlainBackgroundDescription(), kMidBossMap);
    ASSERT_EQ(field.StartStage(4), 1);
    field.digestFrames = false;
    field.SetShipImmune(true);
    field.Run(81);  // the opening count
    ASSERT_GE(ScreenToWorldX(kViewWidth), 11200);
  }

  int16_t SpawnMidBoss() {
    const int16_t s = SpawnPool0Enemy(ScreenToWorldX(480) - 220, ScreenToWorldY(240) - 20,
                                      kMidBossType, 0, -1, 0);
    EXPECT_GE(s, 0);
    return s;
  }

  FieldFixture field;
};

TEST_F(MidBossTest, ATimedOutCoreClosesExplodesAndEndsTheFightWithoutAKillScore) {
  const int16_t s = SpawnMidBoss();
  EnemyObject& o = EnemyPool0[s];
  field.Step();
  EXPECT_EQ(BossState, 1);
  EXPECT_EQ(BossType, kMidBossType);
  const int32_t scoreBefore = Score;
  std::vector<int> deathSteps;
  int closedAt = -1, goneAt = -1, goAt = -1;
  for (int i = 1; i <= 4400 && goAt < 0; ++i) {
    field.Step();
    const EnemyPart& core = o.partsB[kCore];
    if (closedAt < 0 && core.cue > 0 && core.life == -1) closedAt = i;
    if (goneAt < 0 && core.state != 2) goneAt = i;
    if (o.state >= 3 && o.frame == 0) deathSteps.push_back(i);
    if (StageWork[0] == 1) goAt = i;
  }
  ASSERT_GT(closedAt, 0);
  ASSERT_GT(goneAt, closedAt);
  // Closing takes five picture steps a fourth frame apart; it goes 180 frames after it began.
  EXPECT_GE(goneAt - closedAt, 180 - 21);
  // The core goes in one call, so the death step runs on two frames only.
  ASSERT_EQ(deathSteps.size(), 2u);
  EXPECT_EQ(deathSteps[1], deathSteps[0] + 1);
  EXPECT_EQ(goAt, deathSteps[1] + 80);
  EXPECT_EQ(ScrollTargetSpeed, 8);
  EXPECT_EQ(Score, scoreBefore);
}

TEST_F(MidBossTest, TurretsFollowTheirCueOrderAndKeepOneCycleInFiveSilent) {
  const int16_t s = SpawnMidBoss();
  EnemyObject& o = EnemyPool0[s];
  const int16_t period = ComputeFireInterval(210, o.rank);
  std::vector<int> cued;
  std::vector<int> silentCycles;
  for (int i = 0; i < period * 6; ++i) {
    const int32_t cycle = o.intWork0;
    int16_t before[4];
    for (int t : kTurrets) before[t] = o.partsA[t].cue;
    field.Step();
    for (int t : kTurrets)
      if (before[t] == 0 && o.partsA[t].cue > 0) cued.push_back(t);
    if (o.frame % period == ComputeFireInterval(170, o.rank) && cycle == 3)
      silentCycles.push_back(i);
  }
  ASSERT_GE(cued.size(), 8u);
  const std::vector<int> order = {0, 1, 2, 3, 3, 2, 1, 0};
  EXPECT_EQ(std::vector<int>(cued.begin(), cued.begin() + 8), order);
  // Six cycles, one of them silent: five cycles of eight cues.
  EXPECT_EQ(silentCycles.size(), 1u);
  EXPECT_EQ(cued.size(), 5u * 8u);
}

TEST_F(MidBossTest, HullHalvesDriftApartOnlyWhileTheMidBossDies) {
  const int16_t s = SpawnMidBoss();
  EnemyObject& o = EnemyPool0[s];
  field.Run(40);
  const double restY = o.partsB[kUpperHull].offsetY;
  EXPECT_EQ(restY, -60);
  ASSERT_TRUE(field.DamageEnemy({0, s, kTestPartsB, kCore}, 1000000));
  field.Run(20);
  EXPECT_EQ(o.state, 4);
  EXPECT_LT(o.partsB[kUpperHull].offsetY, restY - 10);
  EXPECT_GT(o.partsB[2].offsetY, 60 + 10);
}

TEST_F(MidBossTest, TheFireWallSwaysPulsesRedAndOutlivesTheStageClear) {
  BossState = 1;
  const int16_t s = SpawnPool0Enemy(0, 0, kFireWallType, 0, -1, 0);
  ASSERT_GE(s, 0);
  EnemyObject& o = EnemyPool0[s];
  double lo = 0, hi = -1000;
  int redHigh = 0, redLow = 999;
  for (int i = 0; i < 500; ++i) {
    field.Step();
    if (i > 230) {
      lo = std::min(lo, o.realWork0);
      hi = std::max(hi, o.realWork0);
    }
    redHigh = std::max<int>(redHigh, ScreenFlashRed);
    if (i > 64) redLow = std::min<int>(redLow, ScreenFlashRed);
  }
  EXPECT_EQ(lo, -100);
  EXPECT_EQ(hi, -60);
  EXPECT_NEAR(WorldToScreenX(o.x), o.realWork0, 1e-6);
  EXPECT_EQ(std::abs(ScreenFlashRedStep), 4);
  EXPECT_EQ(redHigh, 127);
  EXPECT_EQ(redLow, 0);
  StageClearTimer = 2;
  field.Run(3);
  EXPECT_EQ(o.state, 2);
  EXPECT_EQ(o.type, kFireWallType);
}

TEST_F(MidBossTest, TheDasherWaitsForTheGoSignalAndOpensTheCoreOnArrival) {
  StageWork[0] = StageWork[1] = StageWork[2] = 7;
  const int16_t d =
      SpawnPool1Enemy(ScreenToWorldX(100), ScreenToWorldY(240), kDasherType, 0, -1, 0);
  ASSERT_GE(d, 0);
  EnemyObject& o = EnemyPool1[d];
  field.Run(3);
  EXPECT_EQ(StageWork[0], 0);
  EXPECT_EQ(StageWork[1], 0);
  EXPECT_EQ(StageWork[2], 0);
  const double waitX = o.x;
  field.Run(30);
  EXPECT_EQ(o.x, waitX);
  StageWork[0] = 1;
  StageWork[1] = static_cast<int32_t>(waitX) + 300;
  int arrived = -1;
  for (int i = 1; i <= 600 && arrived < 0; ++i) {
    const FieldFrameReport r = field.Step();
    if (o.state == 0) {
      arrived = i;
      EXPECT_EQ(std::count(r.sounds.begin(), r.sounds.end(), 44), 1);
    }
  }
  EXPECT_EQ(StageWork[2], 1);
  // 0.5 on the first frame and 0.016 more on each after: 0.5n + 0.008n(n - 1) passes 300 at 166.
  EXPECT_EQ(arrived, 166);
}

TEST_F(MidBossTest, ADasherPlacedAfterTheGoSignalCancelsItAndNeverMoves) {
  StageWork[0] = 1;
  const int16_t d =
      SpawnPool1Enemy(ScreenToWorldX(300), ScreenToWorldY(240), kDasherType, 0, -1, 0);
  ASSERT_GE(d, 0);
  EnemyObject& o = EnemyPool1[d];
  field.Step();
  const double x = o.x;
  field.Run(100);
  EXPECT_EQ(StageWork[0], 0);
  EXPECT_EQ(o.x, x);
  EXPECT_EQ(o.state, 2);
}

}  // namespace
