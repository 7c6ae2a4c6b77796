// Stage 3's rocks and mines on a bench: the spout's start line, its volleys of six and its
// random draws (none extra when the pool is full), small rocks that meet terrain only after 20
// frames, the mine that waits for the player or launches at a quarter life, its ring of shots
// (never on easy) and its end on a slow or late bounce, and the sliding rock whose barrels fire
// only once it has landed and go with their base while the rock stays solid.
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/lcg_random.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage3/stage3_bench.h"

namespace {

constexpr int16_t kSpout = 12;
constexpr int16_t kSmallRock = 12;
constexpr int16_t kMine = 15;
constexpr int16_t kSlidingRock = 18;

int Count(int sound, const std::vector<int>& sounds) {
  int n = 0;
  for (int s : sounds) n += s == sound;
  return n;
}

TEST(Stage3Rocks, ASpoutStartsAtItsLineAndThrowsSixRocksEveryTwelveTicks) {
  for (int16_t variant : {int16_t{0}, int16_t{1}}) {
    SCOPED_TRACE(variant);
    Stage3Bench bench;
    const int16_t slot = bench.SpawnPool0(kSpout, 400, 380, variant);  // x 420 once set up
    EnemyObject& spout = EnemyPool0[slot];
    for (int f = 0; f < 20; ++f) bench.PassPool0();
    if (variant == 0) {
      EXPECT_GT(spout.intWork0, 0) << "left of screen x 640 it throws";
      continue;
    }
    EXPECT_EQ(spout.intWork0, 0) << "right of screen x 320 it waits";
    DrawOffsetX = -101;  // screen x 320 is world 421
    CameraX = 101;
    ViewRight = 741;
    const int tick = ComputeFireIntervalFlat(4, spout.rank);
    std::vector<int> perTick;
    int sounds = 0;
    for (int f = 0; f < 24 * tick; ++f) {
      const int before = spout.intWork0;
      const uint32_t lcg = LcgRandomState;
      sounds += Count(49, bench.PassPool0());
      const int thrown = spout.intWork0 - before;
      const int draws = LcgDrawsBetween(lcg, LcgRandomState);
      if (spout.frame % tick == 0) perTick.push_back(thrown);
      // Angle and type, and the extra draw while fewer than 10 were tried.
      EXPECT_EQ(draws, thrown == 0 ? 0 : spout.intWork0 < 10 ? 3 : 2) << f;
    }
    const std::vector<int> cycle = {1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(perTick.size(), 24u);
    EXPECT_EQ(std::vector<int>(perTick.begin(), perTick.begin() + 12), cycle);
    EXPECT_EQ(std::vector<int>(perTick.begin() + 12, perTick.end()), cycle);
    EXPECT_EQ(sounds, 2);
    for (const EnemyObject& r : EnemyPool1) {
      if (r.state == 0) continue;
      EXPECT_GE(r.type, 12);
      EXPECT_LE(r.type, 14);
      EXPECT_GE(r.angle, 640);
      EXPECT_LE(r.angle, 896);
      EXPECT_EQ(r.x, 420);
      EXPECT_EQ(r.y, 360);
    }
  }
}

TEST(Stage3Rocks, WithThePoolFullAThrowStillCountsButDrawsNoExtra) {
  Stage3Bench bench;
  for (EnemyObject& o : EnemyPool1) o.state = 2;
  const int16_t slot = bench.SpawnPool0(kSpout, 100, 380, 0);
  EnemyObject& spout = EnemyPool0[slot];
  int throws = 0;
  for (int f = 0; f < 100 && throws < 4; ++f) {
    const int before = spout.intWork0;
    const uint32_t lcg = LcgRandomState;
    bench.PassPool0();
    if (spout.intWork0 == before) continue;
    ++throws;
    EXPECT_EQ(LcgDrawsBetween(lcg, LcgRandomState), 2);
  }
  EXPECT_EQ(throws, 4);
  for (EnemyObject& o : EnemyPool1) o.state = 0;
}

// A rock flung into a wall 40 px ahead passes through it in its first 20 frames; one flung at
// a wall 180 px ahead breaks on it.
TEST(Stage3Rocks, ASmallRockMeetsTerrainOnlyAfterItsTwentiethFrame) {
  struct Row {
    int column;
    bool breaks;
  } rows[] = {{8, false}, {12, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.column);
    Stage3Bench bench;
    PlayerX = 40;
    for (int row = 0; row < 10; ++row) Stage3Bench::Rock(r.column, row);
    const int16_t slot = bench.SpawnPool1(kSmallRock, 300, 200, 0, 0);
    EnemyObject& rock = EnemyPool1[slot];
    int brokeAt = -1;
    std::vector<int> sounds;
    for (int f = 0; f < 45 && brokeAt < 0; ++f) {
      sounds = bench.PassPool1();
      if (rock.state == 0) brokeAt = f;
    }
    if (r.breaks) {
      EXPECT_GT(brokeAt, 20);
      EXPECT_EQ(Count(31, sounds), 1);
    } else {
      EXPECT_EQ(brokeAt, -1);
      EXPECT_GT(rock.x, 400);
    }
  }
}

class Stage3MineTest : public testing::Test {
 protected:
  Stage3MineTest() {
    Stage3Bench::RockRow(0);
    Stage3Bench::RockRow(9);
  }
  EnemyObject& Mine(int16_t variant, double x = 300) {
    const int16_t slot = bench.SpawnPool1(kMine, x, 200, variant);
    bench.PassPool1();
    return EnemyPool1[slot];
  }
  Stage3Bench bench;
};

TEST_F(Stage3MineTest, AFloorOrCeilingMineWaitsForThePlayerToPassOrLaunchesAtAQuarterLife) {
  struct Row {
    int16_t variant;
    double surfaceY;
    double playerY;  // on its open side
    int16_t upOrDown;
  } rows[] = {{1, 360, 100, 768}, {2, 40, 300, 256}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.variant);
    ClearAllObjects();
    PlayerX = 100;  // left of it
    PlayerY = r.playerY;
    EnemyObject& mine = Mine(r.variant);
    EXPECT_EQ(mine.y, r.surfaceY);
    EXPECT_EQ(mine.angle, r.variant == 2 ? 512 : 0);
    for (int f = 0; f < 60; ++f) bench.PassPool1();
    EXPECT_EQ(mine.intWork2, 1) << "waits while the player is left of it";
    EXPECT_EQ(mine.y, r.surfaceY);
    PlayerX = 500;
    bench.PassPool1();
    EXPECT_EQ(mine.intWork2, 0);
    EXPECT_LE(std::abs(AngleDifference(mine.heading, r.upOrDown)), 4);  // straight off it
    EXPECT_EQ(mine.realWork1, r.playerY);
    // Launched at 4.8 + 0.6 x difficulty, and already easing toward its cruise in that frame.
    EXPECT_DOUBLE_EQ(mine.speed, 4.8 + 0.6 - (0.04 + 0.02));

    // Worn to a quarter it goes at once, whatever the player does, 60 px off its surface.
    ClearAllObjects();
    PlayerX = 100;
    EnemyObject& worn = Mine(r.variant);
    worn.life = worn.maxLife / 4;
    bench.PassPool1();
    EXPECT_EQ(worn.intWork2, 0);
    EXPECT_LE(std::abs(AngleDifference(worn.heading, r.upOrDown)), 4);
    EXPECT_EQ(worn.realWork1, r.surfaceY + (r.variant == 2 ? 60 : -60));
  }
}

TEST_F(Stage3MineTest, TheRingGunFiresEightOrSixteenShotsAboveEasyAndNoneOnEasy) {
  struct Row {
    int difficulty;
    int16_t timeRank;
    int shots;
  } rows[] = {{0, 200, 0}, {1, 0, 8}, {2, 0, 16}, {3, 0, 16}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.difficulty);
    ClearAllObjects();
    ClearEnemyShots();
    Difficulty = static_cast<int16_t>(r.difficulty);
    TimeRank = r.timeRank;  // on easy, past the threshold IsHarderThanEasy reads
    PlayerX = 100;
    EnemyObject& mine = Mine(0, 300);
    mine.partsA[0].cue = 1;
    int passes = 0;
    for (; passes < 60 && CountEnemyShotsOfType(22) == 0; ++passes) bench.PassPool1();
    const auto shots = EnemyShotsOfType(22);
    ASSERT_EQ(static_cast<int>(shots.size()), r.shots);
    for (int k = 0; k < r.shots; ++k) {
      EXPECT_EQ(shots[k]->drawAngle, 1024 / r.shots * k);
      EXPECT_EQ(shots[k]->y, mine.partsA[0].y - 4);
    }
    EXPECT_EQ(mine.partsA[0].imageFrame, r.shots > 0 ? 3 : 0);
  }
  Difficulty = 1;
  TimeRank = 0;
}

