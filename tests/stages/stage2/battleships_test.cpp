// Stage 2's battleships and batteries on the bench: the firing zone, the hull opening, the one
// beam with its braking, the turret bursts, a section shot away and the ship's death with its
// emitter's fade-out, the small ship's one beam, the batteries' rules, lives and scores at two
// power ranks, and map values outside the shift table.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage2/stage2.h"
#include "tests/stages/stage2/stage2_bench.h"

namespace {

constexpr int16_t kShip = 13, kSmallShip = 14, kBattery = 15, kBatteryReverse = 16;

struct ShipFrame {
  double x = 0, speed = 0;
  int state = 0;
  int warnings = 0, beams = 0, bursts = 0, bullets = 0;
  int sound38 = 0, sound37 = 0;
  double upperOffset = 0, rearOffset = 0;
  int16_t emitterCue = 0;
};

// Passes of pool 0 with the shots of each frame counted by type and then cleared.
std::vector<ShipFrame> RunShip(Stage2Bench& bench, int16_t slot, int frames) {
  const EnemyObject& o = EnemyPool0[slot];
  std::vector<ShipFrame> run;
  for (int f = 0; f < frames; ++f) {
    ShipFrame r;
    for (int s : bench.Pass()) {
      r.sound38 += s == 38;
      r.sound37 += s == 37;
    }
    r.x = o.x;
    r.speed = o.speed;
    r.state = o.state;
    for (const EnemyShot& s : EnemyShots) {
      if (s.state == 0) continue;
      r.warnings += s.type == 8 || s.type == 10;
      r.beams += s.type == 9 || s.type == 11;
      r.bursts += s.type == 13;
      r.bullets += s.type == 3;
    }
    r.upperOffset = o.partsA[1].offsetY;
    r.rearOffset = o.partsB[1].offsetY;
    r.emitterCue = o.partsB[0].cue;
    run.push_back(r);
    ClearEnemyShots();
  }
  return run;
}

int Sum(const std::vector<ShipFrame>& run, int ShipFrame::*field) {
  int n = 0;
  for (const ShipFrame& r : run) n += r.*field;
  return n;
}

}  // namespace

TEST(Stage2Battleship, OpensInTheZoneFiresOneBeamAndBrakesWhileItRuns) {
  Stage2Bench bench;
  PlayerX = -500;                                     // the turrets' bursts are another test's
  const int16_t slot = bench.Spawn(kShip, 600, 200);  // x 728: right of the zone
  const std::vector<ShipFrame> run = RunShip(bench, slot, 700);
  int enter = -1;
  for (int f = 0; f < 700 && enter < 0; ++f)
    if (run[f].x <= 640) enter = f;
  ASSERT_GT(enter, 0);
  EXPECT_EQ(run[enter - 1].warnings, 0);
  EXPECT_EQ(run[enter - 1].upperOffset, -48);
  // Upper section 32 frames open, rear section 16.
  EXPECT_EQ(run[enter + 31].upperOffset, -80);
  EXPECT_GT(run[enter + 30].upperOffset, -80);
  EXPECT_EQ(run[enter + 15].rearOffset, -48);
  EXPECT_GT(run[enter + 14].rearOffset, -48);
  EXPECT_EQ(Sum(run, &ShipFrame::warnings), 60);
  EXPECT_EQ(Sum(run, &ShipFrame::beams), 69);
  EXPECT_EQ(Sum(run, &ShipFrame::sound38), 1);
  EXPECT_EQ(Sum(run, &ShipFrame::bursts), 1);
  EXPECT_EQ(run.back().emitterCue, 1);  // rests: no second beam
  // Braked to a stop during the beam, back to 1.6 after it.
  const double slowest = std::min_element(run.begin(), run.end(), [](auto& a, auto& b) {
                           return a.speed < b.speed;
                         })->speed;
  EXPECT_EQ(slowest, 0);
  int left = -1;
  for (int f = 0; f < 700 && left < 0; ++f)
    if (run[f].x <= 400) left = f;
  ASSERT_GT(left, 0);
  EXPECT_EQ(run[left].speed, 1.6);
  // Left of 400 the sections close again.
  EXPECT_EQ(run[left + 40].upperOffset, -48);
  EXPECT_EQ(run[left + 40].rearOffset, -32);
}

