// The common enemies in the running field: on the test stage every type of pools 0, 1 and 2 is
// spawned ahead of the ship in turn while it fires and weaves, on every difficulty; the enemies
// fire, die and leave, no slot stays taken once the spawning stops, and two runs give the same
// digest every frame.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/field_fixture.h"
#include "tools/lib/test_stage_maps.h"

namespace {

constexpr int kOpeningFrames = 81;
constexpr int kSpawnFrames = 900;
constexpr int kDrainFrames = 900;

struct PlayRun {
  std::vector<uint64_t> digests;
  int mostEnemyShots = 0;
  int mostObjects[3] = {};
  int32_t score = 0;
  int leftAfterDrain[3] = {};
};

// Every 20 frames the next type, 40 px in from the right edge at mid-screen.
void SpawnNext(int frame) {
  if (frame % 20 != 0) return;
  const int k = frame / 20 % 27;
  const double x = CameraX + 600;
  const double y = -DrawOffsetY + 200;
  if (k < 10) {
    const int16_t slot = SpawnPool0Enemy(x, y, static_cast<int16_t>(k), 0, -1, 0);
    if (slot >= 0 && k >= 8) EnemyPool0[slot].variant = static_cast<int16_t>(33 + frame % 7);
  } else if (k < 20) {
    SpawnPool1Enemy(x, y, static_cast<int16_t>(k - 10), k == 15 ? 3 : 0, -1, 0);
  } else {
    const int16_t type = static_cast<int16_t>(k - 20 == 1 ? 0 : k - 20);
    const int16_t slot = SpawnPool2Enemy(x, y, type, type == 6 ? 12 : 512);
    if (slot >= 0 && type == 7) EnemyPool2[slot].intWork0 = 1;
  }
}

uint32_t Script(int frame) {
  uint32_t held = HeldRole(kButtonShot);
  held |= frame % 120 < 60 ? HeldRole(kButtonUp) : HeldRole(kButtonDown);
  return held;
}

PlayRun Play(int difficulty) {
  FieldFixture field(difficulty);
  WriteTestStageMaps(field.folder().path(), {1});
  EXPECT_EQ(field.StartStage(1), 1);
  field.SetShipImmune(true);
  field.digestFrames = false;
  field.Run(kOpeningFrames);
  field.digestFrames = true;
  PlayRun run;
  field.beforeFrame = [](int frame) { SpawnNext(frame - kOpeningFrames); };
  for (const FieldFrameReport& r : field.Run(kSpawnFrames, Script)) {
    run.digests.push_back(r.digest);
    run.mostEnemyShots = std::max(run.mostEnemyShots, r.liveEnemyShots);
    for (int pool = 0; pool < 3; ++pool) {
      run.mostObjects[pool] = std::max(run.mostObjects[pool], r.liveObjects[pool]);
    }
  }
  run.score = Score;
  field.beforeFrame = nullptr;
  field.digestFrames = false;
  const std::vector<FieldFrameReport> drain = field.Run(kDrainFrames, Script);
  for (int pool = 0; pool < 3; ++pool) run.leftAfterDrain[pool] = drain.back().liveObjects[pool];
  return run;
}

TEST(CommonEnemiesInPlayTest, EveryTypeSpawnsFiresAndLeavesOnEveryDifficulty) {
  for (int difficulty = 0; difficulty < 4; ++difficulty) {
    SCOPED_TRACE(difficulty);
    const PlayRun run = Play(difficulty);
    for (int pool = 0; pool < 3; ++pool) EXPECT_GT(run.mostObjects[pool], 1) << pool;
    EXPECT_GT(run.score, 0);  // the ship's shots kill some
    if (difficulty > 0) { EXPECT_GT(run.mostEnemyShots, 0); }
    for (int pool = 0; pool < 3; ++pool) EXPECT_EQ(run.leftAfterDrain[pool], 0) << pool;
  }
}

TEST(CommonEnemiesInPlayTest, TwoRunsGiveTheSameDigestEveryFrame) {
  const PlayRun a = Play(2);
  const PlayRun b = Play(2);
  ASSERT_EQ(a.digests.size(), b.digests.size());
  for (size_t i = 0; i < a.digests.size(); ++i) ASSERT_EQ(a.digests[i], b.digests[i]) << i;
}

}  // namespace
