// Stage 6's roster on a small map: the press slams only at a player within 60 px, holds, goes
// home at a third of its speed and re-arms after 24 frames, twice as fast on hard; the shutter's
// panels close the gap at 0.14 a frame once left of screen x 560; the entry hatch takes its
// hit points and ends in its explosion and sound; the corner turret slides out, fires, and when
// shot scores, jumps back into its corner and comes out again; the windmill's blades by
// difficulty and variant; variants without a table row refused with one log line.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/stage_bench.h"
#include "tests/support/log_capture.h"

namespace {

// An empty 80 x 12 hall on stage 6, past the opening frames, the ship pinned and the scroll
// still.
struct RosterField {
  FieldFixture field;

  explicit RosterField(int difficulty = 1) : field(difficulty) {
    field.digestFrames = false;
    field.WriteStageMaps(6, PlainBackgroundDescription(), FieldMapDescription(80, 12, 5, ""));
    EXPECT_EQ(field.StartStage(6), 1);
    field.SetShipImmune(true);
    field.beforeFrame = [](int) { ScrollTargetSpeed = ScrollSpeed = 0; };
    while (field.Step().gameFrame < 0) {}  // the stage's opening frames run no enemies
  }
  int16_t SpawnPool1(int16_t type, double screenX, double screenY, int16_t variant) {
    const int16_t slot =
        SpawnPool1Enemy(ScreenToWorldX(screenX), ScreenToWorldY(screenY), type, 0, -1, 0);
    EnemyPool1[slot].variant = variant;
    field.Step();
    return slot;
  }
};

TEST(Stage6Press, SlamsOnlyAtAPlayerWithinSixtyPixelsHoldsGoesHomeAndReArms) {
  struct Row {
    int difficulty;
    int16_t variant;
    double playerOffset;
    bool slams;
    double slamStep, homeStep;
  } rows[] = {
      {1, 1, 59, true, 3, 1},   {1, 1, -59, true, 3, 1}, {1, 1, 60, false, 3, 1},
      {1, 0, -60, false, 3, 1}, {2, 0, 10, true, 6, 2},  {3, 1, 0, true, 6, 2},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "difficulty " << r.difficulty << " variant " << r.variant
                                    << " offset " << r.playerOffset);
    RosterField f(r.difficulty);
    const int16_t slot = f.SpawnPool1(10, 300, 200, r.variant);
    EnemyObject& o = EnemyPool1[slot];
    ASSERT_EQ(o.state, 2);
    const double home = ScreenToWorldY(200) + (r.variant == 0 ? 100 : -100);
    const double slam = home + (r.variant == 0 ? -160 : 160);
    EXPECT_EQ(o.x, ScreenToWorldX(360));
    EXPECT_EQ(o.y, home);
    EXPECT_EQ(o.hitMode, 0);
    f.field.PinShip(o.x + r.playerOffset, ScreenToWorldY(150));
    std::vector<double> ys;
    std::vector<int> soundFrames;
    for (int i = 0; i < 400; ++i) {
      const FieldFrameReport report = f.field.Step();
      ys.push_back(o.y);
      if (std::count(report.sounds.begin(), report.sounds.end(), 54) > 0) soundFrames.push_back(i);
    }
    if (!r.slams) {
      EXPECT_TRUE(std::all_of(ys.begin(), ys.end(), [&](double y) { return y == home; }));
      EXPECT_TRUE(soundFrames.empty());
      continue;
    }
    // Out at slamStep a frame, the sound on arrival, 30 frames held, home at homeStep a frame,
    // then 24 frames before the next slam.
    ASSERT_FALSE(soundFrames.empty());
    const int arrive = soundFrames[0];
    const int out = static_cast<int>(std::ceil(160 / r.slamStep));
    EXPECT_EQ(arrive, out - 1);
    EXPECT_EQ(ys[0], home + (slam - home) / 160 * r.slamStep);
    for (int i = arrive; i <= arrive + 30; ++i) EXPECT_EQ(ys[i], slam) << i;
    EXPECT_EQ(std::fabs(ys[arrive + 31] - slam), r.homeStep);
    const int back = arrive + 30 + static_cast<int>(std::ceil(160 / r.homeStep));
    EXPECT_EQ(ys[back], home);
    EXPECT_NE(ys[back - 1], home);
    for (int i = back; i < back + 24; ++i) EXPECT_EQ(ys[i], home) << i;
    EXPECT_NE(ys[back + 24], home);
  }
}

