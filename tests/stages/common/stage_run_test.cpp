// The summary of a short run of the test stage: to the end of its input, and to a clear after a
// boss is beaten.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/boss_finale.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadShot = 1u << 4;
constexpr int kBoxType = 8;  // the common box of map code 9, along the test stage's first stretch

bool Visited(const StageRunSummary& run, int32_t scene) {
  return std::ranges::find(run.scenes, scene) != run.scenes.end();
}

TEST(StageRunTest, ATestStageRunToTheEndOfItsInput) {
  StageRunOptions options;
  options.start = {0, 1, 3, 0};
  options.frames = 500;
  options.immuneShip = true;
  options.script = [](int frame) {
    FrameInput in;
    if (frame % 8 < 4) in.padBits = kPadShot;
    return in;
  };
  const StageRunSummary run = RunStage(options);
  EXPECT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
  EXPECT_EQ(run.frames, 500);
  EXPECT_EQ(run.scenes.back(), kScenePlay);
  EXPECT_FALSE(Visited(run, kSceneStageClear));
  EXPECT_TRUE(run.bossesKilled.empty());
  // The window passed the first stretch's boxes (columns 19 and 21); no box is spawned by code.
  EXPECT_GE(run.census.FromMap(0, kBoxType), 2);
  EXPECT_EQ(run.census.FromCode(0, kBoxType), 0);
  ASSERT_EQ(run.digests.size(), 1u);

  // The same input gives the same run.
  const StageRunSummary again = RunStage(options);
  EXPECT_EQ(again.digests, run.digests);
  EXPECT_EQ(again.census.fromMap, run.census.fromMap);
  EXPECT_EQ(again.census.fromCode, run.census.fromCode);
  EXPECT_EQ(again.census.enemyShots, run.census.enemyShots);
}

// A boss beaten (the clear follows), and a dive into the rock with one life left.
TEST(StageRunTest, HowTheStageEnded) {
  struct Case {
    const char* name;
    StageEnd end;
    std::vector<int> bosses;
    int32_t lastScene;
  };
  const Case cases[] = {
      {"boss beaten", StageEnd::Clear, {10}, kSceneStageClear},
      {"no life left", StageEnd::GameOver, {}, kSceneGameOver},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const bool clear = c.end == StageEnd::Clear;
    StageRunOptions options;
    options.start = {0, 1, 2, clear ? int16_t{1} : int16_t{0}};  // the clear from checkpoint 1
    options.frames = 2000;
    options.immuneShip = clear;
    if (!clear) {
      options.script = [](int) { return FrameInput{{}, kPadDown}; };
    }
    options.afterFrame = [clear] {
      if (CurrentScene != kScenePlay) return;
      if (!clear && GameFrame == 1) Lives = 1;
      if (clear && GameFrame == 10) {
        BossType = 10;
        BossState = 1;
      }
      if (clear && GameFrame == 20) ClearStageAfterBoss();
    };
    const StageRunSummary run = RunStage(options);
    EXPECT_EQ(run.end, c.end) << StageEndName(run.end);
    EXPECT_LT(run.frames, 2000);
    EXPECT_EQ(run.bossesKilled, c.bosses);
    EXPECT_EQ(run.scenes.back(), c.lastScene);
  }
}

}  // namespace
