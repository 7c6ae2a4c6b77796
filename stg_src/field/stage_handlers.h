// What a stage gives the play field: its column of the behaviour tables (for each stage-specific
// type of pools 0, 1 and 3, of the parts and of the enemy shots, the behaviour it has on that
// stage) and its own script, if the field's RunStageEvents hands the stage over to one. Each
// stage defines its column (stg_src/stages/stageN/stageN_handlers.h); the stages' side assembles
// the seven into the grids the field's dispatchers read (handler_tables.h, enemy_shots.h) and
// into StageScripts. The field never includes a stage's header.
#pragma once

#include "stg_src/field/enemies/handler_tables.h"
#include "stg_src/field/shots/enemy_shots.h"

constexpr int kStageShotTypeCount = kEnemyShotTypes - kCommonEnemyShotTypes;  // types 17..26

// A stage's own script, run by RunStageEvents every play frame; null for none.
using StageScript = void (*)();

struct StageHandlerColumn {
  StageObjectCell pool0[kStageObjectTypeCount];  // types 10..19
  StageObjectCell pool1[kStageObjectTypeCount];  // types 10..19
  StageObjectCell pool3[kStagePool3TypeCount];   // types 0..3
  EnemyPartHandler parts[kStagePartTypeCount];   // types 2..31, null for none
  EnemyShotHandler shots[kStageShotTypeCount];   // types 17..26, null for none
  StageScript script;
};

// A cell whose behaviour runs without a spawner before it.
constexpr StageObjectCell StepOnly(EnemyObjectHandler step) { return {nullptr, step}; }
// No behaviour on this stage: the object is freed on its first update.
constexpr StageObjectCell kNoStageBehaviour{};

// [stage - 1]
extern StageScript (&StageScripts)[kStageCount];
