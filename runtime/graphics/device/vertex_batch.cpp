#include "runtime/graphics/device/vertex_batch.h"

UntexturedVertex UntexturedBatch[kUntexturedBatchCapacity];
ScreenVertex TexturedBatch[kTexturedBatchCapacity];
BlendScreenVertex BlendBatch[kBlendBatchCapacity];
VertexBatchState VertexBatch = {0, BatchVertexUntextured, D3DPT_TRIANGLELIST,
                                reinterpret_cast<uint8_t*>(UntexturedBatch)};
int SkipBatchDraw = 0;
