// Stage 1 played in the real game from the title, on the kit's maps: on normal from checkpoint
// 1 every kind of the stage comes from the map, the boss rides its route, transforms, fights
// and dies under fire, and the stage clears; on hard near the boss, left alone, its core ends
// the fight by itself; and drawing puts nothing into a run's digests.
#include <algorithm>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr uint32_t kPadShot = 1u << 4;
constexpr uint32_t kPadUp = 1u << 3;
constexpr uint32_t kPadDown = 1u << 0;
constexpr const char* kKit = "common,enemies,effects,stage1";
constexpr int kBossType = 10;
constexpr int kLastCheckpoint = 4;  // the one before the boss

// What the boss did, watched after every frame.
struct BossWatch {
  std::set<int> commands;  // route commands it took
  int routeFrames = 0, transformFrames = 0, fightFrames = 0;
  int coreClockAtEnd = -1;  // the core's clock when it went, with the boss fighting
  int clearsAfterCoreAt = -1;
  int frame = 0;
  int coreGoneFrame = -1;

  void Watch() {
    ++frame;
    for (const EnemyObject& o : EnemyPool0) {
      if (o.type != kBossType || o.state == 0) continue;
      if (o.state >= 3) {
        if (coreGoneFrame < 0) coreGoneFrame = frame;
        continue;
      }
      if (o.state != 2) continue;
      if (o.phase == 1) {
        ++routeFrames;
        commands.insert(o.intWork3);
      }
      transformFrames += o.phase == 2;
      fightFrames += o.phase == 3;
      if (o.phase == 3 && o.partsB[0].state == 2) coreClockAtEnd = o.partsB[0].counter;
    }
    if (StageClearTimer > 0 && clearsAfterCoreAt < 0 && coreGoneFrame >= 0) {
      clearsAfterCoreAt = frame - coreGoneFrame;
    }
  }
};

// The ship weaving, firing in bursts when `fire`; once the boss has fought for `killAfter`
// frames its core takes a deadly hit (negative: never).
std::function<FrameInput(int)> FightScript(BossWatch& watch, int killAfter, bool fire = true) {
  return [&watch, killAfter, fire](int frame) {
    FrameInput in;
    if (fire && frame % 8 < 4) in.padBits |= kPadShot;
    in.padBits |= frame % 240 < 120 ? kPadUp : kPadDown;
    if (killAfter < 0 || watch.fightFrames < killAfter) return in;
    for (int slot = 0; slot < kEnemyPool0Size; ++slot) {
      const EnemyObject& o = EnemyPool0[slot];
      if (o.state == 2 && o.type == kBossType && o.phase == 3 && o.partsB[0].life > 0) {
        in.damage.push_back({{0, static_cast<int16_t>(slot), kTestPartsB, 0}, 100000});
      }
    }
    return in;
  };
}

StageRunSummary PlayStage1(int difficulty, int checkpoint, int frames, BossWatch& watch,
                           int killAfter) {
  StageRunOptions options;
  options.start = {0, static_cast<int16_t>(difficulty), 1, static_cast<int16_t>(checkpoint)};
  options.frames = frames;
  options.immuneShip = true;
  options.kit = kKit;
  options.script = FightScript(watch, killAfter, killAfter >= 0);
  options.afterFrame = [&watch, killAfter] {
    watch.Watch();
    if (killAfter >= 0) return;
    // Left alone: the boss rams the ship in its rushes, and ramming costs the core life; that
    // is given back, so that only the clock can end the fight.
    for (EnemyObject& o : EnemyPool0) {
      if (o.state == 2 && o.type == kBossType && o.partsB[0].life > 0)
        o.partsB[0].life = o.partsB[0].maxLife;
    }
  };
  return RunStage(options);
}

// The summary also counts the stage's starting boss state (-1 on stage 1) as a beaten boss
// before any came: what matters here is one beaten boss of type 10, last.
void ExpectOneBossBeaten(const StageRunSummary& run) {
  ASSERT_FALSE(run.bossesKilled.empty());
  EXPECT_EQ(run.bossesKilled.back(), kBossType);
  EXPECT_EQ(std::ranges::count(run.bossesKilled, kBossType), 1);
}

void ExpectBossFoughtAndCleared(const StageRunSummary& run, const BossWatch& watch) {
  EXPECT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
  ExpectOneBossBeaten(run);
  EXPECT_EQ(run.scenes.back(), kSceneStageClear);
  EXPECT_GT(watch.routeFrames, 0);
  EXPECT_TRUE(watch.commands.count(1)) << "no spread-and-descend command taken";
  EXPECT_TRUE(watch.commands.count(9)) << "never sent right";
  EXPECT_GT(watch.transformFrames, 0);
  EXPECT_GE(watch.fightFrames, 300);
  EXPECT_EQ(run.census.FromMap(0, kBossType), 1);
}

TEST(Stage1Run, NormalFromCheckpointOneMeetsEveryKindAndBeatsTheBoss) {
  BossWatch watch;
  const StageRunSummary run = PlayStage1(1, 1, 16000, watch, 300);
  ExpectBossFoughtAndCleared(run, watch);
  for (int type = 10; type <= 19; ++type) {
    EXPECT_GT(run.census.FromMap(1, type), 0) << "pool-1 type " << type << " never came";
  }
  // The large rock the boss rams bursts into thrown rocks of its own.
  EXPECT_GT(run.census.FromCode(1, 13) + run.census.FromCode(1, 14), 0);
  EXPECT_GT(run.census.EnemyShots(17), 0);  // the fans
}

// On hard, from the checkpoint before the boss, with the boss left alone after its route: the
// core closes and goes by itself on its clock, and the stage clears 80 frames after the body's
// end began.
TEST(Stage1Run, HardLeftAloneTheCoreEndsTheFightOnItsClock) {
  BossWatch watch;
  const StageRunSummary run = PlayStage1(2, kLastCheckpoint, 9000, watch, -1);
  ExpectBossFoughtAndCleared(run, watch);
  EXPECT_EQ(watch.coreClockAtEnd, 3680);  // it went on the frame its clock reached 3681
  EXPECT_EQ(watch.clearsAfterCoreAt, 81);
}

// The digests never depend on drawing: one run fast, one drawing every frame.
TEST(Stage1Run, DrawingEveryFrameGivesTheSameDigests) {
  std::vector<uint64_t> digests[2];
  for (int draw = 0; draw < 2; ++draw) {
    BossWatch watch;
    StageRunOptions options;
    options.start = {0, 1, 1, kLastCheckpoint};
    options.frames = 300;  // into the boss's entry
    options.immuneShip = true;
    options.kit = kKit;
    options.script = FightScript(watch, -1);
    options.drawEveryFrame = draw == 1;
    options.digestEveryFrame = true;
    digests[draw] = RunStage(options).digests;
  }
  ASSERT_GE(digests[0].size(), 300u);
  EXPECT_EQ(digests[0], digests[1]);
}

}  // namespace
