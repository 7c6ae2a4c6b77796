// The test hooks: the immune ship (no death, no shield spent, the enemy's side of each hit as
// usual), damage dealt to a chosen enemy or part through the normal route, targets that do not
// exist, the digest untouched by the switch, and both hooks driven through the headless game.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/collisions.h"
#include "stg_src/field/enemies/damage.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/scene_machine.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/game_driver.h"

namespace {

class TestHooksTest : public testing::Test {
 protected:
  void SetUp() override {
    PlayerX = 300;
    PlayerY = 200;
  }
  FieldFixture field;
};

TEST_F(TestHooksTest, AnImmuneShipTakesNoHarmWhileTheEnemySideGoesOnAsUsual) {
  field.SetShipImmune(true);
  PutEnemyShot(0, 300, 200, 4);
  CollideEnemyShot(0);
  EXPECT_EQ(EnemyShots[0].state, 3);
  PutEnemy(EnemyPool1, 0, 300, 200, 10, 100);
  CollideEnemyObject(EnemyPool1, 0);
  EXPECT_EQ(EnemyPool1[0].life, 50);
  // A raised shield is not spent either.
  ShieldLevel = 8;
  PutEnemyShot(1, 300, 200, 4);
  CollideEnemyShot(1);
  EXPECT_EQ(EnemyShots[1].state, 3);
  EXPECT_EQ(ShieldLevel, 8);
  EXPECT_EQ(PlayerShots[kShieldBurstSlot].state, 0);
  EXPECT_FALSE(KillPlayer(0));
  EXPECT_EQ(DeathTimer, 0);
  EXPECT_EQ(Lives, 3);

  field.SetShipImmune(false);
  ShieldLevel = 0;
  PutEnemyShot(2, 300, 200, 4);
  CollideEnemyShot(2);
  EXPECT_EQ(DeathTimer, 1);
  EXPECT_EQ(Lives, 2);
}

TEST_F(TestHooksTest, DamageGoesTheWayAShotsHitGoes) {
  CurrentStage = 2;
  StageUnlockId = 0;
  EnemyObject& o = PutEnemy(EnemyPool1, 3, 500, 100, 10, 10, 20);
  EnemyPart& part = PutPart(o, true, 2, 500, 100, 8, 0, 40);
  part.unlockWeight = 3;
  field.TakeSoundRequests();
  EXPECT_TRUE(field.DamageEnemy({1, 3, kTestPartsB, 2}, 1));
  EXPECT_EQ(part.state, 3);
  EXPECT_EQ(part.hitFlash, 128);
  EXPECT_EQ(StageUnlockId, 8);
  EXPECT_EQ(Score, 80);  // the part's 40, times 2 on normal
  EXPECT_TRUE(field.DamageEnemy({1, 3, kTestBody, 0}, 15));
  EXPECT_EQ(o.state, 3);
  EXPECT_EQ(o.life, -5);
  EXPECT_EQ(o.hitFlash, 128);
  EXPECT_EQ(Score, 80 + 80);  // the object's 20 doubled, times 2
  EXPECT_EQ(field.TakeSoundRequests(), (std::vector<int>{43, 43}));
  // An indestructible one is untouched, in silence.
  PutEnemy(EnemyPool0, 0, 500, 100, 10, -1, 20);
  EXPECT_TRUE(field.DamageEnemy({0, 0, kTestBody, 0}, 99));
  EXPECT_EQ(EnemyPool0[0].life, -1);
  EXPECT_EQ(EnemyPool0[0].hitFlash, 0);
  EXPECT_TRUE(field.TakeSoundRequests().empty());
  // Life and overkill are held to 32 bits whatever a caller deals.
  PutEnemy(EnemyPool2, 1, 500, 100, 10, 5);
  EXPECT_EQ(DamageEnemyObject(EnemyPool2, 1, INT32_MIN), INT32_MIN);
  EXPECT_EQ(EnemyPool2[1].life, INT32_MAX);
}

TEST_F(TestHooksTest, TargetsThatDoNotExistAreRefusedAndNothingChanges) {
  EnemyObject& o = PutEnemy(EnemyPool1, 3, 500, 100, 10, 10);
  PutPart(o, false, 1, 500, 100, 8, 10);
  PutPart(o, true, 4, 500, 100, 8, 10);
  o.partsB[2].state = 0;
  const uint64_t before = DigestGameState(DigestScope::Run).value;
  const TestDamageTarget missing[] = {
      {4, 3, kTestBody, 0},   {-1, 3, kTestBody, 0},   {0, 64, kTestBody, 0},
      {1, 128, kTestBody, 0}, {1, -1, kTestBody, 0},   {1, 4, kTestBody, 0},  // a free slot
      {1, 3, 2, 0},           {1, 3, kTestPartsA, 2},  {1, 3, kTestPartsA, -1},
      {1, 3, kTestPartsB, 2},  // a free part
      {1, 3, kTestPartsB, 5}, {1, 3, kTestPartsB, 46},
  };
  for (const TestDamageTarget& t : missing) {
    EXPECT_FALSE(DamageEnemyForTest(t, 5))
        << t.pool << " " << t.slot << " " << t.partArray << " " << t.part;
  }
  EXPECT_EQ(DigestGameState(DigestScope::Run).value, before);
  EXPECT_TRUE(DamageEnemyForTest({1, 3, kTestPartsA, 1}, 5));
  EXPECT_TRUE(DamageEnemyForTest({1, 3, kTestPartsB, 4}, 5));
}

TEST_F(TestHooksTest, TheSwitchIsNoGameStateAndAResetTurnsItOff) {
  const uint64_t before = DigestGameState(DigestScope::All).value;
  SetShipImmuneForTest(true);
  EXPECT_EQ(DigestGameState(DigestScope::All).value, before);
  ResetGameState();
  EXPECT_FALSE(IsShipImmuneForTest());
}

TEST(TestHooksDriverTest, TheDriverRunsAnImmuneShipAndDealsScriptedDamage) {
  GameDriver::Options options;
  options.immuneShip = true;
  GameDriver driver(options);
  driver.digestFrames = false;
  ASSERT_EQ(driver.Start(), 0);
  EXPECT_TRUE(IsShipImmuneForTest());
  driver.Run(2);
  ResetRunState();
  MenuCursors[0] = 0;
  CurrentStage = 2;
  CurrentScene = kSceneStageStart;
  driver.Run(82);
  ASSERT_EQ(CurrentScene, kScenePlay);
  ASSERT_GE(GameFrame, 0);
  // Pool 3 does not run on stage 2: the object waits there for the damage.
  PutEnemy(EnemyPool3, 9, CameraX + 400, PlayerY, 10, 40, 10);
  FrameInput hit;
  hit.damage.push_back({{3, 9, kTestBody, 0}, 25});
  driver.Step(hit);
  EXPECT_EQ(EnemyPool3[9].life, 15);
  driver.Step(hit);
  EXPECT_EQ(EnemyPool3[9].state, 3);
  EXPECT_GT(Score, 0);
  // Down into the rock below the first stretch: the ship lives.
  constexpr uint32_t kPadDown = 1u << 0;
  driver.Run(150, [](int) {
    FrameInput input;
    input.padBits = kPadDown;
    return input;
  });
  EXPECT_EQ(DeathTimer, 0);
  EXPECT_EQ(Lives, 3);
  EXPECT_EQ(PlayerY, ViewBottom - 20);
}

}  // namespace
