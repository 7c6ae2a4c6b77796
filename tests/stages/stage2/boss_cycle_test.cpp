// The stage-2 boss's cycle on the bench: the phases its body and parts hand on with the
// durations the parts' moves give, the hover's steps and volleys, the nose fan, the side guns'
// speed rule, the line-up out of sight, the dead stop past the right edge, and the two ends of
// the fight (time-out and kill).
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/items_and_popups.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage2/stage2_boss.h"
#include "tests/stages/stage2/stage2_bench.h"

namespace {

struct BossFrame {
  int state = 0, phase = 0, frame = 0;
  double x = 0, y = 0, vx = 0, playerY = 0;
  int32_t t = 0, s = 0, n = 0, r = 0;
  int coreState = 0, coreImage = 0, coreCue = 0, coreLife = 0;
  int shots[18] = {};  // spawned this frame, by type
  std::vector<int> sounds;
  int32_t score = 0;
  int stageClear = 0;
  int items = 0;
};

// The boss spawned at (700, spawnY) and run for up to frames frames (until it is freed); the shots
// of each frame are counted and cleared. playerY(f) sets PlayerY before frame f.
std::vector<BossFrame> RunBoss(Stage2Bench& bench, int frames, double (*playerY)(int) = nullptr,
                               void (*before)(EnemyObject&, int) = nullptr, double spawnY = 200) {
  const int16_t slot = bench.Spawn(10, 700, spawnY);
  EnemyObject& boss = EnemyPool0[slot];
  std::vector<BossFrame> run;
  for (int f = 0; f < frames && boss.state != 0; ++f) {
    if (playerY != nullptr) PlayerY = playerY(f);
    if (before != nullptr) before(boss, f);
    BossFrame b;
    b.sounds = bench.Pass();
    b.state = boss.state;
    b.phase = boss.phase;
    b.frame = boss.frame;
    b.x = boss.x;
    b.y = boss.y;
    b.vx = boss.vx;
    b.playerY = PlayerY;
    b.t = boss.intWork0;
    b.s = boss.intWork1;
    b.n = boss.intWork2;
    b.r = boss.intWork3;
    const EnemyPart& core = boss.partsB[kStage2BossCore];
    b.coreState = core.state;
    b.coreImage = core.imageFrame;
    b.coreCue = core.cue;
    b.coreLife = core.life;
    for (const EnemyShot& s : EnemyShots) {
      if (s.state != 0 && s.type >= 0 && s.type < 18) b.shots[s.type] += 1;
    }
    b.score = Score;
    b.stageClear = StageClearTimer;
    for (const Item& item : Items) b.items += item.state != 0 && item.kind == 7;
    run.push_back(b);
    ClearEnemyShots();
  }
  return run;
}

struct PhaseRun {
  int phase, first, length;
};
std::vector<PhaseRun> PhaseRuns(const std::vector<BossFrame>& run) {
  std::vector<PhaseRun> runs;
  for (int f = 0; f < static_cast<int>(run.size()); ++f) {
    if (runs.empty() || runs.back().phase != run[f].phase) { runs.push_back({run[f].phase, f, 0}); }
    runs.back().length += 1;
  }
  return runs;
}

// The player kept away from the boss's path (it lines up on the player's height).
double FarBelow(int) { return 390; }
// Level with the middle of the screen: from y 150 the hover steps between 150 and 250, where
// every gun's muzzle stays on the screen.
double Middle(int) { return 200; }

}  // namespace

TEST(Stage2BossCycle, PhasesFollowTheCycleWithThePartsDurations) {
  Stage2Bench bench;
  const std::vector<BossFrame> run = RunBoss(bench, 1100, FarBelow);
  const std::vector<PhaseRun> runs = PhaseRuns(run);
  const int expected[] = {-4, -3, 1, 3, -1, -2, -3};
  ASSERT_GE(runs.size(), std::size(expected));
  for (size_t k = 0; k < std::size(expected); ++k) EXPECT_EQ(runs[k].phase, expected[k]) << k;
  // The forearms stretch for 15 frames: the boss's own frame of phase 1 and 14 more.
  EXPECT_EQ(runs[2].length + 1, 15);
  EXPECT_EQ(runs[4].length, 27);  // the lower side gun swings back
  EXPECT_EQ(runs[5].length, 19);  // the upper arm folds
  for (const BossFrame& b : run) EXPECT_NE(b.phase, kStage2BossFinsFolded);
  // The entry brakes inside the right edge and the hover starts still: the upper arm, which is
  // at its folded -108 from the start, does not hand the entry over to the hover.
  EXPECT_GT(runs[0].length, 30);
  EXPECT_LT(run[runs[1].first].x, 620);
  EXPECT_GT(run[runs[1].first].x, 500);
}

