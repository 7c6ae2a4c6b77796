// EnemyShotHandlers: types 0..16 are the common behaviours, 17..26 the stage's own, looked up by
// CurrentStage in the grid the stages fill (stg_src/field/stage_handlers.h).
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"

#include "stg_src/game/deterministic.h"

namespace {

// A stage without a behaviour for the type does nothing: the shot keeps its slot until it is
// removed off screen or by a reset.
void DispatchStageShot(int type, int16_t slot) {
  if (CurrentStage < 1 || CurrentStage > kStageCount) return;
  const EnemyShotHandler handler =
      EnemyShotStageCells[type - kCommonEnemyShotTypes][CurrentStage - 1];
  if (handler != nullptr) handler(slot);
}

}  // namespace

void DispatchShotType17(int16_t slot) { DispatchStageShot(17, slot); }
void DispatchShotType18(int16_t slot) { DispatchStageShot(18, slot); }
void DispatchShotType19(int16_t slot) { DispatchStageShot(19, slot); }
void DispatchShotType20(int16_t slot) { DispatchStageShot(20, slot); }
void DispatchShotType21(int16_t slot) { DispatchStageShot(21, slot); }
void DispatchShotType22(int16_t slot) { DispatchStageShot(22, slot); }
void DispatchShotType23(int16_t slot) { DispatchStageShot(23, slot); }
void DispatchShotType24(int16_t slot) { DispatchStageShot(24, slot); }
void DispatchShotType25(int16_t slot) { DispatchStageShot(25, slot); }
void DispatchShotType26(int16_t slot) { DispatchStageShot(26, slot); }

const EnemyShotHandler EnemyShotHandlers[kEnemyShotTypes] = {
    UpdatePlainShot,        UpdateSmallShot,     UpdateLargeShot,       UpdateCannonShot,
    UpdateTrailShot,        UpdateTrailDotShot,  UpdateSeekerShot,      UpdateSeekerTrailDotShot,
    UpdateWarningLineShot,  UpdateBeamShot,      UpdateWarningLineShot, UpdateThinBeamShot,
    UpdateBeamChargeShot,   UpdateBeamBurstShot, UpdateMuzzleGlowShot,  UpdateBurningFragmentShot,
    UpdateAcceleratingShot, DispatchShotType17,  DispatchShotType18,    DispatchShotType19,
    DispatchShotType20,     DispatchShotType21,  DispatchShotType22,    DispatchShotType23,
    DispatchShotType24,     DispatchShotType25,  DispatchShotType26,
};
