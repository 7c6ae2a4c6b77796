// The enemy-shot pool: spawning (the screen bounds, full pool, highest slot, types past the
// table), what a spawn writes, a shot spawned by a running shot, the driver's ageing, removal,
// cancel and hit points, the stage dispatch, the links to firing parts, and the digest.
#include <cstring>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"
#include "tests/field/enemies/handler_recorder.h"
#include "tests/field/shots/shot_test_support.h"
#include "tests/game_support/field_fixture.h"

namespace {

class EnemyShotPoolTest : public testing::Test {
 protected:
  FieldFixture field;
};

uint64_t ShotsDigest() {
  StateDigest d;
  DigestEnemyShots(d, DigestScope::All);
  return d.value;
}

TEST_F(EnemyShotPoolTest, OnScreenSpawnsNeedAPointStrictlyInsideTheScreen) {
  // The camera at world (100, 50): the screen spans x 100..740, y 50..450.
  DrawOffsetX = -100;
  DrawOffsetY = -50;
  struct Case {
    double x, y;
    uint8_t onScreenOnly;
    bool spawned;
  } cases[] = {
      {100, 200, 1, false},  {100.001, 200, 1, true}, {740, 200, 1, false},
      {739.9, 200, 1, true}, {300, 50, 1, false},     {300, 50.5, 1, true},
      {300, 450, 1, false},  {300, 449.5, 1, true},   {-500, -500, 0, true},
  };
  for (const Case& c : cases) {
    ClearAllObjects();
    EXPECT_EQ(SpawnEnemyShot(1, 0, 2, c.x, c.y, c.onScreenOnly) == 0, c.spawned)
        << c.x << ", " << c.y;
    EXPECT_EQ(EnemyShots[0].state, c.spawned ? 1 : 0);
  }
}

TEST_F(EnemyShotPoolTest, ASpawnWritesItsFieldsAndLeavesTheTypesOwn) {
  EnemyShot& s = EnemyShots[0];
  std::memset(&s, 0x5A, sizeof(s));  // a previous occupant's leftovers
  s.state = 0;
  ASSERT_EQ(SpawnEnemyShot(3, -1, 2.5, 300, 200, 1), 0);
  EXPECT_EQ(s.state, 1);
  EXPECT_EQ(s.type, 3);
  EXPECT_EQ(s.frame, 0);
  EXPECT_EQ(s.motionAngle, 1023);  // wrapped
  EXPECT_EQ(s.drawAngle, 1023);
  EXPECT_EQ(s.spawnAngle, 1023);
  EXPECT_EQ(s.speed, 2.5);
  EXPECT_EQ(s.spawnX, 300);
  EXPECT_EQ(s.spawnY, 200);
  EXPECT_EQ(s.anim, 4);
  EXPECT_EQ(s.linkObject, -1);
  EXPECT_EQ(s.linkPart, -1);
  EXPECT_EQ(s.beamEndX, -9999);
  EXPECT_EQ(s.beamImage, -1);
  EXPECT_EQ(s.beamHalfWidth, -1);
  EXPECT_EQ(s.alpha, 255);
  EXPECT_EQ(s.scale, 100);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(s.hitSize[k], -1);
    EXPECT_EQ(s.hitDx[k], 0);
  }
  EXPECT_EQ(s.removalMargin, 60);
  EXPECT_EQ(s.drawMargin, 60);
  EXPECT_EQ(s.hitActive, 1);
  EXPECT_EQ(s.collides, 1);
  EXPECT_EQ(s.passesTerrain, 0);
  EXPECT_EQ(s.upright, 0);
  // Velocity, blending and the owner are the type's set-up's and LinkEnemyShot's.
  EnemyShot leftovers;
  std::memset(&leftovers, 0x5A, sizeof(leftovers));
  EXPECT_EQ(std::memcmp(&s.vx, &leftovers.vx, sizeof(double)), 0);
  EXPECT_EQ(s.additive, leftovers.additive);
  EXPECT_EQ(s.rotated, leftovers.rotated);
  EXPECT_EQ(s.ownerPool, leftovers.ownerPool);

  ASSERT_EQ(SpawnEnemyShot(0, 1030, 0, 300, 200, 0), 1);
  EXPECT_EQ(EnemyShots[1].drawAngle, 6);
}

