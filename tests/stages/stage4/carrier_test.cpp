// The carrier on a small stage-4 map whose start puts the view's right edge past the carrier's
// stop: the one scroll stop, the core's slide, warning and beam, the wall guns' cue numbers and
// aim, the turret pairs' rebuild and scores, the shut-down by the core's kill or self-destruct,
// the open end wall, the way home and the scroll it then holds at 1.
#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/hit_shapes.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/stages/stage4/stage4_test_owner.h"

namespace {

// 120 x 15 cells: ceiling rows 0-2, floor rows 12-14; the start at column 95 scrolls right at 2.
const char* const kCarrierMap = R"(size 120 15
layers 5
rect 2 0 0 120 3 1
rect 2 0 12 120 3 1
cell 2 95 7 16
cell 3 95 8 144
cell 3 97 5 133
)";

constexpr int kCore = 0;
constexpr int kEndWall = 14;
constexpr int kUpperWall = 15;
constexpr int kLowerWall = 16;
constexpr int kUpperArm = 1;  // on the lower wall, its gun in slot 0

class CarrierTest : public testing::Test {
 protected:
  explicit CarrierTest(int difficulty = 1) : field(difficulty) {}

  void SetUp() override {
    field.WriteStageMaps(4, PlainBackgroundDescription(), kCarrierMap);
    ASSERT_EQ(field.StartStage(4), 1);
    field.digestFrames = false;
    field.SetShipImmune(true);
    field.Run(81);  // the opening count
    ASSERT_GE(GameFrame, 0);
    ASSERT_GE(ScreenToWorldX(kViewWidth), 4080);
    // The end wall at the view's right edge, the core in view.
    slot = SpawnPool1Enemy(ScreenToWorldX(kViewWidth) - 1000 + 79, ScreenToWorldY(200) + 20, 13, 0,
                           -1, 0);
    ASSERT_GE(slot, 0);
  }

  EnemyObject& carrier() { return EnemyPool1[slot]; }
  EnemyPart& core() { return carrier().partsA[kCore]; }
  EnemyPart& front(int j) { return carrier().partsB[j]; }

  // Frames until pred holds, at most limit; the frames run.
  int RunUntil(const std::function<bool()>& pred, int limit) {
    for (int i = 1; i <= limit; ++i) {
      field.Step();
      if (pred()) return i;
    }
    return -1;
  }

  FieldFixture field;
  int16_t slot = -1;
};

TEST_F(CarrierTest, ItStopsTheScrollOnceAndItsCoreSlidesOutWarnsAndFires) {
  field.Step();
  EXPECT_EQ(ScrollTargetSpeed, 0);
  EXPECT_EQ(carrier().intWork3, 1);
  EXPECT_EQ(carrier().partCountA, 1);
  EXPECT_EQ(carrier().partCountB, 17);
  EXPECT_EQ(core().life, ScaleLifeByRank(3500));
  // A speed the map asks for later is not stopped again.
  ScrollTargetSpeed = 2;
  field.Run(3);
  EXPECT_EQ(ScrollTargetSpeed, 2);
  ScrollTargetSpeed = 0;

  // The carrier loads the core at frame F(160) of a period F(480) past frame 800.
  const int loaded = RunUntil([&] { return core().cue != 0; }, 1500);
  ASSERT_GT(loaded, 0);
  EXPECT_GT(carrier().frame, 800);
  EXPECT_EQ(carrier().frame % ComputeFireIntervalFlat(480, carrier().rank),
            ComputeFireIntervalFlat(160, carrier().rank));
  EXPECT_EQ(core().cue, 200);
  field.TakeSoundRequests();
  int firstWarning = -1, burst = -1, end = -1;
  for (int i = 1; i <= 300 && end < 0; ++i) {
    const int16_t before = core().cue;
    const FieldFrameReport r = field.Step();
    if (before == 200 && core().cue == 199) firstWarning = i;
    if (before == 140) burst = i;
    if (core().cue == 0) end = i;
    if (i == burst) { EXPECT_EQ(std::count(r.sounds.begin(), r.sounds.end(), 39), 1); }
    if (core().cue > 0) { EXPECT_EQ(carrier().phase, 1); }
  }
  // Counting the frame that loaded the cue as frame 0: 32 frames of slide, 60 of warning, 140 of
  // beam.
  EXPECT_EQ(firstWarning, 32);
  EXPECT_EQ(burst, 32 + 60);
  EXPECT_EQ(end, 32 + 60 + 140 - 1);
  EXPECT_EQ(core().offsetX, 944);
  // Idle again, the core slides home a pixel a frame.
  field.Step();
  EXPECT_EQ(carrier().phase, 0);
  EXPECT_EQ(core().offsetX, 943);
}

TEST_F(CarrierTest, WallGunsSkipCueNumbers4And8AndAimCloserToTheWallsAfter20Volleys) {
  std::vector<int> numbers;
  for (int i = 0; i < 5000 && numbers.size() < 12; ++i) {
    field.Step();
    for (int gun : {12, 13}) {
      // Cued this frame: the gun has counted its first step already.
      if (front(gun).cue == 2) numbers.push_back(front(gun).work0);
    }
  }
  // The upper gun's cue number, then the lower gun's, per period; 4 and 8 get none.
  const std::vector<int> expected = {1, 1, 2, 2, 3, 3, 5, 5, 6, 6, 7, 7};
  EXPECT_EQ(numbers, expected);

  // Cue number 1 aims the upper gun at 416; past 20 volleys at 384.
  auto aimedAngle = [&](int volleys) {
    carrier().intWork0 = 8;
    carrier().intWork1 = volleys;
    RunUntil([&] { return front(12).cue == 2; }, 2000);
    field.Run(40);
    return front(12).angle;
  };
  EXPECT_EQ(aimedAngle(10), 416);
  EXPECT_EQ(aimedAngle(30), 416 - 32);
  // Its shot bounces between the walls' lines.
  EXPECT_LT(StageWorkY[0], StageWorkY[1]);
}

