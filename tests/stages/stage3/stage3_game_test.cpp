// Stage 3 in the real game, from the title through the shell's driver on the kit's stage-3 maps:
// every kind of the stage comes in, the serpent holds the scroll and lets it go, the view goes
// down the shaft past world y 1400, the boss arrives at the end of the floor run on normal and
// hard, falls to damage dealt to its cores and the stage clear follows; left alone it ends by its
// cores' time-out; and a run played fast gives the same digests as the same run drawn every frame
// on the software path.
#include <algorithm>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/image_tables.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadUp = 1u << 3;
constexpr uint32_t kPadShot = 1u << 4;
constexpr int kBossType = 10;
constexpr int kSerpentType = 13;
constexpr int16_t kSerpentHead = 15;

int LiveSlot(int type) {
  for (int slot = 0; slot < kEnemyPool0Size; ++slot) {
    if (EnemyPool0[slot].state != 0 && EnemyPool0[slot].type == type) return slot;
  }
  return -1;
}

int BossSlot() { return LiveSlot(kBossType); }

// What a run saw of the boss, frame numbers counted from the first play frame.
struct BossWatch {
  int arrivedAt = -1;  // first frame with the boss set up and fighting
  int coresCuedAt = -1;
  int16_t bossStateAtArrival = 0;
  // The serpent: frames it lived with the scroll stopped, the right edge's world x then, and
  // whether the view moved on after it was gone; the deepest top of the screen.
  int serpentFramesHeld = 0;
  double heldAtRightEdge = 0;
  int serpentGoneAt = -1;
  bool scrolledAfterSerpent = false;
  double deepestTop = 0;
};

// The ship weaves a little up and down, firing all the way when it is to kill; then, killAfter
// frames after the boss arrived, damage goes to core 0 and 60 frames later to core 1.
StageRunOptions Play(int16_t difficulty, int16_t checkpoint, int killAfter, int frames,
                     BossWatch& watch) {
  StageRunOptions o;
  o.start = {0, difficulty, 3, checkpoint};
  o.frames = frames;
  o.immuneShip = true;
  o.kit = nullptr;
  o.script = [&watch, killAfter](int frame) {
    FrameInput in;
    in.padBits = killAfter >= 0 ? kPadShot : 0;
    const int phase = frame % 240;
    if (phase >= 80 && phase < 100) in.padBits |= kPadUp;
    if (phase >= 200 && phase < 220) in.padBits |= kPadDown;
    const int serpent = LiveSlot(kSerpentType);
    if (serpent >= 0 && EnemyPool0[serpent].state == 2 && ScrollSpeed == 0) {
      ++watch.serpentFramesHeld;
      watch.heldAtRightEdge = ScreenToWorldX(640);
      // A ship out to kill shoots its head down after a while of holding.
      if (killAfter >= 0 && watch.serpentFramesHeld == 600) {
        in.damage.push_back(
            {{0, static_cast<int16_t>(serpent), kTestPartsB, kSerpentHead}, 10000000});
      }
    }
    if (serpent < 0 && watch.serpentFramesHeld > 0 && watch.serpentGoneAt < 0)
      watch.serpentGoneAt = frame;
    if (watch.serpentGoneAt >= 0 && ScrollDeltaX + ScrollDeltaY != 0)
      watch.scrolledAfterSerpent = true;
    watch.deepestTop = std::max(watch.deepestTop, ScreenToWorldY(0));
    const int slot = BossSlot();
    if (slot >= 0 && watch.arrivedAt < 0 && EnemyPool0[slot].state == 2) {
      watch.arrivedAt = frame;
      watch.bossStateAtArrival = BossState;
    }
    if (slot >= 0 && watch.coresCuedAt < 0 && EnemyPool0[slot].partsB[0].cue > 0) {
      watch.coresCuedAt = frame;
    }
    if (killAfter >= 0 && slot >= 0 && watch.arrivedAt >= 0) {
      const int k = frame - watch.arrivedAt;
      if (k == killAfter || k == killAfter + 60) {
        const int16_t core = k == killAfter ? 0 : 1;
        in.damage.push_back({{0, static_cast<int16_t>(slot), kTestPartsB, core}, 10000000});
      }
    }
    return in;
  };
  return o;
}

