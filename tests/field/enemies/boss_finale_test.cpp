// The steps every beaten boss shares: the stage clear alone, and the finale with its capsule,
// sound, flash, shake and explosion at the points it is given.
#include <algorithm>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/boss_finale.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/game/sound_requests.h"
#include "tests/game_support/field_fixture.h"

namespace {

class BossFinaleTest : public testing::Test {
 protected:
  void SetUp() override {
    BossState = 1;
    StageClearTimer = 0;
    CurrentMusicSlot = 2;
  }

  static int CountItems(int kind) {
    return static_cast<int>(std::count_if(std::begin(Items), std::end(Items), [&](const Item& i) {
      return i.state != 0 && i.kind == kind;
    }));
  }
  static const Effect* FindEffect(int type) {
    for (const Effect& e : Effects)
      if (e.state != 0 && e.type == type) return &e;
    return nullptr;
  }

  FieldFixture field;
};

TEST_F(BossFinaleTest, TheClearAloneEndsTheFightAndTheMusicAndNothingElse) {
  ClearStageAfterBoss();
  EXPECT_EQ(StageClearTimer, 2);
  EXPECT_EQ(BossState, -1);
  EXPECT_EQ(CurrentMusicSlot, -1);
  EXPECT_TRUE(field.TakeSoundRequests().empty());
  EXPECT_EQ(FindEffect(kBossDeathFlashEffect), nullptr);
  EXPECT_EQ(ScreenShake.active, 0);
}

TEST_F(BossFinaleTest, TheFinaleTakesItsStepsAtTheGivenPoints) {
  struct Case {
    int16_t unlockId;
    bool clears, dropsCapsule;
    int capsules;
  };
  const Case cases[] = {
      {2, true, true, 1},   // a weapon to unlock: the capsule
      {-1, true, true, 0},  // none left to unlock
      {0, true, true, 0},   // only above 0
      {2, true, false, 0},  // a finale without a capsule
      {2, false, true, 1},  // the clear comes later (a boss of several forms)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "unlock " << c.unlockId << " clears " << c.clears
                                    << " capsule " << c.dropsCapsule);
    ResetPlayFieldState();
    SetUp();
    StageUnlockId = c.unlockId;
    BossFinale finale;
    finale.x = 300;
    finale.y = 150;
    finale.blastX = 330;
    finale.blastY = 120;
    finale.clearsStage = c.clears;
    finale.dropsCapsule = c.dropsCapsule;
    field.TakeSoundRequests();
    FinishBoss(finale);

    EXPECT_EQ(StageClearTimer, c.clears ? 2 : 0);
    EXPECT_EQ(BossState, c.clears ? -1 : 1);
    EXPECT_EQ(CurrentMusicSlot, c.clears ? -1 : 2);
    EXPECT_EQ(CountItems(kUnlockCapsuleItem), c.capsules);
    for (const Item& i : Items) {
      if (i.state != 0) {
        EXPECT_EQ(i.x, 300);
        EXPECT_EQ(i.y, 150);
      }
    }
    const std::vector<int> sounds = field.TakeSoundRequests();
    EXPECT_NE(std::find(sounds.begin(), sounds.end(), 27), sounds.end());
    const Effect* flash = FindEffect(kBossDeathFlashEffect);
    ASSERT_NE(flash, nullptr);
    EXPECT_EQ(flash->x, 300);
    EXPECT_EQ(flash->y, 150);
    EXPECT_EQ(ScreenShake.active, 1);
    EXPECT_EQ(ScreenShake.duration, 60);
    // The boss explosion: more effects than the flash, around the blast point, not the flash's.
    int nearBlast = 0;
    for (const Effect& e : Effects) {
      if (e.state != 0 && &e != flash && std::abs(e.x - 330) < 80 && std::abs(e.y - 120) < 80)
        ++nearBlast;
    }
    EXPECT_GT(nearBlast, 1);
  }
}

}  // namespace
