// Each stage's short script, run as the last update of every unpaused play frame from GameFrame 0
// on: the white flash's fade, the effects' world drift, the background variants and parallax
// sets switched at fixed world positions, the stage-1 opening spawn, the stage-4 red pulse, and
// stage 7's closing flight with the ship's screen position it flies by. ResetStageEvents puts
// the closing flight's words back to their value at program start; DigestStageEvents sums them.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

// Stage 7's closing flight: the ship's screen x and its change a frame; PlayerX follows it.
extern double EndingShipScreenX;
extern double EndingShipSpeed;

// The frame's script of the stage; a stage outside 1..7 only fades the white flash.
void RunStageEvents(int16_t stage);

void ResetStageEvents();
void DigestStageEvents(StateDigest& digest, DigestScope scope);
