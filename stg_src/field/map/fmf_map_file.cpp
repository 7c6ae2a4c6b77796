#include "stg_src/field/map/fmf_map_file.h"

#include <cstdio>
#include <cstring>

#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/file_functions.h"

#include "stg_src/game/deterministic.h"

namespace {

uint32_t ReadLe32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void ParseHeader(const uint8_t* bytes, MapFileHeader* header) {
  std::memcpy(header->magic, bytes, 4);
  header->dataSize = ReadLe32(bytes + 4);
  header->width = ReadLe32(bytes + 8);
  header->height = ReadLe32(bytes + 12);
  header->chipWidth = bytes[16];
  header->chipHeight = bytes[17];
  header->layerCount = bytes[18];
  header->bitsPerCell = bytes[19];
}

int CellBytes(const MapFileHeader& header) { return header.bitsPerCell / 8; }

size_t LayerBytes(const MapFileHeader& header) {
  return static_cast<size_t>(header.width) * header.height * CellBytes(header);
}

// Null when the header describes layers that lie inside `available` data bytes; else the reason
// (in reason). The cell reads rely on every layer lying inside the data.
const char* CheckHeader(const MapFileHeader& header, uint64_t available, char* reason,
                        size_t reasonSize) {
  if (std::memcmp(header.magic, "FMF_", 4) != 0) return "先頭が FMF_ ではありません";
  if (header.bitsPerCell != 8 && header.bitsPerCell != 16) {
    std::snprintf(reason, reasonSize, "セルのビット数 %d は 8 でも 16 でもありません",
                  header.bitsPerCell);
    return reason;
  }
  if (header.width == 0 || header.height == 0) return "幅か高さが 0 です";
  uint64_t need = 0;
  if (__builtin_mul_overflow(static_cast<uint64_t>(header.width), header.height, &need) ||
      __builtin_mul_overflow(need, static_cast<uint64_t>(header.layerCount) * CellBytes(header),
                             &need) ||
      need > header.dataSize) {
    std::snprintf(reason, reasonSize, "データの大きさ %u が %d 層 %u x %u に足りません",
                  header.dataSize, header.layerCount, header.width, header.height);
    return reason;
  }
  if (header.dataSize > available) {
    std::snprintf(reason, reasonSize, "データの大きさ %u がファイルの残り %llu バイトを超えます",
                  header.dataSize, static_cast<unsigned long long>(available));
    return reason;
  }
  return nullptr;
}

// The header checked against the available bytes, and the data buffer allocated for it.
bool StartLoad(MapFile* map, const uint8_t* headerBytes, uint64_t available, const char* name) {
  MapFileHeader header;
  ParseHeader(headerBytes, &header);
  char reason[160];
  if (const char* refusal = CheckHeader(header, available, reason, sizeof reason)) {
    LogMapFileRefusal(name, refusal);
    return false;
  }
  uint8_t* data = static_cast<uint8_t*>(
      AllocTracked(header.dataSize ? header.dataSize : 1, __FILE__, __LINE__));
  if (data == nullptr) {
    LogMapFileRefusal(name, "メモリを確保できません");
    return false;
  }
  map->header = header;
  map->data = data;
  return true;
}

}  // namespace

void InitMapFile(MapFile* map) {
  std::memset(&map->header, 0, sizeof map->header);
  map->data = nullptr;
}

void DestroyMapFile(MapFile* map) { FreeMapFile(map); }

void FreeMapFile(MapFile* map) {
  FreeTracked(map->data);
  map->data = nullptr;
}

int LoadMapFileFromMemory(MapFile* map, const void* bytes, size_t size, const char* name) {
  FreeMapFile(map);
  if (bytes == nullptr || size < kMapFileHeaderSize) {
    return LogMapFileRefusal(name, "ヘッダが 20 バイトに足りません");
  }
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  if (!StartLoad(map, p, size - kMapFileHeaderSize, name)) return 0;
  std::memcpy(map->data, p + kMapFileHeaderSize, map->header.dataSize);
  return 1;
}

int LoadMapFile(MapFile* map, const char* name) {
  FreeMapFile(map);
  const FileHandle file = OpenFileForRead(name, 0);
  if (file == 0) return LogMapFileRefusal(name, "ファイルを開けません");
  int result = 0;
  uint8_t headerBytes[kMapFileHeaderSize];
  if (ReadStreamFile(headerBytes, 1, sizeof headerBytes, file) != sizeof headerBytes) {
    LogMapFileRefusal(name, "ヘッダが 20 バイトに足りません");
  } else {
    SeekStreamFile(file, 0, 2);
    const int length = TellStreamFile(file);
    SeekStreamFile(file, kMapFileHeaderSize, 0);
    const uint64_t available = length > kMapFileHeaderSize ? length - kMapFileHeaderSize : 0;
    if (StartLoad(map, headerBytes, available, name)) {
      if (ReadStreamFile(map->data, 1, map->header.dataSize, file) == map->header.dataSize) {
        result = 1;
      } else {
        LogMapFileRefusal(name, "データが途中で切れています");
        FreeMapFile(map);
      }
    }
  }
  CloseStreamFile(file);
  return result;
}

const uint8_t* GetMapFileLayer(const MapFile* map, int n) {
  const unsigned layer = static_cast<uint8_t>(n);
  if (map->data == nullptr || layer >= map->header.layerCount) return nullptr;
  return map->data + layer * LayerBytes(map->header);
}

int GetMapFileCell(const MapFile* map, int layer, int x, int y) {
  if (map->data == nullptr || static_cast<unsigned>(layer) >= map->header.layerCount ||
      static_cast<unsigned>(x) >= map->header.width ||
      static_cast<unsigned>(y) >= map->header.height) {
    return -1;
  }
  const uint8_t* cells = GetMapFileLayer(map, layer);
  const size_t index =
      static_cast<size_t>(static_cast<unsigned>(y)) * map->header.width + static_cast<unsigned>(x);
  if (map->header.bitsPerCell == 8) return cells[index];
  return cells[index * 2] | (cells[index * 2 + 1] << 8);
}

int GetMapFileWidth(const MapFile* map) { return static_cast<int>(map->header.width); }
int GetMapFileHeight(const MapFile* map) { return static_cast<int>(map->header.height); }
int GetMapFileLayerCount(const MapFile* map) { return map->data ? map->header.layerCount : 0; }

int LogMapFileRefusal(const char* name, const char* reason) {
  LogPrintf("FMFマップを読み込めません：%s（%s）", name ? name : "", reason);
  return 0;
}
