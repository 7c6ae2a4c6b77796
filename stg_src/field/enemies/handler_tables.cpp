#include "stg_src/field/enemies/handler_tables.h"

#include "stg_src/field/enemies/common_enemies.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage2/stage2.h"
#include "stg_src/stages/stage3/stage3.h"
#include "stg_src/stages/stage4/stage4.h"
#include "stg_src/stages/stage5/stage5.h"
#include "stg_src/stages/stage6/stage6.h"
#include "stg_src/stages/stage7/stage7.h"

#include "stg_src/deterministic.h"

void UpdateNothing(int16_t) {}

void UpdateNothing(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}

namespace {

constexpr StageObjectCell Step(EnemyObjectHandler step) { return {nullptr, step}; }
constexpr StageObjectCell kNone{};

}  // namespace

StageObjectCell EnemyPool0StageCells[kStageObjectTypeCount][kStageCount] = {
    {Step(UpdateStage1Boss), Step(UpdateStage2Boss), Step(UpdateStage3Boss), Step(UpdateStage4Boss),
     Step(UpdateStage5Boss1), Step(UpdateStage6Boss), Step(UpdateStage7Fire)},  // type 10
    {Step(UpdateStage1Robo), Step(UpdateStage2Marui), Step(UpdateStage3FlameVent),
     Step(UpdateStage4Chubosu), Step(UpdateStage5Boss2), Step(UpdateStage6Robo),
     Step(UpdateStage7Bokan)},  // type 11
    {Step(UpdateStage1HatchRiser), Step(UpdateStage2Sikaku), Step(UpdateStage3RockSpout),
     Step(UpdateStage4Gunboat), Step(UpdateStage5Boss3), Step(UpdateStage6Club),
     Step(UpdateStage7Bokan2)},  // type 12
    {Step(UpdateStage1Hatch), Step(UpdateStage2Senkan), Step(UpdateStage3Snake),
     Step(UpdateStage4LauncherShip), Step(UpdateStage5Boss4), Step(UpdateStage6Entry),
     kNone},  // type 13
    {Step(UpdateStage1Bokan), Step(UpdateStage2Senkan2), Step(UpdateStage3FireballVolley),
     Step(UpdateStage4LaserWheel), Step(UpdateStage5Boss5), Step(UpdateStage6OrbitCarrier),
     kNone},  // type 14
    {Step(UpdateStage1BeamCannonHigh), Step(UpdateStage2Houdai),
     Step(UpdateStage3SmallFireballVolley), Step(UpdateStage4TurretMount),
     Step(UpdateStage5HatchZako), Step(UpdateStage6FloorGunner), kNone},  // type 15
    {Step(UpdateStage1BeamCannonLow),
     Step(UpdateStage2HoudaiReverse),
     {UpdateZakoPairSpawner, UpdateStage3SnakePlaceholder},
     Step(UpdateStage4FireWall),
     Step(UpdateStage5HatchZakoReverse),
     Step(UpdateStage6CeilingGunner),
     kNone},  // type 16
    {Step(UpdateStage1BgObjectPlacer),
     Step(UpdateStage2IwaLSpawner),
     {UpdateZakoSpawner, UpdateStage3SnakePlaceholder2},
     kNone,
     Step(UpdateStage5LaserHou),
     {UpdateZakoPairSpawner, GateStage6PairSpawner},
     kNone},  // type 17
    {Step(UpdateStage1SkyBakuPlacer),
     Step(UpdateStage2IwaMSpawner),
     Step(UpdateStage3FireCurtain),
     kNone,
     Step(UpdateStage5LaserHou2),
     {UpdateZakoSpawner, GateStage6SingleSpawner},
     kNone},  // type 18
    {Step(UpdateStage1SoraPlacer), Step(UpdateStage2IwaSSpawner), Step(UpdateStage3Shokushu), kNone,
     Step(UpdateStage5Maru), kNone, kNone},  // type 19
};