TEST(Stage2Battleship, AShipFirstSeenLeftOf400NeverOpensOrFires) {
  Stage2Bench bench;
  PlayerX = -500;
  const int16_t slot = bench.Spawn(kShip, 200, 200);  // x 328 after the jump
  const std::vector<ShipFrame> run = RunShip(bench, slot, 200);
  EXPECT_EQ(Sum(run, &ShipFrame::warnings) + Sum(run, &ShipFrame::beams), 0);
  EXPECT_EQ(Sum(run, &ShipFrame::sound38), 0);
  for (const ShipFrame& r : run) EXPECT_EQ(r.upperOffset, -48);
  EXPECT_EQ(run.back().emitterCue, 0);
}

TEST(Stage2Battleship, TurretsFireBurstsOfFiveFourFramesApartAndNoneOffScreen) {
  Stage2Bench bench;
  PlayerX = 100;
  PlayerY = 20;
  const int16_t slot = bench.Spawn(kShip, 300, 200);
  EnemyObject& ship = EnemyPool0[slot];
  bench.Pass();
  // A burst of the front upper gun, stepped alone.
  EnemyPart& gun = ship.partsA[3];
  gun.cue = 1;
  std::vector<int> shotFrames;
  for (int f = 0; f < 24; ++f) {
    UpdateStage2SenkanUpperTurretPart(EnemyPool0, slot, ship.partsA, 3);
    if (CountEnemyShotsOfType(3) > 0) shotFrames.push_back(f);
    ClearEnemyShots();
  }
  EXPECT_EQ(shotFrames, (std::vector<int>{2, 6, 10, 14, 18}));
  EXPECT_EQ(gun.cue, 0);
  // The same gun moved off the screen drops its cue.
  gun.cue = 1;
  const double savedX = ship.x;
  ship.x = -200;
  for (int f = 0; f < 24; ++f) bench.Pass();
  EXPECT_EQ(CountEnemyShotsOfType(3), 0);
  ship.x = savedX;
}

TEST(Stage2Battleship, UpperGunsNeverAimDownAndLowerGunsNeverUp) {
  Stage2Bench bench;
  const int16_t slot = bench.Spawn(kShip, 400, 200);
  EnemyObject& ship = EnemyPool0[slot];
  const int guns[] = {3, 5, 7, 9};  // upper, upper, lower, lower
  // The player below, then above, then level on the right: every gun sweeps to its limits.
  const double targets[][2] = {{520, 395}, {300, 395}, {520, 5}, {300, 5}, {639, 200}};
  for (const auto& t : targets) {
    PlayerX = t[0];
    PlayerY = t[1];
    for (int f = 0; f < 80; ++f) {
      for (int g : guns) ship.partsA[g].cue = 0;
      ship.speed = 0;
      bench.Pass();
      for (int g : guns) {
        const int16_t a = ship.partsA[g].angle;
        if (g < 7) {
          EXPECT_TRUE(a == 0 || a >= 512) << g << " " << a;
        } else {
          EXPECT_LE(a, 512) << g;
        }
      }
    }
  }
}

TEST(Stage2Battleship, ASectionShotAwayTakesItsMountsAndTheGunsFollowAFrameLater) {
  Stage2Bench bench;
  const int16_t slot = bench.Spawn(kShip, 300, 200);
  EnemyObject& ship = EnemyPool0[slot];
  bench.Pass();
  ASSERT_TRUE(bench.field.DamageEnemy({0, slot, kTestPartsA, 1}, ship.partsA[1].life + 1));
  bench.Pass();
  const EnemyPart& section = ship.partsA[1];
  EXPECT_EQ(section.state, 2);  // an inert, invisible wreck
  EXPECT_EQ(section.imageFrame, -1);
  EXPECT_EQ(section.hitMode, 0);
  EXPECT_EQ(ship.partsA[4].state, 0);
  EXPECT_EQ(ship.partsA[6].state, 0);
  EXPECT_EQ(ship.partsA[3].state, 2);
  bench.Pass();
  EXPECT_EQ(ship.partsA[3].state, 0);
  EXPECT_EQ(ship.partsA[5].state, 0);
  EXPECT_EQ(ship.partsA[8].state, 2);  // the lower mounts stay
  EXPECT_EQ(ship.state, 2);
}

