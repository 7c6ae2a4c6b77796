#include "stg_src/field/map/stage_maps.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "runtime/platform/core/log.h"
#include "stg_src/field/map/map_loops.h"
#include "stg_src/field/map/map_refusals.h"
#include "stg_src/field/map/map_spawner.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/file_reports.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

int32_t BackMapLayer0[kBackMapRows][kBackMapColumns];
int32_t BackMapLayer1[kBackMapRows][kBackMapColumns];
int32_t MainMapLayer0[kMainMapRows][kMainMapColumns];
int32_t MainMapLayer1[kMainMapRows][kMainMapColumns];
int32_t CollisionLayer[kMainMapRows][kMainMapColumns];
int32_t EventLayer[kMainMapRows][kMainMapColumns];
int16_t MapWidth;
int16_t MapHeight;
int16_t BackMapWidth;
int16_t BackMapHeight;
int16_t CheckpointCount;
int32_t CheckpointX[kMarkerCount];
int32_t CheckpointY[kMarkerCount];
int32_t CheckpointColumn[kMarkerCount];
int32_t CheckpointRow[kMarkerCount];

namespace {

constexpr int kBackSheetColumns = 12;
constexpr int kBackSheetChips = 144;
constexpr int kMainSheetColumns = 16;
constexpr int kMainSheetChips = 256;
constexpr int kEventCodeLimit = 256;
constexpr int kEventVariantLimit = 64;

// Tile types the collision layer keeps: the ones with a polygon, and the route markers 48..53.
constexpr int kKeptTileTypes[][2] = {{1, 15},  {18, 31}, {44, 53},   {60, 63},
                                     {76, 79}, {92, 95}, {108, 111}, {124, 127}};

// The marker tile types, in marker table order.
constexpr int kMarkerTileTypes[kMarkerCount] = {16, 17, 32, 33, 34};

bool IsKeptTileType(int t) {
  for (const auto& range : kKeptTileTypes) {
    if (t >= range[0] && t <= range[1]) return true;
  }
  return false;
}

int MarkerOfTileType(int t) {
  for (int i = 0; i < kMarkerCount; ++i) {
    if (kMarkerTileTypes[i] == t) return i;
  }
  return -1;
}

// A cell names a chip of a sheet by column (low byte) and row (high byte); a column past the
// sheet is an empty cell (-1), as is a cell outside the map (-1).
int32_t SheetIndex(int v, int columns) {
  if (v % 256 < columns) return v % 256 + (v / 256) * columns;
  return -1;
}

// Event codes the tables have: 0..20 (pool 0 types 0..19), 64..84 (pool 1), 128..255
// (commands); anything else would spawn a type no table holds or alias into the variant.
bool IsKnownEventCode(int code) {
  if (code >= kEventCodeLimit) return false;
  return !(code >= 21 && code <= 63) && !(code >= 85 && code <= 127);
}

__attribute__((format(printf, 2, 3))) bool RefuseWith(const char* name, const char* format, ...) {
  char reason[160];
  va_list args;
  va_start(args, format);
  std::vsnprintf(reason, sizeof reason, format, args);
  va_end(args);
  LogMapFileRefusal(name, reason);
  return false;
}

template <size_t Rows, size_t Columns>
void FillLayer(int32_t (&layer)[Rows][Columns], int32_t value) {
  for (auto& row : layer) std::ranges::fill(row, value);
}

void ClearMarkers() {
  CheckpointCount = 0;
  for (auto* table : {&CheckpointX, &CheckpointY, &CheckpointColumn, &CheckpointRow}) {
    std::ranges::fill(*table, 0);
  }
}

// The rules a map must meet before it goes into arrays of a fixed size.
bool FitsArrays(const MapFile* map, const char* name, int needLayers, int maxWidth, int maxHeight,
                int extraRows) {
  const int layers = GetMapFileLayerCount(map);
  if (layers < needLayers) {
    return RefuseWith(name, "層が %d しかありません（%d 層が要ります）", layers, needLayers);
  }
  const uint32_t width = map->header.width, height = map->header.height;
  if (width > static_cast<uint32_t>(maxWidth) ||
      height > static_cast<uint32_t>(maxHeight - extraRows)) {
    return RefuseWith(name, "大きさ %u x %u（下に繰り返す %d 行を足して）が %d x %d を超えます",
                      width, height, extraRows, maxWidth, maxHeight);
  }
  return true;
}

bool PictureChipsFit(const MapFile* map, const char* name, int layer, int columns, int chips) {
  for (int y = 0; y < GetMapFileHeight(map); ++y) {
    for (int x = 0; x < GetMapFileWidth(map); ++x) {
      const int chip = SheetIndex(GetMapFileCell(map, layer, x, y), columns);
      if (chip >= chips) {
        return RefuseWith(name, "層 %d の (%d, %d) のチップ %d がシートにありません", layer, x, y,
                          chip);
      }
    }
  }
  return true;
}

bool EventCodesKnown(const MapFile* map, const char* name) {
  for (int y = 0; y < GetMapFileHeight(map); ++y) {
    for (int x = 0; x < GetMapFileWidth(map); ++x) {
      const int code = SheetIndex(GetMapFileCell(map, 3, x, y), kMainSheetColumns);
      if (code >= 0 && !IsKnownEventCode(code)) {
        return RefuseWith(name, "(%d, %d) のイベントコード %d は使えません", x, y, code);
      }
    }
  }
  return true;
}

void ClearBackgroundMap() {
  FillLayer(BackMapLayer0, -1);
  FillLayer(BackMapLayer1, -1);
  BackMapWidth = 0;
  BackMapHeight = 0;
}

void ClearMainMap() {
  FillLayer(MainMapLayer0, -1);
  FillLayer(MainMapLayer1, -1);
  FillLayer(CollisionLayer, -1);
  FillLayer(EventLayer, 0);
  MapWidth = 0;
  MapHeight = 0;
  ClearMarkers();
}

// Every camera, loop and spawner word for a new map.
void ResetMapWords(int fileHeight) {
  SpawnLeftColumn = 0;
  SpawnRightColumn = 0;
  SpawnTopRow = 0;
  SpawnBottomRow = 0;
  LastSpawnLeftColumn = -1;
  LastSpawnTopRow = -1;
  DrawOffsetX = 0;
  DrawOffsetY = 0;
  StageFourParallaxX = 0;
  BackLayer0OffsetX = 0;
  BackLayer0OffsetY = 0;
  BackLayer1OffsetX = 0;
  BackLayer1OffsetY = 0;
  BackLayer0BaseX = 0;
  BackLayer0BaseY = 0;
  BackLayer1BaseX = 0;
  BackLayer1BaseY = 0;
  ViewTop = 0;
  ViewTopTarget = 0;
  ViewBottom = fileHeight * kTileSize + kTileSize;
  ViewBottomTarget = ViewBottom;
  HorizontalLoopStart = 0;
  HorizontalLoopEnd = 0;
  MapLoopMode = 0;
  VerticalLoopTop = 0;
  VerticalLoopBottom = 0;
  VerticalLoopJump = 0;
  VerticalShift = 0;
  VerticalFreeMode = 0;
  CameraX = 0;
  ViewRight = 640;
  ScrollTargetSpeed = 0;
  ScrollSpeed = 0;
  ScrollDeltaX = 0;
  ScrollDeltaY = 0;
  ScrollAngle = -1;
  BossType = -1;
  SnapViewToPlayer = 0;
  CheckpointCount = 0;
}

void ReadMarker(int marker, int column, int row, bool* found) {
  if (!found[marker]) CheckpointCount += 1;
  found[marker] = true;
  CheckpointX[marker] = column * kTileSize + kTileSize / 2;
  CheckpointY[marker] = row * kTileSize + kTileSize / 2;
  CheckpointColumn[marker] = column;
  CheckpointRow[marker] = row;
  if (marker == 0) PlacePlayerAtStart();
}

void ReadMainRow(const MapFile* map, int row, int fileHeight, bool* found) {
  const bool fileRow = row < fileHeight;
  const int source = fileRow ? row : row - fileHeight;
  for (int column = 0; column < MapWidth; ++column) {
    MainMapLayer0[row][column] =
        SheetIndex(GetMapFileCell(map, 0, column, source), kMainSheetColumns);
    MainMapLayer1[row][column] =
        SheetIndex(GetMapFileCell(map, 1, column, source), kMainSheetColumns);

    CollisionLayer[row][column] = -1;
    const int t = SheetIndex(GetMapFileCell(map, 2, column, source), kMainSheetColumns);
    const int marker = MarkerOfTileType(t);
    if (marker >= 0) {
      if (fileRow) ReadMarker(marker, column, row, found);
    } else if (IsKeptTileType(t)) {
      CollisionLayer[row][column] = t;
    }

    EventLayer[row][column] = 0;
    if (!fileRow) continue;
    const int a = GetMapFileCell(map, 3, column, source);
    if (a % 256 >= kMainSheetColumns) continue;
    const int b = GetMapFileCell(map, 4, column, source);
    int variant = b % 256 < kMainSheetColumns ? SheetIndex(b, kMainSheetColumns) : b;
    if (variant < 0 || variant >= kEventVariantLimit) variant = 0;
    EventLayer[row][column] = variant * 1000 + SheetIndex(a, kMainSheetColumns);
  }
}

// Markers the map lacks: without a start the player keeps its old placement; a checkpoint
// without the one before it is never passed.
void LogMissingMarkers(const bool* found, const char* name) {
  if (!found[0]) LogPrintf("FMFマップ %s：開始マーカーがありません", name);
  for (int k = 1; k < kMarkerCount; ++k) {
    if (found[k] && !found[k - 1]) {
      LogPrintf("FMFマップ %s：チェックポイント %d の前のマーカー %d がありません", name, k, k - 1);
    }
  }
}

}  // namespace