StageObjectCell EnemyPool1StageCells[kStageObjectTypeCount][kStageCount] = {
    {Step(UpdateStage1CrossGunner), Step(UpdateStage2SpreadGunner), Step(UpdateStage3Fireball),
     Step(UpdateStage2SpreadGunner), Step(UpdateStage1CrossGunner), Step(UpdateStage6Press),
     kNone},  // type 10
    {Step(UpdateStage1MortarWalker), Step(UpdateStage2WingOpener), Step(UpdateStage3SmallFireball),
     Step(UpdateStage4Striker), Step(UpdateStage4Striker), Step(UpdateStage6TwinGunMount),
     kNone},  // type 11
    {Step(UpdateStage1IwaL), Step(UpdateStage2Iwa), Step(UpdateStage3SmallRock),
     Step(UpdateStage4HatchZako), Step(UpdateStage5Shutter), Step(UpdateStage6PistonMount),
     kNone},  // type 12
    {Step(UpdateStage1IwaM), Step(UpdateStage2IwaPiece), Step(UpdateStage3SmallRock2),
     Step(UpdateStage4Entry), Step(UpdateStage5Rammer), Step(UpdateStage6CornerTurretMount),
     kNone},  // type 13
    {Step(UpdateStage1IwaS1), Step(UpdateStage2IwaPiece), Step(UpdateStage3SmallRock2),
     Step(UpdateStage4PodRing), Step(UpdateStage5ZakoLauncher), Step(UpdateStage6Elevator),
     kNone},  // type 14
    {Step(UpdateStage1CeilingIwaS1), Step(UpdateStage2IwaPiece), Step(UpdateStage3BouncingMine),
     Step(UpdateStage4Piston), Step(UpdateStage5LaunchedZako), Step(UpdateStage6WarpGate),
     kNone},  // type 15
    {Step(UpdateStage1CeilingIwaS2), Step(UpdateStage2IwaPiece), Step(UpdateStage3FloorWalker),
     Step(UpdateStage4SlidingBlock), Step(UpdateStage5Jet), Step(UpdateStage6Fusha),
     kNone},  // type 16
    {Step(UpdateStage1CeilingIwaS3), Step(UpdateStage2IwaPiece), Step(UpdateStage3CeilingWalker),
     Step(UpdateStage4Dasher), Step(UpdateStage5Ring), Step(UpdateStage6Shutter),
     kNone},  // type 17
    {Step(UpdateStage1BossWaypoint), Step(UpdateStage2Ion), Step(UpdateStage3SlidingRock),
     Step(UpdateStage4Swooper), Step(UpdateStage1BossWaypoint), kNone, kNone},  // type 18
    {Step(UpdateStage1Kabe), Step(UpdateStage2IwaKabe), Step(UpdateStage3FallingFire), kNone,
     Step(UpdateStage5AnimBlock), kNone, kNone},  // type 19
};

StageObjectCell EnemyPool3StageCells[kStagePool3TypeCount][kStageCount] = {
    {Step(UpdateStage1DisabledBgObject), kNone, kNone, kNone, Step(UpdateStage5LoopAnim),
     Step(UpdateStage6ClubBackLegs), kNone},  // type 0
    {Step(UpdateStage1Hougeki), kNone, kNone, kNone, Step(UpdateStage5LauncherAnim), kNone,
     kNone},                                                                // type 1
    {Step(UpdateStage1SkyBaku), kNone, kNone, kNone, kNone, kNone, kNone},  // type 2
    {Step(UpdateStage1Sora), kNone, kNone, kNone, kNone, kNone, kNone},     // type 3
};

