#include "runtime/graphics/device/shader_pack.h"

#include <cstring>

#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/platform/core/tracked_heap.h"
#include "runtime/platform/files/lz_block.h"

ArchiveRecord ShaderArchive = {};
uint8_t* ShaderArchiveImage = nullptr;
uint8_t* ShaderPack = nullptr;
size_t ShaderPackSize = 0;
const uint8_t* VertexShaderCode[kVertexShaderSlots] = {};
const uint8_t* PixelShaderCode[kPixelShaderSlots] = {};
IDirect3DVertexShader9* VertexShaderObjects[kVertexShaderSlots] = {};
IDirect3DPixelShader9* PixelShaderObjects[kPixelShaderSlots] = {};
IDirect3DVertexDeclaration9* ShaderVertexDeclarations[kShaderDeclarationCount] = {};

namespace {

// A whole LZ block decoded into a new tracked block; null when it does not decode.
uint8_t* DecodeBlock(const void* block, size_t size, size_t* decodedSize) {
  const int need = DecodeLzBlock(block, size, nullptr, 0);
  if (need < 0) return nullptr;
  auto* out =
      static_cast<uint8_t*>(AllocTracked(need ? static_cast<size_t>(need) : 1, __FILE__, __LINE__));
  if (!out) return nullptr;
  if (DecodeLzBlock(block, size, out, static_cast<size_t>(need)) != need) {
    FreeTracked(out);
    return nullptr;
  }
  *decodedSize = static_cast<size_t>(need);
  return out;
}

uint16_t SizeAt(const uint8_t* pack, int index) {
  return static_cast<uint16_t>(pack[index * 2] | pack[index * 2 + 1] << 8);
}

// Every code block of the size table must lie inside the pack.
bool SizesFit(const uint8_t* pack, size_t packSize) {
  if (packSize < kShaderSizeTableBytes) return false;
  size_t position = kShaderSizeTableBytes;
  for (int i = 0; i < kShaderSizeEntries; ++i) position += SizeAt(pack, i);
  return position <= packSize;
}

void IndexPack(const uint8_t* pack) {
  size_t position = kShaderSizeTableBytes;
  for (int i = 0; i < kShaderSizeEntries; ++i) {
    const uint16_t size = SizeAt(pack, i);
    const uint8_t* code = size ? pack + position : nullptr;
    if (i < kVertexShaderSlots)
      VertexShaderCode[i] = code;
    else
      PixelShaderCode[i - kVertexShaderSlots] = code;
    position += size;
  }
}

void FailLoad() {
  CloseArchive(&ShaderArchive);
  FreeTracked(ShaderArchiveImage);
  ShaderArchiveImage = nullptr;
}

}  // namespace

int LoadShaderPack() {
  return LoadShaderPackFromBlock(EmbeddedShaderPackBlock, EmbeddedShaderPackBlockSize);
}

int LoadShaderPackFromBlock(const void* block, size_t size) {
  if (ShaderPack) return 1;
  std::memset(&ShaderArchive, 0, sizeof(ShaderArchive));
  ClearArchiveRecord(&ShaderArchive);
  size_t imageSize = 0;
  ShaderArchiveImage = DecodeBlock(block, size, &imageSize);
  if (!ShaderArchiveImage) return 0;
  if (OpenArchiveInMemory(&ShaderArchive, ShaderArchiveImage, imageSize, nullptr) != 0) {
    FreeTracked(ShaderArchiveImage);
    ShaderArchiveImage = nullptr;
    return 0;
  }
  const ArchiveEntry* entry = LookupArchiveFile(kShaderPackEntryName, &ShaderArchive);
  int offset = 0, plainSize = 0;
  if (!entry || FindArchiveEntry(&ShaderArchive, kShaderPackEntryName, &offset, &plainSize) != 0) {
    FailLoad();
    return 0;
  }
  const uint8_t* data = ShaderArchiveImage + offset;
  const size_t available = imageSize - static_cast<size_t>(offset);
  size_t packSize = 0;
  uint8_t* pack = nullptr;
  if (ShaderArchive.Header.Version >= 2 && entry->CompressedSize != kArchiveStored) {
    if (entry->CompressedSize <= available)
      pack = DecodeBlock(data, entry->CompressedSize, &packSize);
  } else if (static_cast<size_t>(plainSize) <= available) {
    pack = static_cast<uint8_t*>(AllocTracked(plainSize ? plainSize : 1, __FILE__, __LINE__));
    if (pack) std::memcpy(pack, data, static_cast<size_t>(plainSize));
    packSize = static_cast<size_t>(plainSize);
  }
  if (!pack || !SizesFit(pack, packSize)) {
    FreeTracked(pack);
    FailLoad();
    return 0;
  }
  ShaderPack = pack;
  ShaderPackSize = packSize;
  IndexPack(pack);
  return 1;
}

void FreeShaderPack() {
  CloseArchive(&ShaderArchive);
  FreeTracked(ShaderArchiveImage);
  ShaderArchiveImage = nullptr;
  FreeTracked(ShaderPack);
  ShaderPack = nullptr;
  ShaderPackSize = 0;
  std::memset(VertexShaderCode, 0, sizeof(VertexShaderCode));
  std::memset(PixelShaderCode, 0, sizeof(PixelShaderCode));
}

namespace {

void UnsetShaders() {
  if (!Direct3DDevice) return;
  Direct3DDevice->SetVertexShader(nullptr);
  Direct3DDevice->SetPixelShader(nullptr);
  DeviceStateCache.vertexShader = nullptr;
  DeviceStateCache.pixelShader = nullptr;
}

template <typename T, size_t N>
void ReleaseAll(T* (&objects)[N]) {
  for (T*& object : objects) ReleaseAndClear(object);
}

}  // namespace

int ReleaseShaderDeclarations() {
  UnsetShaders();
  ReleaseAll(ShaderVertexDeclarations);
  return 0;
}

int ReleaseShaderObjects() {
  UnsetShaders();
  ReleaseAll(PixelShaderObjects);
  ReleaseAll(VertexShaderObjects);
  return 0;
}
