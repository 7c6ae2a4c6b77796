// The behaviour tables: every fixed entry, and every cell of the stage grids (type x stage)
// against the behaviour it names; then each dispatcher, with recorders in the grid, calls its own
// cell on each stage (a generic spawner before the stage's step), and an empty cell calls
// nothing and frees its object.
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "stg_src/field/enemies/common_enemies.h"
#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/play_field.h"
#include "stg_src/game_state.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage2/stage2.h"
#include "stg_src/stages/stage3/stage3.h"
#include "stg_src/stages/stage4/stage4.h"
#include "stg_src/stages/stage5/stage5.h"
#include "stg_src/stages/stage6/stage6.h"
#include "stg_src/stages/stage7/stage7.h"
#include "tests/field/enemies/handler_recorder.h"

namespace {

struct ObjectRow {
  int pool, type;
  StageObjectCell cells[kStageCount];  // stages 1..7
};

const ObjectRow kObjectGrid[] = {
    {0,
     10,
     {{nullptr, UpdateStage1Boss},
      {nullptr, UpdateStage2Boss},
      {nullptr, UpdateStage3Boss},
      {nullptr, UpdateStage4Boss},
      {nullptr, UpdateStage5Boss1},
      {nullptr, UpdateStage6Boss},
      {nullptr, UpdateStage7Fire}}},
    {0,
     11,
     {{nullptr, UpdateStage1Robo},
      {nullptr, UpdateStage2Marui},
      {nullptr, UpdateStage3FlameVent},
      {nullptr, UpdateStage4Chubosu},
      {nullptr, UpdateStage5Boss2},
      {nullptr, UpdateStage6Robo},
      {nullptr, UpdateStage7Bokan}}},
    {0,
     12,
     {{nullptr, UpdateStage1HatchRiser},
      {nullptr, UpdateStage2Sikaku},
      {nullptr, UpdateStage3RockSpout},
      {nullptr, UpdateStage4Gunboat},
      {nullptr, UpdateStage5Boss3},
      {nullptr, UpdateStage6Club},
      {nullptr, UpdateStage7Bokan2}}},
    {0,
     13,
     {{nullptr, UpdateStage1Hatch},
      {nullptr, UpdateStage2Senkan},
      {nullptr, UpdateStage3Snake},
      {nullptr, UpdateStage4LauncherShip},
      {nullptr, UpdateStage5Boss4},
      {nullptr, UpdateStage6Entry},
      {}}},
    {0,
     14,
     {{nullptr, UpdateStage1Bokan},
      {nullptr, UpdateStage2Senkan2},
      {nullptr, UpdateStage3FireballVolley},
      {nullptr, UpdateStage4LaserWheel},
      {nullptr, UpdateStage5Boss5},
      {nullptr, UpdateStage6OrbitCarrier},
      {}}},
    {0,
     15,
     {{nullptr, UpdateStage1BeamCannonHigh},
      {nullptr, UpdateStage2Houdai},
      {nullptr, UpdateStage3SmallFireballVolley},
      {nullptr, UpdateStage4TurretMount},
      {nullptr, UpdateStage5HatchZako},
      {nullptr, UpdateStage6FloorGunner},
      {}}},
    {0,
     16,
     {{nullptr, UpdateStage1BeamCannonLow},
      {nullptr, UpdateStage2HoudaiReverse},
      {UpdateZakoPairSpawner, UpdateStage3SnakePlaceholder},
      {nullptr, UpdateStage4FireWall},
      {nullptr, UpdateStage5HatchZakoReverse},
      {nullptr, UpdateStage6CeilingGunner},
      {}}},
    {0,
     17,
     {{nullptr, UpdateStage1BgObjectPlacer},
      {nullptr, UpdateStage2IwaLSpawner},
      {UpdateZakoSpawner, UpdateStage3SnakePlaceholder2},
      {},
      {nullptr, UpdateStage5LaserHou},
      {UpdateZakoPairSpawner, GateStage6PairSpawner},
      {}}},
    {0,
     18,
     {{nullptr, UpdateStage1SkyBakuPlacer},
      {nullptr, UpdateStage2IwaMSpawner},
      {nullptr, UpdateStage3FireCurtain},
      {},
      {nullptr, UpdateStage5LaserHou2},
      {UpdateZakoSpawner, GateStage6SingleSpawner},
      {}}},
    {0,
     19,
     {{nullptr, UpdateStage1SoraPlacer},
      {nullptr, UpdateStage2IwaSSpawner},
      {nullptr, UpdateStage3Shokushu},
      {},
      {nullptr, UpdateStage5Maru},
      {},
      {}}},
    {1,
     10,
     {{nullptr, UpdateStage1CrossGunner},
      {nullptr, UpdateStage2SpreadGunner},
      {nullptr, UpdateStage3Fireball},
      {nullptr, UpdateStage2SpreadGunner},
      {nullptr, UpdateStage1CrossGunner},
      {nullptr, UpdateStage6Press},
      {}}},
    {1,
     11,
     {{nullptr, UpdateStage1MortarWalker},
      {nullptr, UpdateStage2WingOpener},
      {nullptr, UpdateStage3SmallFireball},
      {nullptr, UpdateStage4Striker},
      {nullptr, UpdateStage4Striker},
      {nullptr, UpdateStage6BlockPairMount},
      {}}},
    {1,
     12,
     {{nullptr, UpdateStage1IwaL},
      {nullptr, UpdateStage2Iwa},
      {nullptr, UpdateStage3SmallRock},
      {nullptr, UpdateStage4HatchZako},
      {nullptr, UpdateStage5Shutter},
      {nullptr, UpdateStage6PistonMount},
      {}}},
    {1,
     13,
     {{nullptr, UpdateStage1IwaM},
      {nullptr, UpdateStage2IwaPiece},
      {nullptr, UpdateStage3SmallRock2},
      {nullptr, UpdateStage4Entry},
      {nullptr, UpdateStage5Rammer},
      {nullptr, UpdateStage6CornerTurretMount},
      {}}},
    {1,
     14,
     {{nullptr, UpdateStage1IwaS1},
      {nullptr, UpdateStage2IwaPiece},
      {nullptr, UpdateStage3SmallRock2},
      {nullptr, UpdateStage4PodRing},
      {nullptr, UpdateStage5ZakoLauncher},
      {nullptr, UpdateStage6Elevator},
      {}}},
    {1,
     15,
     {{nullptr, UpdateStage1CeilingIwaS1},
      {nullptr, UpdateStage2IwaPiece},
      {nullptr, UpdateStage3BouncingMine},
      {nullptr, UpdateStage4Piston},
      {nullptr, UpdateStage5LaunchedZako},
      {nullptr, UpdateStage6WarpGate},
      {}}},
    {1,
     16,
     {{nullptr, UpdateStage1CeilingIwaS2},
      {nullptr, UpdateStage2IwaPiece},
      {nullptr, UpdateStage3FloorWalker},
      {nullptr, UpdateStage4SlidingBlock},
      {nullptr, UpdateStage5Jet},
      {nullptr, UpdateStage6Fusha},
      {}}},
    {1,
     17,
     {{nullptr, UpdateStage1CeilingIwaS3},
      {nullptr, UpdateStage2IwaPiece},
      {nullptr, UpdateStage3CeilingWalker},
      {nullptr, UpdateStage4Dasher},
      {nullptr, UpdateStage5Ring},
      {nullptr, UpdateStage6Shutter},
      {}}},
    {1,
     18,
     {{nullptr, UpdateStage1BossWaypoint},
      {nullptr, UpdateStage2Ion},
      {nullptr, UpdateStage3SlidingRock},
      {nullptr, UpdateStage4Swooper},
      {nullptr, UpdateStage1BossWaypoint},
      {},
      {}}},
    {1,
     19,
     {{nullptr, UpdateStage1Kabe},
      {nullptr, UpdateStage2IwaKabe},
      {nullptr, UpdateStage3FallingFire},
      {},
      {nullptr, UpdateStage5AnimBlock},
      {},
      {}}},
    {3,
     0,
     {{nullptr, UpdateStage1DisabledBgObject},
      {},
      {},
      {},
      {nullptr, UpdateStage5LoopAnim},
      {nullptr, UpdateStage6ClubBackLegs},
      {}}},
    {3,
     1,
     {{nullptr, UpdateStage1Hougeki}, {}, {}, {}, {nullptr, UpdateStage5LauncherAnim}, {}, {}}},
    {3, 2, {{nullptr, UpdateStage1SkyBaku}, {}, {}, {}, {}, {}, {}}},
    {3, 3, {{nullptr, UpdateStage1Sora}, {}, {}, {}, {}, {}, {}}},
};

const EnemyPartHandler kPartGrid[kStagePartTypeCount][kStageCount] = {
    {UpdateStage1RoboAsiPart, UpdateStage2SpreadGunnerWingPart, nullptr,
     UpdateStage2SpreadGunnerWingPart, UpdateStage5FollowerPart, UpdateStage6PressPart,
     UpdateStage7VerniaPart},  // 2
    {UpdateStage1BeamEmitterPart, UpdateStage2WingOpenerWingPart, nullptr, UpdateStage4LauncherPart,
     UpdateStage5LaserHouPart, UpdateStage6BlockPairPart, nullptr},  // 3
    {nullptr, UpdateStage2MaruiPart, nullptr, UpdateStage4EntryCorePart, UpdateStage5RammerGunPart,
     UpdateStage6PistonPart, nullptr},  // 4
    {UpdateStage1MortarWalkerPart, UpdateStage2SikakuJetPart, nullptr, UpdateStage4EntryWallPart,
     UpdateStage5ZakoGunPart, UpdateStage6CornerTurretPart, nullptr},  // 5
    {UpdateStage1KabeCorePart, UpdateStage2SenkanHullPart, nullptr, UpdateStage4EntryGunPart,
     UpdateStage5MaruPart, UpdateStage6BlockPairCorePart, nullptr},  // 6
    {UpdateStage1KabePart, UpdateStage2SenkanUpperTurretPart, nullptr, UpdateStage4UpperTurretPart,
     UpdateStage5JetPart, UpdateStage6ElevatorPlatformPart, nullptr},  // 7
    {UpdateStage1JikiPart, UpdateStage2SenkanLowerTurretPart, nullptr, UpdateStage4LowerTurretPart,
     UpdateStage5ShutterPart, UpdateStage6ElevatorSidePart, nullptr},  // 8
    {UpdateStage1BokanHatchPart, UpdateStage2IwaKabePart, nullptr, UpdateStage4RingPodPart,
     UpdateStage5RingPart, UpdateStage6ElevatorGunPart, nullptr},  // 9
    {UpdateStage1BokanVerniaPart, UpdateStage2KabeCorePart, UpdateStage3ShokushuUpperPart,
     UpdateStage4PistonBasePart, UpdateStage5Boss1CannonPart, UpdateStage6WarpPart, nullptr},  // 10
    {UpdateStage1HougekiPart, nullptr, UpdateStage3ShokushuLowerPart, UpdateStage4PistonHeadPart,
     UpdateStage5Boss1SidePart, UpdateStage6FushaBladePart, nullptr},  // 11
    {UpdateStage1KabeHouPart, nullptr, UpdateStage3RockPart, UpdateStage4SlidingBlockPart,
     UpdateStage5Boss1GunPart, UpdateStage6RoboLegPart, nullptr},  // 12
    {nullptr, nullptr, UpdateStage3HouBasePart, UpdateStage4LaserWheelPart,
     UpdateStage5Boss1LauncherPart, UpdateStage6RoboHeadPart, nullptr},  // 13
    {nullptr, nullptr, UpdateStage3HouBarrelPart, nullptr, UpdateStage5Boss1ArmPart,
     UpdateStage6RoboHatchPart, nullptr},  // 14
    {nullptr, nullptr, UpdateStage3WalkerGunPart, nullptr, UpdateStage5Boss2ArmAPart,
     UpdateStage6ClubLegPart, nullptr},  // 15
    {nullptr, nullptr, UpdateStage3FloorWalkerLegPart, nullptr, UpdateStage5Boss2ArmBPart,
     UpdateStage6ClubCorePart, nullptr},  // 16
    {nullptr, nullptr, UpdateStage3CeilingWalkerLegPart, nullptr, UpdateStage5Boss2GunPart,
     UpdateStage6ClubBeamPart, nullptr},  // 17
    {nullptr, nullptr, UpdateStage3SnakeJointPart, nullptr, UpdateStage5Boss2WingPart,
     UpdateStage6ClubGunPart, nullptr},  // 18
    {nullptr, nullptr, UpdateStage3SnakeSegmentPart, nullptr, UpdateStage5Boss2TailPart,
     UpdateStage6ShutterPart, nullptr},  // 19
    {UpdateStage1BossCorePart, UpdateStage2BossCorePart, UpdateStage3BossCorePart,
     UpdateStage4BossCorePart, UpdateStage5BossCorePart, UpdateStage6BossHullPart, nullptr},  // 20
    {UpdateStage1BossArmPart, UpdateStage2BossArmPart, UpdateStage3BossSpinePart,
     UpdateStage4BossArmPart, UpdateStage5Boss3ArmPart, UpdateStage6BossCorePart, nullptr},  // 21
    {UpdateStage1BossLauncherPart, UpdateStage2BossFinPart, UpdateStage3BossUpperArmPart,
     UpdateStage4BossBodyPart, UpdateStage5Boss3CannonPart, UpdateStage6BossShellPart,
     nullptr},  // 22
    {UpdateStage1BossSliderPart, UpdateStage2BossSideGunPart, UpdateStage3BossLowerArmPart,
     UpdateStage4BossLaserPart, UpdateStage5Boss3LauncherPart, UpdateStage6BossJawPart,
     nullptr},  // 23
    {UpdateStage1BossGunPart, UpdateStage2BossTailGunPart, UpdateStage3BossClawPart,
     UpdateStage4BossCannonPart, UpdateStage5Boss4ArmPart, UpdateStage6OrbitGunPart,
     nullptr},  // 24
    {UpdateStage1JetFlamePart, UpdateStage2SenkanBeamPart, UpdateStage3BossLowerClawPart,
     UpdateStage4ExhaustPart, UpdateStage5Boss4PodPart, UpdateStage6RedPart, nullptr},  // 25
    {UpdateStage1BossThrusterPart, UpdateStage2Senkan2BeamPart, UpdateStage3BossShieldPart,
     UpdateStage4ChubosuCorePart, UpdateStage5Boss4BeamPart, UpdateStage6BluePart, nullptr},  // 26
    {UpdateStage1ShurikenPart, nullptr, UpdateStage3BossFlamePart, UpdateStage4ChubosuBodyPart,
     UpdateStage5Boss5PlatePart, UpdateStage6PortalPart, nullptr},  // 27
    {UpdateStage1BossWingPart, nullptr, UpdateStage3RingGunPart, UpdateStage4ChubosuGunPart,
     UpdateStage5Boss5ClawPart, UpdateStage6BossGunPart, nullptr},  // 28
    {nullptr, nullptr, nullptr, UpdateStage4ChubosuTurretPart, UpdateStage5Boss5BarPart,
     UpdateStage6BossTentaclePart, nullptr},  // 29
    {nullptr, nullptr, nullptr, UpdateStage4ChubosuAnimPart, UpdateStage5Boss5GunPart,
     UpdateStage6ClubBackLegPart, nullptr},  // 30
    {nullptr, nullptr, nullptr, nullptr, UpdateStage5Boss5RailPart, UpdateStage6BossAnimPart,
     nullptr},  // 31
};

StageObjectCell* GridRow(int pool, int type) {
  if (pool == 0) return EnemyPool0StageCells[type - kFirstStageObjectType];
  if (pool == 1) return EnemyPool1StageCells[type - kFirstStageObjectType];
  return EnemyPool3StageCells[type];
}

EnemyObjectHandler* Table(int pool) {
  EnemyObjectHandler* tables[4] = {EnemyPool0Handlers, EnemyPool1Handlers, EnemyPool2Handlers,
                                   EnemyPool3Handlers};
  return tables[pool];
}

TEST(HandlerTablesTest, TheFixedEntries) {
  const EnemyObjectHandler pool0[kPool0TypeCount] = {
      UpdateFloorTurret,   UpdateCeilingTurret,   UpdateFloorHatch,    UpdateCeilingHatch,
      UpdateHatchZako,     UpdateHatchZakoMirror, UpdateZakoSpawner,   UpdateZakoPairSpawner,
      UpdateItemBox,       UpdateItemCarrier,     DispatchPool0Type10, DispatchPool0Type11,
      DispatchPool0Type12, DispatchPool0Type13,   DispatchPool0Type14, DispatchPool0Type15,
      DispatchPool0Type16, DispatchPool0Type17,   DispatchPool0Type18, DispatchPool0Type19};
  const EnemyObjectHandler pool1[kPool1TypeCount] = {
      UpdateGunWalker,         UpdateCeilingGunWalker,
      UpdateGunWalkerBackward, UpdateCeilingGunWalkerBackward,
      UpdateSwerveFlier,       UpdateSlowGunner,
      UpdateEscortGunner,      UpdateDashFlier,
      UpdateAmbushFlier,       UpdateSmallFlier,
      DispatchPool1Type10,     DispatchPool1Type11,
      DispatchPool1Type12,     DispatchPool1Type13,
      DispatchPool1Type14,     DispatchPool1Type15,
      DispatchPool1Type16,     DispatchPool1Type17,
      DispatchPool1Type18,     DispatchPool1Type19};
  const EnemyObjectHandler nothing = UpdateNothing;
  const EnemyObjectHandler pool2[kPool2TypeCount] = {UpdateHomingMissile,  nothing,
                                                     UpdateShootableShell, UpdateLobbedShell,
                                                     UpdateFiringShell,    UpdateRingBurstMine,
                                                     UpdateLargeMissile,   UpdateFiringShellB};
  const EnemyPartHandler parts[kPartTypeCount] = {
      UpdateRotorPart,    UpdateCommonPart,   DispatchPartType2,  DispatchPartType3,
      DispatchPartType4,  DispatchPartType5,  DispatchPartType6,  DispatchPartType7,
      DispatchPartType8,  DispatchPartType9,  DispatchPartType10, DispatchPartType11,
      DispatchPartType12, DispatchPartType13, DispatchPartType14, DispatchPartType15,
      DispatchPartType16, DispatchPartType17, DispatchPartType18, DispatchPartType19,
      DispatchPartType20, DispatchPartType21, DispatchPartType22, DispatchPartType23,
      DispatchPartType24, DispatchPartType25, DispatchPartType26, DispatchPartType27,
      DispatchPartType28, DispatchPartType29, DispatchPartType30, DispatchPartType31};
  for (int t = 0; t < kPool0TypeCount; ++t) EXPECT_EQ(EnemyPool0Handlers[t], pool0[t]) << t;
  for (int t = 0; t < kPool1TypeCount; ++t) EXPECT_EQ(EnemyPool1Handlers[t], pool1[t]) << t;
  for (int t = 0; t < kPool2TypeCount; ++t) EXPECT_EQ(EnemyPool2Handlers[t], pool2[t]) << t;
  const EnemyObjectHandler pool3Dispatch[4] = {DispatchPool3Type0, DispatchPool3Type1,
                                               DispatchPool3Type2, DispatchPool3Type3};
  for (int t = 0; t < kPool3TypeCount; ++t) {
    EXPECT_EQ(EnemyPool3Handlers[t], t < 4 ? pool3Dispatch[t] : nothing) << t;
  }
  for (int t = 0; t < kPartTypeCount; ++t) EXPECT_EQ(EnemyPartHandlers[t], parts[t]) << t;
}

TEST(HandlerTablesTest, EveryGridCellNamesItsStagesBehaviour) {
  ASSERT_EQ(std::size(kObjectGrid), 2u * kStageObjectTypeCount + kStagePool3TypeCount);
  for (const ObjectRow& row : kObjectGrid) {
    for (int s = 0; s < kStageCount; ++s) {
      SCOPED_TRACE(testing::Message()
                   << "pool " << row.pool << " type " << row.type << " stage " << s + 1);
      EXPECT_EQ(GridRow(row.pool, row.type)[s].spawner, row.cells[s].spawner);
      EXPECT_EQ(GridRow(row.pool, row.type)[s].step, row.cells[s].step);
    }
  }
  for (int t = 0; t < kStagePartTypeCount; ++t) {
    for (int s = 0; s < kStageCount; ++s) {
      EXPECT_EQ(EnemyPartStageCells[t][s], kPartGrid[t][s])
          << "part type " << t + kFirstStagePartType << " stage " << s + 1;
    }
  }
}

// Recorders that say which grid cell ran: (stage, 0 spawner or 1 step, slot).
std::vector<std::vector<int>> cellCalls;

template <int Stage>
void RecordSpawner(int16_t slot) {
  cellCalls.push_back({Stage, 0, slot});
}
template <int Stage>
void RecordStep(int16_t slot) {
  cellCalls.push_back({Stage, 1, slot});
}
template <int Stage>
void RecordPartCell(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t j) {
  const bool args = pool == EnemyPool1 && parts == EnemyPool1[slot].partsB && j == 9;
  cellCalls.push_back({Stage, args ? 1 : -1, slot});
}

template <int... S>
constexpr auto Recorders(std::integer_sequence<int, S...>) {
  struct {
    EnemyObjectHandler spawner[kStageCount], step[kStageCount];
    EnemyPartHandler part[kStageCount];
  } r{{RecordSpawner<S + 1>...}, {RecordStep<S + 1>...}, {RecordPartCell<S + 1>...}};
  return r;
}
constexpr auto kRecorders = Recorders(std::make_integer_sequence<int, kStageCount>{});

TEST(HandlerTablesTest, EachDispatcherRunsItsCellOnEachStageAndEmptyCellsFreeTheObject) {
  ResetGameState();
  for (const ObjectRow& row : kObjectGrid) {
    StageObjectCell* cells = GridRow(row.pool, row.type);
    StageObjectCell saved[kStageCount];
    std::copy(cells, cells + kStageCount, saved);
    for (int s = 0; s < kStageCount; ++s) {
      if (cells[s].spawner != nullptr) cells[s].spawner = kRecorders.spawner[s];
      if (cells[s].step != nullptr) cells[s].step = kRecorders.step[s];
    }
    for (int stage = 1; stage <= kStageCount; ++stage) {
      SCOPED_TRACE(testing::Message()
                   << "pool " << row.pool << " type " << row.type << " stage " << stage);
      CurrentStage = static_cast<int16_t>(stage);
      EnemyObject& o = PoolArray(row.pool)[6];
      o.state = 1;
      cellCalls.clear();
      Table(row.pool)[row.type](6);
      const StageObjectCell& named = row.cells[stage - 1];
      std::vector<std::vector<int>> expected;
      if (named.spawner != nullptr) expected.push_back({stage, 0, 6});
      if (named.step != nullptr) expected.push_back({stage, 1, 6});
      EXPECT_EQ(cellCalls, expected);
      EXPECT_EQ(o.state, expected.empty() ? 0 : 1);
    }
    std::copy(saved, saved + kStageCount, cells);
  }
  ResetGameState();
}

TEST(HandlerTablesTest, EachPartDispatcherPassesItsArgumentsToItsCell) {
  ResetGameState();
  for (int t = 0; t < kStagePartTypeCount; ++t) {
    EnemyPartHandler saved[kStageCount];
    std::copy(EnemyPartStageCells[t], EnemyPartStageCells[t] + kStageCount, saved);
    for (int s = 0; s < kStageCount; ++s) {
      if (EnemyPartStageCells[t][s] != nullptr) EnemyPartStageCells[t][s] = kRecorders.part[s];
    }
    for (int stage = 1; stage <= kStageCount; ++stage) {
      SCOPED_TRACE(testing::Message()
                   << "part type " << t + kFirstStagePartType << " stage " << stage);
      CurrentStage = static_cast<int16_t>(stage);
      EnemyPool1[3].state = 2;
      cellCalls.clear();
      EnemyPartHandlers[t + kFirstStagePartType](EnemyPool1, 3, EnemyPool1[3].partsB, 9);
      std::vector<std::vector<int>> expected;
      if (kPartGrid[t][stage - 1] != nullptr) expected.push_back({stage, 1, 3});
      EXPECT_EQ(cellCalls, expected);
      EXPECT_EQ(EnemyPool1[3].state, 2);
    }
    std::copy(saved, saved + kStageCount, EnemyPartStageCells[t]);
  }
  ResetGameState();
}

TEST(HandlerTablesTest, OutsideTheSevenStagesNoStageBehaviourRuns) {
  ResetGameState();
  for (int16_t stage : {int16_t{0}, int16_t{8}}) {
    CurrentStage = stage;
    EnemyPool0[1].state = 1;
    DispatchPool0Type10(1);
    EXPECT_EQ(EnemyPool0[1].state, 0);
    EnemyPool3[1].state = 1;
    DispatchPool3Type0(1);
    EXPECT_EQ(EnemyPool3[1].state, 0);
  }
  ResetGameState();
}

}  // namespace
