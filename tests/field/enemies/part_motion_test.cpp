// The motion of walkers' parts: the roll, the image frame and the step phase, swings on the
// owner and on a circle, the wheels' circling and bob, and the knees and feet of both legs with
// their landings, with the step sounds.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/enemies/part_motion.h"
#include "stg_src/field/play_field.h"
#include "tests/game_support/sound_requests.h"

namespace {

class PartMotionTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetPlayFieldState();
    BuildTrigTables();
  }
  void TearDown() override { ResetPlayFieldState(); }

  // The live EnemyPool1 object 0 at (400, 200) with a live part j of partsA at offset (10, 5).
  static EnemyPart& LivePart(int j, int32_t type = 2, int16_t angle = 0) {
    EnemyObject& o = EnemyPool1[0];
    o.state = 2;
    o.x = 400;
    o.y = 200;
    AttachPart(o.partsA, j, type, 10, 5, angle, 0);
    o.partsA[j].state = 2;
    return o.partsA[j];
  }

  SoundRequestRecorder sounds;
};

TEST_F(PartMotionTest, AWheelRollsByItsRadiusAndSpeed) {
  struct Row {
    int16_t radius, angle;
    double speed;
    bool reverse;
    int16_t rolled;
  } rows[] = {
      {20, 100, 0, false, 100},
      {20, 100, 0.1, false, 101},
      {20, 100, 1, false, 104},
      {20, 100, -1, false, 96},
      {20, 100, 1, true, 96},
      {20, 100, -0.1, true, 101},
      {20, 1022, 1, false, 2},
      {10, 0, 1, false, 7},
      {4, 684, 1, false, 700},
      // A radius that divides by nothing does not roll.
      {0, 100, 1, false, 100},
      {-5, 100, 1, false, 100},
      // A speed past the integers turns without overflowing.
      {20, 100, 1e300, false, 101},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.radius << " " << r.angle << " " << r.speed);
    int16_t a = r.angle;
    RollAngleBySpeed(r.radius, &a, r.speed, r.reverse);
    EXPECT_EQ(a, r.rolled);
  }
}

TEST_F(PartMotionTest, TheImageFrameAndTheStepPhaseByAngle) {
  struct FrameRow {
    int16_t angle, frame;
  } frames[] = {{320, 7}, {321, 8}, {191, 6}, {833, 6}, {192, 7}, {703, 8}, {704, 7}, {0, 6}};
  for (const FrameRow& r : frames) EXPECT_EQ(FrameFromAngle(7, r.angle), r.frame) << r.angle;

  struct StepRow {
    int16_t previous, phase, snapped;
    bool step;
  } steps[] = {
      {500, 530, 512, true}, {600, 300, 512, true}, {0, 10, 10, false},     {1000, 4, 0, true},
      {100, 0, 0, true},     {100, 800, 0, true},   {300, 310, 310, false}, {0, 600, 512, true},
  };
  for (const StepRow& r : steps) {
    SCOPED_TRACE(testing::Message() << r.previous << " -> " << r.phase);
    int16_t phase = r.phase;
    EXPECT_EQ(SnapStepPhase(r.previous, &phase), r.step);
    EXPECT_EQ(phase, r.snapped);
  }
}

TEST_F(PartMotionTest, ASwingRunsFromLowAtPhaseZeroToHighAtHalfATurnUnwrapped) {
  struct Row {
    int16_t low, high, phase;
    int32_t ownerFacing;
    bool copyFacing;
    int16_t angle;
  } rows[] = {
      {900, 100, 0, 0, true, 900},    {900, 100, 256, 0, true, 500}, {900, 100, 512, 0, true, 100},
      {900, 100, 768, 0, true, 500},  {100, 300, 256, 2, true, 312}, {100, 300, 256, 2, false, 200},
      {100, 300, 1023, 0, true, 100},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.low << ".." << r.high << " at " << r.phase);
    EnemyPart& p = LivePart(0);
    EnemyPool1[0].facing = r.ownerFacing;
    EnemyPool1[0].drawOffsetY = 7;
    p.baseAngle = r.phase;
    SwingPartWithObject(20, EnemyPool1, 0, EnemyPool1[0].partsA, 0, r.low, r.high, r.copyFacing,
                        false);
    EXPECT_EQ(p.angle, r.angle);
    EXPECT_EQ(p.drawOffsetY, 7);
  }
}