// The pistons start retracted 80 px from home and thrust out to it at 4 a frame on their
// 120-frame cycle, hold, and go back: variant 0 upward, any other downward.
TEST(Stage6Piston, PairsStartRetractedAndThrustOnTheirCycleUpOrDownByVariant) {
  struct Row {
    int16_t variant;
    double headHome;   // the head piston's attach offset
    double retracted;  // its offset when retracted
  } rows[] = {{0, -34, 46}, {1, 34, -46}, {5, 34, -46}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.variant);
    RosterField f;
    const int16_t slot = f.SpawnPool1(12, 300, 200, r.variant);
    EnemyObject& o = EnemyPool1[slot];
    ASSERT_EQ(o.state, 2);
    EXPECT_EQ(o.x, ScreenToWorldX(320));
    EXPECT_EQ(o.partCountB, 2);
    const EnemyPart& head = o.partsB[1];
    EXPECT_EQ(head.offsetY, r.retracted);
    EXPECT_EQ(head.hitMode, 4);  // a solid box
    std::vector<double> offsets;
    const int16_t cycle = ComputeFireIntervalFlat(120, o.rank);
    for (int i = 0; i < cycle + 10; ++i) {
      f.field.Step();
      offsets.push_back(head.offsetY);
    }
    // Out in 20 frames, held, back in 20, and still again until the next cycle.
    const auto out = std::find(offsets.begin(), offsets.end(), r.headHome);
    ASSERT_NE(out, offsets.end());
    const auto start =
        std::find_if(offsets.begin(), offsets.end(), [&](double y) { return y != r.retracted; });
    EXPECT_EQ(out - start, 19);
    EXPECT_EQ(std::fabs(*start - r.retracted), 4);
    const auto home = std::find(out, offsets.end(), r.retracted);
    ASSERT_NE(home, offsets.end());
    EXPECT_EQ(home - out, 14 + 20);
    EXPECT_TRUE(std::all_of(home, offsets.end(), [&](double y) { return y == r.retracted; }));
    o.state = 3;
    f.field.Step();
    EXPECT_EQ(o.state, 0);
  }
}

// Each kill of the zone scores its 120 hp and throws the blocks out to 120 px; the zone can be
// shot again once block A0 has slid back inside 119 px, its circles riding on the blocks.
TEST(Stage6BlockPair, TheZoneScoresEachTimeAndIsShootableOnlyOnceTheBlocksAreBack) {
  RosterField f;
  const int16_t slot = f.SpawnPool1(11, 300, 200, 0);
  EnemyObject& o = EnemyPool1[slot];
  ASSERT_EQ(o.state, 2);
  EXPECT_EQ(o.x, ScreenToWorldX(360));
  EnemyPart& zone = o.partsA[2];
  const EnemyPart& left = o.partsA[0];
  const EnemyPart& right = o.partsA[1];
  EXPECT_EQ(zone.hitMode, 2);
  EXPECT_EQ(zone.hitCircles.dx[0], -68);
  EXPECT_EQ(zone.hitCircles.dx[5], 68);
  for (int kill = 0; kill < 2; ++kill) {
    SCOPED_TRACE(kill);
    const int32_t score = Score;
    ASSERT_TRUE(f.field.DamageEnemy({1, slot, kTestPartsA, 2}, zone.life + 1));
    EXPECT_EQ(Score - score, PartKillScore(ScaleLifeByRank(120)));
    f.field.Step();  // the zone revives and throws the blocks
    f.field.Step();  // the blocks fly out
    EXPECT_EQ(left.offsetX, -120);
    EXPECT_EQ(right.offsetX, 120);
    EXPECT_EQ(zone.hitMode, 0);
    EXPECT_EQ(zone.hitCircles.dx[1], -120);
    EXPECT_EQ(zone.life, ScaleLifeByRank(120));
    int frames = 0;
    while (zone.hitMode == 0 && frames < 200) {
      f.field.Step();
      ++frames;
    }
    EXPECT_EQ(frames, 60);  // 61 frames from the throw: 60 waiting, one step of 2 px
    EXPECT_LT(std::fabs(left.offsetX), 119);
    for (int i = 0; i < 60; ++i) f.field.Step();
    EXPECT_EQ(left.offsetX, -40);
    EXPECT_EQ(right.offsetX, 40);
  }
  EXPECT_EQ(o.state, 2);
}

