#include "runtime/graphics/device/vertex_batch.h"

#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/platform/window/window_state.h"

UntexturedVertex UntexturedBatch[kUntexturedBatchCapacity];
ScreenVertex TexturedBatch[kTexturedBatchCapacity];
BlendScreenVertex BlendBatch[kBlendBatchCapacity];
VertexBatchState VertexBatch = {0, BatchVertexUntextured, D3DPT_TRIANGLELIST,
                                reinterpret_cast<uint8_t*>(UntexturedBatch)};
int SkipBatchDraw = 0;

namespace {

struct KindInfo {
  uint8_t* buffer;
  int stride;
  int capacity;
  DWORD fvf;
};

KindInfo Kind(int kind) {
  switch (kind) {
    case BatchVertexTextured:
      return {reinterpret_cast<uint8_t*>(TexturedBatch), sizeof(ScreenVertex),
              kTexturedBatchCapacity, kScreenVertexFvf};
    case BatchVertexBlend:
      return {reinterpret_cast<uint8_t*>(BlendBatch), sizeof(BlendScreenVertex),
              kBlendBatchCapacity, kBlendScreenVertexFvf};
    default:
      return {reinterpret_cast<uint8_t*>(UntexturedBatch), sizeof(UntexturedVertex),
              kUntexturedBatchCapacity, kUntexturedVertexFvf};
  }
}

UINT PrimitiveCount(D3DPRIMITIVETYPE type, int count) {
  switch (type) {
    case D3DPT_POINTLIST:
      return static_cast<UINT>(count);
    case D3DPT_LINELIST:
      return static_cast<UINT>(count / 2);
    case D3DPT_LINESTRIP:
      return static_cast<UINT>(count - 1);
    case D3DPT_TRIANGLELIST:
      return static_cast<UINT>(count / 3);
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
      return static_cast<UINT>(count - 2);
    default:
      return 0;
  }
}

// Draws what is queued (unless the quit message was seen or the state discards it) and empties
// the batch. Without a device the vertices are only dropped.
void DrawAndEmpty() {
  const KindInfo kind = Kind(VertexBatch.kind);
  if (Direct3DDevice && VertexBatch.count != 0 && !WindowState.quitSeen) {
    BeginSceneIfNeeded();
    if (!SkipBatchDraw) {
      const UINT primitives = PrimitiveCount(VertexBatch.primitiveType, VertexBatch.count);
      if (DeviceStateCache.fvf != kind.fvf) {
        Direct3DDevice->SetFVF(kind.fvf);
        DeviceStateCache.fvf = kind.fvf;
      }
      Direct3DDevice->DrawPrimitiveUP(VertexBatch.primitiveType, primitives, kind.buffer,
                                      static_cast<UINT>(kind.stride));
    }
  }
  VertexBatch.count = 0;
  VertexBatch.cursor = kind.buffer;
}

}  // namespace

void InitializeVertexBatchBuffers() {
  for (UntexturedVertex& v : UntexturedBatch) {
    v.z = 0.0f;
    v.rhw = 1.0f;
  }
  for (ScreenVertex& v : TexturedBatch) {
    v.z = 0.0f;
    v.rhw = 1.0f;
  }
  for (BlendScreenVertex& v : BlendBatch) {
    v.z = 0.0f;
    v.rhw = 1.0f;
    v.specular = 0xFFFFFFFFu;
  }
  VertexBatch.count = 0;
  VertexBatch.cursor = Kind(VertexBatch.kind).buffer;
}

int FlushVertexBatch() {
  if (!Direct3DDevice) return -1;
  DrawAndEmpty();
  return 0;
}

void* QueueBatchVertices(int n) {
  const KindInfo kind = Kind(VertexBatch.kind);
  if (n <= 0 || n >= kind.capacity) return nullptr;
  // The flush before a batch that would overflow keeps the same discard rules as any other, so
  // quads queued under a discarding state are never drawn.
  if (VertexBatch.primitiveType != D3DPT_TRIANGLELIST || VertexBatch.count + n >= kind.capacity)
    DrawAndEmpty();
  VertexBatch.primitiveType = D3DPT_TRIANGLELIST;
  void* at = VertexBatch.cursor;
  VertexBatch.cursor += static_cast<ptrdiff_t>(n) * kind.stride;
  VertexBatch.count += n;
  return at;
}

void SetBatchVertexKind(int kind) {
  if (VertexBatch.kind == kind) return;
  DrawAndEmpty();
  VertexBatch.kind = kind;
  VertexBatch.cursor = Kind(kind).buffer;
}
