// Items and info popups: what each kind does when the ship takes it (and the sound it asks
// for), the pickup circles, the capsule held on the screen and then homing, removal outside the
// view box, the popups' inward nudge, rise and blink, the banner slot, full pools and the kinds
// refused.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/weapons/weapon_test_support.h"

namespace {

// The ship at (100, 200) in a 640 x 400 view at the world's origin.
class ItemsTest : public testing::Test {
 protected:
  ItemsTest() {
    CameraX = 0;
    ViewRight = 640;
    ViewTop = 0;
    ViewBottom = 400;
  }

  // The popups in use: (slot, kind) pairs.
  static std::vector<std::pair<int, int>> Popups() {
    std::vector<std::pair<int, int>> out;
    for (int slot = 0; slot < kPopupSlots; ++slot)
      if (InfoPopups[slot].state != 0) out.emplace_back(slot, InfoPopups[slot].kind);
    return out;
  }

  static int LiveEffects(int type) {
    int n = 0;
    for (const Effect& e : Effects) n += e.state != 0 && e.type == type ? 1 : 0;
    return n;
  }

  WeaponField w;
};

struct PickupCase {
  std::string name;
  int32_t kind;
  int16_t level, timer, speed, shield;  // before: of the weapon the kind raises, speed, shield
  int16_t levelAfter, timerAfter, speedAfter, shieldAfter;
  int caption;  // -1 none
  int effect;   // -1 none
  int rankGain;
  int scoreGain;
  int sound;
};

TEST_F(ItemsTest, EachKindsPickup) {
  // Normal difficulty: item bonus 5000, shield bonus 20000, captions 2 and 3.
  const PickupCase cases[] = {
      {"main 3 to 4", 0, 3, 0, 1, 0, 4, 0, 1, 0, 8, 28, 40, 0, 17},
      {"main 1 to 2", 0, 1, 0, 1, 0, 2, 0, 1, 0, -1, -1, 0, 0, 17},
      {"main 7 to 8", 0, 7, 0, 1, 0, 8, 1500, 1, 0, 8, 28, 0, 0, 17},
      {"main at 8", 0, 8, 2000, 1, 0, 8, 3000, 1, 0, -1, -1, 0, 0, 17},
      {"sub 3 to 4", 1, 3, 0, 1, 0, 4, 0, 1, 0, 9, 29, 30, 0, 18},
      {"charge 3 to 4", 4, 3, 0, 1, 0, 4, 0, 1, 0, 10, 30, 20, 0, 21},
      {"speed up", 2, 0, 0, 1, 0, 0, 0, 2, 0, -1, -1, 0, 0, 19},
      {"speed up at 3", 2, 0, 0, 3, 0, 0, 0, 3, 0, 2, -1, 0, 5000, 22},
      {"speed down", 3, 0, 0, 1, 0, 0, 0, 0, 0, -1, -1, 0, 0, 20},
      {"speed down at 0", 3, 0, 0, 0, 0, 0, 0, 0, 0, 2, -1, 0, 5000, 22},
      {"shield", 6, 0, 0, 1, 0, 0, 0, 1, 8, -1, -1, 0, 0, 23},
      {"shield while up", 6, 0, 0, 1, 8, 0, 0, 1, 8, 3, -1, 0, 20000, 22},
  };
  for (const PickupCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetItemsAndPopups();
    std::memset(Effects, 0, sizeof(Effects));
    PowerRank = 0;
    Score = 0;
    ShipSpeed = c.speed;
    SpeedUpTimer = 0;
    ShieldLevel = c.shield;
    int16_t* level = c.kind == 1   ? &SubWeaponLevels[0]
                     : c.kind == 4 ? &ChargeWeaponLevels[0]
                                   : &MainWeaponLevels[0];
    int16_t* timer = c.kind == 1   ? &SubWeaponTimers[0]
                     : c.kind == 4 ? &ChargeWeaponTimers[0]
                                   : &MainWeaponTimers[0];
    *level = c.level;
    *timer = c.timer;
    SpawnItem(c.kind, PlayerX, PlayerY);
    w.field.TakeSoundRequests();
    UpdateItemsAndPopups();
    EXPECT_EQ(Items[0].state, 0);  // taken in its first update
    EXPECT_EQ(w.field.TakeSoundRequests(), std::vector<int>{c.sound});
    EXPECT_EQ(*level, c.levelAfter);
    EXPECT_EQ(*timer, c.timerAfter);
    EXPECT_EQ(ShipSpeed, c.speedAfter);
    EXPECT_EQ(SpeedUpTimer, c.speedAfter != c.speed ? 3 : 0);
    EXPECT_EQ(ShieldLevel, c.shieldAfter);
    EXPECT_EQ(PowerRank, c.rankGain);
    EXPECT_EQ(Score, c.scoreGain);
    using Shown = std::vector<std::pair<int, int>>;
    const Shown shown = c.caption < 0 ? Shown{} : Shown{{0, c.caption}};
    EXPECT_EQ(Popups(), shown);
    if (c.effect >= 0) { EXPECT_EQ(LiveEffects(c.effect), 1); }
  }
}

TEST_F(ItemsTest, TwoQuickStarsShowOnlyTheSecondBannerAndCountsPastTenShowNone) {
  SpawnItem(kBonusStarItem, PlayerX, PlayerY);
  SpawnItem(kBonusStarItem, PlayerX, PlayerY);
  w.field.TakeSoundRequests();
  UpdateItemsAndPopups();
  EXPECT_EQ(StageBonusCount, 2);
  EXPECT_EQ(w.field.TakeSoundRequests(), (std::vector<int>{22, 22}));
  using Shown = std::vector<std::pair<int, int>>;
  EXPECT_EQ(Popups(), (Shown{{15, 12}}));
  EXPECT_EQ(InfoPopups[15].frame, 0);  // the newest

  StageBonusCount = 10;
  SpawnItem(kBonusStarItem, PlayerX, PlayerY);
  UpdateItemsAndPopups();
  EXPECT_EQ(StageBonusCount, 11);
  EXPECT_EQ(InfoPopups[15].kind, 12);  // caption 21 has no image: the old banner stays
}

TEST_F(ItemsTest, PickupCirclesSitAtTwiceTheirOffsetAndTheOuterOnesAtTwiceTheirSize) {
  // Circle 1 (radius 3 at +9) reaches as a circle of radius 6 at +18: an item at +39 touches it,
  // one at +40 only meets it edge to edge.
  for (double dx : {39.0, -39.0, 40.0}) {
    SCOPED_TRACE(dx);
    ResetItemsAndPopups();
    ShipSpeed = 0;
    SpawnItem(kSpeedUpItem, PlayerX + dx, PlayerY);
    UpdateItemsAndPopups();
    EXPECT_EQ(ShipSpeed, dx == 40 ? 0 : 1);
  }
}

TEST_F(ItemsTest, ItemsLeaveEightyPixelsOutsideTheViewBoxTheCapsuleNever) {
  SpawnItem(kMainPowerUpItem, -80, 300);
  SpawnItem(kMainPowerUpItem, -81, 300);
  SpawnItem(kShieldItem, 300, 481);
  SpawnItem(kUnlockCapsuleItem, 300, 600);
  for (int f = 0; f < 50; ++f) UpdateItemsAndPopups();
  EXPECT_EQ(Items[0].state, 2);
  EXPECT_EQ(Items[1].state, 0);
  EXPECT_EQ(Items[2].state, 0);
  EXPECT_EQ(Items[3].state, 2);
}

TEST_F(ItemsTest, TheCapsuleIsPulledOnScreenHeldThirtyTwoFramesThenHomesAndIsTaken) {
  SpawnItem(kUnlockCapsuleItem, -300, PlayerY);
  UpdateItemsAndPopups();
  EXPECT_EQ(Items[0].x, -16);
  // The screen scrolls on; the capsule keeps its screen place while held.
  for (int f = 1; f <= 32; ++f) {
    DrawOffsetX -= 2;
    CameraX += 2;
    ViewRight += 2;
    UpdateItemsAndPopups();
    EXPECT_EQ(WorldToScreenX(Items[0].x), -16) << f;
  }
  // Then it homes, up to three steps a frame, speeding up.
  UpdateItemsAndPopups();
  EXPECT_GT(WorldToScreenX(Items[0].x), -16);
  EXPECT_NEAR(Items[0].speed, 3 * 0.025, 1e-12);

  // One on the ship is not taken while held.
  ResetItemsAndPopups();
  SpawnItem(kUnlockCapsuleItem, PlayerX, PlayerY);
  int taken = -1;
  for (int f = 0; f < 40 && taken < 0; ++f) {
    UpdateItemsAndPopups();
    if (Items[0].state == 0) taken = f;
  }
  EXPECT_EQ(taken, 33);
  EXPECT_TRUE(w.field.TakeSoundRequests().empty());  // taken in silence
}

TEST_F(ItemsTest, PopupsAreNudgedInwardRiseBlinkAndGoAfterSixtyFrames) {
  struct Case {
    int32_t kind;
    double x, shownX;
  };
  for (const Case& c : {Case{8, 30, 90}, Case{8, 590, 530}, Case{3, 69, 139}, Case{3, 70, 70},
                        Case{12, 39, 79}, Case{12, 601, 561}, Case{12, 300, 300}}) {
    SCOPED_TRACE(testing::Message() << c.kind << " at " << c.x);
    ResetItemsAndPopups();
    SpawnInfoPopup(c.kind, c.x, 200);
    UpdateItemsAndPopups();
    EXPECT_EQ(InfoPopups[0].x, c.shownX);
  }

  ResetItemsAndPopups();
  SpawnInfoPopup(0, 300, 200);
  std::vector<double> ys;
  std::vector<int> blinks;
  int frames = 0;
  while (InfoPopups[0].state != 0 && frames < 100) {
    UpdateItemsAndPopups();
    frames += 1;
    ys.push_back(InfoPopups[0].y);
    blinks.push_back(InfoPopups[0].blink);
  }
  EXPECT_EQ(frames, 62);  // set up at frame 0, freed after frame 60
  EXPECT_DOUBLE_EQ(ys[0], 196);
  EXPECT_DOUBLE_EQ(ys[1], 196 - 3.8);
  EXPECT_EQ(ys[30], ys[29]);  // the rise has run out
  EXPECT_EQ(blinks[48], 0);
  EXPECT_EQ(blinks[49], 1);
  EXPECT_EQ(blinks[50], 0);
}

TEST_F(ItemsTest, FullPoolsAndKindsWithoutAnImageAreRefused) {
  for (int n = 0; n < kItemSlots; ++n) SpawnItem(n % 8, 300, 50);
  for (int n = 0; n < kBannerPopupSlot; ++n) SpawnInfoPopup(n, 300, 50);
  const uint64_t full = DigestGameState(DigestScope::Run).value;
  SpawnItem(0, 300, 60);
  SpawnInfoPopup(0, 300, 60);
  EXPECT_EQ(DigestGameState(DigestScope::Run).value, full);
  SpawnBannerPopup(20, 300, 60);  // the banner slot is always free for the newest
  EXPECT_EQ(InfoPopups[15].kind, 20);

  ResetItemsAndPopups();
  const uint64_t empty = DigestGameState(DigestScope::Run).value;
  SpawnItem(-1, 300, 60);
  SpawnItem(8, 300, 60);
  SpawnInfoPopup(-1, 300, 60);
  SpawnInfoPopup(21, 300, 60);
  SpawnBannerPopup(21, 300, 60);
  SpawnBannerPopup(-32768, 300, 60);
  EXPECT_EQ(DigestGameState(DigestScope::Run).value, empty);
}

}  // namespace
