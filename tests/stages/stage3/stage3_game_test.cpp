// Stage 3 in the real game, from the title through the shell's driver on the kit's stage-3 maps:
// the boss arrives at the end of the floor run on normal and hard, falls to damage dealt to its
// cores and the stage clear follows; left alone it ends by its cores' time-out; and a run played
// fast gives the same digests as the same run drawn every frame on the software path.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/image_tables.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/game_driver.h"

namespace {

constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadUp = 1u << 3;
constexpr uint32_t kPadShot = 1u << 4;
constexpr int kBossType = 10;

// The ship weaves a little up and down, firing all the way when it shoots.
FrameInput Weave(int frame, bool shoot) {
  FrameInput in;
  in.padBits = shoot ? kPadShot : 0;
  const int phase = frame % 240;
  if (phase >= 80 && phase < 100) in.padBits |= kPadUp;
  if (phase >= 200 && phase < 220) in.padBits |= kPadDown;
  return in;
}

int BossSlot() {
  for (int slot = 0; slot < kEnemyPool0Size; ++slot) {
    if (EnemyPool0[slot].state != 0 && EnemyPool0[slot].type == kBossType) return slot;
  }
  return -1;
}

// What a run to the boss saw.
struct BossRun {
  int arrivedAt = -1;  // first frame with the boss set up and fighting
  int clearedAt = -1;  // first frame of the stage-clear scene
  int coresCuedAt = -1;
};

GameDriver::Options Options(bool fast, const char* kit) {
  GameDriver::Options o;
  o.fast = fast;
  o.kit = kit;
  o.immuneShip = true;
  return o;
}

// Plays the stage from the chosen start with the weave; with a kill time the ship fires, and that
// many frames after the boss arrived damage goes to core 0, 60 frames later to core 1. Stops at
// the stage clear or the limit.
BossRun PlayToTheEnd(GameDriver& driver, const GameStartChoice& choice, int killAfter, int limit) {
  const bool kill = killAfter >= 0;
  BossRun run;
  EXPECT_EQ(driver.Start(), 0);
  driver.Run(2);
  EXPECT_TRUE(driver.StartGame(choice));
  driver.digestFrames = true;
  for (int frame = 0; frame < limit; ++frame) {
    FrameInput in = Weave(frame, kill);
    const int slot = BossSlot();
    if (slot >= 0 && run.arrivedAt < 0 && EnemyPool0[slot].state == 2) {
      run.arrivedAt = frame;
      EXPECT_EQ(BossState, 1);
    }
    if (kill && run.arrivedAt >= 0 && slot >= 0) {
      const int k = frame - run.arrivedAt;
      if (k == killAfter || k == killAfter + 60) {
        const int16_t core = k == killAfter ? 0 : 1;
        in.damage.push_back({{0, static_cast<int16_t>(slot), kTestPartsB, core}, 10000000});
      }
    }
    if (slot >= 0 && run.coresCuedAt < 0 && EnemyPool0[slot].partsB[0].cue > 0) {
      run.coresCuedAt = frame;
    }
    if (!driver.Step(in)) break;
    if (CurrentScene == kSceneStageClear) {
      run.clearedAt = frame;
      break;
    }
  }
  return run;
}

TEST(Stage3Game, TheBossArrivesAtTheEndOfTheStageAndFallsToItsCoresOnNormalAndHard) {
  for (int16_t difficulty : {int16_t{1}, int16_t{2}}) {
    SCOPED_TRACE(difficulty);
    GameDriver driver(Options(true, nullptr));
    driver.digestFrames = false;
    const BossRun run = PlayToTheEnd(driver, {0, difficulty, 3, 0}, 400, 9000);
    ASSERT_GT(run.arrivedAt, 0);
    EXPECT_GT(run.clearedAt, run.arrivedAt + 460);
    // Both cores' kill scores and the stage's weapon capsule; the clear 80 frames after the
    // body goes and the clear's own count of 162.
    EXPECT_LT(run.clearedAt, run.arrivedAt + 460 + 80 + 200);
    EXPECT_EQ(CurrentStage, 3);
  }
}

TEST(Stage3Game, LeftAloneTheBossEndsByItsCoresTimeOut) {
  GameDriver driver(Options(true, nullptr));
  driver.digestFrames = false;
  const BossRun run = PlayToTheEnd(driver, {0, 1, 3, 3}, -1, 7000);
  ASSERT_GT(run.arrivedAt, 0);
  ASSERT_GT(run.coresCuedAt, run.arrivedAt);
  // The cores are cued at the boss's frame 4800 (it counts from 1 at its spawn).
  EXPECT_NEAR(run.coresCuedAt - run.arrivedAt, 4800, 3);
  EXPECT_GT(run.clearedAt, run.coresCuedAt + 180 + 80);
}

TEST(Stage3Game, AFastRunAndARunDrawnEveryFrameGiveTheSameDigests) {
  auto play = [](bool fast) {
    GameDriver driver(Options(fast, "common,enemies,effects,stage3"));
    const BossRun run = PlayToTheEnd(driver, {0, 1, 3, 3}, 60, 900);
    EXPECT_GT(run.clearedAt, 0);
    // The boss's images were read: the body, the cores' six frames, the plates' five, the
    // pods' flame and its afterimage.
    EXPECT_GE(EnemyImages0[10][0], 0);
    for (int f = 0; f < 6; ++f) EXPECT_GE(PartImages[20][f], 0) << f;
    for (int f = 0; f < 5; ++f) EXPECT_GE(PartImages[26][f], 0) << f;
    EXPECT_GE(EnemyShotImages[20][7], 0);
    EXPECT_GE(EnemyShotImages[21][7], 0);
    return driver.digests();
  };
  const std::vector<uint64_t> fast = play(true);
  const std::vector<uint64_t> drawn = play(false);
  ASSERT_GT(fast.size(), 400u);
  EXPECT_EQ(fast, drawn);
}

}  // namespace
