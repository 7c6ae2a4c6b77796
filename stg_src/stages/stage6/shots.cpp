#include "stg_src/stages/stage6/stage6.h"

#include "stg_src/game/deterministic.h"

void UpdateStage6BigShot(int16_t) {}
void UpdateStage6BouncingShot(int16_t) {}
void UpdateStage6CannonShot(int16_t) {}
void UpdateStage6HeavyShot(int16_t) {}
void UpdateStage6LongShot(int16_t) {}
void UpdateStage6PortalBlueShot(int16_t) {}
void UpdateStage6PortalRedShot(int16_t) {}
void UpdateStage6TrailDotShot(int16_t) {}
void UpdateStage6TurningShot(int16_t) {}
