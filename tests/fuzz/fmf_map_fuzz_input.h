// What the FMF map fuzz target does with one input, shared by the libFuzzer program and the fuzz
// smoke test: the reader parses the bytes from an exact-size copy, a loaded map is read cell by
// cell, and the stage loader's map steps take it as a background and as a main map (with and
// without the repeated rows). A result that breaks the reader's or the loader's promises aborts.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "stg_src/field/map/fmf_map_file.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/stage_state.h"

namespace fmf_fuzz {

inline void Require(bool ok) {
  if (!ok) std::abort();
}

// Reads every cell of every layer, and the cells just outside, of a loaded map.
inline void ReadLoadedMap(const MapFile* map) {
  const int layers = GetMapFileLayerCount(map);
  const int64_t width = map->header.width, height = map->header.height;
  const int cellMax = map->header.bitsPerCell == 8 ? 0xFF : 0xFFFF;
  for (int layer = 0; layer < layers; ++layer) {
    Require(GetMapFileLayer(map, layer) != nullptr);
    for (int64_t y = 0; y < height; ++y) {
      for (int64_t x = 0; x < width; ++x) {
        const int v = GetMapFileCell(map, layer, static_cast<int>(x), static_cast<int>(y));
        Require(v >= 0 && v <= cellMax);
      }
    }
  }
  Require(GetMapFileLayer(map, layers) == nullptr || layers == 256);
  Require(GetMapFileCell(map, layers, 0, 0) == -1);
  Require(GetMapFileCell(map, 0, -1, 0) == -1);
  Require(GetMapFileCell(map, 0, 0, -1) == -1);
  if (width <= 0x7FFFFFFF) Require(GetMapFileCell(map, 0, static_cast<int>(width), 0) == -1);
  if (height <= 0x7FFFFFFF) Require(GetMapFileCell(map, 0, 0, static_cast<int>(height)) == -1);
}

// The stage loader's map steps: a map is taken only when it fits the field's arrays.
inline void ReadAsStageMaps(const MapFile* map, bool repeatTopRows) {
  if (ReadBackgroundMap(map, "fuzz.fmf") == 1) {
    Require(BackMapWidth <= kBackMapColumns && BackMapHeight <= kBackMapRows);
  }
  MapRepeatTopRows = repeatTopRows ? 1 : 0;
  if (ReadMainMap(map, "fuzz.fmf") == 1) {
    Require(MapWidth <= kMainMapColumns && MapHeight <= kMainMapRows);
    Require(CheckpointCount >= 0 && CheckpointCount <= kMarkerCount);
  }
}

// Returns true when the bytes loaded.
inline bool ExerciseMapBytes(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
  if (size) std::memcpy(copy.get(), data, size);
  MapFile map;
  InitMapFile(&map);
  const bool loaded = LoadMapFileFromMemory(&map, copy.get(), size, "fuzz.fmf") == 1;
  Require(loaded == (map.data != nullptr));
  if (loaded) {
    ReadLoadedMap(&map);
    ReadAsStageMaps(&map, size % 2 == 1);
  }
  DestroyMapFile(&map);
  Require(map.data == nullptr);
  return loaded;
}

}  // namespace fmf_fuzz