TEST(Stage2Battleship, TheShipsDeathBurstsItsSectionsAndTheBeamFadesWithoutSound) {
  Stage2Bench bench;
  PlayerX = -500;
  const int16_t slot = bench.Spawn(kShip, 400, 200);
  EnemyObject& ship = EnemyPool0[slot];
  std::vector<ShipFrame> before = RunShip(bench, slot, 80);  // into the beam
  ASSERT_GT(Sum(before, &ShipFrame::beams), 0);
  ASSERT_TRUE(bench.field.DamageEnemy({0, slot, kTestBody, 0}, ship.life + 1));
  const std::vector<ShipFrame> after = RunShip(bench, slot, 20);
  EXPECT_EQ(ship.state, 0);
  EXPECT_GT(Sum(after, &ShipFrame::beams), 0);
  EXPECT_LE(Sum(after, &ShipFrame::beams), 8);
  EXPECT_EQ(Sum(after, &ShipFrame::sound38) + Sum(after, &ShipFrame::bursts), 0);
  for (const EnemyPart& p : ship.partsA) EXPECT_EQ(p.state, 0);
  // Freed 8 frames after the blast: its frame counts twice.
  int freed = 0;
  while (after[freed].state != 0) ++freed;
  EXPECT_EQ(freed, 8);
}

TEST(Stage2SmallBattleship, BeamsOnceFromScreenX580AfterFiftyWarningFrames) {
  Stage2Bench bench;
  const int16_t slot = bench.Spawn(kSmallShip, 600, 200);  // x 708
  const std::vector<ShipFrame> run = RunShip(bench, slot, 400);
  int first = -1;
  for (int f = 0; f < 400 && first < 0; ++f)
    if (run[f].warnings > 0) first = f;
  ASSERT_GT(first, 0);
  EXPECT_LE(run[first].x, 580);
  EXPECT_GT(run[first - 1].x, 580);
  EXPECT_EQ(Sum(run, &ShipFrame::warnings), 50);
  EXPECT_EQ(Sum(run, &ShipFrame::beams), 69);
  EXPECT_EQ(Sum(run, &ShipFrame::sound37), 1);
  // The timer rests at 1 for as long as the ship lives.
  for (int f = first + 130; f < 400 && run[f].state == 2; ++f) EXPECT_EQ(run[f].emitterCue, 1) << f;
}

TEST(Stage2SmallBattleship, ItsDeathTurnsTwoSparksByTheLastTwoDrawsInOrder) {
  Stage2Bench bench;
  const int16_t slot = bench.Spawn(kSmallShip, 300, 200);
  const EnemyObject& ship = EnemyPool0[slot];
  ASSERT_TRUE(bench.field.DamageEnemy({0, slot, kTestBody, 0}, ship.life + 1));
  for (Effect& e : Effects) e.state = 0;
  // The draws of the death pass, replayed from the state before it.
  uint32_t state = LcgRandomState;
  bench.Pass();
  std::vector<int> draws;
  while (state != LcgRandomState && draws.size() < 1000) {
    state = state * 214013u + 2531011u;
    draws.push_back(static_cast<int>((state >> 16) & 0x7FFF));
  }
  ASSERT_GE(draws.size(), 2u);
  const int r1 = draws[draws.size() - 2] % 1024, r2 = draws.back() % 1024;
  int found = 0;
  for (const Effect& e : Effects) {
    if (e.state == 0 || e.type != 1 || e.y != ship.y) continue;
    if (e.x == ship.x - 60) found += e.rotation == r1;
    if (e.x == ship.x + 60) found += e.rotation == r2;
  }
  EXPECT_EQ(found, 2);
  EXPECT_EQ(ship.state, 4);
}