EnemyPartHandler EnemyPartStageCells[kStagePartTypeCount][kStageCount] = {
    {UpdateStage1RoboAsiPart, UpdateStage2SpreadGunnerWingPart, nullptr,
     UpdateStage2SpreadGunnerWingPart, UpdateStage5FollowerPart, UpdateStage6PressPart,
     UpdateStage7VerniaPart},  // type 2
    {UpdateStage1BeamEmitterPart, UpdateStage2WingOpenerWingPart, nullptr, UpdateStage4LauncherPart,
     UpdateStage5LaserHouPart, UpdateStage6TwinGunPart, nullptr},  // type 3
    {nullptr, UpdateStage2MaruiPart, nullptr, UpdateStage4EntryCorePart, UpdateStage5RammerGunPart,
     UpdateStage6PistonPart, nullptr},  // type 4
    {UpdateStage1MortarWalkerPart, UpdateStage2SikakuJetPart, nullptr, UpdateStage4EntryWallPart,
     UpdateStage5ZakoGunPart, UpdateStage6CornerTurretPart, nullptr},  // type 5
    {UpdateStage1KabeCorePart, UpdateStage2SenkanHullPart, nullptr, UpdateStage4EntryGunPart,
     UpdateStage5MaruPart, UpdateStage6CorePart, nullptr},  // type 6
    {UpdateStage1KabePart, UpdateStage2SenkanUpperTurretPart, nullptr, UpdateStage4UpperTurretPart,
     UpdateStage5JetPart, UpdateStage6ElevatorPlatformPart, nullptr},  // type 7
    {UpdateStage1JikiPart, UpdateStage2SenkanLowerTurretPart, nullptr, UpdateStage4LowerTurretPart,
     UpdateStage5ShutterPart, UpdateStage6ElevatorSidePart, nullptr},  // type 8
    {UpdateStage1BokanHatchPart, UpdateStage2IwaKabePart, nullptr, UpdateStage4RingPodPart,
     UpdateStage5RingPart, UpdateStage6ElevatorGunPart, nullptr},  // type 9
    {UpdateStage1BokanVerniaPart, UpdateStage2KabeCorePart, UpdateStage3ShokushuUpperPart,
     UpdateStage4PistonBasePart, UpdateStage5Boss1CannonPart, UpdateStage6WarpPart,
     nullptr},  // type 10
    {UpdateStage1HougekiPart, nullptr, UpdateStage3ShokushuLowerPart, UpdateStage4PistonHeadPart,
     UpdateStage5Boss1SidePart, UpdateStage6FushaBladePart, nullptr},  // type 11
    {UpdateStage1KabeHouPart, nullptr, UpdateStage3RockPart, UpdateStage4SlidingBlockPart,
     UpdateStage5Boss1GunPart, UpdateStage6RoboLegPart, nullptr},  // type 12
    {nullptr, nullptr, UpdateStage3HouBasePart, UpdateStage4LaserWheelPart,
     UpdateStage5Boss1LauncherPart, UpdateStage6RoboHeadPart, nullptr},  // type 13
    {nullptr, nullptr, UpdateStage3HouBarrelPart, nullptr, UpdateStage5Boss1ArmPart,
     UpdateStage6RoboHatchPart, nullptr},  // type 14
    {nullptr, nullptr, UpdateStage3WalkerGunPart, nullptr, UpdateStage5Boss2ArmAPart,
     UpdateStage6ClubLegPart, nullptr},  // type 15
    {nullptr, nullptr, UpdateStage3FloorWalkerLegPart, nullptr, UpdateStage5Boss2ArmBPart,
     UpdateStage6ClubCorePart, nullptr},  // type 16
    {nullptr, nullptr, UpdateStage3CeilingWalkerLegPart, nullptr, UpdateStage5Boss2GunPart,
     UpdateStage6ClubBeamPart, nullptr},  // type 17
    {nullptr, nullptr, UpdateStage3SnakeJointPart, nullptr, UpdateStage5Boss2WingPart,
     UpdateStage6ClubGunPart, nullptr},  // type 18
    {nullptr, nullptr, UpdateStage3SnakeSegmentPart, nullptr, UpdateStage5Boss2TailPart,
     UpdateStage6ShutterPart, nullptr},  // type 19
    {UpdateStage1BossCorePart, UpdateStage2BossCorePart, UpdateStage3BossCorePart,
     UpdateStage4BossCorePart, UpdateStage5BossCorePart, UpdateStage6BossHullPart,
     nullptr},  // type 20
    {UpdateStage1BossArmPart, UpdateStage2BossArmPart, UpdateStage3BossSpinePart,
     UpdateStage4BossArmPart, UpdateStage5Boss3ArmPart, UpdateStage6BossCorePart,
     nullptr},  // type 21
    {UpdateStage1BossLauncherPart, UpdateStage2BossFinPart, UpdateStage3BossUpperArmPart,
     UpdateStage4BossBodyPart, UpdateStage5Boss3CannonPart, UpdateStage6BossShellPart,
     nullptr},  // type 22
    {UpdateStage1BossSliderPart, UpdateStage2BossSideGunPart, UpdateStage3BossLowerArmPart,
     UpdateStage4BossLaserPart, UpdateStage5Boss3LauncherPart, UpdateStage6BossJawPart,
     nullptr},  // type 23
    {UpdateStage1BossGunPart, UpdateStage2BossTailGunPart, UpdateStage3BossClawPart,
     UpdateStage4BossCannonPart, UpdateStage5Boss4ArmPart, UpdateStage6OrbitGunPart,
     nullptr},  // type 24
    {UpdateStage1JetFlamePart, UpdateStage2SenkanBeamPart, UpdateStage3BossLowerClawPart,
     UpdateStage4ExhaustPart, UpdateStage5Boss4PodPart, UpdateStage6RedPart, nullptr},  // type 25
    {UpdateStage1BossThrusterPart, UpdateStage2Senkan2BeamPart, UpdateStage3BossShieldPart,
     UpdateStage4ChubosuCorePart, UpdateStage5Boss4BeamPart, UpdateStage6BluePart,
     nullptr},  // type 26
    {UpdateStage1ShurikenPart, nullptr, UpdateStage3BossFlamePart, UpdateStage4ChubosuBodyPart,
     UpdateStage5Boss5PlatePart, UpdateStage6PortalPart, nullptr},  // type 27
    {UpdateStage1BossWingPart, nullptr, UpdateStage3RingGunPart, UpdateStage4ChubosuGunPart,
     UpdateStage5Boss5ClawPart, UpdateStage6BossGunPart, nullptr},  // type 28
    {nullptr, nullptr, nullptr, UpdateStage4ChubosuTurretPart, UpdateStage5Boss5BarPart,
     UpdateStage6BossTentaclePart, nullptr},  // type 29
    {nullptr, nullptr, nullptr, UpdateStage4ChubosuAnimPart, UpdateStage5Boss5GunPart,
     UpdateStage6ClubBackLegPart, nullptr},  // type 30
    {nullptr, nullptr, nullptr, nullptr, UpdateStage5Boss5RailPart, UpdateStage6BossAnimPart,
     nullptr},  // type 31
};

