// Parts: attaching over a slot's leftovers and refusing what the arrays cannot take, placement on
// an object and on a parent part for each facing, easing, the follow steps' state copy, the
// readiness of chained parts and the arc clamp.
#include <cstring>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"

namespace {

class EnemyPartsTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    BuildTrigTables();
    // The owner at (100, 50) turned a quarter (256: its x axis points down the screen).
    owner.state = 2;
    owner.x = 100;
    owner.y = 50;
    owner.angle = 256;
  }
  void TearDown() override { ResetGameState(); }

  EnemyObject& owner = EnemyPool1[4];
};

TEST_F(EnemyPartsTest, AttachSetsItsFieldsAndRefusesWhatTheArraysCannotTake) {
  EnemyPart& p = owner.partsB[45];
  std::memset(&p, 0x5A, sizeof(p));
  const EnemyPart before = p;
  AttachPart(owner.partsB, 45, 31, 12.5, -3, 700, 6);
  EXPECT_EQ(p.state, 1);
  EXPECT_EQ(p.counter, 1);
  EXPECT_EQ(p.partType, 31);
  EXPECT_EQ(p.offsetX, 12.5);
  EXPECT_EQ(p.offsetY, -3);
  EXPECT_EQ(p.angle, 700);
  EXPECT_EQ(p.baseAngle, 700);
  EXPECT_EQ(p.imageFrame, 6);
  EXPECT_EQ(p.cullMarginX, -1);
  EXPECT_EQ(p.cullMarginY, -1);
  EXPECT_EQ(p.stopFrame, 9999);
  EXPECT_EQ(p.parentPart, -1);
  EXPECT_EQ(p.blend, 256);
  EXPECT_EQ(p.brightness, 256);
  EXPECT_EQ(p.recoil + p.startX + p.startCos + p.startY + p.startSin, 0);
  EXPECT_EQ(p.hitMode + p.unlockWeight + p.work0 + p.work1 + p.cue + p.life + p.maxLife +
                p.drawOffsetY + p.beamStopped + p.beamReach + p.beamReachLast + p.beamDrawn +
                p.linkActive + p.sideFlag + p.variant + p.hitFlash + p.scoreBase,
            0);
  // Left to the part's set-up and the pool pass.
  EXPECT_EQ(p.facing, before.facing);
  EXPECT_EQ(p.facingSign, before.facingSign);
  EXPECT_EQ(std::memcmp(&p.x, &before.x, sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(&p.y, &before.y, sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(&p.hitCircles, &before.hitCircles, sizeof(HitCircles)), 0);

  // Part types past the table and slots outside the array leave everything as it was.
  const EnemyObject whole = owner;
  AttachPart(owner.partsA, 0, 32, 0, 0, 0, 0);
  AttachPart(owner.partsA, 0, -1, 0, 0, 0, 0);
  AttachPart(owner.partsA, 25, 2, 0, 0, 0, 0);
  AttachPart(owner.partsA, -1, 2, 0, 0, 0, 0);
  AttachPart(owner.partsB, 46, 2, 0, 0, 0, 0);
  AttachPart(owner.partsB + 1, 0, 2, 0, 0, 0, 0);  // not the start of an array
  EXPECT_EQ(std::memcmp(&whole, &owner, sizeof(owner)), 0);
  EXPECT_EQ(PartArrayCapacity(EnemyPool3[63].partsA), kPartsACount);
  EXPECT_EQ(PartArrayCapacity(EnemyPool0[0].partsB), kPartsBCount);
  EnemyPart local[4];
  EXPECT_EQ(PartArrayCapacity(local), 0);
}

TEST_F(EnemyPartsTest, PlacementOnTheObjectByFacing) {
  struct Case {
    int facing;
    int16_t extra, partAngle;
    double recoil, x, y;
  } cases[] = {
      // Offset (10, 4) turned by 256: along +y 10, across -x 4.
      {0, 0, 0, 0, 96, 60},
      // Mirrored: the x offset negated.
      {2, 0, 0, 0, 96, 40},
      // Turning: only the y offset, and no recoil.
      {1, 0, 0, 3, 96, 50},
      // Recoil pulls back along extra + the part's angle.
      {0, 0, 0, 3, 93, 60},
      {0, 200, 56, 3, 96, 57},
      {2, 0, 512, 2, 98, 40},
  };
  EnemyPart* parts = owner.partsA;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "facing " << c.facing << " recoil " << c.recoil);
    AttachPart(parts, 3, 2, 10, 4, c.partAngle, 0);
    parts[3].facing = c.facing;
    parts[3].recoil = c.recoil;
    PlacePartOnObject(EnemyPool1, 4, parts, 3, c.extra);
    EXPECT_NEAR(parts[3].x, c.x, 1e-9);
    EXPECT_NEAR(parts[3].y, c.y, 1e-9);
  }
}

