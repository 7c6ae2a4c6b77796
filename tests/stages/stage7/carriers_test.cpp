// Stage 7's carriers on the good ending: each set up at its start past the screen's right edge on
// the script's row, drifting left at its own speed over a view that the map's loop keeps moving,
// the smaller one with its flickering thruster; the ship speeding up from 2100; and both carriers
// inert, neither hit by the ship's shots nor touching the ship.
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/shots/player_shots.h"
#include "stg_src/field/stage_events.h"
#include "tests/stages/stage7/closing_flight_field.h"

namespace {

struct CarrierRow {
  int32_t frame;  // the script spawns it on this GameFrame; it is set up on the next
  int32_t type;
  int slot;
  double screenY;
};
constexpr CarrierRow kCarriers[] = {
    {800, kBokan2Type, 8, 200},   {880, kBokanType, 12, 40},    {1000, kBokan2Type, 9, 40},
    {1200, kBokan2Type, 10, 370}, {1400, kBokan2Type, 11, 100}, {1580, kBokanType, 13, 360},
    {1880, kBokanType, 14, 40},
};

double StartScreenX(int32_t type) { return type == kBokanType ? 640 + 464 : 640 + 232; }
double Drift(int32_t type) { return type == kBokanType ? -1.6 : -1; }

TEST(Stage7Carriers, EachPassesOnItsRowFromItsStartAndTheViewNeverStops) {
  ClosingFlightField f(kGoodEnding);
  std::vector<double> lastScreenX(kEnemyPool0Size, 0);
  std::set<int32_t> thrusterCells;
  int setUps = 0, loops = 0;
  double lastCameraX = CameraX;
  f.RunTo(2100, [&](int32_t g, const FieldFrameReport&) {
    // From the first frame after the window was filled.
    if (g > 0) { EXPECT_EQ(ScrollDeltaX, 16) << g; }
    loops += CameraX < lastCameraX ? 1 : 0;
    lastCameraX = CameraX;
    for (const CarrierRow& c : kCarriers) {
      const EnemyObject& o = EnemyPool0[c.slot];
      if (g < c.frame + 1 || o.state == 0) continue;
      ASSERT_EQ(o.type, c.type) << g;
      ASSERT_EQ(o.state, 2) << g;
      const double screenX = WorldToScreenX(o.x);
      if (g == c.frame + 1) {
        setUps += 1;
        EXPECT_EQ(screenX, StartScreenX(c.type)) << c.slot;
        EXPECT_EQ(WorldToScreenY(o.y), c.screenY) << c.slot;
        EXPECT_EQ(o.life, -1);
        EXPECT_EQ(o.hitMode, 0);
        EXPECT_TRUE(HasNoHitCircles(o.hitCircles));
        EXPECT_EQ(o.partCountA, c.type == kBokan2Type ? 1 : 0) << c.slot;
      } else {
        EXPECT_NEAR(screenX - lastScreenX[c.slot], Drift(c.type), 1e-6) << g << " " << c.slot;
      }
      lastScreenX[c.slot] = screenX;
      if (c.type != kBokan2Type) continue;
      const EnemyPart& p = o.partsA[0];
      ASSERT_EQ(p.state, 2) << g;
      EXPECT_EQ(p.partType, 2);
      EXPECT_EQ(p.blend, 511);
      EXPECT_EQ(p.life, -1);
      EXPECT_TRUE(HasNoHitCircles(p.hitCircles));
      EXPECT_EQ(p.x, o.x - 178) << g;
      EXPECT_EQ(p.y, o.y) << g;
      // GameFrame has moved on since the part ran.
      EXPECT_EQ(p.imageFrame, (GameFrame - 1) / 2 % 4) << g;
      thrusterCells.insert(p.imageFrame);
    }
    if (g == 2099) {
      EXPECT_EQ(EndingShipSpeed, 0.1);
    } else if (g == 2100) {
      EXPECT_NEAR(EndingShipSpeed, 0.3, 1e-9);
    }
  });
  EXPECT_EQ(setUps, 7);
  EXPECT_EQ(thrusterCells, (std::set<int32_t>{0, 1, 2, 3}));
  // 2,100 frames at 16 px are 33,600 px: the view went round its loop many times.
  EXPECT_GT(loops, 40);
}

// The ship has no weapons on this stage: a live shot is put on each carrier's centre before
// every frame, where a hittable body would take it, and the ship there without a shield.
TEST(Stage7Carriers, ShotsPassThroughThemAndTheShipFliesThrough) {
  ClosingFlightField f(kGoodEnding);
  const int16_t big = 20, small = 21;
  SpawnPool0Enemy(0, ScreenToWorldY(200), kBokanType, 0, big, 1);
  SpawnPool0Enemy(0, ScreenToWorldY(200), kBokan2Type, 0, small, 1);
  f.field.Step();
  ASSERT_EQ(EnemyPool0[big].state, 2);
  ASSERT_EQ(EnemyPool0[small].state, 2);
  // Both carriers held over the ship, the thruster's carrier so that the thruster is there too.
  f.field.beforeFrame = [&](int) {
    EnemyPool0[big].x = ScreenToWorldX(300);
    EnemyPool0[small].x = ScreenToWorldX(300);
    PlayerX = ScreenToWorldX(300);
    PlayerY = ScreenToWorldY(200);
    ShieldLevel = 0;  // no shield: a touch would kill
    ASSERT_EQ(InitPlayerShot(0, 0, 0, 9, PlayerX, PlayerY, 0), 0);
    ASSERT_EQ(InitPlayerShot(1, 0, 0, 9, PlayerX - 178, PlayerY, 0), 0);
    // Past its first frame and harmful, as a shot that has flown there.
    for (int s : {0, 1}) {
      PlayerShots[s].frame = 1;
      PlayerShots[s].damage = 10;
    }
  };
  const int32_t score = Score;
  f.RunTo(GameFrame + 30, [&](int32_t g, const FieldFrameReport&) {
    for (int16_t slot : {big, small}) {
      const EnemyObject& o = EnemyPool0[slot];
      EXPECT_EQ(o.state, 2) << g;
      EXPECT_EQ(o.life, -1) << g;
      EXPECT_EQ(o.hitFlash, 0) << g;
    }
    EXPECT_EQ(EnemyPool0[small].partsA[0].hitFlash, 0) << g;
    EXPECT_EQ(PlayerShots[0].state, 1) << g;
    EXPECT_EQ(PlayerShots[1].state, 1) << g;
    EXPECT_EQ(DeathTimer, 0) << g;
  });
  EXPECT_EQ(Score, score);
}

}  // namespace
