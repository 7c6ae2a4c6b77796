// Stage 2 in the real game, from the start on its own maps: the map spawns the boss, the
// battleships and the batteries; the untouched boss runs its whole cycle and clears the stage by
// its time-out; its core shot down clears it sooner; and a run repeats itself, fast or drawn.
#include <algorithm>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage2/stage2_boss.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr uint32_t kPadShot = 1u << 4;
constexpr const char* kKit = "common,weapons,stage2";

StageRunOptions Stage2Run(int16_t difficulty, int frames) {
  StageRunOptions options;
  options.start = {0, difficulty, 2, 0};
  options.frames = frames;
  options.immuneShip = true;
  options.kit = kKit;
  options.script = [](int frame) {
    FrameInput in;
    if (frame % 8 < 4) in.padBits = kPadShot;
    return in;
  };
  return options;
}

bool Visited(const StageRunSummary& run, int32_t scene) {
  return std::ranges::find(run.scenes, scene) != run.scenes.end();
}

// The deepest phase cycle seen: rams completed by the boss on screen.
int MostRams() {
  int most = 0;
  for (const EnemyObject& o : EnemyPool0) {
    if (o.state != 0 && o.type == 10) most = std::max(most, static_cast<int>(o.intWork3));
  }
  return most;
}

}  // namespace

TEST(Stage2Run, TheUntouchedBossRunsItsCycleAndTimesOut) {
  {
    int rams = 0;
    StageRunOptions options = Stage2Run(1, 9000);
    options.script = nullptr;  // no fire: the boss is left alone
    options.afterFrame = [&rams] { rams = std::max(rams, MostRams()); };
    const StageRunSummary run = RunStage(options);
    EXPECT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
    EXPECT_EQ(run.bossesKilled, std::vector<int>{10});
    EXPECT_EQ(rams, 5);
    // Every kind of the stage from the map; drones from pods, rocks from spawners and breaks,
    // ions from the walls' cannons by code.
    for (int type = 10; type <= 19; ++type) {
      EXPECT_GE(run.census.FromMap(0, type), 1) << "pool-0 type " << type;
      EXPECT_GE(run.census.FromMap(1, type), 1) << "pool-1 type " << type;
    }
    EXPECT_GE(run.census.FromCode(0, 12), 4);
    EXPECT_GE(run.census.FromCode(1, 12), 1);  // the large rock's spawner
    EXPECT_GE(run.census.FromCode(1, 13), 1);  // the medium one's
    // The small-rock spawner's one of types 14..16 (and any rock the ship broke).
    EXPECT_GE(run.census.FromCode(1, 14) + run.census.FromCode(1, 15) + run.census.FromCode(1, 16),
              1);
    EXPECT_GE(run.census.FromCode(1, 18), 10);  // a cannon's five pairs of ions
    EXPECT_GT(run.census.EnemyShots(17), 0);    // the side guns' retargeting shots
    EXPECT_GT(run.census.EnemyShots(9), 0);     // a battleship's beam
    EXPECT_GT(run.census.EnemyShots(11), 0);    // a small battleship's
  }
}

TEST(Stage2Run, TheCoreShotDownClearsTheStageOnHard) {
  StageRunOptions options = Stage2Run(2, 6000);
  options.script = [](int frame) {
    FrameInput in;
    if (frame % 8 < 4) in.padBits = kPadShot;
    for (int slot = 0; slot < kEnemyPool0Size; ++slot) {
      const EnemyObject& o = EnemyPool0[slot];
      if (o.state != 2 || o.type != 10) continue;
      const EnemyPart& core = o.partsB[kStage2BossCore];
      if (core.imageFrame == 0 && core.life > 0) {
        in.damage.push_back({{0, static_cast<int16_t>(slot), kTestPartsB, 0}, core.life + 1});
      }
    }
    return in;
  };
  const StageRunSummary run = RunStage(options);
  EXPECT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
  EXPECT_TRUE(Visited(run, kSceneStageClear));
  EXPECT_EQ(run.bossesKilled, std::vector<int>{10});
  EXPECT_LT(run.frames, 4000);  // well before any time-out
}

TEST(Stage2Run, TheSameInputGivesTheSameRunFastOrDrawnEveryFrame) {
  StageRunOptions options = Stage2Run(1, 400);  // past the first batteries and pod
  const StageRunSummary fast = RunStage(options);
  options.drawEveryFrame = true;
  // A drone's jet burst runs its frame to 8, past its 8-cell sheet: drawn every frame, that
  // frame draws nothing and reads nothing outside the row (the sanitizers watch).
  int jetsPastTheSheet = 0;
  options.afterFrame = [&jetsPastTheSheet] {
    for (const EnemyObject& o : EnemyPool0) {
      jetsPastTheSheet += o.state == 2 && o.type == 12 && o.partsA[0].imageFrame == 8;
    }
  };
  const StageRunSummary drawn = RunStage(options);
  EXPECT_GT(jetsPastTheSheet, 0);
  ASSERT_EQ(fast.digests.size(), 1u);
  EXPECT_EQ(drawn.digests, fast.digests);
  EXPECT_EQ(drawn.census.fromMap, fast.census.fromMap);
  EXPECT_GE(fast.census.FromMap(0, 15) + fast.census.FromMap(0, 16), 1);
  // Drawing read the stage's pictures without a complaint.
  EXPECT_EQ(drawn.log.find("failed"), std::string::npos) << drawn.log;
}
