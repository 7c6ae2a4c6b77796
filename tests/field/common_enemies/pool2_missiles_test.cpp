// The missiles and shells of pool 2: the homing missile's turn away, the ring mine's and the
// heavy shell's shots however they end, the large missile's coded run, the firing shell that
// meets terrain before its target, the shootable shell's exhaust draws, the shake that clears
// the missiles, the launch sounds, and the kill that pays nothing.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/common_enemies.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

using Handler = void (*)(int16_t);

class Pool2MissilesTest : public testing::Test {
 protected:
  FieldFixture field;

  void SetUp() override {
    ClearAllObjects();
    DrawOffsetX = 0;
    DrawOffsetY = 0;
    CurrentStage = 1;
    TimeRank = 0;
    PowerRank = 0;
    PlayerX = 100;
    PlayerY = 200;
  }

  static void Pass(Handler handler, int slot) {
    EnemyPool2[slot].frame += 1;
    handler(static_cast<int16_t>(slot));
  }
};

std::vector<const EnemyShot*> Shots(int type) {
  std::vector<const EnemyShot*> shots;
  for (const EnemyShot& s : EnemyShots) {
    if (s.state != 0 && s.type == type) shots.push_back(&s);
  }
  return shots;
}

TEST_F(Pool2MissilesTest, TheHomingMissileTurnsAwayByScreenHalfFromFrame481) {
  struct Row {
    double y;
    int16_t heading;
  } rows[] = {{100, 516}, {300, 508}};  // toward 896 above the middle, 128 below
  for (const Row& r : rows) {
    SCOPED_TRACE(r.y);
    SetUp();
    ASSERT_EQ(SpawnPool2Enemy(500, 200, 0, 512), 0);
    EnemyObject& o = EnemyPool2[0];
    Pass(UpdateHomingMissile, 0);
    o.frame = 479;
    o.heading = 512;
    o.x = 400;
    o.y = r.y;
    PlayerX = 100;
    PlayerY = r.y;  // straight ahead: homing would hold 512
    Pass(UpdateHomingMissile, 0);
    EXPECT_EQ(o.heading, 512);
    Pass(UpdateHomingMissile, 0);
    EXPECT_EQ(o.frame, 481);
    EXPECT_EQ(o.heading, r.heading);
  }
}

TEST_F(Pool2MissilesTest, ARingMineShotDownEarlyStillReleasesItsSixShots) {
  ASSERT_EQ(SpawnPool2Enemy(400, 200, 5, 0), 0);
  EnemyObject& o = EnemyPool2[0];
  Pass(UpdateRingBurstMine, 0);
  for (int f = 0; f < 9; ++f) Pass(UpdateRingBurstMine, 0);
  ASSERT_TRUE(field.DamageEnemy({2, 0}, 1000));
  Pass(UpdateRingBurstMine, 0);
  EXPECT_EQ(o.state, 0);
  std::vector<int> angles;
  for (const EnemyShot* s : Shots(0)) angles.push_back(s->motionAngle);
  EXPECT_EQ(angles, (std::vector<int>{85, 256, 427, 597, 768, 939}));
  // Left alone it times out after frame 192.
  SetUp();
  ASSERT_EQ(SpawnPool2Enemy(400, 200, 5, 0), 0);
  Pass(UpdateRingBurstMine, 0);
  int frames = 0;
  while (o.state == 2 && frames < 400) {
    Pass(UpdateRingBurstMine, 0);
    ++frames;
  }
  EXPECT_EQ(frames, 193);
}

TEST_F(Pool2MissilesTest, TheLargeMissileOfCodeTwelveClimbsRunsItsCodedDistanceAndTurnsDown) {
  SeedLcgRandom(12345);
  const uint32_t saved = LcgRandomState;
  const int r = LcgRandom() % 90;
  LcgRandomState = saved;
  ASSERT_EQ(SpawnPool2Enemy(600, 300, 6, 12), 0);
  EnemyObject& o = EnemyPool2[0];
  Pass(UpdateLargeMissile, 0);
  EXPECT_EQ(o.intWork0, 180 + r);
  EXPECT_EQ(o.heading, 768);
  EXPECT_EQ(o.intWork1, 256);
  double runStart = 0;
  for (int f = 0; f < 600 && o.phase < 3; ++f) {
    const int16_t before = o.phase;
    Pass(UpdateLargeMissile, 0);
    if (before == 1 && o.phase == 2) runStart = o.x;
  }
  ASSERT_EQ(o.phase, 3);
  EXPECT_GT(runStart - o.x, 180 + r - 3.3);
  EXPECT_LE(runStart - o.x, 180 + r + 3.3);
  for (int f = 0; f < 200; ++f) Pass(UpdateLargeMissile, 0);
  EXPECT_EQ(o.heading, 256);
}