TEST(Stage3Game, TheBossArrivesAtTheEndOfTheStageAndFallsToItsCoresOnNormalAndHard) {
  for (int16_t difficulty : {int16_t{1}, int16_t{2}}) {
    SCOPED_TRACE(difficulty);
    BossWatch watch;
    const StageRunSummary run = RunStage(Play(difficulty, 0, 400, 9000, watch));
    EXPECT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
    EXPECT_EQ(run.census.FromMap(0, kBossType), 1);
    // Every kind of the stage: pool-0 codes 11-20, pool-1 codes 75-83, and the falling fire and
    // fireballs that behaviours throw.
    for (int code = 11; code <= 20; ++code) EXPECT_GT(run.census.FromMap(0, code - 1), 0) << code;
    for (int code = 75; code <= 83; ++code) EXPECT_GT(run.census.FromMap(1, code - 65), 0) << code;
    EXPECT_GT(run.census.FromCode(1, 19), 0) << "falling fire";
    EXPECT_GT(run.census.FromCode(1, 10) + run.census.FromCode(1, 11), 0) << "fireballs";
    EXPECT_GT(run.census.FromCode(1, 12), 0) << "small rocks";
    EXPECT_GT(run.census.EnemyShots(17), 0) << "vents' flames";
    // The serpent held the scroll with the right edge at 9200 and let it go at its end.
    EXPECT_GE(watch.serpentFramesHeld, 600);
    EXPECT_LT(watch.serpentFramesHeld, 700) << "its death lets the scroll go";
    EXPECT_NEAR(watch.heldAtRightEdge, 9200, 4);
    EXPECT_TRUE(watch.scrolledAfterSerpent);
    EXPECT_GT(watch.deepestTop, 1400);
    ASSERT_GT(watch.arrivedAt, 0);
    EXPECT_EQ(watch.bossStateAtArrival, 1);
    EXPECT_EQ(run.bossesKilled, std::vector<int>{kBossType});
    // The clear after both kills: the boss's 80 dying frames and the clear's count of 162.
    EXPECT_GT(run.frames, watch.arrivedAt + 460 + 80);
    EXPECT_LT(run.frames, watch.arrivedAt + 460 + 80 + 200);
  }
}

TEST(Stage3Game, LeftAloneTheBossEndsByItsCoresTimeOut) {
  BossWatch watch;
  const StageRunSummary run = RunStage(Play(1, 3, -1, 7000, watch));
  EXPECT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
  ASSERT_GT(watch.arrivedAt, 0);
  ASSERT_GT(watch.coresCuedAt, watch.arrivedAt);
  // The cores are cued at the boss's frame 4800 (it counts from 1 at its spawn).
  EXPECT_NEAR(watch.coresCuedAt - watch.arrivedAt, 4800, 3);
  EXPECT_GT(run.frames, watch.coresCuedAt + 180 + 80);
  EXPECT_EQ(run.bossesKilled, std::vector<int>{kBossType});
}

TEST(Stage3Game, AFastRunAndARunDrawnEveryFrameGiveTheSameDigests) {
  auto play = [](bool drawn) {
    BossWatch watch;
    StageRunOptions o = Play(1, 3, 60, 900, watch);
    o.kit = "common,enemies,effects,stage3";
    o.drawEveryFrame = drawn;
    o.digestEveryFrame = true;
    bool imagesRead = false;
    o.afterFrame = [&imagesRead] {
      // The boss's images were read: the body, the cores' six frames, the plates' five, the
      // pods' flame and its afterimage.
      if (BossSlot() < 0 || imagesRead) return;
      imagesRead =
          EnemyImages0[10][0] >= 0 && EnemyShotImages[20][7] >= 0 && EnemyShotImages[21][7] >= 0;
      for (int f = 0; f < 6; ++f) imagesRead = imagesRead && PartImages[20][f] >= 0;
      for (int f = 0; f < 5; ++f) imagesRead = imagesRead && PartImages[26][f] >= 0;
    };
    const StageRunSummary run = RunStage(o);
    EXPECT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
    EXPECT_TRUE(imagesRead);
    return run.digests;
  };
  const std::vector<uint64_t> fast = play(false);
  const std::vector<uint64_t> drawn = play(true);
  ASSERT_GT(fast.size(), 400u);
  EXPECT_EQ(fast, drawn);
}

// The upper run from its checkpoint to the serpent: the vents, walkers, rocks, mines, the
// sliding rock and the serpent itself, played fast and drawn every frame, to the same digests.
TEST(Stage3Game, TheUpperRunGivesTheSameDigestsFastAndDrawnEveryFrame) {
  auto play = [](bool drawn) {
    BossWatch watch;
    StageRunOptions o = Play(1, 1, 0, 1300, watch);
    o.kit = "common,enemies,effects,stage3";
    o.drawEveryFrame = drawn;
    o.digestEveryFrame = true;
    bool serpentDrawn = false;
    o.afterFrame = [&serpentDrawn] {
      // The serpent's pictures were read: the joint, the head's six frames, the body's six
      // and the tail; and the walkers' bodies and legs.
      if (LiveSlot(kSerpentType) < 0 || serpentDrawn) return;
      serpentDrawn = PartImages[18][0] >= 0 && PartImages[19][12] >= 0 &&
                     EnemyImages1[16][3] >= 0 && EnemyImages1[17][3] >= 0 &&
                     PartImages[16][11] >= 0 && PartImages[17][11] >= 0;
      for (int f = 0; f < 12; ++f) serpentDrawn = serpentDrawn && PartImages[19][f] >= 0;
    };
    const StageRunSummary run = RunStage(o);
    EXPECT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
    EXPECT_GT(run.census.FromMap(0, kSerpentType), 0);
    EXPECT_TRUE(serpentDrawn);
    return run.digests;
  };
  const std::vector<uint64_t> fast = play(false);
  const std::vector<uint64_t> drawn = play(true);
  ASSERT_GT(fast.size(), 1200u);
  EXPECT_EQ(fast, drawn);
}

}  // namespace