TEST(Stage2Battery, SilentOnEasyBelowTheThresholdAndTheReverseAimsRight) {
  {
    Stage2Bench bench(0);
    const int16_t slot = bench.Spawn(kBattery, 300, 200);
    for (int f = 0; f < 300; ++f) bench.Pass();
    EXPECT_EQ(CountEnemyShotsOfType(3), 0);
    EXPECT_GT(EnemyPool0[slot].phase, 32);
  }
  Stage2Bench bench(1);
  bench.Spawn(kBattery, 300, 100);
  bench.Spawn(kBatteryReverse, 300, 300);
  for (int f = 0; f < 100; ++f) bench.Pass();
  int left = 0, right = 0;
  for (const EnemyShot* s : EnemyShotsOfType(3)) {
    left += s->y < 200 && s->drawAngle == 512;
    right += s->y > 200 && s->drawAngle == 0;
  }
  EXPECT_GT(left, 0);
  EXPECT_GT(right, 0);
  EXPECT_EQ(left + right, CountEnemyShotsOfType(3));
}

TEST(Stage2Battery, ItsCountOfFramesOnScreenSaturates) {
  Stage2Bench bench(1);
  const int16_t slot = bench.Spawn(kBattery, 300, 200);
  EnemyObject& battery = EnemyPool0[slot];
  battery.phase = 32766;
  for (int f = 0; f < 40; ++f) bench.Pass();
  EXPECT_EQ(battery.phase, 32767);
  ClearEnemyShots();
  for (int f = 0; f < 64; ++f) bench.Pass();
  EXPECT_GT(CountEnemyShotsOfType(3), 0);  // still firing
}

TEST(Stage2Roster, LivesAndScoresAtTwoPowerRanks) {
  struct Row {
    int16_t type;
    int array;  // -1 the body
    int part;
    int32_t base;
  };
  const Row rows[] = {
      {kShip, -1, 0, 400},      {kShip, 0, 1, 480},   {kShip, 0, 2, 480},
      {kShip, 1, 1, 480},       {kShip, 0, 4, 140},   {kShip, 0, 10, 140},
      {kSmallShip, -1, 0, 290}, {kBattery, -1, 0, 9}, {kBatteryReverse, -1, 0, 9},
  };
  for (const int16_t power : {0, 440}) {
    for (const Row& r : rows) {
      Stage2Bench bench;
      PowerRank = power;
      PlayerX = -500;  // no ramming
      const int16_t slot = bench.Spawn(r.type, 300, 200);
      bench.Pass();
      const EnemyObject& o = EnemyPool0[slot];
      const int32_t life = r.array < 0    ? o.life
                           : r.array == 0 ? o.partsA[r.part].life
                                          : o.partsB[r.part].life;
      const int32_t score = r.array < 0    ? o.scoreBase
                            : r.array == 0 ? o.partsA[r.part].scoreBase
                                           : o.partsB[r.part].scoreBase;
      EXPECT_EQ(life, r.base * (power == 0 ? 1 : 2)) << r.type << " " << r.array << " " << r.part;
      EXPECT_EQ(score, life);
    }
  }
}

TEST(Stage2Roster, MapValuesOutsideTheShiftTableShiftNothing) {
  for (const int16_t variant : {-1, 62}) {
    for (const int16_t type : {kShip, kSmallShip, kBattery, kBatteryReverse}) {
      Stage2Bench bench;
      const int16_t slot = SpawnPool0Enemy(300, 200, type, 0, -1, 0);
      EnemyPool0[slot].variant = variant;
      for (int f = 0; f < 200; ++f) bench.Pass();
      EXPECT_EQ(EnemyPool0[slot].y, 200) << type << " " << variant;
    }
  }
  // Upper value 32 lifts a ship 20 px, 33 lowers it.
  Stage2Bench bench;
  EXPECT_EQ(EnemyPool0[bench.Spawn(kShip, 300, 200, 31)].y, 180);
  EXPECT_EQ(EnemyPool0[bench.Spawn(kShip, 300, 200, 32)].y, 220);
}
