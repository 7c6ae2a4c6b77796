// The weapons: each weapon's first volley (window, positions, angles, levels, flash, sound), the
// rapid weapons' intervals by level, the laser's bursts, the gauge and the charge button, the
// weapon change, the rolling orbs' life, the maximum-level timers, and what stops firing (no
// window, the stage's first frames, death, selections outside the tables).
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/weapons/weapon_test_support.h"

namespace {

constexpr uint32_t kShot = HeldRole(kButtonShot);
constexpr uint32_t kCharge = HeldRole(kButtonChargeWeapon);
constexpr uint32_t kChange = HeldRole(kButtonWeaponChange);

struct ExpectedShot {
  int slot;
  int type;
  int angle;
  int level;
  double dx, dy;
  bool flash;
};

enum WeaponKind { kMain, kSub, kChargeKind };

struct VolleyCase {
  std::string name;
  WeaponKind kind;
  int16_t weapon;
  int16_t level;
  int sound;
  std::vector<ExpectedShot> shots;
};

std::vector<VolleyCase> VolleyCases() {
  return {
      {"vulcan band 0",
       kMain,
       0,
       0,
       0,
       {{0, 0, 0, 1, 20, 0, true}, {1, 0, 32, 0, 10, 0, false}, {2, 0, 992, 0, 10, 0, false}}},
      {"vulcan band 1",
       kMain,
       0,
       5,
       0,
       {{0, 0, 0, 2, 20, 0, true}, {1, 0, 32, 1, 10, 0, false}, {2, 0, 992, 1, 10, 0, false}}},
      {"vulcan band 2",
       kMain,
       0,
       8,
       0,
       {{0, 0, 0, 2, 20, 0, true},
        {1, 0, 32, 2, 10, 0, false},
        {2, 0, 992, 2, 10, 0, false},
        {3, 0, 64, 0, 0, 0, false},
        {4, 0, 960, 0, 0, 0, false}}},
      {"wide band 0",
       kMain,
       1,
       3,
       1,
       {{1, 1, 928, 0, -10, -4, true},
        {2, 1, 96, 0, -10, 4, true},
        {3, 1, 0, 0, 14, -2, false},
        {4, 1, 0, 0, 14, 2, false},
        {5, 1, 560, 0, -20, -6, true},
        {6, 1, 464, 0, -20, 6, true}}},
      {"wide band 2",
       kMain,
       1,
       8,
       1,
       {{1, 1, 928, 2, -14, -6, true},
        {2, 1, 96, 2, -14, 6, true},
        {3, 1, 0, 2, 14, -2, false},
        {4, 1, 0, 2, 14, 2, false},
        {5, 1, 560, 2, -20, -6, true},
        {6, 1, 464, 2, -20, 6, true}}},
      {"laser band 1", kMain, 2, 4, 2, {{0, 2, 0, 1, 24, 0, true}}},
      {"napalm band 2", kMain, 3, 8, 3, {{0, 3, 0, 2, 13, 0, true}}},
      {"twoway band 0",
       kSub,
       0,
       0,
       4,
       {{64, 5, 832, 0, 4, -3, true},
        {65, 5, 192, 0, 4, 3, true},
        {66, 5, 704, 0, -12, -3, true},
        {67, 5, 320, 0, -12, 3, true}}},
      {"missile band 0",
       kSub,
       1,
       0,
       5,
       {{64, 6, -3, 0, -12, -6, false},
        {65, 6, -1, 0, -12, -6, true},
        {66, 6, 1, 0, -12, 6, true},
        {67, 6, 3, 0, -12, 6, false}}},
      {"missile band 2",
       kSub,
       1,
       8,
       5,
       {{64, 6, -7, 2, -12, -6, false},
        {65, 6, -5, 2, -12, -6, false},
        {66, 6, -3, 2, -12, -6, false},
        {67, 6, -1, 2, -12, -6, true},
        {68, 6, 1, 2, -12, 6, true},
        {69, 6, 3, 2, -12, 6, false},
        {70, 6, 5, 2, -12, 6, false},
        {71, 6, 7, 2, -12, 6, false}}},
      {"search band 1",
       kSub,
       2,
       4,
       6,
       {{64, 7, 3, 1, 1, -3, true},
        {65, 7, 5, 1, 1, 3, true},
        {66, 7, 7, 1, -11, -3, true},
        {67, 7, 9, 1, -11, 3, true}}},
      {"homing band 0",
       kSub,
       3,
       0,
       7,
       {{64, 8, 832, 1, 0, -3, false}, {69, 8, 192, 1, 0, 3, false}}},
      {"homing band 1",
       kSub,
       3,
       4,
       7,
       {{64, 8, 832, 1, 0, -3, false},
        {66, 8, 960, 0, 0, -3, false},
        {67, 8, 64, 0, 0, 3, false},
        {69, 8, 192, 1, 0, 3, false}}},
      {"homing band 2",
       kSub,
       3,
       8,
       7,
       {{64, 8, 832, 2, 0, -3, false},
        {66, 8, 960, 1, 0, -3, false},
        {67, 8, 64, 1, 0, 3, false},
        {69, 8, 192, 2, 0, 3, false}}},
      {"napalmsub band 0",
       kSub,
       4,
       0,
       8,
       {{64, 10, -1, 0, 4, -6, true},
        {65, 10, 1, 0, 4, 6, true},
        {66, 10, -2, 0, -12, -6, true},
        {67, 10, 2, 0, -12, 6, true}}},
      // The orbs come first; no orb is live yet, so no wave shot follows them.
      {"rolling band 1",
       kSub,
       5,
       4,
       9,
       {{64, 9, 0, 1, 0, 0, false}, {65, 9, 341, 1, 0, 0, false}, {66, 9, 682, 1, 0, 0, false}}},
      {"homing bomb band 0",
       kChargeKind,
       0,
       0,
       10,
       {{128, 12, 64, 0, 0, 0, false},
        {129, 12, 192, 0, 0, 0, false},
        {130, 12, 320, 0, 0, 0, false},
        {131, 12, 448, 0, 0, 0, false},
        {132, 12, 576, 0, 0, 0, false},
        {133, 12, 704, 0, 0, 0, false},
        {134, 12, 832, 0, 0, 0, false},
        {135, 12, 960, 0, 0, 0, false}}},
      {"wave band 1",
       kChargeKind,
       1,
       4,
       12,
       {{128, 14, 0, 1, 20, 0, false}, {129, 14, 512, 1, -20, 0, false}}},
      {"bomb band 2", kChargeKind, 2, 8, 13, {{128, 15, 0, 2, 0, 0, false}}},
  };
}

TEST(WeaponFiringTest, EachWeaponsFirstVolley) {
  for (const VolleyCase& c : VolleyCases()) {
    SCOPED_TRACE(c.name);
    WeaponField w;
    int first = 0, last = 63;
    uint32_t held = kShot;
    if (c.kind == kMain) {
      SelectedMainWeapon = c.weapon;
      MainWeaponLevels[c.weapon] = c.level;
    } else if (c.kind == kSub) {
      SelectedSubWeapons[0] = c.weapon;
      SelectedSubWeapons[1] = c.weapon == 0 ? 1 : 0;
      SubWeaponLevels[c.weapon] = c.level;
      first = 64, last = 127;
    } else {
      SelectedChargeWeapon = c.weapon;
      ChargeWeaponLevels[c.weapon] = c.level;
      ChargeGauge = ChargeGaugeMax;
      held = kCharge;
      first = 128, last = 138;
    }
    w.field.TakeSoundRequests();
    w.FireOnly(held);
    // SHOT fires the vulcan and the twoway beside the weapon under test, main before sub.
    const std::vector<int> sounds = c.kind == kMain  ? std::vector<int>{c.sound, 4}
                                    : c.kind == kSub ? std::vector<int>{0, c.sound}
                                                     : std::vector<int>{c.sound};
    EXPECT_EQ(w.field.TakeSoundRequests(), sounds);
    std::vector<int> expectedSlots;
    for (const ExpectedShot& e : c.shots) expectedSlots.push_back(e.slot);
    std::sort(expectedSlots.begin(), expectedSlots.end());
    ASSERT_EQ(FiredSlots(first, last), expectedSlots);
    for (const ExpectedShot& e : c.shots) {
      SCOPED_TRACE(e.slot);
      const PlayerShot& s = PlayerShots[e.slot];
      EXPECT_EQ(s.type, e.type);
      EXPECT_EQ(s.angle, e.angle);
      EXPECT_EQ(s.level, e.level);
      EXPECT_EQ(s.x, PlayerX + e.dx);
      EXPECT_EQ(s.y, PlayerY + e.dy);
      EXPECT_EQ(s.age, e.flash ? 0 : 100);
    }
  }
}

// Frames of a 60-frame hold at which the main weapon fired.
std::vector<int> MainFiringFrames(int16_t weapon, int16_t level) {
  WeaponField w;
  PlayerX = 400;
  SelectedMainWeapon = weapon;
  MainWeaponLevels[weapon] = level;
  std::vector<int> frames;
  for (int f = 0; f < 60; ++f) {
    w.Frame(kShot);
    if (!FiredSlots(0, 63).empty()) frames.push_back(f);
  }
  return frames;
}

TEST(WeaponFiringTest, RapidWeaponsFireAtTheirBandsInterval) {
  struct Case {
    int16_t weapon, level;
    int interval;
  };
  const Case cases[] = {{0, 3, 9}, {0, 4, 7},  {0, 8, 5},  {1, 0, 9}, {1, 7, 7},
                        {1, 8, 5}, {3, 0, 21}, {3, 4, 18}, {3, 8, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "weapon " << c.weapon << " level " << c.level);
    const std::vector<int> frames = MainFiringFrames(c.weapon, c.level);
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[0], 0);
    for (size_t n = 1; n < frames.size(); ++n) EXPECT_EQ(frames[n] - frames[n - 1], c.interval);
    EXPECT_EQ(frames.size(), static_cast<size_t>(59 / c.interval + 1));
  }
}

