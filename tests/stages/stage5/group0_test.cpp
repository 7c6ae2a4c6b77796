// Stage 5's pool-0 enemies on the bench: the fliers' stop, brake and ellipse and their wait
// before firing, the laser turrets' opening cycle, the wall guns' shared beat, and the ball's
// life, pay, arm bases that grow back and gun tips that fan out.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage5/stage5_bench.h"
#include "tests/support/log_capture.h"

namespace {

constexpr int16_t kFlier = 15;
constexpr int16_t kFlierReverse = 16;
constexpr int16_t kLaserTurret = 17;
constexpr int16_t kWallGun = 18;
constexpr int16_t kBall = 19;

TEST(Stage5Group0, FliersStop120PxOutBrakeFor16FramesAndCircleAnEllipse40By20) {
  struct Row {
    int16_t type;
    int16_t heading;
    int turn;
  } rows[] = {{kFlier, 256, 8}, {kFlierReverse, 768, -8}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    Stage5Bench bench;
    PlayerX = 100;
    PlayerY = 200;
    const double startY = r.heading == 256 ? 20 : 380;
    const int16_t slot = bench.SpawnPool0(r.type, 400, startY, r.heading);
    EnemyObject& o = EnemyPool0[slot];
    EXPECT_EQ(o.partsA[0].variant, r.type == kFlier ? 100 : 101);
    int brakeFrom = 0, stopAt = 0;
    for (int f = 2; f <= 80 && stopAt == 0; ++f) {
      bench.PassPool0();
      if (brakeFrom == 0 && o.intWork1 == 1) brakeFrom = f;
      if (o.intWork1 == 2) stopAt = f;
    }
    EXPECT_EQ(brakeFrom, 38);  // 38 x 3.2 = 121.6, the first travel past 120
    EXPECT_NEAR(stopAt - brakeFrom, 16, 1);
    EXPECT_NEAR(std::abs(o.realWork1 - startY), 121.6 + 24, 0.5);  // 3.0 + 2.8 + ... + 0.2 braking
    const double cx = o.realWork0, cy = o.realWork1;
    for (int f = 0; f < 100; ++f) bench.PassPool0();
    EXPECT_DOUBLE_EQ(o.vx, 40);
    double maxX = 0, maxY = 0;
    for (int f = 0; f < 128; ++f) {
      const int16_t heading = o.heading;
      bench.PassPool0();
      EXPECT_EQ(o.heading, WrapAngle(heading + r.turn));
      maxX = std::max(maxX, std::abs(o.x - cx));
      maxY = std::max(maxY, std::abs(o.y - cy));
    }
    EXPECT_NEAR(maxX, 40, 0.01);
    EXPECT_NEAR(maxY, 20, 0.01);
  }
  // A flier launched level (as the map places them, heading 0) never travels 120 px up or down.
  Stage5Bench bench;
  PlayerY = 380;  // out of its way
  const int16_t slot = bench.SpawnPool0(kFlier, 20, 200, 0);
  for (int f = 0; f < 150; ++f) bench.PassPool0();
  EXPECT_EQ(EnemyPool0[slot].intWork1, 0);
  EXPECT_NEAR(EnemyPool0[slot].x, 20 + 151 * 3.2, 1e-6);
}

// A flier fires on its beat only once it has been on screen for more than 32 frames.
TEST(Stage5Group0, AFlierFiresOnlyAfter32FramesOnScreen) {
  Stage5Bench bench;
  PlayerX = 100;
  PlayerY = 300;
  const int16_t slot = bench.SpawnPool0(kFlier, 400, 200, 0);
  EnemyObject& o = EnemyPool0[slot];
  o.speed = 0;  // held still on screen
  const int16_t every = ComputeFireInterval(50, 0);
  const int16_t at = ComputeFireInterval(20, 0);
  o.frame = at - 20;  // the first beat falls on its 21st frame on screen
  std::vector<int> shotFrames;
  for (int f = 2; f <= 2 + every + 40; ++f) {
    ClearEnemyShots();
    bench.PassPool0();
    const auto shots = EnemyShotsOfType(0);
    if (shots.empty()) continue;
    ASSERT_EQ(shots.size(), 1u);
    shotFrames.push_back(o.frame);
    EXPECT_EQ(shots[0]->drawAngle, o.angle);
    EXPECT_NEAR(std::hypot(shots[0]->x - o.x, shots[0]->y - o.y), 25, 1e-6);
    EXPECT_DOUBLE_EQ(shots[0]->speed, ScaleShotSpeed(4));
  }
  ASSERT_EQ(shotFrames.size(), 1u);
  EXPECT_EQ(shotFrames[0], at + every);
}

// The turret opens over 50..200 of each 250-frame cycle and fires only while fully open.
TEST(Stage5Group0, LaserTurretsOpenInTheMiddleOfTheirCycleAndFireOnlyWhenOpen) {
  for (int16_t variant : {int16_t{0}, int16_t{1}}) {
    SCOPED_TRACE(variant);
    Stage5Bench bench;
    PlayerX = 100;
    PlayerY = variant == 0 ? 50 : 350;  // on the side the turret faces
    const int16_t slot = bench.SpawnPool0(kLaserTurret, 300, 200, 0, variant);
    EnemyObject& o = EnemyPool0[slot];
    EXPECT_EQ(o.x, 320);
    EXPECT_EQ(o.y, variant == 0 ? 180 : 220);
    EXPECT_EQ(o.hitCircles.dy[1], variant == 0 ? 20 : -20);
    const EnemyPart& turret = o.partsA[0];
    int shots = 0, openFrames = 0;
    for (int f = 0; f < 500; ++f) {
      ClearEnemyShots();
      bench.PassPool0();
      const int cycle = turret.counter % 250;
      if (turret.imageFrame == 3) openFrames += 1;
      if (cycle < 50) { EXPECT_LT(turret.imageFrame, 3) << turret.counter; }
      for (const EnemyShot* s : EnemyShotsOfType(2)) {
        shots += 1;
        EXPECT_EQ(turret.imageFrame, 3);
        EXPECT_GT(turret.recoil, 0);
        EXPECT_EQ(s->drawAngle, turret.angle);
      }
      // Kept to its half: upward for the floor turret, downward for the ceiling one.
      if (variant == 0) {
        EXPECT_TRUE(turret.angle == 0 || turret.angle >= 512) << turret.angle;
      } else {
        EXPECT_LE(turret.angle, 512);
      }
    }
    EXPECT_GT(openFrames, 250);
    EXPECT_GE(shots, 4);  // one every 51 frames while open
  }
}

// Every wall gun fires on the stage clock (rank 0), so guns spawned at different times fire
// together, once each has been on screen for more than 32 frames.
TEST(Stage5Group0, WallGunsFireTogetherOnTheStageClock) {
  struct Row {
    int difficulty;
    int every, at;
  } rows[] = {{0, 110, 55}, {2, 35, 17}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.difficulty);
    Stage5Bench bench(r.difficulty);
    TimeRank = 200;  // has no say
    GameFrame = 1;
    const int16_t first = bench.SpawnPool0(kWallGun, 400, 100);
    EXPECT_EQ(EnemyPool0[first].x, 430);
    int16_t second = -1;
    std::vector<int> volleyFrames;
    for (GameFrame = 2; GameFrame < 400; ++GameFrame) {
      if (GameFrame == 77) second = bench.SpawnPool0(kWallGun, 300, 300);
      ClearEnemyShots();
      bench.PassPool0();
      const auto shots = EnemyShotsOfType(17);
      if (shots.empty()) continue;
      volleyFrames.push_back(GameFrame);
      EXPECT_EQ(GameFrame % r.every, r.at);
      const bool both = second >= 0 && EnemyPool0[second].phase > 32;
      ASSERT_EQ(shots.size(), both ? 2u : 1u) << GameFrame;
      EXPECT_EQ(shots[0]->drawAngle, 512);
      EXPECT_EQ(shots[0]->spawnX, 430 - 40);
    }
    EXPECT_GE(volleyFrames.size(), 3u);
  }
}