TEST_F(Pool2MissilesTest, TheHeavyShellReleasesSevenShotsHoweverItEnds) {
  enum End { kTerrain, kBoxPart, kStageClear, kCancel, kShot };
  for (End end : {kTerrain, kBoxPart, kStageClear, kCancel, kShot}) {
    SCOPED_TRACE(end);
    SetUp();
    StageClearTimer = 0;
    CancelEnemyShots = 0;
    PutBlock(10, 7);  // x 400..440, y 280..320
    if (end == kBoxPart) {
      // A solid box part of a pool-1 object across the fall, y 240..260, above the block.
      EnemyObject& holder = EnemyPool1[0];
      holder.state = 2;
      holder.solid = 1;
      holder.partCountA = 1;
      holder.partsA[0].state = 2;
      holder.partsA[0].x = 420;
      holder.partsA[0].y = 250;
      SetSolidPartBox(holder.partsA, 0, 30, 10);
    }
    ASSERT_EQ(SpawnPool2Enemy(420, 200, 7, 256), 0);
    EnemyObject& o = EnemyPool2[0];
    o.intWork0 = 1;  // the launcher's speed code
    Pass(UpdateFiringShellB, 0);
    EXPECT_DOUBLE_EQ(o.speed, 4.8);
    EXPECT_EQ(o.intWork0, 0);
    if (end == kStageClear) StageClearTimer = 2;
    if (end == kCancel) CancelEnemyShots = 1;
    if (end == kShot) { ASSERT_TRUE(field.DamageEnemy({2, 0}, 1000000)); }
    for (int f = 0; f < 100 && o.state != 0; ++f) {
      if (end == kStageClear || end == kCancel) {
        UpdateEnemyPool(EnemyPool2, 2, kEnemyPool2Size);
      } else {
        Pass(UpdateFiringShellB, 0);
      }
    }
    EXPECT_EQ(o.state, 0);
    if (end == kBoxPart) {
      EXPECT_GE(o.y, 240 - 5);
      EXPECT_LT(o.y, 280);  // ended in the box, not on the block below it
    }
    std::vector<double> speeds;
    for (const EnemyShot* s : Shots(17)) {
      EXPECT_EQ(s->motionAngle, 768);
      speeds.push_back(s->speed);
    }
    EXPECT_EQ(speeds, (std::vector<double>{5, 6, 7, 8, 9, 10, 11}));
    StageClearTimer = 0;
    CancelEnemyShots = 0;
  }
}

TEST_F(Pool2MissilesTest, AFiringShellAimedBehindTerrainEndsThereAndStillFires) {
  // The ship at (100, 200) behind a wall at x 240..280, y 160..240; the shell comes from the
  // right along y 200.
  PutBlock(6, 4);
  PutBlock(6, 5);
  ASSERT_EQ(SpawnPool2Enemy(400, 200, 4, 512), 0);
  EnemyObject& o = EnemyPool2[0];
  double lastX = o.x;
  for (int f = 0; f < 100 && o.state != 0; ++f) {
    lastX = o.x;
    Pass(UpdateFiringShell, 0);
  }
  EXPECT_EQ(o.state, 0);
  EXPECT_GT(lastX, 240);  // stopped by the wall, not by coming within 40 px of its target
  const std::vector<const EnemyShot*> shots = Shots(20);
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0]->motionAngle, 512);
  EXPECT_DOUBLE_EQ(shots[0]->speed, ScaleShotSpeed(2.4));
}

TEST_F(Pool2MissilesTest, EachAsksForItsLaunchSoundOnceAtItsSetUp) {
  struct Row {
    int16_t type;
    Handler handler;
    int sound;
  } rows[] = {{0, UpdateHomingMissile, 36}, {2, UpdateShootableShell, 36},
              {3, UpdateLobbedShell, 36},   {4, UpdateFiringShell, 36},
              {5, UpdateRingBurstMine, 36}, {6, UpdateLargeMissile, 36},
              {7, UpdateFiringShellB, 35}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    SetUp();
    ASSERT_EQ(SpawnPool2Enemy(400, 100, r.type, 0), 0);
    field.TakeSoundRequests();
    Pass(r.handler, 0);
    EXPECT_EQ(field.TakeSoundRequests(), std::vector<int>{r.sound});
    for (int f = 0; f < 10; ++f) Pass(r.handler, 0);
    ASSERT_EQ(EnemyPool2[0].state, 2);
    EXPECT_TRUE(field.TakeSoundRequests().empty());
  }
}

