// The pool-0 enemies every stage shares: the turrets' aim limits, turning ties, image frames and
// firing rules (their shots silent), and the item box's animation, drop and kill score. Handlers
// run one pass at a time as the pool runs them (frame counted first).
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/common_enemies.h"
#include "stg_src/field/play_field.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

using Handler = void (*)(int16_t);

class Pool0EnemiesTest : public testing::Test {
 protected:
  FieldFixture field;

  // A fresh object of type in slot at (x, y), as the map spawner leaves it.
  EnemyObject& Spawn(int slot, int32_t type, double x, double y, int16_t variant = 0) {
    InitEnemyObject(EnemyPool0, slot, type, variant);
    EnemyPool0[slot].x = x;
    EnemyPool0[slot].y = y;
    return EnemyPool0[slot];
  }

  // One pass of the pool over slot: frame first, then the behaviour.
  static void Pass(Handler handler, int slot) {
    EnemyPool0[slot].frame += 1;
    handler(static_cast<int16_t>(slot));
  }
};

std::vector<int> LiveShotSlots() {
  std::vector<int> slots;
  for (int i = 0; i < kEnemyShotSlots; ++i) {
    if (EnemyShots[i].state != 0) slots.push_back(i);
  }
  return slots;
}

TEST_F(Pool0EnemiesTest, TurretsSetUpOnTheirFirstPassAndSeeFrameOneNext) {
  ClearAllObjects();
  PowerRank = 0;
  EnemyObject& floor = Spawn(0, 0, 300, 200);
  EnemyObject& ceiling = Spawn(1, 1, 300, 200);
  Pass(UpdateFloorTurret, 0);
  Pass(UpdateCeilingTurret, 1);
  EXPECT_EQ(floor.state, 2);
  EXPECT_EQ(floor.heading, 640);
  EXPECT_EQ(floor.angle, 0);
  EXPECT_DOUBLE_EQ(floor.y, 201);
  EXPECT_EQ(ceiling.heading, 384);
  EXPECT_EQ(ceiling.angle, 512);
  EXPECT_DOUBLE_EQ(ceiling.y, 199);
  for (const EnemyObject* o : {&floor, &ceiling}) {
    EXPECT_EQ(o->life, 12);
    EXPECT_EQ(o->maxLife, 12);
    EXPECT_EQ(o->scoreBase, 12);
    EXPECT_EQ(o->hitCircles.size[0], 9);
    EXPECT_EQ(o->hitCircles.dy[0], 4);
    EXPECT_EQ(o->hitCircles.size[1], 0);
    EXPECT_EQ(o->despawnMarginX, 40);
    EXPECT_EQ(o->cullMarginY, 20);
    EXPECT_EQ(o->frame, 0);
  }
  Pass(UpdateFloorTurret, 0);
  EXPECT_EQ(floor.frame, 1);
  EXPECT_EQ(floor.phase, 1);
}

TEST_F(Pool0EnemiesTest, TurretsHoldTheirHorizonAndSettleOnTheImageFrameOfTheirAim) {
  struct Row {
    int32_t type;
    double playerX, playerY;
    int16_t heading;
    int32_t imageFrame;
  } rows[] = {
      // The floor turret: a player below its horizon is aimed at along the floor.
      {0, 500, 300, 0, 14},
      {0, 100, 300, 512, 0},
      {0, 300, 400, 0, 14},  // straight below the aim is 255: held at 0
      {0, 500, 200, 0, 14},
      {0, 300, 0, -1, 7},  // straight up, as near 768 as the aim gets
      // The ceiling turret, mirrored.
      {1, 500, 100, 0, 0},
      {1, 100, 100, 512, 14},
      {1, 500, 200, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.type << " " << r.playerX << "," << r.playerY);
    ClearAllObjects();
    const Handler h = r.type == 0 ? UpdateFloorTurret : UpdateCeilingTurret;
    EnemyObject& o = Spawn(0, r.type, 300, 200);
    Pass(h, 0);
    o.y = 200;
    PlayerX = r.playerX;
    PlayerY = r.playerY;
    for (int i = 0; i < 80; ++i) Pass(h, 0);
    const int heading = r.heading >= 0 ? r.heading : AimAngle(300, 200, r.playerX, r.playerY);
    EXPECT_EQ(o.heading, WrapAngle(heading));
    EXPECT_EQ(o.imageFrame, r.imageFrame);
  }
}

