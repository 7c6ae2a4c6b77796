// The hatch flier on a small stage-4 map whose view stands still: it flies out, brakes after 16 px
// of climb or dive, turns to the player while stopped and fires only then and only after 32
// frames on screen, then leaves faster and faster.
#include <gtest/gtest.h>

#include <vector>

#include "stg_src/field/enemies/enemy_pools.h"
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

constexpr int kHatchFlierType = 12;  // pool 1

TEST(Stage4HatchFlier, FiresOnlyWhileStoppedAndAfter32FramesOnScreen) {
  FieldFixture field;
  field.WriteStageMaps(4, PlainBackgroundDescription(), kStillMap);
  ASSERT_EQ(field.StartStage(4), 1);
  field.digestFrames = false;
  field.SetShipImmune(true);
  field.Run(81);
  field.PinShip(ScreenToWorldX(100), ScreenToWorldY(240));
  for (const int16_t angle : {768, 256}) {
    SCOPED_TRACE(angle);
    const int16_t s =
        SpawnPool1Enemy(ScreenToWorldX(450), ScreenToWorldY(240), kHatchFlierType, angle, -1, 0);
    ASSERT_GE(s, 0);
    EnemyObject& o = EnemyPool1[s];
    std::vector<int> shotCounts;  // the step count on each frame with a shot
    int leftAt = -1;
    for (int i = 0; i < 160 && o.state != 0; ++i) {
      ClearEnemyShots();
      field.Step();
      if (CountEnemyShotsOfType(0) > 0) {
        shotCounts.push_back(o.intWork0);
        EXPECT_GT(o.phase, 32);
        EXPECT_EQ(o.speed, 0);
      }
      if (leftAt < 0 && o.intWork0 > 64) leftAt = i;
    }
    ASSERT_FALSE(shotCounts.empty());
    for (int count : shotCounts) {
      EXPECT_GE(count, 1);
      EXPECT_LE(count, 40);  // counted after the shot on the stopped frame
    }
    EXPECT_GE(leftAt, 0);
    EXPECT_EQ(o.partsA[0].variant, angle <= 512 ? 101 : 100);
    o.state = 0;
  }
}

}  // namespace