TEST_F(Pool2MissilesTest, AShakeDestroysTheMissilesButNotTheShells) {
  struct Row {
    int16_t type;
    Handler handler;
    bool destroyed;
  } rows[] = {{0, UpdateHomingMissile, true}, {4, UpdateFiringShell, true},
              {5, UpdateRingBurstMine, true}, {6, UpdateLargeMissile, true},
              {3, UpdateLobbedShell, false},  {7, UpdateFiringShellB, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    SetUp();
    ASSERT_EQ(SpawnPool2Enemy(400, 100, r.type, 0), 0);
    Pass(r.handler, 0);
    ScreenShake.active = 1;
    Pass(r.handler, 0);
    ScreenShake.active = 0;
    EXPECT_EQ(EnemyPool2[0].state == 3, r.destroyed);
  }
}

TEST_F(Pool2MissilesTest, OnStageOneTheShootableShellBreaksOnASolidPool1Object) {
  for (int16_t stage : {1, 2}) {
    SCOPED_TRACE(stage);
    SetUp();
    CurrentStage = stage;
    EnemyObject& block = PutEnemy(EnemyPool1, 0, 320, 200, 16, 100);
    block.solid = 1;
    SolidEnemyTimer = 16;
    const uint32_t seeded = LcgRandomState;
    ASSERT_EQ(SpawnPool2Enemy(300, 200, 2, 0), 0);
    EnemyObject& o = EnemyPool2[0];
    Pass(UpdateShootableShell, 0);
    const uint32_t afterSetUp = LcgRandomState;
    LcgRandomState = seeded;
    EXPECT_DOUBLE_EQ(o.speed, 7.2 + LcgRandom() % 2);  // one draw at set-up
    EXPECT_EQ(LcgRandomState, afterSetUp);
    Pass(UpdateShootableShell, 0);
    EXPECT_DOUBLE_EQ(o.x, 308);
    // No solid box part anywhere: only stage 1 tests the objects themselves.
    EXPECT_EQ(o.state, stage == 1 ? 3 : 2);
  }
}

TEST_F(Pool2MissilesTest, TheShootableShellsExhaustDrawsOncePerPuffEverySecondFrameFrom18) {
  CurrentStage = 2;
  ASSERT_EQ(SpawnPool2Enemy(300, 200, 2, 0), 0);
  EnemyObject& o = EnemyPool2[0];
  Pass(UpdateShootableShell, 0);  // the set-up's one draw: a speed of 7.2 or 8.2
  ASSERT_GE(o.speed, 4.0);
  int puffs = 0;
  for (int f = 1; f <= 40; ++f) {
    SCOPED_TRACE(f);
    const uint32_t before = LcgRandomState;
    Pass(UpdateShootableShell, 0);
    ASSERT_EQ(o.state, 2);
    const bool puff = f % 2 == 0 && f > 16;
    const uint32_t oneDraw = before * 214013u + 2531011u;
    EXPECT_EQ(LcgRandomState, puff ? oneDraw : before);
    if (!puff) continue;
    // The puff 22 px behind the shell along its angle, turned by the draw.
    const Effect& e = Effects[puffs++];
    EXPECT_EQ(e.type, 26);
    EXPECT_EQ(e.rotation, static_cast<int>((oneDraw >> 16) & 0x7FFF) % 1024);
    EXPECT_DOUBLE_EQ(e.x, RotateOffsetX(o.x, -22, 0, o.angle));
    EXPECT_DOUBLE_EQ(e.y, RotateOffsetY(o.y, -22, 0, o.angle));
  }
  EXPECT_EQ(puffs, 12);
}

TEST_F(Pool2MissilesTest, APool2KillPaysNothing) {
  Difficulty = 3;
  ASSERT_EQ(SpawnPool2Enemy(400, 200, 0, 512), 0);
  Pass(UpdateHomingMissile, 0);
  EXPECT_EQ(EnemyPool2[0].scoreBase, 0);
  const int32_t before = Score;
  ASSERT_TRUE(field.DamageEnemy({2, 0}, 1000));
  EXPECT_EQ(Score, before);
}

}  // namespace
