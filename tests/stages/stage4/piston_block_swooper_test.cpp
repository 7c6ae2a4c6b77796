// The piston's head and base strokes, the sliding block's blocks by map variant, their ranges
// and steps, and the swooper's wait, speed-up, wing fold and roll, on a small stage-4 map whose
// view stands still.
#include <gtest/gtest.h>

#include <algorithm>

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

constexpr int kSlidingBlockType = 16;  // pool 1
constexpr int kSwooperType = 18;
constexpr int kPistonType = 15;

class PistonBlockSwooperTest : public testing::Test {
 protected:
  void SetUp() override {
    field.WriteStageMaps(4, PlainBackgroundDescription(), kStillMap);
    ASSERT_EQ(field.StartStage(4), 1);
    field.digestFrames = false;
    field.SetShipImmune(true);
    field.Run(81);
  }

  EnemyObject& Spawn(int type, double screenX, int16_t variant) {
    const int16_t s = SpawnPool1Enemy(ScreenToWorldX(screenX), ScreenToWorldY(240), type, 0, -1, 0);
    EXPECT_GE(s, 0);
    EnemyPool1[s].variant = variant;
    return EnemyPool1[s];
  }

  FieldFixture field;
};

TEST_F(PistonBlockSwooperTest, SlidingBlocksBounceInsideTheirRanges) {
  struct Case {
    int16_t mapVariant;
    int part;
    int32_t imageFrame;
    double lo, hi, firstStep;
  };
  const Case cases[] = {
      {1, 0, 0, -100, -20, -2},  // upper flat block
      {1, 1, 0, 20, 100, 2},     // lower flat block
      {2, 0, 1, -80, 80, -1.6},  // tall block, up first
      {3, 0, 1, -80, 80, 2.4},   // tall block, down first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "variant " << c.mapVariant << " part " << c.part);
    EnemyObject& o = Spawn(kSlidingBlockType, 400, c.mapVariant);
    field.Step();
    const EnemyPart& p = o.partsB[c.part];
    EXPECT_EQ(o.partCountB, c.mapVariant == 1 ? 2 : 1);
    EXPECT_EQ(o.imageFrame, -1);
    EXPECT_EQ(o.solid, 1);
    EXPECT_EQ(p.imageFrame, c.imageFrame);
    EXPECT_DOUBLE_EQ(p.startCos, c.firstStep);
    double lo = 1e9, hi = -1e9;
    for (int i = 0; i < 200; ++i) {
      field.Step();
      lo = std::min(lo, p.offsetY);
      hi = std::max(hi, p.offsetY);
    }
    EXPECT_EQ(lo, c.lo);
    EXPECT_EQ(hi, c.hi);
    o.state = 0;
  }
}

TEST_F(PistonBlockSwooperTest, TheSwooperWaitsThenDivesFoldsItsWingsAndRolls) {
  for (const int16_t variant : {1, 2}) {
    SCOPED_TRACE(variant);
    const bool down = variant == 1;
    EnemyObject& o = Spawn(kSwooperType, 560, variant);
    field.Run(5);
    const double y0 = o.y;
    EXPECT_EQ(o.phase, 0);
    EXPECT_EQ(o.imageFrame, down ? 0 : 6);
    // The view stands still: move the swooper past screen x 480 by hand.
    o.x = ScreenToWorldX(470);
    field.Step();
    EXPECT_EQ(o.phase, 1);
    field.Run(40);
    EXPECT_EQ(o.imageFrame, down ? 5 : 11);
    EXPECT_NE(o.angle, 0);
    EXPECT_EQ(o.angle % 8, 0);
    EXPECT_LT(o.x, ScreenToWorldX(470));  // headings 288 and 736 both lean left
    if (down) {
      EXPECT_GT(o.y, y0);
    } else {
      EXPECT_LT(o.y, y0);
    }
    o.state = 0;
  }
}

TEST_F(PistonBlockSwooperTest, ThePistonsBaseRunsWithItsHeadToMinus240AndSlowsWhenTheHeadDies) {
  EnemyObject& o = Spawn(kPistonType, 500, 0);
  field.Step();
  EnemyPart& base = o.partsB[0];
  EnemyPart& head = o.partsB[1];
  EXPECT_EQ(o.solid, 1);
  EXPECT_EQ(head.offsetX, 160);
  field.Step();
  EXPECT_EQ(head.cue, 1);  // the view's x 560 is past the base
  field.Run(40);
  EXPECT_EQ(head.cue, 2);
  int stopped = -1;
  for (int i = 0; i < 400 && stopped < 0; ++i) {
    field.Step();
    if (head.cue == 3) stopped = i;
  }
  ASSERT_GE(stopped, 0);
  // On the stopping frame the base still takes the head's last step; then it stands at -240.
  EXPECT_GE(base.offsetX, -240 - 3.6);
  field.Run(10);
  EXPECT_EQ(base.offsetX, -240);
  EXPECT_GE(head.offsetX, -200);
  EXPECT_EQ(head.imageFrame, 3);

  // A second piston whose head is shot mid-run: the base slows by 0.5 a frame.
  EnemyObject& q = Spawn(kPistonType, 500, 0);
  field.Run(60);
  ASSERT_EQ(q.partsB[1].cue, 2);
  ASSERT_GT(q.partsB[0].startCos, 0.5);
  const int16_t qs = static_cast<int16_t>(&q - EnemyPool1);
  ASSERT_TRUE(field.DamageEnemy({1, qs, kTestPartsB, 1}, 100000));
  field.Step();
  const double before = q.partsB[0].startCos;
  field.Step();
  EXPECT_DOUBLE_EQ(q.partsB[0].startCos, std::max(0.0, before - 0.5));
  EXPECT_EQ(q.partsB[1].imageFrame, -1);
}

}  // namespace