TEST(WeaponFiringTest, NoFreeWindowFiresNothingAndIsSilentButSetsTheCooldown) {
  WeaponField w;
  MainWeaponLevels[0] = 8;
  SubWeaponLevels[0] = 8;
  // Every fourth slot busy leaves no run of four free.
  for (int slot = 0; slot < 128; slot += 4) PlayerShots[slot].state = 2;
  const int busy = BusySlots(0, 138);
  w.field.TakeSoundRequests();
  w.FireOnly(kShot);
  EXPECT_EQ(BusySlots(0, 138), busy);
  EXPECT_EQ(MainWeaponCooldown, 5);
  EXPECT_EQ(SubWeaponCooldown, 16);
  EXPECT_TRUE(w.field.TakeSoundRequests().empty());
}

TEST(WeaponFiringTest, LevelsPastEightFireAsTheTopBand) {
  WeaponField w;
  MainWeaponLevels[0] = 20;
  w.FireOnly(kShot);
  EXPECT_EQ(FiredSlots(0, 63).size(), 5u);
  EXPECT_EQ(MainWeaponCooldown, 5);
  // A shot fired with a level past the per-level tables is set up as the top level.
  InitPlayerShot(10, 0, 0, 9, 100, 200, 0);
  UpdatePlayerShots();
  EXPECT_EQ(PlayerShots[10].damage, 15);
}