// Flying down into the floor: a fast mine bounces back up, a slow one or one past 600 active
// frames explodes.
TEST_F(Stage3MineTest, AMineExplodesOnASlowBounceOrAfterSixHundredActiveFrames) {
  struct Row {
    double speed;
    int32_t active;
    bool explodes;
  } rows[] = {{3, 10, false}, {0.15, 10, true}, {3, 600, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.speed << " " << r.active);
    ClearAllObjects();
    PlayerX = 100;
    PlayerY = 100;
    EnemyObject& mine = Mine(0, 300);
    mine.y = 343.9;  // its lower edge 0.1 px over the floor
    mine.heading = 256;
    mine.speed = r.speed;
    mine.realWork3 = 50;
    mine.intWork3 = r.active;
    mine.intWork0 = 1;  // braking: no re-aim this frame
    mine.realWork0 = 2000;
    bench.PassPool1();
    if (r.explodes) {
      EXPECT_EQ(mine.state, 3);
      bench.PassPool1();
      EXPECT_EQ(mine.state, 0);
    } else {
      EXPECT_EQ(mine.state, 2);
      EXPECT_EQ(mine.y, 343.9);
      EXPECT_EQ(mine.heading, 768);
      EXPECT_EQ(mine.intWork0, 1);
    }
  }
}

