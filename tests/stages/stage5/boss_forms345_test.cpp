// Forms 3, 4 and 5 of stage 5's boss chain on a still field: form 3's sweeps and their shot
// speeds, its seeker bursts and launchers; form 4's shot patterns, pods, arm volleys and beams;
// form 5's plates, claws, bob, turning shot and guns.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage5/stage5.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

namespace {

struct Shot {
  int32_t type;
  int16_t angle;
  double speed, x, y;
};

// One form alone in pool 0 slot 0 on a still stage-5 field, world and screen agreeing, the ship
// immune at the given point. Each step runs the pool and reports the enemy shots that step
// spawned (the pool is cleared after each step, so none move).
class FormField {
 public:
  FormField(int16_t type, int difficulty = 1) : field_(difficulty) {
    ClearAllObjects();
    CurrentStage = 5;
    StageMarker = type;
    DrawOffsetX = DrawOffsetY = 0;
    ScrollDeltaX = ScrollDeltaY = 0;
    TimeRank = PowerRank = 0;
    StageUnlockId = -1;
    StageClearTimer = 0;
    BossState = 0;
    field_.SetShipImmune(true);
    PlayerX = 60;
    PlayerY = 200;
    EXPECT_EQ(SpawnPool0Enemy(640, 200, type, 0, -1, 0), 0);
  }
  EnemyObject& form() { return EnemyPool0[0]; }
  std::vector<Shot> Step() {
    ClearEnemyShots();
    UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
    UpdateEffects();
    std::vector<Shot> shots;
    for (const EnemyShot& s : EnemyShots)
      if (s.state != 0) shots.push_back({s.type, s.motionAngle, s.speed, s.x, s.y});
    return shots;
  }
  template <typename Done>
  bool RunUntil(Done done, int limit) {
    for (int i = 0; i < limit; ++i) {
      Step();
      if (done()) return true;
    }
    return false;
  }
  // Entry and braking done: the form's first own phase.
  void Arrive() {
    ASSERT_TRUE(RunUntil(
        [&] { return form().state == 2 && form().phase != 0 && form().phase != -4; }, 300));
  }
  FieldFixture& field() { return field_; }

 private:
  FieldFixture field_;
};

std::vector<Shot> OfType(const std::vector<Shot>& shots, int32_t type) {
  std::vector<Shot> out;
  for (const Shot& s : shots)
    if (s.type == type) out.push_back(s);
  return out;
}

int Pool2OfType(int32_t type) {
  int n = 0;
  for (const EnemyObject& o : EnemyPool2) n += o.state != 0 && o.type == type ? 1 : 0;
  return n;
}

// ---- form 3 ----

// One pass of a sweeping cannon from just before the angle it fires at: the shot it fires there.
TEST(Stage5BossFormThreeTest, SweepShotsAreFasterTheNearerStraightLeftAndNoneBeyond164) {
  struct Case {
    int slot;        // cannon A 2 (variant 0) or A 3 (variant 1)
    int16_t start;   // its base angle before the pass; the pass turns it one step
    int32_t sweeps;  // the form's sweep count, which sets the target
    double speed;    // unscaled, 0 = no shot
  };
  const Case cases[] = {{2, 513, 0, 5.6}, {2, 353, 0, 2.1}, {3, 673, 0, 2.1}, {2, 347, 0, 2.0125},
                        {2, 346, 0, 0},   {3, 511, 1, 5.6}, {3, 678, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    FormField f(12);
    f.Arrive();
    EnemyObject& o = f.form();
    o.phase = 3;
    o.intWork0 = c.sweeps;
    EnemyPart& cannon = o.partsA[c.slot];
    cannon.baseAngle = c.start;
    cannon.work0 = 100;
    const int16_t every = ComputeFireIntervalFlat(12, o.rank);
    cannon.counter = every - 1;  // the pass brings it to a multiple
    ClearEnemyShots();
    UpdateStage5Boss3CannonPart(EnemyPool0, 0, o.partsA, static_cast<int16_t>(c.slot));
    const std::vector<const EnemyShot*> shots = EnemyShotsOfType(3);
    if (c.speed == 0) {
      EXPECT_TRUE(shots.empty());
      continue;
    }
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0]->motionAngle, cannon.angle);
    EXPECT_NEAR(shots[0]->speed, ScaleShotSpeed(c.speed), 1e-9);
  }
}