TEST_F(EnemyShotPoolTest, TheLowAndHighSearchesAndAFullPool) {
  for (int i = 0; i < kEnemyShotSlots; ++i) EnemyShots[i].state = 2;
  EnemyShots[10].state = 0;
  EnemyShots[200].state = 0;
  EXPECT_EQ(FindFreeShotSlot(), 10);
  EXPECT_EQ(FindFreeShotSlotHigh(), 200);
  EXPECT_EQ(SpawnEnemyShotHigh(1, 0, 1, 300, 200, 0), 200);
  EXPECT_EQ(SpawnEnemyShot(1, 0, 1, 300, 200, 0), 10);

  for (int i = 0; i < kEnemyShotSlots; ++i) EnemyShots[i].x = i;
  const uint64_t full = ShotsDigest();
  EXPECT_EQ(FindFreeShotSlot(), -1);
  EXPECT_EQ(FindFreeShotSlotHigh(), -1);
  EXPECT_EQ(SpawnEnemyShot(1, 0, 1, 300, 200, 0), -1);
  EXPECT_EQ(SpawnEnemyShotHigh(1, 0, 1, 300, 200, 0), -1);
  EXPECT_EQ(ShotsDigest(), full);
}

TEST_F(EnemyShotPoolTest, TypesPastTheTableAreRefusedAndNeverRun) {
  const uint64_t empty = ShotsDigest();
  EXPECT_EQ(SpawnEnemyShot(27, 0, 1, 300, 200, 0), -1);
  EXPECT_EQ(SpawnEnemyShot(-1, 0, 1, 300, 200, 0), -1);
  EXPECT_EQ(SpawnEnemyShotHigh(100, 0, 1, 300, 200, 0), -1);
  EXPECT_EQ(ShotsDigest(), empty);
  // A slot written past the table by other means is freed, not run.
  EnemyShots[4].state = 2;
  EnemyShots[4].type = 40;
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[4].state, 0);
}

std::vector<int> recordedSlots;
void RecordShot(int16_t slot) { recordedSlots.push_back(slot); }

// On its first update, the shot in slot 5 spawns one shot into a higher slot and one into a
// lower one.
void SpawnAboveAndBelow(int16_t slot) {
  RecordShot(slot);
  if (slot == 5 && EnemyShots[slot].frame == 1) {
    SpawnEnemyShotHigh(17, 0, 0, 300, 200, 0);
    SpawnEnemyShot(17, 0, 0, 300, 200, 0);
  }
}

TEST_F(EnemyShotPoolTest, AShotSpawnedAboveARunningShotRunsInTheSameFrame) {
  CurrentStage = 1;
  ScopedEntry<EnemyShotHandler> cell{EnemyShotStageCells[0][0], SpawnAboveAndBelow};
  recordedSlots.clear();
  for (int i = 0; i < 5; ++i) EnemyShots[i].state = 2;
  ASSERT_EQ(SpawnEnemyShot(17, 0, 0, 300, 200, 0), 5);
  for (int i = 0; i < 5; ++i) EnemyShots[i].state = 0;
  UpdateEnemyShots();
  // Slot 255 got its first update in this pass, slot 0 waits for the next.
  EXPECT_EQ(recordedSlots, (std::vector<int>{5, 255}));
  EXPECT_EQ(EnemyShots[255].frame, 1);
  EXPECT_EQ(EnemyShots[0].frame, 0);
  recordedSlots.clear();
  UpdateEnemyShots();
  EXPECT_EQ(recordedSlots, (std::vector<int>{0, 5, 255}));
}

TEST_F(EnemyShotPoolTest, StageTypesReachTheirStagesBehaviour) {
  for (int type = 17; type <= 26; ++type) {
    for (int stage = 1; stage <= 7; ++stage) {
      SCOPED_TRACE(testing::Message() << "type " << type << " stage " << stage);
      ClearAllObjects();
      CurrentStage = static_cast<int16_t>(stage);
      ScopedEntry<EnemyShotHandler> cell{EnemyShotStageCells[type - 17][stage - 1], RecordShot};
      recordedSlots.clear();
      ASSERT_EQ(SpawnEnemyShot(static_cast<int16_t>(type), 0, 0, 300, 200, 0), 0);
      UpdateEnemyShots();
      EXPECT_EQ(recordedSlots, std::vector<int>{0});
    }
  }
  // Where a stage has no behaviour the shot does nothing and keeps its slot.
  ClearAllObjects();
  CurrentStage = 1;
  ASSERT_EQ(SpawnEnemyShot(18, 0, 0, 300, 200, 0), 0);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[0].state, 1);
  EXPECT_EQ(EnemyShots[0].frame, 1);
}