TEST_F(EnemyPartsTest, EasingMovesAnNthOfTheWay) {
  EnemyPart* parts = owner.partsA;
  AttachPart(parts, 0, 2, 10, 4, 0, 0);
  parts[0].x = 0;
  parts[0].y = 0;
  EasePartToObject(EnemyPool1, 4, parts, 0, 4, 0);
  EXPECT_NEAR(parts[0].x, 24, 1e-9);
  EXPECT_NEAR(parts[0].y, 15, 1e-9);
  EasePartToObject(EnemyPool1, 4, parts, 0, 4, 0);
  EXPECT_NEAR(parts[0].x, 42, 1e-9);
  EXPECT_NEAR(parts[0].y, 26.25, 1e-9);
  // Turning parts, and step counts below 1, are placed at once.
  parts[0].facing = 1;
  EasePartToObject(EnemyPool1, 4, parts, 0, 4, 0);
  EXPECT_NEAR(parts[0].x, 96, 1e-9);
  EXPECT_NEAR(parts[0].y, 50, 1e-9);
  parts[0].facing = 0;
  EasePartToObject(EnemyPool1, 4, parts, 0, 0, 0);
  EXPECT_NEAR(parts[0].x, 96, 1e-9);
  EXPECT_NEAR(parts[0].y, 60, 1e-9);
}

TEST_F(EnemyPartsTest, FollowingTheObjectCopiesItsStateAndFacing) {
  EnemyPart* parts = owner.partsB;
  AttachPart(parts, 2, 2, 10, 4, 0, 0);
  parts[2].counter = 7;
  parts[2].linkActive = 1;
  owner.facing = 2;
  EXPECT_EQ(FollowParentObject(EnemyPool1, 4, parts, 2, 0), 1);
  EXPECT_EQ(parts[2].facing, 0);
  EXPECT_NEAR(parts[2].y, 60, 1e-9);
  EXPECT_EQ(parts[2].state, 2);
  EXPECT_EQ(parts[2].counter, 0);  // the state changed
  EXPECT_EQ(parts[2].linkActive, 1);
  parts[2].counter = 7;
  EXPECT_EQ(FollowParentObject(EnemyPool1, 4, parts, 2, 1), 1);
  EXPECT_EQ(parts[2].facing, 2);
  EXPECT_NEAR(parts[2].y, 40, 1e-9);
  EXPECT_EQ(parts[2].counter, 7);
  // An owner that is not live drops the tie of the part's shots; a freed one frees the part.
  owner.state = 3;
  EXPECT_EQ(FollowParentObject(EnemyPool1, 4, parts, 2, 1), 1);
  EXPECT_EQ(parts[2].state, 3);
  EXPECT_EQ(parts[2].linkActive, 0);
  owner.state = 0;
  EXPECT_EQ(FollowParentObject(EnemyPool1, 4, parts, 2, 1), 0);
  EXPECT_EQ(parts[2].state, 0);
}