// Frames of a hold of frames (SHOT held while held(f)) at which a laser segment was fired, and
// those at which the laser's sound was asked for.
std::vector<int> LaserFrames(int16_t level, int frames, bool (*held)(int),
                             std::vector<int>* soundFrames = nullptr) {
  WeaponField w;
  SelectedMainWeapon = 2;
  MainWeaponLevels[2] = level;
  std::vector<int> fired;
  for (int f = 0; f < frames; ++f) {
    w.Frame(held(f) ? kShot : 0);
    if (!FiredSlots(0, 63).empty()) fired.push_back(f);
    for (int slot : w.field.TakeSoundRequests())
      if (slot == 2 && soundFrames != nullptr) soundFrames->push_back(f);
  }
  return fired;
}

TEST(WeaponFiringTest, LaserBurstsOfEightTwelveSixteenSegmentsEveryFiftyTwoFrames) {
  struct Case {
    int16_t level;
    int segments;
  };
  for (const Case& c : {Case{0, 8}, Case{4, 12}, Case{8, 16}}) {
    SCOPED_TRACE(c.level);
    // From an idle counter the first two segments are one frame apart, the rest two; the second
    // burst starts when the counter has run down (frame 51), the third a 52-frame cycle later.
    std::vector<int> expected = {0};
    for (int n = 1; n < c.segments; ++n) expected.push_back(2 * n - 1);
    for (int start : {51, 103})
      for (int n = 0; n < c.segments; ++n) expected.push_back(start + 2 * n);
    std::vector<int> soundFrames;
    EXPECT_EQ(LaserFrames(
                  c.level, 140, [](int) { return true; }, &soundFrames),
              expected);
    EXPECT_EQ(soundFrames, (std::vector<int>{0, 51, 103}));  // at each burst's start
  }
}

