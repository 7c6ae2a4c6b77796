#include "stg_src/field/map/map_spawner.h"

#include <algorithm>

#include "runtime/platform/core/arithmetic_helpers.h"
#include "stg_src/field/enemies/enemy_pools.h"
#include "stg_src/field/map/map_loops.h"
#include "stg_src/field/map/scrolling.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/stage_state.h"
#include "stg_src/game/shared_state.h"

#include "stg_src/game/deterministic.h"

int32_t SpawnLeftColumn;
int32_t SpawnRightColumn;
int32_t SpawnTopRow;
int32_t SpawnBottomRow;
int32_t LastSpawnLeftColumn;
int32_t LastSpawnTopRow;
uint8_t VerticalFreeMode;

namespace {

constexpr int kVariantStep = 1000;
// Event codes: 1..63 pool 0, 65..127 pool 1, 128..191 leading-edge commands, 192..255
// trailing-edge commands.
constexpr int kPool0Codes = 1;
constexpr int kPool1Codes = 65;
constexpr int kLeadingCommands = 128;
constexpr int kTrailingCommands = 192;
constexpr int kCodeEnd = 256;
// Under a marker: the scroll direction commands 15..30 (144..159); over it: free vertical
// scrolling on (164) or off (180).
constexpr int kDirectionCodesFirst = 144;
constexpr int kDirectionCodesLast = 159;
constexpr int kFreeModeOnCode = 164;
constexpr int kFreeModeOffCode = 180;
constexpr int kAngleStep = 64;

bool IsRowInMap(int row) { return row >= 0 && row < MapHeight; }

bool IsColumnInMap(int column) { return column >= 0 && column < MapWidth; }

void RunCell(int column, int row, bool restart, bool leading) {
  if (IsColumnInMap(column) && IsRowInMap(row))
    RunEventCode(EventLayer[row][column], column, row, restart, leading);
}

// The rows a column scan reads.
int FirstScanRow() { return VerticalFreeMode == 1 ? 0 : SpawnTopRow; }
int EndScanRow() { return VerticalFreeMode == 1 ? MapHeight : SpawnBottomRow; }

void ScanColumns() {
  const bool forward = ScrollDeltaX > 0;
  const bool backward = ScrollDeltaX < 0;
  const bool rightIn = SpawnRightColumn < MapWidth;
  const bool leftIn = SpawnLeftColumn >= 0;
  if (SpawnLeftColumn == LastSpawnLeftColumn || !((forward && rightIn) || (backward && leftIn)))
    return;
  for (int row = FirstScanRow(); row < EndScanRow(); ++row) {
    if (rightIn) RunCell(SpawnRightColumn, row, false, forward);
    if (leftIn) RunCell(SpawnLeftColumn, row, false, backward);
  }
}

void ScanRows() {
  const bool down = ScrollDeltaY > 0;
  const bool up = ScrollDeltaY < 0;
  const bool bottomIn = SpawnBottomRow < MapHeight;
  const bool topIn = SpawnTopRow >= 0;
  if (SpawnTopRow == LastSpawnTopRow || !((down && bottomIn) || (up && topIn))) return;
  const int first = DoubleToInt(CameraX) / kTileSize;
  const int end = DoubleToInt(ViewRight) / kTileSize;
  for (int column = first; column < end; ++column) {
    if (bottomIn) RunCell(column, SpawnBottomRow, false, down);
    if (topIn) RunCell(column, SpawnTopRow, false, up);
  }
}

int EventCodeAt(int column, int row) {
  if (!IsColumnInMap(column) || !IsRowInMap(row)) return 0;
  return EventLayer[row][column] % kVariantStep;
}

// The scroll direction and the free vertical mode from the cells under and over the marker
// the ship starts at; rows outside the map are not read.
void SetUpScrollFromMarker() {
  const int marker = MarkerEntry(CheckpointIndex);
  const int column = CheckpointColumn[marker];
  const int row = CheckpointRow[marker];
  const int below = EventCodeAt(column, row + 1);
  if (below >= kDirectionCodesFirst && below <= kDirectionCodesLast)
    ScrollAngle = static_cast<int16_t>((below - kDirectionCodesFirst) * kAngleStep);
  const int above = EventCodeAt(column, row - 1);
  if (above == kFreeModeOnCode) VerticalFreeMode = 1;
  if (above == kFreeModeOffCode) VerticalFreeMode = 0;
}

// The first frame of play: the window filled at once (after a restart at a checkpoint only its
// commands run), the view range taken and the ship brought inside it.
void FillWindow() {
  BackLayer0BaseX = 0;
  BackLayer0BaseY = 0;
  BackLayer1BaseX = 0;
  BackLayer1BaseY = 0;
  SetUpScrollFromMarker();
  const bool restart = CheckpointIndex > 0;
  for (int column = SpawnLeftColumn; column < SpawnRightColumn; ++column) {
    for (int row = FirstScanRow(); row < EndScanRow(); ++row) RunCell(column, row, restart, true);
  }
  ViewTop = ViewTopTarget;
  ViewBottom = ViewBottomTarget;
  PlayerY = std::max(PlayerY, ViewTop + 200);
  PlayerY = std::min(PlayerY, ViewBottom - 200);
  PlayerX = CameraX + 160;
  ScrollSpeed = ScrollTargetSpeed;
}

}  // namespace

