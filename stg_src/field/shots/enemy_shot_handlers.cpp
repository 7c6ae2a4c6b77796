// EnemyShotHandlers and the stage grid its dispatchers read: types 0..16 are the common
// behaviours, 17..26 the stage's own, looked up by CurrentStage. Stage 4 reuses two common
// behaviours under its own numbers, and stage 6's trail dot serves stage 5 too; stage 7 has no
// shots of its own.
#include "stg_src/field/shots/common_shots.h"
#include "stg_src/field/shots/enemy_shots.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/stages/stage1/stage1.h"
#include "stg_src/stages/stage2/stage2.h"
#include "stg_src/stages/stage3/stage3.h"
#include "stg_src/stages/stage4/stage4.h"
#include "stg_src/stages/stage5/stage5.h"
#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/deterministic.h"

EnemyShotHandler EnemyShotStageCells[kEnemyShotTypes - kCommonEnemyShotTypes][kStageCount] = {
    {UpdateStage1RetargetShot, UpdateStage2RetargetShot, UpdateStage3FlameJetShot,
     UpdateStage4PodShot, UpdateStage5CannonShot, UpdateStage6BigShot, nullptr},  // 17
    {nullptr, nullptr, UpdateStage3RoundShot, UpdateStage4BouncingShot, UpdateStage5CurveShot,
     UpdateStage6CannonShot, nullptr},  // 18
    {nullptr, nullptr, UpdateStage3CannonShot, UpdateStage4BounceTrailShot, UpdateStage5SeekerShot,
     UpdateStage6BouncingShot, nullptr},  // 19
    {nullptr, nullptr, UpdateStage3FlameShot, UpdateStage4SpinningShot, UpdateStage6TrailDotShot,
     UpdateStage6TrailDotShot, nullptr},  // 20
    {nullptr, nullptr, UpdateStage3FlameTrailShot, UpdateStage4BurstShot, UpdateStage5TurningShot,
     UpdateStage6LongShot, nullptr},  // 21
    {nullptr, nullptr, UpdateStage3RingShot, UpdatePlainShot, UpdateStage6TrailDotShot,
     UpdateStage6HeavyShot, nullptr},  // 22
    {nullptr, nullptr, nullptr, UpdateWarningLineShot, nullptr, UpdateStage6PortalBlueShot,
     nullptr},  // 23
    {nullptr, nullptr, nullptr, UpdateStage4LaserShot, nullptr, UpdateStage6PortalRedShot,
     nullptr},  // 24
    {nullptr, nullptr, nullptr, UpdateStage4LaserChargeShot, nullptr, UpdateStage6TrailDotShot,
     nullptr},  // 25
    {nullptr, nullptr, nullptr, UpdateStage4LaserBurstShot, nullptr, UpdateStage6TurningShot,
     nullptr},  // 26
};

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
