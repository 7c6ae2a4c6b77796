// Stage 7's behaviours, every one that the field's handler tables and shot dispatchers reach on
// this stage: object behaviours take their slot in the pool whose table reached them, part
// behaviours the owner's pool and slot, the part array and the part index, shot behaviours their
// shot slot. One file per enemy family; a behaviour still to be written frees its object on its
// first update, as a type without behaviour does (parts and shots do nothing).
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

// closing_sequence.cpp: the closing sequence, and the closing flight that drives it.
void UpdateStage7Bokan(int16_t slot);
void UpdateStage7Bokan2(int16_t slot);
void UpdateStage7Fire(int16_t slot);
void UpdateStage7VerniaPart(EnemyObject* pool, uint16_t slot, EnemyPart* parts, int16_t partIndex);

// The stage's script, run by RunStageEvents every play frame: the ship's flight across the fire
// (lost in it after a continue), the passing carriers, the ending text, the closing white flash
// and the end screen.
void RunStage7ClosingFlight();
