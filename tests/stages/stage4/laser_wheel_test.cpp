// The laser wheel on a small stage-4 map whose view stands still (the wheel is moved by hand):
// three emitters on easy and normal, four on hard and insane; every emitter gets the full laser
// count once the view's x 600 reaches the wheel and the short beam once x 160 does.
#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/stages/stage4/laser_weapons.h"
#include "tests/game_support/field_fixture.h"

namespace {

const char* const kStillMap = R"(size 60 15
layers 5
rect 2 0 0 60 3 1
rect 2 0 12 60 3 1
cell 2 5 7 16
)";

constexpr int kLaserWheelType = 14;  // pool 0

TEST(Stage4LaserWheel, LoadsItsEmittersAt600AndCutsThemAt160) {
  struct Case {
    int difficulty;
    int emitters;
  };
  for (const Case c : {Case{0, 3}, Case{1, 3}, Case{2, 4}, Case{3, 4}}) {
    SCOPED_TRACE(c.difficulty);
    FieldFixture field(c.difficulty);
    field.WriteStageMaps(4, PlainBackgroundDescription(), kStillMap);
    ASSERT_EQ(field.StartStage(4), 1);
    field.digestFrames = false;
    field.SetShipImmune(true);
    field.Run(81);
    field.PinShip(ScreenToWorldX(100), ScreenToWorldY(420));
    const int16_t s = SpawnPool0Enemy(ScreenToWorldX(620) - 140, ScreenToWorldY(240) - 20,
                                      kLaserWheelType, 0, -1, 0);
    ASSERT_GE(s, 0);
    EnemyObject& o = EnemyPool0[s];
    field.Run(3);
    ASSERT_EQ(o.partCountB, c.emitters);
    EXPECT_EQ(o.partsB[1].baseAngle, c.emitters == 4 ? 256 : 341);
    EXPECT_EQ(o.partsB[0].cue, 0);
    EXPECT_EQ(o.intWork0, -3);  // the player below the wheel: it spins the other way
    o.x = ScreenToWorldX(600);
    field.Run(2);
    for (int i = 0; i < c.emitters; ++i) {
      // Loaded on the frame before, and counted down once by the emitter itself since.
      EXPECT_EQ(o.partsB[i].cue, kWheelEmitterLaser.startValue - 1);
    }
    o.x = ScreenToWorldX(160);
    field.Run(2);
    for (int i = 0; i < c.emitters; ++i) EXPECT_EQ(o.partsB[i].cue, kWheelShortBeam - 1);
    EXPECT_EQ(o.intWork1, 4);
  }
}

}  // namespace
