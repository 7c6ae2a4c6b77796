#include "runtime/graphics/device/device_buffers.h"

namespace {
void* gVertexBufferSlots[HandleCapacity(HandleTypeVertexBuffer)];
void* gIndexBufferSlots[HandleCapacity(HandleTypeIndexBuffer)];
void* gShaderSlots[HandleCapacity(HandleTypeShader)];
}  // namespace

HandleTable VertexBufferHandles = MakeHandleTable(HandleTypeVertexBuffer, gVertexBufferSlots);
HandleTable IndexBufferHandles = MakeHandleTable(HandleTypeIndexBuffer, gIndexBufferSlots);
HandleTable ShaderHandles = MakeHandleTable(HandleTypeShader, gShaderSlots);
