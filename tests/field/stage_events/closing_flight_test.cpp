// Stage 7's closing flight through the play scene, with the good ending (no continue used,
// Credits 9) and without it: the two set-ups, the ship's flight, the blasts that take the lost
// ship with their LcgRandom draws, the carriers' spawn table, the closing flash with StageWork
// entry 0, the shake, the ending text's scroll word, and the way to the end screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stg_src/field/play_field.h"
#include "stg_src/field/screen_tests.h"
#include "stg_src/game/input_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/game_support/field_fixture.h"

namespace {

constexpr int kGoodEnding = 9;
constexpr int kContinued = 8;

// Fresh spawns of this pool-0 type: an object still in state 1 has not been updated yet.
int CountFresh(int32_t type) {
  int n = 0;
  for (const EnemyObject& o : EnemyPool0) n += o.state == 1 && o.type == type ? 1 : 0;
  return n;
}

class ClosingFlightTest : public testing::Test {
 protected:
  ClosingFlightTest() { field.digestFrames = false; }

  // The stage started with these credits and run to GameFrame 0.
  void Start(int credits) {
    Credits = static_cast<int16_t>(credits);
    field.WriteStageMaps(7, PlainBackgroundDescription(),
                         FieldMapDescription(40, 12, 5, "cell 2 5 6 16\n"));
    ASSERT_EQ(field.StartStage(7), 1);
    field.Run(80);
    ASSERT_EQ(GameFrame, 0);
  }

  // Runs the frames of GameFrame 0 .. last; after[g] is read after the frame that ran g.
  template <typename Read>
  void RunTo(int last, Read read, uint32_t held = 0) {
    for (int g = GameFrame; g <= last; ++g) {
      const FieldFrameReport r = field.Step(held);
      read(g, r);
    }
  }

  // Frees pool 0 before every frame: the stage's own objects (the fires draw from LcgRandom)
  // stay out of what the script is tested for.
  void KeepPoolZeroEmpty() {
    field.beforeFrame = [](int) {
      for (EnemyObject& o : EnemyPool0) o.state = 0;
    };
  }

  FieldFixture field;
};

TEST_F(ClosingFlightTest, TheSetUpRunsOnFramesZeroAndOneAndSpawnsTwoFires) {
  for (int credits : {kGoodEnding, kContinued}) {
    SCOPED_TRACE(credits);
    Start(credits);
    const double speed = credits == kGoodEnding ? 0.9 : 0.7;
    int fires = 0;
    RunTo(3, [&](int g, const FieldFrameReport&) {
      fires += CountFresh(10);
      // Each set-up starts the ship again at screen x -24; the speed is added on every frame.
      const int framesFlown = g <= 1 ? 1 : g;
      EXPECT_NEAR(EndingShipScreenX, -24 + speed * framesFlown, 1e-9) << g;
      EXPECT_EQ(EndingShipSpeed, speed);
      EXPECT_EQ(PlayerX, ScreenToWorldX(EndingShipScreenX));
      EXPECT_EQ(ScrollSpeed, 16);
      EXPECT_EQ(ScrollTargetSpeed, 16);
      if (g <= 1) {
        EXPECT_EQ(PlayerY, ScreenToWorldY(240));
        EXPECT_EQ(SceneWork[0], 0);
        EXPECT_EQ(StageWork[0], 0);
      }
      // Left dirty for the next frame's set-up to clear.
      SceneWork[0] = 77;
      StageWork[0] = 5;
    });
    EXPECT_EQ(fires, 2);
    EXPECT_EQ(SceneWork[0], 77);
    EXPECT_EQ(StageWork[0], 5);
  }
}

TEST_F(ClosingFlightTest, TheGoodEndingShipSpeedsUpFrom2100AndTheLostShipExplodesAt333) {
  struct Row {
    int credits;
    int last;
  } rows[] = {{kGoodEnding, 2102}, {kContinued, 2102}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.credits);
    Start(row.credits);
    // The fires, once they are built, also move the ship at the flash.
    KeepPoolZeroEmpty();
    std::vector<double> speed, screenX;
    std::vector<int> speedUpTimer, shipBlasts;
    double shipBlastX = 0, shipBlastY = 0, shipYAt333 = 0;
    RunTo(row.last, [&](int g, const FieldFrameReport&) {
      speed.push_back(EndingShipSpeed);
      screenX.push_back(EndingShipScreenX);
      speedUpTimer.push_back(SpeedUpTimer);
      int blasts = 0;
      for (const Effect& e : Effects) {
        if (e.state != 1 || e.type != 4) continue;
        blasts += 1;
        shipBlastX = e.x;
        shipBlastY = e.y;
      }
      shipBlasts.push_back(blasts);
      if (g == 333) shipYAt333 = PlayerY;
      EXPECT_EQ(PlayerX, ScreenToWorldX(EndingShipScreenX)) << g;
    });
    if (row.credits == kGoodEnding) {
      EXPECT_EQ(speed[2099], 0.9);
      EXPECT_NEAR(speed[2100], 1.1, 1e-9);
      EXPECT_NEAR(speed[2102], 1.5, 1e-9);
      EXPECT_EQ(speedUpTimer[2099], 0);
      EXPECT_EQ(speedUpTimer[2100], 3);
      EXPECT_NEAR(screenX[2102] - screenX[2099], 1.1 + 1.3 + 1.5, 1e-9);
      for (int n : shipBlasts) EXPECT_EQ(n, 0);
    } else {
      EXPECT_EQ(speed[332], 0.7);
      EXPECT_NEAR(screenX[332], -24 + 0.7 * 332, 1e-6);
      for (int g : {333, 400, 2102}) {
        EXPECT_EQ(speed[g], 0) << g;
        EXPECT_EQ(screenX[g], -120) << g;
      }
      EXPECT_EQ(speedUpTimer[2100], 0);
      for (int g = 0; g < static_cast<int>(shipBlasts.size()); ++g) {
        EXPECT_EQ(shipBlasts[g], g == 333 ? 1 : 0) << g;
      }
      // The ship's blast where the ship was, before it is held off screen.
      EXPECT_NEAR(WorldToScreenX(shipBlastX), screenX[332], 1e-9);
      EXPECT_EQ(shipBlastY, shipYAt333);
    }
  }
}