// Both portals well inside the screen open the gate; the open entry moves the ship to the exit
// once, with the warp sound, and the gate then closes and its portals vanish. A gate whose
// portal leaves the 48 px inner frame before anyone enters closes too.
TEST(Stage6WarpGate, MovesTheShipOnceThenClosesAndAPortalLeavingTheFrameClosesItToo) {
  RosterField f;
  const int16_t slot = f.SpawnPool1(15, 200, 150, 0);
  EnemyObject& o = EnemyPool1[slot];
  ASSERT_EQ(o.state, 2);
  EXPECT_EQ(o.phase, 0);  // its portals are placed in its set-up frame
  f.field.Step();
  EXPECT_EQ(o.phase, 1);
  const EnemyPart& entry = o.partsB[0];
  const EnemyPart& exit = o.partsB[1];
  EXPECT_EQ(exit.x - entry.x, 160);
  f.field.PinShip(entry.x, entry.y);
  int warps = 0;
  for (int i = 0; i < 40 && warps == 0; ++i) {
    const FieldFrameReport r = f.field.Step();
    if (PlayerX == exit.x && PlayerY == exit.y) {
      warps += 1;
      EXPECT_GT(entry.imageFrame, 4);
      EXPECT_EQ(std::count(r.sounds.begin(), r.sounds.end(), 50), 1);
    }
  }
  ASSERT_EQ(warps, 1);
  EXPECT_EQ(o.phase, 2);
  f.field.UnpinShip();
  bool open = true;
  for (int i = 0; i < 100; ++i) {
    const FieldFrameReport r = f.field.Step();
    EXPECT_EQ(std::count(r.sounds.begin(), r.sounds.end(), 50), 0);
    open = false;
    for (int k = 0; k < 4; ++k) open = open || o.partsB[k].state != 0;
  }
  EXPECT_FALSE(open);  // every portal and emitter has closed and gone

  // A second gate, its exit pushed out of the inner frame before anyone enters: it closes.
  const int16_t other = f.SpawnPool1(15, 200, 150, 0);
  EnemyObject& g = EnemyPool1[other];
  f.field.Step();
  ASSERT_EQ(g.phase, 1);
  CameraX += 200;  // the exit now 48 px from the left edge at most
  ViewRight += 200;
  f.field.Step();
  EXPECT_EQ(g.phase, 2);
}

// The emitters zap on the stage's fixed 120-frame cycle at rank 50 on normal and never on easy;
// a gun shot down stays hidden (with its base) until its platform wraps round, then revives.
TEST(Stage6Elevator, EmittersZapOnTheFixedCycleExceptOnEasyAndGunsReviveAtTheWrap) {
  for (int difficulty : {0, 1}) {
    SCOPED_TRACE(difficulty);
    RosterField f(difficulty);
    f.field.PinShip(ScreenToWorldX(60), ScreenToWorldY(200));
    const int16_t slot = f.SpawnPool1(14, 300, 100, 3);  // platforms falling 1.6 a frame
    EnemyObject& o = EnemyPool1[slot];
    ASSERT_EQ(o.state, 2);
    EXPECT_EQ(o.partCountB, 25);
    const int16_t cycle = ComputeFireIntervalFlat(120, 50);
    const int16_t at = ComputeFireIntervalFlat(30, 50);
    std::vector<int> zapStarts;
    bool zapping = false;
    for (int i = 0; i < 2 * cycle; ++i) {
      const int32_t frame = GameFrame + 1;
      f.field.Step();
      const bool now = o.partsB[5].hitMode == 3;
      if (now && !zapping) zapStarts.push_back((frame - at + cycle) % cycle);
      zapping = now;
    }
    if (difficulty == 0) {
      EXPECT_TRUE(zapStarts.empty());
    } else {
      // It reaches frame 1 on the third frame of its count, the cycle's third frame.
      EXPECT_EQ(zapStarts, (std::vector<int>{2, 2}));
    }
    // Gun 2 shot down: hidden with its base until platform 2 wraps, two frames after it.
    EnemyPart& gun = o.partsB[17];
    const EnemyPart& base = o.partsB[22];
    const EnemyPart& platform = o.partsB[2];
    ASSERT_EQ(gun.state, 2);
    ASSERT_TRUE(f.field.DamageEnemy({1, slot, kTestPartsB, 17}, gun.life + 1));
    int wrapped = -1, revived = -1;
    for (int i = 0; i < 400 && revived < 0; ++i) {
      f.field.Step();
      if (platform.cue == 8) wrapped = i;
      if (revived < 0 && gun.state == 2) revived = i;
      if (gun.state != 2) {
        EXPECT_EQ(gun.imageFrame, -1) << i;
        EXPECT_EQ(base.imageFrame, -1) << i;
      }
    }
    ASSERT_GE(wrapped, 0);
    EXPECT_EQ(revived, wrapped + 2);
    EXPECT_EQ(gun.life, ScaleLifeByRank(8));
    EXPECT_EQ(gun.imageFrame, 1);
    f.field.Step();
    EXPECT_EQ(base.state, 2);
    EXPECT_EQ(base.imageFrame, 0);
  }
}

