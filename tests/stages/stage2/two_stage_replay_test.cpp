// A run over stages 1 and 2 recorded through the shell as a replay (from stage 1's checkpoint
// before its boss, through its clear and the weapon select, into stage 2 at its checkpoint
// before the boss and on to its clear), saved, loaded and played back with the same set-up,
// gives the recorded digest at every play frame of both stages. (Both runs keep the ship immune,
// start stage 2 at that checkpoint as a continue would, and deal the bosses' cores the same
// deadly hits: all of it the test's, not the stream's.)
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/damage.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/shell_state.h"
#include "stg_src/stages/stage2/stage2_boss.h"
#include "tests/game_support/game_driver.h"

namespace {

constexpr uint32_t kPadShot = 1u << 4;
constexpr uint32_t kPadUp = 1u << 3;
constexpr uint32_t kPadDown = 1u << 0;
constexpr int kBossType = 10;
constexpr int16_t kStage1LastCheckpoint = 4;  // the one before stage 1's boss
constexpr int16_t kStage2LastCheckpoint = 2;  // the one before stage 2's boss
constexpr int kMostFrames = 12000;
constexpr const char* kReplayPath = "replay/normal/two_stages.rpy";
// The run's digest is taken every 16th frame and at the end (every frame would sum the enemy
// pools some ten thousand times); a run that strays stays apart.
constexpr int kDigestEvery = 16;

uint64_t RunDigest() { return DigestGameState(DigestScope::Run).value; }

GameDriver::Options TwoStageOptions() {
  GameDriver::Options options;
  options.kit = "common,weapons,enemies,effects,stage1,stage2";
  options.fast = true;
  options.immuneShip = true;
  return options;
}

// The ship weaving and firing in bursts (recorded; playback reads its own stream), and each
// boss's core, once it can be hurt, taken down by a deadly hit, which both runs deal alike.
FrameInput TwoStageInput(int frame) {
  FrameInput in;
  if (frame % 8 < 4) in.padBits |= kPadShot;
  in.padBits |= frame % 240 < 120 ? kPadUp : kPadDown;
  for (int slot = 0; slot < kEnemyPool0Size; ++slot) {
    const EnemyObject& o = EnemyPool0[slot];
    if (o.state != 2 || o.type != kBossType) continue;
    const EnemyPart& core = o.partsB[0];
    const bool open = CurrentStage == 1 ? o.phase == 3 : core.imageFrame == 0;
    if (open && core.life > 0)
      in.damage.push_back({{0, static_cast<int16_t>(slot), kTestPartsB, 0}, 100000});
  }
  return in;
}

bool StageTwoCleared() { return CurrentStage == 2 && CurrentScene == kSceneStageClear; }

struct Flight {
  std::vector<uint64_t> digests;  // after every 16th play frame, and at the end
  int playFrames = 0;
  bool reachedStage2 = false, cleared = false;
  int16_t stage2Checkpoint = -1;  // at stage 2's first play frame
};

// Steps the started run until stage 2's clear (or kMostFrames steps). The scenes between the
// stages may take their frames differently in playback (the stream picks the weapons), so the
// digests are counted by play frames.
Flight Fly(GameDriver& driver) {
  Flight r;
  int32_t lastFrame = GameFrame;
  for (int step = 0; step < kMostFrames && !StageTwoCleared(); ++step) {
    // The stage start restarts at CheckpointIndex when it is above 0.
    if (CurrentScene == kSceneStageStart && CurrentStage == 2)
      CheckpointIndex = kStage2LastCheckpoint;
    if (!driver.Step(TwoStageInput(step))) break;
    if (CurrentScene != kScenePlay || GameFrame == lastFrame) continue;
    lastFrame = GameFrame;
    r.playFrames += 1;
    if (r.playFrames % kDigestEvery == 0) r.digests.push_back(RunDigest());
    if (CurrentStage == 2 && !r.reachedStage2) r.stage2Checkpoint = CheckpointIndex;
    r.reachedStage2 = r.reachedStage2 || CurrentStage == 2;
  }
  r.cleared = StageTwoCleared();
  r.digests.push_back(RunDigest());
  return r;
}

}  // namespace

TEST(TwoStageReplay, ARunOverStages1And2PlaysBackWithItsDigests) {
  Flight recorded;
  std::string file;
  {
    GameDriver driver(TwoStageOptions());
    driver.digestFrames = false;
    ASSERT_EQ(driver.Start(), 0);
    driver.Run(2);
    ASSERT_TRUE(driver.StartGame({0, 1, 1, kStage1LastCheckpoint}));
    recorded = Fly(driver);
    Score = 12345;
    ASSERT_TRUE(SaveReplayFile());
    file = driver.folder().ReadFile("replay/normal/normal_000012345.rpy");
  }
  ASSERT_TRUE(recorded.reachedStage2);
  EXPECT_EQ(recorded.stage2Checkpoint, kStage2LastCheckpoint);
  ASSERT_TRUE(recorded.cleared);
  EXPECT_GT(recorded.playFrames, 2000);
  ASSERT_EQ(file.size(), static_cast<size_t>(kReplayBufferSize));

  GameDriver driver(TwoStageOptions());
  driver.digestFrames = false;
  driver.folder().WriteFile(kReplayPath, file);
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  LoadReplayFile(kReplayPath);
  ASSERT_TRUE(driver.StartGame({1, 1, 1, kStage1LastCheckpoint}));
  const Flight played = Fly(driver);
  EXPECT_TRUE(played.cleared);
  EXPECT_EQ(played.stage2Checkpoint, kStage2LastCheckpoint);
  EXPECT_EQ(played.playFrames, recorded.playFrames);
  EXPECT_EQ(played.digests, recorded.digests);
}