EnemyObjectHandler EnemyPool0Handlers[kPool0TypeCount] = {
    UpdateFloorTurret,   UpdateCeilingTurret,   UpdateFloorHatch,    UpdateCeilingHatch,
    UpdateHatchZako,     UpdateHatchZakoMirror, UpdateZakoSpawner,   UpdateZakoPairSpawner,
    UpdateItemBox,       UpdateItemCarrier,     DispatchPool0Type10, DispatchPool0Type11,
    DispatchPool0Type12, DispatchPool0Type13,   DispatchPool0Type14, DispatchPool0Type15,
    DispatchPool0Type16, DispatchPool0Type17,   DispatchPool0Type18, DispatchPool0Type19,
};

EnemyObjectHandler EnemyPool1Handlers[kPool1TypeCount] = {
    UpdateGunWalker,         UpdateCeilingGunWalker,
    UpdateGunWalkerBackward, UpdateCeilingGunWalkerBackward,
    UpdateSwerveFlier,       UpdateSlowGunner,
    UpdateEscortGunner,      UpdateDashFlier,
    UpdateAmbushFlier,       UpdateSmallFlier,
    DispatchPool1Type10,     DispatchPool1Type11,
    DispatchPool1Type12,     DispatchPool1Type13,
    DispatchPool1Type14,     DispatchPool1Type15,
    DispatchPool1Type16,     DispatchPool1Type17,
    DispatchPool1Type18,     DispatchPool1Type19,
};

EnemyObjectHandler EnemyPool2Handlers[kPool2TypeCount] = {
    UpdateHomingMissile, UpdateNothing,       UpdateShootableShell, UpdateLobbedShell,
    UpdateFiringShell,   UpdateRingBurstMine, UpdateLargeMissile,   UpdateFiringShellB,
};