TEST_F(PartMotionTest, WheelsCircleTheirPlaceAndBobAtTheTopOfTheirTurn) {
  struct Row {
    int32_t type;
    double groundSpeed;
    int16_t phase;
    int32_t facing;
    int16_t rolled;
    double dy;
    int32_t frame;
  } rows[] = {
      // Type 1 dips, type 0 rises, by 2 for each of phase > 512, 576..960 and 640..896.
      {1, 1, 684, 0, 700, 6, 8}, {0, 1, 684, 0, 700, -6, 8}, {1, -1, 684, 0, 668, 6, 8},
      {1, 1, 500, 0, 516, 2, 8}, {1, 1, 560, 0, 576, 2, 8},  {1, 1, 944, 0, 960, 2, 6},
      {1, 0, 700, 0, 700, 0, 8}, {1, 1, 684, 2, 700, 6, 11}, {1, 1, 100, 0, 116, 0, 6},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "type " << r.type << " phase " << r.phase);
    EnemyPart& p = LivePart(0, r.type, r.phase);
    p.state = 1;
    SetPartHitCircle(EnemyPool1[0].partsA, 0, 0, 9, 0, 0);
    EnemyPool1[0].facing = r.facing;
    EnemyPool1[0].groundSpeed = r.groundSpeed;
    EnemyPartHandlers[r.type](EnemyPool1, 0, EnemyPool1[0].partsA, 0);
    EXPECT_EQ(p.state, 2);
    EXPECT_EQ(p.hitCircles.size[0], 0);
    EXPECT_EQ(p.life, 0);
    EXPECT_EQ(p.baseAngle, r.rolled);
    EXPECT_EQ(p.imageFrame, r.frame);
    EXPECT_EQ(p.angle, 0);
    const double placedX = r.facing == 2 ? 390 : 410;
    EXPECT_DOUBLE_EQ(p.x, placedX + 8 * CosineTable[r.rolled]);
    EXPECT_DOUBLE_EQ(p.y, 205 + r.dy);
  }

  // Hidden while the owner is in the air or landing, and left where it was.
  EnemyPart& p = LivePart(0, 1, 300);
  p.x = 1;
  for (int16_t EnemyObject::*word : {&EnemyObject::airFrames, &EnemyObject::landTimer}) {
    EnemyPool1[0].airFrames = EnemyPool1[0].landTimer = 0;
    EnemyPool1[0].*word = 2;
    UpdateRollingLegPart(EnemyPool1, 0, EnemyPool1[0].partsA, 0, 4, 8, true, true);
    EXPECT_EQ(p.imageFrame, -1);
    EXPECT_EQ(p.x, 1);
  }
}

TEST_F(PartMotionTest, ABigWheelSoundsItsStepOncePerTurn) {
  // Two turns at 4 steps a frame. The step sounds when the phase comes down through 512 or
  // wraps past 1023: once a turn whichever way the wheel rolls.
  struct Row {
    int16_t reach;
    double groundSpeed;
    bool hideInAir;
    std::vector<int> soundFrames;
  } rows[] = {
      {13, 1, false, {255, 511}}, {13, -1, false, {127, 383}}, {20, 1, false, {255, 511}},
      {12, 1, false, {}},         {13, 0, false, {}},          {13, 1, true, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "reach " << r.reach << " speed " << r.groundSpeed);
    EnemyPart& p = LivePart(0, 1, 0);
    EnemyPool1[0].groundSpeed = r.groundSpeed;
    EnemyPool1[0].airFrames = r.hideInAir ? 5 : 0;
    sounds.Take();
    std::vector<int> soundFrames;
    for (int f = 0; f < 512; ++f) {
      UpdateRollingLegPart(EnemyPool1, 0, EnemyPool1[0].partsA, 0, 20, r.reach, true, false);
      const std::vector<int> frame = sounds.Take();
      if (!frame.empty()) soundFrames.push_back(f);
      for (int slot : frame) EXPECT_EQ(slot, 45);
      EXPECT_LE(frame.size(), 1u);
    }
    EXPECT_EQ(soundFrames, r.soundFrames);
    if (!r.hideInAir && r.groundSpeed != 0) { EXPECT_EQ(p.baseAngle, 0); }
  }
}

