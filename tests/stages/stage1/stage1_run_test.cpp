// Stage 1 played in the real game from the title, on the kit's maps: from the very start on
// normal and hard the opening hands the ship over, every kind of the stage comes (from the map,
// or from code for the cannons and the far background), the sky strips come past world x 24000,
// the boss rides its route, transforms, fights and dies under fire, and the stage clears; on
// hard near the boss, left alone, its core ends the fight by itself; a death after the opening
// restarts at checkpoint 1 without it; and drawing puts nothing into a run's digests.
#include <algorithm>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/damage.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/image_tables.h"
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
  // The opening: the GameFrame the ship was handed over on, and the boss state then.
  int32_t handOverFrame = -1;
  int16_t bossStateAtHandOver = -2;
  // The view's left edge when the first sky strip was there.
  double firstStripLeft = -1;

  void Watch() {
    ++frame;
    if (handOverFrame < 0 && PlayerActive == 1) {
      handOverFrame = GameFrame - 1;  // the counter has moved on past the frame
      bossStateAtHandOver = BossState;
    }
    if (firstStripLeft < 0) {
      for (const EnemyObject& o : EnemyPool3) {
        if (o.state != 0 && o.type == 3) firstStripLeft = ScreenToWorldX(0);
      }
    }
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

// Every kind of the stage in a run from its start: the opening's mothership and cannons from
// code, the map's kinds, and the far background (glows from the mothership and the map's placers,
// sixteen sky strips from the map's placer and the stage script past x 24000).
void ExpectTheWholeStage(const StageRunSummary& run, const BossWatch& watch) {
  EXPECT_EQ(run.census.FromCode(0, 14), 1);
  EXPECT_EQ(run.census.FromCode(0, 15), 1);
  EXPECT_EQ(run.census.FromCode(0, 16), 1);
  EXPECT_GT(watch.handOverFrame, 100);
  EXPECT_LT(watch.handOverFrame, 170);  // before the hull is blown
  EXPECT_EQ(watch.bossStateAtHandOver, 0);
  for (int type = 10; type <= 19; ++type) {
    EXPECT_GT(run.census.FromMap(1, type), 0) << "pool-1 type " << type << " never came";
  }
  for (int type = 11; type <= 13; ++type) {
    EXPECT_GT(run.census.FromMap(0, type), 0) << "pool-0 type " << type << " never came";
  }
  EXPECT_GT(run.census.FromCode(0, 12), 0);  // risers from the hatches
  EXPECT_GT(run.census.FromCode(3, 2), 1);   // glows: the mothership's and the map's
  EXPECT_EQ(run.census.FromCode(3, 3), 16);  // strips: the map's placer and the script's
  EXPECT_GE(watch.firstStripLeft, 24000);
  EXPECT_GT(run.census.EnemyShots(3), 0);   // the robots' bursts
  EXPECT_GT(run.census.EnemyShots(11), 0);  // beams
}

TEST(Stage1Run, FromTheStartOnNormalAndHardTheWholeStagePlaysAndTheBossIsBeaten) {
  for (int difficulty : {1, 2}) {
    SCOPED_TRACE(difficulty);
    BossWatch watch;
    const StageRunSummary run = PlayStage1(difficulty, 0, 17000, watch, 300);
    ExpectBossFoughtAndCleared(run, watch);
    ExpectTheWholeStage(run, watch);
    // The large rock the boss rams bursts into thrown rocks of its own.
    EXPECT_GT(run.census.FromCode(1, 13) + run.census.FromCode(1, 14), 0);
    EXPECT_GT(run.census.EnemyShots(17), 0);  // the fans
  }
}

// A death after the opening restarts at checkpoint 1, and the mothership does not come again.
TEST(Stage1Run, ADeathAfterTheOpeningRestartsAtCheckpointOneWithoutIt) {
  StageRunOptions options;
  options.start = {0, 1, 1, 0};
  options.frames = 700;
  options.kit = kKit;
  int killedAt = -1, respawnedAt = -1, frame = 0;
  int16_t checkpointAtRespawn = -1;
  double respawnCameraX = -1;
  options.afterFrame = [&] {
    ++frame;
    if (killedAt < 0 && frame == 300 && PlayerActive == 1) {
      KillPlayer(0);
      killedAt = frame;
    }
    if (killedAt >= 0 && respawnedAt < 0 && frame > killedAt && DeathTimer == 0) {
      respawnedAt = frame;
      checkpointAtRespawn = CheckpointIndex;
      respawnCameraX = CameraX;
    }
    for (const EnemyObject& o : EnemyPool0) {
      if (respawnedAt >= 0 && o.state != 0) { EXPECT_NE(o.type, 14) << frame; }
    }
  };
  const StageRunSummary run = RunStage(options);
  ASSERT_EQ(killedAt, 300);
  ASSERT_GE(respawnedAt, killedAt + 80);
  EXPECT_EQ(checkpointAtRespawn, 1);
  EXPECT_GT(respawnCameraX, 0);  // at checkpoint 1's column, not the stage's start
  EXPECT_EQ(run.census.FromCode(0, 14), 1);
  EXPECT_NE(run.end, StageEnd::GameOver);
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

// The digests never depend on drawing: one run fast, one drawing every frame on the software
// path, from the stage's start (the opening) and from the checkpoint before the boss; drawn,
// the opening's pictures and the far background's were read.
TEST(Stage1Run, DrawingEveryFrameGivesTheSameDigests) {
  for (int checkpoint : {0, kLastCheckpoint}) {
    SCOPED_TRACE(checkpoint);
    std::vector<uint64_t> digests[2];
    bool imagesRead = false;
    for (int draw = 0; draw < 2; ++draw) {
      BossWatch watch;
      StageRunOptions options;
      options.start = {0, 1, 1, static_cast<int16_t>(checkpoint)};
      options.frames = 300;  // through the opening's hand-over; into the boss's entry
      options.immuneShip = true;
      options.kit = kKit;
      options.script = FightScript(watch, -1);
      options.drawEveryFrame = draw == 1;
      options.digestEveryFrame = true;
      if (draw == 1) {
        options.afterFrame = [&imagesRead] {
          bool all = EnemyImages0[14][0] > 0 && EnemyImages0[14][2] > 0;
          for (int type : {8, 9, 10, 25}) all = all && PartImages[type][0] > 0;
          all = all && PartImages[11][1] > 0 && PartImages[11][2] > 0 && PartImages[2][0] > 0;
          for (int type = 1; type <= 3; ++type) all = all && EnemyImages3[type][0] > 0;
          for (int type = 11; type <= 13; ++type) all = all && EnemyImages0[type][0] > 0;
          imagesRead = all;
        };
      }
      digests[draw] = RunStage(options).digests;
    }
    ASSERT_GE(digests[0].size(), 300u);
    EXPECT_EQ(digests[0], digests[1]);
    EXPECT_TRUE(imagesRead);
  }
}

}  // namespace