TEST(Stage2BossCycle, HoverStepsVolleysAndTheEndAtAStepBoundary) {
  Stage2Bench bench;
  const std::vector<BossFrame> run = RunBoss(bench, 700, Middle, nullptr, 130);
  const int interval = ComputeFireInterval(48, 0);
  bool sawVolley = false;
  int hoverEnd = -1;
  for (int f = 1; f < static_cast<int>(run.size()); ++f) {
    const BossFrame& b = run[f];
    const BossFrame& prev = run[f - 1];
    if (b.phase == kStage2BossHover && b.n == 0) {
      // The first step only waits: no move, no volley, no fan.
      EXPECT_EQ(b.y, prev.y) << f;
      EXPECT_EQ(b.shots[0] + b.shots[3] + b.shots[4], 0) << f;
    }
    if (b.phase == kStage2BossHover && b.n > 0 && b.s == 4 && prev.s == 3) {
      // Two front guns and both arms fire type 4; both arms and four fins type 3.
      EXPECT_EQ(b.shots[4], 4) << f;
      EXPECT_EQ(b.shots[3], 6) << f;
      sawVolley = true;
    }
    const bool stepStarts = b.phase == kStage2BossHover && b.s == 1 && prev.s == 0;
    EXPECT_EQ(b.shots[0], stepStarts && b.t > 80 ? 5 : 0) << f;
    if (b.phase == kStage2BossStop && prev.phase == kStage2BossHover) hoverEnd = f;
  }
  EXPECT_TRUE(sawVolley);
  ASSERT_GT(hoverEnd, 0);
  // The limit is read only between steps: the hover ended on the first step boundary past 400.
  const BossFrame& last = run[hoverEnd - 1];
  EXPECT_EQ(last.s, 0);
  EXPECT_GE(last.t, 400);
  EXPECT_LT(last.t, 400 + interval);
  for (int f = 0; f < hoverEnd - 1; ++f) {
    if (run[f].phase == kStage2BossHover && run[f].s == 0) { EXPECT_LT(run[f].t, 400) << f; }
  }
  EXPECT_EQ(run[hoverEnd].sounds, std::vector<int>{49});
}

TEST(Stage2BossCycle, NoNoseFanOnEasyBelowTheThreshold) {
  Stage2Bench bench(0);
  const std::vector<BossFrame> run = RunBoss(bench, 700, FarBelow);
  int volleys = 0;
  for (const BossFrame& b : run) {
    EXPECT_EQ(b.shots[0], 0);
    volleys += b.shots[4];
  }
  EXPECT_GT(volleys, 0);
}

TEST(Stage2BossCycle, SideGunsFireOnlyAtRamSpeedAndTheBossStopsDeadPastTheRightEdge) {
  Stage2Bench bench;
  const std::vector<BossFrame> run = RunBoss(bench, 1100, FarBelow);
  int retargets = 0;
  bool sawStop = false;
  for (int f = 1; f < static_cast<int>(run.size()); ++f) {
    const BossFrame& b = run[f];
    if (b.shots[17] > 0) {
      EXPECT_EQ(b.phase, kStage2BossRam) << f;
      EXPECT_GE(std::abs(b.vx), 12) << f;
      retargets += b.shots[17];
    }
    // The ram ends past the right edge; on the next frame the speed (0 since the stop) sets
    // the motion.
    if (b.phase == kStage2BossSideGunsFold && run[f - 1].phase == kStage2BossRam &&
        f + 1 < static_cast<int>(run.size())) {
      EXPECT_GT(b.x, 640);
      EXPECT_EQ(run[f + 1].vx, 0) << f;
      EXPECT_EQ(run[f + 1].x, b.x) << f;
      sawStop = true;
    }
  }
  EXPECT_GT(retargets, 0);
  EXPECT_TRUE(sawStop);
}

