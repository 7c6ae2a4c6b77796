// The weapons in the running field: on the test stage the ship holds SHOT, changes its sub
// weapon, sets off its charge weapon and goes through every main, sub and charge weapon at
// every band, against an enemy that soaks the shots, while items drop on it and captions rise;
// two such runs give the same digest every frame. Each frame's report shows the volleys' sounds.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/enemies/handler_recorder.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"
#include "tools/lib/test_stage_maps.h"

namespace {

constexpr int kEnemySlot = 3;
constexpr int kOpeningFrames = 81;
constexpr int kFrames = 360;

struct PlayRun {
  std::vector<uint64_t> digests;
  int mostPlayerShots = 0;
  int mostItems = 0;
  bool enemyHurt = false;
  int16_t stars = 0;
  int popupsSeen = 0;
  int shotTypesSeen = 0;
};

// Every 30 frames the next weapons of each kind and the next band (the rolling first, while
// its orb slots are free), with the gauge topped up halfway through (the press comes from the
// script); an item of the next kind drops on the ship every 25 frames; a shield burst now and
// then, as a spent shield fires it.
bool droppedSlots[kItemSlots];  // slots holding an item Arm dropped

void Arm(int frame) {
  constexpr int16_t kSubOrder[kSubWeapons] = {5, 2, 3, 1, 4, 0};
  EnemyObject& o = EnemyPool1[kEnemySlot];
  o.x = CameraX + 420;
  o.y = -DrawOffsetY + 200;
  const int step = frame / 30;
  SelectedMainWeapon = static_cast<int16_t>(step % 4);
  SelectedSubWeapons[0] = kSubOrder[step % 6];
  SelectedSubWeapons[1] = kSubOrder[(step + 3) % 6];
  SelectedChargeWeapon = static_cast<int16_t>(step % 3);
  const int16_t level = static_cast<int16_t>(step * 4 % 12);
  std::fill(MainWeaponLevels, MainWeaponLevels + kMainWeapons, level);
  std::fill(SubWeaponLevels, SubWeaponLevels + kSubWeapons, level);
  std::fill(ChargeWeaponLevels, ChargeWeaponLevels + kChargeWeapons, level);
  if (frame % 30 == 14) ChargeGauge = ChargeGaugeMax;
  if (frame % 100 == 50)
    InitPlayerShot(kShieldBurstSlot, kShieldBurstShot, 0, 0, PlayerX, PlayerY, 0);
  if (frame % 25 == 0) {
    const int slot = FindFreeItemSlot();
    if (slot >= 0) droppedSlots[slot] = true;
    SpawnItem(frame / 25 % 8, PlayerX + 10, PlayerY);
  }
}

uint32_t Script(int frame) {
  uint32_t held = HeldRole(kButtonShot);
  if (frame % 30 == 15) held |= HeldRole(kButtonChargeWeapon);
  if (frame % 40 == 35) held |= HeldRole(kButtonWeaponChange);
  if (frame % 100 < 20) held &= ~HeldRole(kButtonShot);  // released now and then
  held |= frame % 80 < 40 ? HeldRole(kButtonUp) : HeldRole(kButtonDown);
  return held;
}

PlayRun RunStageTwoFiring() {
  FieldFixture field;
  WriteTestStageMaps(field.folder().path(), {2});
  EXPECT_EQ(field.StartStage(2), 1);
  field.SetShipImmune(true);
  field.digestFrames = false;
  field.Run(kOpeningFrames);  // the opening count
  field.digestFrames = true;
  ScopedEntry<EnemyObjectHandler> still{EnemyPool1Handlers[5], UpdateNothing};
  EnemyObject& o = PutEnemy(EnemyPool1, kEnemySlot, CameraX + 420, PlayerY, 30, 10000000, 10);
  o.despawnMarginX = o.despawnMarginY = 100;
  PlayRun run;
  std::fill(droppedSlots, droppedSlots + kItemSlots, false);
  bool typesSeen[kPlayerShotTypes] = {};
  field.beforeFrame = [&](int frame) {
    const EnemyObject& enemy = EnemyPool1[kEnemySlot];
    if (enemy.state == 2 && enemy.life < enemy.maxLife) run.enemyHurt = true;
    for (const PlayerShot& s : PlayerShots)
      if (s.state == 2 && s.type >= 0 && s.type < kPlayerShotTypes) typesSeen[s.type] = true;
    for (const InfoPopup& p : InfoPopups) run.popupsSeen += p.state == 2 && p.frame == 0 ? 1 : 0;
    // Only the items dropped on the ship: the boxes on the test stage's path drop theirs where
    // the shots take them.
    int dropped = 0;
    for (int slot = 0; slot < kItemSlots; ++slot) {
      if (Items[slot].state == 0) droppedSlots[slot] = false;
      dropped += droppedSlots[slot] ? 1 : 0;
    }
    run.mostItems = std::max(run.mostItems, dropped);
    Arm(frame - kOpeningFrames);  // the hook counts the fixture's frames from its start
  };
  for (const FieldFrameReport& r : field.Run(kFrames, Script)) {
    run.digests.push_back(r.digest);
    run.mostPlayerShots = std::max(run.mostPlayerShots, r.livePlayerShots);
  }
  run.stars = StageBonusCount;
  run.shotTypesSeen = static_cast<int>(std::count(typesSeen, typesSeen + kPlayerShotTypes, true));
  return run;
}

TEST(WeaponsInPlayTest, TwoRunsFiringEveryWeaponGiveTheSameDigestsEveryFrame) {
  const PlayRun a = RunStageTwoFiring();
  const PlayRun b = RunStageTwoFiring();
  ASSERT_EQ(a.digests.size(), static_cast<size_t>(kFrames));
  EXPECT_EQ(a.digests, b.digests);
  // The run went through the weapons' paths: many shots at once, every type, hits, items and
  // captions.
  EXPECT_GT(a.mostPlayerShots, 20);
  EXPECT_EQ(a.shotTypesSeen, kPlayerShotTypes);
  EXPECT_TRUE(a.enemyHurt);
  EXPECT_EQ(a.mostItems, 1);   // the capsule waits out its first 32 frames on the ship
  EXPECT_EQ(a.stars, 2);       // both stars dropped on the ship were taken
  EXPECT_GE(a.popupsSeen, 3);  // two banners and the second shield's bonus
}

TEST(WeaponsInPlayTest, EachFramesReportShowsTheVolleysSounds) {
  FieldFixture field;
  field.WriteStageMaps(3, PlainBackgroundDescription(),
                       FieldMapDescription(40, 12, 5, "cell 2 5 6 16\n"));
  ASSERT_EQ(field.StartStage(3), 1);
  field.Run(2);  // nothing fires before GameFrame 2
  SelectedMainWeapon = 0;
  SelectedSubWeapons[0] = 0;
  SelectedSubWeapons[1] = 1;
  ActiveSubSlot = 0;
  MainWeaponLevels[0] = SubWeaponLevels[0] = 0;
  // The fixture's frames never run the guards down: a report read from the request flags would
  // show each sound once only.
  std::vector<int> vulcan, twoway;
  const std::vector<FieldFrameReport> reports =
      field.Run(40, [](int) { return HeldRole(kButtonShot); });
  for (int f = 0; f < 40; ++f) {
    for (int slot : reports[f].sounds) {
      if (slot == 0) vulcan.push_back(f);
      if (slot == 4) twoway.push_back(f);
    }
  }
  EXPECT_EQ(vulcan, (std::vector<int>{0, 9, 18, 27, 36}));
  EXPECT_EQ(twoway, (std::vector<int>{0, 32}));
}

}  // namespace
