// The per-frame pool pass, with recorders in the behaviour tables: the pools' order per stage,
// the slots' order, frame counting, removal off screen, the stage clear and shot cancel, the
// trailing-edge spawn, handlers that free their object, and the parts run after it.
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/enemy_parts.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"
#include "tests/field/enemies/handler_recorder.h"

namespace {

constexpr int kType = 3;      // the type the recorders stand in for, in every pool
constexpr int kPartType = 5;  // and the part type

class PoolPassTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetGameState();
    CurrentStage = 2;
    // The screen and the view box at world 0..640, 0..400.
    ViewRight = 640;
    ViewBottom = 400;
  }
  void TearDown() override { ResetGameState(); }

  // An object of kType in state 2 that the pass never removes.
  static EnemyObject& Live(int pool, int slot) {
    EnemyObject& o = PoolArray(pool)[slot];
    InitEnemyObject(PoolArray(pool), slot, kType, 0);
    o.state = 2;
    o.x = 300;
    o.y = 200;
    return o;
  }

  std::vector<int> CalledPools() const {
    std::vector<int> pools;
    for (const HandlerCall& c : recorder.calls) pools.push_back(c.pool);
    return pools;
  }
  std::vector<int> CalledSlots() const {
    std::vector<int> slots;
    for (const HandlerCall& c : recorder.calls) slots.push_back(c.slot);
    return slots;
  }

  HandlerRecorder recorder;
  ScopedEntry<EnemyObjectHandler> p0{EnemyPool0Handlers[kType], RecordPool0};
  ScopedEntry<EnemyObjectHandler> p1{EnemyPool1Handlers[kType], RecordPool1};
  ScopedEntry<EnemyObjectHandler> p2{EnemyPool2Handlers[kType], RecordPool2};
  ScopedEntry<EnemyObjectHandler> p3{EnemyPool3Handlers[kType], RecordPool3};
  ScopedEntry<EnemyPartHandler> part{EnemyPartHandlers[kPartType], RecordPart};
};

TEST_F(PoolPassTest, PoolsRunThreeTwoOneZeroAndPoolThreeOnlyWhereItsStageLetsIt) {
  struct Case {
    int stage, bossState, stageSixCounter;
    bool pool3;
  } cases[] = {
      {1, 0, 0, true},   {1, 1, 0, true},   {2, 0, 0, false},  {3, 0, 0, false},
      {4, 0, 0, false},  {5, 0, 0, true},   {5, 1, 0, false},  {5, -1, 0, false},
      {6, 0, 99, false}, {6, 0, 100, true}, {6, 0, 163, true}, {7, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "stage " << c.stage << " boss " << c.bossState << " counter "
                                    << c.stageSixCounter);
    ResetGameState();
    ViewRight = 640;
    ViewBottom = 400;
    CurrentStage = static_cast<int16_t>(c.stage);
    BossState = static_cast<int16_t>(c.bossState);
    StageWork[kStageSixCounter] = c.stageSixCounter;
    for (int pool = 0; pool < 4; ++pool) Live(pool, 7);
    recorder.calls.clear();
    UpdateEnemyPools();
    const std::vector<int> expected =
        c.pool3 ? std::vector<int>{3, 2, 1, 0} : std::vector<int>{2, 1, 0};
    EXPECT_EQ(CalledPools(), expected);
  }
}

TEST_F(PoolPassTest, SlotsRunUpwardAndASpawnAboveRunsInTheSamePass) {
  Live(1, 5);
  Live(1, 20);
  recorder.onObject = [](EnemyObject& o, int, int slot) {
    if (slot == 5 && o.frame == 2) {
      SpawnPool1Enemy(300, 200, kType, 0, 9, 1);
      SpawnPool1Enemy(300, 200, kType, 0, 2, 1);
    }
  };
  UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
  EXPECT_EQ(CalledSlots(), (std::vector<int>{5, 9, 20}));
  EXPECT_EQ(recorder.calls[1].state, 1);  // the new object's set-up step
  recorder.calls.clear();
  UpdateEnemyPool(EnemyPool1, 1, kEnemyPool1Size);
  EXPECT_EQ(CalledSlots(), (std::vector<int>{2, 5, 9, 20}));
}

TEST_F(PoolPassTest, TheFrameCountWrapsAfter65534) {
  EnemyObject& o = Live(0, 0);
  o.frame = 65533;
  UpdateEnemyPools();
  EXPECT_EQ(o.frame, 65534);
  UpdateEnemyPools();
  EXPECT_EQ(o.frame, 0);
  UpdateEnemyPools();
  EXPECT_EQ(o.frame, 1);
}