namespace {
// The line-up's length: second-pass frames that took the player's height, which moves a little
// every frame so that no held height matches it.
int LineUpFrames(int difficulty) {
  Stage2Bench bench(difficulty);
  const std::vector<BossFrame> run = RunBoss(bench, 1100, [](int f) { return 300.0 + 0.001 * f; });
  int frames = 0;
  for (const BossFrame& b : run) {
    frames += b.phase == kStage2BossRam && b.s == 1 && b.y == b.playerY && b.x < 0;
  }
  return frames;
}
}  // namespace

TEST(Stage2BossCycle, TheLineUpLastsFifteenFramesLongerOnInsaneThanOnEasy) {
  const int easy = LineUpFrames(0);
  const int insane = LineUpFrames(3);
  EXPECT_GT(easy, 0);
  EXPECT_EQ(insane - easy, 15);
}

TEST(Stage2BossEnd, UntouchedTheCoreTimesOutAfterTheFifthRamWithoutScoreOrItem) {
  Stage2Bench bench;
  StageUnlockId = -1;
  PlayerX = -2000;  // out of the rams' reach: the ship's body must not wear the core down
  const std::vector<BossFrame> run = RunBoss(bench, 7000, FarBelow);
  ASSERT_EQ(run.back().state, 0);
  int cue = -1;
  for (int f = 0; f < static_cast<int>(run.size()); ++f) {
    if (run[f].coreCue > 0) {
      cue = f;
      break;
    }
  }
  ASSERT_GT(cue, 0);
  EXPECT_EQ(run[cue].phase, kStage2BossHover);
  EXPECT_EQ(run[cue].r, 5);
  // Closed in five steps on every fourth frame (at most 20 frames), and unhurt once closed.
  int closed = cue;
  while (run[closed].coreImage < 5) ++closed;
  EXPECT_GT(closed - cue, 15);
  EXPECT_LE(closed - cue, 20);
  EXPECT_EQ(run[closed].coreLife, -1);
  // The cue counts from its own frame: the 180th frame that counts it passes 180.
  EXPECT_EQ(run[cue + 178].coreState, 2);
  EXPECT_EQ(run[cue + 179].coreState, 4);
  // The destruction step on three successive frames; the clear on the 80th after the third.
  std::vector<int> restarts;
  for (int f = cue + 179; f < static_cast<int>(run.size()); ++f) {
    if (run[f].state >= 3 && run[f].frame == 0) restarts.push_back(f);
  }
  ASSERT_EQ(restarts.size(), 3u);
  EXPECT_EQ(restarts[1], restarts[0] + 1);
  EXPECT_EQ(restarts[2], restarts[1] + 1);
  const int finale = restarts[2] + 80;
  ASSERT_LT(finale, static_cast<int>(run.size()));
  EXPECT_EQ(run[finale].state, 0);
  EXPECT_EQ(run[finale].stageClear, 2);
  EXPECT_EQ(run[finale - 1].stageClear, 0);
  EXPECT_EQ(run[finale].score, run[cue + 178].score);
  EXPECT_EQ(run[finale].items, 0);
  EXPECT_EQ(BossState, -1);
}

TEST(Stage2BossEnd, ShootingTheCoreScoresUnlocksAndDropsTheCapsule) {
  Stage2Bench bench;
  StageUnlockId = -1;
  const int16_t slot = bench.Spawn(10, 700, 200);
  EnemyObject& boss = EnemyPool0[slot];
  PlayerY = 390;
  for (int f = 0; f < 300; ++f) bench.Pass();
  const EnemyPart& core = boss.partsB[kStage2BossCore];
  ASSERT_EQ(core.imageFrame, 0);
  ASSERT_EQ(core.life, ScaleLifeByRank(4200));
  const int32_t before = Score;
  ASSERT_TRUE(bench.field.DamageEnemy({0, slot, kTestPartsB, 0}, core.life + 1));
  EXPECT_GT(Score, before);
  EXPECT_EQ(StageUnlockId, 8);  // -1 less the core's weight 2 reaches -3 and resets
  int frames = 0;
  while (boss.state != 0 && frames < 200) {
    bench.Pass();
    ++frames;
  }
  EXPECT_EQ(boss.state, 0);
  EXPECT_EQ(StageClearTimer, 2);
  int capsules = 0;
  for (const Item& item : Items) capsules += item.state != 0 && item.kind == 7;
  EXPECT_EQ(capsules, 1);
}
