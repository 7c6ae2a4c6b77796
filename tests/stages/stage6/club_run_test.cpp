// Stage 6's club walker in the real game, from the checkpoint before it to the boss cell (past
// the climb where a windmill of upper 2 stands): on
// hard it is shot down through its core after it has swept and thrown its bouncing shots, on
// easy it times out with nobody shooting; either way its landing resumes the scroll at 1.5, its
// legs object in the background pool goes, and the run goes on to the boss. The hard run played
// twice gives the same digest.
#include <gtest/gtest.h>

#include <algorithm>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr int kClubType = 12;  // pool 0
constexpr int kBossColumn = 376;
constexpr int kLegsType = 0;       // pool 3
constexpr int kWindmillType = 16;  // pool 1
constexpr int kBouncingShot = 19;
constexpr int kLeftEmitter = 8;  // partsB
constexpr int kCore = 18;
constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadShot = 1u << 4;
constexpr int kSweepsBeforeKill = 1;

int16_t FindLive(EnemyObject* pool, int count, int type) {
  for (int16_t s = 0; s < count; ++s)
    if (pool[s].state >= 1 && pool[s].type == type) return s;
  return -1;
}

struct ClubWatch {
  int frame = 0;
  int16_t club = -1;
  int sweeps = 0;
  int16_t lastCue = 0;
  bool killed = false;
  int32_t lastClubFrame = 0;  // the club's age when it went down
  bool coreClosed = false;    // the time-out's closed core, which takes no damage
  bool legsSeen = false;
  int landedAt = -1;
  int legsGoneAt = -1;
  double furthestRightEdge = 0;
  bool tiltedWindmill = false;  // a windmill of upper 2 set up with its blades
};

StageRunOptions ClubRun(ClubWatch& w, int difficulty, bool kill) {
  StageRunOptions options;
  options.start = {0, static_cast<int16_t>(difficulty), 6, 1};
  options.frames = kill ? 7500 : 12000;
  options.immuneShip = true;
  options.kit = "common,enemies,effects,stage6";
  options.script = [&w, kill](int frame) {
    // Low in the view the ship flies between the legs, under the core it would ram.
    FrameInput in;
    in.padBits = kPadDown;
    if (kill && frame % 16 < 8) in.padBits |= kPadShot;
    if (kill && !w.killed && w.club >= 0 && w.sweeps >= kSweepsBeforeKill &&
        EnemyPool0[w.club].state == 2 && EnemyPool0[w.club].partsB[kLeftEmitter].cue == 0) {
      w.killed = true;
      in.damage.push_back({{0, w.club, kTestPartsB, kCore}, 1000000});
    }
    return in;
  };
  options.afterFrame = [&w] {
    const int f = w.frame++;
    w.furthestRightEdge = std::max(w.furthestRightEdge, ViewRight);
    for (int s = 0; s < kEnemyPool1Size; ++s) {
      const EnemyObject& e = EnemyPool1[s];
      if (e.state == 2 && e.type == kWindmillType && e.variant == 1 && e.partCountA > 0)
        w.tiltedWindmill = true;
    }
    if (w.club < 0) w.club = FindLive(EnemyPool0, kEnemyPool0Size, kClubType);
    if (StageWork[kStageSixCounter] >= 100) w.legsSeen = true;
    if (w.club < 0) return;
    const EnemyObject& o = EnemyPool0[w.club];
    if (o.type != kClubType || o.state == 0) return;
    if (o.state == 2) {
      const int16_t cue = o.partsB[kLeftEmitter].cue;
      if (cue < 0 && w.lastCue == 0) ++w.sweeps;
      w.lastCue = cue;
      w.lastClubFrame = o.frame;
      w.coreClosed = w.coreClosed || o.partsB[kCore].life == -1;
    }
    if (o.state == 4 && w.landedAt < 0 && ScrollTargetSpeed == 1.5) w.landedAt = f;
    if (w.landedAt >= 0 && w.legsGoneAt < 0 && StageWork[kStageSixCounter] == 0) w.legsGoneAt = f;
  };
  return options;
}

void ExpectLandedAndWentOn(const ClubWatch& w, const StageRunSummary& run) {
  EXPECT_EQ(run.census.FromMap(0, kClubType), 1);
  EXPECT_EQ(run.census.FromCode(3, kLegsType), 1);
  EXPECT_TRUE(w.legsSeen);
  ASSERT_GE(w.landedAt, 0);
  ASSERT_GE(w.legsGoneAt, 0);
  EXPECT_LE(w.legsGoneAt - w.landedAt, 3);
  EXPECT_GE(w.furthestRightEdge, kBossColumn * 40.0);  // the run reached the boss cell
}

TEST(Stage6ClubRun, ShotDownOnHardAfterASweepItLandsAndTheRunGoesOnTheSameTwice) {
  ClubWatch w;
  const StageRunSummary run = RunStage(ClubRun(w, 2, true));
  ASSERT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
  EXPECT_TRUE(w.killed);
  EXPECT_GE(w.sweeps, kSweepsBeforeKill);
  EXPECT_LT(w.lastClubFrame, 5600);
  EXPECT_GT(run.census.EnemyShots(kBouncingShot), 0);
  EXPECT_TRUE(w.tiltedWindmill);  // on the climb after the checkpoint
  ExpectLandedAndWentOn(w, run);

  ClubWatch again;
  const StageRunSummary second = RunStage(ClubRun(again, 2, true));
  ASSERT_FALSE(run.digests.empty());
  EXPECT_EQ(second.digests, run.digests);
  EXPECT_EQ(again.landedAt, w.landedAt);
}

TEST(Stage6ClubRun, UnshotOnEasyItTimesOutClosesItsCoreAndLands) {
  ClubWatch w;
  const StageRunSummary run = RunStage(ClubRun(w, 0, false));
  ASSERT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
  EXPECT_GT(w.lastClubFrame, 5600);
  EXPECT_TRUE(w.coreClosed);
  EXPECT_GE(w.sweeps, 1);
  ExpectLandedAndWentOn(w, run);
}

}  // namespace
