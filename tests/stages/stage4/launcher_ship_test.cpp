// The launcher ship on a small stage-4 map whose view stands still: a copy placed from the
// leading edge is dropped on its first frame; one placed otherwise comes in from the left edge
// and opens its four launchers in turn at screen x 240, 270, 300 and 330, two hatch fliers each.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/screen_tests.h"
#include "tests/game_support/field_fixture.h"

namespace {

const char* const kStillMap = R"(size 60 15
layers 5
rect 2 0 0 60 3 1
rect 2 0 12 60 3 1
cell 2 5 7 16
)";

constexpr int kLauncherShipType = 13;  // pool 0
constexpr int kHatchFlierType = 12;    // pool 1

int CountHatchFliers() {
  int n = 0;
  for (const EnemyObject& o : EnemyPool1)
    if (o.state != 0 && o.type == kHatchFlierType) ++n;
  return n;
}

class LauncherShipTest : public testing::Test {
 protected:
  void SetUp() override {
    field.WriteStageMaps(4, PlainBackgroundDescription(), kStillMap);
    ASSERT_EQ(field.StartStage(4), 1);
    field.digestFrames = false;
    field.SetShipImmune(true);
    field.Run(81);
    // Out of the ship's way: a ram would take its life.
    field.PinShip(ScreenToWorldX(600), ScreenToWorldY(440));
  }

  FieldFixture field;
};

TEST_F(LauncherShipTest, ALeadingEdgeCopyIsDroppedOnItsFirstFrame) {
  const int16_t s =
      SpawnPool0Enemy(ScreenToWorldX(700), ScreenToWorldY(240), kLauncherShipType, 0, -1, 0);
  ASSERT_GE(s, 0);
  EnemyPool0[s].spawnDir = 1;  // as the map spawner places it while the view moves forward
  field.Step();
  EXPECT_EQ(EnemyPool0[s].state, 0);
}

TEST_F(LauncherShipTest, ItOpensItsLaunchersInTurnAndEachSendsOutTwoHatchFliers) {
  const int16_t s =
      SpawnPool0Enemy(ScreenToWorldX(300), ScreenToWorldY(240), kLauncherShipType, 0, -1, 0);
  ASSERT_GE(s, 0);
  EnemyObject& o = EnemyPool0[s];
  field.Step();
  EXPECT_EQ(o.x, ScreenToWorldX(0) - 192 + 3.5);
  std::vector<double> openedAt;
  int most = 0;
  for (int i = 0; i < 300 && o.state == 2; ++i) {
    const int before = o.intWork0;
    field.Step();
    if (o.intWork0 > before) openedAt.push_back(WorldToScreenX(o.x));
    most = std::max(most, CountHatchFliers());
  }
  ASSERT_EQ(openedAt.size(), 4u);
  for (int k = 0; k < 4; ++k) {
    EXPECT_GE(openedAt[k], 240 + 30 * k);
    EXPECT_LT(openedAt[k], 240 + 30 * k + 4);
    EXPECT_EQ(o.partsB[k].cue, 2);
  }
  EXPECT_EQ(most, 8);
}

}  // namespace
