// The hatches and the fliers they launch: the move to the highest free slot, the opening cadence
// on every difficulty at rank 0, the lid, the launches into lower slots, stage 5's types, and the
// fliers' brake and exit. Handlers run one pass at a time as the pool runs them.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/common_enemies.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/field_fixture.h"

namespace {

using Handler = void (*)(int16_t);

class HatchesTest : public testing::Test {
 protected:
  FieldFixture field;

  void SetUp() override {
    ClearAllObjects();
    DrawOffsetX = 0;
    DrawOffsetY = 0;
    CurrentStage = 1;
    TimeRank = 0;
    PowerRank = 0;
  }

  static EnemyObject& Spawn(int slot, int32_t type, double x, double y) {
    InitEnemyObject(EnemyPool0, slot, type, 0);
    EnemyPool0[slot].x = x;
    EnemyPool0[slot].y = y;
    return EnemyPool0[slot];
  }

  static void Pass(Handler handler, int slot) {
    EnemyPool0[slot].frame += 1;
    handler(static_cast<int16_t>(slot));
  }
};

int LiveBelow(int slot) {
  int n = 0;
  for (int i = 0; i < slot; ++i) n += EnemyPool0[i].state != 0 ? 1 : 0;
  return n;
}

TEST_F(HatchesTest, AHatchMovesToTheHighestFreeSlotOrIsGone) {
  EnemyObject& o = Spawn(3, 2, 300, 200);
  Pass(UpdateFloorHatch, 3);
  EXPECT_EQ(o.state, 0);
  const EnemyObject& moved = EnemyPool0[63];
  EXPECT_EQ(moved.state, 2);
  EXPECT_EQ(moved.type, 2);
  EXPECT_DOUBLE_EQ(moved.x, 320);
  EXPECT_DOUBLE_EQ(moved.y, 190);
  EXPECT_EQ(moved.life, 90);
  EXPECT_EQ(moved.hitCircles.size[2], 16);
  EXPECT_EQ(moved.despawnMarginX, 120);

  // Spawned in slot 63 it has nowhere higher to go.
  SetUp();
  Spawn(63, 3, 300, 200);
  Pass(UpdateCeilingHatch, 63);
  EXPECT_EQ(EnemyPool0[63].state, 0);
  EXPECT_EQ(LiveBelow(64), 0);

  // Nor with every slot above it taken.
  SetUp();
  for (int i = 4; i < 64; ++i) Spawn(i, 8, 0, 0).state = 2;
  Spawn(3, 2, 300, 200);
  Pass(UpdateFloorHatch, 3);
  EXPECT_EQ(EnemyPool0[3].state, 0);
  EXPECT_EQ(LiveBelow(4), 0);
}

TEST_F(HatchesTest, HatchesOpenOnTheDifficultysCadenceAndLaunchWhileOpen) {
  struct Row {
    int16_t difficulty;
    int period, remainder, launchEvery;
  } rows[] = {{0, 468, 58, 23}, {1, 342, 42, 17}, {2, 256, 32, 12}, {3, 213, 26, 10}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.difficulty);
    SetUp();
    Difficulty = r.difficulty;
    PlayerX = 100;  // left of the hatch: fliers of type 4
    PlayerY = 100;
    Spawn(10, 2, 400, 300);
    Pass(UpdateFloorHatch, 10);
    EnemyObject& o = EnemyPool0[63];
    std::vector<int> openings, launches, fullyOpen, closed;
    int32_t lastImage = 0;
    for (int f = 1; f <= r.remainder + r.period + 100; ++f) {
      const int before = LiveBelow(63);
      Pass(UpdateFloorHatch, 63);
      if (o.intWork0 == 79) openings.push_back(f);
      if (LiveBelow(63) != before) launches.push_back(f);
      if (o.imageFrame == 4 && lastImage == 3) fullyOpen.push_back(f);
      if (o.imageFrame == 0 && lastImage == 1) closed.push_back(f);
      lastImage = o.imageFrame;
    }
    EXPECT_EQ(openings, (std::vector<int>{r.remainder, r.remainder + r.period}));
    // The lid is fully open on the 16th frame of an opening, and shut 16 frames after the
    // 80 frames of an opening have run out, one step every 4 frames.
    ASSERT_EQ(fullyOpen.size(), 2u);
    EXPECT_EQ(fullyOpen[0], r.remainder + 15);
    ASSERT_FALSE(closed.empty());
    EXPECT_GT(closed[0], r.remainder + 79);
    EXPECT_LE(closed[0], r.remainder + 79 + 16);
    // Launches only while open (the first opening falls within 32 frames of arriving on
    // easy's later cadences too, so count from the second), at the launch cadence.
    std::vector<int> second;
    for (int f : launches) {
      if (f >= openings[1]) second.push_back(f);
    }
    ASSERT_GE(second.size(), 2u);
    for (size_t k = 0; k < second.size(); ++k) {
      EXPECT_GE(second[k], openings[1] + 15);
      EXPECT_LE(second[k], openings[1] + 75);
      if (k > 0) { EXPECT_EQ(second[k] - second[k - 1], r.launchEvery); }
    }
    // Fliers of type 4 straight up, in the slots below the hatch.
    EXPECT_EQ(EnemyPool0[62].state, 0);
    EXPECT_EQ(EnemyPool0[61].type, 4);
    EXPECT_EQ(EnemyPool0[61].angle, 768);
  }
}

