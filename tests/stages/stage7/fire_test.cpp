// Stage 7's fires through the closing flight: the two of them one frame apart crossing the
// screen at 0.8 px a frame, the random points of their effects (x from the first draw, two draws
// an event even off screen), their end on the frame after the script's trigger with the ship
// placed for either ending, and the rule that the flash alone never ends them.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/effects/effects.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/field/stage_events.h"
#include "stg_src/field/stage_state.h"
#include "tests/stages/stage7/closing_flight_field.h"

namespace {

constexpr int kTriggerFrame = 401;  // the script sets StageWork entry 0 with sound 27

bool Contains(const std::vector<int>& v, int x) {
  for (int e : v) {
    if (e == x) return true;
  }
  return false;
}

// The set-up frame (frame 0) only places the fire.
bool HasEvent(int32_t frame) {
  return frame > 0 && (frame % 48 == 0 || frame % 16 == 7 || frame % 8 == 3 || frame % 8 == 5);
}

// Where an event of the fire lands for these two draws.
struct Point {
  double x, y;
};
Point EventPoint(const EnemyObject& fire, int r1, int r2) {
  return {fire.x + r1 % 481 - 240, fire.y + r2 % 481 - 240};
}

int CountBossFlashesAt(Point p) {
  int n = 0;
  for (const Effect& e : Effects) {
    n += e.state != 0 && e.type == kBossDeathFlashEffect && e.x == p.x && e.y == p.y ? 1 : 0;
  }
  return n;
}

TEST(Stage7Fire, TwoFiresCrossTheScreenAndEndOnTheFrameAfterTheTrigger) {
  ClosingFlightField f(kGoodEnding);
  std::vector<int> spawnedAt;
  int flashesOnScreen = 0, flashesSkipped = 0;
  f.RunTo(kTriggerFrame + 40, [&](int32_t g, const FieldFrameReport& r) {
    for (int slot : SlotsOf(kFireType, 1)) {
      spawnedAt.push_back(g);
      EXPECT_EQ(slot, g) << "lowest free slot";
    }
    const std::vector<int> live = SlotsOf(kFireType, 2);
    for (int slot : live) {
      const EnemyObject& o = EnemyPool0[slot];
      EXPECT_NEAR(o.realWork0, -160 + 0.8 * o.frame, 1e-9) << g;
      EXPECT_NEAR(WorldToScreenX(o.x), o.realWork0, 1e-9) << g;
      EXPECT_EQ(WorldToScreenY(o.y), 240) << g;
      EXPECT_EQ(o.hitMode, 0);
      EXPECT_EQ(o.life, -1);
      EXPECT_EQ(o.blend, 511);
      EXPECT_TRUE(HasNoHitCircles(o.hitCircles));
    }
    // The lower slot runs first: its event's two numbers open the frame's draws.
    if (!live.empty() && HasEvent(EnemyPool0[live[0]].frame)) {
      const EnemyObject& o = EnemyPool0[live[0]];
      ASSERT_GE(r.draws.size(), 2u) << g;
      const Point p = EventPoint(o, r.draws[0], r.draws[1]);
      if (o.frame % 48 == 0) {
        const bool onScreen = !IsOutsideScreen(p.x, p.y, 60);
        EXPECT_EQ(CountBossFlashesAt(p), onScreen ? 1 : 0) << g;
        (onScreen ? flashesOnScreen : flashesSkipped) += 1;
      }
    }
    if (g == kTriggerFrame) {
      EXPECT_TRUE(Contains(r.sounds, 27));
      EXPECT_GT(StageWork[0], 0);
      EXPECT_EQ(live.size(), 2u) << "the fires still run on the trigger's frame";
      EXPECT_EQ(EndingShipSpeed, 0.9);
    }
    if (g == kTriggerFrame + 1) {
      EXPECT_TRUE(live.empty());
      EXPECT_EQ(ScreenFlashWhite, 255);
      // Placed at -40 with speed 0.1 by the fires, then moved once by the script.
      EXPECT_EQ(EndingShipSpeed, 0.1);
      EXPECT_NEAR(EndingShipScreenX, -39.9, 1e-9);
      EXPECT_EQ(PlayerX, ScreenToWorldX(EndingShipScreenX));
    }
  });
  EXPECT_EQ(spawnedAt, (std::vector<int>{0, 1}));
  EXPECT_GT(flashesOnScreen, 0);
  EXPECT_GT(flashesSkipped, 0);
  EXPECT_NEAR(EndingShipScreenX, -40 + 0.1 * 40, 1e-9);
}

// Held far left (still inside their despawn margin), every point of theirs is off screen: each
// event draws exactly two numbers and spawns nothing.
TEST(Stage7Fire, AnEventOffScreenDrawsItsTwoNumbersAndSpawnsNothing) {
  ClosingFlightField f(kGoodEnding);
  f.field.beforeFrame = [](int) {
    for (int slot : SlotsOf(kFireType, 2)) EnemyPool0[slot].realWork0 = -600.8;
  };
  int events = 0;
  f.RunTo(200, [&](int32_t g, const FieldFrameReport& r) {
    int expected = 0;
    for (int slot : SlotsOf(kFireType, 2)) expected += HasEvent(EnemyPool0[slot].frame) ? 2 : 0;
    EXPECT_EQ(static_cast<int>(r.draws.size()), expected) << g;
    EXPECT_EQ(r.liveEffects, 0) << g;
    events += expected / 2;
  });
  EXPECT_GT(events, 80);
}

TEST(Stage7Fire, OnlyTheTriggerEntryWithTheFlashAbove250EndsTheFire) {
  struct Row {
    int16_t flash;
    int32_t entry;
    bool ends;
  } rows[] = {{255, 0, false}, {251, 0, false}, {250, 1, false}, {251, 1, true}, {255, 7, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.flash << " " << row.entry);
    ClosingFlightField f(kGoodEnding);
    f.RunTo(5, [](int32_t, const FieldFrameReport&) {});
    ASSERT_EQ(SlotsOf(kFireType, 2).size(), 2u);
    f.field.beforeFrame = [&](int) {
      ScreenFlashWhite = row.flash;
      StageWork[0] = row.entry;
    };
    f.RunTo(40, [](int32_t, const FieldFrameReport&) {});
    EXPECT_EQ(SlotsOf(kFireType, 2).empty(), row.ends);
    EXPECT_EQ(EndingShipSpeed, row.ends ? 0.1 : 0.9);
  }
}

TEST(Stage7Fire, TheLostShipExplodesIsHeldOffScreenAndThenHiddenByTheFires) {
  ClosingFlightField f(kContinued);
  f.RunTo(kTriggerFrame + 20, [&](int32_t g, const FieldFrameReport& r) {
    EXPECT_TRUE(SlotsOf(kBokanType, 1).empty() && SlotsOf(kBokan2Type, 1).empty());
    if (g == 333) {
      EXPECT_TRUE(Contains(r.sounds, 15));
      int explosions = 0;
      for (const Effect& e : Effects) explosions += e.state == 1 && e.type == 4 ? 1 : 0;
      EXPECT_EQ(explosions, 1);
    }
    if (g >= 333 && g <= kTriggerFrame) { EXPECT_EQ(EndingShipScreenX, -120) << g; }
    if (g > kTriggerFrame) {
      EXPECT_EQ(EndingShipScreenX, -100) << g;
      EXPECT_EQ(EndingShipSpeed, 0) << g;
      EXPECT_EQ(PlayerX, ScreenToWorldX(-100)) << g;
    }
    // The script's blasts on the ship draw last in the frame, after the fires' events.
    if (g >= 280 && g <= 332 && g % 3 == 0) {
      ASSERT_GE(r.draws.size(), 2u) << g;
      const int motion = 448 + r.draws[r.draws.size() - 2] % 128;
      const int rotation = r.draws.back() % 1024;
      int found = 0;
      for (const Effect& e : Effects) {
        found += e.state == 1 && e.type == 1 && e.speed == 3.2 && e.motionAngle == motion &&
                         e.rotation == rotation
                     ? 1
                     : 0;
      }
      EXPECT_EQ(found, 1) << g;
    }
  });
}

}  // namespace
