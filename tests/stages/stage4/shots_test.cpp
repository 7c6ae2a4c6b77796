// Stage 4's own shots run by the enemy-shot pass alone on stage 4: the bouncing shot between the
// wall lines, its harmless trail dots, the spinning shot's growth and shrink, the burst shot's
// split by screen half, and the pod shot's straight course in the world.
#include <cmath>

#include <gtest/gtest.h>

#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/stages/stage4/stage4_test_owner.h"

namespace {

class Stage4ShotsTest : public testing::Test {
 protected:
  void SetUp() override { CurrentStage = 4; }

  // Slots of the shots of type that are alive and were not in before.
  static std::vector<int> NewShots(int type, const std::vector<int>& before) {
    std::vector<int> fresh;
    for (int slot : LiveShots(type))
      if (std::find(before.begin(), before.end(), slot) == before.end()) fresh.push_back(slot);
    return fresh;
  }

  FieldFixture field;
};

TEST_F(Stage4ShotsTest, TheBouncingShotTurnsAtTheWallLinesOnceIn16FramesAndPassesTerrain) {
  StageWorkY[0] = 100;
  StageWorkY[1] = 300;
  MapWidth = 40;
  MapHeight = 20;
  CollisionLayer[6][7] = 1;  // x 280..320, y 240..280: on its way down
  const int16_t slot = SpawnEnemyShot(18, 128, 4, 220, 200, 1);
  const EnemyShot& s = EnemyShots[slot];
  std::vector<int> bounces;
  int trailDots = 0;
  for (int i = 1; i <= 120; ++i) {
    const std::vector<int> dots = LiveShots(19);
    const int16_t angle = s.motionAngle;
    UpdateEnemyShots();
    ASSERT_EQ(s.state, 2) << "frame " << i;
    trailDots += static_cast<int>(NewShots(19, dots).size());
    if (s.motionAngle != angle) bounces.push_back(i);
    EXPECT_EQ(s.drawAngle, 0);
  }
  ASSERT_GE(bounces.size(), 2u);
  for (size_t k = 1; k < bounces.size(); ++k) EXPECT_GE(bounces[k] - bounces[k - 1], 16);
  EXPECT_NEAR(trailDots, 60, 1);
  EXPECT_TRUE(field.TakeSoundRequests() == std::vector<int>{41});

  // Started below the lower line it zig-zags along it, turning every 16 frames.
  const int16_t low = SpawnEnemyShot(18, 128, 4, 220, 380, 1);
  bounces.clear();
  for (int i = 1; i <= 80; ++i) {
    const int16_t angle = EnemyShots[low].motionAngle;
    UpdateEnemyShots();
    if (EnemyShots[low].motionAngle != angle) bounces.push_back(i);
    EXPECT_GT(EnemyShots[low].y, 300);
  }
  const std::vector<int> expected = {1, 17, 33, 49, 65};
  EXPECT_EQ(bounces, expected);
}

TEST_F(Stage4ShotsTest, TrailDotsNeverHurtAndLeaveTheCancelRuleAboveFrame3) {
  PlayerX = 200;
  PlayerY = 200;
  const int16_t slot = SpawnEnemyShotHigh(19, 0, 0, 200, 200, 1);
  const EnemyShot& s = EnemyShots[slot];
  int frames = 0;
  while (s.state != 0 && frames < 40) {
    UpdateEnemyShots();
    frames += 1;
    if (s.state == 0) break;
    EXPECT_EQ(s.collides, 0);
    EXPECT_EQ(s.hitActive, s.anim > 3 ? 0 : 1);
  }
  EXPECT_EQ(frames, 12);
  EXPECT_EQ(DeathTimer, 0);
  // A dot spawned far off screen is dropped at once.
  const int16_t far = SpawnEnemyShotHigh(19, 0, 0, 900, 200, 0);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[far].state, 0);
}