TEST(Stage6Shutter, PanelsCloseTheGapAtFourteenHundredthsOnceLeftOfScreenX560) {
  RosterField f;
  const int16_t slot = f.SpawnPool1(17, 600, 200, 0);
  EnemyObject& o = EnemyPool1[slot];
  ASSERT_EQ(o.state, 2);
  EXPECT_EQ(o.y, ScreenToWorldY(220));
  const EnemyPart& upper = o.partsA[0];
  const EnemyPart& lower = o.partsA[1];
  for (int i = 0; i < 5; ++i) f.field.Step();
  EXPECT_EQ(upper.offsetY, -60);  // right of 560: still open
  EXPECT_EQ(lower.offsetY, 60);
  CameraX += 100;
  ViewRight += 100;
  f.field.Step();
  EXPECT_NEAR(upper.offsetY, -60 + 0.14, 1e-9);
  EXPECT_NEAR(lower.offsetY, 60 - 0.14, 1e-9);
  for (int i = 0; i < 400; ++i) f.field.Step();
  EXPECT_EQ(upper.offsetY, -20);  // closed, and no farther
  EXPECT_EQ(lower.offsetY, 20);
  EXPECT_EQ(upper.hitMode, 4);  // solid boxes
}

TEST(Stage6Entry, TakesItsHitPointsAndEndsInItsExplosionAndSound) {
  RosterField f;
  const int16_t slot = SpawnPool0Enemy(ScreenToWorldX(400), ScreenToWorldY(200), 13, 0, -1, 0);
  const int32_t life = ScaleLifeByRank(1000);
  f.field.Step();
  EnemyObject& o = EnemyPool0[slot];
  ASSERT_EQ(o.state, 2);
  EXPECT_EQ(o.maxLife, life);
  EXPECT_EQ(o.x, ScreenToWorldX(422));
  const double x = o.x;
  for (int i = 0; i < 30; ++i) f.field.Step();
  EXPECT_EQ(o.x, x);  // it stays at its world point
  const int32_t score = Score;
  ASSERT_TRUE(f.field.DamageEnemy({0, slot, kTestBody, 0}, life + 1));  // below 0 kills
  EXPECT_EQ(o.state, 3);
  EXPECT_EQ(Score - score, EnemyKillScore(life));
  const FieldFrameReport report = f.field.Step();
  EXPECT_EQ(o.state, 0);
  EXPECT_GE(std::count(report.sounds.begin(), report.sounds.end(), 31), 1);
  EXPECT_GE(report.liveEffects, 3);
}

// Shot down it scores, jumps back into its corner, slides out after 64 frames (shootable once
// within 20 px of its post) and fires again only after 128.
TEST(Stage6CornerTurret, RevivesInItsCornerSlidesOutAfter64AndFiresAfter128) {
  RosterField f;
  f.field.PinShip(ScreenToWorldX(100), ScreenToWorldY(300));
  const int16_t slot = f.SpawnPool1(13, 300, 100, 2);  // aims within 512..768: up and left
  EnemyPart& t = EnemyPool1[slot].partsB[0];
  ASSERT_EQ(t.state, 2);
  EXPECT_EQ(t.life, ScaleLifeByRank(45));
  int firstShot = -1;
  for (int i = 0; i < 200 && firstShot < 0; ++i) {
    f.field.Step();
    if (CountEnemyShotsOfType(0) > 0) firstShot = i;
  }
  ASSERT_GE(firstShot, 0);  // from its post at once
  ClearEnemyShots();
  const int32_t score = Score;
  ASSERT_TRUE(f.field.DamageEnemy({1, slot, kTestPartsB, 0}, t.life + 1));
  EXPECT_EQ(Score - score, PartKillScore(t.scoreBase));
  f.field.Step();
  EXPECT_EQ(t.state, 2);
  EXPECT_EQ(t.hitMode, 0);
  EXPECT_EQ(t.offsetX, 40);
  EXPECT_EQ(t.offsetY, 40);
  EXPECT_EQ(t.angle, 640);
  int slideFrame = -1, hitFrame = -1, fireFrame = -1;
  for (int i = 1; i < 300 && fireFrame < 0; ++i) {
    f.field.Step();
    if (slideFrame < 0 && t.offsetX != 40) slideFrame = t.work0;
    if (hitFrame < 0 && t.hitMode == 1) {
      hitFrame = t.work0;
      EXPECT_LT(std::fabs(t.offsetX), 20);
    }
    if (fireFrame < 0 && CountEnemyShotsOfType(0) > 0) fireFrame = t.work0;
  }
  EXPECT_EQ(slideFrame, 65);
  EXPECT_EQ(hitFrame, 65 + 11);  // 40 px at 2 a frame: inside 20 px after 11 frames
  EXPECT_GT(fireFrame, 128);
  EXPECT_EQ(fireFrame % ComputeFireInterval(64, EnemyPool1[slot].rank), 0);
  EXPECT_EQ(EnemyPool1[slot].state, 2);  // the mount is never destroyed
}

