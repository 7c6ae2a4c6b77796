// Stage 4 in the real game on the kit's maps, from the title through the shell's driver: on
// normal and hard every kind of the stage comes in, and the flow runs in its order (carrier,
// mid-boss, go signal, fire wall and red pulse, dasher, boss core open, boss down, stage clear);
// and the last stretch, from the mid-boss to the clear, gives the same digests played fast and
// drawn every frame on the software path.
#include <gtest/gtest.h>

#include <vector>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/game/image_tables.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage4/stage4_play.h"

namespace {

constexpr int kBossType = 10;

void ExpectTheFlowInOrder(const Stage4Watch& w) {
  ASSERT_GE(w.midBossKilledAt, 0);
  EXPECT_GT(w.goAt, w.midBossKilledAt);
  EXPECT_GT(w.fireWallAt, w.goAt);
  EXPECT_EQ(w.redPeakAfterWall, 127);
  ASSERT_GE(w.bossArrivedAt, 0);
  ASSERT_GT(w.dasherArrivedAt, w.fireWallAt);
  // The dasher ran to the x the core published.
  EXPECT_GE(w.dasherLastX + 20, w.coreXAtArrival);
  // Five steps of the core's picture, one every fourth frame.
  EXPECT_GE(w.coreOpenAt - w.dasherArrivedAt, 16);
  EXPECT_LE(w.coreOpenAt - w.dasherArrivedAt, 21);
  EXPECT_GT(w.bossKilledAt, w.coreOpenAt);
}

TEST(Stage4Game, EveryKindComesInAndTheFlowEndsInTheStageClearOnNormalAndHard) {
  for (const int16_t difficulty : {int16_t{1}, int16_t{2}}) {
    SCOPED_TRACE(difficulty);
    Stage4Watch w;
    w.waitForShells = true;
    const StageRunSummary run = RunStage(Stage4Play(difficulty, 0, 9000, w));
    ASSERT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
    EXPECT_EQ(run.scenes.back(), kSceneStageClear);
    // Map codes 11-16 (pool 0, types 10-15) and 75-83 (pool 1, types 10-18).
    for (int code = 11; code <= 16; ++code) EXPECT_GT(run.census.FromMap(0, code - 1), 0) << code;
    for (int code = 75; code <= 83; ++code) EXPECT_GT(run.census.FromMap(1, code - 65), 0) << code;
    EXPECT_EQ(run.census.FromCode(0, 16), 1) << "fire wall";
    EXPECT_GT(run.census.FromCode(1, 12), 0) << "hatch fliers";
    EXPECT_GT(run.census.EnemyShots(20), 0) << "spinning shots";
    EXPECT_GE(w.carrierKilledAt, 0);
    EXPECT_GT(w.midBossKilledAt, w.carrierKilledAt);
    ExpectTheFlowInOrder(w);
    EXPECT_EQ(run.bossesKilled, std::vector<int>{kBossType});
  }
}

TEST(Stage4Game, TheMidBossToTheClearGivesTheSameDigestsFastAndDrawnEveryFrame) {
  auto play = [](bool drawn) {
    Stage4Watch w;
    StageRunOptions o = Stage4Play(1, 2, 4000, w);
    o.drawEveryFrame = drawn;
    o.digestEveryFrame = true;
    bool bossImagesRead = false;
    o.afterFrame = [&, watch = o.afterFrame] {
      watch();
      if (w.bossArrivedAt < 0 || bossImagesRead) return;
      // The core's six frames, the arms' six, the hull, the guns' four, the cannons' two and
      // the flames' four.
      bool all = PartImages[22][0] > 0;
      for (int f = 0; f < 6; ++f) all = all && PartImages[20][f] > 0 && PartImages[21][f] > 0;
      for (int f = 0; f < 4; ++f) all = all && PartImages[23][f] > 0 && PartImages[25][f] > 0;
      for (int f = 0; f < 2; ++f) all = all && PartImages[24][f] > 0;
      bossImagesRead = all;
    };
    const StageRunSummary run = RunStage(o);
    EXPECT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
    EXPECT_TRUE(bossImagesRead);
    ExpectTheFlowInOrder(w);
    return run.digests;
  };
  const std::vector<uint64_t> fast = play(false);
  const std::vector<uint64_t> drawn = play(true);
  ASSERT_GT(fast.size(), 500u);
  EXPECT_EQ(fast, drawn);
}

}  // namespace
