// Stage 1's walking robot on a small map with a floor: one robot at a time, its bursts and full
// tied beam on its 600-frame cycle, standing through the beam, the turn back for good at a route
// marker against its way, its life and score, and its fall and end when shot down.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"

namespace {

constexpr int16_t kRobot = 11;
constexpr int kFloorRow = 11;
constexpr double kFloorY = kFloorRow * 40;

// 40 x 12 cells with a floor along row 11, started at checkpoint 1 (no opening), the scroll still;
// `extra` adds cells.
struct RobotField {
  FieldFixture field;

  explicit RobotField(const std::string& extra = "") {
    field.digestFrames = false;
    field.WriteStageMaps(
        1, PlainBackgroundDescription(),
        FieldMapDescription(40, 12, 5,
                            "rect 2 0 11 40 1 1\ncell 2 2 5 16\ncell 2 4 5 17\n" + extra));
    CheckpointIndex = 1;
    EXPECT_EQ(field.StartStage(1), 1);
    field.SetShipImmune(true);
    field.PinShip(ScreenToWorldX(60), ScreenToWorldY(150));
  }

  // A robot spawned by code at screen x (it stands 60 px to the right) and set up by a frame.
  int16_t Spawn(double screenX) { return SpawnAtWorld(ScreenToWorldX(screenX)); }
  int16_t SpawnAtWorld(double x) {
    const int16_t slot = SpawnPool0Enemy(x, kFloorY - 200, kRobot, 0, -1, 0);
    field.Step();
    return slot;
  }
};

// A robot set up while another lives, or within 40 frames of its last live frame, is gone at
// once; one set up 40 frames after lives.
TEST(Stage1Robot, OnlyOneRobotAtATime) {
  RobotField f;
  const int16_t first = f.Spawn(300);
  EnemyObject& a = EnemyPool0[first];
  ASSERT_EQ(a.state, 2);
  EXPECT_EQ(a.x, ScreenToWorldX(360));
  EXPECT_EQ(a.y, kFloorY - 115);  // stood on the floor by its probe
  const int16_t second = f.Spawn(100);
  EXPECT_EQ(EnemyPool0[second].state, 0);
  EXPECT_EQ(a.state, 2);

  a.state = 0;  // gone after its last live frame
  for (int after = 1; after <= 40; ++after) {
    const int16_t s = f.Spawn(100);
    if (after < 40) {
      ASSERT_EQ(EnemyPool0[s].state, 0) << after;
    } else {
      EXPECT_EQ(EnemyPool0[s].state, 2) << after;
    }
  }
}

struct RobotFrame {
  int32_t frame;  // the robot's, during the frame
  int32_t phase;  // that mod its cycle
  int16_t cue;    // the emitter's, after the frame
  double x, speed;
  int16_t angle, angleBefore;
  double shotSpeed;
  std::vector<EnemyShot> newShots;  // of type 3
  int warnings = 0;                 // the full beam's warning lines (type 10) alive
};

// Over one whole cycle: two bursts of six type-3 shots at I(50) and I(450), I(16) apart, along
// the robot's aim; the full tied beam from I(250), through which the robot stands once its
// legs have set down, and turns only one step every fourth frame.
TEST(Stage1Robot, BurstsAndTheBeamFollowTheCycleAndTheRobotStandsThroughTheBeam) {
  RobotField f;
  const int16_t slot = f.Spawn(400);
  EnemyObject& o = EnemyPool0[slot];
  const int16_t cycle = ComputeFireInterval(600, o.rank);
  const int16_t gap = ComputeFireInterval(16, o.rank);
  std::vector<RobotFrame> frames;
  for (int i = 0; i < cycle + 10; ++i) {
    bool wasFree[kEnemyShotSlots];
    for (int s = 0; s < kEnemyShotSlots; ++s) wasFree[s] = EnemyShots[s].state == 0;
    RobotFrame r;
    r.frame = o.frame + 1;
    r.phase = r.frame % cycle;
    r.angleBefore = o.angle;
    r.shotSpeed = ScaleShotSpeed(4);  // by the time rank, which moves after the pools
    f.field.Step();
    ASSERT_EQ(o.state, 2);
    r.cue = o.partsA[3].cue;
    r.x = o.x;
    r.speed = o.speed;
    r.angle = o.angle;
    for (int s = 0; s < kEnemyShotSlots; ++s) {
      if (wasFree[s] && EnemyShots[s].state != 0 && EnemyShots[s].type == 3) {
        r.newShots.push_back(EnemyShots[s]);
      }
    }
    r.warnings = CountEnemyShotsOfType(10);
    frames.push_back(r);
  }
  std::vector<int32_t> shotPhases;
  for (const RobotFrame& r : frames) {
    for (const EnemyShot& s : r.newShots) {
      shotPhases.push_back(r.phase);
      EXPECT_EQ(s.drawAngle, r.angle);
      EXPECT_DOUBLE_EQ(s.speed, r.shotSpeed);
    }
  }
  ASSERT_EQ(shotPhases.size(), 12u);
  for (int burst = 0; burst < 2; ++burst) {
    const int32_t start = ComputeFireInterval(burst == 0 ? 50 : 450, o.rank);
    const int32_t first = shotPhases[6 * burst];
    EXPECT_GE(first, start);
    EXPECT_LT(first, start + gap);
    for (int k = 1; k < 6; ++k) EXPECT_EQ(shotPhases[6 * burst + k], first + gap * k);
  }
  // The beam.
  const int32_t beamAt = ComputeFireInterval(250, o.rank);
  int beamFrames = 0, standing = 0;
  bool warned = false;
  for (size_t i = 1; i < frames.size(); ++i) {
    const RobotFrame& r = frames[i];
    if (r.phase == beamAt) { EXPECT_EQ(r.cue, 119); }
    if (r.cue <= 0 && frames[i - 1].cue <= 0) continue;
    ++beamFrames;  // the full beam's count falls every frame: 120 frames
    warned = warned || r.warnings > 0;
    // The frame that starts the beam aimed before it.
    if (frames[i - 1].cue > 0 && r.angle != r.angleBefore) {
      EXPECT_EQ(r.frame % 4, 0) << r.phase;
      EXPECT_EQ(std::abs(r.angle - r.angleBefore), 1);
    }
    // Once its legs have set down it stands until the beam is over.
    if (standing > 0 || r.speed == 0) {
      EXPECT_EQ(r.speed, 0) << r.phase;
      if (standing > 0) { EXPECT_EQ(r.x, frames[i - 1].x) << r.phase; }
      ++standing;
    }
  }
  EXPECT_EQ(beamFrames, 120);
  EXPECT_TRUE(warned);
  EXPECT_GT(standing, 20);
}

// Walking right toward a route marker that turns walkers going right, the robot turns back for
// good: from then on it only walks left.
TEST(Stage1Robot, TurnsBackForGoodAtTheFirstMarkerAgainstItsWay) {
  // The robot stands at world x 360, three cells short of the marker in column 12.
  constexpr int column = 12;
  RobotField f("cell 2 12 10 49\n");
  const int16_t slot = f.SpawnAtWorld(300);
  EnemyObject& o = EnemyPool0[slot];
  ASSERT_EQ(o.x, 360);
  ASSERT_LT(WorldToScreenX(o.x), 600);  // left of the line past which it would walk left
  bool walkedRight = false;
  int turnFrame = -1;
  for (int i = 0; i < 600 && turnFrame < 0; ++i) {
    f.field.Step();
    walkedRight = walkedRight || o.speed > 0;
    if (o.intWork1 == 1) turnFrame = i;
  }
  ASSERT_GE(turnFrame, 0);
  EXPECT_TRUE(walkedRight);
  EXPECT_GE(o.x, column * 40 - 8);
  // It finishes the step it is in, and from its next step on walks only left.
  bool stepped = false;
  bool walkedLeft = false;
  double turnX = o.x;
  for (int i = 0; i < 300; ++i) {
    f.field.Step();
    if (!stepped) {
      stepped = o.speed != 1.6;
      turnX = o.x;
      continue;
    }
    ASSERT_TRUE(o.speed == 0 || o.speed == -1.6) << i << " " << o.speed;
    walkedLeft = walkedLeft || o.speed < 0;
    EXPECT_EQ(o.intWork1, 1);
  }
  EXPECT_TRUE(walkedLeft);
  EXPECT_LT(o.x, turnX - 40);
}

// Shot down: its score, then a fall on a halved probe (57.5) with sparks every 10 frames, and
// on landing sparks at both knees and its end. On its floor it lands on the halved probe; lifted
// 100 px first (as over a drop), it falls farther than 57.5, the probe drops to 0 and the hulk
// lands on its own position.
TEST(Stage1Robot, LifeScoreAndTheFallWhenShotDown) {
  for (double lift : {0.0, 100.0}) {
    SCOPED_TRACE(lift);
    RobotField f;
    const int32_t life = ScaleLifeByRank(680);  // by the power rank at its set-up
    const int16_t slot = f.Spawn(300);
    EnemyObject& o = EnemyPool0[slot];
    EXPECT_EQ(o.life, life);
    EXPECT_EQ(o.maxLife, life);
    EXPECT_EQ(o.scoreBase, life);
    const int32_t score = Score;
    ASSERT_TRUE(f.field.DamageEnemy({0, slot, kTestBody, 0}, 100000));
    EXPECT_EQ(Score - score, EnemyKillScore(o.scoreBase));
    o.y -= lift;
    f.field.Step();
    ASSERT_EQ(o.state, 4);
    EXPECT_EQ(o.probeOffset, 57.5);
    bool probeDropped = false;
    int sparkFrames = 0;
    for (int i = 0; i < 200 && o.state == 4; ++i) {
      const double knees[2][2] = {{o.partsA[1].x, o.partsA[1].y}, {o.partsB[1].x, o.partsB[1].y}};
      bool wasFree[kEffectSlots];
      for (int s = 0; s < kEffectSlots; ++s) wasFree[s] = Effects[s].state == 0;
      const double fallen = o.realWork0;
      const int32_t frame = o.frame + 1;
      f.field.Step();
      if (o.probeOffset == 0 && !probeDropped) {
        probeDropped = true;
        EXPECT_GT(o.realWork0, 57.5);
        EXPECT_LE(fallen, 57.5);
      }
      int fresh = 0;
      int nearKnees[2] = {0, 0};
      for (int s = 0; s < kEffectSlots; ++s) {
        if (!wasFree[s] || Effects[s].state == 0) continue;
        ++fresh;
        for (int k = 0; k < 2; ++k) {
          nearKnees[k] += std::hypot(Effects[s].x - knees[k][0], Effects[s].y - knees[k][1]) < 24;
        }
      }
      if (o.state == 0) {
        EXPECT_GT(nearKnees[0], 0);
        EXPECT_GT(nearKnees[1], 0);
        EXPECT_NEAR(o.y + (lift == 0 ? 57.5 : 0), kFloorY, 2);
        break;
      }
      if (frame % 10 == 0) {
        EXPECT_GT(fresh, 0) << frame;
        ++sparkFrames;
      }
    }
    EXPECT_EQ(o.state, 0);
    EXPECT_EQ(probeDropped, lift > 0);
    EXPECT_GE(sparkFrames, 3);
  }
}

}  // namespace
