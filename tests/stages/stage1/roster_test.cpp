// Stage 1's fliers, walkers, rocks and walls: the cross flier's turning volleys and exit, the
// mortar walker's salvo, the large rock's burst and the thrown rocks' flight, the ceiling rocks
// that the shake drops, the wall that settles when its core is shot, and what every destructible
// kind takes and pays.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage1/stage1_bench.h"

namespace {

constexpr int16_t kCrossFlier = 10;
constexpr int16_t kMortarWalker = 11;
constexpr int16_t kLargeRock = 12;
constexpr int16_t kCeilingRock15 = 15;
constexpr int16_t kWall = 19;

TEST(Stage1Roster, CrossFlierVolleysTurn24BetweenAndItLeavesByThePlayersSide) {
  struct Row {
    double playerY;
    int turn;
    int16_t exitHeading;
  } rows[] = {{200, 24, 128}, {150, 24, 128}, {260, -24, 896}};  // level, above, below
  for (const Row& r : rows) {
    SCOPED_TRACE(r.playerY);
    Stage1Bench bench;
    PlayerX = 40;  // far to the left, out of its way
    PlayerY = r.playerY;
    TimeRank = kRankMax;  // volleys close together
    const int16_t slot = bench.SpawnPool1(kCrossFlier, 680, 200);
    EnemyObject& o = EnemyPool1[slot];
    std::vector<int> volleyAngles;
    for (int f = 0; f < 400 && o.state == 2 && o.intWork0 <= 128; ++f) {
      ClearEnemyShots();
      const int16_t angleBefore = o.angle;
      bench.PassPool1();
      const auto shots = EnemyShotsOfType(1);
      if (shots.empty()) continue;
      ASSERT_EQ(shots.size(), 4u);
      for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(shots[k]->drawAngle, WrapAngle(angleBefore + 256 * k));
        EXPECT_DOUBLE_EQ(shots[k]->speed, ScaleShotSpeed(4.2));
      }
      volleyAngles.push_back(angleBefore);
    }
    ASSERT_GE(volleyAngles.size(), 3u);
    for (size_t k = 1; k < volleyAngles.size(); ++k) {
      EXPECT_EQ(volleyAngles[k], WrapAngle(volleyAngles[k - 1] + r.turn)) << k;
    }
    EXPECT_EQ(o.heading, r.exitHeading);
    const double y = o.y;
    for (int f = 0; f < 60; ++f) bench.PassPool1();
    EXPECT_DOUBLE_EQ(o.speed, 6.4);
    EXPECT_EQ(o.imageFrame, 0);
    if (r.exitHeading == 128) {
      EXPECT_GT(o.y, y);
    } else {
      EXPECT_LT(o.y, y);
    }
  }
}

// A salvo is 8 + 2 x difficulty shells, 8 frames apart after 40 frames of aim; a trigger during
// it restarts the aim and keeps the count, so it still ends at the same number of shells.
TEST(Stage1Roster, MortarWalkerSalvoGrowsWithDifficultyAndARetriggerEndsItEarly) {
  for (int difficulty = 0; difficulty < 4; ++difficulty) {
    for (bool retrigger : {false, true}) {
      SCOPED_TRACE(testing::Message() << difficulty << (retrigger ? " retriggered" : ""));
      Stage1Bench bench(difficulty);
      PlayerX = 100;  // to its left: it keeps facing 0
      const int16_t slot = bench.SpawnPool1(kMortarWalker, 500, 300);
      EnemyObject& o = EnemyPool1[slot];
      const int16_t every = ComputeFireInterval(200, o.rank);
      const int16_t at = ComputeFireInterval(80, o.rank);
      o.frame = at;  // the next natural trigger is a whole interval away
      o.intWork0 = 1;
      std::vector<int> shellFrames;
      bool retriggered = false;
      for (int f = 0; f < every - 2 && o.intWork0 > 0; ++f) {
        o.y = 300;  // no ground here: held up by hand
        o.vy = 0;
        if (retrigger && !retriggered && shellFrames.size() == 3) {
          o.intWork0 = 1;  // the frame after the third shell
          retriggered = true;
        }
        bench.PassPool1();
        for (EnemyObject& m : EnemyPool2) {
          if (m.state == 0) continue;
          EXPECT_EQ(m.type, 3);
          shellFrames.push_back(f);
          m.state = 0;
        }
      }
      ASSERT_EQ(o.intWork0, 0) << "the salvo did not end within " << every << " frames";
      EXPECT_EQ(static_cast<int>(shellFrames.size()), 8 + 2 * difficulty);
      EXPECT_EQ(shellFrames[0], 38);  // the counter runs 2..40 while it aims
      if (retrigger) {
        EXPECT_EQ(shellFrames[3] - shellFrames[2], 39);  // a new aim, not the 8-frame beat
      } else {
        for (size_t k = 1; k < shellFrames.size(); ++k)
          EXPECT_EQ(shellFrames[k] - shellFrames[k - 1], 8);
      }
    }
  }
}

