// The behaviour tables of the enemy pools and the parts, indexed by type, and the stage grids
// (type x stage) that the dispatchers of the stage-specific types read on CurrentStage. All are
// plain arrays filled at build time; the pool pass is their only caller.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// An object behaviour works on the object at slot of the pool whose table reached it.
using EnemyObjectHandler = void (*)(int16_t slot);
// A part behaviour: the owner's pool and slot, the part array (partsA or partsB) and the index.
using EnemyPartHandler = void (*)(EnemyObject* pool, uint16_t slot, EnemyPart* parts,
                                  int16_t partIndex);

constexpr int kPool0TypeCount = 20;
constexpr int kPool1TypeCount = 20;
constexpr int kPool2TypeCount = 8;
constexpr int kPool3TypeCount = 16;
constexpr int kPartTypeCount = 32;

extern EnemyObjectHandler EnemyPool0Handlers[kPool0TypeCount];
extern EnemyObjectHandler EnemyPool1Handlers[kPool1TypeCount];
extern EnemyObjectHandler EnemyPool2Handlers[kPool2TypeCount];
extern EnemyObjectHandler EnemyPool3Handlers[kPool3TypeCount];
extern EnemyPartHandler EnemyPartHandlers[kPartTypeCount];

// The shared empty behaviour of types that have none.
void UpdateNothing(int16_t slot);
void UpdateNothing(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// --- stage grids -----------------------------------------------------------------------------
constexpr int kStageCount = 7;
constexpr int kFirstStageObjectType = 10;  // pools 0 and 1: types 10..19 are the stage's
constexpr int kStageObjectTypeCount = 10;
constexpr int kStagePool3TypeCount = 4;  // pool 3: types 0..3
constexpr int kFirstStagePartType = 2;   // parts: types 2..31
constexpr int kStagePartTypeCount = 30;

// One stage's behaviour for an object type: step, after spawner when a generic spawner runs
// first. Both empty: the type has no behaviour on that stage and its object is freed.
struct StageObjectCell {
  EnemyObjectHandler spawner;
  EnemyObjectHandler step;
};

// [type - first type][stage - 1], assembled from the stages' columns (stage_handlers.h).
extern StageObjectCell (&EnemyPool0StageCells)[kStageObjectTypeCount][kStageCount];
extern StageObjectCell (&EnemyPool1StageCells)[kStageObjectTypeCount][kStageCount];
extern StageObjectCell (&EnemyPool3StageCells)[kStagePool3TypeCount][kStageCount];
// Empty: the part does nothing on that stage.
extern EnemyPartHandler (&EnemyPartStageCells)[kStagePartTypeCount][kStageCount];

void DispatchPool0Type10(int16_t slot);
void DispatchPool0Type11(int16_t slot);
void DispatchPool0Type12(int16_t slot);
void DispatchPool0Type13(int16_t slot);
void DispatchPool0Type14(int16_t slot);
void DispatchPool0Type15(int16_t slot);
void DispatchPool0Type16(int16_t slot);
void DispatchPool0Type17(int16_t slot);
void DispatchPool0Type18(int16_t slot);
void DispatchPool0Type19(int16_t slot);
void DispatchPool1Type10(int16_t slot);
void DispatchPool1Type11(int16_t slot);
void DispatchPool1Type12(int16_t slot);
void DispatchPool1Type13(int16_t slot);
void DispatchPool1Type14(int16_t slot);
void DispatchPool1Type15(int16_t slot);
void DispatchPool1Type16(int16_t slot);
void DispatchPool1Type17(int16_t slot);
void DispatchPool1Type18(int16_t slot);
void DispatchPool1Type19(int16_t slot);
void DispatchPool3Type0(int16_t slot);
void DispatchPool3Type1(int16_t slot);
void DispatchPool3Type2(int16_t slot);
void DispatchPool3Type3(int16_t slot);
void DispatchPartType2(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType3(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType4(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType5(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType6(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType7(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType8(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType9(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType10(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType11(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType12(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType13(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType14(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType15(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType16(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType17(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType18(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType19(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType20(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType21(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType22(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType23(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType24(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType25(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType26(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType27(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType28(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType29(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType30(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
void DispatchPartType31(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);