TEST_F(EnemyPartsTest, FollowingAParentPartMirrorsAcrossTheChain) {
  EnemyPart* parts = owner.partsA;
  AttachPart(parts, 0, 2, 0, 0, 256, 0);
  parts[0].state = 2;
  parts[0].x = 200;
  parts[0].y = 100;
  struct Case {
    int facing;
    double recoil, x, y;
  } cases[] = {
      {0, 0, 196, 110},
      {2, 0, 204, 110},  // the y offset negated
      {1, 3, 200, 110},  // only the x offset, no recoil
      {0, 3, 193, 110},  // recoil along the part's own angle (0)
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "facing " << c.facing << " recoil " << c.recoil);
    AttachPart(parts, 1, 2, 10, 4, 0, 0);
    parts[1].parentPart = 0;
    parts[1].recoil = c.recoil;
    parts[0].facing = c.facing;
    EXPECT_EQ(FollowParentPart(parts, 0, parts, 1), 1);
    EXPECT_EQ(parts[1].facing, c.facing);
    EXPECT_EQ(parts[1].state, 2);
    EXPECT_NEAR(parts[1].x, c.x, 1e-9);
    EXPECT_NEAR(parts[1].y, c.y, 1e-9);
  }
  // A parent outside the array, or the part itself, counts as gone.
  for (int parent : {-1, 1, 25, 300}) {
    SCOPED_TRACE(parent);
    AttachPart(parts, 1, 2, 10, 4, 0, 0);
    parts[1].linkActive = 1;
    EXPECT_EQ(FollowParentPart(parts, parent, parts, 1), 0);
    EXPECT_EQ(parts[1].state, 0);
    EXPECT_EQ(parts[1].linkActive, 0);
  }
}

TEST_F(EnemyPartsTest, AChildIsReadyUnlessItsParentIsStillInItsSetUp) {
  EnemyPart* parts = owner.partsB;
  AttachPart(parts, 0, 2, 0, 0, 0, 0);
  AttachPart(parts, 1, 2, 0, 0, 0, 0);
  EXPECT_TRUE(IsPartParentReady(parts, 1));  // hangs on the object
  parts[1].parentPart = 0;
  EXPECT_FALSE(IsPartParentReady(parts, 1));
  parts[0].state = 2;
  EXPECT_TRUE(IsPartParentReady(parts, 1));
  parts[0].state = 0;
  EXPECT_TRUE(IsPartParentReady(parts, 1));
  // A parent that cannot be there lets the child run, and its follow step frees it.
  for (int16_t parent : {int16_t{1}, int16_t{46}, int16_t{1000}}) {
    parts[1].parentPart = parent;
    EXPECT_TRUE(IsPartParentReady(parts, 1)) << parent;
  }
}

TEST_F(EnemyPartsTest, TheArcClampKeepsAnglesInsideAndSnapsToTheNearerEnd) {
  struct Case {
    int16_t angle, lo, hi, base, result;
  } cases[] = {
      // The arc 924 .. 100 across 0.
      {950, -100, 100, 0, 950},
      {50, -100, 100, 0, 50},
      {924, -100, 100, 0, 924},
      {100, -100, 100, 0, 100},
      {0, -100, 100, 0, 0},
      {101, -100, 100, 0, 100},
      {923, -100, 100, 0, 924},
      {500, -100, 100, 0, 100},
      {524, -100, 100, 0, 924},
      // Equally far from both ends: the high end.
      {512, -100, 100, 0, 100},
      // The arc 192 .. 320.
      {0, -64, 64, 256, 192},
      {1000, -64, 64, 256, 192},
      {600, -64, 64, 256, 320},
      {256, -64, 64, 256, 256},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.angle << " in " << c.base << " + " << c.lo << " .. " << c.hi);
    EXPECT_EQ(ClampAngleToArc(c.angle, c.lo, c.hi, c.base), c.result);
  }
}

}  // namespace
