// Stage 2's gunships on the bench: refused before GameFrame 200, the spread gunner's five volleys
// centred on where the player was when it stopped (and its stage-4 entry), the wing opener's
// volleys once a wing is out, a dead wing's shot left out, and its leave line.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage2/stage2.h"
#include "tests/stages/stage2/stage2_bench.h"

namespace {

constexpr int16_t kSpreadGunner = 10, kWingOpener = 11;

struct Shot {
  int32_t type;
  int16_t angle;
  double speed;
};

// Runs pool 1 for frames passes, collecting (and clearing) each pass's shots.
std::vector<std::vector<Shot>> RunShots(Stage2Bench& bench, int frames) {
  std::vector<std::vector<Shot>> out;
  for (int f = 0; f < frames; ++f) {
    bench.Pass1();
    std::vector<Shot> shots;
    for (const EnemyShot& s : EnemyShots) {
      if (s.state != 0) shots.push_back({s.type, s.motionAngle, s.speed});
    }
    out.push_back(shots);
    ClearEnemyShots();
  }
  return out;
}

}  // namespace

TEST(Stage2Gunships, BothAreRefusedBeforeGameFrame200) {
  for (const int16_t type : {kSpreadGunner, kWingOpener}) {
    for (const int32_t frame : {0, 199, 200}) {
      Stage2Bench bench;
      GameFrame = frame;
      const int16_t slot = bench.Spawn1(type, 500, 200);
      EXPECT_EQ(EnemyPool1[slot].state, frame < 200 ? 0 : 2) << type << " at " << frame;
      EXPECT_EQ(EnemyPool1[slot].partCountB, frame < 200 ? 0 : 2);
    }
  }
}

TEST(Stage2SpreadGunner, FiresFiveVolleysCentredOnWhereThePlayerWasWhenItStopped) {
  Stage2Bench bench;
  GameFrame = 200;
  PlayerX = 100;
  PlayerY = 300;
  const int16_t slot = bench.Spawn1(kSpreadGunner, 600, 200);
  const EnemyObject& g = EnemyPool1[slot];
  EXPECT_EQ(g.x, 692);
  EXPECT_EQ(g.speed, 7.2);
  // Entering: braking from screen x 560 until it stops and takes the aim.
  int stop = 0;
  while (g.intWork0 == 0 && stop < 200) {
    bench.Pass1();
    stop += 1;
  }
  ASSERT_EQ(g.intWork0, 2);  // the counter's first attack frame ran with the stop
  const double aimX = g.realWork0, aimY = g.realWork1;
  EXPECT_EQ(aimX, 100);
  EXPECT_EQ(aimY, 300);
  PlayerX = 600;  // the player moves on: the aim stays
  PlayerY = 50;
  const int i8 = ComputeFireInterval(8, 0);
  const std::vector<std::vector<Shot>> run = RunShots(bench, 48 + 6 * i8);
  std::vector<Shot> all;
  std::vector<int> volleyCounters;
  for (size_t f = 0; f < run.size(); ++f) {
    if (!run[f].empty()) volleyCounters.push_back(static_cast<int>(f) + 2);
    all.insert(all.end(), run[f].begin(), run[f].end());
  }
  ASSERT_EQ(all.size(), 27u);
  // Counters above 48 that are multiples of the interval.
  const int first = (48 / i8 + 1) * i8;
  EXPECT_EQ(volleyCounters,
            (std::vector<int>{first, first + i8, first + 2 * i8, first + 3 * i8, first + 4 * i8}));
  // Every volley centres on the angle held from counter 48 on.
  const int a = g.angle;
  EXPECT_LE(std::abs(AngleDifference(a, AimAngle(692 - 0, 200, aimX, aimY))), 200);
  std::vector<Shot> expected = {{2, 0, 4.4}, {0, 0, 3.6}, {0, 0, 3.2}};
  for (const int s : {32, 80, 128, 176}) {
    for (const Shot& side : {Shot{2, 1, 4.4}, Shot{0, 1, 3.6}, Shot{0, 1, 3.2}, Shot{2, -1, 4.0},
                             Shot{0, -1, 3.6}, Shot{0, -1, 3.2}}) {
      expected.push_back({side.type, static_cast<int16_t>(side.angle * s), side.speed});
    }
  }
  for (size_t k = 0; k < all.size(); ++k) {
    EXPECT_EQ(all[k].type, expected[k].type) << k;
    EXPECT_EQ(all[k].angle, WrapAngle(a + expected[k].angle)) << k;
    EXPECT_DOUBLE_EQ(all[k].speed, ScaleShotSpeed(expected[k].speed)) << k;
  }
  // It backs away ever faster, and its counter stops at 1000 with the speed frozen.
  for (int f = 0; f < 1000 && EnemyPool1[slot].state == 2; ++f) bench.Pass1();
  EXPECT_LT(g.speed, 0);
}

