// The angle helpers against the numbers the stored replays were made with, and the game's own
// random generator.
#include <cmath>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/lcg_random.h"

namespace {

class AnglesTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { BuildTrigTables(); }
};

TEST_F(AnglesTest, FourTableEntriesAreExactlyZeroAndTheRestFollowTheCircle) {
  EXPECT_EQ(SineTable[0], 0.0);
  EXPECT_EQ(SineTable[512], 0.0);
  EXPECT_EQ(CosineTable[256], 0.0);
  EXPECT_EQ(CosineTable[768], 0.0);
  for (int i = 0; i < kTrigTableSize; ++i) {
    ASSERT_NEAR(SineTable[i], std::sin(i * M_PI / 512), 1e-9) << i;
    ASSERT_NEAR(CosineTable[i], std::cos(i * M_PI / 512), 1e-9) << i;
  }
}

TEST_F(AnglesTest, AimAngleTruncatesWithItsSmallScale) {
  struct Case {
    double x1, y1, x2, y2;
    int angle;
  } cases[] = {
      {0, 0, 40, 40, 127},   {0, 0, 40, -40, 897},  {0, 0, -40, 0, 512},  {0, 0, 0, 40, 251},
      {0, 0, 0, -40, 773},   {5, 5, 5, 5, 0},       {0, 0, -40, 40, 385}, {0, 0, -40, -40, 639},
      {0, 0, 0, 100, 254},   {0, 0, 0, -100, 770},  {0, 0, 0, 1e9, 255},  {0, 0, 40, 0, 0},
      {10, 10, 10.5, 10, 0}, {3, 0, 2, -1e-9, 512},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AimAngle(c.x1, c.y1, c.x2, c.y2), c.angle)
        << "(" << c.x1 << ", " << c.y1 << ") -> (" << c.x2 << ", " << c.y2 << ")";
  }
}

TEST_F(AnglesTest, TurnsStepsAndDifferences) {
  EXPECT_EQ(TurnTowardAngle(512, 0, 10), 10);
  EXPECT_EQ(TurnTowardAngleFlipTie(512, 0, 10), 1014);
  EXPECT_EQ(TurnTowardAngle(0, 512, 10), 502);
  EXPECT_EQ(TurnTowardAngleFlipTie(0, 512, 10), 522);
  EXPECT_EQ(TurnTowardAngle(100, 0, 10), TurnTowardAngleFlipTie(100, 0, 10));
  EXPECT_EQ(TurnTowardAngle(1020, 5, 20), 1020);
  EXPECT_EQ(TurnTowardAngle(1000, -30, 4), 998);
  for (int target : {-700, 0, 300, 5000}) EXPECT_EQ(TurnTowardAngle(target, -5, 0), 1019);

  EXPECT_EQ(StepAngleToward(100, 0, -8), 1016);
  EXPECT_EQ(StepAngleToward(5, 0, 8), 5);
  EXPECT_EQ(StepAngleToward(1020, 4, 3), 7);

  EXPECT_EQ(AngleDifference(0, 1023), 1);
  EXPECT_EQ(AngleDifference(512, 0), 512);
  EXPECT_EQ(AngleDifference(0, 512), -512);
  EXPECT_EQ(AngleDifference(10, 1000), 34);

  EXPECT_EQ(WrapAngle(-1), 1023);
  EXPECT_EQ(WrapAngle(-2048), 0);
  EXPECT_EQ(WrapAngle(1024 * 3 + 7), 7);
}

TEST_F(AnglesTest, ReflectionMirrorsAboutTheSurfaceLine) {
  EXPECT_EQ(ReflectAngle(100, 0), 924);
  EXPECT_EQ(ReflectAngle(300, 256), 212);
  for (int s = 0; s < kTrigTableSize; ++s) {
    for (int a = 0; a < kTrigTableSize; ++a) {
      const int r = ReflectAngle(a, s);
      // As far from the line on the other side.
      ASSERT_EQ(WrapAngle(r - s), WrapAngle(s - a)) << a << " about " << s;
      ASSERT_EQ(ReflectAngle(r, s), a);
      ASSERT_EQ(ReflectAngle(a, s + 512), r);
      ASSERT_EQ(ReflectAngle(a - 1024, s - 2048), r);
    }
  }
}

TEST_F(AnglesTest, RadiansUseTheRoundedFactorAndKeepTheSign) {
  EXPECT_DOUBLE_EQ(AngleToRadians(-1), -0.006135);
  EXPECT_EQ(AngleToRadians(1024), 0.0);
  EXPECT_DOUBLE_EQ(AngleToRadians(1025), 0.006135);
  EXPECT_DOUBLE_EQ(AngleToRadians(-1030), -6 * 0.006135);
}

TEST_F(AnglesTest, RotatedOffsetsReadOneTableEach) {
  EXPECT_EQ(RotateOffsetX(0, 10, 0, 256), 0.0);
  EXPECT_EQ(RotateOffsetY(50, 0, 10, 256), 50.0);
  EXPECT_EQ(RotateOffsetX(7, 0, 0, 123), 7.0);
  const double offsets[][2] = {{10, 0}, {0, 10}, {0, -10}, {-6, 8}, {3.5, -2.25}};
  for (int a : {0, 1, 100, 256, 300, 512, 700, 1023, -40, 2000}) {
    for (const auto& d : offsets) {
      const double t = WrapAngle(a) * M_PI / 512;
      EXPECT_NEAR(RotateOffsetX(100, d[0], d[1], a), 100 + d[0] * cos(t) - d[1] * sin(t), 1e-9)
          << a << " " << d[0] << "," << d[1];
      EXPECT_NEAR(RotateOffsetY(50, d[0], d[1], a), 50 + d[0] * sin(t) + d[1] * cos(t), 1e-9)
          << a << " " << d[0] << "," << d[1];
    }
  }
  EXPECT_EQ(SquaredDistance(1, 2, 4, -2), 25.0);
  EXPECT_EQ(AbsoluteValue(-2.5), 2.5);
}

TEST(LcgRandomTest, DrawsTheSequenceFromSeedOne) {
  SeedLcgRandom(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
  for (int value : expected) EXPECT_EQ(LcgRandom(), value);
  SeedLcgRandom(1);
  EXPECT_EQ(LcgRandom(), 41);
}

}  // namespace