TEST_F(HatchesTest, OnStageFiveHatchesLaunchTheStagesOwnFliers) {
  for (int32_t type : {2, 3}) {
    SCOPED_TRACE(type);
    SetUp();
    CurrentStage = 5;
    Difficulty = 3;
    PlayerX = 600;  // right of the hatch: would be type 5 elsewhere
    const Handler h = type == 2 ? UpdateFloorHatch : UpdateCeilingHatch;
    Spawn(0, type, 300, 200);
    Pass(h, 0);
    for (int f = 0; f < 300 && LiveBelow(63) == 0; ++f) Pass(h, 63);
    ASSERT_EQ(LiveBelow(63), 1);
    EXPECT_EQ(EnemyPool0[61].type, type == 2 ? 15 : 16);
    EXPECT_EQ(EnemyPool0[61].angle, type == 2 ? 768 : 256);
  }
}

TEST_F(HatchesTest, AHatchFlierBrakesAfterRisingFortyAndReachingThePlayerThenLeaves) {
  struct Row {
    double playerY;
    int brakeFrame;
  } rows[] = {
      {290, 13},  // level after 4 frames, but 40 px risen only after 13 (41.6)
      {200, 32},  // 40 px after 13, level with the player after 32 (197.6)
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.playerY);
    SetUp();
    PlayerX = 100;
    PlayerY = r.playerY;
    ASSERT_EQ(SpawnPool0Enemy(300, 300, 4, 768, -1, 0), 0);
    EnemyObject& o = EnemyPool0[0];
    Pass(UpdateHatchZako, 0);
    EXPECT_EQ(o.heading, 768);
    EXPECT_EQ(o.angle, 512);
    EXPECT_EQ(o.partsA[0].variant, 100);
    EXPECT_EQ(o.partCountA, 1);
    int brake = -1, stop = -1;
    double fastest = 0;
    for (int f = 1; f <= 300; ++f) {
      Pass(UpdateHatchZako, 0);
      if (brake < 0 && o.intWork1 == 1) brake = f;
      if (stop < 0 && o.intWork1 == 2) stop = f;
      fastest = std::max(fastest, -o.vx);
    }
    EXPECT_EQ(brake, r.brakeFrame);
    // 0.2 off each frame from 3.2: stopped 16 frames later, then away to the left.
    EXPECT_EQ(stop, r.brakeFrame + 16);
    EXPECT_EQ(o.heading, 512);
    EXPECT_DOUBLE_EQ(o.speed, 8.0);
    EXPECT_NEAR(fastest, 8.0, 1e-9);
  }
}

TEST_F(HatchesTest, TheMirroredFlierLeavesToTheRightAfterADownwardLaunch) {
  PlayerX = 600;
  PlayerY = 300;
  ASSERT_EQ(SpawnPool0Enemy(300, 100, 5, 256, -1, 0), 0);
  EnemyObject& o = EnemyPool0[0];
  Pass(UpdateHatchZakoMirror, 0);
  EXPECT_EQ(o.partsA[0].variant, 101);
  for (int f = 0; f < 200; ++f) Pass(UpdateHatchZakoMirror, 0);
  EXPECT_EQ(o.heading, 0);
  EXPECT_GT(o.vx, 3);
  EXPECT_GE(o.y, 300 - 3.2);
}

}  // namespace
