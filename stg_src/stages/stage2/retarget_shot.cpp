#include "stg_src/stages/stage2/stage2.h"

#include "stg_src/game/deterministic.h"

void UpdateStage2RetargetShot(int16_t) {}
