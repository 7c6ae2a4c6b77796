// The FMF tile-map reader: a 20-byte little-endian header ("FMF_", data size, width, height,
// chip width and height, layer count, bits per cell) and the layers one after another, cells row
// by row. The header is checked against the bytes that follow before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMapFileHeaderSize = 20;

struct MapFileHeader {
  char magic[4];
  uint32_t dataSize;
  uint32_t width;
  uint32_t height;
  uint8_t chipWidth;
  uint8_t chipHeight;
  uint8_t layerCount;
  uint8_t bitsPerCell;  // 8 or 16
};

// Owns its data buffer (tracked heap); data is null while nothing is loaded.
struct MapFile {
  MapFileHeader header;
  uint8_t* data;
};

void InitMapFile(MapFile* map);
void DestroyMapFile(MapFile* map);
// Frees what was loaded, then reads the file through the runtime's file functions (so a data
// archive can serve it). 1, or 0 with a log line naming the file and the reason, nothing loaded.
int LoadMapFile(MapFile* map, const char* name);
// The same from bytes in memory, parsed in one step; name only labels the log line.
int LoadMapFileFromMemory(MapFile* map, const void* bytes, size_t size, const char* name);
void FreeMapFile(MapFile* map);

// Layer n (taken as an unsigned byte), or null when nothing is loaded or n is past the count.
const uint8_t* GetMapFileLayer(const MapFile* map, int n);
// The cell value (0..255 or 0..65535), or -1 outside the layers, columns or rows.
int GetMapFileCell(const MapFile* map, int layer, int x, int y);
int GetMapFileWidth(const MapFile* map);
int GetMapFileHeight(const MapFile* map);
int GetMapFileLayerCount(const MapFile* map);

// The one log line of a map that cannot be used: the file and the reason. Returns 0.
int LogMapFileRefusal(const char* name, const char* reason);