// The count of frames on screen holds at its top: a gun that has been on screen for 32,767
// frames and more keeps firing instead of wrapping negative and falling silent.
TEST(Stage5Group0, AWallGunLongOnScreenKeepsItsCountAtTheTopAndFiresOn) {
  Stage5Bench bench;
  GameFrame = 1;
  const int16_t slot = bench.SpawnPool0(kWallGun, 400, 100);
  EnemyObject& o = EnemyPool0[slot];
  o.phase = 32766;
  int volleys = 0;
  for (GameFrame = 2; GameFrame < 2 + 2 * ComputeFireInterval(24, 0); ++GameFrame) {
    ClearEnemyShots();
    bench.PassPool0();
    EXPECT_EQ(o.phase, 32767);
    volleys += CountEnemyShotsOfType(17);
  }
  EXPECT_EQ(volleys, 2);
}

TEST(Stage5Group0, TheBallTakes400ScaledByPowerRankAndPaysItsLifeByDifficulty) {
  struct Row {
    int difficulty, powerRank;
    int32_t life;
  } rows[] = {{0, 0, 400}, {3, 0, 400}, {1, 200, 581}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.difficulty << " " << r.powerRank);
    Stage5Bench bench(r.difficulty);
    PlayerX = 40;  // clear of its body
    PowerRank = r.powerRank;
    const int16_t slot = bench.SpawnPool0(kBall, 300, 200, 0, 31);
    EnemyObject& o = EnemyPool0[slot];
    EXPECT_EQ(o.life, r.life);
    EXPECT_EQ(o.x, 340);
    EXPECT_EQ(o.y, 180);  // code 31 shifts it up by 20
    const int32_t before = Score;
    ASSERT_TRUE(bench.field.DamageEnemy({0, slot}, r.life + 1));
    // A body pays twice its score base (its life) for each step of difficulty.
    EXPECT_EQ(Score - before, 2 * r.life * (r.difficulty + 1));
    bench.PassPool0();
    EXPECT_EQ(o.state, 4);
    for (int f = 0; f < 3; ++f) bench.PassPool0();
    EXPECT_EQ(o.state, 0);
  }
}