// Patrol 561 frames, arms in, four sweeps each after an 80-frame pause, cannons out, patrol.
TEST(Stage5BossFormThreeTest, PhasesCycleThroughFourSweepsDrivenByTheFirstCannon) {
  FormField f(12);
  f.Arrive();
  EnemyObject& o = f.form();
  EXPECT_EQ(o.phase, -3);
  std::vector<int16_t> phases = {o.phase};
  int patrolFrames = 0;
  int sweepsStarted = 0;
  int16_t lastCannon = o.partsA[2].baseAngle;
  bool turning = false;
  for (int i = 0; i < 3000 && phases.size() < 5; ++i) {
    f.Step();
    if (o.phase == -3 && phases.size() == 1) ++patrolFrames;
    if (o.phase != phases.back()) phases.push_back(o.phase);
    if (o.phase == 3) {
      const bool moving = o.partsA[2].baseAngle != lastCannon;
      if (moving && !turning) ++sweepsStarted;
      turning = moving;
      // Each sweep ends with the second cannon at the mirror of the first about straight left
      // (it runs without feedback and may get there a frame or more sooner).
      // The first cannon restarts both pauses before the second moves on its last frame, so
      // the second may end a step short.
      if (moving && (o.partsA[2].baseAngle == 352 || o.partsA[2].baseAngle == 512)) {
        EXPECT_LE(std::abs((o.partsA[3].baseAngle - 512) - (512 - o.partsA[2].baseAngle)), 1);
      }
    }
    lastCannon = o.partsA[2].baseAngle;
  }
  EXPECT_EQ(phases, (std::vector<int16_t>{-3, 1, 3, -1, -3}));
  EXPECT_EQ(patrolFrames, 560);
  EXPECT_EQ(sweepsStarted, 4);
  EXPECT_EQ(o.partsA[2].baseAngle, 384);
  for (int i = 0; i < 40; ++i) f.Step();
  EXPECT_EQ(o.partsA[0].baseAngle, 896);
  EXPECT_EQ(o.partsA[1].baseAngle, 128);
}

// Bursts of four seekers at 3.2, 4.4, 5.6, 3.2, the step carried into the next burst; the
// launchers start only past frame 80 and drop their missile 8 px left of themselves.
TEST(Stage5BossFormThreeTest, SeekerBurstsCarryTheirSpeedCycleAndLaunchersWaitFor80) {
  FormField f(12);
  f.Arrive();
  EnemyObject& o = f.form();
  std::vector<double> upper;
  int firstLaunch = -1;
  double launcherX = 0;
  for (int i = 0; i < 560 && upper.size() < 8; ++i) {
    launcherX = o.partsA[4].x;
    for (const Shot& s : OfType(f.Step(), 19)) {
      EXPECT_EQ(s.angle, 512);
      if (s.y < o.y) upper.push_back(s.speed);
    }
    if (firstLaunch < 0 && Pool2OfType(5) > 0) {
      firstLaunch = o.frame;
      for (const EnemyObject& m : EnemyPool2)
        if (m.state != 0) { EXPECT_NEAR(m.x, launcherX - 8, 1.0); }
    }
  }
  ASSERT_EQ(upper.size(), 8u);
  const double steps[] = {3.2, 4.4, 5.6, 3.2, 4.4, 5.6, 3.2, 4.4};
  for (int i = 0; i < 8; ++i) EXPECT_NEAR(upper[i], ScaleShotSpeed(steps[i]), 1e-9) << i;
  EXPECT_GT(firstLaunch, 80);
}

// A burst cut by the end of the patrol is not cancelled: it fires four more in the next patrol.
TEST(Stage5BossFormThreeTest, ABurstCutByThePhaseResumesWithFourMoreSeekers) {
  FormField f(12);
  f.Arrive();
  EnemyObject& o = f.form();
  EnemyPart& cannon = o.partsA[2];
  ASSERT_TRUE(f.RunUntil([&] { return cannon.cue > 0 && cannon.work0 == 2; }, 400));
  o.intWork0 = 560;  // the patrol ends on the next pass
  f.Step();
  ASSERT_EQ(o.phase, 1);
  const int16_t cue = cannon.cue;
  EXPECT_GT(cue, 0);
  ASSERT_TRUE(f.RunUntil([&] { return o.phase == -1; }, 2000));
  EXPECT_EQ(cannon.cue, cue);  // held while the form sweeps
  int seekers = 0;
  ASSERT_TRUE(f.RunUntil([&] { return o.phase == -3; }, 100));
  for (int i = 0; i < 200 && cannon.cue != 0; ++i) {
    for (const Shot& s : OfType(f.Step(), 19)) seekers += s.y < o.y ? 1 : 0;
  }
  EXPECT_EQ(seekers, 4);
}

