// The spawn census counts what a known map spawns and lives past its first pool pass, apart from
// what the spawned enemies spawn by code, and the enemy shots by type.
#include <string>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "tests/game_support/field_fixture.h"
#include "tests/game_support/spawn_census.h"
#include "tools/lib/test_stage_maps.h"

namespace {

template <typename T>
class ScopedEntry {
 public:
  ScopedEntry(T& entry, T value) : entry_(entry), saved_(entry) { entry = value; }
  ~ScopedEntry() { entry_ = saved_; }
  ScopedEntry(const ScopedEntry&) = delete;
  ScopedEntry& operator=(const ScopedEntry&) = delete;

 private:
  T& entry_;
  T saved_;
};

void Stay(EnemyObject& o) {
  o.state = 2;
  o.despawnMarginX = o.despawnMarginY = 40;
}

// Pool 0 type 0: stays, and on its first pass spawns a pool-1 type-1 object and a shot by code.
void StayAndSpawn(int16_t slot) {
  EnemyObject& o = EnemyPool0[slot];
  if (o.state != 1) return;
  Stay(o);
  SpawnPool1Enemy(o.x, o.y, 1, 0, -1, 0);
  SpawnEnemyShot(0, 512, 1.0, o.x, o.y, 0);
}
// Pool 0 type 1: gone on its first pass.
void VanishAtOnce(int16_t slot) { EnemyPool0[slot].state = 0; }
void StayPool1(int16_t slot) {
  if (EnemyPool1[slot].state == 1) Stay(EnemyPool1[slot]);
}

TEST(SpawnCensusTest, CountsTheMapsSpawnsThatLiveApartFromCodeSpawns) {
  // The start at column 2, the scroll right at speed 2; three stayers (code 1) and two that
  // vanish at once (code 2) in the first view and further on, one pool-1 stayer (code 65).
  const std::string main = FieldMapDescription(60, 12, 5,
                                               "cell 2 2 5 16\ncell 3 2 6 144\ncell 3 3 5 133\n"
                                               "cell 3 8 3 1\ncell 3 25 4 1\ncell 3 40 8 1\n"
                                               "cell 3 10 2 2\ncell 3 30 9 2\n"
                                               "cell 3 35 6 65\n");
  FieldFixture field;
  field.digestFrames = false;
  field.WriteStageMaps(2, PlainBackgroundDescription(), main);
  ScopedEntry<EnemyObjectHandler> a{EnemyPool0Handlers[0], StayAndSpawn};
  ScopedEntry<EnemyObjectHandler> b{EnemyPool0Handlers[1], VanishAtOnce};
  ScopedEntry<EnemyObjectHandler> c{EnemyPool1Handlers[0], StayPool1};
  ScopedEntry<EnemyObjectHandler> d{EnemyPool1Handlers[1], StayPool1};
  SpawnCensus census;
  ASSERT_EQ(field.StartStage(2), 1);
  field.SetShipImmune(true);
  field.Run(80 + 900);  // the opening count, then the window past column 40

  // Each cell is met twice: at the window's leading edge, and at its trailing edge as the window
  // leaves it. The trailing spawn gets its one handler call (and spawns by code there) and goes.
  const SpawnCounts& n = census.counts();
  EXPECT_EQ(n.FromMap(0, 0), 3);
  EXPECT_EQ(n.FromMap(0, 1), 0);  // spawned, but never lived past its first pass
  EXPECT_EQ(n.FromMap(1, 0), 1);
  EXPECT_EQ(n.FromCode(1, 1), 6);  // spawned by the stayers' code, not by the map
  EXPECT_EQ(n.FromMap(1, 1), 0);
  EXPECT_EQ(n.FromCode(0, 0), 0);
  EXPECT_EQ(n.EnemyShots(0), 6);
  EXPECT_EQ(n.TotalFromMap(), 4);
}

// A floor hatch from the map moves itself to the highest free slot on its first pass: it stays a
// map spawn there, not one of code.
TEST(SpawnCensusTest, AHatchThatMovesUpStaysAMapSpawn) {
  constexpr int kFloorHatch = 2;
  FieldFixture field;
  field.digestFrames = false;
  WriteTestStageMaps(field.folder().path(), {1});
  ASSERT_EQ(field.StartStage(1), 1);
  field.Run(81);  // the opening count and the first view (no hatch in it)
  SpawnCensus census;
  // In the view (x 100-740, y 300-700 at the start), in the lowest free slot.
  const int16_t slot = SpawnPool0AtTile(kFloorHatch, 10, 10, true, 0);
  ASSERT_GE(slot, 0);
  field.Step();
  ASSERT_EQ(EnemyPool0[slot].state, 0);
  ASSERT_NE(EnemyPool0[kEnemyPool0Size - 1].state, 0);
  EXPECT_EQ(census.counts().FromMap(0, kFloorHatch), 1);
  EXPECT_EQ(census.counts().FromCode(0, kFloorHatch), 0);
}

TEST(SpawnCensusTest, WatchesOnlyWhileItLives) {
  FieldFixture field;
  {
    SpawnCensus census;
    SpawnPool1Enemy(100, 100, 0, 0, -1, 0);
  }
  // No observer now: a spawn and a pass are told to no one.
  ScopedEntry<EnemyObjectHandler> c{EnemyPool1Handlers[0], StayPool1};
  SpawnPool1Enemy(100, 100, 0, 0, -1, 0);
  UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
  SpawnCensus census;
  UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
  EXPECT_EQ(census.counts().FromCode(1, 0), 0);  // both were spawned before it watched
}

}  // namespace
