// Stage 5's pool-1 enemies and background objects on the bench: shutter panels by difficulty,
// the rammer's brake, burst and single aim, the launcher's column and steady release, the jet's
// trailing-edge rule, steering marks and bombs, the ring's paired segments, and the values of a
// map's upper layer that are refused or run.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage5/stage5_bench.h"
#include "tests/support/log_capture.h"

namespace {

constexpr int16_t kShutter = 12;
constexpr int16_t kRammer = 13;
constexpr int16_t kLauncher = 14;
constexpr int16_t kLaunchedFlier = 15;
constexpr int16_t kJet = 16;
constexpr int16_t kRing = 17;
constexpr int16_t kWaypoint = 18;
constexpr int16_t kBlock = 19;

int CountPool(const EnemyObject* pool, int size, int32_t type) {
  int n = 0;
  for (int k = 0; k < size; ++k)
    if (pool[k].state != 0 && pool[k].type == type) n += 1;
  return n;
}

// The frames at which the upper panel starts to move toward closed (work0 1) or open (0).
std::vector<int> PanelToggles(Stage5Bench& bench, const EnemyPart& panel, int frames) {
  std::vector<int> toggles;
  for (int f = 2; f <= frames; ++f) {
    const int16_t was = panel.work0;
    bench.PassPool1();
    if (panel.work0 != was) toggles.push_back(f);
  }
  return toggles;
}

TEST(Stage5Group1, ShutterPanelsStayOpenOnEasyAndToggle26And40OnInsane) {
  {
    Stage5Bench easy(0);
    const int16_t slot = easy.SpawnPool1(kShutter, 300, 180, 0, 1);  // closed start
    const EnemyObject& o = EnemyPool1[slot];
    EXPECT_EQ(o.y, 200);
    const EnemyPart& upper = o.partsA[0];
    EXPECT_EQ(upper.work0, 0);
    EXPECT_TRUE(PanelToggles(easy, upper, 300).empty());
    EXPECT_EQ(upper.offsetY, -120);
    EXPECT_EQ(o.partsA[1].offsetY, 120);
    EXPECT_EQ(upper.hitMode, 4);
  }
  Stage5Bench insane(3);
  const int16_t closed = insane.SpawnPool1(kShutter, 300, 180, 0, 0);
  const EnemyPart& upper = EnemyPool1[closed].partsA[0];
  EXPECT_EQ(upper.work0, 1);
  EXPECT_EQ(upper.offsetY, -20);
  const std::vector<int> toggles = PanelToggles(insane, upper, 200);
  ASSERT_GE(toggles.size(), 4u);
  EXPECT_EQ(toggles[0], 26);
  EXPECT_EQ(toggles[1] - toggles[0], 40);
  EXPECT_EQ(toggles[2] - toggles[1], 26);
  // Variant 12 starts wide open: the largest panels 180 px out.
  const int16_t open = insane.SpawnPool1(kShutter, 300, 180, 0, 12);
  EXPECT_EQ(EnemyPool1[open].partsA[0].offsetY, -180);
  EXPECT_EQ(EnemyPool1[open].partsA[0].work0, 0);
  EXPECT_EQ(EnemyPool1[open].partsA[0].imageFrame, 4);
}

TEST(Stage5Group1, TheRammerBrakesFor50FramesFansOutABurstAndChargesOnItsOneAim) {
  Stage5Bench bench;
  PlayerX = 100;
  PlayerY = 100;
  const int16_t slot = bench.SpawnPool1(kRammer, 580, 300);
  EnemyObject& o = EnemyPool1[slot];
  EXPECT_NEAR(o.x, 600 - 3.92, 1e-9);  // 20 to the right, then its first braked step
  int stoppedAt = 0;
  for (int f = 2; f <= 60 && stoppedAt == 0; ++f) {
    bench.PassPool1();
    if (o.intWork0 == 1) stoppedAt = f;
  }
  EXPECT_NEAR(stoppedAt, 50, 1);  // 4 at 0.08 a frame
  const EnemyPart& gun = o.partsB[0];
  int volleys = 0;
  for (int f = 0; f < 80 && o.angle2 < 0; ++f) {
    ClearEnemyShots();
    bench.PassPool1();
    const auto shots = EnemyShotsOfType(0);
    if (shots.empty()) continue;
    ASSERT_EQ(shots.size(), 3u);
    volleys += 1;
    EXPECT_EQ(shots[1]->drawAngle, WrapAngle(shots[0]->drawAngle - (gun.work1 + 3)));
    EXPECT_EQ(shots[2]->drawAngle, WrapAngle(shots[0]->drawAngle + (gun.work1 + 3)));
  }
  EXPECT_GE(volleys, 3);
  ASSERT_GE(o.angle2, 0);
  const int16_t aim = o.angle2;
  EXPECT_EQ(aim, AimAngle(o.x, o.y, 100, 100));
  // The player moves away: the rammer keeps the aim it took.
  PlayerY = 380;
  for (int f = 0; f < 80; ++f) bench.PassPool1();
  EXPECT_EQ(o.angle2, aim);
  EXPECT_NEAR(o.speed, 3.6, 0.05);
  EXPECT_EQ(o.angle, aim);
}

TEST(Stage5Group1, TheLauncherReleasesItsColumnThenOneFlierEvery80PxOfItsClock) {
  Stage5Bench bench;
  MapHeight = 20;
  const int16_t slot = bench.SpawnPool1(kLauncher, 380, 100, 0, 3);
  const EnemyObject& o = EnemyPool1[slot];
  EXPECT_EQ(o.x, 400);
  EXPECT_EQ(o.imageFrame, -1);
  // The column: 100, 20 and -60 (moved down by the map's 800 px) ...
  std::vector<double> ys;
  for (const EnemyObject& f : EnemyPool1)
    if (f.state != 0 && f.type == kLaunchedFlier) ys.push_back(f.y);
  ASSERT_EQ(ys.size(), 3u);
  EXPECT_NEAR(ys[0], 100, 1.7);
  EXPECT_NEAR(ys[1], 20, 1.7);
  EXPECT_NEAR(ys[2], 740, 1.7);
  // ... and the opening animation 48 above it.
  ASSERT_EQ(CountPool(EnemyPool3, kEnemyPool3Size, 1), 1);
  EXPECT_EQ(EnemyPool3[0].y, 52);
  std::vector<int> releases;
  for (int f = 2; f <= 160; ++f) {
    const int before = CountPool(EnemyPool1, kEnemyPool1Size, kLaunchedFlier);
    bench.PassPool1();
    if (CountPool(EnemyPool1, kEnemyPool1Size, kLaunchedFlier) > before) releases.push_back(f);
  }
  // 1.6 added fifty times falls just short of 80 in doubles: the 51st addition releases.
  ASSERT_EQ(releases.size(), 3u);
  EXPECT_EQ(releases[1] - releases[0], 51);
  EXPECT_EQ(releases[2] - releases[1], 51);
}

TEST(Stage5Group1, ALauncherLeftOfMidScreenVanishesAndVariants29And30ReleaseAsTold) {
  {
    Stage5Bench bench;
    const int16_t slot = bench.SpawnPool1(kLauncher, 200, 100, 0, 3);
    EXPECT_EQ(EnemyPool1[slot].state, 0);
    EXPECT_EQ(CountPool(EnemyPool1, kEnemyPool1Size, kLaunchedFlier), 0);
    EXPECT_EQ(CountPool(EnemyPool3, kEnemyPool3Size, 1), 0);
  }
  {
    Stage5Bench bench;
    const int16_t slot = bench.SpawnPool1(kLauncher, 400, 100, 0, 29);
    EXPECT_EQ(EnemyPool1[slot].state, 0);
    EXPECT_EQ(CountPool(EnemyPool1, kEnemyPool1Size, kLaunchedFlier), 0);
    EXPECT_EQ(CountPool(EnemyPool3, kEnemyPool3Size, 1), 1);
  }
  Stage5Bench bench;
  bench.SpawnPool1(kLauncher, 400, 300, 0, 30);
  int marked = 0;
  for (const EnemyObject& f : EnemyPool1)
    if (f.state != 0 && f.type == kLaunchedFlier && f.intWork2 == 1) marked += 1;
  EXPECT_EQ(marked, 2);
}

// A launched flier climbs at 1.6 and, on normal and above, opens the gun on the player's side.
TEST(Stage5Group1, ALaunchedFlierClimbsAndFiresFromTheGunOnThePlayersSide) {
  Stage5Bench bench(2);
  PlayerX = 100;
  PlayerY = 200;
  ScrollSpeed = 0;
  const int16_t slot = bench.SpawnPool1(kLaunchedFlier, 300, 350);
  const EnemyObject& o = EnemyPool1[slot];
  std::vector<double> shotAngles;
  for (int f = 2; f <= 200; ++f) {
    ClearEnemyShots();
    bench.PassPool1();
    for (const EnemyShot* s : EnemyShotsOfType(0)) {
      shotAngles.push_back(s->drawAngle);
      EXPECT_LT(s->spawnX, o.x);  // the left gun
    }
  }
  EXPECT_NEAR(o.y, 350 - 1.6 * 200, 1e-6);
  ASSERT_FALSE(shotAngles.empty());
  for (double a : shotAngles) {
    EXPECT_GE(a, 432);
    EXPECT_LE(a, 592);
  }
}

TEST(Stage5Group1, AJetSpawnedOnTheLeadingEdgeIsGoneAfterOneFrame) {
  struct Row {
    int16_t spawnDir;
    bool stays;
  } rows[] = {{1, false}, {-1, true}, {0, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.spawnDir);
    Stage5Bench bench;
    const int16_t slot = SpawnPool1Enemy(500, 200, kJet, 512, -1, 0);
    EnemyPool1[slot].spawnDir = r.spawnDir;
    bench.PassPool1();
    EXPECT_EQ(EnemyPool1[slot].state != 0, r.stays);
    bench.PassPool1();
    EXPECT_EQ(EnemyPool1[slot].state != 0, r.stays);
  }
}

TEST(Stage5Group1, AWaypointMarkSteersTheJetFor8FramesAtVariantTimes256Plus768) {
  struct Row {
    int16_t variant;
    int16_t heading;
  } rows[] = {{0, 768}, {2, 256}, {1, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.variant);
    Stage5Bench bench;
    PlayerX = 600;
    PlayerY = 380;
    const int16_t jet = bench.SpawnPool1(kJet, 364, 200, 0);
    const int16_t mark = bench.SpawnPool1(kWaypoint, 300, 200, 0, r.variant);
    EnemyObject& o = EnemyPool1[jet];
    // The marker turns the solid-object tests on from its first live frame, after the jet's turn.
    for (int f = 0; f < 3 && o.intWork3 < 0; ++f) bench.PassPool1();
    EXPECT_EQ(o.intWork3, r.heading);
    EnemyPool1[mark].state = 0;  // gone: the mark holds for its 8 frames
    int held = 0;
    while (o.intWork3 >= 0 && held < 20) {
      bench.PassPool1();
      held += 1;
    }
    EXPECT_EQ(held, 7);  // 8 on the frame it met the mark, counted down the same frame
  }
}

TEST(Stage5Group1, TheJetDropsTwoShellsAtSteps16_24_32And40) {
  Stage5Bench bench;
  PlayerX = 600;
  PlayerY = 380;
  const int16_t slot = bench.SpawnPool1(kJet, 364, 200, 0);
  EnemyObject& o = EnemyPool1[slot];
  o.intWork0 = 1;
  std::vector<int> steps;
  for (int f = 0; f < 45; ++f) {
    const int before = CountPool(EnemyPool2, kEnemyPool2Size, 2);
    const int32_t step = o.intWork0 + 1;
    bench.PassPool1();
    const int added = CountPool(EnemyPool2, kEnemyPool2Size, 2) - before;
    if (added > 0) {
      EXPECT_EQ(added, 2);
      steps.push_back(step);
    }
  }
  EXPECT_EQ(steps, (std::vector<int>{16, 24, 32, 40}));
  EXPECT_EQ(o.intWork0, 0);
}

// Segments fire in pairs k, k + 8 on the ring's beat; the ring turns 3 a frame (4 on hard and
// insane), the other way with variant 1.
TEST(Stage5Group1, TheRingFiresOppositeSegmentsInPairsAndTurnsByDifficultyAndVariant) {
  struct Row {
    int difficulty;
    int16_t variant;
    int turn;
  } rows[] = {{1, 0, 3}, {3, 0, 4}, {1, 1, -3}, {1, 8, 3}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.difficulty << " " << r.variant);
    Stage5Bench bench(r.difficulty);
    PlayerX = 40;
    const int16_t slot = bench.SpawnPool1(kRing, 200, 220, 0, r.variant);
    EnemyObject& o = EnemyPool1[slot];
    EXPECT_EQ(o.x, 340);
    EXPECT_EQ(o.y, 200);
    std::vector<int> order;
    for (int f = 0; f < 200; ++f) {
      ClearEnemyShots();
      const int16_t angle = o.angle;
      bench.PassPool1();
      EXPECT_EQ(o.angle, WrapAngle(angle + r.turn));
      for (const EnemyShot* s : EnemyShotsOfType(17)) {
        int nearest = -1;
        for (int k = 0; k < 16; ++k) {
          const EnemyPart& p = o.partsB[k];
          if (std::hypot(p.x - s->spawnX, p.y - s->spawnY) < 1e-6) nearest = k;
        }
        order.push_back(nearest);
        EXPECT_EQ(s->drawAngle, 512);
      }
    }
    ASSERT_GE(order.size(), 6u);
    for (size_t k = 0; k < order.size(); ++k)
      EXPECT_EQ(order[k], static_cast<int>(k / 2 % 8 + (k % 2) * 8)) << k;
  }
}