TEST(Stage2SpreadGunner, ItsCounterStopsAt1000AndTheSpeedWithIt) {
  Stage2Bench bench;
  GameFrame = 200;
  const int16_t slot = bench.Spawn1(kSpreadGunner, 600, 200);
  EnemyObject& g = EnemyPool1[slot];
  g.despawnMarginX = g.despawnMarginY = 100000;  // kept on the bench however far it backs
  for (int f = 0; f < 1200; ++f) bench.Pass1();
  ASSERT_EQ(g.state, 2);
  EXPECT_EQ(g.intWork0, 1000);
  const double speed = g.speed;
  bench.Pass1();
  EXPECT_EQ(g.speed, speed);
}

TEST(Stage2SpreadGunner, OnStage4ItEntersFasterAndBrakesHarder) {
  for (const int16_t stage : {2, 4}) {
    Stage2Bench bench;
    CurrentStage = stage;
    GameFrame = 200;
    const int16_t slot = bench.Spawn1(kSpreadGunner, 400, 200);  // x 492: braking at once
    EXPECT_EQ(EnemyPool1[slot].speed, stage == 4 ? 11.6 : 7.2);
    bench.Pass1();
    EXPECT_DOUBLE_EQ(EnemyPool1[slot].speed, stage == 4 ? 11.3 : 7.05);
    CurrentStage = 2;
  }
}

namespace {

struct OpenerRun {
  int every = 0, at = 0;         // the volley rule's interval and offset at the run's difficulty
  std::vector<int> volleyHolds;  // the hold state of each volley
  std::vector<int> shotsPerVolley, quartets;
  int outHold = -1;  // the hold state when a wing first came fully out
};

OpenerRun RunOpener(int16_t variant, bool killLowerWing) {
  Stage2Bench bench;
  GameFrame = 200;
  PlayerX = -500;
  const int16_t slot = bench.Spawn1(kWingOpener, 400, 200, variant);
  EnemyObject& o = EnemyPool1[slot];
  OpenerRun run;
  run.every = ComputeFireIntervalMildRank(35, o.rank);
  run.at = ComputeFireIntervalMildRank(7, o.rank);
  for (int f = 0; f < 400 && o.state == 2; ++f) {
    bench.Pass1();
    if (killLowerWing && o.partsB[1].state == 2 && o.intWork0 > 0) o.partsB[1].state = 0;
    if (run.outHold < 0 && (o.partsB[0].offsetY == -56 || o.partsB[1].offsetY == 56)) {
      run.outHold = o.intWork0;
    }
    const int shots = CountEnemyShotsOfType(1) + CountEnemyShotsOfType(3);
    if (shots > 0) {
      run.volleyHolds.push_back(o.intWork0);
      run.shotsPerVolley.push_back(shots);
      run.quartets.push_back(CountEnemyShotsOfType(1));
    }
    ClearEnemyShots();
  }
  return run;
}

}  // namespace

