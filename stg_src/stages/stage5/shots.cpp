#include "stg_src/stages/stage5/stage5.h"

#include "stg_src/game/deterministic.h"

void UpdateStage5CannonShot(int16_t) {}
void UpdateStage5CurveShot(int16_t) {}
void UpdateStage5SeekerShot(int16_t) {}
void UpdateStage5TurningShot(int16_t) {}
