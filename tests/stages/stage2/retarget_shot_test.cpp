// Shot 17 on stage 2: it flies off spinning, brakes by 1/32 of its launch speed, turns toward
// the ship and relaunches on frame 161 at twice its launch speed; a launch speed of 0 aims from
// frame 121 and relaunches at 0; a shot spawned far off the screen is freed without a sound.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage2/stage2_bench.h"

namespace {

struct ShotFrame {
  int state = 0;
  double speed = 0, x = 0;
  int16_t drawAngle = 0, motionAngle = 0, flight = 0;
  std::vector<int> sounds;
};

std::vector<ShotFrame> RunShot(Stage2Bench& bench, double x, double y, int16_t angle, double speed,
                               int frames) {
  const int16_t slot = SpawnEnemyShot(17, angle, speed, x, y, 0);
  std::vector<ShotFrame> run;
  if (slot < 0) return run;
  const EnemyShot& s = EnemyShots[slot];
  for (int f = 0; f < frames; ++f) {
    ShotFrame r;
    r.sounds = bench.PassShots();
    r.state = s.state;
    r.speed = s.speed;
    r.x = s.x;
    r.drawAngle = s.drawAngle;
    r.motionAngle = s.motionAngle;
    r.flight = s.linkMode;
    run.push_back(r);
  }
  return run;
}

bool Has(const std::vector<int>& v, int x) { return std::find(v.begin(), v.end(), x) != v.end(); }

}  // namespace

TEST(Stage2RetargetShot, FliesSpinningBrakesAimsAndRelaunchesOnFrame161) {
  Stage2Bench bench;
  PlayerX = 320;
  PlayerY = 100;
  const double launch = 3.2;
  const std::vector<ShotFrame> run = RunShot(bench, 150, 200, 0, launch, 170);
  ASSERT_EQ(run.size(), 170u);
  EXPECT_TRUE(Has(run[0].sounds, 33));
  for (int f = 0; f < 23; ++f) {  // frames 1..23
    EXPECT_EQ(run[f].speed, launch) << f;
    EXPECT_EQ(run[f].motionAngle, 0) << f;
    EXPECT_EQ(run[f].drawAngle, WrapAngle(133 * (f + 1))) << f;
  }
  // Braking from frame 24 by 1/32 of the launch speed, spinning until it stops.
  EXPECT_DOUBLE_EQ(run[23].speed, launch - launch / 32);
  EXPECT_DOUBLE_EQ(run[24].speed, launch - 2 * launch / 32);
  int stop = -1;
  for (int f = 23; f < 170 && stop < 0; ++f)
    if (run[f].flight == 2) stop = f;
  ASSERT_GT(stop, 23);
  EXPECT_EQ(run[stop].speed, 0);
  EXPECT_LE(stop - 23, 33);
  // Aiming turns the point 8 a frame toward the ship, without moving.
  for (int f = stop + 1; f < 160; ++f) {
    const int turn = std::abs(AngleDifference(run[f].drawAngle, run[f - 1].drawAngle));
    EXPECT_LE(turn, 8) << f;
    EXPECT_EQ(run[f].x, run[f - 1].x) << f;
  }
  const int aim = AimAngle(run[159].x, 200, PlayerX, PlayerY);
  EXPECT_LE(std::abs(AngleDifference(run[159].drawAngle, aim)), 8);
  // Frame 161: along the point at twice the launch speed, and no more turning.
  EXPECT_EQ(run[159].flight, 2);
  EXPECT_EQ(run[160].flight, 3);
  EXPECT_EQ(run[160].speed, 2 * launch);
  EXPECT_EQ(run[160].motionAngle, run[160].drawAngle);
  for (int f = 161; f < 170; ++f) EXPECT_EQ(run[f].drawAngle, run[160].drawAngle) << f;
}

TEST(Stage2RetargetShot, ALaunchSpeedOfZeroAimsFromFrame121AndRelaunchesAtZero) {
  Stage2Bench bench;
  const std::vector<ShotFrame> run = RunShot(bench, 300, 200, 100, 0, 165);
  ASSERT_EQ(run.size(), 165u);
  EXPECT_EQ(run[119].flight, 1);  // frame 120
  EXPECT_EQ(run[120].flight, 2);  // frame 121
  EXPECT_EQ(run[160].flight, 3);
  EXPECT_EQ(run[164].speed, 0);
  EXPECT_EQ(run[164].x, 300);
}

TEST(Stage2RetargetShot, SpawnedFarOffTheScreenIsFreedWithoutASound) {
  Stage2Bench bench;
  const std::vector<ShotFrame> run = RunShot(bench, -61, 200, 0, 3.2, 1);
  ASSERT_EQ(run.size(), 1u);
  EXPECT_EQ(run[0].state, 0);
  EXPECT_FALSE(Has(run[0].sounds, 33));
  const std::vector<ShotFrame> near = RunShot(bench, -59, 200, 0, 3.2, 1);
  EXPECT_EQ(near[0].state, 2);
  EXPECT_TRUE(Has(near[0].sounds, 33));
}
