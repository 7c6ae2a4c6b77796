// The ship's death in play: flown into a wall of the test stage it explodes, respawns at its
// checkpoint once the death count has run, and with no life left the game-over scene follows;
// the collision pass runs inside the pool pass and the enemy shots' pass, and the fixture
// reports both shot pools.
#include <gtest/gtest.h>

#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/enemies/handler_recorder.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"
#include "tools/lib/test_stage_maps.h"

namespace {

class ShipDeathTest : public testing::Test {
 protected:
  void SetUp() override {
    field.digestFrames = false;
    WriteTestStageMaps(field.folder().path(), {2});
    ASSERT_EQ(field.StartStage(2), 1);
    field.Run(81);  // the opening count
  }

  // DOWN held until the ship dies (the rock below the first stretch); the frames it took.
  int DiveIntoTheFloor() {
    for (int frame = 1; frame <= 300; ++frame) {
      field.Step(HeldRole(kButtonDown));
      if (DeathTimer != 0) return frame;
    }
    return -1;
  }

  FieldFixture field;
};

TEST_F(ShipDeathTest, TheShipDiesOnAWallAndRespawnsAtItsCheckpoint) {
  ASSERT_GT(DiveIntoTheFloor(), 0);
  EXPECT_EQ(Lives, 2);
  EXPECT_GE(PlayerY, 17 * 40 - 1.0);  // on the rock's edge
  const double deathX = PlayerX;
  // The ship stays where it died, whatever is held, while the count runs (2 after the death
  // frame, up to 80); the 81st count puts it back.
  int frames = 0;
  while (DeathTimer != 0) {
    const FieldFrameReport r = field.Step(HeldRole(kButtonUp));
    ++frames;
    ASSERT_LT(frames, 200);
    if (DeathTimer != 0) { EXPECT_EQ(PlayerX, deathX) << frames; }
    EXPECT_EQ(r.scene, kScenePlay);
  }
  EXPECT_EQ(frames, 79);
  EXPECT_EQ(GameFrame, -80);
  EXPECT_EQ(PlayerX, CheckpointX[CheckpointIndex]);
  EXPECT_EQ(PlayerY, CheckpointY[CheckpointIndex]);
  EXPECT_EQ(CurrentScene, kScenePlay);
}

TEST_F(ShipDeathTest, WithNoLifeLeftTheGameOverSceneFollows) {
  Lives = 1;
  ASSERT_GT(DiveIntoTheFloor(), 0);
  EXPECT_EQ(Lives, 0);
  int frames = 0;
  while (CurrentScene == kScenePlay) {
    field.Step();
    ASSERT_LT(++frames, 200);
  }
  // The frame that finds the count at 80 enters the game over; the field keeps running under
  // it from frame 0.
  EXPECT_EQ(CurrentScene, kSceneGameOver);
  EXPECT_EQ(frames, 79);
  EXPECT_EQ(GameFrame, 0);
}

TEST_F(ShipDeathTest, AnImmuneShipFliesIntoTheWallAndLives) {
  field.SetShipImmune(true);
  EXPECT_EQ(DiveIntoTheFloor(), -1);
  EXPECT_EQ(Lives, 3);
  EXPECT_EQ(PlayerY, ViewBottom - 20);
}

TEST_F(ShipDeathTest, ThePoolPassAndTheShotPassRunTheCollisions) {
  // A player shot sitting on an enemy of pool 1, and an enemy shot heading for the ship.
  ScopedEntry<EnemyObjectHandler> still{EnemyPool1Handlers[4], UpdateNothing};
  const double ex = CameraX + 500, ey = PlayerY;
  EnemyObject& o = PutEnemy(EnemyPool1, 7, ex, ey, 10, 100);
  o.type = 4;
  o.despawnMarginX = o.despawnMarginY = 100;
  PutPlayerShot(20, ex, ey, 4, 30);
  ASSERT_EQ(SpawnEnemyShot(1, 512, 1, PlayerX + 40, PlayerY, 1), 0);
  const FieldFrameReport first = field.Step();
  EXPECT_EQ(EnemyPool1[7].life, 70);
  EXPECT_EQ(first.liveEnemyShots, 1);
  EXPECT_EQ(first.livePlayerShots, 1);
  int frames = 0;
  while (DeathTimer == 0 && frames < 60) {
    field.Step();
    ++frames;
  }
  EXPECT_EQ(DeathTimer, 2);  // killed in the shots' pass, counted at the frame's end
  EXPECT_EQ(Lives, 2);
  EXPECT_EQ(EnemyShots[0].state, 3);
}

}  // namespace
