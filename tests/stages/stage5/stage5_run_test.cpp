// Stage 5 played in the real game from the title, on the kit's maps, to the boss's cell: on easy
// and on hard every kind of the stage's roster comes into play, through the shaft's vertical
// loop, and no object is left in its set-up state; drawing puts nothing into a run's digests.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/screen_tests.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr uint32_t kPadShot = 1u << 4;
constexpr uint32_t kPadUp = 1u << 3;
constexpr uint32_t kPadDown = 1u << 0;
constexpr const char* kKit = "common,enemies,effects,stage5";
constexpr double kBossCellX = 228 * 40;
constexpr int kToTheBoss = 3000;
constexpr int kDrawnFrames = 240;  // the first hatches, turrets and fliers in view

// Objects still in their set-up state after a pass of their pool (a behaviour that never leaves
// it), and how far right the view has come.
struct SetUpWatch {
  std::vector<std::string> stuck;
  double viewRight = 0;
  void Watch() {
    viewRight = ScreenToWorldX(640);
    const EnemyObject* pools[4] = {EnemyPool0, EnemyPool1, EnemyPool2, EnemyPool3};
    const int sizes[4] = {kEnemyPool0Size, kEnemyPool1Size, kEnemyPool2Size, kEnemyPool3Size};
    for (int p = 0; p < 4; ++p)
      for (int s = 0; s < sizes[p]; ++s)
        if (pools[p][s].state == 1 && pools[p][s].frame > 1 && stuck.size() < 8)
          stuck.push_back(std::to_string(p) + "/" + std::to_string(pools[p][s].type));
  }
};

// Fire in bursts and weave, so that the ship drives the shaft's loop both ways.
FrameInput Weave(int frame) {
  FrameInput in;
  if (frame % 8 < 4) in.padBits |= kPadShot;
  if (frame % 300 < 60) in.padBits |= kPadUp;
  if (frame % 300 >= 150 && frame % 300 < 210) in.padBits |= kPadDown;
  return in;
}

StageRunOptions Stage5Run(int difficulty, int frames, SetUpWatch* watch) {
  StageRunOptions options;
  options.start = {0, static_cast<int16_t>(difficulty), 5, 0};
  options.frames = frames;
  options.immuneShip = true;
  options.kit = kKit;
  options.script = Weave;
  if (watch != nullptr) options.afterFrame = [watch] { watch->Watch(); };
  return options;
}

TEST(Stage5Run, EasyAndHardBringTheWholeRosterToTheBossCell) {
  for (int difficulty : {0, 2}) {
    SCOPED_TRACE(difficulty);
    SetUpWatch watch;
    const StageRunSummary run = RunStage(Stage5Run(difficulty, kToTheBoss, &watch));
    ASSERT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
    const SpawnCounts& c = run.census;
    EXPECT_GT(watch.viewRight, kBossCellX);  // the boss's cell has come into view
    for (int type = 15; type <= 19; ++type)
      EXPECT_GT(c.FromMap(0, type) + c.FromCode(0, type), 0) << "pool 0 type " << type;
    for (int type = 10; type <= 19; ++type)
      EXPECT_GT(c.FromMap(1, type) + c.FromCode(1, type), 0) << "pool 1 type " << type;
    for (int type = 0; type <= 1; ++type)
      EXPECT_GT(c.FromCode(3, type), 0) << "pool 3 type " << type;
    EXPECT_GT(c.EnemyShots(17), 0);  // wall guns and ring segments
    EXPECT_TRUE(watch.stuck.empty()) << watch.stuck.front();
    EXPECT_EQ(run.log.find("refused"), std::string::npos) << run.log;
  }
}

TEST(Stage5Run, ADrawnRunGivesTheDigestsOfAFastOne) {
  StageRunOptions fast = Stage5Run(2, kDrawnFrames, nullptr);
  StageRunOptions drawn = fast;
  drawn.drawEveryFrame = true;
  const StageRunSummary a = RunStage(fast);
  const StageRunSummary b = RunStage(drawn);
  ASSERT_FALSE(a.digests.empty());
  EXPECT_EQ(a.digests, b.digests);
  EXPECT_EQ(a.frames, b.frames);
}

}  // namespace
