// The pools' slot search and spawn functions: both search directions at their bounds, the spawn
// reset over a slot that still holds its last occupant, exact slots, full pools, and the types
// and slots the tables cannot take.
#include <cstddef>
#include <cstring>

#include <gtest/gtest.h>

#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"

namespace {

class EnemyPoolsTest : public testing::Test {
 protected:
  void SetUp() override { ResetGameState(); }
  void TearDown() override { ResetGameState(); }
};

uint64_t PoolsDigest() {
  StateDigest d;
  DigestEnemyPools(d, DigestScope::All);
  return d.value;
}

TEST_F(EnemyPoolsTest, TheSlotSearchStartsAndEndsByItsRules) {
  // Slots 0, 1 and 63 of pool 3 are taken.
  for (int s : {0, 1, 63}) EnemyPool3[s].state = 2;
  struct Case {
    int n;
    bool downward;
    int slot;
  } cases[] = {
      // Upward from n + 1: below 0 from 0, at or past the end only the last slot is tried.
      {-5, false, 2},
      {-1, false, 2},
      {0, false, 2},
      {1, false, 2},
      {2, false, 3},
      {62, false, -1},
      {63, false, -1},
      {200, false, -1},
      // Downward from end - 1: end is n inside the pool, else the pool's size.
      {-1, true, 62},
      {0, true, -1},
      {2, true, -1},
      {3, true, 2},
      {63, true, 62},
      {64, true, 62},
      {200, true, 62},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "n " << c.n << (c.downward ? " down" : " up"));
    EXPECT_EQ(FindFreeEnemySlot(EnemyPool3, kEnemyPool3Size, c.n, c.downward), c.slot);
  }
  EnemyPool3[63].state = 0;
  EXPECT_EQ(FindFreeEnemySlot(EnemyPool3, kEnemyPool3Size, 63, false), 63);
  EXPECT_EQ(FindFreeEnemySlot(EnemyPool3, kEnemyPool3Size, 500, false), 63);
}

