// The stage-3 boss's fight cycle in a fixture fight on a still screen: the plates that close
// outer first and open middle first, the stretch that starts only at a half-turn angle, the tip
// that starts the attack, the attack's length, the fold, the new height that alternates with the
// turn sign, and the body's fire table, the claw gun and the flame pods.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/game/shared_state.h"
#include "tests/stages/stage3/boss_fight.h"

namespace {

constexpr int kUpperPlates[5] = {29, 31, 33, 32, 30};  // outer, inner, middle, inner, outer
constexpr int kLowerPlates[5] = {35, 37, 38, 36, 34};

// Frames at which the phase word took a new value.
struct PhaseEntry {
  int index;
  int16_t phase;
};

std::vector<PhaseEntry> PhaseEntries(const std::vector<BossSnapshot>& h) {
  std::vector<PhaseEntry> out;
  for (int i = 1; i < static_cast<int>(h.size()); ++i) {
    if (h[i].phase != h[i - 1].phase) out.push_back({i, h[i].phase});
  }
  return out;
}

// The first snapshot from `from` on where the plate at slot is closed (open).
int PlateReaches(const std::vector<BossSnapshot>& h, int from, int slot, bool open) {
  return FindSnapshot(h, from, [&](const BossSnapshot& s) {
    const double y = s.plateOffsetY[slot - 29];
    return open ? std::abs(y) == 37 : y == 0;
  });
}

class Stage3BossCycleTest : public testing::Test {
 protected:
  // Two whole cycles of an untouched boss on normal, shared by the cycle tests.
  static void SetUpTestSuite() {
    fight_ = new BossFight(1);
    fight_->SpawnBoss();
    for (int i = 0; i < 3400; ++i) fight_->Step();
    entries_ = PhaseEntries(fight_->history());
  }
  static void TearDownTestSuite() {
    delete fight_;
    fight_ = nullptr;
  }
  static const std::vector<BossSnapshot>& h() { return fight_->history(); }

  // Index of the n-th (0-based) entry into phase p.
  static int Entry(int16_t p, int n) {
    for (const PhaseEntry& e : entries_) {
      if (e.phase == p && n-- == 0) return e.index;
    }
    return -1;
  }

