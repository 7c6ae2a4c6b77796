// The stage start's words per stage, and the play frame's spine run through the shell's play
// scene: the opening count, pause, the death and respawn, the stage clear.
#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/field_fixture.h"

namespace {

TEST(StageStartTest, EachStageStartsWithItsConstants) {
  struct Row {
    int stage, gameFrame;
    double d0x, d0y, d1x, d1y;
    int wrap0, wrap1, loop0, loop1, bossState, playerActive, repeatRows, marker;
    bool reseed;
  } rows[] = {
      {1, -80, 4, 9999, 2, 2, 12, 12, 0, 0, -1, 0, 0, 0, true},
      {2, -80, 8, 9999, 4, 4, 24, 24, 12, 12, 0, 1, 1, 0, false},
      {3, 0, 20, 20, 4, 4, 12, 12, 0, 0, 0, 1, 0, 0, false},
      {4, -80, 0.3, 9999, 0.15, 9999, 12, 12, 0, 0, 0, 1, 0, 0, false},
      {5, -80, 8, 9999, 4, 4, 24, 24, 12, 12, 0, 1, 1, 10, false},
      {6, -80, 5.9, 5.9, 8.5, 8.5, 12, 12, 0, 0, 0, 1, 0, 0, false},
      {7, -80, 24, 24, 12, 12, 12, 12, 0, 0, 0, 0, 0, 0, true},
  };
  FieldFixture field;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.stage);
    // Everything the start resets, left dirty by a previous stage.
    LcgRandomState = 12345;
    YesNoCursor = 0;
    SceneFrame = 9;
    GamePaused = 1;
    StageMarker = 3;
    SolidEnemyTimer = SolidPartTimer = 4;
    StageWork[7] = StageWorkY[255] = 1;
    BossType = 5;
    DeathTimer = 12;
    StageClearTimer = 40;
    PlayerPushedDown = 1;
    PlayerMoveX = PlayerMoveY = 2;
    ScreenFlashRed = ScreenFlashRedStep = ScreenFlashWhite = 9;
    BackgroundVariant = 2;
    FastForwardRequest = FrameSkipPhase = 1;
    ReturnToTitleRequest = 1;
    FrameWaitMs = 5;
    CancelEnemyShots = 1;
    StageBonusCount = 6;
    StageUnlockId = 2;
    MapRepeatTopRows = 1;
    EffectDriftX = 3.5;  // an earlier run's last drift
    ButtonHoldCounts[ButtonPadBits[kButtonShot]] = 30;
    ButtonHoldCounts[ButtonPadBits[kButtonChargeWeapon]] = 30;

    InitStageParameters(static_cast<int16_t>(r.stage));

    EXPECT_EQ(GameFrame, r.gameFrame);
    EXPECT_EQ(BackLayer0DivisorX, r.d0x);
    EXPECT_EQ(BackLayer0DivisorY, r.d0y);
    EXPECT_EQ(BackLayer1DivisorX, r.d1x);
    EXPECT_EQ(BackLayer1DivisorY, r.d1y);
    EXPECT_EQ(BackLayer0WrapColumns, r.wrap0);
    EXPECT_EQ(BackLayer1WrapColumns, r.wrap1);
    EXPECT_EQ(BackLayer0LoopColumn, r.loop0);
    EXPECT_EQ(BackLayer1LoopColumn, r.loop1);
    EXPECT_EQ(BossState, r.bossState);
    EXPECT_EQ(PlayerActive, r.playerActive);
    EXPECT_EQ(MapRepeatTopRows, r.repeatRows);
    EXPECT_EQ(StageMarker, r.marker);
    EXPECT_EQ(LcgRandomState, r.reseed ? 1u : 12345u);

    EXPECT_EQ(YesNoCursor, 1);
    EXPECT_EQ(SceneFrame, 0);
    EXPECT_EQ(GamePaused, 0);
    EXPECT_EQ(SolidEnemyTimer + SolidPartTimer, 0);
    EXPECT_EQ(StageWork[7] + StageWorkY[255], 0);
    EXPECT_EQ(BossType, -1);
    EXPECT_EQ(DeathTimer + StageClearTimer, 0);
    EXPECT_EQ(PlayerPushedDown, 0);
    EXPECT_EQ(PlayerMoveX + PlayerMoveY, 0);
    EXPECT_EQ(ScreenFlashRed + ScreenFlashRedStep + ScreenFlashWhite, 0);
    EXPECT_EQ(ScreenFlashWhiteStep, -4);
    EXPECT_EQ(BackgroundVariant, 0);
    EXPECT_EQ(EffectDriftX, 0);
    EXPECT_EQ(FastForwardRequest + FrameSkipPhase + ReturnToTitleRequest, 0);
    EXPECT_EQ(FrameWaitMs, 17);
    EXPECT_EQ(CancelEnemyShots, 0);
    EXPECT_EQ(StageBonusCount, 0);
    EXPECT_EQ(StageUnlockId, -1);
    EXPECT_EQ(ButtonHoldCounts[ButtonPadBits[kButtonShot]], 0);
    EXPECT_EQ(ButtonHoldCounts[ButtonPadBits[kButtonChargeWeapon]], 2);
  }
}

// A 40 x 12 map: the start at column 5, row 6, checkpoint 1 at column 20.
std::string SpineMap() { return FieldMapDescription(40, 12, 5, "cell 2 5 6 16\ncell 2 20 6 17\n"); }

