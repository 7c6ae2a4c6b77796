// The map spawner: the edge columns and rows of the window that the event layer is read at as
// the view advances, and the restart at a checkpoint. ResetMapSpawner puts every member back to
// its value at program start; DigestMapSpawner sums them.
#pragma once

#include <cstdint>

#include "stg_src/game/state_digest.h"

extern int32_t SpawnLeftColumn;   // the column just left of the window
extern int32_t SpawnRightColumn;  // the column under the window's right edge
extern int32_t SpawnTopRow;       // the row just above the window
extern int32_t SpawnBottomRow;    // the row under its bottom edge
extern int32_t LastSpawnLeftColumn;
extern int32_t LastSpawnTopRow;
extern uint8_t VerticalFreeMode;  // 1: the map scrolls over its whole height

// Once per unpaused frame from GameFrame 0 on, before the scroll step: the column (or row) that
// reaches the window's edge is read; on GameFrame 0 the whole window, with the scroll set-up
// from the cells under and over the current checkpoint's marker.
void SpawnFromEventLayer();
// One event cell (upper x 1000 + code): enemies of pools 0 and 1 (not during the stage clear or
// a restart, variant = value / 1000 - 1), leading-edge commands 128..191 when leading, trailing
// ones 192..255 when not.
void RunEventCode(int32_t value, int column, int row, bool restart, bool leading);
// A map command at cell (column, row): scroll speed and direction, view range, map loops.
void RunMapCommand(int code, int column, int row);
// At stage start while CheckpointIndex > 0: play at that checkpoint from GameFrame 0, or, past
// the last marker, the stage-clear scene at once.
void RestartAtCheckpoint();

void ResetMapSpawner();
void DigestMapSpawner(StateDigest& digest, DigestScope scope);