TEST(Stage1Roster, LargeRockBurstsIntoTenThrownRocksAndShakesTheScreen) {
  Stage1Bench bench;
  PlayerX = 600;  // clear of the rocks
  PlayerY = 20;
  const int16_t slot = bench.SpawnPool1(kLargeRock, 278, 200);
  ASSERT_EQ(slot, 0);
  EXPECT_EQ(EnemyPool1[0].x, 300);
  EnemyPool1[0].state = 3;
  const std::vector<int> sounds = bench.PassPool1();
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 31), 1);
  EXPECT_EQ(ScreenShake.duration, 64);
  struct Rock {
    double x, y;
    int16_t type, angle;
  } rocks[10] = {{284, 200, 13, 832}, {300, 184, 13, 896}, {316, 200, 14, 840}, {300, 216, 14, 780},
                 {316, 200, 14, 856}, {300, 184, 13, 816}, {284, 200, 13, 880}, {300, 216, 14, 824},
                 {284, 200, 14, 764}, {300, 184, 14, 840}};
  for (int k = 0; k < 10; ++k) {
    SCOPED_TRACE(k);
    const EnemyObject& r = EnemyPool1[k];
    EXPECT_EQ(r.type, rocks[k].type);
    EXPECT_EQ(r.x, rocks[k].x);
    EXPECT_EQ(r.y, rocks[k].y);
  }
  EXPECT_EQ(EnemyPool1[10].state, 0);
  bench.PassPool1();  // the first of them, in the burst rock's own slot, sets up now
  for (int k = 0; k < 10; ++k) EXPECT_EQ(EnemyPool1[k].heading, rocks[k].angle) << k;
  // Thrown rocks fly through the world, 1.5 times faster across than their launch speed.
  ScrollDeltaX = 5;
  const EnemyObject& r = EnemyPool1[0];
  const double x = r.x, y = r.y;
  const double vx = 1.5 * 4.8 * CosineTable[832], vy = 4.8 * SineTable[832];
  EXPECT_DOUBLE_EQ(r.vx, vx);
  bench.PassPool1();
  EXPECT_DOUBLE_EQ(r.x, x + vx);
  EXPECT_DOUBLE_EQ(r.y, y + vy + 0.15);
}

TEST(Stage1Roster, CeilingRocksFallWithTheShakeOrLaterAndKeepTheirSpeed) {
  Stage1Bench bench;
  int16_t slots[3];
  for (int k = 0; k < 3; ++k) slots[k] = bench.SpawnPool1(kCeilingRock15 + k, 200 + 60 * k, 50);
  StartScreenShake(64);
  int calmFrames = 0;  // frames the rocks have run since the amplitude came back to 0
  int firstFall[3] = {-1, -1, -1};
  double speedAtCalm = -1;
  for (int f = 0; f < 400; ++f) {
    const bool shaking = ScreenShake.amplitude > 0;
    if (!shaking && f > 0) ++calmFrames;
    bench.PassPool1();
    if (calmFrames == 1) speedAtCalm = EnemyPool1[slots[0]].vy;
    for (int k = 1; k < 3; ++k) {
      if (firstFall[k] < 0 && EnemyPool1[slots[k]].vy > 0) firstFall[k] = calmFrames;
    }
    UpdateScreenShake();
  }
  EXPECT_GT(speedAtCalm, 0);  // type 15 fell during the shake
  EXPECT_DOUBLE_EQ(EnemyPool1[slots[0]].vy, speedAtCalm);
  EXPECT_EQ(firstFall[1], 19);
  EXPECT_EQ(firstFall[2], 39);
}