// ---- form 4 ----

struct BodyShot {
  int32_t type;
  double speed, dx, dy;
  bool operator<(const BodyShot& o) const {
    return std::tie(type, dx, dy, speed) < std::tie(o.type, o.dx, o.dy, o.speed);
  }
  bool operator==(const BodyShot& o) const {
    return std::tie(type, dx, dy, speed) == std::tie(o.type, o.dx, o.dy, o.speed);
  }
};
using ShotSet = std::set<BodyShot>;

// The body's shots of one step: the plain ones left of the body (the arms' ports lie right of
// it, the beams are other types).
ShotSet BodyShots(const std::vector<Shot>& shots, double x, double y) {
  ShotSet out;
  for (const Shot& s : shots) {
    if (s.x > x - 50 || (s.type != 1 && s.type != 3)) continue;
    EXPECT_EQ(s.angle, 512);
    out.insert({s.type, s.speed, std::round(s.x - x), std::round(s.y - y)});
  }
  return out;
}

ShotSet Pair() { return {{1, ScaleShotSpeed(2.4), -73, -3}, {1, ScaleShotSpeed(2.4), -73, 3}}; }
ShotSet Three(std::initializer_list<std::pair<double, double>> at) {
  ShotSet out;
  for (const auto& [dx, dy] : at) out.insert({3, ScaleShotSpeed(2.8), dx, dy});
  return out;
}

TEST(Stage5BossFormFourTest, BodyPatternsFollowTheirTablesStepByStep) {
  for (int16_t phase : {3, -3}) {
    SCOPED_TRACE(phase);
    FormField f(13);
    f.Arrive();
    EnemyObject& o = f.form();
    o.phase = phase;
    const bool attack = phase == 3;
    // Built once the field runs at its difficulty, which scales the speeds.
    const std::vector<ShotSet> steps =
        attack ? std::vector<ShotSet>{Pair(),
                                      Three({{-118, -24}}),
                                      Three({{-118, 24}}),
                                      Three({{-90, -37}}),
                                      Three({{-90, 37}}),
                                      Pair(),
                                      {},
                                      Three({{-118, -24}, {-90, 37}})}
               : std::vector<ShotSet>{Pair(), Three({{-118, -24}, {-118, 24}}),
                                      {},     Three({{-90, -37}, {-90, 37}}),
                                      {},     Pair(),
                                      {},     Three({{-118, -24}, {-118, 24}})};
    const int16_t every =
        attack ? ComputeFireInterval(14, o.rank) : ComputeFireIntervalMildRank(21, o.rank);
    const int16_t at =
        attack ? ComputeFireInterval(7, o.rank) : ComputeFireIntervalMildRank(7, o.rank);
    int checked = 0;
    while (checked < 16 && o.phase == phase) {
      o.intWork0 = 0;  // held in the phase for two rounds of the table
      const double x = o.x, y = o.y;
      const int32_t step = o.intWork3;
      const std::vector<Shot> shots = f.Step();
      if (o.frame % every != at) {
        EXPECT_EQ(o.intWork3, step);
        EXPECT_TRUE(BodyShots(shots, x, y).empty());
        continue;
      }
      EXPECT_EQ(o.intWork3, (step + 1) % 8);
      EXPECT_EQ(BodyShots(shots, x, y), steps[step]) << "step " << step;
      ++checked;
    }
    EXPECT_EQ(checked, 16);
  }
}

