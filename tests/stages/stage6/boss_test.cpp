// Stage 6's boss on a plain field: its set-up and the flags a second boss leaves alone, the scroll
// stop that calls the orbit carrier only for a moving scroll, the hull pieces out of reach right
// of screen x 560, the core's life and the inner shell's break, the emitters' and guns' shots,
// and the untouched fight on easy from the hulls' time-out to the clear.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_shake.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/spawn_census.h"
#include "tests/game_support/stage_bench.h"
#include "tests/stages/stage6/boss_field.h"

namespace {

constexpr int kUpperJaw = 0, kLowerJaw = 1, kUpperHull = 2, kLowerHull = 3, kInnerShell = 4,
              kOuterShell = 5, kBlue = 19;

bool Has(const std::vector<int>& sounds, int s) {
  return std::find(sounds.begin(), sounds.end(), s) != sounds.end();
}

TEST(Stage6Boss, SetsUpItsPartsAndFlagsOnceAndASecondBossLeavesTheFlags) {
  for (int difficulty : {1, 2}) {
    SCOPED_TRACE(difficulty);
    Stage6BossField f(difficulty);
    EnemyObject& o = f.boss();
    ASSERT_EQ(o.state, 2);
    EXPECT_EQ(o.partCountA, difficulty >= 2 ? 25 : 1);
    EXPECT_EQ(o.partCountB, 20);
    EXPECT_EQ(BossState, 1);
    EXPECT_EQ(StageWork[0], 1);
    EXPECT_EQ(StageWork[1], 1);
    // The boss clears the tentacles' entry and their set-up writes 36.
    EXPECT_EQ(StageWork[255], difficulty >= 2 ? 36 : 0);
    // The body, the shells and the jaws take no damage.
    for (TestDamageTarget t : {TestDamageTarget{0, f.slot, kTestBody, 0},
                               TestDamageTarget{0, f.slot, kTestPartsB, kOuterShell},
                               TestDamageTarget{0, f.slot, kTestPartsB, kInnerShell},
                               TestDamageTarget{0, f.slot, kTestPartsB, kUpperJaw}}) {
      f.field.DamageEnemy(t, 100000);
    }
    f.field.Step();
    EXPECT_EQ(o.life, -1);
    EXPECT_EQ(f.B(kOuterShell).state, 2);
    EXPECT_EQ(f.B(kInnerShell).state, 2);
    EXPECT_EQ(f.B(kUpperJaw).state, 2);
    // A second boss cell: its set-up writes none of the fight's flags, and both run on.
    StageWork[0] = 0;
    StageWork[1] = 2;
    StageWork[255] = 20;
    const int16_t second = SpawnPool0Enemy(o.x, o.y, kStage6BossType, 0, -1, 0);
    ASSERT_GE(second, 0);
    f.field.Step();
    EXPECT_EQ(EnemyPool0[second].state, 2);
    EXPECT_EQ(StageWork[0], 0);
    EXPECT_EQ(StageWork[1], 2);
    EXPECT_EQ(StageWork[255], difficulty >= 2 ? 36 : 20);
    f.field.Run(30);
    EXPECT_EQ(o.state, 2);
    EXPECT_EQ(EnemyPool0[second].state, 2);
  }
}

// At the view's edge 14800 the boss stops a scroll slower than 1.5, and calls the orbit carrier
// only when that scroll was moving.
TEST(Stage6Boss, StopsASlowScrollAndCallsTheCarrierOnlyForAMovingOne) {
  struct Case {
    double speed;
    double after;
    int carriers;
  };
  for (const Case& c : {Case{1, 0, 1}, Case{0, 0, 0}, Case{2, 2, 0}}) {
    SCOPED_TRACE(c.speed);
    Stage6BossField f(1);
    f.field.Step();
    ScrollTargetSpeed = c.speed;
    f.field.Step();
    EXPECT_EQ(ScrollTargetSpeed, c.speed);  // short of the edge nothing happens
    f.MoveViewEdgeTo(14800);
    f.field.Step();
    EXPECT_EQ(ScrollTargetSpeed, c.after);
    f.field.Step();
    EXPECT_EQ(Stage6BossField::CountPool0(14), c.carriers);
  }
}

// A hull piece right of screen x 560 cannot be hurt; left of it, it has 4200 hp scaled by the
// power rank, opens, and two destroyed pieces open the outer shell and send the carrier away.
TEST(Stage6Boss, HullPiecesComeInReachLeftOfScreenX560WithTheirLife) {
  for (int16_t power : {0, 200}) {
    SCOPED_TRACE(power);
    Stage6BossField f(1, 500);
    PowerRank = power;
    f.field.Run(2);
    EnemyPart& hull = f.B(kUpperHull);
    ASSERT_GT(WorldToScreenX(hull.x), 560);
    f.field.DamageEnemy({0, f.slot, kTestPartsB, kUpperHull}, 100000);
    f.field.Run(5);
    EXPECT_EQ(hull.state, 2);
    EXPECT_EQ(hull.life, -1);
    f.boss().x -= 150;
    f.field.Run(2);  // the piece follows the inner shell a frame behind
    EXPECT_EQ(hull.maxLife, power == 0 ? 4200 : 6109);
    EXPECT_EQ(hull.scoreBase, hull.maxLife);
    f.field.Run(20);
    EXPECT_EQ(hull.imageFrame, 0);  // opened in steps of four frames
    for (int j : {kUpperHull, kLowerHull}) {
      EXPECT_TRUE(f.field.DamageEnemy({0, f.slot, kTestPartsB, static_cast<int16_t>(j)}, 100000));
    }
    f.field.Run(3);
    EXPECT_EQ(StageWork[0], 0);
    EXPECT_EQ(f.B(kUpperHull).state, 0);
    EXPECT_EQ(f.B(kLowerHull).state, 0);
    EXPECT_GT(f.B(kOuterShell).cue, 0);
  }
}

// With the outer shell gone the core arms with 15000 hp (22500 on hard); the inner shell breaks
// below half of it (two thirds on hard), which calls the gunners once and then blows them up.
TEST(Stage6Boss, TheCoreArmsAndTheInnerShellBreaksAtItsShareOfTheCoresLife) {
  struct Case {
    int difficulty;
    int32_t life;
    int32_t breakBelow;
  };
  for (const Case& c : {Case{0, 15000, 7500}, Case{2, 22500, 15000}}) {
    SCOPED_TRACE(c.difficulty);
    Stage6BossField f(c.difficulty);
    PowerRank = 0;
    f.B(kOuterShell).state = 0;
    f.field.Run(2);
    EnemyPart& core = f.core();
    EXPECT_EQ(core.maxLife, c.life);
    EXPECT_EQ(Stage6BossField::CountPool0(15), 1);
    EXPECT_EQ(Stage6BossField::CountPool0(16), 1);
    EXPECT_EQ(StageWork[1], 2);
    f.field.DamageEnemy({0, f.slot, kTestPartsA, 0}, c.life - c.breakBelow);
    f.field.Step();
    EXPECT_EQ(f.B(kInnerShell).state, 2);  // at the share itself it holds
    f.field.DamageEnemy({0, f.slot, kTestPartsA, 0}, 1);
    f.field.Run(2);
    EXPECT_EQ(f.B(kInnerShell).state, 4);
    EXPECT_EQ(core.hitMode, 0);
    EXPECT_EQ(StageWork[1], 0);
    EXPECT_EQ(Stage6BossField::CountPool0(15) + Stage6BossField::CountPool0(16), 0);
    f.field.Run(200);
    EXPECT_EQ(f.B(kInnerShell).state, 0);
    EXPECT_EQ(Stage6BossField::CountPool0(15) + Stage6BossField::CountPool0(16), 0);
  }
}

// The blue emitter's volley: three heavy shots 12 frames apart at 10.8 (scaled), fired from
// just beyond the screen's edge too (the shot itself lives within 64 px of it), and none while
// the core is inert.
TEST(Stage6Boss, BlueVolleyFiresThreeHeavyShotsOnlyWithTheCoreOpen) {
  for (bool coreOpen : {false, true}) {
    SCOPED_TRACE(coreOpen);
    Stage6BossField f(1, 570);
    f.field.Run(2);
    ASSERT_GT(WorldToScreenX(f.B(kBlue).x), 640);
    ASSERT_LT(WorldToScreenX(f.B(kBlue).x), 700);
    SpawnCensus census;
    f.field.beforeFrame = [&](int) {
      if (!coreOpen) f.core().hitMode = 0;
    };
    f.B(kBlue).cue = 150;
    std::vector<int> firedAt;
    std::vector<double> speeds;
    int seen = 0;
    for (int i = 0; i < 120; ++i) {
      ClearEnemyShots();
      f.field.Step();
      for (const EnemyShot* s : EnemyShotsOfType(22)) {
        firedAt.push_back(i);
        speeds.push_back(s->workReal[0]);  // the speed it launches at once grown
        EXPECT_EQ(s->motionAngle, 512);
      }
      seen = census.counts().EnemyShots(22);
    }
    if (!coreOpen) {
      EXPECT_TRUE(firedAt.empty());
      EXPECT_EQ(seen, 0);
      continue;
    }
    ASSERT_EQ(firedAt.size(), 3u);
    EXPECT_EQ(firedAt[1] - firedAt[0], 12);
    EXPECT_EQ(firedAt[2] - firedAt[1], 12);
    for (double s : speeds) EXPECT_DOUBLE_EQ(s, ScaleShotSpeed(10.8));
    EXPECT_EQ(f.B(kBlue).cue, 0);
  }
}

// Closed jaws put their emitters and guns on screen: the red emitters fire long shots at 2.4
// unscaled, down from the upper jaw and up from the lower, only once their jaw is closed.
TEST(Stage6Boss, RedEmittersFireLongShotsOnlyWithTheirJawClosed) {
  for (bool closed : {false, true}) {
    SCOPED_TRACE(closed);
    Stage6BossField f(1);
    f.field.beforeFrame = [&](int) {
      for (int j : {kUpperJaw, kLowerJaw}) {
        EnemyPart& jaw = f.B(j);
        jaw.offsetX = -211;
        jaw.offsetY = j == kUpperJaw ? -100 : 100;
        jaw.work1 = closed ? 1 : 0;
      }
    };
    std::vector<int16_t> angles;
    for (int i = 0; i < 700; ++i) {
      ClearEnemyShots();
      f.field.Step();
      for (const EnemyShot* s : EnemyShotsOfType(21)) {
        EXPECT_DOUBLE_EQ(s->speed, 2.4 - 0.4);  // unscaled, less its first frame's braking
        angles.push_back(s->motionAngle);
      }
    }
    if (!closed) {
      EXPECT_TRUE(angles.empty());
      continue;
    }
    EXPECT_NE(std::find(angles.begin(), angles.end(), 256), angles.end());
    EXPECT_NE(std::find(angles.begin(), angles.end(), 768), angles.end());
    for (int16_t a : angles) EXPECT_TRUE(a == 256 || a == 768) << a;
  }
}

// A gun's burst: three shots 3.2, 2.4, 1.6 (scaled) four frames apart; aiming, it leaves the
// sector its jaw covers for the sector's nearer end or 0.
TEST(Stage6Boss, GunsFireThreeShotBurstsAndKeepOutOfTheirJawsSector) {
  Stage6BossField f(1);
  f.field.beforeFrame = [&](int) {
    for (int j : {kUpperJaw, kLowerJaw}) {
      f.B(j).offsetX = -211;
      f.B(j).offsetY = j == kUpperJaw ? -100 : 100;
    }
  };
  f.field.Step();
  EnemyPart& gun = f.B(8);
  ASSERT_FALSE(IsOutsideScreen(gun.x, gun.y, 0));
  f.B(kUpperJaw).work1 = 1;
  gun.cue = 1;
  std::vector<int> firedAt;
  std::vector<double> speeds;
  for (int i = 1; i <= 20; ++i) {
    ClearEnemyShots();
    f.field.Step();
    for (const EnemyShot* s : EnemyShotsOfType(1)) {
      firedAt.push_back(i);
      speeds.push_back(s->speed);
    }
  }
  ASSERT_EQ(firedAt.size(), 3u);
  EXPECT_EQ(firedAt[1] - firedAt[0], 4);
  EXPECT_EQ(firedAt[2] - firedAt[1], 4);
  for (int k = 0; k < 3; ++k) EXPECT_DOUBLE_EQ(speeds[k], ScaleShotSpeed(3.2 - 0.8 * k));
  EXPECT_EQ(gun.cue, 0);
  struct Case {
    int slot;
    int16_t start;
    int16_t after;
  };
  // Upper guns keep out of 641..767 and 768 and up; lower ones out of 257..383 and up to 256.
  for (const Case& c : {Case{8, 700, 640}, Case{9, 900, 0}, Case{12, 320, 384}, Case{13, 100, 0}}) {
    SCOPED_TRACE(c.slot);
    f.B(c.slot).angle = c.start;
    f.field.Step();
    EXPECT_EQ(f.B(c.slot).angle, c.after);
  }
}

struct Untouched {
  int hullsGoneAt = -1;  // boss frames
  int outerFreedAt = -1;
  int gunnersCalledAt = -1;
  int gunnersCalls = 0;
  int innerBrokeAt = -1;
  int armedAt = -1;
  int gunnersGoneAt = -1;
  int jawsClosedAt = -1;
  bool jawSoundAndShake = false;
  int coreCuedAt = -1;
  int coreDestroyedAt = -1;
  int clearAfter = -1;
  bool moved = false;
  bool scrolled = false;
};

TEST(Stage6Boss, UntouchedOnEasyItRunsEveryStageOfTheFightToTheClear) {
  Stage6BossField f(0);
  EnemyObject& o = f.boss();
  ScrollTargetSpeed = 0;
  StageUnlockId = 1;  // a finale with the capsule would drop it now
  const double x0 = o.x;
  Untouched u;
  int lastFrame = 0;
  int coreGoneFrame = -1;
  int step = 0;
  for (; step < 9600 && o.state != 0; ++step) {
    const int32_t gunnerWord = StageWork[1];
    const FieldFrameReport r = f.field.Step();
    if (o.state == 2) {
      lastFrame = o.frame;
      u.moved |= o.x != x0;
    }
    u.scrolled |= ScrollTargetSpeed != 0;
    if (u.hullsGoneAt < 0 && StageWork[0] == 0) u.hullsGoneAt = lastFrame;
    if (u.outerFreedAt < 0 && f.B(kOuterShell).state == 0) u.outerFreedAt = lastFrame;
    if (u.armedAt < 0 && f.core().cue == -2) u.armedAt = lastFrame;
    if (gunnerWord == 1 && StageWork[1] == 2) {
      u.gunnersCalledAt = lastFrame;
      ++u.gunnersCalls;
    }
    if (u.innerBrokeAt < 0 && gunnerWord == 2 && StageWork[1] == 0) u.innerBrokeAt = lastFrame;
    if (u.innerBrokeAt >= 0 && u.gunnersGoneAt < 0 &&
        Stage6BossField::CountPool0(15) + Stage6BossField::CountPool0(16) == 0) {
      u.gunnersGoneAt = lastFrame;
    }
    if (u.jawsClosedAt < 0 && f.B(kUpperJaw).work1 == 1) {
      u.jawsClosedAt = lastFrame;
      u.jawSoundAndShake = Has(r.sounds, 54) && ScreenShake.active == 1;
    }
    if (u.coreCuedAt < 0 && f.core().cue > 0) u.coreCuedAt = lastFrame;
    if (coreGoneFrame < 0 && o.state == 4) {
      coreGoneFrame = step;
      u.coreDestroyedAt = lastFrame;
    }
    if (o.state == 0) {
      u.clearAfter = step - coreGoneFrame;
      EXPECT_TRUE(Has(r.sounds, 27));
      EXPECT_EQ(r.liveItems, 0);  // this boss leaves no capsule
    }
  }
  EXPECT_EQ(o.partCountA, 1);
  EXPECT_EQ(u.hullsGoneAt, 3182);  // cue at 3001, destroyed above 180, gone the frame after
  EXPECT_GT(u.outerFreedAt, u.hullsGoneAt + 170);
  EXPECT_LT(u.outerFreedAt, u.hullsGoneAt + 190);
  EXPECT_EQ(u.gunnersCalls, 1);
  EXPECT_EQ(u.gunnersCalledAt, u.outerFreedAt + 1);
  EXPECT_EQ(u.innerBrokeAt - u.armedAt, 3001);
  EXPECT_LE(u.gunnersGoneAt - u.innerBrokeAt, 1);
  EXPECT_GT(u.jawsClosedAt, u.innerBrokeAt);
  EXPECT_TRUE(u.jawSoundAndShake);
  EXPECT_EQ(u.coreCuedAt, 9001);
  // The core goes on its cue's 180th frame; the body takes that up on the next.
  EXPECT_EQ(u.coreDestroyedAt, 9180);
  EXPECT_EQ(u.clearAfter, 80);
  EXPECT_EQ(StageClearTimer > 0, true);
  EXPECT_EQ(BossState, -1);
  EXPECT_FALSE(u.moved);
  EXPECT_FALSE(u.scrolled);
}

}  // namespace
