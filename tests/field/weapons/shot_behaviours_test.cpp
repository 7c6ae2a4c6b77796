// The player-shot behaviours, each shot fired into the pool and run by the shots' pass, with the
// collision pass's hits and target search where the behaviour depends on them: the vulcan's
// swing, the laser's wait and its exit at the screen's edges, the missiles' rise, the napalm's
// burst, the search shot's turn, the homing shot's steering window, the twoway's ride, the wave's
// fading damage, the shield burst and the wave sub shot's cadence; the blasts' sounds.
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/collisions.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/field/weapons/weapon_test_support.h"

namespace {

// Fires the shot at (x, y) and gives it its first update.
PlayerShot& Fire(int slot, int type, int16_t angle, int32_t level, double x, double y) {
  InitPlayerShot(slot, type, angle, level, x, y, 0);
  UpdatePlayerShots();
  return PlayerShots[slot];
}

TEST(ShotBehavioursTest, VulcanSideShotsSwingStraightAheadWithinEightFrames) {
  WeaponField w;
  MainWeaponLevels[0] = 8;
  for (int16_t angle : {32, 992, 64, 960}) {
    SCOPED_TRACE(angle);
    PlayerShot& s = Fire(0, 0, angle, 2, 100, 200);
    EXPECT_EQ(s.speed, 15);  // from the weapon's level
    EXPECT_EQ(s.angle, 0);
    for (int f = 2; f <= 8; ++f) UpdatePlayerShots();
    EXPECT_EQ(s.heading, 0);
    EXPECT_EQ(s.vy, 0);
    EXPECT_EQ(s.vx, 15);
  }
}

TEST(ShotBehavioursTest, LaserWaitsAtTheMuzzleFollowsTheShipAndLeavesAtTheScreensEdges) {
  WeaponField w;
  PlayerShot& s = Fire(0, 2, 0, 0, PlayerX + 24, PlayerY);
  std::vector<double> ahead = {s.x - PlayerX};
  for (int f = 2; f <= 7; ++f) {
    PlayerY += 5;  // the ship moves; the segment keeps its place beside it
    UpdatePlayerShots();
    ahead.push_back(s.x - PlayerX);
    EXPECT_EQ(s.y, PlayerY);
  }
  EXPECT_EQ(ahead, (std::vector<double>{24, 24, 24, 24, 42, 60, 78}));
  EXPECT_EQ(s.damage, 55);
  EXPECT_EQ(s.pierce, 1);

  // Above the screen's top or below its bottom by more than 16 the segment goes at once.
  for (double y : {-17.0, 417.0, 0.0}) {
    PlayerY = y;
    const PlayerShot& edge = Fire(1, 2, 0, 0, PlayerX + 24, y);
    EXPECT_EQ(edge.state, y == 0 ? 2 : 0) << y;
  }
}

TEST(ShotBehavioursTest, MissilesRiseByTheirSpreadIndexThenFlyForward) {
  WeaponField w;
  struct Case {
    int16_t index;
    double rise;
  };
  for (const Case& c : {Case{1, 20.9}, Case{3, 62.7}, Case{5, 104.5}, Case{7, 146.3},
                        Case{-7, -146.3}, Case{-1, -20.9}}) {
    SCOPED_TRACE(c.index);
    PlayerShot& s = Fire(64, 6, c.index, 0, 300, 200);
    while (s.counterB == 0) UpdatePlayerShots();
    EXPECT_NEAR(s.y - 200, c.rise, 1e-6);
    EXPECT_EQ(s.x, 300);
    for (int f = 0; f < 5; ++f) UpdatePlayerShots();
    EXPECT_NEAR(s.y - 200, c.rise, 1e-6);
    EXPECT_GT(s.x, 300);
    EXPECT_EQ(s.hitX[0], s.hitX[1] - 8);
    s.state = 0;
  }
}

TEST(ShotBehavioursTest, NapalmHitOnItsThirdFrameBurstsThereUntilFrameTwenty) {
  WeaponField w;
  PlayerShot& s = Fire(0, 3, 0, 1, 200, 200);
  UpdatePlayerShots();
  UpdatePlayerShots();
  ASSERT_EQ(s.frame, 3);
  PutEnemy(EnemyPool1, 0, s.x + 4, s.y, 10, 1000);
  HitEnemyWithPlayerShot(EnemyPool1, 0, 0);
  ASSERT_EQ(s.state, 3);
  const double x = s.x, y = s.y;
  UpdatePlayerShots();
  EXPECT_EQ(s.type, 4);
  EXPECT_EQ(s.converted, 1);
  EXPECT_EQ(s.x, x);
  EXPECT_EQ(s.y, y);
  int bursts = 0;
  for (const Effect& e : Effects) bursts += e.state != 0 && e.type == 8 ? 1 : 0;
  EXPECT_EQ(bursts, 1);
  int lastLive = 0;
  while (s.state != 0) {
    UpdatePlayerShots();
    EXPECT_EQ(s.stopsOnHit, 0);
    if (s.state != 0) lastLive = s.frame;
  }
  EXPECT_EQ(lastLive, 19);
  EXPECT_EQ(s.frame, 20);
}

TEST(ShotBehavioursTest, SearchShotTurnsOnlyOnReachingAHeldTargetsHeight) {
  WeaponField w;
  // No enemy ahead and above: it flies up until it leaves the screen.
  PlayerShot& lone = Fire(64, 7, 3, 0, 300, 390);
  for (int f = 0; f < 40 && lone.state != 0; ++f) {
    UpdatePlayerShots();
    EXPECT_EQ(lone.vx, 0);
    EXPECT_EQ(lone.angle, 768);
  }
  lone.state = 0;

  // An enemy ahead at height 250: the shot stops there, turns for four frames and flies right.
  PutEnemy(EnemyPool1, 0, 500, 250, 10, 1000);
  PlayerShot& s = Fire(65, 7, 3, 0, 300, 390);
  std::vector<double> xs;
  for (int f = 0; f < 30; ++f) {
    HitEnemyWithPlayerShot(EnemyPool1, 65, 0);  // the collision pass after the shots
    UpdatePlayerShots();
    if (s.y == 250) xs.push_back(s.x);
  }
  ASSERT_GE(xs.size(), 6u);
  EXPECT_EQ(xs[0], 300);
  EXPECT_EQ(xs[1], 300);
  EXPECT_EQ(xs[2], 300);
  for (size_t n = 3; n < xs.size(); ++n) EXPECT_EQ(xs[n] - xs[n - 1], 9);
}

TEST(ShotBehavioursTest, HomingShotsSteerOnlyInTheirFirstFiftyNineFrames) {
  WeaponField w;
  PlayerShot& s = Fire(64, 8, 0, 0, 300, 100);
  std::vector<int> turned;
  for (int f = 2; f <= 70; ++f) {
    // A target always off to the right of its course, found by the last collision pass.
    const double a = (s.heading + 256) * 6.283185307179586 / 1024;
    s.searchMode = 2;
    s.targetX = s.x + 100 * std::cos(a);
    s.targetY = s.y + 100 * std::sin(a);
    const int16_t before = s.heading;
    UpdatePlayerShots();
    ASSERT_NE(s.state, 0);
    if (s.heading != before) turned.push_back(s.frame);
    EXPECT_EQ(s.searchMode, 1);
  }
  ASSERT_FALSE(turned.empty());
  EXPECT_EQ(turned.front(), 2);
  EXPECT_EQ(turned.back(), 59);
  EXPECT_EQ(turned.size(), 58u);
}

TEST(ShotBehavioursTest, TwowayLandsOnAFloorAndRidesIt) {
  WeaponField w;
  for (int column = 0; column < 40; ++column) PutBlock(column, 8);  // floor top at y 320
  PlayerShot& s = Fire(64, 5, 192, 0, 100, 260);
  for (int f = 0; f < 30 && s.airCounter != 0; ++f) UpdatePlayerShots();
  ASSERT_EQ(s.airCounter, 0);
  const double x = s.x, y = s.y;
  for (int f = 0; f < 5; ++f) UpdatePlayerShots();
  EXPECT_EQ(s.state, 2);
  EXPECT_NEAR(s.y, y, 1);
  EXPECT_NEAR(s.x - x, 5 * 2.8, 1e-9);  // half its launch speed
}

TEST(ShotBehavioursTest, WaveDamageFollowsItsAlphaUntilAlphaTwentyEight) {
  WeaponField w;
  PlayerShot& s = Fire(128, 14, 0, 1, 300, 200);
  int lastAlpha = 0;
  while (s.state != 0) {
    EXPECT_EQ(s.damage, s.alpha * 18 / 255);
    EXPECT_EQ(s.hitCount, 8);
    lastAlpha = s.alpha;
    s.x = 300;  // held on the screen
    UpdatePlayerShots();
  }
  EXPECT_EQ(lastAlpha, 29);
  EXPECT_EQ(s.alpha, 28);
}

TEST(ShotBehavioursTest, ShieldBurstFollowsTheShipForTwentyFourFrames) {
  WeaponField w;
  InitPlayerShot(138, 16, 0, 0, PlayerX, PlayerY, 0);
  w.field.TakeSoundRequests();
  int updates = 0;
  while (PlayerShots[138].state != 0 && updates < 100) {
    PlayerX += 3;
    UpdatePlayerShots();
    updates += 1;
    const PlayerShot& s = PlayerShots[138];
    EXPECT_EQ(s.x, PlayerX);
    EXPECT_EQ(s.hitSize[0], 77);
    EXPECT_EQ(s.damage, 6);
  }
  EXPECT_EQ(updates, 24);
  EXPECT_EQ(w.field.TakeSoundRequests(), std::vector<int>{16});  // once, at its set-up
}

TEST(ShotBehavioursTest, WaveSubShotHurtsAtMostEveryFifthFrame) {
  WeaponField w;
  EnemyObject& o = PutEnemy(EnemyPool1, 0, 400, 200, 300, 100000);
  InitPlayerShot(68, 17, 0, 0, 200, 200, 0);
  std::vector<int> hurt;
  int32_t life = o.life;
  while (PlayerShots[68].state != 0) {
    UpdatePlayerShots();
    HitEnemyWithPlayerShot(EnemyPool1, 68, 0);
    if (o.life != life) hurt.push_back(PlayerShots[68].frame);
    life = o.life;
  }
  EXPECT_EQ(hurt, (std::vector<int>{1, 6, 11, 16, 21, 26}));
}

TEST(ShotBehavioursTest, HomingBombDrawsOnceForEachTrailPuffAndBlastsUntilFrameTwentySeven) {
  WeaponField w;
  for (int32_t level : {0, 2}) {
    SCOPED_TRACE(level);
    std::memset(Effects, 0, sizeof(Effects));
    SeedLcgRandom(7);
    std::vector<int16_t> expected;
    for (int n = 0; n < 5; ++n) expected.push_back(static_cast<int16_t>(LcgRandom() % 1024));
    SeedLcgRandom(7);
    PlayerShot& s = Fire(128, 12, 64, level, 300, 200);
    for (int f = 2; f <= 10; ++f) UpdatePlayerShots();
    std::vector<int16_t> puffs;
    for (const Effect& e : Effects)
      if (e.state != 0) {
        EXPECT_EQ(e.type, level == 2 ? 17 : 16);
        puffs.push_back(e.rotation);
      }
    EXPECT_EQ(puffs, expected);

    s.state = 3;  // stopped by a hit
    w.field.TakeSoundRequests();
    UpdatePlayerShots();
    EXPECT_EQ(s.type, 13);
    int lastLive = 0;
    while (s.state != 0) {
      UpdatePlayerShots();
      if (s.state != 0) lastLive = s.frame;
    }
    EXPECT_EQ(lastLive, 26);
    EXPECT_EQ(s.frame, 27);
    EXPECT_EQ(w.field.TakeSoundRequests(), std::vector<int>{11});  // the blast's, once
  }
}

}  // namespace