TEST_F(PoolPassTest, OffScreenRemovalSkipsTheSpawnStateAndNegativeMargins) {
  struct Case {
    int state, marginX, marginY;
    double x, y;
    bool useViewBox, removed;
  } cases[] = {
      {2, 0, 0, 640, 400, false, false},    {2, 0, 0, 641, 200, false, true},
      {2, 50, 0, 680, 200, false, false},   {2, 0, 0, 300, -1, true, true},
      {1, 0, 0, 5000, 5000, false, false},  {2, -1, -1, 5000, 5000, false, false},
      {2, 10, -1, 5000, 200, false, false}, {4, 0, 0, -1, 200, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "state " << c.state << " at " << c.x << ", " << c.y);
    recorder.calls.clear();
    EnemyObject& o = Live(1, 0);
    o.state = c.state;
    o.despawnMarginX = c.marginX;
    o.despawnMarginY = c.marginY;
    o.useViewBox = c.useViewBox;
    o.x = c.x;
    o.y = c.y;
    UpdateEnemyPools();
    EXPECT_EQ(o.state == 0, c.removed);
    EXPECT_EQ(recorder.calls.empty(), c.removed);
  }
}

TEST_F(PoolPassTest, TheStageClearDestroysPoolsZeroToTwoAndTheCancelPoolsOneAndTwo) {
  struct Case {
    int pool, state;
    bool stageClear, cancel;
    int seen, after;  // the state the handler sees, and after the pass
  } cases[] = {
      {0, 1, true, false, 3, 3}, {1, 2, true, false, 3, 3}, {2, 2, true, false, 3, 3},
      {3, 2, true, false, 2, 2}, {0, 4, true, false, 4, 4}, {0, 2, false, true, 2, 2},
      {1, 1, false, true, 1, 3}, {2, 2, false, true, 2, 3}, {1, 4, false, true, 4, 4},
      {3, 2, false, true, 2, 2},
  };
  CurrentStage = 1;  // pool 3 runs
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pool " << c.pool << " state " << c.state);
    ClearAllObjects();
    recorder.calls.clear();
    EnemyObject& o = Live(c.pool, 0);
    o.state = c.state;
    StageClearTimer = c.stageClear ? 5 : 0;
    CancelEnemyShots = c.cancel ? 1 : 0;
    UpdateEnemyPools();
    ASSERT_EQ(recorder.calls.size(), 1u);
    EXPECT_EQ(recorder.calls[0].state, c.seen);
    EXPECT_EQ(o.state, c.after);
  }
}

TEST_F(PoolPassTest, ATrailingEdgeSpawnRunsOnceAndGoes) {
  ASSERT_EQ(SpawnPool1AtTile(kType, 3, 3, false, 0), 0);
  EnemyPool1[0].partCountA = 1;
  AttachPart(EnemyPool1[0].partsA, 0, kPartType, 0, 0, 0, 0);
  UpdateEnemyPools();
  ASSERT_EQ(recorder.calls.size(), 1u);  // the object's handler; its part does not run
  EXPECT_EQ(recorder.calls[0].spawnDir, -1);
  EXPECT_EQ(EnemyPool1[0].state, 0);
  // An object that accepts the trailing edge stays.
  recorder.onObject = [](EnemyObject& o, int, int) { o.acceptDir = -1; };
  ASSERT_EQ(SpawnPool1AtTile(kType, 3, 3, false, 0), 0);
  UpdateEnemyPools();
  EXPECT_EQ(EnemyPool1[0].state, 1);
}

TEST_F(PoolPassTest, AHandlerThatFreesItsObjectSkipsItsParts) {
  for (bool frees : {false, true}) {
    SCOPED_TRACE(frees);
    ClearAllObjects();
    recorder.calls.clear();
    EnemyObject& o = Live(0, 0);
    o.hitFlash = 20;
    o.partCountB = 1;
    AttachPart(o.partsB, 0, kPartType, 0, 0, 0, 0);
    recorder.onObject = [frees](EnemyObject& obj, int, int) {
      if (frees) obj.state = 0;
    };
    UpdateEnemyPools();
    EXPECT_EQ(recorder.calls.size(), frees ? 1u : 2u);
    EXPECT_EQ(o.hitFlash, frees ? 20 : 4);
  }
}

TEST_F(PoolPassTest, PartsRunInSlotOrderWithTheirBookkeeping) {
  EnemyObject& o = Live(0, 0);
  o.facing = 2;
  o.partCountA = 2;
  o.partCountB = 2;
  AttachPart(o.partsA, 0, kPartType, 0, 0, 0, 0);
  AttachPart(o.partsA, 1, kPartType, 0, 0, 0, 0);
  AttachPart(o.partsB, 1, kPartType, 0, 0, 0, 0);
  o.partsA[1].state = 0;  // a free slot inside the count is skipped
  o.partsB[1].recoil = 1.2;
  o.partsB[1].hitFlash = 20;
  o.partsB[1].beamReach = 7;
  o.partsB[1].beamDrawn = 1;
  std::vector<int> seen;  // beamReach, beamReachLast and facingSign as the handler sees them
  recorder.onPart = [&seen](EnemyObject*, int, EnemyPart* parts, int j) {
    seen = {parts[j].beamReach, parts[j].beamReachLast, parts[j].facingSign};
  };
  UpdateEnemyPools();
  ASSERT_EQ(recorder.calls.size(), 3u);
  EXPECT_EQ(recorder.calls[1].part, 0);
  EXPECT_FALSE(recorder.calls[1].partsB);
  EXPECT_EQ(recorder.calls[2].part, 1);
  EXPECT_TRUE(recorder.calls[2].partsB);
  EXPECT_EQ(seen, (std::vector<int>{0, 7, -1}));
  const EnemyPart& p = o.partsB[1];
  EXPECT_EQ(p.beamDrawn, 0);
  EXPECT_NEAR(p.recoil, 0.7, 1e-12);
  EXPECT_EQ(p.hitFlash, 4);
  UpdateEnemyPools();
  UpdateEnemyPools();
  EXPECT_EQ(p.recoil, 0);
  EXPECT_EQ(p.hitFlash, 0);
  EXPECT_EQ(p.beamReachLast, 0);
  // facingSign follows facing: 0 -> 1, 1 -> 0, 2 -> -1.
  for (int facing : {0, 1, 2}) {
    o.facing = facing;
    UpdateEnemyPools();
    EXPECT_EQ(o.facingSign, 1 - facing);
    EXPECT_EQ(p.facingSign, 1 - facing);
  }
}