TEST_F(Pool0EnemiesTest, TurretsBreakAHalfTurnTieAwayFromTheirMount) {
  // The floor turret turns from 512 to 0 through 768 (up), never through the floor.
  ClearAllObjects();
  EnemyObject& floor = Spawn(0, 0, 300, 200);
  Pass(UpdateFloorTurret, 0);
  floor.heading = 512;
  PlayerX = 500;
  PlayerY = 300;
  Pass(UpdateFloorTurret, 0);
  EXPECT_EQ(floor.heading, 520);
  // The ceiling turret turns from 0 to 512 through 256 (down).
  EnemyObject& ceiling = Spawn(1, 1, 300, 200);
  Pass(UpdateCeilingTurret, 1);
  ceiling.heading = 0;
  PlayerX = 100;
  PlayerY = 100;
  Pass(UpdateCeilingTurret, 1);
  EXPECT_EQ(ceiling.heading, 8);
}

TEST_F(Pool0EnemiesTest, TurretsFireOnlyOnTheirSideBelowTheFastScrollAndNotOnEarlyEasy) {
  struct Row {
    int32_t type;
    int16_t difficulty, timeRank;
    double scroll;
    double playerY;
    bool fires;
  } rows[] = {
      {0, 1, 0, 0, 150, true},    {0, 1, 0, 0, 239, true},      {0, 1, 0, 0, 240, false},
      {0, 1, 0, 4.39, 150, true}, {0, 1, 0, 4.4, 150, false},   {0, 0, 133, 0, 150, false},
      {0, 0, 134, 0, 150, true},  {1, 1, 0, 0, 250, true},      {1, 1, 0, 0, 161, true},
      {1, 1, 0, 0, 160, false},   {1, 3, 200, 4.4, 250, false}, {1, 0, 100, 0, 250, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.type << " d" << r.difficulty << " rank " << r.timeRank
                                    << " scroll " << r.scroll << " y " << r.playerY);
    ClearAllObjects();
    field.TakeSoundRequests();
    Difficulty = r.difficulty;
    TimeRank = r.timeRank;
    ScrollSpeed = r.scroll;
    const Handler h = r.type == 0 ? UpdateFloorTurret : UpdateCeilingTurret;
    EnemyObject& o = Spawn(0, r.type, 300, 200);
    Pass(h, 0);
    o.y = 200;
    PlayerX = 300 - 200;
    PlayerY = r.playerY;
    const int16_t every = ComputeFireInterval(40, o.rank);
    const int16_t at = ComputeFireInterval(20, o.rank);
    int firstShotFrame = -1;
    for (int i = 0; i < 33 + 2 * every && firstShotFrame < 0; ++i) {
      Pass(h, 0);
      if (!LiveShotSlots().empty()) firstShotFrame = o.frame;
    }
    if (!r.fires) {
      EXPECT_EQ(firstShotFrame, -1);
      continue;
    }
    // The first frame past 32 on screen whose remainder matches.
    int expected = 33;
    while (expected % every != at) ++expected;
    EXPECT_EQ(firstShotFrame, expected);
    const EnemyShot& s = EnemyShots[LiveShotSlots()[0]];
    EXPECT_EQ(s.type, 1);
    EXPECT_DOUBLE_EQ(s.speed, ScaleShotSpeed(3.6));
    // From the muzzle, 16 px along the heading of that frame.
    EXPECT_DOUBLE_EQ(s.x, RotateOffsetX(o.x, 16, 0, o.heading));
    EXPECT_DOUBLE_EQ(s.y, RotateOffsetY(o.y, 16, 0, o.heading));
    // Neither the turret nor its small shot's set-up asks for a sound.
    UpdateEnemyShots();
    EXPECT_EQ(s.state, 2);
    EXPECT_TRUE(field.TakeSoundRequests().empty());
  }
}