  static BossFight* fight_;
  static std::vector<PhaseEntry> entries_;
};

BossFight* Stage3BossCycleTest::fight_ = nullptr;
std::vector<PhaseEntry> Stage3BossCycleTest::entries_;

TEST_F(Stage3BossCycleTest, ThePhasesRunInTheirCycleAndTheTurnSignFlipsAtEachStop) {
  std::vector<int16_t> phases;
  for (const PhaseEntry& e : entries_) phases.push_back(e.phase);
  const std::vector<int16_t> expected = {-3, 1, 2, 3, -1, -2, -3, 1, 2, 3, -1, -2, -3};
  ASSERT_GE(phases.size(), expected.size());
  phases.resize(expected.size());
  EXPECT_EQ(phases, expected);
  // At the first stop the turn sign becomes -1, at the second +1; the facing target is core 0
  // each time (core 0 lives).
  EXPECT_EQ(h()[Entry(1, 0)].turnSign, -1);
  EXPECT_EQ(h()[Entry(1, 1)].turnSign, 1);
  for (const BossSnapshot& s : h()) EXPECT_EQ(s.facing, 0);
  // The stop lies right of screen x 480 and within 10 px of screen y 200.
  for (int n = 0; n < 2; ++n) {
    const BossSnapshot& s = h()[Entry(1, n)];
    EXPECT_GT(s.x, 480);
    EXPECT_LT(std::abs(s.y - 200), 10);
  }
}

TEST_F(Stage3BossCycleTest, PlatesCloseOuterFirstAndTheStretchStartsAtAHalfTurnAngle) {
  for (int n = 0; n < 2; ++n) {
    SCOPED_TRACE(n);
    const int start = Entry(1, n);
    for (const int* row : {kUpperPlates, kLowerPlates}) {
      const int outerA = PlateReaches(h(), start, row[0], false);
      const int outerB = PlateReaches(h(), start, row[4], false);
      const int innerA = PlateReaches(h(), start, row[1], false);
      const int innerB = PlateReaches(h(), start, row[3], false);
      const int middle = PlateReaches(h(), start, row[2], false);
      // 37 px at 4 a frame: ten frames each, one plate after the other.
      EXPECT_EQ(outerA, start + 9);
      EXPECT_EQ(outerB, start + 9);
      EXPECT_EQ(innerA, outerA + 9);
      EXPECT_EQ(innerB, outerB + 9);
      EXPECT_EQ(middle, innerB + 9);
    }
    const int stretch = Entry(2, n);
    ASSERT_GT(stretch, start);
    EXPECT_EQ(h()[stretch].angle % 512, 0);
    EXPECT_EQ(h()[stretch].angle, 0);
    // The middle plates were shut before; while the angle was on its way the phase waited.
    EXPECT_GE(stretch, PlateReaches(h(), start, 33, false));
    for (int i = start; i < stretch; ++i) {
      if (h()[i].plateOffsetY[33 - 29] == 0 && h()[i].plateOffsetY[38 - 29] == 0) {
        EXPECT_NE(h()[i].angle % 512, 0) << i;
      }
    }
  }
}

TEST_F(Stage3BossCycleTest, TheTipStartsTheAttackWhichEndsAfterItsFrames) {
  for (int n = 0; n < 2; ++n) {
    SCOPED_TRACE(n);
    const BossSnapshot& tip = h()[Entry(3, n)];
    EXPECT_EQ(tip.upperTipOffsetX, 22);
    // Facing core 0 the upper arm reaches up (768) and bends by -24 a joint, ten joints.
    EXPECT_EQ(tip.upperTipAngle, WrapAngle(768 + 10 * tip.upperTipSwing));
    EXPECT_EQ(tip.upperTipSwing, -24);
    // 620 frames of attack; the fold starts on the 621st.
    EXPECT_EQ(Entry(-1, n) - Entry(3, n), 621);
    // The swing stays between 0 and its limit of -48.
    for (int i = Entry(3, n); i < Entry(-1, n); ++i) {
      EXPECT_LE(h()[i].upperTipSwing, 0);
      EXPECT_GE(h()[i].upperTipSwing, -48);
    }
  }
}

TEST_F(Stage3BossCycleTest, ArmsShowOnlyWhileOutAndFoldBeforeTheNewHeight) {
  // Parts later in the array may change the phase after a segment ran: judge the frames whose
  // phase did not change (the chain's segments are set up one a frame from the root out).
  auto out = [](int16_t p) { return p == 2 || p == 3 || p == -1; };
  for (size_t i = 16; i < h().size(); ++i) {
    const BossSnapshot& s = h()[i];
    if (s.phase != h()[i - 1].phase) continue;
    EXPECT_EQ(s.upperRootImage, out(s.phase) ? 1 : -1) << s.passes;
    EXPECT_EQ(s.upperSegmentImage, out(s.phase) ? 0 : -1) << s.passes;
  }
  for (int n = 0; n < 2; ++n) {
    const BossSnapshot& fold = h()[Entry(-2, n)];
    EXPECT_LT(std::abs(fold.upperTipY - fold.upperInnerY), 2);
  }
}

TEST_F(Stage3BossCycleTest, PlatesOpenMiddleFirstAndTheCruiseResumesAtTheNewHeight) {
  const double targets[2] = {300, 100};  // turn sign -1, then +1
  for (int n = 0; n < 2; ++n) {
    SCOPED_TRACE(n);
    const int start = Entry(-2, n);
    for (const int* row : {kUpperPlates, kLowerPlates}) {
      const int middle = PlateReaches(h(), start, row[2], true);
      const int innerA = PlateReaches(h(), start, row[1], true);
      const int innerB = PlateReaches(h(), start, row[3], true);
      const int outerA = PlateReaches(h(), start, row[0], true);
      const int outerB = PlateReaches(h(), start, row[4], true);
      EXPECT_LT(middle, innerA);
      EXPECT_EQ(innerA, innerB);
      EXPECT_LT(innerA, outerA);
      EXPECT_EQ(outerA, outerB);
    }
    // The height is reached within 4 px; the boss then brakes and cruises on once stopped
    // with every plate open.
    const int reached =
        FindSnapshot(h(), start, [](const BossSnapshot& s) { return s.timer == 1; });
    EXPECT_LT(std::abs(h()[reached].y - targets[n]), 4);
    const BossSnapshot& cruise = h()[Entry(-3, n + 1)];
    EXPECT_LT(std::abs(cruise.y - targets[n]), 40);
    EXPECT_EQ(cruise.vy, 0);
    EXPECT_EQ(cruise.timer, 1);
    for (double y : cruise.plateOffsetY) EXPECT_EQ(std::abs(y), 37);
  }
}

TEST_F(Stage3BossCycleTest, TheBodyFiresItsFourShellsAtAngleZeroOnTheRankedFrameRule) {
  const int16_t period = ComputeFireInterval(32, 0);
  const int16_t due = ComputeFireInterval(4, 0);
  int volleys = 0;
  for (int i = Entry(3, 0); i < Entry(-1, 0); ++i) {
    const BossSnapshot& s = h()[i];
    int shells = 0;
    for (const auto& [type, slot] : s.shots) shells += type == 3 ? 1 : 0;
    if (s.frame % period == due && s.angle == 0) {
      EXPECT_EQ(shells, 4) << s.frame;
      ++volleys;
    } else {
      EXPECT_EQ(shells, 0) << s.frame;
    }
    for (const auto& [type, slot] : s.shots) EXPECT_NE(type, 6);
  }
  EXPECT_GT(volleys, 5);
  // No body fire outside the attack.
  for (int i = 0; i < Entry(3, 0); ++i) {
    for (const auto& [type, slot] : h()[i].shots) EXPECT_NE(type, 3);
  }
}

TEST_F(Stage3BossCycleTest, PodsFireOnlyWhileCruisingFullyOutLeftOfTheLineFlashFirst) {
  int flames = 0;
  for (int i = 0; i < static_cast<int>(h().size()); ++i) {
    const BossSnapshot& s = h()[i];
    for (const auto& [type, slot] : s.shots) {
      // The flash comes on the frame the pod's count starts.
      if (type == 14) {
        EXPECT_EQ(s.phase, -3) << i;
        EXPECT_LT(s.x, 340) << i;
      }
      if (type == 20) ++flames;
    }
  }
  EXPECT_GT(flames, 0);
  // Each flame follows a flash of the same pod: on normal e = I(22), the flame e / 2 - 2
  // frames after the flash.
  const int16_t e = std::max<int16_t>(ComputeFireIntervalMildRank(22, 0), 6);
  int paired = 0;
  for (int i = 0; i < static_cast<int>(h().size()); ++i) {
    for (const auto& [type, slot] : h()[i].shots) {
      if (type != 20) continue;
      const int flashAt = i - (e / 2 - 2);
      ASSERT_GE(flashAt, 0);
      bool flashed = false;
      for (const auto& [t, sl] : h()[flashAt].shots) flashed = flashed || t == 14;
      EXPECT_TRUE(flashed) << i;
      ++paired;
      EXPECT_EQ(h()[flashAt].podRadius[0], 140);  // the ring moves out and in as one
    }
  }
  EXPECT_EQ(paired, flames);
}

TEST(Stage3BossPodsTest, SixPodsBelowHardEightFromHardOn) {
  for (int difficulty : {0, 1, 2, 3}) {
    SCOPED_TRACE(difficulty);
    BossFight fight(difficulty);
    fight.SpawnBoss();
    fight.Step();
    const EnemyObject& b = fight.boss();
    const int pods = difficulty < 2 ? 6 : 8;
    EXPECT_EQ(b.partCountA, pods);
    EXPECT_EQ(b.partCountB, 46);
    static constexpr int kSix[6] = {0, 171, 342, 512, 683, 854};
    for (int k = 0; k < pods; ++k) {
      const int angle = difficulty < 2 ? kSix[k] : 128 * k;
      // Set up and already orbiting by one step (the turn sign is +1).
      EXPECT_EQ(b.partsA[k].baseAngle, WrapAngle(angle + 4));
      EXPECT_EQ(b.partsA[k].partType, 27);
    }
  }
}

}  // namespace

