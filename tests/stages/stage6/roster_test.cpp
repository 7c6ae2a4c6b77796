// Stage 6's roster on a small map: the press slams only at a player within 60 px, holds, goes
// home at a third of its speed and re-arms after 24 frames, twice as fast on hard; the shutter's
// panels close the gap at 0.14 a frame once left of screen x 560; the entry hatch takes its
// hit points and ends in its explosion and sound.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/score_and_rank.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/test_hooks.h"
#include "stg_src/game/shared_state.h"
#include "tests/game_support/field_fixture.h"

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
    while (field.Step().gameFrame < 0) {
    }  // the stage's opening frames run no enemies
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
  const int16_t slot =
      SpawnPool0Enemy(ScreenToWorldX(400), ScreenToWorldY(200), 13, 0, -1, 0);
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

}  // namespace