// A base shot down snaps back to 30 px out with its life restored, grows out again after 160
// frames (hittable past 45 px), and its tip fans out four shots only while it is fully out.
TEST(Stage5Group0, BallArmBasesGrowBackAfter160FramesAndTipsFanOutOnlyWhenFullyOut) {
  Stage5Bench bench;
  PlayerX = 100;
  PlayerY = 200;
  const int16_t slot = bench.SpawnPool0(kBall, 300, 200);
  EnemyObject& o = EnemyPool0[slot];
  bench.PassPool0();  // the tips' set-up, once their bases have left theirs
  EnemyPart& upperBase = o.partsA[1];
  const EnemyPart& upperTip = o.partsA[0];
  EnemyPart& lowerBase = o.partsA[3];
  EXPECT_EQ(upperBase.offsetY, -30);
  EXPECT_EQ(lowerBase.offsetY, 30);
  EXPECT_EQ(upperBase.hitMode, 1);
  EXPECT_EQ(upperTip.hitMode, 0);
  EXPECT_EQ(upperTip.angle, 768);
  EXPECT_EQ(o.partsA[2].angle, 256);
  EXPECT_EQ(upperBase.life, 110);
  ASSERT_TRUE(bench.field.DamageEnemy({0, slot, kTestPartsA, 1}, 200));
  EXPECT_EQ(upperBase.state, 3);
  bench.PassPool0();
  EXPECT_EQ(upperBase.state, 2);
  EXPECT_EQ(upperBase.offsetY, -30);
  EXPECT_EQ(upperBase.hitMode, 0);
  EXPECT_EQ(upperBase.life, 110);
  int hittableAt = 0, fullyOutAt = 0;
  std::vector<int> fanFrames;
  for (int f = 2; f <= 320; ++f) {
    ClearEnemyShots();
    bench.PassPool0();
    if (hittableAt == 0 && upperBase.hitMode == 1) hittableAt = f;
    if (fullyOutAt == 0 && upperBase.offsetY == -73) fullyOutAt = f;
    const auto shots = EnemyShotsOfType(0);
    if (shots.empty()) continue;
    // Both tips may fire; the upper tip's fan comes from 32 px out along its angle.
    std::vector<const EnemyShot*> upper;
    for (const EnemyShot* s : shots)
      if (std::abs(s->spawnY - upperTip.y) < 40) upper.push_back(s);
    if (upper.empty()) continue;
    fanFrames.push_back(f);
    ASSERT_EQ(upper.size(), 4u);
    const int d = upperTip.angle;
    const int angles[4] = {d, WrapAngle(d - 32), WrapAngle(d + 32), d};
    const double speeds[4] = {3.2, 2.4, 2.4, 1.6};
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(upper[k]->drawAngle, angles[k]) << k;
      EXPECT_DOUBLE_EQ(upper[k]->speed, ScaleShotSpeed(speeds[k])) << k;
    }
  }
  EXPECT_EQ(hittableAt, 160 + 16);  // 46 px out
  EXPECT_EQ(fullyOutAt, 160 + 43);
  ASSERT_FALSE(fanFrames.empty());
  EXPECT_GT(fanFrames[0], fullyOutAt);
  // The lower arm, never shot, grew out on its own clock long before.
  EXPECT_EQ(lowerBase.offsetY, 73);
}

TEST(Stage5Group0, LaserTurretVariantsWithoutAShapeAreRefusedWithOneLogLine) {
  for (int16_t variant : {int16_t{-1}, int16_t{8}}) {
    SCOPED_TRACE(variant);
    Stage5Bench bench;
    LogCapture log;
    ForgetRefusedMapValues();
    const int16_t a = bench.SpawnPool0(kLaserTurret, 300, 200, 0, variant);
    const int16_t b = bench.SpawnPool0(kLaserTurret, 400, 200, 0, variant);
    EXPECT_EQ(EnemyPool0[a].state, 0);
    EXPECT_EQ(EnemyPool0[b].state, 0);
    const std::string text = log.Contents();
    size_t lines = 0;
    for (size_t at = text.find("stage 5 laser turret variant"); at != std::string::npos;
         at = text.find("stage 5 laser turret variant", at + 1)) {
      ++lines;
    }
    EXPECT_EQ(lines, 1u) << text;
    EXPECT_NE(text.find(std::to_string(variant)), std::string::npos) << text;
  }
}

}  // namespace
