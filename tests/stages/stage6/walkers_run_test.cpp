// Stage 6's two walkers in the real game. On hard, from the stage's start to the boss cell, the
// robo and then the club are shot down (the club after it has swept and thrown its bouncing
// shots), the climb after the checkpoint sets up its windmill of upper 2, and the census shows
// the stage's kinds; the run played twice gives the same digest. On easy, with nobody shooting,
// the robo times out from the start and the club from the checkpoint before it. Each walker's
// landing resumes the scroll (1 after the robo, 1.5 after the club), and the club's legs object
// in the background pool goes with it.
#include <gtest/gtest.h>

#include <algorithm>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/stage_run.h"

namespace {

constexpr int kRoboType = 11;  // pool 0
constexpr int kClubType = 12;
constexpr int kBossColumn = 363;
constexpr int kLegsType = 0;       // pool 3
constexpr int kWindmillType = 16;  // pool 1
constexpr int kShellType = 7;      // pool 2
constexpr int kBouncingShot = 19;
constexpr int kLeftEmitter = 8;  // the club's partsB
constexpr int kCore = 18;
constexpr int kRoboHead = 3;  // the robo's partsB
constexpr uint32_t kPadDown = 1u << 0;
constexpr uint32_t kPadShot = 1u << 4;

int16_t FindLive(EnemyObject* pool, int count, int type) {
  for (int16_t s = 0; s < count; ++s)
    if (pool[s].state >= 1 && pool[s].type == type) return s;
  return -1;
}

// One walker followed through a run.
struct WalkerWatch {
  int16_t slot = -1;
  int type = 0;
  bool killed = false;
  int32_t lastLiveFrame = 0;  // its age when it went down
  bool closed = false;        // timed out: life -1 before it went down
  int beams = 0;              // aimed beams (robo) or sweeps (club) started
  int16_t lastCue = 0;
  int landedAt = -1;
  double speedAtLanding = 0;

