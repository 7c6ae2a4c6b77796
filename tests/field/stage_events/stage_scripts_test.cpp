// The scripts of stages 1 to 6 and the white flash's fade of every stage: the effects' drift,
// the background variants and parallax sets by the window's world position, the stage-1
// opening and sky placer, the stage-1 marker count-down, the stage-4 drift and red pulse; and
// the closing flight's words in the digest.
#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game_state.h"
#include "tests/game_support/field_fixture.h"

namespace {

// The window's left edge at world x left and its top edge at world y top.
void PlaceWindow(double left, double top = 0) {
  DrawOffsetX = -left;
  DrawOffsetY = -top;
}

int CountPool0(int32_t type) {
  int n = 0;
  for (const EnemyObject& o : EnemyPool0) n += o.state != 0 && o.type == type ? 1 : 0;
  return n;
}

// Direct calls of the script, on a field reset to program start, past the stage's frame 0.
class StageScriptTest : public testing::Test {
 protected:
  StageScriptTest() { GameFrame = 10; }
  FieldFixture field;
};

TEST_F(StageScriptTest, TheWhiteFlashMovesByItsStepWithinZeroTo255OnEveryStage) {
  struct Row {
    int16_t flash, step, expected;
  } rows[] = {{10, -4, 6},
              {3, -4, 0},
              {0, -4, 0},
              {250, 16, 255},
              {255, 1, 255},
              {100, 0, 100},
              // No i16 wrap on the way: the sum is clamped, not the stored word.
              {255, 32767, 255},
              {0, -32768, 0}};
  for (int16_t stage = 0; stage <= 8; ++stage) {
    for (const Row& r : rows) {
      SCOPED_TRACE(testing::Message()
                   << "stage " << stage << " flash " << r.flash << " step " << r.step);
      ScreenFlashWhite = r.flash;
      ScreenFlashWhiteStep = r.step;
      RunStageEvents(stage);
      EXPECT_EQ(ScreenFlashWhite, r.expected);
      EXPECT_EQ(ScreenFlashWhiteStep, r.step);
    }
  }
}

TEST_F(StageScriptTest, StagesOutsideOneToSevenOnlyFadeTheFlash) {
  for (int16_t stage : {int16_t{0}, int16_t{8}, int16_t{-1}}) {
    SCOPED_TRACE(stage);
    GameFrame = 0;
    PlaceWindow(30000, 2000);
    ScrollDeltaX = 5;
    EffectDriftX = 3;
    StageMarker = 4;
    ScreenFlashRedStep = 4;
    BossState = 1;
    ScreenFlashWhite = 20;
    ScreenFlashWhiteStep = -4;
    const uint64_t before = DigestGameState(DigestScope::All).value;
    RunStageEvents(stage);
    EXPECT_EQ(ScreenFlashWhite, 16);
    ScreenFlashWhite = 20;
    EXPECT_EQ(DigestGameState(DigestScope::All).value, before);
  }
}

TEST_F(StageScriptTest, EffectsAreKeptInTheWorldByTheDrift) {
  struct Row {
    int16_t stage;
    double right, scrollDeltaX, expected;
  } rows[] = {
      // Stage 1 keeps the drift while the scroll stands or goes back.
      {1, 1000, 3, -3},
      {1, 1000, 0, 7},
      {1, 1000, -2, 7},
      {2, 1000, -2, 2},
      {3, 1000, 0, 0},
      {5, 1000, 1.5, -1.5},
      {6, 1000, 4, -4},
      {7, 1000, 16, -16},
      // Stage 4 drifts effects on their own until the window's right edge reaches 4240.
      {4, 4239, 3, -8},
      {4, 4240, 3, -3},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "stage " << r.stage << " delta " << r.scrollDeltaX);
    PlaceWindow(r.right - 640);
    ScrollDeltaX = r.scrollDeltaX;
    EffectDriftX = 7;
    RunStageEvents(r.stage);
    EXPECT_EQ(EffectDriftX, r.expected);
  }
}