TEST(WeaponFiringTest, ReleasingTheLaserEndsItsSegmentsWhenTheLatchRunsOut) {
  // Held in frames 0..5: the latch runs out in frame 13, so the segments of frames 7, 9 and 11
  // still come. Held again from frame 20, the next burst waits for the counter (18 after the
  // release, one step every second frame) to reach 0 in frame 49.
  const std::vector<int> fired = LaserFrames(0, 60, [](int f) { return f < 6 || f >= 20; });
  const std::vector<int> expected = {0, 1, 3, 5, 7, 9, 11, 49, 51, 53, 55, 57, 59};
  EXPECT_EQ(fired, expected);
}

TEST(WeaponFiringTest, TheGaugeFillsByWeaponAndAPressFiresOnlyWhenFullWithSlotsFree) {
  const int16_t fillFrames[3] = {900, 720, 630};
  for (int16_t charge = 0; charge < 3; ++charge) {
    SCOPED_TRACE(charge);
    WeaponField w;
    SelectedChargeWeapon = charge;
    PlacePlayerAtStart();  // the gauge's size from the weapon
    w.field.TakeSoundRequests();
    for (int f = 1; f < fillFrames[charge]; ++f) w.FireOnly(0);
    EXPECT_LT(ChargeGauge, ChargeGaugeMax);
    EXPECT_EQ(ChargeFullFlash, 0);
    EXPECT_TRUE(w.field.TakeSoundRequests().empty());
    w.FireOnly(0);
    EXPECT_EQ(ChargeGauge, ChargeGaugeMax);
    EXPECT_EQ(ChargeFullFlash, 100);
    EXPECT_EQ(w.field.TakeSoundRequests(), std::vector<int>{14});  // once, as it fills
    w.FireOnly(0);
    EXPECT_EQ(ChargeFullFlash, 96);
    EXPECT_TRUE(w.field.TakeSoundRequests().empty());
  }

  WeaponField w;
  // Holding SHOT fills at half speed; the latch is set after the gauge's step, so the first
  // frame still adds 2.
  for (int f = 0; f < 10; ++f) w.FireOnly(kShot);
  EXPECT_EQ(ChargeGauge, 11);
  ChargeGauge = ChargeGaugeMax;
  PlayerShots[133].state = 2;  // a homing bomb still out
  w.field.TakeSoundRequests();
  w.FireOnly(kCharge);
  EXPECT_EQ(BusySlots(128, 138), 1);
  EXPECT_EQ(ChargeGauge, ChargeGaugeMax);  // the press is lost, the gauge stays
  EXPECT_TRUE(w.field.TakeSoundRequests().empty());
  PlayerShots[133].state = 0;
  w.FireOnly(kCharge);  // still held: no press
  EXPECT_EQ(BusySlots(128, 138), 0);
  w.FireOnly(0);
  w.FireOnly(kCharge);
  EXPECT_EQ(BusySlots(128, 135), 8);
  EXPECT_EQ(ChargeGauge, 0);
}

TEST(WeaponFiringTest, ChangeTogglesTheActiveSubWeaponWithItsSoundOnEachPress) {
  WeaponField w;
  const int16_t slots[] = {1, 1, 1, 0, 0, 1};
  const uint32_t held[] = {kChange, kChange, 0, kChange, 0, kChange};
  const bool pressed[] = {true, false, false, true, false, true};
  w.field.TakeSoundRequests();
  for (int f = 0; f < 6; ++f) {
    w.FireOnly(held[f]);
    EXPECT_EQ(ActiveSubSlot, slots[f]) << f;
    EXPECT_EQ(w.field.TakeSoundRequests(), pressed[f] ? std::vector<int>{32} : std::vector<int>{})
        << f;
  }
}