class SpineTest : public testing::Test {
 protected:
  // Nothing here reads the digest, which sums megabytes of enemy pools a frame.
  SpineTest() { field.digestFrames = false; }
  void Start(int stage) {
    field.WriteStageMaps(stage, PlainBackgroundDescription(), SpineMap());
    ASSERT_EQ(field.StartStage(stage), 1);
    // The map spawner is not what is tested: the scroll runs at 1 px a frame.
    ScrollSpeed = ScrollTargetSpeed = 1;
  }
  FieldFixture field;
};

TEST_F(SpineTest, PlayStartsEightyFramesAfterTheStageStartButAtOnceOnStageThree) {
  for (int stage : {2, 3}) {
    SCOPED_TRACE(stage);
    Start(stage);
    TimeRank = 0;
    const double startX = CameraX;
    const int waiting = stage == 3 ? 0 : 80;
    field.Run(waiting);
    EXPECT_EQ(GameFrame, 0);
    EXPECT_EQ(CameraX, startX);
    EXPECT_EQ(TimeRank, 0);
    field.Step();
    EXPECT_EQ(CameraX, startX + 1);
    EXPECT_EQ(TimeRank, 1);  // frame 0 is a multiple of 250
    EXPECT_EQ(SceneFrame, waiting + 1);
  }
}

TEST_F(SpineTest, PauseHoldsTheFrameAndTheField) {
  Start(3);
  field.Run(5);
  const double x = CameraX;
  const uint32_t pause = HeldRole(kButtonPause);
  EXPECT_EQ(field.Step(pause).gameFrame, 5);
  EXPECT_EQ(GamePaused, 1);
  // Held on, the key does not toggle again; the field stands still.
  for (int i = 0; i < 10; ++i) EXPECT_EQ(field.Step(pause).gameFrame, 5);
  field.Step();
  EXPECT_EQ(CameraX, x);
  EXPECT_EQ(field.Step(pause).gameFrame, 6);
  EXPECT_EQ(GamePaused, 0);
  EXPECT_EQ(CameraX, x + 1);
}

TEST_F(SpineTest, ADeathRestartsAtTheCheckpointWhenTheDeathCountPassesEighty) {
  Start(3);
  field.Run(10);
  CheckpointIndex = 1;
  const double shipY = PlayerY;
  field.beforeFrame = [](int frame) {
    if (frame == 10) DeathTimer = 1;
  };
  // DeathTimer counts 1 .. 80 over the first 79 frames; the ship does not move meanwhile.
  field.Run(79, [](int) { return HeldRole(kButtonUp); });
  EXPECT_EQ(DeathTimer, 80);
  EXPECT_EQ(PlayerY, shipY);
  EXPECT_EQ(field.Step().gameFrame, -80);
  EXPECT_EQ(DeathTimer, 0);
  EXPECT_EQ(PlayerX, 20 * 40 + 20);
  EXPECT_EQ(PlayerY, 6 * 40 + 20);
  EXPECT_EQ(CameraX, 20 * 40 + 20 - 160);
  EXPECT_EQ(BossType, -1);

  // The last life: the field runs on from frame 0 under the game-over scene.
  Lives = 0;
  field.beforeFrame = [](int frame) {
    if (frame == 100) DeathTimer = 1;
  };
  field.Run(10);
  std::vector<FieldFrameReport> reports = field.Run(80);
  EXPECT_EQ(reports[78].scene, kScenePlay);
  // The frame that sees DeathTimer at 80 with no life left ends the game, and its respawn puts
  // GameFrame at 0, so the field keeps running under the game-over scene.
  EXPECT_EQ(reports[79].scene, kSceneGameOver);
  EXPECT_EQ(reports[79].gameFrame, 0);
}

TEST_F(SpineTest, TheStageClearsAfterTheCountPassesUnlessADeathComesBetween) {
  for (bool death : {false, true}) {
    SCOPED_TRACE(death);
    Start(3);
    field.beforeFrame = [death](int frame) {
      if (frame == 0) StageClearTimer = 2;
      if (death && frame == 100) DeathTimer = 1;
    };
    std::vector<FieldFrameReport> reports = field.Run(200);
    if (death) {
      EXPECT_EQ(StageClearTimer, 0);
      EXPECT_EQ(reports.back().scene, kScenePlay);
    } else {
      EXPECT_EQ(reports[159].scene, kScenePlay);
      EXPECT_EQ(reports[160].scene, kSceneStageClear);
    }
  }
}

TEST(FieldDigestTest, TheRunsDigestFollowsTheField) {
  // Each run from a fresh game state.
  auto run = [](bool moveOnce) {
    FieldFixture field;
    field.WriteStageMaps(3, PlainBackgroundDescription(), SpineMap());
    EXPECT_EQ(field.StartStage(3), 1);
    ScrollSpeed = ScrollTargetSpeed = 1;
    std::vector<uint64_t> digests;
    for (const FieldFrameReport& r : field.Run(40, [moveOnce](int frame) {
           return moveOnce && frame == 20 ? HeldRole(kButtonDown) : 0u;
         })) {
      digests.push_back(r.digest);
    }
    return digests;
  };
  const std::vector<uint64_t> a = run(false);
  const std::vector<uint64_t> b = run(false);
  const std::vector<uint64_t> c = run(true);
  EXPECT_EQ(a, b);
  for (int i = 0; i < 40; ++i) {
    if (i < 20) {
      EXPECT_EQ(c[i], a[i]) << i;
    } else {
      EXPECT_NE(c[i], a[i]) << i;
    }
  }
  // Every frame differs from the one before: the camera moves.
  for (int i = 1; i < 40; ++i) EXPECT_NE(a[i], a[i - 1]) << i;
}

}  // namespace