// The block's looping animation (ten cells, one a frame on hard, every second frame below) and
// the launcher's opening (four cells, one every fourth frame) stand still once a boss fight is
// on: stage 5 runs pool 3 only while BossState is 0.
TEST(Stage5Group1, BackgroundAnimationsRunByDifficultyAndStopForTheBoss) {
  struct Row {
    int difficulty;
    int cellsIn20;
  } rows[] = {{1, 10}, {2, 20}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.difficulty);
    Stage5Bench bench(r.difficulty);
    bench.SpawnPool1(kBlock, 300, 200);
    ASSERT_EQ(CountPool(EnemyPool3, kEnemyPool3Size, 0), 1);
    EXPECT_EQ(EnemyPool3[0].x, 320);
    EXPECT_EQ(EnemyPool3[0].y, 220);
    bench.PassPools();  // its set-up
    int steps = 0;
    for (int f = 0; f < 20; ++f) {
      const int32_t cell = EnemyPool3[0].imageFrame;
      bench.PassPools();
      if (EnemyPool3[0].imageFrame != cell) steps += 1;
    }
    EXPECT_EQ(steps, r.cellsIn20);
    BossState = 1;
    const int32_t cell = EnemyPool3[0].imageFrame;
    for (int f = 0; f < 20; ++f) bench.PassPools();
    EXPECT_EQ(EnemyPool3[0].imageFrame, cell);
    BossState = 0;
  }
}