void SpawnFromEventLayer() {
  SpawnLeftColumn = DoubleToInt(-DrawOffsetX / kTileSize) - 1;
  SpawnRightColumn = DoubleToInt((-DrawOffsetX + kViewWidth) / kTileSize);
  SpawnTopRow = DoubleToInt(-DrawOffsetY / kTileSize) - 1;
  SpawnBottomRow = DoubleToInt((-DrawOffsetY + kViewHeight) / kTileSize);
  if (GameFrame == 0) {
    FillWindow();
    return;
  }
  ScanColumns();
  ScanRows();
  LastSpawnLeftColumn = SpawnLeftColumn;
  LastSpawnTopRow = SpawnTopRow;
}

void RunEventCode(int32_t value, int column, int row, bool restart, bool leading) {
  const int e = value % kVariantStep;
  const auto variant = static_cast<int16_t>(value / kVariantStep - 1);
  const bool spawns = StageClearTimer == 0 && !restart;
  if (e < 0 || e >= kCodeEnd) return;
  if (e >= kTrailingCommands) {
    if (!leading) RunMapCommand(e - (kTrailingCommands + 1), column, row);
  } else if (e >= kLeadingCommands) {
    if (leading) RunMapCommand(e - (kLeadingCommands + 1), column, row);
  } else if (e >= kPool1Codes) {
    if (spawns)
      SpawnPool1AtTile(static_cast<int16_t>(e - kPool1Codes), column, row, leading, variant);
  } else if (e >= kPool0Codes && e < kPool1Codes - 1) {
    if (spawns)
      SpawnPool0AtTile(static_cast<int16_t>(e - kPool0Codes), column, row, leading, variant);
  }
}

void RunMapCommand(int code, int column, int row) {
  const double x = column * kTileSize;
  const double y = row * kTileSize;
  if (code <= 14) {
    ScrollTargetSpeed = code * 0.5;
    return;
  }
  if (code <= 30) {
    ScrollAngle = static_cast<int16_t>((code - 15) * kAngleStep);
    return;
  }
  VerticalLoopBottom = 0;
  switch (code) {
    case 31:
      ViewTopTarget = y;
      break;
    case 32:
      HorizontalLoopStart = x;
      break;
    case 33: {
      // The window jumps to row y, and everything moves with it by the vertical shift.
      const double highest = MapHeight * kTileSize - kViewHeight;
      const double w = std::max(std::min(-DrawOffsetY, highest), 0.0);
      ViewTop = ViewTopTarget = y;
      ViewBottom = ViewBottomTarget = y + kViewHeight;
      VerticalShift = w - y;
      break;
    }
    case 34:
      ViewTopTarget = y;
      ViewBottomTarget = y + kViewHeight;
      break;
    case 35:
      VerticalFreeMode = 1;
      break;
    case 36:
      ViewTopTarget = y;
      VerticalLoopTop = y;
      break;
    case 47:
      ViewBottomTarget = y + kTileSize;
      break;
    case 48:
      HorizontalLoopEnd = x + kTileSize;
      MapLoopMode = 1;
      break;
    case 49:
      ViewRight = x + kTileSize;
      CameraX = x + kTileSize - kViewWidth;
      break;
    case 51:
      VerticalFreeMode = 0;
      break;
    case 52:
      ViewBottomTarget = VerticalLoopBottom = y + kViewHeight + kTileSize;
      break;
    default:
      break;
  }
}

void RestartAtCheckpoint() {
  PlayerActive = 1;
  if (CheckpointIndex < CheckpointCount) {
    GameFrame = 0;
    ClearAllObjects();
    PlacePlayerAtStart();
  } else {
    SceneFrame = 0;
    CurrentScene = kSceneStageClear;
  }
}

void ResetMapSpawner() {
  SpawnLeftColumn = 0;
  SpawnRightColumn = 0;
  SpawnTopRow = 0;
  SpawnBottomRow = 0;
  LastSpawnLeftColumn = 0;
  LastSpawnTopRow = 0;
  VerticalFreeMode = 0;
}

void DigestMapSpawner(StateDigest& d, DigestScope) {
  DigestValue(d, SpawnLeftColumn);
  DigestValue(d, SpawnRightColumn);
  DigestValue(d, SpawnTopRow);
  DigestValue(d, SpawnBottomRow);
  DigestValue(d, LastSpawnLeftColumn);
  DigestValue(d, LastSpawnTopRow);
  DigestValue(d, VerticalFreeMode);
}