class LegSegmentTest : public PartMotionTest {
 protected:
  // The hip in slot 0 and the knee hanging on it in slot 1.
  void SetUp() override {
    PartMotionTest::SetUp();
    hip = &LivePart(0, 2, 100);
    knee = &LivePart(1, 2, 0);
    knee->variant = 1;
    knee->parentPart = 0;
  }
  void Frame() {
    EnemyPart* parts = EnemyPool1[0].partsA;
    UpdateLegSegmentPart(EnemyPool1, 0, parts, 0, 20, 100, 200, 40, 12, 30);
    UpdateLegSegmentPart(EnemyPool1, 0, parts, 1, 20, 100, 200, 40, 12, 30);
  }
  EnemyPart* hip;
  EnemyPart* knee;
};

TEST_F(LegSegmentTest, AKneeOfAStillOwnerNeverLiftsAndLandsOnceWithTheShake) {
  hip->baseAngle = 700;  // the lifting half of the stride for a knee facing 0
  knee->work0 = 10;
  const int expected[] = {6, 2, 0};
  for (int w : expected) {
    const int16_t before = knee->work0;
    Frame();
    EXPECT_EQ(knee->work0, w);
    EXPECT_EQ(knee->angle, WrapAngle(hip->angle + 40 + before));
    EXPECT_EQ(knee->baseAngle, 700);
    EXPECT_EQ(ScreenShake.active, w == 0 ? 1 : 0);
    // The foot's landing sound comes with the shake.
    EXPECT_EQ(sounds.Take(), w == 0 ? std::vector<int>{45} : std::vector<int>{});
  }
  EXPECT_EQ(ScreenShake.duration, 12);
  ScreenShake = {};
  for (int i = 0; i < 10; ++i) Frame();
  EXPECT_EQ(knee->work0, 0);
  EXPECT_EQ(ScreenShake.active, 0);

  // Moving, it lifts by 3 a frame up to 96.
  EnemyPool1[0].groundSpeed = 0.01;
  for (int i = 0; i < 40; ++i) Frame();
  EXPECT_EQ(knee->work0, 96);
  EXPECT_EQ(ScreenShake.active, 0);
  EXPECT_TRUE(sounds.Take().empty());
}

TEST_F(LegSegmentTest, TheHipSignalsEachFootDownAndCountsItsCueDown) {
  EnemyPool1[0].groundSpeed = 1;  // 4 steps a frame on radius 20
  hip->baseAngle = 506;
  Frame();
  EXPECT_EQ(hip->baseAngle, 510);
  EXPECT_EQ(hip->cue, 0);
  Frame();
  EXPECT_EQ(hip->baseAngle, 512);
  EXPECT_EQ(hip->cue, 30);
  Frame();
  EXPECT_EQ(hip->cue, 29);
  // Facing 0, sideFlag 0: variant + 6.
  EXPECT_EQ(hip->imageFrame, 6);
  EXPECT_EQ(knee->imageFrame, 7);
}

