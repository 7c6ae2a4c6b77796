// The gunboat's dives, shot and damaged frame, and the turret mount's pair, picture frame and
// indestructible body, on a small stage-4 map whose view stands still.
#include <gtest/gtest.h>

#include <algorithm>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

namespace {

const char* const kStillMap = R"(size 60 15
layers 5
rect 2 0 0 60 3 1
rect 2 0 12 60 3 1
cell 2 5 7 16
)";

constexpr int kGunboatType = 12;
constexpr int kMountType = 15;

class GunboatAndMountTest : public testing::Test {
 protected:
  void SetUp() override {
    field.WriteStageMaps(4, PlainBackgroundDescription(), kStillMap);
    ASSERT_EQ(field.StartStage(4), 1);
    field.digestFrames = false;
    field.SetShipImmune(true);
    field.Run(81);
  }

  FieldFixture field;
};

TEST_F(GunboatAndMountTest, TheGunboatDivesFiresLeftAndStopsDivingOnceDamaged) {
  const int16_t s =
      SpawnPool0Enemy(ScreenToWorldX(500), ScreenToWorldY(240), kGunboatType, 0, -1, 0);
  ASSERT_GE(s, 0);
  EnemyObject& o = EnemyPool0[s];
  field.Step();
  const double home = o.y;
  EXPECT_EQ(o.life, ScaleLifeByRank(450));
  // One dive: 40 px up (variant 0), a type-3 shot at its 40th count, and back home.
  double lowest = home;
  int fired = 0;
  for (int i = 0; i < ComputeFireIntervalFlat(130, o.rank) + 10; ++i) {
    ClearEnemyShots();
    field.Step();
    lowest = std::min(lowest, o.y);
    if (o.intWork0 == 40) {
      fired += CountEnemyShotsOfType(3);
      for (const EnemyShot* shot : EnemyShotsOfType(3)) EXPECT_EQ(shot->motionAngle, 512);
    }
  }
  EXPECT_EQ(lowest, home - 40);
  EXPECT_EQ(fired, 1);

  // Damaged below 3/8 of its life: frame 1 once; no dive after.
  const int32_t threshold = o.maxLife * 3 / 8;
  ASSERT_TRUE(field.DamageEnemy({0, s, kTestBody, 0}, o.life - threshold));
  field.Step();
  EXPECT_EQ(o.imageFrame, 0);  // at 3/8 exactly: not yet
  ASSERT_TRUE(field.DamageEnemy({0, s, kTestBody, 0}, 1));
  field.Step();
  EXPECT_EQ(o.imageFrame, 1);
  field.Run(3 * ComputeFireIntervalFlat(130, o.rank));
  EXPECT_EQ(o.intWork0, 0);
  EXPECT_EQ(o.y, home);
}

TEST_F(GunboatAndMountTest, TheMountCarriesItsPairByVariantAndCannotBeDestroyed) {
  struct Case {
    int16_t variant;
    int32_t partType;
    int32_t imageFrame;
  };
  for (const Case c :
       {Case{1, 7, 0}, Case{2, 8, 1}, Case{-1, 8, -2}, Case{3, 8, 2}, Case{62, 8, 61}}) {
    SCOPED_TRACE(c.variant);
    const int16_t s =
        SpawnPool0Enemy(ScreenToWorldX(400), ScreenToWorldY(240), kMountType, 0, -1, 0);
    ASSERT_GE(s, 0);
    EnemyObject& o = EnemyPool0[s];
    o.variant = c.variant;
    field.Step();
    EXPECT_EQ(o.imageFrame, c.imageFrame);
    EXPECT_EQ(o.partCountA, 2);
    EXPECT_EQ(o.partsA[0].partType, c.partType);
    EXPECT_EQ(o.partsA[1].partType, c.partType);
    EXPECT_EQ(o.partsA[0].parentPart, 1);
    EXPECT_EQ(o.life, -1);
    field.DamageEnemy({0, s, kTestBody, 0}, 100000);
    field.Run(3);
    EXPECT_EQ(o.state, 2);
    o.state = 0;
  }
}

}  // namespace
