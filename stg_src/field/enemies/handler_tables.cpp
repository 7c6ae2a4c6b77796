#include "stg_src/field/enemies/handler_tables.h"

#include "stg_src/field/enemies/common_enemies.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/stage_state.h"

#include "stg_src/game/deterministic.h"

void UpdateNothing(int16_t) {}

void UpdateNothing(EnemyObject*, uint16_t, EnemyPart*, int16_t) {}

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
  const StageObjectCell cell = IsStageInRange() ? column[CurrentStage - 1] : StageObjectCell{};
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