  void Follow(int f, double landingSpeed) {
    if (slot < 0) slot = FindLive(EnemyPool0, kEnemyPool0Size, type);
    if (slot < 0) return;
    const EnemyObject& o = EnemyPool0[slot];
    if (o.type != type || o.state == 0) return;
    if (o.state == 2) {
      const int16_t cue = type == kClubType ? o.partsB[kLeftEmitter].cue : o.partsB[kRoboHead].cue;
      const bool started = type == kClubType ? cue < 0 : cue > 0;
      if (started && lastCue == 0) ++beams;
      lastCue = cue;
      lastLiveFrame = o.frame;
      const int32_t life = type == kClubType ? o.partsB[kCore].life : o.life;
      closed = closed || life == -1;
    }
    if (o.state == 4 && landedAt < 0 && ScrollTargetSpeed == landingSpeed) {
      landedAt = f;
      speedAtLanding = ScrollTargetSpeed;
    }
  }
  // Ready to be shot down: live, and (for the club) past its first sweep and between beams.
  bool Ready() const {
    if (slot < 0 || killed || EnemyPool0[slot].state != 2) return false;
    if (type == kRoboType) return EnemyPool0[slot].frame > 300;
    return beams >= 1 && EnemyPool0[slot].partsB[kLeftEmitter].cue == 0;
  }
};

struct RunWatch {
  int frame = 0;
  WalkerWatch robo{.type = kRoboType};
  WalkerWatch club{.type = kClubType};
  bool legsSeen = false;
  int legsGoneAt = -1;
  double furthestRightEdge = 0;
  bool tiltedWindmill = false;  // a windmill of upper 2 set up with its blades
};

StageRunOptions WalkersRun(RunWatch& w, int difficulty, int checkpoint, int frames, bool shoot) {
  StageRunOptions options;
  options.start = {0, static_cast<int16_t>(difficulty), 6, static_cast<int16_t>(checkpoint)};
  options.frames = frames;
  options.immuneShip = true;
  options.kit = "common,enemies,effects,stage6";
  options.script = [&w, shoot](int frame) {
    // Low in the view the ship flies between the club's legs, under the core it would ram.
    FrameInput in;
    in.padBits = kPadDown;
    if (!shoot) return in;
    if (frame % 16 < 8) in.padBits |= kPadShot;
    for (WalkerWatch* walker : {&w.robo, &w.club}) {
      if (!walker->Ready()) continue;
      walker->killed = true;
      const TestDamageTarget target = walker->type == kClubType
                                          ? TestDamageTarget{0, walker->slot, kTestPartsB, kCore}
                                          : TestDamageTarget{0, walker->slot, kTestBody, 0};
      in.damage.push_back({target, 1000000});
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
    w.robo.Follow(f, 1);
    w.club.Follow(f, 1.5);
    if (StageWork[kStageSixCounter] >= 100) w.legsSeen = true;
    if (w.club.landedAt >= 0 && w.legsGoneAt < 0 && StageWork[kStageSixCounter] == 0)
      w.legsGoneAt = f;
  };
  return options;
}

void ExpectClubLandedAndWentOn(const RunWatch& w, const StageRunSummary& run) {
  EXPECT_EQ(run.census.FromMap(0, kClubType), 1);
  EXPECT_EQ(run.census.FromCode(3, kLegsType), 1);
  EXPECT_TRUE(w.legsSeen);
  ASSERT_GE(w.club.landedAt, 0);
  ASSERT_GE(w.legsGoneAt, 0);
  EXPECT_LE(w.legsGoneAt - w.club.landedAt, 3);
  EXPECT_GE(w.furthestRightEdge, kBossColumn * 40.0);  // the run reached the boss cell
}

TEST(Stage6WalkersRun, OnHardBothAreShotDownTheStageShowsItsKindsAndTheRunIsTheSameTwice) {
  RunWatch w;
  const StageRunSummary run = RunStage(WalkersRun(w, 2, 0, 11800, true));
  ASSERT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
  EXPECT_TRUE(w.robo.killed);
  EXPECT_LT(w.robo.lastLiveFrame, 3200);
  EXPECT_GE(w.robo.landedAt, 0);
  EXPECT_TRUE(w.club.killed);
  EXPECT_GE(w.club.beams, 1);
  EXPECT_LT(w.club.lastLiveFrame, 5600);
  EXPECT_TRUE(w.tiltedWindmill);
  ExpectClubLandedAndWentOn(w, run);
  const SpawnCounts& c = run.census;
  for (int type : {11, 12, 13, 17, 18})
    EXPECT_GT(c.FromMap(0, type) + c.FromCode(0, type), 0) << "pool 0 type " << type;
  for (int type = 10; type <= 17; ++type)
    EXPECT_GT(c.FromMap(1, type) + c.FromCode(1, type), 0) << "pool 1 type " << type;
  EXPECT_GT(c.FromCode(2, kShellType), 0);
  for (int type : {17, kBouncingShot, 20, 23, 24}) EXPECT_GT(c.EnemyShots(type), 0) << type;

  RunWatch again;
  const StageRunSummary second = RunStage(WalkersRun(again, 2, 0, 11800, true));
  ASSERT_FALSE(run.digests.empty());
  EXPECT_EQ(second.digests, run.digests);
  EXPECT_EQ(again.club.landedAt, w.club.landedAt);
}

TEST(Stage6WalkersRun, UnshotOnEasyTheRoboTimesOutAndResumesTheScroll) {
  RunWatch w;
  const StageRunSummary run = RunStage(WalkersRun(w, 0, 0, 5000, false));
  ASSERT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
  EXPECT_GT(w.robo.lastLiveFrame, 3200);
  EXPECT_TRUE(w.robo.closed);
  EXPECT_GE(w.robo.beams, 1);
  EXPECT_GE(w.robo.landedAt, 0);
}

TEST(Stage6WalkersRun, UnshotOnEasyTheClubTimesOutClosesItsCoreAndLands) {
  RunWatch w;
  const StageRunSummary run = RunStage(WalkersRun(w, 0, 1, 12000, false));
  ASSERT_EQ(run.end, StageEnd::EndOfInput) << StageEndName(run.end);
  EXPECT_GT(w.club.lastLiveFrame, 5600);
  EXPECT_TRUE(w.club.closed);
  EXPECT_GE(w.club.beams, 1);
  ExpectClubLandedAndWentOn(w, run);
}

}  // namespace
