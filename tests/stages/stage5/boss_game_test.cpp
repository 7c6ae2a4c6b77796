// Stage 5's boss chain in the real game, from the last checkpoint on the kit's maps: the map
// brings form 1 in, each form falls to damage dealt to its cores and hands over to the next, the
// stage clears after form 4 on easy and after form 5 on hard, and two runs give the same digests.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/stage_state.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr uint32_t kPadShot = 1u << 4;
constexpr int kKillAfter = 120;  // frames a form fights before its cores take the damage

// The forms in the order they came into their fight, and when each did.
struct ChainWatch {
  std::vector<int> forms;
  int fightFrames = 0;
};

int LiveFormSlot() {
  for (int slot = 0; slot < kEnemyPool0Size; ++slot) {
    const EnemyObject& o = EnemyPool0[slot];
    if (o.state == 2 && o.type >= 10 && o.type <= 14) return slot;
  }
  return -1;
}

StageRunOptions PlayChain(int16_t difficulty, ChainWatch& watch) {
  StageRunOptions o;
  o.start = {0, difficulty, 5, 2};
  o.frames = 6000;
  o.immuneShip = true;
  o.kit = "common,enemies,effects,stage5";
  o.script = [&watch](int) {
    FrameInput in;
    in.padBits = kPadShot;
    const int slot = LiveFormSlot();
    if (slot < 0) return in;
    const EnemyObject& form = EnemyPool0[slot];
    if (form.phase == 0 || form.phase == -4) return in;
    if (watch.forms.empty() || watch.forms.back() != form.type) {
      watch.forms.push_back(form.type);
      watch.fightFrames = 0;
    }
    if (++watch.fightFrames != kKillAfter) return in;
    for (int j = 0; j < form.partCountB; ++j) {
      const EnemyPart& p = form.partsB[j];
      if (p.partType == 20 && p.state == 2)
        in.damage.push_back(
            {{0, static_cast<int16_t>(slot), kTestPartsB, static_cast<int16_t>(j)}, 10000000});
    }
    return in;
  };
  return o;
}

TEST(Stage5BossGame, TheChainFallsFormByFormAndTheStageClears) {
  struct Case {
    int16_t difficulty;
    std::vector<int> forms;
  };
  for (const Case& c : {Case{0, {10, 11, 12, 13}}, Case{2, {10, 11, 12, 13, 14}}}) {
    SCOPED_TRACE(c.difficulty);
    ChainWatch watch;
    const StageRunSummary run = RunStage(PlayChain(c.difficulty, watch));
    EXPECT_EQ(run.end, StageEnd::Clear) << StageEndName(run.end);
    EXPECT_EQ(watch.forms, c.forms);
    EXPECT_EQ(run.census.FromMap(0, 10), 1);
    for (int type = 11; type <= c.forms.back(); ++type)
      EXPECT_EQ(run.census.FromCode(0, type), 1) << type;
    // The chain keeps the map's boss type (form 1's) for the whole fight.
    EXPECT_EQ(run.bossesKilled, std::vector<int>{10});
  }
}

TEST(Stage5BossGame, TwoRunsOfTheChainGiveTheSameDigests) {
  ChainWatch first, second;
  StageRunOptions a = PlayChain(2, first);
  a.frames = 1500;
  StageRunOptions b = PlayChain(2, second);
  b.frames = 1500;
  const StageRunSummary ra = RunStage(a);
  const StageRunSummary rb = RunStage(b);
  ASSERT_GE(first.forms.size(), 2u);
  ASSERT_FALSE(ra.digests.empty());
  EXPECT_EQ(ra.digests, rb.digests);
  EXPECT_EQ(first.forms, second.forms);
}

}  // namespace