TEST_F(EnemyShotPoolTest, StageFourRunsTwoCommonBehavioursUnderItsOwnNumbers) {
  CurrentStage = 4;
  ASSERT_EQ(SpawnEnemyShot(22, 256, 2, 300, 200, 0), 0);
  UpdateEnemyShots();
  // The plain shot: radius 4, drawn upright, moving down.
  EXPECT_EQ(EnemyShots[0].state, 2);
  EXPECT_EQ(EnemyShots[0].hitSize[0], 4);
  EXPECT_EQ(EnemyShots[0].drawAngle, 0);
  EXPECT_EQ(EnemyShots[0].drawMargin, 8);
  EXPECT_DOUBLE_EQ(EnemyShots[0].y, 202);
  // The warning dot: unlinked, it takes its part for gone.
  ASSERT_EQ(SpawnEnemyShot(23, 0, 2, 300, 200, 0), 1);
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[1].drawMargin, 16);
  EXPECT_EQ(EnemyShots[1].alpha, 32);
  EXPECT_EQ(EnemyShots[1].state, 3);
}

TEST_F(EnemyShotPoolTest, OffScreenShotsGoOnceOldEnoughAndTypeTwentyTwoAgesSlowly) {
  // Stage 1 has no behaviour for types 21 and 22: only the driver acts on them.
  CurrentStage = 1;
  struct Case {
    int16_t type;
    int freedAt;
  } cases[] = {{21, 8}, {22, 16}};
  for (const Case& c : cases) {
    ClearAllObjects();
    ASSERT_EQ(SpawnEnemyShot(c.type, 0, 0, -100, 200, 0), 0);
    EXPECT_EQ(PassesUntilShotFreed(0), c.freedAt) << c.type;
  }
  // Within its removal margin it stays.
  ClearAllObjects();
  ASSERT_EQ(SpawnEnemyShot(21, 0, 0, -60, 200, 0), 0);
  EXPECT_EQ(PassesUntilShotFreed(0, 100), -1);
}

TEST_F(EnemyShotPoolTest, ACancelSendsLiveHarmfulShotsToTheirVanishFrames) {
  ASSERT_EQ(SpawnEnemyShot(1, 0, 0, 300, 200, 0), 0);  // a small shot
  ASSERT_EQ(SpawnEnemyShot(5, 0, 0, 310, 200, 0), 1);  // a harmless trail dot
  ASSERT_EQ(SpawnEnemyShot(2, 0, 0, 320, 200, 0), 2);  // still to be set up when cancelled
  UpdateEnemyShots();
  EnemyShots[2].state = 1;
  CancelEnemyShots = 1;
  UpdateEnemyShots();
  EXPECT_EQ(EnemyShots[0].state, 3);
  EXPECT_EQ(EnemyShots[1].state, 2);
  // Set up in this pass, then cancelled.
  EXPECT_EQ(EnemyShots[2].state, 3);
  UpdateEnemyShots();
  EXPECT_GE(EnemyShots[0].anim, 8);
}

TEST_F(EnemyShotPoolTest, HitPointsFollowThePositionTurnedToTheDrawAngle) {
  // A cannon shot flying down: its extra circles 6 px ahead and behind along its course.
  ASSERT_EQ(SpawnEnemyShot(3, 256, 2, 300, 200, 0), 0);
  UpdateEnemyShots();
  const EnemyShot& s = EnemyShots[0];
  EXPECT_DOUBLE_EQ(s.hitX[0], 300);
  EXPECT_DOUBLE_EQ(s.hitY[0], 202);
  EXPECT_NEAR(s.hitX[1], 300, 1e-9);
  EXPECT_DOUBLE_EQ(s.hitY[1], 208);
  EXPECT_DOUBLE_EQ(s.hitY[2], 196);
  EXPECT_EQ(s.hitSize[1], 3);
  EXPECT_EQ(s.hitSize[3], -1);
}

