// Stage 6 played from its start through the game's own loop, easy and hard, with the ship
// immune, firing, and damage dealt to the robo, the boss's hull pieces and its core at set
// points: the boss's fight enters every stage in order, the stage's escorts and shots all
// appear, the stage clears, and a second run gives the same digest.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr int kBossType = 10;
constexpr int kRoboType = 11;
constexpr uint32_t kPadShot = 1u << 4;
constexpr int kLinger = 700;  // frames each stage of the fight is left to run before the next blow
// The closed jaws longer: on easy their emitters' first long shot comes after some 920 frames.
constexpr int kJawsLinger = 1200;

enum Stage : int {
  kApproach,
  kHullsOpen,
  kOuterShellGone,
  kCoreArmed,
  kInnerShellBroken,
  kJawsClosed,
  kJawsBlownOff,
  kFreeBoss,
  kDeath,
};

int16_t FindPool0(int type) {
  for (int16_t s = 0; s < kEnemyPool0Size; ++s)
    if (EnemyPool0[s].state == 2 && EnemyPool0[s].type == type) return s;
  return -1;
}

struct FightWatch {
  std::vector<int> stages;  // in the order entered
  int enteredAt[kDeath + 1] = {};
  int frame = 0;
  int16_t boss = -1;
  void Enter(Stage s) {
    for (int e : stages) {
      if (e == s) return;
    }
    stages.push_back(s);
    enteredAt[s] = frame;
  }
  bool In(Stage s) const {
    for (int e : stages) {
      if (e == s) return true;
    }
    return false;
  }
};

StageRunOptions BossRun(int difficulty, FightWatch& w) {
  StageRunOptions options;
  options.start = {0, static_cast<int16_t>(difficulty), 6, 0};
  options.frames = 24000;
  options.immuneShip = true;
  options.kit = "common,stage6";
  options.script = [&w, difficulty](int frame) {
    FrameInput in;
    if (frame % 16 < 8) in.padBits = kPadShot;
    const int16_t robo = FindPool0(kRoboType);
    if (robo >= 0 && EnemyPool0[robo].frame == 200)
      in.damage.push_back({{0, robo, kTestBody, 0}, 1000000});
    if (w.boss < 0) return in;
    const EnemyObject& o = EnemyPool0[w.boss];
    const int16_t boss = w.boss;
    for (int16_t j : {2, 3}) {
      if (o.partsB[j].state == 2 && o.partsB[j].cue == 0 && o.partsB[j].life > 0)
        in.damage.push_back({{0, boss, kTestPartsB, j}, 1000000});
    }
    const EnemyPart& core = o.partsA[0];
    const bool hard = difficulty >= 2;
    if (core.state != 2 || core.life <= 0) return in;
    if (w.In(kCoreArmed) && !w.In(kInnerShellBroken) && frame == w.enteredAt[kCoreArmed] + kLinger)
      // Just below the share that breaks the inner shell: a half, two thirds on hard.
      in.damage.push_back({{0, boss, kTestPartsA, 0},
                           core.life - (hard ? core.maxLife * 2 / 3 : core.maxLife / 2) + 1});
    if (w.In(kJawsClosed) && frame == w.enteredAt[kJawsClosed] + kJawsLinger) {
      // Hard: below a third, which blows the jaws off; easy: the kill.
      in.damage.push_back(
          {{0, boss, kTestPartsA, 0}, hard ? core.life - core.maxLife / 4 : 1000000});
    }
    if (w.In(kFreeBoss) && frame == w.enteredAt[kFreeBoss] + kLinger)
      in.damage.push_back({{0, boss, kTestPartsA, 0}, 1000000});
    return in;
  };
  options.afterFrame = [&w] {
    ++w.frame;
    if (w.boss < 0) w.boss = FindPool0(kBossType);
    if (w.boss < 0) return;
    const EnemyObject& o = EnemyPool0[w.boss];
    if (o.type != kBossType || o.state == 0) return;
    w.Enter(kApproach);
    if (o.partsB[2].cue == 0 && o.partsB[3].cue == 0 && o.partsB[2].state == 2) w.Enter(kHullsOpen);
    if (w.In(kApproach) && StageWork[0] == 0) w.Enter(kOuterShellGone);
    if (o.partsA[0].cue == -2) w.Enter(kCoreArmed);
    if (w.In(kCoreArmed) && StageWork[1] == 0) w.Enter(kInnerShellBroken);
    if (o.partsB[0].work1 == 1 && o.partsB[0].state == 2) w.Enter(kJawsClosed);
    if (o.partsB[0].state == 4 && o.state == 2) w.Enter(kJawsBlownOff);
    if (o.state == 2 && o.partsB[0].state == 0 && ScrollTargetSpeed == 3) w.Enter(kFreeBoss);
    if (o.state == 4) w.Enter(kDeath);
  };
  return options;
}

TEST(Stage6BossRun, EasyRunsTheFightInOrderToTheClearTheSameEachTime) {
  FightWatch w;
  const StageRunSummary run = RunStage(BossRun(0, w));
  ASSERT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
  EXPECT_EQ(w.stages, (std::vector<int>{kApproach, kHullsOpen, kOuterShellGone, kCoreArmed,
                                        kInnerShellBroken, kJawsClosed, kDeath}));
  EXPECT_EQ(run.census.FromMap(0, kBossType), 1);
  for (int type : {14, 15, 16}) EXPECT_EQ(run.census.FromCode(0, type), 1) << type;
  for (int type : {21, 22, 25, 26}) EXPECT_GT(run.census.EnemyShots(type), 0) << type;
  ASSERT_FALSE(run.digests.empty());
  FightWatch again;
  const StageRunSummary second = RunStage(BossRun(0, again));
  EXPECT_EQ(second.digests, run.digests);
  EXPECT_EQ(second.frames, run.frames);
}

TEST(Stage6BossRun, HardBlowsTheJawsOffFreesTheBossAndClears) {
  FightWatch w;
  const StageRunSummary run = RunStage(BossRun(2, w));
  ASSERT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
  EXPECT_EQ(w.stages,
            (std::vector<int>{kApproach, kHullsOpen, kOuterShellGone, kCoreArmed, kInnerShellBroken,
                              kJawsClosed, kJawsBlownOff, kFreeBoss, kDeath}));
  for (int type : {14, 15, 16}) EXPECT_EQ(run.census.FromCode(0, type), 1) << type;
  for (int type : {18, 21, 22, 25, 26}) EXPECT_GT(run.census.EnemyShots(type), 0) << type;
}

}  // namespace