// The natural cycle: pods open in their rotation in the patrol only (never while the arms are
// unfolded), arm volleys come from attack frame 81 to 600, and the attack ends only once the
// upper arm's cooldown has run out.
TEST(Stage5BossFormFourTest, PodsOpenOnlyInThePatrolAndVolleysKeepTheirWindow) {
  FormField f(13);
  f.Arrive();
  EnemyObject& o = f.form();
  const int kRotation[6][3] = {{3, 8, -1}, {5, 7, 9}, {2, 6, 8}, {4, 7, -1}, {3, 5, 9}, {2, 4, 6}};
  const int16_t podEvery = ComputeFireIntervalMildRank(24, o.rank);
  const int16_t podAt = ComputeFireIntervalMildRank(6, o.rank);
  int podSteps = 0, missilesInAttack = 0, volleyMin = 1 << 30, volleyMax = 0;
  int missiles = Pool2OfType(6);
  std::vector<int16_t> phases = {o.phase};
  int32_t attackEndWork0 = 0;
  int16_t attackEndCue = -1;
  for (int i = 0; i < 2400 && phases.size() < 5; ++i) {
    int16_t cues[10];
    for (int j = 2; j < 10; ++j) cues[j] = o.partsA[j].cue;
    const int32_t work0 = o.intWork0, step = o.intWork2;
    const int16_t phase = o.phase;
    const int16_t armCue = o.partsA[0].cue;
    const double x = o.x;
    const std::vector<Shot> shots = f.Step();
    const int now = Pool2OfType(6);
    if (phase == 1 || phase == 3) missilesInAttack += now - missiles;
    missiles = now;
    if (o.phase != phases.back()) {
      phases.push_back(o.phase);
      if (phase == 3) {
        attackEndWork0 = work0;
        attackEndCue = armCue;
      }
    }
    for (const Shot& s : shots) {
      if (s.x > x + 40 && phase == 3) {
        volleyMin = std::min(volleyMin, o.intWork0);
        volleyMax = std::max(volleyMax, o.intWork0);
      }
    }
    if (phase == -3 && o.phase == -3 && work0 + 1 < 480 && o.frame % podEvery == podAt) {
      std::set<int> opened, expected;
      for (int j = 2; j < 10; ++j)
        if (cues[j] <= 0 && o.partsA[j].cue > 0) opened.insert(j);
      for (int j : kRotation[step])
        if (j >= 0 && cues[j] == 0) expected.insert(j);
      EXPECT_EQ(opened, expected) << "pod step " << step;
      ++podSteps;
    }
  }
  EXPECT_EQ(phases, (std::vector<int16_t>{-3, 1, 3, -1, -3}));
  EXPECT_GE(podSteps, 6);
  EXPECT_GT(missiles, 0);
  EXPECT_EQ(missilesInAttack, 0);
  EXPECT_GE(volleyMin, 81);
  EXPECT_LE(volleyMin, 80 + ComputeFireIntervalMildRank(12, o.rank));
  EXPECT_LE(volleyMax, 600);
  EXPECT_GT(attackEndWork0, 600);
  EXPECT_LE(attackEndCue, 1);  // it reached 0 on the pass that ended the attack
  // The missiles' code: tens the launching pod's variant.
  for (const EnemyObject& m : EnemyPool2) {
    if (m.state == 0 || m.type != 6) continue;
    EXPECT_GE(m.angle, 0);
    EXPECT_LE(m.angle % 10, 2);
    EXPECT_LE(m.angle / 10, 7);
  }
}

// A pod cued while its arm is turned loses the cue and stays closed.
TEST(Stage5BossFormFourTest, APodCuedWhileItsArmIsTurnedStaysClosed) {
  FormField f(13);
  f.Arrive();
  EnemyObject& o = f.form();
  o.partsA[0].baseAngle = 256;
  o.partsA[2].cue = 1;
  f.Step();
  EXPECT_EQ(o.partsA[2].cue, 0);
  EXPECT_EQ(o.partsA[2].imageFrame, 0);
}

TEST(Stage5BossFormFourTest, VerticalTrackingHalvesWhileTheUpperBeamCounts) {
  struct Case {
    int16_t phase;
    bool beam;
    double top;
  };
  for (const Case& c :
       {Case{3, false, 1.6}, Case{3, true, 0.8}, Case{-3, false, 1.0}, Case{-3, true, 0.5}}) {
    SCOPED_TRACE(c.phase * 10 + c.beam);
    FormField f(13);
    f.Arrive();
    EnemyObject& o = f.form();
    o.phase = c.phase;
    PlayerY = 390;
    if (c.beam) o.partsB[1].cue = 120;
    for (int i = 0; i < 60; ++i) f.Step();
    EXPECT_NEAR(o.vy, c.top, 1e-9);
  }
}

