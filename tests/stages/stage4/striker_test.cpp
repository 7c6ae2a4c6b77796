// The striker run by the enemy pools alone on stage 4: refused in the stage's first 200 frames
// and when placed far outside, its volley by difficulty, and its death on terrain or inside a
// solid part.
#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/stages/stage4/stage4_test_owner.h"

namespace {

constexpr int16_t kStrikerType = 11;

void RunFrame() {
  UpdateEnemyPools();
  UpdateEnemyShots();
}

// Frames until the striker's slot is free, at most limit.
int FramesUntilGone(int16_t slot, int limit) {
  for (int i = 1; i <= limit; ++i) {
    RunFrame();
    if (EnemyPool1[slot].state == 0) return i;
  }
  return -1;
}

// The view box over the screen at world (0, 0), the ship at its left.
void PrepareStage4() {
  CurrentStage = 4;
  GameFrame = 300;
  CameraX = 0;
  ViewRight = 640;
  ViewTop = ViewTopTarget = 0;
  ViewBottom = ViewBottomTarget = 400;
  PlayerX = 100;
  PlayerY = 200;
}

TEST(Stage4Striker, IsRefusedBefore200AndWhenPlacedFarOutside) {
  FieldFixture field;
  PrepareStage4();
  GameFrame = 199;
  const int16_t early = SpawnPool1Enemy(600, 200, kStrikerType, 0, -1, 0);
  EnemyPool1[early].life = 12345;
  RunFrame();
  EXPECT_EQ(EnemyPool1[early].state, 0);
  EXPECT_EQ(EnemyPool1[early].life, 12345);  // no set-up

  GameFrame = 200;
  const int16_t far = SpawnPool1Enemy(640 + 241 - 20, 200, kStrikerType, 0, -1, 0);
  const int16_t near = SpawnPool1Enemy(640 + 239 - 20, 200, kStrikerType, 0, -1, 0);
  RunFrame();
  EXPECT_EQ(EnemyPool1[far].state, 0);
  EXPECT_EQ(EnemyPool1[near].state, 2);
  EXPECT_EQ(EnemyPool1[near].life, ScaleLifeByRank(24));
}

TEST(Stage4Striker, FiresTwoOrThreeShotsByDifficultyAndNoneOnEasy) {
  struct Case {
    int difficulty;
    size_t shots;
  };
  for (const Case& c : {Case{0, 0}, Case{1, 2}, Case{2, 3}, Case{3, 3}}) {
    SCOPED_TRACE(c.difficulty);
    FieldFixture field(c.difficulty);
    PrepareStage4();
    const int16_t slot = SpawnPool1Enemy(560, 200, kStrikerType, 0, -1, 0);
    std::vector<int> shots;
    for (int i = 0; i < 200 && EnemyPool1[slot].state != 0; ++i) {
      RunFrame();
      for (int s : LiveShots(1))
        if (std::find(shots.begin(), shots.end(), s) == shots.end()) shots.push_back(s);
    }
    EXPECT_EQ(shots.size(), c.shots);
  }
}

TEST(Stage4Striker, DiesOnTerrainAndInsideASolidPart) {
  FieldFixture field;
  PrepareStage4();
  // Braking toward the screen, it backs into nothing; a block on its way in ends it.
  MapWidth = 40;
  MapHeight = 20;
  CollisionLayer[5][14] = 1;  // x 560..600, y 200..240
  const int16_t onRock = SpawnPool1Enemy(620, 220, kStrikerType, 0, -1, 0);
  const int16_t clear = SpawnPool1Enemy(620, 100, kStrikerType, 0, -1, 0);
  EXPECT_GT(FramesUntilGone(onRock, 20), 0);
  EXPECT_EQ(EnemyPool1[clear].state, 2);
  CollisionLayer[5][14] = 0;

  // A solid box part of a pool-1 object in its way.
  Stage4TestOwner test(560, 300, 0);
  test.owner().solid = 1;
  RunFrame();
  SetSolidPartBox(test.owner().partsB, 0, 30, 30);
  const int16_t intoPart = SpawnPool1Enemy(620, 300, kStrikerType, 0, -1, 0);
  int frames = -1;
  for (int i = 1; i <= 20 && frames < 0; ++i) {
    SolidPartTimer = kSolidPresenceFrames;
    RunFrame();
    if (EnemyPool1[intoPart].state == 0) frames = i;
  }
  EXPECT_GT(frames, 0);
  EXPECT_GE(EnemyPool1[intoPart].x, 560 - 31);
  EXPECT_EQ(EnemyPool1[clear].state, 2);
}

}  // namespace