TEST(WeaponFiringTest, NothingFiresOrChangesBeforeFrameTwoOrWhileDying) {
  for (int dying = 0; dying < 2; ++dying) {
    WeaponField w;
    SelectedMainWeapon = 2;
    GameFrame = dying ? 10 : 1;
    DeathTimer = static_cast<int16_t>(dying);
    LaserFireCounter = 20;
    ChargeGauge = ChargeGaugeMax;
    w.field.TakeSoundRequests();
    w.FireOnly(kShot | kCharge | kChange);
    EXPECT_EQ(BusySlots(0, 138), 0);
    EXPECT_TRUE(w.field.TakeSoundRequests().empty());
    EXPECT_EQ(ActiveSubSlot, 0);
    EXPECT_EQ(LaserFireCounter, 0);
    EXPECT_EQ(FireHoldLatch, 8);  // the upkeep still runs
  }
}

TEST(WeaponFiringTest, ASpentShieldCountsDownOverSevenFramesARaisedOneStays) {
  WeaponField w;
  ShieldLevel = 7;
  std::vector<int16_t> levels;
  for (int f = 0; f < 8; ++f) {
    w.FireOnly(0);
    levels.push_back(ShieldLevel);
  }
  EXPECT_EQ(levels, (std::vector<int16_t>{6, 5, 4, 3, 2, 1, 0, 0}));
  ShieldLevel = 8;
  w.FireOnly(0);
  EXPECT_EQ(ShieldLevel, 8);
}

TEST(WeaponFiringTest, OnlyTheSelectedWeaponsTimersRunAndRunningOutDropsLevelEightToSeven) {
  struct Case {
    int16_t level, timer;
    int16_t levelAfter, timerAfter;
  };
  for (const Case& c : {Case{8, 1, 7, 0}, Case{8, 2, 8, 1}, Case{6, 1, 6, 0}, Case{8, 0, 8, 0}}) {
    SCOPED_TRACE(testing::Message() << c.level << " " << c.timer);
    WeaponField w;
    MainWeaponLevels[0] = SubWeaponLevels[0] = ChargeWeaponLevels[0] = c.level;
    MainWeaponTimers[0] = SubWeaponTimers[0] = ChargeWeaponTimers[0] = c.timer;
    MainWeaponLevels[1] = SubWeaponLevels[1] = ChargeWeaponLevels[1] = 8;  // not selected
    MainWeaponTimers[1] = SubWeaponTimers[1] = ChargeWeaponTimers[1] = 1;
    w.FireOnly(0);
    for (const int16_t* levels : {MainWeaponLevels, SubWeaponLevels, ChargeWeaponLevels})
      EXPECT_EQ(levels[0], c.levelAfter);
    for (const int16_t* timers : {MainWeaponTimers, SubWeaponTimers, ChargeWeaponTimers})
      EXPECT_EQ(timers[0], c.timerAfter);
    EXPECT_EQ(MainWeaponTimers[1] + SubWeaponTimers[1] + ChargeWeaponTimers[1], 3);
    EXPECT_EQ(MainWeaponLevels[1] + SubWeaponLevels[1] + ChargeWeaponLevels[1], 24);
  }
}

