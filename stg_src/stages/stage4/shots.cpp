#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

void UpdateStage4BounceTrailShot(int16_t) {}
void UpdateStage4BouncingShot(int16_t) {}
void UpdateStage4BurstShot(int16_t) {}
void UpdateStage4PodShot(int16_t) {}
void UpdateStage4SpinningShot(int16_t) {}
