// The map spawner: the edge columns and rows of the window that the event layer is read at as
// the view advances, and the restart at a checkpoint. ResetMapSpawner puts every member back to
// its value at program start; DigestMapSpawner sums them.
#pragma once

#include <cstdint>

#include "stg_src/state_digest.h"

extern int32_t SpawnLeftColumn;   // the column just left of the window
extern int32_t SpawnRightColumn;  // the column under the window's right edge
extern int32_t SpawnTopRow;       // the row just above the window
extern int32_t SpawnBottomRow;    // the row under its bottom edge
extern int32_t LastSpawnLeftColumn;
extern int32_t LastSpawnTopRow;
extern uint8_t VerticalFreeMode;  // 1: the map scrolls over its whole height

// Once per unpaused frame from GameFrame 0 on, before the scroll step.
void SpawnFromEventLayer();
// At stage start while CheckpointIndex > 0.
void RestartAtCheckpoint();

void ResetMapSpawner();
void DigestMapSpawner(StateDigest& digest, DigestScope scope);
