// Stage 4 from its second checkpoint through the game's own loop: the mid-boss stops the scroll
// at right edge 11200 standing in the view, its core opens and falls to damage, the go signal
// comes 80 frames later with the scroll at 8, the fire wall follows the hulk out of the view and
// starts the red pulse, and the dasher that came into view during the stop dashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr int kMidBossType = 11;  // pool 0
constexpr int kFireWallType = 16;
constexpr int kDasherType = 17;  // pool 1
constexpr int kCore = 0;         // partsB
constexpr uint32_t kPadShot = 1u << 4;

int16_t FindLive(EnemyObject* pool, int count, int type) {
  for (int16_t s = 0; s < count; ++s)
    if (pool[s].state >= 1 && pool[s].type == type) return s;
  return -1;
}

struct FlowWatch {
  int frame = 0;
  int stoppedAt = -1;
  double stopRightEdge = 0;
  double midBossScreenX = 0;
  double coreScreenX = 0;
  int coreOpenAt = -1;
  int killedAt = -1;
  std::vector<int> deathSteps;  // frames that ran the mid-boss's death step
  int goAt = -1;
  double targetAtGo = 0;
  int fireWallAt = -1;
  double hulkScreenXAtWall = 0;
  int dasherSeenAt = -1;
  double dasherStartX = 0;
  double dasherFurthestX = 0;
  bool dasherSeenBeforeGo = false;
  int redPeak = 0;
  int redLowAfterPeak = 999;
  double lastHulkScreenX = 0;
};

StageRunOptions FlowRun(FlowWatch& w) {
  StageRunOptions options;
  options.start = {0, 1, 4, 2};
  options.frames = 2000;
  options.immuneShip = true;
  options.kit = "common,enemies,effects,stage4";
  options.script = [&w](int frame) {
    FrameInput in;
    if (frame % 16 < 8) in.padBits = kPadShot;
    const int16_t m = FindLive(EnemyPool0, kEnemyPool0Size, kMidBossType);
    if (m >= 0 && w.coreOpenAt >= 0 && w.killedAt < 0 && frame > w.coreOpenAt + 30) {
      w.killedAt = frame;
      in.damage.push_back({{0, m, kTestPartsB, kCore}, 1000000});
    }
    return in;
  };
  options.afterFrame = [&w] {
    const int f = w.frame++;
    const int16_t m = FindLive(EnemyPool0, kEnemyPool0Size, kMidBossType);
    if (m >= 0) {
      const EnemyObject& o = EnemyPool0[m];
      w.lastHulkScreenX = WorldToScreenX(o.x);
      if (w.stoppedAt < 0 && ScrollTargetSpeed == 0) {
        w.stoppedAt = f;
        w.stopRightEdge = ScreenToWorldX(kViewWidth);
        w.midBossScreenX = WorldToScreenX(o.x);
        w.coreScreenX = WorldToScreenX(o.partsB[kCore].x);
      }
      if (w.coreOpenAt < 0 && o.partsB[kCore].life > 0) w.coreOpenAt = f;
      if (o.state >= 3 && o.frame == 0) w.deathSteps.push_back(f);
    }
    if (w.goAt < 0 && StageWork[0] == 1) {
      w.goAt = f;
      w.targetAtGo = ScrollTargetSpeed;
    }
    if (w.fireWallAt < 0 && FindLive(EnemyPool0, kEnemyPool0Size, kFireWallType) >= 0) {
      w.fireWallAt = f;
      w.hulkScreenXAtWall = w.lastHulkScreenX;
    }
    const int16_t d = FindLive(EnemyPool1, kEnemyPool1Size, kDasherType);
    if (d >= 0) {
      if (w.dasherSeenAt < 0) {
        w.dasherSeenAt = f;
        w.dasherStartX = EnemyPool1[d].x;
        w.dasherSeenBeforeGo = w.goAt < 0;
      }
      w.dasherFurthestX = std::max(w.dasherFurthestX, EnemyPool1[d].x);
    }
    if (w.fireWallAt >= 0) {
      w.redPeak = std::max<int>(w.redPeak, ScreenFlashRed);
      if (w.redPeak == 127) w.redLowAfterPeak = std::min<int>(w.redLowAfterPeak, ScreenFlashRed);
    }
  };
  return options;
}

TEST(Stage4Flow, TheMidBossStopsFallsAndHandsOnToTheFireWallAndTheDasher) {
  FlowWatch w;
  const StageRunSummary run = RunStage(FlowRun(w));
  ASSERT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
  EXPECT_EQ(run.census.FromMap(0, kMidBossType), 1);
  EXPECT_EQ(run.census.FromMap(1, kDasherType), 1);

  ASSERT_GE(w.stoppedAt, 0);
  EXPECT_GE(w.stopRightEdge, 11200);
  EXPECT_LT(w.stopRightEdge, 11200 + 8);
  // It stands in the view, its core where the ship's shots reach it.
  EXPECT_GT(w.midBossScreenX, 320);
  EXPECT_LT(w.coreScreenX, 600);
  ASSERT_GE(w.coreOpenAt, 0);
  // Five steps of its picture, one every third frame of its own count.
  EXPECT_GE(w.coreOpenAt, w.stoppedAt + 13);
  EXPECT_LE(w.coreOpenAt, w.stoppedAt + 15);

  ASSERT_GE(w.killedAt, 0);
  ASSERT_GE(w.goAt, 0);
  // The death step runs on three frames in a row (the hulk, its parts going, the core going),
  // and the 80-frame count runs from the last.
  ASSERT_EQ(w.deathSteps.size(), 3u);
  EXPECT_EQ(w.deathSteps[2], w.deathSteps[0] + 2);
  EXPECT_EQ(w.goAt, w.deathSteps[2] + 80);
  EXPECT_EQ(w.targetAtGo, 8);

  ASSERT_GE(w.fireWallAt, 0);
  // Seen last one frame before it went past -400.
  EXPECT_GE(w.hulkScreenXAtWall, -400);
  EXPECT_LT(w.hulkScreenXAtWall, -392);
  EXPECT_EQ(w.redPeak, 127);
  EXPECT_EQ(w.redLowAfterPeak, 0);

  ASSERT_GE(w.dasherSeenAt, 0);
  EXPECT_TRUE(w.dasherSeenBeforeGo);
  EXPECT_GT(w.dasherFurthestX, w.dasherStartX + 1000);
}

}  // namespace
