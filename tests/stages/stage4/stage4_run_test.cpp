// Stage 4 played from its start through the game's own loop: the carrier comes from the map,
// stops the scroll with the view's right edge at 4080, falls to damage dealt to its core, goes
// home and lets the scroll run on toward the mid-boss; the same run drawn on every frame (on the
// software path, with the stage's images read) gives the same digests as the fast one.
#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game/image_tables.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr int kCarrierType = 13;
constexpr uint32_t kPadShot = 1u << 4;
constexpr int kFrames = 1900;
// Past the stop, the kill and the scroll's restart: the drawn run is the costly one.
constexpr int kDrawnFrames = 1400;

struct CarrierWatch {
  double stopRightEdge = -1;  // the view's right edge on the first frame the scroll stood still
  int stoppedAt = -1;
  int killedAt = -1;
  int resumedAt = -1;
  double lastLeft = 0;
  int frame = 0;
};

int16_t CarrierSlot() {
  for (int16_t s = 0; s < kEnemyPool1Size; ++s)
    if (EnemyPool1[s].state == 2 && EnemyPool1[s].type == kCarrierType) return s;
  return -1;
}

StageRunOptions CarrierRun(int difficulty, bool drawn, CarrierWatch& watch) {
  StageRunOptions options;
  options.start = {0, static_cast<int16_t>(difficulty), 4, 0};
  options.frames = kFrames;
  options.immuneShip = true;
  options.kit = "common,enemies,effects,stage4";
  options.drawEveryFrame = drawn;
  options.digestEveryFrame = true;
  // Fire now and then; once the carrier has stood a second, its core takes a killing blow.
  options.script = [&watch](int frame) {
    FrameInput in;
    if (frame % 16 < 8) in.padBits = kPadShot;
    const int16_t slot = CarrierSlot();
    if (slot >= 0 && watch.stoppedAt >= 0 && watch.killedAt < 0 && frame > watch.stoppedAt + 60) {
      watch.killedAt = frame;
      in.damage.push_back({{1, slot, kTestPartsA, 0}, 100000});
    }
    return in;
  };
  options.afterFrame = [&watch] {
    const int frame = watch.frame++;
    if (watch.stoppedAt < 0 && CarrierSlot() >= 0 && ScrollTargetSpeed == 0 && ScrollDeltaX == 0 &&
        frame > 100) {
      watch.stoppedAt = frame;
      watch.stopRightEdge = ScreenToWorldX(kViewWidth);
    }
    if (watch.killedAt >= 0 && watch.resumedAt < 0 && ScrollDeltaX > 0) watch.resumedAt = frame;
    watch.lastLeft = ScreenToWorldX(0);
  };
  return options;
}

TEST(Stage4Run, TheCarrierStopsTheScrollFallsWithItsCoreAndTheScrollRunsOn) {
  CarrierWatch fast;
  const StageRunSummary run = RunStage(CarrierRun(1, false, fast));
  ASSERT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
  EXPECT_EQ(run.census.FromMap(1, kCarrierType), 1);
  EXPECT_GT(run.census.EnemyShots(18), 0);  // the wall guns' bouncing shots
  ASSERT_GE(fast.stoppedAt, 0);
  EXPECT_GE(fast.stopRightEdge, 4080);
  EXPECT_LT(fast.stopRightEdge, 4080 + 8);
  ASSERT_GE(fast.killedAt, 0);
  ASSERT_GE(fast.resumedAt, 0);
  EXPECT_GT(fast.lastLeft, 3440 + 100);

  // Drawn on every frame: the same play, and the carrier's and its shots' images were there.
  CarrierWatch drawn;
  StageRunOptions options = CarrierRun(1, true, drawn);
  options.frames = kDrawnFrames;
  // Read on the last frame: the stage's list loaded the carrier's parts and the stage's shots.
  bool imagesRead = false;
  options.afterFrame = [&, watch = options.afterFrame] {
    watch();
    bool all = true;
    for (int frame = 0; frame < 4; ++frame) all = all && PartImages[5][frame] > 0;
    for (int type : {4, 6, 7, 8}) all = all && PartImages[type][0] > 0;
    for (int type = 17; type <= 26; ++type)
      all = all && EnemyShotImages[type][type == 23 ? 4 : 0] > 0;
    all = all && LaserImages[2] > 0;
    imagesRead = all;
  };
  const StageRunSummary again = RunStage(options);
  EXPECT_TRUE(imagesRead);
  EXPECT_EQ(drawn.stoppedAt, fast.stoppedAt);
  EXPECT_EQ(drawn.resumedAt, fast.resumedAt);
  ASSERT_GE(run.digests.size(), again.digests.size());
  ASSERT_GT(again.digests.size(), size_t{kDrawnFrames - 10});
  for (size_t i = 0; i < again.digests.size(); ++i)
    ASSERT_EQ(again.digests[i], run.digests[i]) << "play frame " << i;
}

TEST(Stage4Run, OnHardTheCarrierStopsAtTheSameEdgeAndFallsTheSameWay) {
  CarrierWatch hard;
  const StageRunSummary run = RunStage(CarrierRun(2, false, hard));
  EXPECT_EQ(run.census.FromMap(1, kCarrierType), 1);
  ASSERT_GE(hard.stoppedAt, 0);
  EXPECT_GE(hard.stopRightEdge, 4080);
  EXPECT_LT(hard.stopRightEdge, 4080 + 8);
  EXPECT_GE(hard.resumedAt, 0);
}

}  // namespace
