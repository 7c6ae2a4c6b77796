// Stage 6's robo on a small map with a floor: its set-up and scroll hold, its one step at a time
// with the hips' pauses, each beam flipping its timing, the hatches launching the shells with
// their own speeds, its one damageable circle, and the time-out that closes it and lets it
// collapse without score while the landing still resumes the scroll.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"

namespace {

constexpr int16_t kRobo = 11;
constexpr int kFloorRow = 11;
constexpr double kFloorY = kFloorRow * 40;

// 120 x 12 cells with a floor along row 11, the ship pinned at the left.
struct RoboField {
  FieldFixture field;
  int16_t slot = -1;
  int32_t setUpLife = 0;

  explicit RoboField(int difficulty = 1) : field(difficulty) {
    field.digestFrames = false;
    field.WriteStageMaps(6, PlainBackgroundDescription(),
                         FieldMapDescription(120, 12, 5, "rect 2 0 11 120 1 1\n"));
    EXPECT_EQ(field.StartStage(6), 1);
    field.SetShipImmune(true);
    field.PinShip(ScreenToWorldX(60), ScreenToWorldY(150));
    while (field.Step().gameFrame < 0) {}  // the stage's opening frames run no enemies
    setUpLife = ScaleLifeByRank(3900);
    slot = SpawnPool0Enemy(ScreenToWorldX(300), kFloorY - 300, kRobo, 0, -1, 0);
    field.Step();
  }
  EnemyObject& robo() { return EnemyPool0[slot]; }
};

TEST(Stage6Robo, SetsUpOnTheGroundWithOneDamageableCircleAndHoldsTheScroll) {
  RoboField f;
  EnemyObject& o = f.robo();
  ASSERT_EQ(o.state, 2);
  EXPECT_EQ(o.x, ScreenToWorldX(460) - ScrollDeltaX);
  EXPECT_EQ(o.y, kFloorY - 159);
  EXPECT_EQ(o.maxLife, f.setUpLife);
  EXPECT_EQ(o.partCountA, 4);
  EXPECT_EQ(o.partCountB, 9);
  // The far legs carry no circles; the head and near legs take no damage; only the body does.
  for (int j = 0; j < 4; ++j) {
    for (int16_t size : o.partsA[j].hitCircles.size) EXPECT_EQ(size, 0) << j;
  }
  const int32_t life = o.life;
  struct Target {
    TestDamagePartArray array;
    int16_t part;
    bool damaged;
  };
  for (const Target& t : {Target{kTestPartsB, 0, false}, Target{kTestPartsB, 2, false},
                          Target{kTestPartsB, 3, false}, Target{kTestBody, 0, true}}) {
    const int32_t before = o.life;
    f.field.DamageEnemy({0, f.slot, t.array, t.part}, 10);
    EXPECT_EQ(o.life < before, t.damaged) << t.array << " " << t.part;
  }
  EXPECT_EQ(o.life, life - 10);
  // Written every frame over whatever the map asked for, while the edge is short of 2480.
  f.field.beforeFrame = [](int) { ScrollTargetSpeed = 3; };
  f.field.Step();
  EXPECT_EQ(ScrollTargetSpeed, 0.5);
  // The view moved on until its edge is at 2480, the robo with it: the scroll stops.
  const double shift = 2480 - 640 - CameraX;
  CameraX += shift;
  ViewRight += shift;
  o.x += shift;
  f.field.Step();
  EXPECT_EQ(ScrollTargetSpeed, 0);
}

// It walks one step at a time: every step ends in a 16-frame stand, and the next one's
// direction is chosen toward its target.
TEST(Stage6Robo, WalksOneStepAtATimeWithSixteenFramePauses) {
  RoboField f;
  EnemyObject& o = f.robo();
  std::vector<int> pauses;
  int run = 0;
  bool walked = false;
  for (int i = 0; i < 600; ++i) {
    f.field.Step();
    ASSERT_EQ(o.state, 2);
    if (o.speed == 0) {
      walked = true;  // the set-up's speed lasts until the first foot sets down
      ++run;
      continue;
    }
    if (!walked) continue;
    EXPECT_TRUE(o.speed == 1.6 || o.speed == -1.6) << o.speed;
    if (run > 0) pauses.push_back(run);
    run = 0;
  }
  ASSERT_GE(pauses.size(), 3u);
  for (int p : pauses) EXPECT_EQ(p, 16);
}

// Each beam flips phase, which sets the head bursts' and the gun's timing; the hatches open one
// after another and launch a shell each, whose work word carries the hatch's variant.
TEST(Stage6Robo, EachBeamFlipsPhaseAndTheHatchesLaunchTheirShells) {
  RoboField f;
  EnemyObject& o = f.robo();
  std::vector<int16_t> phases;
  std::vector<int32_t> shellWords;
  for (int i = 0; i < 2 * ComputeFireIntervalFlat(600, o.rank) + 60; ++i) {
    bool wasFree[kEnemyPool2Size];
    for (int s = 0; s < kEnemyPool2Size; ++s) wasFree[s] = EnemyPool2[s].state == 0;
    const int16_t before = o.phase;
    f.field.Step();
    ASSERT_EQ(o.state, 2);
    if (o.phase != before) {
      phases.push_back(o.phase);
      EXPECT_EQ(o.partsB[3].cue, 119);  // the beam started this frame
      EXPECT_EQ(o.frame % ComputeFireIntervalFlat(600, o.rank),
                ComputeFireIntervalFlat(250, o.rank));
    }
    for (int s = 0; s < kEnemyPool2Size; ++s) {
      if (wasFree[s] && EnemyPool2[s].state != 0 && EnemyPool2[s].type == 7) {
        shellWords.push_back(EnemyPool2[s].intWork0);
      }
    }
  }
  EXPECT_EQ(phases, (std::vector<int16_t>{1, 0}));
  ASSERT_GE(shellWords.size(), 3u);
  for (size_t k = 0; k < 3; ++k) EXPECT_EQ(shellWords[k], static_cast<int32_t>(k));
}

// Timed out, it closes over 200 frames, collapses without score and its landing resumes the
// scroll at 1; then it walks no more and leaves off the left edge.
TEST(Stage6Robo, TimesOutClosesAndCollapsesWithoutScoreAndResumesTheScroll) {
  RoboField f;
  EnemyObject& o = f.robo();
  o.frame = 3200;
  f.field.Step();
  EXPECT_EQ(o.life, -1);
  EXPECT_EQ(o.scoreBase, 0);
  const int32_t score = Score;
  int closing = 0;
  while (o.state == 2 && closing < 400) {
    f.field.Step();
    ++closing;
  }
  EXPECT_EQ(closing, 200);
  EXPECT_EQ(o.state, 3);
  EXPECT_EQ(o.imageFrame, 5);  // closed
  bool resumed = false;
  for (int i = 0; i < 300 && !resumed; ++i) {
    f.field.Step();
    resumed = ScrollTargetSpeed == 1;
  }
  EXPECT_TRUE(resumed);
  EXPECT_EQ(o.y, kFloorY + 16);
  EXPECT_EQ(Score, score);
}

}  // namespace