TEST(Stage2WingOpener, FourVolleysOnceAWingIsOutTheQuartetOnTheSecondAndFourth) {
  const OpenerRun run = RunOpener(0, false);
  ASSERT_EQ(run.volleyHolds.size(), 4u);
  for (size_t k = 0; k < 4; ++k) {
    EXPECT_GT(run.volleyHolds[k], 16);
    EXPECT_EQ(run.volleyHolds[k] % run.every, run.at);
  }
  EXPECT_EQ(run.quartets, (std::vector<int>{0, 4, 0, 4}));
  EXPECT_EQ(run.shotsPerVolley, (std::vector<int>{3, 7, 3, 7}));
  // The hold count only runs once a wing is out: still 1 on the frame the wing got there (the
  // wings move after their owner); the first volley comes at the first count above 16 that the
  // rule allows (19 on normal).
  EXPECT_EQ(run.outHold, 1);
  EXPECT_EQ(run.volleyHolds[0], run.at);
  // A dead wing's shot is left out.
  const OpenerRun oneWing = RunOpener(0, true);
  EXPECT_EQ(oneWing.shotsPerVolley, (std::vector<int>{2, 6, 2, 6}));
}

TEST(Stage2WingOpener, StopsByItsBandAndLeavesAtOncePastItsLeaveLine) {
  struct Case {
    int16_t variant;
    double xOffset, bound;
  };
  for (const Case c : {Case{0, 92, -64}, Case{5, 122, -64}, Case{10, 92, 64}, Case{15, 122, 64},
                       Case{25, 122, -64}, Case{-1, 122, -64}, Case{62, 122, -64}}) {
    Stage2Bench bench;
    GameFrame = 200;
    const int16_t slot = bench.Spawn1(kWingOpener, 500, 200, c.variant);
    EXPECT_EQ(EnemyPool1[slot].x, 500 + c.xOffset) << c.variant;
    EXPECT_EQ(EnemyPool1[slot].y, 180);
    EXPECT_EQ(EnemyPool1[slot].realWork1, c.bound) << c.variant;
  }
  // The camera already past world x 5180: leaving from its first live frame, never firing.
  Stage2Bench bench;
  GameFrame = 200;
  DrawOffsetX = -4600;  // the screen's right edge at world x 5240
  CameraX = 4600;
  ViewRight = 5240;
  const int16_t slot = bench.Spawn1(kWingOpener, ScreenToWorldX(400), 200, 0);
  bench.Pass1();
  EXPECT_EQ(EnemyPool1[slot].intWork0, 1000);
  const std::vector<std::vector<Shot>> run = RunShots(bench, 200);
  for (const std::vector<Shot>& f : run) EXPECT_TRUE(f.empty());
}

TEST(Stage2WingOpener, BrakesPastItsBandsStopLineThenSwingsBy64EitherWay) {
  struct Case {
    int16_t variant;
    double stopLine;
  };
  for (const Case c : {Case{0, 430}, Case{15, 580}, Case{25, 730}}) {
    Stage2Bench bench;
    GameFrame = 200;
    PlayerX = -500;
    const int16_t slot = bench.Spawn1(kWingOpener, 620, 200, c.variant);
    const EnemyObject& o = EnemyPool1[slot];
    double brakingFrom = 0;
    double lowest = 0, highest = 0;
    for (int f = 0; f < 600 && o.state == 2; ++f) {
      const double before = WorldToScreenX(o.x);
      const double speed = o.speed;
      bench.Pass1();
      if (brakingFrom == 0 && o.speed < speed) brakingFrom = before;
      if (o.intWork0 > 0) {
        lowest = std::min(lowest, o.realWork0);
        highest = std::max(highest, o.realWork0);
      }
    }
    ASSERT_EQ(o.state, 2) << c.variant;
    // It brakes from its first frame left of the line, within one 4 px step of it.
    EXPECT_LT(brakingFrom, c.stopLine) << c.variant;
    EXPECT_GE(brakingFrom, c.stopLine - 4) << c.variant;
    // The swing turns once past 64 either way (a little beyond, as vy eases round).
    EXPECT_LT(lowest, -64) << c.variant;
    EXPECT_GT(lowest, -72) << c.variant;
    EXPECT_GT(highest, 64) << c.variant;
    EXPECT_LT(highest, 72) << c.variant;
  }
}