TEST_F(PoolPassTest, AChildOfAPartStillInItsSetUpWaitsAFrame) {
  EnemyObject& o = Live(0, 0);
  o.partCountA = 3;
  AttachPart(o.partsA, 0, kPartType, 0, 0, 0, 0);  // hangs on part 1
  AttachPart(o.partsA, 1, kPartType, 0, 0, 0, 0);
  AttachPart(o.partsA, 2, kPartType, 0, 0, 0, 0);  // hangs on part 1, placed after it
  o.partsA[0].parentPart = 1;
  o.partsA[2].parentPart = 1;
  recorder.onPart = [](EnemyObject*, int, EnemyPart* parts, int j) { parts[j].state = 2; };
  UpdateEnemyPools();
  std::vector<int> parts;
  for (const HandlerCall& c : recorder.calls) parts.push_back(c.part);
  EXPECT_EQ(parts, (std::vector<int>{-1, 1, 2}));
  recorder.calls.clear();
  UpdateEnemyPools();
  parts.clear();
  for (const HandlerCall& c : recorder.calls) parts.push_back(c.part);
  EXPECT_EQ(parts, (std::vector<int>{-1, 0, 1, 2}));
}

TEST_F(PoolPassTest, PartCountsPastTheArraysRunOnlyTheArrayAndFreeTheObjectNextPass) {
  EnemyObject& o = Live(0, 0);
  for (int j = 0; j < kPartsACount; ++j) AttachPart(o.partsA, j, kPartType, 0, 0, 0, 0);
  for (int j = 0; j < kPartsBCount; ++j) AttachPart(o.partsB, j, kPartType, 0, 0, 0, 0);
  recorder.onObject = [](EnemyObject& obj, int, int) {
    obj.partCountA = 30;
    obj.partCountB = 50;
  };
  UpdateEnemyPools();
  EXPECT_EQ(recorder.calls.size(), 1u + kPartsACount + kPartsBCount);
  recorder.calls.clear();
  UpdateEnemyPools();
  EXPECT_TRUE(recorder.calls.empty());
  EXPECT_EQ(o.state, 0);
}

TEST_F(PoolPassTest, TypesWithoutABehaviourDoNotHoldTheirSlot) {
  CurrentStage = 1;
  struct Case {
    int pool, type, state;
    bool freed;
  } cases[] = {
      // The tables' empty entries: a spawned object is freed, a live one stays.
      {2, 1, 1, true},
      {2, 1, 2, false},
      {3, 4, 1, true},
      {3, 15, 1, true},
      // Types past the tables, and negative types.
      {0, 20, 2, true},
      {1, 25, 1, true},
      {2, 8, 2, true},
      {3, 16, 2, true},
      {0, -1, 2, true},
      {1, -3, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pool " << c.pool << " type " << c.type);
    ClearAllObjects();
    EnemyObject& o = Live(c.pool, 4);
    o.type = c.type;
    o.state = c.state;
    UpdateEnemyPools();
    EXPECT_EQ(o.state == 0, c.freed);
  }
  // A part type past the table is not run, but its bookkeeping goes on.
  ClearAllObjects();
  EnemyObject& o = Live(0, 0);
  o.partCountA = 1;
  AttachPart(o.partsA, 0, kPartType, 0, 0, 0, 0);
  o.partsA[0].partType = 40;
  o.partsA[0].recoil = 1;
  recorder.calls.clear();
  UpdateEnemyPools();
  EXPECT_EQ(recorder.calls.size(), 1u);
  EXPECT_EQ(o.partsA[0].recoil, 0.5);
}

TEST_F(PoolPassTest, TheSolidTimersCountDownToZero) {
  SolidEnemyTimer = 2;
  SolidPartTimer = 1;
  UpdateEnemyPools();
  EXPECT_EQ(SolidEnemyTimer, 1);
  EXPECT_EQ(SolidPartTimer, 0);
  UpdateEnemyPools();
  UpdateEnemyPools();
  EXPECT_EQ(SolidEnemyTimer, 0);
  EXPECT_EQ(SolidPartTimer, 0);
}

}  // namespace