TEST_F(EnemyShotPoolTest, LinksAreHeldAsIndicesAndOnlyInsideThePoolsLeadToAPart) {
  EnemyPart stray[4] = {};
  struct Case {
    const EnemyObject* pool;
    int16_t object, part;
    bool front;
    const EnemyPart* expected;
  } cases[] = {
      {EnemyPool1, 3, 2, true, &EnemyPool1[3].partsB[2]},
      {EnemyPool1, 3, 24, false, &EnemyPool1[3].partsA[24]},
      {EnemyPool3, 63, 45, true, &EnemyPool3[63].partsB[45]},
      {EnemyPool1, 3, 25, false, nullptr},  // past partsA
      {EnemyPool1, 3, 46, true, nullptr},   // past partsB
      {EnemyPool1, 3, -1, true, nullptr},   // no part
      {EnemyPool0, 64, 0, true, nullptr},   // past pool 0
      {EnemyPool1, -1, 0, true, nullptr},   // no object
      {nullptr, 3, 0, true, nullptr},       // no pool
  };
  for (const Case& c : cases) {
    ClearAllObjects();
    ASSERT_EQ(SpawnEnemyShot(9, 0, 0, 300, 200, 0), 0);
    const EnemyPart* parts = nullptr;
    if (c.pool != nullptr && c.object >= 0 && c.object < 64) {
      parts = c.front ? c.pool[c.object].partsB : c.pool[c.object].partsA;
    }
    LinkEnemyShot(0, c.object, c.part, 1, 2, c.pool, parts, 80);
    EXPECT_EQ(LinkedPart(EnemyShots[0]), c.expected) << c.object << " " << c.part;
    EXPECT_EQ(EnemyShots[0].linkMode, 80);
  }
  // Parts that are not one of the object's arrays lead nowhere.
  ASSERT_EQ(SpawnEnemyShot(9, 0, 0, 300, 200, 0), 1);
  LinkEnemyShot(1, 3, 0, 0, 0, EnemyPool1, stray, 0);
  EXPECT_EQ(LinkedPart(EnemyShots[1]), nullptr);
  LinkEnemyShot(1, 3, 0, 0, 0, EnemyPool1, EnemyPool1[4].partsA, 0);
  EXPECT_EQ(LinkedPart(EnemyShots[1]), nullptr);
  LinkEnemyShot(-1, 3, 0, 0, 0, EnemyPool1, EnemyPool1[3].partsA, 0);  // no such slot
}

TEST_F(EnemyShotPoolTest, TheDigestTakesEveryFieldOfFreeSlotsAndTheClearEmptiesThem) {
  EnemyShot& s = EnemyShots[255];
  const std::vector<std::function<void()>> changes = {
      [&] { s.state = 1; },
      [&] { s.type = 1; },
      [&] { s.frame = 1; },
      [&] { s.motionAngle = 1; },
      [&] { s.drawAngle = 1; },
      [&] { s.x = 1; },
      [&] { s.y = 1; },
      [&] { s.speed = 1; },
      [&] { s.vx = 1; },
      [&] { s.vy = 1; },
      [&] { s.hitSize[3] = 1; },
      [&] { s.hitX[3] = 1; },
      [&] { s.hitY[3] = 1; },
      [&] { s.hitDx[3] = 1; },
      [&] { s.hitDy[3] = 1; },
      [&] { s.hitActive = 1; },
      [&] { s.passesTerrain = 1; },
      [&] { s.anim = 1; },
      [&] { s.linkMode = 1; },
      [&] { s.workWord = 1; },
      [&] { s.workReal[3] = 1; },
      [&] { s.linkOffset1 = 1; },
      [&] { s.linkOffset2 = 1; },
      [&] { s.linkObject = 1; },
      [&] { s.linkPart = 1; },
      [&] { s.ownerPool = 1; },
      [&] { s.ownerPartArray = 1; },
      [&] { s.additive = 1; },
      [&] { s.rotated = 1; },
      [&] { s.alpha = 1; },
      [&] { s.scale = 1; },
      [&] { s.beamEndX = 1; },
      [&] { s.beamEndY = 1; },
      [&] { s.beamImage = 1; },
      [&] { s.beamHalfWidth = 1; },
      [&] { s.spawnX = 1; },
      [&] { s.spawnY = 1; },
      [&] { s.spawnAngle = 1; },
      [&] { s.age = 1; },
      [&] { s.removalMargin = 1; },
      [&] { s.drawMargin = 1; },
      [&] { s.collides = 1; },
      [&] { s.upright = 1; },
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
