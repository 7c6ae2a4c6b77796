// A playback goes on through stage 1's clear into stage 2's play, the scenes between counted as
// part of the run (IsRunGoingOn, which the replay player and the film follow) and its digests
// numbered on; the clear of stage 2 ends it, as a playback ends past stage 2.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/shell/replay_files.h"
#include "stg_src/shell/replay_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/end_to_end/session_script.h"

namespace {

constexpr int16_t kWeapons[4] = {0, 0, 1, 0};
constexpr int32_t kBossBeatenAt = 10;  // GameFrame of each stage where its boss counts beaten
constexpr int kFrameLimit = 4000;

TEST(PlaybackPastClear, RunsThroughStageOnesClearIntoStageTwoAndEndsAtStageTwosClear) {
  const SessionOnTestStage testStage;
  GameDriver::Options options = SessionOptions(true);
  options.immuneShip = true;
  GameDriver driver(options);
  ASSERT_EQ(driver.Start(), 0);
  driver.Run(2);
  // Nothing held in play; the weapon bytes wherever a weapon select will read them.
  std::fill(ReplayBuffer, ReplayBuffer + kReplayBufferSize, 0);
  auto writeWeapons = [] {
    for (int i = 0; i < 4; ++i)
      WriteReplayByte(ReplayPosition + i, static_cast<uint8_t>(kWeapons[i]));
  };
  writeWeapons();
  std::vector<int16_t> stagesInPlay;
  size_t digestsOfStageOne = 0, firstDigestsOfStageTwo = 0;
  driver.afterFrame = [&] {
    if (CurrentScene == kSceneWeaponSelectSetUp || CurrentScene == kSceneWeaponSelect)
      writeWeapons();
    if (CurrentScene != kScenePlay) return;
    if (stagesInPlay.empty() || stagesInPlay.back() != CurrentStage)
      stagesInPlay.push_back(CurrentStage);
    if (CurrentStage == 1) digestsOfStageOne = driver.digests().size();
    if (CurrentStage == 2 && firstDigestsOfStageTwo == 0)
      firstDigestsOfStageTwo = driver.digests().size();
    if (GameFrame == kBossBeatenAt) StageClearTimer = 2;
  };
  ASSERT_TRUE(driver.StartGame({1, 1, 1}));

  std::vector<int32_t> scenesGoingOn;
  int frames = 0;
  while (IsRunGoingOn() && frames < kFrameLimit && driver.Step()) {
    if (IsRunGoingOn() && (scenesGoingOn.empty() || scenesGoingOn.back() != CurrentScene))
      scenesGoingOn.push_back(CurrentScene);
    ++frames;
  }
  EXPECT_EQ(CurrentScene, kSceneGameEnd);
  EXPECT_FALSE(IsRunGoingOn());
  EXPECT_EQ(stagesInPlay, (std::vector<int16_t>{1, 2}));
  EXPECT_EQ(scenesGoingOn, (std::vector<int32_t>{kScenePlay, kSceneStageClear,
                                                 kSceneWeaponSelectSetUp, kSceneWeaponSelect,
                                                 kSceneStageStart, kScenePlay, kSceneStageClear}));
  // Stage 2's play frames are digested straight after stage 1's, on to its own clear.
  EXPECT_EQ(firstDigestsOfStageTwo, digestsOfStageOne + 1);
  EXPECT_GT(driver.digests().size(), firstDigestsOfStageTwo + kBossBeatenAt + 162);
}

}  // namespace