TEST_F(Stage4ShotsTest, TheSpinningShotGrowsSpeedsUpAndShrinksAwayWhereItHit) {
  const int16_t slot = SpawnEnemyShot(20, 0, 3.2, 100, 200, 0);
  const EnemyShot& s = EnemyShots[slot];
  UpdateEnemyShots();
  EXPECT_EQ(s.hitSize[0], 4);
  EXPECT_EQ(s.x, 100);  // at rest on its first frame
  EXPECT_TRUE(field.TakeSoundRequests() == std::vector<int>{49});
  for (int i = 2; i <= 18; ++i) UpdateEnemyShots();
  EXPECT_EQ(s.hitSize[0], 30);
  EXPECT_LT(s.speed, 3.2);
  for (int i = 19; i <= 32; ++i) UpdateEnemyShots();
  EXPECT_DOUBLE_EQ(s.speed, 3.2);
  EXPECT_EQ(s.drawAngle, (32 * 32) % 1024);
  // Hit: it stays where it is and shrinks 5 a frame from full size.
  EnemyShots[slot].state = 3;
  const double x = s.x;
  int frames = 0;
  while (s.state != 0 && frames < 40) {
    UpdateEnemyShots();
    frames += 1;
    if (s.state != 0) { EXPECT_EQ(s.x, x); }
  }
  EXPECT_EQ(frames, 20);
  // Spawned more than 64 px off screen: gone without a sound.
  const int16_t off = SpawnEnemyShot(20, 0, 3.2, -80, 200, 0);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[off].state, 0);
  EXPECT_TRUE(field.TakeSoundRequests().empty());
}

TEST_F(Stage4ShotsTest, TheBurstShotSplitsOnceByScreenHalfAtTwoThirdsItsSpeed) {
  struct Case {
    double y;
    int angles[3];
  };
  for (const Case& c : {Case{100, {0, 128, 256}}, Case{300, {768, 896, 0}}}) {
    SCOPED_TRACE(c.y);
    const int16_t slot = SpawnEnemyShot(21, 0, 3, 300, c.y, 1);
    for (int i = 0; i < 5; ++i) UpdateEnemyShots();
    const double x = EnemyShots[slot].x;
    EnemyShots[slot].state = 3;  // hit by a charge shot, say
    const std::vector<int> before = LiveShots(22);
    UpdateEnemyShots();
    const std::vector<int> pieces = NewShots(22, before);
    ASSERT_EQ(pieces.size(), 3u);
    for (int k = 0; k < 3; ++k) {
      const EnemyShot& p = EnemyShots[pieces[k]];
      EXPECT_EQ(p.spawnAngle, c.angles[k]);
      EXPECT_DOUBLE_EQ(p.speed, 2);
      EXPECT_DOUBLE_EQ(p.spawnX, x - 3 + 4);  // its place before the last move, 4 px on
    }
    const std::vector<int> after = LiveShots(22);
    for (int i = 0; i < 5; ++i) UpdateEnemyShots();
    EXPECT_TRUE(NewShots(22, after).empty());
    for (int p : LiveShots(22)) EnemyShots[p].state = 0;
  }
  // Leaving the screen it is removed without bursting.
  const int16_t away = SpawnEnemyShot(21, 0, 8, 600, 100, 1);
  while (EnemyShots[away].state != 0) UpdateEnemyShots();
  EXPECT_TRUE(LiveShots(22).empty());
}

TEST_F(Stage4ShotsTest, ThePodShotKeepsAStraightWorldCourseWhileTheViewScrolls) {
  const int16_t slot = SpawnEnemyShot(17, 256, 2, 300, 100, 1);
  const EnemyShot& s = EnemyShots[slot];
  UpdateEnemyShots();
  const double x = s.x, y = s.y;
  ScrollDeltaX = 3;
  ScrollDeltaY = 1;
  for (int i = 0; i < 10; ++i) UpdateEnemyShots();
  EXPECT_NEAR(s.x, x, 1e-9);
  EXPECT_NEAR(s.y, y + 20, 1e-9);
  EXPECT_EQ(s.drawAngle, 0);
}

}  // namespace