TEST_F(CarrierTest, ADestroyedTurretPairRebuildsWithFullLifeAndScoresAgain) {
  field.Run(2);
  const int32_t life = ScaleLifeByRank(110);
  const TestDamageTarget arm{1, slot, kTestPartsB, kUpperArm};
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    RunUntil([&] { return front(kUpperArm).hitMode == 1; }, 400);
    ASSERT_EQ(front(kUpperArm).hitMode, 1);
    const int32_t score = Score;
    ASSERT_TRUE(field.DamageEnemy(arm, life + 1));
    EXPECT_EQ(Score - score, PartKillScore(life));
    field.Step();
    EXPECT_EQ(front(kUpperArm).state, 2);
    EXPECT_EQ(front(kUpperArm).life, life);
    EXPECT_EQ(front(kUpperArm).hitMode, 0);
    EXPECT_EQ(front(kUpperArm).offsetY, -48);
    EXPECT_EQ(front(0).state, 2);
    EXPECT_EQ(front(0).angle, 768);
    // Withdrawn for 160 frames, then rising a pixel a frame, shootable above -72.
    field.Run(159);
    EXPECT_EQ(front(kUpperArm).offsetY, -48);
    const int rise = RunUntil([&] { return front(kUpperArm).hitMode == 1; }, 100);
    EXPECT_EQ(rise, 26);
    EXPECT_LT(front(kUpperArm).offsetY, -72);
  }
}

TEST_F(CarrierTest, TheCoreKilledMidLaserEndsItAndTheCarrierShutsDownGoesHomeAndHoldsTheScroll) {
  field.Step();
  core().cue = 200;
  RunUntil([&] { return core().cue == 100; }, 300);
  const int beamBefore = static_cast<int>(LiveShots(24).size());
  ASSERT_GT(beamBefore, 10);
  const int32_t score = Score;
  ASSERT_TRUE(field.DamageEnemy({1, slot, kTestPartsA, kCore}, core().life + 1));
  EXPECT_EQ(Score - score, PartKillScore(ScaleLifeByRank(3500)));
  field.Step();
  EXPECT_EQ(core().linkActive, 0);
  EXPECT_GE(front(kEndWall).cue, 9999);
  EXPECT_EQ(front(12).state, 0);  // the wall guns go with a spark
  EXPECT_EQ(front(kUpperArm).state, 0);
  EXPECT_LE(static_cast<int>(LiveShots(24).size()), beamBefore);
  field.Step();
  EXPECT_EQ(front(kEndWall).imageFrame, 3);
  EXPECT_EQ(front(kEndWall).hitMode, 0);
  EXPECT_FALSE(IsPointInSolidPart(front(kEndWall).x, front(kEndWall).y, 1, -1));
  EXPECT_EQ(front(kUpperWall).hitMode, kSolidBoxHitMode);  // the walls stay
  EXPECT_EQ(front(kLowerWall).state, 2);

  // Home at 0.4 a frame, then the scroll held at 1 over any speed the map asks for.
  const int home =
      RunUntil([&] { return carrier().x == carrier().realWork2 && carrier().realWork1 == 0; }, 400);
  ASSERT_GT(home, 0);
  EXPECT_EQ(ScrollTargetSpeed, 1);
  field.beforeFrame = [](int) { ScrollTargetSpeed = 4; };
  field.Run(5);
  EXPECT_EQ(ScrollTargetSpeed, 1);
  field.beforeFrame = nullptr;
}

TEST_F(CarrierTest, AnUntouchedCoreDestroysItselfAfterFrame5000WithoutScore) {
  field.Step();
  carrier().frame = 5000;
  const int32_t score = Score;
  const int out = RunUntil([&] { return core().state != 2; }, 200);
  ASSERT_GT(out, 0);
  EXPECT_EQ(core().offsetX, 944);
  field.Run(2);
  EXPECT_GE(front(kEndWall).cue, 9999);
  EXPECT_EQ(Score, score);
}

TEST_F(CarrierTest, MapVariantsOfTheCarriersCellChangeNothing) {
  // Upper values 0 and 63 give variants -1 and 62: the carrier reads neither.
  field.Run(5);
  for (int16_t variant : {int16_t{-1}, int16_t{62}}) {
    SCOPED_TRACE(variant);
    const double x = carrier().realWork2 + 79, y = carrier().realWork3 + 20;
    const int16_t other = SpawnPool1Enemy(x, y, 13, 0, -1, 0);
    ASSERT_GE(other, 0);
    EnemyPool1[other].variant = variant;
    field.Run(5);
    EXPECT_EQ(EnemyPool1[other].state, 2);
    EXPECT_EQ(EnemyPool1[other].partCountB, 17);
    EXPECT_EQ(EnemyPool1[other].realWork2, carrier().realWork2);
    EXPECT_EQ(EnemyPool1[other].realWork3, carrier().realWork3);
    EnemyPool1[other].state = 0;
  }
}

}  // namespace