// Re-aiming draws the generator only while the mine is off screen, to pick a side of the player.
TEST_F(Stage3MineTest, AMineReAimsAtThePlayerOnScreenAndBesideItByOneDrawOffScreen) {
  for (double x : {300.0, 670.0}) {
    SCOPED_TRACE(x);
    ClearAllObjects();
    PlayerX = 200;
    PlayerY = 200;
    EnemyObject& mine = Mine(0, x);
    mine.x = x;
    mine.y = 200;
    mine.speed = 0;
    mine.intWork0 = 2;  // re-aiming
    mine.intWork3 = 5;
    const uint32_t lcg = LcgRandomState;
    bench.PassPool1();
    const bool off = x > 640;
    EXPECT_EQ(LcgDrawsBetween(lcg, LcgRandomState), off ? 1 : 0);
    EXPECT_EQ(mine.intWork0, 3);
    EXPECT_EQ(mine.realWork0, PlayerX);
    // At the player (level, to the left), or 40 px above a point 80 px beside it.
    EXPECT_LE(std::abs(AngleDifference(mine.heading, 512)), off ? 24 : 2);
    EXPECT_EQ(AngleDifference(mine.heading, 512) > 2, off);
  }
}

class Stage3SlidingRockTest : public testing::Test {
 protected:
  Stage3SlidingRockTest() {
    for (int row = 0; row < 10; ++row) Stage3Bench::Rock(12, row);  // a wall at x 480
    PlayerX = 40;
    PlayerY = 60;
  }
  Stage3Bench bench;
};

TEST_F(Stage3SlidingRockTest, ItSlidesFromItsRowLandsWithAShakeAndOnlyThenItsBarrelsFire) {
  const int16_t slot = bench.SpawnPool1(kSlidingRock, 300, 200, 3);  // arms at screen y 120
  EnemyObject& rock = EnemyPool1[slot];
  bench.PassPool1();
  EXPECT_EQ(rock.x, 240);
  EXPECT_EQ(rock.y, 220);
  EXPECT_EQ(rock.heading, 0);
  EXPECT_EQ(rock.partCountB, 5);
  EXPECT_EQ(rock.partsB[0].offsetX, -110);
  EXPECT_EQ(rock.partsB[3].offsetX, -80);
  EXPECT_EQ(rock.partsB[0].angle, 512);
  for (int f = 0; f < 200; ++f) bench.PassPool1();
  EXPECT_EQ(rock.intWork1, 0);
  EXPECT_EQ(CountEnemyShotsOfType(19), 0);
  DrawOffsetY = -100;  // its screen y is 120 now
  ViewTop = 100;
  ViewBottom = 500;
  bench.PassPool1();
  EXPECT_EQ(rock.intWork1, 1);
  EXPECT_DOUBLE_EQ(rock.vx, 6.4);
  std::vector<int> sounds;
  int frames = 0;
  while (rock.intWork1 == 1 && frames < 100) {
    sounds = bench.PassPool1();
    ++frames;
  }
  EXPECT_EQ(rock.intWork1, 2);
  EXPECT_EQ(rock.vx, 0);
  EXPECT_EQ(Count(54, sounds), 1);
  EXPECT_EQ(ScreenShake.duration, 8);
  EXPECT_EQ(CountEnemyShotsOfType(19), 0) << "nothing fired while it slid";
  int shots = 0;
  for (int f = 0; f < 240; ++f) {
    bench.PassPool1();
    shots += CountEnemyShotsOfType(19);
    ClearEnemyShots();
  }
  EXPECT_GE(shots, 3);
}

TEST_F(Stage3SlidingRockTest, LosingTheBaseTakesTheBarrelsAndTheRockStaysSolid) {
  const int16_t slot = bench.SpawnPool1(kSlidingRock, 9400, 200, 9);
  EnemyObject& rock = EnemyPool1[slot];
  DrawOffsetX = -9000;
  CameraX = 9000;
  ViewRight = 9640;
  bench.PassPool1();
  EXPECT_EQ(rock.x, 9460);
  EXPECT_EQ(rock.heading, 512) << "from world x 9200 it faces left";
  EXPECT_EQ(rock.partsB[0].offsetX, 110);
  EXPECT_EQ(rock.partsB[0].angle, 0);
  bench.PassPool1();
  ASSERT_TRUE(bench.field.DamageEnemy({1, slot, kTestPartsB, 3}, 100000));
  bench.PassPool1();
  for (int k = 0; k < 4; ++k) EXPECT_EQ(rock.partsB[k].state, 0) << k;
  EXPECT_EQ(rock.partsB[4].state, 2);
  EXPECT_EQ(rock.state, 2);
  EXPECT_TRUE(IsPointInSolidPart(rock.partsB[4].x + 70, rock.partsB[4].y + 30, 0, -1));
  EXPECT_FALSE(IsPointInSolidPart(rock.partsB[4].x + 90, rock.partsB[4].y, 0, -1));
}

}  // namespace