TEST_F(Pool0EnemiesTest, ATurretFiresOnlyAfterThirtyTwoFramesOnScreen) {
  ClearAllObjects();
  Difficulty = 3;
  TimeRank = 200;
  EnemyObject& o = Spawn(0, 0, 300, 200);
  Pass(UpdateFloorTurret, 0);
  PlayerX = 100;
  PlayerY = 150;
  o.x = 800;  // off the screen widened by 40
  for (int i = 0; i < 100; ++i) Pass(UpdateFloorTurret, 0);
  EXPECT_EQ(o.phase, 0);
  EXPECT_TRUE(LiveShotSlots().empty());
  o.x = 600;
  for (int i = 0; i < 32; ++i) Pass(UpdateFloorTurret, 0);
  EXPECT_EQ(o.phase, 32);
  EXPECT_TRUE(LiveShotSlots().empty());
}

TEST_F(Pool0EnemiesTest, TurretDeathExplodesAndFreesTheSlot) {
  ClearAllObjects();
  EnemyObject& o = Spawn(0, 0, 300, 200);
  Pass(UpdateFloorTurret, 0);
  o.state = 3;
  Pass(UpdateFloorTurret, 0);
  EXPECT_EQ(o.state, 0);
  int effects = 0;
  for (const Effect& e : Effects) effects += e.state != 0 ? 1 : 0;
  EXPECT_GT(effects, 0);
}

TEST_F(Pool0EnemiesTest, ItemBoxAnimatesAndDropsTheKindOfItsVariant) {
  struct Row {
    int16_t variant;
    int32_t kind;  // -1 none
  } rows[] = {{33, 0}, {35, 2}, {39, 6}, {40, 0}, {32, -1}, {0, -1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.variant);
    ClearAllObjects();
    EnemyObject& o = Spawn(0, 8, 300, 200, r.variant);
    Pass(UpdateItemBox, 0);
    EXPECT_EQ(o.state, 2);
    EXPECT_EQ(o.hitCircles.size[0], 12);
    std::vector<int32_t> frames;
    for (int i = 0; i < 37; ++i) {
      Pass(UpdateItemBox, 0);
      frames.push_back(o.imageFrame);
    }
    // Frames 1..37: six each of 0..5, then 0 again from frame 36.
    EXPECT_EQ(frames[4], 0);
    EXPECT_EQ(frames[5], 1);
    EXPECT_EQ(frames[34], 5);
    EXPECT_EQ(frames[35], 0);
    EXPECT_DOUBLE_EQ(o.x, 300);
    o.state = 3;
    Pass(UpdateItemBox, 0);
    EXPECT_EQ(o.state, 0);
    std::vector<int32_t> kinds;
    for (const Item& item : Items) {
      if (item.state != 0) kinds.push_back(item.kind);
    }
    if (r.kind < 0) {
      EXPECT_TRUE(kinds.empty());
    } else {
      EXPECT_EQ(kinds, std::vector<int32_t>{r.kind});
    }
  }
}

TEST_F(Pool0EnemiesTest, KillScoresFollowTheStartingLife) {
  struct Row {
    int32_t type;
    Handler handler;
    int16_t difficulty;
    int32_t score;
  } rows[] = {
      {0, UpdateFloorTurret, 0, 30},  // 2 x 12 counts as 30
      {0, UpdateFloorTurret, 3, 120},
      {8, UpdateItemBox, 1, 64},  // 2 x 16, twice on normal
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    ClearAllObjects();
    Difficulty = r.difficulty;
    PowerRank = 0;
    Spawn(0, r.type, 300, 200, 35);
    Pass(r.handler, 0);
    const int32_t before = Score;
    ASSERT_TRUE(field.DamageEnemy({0, 0}, 1000));
    EXPECT_EQ(Score - before, r.score);
  }
}