// The emitters' tied beam: cued past frame 120 outside the patrol, it fires on 70..1; when the
// form dies the beam is cut to 30 and fades 3 a frame until the emitter frees itself. A full
// shot pool drops the pieces but not the count.
TEST(Stage5BossFormFourTest, BeamsFireOnTheirClockAndFadeWithTheForm) {
  FormField f(13);
  f.Arrive();
  EnemyObject& o = f.form();
  o.phase = 3;
  EnemyPart& beam = o.partsB[1];
  ASSERT_TRUE(f.RunUntil(
      [&] {
        o.intWork0 = 0;  // held in the attack
        return beam.cue == 119;
      },
      800));
  EXPECT_GT(o.frame, 120);
  int beamPieces = 0;
  ASSERT_TRUE(f.RunUntil(
      [&] {
        beamPieces += CountEnemyShotsOfType(11);
        return beam.cue == 40;
      },
      200));
  EXPECT_EQ(beamPieces, 2 * 30);  // both emitters, cue 70 .. 41
  EXPECT_EQ(beam.linkActive, 1);
  // A full pool: the count goes on.
  while (SpawnEnemyShot(1, 0, 0, 300, 200, 0) >= 0) {}
  for (int i = 0; i < 5; ++i) UpdateEnemyPool(EnemyPool0, 0, kEnemyPool0Size);
  EXPECT_EQ(beam.cue, 35);
  ClearEnemyShots();
  // The core dies in the next pass and ends the form there; the emitter, after it in the
  // array, starts fading in the same pass.
  ASSERT_TRUE(f.field().DamageEnemy({0, 0, kTestPartsB, 0}, o.partsB[0].life + 1));
  std::vector<int16_t> fade;
  for (int i = 0; i < 20 && beam.state != 0; ++i) {
    f.Step();
    if (beam.state != 0) fade.push_back(beam.cue);
  }
  EXPECT_EQ(beam.state, 0);
  EXPECT_EQ(fade, (std::vector<int16_t>{27, 24, 21, 18, 15, 12, 9, 6, 3}));
}

// ---- form 5 ----

TEST(Stage5BossFormFiveTest, BrakingEndsInPhaseMinus5AndThePlatesSlideOutFor40Frames) {
  FormField f(14, 2);
  f.Arrive();
  EnemyObject& o = f.form();
  EXPECT_EQ(o.phase, -5);
  EXPECT_EQ(o.partsA[4].offsetY, -81);  // the first step comes in the pass that ends braking
  int frames = 1;
  while (o.phase == -5 && frames < 100) {
    f.Step();
    ++frames;
  }
  EXPECT_EQ(frames, 40);
  EXPECT_EQ(o.phase, 1);
  EXPECT_EQ(o.partsA[4].offsetY, -120);
  EXPECT_EQ(o.partsA[5].offsetY, 120);
}

TEST(Stage5BossFormFiveTest, ClawSpeedsGrowWithTheCycleCount) {
  for (int n : {0, 3, 6}) {
    SCOPED_TRACE(n);
    FormField f(14, 2);
    f.Arrive();
    EnemyObject& o = f.form();
    ASSERT_TRUE(f.RunUntil([&] { return o.phase == 2; }, 200));
    o.intWork1 = n;
    o.partsA[8].offsetX = o.partsA[9].offsetX = -120;
    o.partsA[8].cue = 1;
    o.partsA[9].cue = 2;
    f.Step();
    EXPECT_DOUBLE_EQ(o.partsA[8].offsetX, -120 - (n * 0.25 + 1));
    EXPECT_DOUBLE_EQ(o.partsA[9].offsetX, -120 - (n * 0.5 + 2));
    // The rails follow, a pass behind (they come first in the array): the near pair with the
    // claw, the far pair at 1/2.8 of its travel.
    const double claw = o.partsA[9].offsetX;
    f.Step();
    EXPECT_DOUBLE_EQ(o.partsA[1].offsetX, claw + 120 + 96);
    EXPECT_DOUBLE_EQ(o.partsA[3].offsetX, (claw + 120) / 2.8 + 96);
  }
}