namespace {

// Every free shot slot taken by a still, harmless shot without behaviour on this stage.
void FillShotPool() {
  for (EnemyShot& s : EnemyShots) {
    if (s.state != 0) continue;
    s = EnemyShot{};
    s.state = 2;
    s.type = 23;
    s.x = 320;
    s.y = 200;
    s.hitSize[0] = -1;
    s.removalMargin = 60;
  }
}

TEST(Stage3BossPodsTest, WithTheShotPoolFullAPodTiesNothingAndItsCountGoesOn) {
  BossFight fight(1);
  fight.SpawnBoss();
  ASSERT_TRUE(fight.RunUntil(
      [](const BossSnapshot& s) { return s.phase == -3 && s.podRadius[0] == 140 && s.x < 330; },
      3000));
  int counted = 0, restarted = 0;
  for (int i = 0; i < 120; ++i) {
    FillShotPool();
    int16_t before[8];
    for (int k = 0; k < 6; ++k) before[k] = fight.boss().partsA[k].work1;
    const BossSnapshot& s = fight.Step();
    EXPECT_TRUE(s.shots.empty());
    for (int k = 0; k < 6; ++k) {
      const EnemyPart& pod = fight.boss().partsA[k];
      EXPECT_EQ(pod.linkActive, 0) << k;
      EXPECT_EQ(pod.recoil, 0) << k;
      counted += pod.work1 >= 2 ? 1 : 0;
      restarted += before[k] > 0 && pod.work1 == 0 ? 1 : 0;
    }
  }
  EXPECT_GT(counted, 0);
  EXPECT_GT(restarted, 0);
}

}  // namespace