TEST(WeaponFiringTest, SelectionsOutsideTheTablesFireNothingAndTouchNoTable) {
  struct Case {
    int16_t main, activeSlot, sub, charge;
  };
  for (const Case& c : {Case{4, 0, 0, 0}, Case{-1, 0, 0, 0}, Case{0, 2, 0, 0}, Case{0, -1, 0, 0},
                        Case{0, 0, 6, 0}, Case{0, 0, -1, 0}, Case{0, 0, 0, 3}, Case{0, 0, 0, -1}}) {
    SCOPED_TRACE(testing::Message()
                 << c.main << " " << c.activeSlot << " " << c.sub << " " << c.charge);
    WeaponField w;
    SelectedMainWeapon = c.main;
    ActiveSubSlot = c.activeSlot;
    SelectedSubWeapons[0] = c.sub;
    SelectedChargeWeapon = c.charge;
    ChargeGauge = ChargeGaugeMax;
    for (int16_t* timers : {MainWeaponTimers, SubWeaponTimers, ChargeWeaponTimers})
      std::fill(timers, timers + 3, int16_t{1});
    w.FireOnly(kShot | kCharge);
    const bool mainValid = c.main == 0;
    const bool subValid = c.activeSlot == 0 && c.sub == 0;
    const bool chargeValid = c.charge == 0;
    EXPECT_EQ(BusySlots(0, 63) > 0, mainValid);
    EXPECT_EQ(BusySlots(64, 127) > 0, subValid);
    EXPECT_EQ(BusySlots(128, 138) > 0, chargeValid);
    EXPECT_EQ(MainWeaponTimers[1] + MainWeaponTimers[2], 2);
    EXPECT_EQ(ChargeWeaponTimers[1] + ChargeWeaponTimers[2], 2);
    EXPECT_EQ(SubWeaponTimers[1] + SubWeaponTimers[2], 2);
  }
}

// The rolling orbs of band 0 (slots 64, 65) under a script of held roles; each frame's alpha of
// orb 64 (-1 once free) and whether both orbs were harmless whenever they were faint.
struct OrbRun {
  std::vector<int> alpha;
  bool faintHarmless = true;
  int waveShots = 0;
  std::vector<int> orbsPlaced;  // frames
};

OrbRun RunOrbs(int frames, uint32_t (*held)(int)) {
  WeaponField w;
  SelectedSubWeapons[0] = 5;
  OrbRun run;
  for (int f = 0; f < frames; ++f) {
    int16_t before[2] = {PlayerShots[64].alpha, PlayerShots[65].alpha};
    w.Frame(held(f));
    for (int k = 0; k < 2; ++k) {
      const PlayerShot& orb = PlayerShots[64 + k];
      if (orb.state == 2 && orb.type == 9 && before[k] < 128 && orb.damage != 0)
        run.faintHarmless = false;
    }
    run.alpha.push_back(PlayerShots[64].state != 0 ? PlayerShots[64].alpha : -1);
    for (int slot : FiredSlots(68, 127)) run.waveShots += PlayerShots[slot].type == 17 ? 1 : 0;
    if (!FiredSlots(64, 67).empty()) run.orbsPlaced.push_back(f);
  }
  return run;
}

TEST(WeaponFiringTest, OrbsFadeEightFramesAfterShotIsReleasedAndAreHarmlessWhenFaint) {
  // Held in frames 0..29: the orbs come in, fire wave shots, and after the release the latch
  // runs out in frame 37; the orbs see it in frame 38 and fade from 39, gone in frame 46.
  const OrbRun run = RunOrbs(50, [](int f) { return f < 30 ? kShot : 0u; });
  EXPECT_EQ(run.alpha[1], 32);
  EXPECT_EQ(run.alpha[8], 255);
  EXPECT_EQ(run.alpha[38], 255);
  EXPECT_EQ(run.alpha[39], 223);
  EXPECT_EQ(run.alpha[45], 31);
  EXPECT_EQ(run.alpha[46], -1);
  EXPECT_TRUE(run.faintHarmless);
  EXPECT_GT(run.waveShots, 4);
  EXPECT_EQ(run.orbsPlaced, std::vector<int>{0});
}

TEST(WeaponFiringTest, ChangingTheSubWeaponFadesTheOrbsAndNewOnesWaitForAllFourSlots) {
  // CHANGE in frame 10 (missile active) and again in frame 14 (rolling again): the orbs see the
  // change in frame 11 and fade from 12 all the same; new orbs come only in frame 19, when the
  // old ones are gone.
  const OrbRun run = RunOrbs(30, [](int f) { return kShot | (f == 10 || f == 14 ? kChange : 0u); });
  EXPECT_EQ(run.alpha[11], 255);
  EXPECT_EQ(run.alpha[12], 223);
  EXPECT_EQ(run.alpha[18], 31);
  EXPECT_EQ(run.orbsPlaced, (std::vector<int>{0, 19}));
  EXPECT_TRUE(run.faintHarmless);
}

}  // namespace