TEST_F(ClosingFlightTest, TheLostShipDrawsTwiceOnEveryThirdFrameFrom282To330) {
  for (int credits : {kGoodEnding, kContinued}) {
    SCOPED_TRACE(credits);
    Start(credits);
    KeepPoolZeroEmpty();
    int scriptDraws = 0, scriptFrames = 0;
    RunTo(400, [&](int g, const FieldFrameReport& r) {
      if (credits == kGoodEnding) {
        EXPECT_TRUE(r.draws.empty()) << g;
        return;
      }
      const bool blastFrame = g >= 280 && g <= 332 && g % 3 == 0;
      // A medium blast draws its first period when it is set up on the next frame.
      const bool blastSetUp = g >= 281 && g <= 333 && (g - 1) % 3 == 0;
      const size_t expected = blastFrame ? 2 : blastSetUp ? 1 : 0;
      ASSERT_EQ(r.draws.size(), expected) << g;
      if (!blastFrame) return;
      scriptFrames += 1;
      scriptDraws += 2;
      // The new blast: motion angle from the first draw, rotation from the second.
      int found = 0;
      for (const Effect& e : Effects) {
        if (e.state != 1 || e.type != 1) continue;
        found += 1;
        EXPECT_EQ(e.motionAngle, 448 + r.draws[0] % 128) << g;
        EXPECT_EQ(e.rotation, r.draws[1] % 1024) << g;
        EXPECT_EQ(e.speed, 3.2);
        EXPECT_EQ(e.y, PlayerY);
      }
      EXPECT_EQ(found, 1) << g;
    });
    if (credits == kContinued) {
      EXPECT_EQ(scriptFrames, 17);
      EXPECT_EQ(scriptDraws, 34);
    }
  }
}

