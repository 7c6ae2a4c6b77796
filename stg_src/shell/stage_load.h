// The stage load of the stage-start scene: the stage's images (map chips first), its own sound
// effects in slots 49..54, then its maps (the field's LoadStageMaps).
#pragma once

#include <cstdint>

// 1 when both maps of the stage were read, else 0 with a log line naming the file and why; the
// images and sounds are loaded either way.
uint8_t LoadStage(int16_t stage);
// Slots 49..54 stopped and emptied, then filled with the stage's own effects (stage 1..7).
void LoadStageSounds(int16_t stage);