TEST_F(PartMotionTest, JointedKneesAndFeetBendWhileLiftedAndOnlyKneesShakeOnLanding) {
  // Only the unmirrored knees sound: 46 as they start to lift, 47 as they land.
  struct Row {
    int16_t variant, phase;
    bool moving;
    int16_t work0, after, angle;
    bool shake;
    std::vector<int> sounds;
  } rows[] = {
      {2, 200, true, 0, 4, 924, false, {46}}, {2, 200, true, 40, 40, 964, false, {}},
      {2, 600, true, 12, 4, 936, false, {}},  {2, 600, true, 8, 0, 932, true, {47}},
      {2, 200, false, 8, 0, 932, true, {47}}, {8, 200, true, 0, 4, 924, false, {46}},
      {3, 700, true, 0, 4, 924, false, {}},   {3, 200, true, 4, 0, 920, true, {}},
      {4, 200, true, 0, 4, 30, false, {}},    {4, 200, true, 20, 20, 50, false, {}},
      {4, 600, true, 4, 0, 34, false, {}},    {5, 700, true, 0, 4, 482, false, {}},
      {5, 200, true, 12, 4, 470, false, {}},  {12, 200, true, 7, 7, 0, false, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "variant " << r.variant << " phase " << r.phase);
    EnemyPart& parent = LivePart(0, 2, 100);
    parent.baseAngle = r.phase;
    EnemyPart& p = LivePart(1);
    p.variant = r.variant;
    p.parentPart = 0;
    p.work0 = r.work0;
    EnemyPool1[0].groundSpeed = r.moving ? 0.5 : 0;
    ScreenShake = {};
    // kneeMax 40, footMax 20, foot angle 30, 9 frames of shake.
    UpdateJointedLegPart(EnemyPool1, 0, EnemyPool1[0].partsA, 1, 20, 100, 200, 40, 20, 30, 9, 25,
                         false);
    EXPECT_EQ(p.work0, r.after);
    EXPECT_EQ(p.angle, r.angle);
    EXPECT_EQ(p.facingSign, 1);
    EXPECT_EQ(ScreenShake.active, r.shake ? 1 : 0);
    EXPECT_EQ(ScreenShake.duration, r.shake ? 9 : 0);
    EXPECT_EQ(sounds.Take(), r.sounds);
  }

  // Without a shake the knee lifts and lands in silence.
  for (int16_t phase : {200, 600}) {
    EnemyPart& parent = LivePart(0, 2, 100);
    parent.baseAngle = phase;
    EnemyPart& p = LivePart(1);
    p.variant = 2;
    p.parentPart = 0;
    p.work0 = phase == 200 ? 0 : 8;
    EnemyPool1[0].groundSpeed = 0.5;
    UpdateJointedLegPart(EnemyPool1, 0, EnemyPool1[0].partsA, 1, 20, 100, 200, 40, 20, 30, 0, 25,
                         false);
    EXPECT_EQ(p.work0, phase == 200 ? 4 : 0);
    EXPECT_TRUE(sounds.Take().empty()) << phase;
  }
}

TEST_F(PartMotionTest, OddJointedHipsSwingMirrored) {
  for (int16_t variant : {0, 1, 6, 7}) {
    SCOPED_TRACE(variant);
    EnemyPart& hip = LivePart(0);
    hip.variant = variant;
    hip.baseAngle = 0;
    UpdateJointedLegPart(EnemyPool1, 0, EnemyPool1[0].partsA, 0, 20, 100, 200, 40, 20, 30, 9, 25,
                         false);
    EXPECT_EQ(hip.angle, variant % 2 == 0 ? 100 : 412);
  }
}

TEST_F(PartMotionTest, ACircleSwingTurnsFasterEveryRampAndNotAtAllWithoutOne) {
  // One step every 4, 3, 2 and 1 frames, then 1, 2 and 3 steps a frame, each for 12 frames.
  struct Window {
    int every, steps;
  } windows[] = {{4, 1}, {3, 1}, {2, 1}, {1, 1}, {1, 1}, {1, 2}, {1, 3}};
  EnemyPart& p = LivePart(0, 2, 0);
  p.x = 300;
  p.y = 100;
  EnemyPart* parts = EnemyPool1[0].partsA;
  // The attach left the counter at 1: the calls count 2, 3, ..., and the ramps fall on the
  // multiples of 12, after that frame's turn.
  for (int counter = 2; counter <= 84; ++counter) {
    const Window& w = windows[(counter - 1) / 12];
    const int16_t before = p.angle;
    SwingPartOnCircle(parts, 0, 50, 12, 500);
    EXPECT_EQ(p.angle - before, counter % w.every == 0 ? w.steps : 0) << "counter " << counter;
  }
  EXPECT_EQ(p.cue, 4);
  EXPECT_DOUBLE_EQ(p.x, 300 - (CosineTable[p.angle] - 1) * 50);
  EXPECT_DOUBLE_EQ(p.y, 100 + std::fabs(0 - SineTable[p.angle]) * 50);

  // Without a ramp it keeps one step every 4 frames.
  EnemyPart& q = LivePart(1, 2, 0);
  for (int16_t ramp : {0, -3}) {
    q.counter = 1;
    q.angle = 0;
    for (int f = 0; f < 40; ++f) SwingPartOnCircle(parts, 1, 50, ramp, 500);
    EXPECT_EQ(q.cue, -4);
    EXPECT_EQ(q.angle, 10);
  }
}

}  // namespace