namespace {

// Shot down it scores its hit points, the gun and the hatches go, the head shows its closed
// frame, and it sinks until its centre is 16 px below the ground, where the scroll resumes.
TEST(Stage6Robo, ShotDownItScoresCollapsesOntoTheGroundAndResumesTheScroll) {
  RoboField f;
  EnemyObject& o = f.robo();
  for (int i = 0; i < 30; ++i) f.field.Step();
  const int32_t score = Score;
  ASSERT_TRUE(f.field.DamageEnemy({0, f.slot, kTestBody, 0}, o.life + 1));
  EXPECT_EQ(Score - score, EnemyKillScore(f.setUpLife));
  f.field.Step();
  f.field.Step();
  EXPECT_EQ(o.state, 4);
  EXPECT_EQ(o.imageFrame, 6);
  EXPECT_EQ(o.partsB[7].state, 0);  // the gun
  for (int k = 4; k <= 6; ++k) EXPECT_EQ(o.partsB[k].state, 0) << k;
  EXPECT_EQ(o.partsB[3].imageFrame, 1);
  int landed = -1;
  for (int i = 0; i < 400 && landed < 0; ++i) {
    f.field.Step();
    if (ScrollTargetSpeed == 1) landed = i;
  }
  ASSERT_GE(landed, 0);
  EXPECT_EQ(o.y, kFloorY + 16);
}

}  // namespace
