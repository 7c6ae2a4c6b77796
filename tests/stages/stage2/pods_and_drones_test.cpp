// Stage 2's pods, drones and rock spawners on the bench: the pod's move to the top slot and its
// releases, the drone's flight and ring by difficulty, its snaps to the diagonals, terrain, the
// jet's burst, and the spawners' one rock with its draws in order.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage2/stage2.h"
#include "stg_src/stages/stage2/stage2_drones.h"
#include "tests/stages/stage2/stage2_bench.h"

namespace {

constexpr int16_t kPod = 11, kDrone = 12;

int CountOfType(const EnemyObject* pool, int size, int32_t type, int32_t state) {
  int n = 0;
  for (int s = 0; s < size; ++s) n += pool[s].type == type && pool[s].state == state;
  return n;
}

}  // namespace

TEST(Stage2Pod, WithNoFreeSlotAboveItsOwnItNeverLives) {
  Stage2Bench bench;
  const int16_t slot = SpawnPool0Enemy(300, 200, kPod, 0, -1, 0);
  ASSERT_EQ(slot, 0);
  for (int s = 1; s < kEnemyPool0Size; ++s) EnemyPool0[s].state = 2;  // every slot above taken
  UpdateStage2Marui(slot);
  EXPECT_EQ(EnemyPool0[slot].state, 0);
  EXPECT_EQ(CountOfType(EnemyPool0, kEnemyPool0Size, kPod, 2), 0);
}

TEST(Stage2Pod, MovesToTheTopSlotAndReleasesFourDronesBelowItOnItsInterval) {
  Stage2Bench bench;
  PlayerX = -500;  // far away: the drones fly their course without attacking anyone nearby
  const int16_t first = bench.Spawn(kPod, 300, 200);
  ASSERT_EQ(first, 0);
  const int top = kEnemyPool0Size - 1;
  const EnemyObject& pod = EnemyPool0[top];
  EXPECT_EQ(EnemyPool0[first].state, 0);
  ASSERT_EQ(pod.type, kPod);
  ASSERT_EQ(pod.state, 2);
  EXPECT_EQ(pod.x, 344);
  const int opensAt = ComputeFireInterval(20, 0), every = ComputeFireInterval(160, 0);
  std::vector<int> releases;
  for (int f = 0; f < opensAt + every + 40; ++f) {
    bench.Pass();
    // The shell turns open by 4 a frame from the frame the flag is set.
    if (pod.frame >= opensAt && pod.frame < opensAt + 32) {
      EXPECT_EQ(pod.partsA[0].angle, 4 * (pod.frame - opensAt + 1)) << pod.frame;
    }
    if (CountOfType(EnemyPool0, kEnemyPool0Size, kDrone, 1) == 0) continue;
    releases.push_back(pod.frame);
    if (releases.size() == 1) {
      struct Expected {
        int slot;
        double x, y;
        int16_t angle;
      };
      // Slot arguments top - 1 .. top - 4: each drone below the one given.
      const Expected expected[] = {{top - 2, 324, 180, 640},
                                   {top - 3, 324, 220, 384},
                                   {top - 4, 364, 180, 896},
                                   {top - 5, 364, 220, 128}};
      for (const Expected& e : expected) {
        const EnemyObject& d = EnemyPool0[e.slot];
        EXPECT_EQ(d.type, kDrone) << e.slot;
        EXPECT_EQ(d.x, e.x) << e.slot;
        EXPECT_EQ(d.y, e.y) << e.slot;
        EXPECT_EQ(d.angle, e.angle) << e.slot;
      }
    }
    EXPECT_EQ(CountOfType(EnemyPool0, kEnemyPool0Size, kDrone, 1), 4);
    bench.Pass();                         // the drones set themselves up
    EXPECT_EQ(pod.partsA[0].angle, 124);  // closing again
  }
  ASSERT_EQ(releases.size(), 2u);
  EXPECT_EQ(releases[0], opensAt + 31);
  EXPECT_EQ(releases[1], opensAt + every + 31);
}

TEST(Stage2Drone, SnapsToTheDiagonalsByPlainDifferences) {
  struct Case {
    int angle;
    int16_t nearest, leftward;
  };
  const Case cases[] = {{256, 128, 384},  {1000, 896, 640}, {10, 128, 384},  {0, 128, 384},
                        {1023, 896, 640}, {512, 384, 384},  {513, 640, 640}, {768, 640, 640}};
  for (const Case& c : cases) {
    EXPECT_EQ(NearestDiagonal(c.angle), c.nearest) << c.angle;
    EXPECT_EQ(LeftwardDiagonal(c.angle), c.leftward) << c.angle;
  }
}