TEST_F(StageScriptTest, BackgroundVariantsAndParallaxSetsSwitchAtTheirWorldPositions) {
  constexpr double kFixed = 9999;
  struct Row {
    int16_t stage;
    double left, top;
    int16_t variant;
    double d0x, d0y, d1x, d1y;  // 0: the stage leaves them alone
  } rows[] = {
      {1, 5600, 0, 0, 0, 0, 0, 0},
      {1, 5600.5, 0, 1, 0, 0, 0, 0},
      {1, 24000, 0, 1, 0, 0, 0, 0},
      {3, 7440, 0, 0, 0, 0, 0, 0},
      {3, 7441, 1080, 1, 0, 0, 0, 0},
      {3, 7441, 1081, 0, 0, 0, 0, 0},
      {3, 9000, 5000, 0, 0, 0, 0, 0},
      {4, 4200, 0, 0, 0.3, kFixed, 0.15, kFixed},
      {4, 4200.5, 0, 1, 2, 2, 1.5, 1.5},
      {6, 2720, 0, 0, 5.9, 5.9, 8.5, 8.5},
      {6, 2721, 0, 1, 2, 2, 1.5, 1.5},
      // Stages 2 and 5 keep whatever variant and sets they have.
      {2, 30000, 0, 7, 0, 0, 0, 0},
      {5, 30000, 0, 7, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message()
                 << "stage " << r.stage << " left " << r.left << " top " << r.top);
    PlaceWindow(r.left, r.top);
    BackgroundVariant = 7;
    BackLayer0DivisorX = BackLayer0DivisorY = BackLayer1DivisorX = BackLayer1DivisorY = 0;
    RunStageEvents(r.stage);
    EXPECT_EQ(BackgroundVariant, r.variant);
    EXPECT_EQ(BackLayer0DivisorX, r.d0x);
    EXPECT_EQ(BackLayer0DivisorY, r.d0y);
    EXPECT_EQ(BackLayer1DivisorX, r.d1x);
    EXPECT_EQ(BackLayer1DivisorY, r.d1y);
  }
}

TEST_F(StageScriptTest, StageOnePlacesTheSkyOnceEachTimeTheWindowCrosses24000) {
  // An object in slot 0: the placer takes the lowest free slot.
  EnemyPool0[0].state = 2;
  EnemyPool0[0].type = 3;
  struct Step {
    double left;
    int16_t variant;
    int placers;
  } steps[] = {{23990, 1, 0}, {24000.5, 2, 1}, {24100, 2, 1}, {24500, 2, 1},
               {23000, 1, 1}, {24010, 2, 2},   {4000, 0, 2},  {24010, 2, 3}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.left);
    PlaceWindow(s.left);
    RunStageEvents(1);
    EXPECT_EQ(BackgroundVariant, s.variant);
    EXPECT_EQ(CountPool0(19), s.placers);
  }
  EXPECT_EQ(EnemyPool0[1].type, 19);
  EXPECT_EQ(EnemyPool0[1].state, 1);
  EXPECT_EQ(EnemyPool0[1].x, 0);
  EXPECT_EQ(EnemyPool0[1].y, 0);
}

TEST_F(StageScriptTest, StageOneCountsItsMarkerDownToZeroAndNoOtherStageTouchesIt) {
  struct Row {
    int16_t stage;
    int32_t marker, expected;
  } rows[] = {{1, 40, 39}, {1, 1, 0}, {1, 0, 0}, {1, -3, -3}, {5, 10, 10}, {3, 255, 255}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "stage " << r.stage << " marker " << r.marker);
    StageMarker = r.marker;
    RunStageEvents(r.stage);
    EXPECT_EQ(StageMarker, r.expected);
  }
}

TEST_F(StageScriptTest, StageFourStopsDriftingTheFrameAfterPassing4200AndDriftsAgainOnReturn) {
  // The drift reads the variant of the frame before, so it lags the switch by one frame.
  struct Step {
    double left, drift;
  } steps[] = {{4100, -2}, {4199, -2}, {4201, -2}, {4202, 0},
               {4300, 0},  {4200, 0},  {4150, -2}, {4100, -2}};
  for (const Step& s : steps) {
    SCOPED_TRACE(s.left);
    PlaceWindow(s.left);
    const double before = StageFourParallaxX;
    RunStageEvents(4);
    EXPECT_EQ(StageFourParallaxX - before, s.drift);
  }
}

