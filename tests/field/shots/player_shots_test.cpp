// The player-shot pool: what firing writes, slots and types out of range, removal off screen
// with and without the muzzle flash, the shared vanish step, the sweep direction of the types
// that fly by heading, and the digest.
#include <cstring>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"
#include "stg_src/shell/shell_state.h"
#include "tests/field/enemies/handler_recorder.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

class PlayerShotsTest : public testing::Test {
 protected:
  FieldFixture field;
};

// A shot that ticks its age and flies left at 10 a frame, as the flash-drawing types do.
void FlyLeft(int16_t slot) {
  PlayerShot& s = PlayerShots[slot];
  TickPlayerShotAge(slot);
  s.state = 2;
  s.x -= 10;
}

TEST_F(PlayerShotsTest, FiringWritesAFreshShotAndLeavesTheTypesMotion) {
  PlayerShot& s = PlayerShots[70];
  std::memset(&s, 0x5A, sizeof(s));
  PlayerX = 100;
  PlayerY = 200;
  ASSERT_EQ(InitPlayerShot(70, 6, -3, 2, 124, 190, 1), 0);
  EXPECT_EQ(s.state, 1);
  EXPECT_EQ(s.type, 6);
  EXPECT_EQ(s.level, 2);
  EXPECT_EQ(s.imageLevel, 2);
  EXPECT_EQ(s.frame, 0);
  EXPECT_EQ(s.angle, -3);  // a per-type parameter, not wrapped
  EXPECT_EQ(s.heading, -3);
  EXPECT_EQ(s.flashAngle, -3);
  EXPECT_EQ(s.flashOffsetX, 24);
  EXPECT_EQ(s.flashOffsetY, -10);
  EXPECT_EQ(s.age, 0);
  EXPECT_EQ(s.anim, 4);
  EXPECT_EQ(s.alpha, 255);
  EXPECT_EQ(s.scale, 1.0);
  EXPECT_EQ(s.hitCount, 1);
  EXPECT_EQ(s.hitSize[7], 0);
  EXPECT_EQ(s.stopsOnHit, 1);
  EXPECT_EQ(s.damage, 0);
  EXPECT_EQ(s.searchMode, 0);
  EXPECT_EQ(s.removalMargin, 16);
  EXPECT_EQ(s.drawMargin, 60);
  PlayerShot leftovers;
  std::memset(&leftovers, 0x5A, sizeof(leftovers));
  EXPECT_EQ(std::memcmp(&s.vx, &leftovers.vx, sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(&s.speed, &leftovers.speed, sizeof(double)), 0);
  ASSERT_EQ(InitPlayerShot(71, 0, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(PlayerShots[71].age, 100);
  EXPECT_FALSE(IsPlayerShotFree(70));
  EXPECT_TRUE(IsPlayerShotFree(72));
}

TEST_F(PlayerShotsTest, SlotsAndTypesOutOfRangeAreRefused) {
  const uint64_t empty = DigestGameState(DigestScope::Run).value;
  EXPECT_EQ(InitPlayerShot(-1, 0, 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(InitPlayerShot(139, 0, 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(InitPlayerShot(0, 18, 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(InitPlayerShot(0, -1, 0, 0, 0, 0, 0), -1);
  EXPECT_EQ(DigestGameState(DigestScope::Run).value, empty);
  EXPECT_FALSE(IsPlayerShotFree(-1));
  EXPECT_FALSE(IsPlayerShotFree(139));
  EXPECT_EQ(InitPlayerShot(138, 17, 0, 0, 0, 0, 0), 0);
}

TEST_F(PlayerShotsTest, WithTheFlashAShotOutlivesItsFirstEightFramesOffScreen) {
  ScopedEntry<PlayerShotHandler> entry{PlayerShotHandlers[0], FlyLeft};
  struct Row {
    uint8_t flash;
    int freedAt;
  } rows[] = {{1, 8}, {0, 1}};
  for (const Row& r : rows) {
    ClearAllObjects();
    ASSERT_EQ(InitPlayerShot(3, 0, 0, 0, -100, 200, r.flash), 0);
    int freedAt = -1;
    for (int pass = 1; pass <= 20 && freedAt < 0; ++pass) {
      UpdatePlayerShots();
      if (PlayerShots[3].state == 0) freedAt = pass;
    }
    EXPECT_EQ(freedAt, r.freedAt) << int{r.flash};
  }
  // Within its removal margin it stays.
  ClearAllObjects();
  ASSERT_EQ(InitPlayerShot(3, 1, 0, 0, -50, 200, 0), 0);
  PlayerShots[3].removalMargin = 60;
  UpdatePlayerShots();
  UpdatePlayerShots();
  EXPECT_EQ(PlayerShots[3].state, 1);
  EXPECT_EQ(PlayerShots[3].frame, 2);
}

TEST_F(PlayerShotsTest, AVanishingShotRidesTheScrollSparksOnceAndEndsAfterFrameEleven) {
  PutPlayerShot(5, 300, 200, 4, 10);
  PlayerShot& s = PlayerShots[5];
  s.state = 3;
  s.frame = 40;
  s.anim = 6;
  s.sparkPending = 1;
  ScrollDeltaX = 2;
  ScrollDeltaY = -1;
  std::vector<int16_t> anims;
  int passes = 0;
  while (s.state == 3 && passes < 50) {
    s.frame += 1;  // as the driver does before the behaviour
    VanishPlayerShot(5, 3);
    anims.push_back(s.anim);
    ++passes;
  }
  EXPECT_EQ(s.state, 0);
  // The frame restarted at 1: steps on frames 3, 6, 9, 12.
  EXPECT_EQ(anims, (std::vector<int16_t>{8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12}));
  EXPECT_DOUBLE_EQ(s.x, 300 + 2 * passes);
  EXPECT_DOUBLE_EQ(s.y, 200 - passes);
  int sparks = 0;
  for (const Effect& e : Effects) sparks += e.state != 0 && e.type == 31 ? 1 : 0;
  EXPECT_EQ(sparks, 1);
  EXPECT_EQ(s.sparkPending, 0);
}

TEST_F(PlayerShotsTest, TheTypesThatFlyByHeadingSweepAlongItsHeading) {
  for (int type = 0; type < kPlayerShotTypes; ++type) {
    ASSERT_EQ(InitPlayerShot(0, type, 0, 0, 0, 0, 0), 0);
    PlayerShots[0].angle = 100;
    PlayerShots[0].heading = 768;
    const bool byHeading = type == 0 || type == 6 || type == 8 || type == 12 || type == 17;
    EXPECT_DOUBLE_EQ(PlayerShotSweepRadians(PlayerShots[0]), AngleToRadians(byHeading ? 768 : 100))
        << type;
  }
}

TEST_F(PlayerShotsTest, TheDigestTakesEveryFieldOfFreeSlots) {
  PlayerShot& s = PlayerShots[138];
  const std::vector<std::function<void()>> changes = {
      [&] { s.state = 1; },
      [&] { s.damage = 1; },
      [&] { s.level = 1; },
      [&] { s.imageLevel = 1; },
      [&] { s.frame = 1; },
      [&] { s.type = 1; },
      [&] { s.converted = 1; },
      [&] { s.angle = 1; },
      [&] { s.heading = 1; },
      [&] { s.hitSize[7] = 1; },
      [&] { s.hitX[7] = 1; },
      [&] { s.hitY[7] = 1; },
      [&] { s.hitCount = 1; },
      [&] { s.x = 1; },
      [&] { s.y = 1; },
      [&] { s.vx = 1; },
      [&] { s.vy = 1; },
      [&] { s.speed = 1; },
      [&] { s.workA = 1; },
      [&] { s.workB = 1; },
      [&] { s.baseOffsetX = 1; },
      [&] { s.baseOffsetY = 1; },
      [&] { s.counterA = 1; },
      [&] { s.counterB = 1; },
      [&] { s.counterC = 1; },
      [&] { s.anim = 1; },
      [&] { s.additive = 1; },
      [&] { s.alpha = 1; },
      [&] { s.scale = 1; },
      [&] { s.flashOffsetX = 1; },
      [&] { s.flashOffsetY = 1; },
      [&] { s.flashAngle = 1; },
      [&] { s.age = 1; },
      [&] { s.pierce = 1; },
      [&] { s.sparkPending = 1; },
      [&] { s.vanishing = 1; },
      [&] { s.searchMode = 1; },
      [&] { s.targetX = 1; },
      [&] { s.targetY = 1; },
      [&] { s.stopsOnHit = 1; },
      [&] { s.hitCadence = 1; },
      [&] { s.removalMargin = 1; },
      [&] { s.drawMargin = 1; },
      [&] { s.airCounter = 1; },
  };
  ClearAllObjects();
  const uint64_t empty = DigestGameState(DigestScope::Run).value;
  for (size_t i = 0; i < changes.size(); ++i) {
    changes[i]();
    EXPECT_NE(DigestGameState(DigestScope::Run).value, empty) << "change " << i;
    ClearAllObjects();
    EXPECT_EQ(DigestGameState(DigestScope::Run).value, empty) << "change " << i;
  }
}

}  // namespace