namespace {

struct DroneRun {
  std::vector<int> flights;  // each state once, in the order first seen
  int ringShots = 0;
  std::vector<int16_t> ringAngles;
  int ringFrame = -1;
  int16_t attackHeading = -1, leaveHeading = -1;
};

// A drone launched down-left from (300, 100) with the player right and below it.
DroneRun FlyDrone(int difficulty, int resetPhaseAt = -1) {
  Stage2Bench bench(difficulty);
  PlayerX = 500;
  PlayerY = 300;
  const int16_t slot = SpawnPool0Enemy(300, 100, kDrone, 384, -1, 0);
  EnemyObject& d = EnemyPool0[slot];
  DroneRun run;
  for (int f = 0; f < 400; ++f) {
    bench.Pass();
    if (d.state != 2) break;
    if (run.flights.empty() || run.flights.back() != d.intWork0) run.flights.push_back(d.intWork0);
    if (f == resetPhaseAt) d.phase = 0;  // as if it had just come on screen
    for (const EnemyShot* s : EnemyShotsOfType(16)) run.ringAngles.push_back(s->motionAngle);
    if (CountEnemyShotsOfType(16) > 0 && run.ringFrame < 0) run.ringFrame = f;
    run.ringShots += CountEnemyShotsOfType(16);
    ClearEnemyShots();
    if (d.intWork0 == 4 && run.attackHeading < 0) run.attackHeading = d.heading;
    if (d.intWork0 == 7) run.leaveHeading = d.heading;
  }
  return run;
}

}  // namespace

TEST(Stage2Drone, FliesItsStatesInOrderAndRingsByDifficulty) {
  const DroneRun normal = FlyDrone(1);
  EXPECT_EQ(normal.flights, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(normal.ringAngles, (std::vector<int16_t>{128, 384, 640, 896}));
  EXPECT_EQ(normal.attackHeading, 128);  // toward the player, down-right
  EXPECT_EQ(normal.leaveHeading, 384);   // past the player's height: away is down and left
  const DroneRun hard = FlyDrone(2);
  EXPECT_EQ(hard.ringAngles, (std::vector<int16_t>{64, 192, 320, 448, 576, 704, 832, 960}));
  EXPECT_EQ(FlyDrone(3).ringShots, 8);
  EXPECT_EQ(FlyDrone(0).ringShots, 0);  // easy below the threshold
}

TEST(Stage2Drone, ItsRingWaitsFor33FramesOnScreenOnceOpen) {
  const DroneRun plain = FlyDrone(1);
  ASSERT_GT(plain.ringFrame, 0);
  // Fully open on the ring's frame; with the count restarted a frame before, it counts 33
  // frames on screen and rings on the next.
  const DroneRun late = FlyDrone(1, plain.ringFrame - 1);
  EXPECT_EQ(late.ringFrame, plain.ringFrame - 1 + 34);
  EXPECT_EQ(late.ringShots, 4);
}

TEST(Stage2Drone, TerrainDestroysIt) {
  Stage2Bench bench;
  PlayerX = -500;
  const int16_t slot = SpawnPool0Enemy(300, 200, kDrone, 384, -1, 0);
  Stage2Bench::Block(6, 6);  // x 240..280, y 240..280: on its way down-left
  for (int f = 0; f < 30 && EnemyPool0[slot].state != 0; ++f) bench.Pass();
  EXPECT_EQ(EnemyPool0[slot].state, 0);
  Stage2Bench::Unblock(6, 6);
}

TEST(Stage2Drone, ItsJetStartsDarkBurnsAndBurstsPastTheSheet) {
  Stage2Bench bench;
  PlayerX = 500;
  PlayerY = 380;
  const int16_t slot = SpawnPool0Enemy(300, 200, kDrone, 384, -1, 0);
  bench.Pass();
  const EnemyPart& jet = EnemyPool0[slot].partsA[0];
  EXPECT_EQ(jet.cue, 0);  // its own set-up cleared the drone's cue
  EXPECT_EQ(jet.angle, 896);
  int highest = 0;
  for (int f = 0; f < 150; ++f) {
    bench.Pass();
    if (jet.cue == 2 || jet.cue == 4) highest = std::max(highest, jet.imageFrame);
  }
  EXPECT_EQ(highest, 8);  // the burst's last frame has no cell; drawing bounds it
}

TEST(Stage2Spawners, ThrowOneRockLeftDrawingTheAngleFirstAndGo) {
  struct Case {
    int16_t type;
    int lo, hi;  // rock types
  };
  for (const Case c : {Case{17, 12, 12}, Case{18, 13, 13}, Case{19, 14, 16}}) {
    Stage2Bench bench;
    SeedLcgRandom(77);
    const int a = LcgRandom() % 321 + 352;
    const int t = c.type == 19 ? LcgRandom() % 3 + 14 : c.lo;
    SeedLcgRandom(77);
    const int16_t slot = bench.Spawn(c.type, 300, 200);
    bench.Pass();
    EXPECT_EQ(EnemyPool0[slot].state, 0) << c.type;
    int rocks = 0;
    for (const EnemyObject& o : EnemyPool1) {
      if (o.state == 0) continue;
      rocks += 1;
      EXPECT_EQ(o.type, t) << c.type;
      EXPECT_GE(o.type, c.lo);
      EXPECT_LE(o.type, c.hi);
      EXPECT_EQ(o.angle, a) << c.type;
      EXPECT_EQ(o.x, 320);
    }
    EXPECT_EQ(rocks, 1) << c.type;
    EXPECT_GE(a, 352);
    EXPECT_LE(a, 672);
  }
}

TEST(Stage2Drone, ItsCountOfFramesOnScreenSaturates) {
  Stage2Bench bench;
  PlayerX = -500;
  const int16_t slot = SpawnPool0Enemy(300, 100, kDrone, 384, -1, 0);
  bench.Pass();
  EnemyPool0[slot].phase = 32766;
  bench.Pass();
  bench.Pass();
  EXPECT_EQ(EnemyPool0[slot].phase, 32767);  // held at the top, not wrapped negative
}
