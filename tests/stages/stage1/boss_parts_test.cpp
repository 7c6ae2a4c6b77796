// The stage-1 boss's parts and its stage shot: the tied beam in its full and reduced forms and
// with the shot pool full, the guns' and pods' level-only firing and the middle gun's one beam an
// arms-out period, the wing plates that a late rock's shake breaks off, and shot 17's launch and
// clamped re-aim.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game/shared_state.h"
#include "stg_src/stages/stage1/stage1.h"
#include "tests/stages/stage1/stage1_bench.h"

namespace {

struct BeamFrame {
  int warnings = 0, beams = 0, particles = 0, bursts = 0;
  bool sound = false;
  int16_t cue = 0;
  uint8_t linkActive = 0;
};

// A part of a still pool-0 object with its cue at 120, stepped through RunTiedBeam frame by frame
// (the shots of each frame cleared after it).
std::vector<BeamFrame> RunBeam(Stage1Bench& bench, bool reduced, int frames) {
  EnemyObject& owner = EnemyPool0[5];
  owner.state = 2;
  owner.x = 300;
  owner.y = 200;
  EnemyPart& part = owner.partsA[0];
  part.state = 2;
  part.counter = 0;
  part.angle = 512;
  part.cue = kTiedBeamStart;
  std::vector<BeamFrame> run;
  for (int f = 0; f < frames; ++f) {
    part.counter += 1;
    bench.field.TakeSoundRequests();
    RunTiedBeam(EnemyPool0, 5, owner.partsA, 0, TiedBeamAlong(reduced ? 0 : 96, reduced));
    BeamFrame b;
    for (int s : bench.field.TakeSoundRequests()) b.sound |= s == 37;
    for (const EnemyShot& s : EnemyShots) {
      if (s.state == 0) continue;
      b.warnings += s.type == 10;
      b.beams += s.type == 11;
      b.particles += s.type == 12;
      b.bursts += s.type == 13;
    }
    b.cue = part.cue;
    b.linkActive = part.linkActive;
    run.push_back(b);
    ClearEnemyShots();
  }
  return run;
}

TEST(Stage1TiedBeam, FullFormWarnsFiftyFramesThenBurstsAndBeamsSeventy) {
  Stage1Bench bench;
  const std::vector<BeamFrame> run = RunBeam(bench, false, 130);
  int warnings = 0, beams = 0, sounds = 0, bursts = 0;
  for (int f = 0; f < 130; ++f) {
    const BeamFrame& b = run[f];
    warnings += b.warnings;
    beams += b.beams;
    sounds += b.sound;
    bursts += b.bursts;
    if (f < 50) {
      EXPECT_EQ(b.warnings, 1) << f;
      EXPECT_EQ(b.particles, (f + 1) % 2 == 0 ? 1 : 0) << f;  // on even part counters
      EXPECT_EQ(b.beams, 0) << f;
    } else if (f < 120) {
      EXPECT_EQ(b.beams, 1) << f;
      EXPECT_EQ(b.warnings, 0) << f;
      EXPECT_EQ(b.bursts, f == 50 ? 1 : 0) << f;
      EXPECT_EQ(b.sound, f == 50) << f;
    } else {
      EXPECT_EQ(b.beams + b.warnings, 0) << f;
      EXPECT_EQ(b.linkActive, 0) << f;
    }
  }
  EXPECT_EQ(warnings, 50);
  EXPECT_EQ(beams, 70);
  EXPECT_EQ(sounds, 1);
  EXPECT_EQ(bursts, 1);
}

TEST(Stage1TiedBeam, ReducedFormIsSilentFiftyFramesThenBeamsOneHundredForty) {
  Stage1Bench bench;
  const std::vector<BeamFrame> run = RunBeam(bench, true, 220);
  int beams = 0, sounds = 0, firstBeam = -1;
  for (int f = 0; f < 220; ++f) {
    const BeamFrame& b = run[f];
    EXPECT_EQ(b.warnings + b.particles + b.bursts, 0) << f;
    beams += b.beams;
    sounds += b.sound;
    if (b.beams > 0 && firstBeam < 0) firstBeam = f;
  }
  EXPECT_EQ(firstBeam, 50);
  EXPECT_EQ(beams, 140);
  EXPECT_EQ(sounds, 1);
}

TEST(Stage1TiedBeam, AFullShotPoolLinksNothingAndTheCountGoesOn) {
  Stage1Bench bench;
  for (EnemyShot& s : EnemyShots) {
    s.state = 2;
    s.type = 0;
  }
  EnemyObject& owner = EnemyPool0[5];
  owner.state = 2;
  EnemyPart& part = owner.partsA[0];
  part.state = 2;
  part.counter = 0;
  part.cue = kTiedBeamStart;
  for (int f = 0; f < 120; ++f) {
    part.counter += 1;
    RunTiedBeam(EnemyPool0, 5, owner.partsA, 0, TiedBeamAlong(96));
  }
  EXPECT_EQ(part.cue, 0);
  for (const EnemyShot& s : EnemyShots) EXPECT_EQ(s.type, 0);
  RunTiedBeam(EnemyPool0, 5, owner.partsA, 0, TiedBeamAlong(96));
  EXPECT_EQ(part.linkActive, 0);
  ClearEnemyShots();
}

// Guns and pods fire only while the boss is exactly level; the middle gun fires one beam per
// arms-out period.
TEST(Stage1BossParts, GunsFireOnlyLevelAndTheMiddleGunOnceAnArmsOutPeriod) {
  Stage1Bench bench;
  // A long steep descent with the arms out: the boss leans from its first frame on.
  EnemyObject& boss = bench.BossOnRoute(200, -2000);
  boss.intWork0 = 2;
  boss.partsB[1].offsetY = -38;
  boss.intWork3 = 5;
  for (int f = 0; f < 200; ++f) {
    bench.PassBoss();
    ASSERT_NE(boss.angle, 0) << f;
    for (int k = 3; k <= 5; ++k) ASSERT_EQ(boss.partsA[k].cue, 0) << f << " gun " << k;
  }
  // Level and still: the guns open up.
  boss.intWork3 = 0;
  boss.y = 200;
  int beamsStarted = 0;
  for (int f = 0; f < 400; ++f) {
    const int16_t before = boss.partsA[4].cue;
    bench.PassBoss();
    beamsStarted += boss.partsA[4].cue == kTiedBeamStart - 1 && before != kTiedBeamStart - 1;
    ClearEnemyShots();
  }
  EXPECT_EQ(boss.angle, 0);
  EXPECT_EQ(boss.intWork0, 2);
  EXPECT_EQ(beamsStarted, 1);
  // Folding the arms clears the flag; spreading them again allows one more.
  boss.intWork0 = -1;
  for (int f = 0; f < 30; ++f) bench.PassBoss();
  EXPECT_EQ(boss.intWork0, -2);
  EXPECT_EQ(boss.partsA[4].work1, 0);
  boss.intWork0 = 1;
  for (int f = 0; f < 30; ++f) {
    const int16_t before = boss.partsA[4].cue;
    bench.PassBoss();
    beamsStarted += boss.partsA[4].cue == kTiedBeamStart - 1 && before != kTiedBeamStart - 1;
  }
  EXPECT_EQ(beamsStarted, 2);
  ClearEnemyShots();
}

TEST(Stage1BossParts, PodsLaunchFourMissilesOnlyWithTheArmsInAndLevel) {
  Stage1Bench bench;
  EnemyObject& boss = bench.BossOnRoute(200, 200);
  boss.intWork0 = -2;
  int launched = 0;
  for (int f = 0; f < 300; ++f) {
    bench.PassBoss();
    for (EnemyObject& m : EnemyPool2) {
      if (m.state != 0 && m.type == 2) {
        ++launched;
        m.state = 0;
      }
    }
  }
  EXPECT_GE(launched, 8);
  EXPECT_EQ(launched % 2, 0);  // both pods together
  boss.intWork0 = 2;
  boss.partsB[1].offsetY = -38;
  for (int f = 0; f < 40; ++f) bench.PassBoss();  // a burst under way runs out
  for (EnemyObject& m : EnemyPool2) m.state = 0;
  for (int f = 0; f < 300; ++f) bench.PassBoss();
  for (const EnemyObject& m : EnemyPool2) EXPECT_EQ(m.state, 0);
}

// The wing plates break off past world x 19320 (19800 on hard and insane) once a shake of more
// than 62 frames has started, and are freed 120 px beyond the left edge.
TEST(Stage1BossParts, WingPlatesBreakOffOnlyPastTheLineAfterALongShake) {
  struct Row {
    int difficulty;
    double screenLeft;
    int16_t shake;
    bool breaks;
  } rows[] = {
      {1, 19321, 64, true},  {1, 19320, 64, false}, {1, 19321, 62, false},
      {2, 19800, 64, false}, {2, 19801, 64, true},  {3, 19801, 63, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.difficulty << " " << r.screenLeft << " " << r.shake);
    Stage1Bench bench(r.difficulty);
    DrawOffsetX = -r.screenLeft;
    CameraX = r.screenLeft;
    ViewRight = CameraX + 640;
    EnemyObject& boss = bench.BossOnRoute(r.screenLeft + 100, 200);
    StartScreenShake(r.shake);
    bench.PassBoss();
    EXPECT_EQ(boss.partsB[6].state, r.breaks ? 4 : 2);
    EXPECT_EQ(boss.partsB[7].state, r.breaks ? 4 : 2);
    if (!r.breaks) continue;
    // Tumbling in the world: no longer following the boss.
    const double y6 = boss.partsB[6].y, y7 = boss.partsB[7].y, x6 = boss.partsB[6].x;
    bench.PassBoss();
    EXPECT_DOUBLE_EQ(boss.partsB[6].y, y6 - 4);
    EXPECT_DOUBLE_EQ(boss.partsB[7].y, y7 + 4);
    EXPECT_DOUBLE_EQ(boss.partsB[6].x, x6 + 4.8);
    DrawOffsetX = -(boss.partsB[6].x + 4.8 + 119);  // one pass later the plate is at screen -119
    bench.PassBoss();
    EXPECT_EQ(boss.partsB[6].state, 4);
    DrawOffsetX -= 10;
    bench.PassBoss();
    EXPECT_EQ(boss.partsB[6].state, 0);
  }
}

TEST(Stage1RetargetShot, OffScreenItIsFreedSilentlyAndItsReAimIsClamped) {
  Stage1Bench bench;
  // 60 px beyond the screen's edge is still on; further out the shot goes without its sound.
  for (double x : {-61.0, 700.5}) {
    SCOPED_TRACE(x);
    const int16_t slot = SpawnEnemyShot(17, 0, 4, x, 200, 0);
    ASSERT_GE(slot, 0);
    bench.field.TakeSoundRequests();
    UpdateEnemyShots();
    EXPECT_EQ(EnemyShots[slot].state, 0);
    EXPECT_TRUE(bench.field.TakeSoundRequests().empty());
  }
  struct Row {
    double playerX, playerY;
    int16_t aim;
  } rows[] = {{600, 200, 0}, {100, 150, 896}, {100, 250, 128}, {310, 0, 896}, {310, 400, 128}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.playerX << "," << r.playerY);
    ClearEnemyShots();
    PlayerX = r.playerX;
    PlayerY = r.playerY;
    const int16_t slot = SpawnEnemyShot(17, 0, 4.8, 300, 200, 1);
    bench.field.TakeSoundRequests();
    UpdateEnemyShots();
    EXPECT_EQ(bench.field.TakeSoundRequests(), std::vector<int>{33});
    EnemyShot& s = EnemyShots[slot];
    // Out, braking over 16 frames to a stop, one frame of aim, then away again.
    int frames = 1;
    while (s.linkMode != 3 && frames < 100) {
      s.x = 300;  // held where the aim is measured from
      s.y = 200;
      UpdateEnemyShots();
      ++frames;
    }
    ASSERT_EQ(s.linkMode, 3);
    EXPECT_EQ(s.motionAngle, r.aim);
    EXPECT_EQ(s.drawAngle, r.aim);
    // Back up to the launch speed by sixteenths: the last step may pass it by a rounding.
    for (int f = 0; f < 20; ++f) UpdateEnemyShots();
    EXPECT_GE(s.speed, 4.8 - 1e-9);
    EXPECT_LT(s.speed, 4.8 + 4.8 / 16);
  }
  ClearEnemyShots();
}

}  // namespace