TEST_F(EnemyPoolsTest, TheSpawnResetSetsItsFieldsAndLeavesTheRestToTheLastOccupant) {
  EnemyObject& o = EnemyPool1[0];
  std::memset(&o, 0xA5, sizeof(o));
  o.state = 0;
  const EnemyObject before = o;
  TimeRank = 77;
  ASSERT_EQ(SpawnPool1Enemy(300.5, -20.25, 12, 640, -1, 0), 0);

  EXPECT_EQ(o.type, 12);
  EXPECT_EQ(o.state, 1);
  EXPECT_EQ(o.frame, 1);
  EXPECT_EQ(o.x, 300.5);
  EXPECT_EQ(o.y, -20.25);
  EXPECT_EQ(o.angle, 640);
  EXPECT_EQ(o.facing + o.solid + o.sideCount + o.angle2 + o.phase + o.airFrames + o.landTimer +
                o.spare1 + o.onMarker + o.despawnMarginX + o.despawnMarginY + o.cullMarginX +
                o.cullMarginY + o.partCountA + o.partCountB + o.hitFlash + o.drawOffsetY +
                o.scoreBase + o.spawnDir + o.variant,
            0);
  for (int16_t w : o.spare2) EXPECT_EQ(w, 0);
  EXPECT_EQ(o.realWork2 + o.realWork3, 0);
  EXPECT_EQ(o.spare3, -1);
  EXPECT_EQ(o.facingSign, 1);
  EXPECT_EQ(o.useViewBox, 1);
  EXPECT_EQ(o.hitMode, 1);
  EXPECT_EQ(o.blend, 256);
  EXPECT_EQ(o.brightness, 256);
  EXPECT_EQ(o.probeOffset, 1.0);
  EXPECT_EQ(o.acceptDir, 1);
  EXPECT_EQ(o.rank, 77);
  // Cleared: a shell that reads it before its launcher writes it must not see the last occupant's.
  EXPECT_EQ(o.intWork0, 0);

  // Untouched: what the behaviour's set-up must write itself.
  EXPECT_EQ(std::memcmp(&o.life, &before.life, sizeof(o.life)), 0);
  EXPECT_EQ(o.maxLife, before.maxLife);
  EXPECT_EQ(o.imageFrame, before.imageFrame);
  EXPECT_EQ(std::memcmp(&o.vx, &before.vx, sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(&o.speed, &before.speed, sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(&o.groundSpeed, &before.groundSpeed, sizeof(double)), 0);
  EXPECT_EQ(o.groundSlope, before.groundSlope);
  EXPECT_EQ(o.heading, before.heading);
  EXPECT_EQ(std::memcmp(&o.hitCircles, &before.hitCircles, sizeof(HitCircles)), 0);
  EXPECT_EQ(o.intWork1, before.intWork1);
  EXPECT_EQ(o.intWork3, before.intWork3);
  EXPECT_EQ(std::memcmp(&o.realWork1, &before.realWork1, sizeof(double)), 0);
  EXPECT_EQ(std::memcmp(o.partsA, before.partsA, sizeof(o.partsA)), 0);
  EXPECT_EQ(std::memcmp(o.partsB, before.partsB, sizeof(o.partsB)), 0);
}

TEST_F(EnemyPoolsTest, TileSpawnsSitAtTheTileCentreWithTheirEdgeAndVariant) {
  ASSERT_EQ(SpawnPool0AtTile(4, 12, 3, true, 5), 0);
  EXPECT_EQ(EnemyPool0[0].x, 12 * 40 + 20);
  EXPECT_EQ(EnemyPool0[0].y, 3 * 40 + 20);
  EXPECT_EQ(EnemyPool0[0].spawnDir, 1);
  EXPECT_EQ(EnemyPool0[0].variant, 5);
  ASSERT_EQ(SpawnPool1AtTile(9, 0, 0, false, -1), 0);
  EXPECT_EQ(EnemyPool1[0].spawnDir, -1);
  EXPECT_EQ(EnemyPool1[0].variant, -1);
  // Code spawns take variant 0 and no edge.
  ASSERT_EQ(SpawnPool2Enemy(1, 2, 3, 4), 0);
  EXPECT_EQ(EnemyPool2[0].spawnDir + EnemyPool2[0].variant, 0);
}

TEST_F(EnemyPoolsTest, SlotChoicesOfTheCodeSpawns) {
  for (int s : {0, 1, 5, 9}) EnemyPool0[s].state = 2;
  EXPECT_EQ(SpawnPool0Enemy(0, 0, 3, 0, -1, 0), 2);               // lowest free
  EXPECT_EQ(SpawnPool0Enemy(0, 0, 3, 0, int16_t(0x8000), 1), 3);  // bit 0x8000
  EXPECT_EQ(SpawnPool0Enemy(0, 0, 3, 0, 10, 0), 8);               // highest below
  EXPECT_EQ(SpawnPool0Enemy(0, 0, 3, 0, 1, 0), -1);               // none below
  // Exact: that slot whatever it holds, and -1.
  EnemyPool0[5].type = 7;
  EXPECT_EQ(SpawnPool0Enemy(50, 60, 11, 128, 5, 1), -1);
  EXPECT_EQ(EnemyPool0[5].state, 1);
  EXPECT_EQ(EnemyPool0[5].type, 11);
  EXPECT_EQ(EnemyPool0[5].x, 50);
  EXPECT_EQ(EnemyPool0[5].angle, 128);
  // Pool 1 has 128 slots; pool 3 searches above after.
  EXPECT_EQ(SpawnPool1Enemy(0, 0, 0, 0, 127, 1), -1);
  EXPECT_EQ(EnemyPool1[127].state, 1);
  EXPECT_EQ(SpawnPool1Enemy(0, 0, 0, 0, 200, 0), 126);
  EnemyPool3[6].state = 2;
  EXPECT_EQ(SpawnPool3Object(0, 0, 1, 0, 5), 7);
  EXPECT_EQ(SpawnPool3Object(0, 0, 1, 0, -1), 0);
}

TEST_F(EnemyPoolsTest, WhatThePoolsCannotTakeIsRefusedAndChangesNothing) {
  EnemyPool0[3].state = 2;
  const uint64_t before = PoolsDigest();
  BossType = 10;
  // Types past the tables, exact slots outside the pools, the boss's type and negative types
  // from the map.
  EXPECT_EQ(SpawnPool0Enemy(0, 0, 20, 0, -1, 0), -1);
  EXPECT_EQ(SpawnPool1Enemy(0, 0, 20, 0, -1, 0), -1);
  EXPECT_EQ(SpawnPool2Enemy(0, 0, 8, 0), -1);
  EXPECT_EQ(SpawnPool3Object(0, 0, 16, 0, -1), -1);
  EXPECT_EQ(SpawnPool0Enemy(0, 0, 1, 0, 64, 1), -1);
  EXPECT_EQ(SpawnPool1Enemy(0, 0, 1, 0, 128, 1), -1);
  EXPECT_EQ(SpawnPool0AtTile(10, 1, 1, true, 0), -1);
  EXPECT_EQ(SpawnPool0AtTile(20, 1, 1, true, 0), -1);
  EXPECT_EQ(SpawnPool1AtTile(20, 1, 1, true, 0), -1);
  EXPECT_EQ(SpawnPool0AtTile(-1, 1, 1, true, 0), -1);
  EXPECT_EQ(SpawnPool1AtTile(-1, 1, 1, true, 0), -1);
  EXPECT_EQ(PoolsDigest(), before);
  // The boss's type is refused only on pool 0 and only from the map.
  EXPECT_EQ(SpawnPool1AtTile(10, 1, 1, true, 0), 0);
  EXPECT_EQ(SpawnPool0Enemy(0, 0, 10, 0, -1, 0), 0);
  EXPECT_EQ(SpawnPool0AtTile(11, 1, 1, true, 0), 1);
}

TEST_F(EnemyPoolsTest, WithThePoolsFullEverySpawnGivesMinusOneAndChangesNothing) {
  int n = 0;
  for (EnemyObject* pool : {EnemyPool0, EnemyPool1, EnemyPool2, EnemyPool3}) {
    const int size = pool == EnemyPool1 ? kEnemyPool1Size : kEnemyPool0Size;
    for (int s = 0; s < size; ++s) {
      pool[s].state = 2 + s % 3;
      pool[s].x = ++n;
      pool[s].type = s % 8;
    }
  }
  const uint64_t before = PoolsDigest();
  EXPECT_EQ(SpawnPool0Enemy(1, 1, 1, 1, -1, 0), -1);
  EXPECT_EQ(SpawnPool0Enemy(1, 1, 1, 1, 40, 0), -1);
  EXPECT_EQ(SpawnPool1Enemy(1, 1, 1, 1, -1, 0), -1);
  EXPECT_EQ(SpawnPool1Enemy(1, 1, 1, 1, 100, 0), -1);
  EXPECT_EQ(SpawnPool2Enemy(1, 1, 1, 1), -1);
  EXPECT_EQ(SpawnPool3Object(1, 1, 1, 1, -1), -1);
  EXPECT_EQ(SpawnPool0AtTile(1, 1, 1, true, 0), -1);
  EXPECT_EQ(SpawnPool1AtTile(1, 1, 1, false, 0), -1);
  EXPECT_EQ(PoolsDigest(), before);
}

TEST_F(EnemyPoolsTest, TheDigestTakesFreeSlotsAndUnusedPartsAndTheClearEmptiesThem) {
  const uint64_t empty = PoolsDigest();
  // A free slot's leftovers are read again by the next spawn, so the digest sees them.
  EnemyPool3[63].partsB[45].hitCircles.dy[5] = 1;
  const uint64_t leftover = PoolsDigest();
  EXPECT_NE(leftover, empty);
  EnemyPool3[63].partsB[45].hitCircles.dy[5] = 0;
  EnemyPool0[0].rank = 1;
  EXPECT_NE(PoolsDigest(), empty);
  EXPECT_NE(PoolsDigest(), leftover);
  EnemyPool1[127].realWork3 = 0.5;
  EnemyPool2[10].state = 2;
  ClearAllObjects();
  EXPECT_EQ(PoolsDigest(), empty);
}

TEST_F(EnemyPoolsTest, TheDigestReadsFieldsNotThePaddingBetweenThem) {
  // The bytes after these one-byte fields are padding (the next field is wider).
  EnemyObject& o = EnemyPool2[7];
  unsigned char* bytes = reinterpret_cast<unsigned char*>(&o);
  const size_t onePastSolid = offsetof(EnemyObject, solid) + 1;
  const size_t onePastSideFlag =
      offsetof(EnemyObject, partsB) + 3 * sizeof(EnemyPart) + offsetof(EnemyPart, sideFlag) + 1;
  ASSERT_LT(onePastSolid, offsetof(EnemyObject, sideCount));
  ASSERT_LT(onePastSideFlag - offsetof(EnemyObject, partsB) - 3 * sizeof(EnemyPart),
            offsetof(EnemyPart, unlockWeight));
  const uint64_t clean = PoolsDigest();
  bytes[onePastSolid] = 0x77;
  bytes[onePastSideFlag] = 0x77;
  EXPECT_EQ(PoolsDigest(), clean);
  o.solid = 1;
  EXPECT_NE(PoolsDigest(), clean);
  o.solid = 0;
  o.partsB[3].sideFlag = 1;
  EXPECT_NE(PoolsDigest(), clean);
}

}  // namespace