EnemyObjectHandler EnemyPool3Handlers[kPool3TypeCount] = {
    DispatchPool3Type0, DispatchPool3Type1, DispatchPool3Type2, DispatchPool3Type3,
    UpdateNothing,      UpdateNothing,      UpdateNothing,      UpdateNothing,
    UpdateNothing,      UpdateNothing,      UpdateNothing,      UpdateNothing,
    UpdateNothing,      UpdateNothing,      UpdateNothing,      UpdateNothing,
};

EnemyPartHandler EnemyPartHandlers[kPartTypeCount] = {
    UpdateRotorPart,    UpdateCommonPart,   DispatchPartType2,  DispatchPartType3,
    DispatchPartType4,  DispatchPartType5,  DispatchPartType6,  DispatchPartType7,
    DispatchPartType8,  DispatchPartType9,  DispatchPartType10, DispatchPartType11,
    DispatchPartType12, DispatchPartType13, DispatchPartType14, DispatchPartType15,
    DispatchPartType16, DispatchPartType17, DispatchPartType18, DispatchPartType19,
    DispatchPartType20, DispatchPartType21, DispatchPartType22, DispatchPartType23,
    DispatchPartType24, DispatchPartType25, DispatchPartType26, DispatchPartType27,
    DispatchPartType28, DispatchPartType29, DispatchPartType30, DispatchPartType31,
};

namespace {

bool IsStageInRange() { return CurrentStage >= 1 && CurrentStage <= kStageCount; }

// A type with no behaviour on this stage would sit in its spawn state for ever, holding the
// slot: it is freed instead.
void RunStageCell(const StageObjectCell (&column)[kStageCount], EnemyObject* pool, int16_t slot) {
  const StageObjectCell cell = IsStageInRange() ? column[CurrentStage - 1] : kNone;
  if (cell.spawner == nullptr && cell.step == nullptr) {
    pool[slot].state = 0;
    return;
  }
  if (cell.spawner != nullptr) cell.spawner(slot);
  if (cell.step != nullptr) cell.step(slot);
}

void RunStagePartCell(int partType, EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                      int16_t partIndex) {
  if (!IsStageInRange()) return;
  const EnemyPartHandler handler =
      EnemyPartStageCells[partType - kFirstStagePartType][CurrentStage - 1];
  if (handler != nullptr) handler(pool, slot, parts, partIndex);
}

}  // namespace

void DispatchPool0Type10(int16_t slot) { RunStageCell(EnemyPool0StageCells[0], EnemyPool0, slot); }
void DispatchPool0Type11(int16_t slot) { RunStageCell(EnemyPool0StageCells[1], EnemyPool0, slot); }
void DispatchPool0Type12(int16_t slot) { RunStageCell(EnemyPool0StageCells[2], EnemyPool0, slot); }
void DispatchPool0Type13(int16_t slot) { RunStageCell(EnemyPool0StageCells[3], EnemyPool0, slot); }
void DispatchPool0Type14(int16_t slot) { RunStageCell(EnemyPool0StageCells[4], EnemyPool0, slot); }
void DispatchPool0Type15(int16_t slot) { RunStageCell(EnemyPool0StageCells[5], EnemyPool0, slot); }
void DispatchPool0Type16(int16_t slot) { RunStageCell(EnemyPool0StageCells[6], EnemyPool0, slot); }
void DispatchPool0Type17(int16_t slot) { RunStageCell(EnemyPool0StageCells[7], EnemyPool0, slot); }
void DispatchPool0Type18(int16_t slot) { RunStageCell(EnemyPool0StageCells[8], EnemyPool0, slot); }
void DispatchPool0Type19(int16_t slot) { RunStageCell(EnemyPool0StageCells[9], EnemyPool0, slot); }

