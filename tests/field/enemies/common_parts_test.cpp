// Part type 0's rotor: harmless and indestructible, turning 16 steps a frame either way, and
// blowing up in its owner's place when the owner is destroyed.
#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/play_field.h"
#include "tests/field/effects/effect_test_support.h"

namespace {

class RotorTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetPlayFieldState();
    BuildTrigTables();
    EnemyObject& o = EnemyPool0[4];
    o.state = 2;
    o.x = 300;
    o.y = 150;
    o.partCountB = 1;
    AttachPart(o.partsB, 0, 0, 0, -20, 40, 0);
    SetPartHitCircle(o.partsB, 0, 2, 16, 0, 0);
  }
  void TearDown() override { ResetPlayFieldState(); }

  static EnemyPart& Rotor() { return EnemyPool0[4].partsB[0]; }
  static void Frame() { EnemyPartHandlers[0](EnemyPool0, 4, EnemyPool0[4].partsB, 0); }
};

int LiveEffects() {
  int n = 0;
  for (const Effect& e : Effects) n += e.state != 0 ? 1 : 0;
  return n;
}

TEST_F(RotorTest, RotorsTurnSixteenStepsAFrameAndCannotBeHit) {
  struct Row {
    int16_t variant;
    int turn;
  } rows[] = {{100, -16}, {101, 16}, {150, -16}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.variant);
    SetUp();
    Rotor().variant = r.variant;
    for (int frame = 1; frame <= 70; ++frame) {
      Frame();
      EXPECT_EQ(Rotor().angle, WrapAngle(40 + r.turn * frame));
    }
    const EnemyPart& p = Rotor();
    EXPECT_EQ(p.state, 2);
    EXPECT_EQ(p.hitMode, 0);
    EXPECT_EQ(p.life, -1);
    EXPECT_EQ(p.maxLife, -1);
    EXPECT_EQ(p.scoreBase, -1);
    EXPECT_EQ(p.imageFrame, 12);
    EXPECT_EQ(p.cullMarginX, 24);
    EXPECT_EQ(p.cullMarginY, 24);
    EXPECT_EQ(p.hitCircles.size[2], 0);
    EXPECT_EQ(p.counter, 71);
    // On its owner, 20 px above it.
    EXPECT_DOUBLE_EQ(p.x, 300);
    EXPECT_DOUBLE_EQ(p.y, 130);
    EXPECT_EQ(LcgRandomState, 1u);
  }
}

TEST_F(RotorTest, ADestroyedOwnerTakesItsRotorWithItInALargeExplosionWithDebris) {
  // The common destroyed state, a dying state of the owner's own, and an owner that is gone.
  struct Row {
    int32_t ownerState;
    int32_t ownerAfter;
    int effects;
  } rows[] = {{3, 3, 21}, {4, 3, 21}, {7, 3, 21}, {0, 0, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.ownerState);
    SetUp();
    Rotor().variant = 100;
    Frame();
    Frame();
    EnemyPool0[4].state = r.ownerState;
    const uint32_t before = LcgRandomState;
    Frame();
    EXPECT_EQ(Rotor().state, 0);
    EXPECT_EQ(EnemyPool0[4].state, r.ownerAfter);
    EXPECT_EQ(LiveEffects(), r.effects);
    EXPECT_EQ(DrawsBetween(before, LcgRandomState), r.effects == 0 ? 0 : 100);
    if (r.effects == 0) continue;
    // The core stands where the rotor was.
    bool core = false;
    for (const Effect& e : Effects) core |= e.state != 0 && e.type == 0 && e.x == 300 && e.y == 130;
    EXPECT_TRUE(core);
  }
}

TEST_F(RotorTest, BelowVariantOneHundredTypeZeroIsAWheelThatRises) {
  EnemyPool0[4].groundSpeed = 1;
  Rotor().baseAngle = 684;
  Frame();
  // Rolled 16 steps on radius 4, then 6 px up at the top of its turn.
  EXPECT_EQ(Rotor().baseAngle, 700);
  EXPECT_DOUBLE_EQ(Rotor().y, 130 - 6);
  EXPECT_EQ(Rotor().life, 0);
  EXPECT_EQ(Rotor().hitCircles.size[2], 0);
}

}  // namespace