TEST(Stage6Windmill, BladesByDifficultyAndVariantAndTheVerticalOneLeavesALevelScroll) {
  struct Row {
    int difficulty;
    int16_t variant;
    int16_t scrollAngle;
    int blades;  // 0: freed in its set-up
    int16_t firstAngles[3];
    int32_t bladeFrame;
    int16_t turn;
  } rows[] = {
      {1, 0, 0, 3, {0, 341, 682}, 1, 3},
      {2, 0, 0, 4, {0, 256, 512}, 1, 4},
      {1, 1, 0, 0, {}, 0, 0},
      {1, 1, 256, 3, {0, 341, 682}, 1, -3},
      {0, 2, 0, 3, {0, 341, 682}, 0, 3},
      {1, 3, 0, 3, {512, 853, 170}, 0, -3},
      {3, 3, 0, 4, {0, 256, 512}, 0, -4},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "difficulty " << r.difficulty << " variant " << r.variant);
    RosterField f(r.difficulty);
    f.field.beforeFrame = [&](int) {
      ScrollTargetSpeed = ScrollSpeed = 0;
      ScrollAngle = r.scrollAngle;
    };
    const int16_t slot = f.SpawnPool1(16, 300, 100, r.variant);
    EnemyObject& o = EnemyPool1[slot];
    if (r.blades == 0) {
      EXPECT_EQ(o.state, 0);
      continue;
    }
    ASSERT_EQ(o.state, 2);
    EXPECT_EQ(o.partCountA, r.blades);
    const double dx = r.variant == 0 ? 100 : 20;
    const double dy = r.variant == 0 ? 20 : r.variant == 1 ? 100 : 140;
    EXPECT_EQ(o.x, ScreenToWorldX(300 + dx));
    EXPECT_EQ(o.y, ScreenToWorldY(100 + dy));
    std::vector<int16_t> before;
    for (int k = 0; k < r.blades; ++k) before.push_back(o.partsA[k].angle);
    f.field.Step();
    for (int k = 0; k < r.blades; ++k) {
      const EnemyPart& b = o.partsA[k];
      if (k < 3) { EXPECT_EQ(before[k], WrapAngle(r.firstAngles[k] + r.turn)) << k; }
      EXPECT_EQ(b.angle, WrapAngle(before[k] + r.turn)) << k;
      EXPECT_EQ(b.imageFrame, r.bladeFrame);
    }
  }
}

// A corner turret, elevator or windmill of upper value 0 or 9 (variant -1 or 8) has no table row:
// freed at set-up, one log line per kind for the stage's load.
TEST(Stage6Roster, VariantsWithoutATableRowAreRefusedWithOneLogLine) {
  struct Row {
    int16_t type;
    const char* kind;
  } rows[] = {{13, "stage 6 corner turret variant"},
              {14, "stage 6 elevator variant"},
              {16, "stage 6 windmill variant"}};
  for (const Row& r : rows) {
    for (int16_t variant : {int16_t{-1}, int16_t{8}}) {
      SCOPED_TRACE(testing::Message() << r.kind << " " << variant);
      RosterField f;
      LogCapture log;
      ForgetRefusedMapValues();
      const int16_t a = f.SpawnPool1(r.type, 300, 200, variant);
      const int16_t b = f.SpawnPool1(r.type, 400, 200, variant);
      EXPECT_EQ(EnemyPool1[a].state, 0);
      EXPECT_EQ(EnemyPool1[b].state, 0);
      const std::string text = log.Contents();
      size_t lines = 0;
      for (size_t at = text.find(r.kind); at != std::string::npos; at = text.find(r.kind, at + 1))
        ++lines;
      EXPECT_EQ(lines, 1u) << text;
      EXPECT_NE(text.find(std::to_string(variant)), std::string::npos) << text;
    }
  }
}

}  // namespace