void DispatchPool1Type10(int16_t slot) { RunStageCell(EnemyPool1StageCells[0], EnemyPool1, slot); }
void DispatchPool1Type11(int16_t slot) { RunStageCell(EnemyPool1StageCells[1], EnemyPool1, slot); }
void DispatchPool1Type12(int16_t slot) { RunStageCell(EnemyPool1StageCells[2], EnemyPool1, slot); }
void DispatchPool1Type13(int16_t slot) { RunStageCell(EnemyPool1StageCells[3], EnemyPool1, slot); }
void DispatchPool1Type14(int16_t slot) { RunStageCell(EnemyPool1StageCells[4], EnemyPool1, slot); }
void DispatchPool1Type15(int16_t slot) { RunStageCell(EnemyPool1StageCells[5], EnemyPool1, slot); }
void DispatchPool1Type16(int16_t slot) { RunStageCell(EnemyPool1StageCells[6], EnemyPool1, slot); }
void DispatchPool1Type17(int16_t slot) { RunStageCell(EnemyPool1StageCells[7], EnemyPool1, slot); }
void DispatchPool1Type18(int16_t slot) { RunStageCell(EnemyPool1StageCells[8], EnemyPool1, slot); }
void DispatchPool1Type19(int16_t slot) { RunStageCell(EnemyPool1StageCells[9], EnemyPool1, slot); }

void DispatchPool3Type0(int16_t slot) { RunStageCell(EnemyPool3StageCells[0], EnemyPool3, slot); }
void DispatchPool3Type1(int16_t slot) { RunStageCell(EnemyPool3StageCells[1], EnemyPool3, slot); }
void DispatchPool3Type2(int16_t slot) { RunStageCell(EnemyPool3StageCells[2], EnemyPool3, slot); }
void DispatchPool3Type3(int16_t slot) { RunStageCell(EnemyPool3StageCells[3], EnemyPool3, slot); }

void DispatchPartType2(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(2, pool, slot, parts, partIndex);
}

void DispatchPartType3(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(3, pool, slot, parts, partIndex);
}

void DispatchPartType4(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(4, pool, slot, parts, partIndex);
}

void DispatchPartType5(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(5, pool, slot, parts, partIndex);
}

void DispatchPartType6(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(6, pool, slot, parts, partIndex);
}

void DispatchPartType7(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(7, pool, slot, parts, partIndex);
}

void DispatchPartType8(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(8, pool, slot, parts, partIndex);
}

void DispatchPartType9(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(9, pool, slot, parts, partIndex);
}

void DispatchPartType10(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(10, pool, slot, parts, partIndex);
}

void DispatchPartType11(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(11, pool, slot, parts, partIndex);
}

void DispatchPartType12(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(12, pool, slot, parts, partIndex);
}

void DispatchPartType13(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(13, pool, slot, parts, partIndex);
}

void DispatchPartType14(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(14, pool, slot, parts, partIndex);
}

void DispatchPartType15(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(15, pool, slot, parts, partIndex);
}

void DispatchPartType16(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(16, pool, slot, parts, partIndex);
}

void DispatchPartType17(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(17, pool, slot, parts, partIndex);
}

void DispatchPartType18(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(18, pool, slot, parts, partIndex);
}

void DispatchPartType19(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(19, pool, slot, parts, partIndex);
}

void DispatchPartType20(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(20, pool, slot, parts, partIndex);
}

void DispatchPartType21(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(21, pool, slot, parts, partIndex);
}

void DispatchPartType22(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(22, pool, slot, parts, partIndex);
}

void DispatchPartType23(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(23, pool, slot, parts, partIndex);
}

void DispatchPartType24(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(24, pool, slot, parts, partIndex);
}

void DispatchPartType25(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(25, pool, slot, parts, partIndex);
}

void DispatchPartType26(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(26, pool, slot, parts, partIndex);
}

void DispatchPartType27(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(27, pool, slot, parts, partIndex);
}

void DispatchPartType28(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(28, pool, slot, parts, partIndex);
}

void DispatchPartType29(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(29, pool, slot, parts, partIndex);
}

void DispatchPartType30(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(30, pool, slot, parts, partIndex);
}

void DispatchPartType31(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex) {
  RunStagePartCell(31, pool, slot, parts, partIndex);
}
