// The play field's stage grids and stage scripts, assembled at build time from the seven stages'
// columns. Tests may swap single cells.
#include "stg_src/field/stage_handlers.h"
#include "stg_src/stages/stage1/stage1_handlers.h"
#include "stg_src/stages/stage2/stage2_handlers.h"
#include "stg_src/stages/stage3/stage3_handlers.h"
#include "stg_src/stages/stage4/stage4_handlers.h"
#include "stg_src/stages/stage5/stage5_handlers.h"
#include "stg_src/stages/stage6/stage6_handlers.h"
#include "stg_src/stages/stage7/stage7_handlers.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr const StageHandlerColumn* kColumns[kStageCount] = {
    &kStage1Handlers, &kStage2Handlers, &kStage3Handlers, &kStage4Handlers,
    &kStage5Handlers, &kStage6Handlers, &kStage7Handlers,
};

// [type][stage - 1], as the dispatchers read them.
struct StageGrids {
  StageObjectCell pool0[kStageObjectTypeCount][kStageCount];
  StageObjectCell pool1[kStageObjectTypeCount][kStageCount];
  StageObjectCell pool3[kStagePool3TypeCount][kStageCount];
  EnemyPartHandler parts[kStagePartTypeCount][kStageCount];
  EnemyShotHandler shots[kStageShotTypeCount][kStageCount];
  StageScript scripts[kStageCount];
};

constexpr StageGrids AssembleGrids() {
  StageGrids grids{};
  for (int stage = 0; stage < kStageCount; ++stage) {
    const StageHandlerColumn& column = *kColumns[stage];
    for (int t = 0; t < kStageObjectTypeCount; ++t) {
      grids.pool0[t][stage] = column.pool0[t];
      grids.pool1[t][stage] = column.pool1[t];
    }
    for (int t = 0; t < kStagePool3TypeCount; ++t) grids.pool3[t][stage] = column.pool3[t];
    for (int t = 0; t < kStagePartTypeCount; ++t) grids.parts[t][stage] = column.parts[t];
    for (int t = 0; t < kStageShotTypeCount; ++t) grids.shots[t][stage] = column.shots[t];
    grids.scripts[stage] = column.script;
  }
  return grids;
}

constinit StageGrids Grids = AssembleGrids();

}  // namespace

StageObjectCell (&EnemyPool0StageCells)[kStageObjectTypeCount][kStageCount] = Grids.pool0;
StageObjectCell (&EnemyPool1StageCells)[kStageObjectTypeCount][kStageCount] = Grids.pool1;
StageObjectCell (&EnemyPool3StageCells)[kStagePool3TypeCount][kStageCount] = Grids.pool3;
EnemyPartHandler (&EnemyPartStageCells)[kStagePartTypeCount][kStageCount] = Grids.parts;
EnemyShotHandler (&EnemyShotStageCells)[kStageShotTypeCount][kStageCount] = Grids.shots;
StageScript (&StageScripts)[kStageCount] = Grids.scripts;
