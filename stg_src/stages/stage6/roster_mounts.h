// The set-up steps that stage 6's mounts share (roster.cpp and lifts_and_warps.cpp): the inert
// body their parts hang on, their indestructible parts, the refusal of variants without a table
// row, and the hard-difficulty test.
#pragma once

#include <cstdint>

#include "stg_src/field/enemies/enemy_records.h"

namespace stage6 {

void SetUpMount(EnemyObject& o, int slot, int32_t imageFrame, uint8_t solid, int cullX, int cullY);
void SetUpMountPart(EnemyPart& p, int32_t imageFrame, int cullX, int cullY);
bool IsHard();
// True (the object freed, one log line a kind a load) for a variant outside 0-3.
bool RefuseVariant(EnemyObject& o, const char* kind);

}  // namespace stage6