// Killing the core blows the bottom segment; after 192 frames (96 on hard) the upper segments
// slide 60 px down and land with one thud; the rear piece never moves. The cannons fire five
// shots 4 frames apart and hold their aim while firing.
TEST(Stage1Roster, TheWallSettlesWhenItsCoreIsShotAndItsCannonsFireFive) {
  for (int difficulty : {1, 2}) {
    SCOPED_TRACE(difficulty);
    Stage1Bench bench(difficulty);
    const int16_t slot = bench.SpawnPool1(kWall, 240, 330);
    EnemyObject& wall = EnemyPool1[slot];
    EXPECT_EQ(wall.x, 300);
    EXPECT_EQ(wall.y, 320);
    int burst = 0, bursts = 0;
    for (int f = 0; f < 200 && bursts < 1; ++f) {
      ClearEnemyShots();
      const int16_t cannonAngle = wall.partsB[0].angle;
      bench.PassPool1();
      const int shots = CountEnemyShotsOfType(1);
      if (shots > 0) {
        EXPECT_EQ(shots, 2);  // both cannons
        if (burst > 0) { EXPECT_EQ(wall.partsB[0].angle, cannonAngle); }
        ++burst;
      } else if (burst > 0 && wall.partsB[0].cue == 0) {
        EXPECT_EQ(burst, 5);
        ++bursts;
      }
    }
    EXPECT_EQ(bursts, 1);
    ASSERT_TRUE(bench.field.DamageEnemy({1, slot, kTestPartsB, 5}, 100000));
    bench.PassPool1();
    EXPECT_EQ(wall.partsB[2].state, 0);  // the bottom segment went up
    EXPECT_EQ(wall.partsB[5].state, 0);
    const int wait = difficulty >= 2 ? 96 : 192;
    int firstMove = -1, thuds = 0, thudFrame = -1;
    for (int f = 2; f < 600; ++f) {
      const std::vector<int> sounds = bench.PassPool1();
      for (int s : sounds) {
        if (s != 54) continue;
        ++thuds;
        if (thudFrame < 0) thudFrame = f;
        EXPECT_EQ(thudFrame, f);  // both segments land together
      }
      if (firstMove < 0 && wall.partsB[3].offsetY != -90) firstMove = f;
    }
    EXPECT_EQ(firstMove, wait + 1);  // the count passes wait here; the fall starts from 0
    EXPECT_GT(thuds, 0);
    EXPECT_LE(thuds, 2);  // once a segment
    EXPECT_EQ(wall.partsB[3].offsetY, -30);
    EXPECT_EQ(wall.partsB[4].offsetY, -120);
    EXPECT_EQ(wall.partsA[0].offsetY, 0);
    EXPECT_EQ(wall.partsA[0].hitMode, 0);
  }
}

// Lives and kill scores of every kind that can be shot down, at two power ranks; the large rock,
// the waypoint and the wall's segments cannot be.
TEST(Stage1Roster, LivesAndKillScoresOfEveryDestructibleKind) {
  struct Row {
    const char* what;
    int16_t type;
    int16_t partArray;  // kTestBody or kTestPartsB
    int16_t part;
    int32_t base;  // -1: indestructible
  } rows[] = {
      {"cross flier", 10, kTestBody, 0, 104},  {"mortar walker", 11, kTestBody, 0, 48},
      {"large rock", 12, kTestBody, 0, -1},    {"thrown rock M", 13, kTestBody, 0, 9},
      {"thrown rock S", 14, kTestBody, 0, 9},  {"ceiling rock 1", 15, kTestBody, 0, 9},
      {"ceiling rock 2", 16, kTestBody, 0, 9}, {"ceiling rock 3", 17, kTestBody, 0, 9},
      {"waypoint", 18, kTestBody, 0, -1},      {"wall segment", 19, kTestPartsB, 3, -1},
      {"wall cannon", 19, kTestPartsB, 0, 28}, {"wall core", 19, kTestPartsB, 5, 295},
  };
  for (int16_t powerRank : {int16_t{0}, int16_t{150}}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(testing::Message() << r.what << " at power rank " << powerRank);
      Stage1Bench bench;
      PowerRank = powerRank;
      PlayerX = 20;  // clear of every object here
      PlayerY = 20;
      const int16_t slot = bench.SpawnPool1(r.type, 300, 200);
      if (r.partArray != kTestBody) bench.PassPool1();  // the parts' set-up
      EnemyObject& o = EnemyPool1[slot];
      const int32_t life = r.partArray == kTestBody ? o.maxLife : o.partsB[r.part].maxLife;
      const int32_t scoreBase = r.partArray == kTestBody ? o.scoreBase : o.partsB[r.part].scoreBase;
      const int32_t scoreBefore = Score;
      bench.field.DamageEnemy({1, slot, r.partArray, r.part}, 100000);
      if (r.base < 0) {
        EXPECT_EQ(life, -1);
        EXPECT_EQ(Score, scoreBefore);
        continue;
      }
      EXPECT_EQ(life, ScaleLifeByRank(r.base));
      EXPECT_EQ(scoreBase, life);
      const int32_t paid = r.partArray == kTestBody ? EnemyKillScore(life) : PartKillScore(life);
      EXPECT_EQ(Score - scoreBefore, paid);
    }
  }
}

}  // namespace