// A cycle ends on the pass after the slow claw is home, the fast claw having punched again
// meanwhile; the plates hold screen y 80 and 320 exactly while the body bobs between 160 and
// 240, and the bob stops while the turning shot counts.
TEST(Stage5BossFormFiveTest, CyclesEndWithTheSlowClawAndThePlatesHoldWhileTheBodyBobs) {
  FormField f(14, 2);
  f.Arrive();
  EnemyObject& o = f.form();
  double low = 1e9, high = -1e9;
  int cycles = 0, fastPunches = 0, turningShots = 0;
  bool slowHomeLastPass = false;
  for (int i = 0; i < 3000 && cycles < 4; ++i) {
    const int16_t phase = o.phase;
    const int16_t fastCue = o.partsA[phase == 2 ? 9 : 8].cue;
    const int16_t count = o.groundSlope;
    const double x = o.x, y = o.y;
    const std::vector<Shot> shots = f.Step();
    if (o.phase > 0) {
      EXPECT_NEAR(o.partsA[4].y, 80, 1e-9);
      EXPECT_NEAR(o.partsA[5].y, 320, 1e-9);
      low = std::min(low, o.y);
      high = std::max(high, o.y);
    }
    if (count > 0 && o.phase > 0 && phase > 0) { EXPECT_EQ(o.vy, 0); }
    for (const Shot& s : OfType(shots, 21)) {
      EXPECT_EQ(count, 4);
      EXPECT_NEAR(s.x, x - 77, 1e-9);
      EXPECT_NEAR(s.y, y, 1e-9);
      ++turningShots;
    }
    if (phase == 2 || phase == 4) {
      if (fastCue == -2 && o.partsA[phase == 2 ? 9 : 8].cue == 2) ++fastPunches;
      if (o.phase != phase) {
        EXPECT_TRUE(slowHomeLastPass);
        EXPECT_GE(fastPunches, 2);
        EXPECT_EQ(o.intWork1, std::min(cycles + 1, 6));
        ++cycles;
        fastPunches = 0;
      }
      const EnemyPart& slow = o.partsA[phase == 2 ? 8 : 9];
      slowHomeLastPass = slow.cue == -1 && slow.offsetX == -120;
    }
  }
  EXPECT_EQ(cycles, 4);
  EXPECT_GT(turningShots, 0);
  EXPECT_LE(low, 161);
  EXPECT_GE(high, 239);
  EXPECT_GE(low, 159);
  EXPECT_LE(high, 241);
}

TEST(Stage5BossFormFiveTest, GunsTakeTheirTurnsInA19StepRotationWithinTheirArcs) {
  FormField f(14, 2);
  f.Arrive();
  EnemyObject& o = f.form();
  PlayerX = 300;  // close, so that the aim leaves the arcs above and below
  PlayerY = 20;
  const int kExpected[19] = {10, 11, 12, 13, 12, 11, 10, -1, 13, 12,
                             11, 10, 11, 12, 13, -1, -1, -1, -1};
  const int16_t every = ComputeFireInterval(20, o.rank);
  const int16_t at = ComputeFireInterval(8, o.rank);
  int steps = 0;
  for (int i = 0; i < 3000 && steps < 38; ++i) {
    int16_t before[14];
    for (int j = 10; j < 14; ++j) before[j] = o.partsA[j].cue;
    const int32_t step = o.intWork3;
    const int16_t phase = o.phase;
    f.Step();
    // Aimed within their arcs: the upper guns 512..576, the lower 448..512.
    for (int j = 10; j < 14; ++j) {
      const int16_t a = o.partsA[j].angle;
      EXPECT_TRUE(j < 12 ? a >= 512 && a <= 576 : a >= 448 && a <= 512) << j << " at " << a;
    }
    if (phase <= 0 || o.frame % every != at) continue;
    int cued = -1;
    for (int j = 10; j < 14; ++j)
      if (before[j] == 0 && o.partsA[j].cue > 0) cued = j;
    EXPECT_EQ(cued, kExpected[step]) << "step " << step;
    ++steps;
  }
  EXPECT_EQ(steps, 38);
}

}  // namespace