TEST_F(Pool0EnemiesTest, SpawnersReleaseSixFliersOrSixPairsAndRideWithTheScreen) {
  struct Row {
    int32_t type;
    Handler handler;
    int spacing;
    int perWave;
  } rows[] = {{6, UpdateZakoSpawner, 16, 1}, {7, UpdateZakoPairSpawner, 10, 2}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.type);
    ClearAllObjects();
    ScrollDeltaX = 1.5;
    ScrollDeltaY = 0;
    EnemyObject& o = Spawn(5, r.type, 300, 200);
    Pass(r.handler, 5);
    EXPECT_EQ(o.state, 2);
    EXPECT_EQ(o.life, -1);
    EXPECT_EQ(o.imageFrame, -1);
    EXPECT_EQ(o.hitMode, 0);
    EXPECT_DOUBLE_EQ(o.x, 320);
    std::vector<int> spawnFrames;
    int frame = 0;
    while (o.state != 0 && frame < 200) {
      int before = 0;
      for (const EnemyObject& f : EnemyPool1) before += f.state != 0 ? 1 : 0;
      Pass(r.handler, 5);
      ++frame;
      int after = 0;
      for (const EnemyObject& f : EnemyPool1) after += f.state != 0 ? 1 : 0;
      if (after != before) {
        EXPECT_EQ(after - before, r.perWave);
        spawnFrames.push_back(frame);
      }
    }
    std::vector<int> expected;
    for (int k = 1; k <= 6; ++k) expected.push_back(k * r.spacing);
    EXPECT_EQ(spawnFrames, expected);
    EXPECT_EQ(o.state, 0);
    // Lowest free slots, at the spawner's place of that frame, fliers of type 4 (angle 0) or
    // pairs of type 5 with the vertical directions -3 and +3.
    EXPECT_EQ(EnemyPool1[0].type, r.type == 6 ? 4 : 5);
    EXPECT_DOUBLE_EQ(EnemyPool1[0].x, 320 + 1.5 * (r.spacing - 1));
    if (r.type == 7) {
      EXPECT_EQ(EnemyPool1[0].angle, -3);
      EXPECT_EQ(EnemyPool1[1].angle, 3);
    } else {
      EXPECT_EQ(EnemyPool1[0].angle, 0);
    }
    EXPECT_EQ(EnemyPool1[6 * r.perWave].state, 0);
  }
}

TEST_F(Pool0EnemiesTest, ThePairSpawnerFinishesItsWaveAfterAStageClear) {
  ClearAllObjects();
  EnemyObject& o = Spawn(5, 7, 300, 200);
  Pass(UpdateZakoPairSpawner, 5);
  o.state = 3;
  for (int i = 0; i < 60; ++i) Pass(UpdateZakoPairSpawner, 5);
  EXPECT_EQ(o.state, 0);
  EXPECT_EQ(EnemyPool1[11].state, 1);
  // The single spawner ends at once.
  EnemyObject& single = Spawn(6, 6, 300, 200);
  Pass(UpdateZakoSpawner, 6);
  single.state = 3;
  Pass(UpdateZakoSpawner, 6);
  EXPECT_EQ(single.state, 0);
  EXPECT_EQ(EnemyPool1[12].state, 0);
}

std::vector<const EnemyObject*> LivePool1(int32_t type) {
  std::vector<const EnemyObject*> live;
  for (const EnemyObject& o : EnemyPool1) {
    if (o.state != 0 && o.type == type) live.push_back(&o);
  }
  return live;
}