int MarkerEntry(int index) { return std::clamp(index, 0, kMarkerCount - 1); }

int ReadBackgroundMap(const MapFile* map, const char* name) {
  ClearBackgroundMap();
  if (!FitsArrays(map, name, 2, kBackMapColumns, kBackMapRows, 0) ||
      !PictureChipsFit(map, name, 0, kBackSheetColumns, kBackSheetChips) ||
      !PictureChipsFit(map, name, 1, kBackSheetColumns, kBackSheetChips)) {
    return 0;
  }
  BackMapWidth = static_cast<int16_t>(GetMapFileWidth(map));
  BackMapHeight = static_cast<int16_t>(GetMapFileHeight(map));
  for (int r = 0; r < BackMapHeight; ++r) {
    for (int c = 0; c < BackMapWidth; ++c) {
      BackMapLayer0[r][c] = SheetIndex(GetMapFileCell(map, 0, c, r), kBackSheetColumns);
      BackMapLayer1[r][c] = SheetIndex(GetMapFileCell(map, 1, c, r), kBackSheetColumns);
    }
  }
  return 1;
}

int ReadMainMap(const MapFile* map, const char* name) {
  ClearMainMap();
  const int extraRows = MapRepeatTopRows == 1 ? kRepeatedTopRows : 0;
  if (!FitsArrays(map, name, 5, kMainMapColumns, kMainMapRows, extraRows) ||
      !PictureChipsFit(map, name, 0, kMainSheetColumns, kMainSheetChips) ||
      !PictureChipsFit(map, name, 1, kMainSheetColumns, kMainSheetChips) ||
      !EventCodesKnown(map, name)) {
    return 0;
  }
  const int fileHeight = GetMapFileHeight(map);
  MapWidth = static_cast<int16_t>(GetMapFileWidth(map));
  MapHeight = static_cast<int16_t>(fileHeight);
  ResetMapWords(fileHeight);
  bool found[kMarkerCount] = {};
  for (int row = 0; row < fileHeight + extraRows; ++row) ReadMainRow(map, row, fileHeight, found);
  LogMissingMarkers(found, name);
  MapHeight = static_cast<int16_t>(fileHeight + extraRows);
  return 1;
}

