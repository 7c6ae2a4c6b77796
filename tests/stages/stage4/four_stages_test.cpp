// One headless game through stages 1 to 4 in a row, from stage 1's start: the stage-clear
// scene and the weapon select between the stages, the generator carried over, each stage played
// to its clear by a weaving, firing ship (immune) while deadly hits go to the cores that end
// each stage's fights once they can be hurt. Played twice, the runs give the same digests.
#include <gtest/gtest.h>

#include <vector>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game_state.h"
#include "tests/game_support/game_driver.h"

namespace {

constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadUp = 1u << 3;
constexpr uint32_t kPadShot = 1u << 4;
constexpr int kBossType = 10;
constexpr int kMostSteps = 40000;
constexpr int kDigestEvery = 16;
constexpr int32_t kDeadly = 10000000;

struct Hits {
  int serpentHeld = 0;  // frames stage 3's serpent held the scroll
  int carrierHeld = 0;  // frames stage 4's carrier held it
};

bool Hurtable(const EnemyPart& p) { return p.state == 2 && p.life > 0; }

void Hit(FrameInput& in, int pool, int slot, int16_t array, int16_t part) {
  in.damage.push_back(
      {{static_cast<int16_t>(pool), static_cast<int16_t>(slot), array, part}, kDeadly});
}

// The hits of one frame: each stage's cores as each can be hurt.
void AddHits(Hits& h, FrameInput& in) {
  for (int s = 0; s < kEnemyPool0Size; ++s) {
    const EnemyObject& o = EnemyPool0[s];
    if (o.state != 2) continue;
    const EnemyPart* b = o.partsB;
    if (o.type == kBossType) {
      if (CurrentStage == 1 && o.phase == 3 && Hurtable(b[0])) Hit(in, 0, s, kTestPartsB, 0);
      if (CurrentStage == 2 && b[0].imageFrame == 0 && Hurtable(b[0]))
        Hit(in, 0, s, kTestPartsB, 0);
      if (CurrentStage == 3) {
        for (int16_t core : {0, 1})
          if (Hurtable(b[core])) Hit(in, 0, s, kTestPartsB, core);
      }
      if (CurrentStage == 4 && b[7].imageFrame == 0 && Hurtable(b[7]))
        Hit(in, 0, s, kTestPartsB, 7);
    }
    if (CurrentStage == 3 && o.type == 13 && ScrollSpeed == 0 && ++h.serpentHeld == 600)
      Hit(in, 0, s, kTestPartsB, 15);
    if (CurrentStage == 4 && o.type == 11 && Hurtable(b[0])) Hit(in, 0, s, kTestPartsB, 0);
  }
  if (CurrentStage != 4) return;
  for (int s = 0; s < kEnemyPool1Size; ++s) {
    const EnemyObject& o = EnemyPool1[s];
    if (o.state == 2 && o.type == 13 && ScrollTargetSpeed == 0 && ++h.carrierHeld == 60)
      Hit(in, 1, s, kTestPartsA, 0);
  }
}

struct Flight {
  std::vector<uint64_t> digests;  // after every 16th play frame, and at the end
  std::vector<int> stagesCleared;
  int playFrames = 0;
};

Flight Fly() {
  GameDriver::Options options;
  options.kit = "common,weapons,enemies,effects,stage1,stage2,stage3,stage4";
  options.fast = true;
  options.immuneShip = true;
  GameDriver driver(options);
  driver.digestFrames = false;
  Flight r;
  EXPECT_EQ(driver.Start(), 0);
  driver.Run(2);
  if (!driver.StartGame({0, 1, 1, 0})) return r;
  Hits hits;
  int32_t lastFrame = GameFrame;
  bool inClear = false;
  for (int step = 0; step < kMostSteps; ++step) {
    FrameInput in;
    if (step % 8 < 4) in.padBits |= kPadShot;
    in.padBits |= step % 240 < 120 ? kPadUp : kPadDown;
    if (CurrentScene == kScenePlay) AddHits(hits, in);
    if (!driver.Step(in)) break;
    const bool clear = CurrentScene == kSceneStageClear;
    if (clear && !inClear) r.stagesCleared.push_back(CurrentStage);
    inClear = clear;
    if (clear && CurrentStage == 4) break;
    if (CurrentScene != kScenePlay || GameFrame == lastFrame) continue;
    lastFrame = GameFrame;
    r.playFrames += 1;
    if (r.playFrames % kDigestEvery == 0)
      r.digests.push_back(DigestGameState(DigestScope::Run).value);
  }
  r.digests.push_back(DigestGameState(DigestScope::Run).value);
  return r;
}

TEST(FourStages, StagesOneToFourPlayCompleteInOneGameTwiceAlike) {
  const Flight first = Fly();
  EXPECT_EQ(first.stagesCleared, (std::vector<int>{1, 2, 3, 4}));
  const Flight second = Fly();
  EXPECT_EQ(second.stagesCleared, first.stagesCleared);
  EXPECT_EQ(second.playFrames, first.playFrames);
  ASSERT_GT(first.digests.size(), 100u);
  EXPECT_EQ(second.digests, first.digests);
}

}  // namespace