TEST_F(ClosingFlightTest, TheFlashShakeAndEndingTextComeAtTheirFrames) {
  for (int credits : {kGoodEnding, kContinued}) {
    SCOPED_TRACE(credits);
    Start(credits);
    struct Seen {
      int flash, entry0, shakeActive, shakeFrame, scroll;
    };
    std::vector<Seen> seen;
    RunTo(760, [&](int, const FieldFrameReport&) {
      seen.push_back(
          {ScreenFlashWhite, StageWork[0], ScreenShake.active, ScreenShake.frame, SceneWork[0]});
    });
    // The flash rises by 16 against the fade of 4 from frame 381, reaches 255 at 401 and is
    // held there with entry 0 counting until 458, then fades by 4.
    struct Expect {
      int g, flash, entry0;
    } flashes[] = {{380, 0, 0},   {381, 16, 0},   {382, 28, 0},   {400, 244, 0},  {401, 255, 2},
                   {402, 255, 3}, {457, 255, 58}, {458, 251, 58}, {470, 203, 58}, {700, 0, 58}};
    for (const Expect& e : flashes) {
      EXPECT_EQ(seen[e.g].flash, e.flash) << e.g;
      EXPECT_EQ(seen[e.g].entry0, e.entry0) << e.g;
    }
    // Restarted every frame up to 439, then the last shake runs out.
    EXPECT_EQ(seen[0].shakeActive, 1);
    EXPECT_EQ(seen[439].shakeActive, 1);
    EXPECT_EQ(seen[439].shakeFrame, 0);
    EXPECT_EQ(seen[440].shakeFrame, 1);
    EXPECT_EQ(seen[444].shakeActive, 0);
    // The ending text scrolls from frame 701, one step a frame.
    EXPECT_EQ(seen[700].scroll, 0);
    EXPECT_EQ(seen[701].scroll, 1);
    EXPECT_EQ(seen[760].scroll, 60);
  }
}

TEST_F(ClosingFlightTest, TheEndScreenComesAfter2400OrAFreshPressAfter120) {
  const uint32_t shot = HeldRole(kButtonShot);
  const uint32_t charge = HeldRole(kButtonChargeWeapon);
  struct Row {
    const char* name;
    int pressFrom, pressTo;  // GameFrame span the button is held
    int againAt;             // a second one-frame press, -1 none
    uint32_t role;
    int endFrame;  // the GameFrame whose frame enters the end screen
  } rows[] = {
      {"no press", -1, -1, -1, 0, 2401},
      {"Shot pressed at 121", 121, 125, -1, shot, 121},
      {"Shot pressed at 120 and held", 120, 3000, -1, shot, 2401},
      {"Shot pressed at 120, again at 300", 120, 120, 300, shot, 300},
      {"CHARGE pressed at 500", 500, 500, -1, charge, 500},
      // The stage start sets CHARGE's count to 2: held from there it never reads as a press.
      {"CHARGE held since the stage start", -80, 3000, -1, charge, 2401},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Credits = kGoodEnding;
    field.WriteStageMaps(7, PlainBackgroundDescription(),
                         FieldMapDescription(40, 12, 5, "cell 2 5 6 16\n"));
    ASSERT_EQ(field.StartStage(7), 1);
    int endFrame = -1;
    for (int g = -80; g <= 2401 && endFrame < 0; ++g) {
      const bool down = (g >= row.pressFrom && g <= row.pressTo) || g == row.againAt;
      if (field.Step(down ? row.role : 0).scene == kSceneEndScreen) endFrame = g;
    }
    EXPECT_EQ(endFrame, row.endFrame);
    // The scene starts at its frame 0, where it saves the high score.
    EXPECT_EQ(SceneFrame, 0);
  }
}

TEST_F(ClosingFlightTest, TheCarriersPassOnlyOnTheGoodEndingAtTheirFramesAndSlots) {
  struct Spawn {
    int g, type, slot;
    double screenY;
  } table[] = {{800, 12, 8, 200},   {880, 11, 12, 40},   {1000, 12, 9, 40}, {1200, 12, 10, 370},
               {1400, 12, 11, 100}, {1580, 11, 13, 360}, {1880, 11, 14, 40}};
  for (int credits : {kGoodEnding, kContinued}) {
    SCOPED_TRACE(credits);
    Start(credits);
    int seen = 0;
    RunTo(1900, [&](int g, const FieldFrameReport&) {
      const int fresh = CountFresh(11) + CountFresh(12);
      const Spawn* expected = nullptr;
      for (const Spawn& s : table) {
        if (s.g == g) expected = &s;
      }
      if (credits != kGoodEnding || expected == nullptr) {
        EXPECT_EQ(fresh, 0) << g;
        return;
      }
      seen += 1;
      EXPECT_EQ(fresh, 1) << g;
      const EnemyObject& o = EnemyPool0[expected->slot];
      EXPECT_EQ(o.state, 1) << g;
      EXPECT_EQ(o.type, expected->type) << g;
      EXPECT_EQ(o.x, 0) << g;
      EXPECT_EQ(o.y, ScreenToWorldY(expected->screenY)) << g;
    });
    EXPECT_EQ(seen, credits == kGoodEnding ? 7 : 0);
  }
}

}  // namespace
