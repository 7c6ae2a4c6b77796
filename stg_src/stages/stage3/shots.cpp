#include "stg_src/stages/stage3/stage3.h"

#include "stg_src/game/deterministic.h"

void UpdateStage3CannonShot(int16_t) {}
void UpdateStage3FlameJetShot(int16_t) {}
void UpdateStage3FlameShot(int16_t) {}
void UpdateStage3FlameTrailShot(int16_t) {}
void UpdateStage3RingShot(int16_t) {}
void UpdateStage3RoundShot(int16_t) {}