TEST(Stage5Group1, ShutterVariantsWithoutAPanelSizeAreRefusedWithOneLogLine) {
  for (int16_t variant : {int16_t{-1}, int16_t{4}, int16_t{7}}) {
    SCOPED_TRACE(variant);
    Stage5Bench bench;
    LogCapture log;
    ForgetRefusedMapValues();
    const int16_t a = bench.SpawnPool1(kShutter, 300, 200, 0, variant);
    const int16_t b = bench.SpawnPool1(kShutter, 400, 200, 0, variant);
    EXPECT_EQ(EnemyPool1[a].state, 0);
    EXPECT_EQ(EnemyPool1[b].state, 0);
    const std::string text = log.Contents();
    size_t lines = 0;
    for (size_t at = text.find("stage 5 shutter variant"); at != std::string::npos;
         at = text.find("stage 5 shutter variant", at + 1)) {
      ++lines;
    }
    EXPECT_EQ(lines, 1u) << text;
    EXPECT_NE(text.find(std::to_string(variant)), std::string::npos) << text;
  }
}

// Upper-layer extremes that other behaviours read as counts run within the pools' limits.
TEST(Stage5Group1, LaunchersOfAnyVariantAndARingOfVariant8RunWithinThePools) {
  for (int16_t variant : {int16_t{-1}, int16_t{62}}) {
    SCOPED_TRACE(variant);
    Stage5Bench bench;
    MapHeight = 70;
    const int16_t slot = bench.SpawnPool1(kLauncher, 400, 300, 0, variant);
    EXPECT_EQ(EnemyPool1[slot].state, 2);
    EXPECT_EQ(CountPool(EnemyPool1, kEnemyPool1Size, kLaunchedFlier), variant < 0 ? 0 : 62);
    for (int f = 0; f < 300; ++f) bench.PassPools();
    EXPECT_LE(CountPool(EnemyPool1, kEnemyPool1Size, kLaunchedFlier), kEnemyPool1Size);
  }
  {
    // A full pool: the column stops short and the release goes on without a slot.
    Stage5Bench bench;
    MapHeight = 70;
    for (int k = 0; k < 100; ++k) SpawnPool1Enemy(600, 20, kBlock, 0, -1, 0);
    bench.SpawnPool1(kLauncher, 400, 300, 0, 28);
    EXPECT_EQ(CountPool(EnemyPool1, kEnemyPool1Size, kLaunchedFlier), kEnemyPool1Size - 101);
    for (int f = 0; f < 120; ++f) bench.PassPool1();
    EXPECT_EQ(CountPool(EnemyPool1, kEnemyPool1Size, kLaunchedFlier), kEnemyPool1Size - 101);
    EXPECT_EQ(SpawnPool1Enemy(200, 220, kRing, 0, -1, 0), -1);
  }
  Stage5Bench bench;
  const int16_t ring = bench.SpawnPool1(kRing, 200, 220, 0, 8);
  for (int f = 0; f < 100; ++f) bench.PassPool1();
  EXPECT_EQ(EnemyPool1[ring].state, 2);
}

}  // namespace
