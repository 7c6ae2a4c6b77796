#include "stg_src/stages/stage4/stage4.h"

#include "stg_src/game/deterministic.h"

void UpdateStage4LaserBurstShot(int16_t) {}
void UpdateStage4LaserChargeShot(int16_t) {}
void UpdateStage4LaserShot(int16_t) {}
