// The stage's maps as the field reads them: the background's two picture layers (80-pixel chips
// of 12 x 12 sheets), the main map's two picture layers (40-pixel tiles of 16 x 16 sheets), its
// collision and event layers, their sizes, and the start and checkpoint markers; and
// LoadStageMaps, which fills them from the stage's FMF files (the shell's LoadStage calls it after
// loading the stage's images and sounds).
// ResetStageMaps puts every member back to its value at program start; DigestStageMaps sums
// them.
#pragma once

#include <cstdint>

#include "stg_src/field/map/fmf_map_file.h"
#include "stg_src/game/state_digest.h"

constexpr int kBackMapRows = 20;
constexpr int kBackMapColumns = 80;
constexpr int kMainMapRows = 80;
constexpr int kMainMapColumns = 640;
constexpr int kTileSize = 40;
constexpr int kRepeatedTopRows = 10;
constexpr int kMarkerCount = 5;  // entry 0 the player start, 1..4 the checkpoints

// Chip numbers (-1 none), tile types (-1 empty) and event values (upper x 1000 + lower, 0
// nothing).
extern int32_t BackMapLayer0[kBackMapRows][kBackMapColumns];
extern int32_t BackMapLayer1[kBackMapRows][kBackMapColumns];
extern int32_t MainMapLayer0[kMainMapRows][kMainMapColumns];
extern int32_t MainMapLayer1[kMainMapRows][kMainMapColumns];
extern int32_t CollisionLayer[kMainMapRows][kMainMapColumns];
extern int32_t EventLayer[kMainMapRows][kMainMapColumns];
extern int16_t MapWidth;  // main map, in tiles, the repeated rows included
extern int16_t MapHeight;
extern int16_t BackMapWidth;
extern int16_t BackMapHeight;
extern int16_t CheckpointCount;  // markers found, the start among them
extern int32_t CheckpointX[kMarkerCount];
extern int32_t CheckpointY[kMarkerCount];
extern int32_t CheckpointColumn[kMarkerCount];
extern int32_t CheckpointRow[kMarkerCount];

// 1 when both maps of the stage were read (the main map by Difficulty), else 0 with a log line
// naming the file and why.
uint8_t LoadStageMaps(int16_t stage);
// The map steps of LoadStageMaps on maps already read (name labels the log lines): the arrays and
// markers are cleared first, then filled from a map that fits them. 1, or 0 and a log line.
int ReadBackgroundMap(const MapFile* map, const char* name);
int ReadMainMap(const MapFile* map, const char* name);

// A marker table entry for index, held inside the table.
int MarkerEntry(int index);

void ResetStageMaps();
void DigestStageMaps(StateDigest& digest, DigestScope scope);