uint8_t LoadStageMaps(int16_t stage) {
  ForgetRefusedMapValues();
  // Nothing of the previous stage's maps stays, even when a map of this one is refused.
  ClearBackgroundMap();
  ClearMainMap();

  char name[64];
  MapFile map;
  InitMapFile(&map);
  std::snprintf(name, sizeof name, "data/map/stage%d_1/map%db.fmf", stage, stage);
  int result = LoadMapFile(&map, name) && ReadBackgroundMap(&map, name);
  if (result) {
    const bool hardMap = stage == 7 || GetDifficulty() > 1;
    std::snprintf(name, sizeof name,
                  hardMap ? "data/map/stage%d_1/map%d.fmf" : "data/map/stage%d_1/map%de.fmf", stage,
                  stage);
    result = LoadMapFile(&map, name) && ReadMainMap(&map, name);
  }
  DestroyMapFile(&map);
  if (!result) ReportUnreadableFile(name, "the stage cannot start, so the game ends");
  return static_cast<uint8_t>(result);
}

void ResetStageMaps() {
  FillLayer(BackMapLayer0, 0);
  FillLayer(BackMapLayer1, 0);
  FillLayer(MainMapLayer0, 0);
  FillLayer(MainMapLayer1, 0);
  FillLayer(CollisionLayer, 0);
  FillLayer(EventLayer, 0);
  MapWidth = 0;
  MapHeight = 0;
  BackMapWidth = 0;
  BackMapHeight = 0;
  ClearMarkers();
}

void DigestStageMaps(StateDigest& d, DigestScope scope) {
  DigestValue(d, MapWidth);
  DigestValue(d, MapHeight);
  DigestValue(d, BackMapWidth);
  DigestValue(d, BackMapHeight);
  DigestValue(d, CheckpointCount);
  DigestArray(d, CheckpointX);
  DigestArray(d, CheckpointY);
  DigestArray(d, CheckpointColumn);
  DigestArray(d, CheckpointRow);
  if (scope == DigestScope::Run) return;
  // Filled by the stage load and only read afterwards.
  DigestArray(d, BackMapLayer0);
  DigestArray(d, BackMapLayer1);
  DigestArray(d, MainMapLayer0);
  DigestArray(d, MainMapLayer1);
  DigestArray(d, CollisionLayer);
  DigestArray(d, EventLayer);
}
