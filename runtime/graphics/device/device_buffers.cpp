#include "runtime/graphics/device/device_buffers.h"

#include <cstring>

#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/core/tracked_heap.h"

namespace {
void* gVertexBufferSlots[HandleCapacity(HandleTypeVertexBuffer)];
void* gIndexBufferSlots[HandleCapacity(HandleTypeIndexBuffer)];
void* gShaderSlots[HandleCapacity(HandleTypeShader)];

constexpr DWORD kStandardVertexFvf = 0x2D2;

int DeleteBuffer(HandleTable* table, int handle) {
  auto* record = static_cast<DeviceBufferRecord*>(GetHandleRecord(table, handle));
  if (!record) return -1;
  ReleaseAndClear(record->deviceBuffer);
  FreeTracked(record->systemCopy);
  return ReleaseHandle(table, handle);
}

int DeleteAllOf(HandleTable* table, int (*deleteOne)(int)) {
  if (!GraphicsInitialised) return 0;
  for (int slot = table->endIndex - 1; slot >= 0; --slot) {
    const int handle = HandleOfSlot(table, slot);
    if (handle != -1) deleteOne(handle);
  }
  return 0;
}

size_t BufferBytes(const DeviceBufferRecord* record) {
  return static_cast<size_t>(record->elementCount) * static_cast<size_t>(record->elementSize);
}

}  // namespace

HandleTable VertexBufferHandles = MakeHandleTable(HandleTypeVertexBuffer, gVertexBufferSlots);
HandleTable IndexBufferHandles = MakeHandleTable(HandleTypeIndexBuffer, gIndexBufferSlots);
HandleTable ShaderHandles = MakeHandleTable(HandleTypeShader, gShaderSlots);

int DeleteVertexBuffer(int handle) { return DeleteBuffer(&VertexBufferHandles, handle); }
int DeleteIndexBuffer(int handle) { return DeleteBuffer(&IndexBufferHandles, handle); }

int DeleteShader(int handle) {
  auto* record = static_cast<ShaderRecord*>(GetHandleRecord(&ShaderHandles, handle));
  if (!record) return -1;
  ReleaseAndClear(record->shader);
  FreeTracked(record->code);
  return ReleaseHandle(&ShaderHandles, handle);
}

int DeleteAllVertexBuffers() { return DeleteAllOf(&VertexBufferHandles, &DeleteVertexBuffer); }
int DeleteAllIndexBuffers() { return DeleteAllOf(&IndexBufferHandles, &DeleteIndexBuffer); }
int DeleteAllShaders() { return DeleteAllOf(&ShaderHandles, &DeleteShader); }

int CreateVertexBufferObject(DeviceBufferRecord* record) {
  if (!ShaderModel2Available || !Direct3DDevice) return 0;
  const size_t bytes = BufferBytes(record);
  IDirect3DVertexBuffer9* buffer = nullptr;
  void* data = nullptr;
  if (FAILED(Direct3DDevice->CreateVertexBuffer(static_cast<UINT>(bytes), D3DUSAGE_WRITEONLY,
                                                record->kind == 0 ? kStandardVertexFvf : 0,
                                                D3DPOOL_DEFAULT, &buffer, nullptr)) ||
      !buffer || FAILED(buffer->Lock(0, 0, &data, 0))) {
    ReleaseAndClear(buffer);
    return WriteLogText("頂点バッファの作成に失敗しました\n");
  }
  if (record->systemCopy) std::memcpy(data, record->systemCopy, bytes);
  buffer->Unlock();
  ReleaseAndClear(record->deviceBuffer);
  record->deviceBuffer = buffer;
  return 0;
}

int CreateIndexBufferObject(DeviceBufferRecord* record) {
  if (!ShaderModel2Available || !Direct3DDevice) return 0;
  const size_t bytes = BufferBytes(record);
  IDirect3DIndexBuffer9* buffer = nullptr;
  void* data = nullptr;
  if (FAILED(Direct3DDevice->CreateIndexBuffer(static_cast<UINT>(bytes), D3DUSAGE_WRITEONLY,
                                               record->kind == 0 ? D3DFMT_INDEX16 : D3DFMT_INDEX32,
                                               D3DPOOL_DEFAULT, &buffer, nullptr)) ||
      !buffer || FAILED(buffer->Lock(0, 0, &data, 0))) {
    ReleaseAndClear(buffer);
    return WriteLogText("インデックスバッファの作成に失敗しました\n");
  }
  if (record->systemCopy) std::memcpy(data, record->systemCopy, bytes);
  buffer->Unlock();
  ReleaseAndClear(record->deviceBuffer);
  record->deviceBuffer = buffer;
  return 0;
}

int CreateShaderObject(ShaderRecord* record) {
  if (!Direct3DDevice || !record->code) return -1;
  ReleaseAndClear(record->shader);
  const auto* code = static_cast<const DWORD*>(record->code);
  HRESULT hr;
  if (record->kind == 0) {
    IDirect3DVertexShader9* shader = nullptr;
    hr = Direct3DDevice->CreateVertexShader(code, &shader);
    record->shader = shader;
  } else {
    IDirect3DPixelShader9* shader = nullptr;
    hr = Direct3DDevice->CreatePixelShader(code, &shader);
    record->shader = shader;
  }
  return FAILED(hr) ? -1 : 0;
}

void ReleaseDeviceBufferObjects() {
  for (HandleTable* table : {&VertexBufferHandles, &IndexBufferHandles})
    for (int slot = 0; slot < table->endIndex; ++slot)
      if (auto* record = static_cast<DeviceBufferRecord*>(table->slots[slot]))
        ReleaseAndClear(record->deviceBuffer);
  for (int slot = 0; slot < ShaderHandles.endIndex; ++slot)
    if (auto* record = static_cast<ShaderRecord*>(ShaderHandles.slots[slot]))
      ReleaseAndClear(record->shader);
}