TEST_F(Pool0EnemiesTest, TheItemCarrierBringsSixEscortsInFormationUnlessLateOnStageFive) {
  struct Row {
    int16_t stage;
    double x;  // before the set-up's 60
    bool escorts;
  } rows[] = {{1, 600, true}, {1, 400, false}, {5, 22339, true}, {5, 22340, false}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "stage " << r.stage << " x " << r.x);
    ClearAllObjects();
    CurrentStage = r.stage;
    DrawOffsetX = 640 - r.x;  // the spawn point 640 px from the left edge
    PlayerY = 300;
    EnemyObject& o = Spawn(0, 9, r.x, 200);
    if (r.x == 400) DrawOffsetX = 0;  // 460 on screen after the set-up's 60: no escorts
    Pass(UpdateItemCarrier, 0);
    EXPECT_DOUBLE_EQ(o.x, r.x + 80);
    EXPECT_EQ(o.intWork0, 2);  // above the player: down first
    const std::vector<const EnemyObject*> escorts = LivePool1(6);
    if (!r.escorts) {
      EXPECT_TRUE(escorts.empty());
      continue;
    }
    ASSERT_EQ(escorts.size(), 6u);
    const double at[6][2] = {{-40, -20}, {-40, 20}, {0, -60}, {0, 60}, {40, -20}, {40, 20}};
    for (int k = 0; k < 6; ++k) {
      EXPECT_DOUBLE_EQ(escorts[k]->x, r.x + 60 + at[k][0]);
      EXPECT_DOUBLE_EQ(escorts[k]->y, 200 + at[k][1]);
      EXPECT_EQ(escorts[k]->angle, 2);
    }
  }
}

TEST_F(Pool0EnemiesTest, TheItemCarrierWeavesEverySixtyFramesAndRunsFasterOnStageFour) {
  for (int16_t stage : {1, 4}) {
    SCOPED_TRACE(stage);
    ClearAllObjects();
    CurrentStage = stage;
    DrawOffsetX = 0;
    PlayerY = 100;  // below the carrier: up first
    EnemyObject& o = Spawn(0, 9, 300, 200);
    Pass(UpdateItemCarrier, 0);
    EXPECT_EQ(o.intWork0, -2);
    EXPECT_DOUBLE_EQ(o.vy, -2);
    const double x0 = o.x;
    const double y0 = o.y;
    double lowest = y0;
    std::vector<int> turns;  // frames where the vertical speed reaches its bound
    std::vector<int32_t> images;
    for (int f = 1; f <= 62; ++f) {
      Pass(UpdateItemCarrier, 0);
      lowest = std::min(lowest, o.y);
      images.push_back(o.imageFrame);
      ASSERT_LE(std::abs(o.vy), 2);
      if (std::abs(o.vy) == 2) turns.push_back(f);
    }
    EXPECT_DOUBLE_EQ(o.x, x0 - 62 * (stage == 4 ? 3 : 1));
    // Up, easing to a stop after 15 frames, down at full speed by frame 30, up again by 60.
    EXPECT_DOUBLE_EQ(lowest, y0 - 14);
    ASSERT_FALSE(turns.empty());
    EXPECT_GE(turns.front(), 30);
    EXPECT_LE(turns.front(), 31);
    EXPECT_GE(turns.back(), 60);
    // Drawn backward for a carrier heading up: frames 1 and 2 show 5, frame 3 shows 4.
    EXPECT_EQ(images[0], 5);
    EXPECT_EQ(images[2], 4);
    EXPECT_EQ(images[16], 0);
    EXPECT_EQ(images[17], 5);
  }
}

TEST_F(Pool0EnemiesTest, TheItemCarrierBreaksOnTerrainAndDropsItsItem) {
  ClearAllObjects();
  CurrentStage = 1;
  DrawOffsetX = 0;
  PlayerY = 210;
  PutBlock(7, 5);  // x 280..320, y 200..240
  EnemyObject& o = Spawn(0, 9, 262, 220, 35);
  Pass(UpdateItemCarrier, 0);
  ASSERT_DOUBLE_EQ(o.x, 342);
  o.x = 322;  // just right of the block, moving into it
  int passes = 0;
  while (o.state == 2 && passes < 10) {
    Pass(UpdateItemCarrier, 0);
    ++passes;
  }
  EXPECT_EQ(o.state, 3);
  EXPECT_LE(passes, 3);
  Pass(UpdateItemCarrier, 0);
  EXPECT_EQ(o.state, 0);
  int kind2 = 0;
  for (const Item& item : Items) kind2 += item.state != 0 && item.kind == 2 ? 1 : 0;
  EXPECT_EQ(kind2, 1);
}

}  // namespace