TEST_F(StageScriptTest, StageFourPulsesRedOnlyInABossFightBouncingWithin0To127) {
  struct Row {
    int16_t bossState, red, step, expectedRed, expectedStep;
  } rows[] = {
      {0, 50, 4, 0, 0},     {1, 0, 4, 4, 4},       {1, 124, 4, 127, -4}, {1, 125, 2, 127, 2},
      {1, 127, 2, 127, -2}, {1, 127, -4, 123, -4}, {1, 3, -4, 0, 4},     {1, 0, -4, 0, 4},
      {-1, 60, 4, 64, 4},   {1, 0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message()
                 << "boss " << r.bossState << " red " << r.red << " step " << r.step);
    BossState = r.bossState;
    ScreenFlashRed = r.red;
    ScreenFlashRedStep = r.step;
    RunStageEvents(4);
    EXPECT_EQ(ScreenFlashRed, r.expectedRed);
    EXPECT_EQ(ScreenFlashRedStep, r.expectedStep);
  }
  // A whole pulse from a step of 4: 32 frames up to 127, 32 down to 0.
  BossState = 1;
  ScreenFlashRed = 0;
  ScreenFlashRedStep = 4;
  int top = 0, bottomFrame = 0;
  for (int frame = 1; frame <= 64 && bottomFrame == 0; ++frame) {
    RunStageEvents(4);
    if (ScreenFlashRed == 127) top = frame;
    if (ScreenFlashRed == 0) bottomFrame = frame;
  }
  EXPECT_EQ(top, 32);
  EXPECT_EQ(bottomFrame, 64);
  // Other stages leave the red flash to its owner.
  ScreenFlashRed = 40;
  ScreenFlashRedStep = 4;
  BossState = 0;
  RunStageEvents(5);
  EXPECT_EQ(ScreenFlashRed, 40);
  EXPECT_EQ(ScreenFlashRedStep, 4);
}

TEST(ClosingFlightWordsTest, TheShipWordsEnterTheDigestAndTheResetClearsThem) {
  FieldFixture field;
  const uint64_t atStart = DigestGameState(DigestScope::Run).value;
  EndingShipScreenX = -24;
  const uint64_t moved = DigestGameState(DigestScope::Run).value;
  EXPECT_NE(moved, atStart);
  EndingShipSpeed = 0.7;
  EXPECT_NE(DigestGameState(DigestScope::Run).value, moved);
  ResetGameState();
  EXPECT_EQ(EndingShipScreenX, 0);
  EXPECT_EQ(EndingShipSpeed, 0);
}

// A 40 x 12 stage-1 map: the start at column 5, row 6, checkpoint 1 at column 20.
std::string OpeningMap() {
  return FieldMapDescription(40, 12, 5, "cell 2 5 6 16\ncell 2 20 6 17\n");
}

TEST(StageOneOpeningTest, TheMothershipComesOnlyWhenTheStageStartsFromItsBeginning) {
  for (int checkpoint : {0, 1}) {
    SCOPED_TRACE(checkpoint);
    FieldFixture field;
    field.digestFrames = false;
    field.WriteStageMaps(1, PlainBackgroundDescription(), OpeningMap());
    CheckpointIndex = static_cast<int16_t>(checkpoint);
    ASSERT_EQ(field.StartStage(1), 1);
    // From the start the field waits 80 frames; at a checkpoint it plays at once.
    if (checkpoint == 0) field.Run(80);
    ASSERT_EQ(GameFrame, 0);
    const FieldFrameReport frame0 = field.Step();
    if (checkpoint == 1) {
      EXPECT_EQ(CountPool0(14), 0);
      EXPECT_EQ(frame0.liveObjects[0], 0);
      continue;
    }
    ASSERT_EQ(CountPool0(14), 1);
    const EnemyObject& ship = EnemyPool0[0];
    EXPECT_EQ(ship.type, 14);
    EXPECT_EQ(ship.state, 1);
    EXPECT_EQ(ship.x, ScreenToWorldX(396));
    EXPECT_EQ(ship.y, ScreenToWorldY(-62));
    // Only frame 0 brings it: no fresh one (state 1) after any later frame.
    for (int i = 0; i < 30; ++i) {
      field.Step();
      for (const EnemyObject& o : EnemyPool0) EXPECT_FALSE(o.type == 14 && o.state == 1);
    }
  }
}

}  // namespace
