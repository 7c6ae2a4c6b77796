// The vertex batch: the hardware draw paths append pre-transformed vertices to one of three
// static buffers, and FlushVertexBatch sends the whole batch with one DrawPrimitiveUP. Every
// state change flushes first, so a batch never mixes states.
#pragma once

#include <cstdint>

#include "port/win32.h"

// x, y, z, rhw, diffuse: 20 bytes.
struct UntexturedVertex {
  float x, y, z, rhw;
  uint32_t diffuse;
};
// x, y, z, rhw, diffuse, u, v: 28 bytes.
struct ScreenVertex {
  float x, y, z, rhw;
  uint32_t diffuse;
  float u, v;
};
// Two textures: the blend graph's coordinates, then the graph's: 40 bytes.
struct BlendScreenVertex {
  float x, y, z, rhw;
  uint32_t diffuse;
  uint32_t specular;
  float blendU, blendV;
  float u, v;
};
static_assert(sizeof(UntexturedVertex) == 20 && sizeof(ScreenVertex) == 28 &&
              sizeof(BlendScreenVertex) == 40);

enum BatchVertexKind {
  BatchVertexUntextured = 0,
  BatchVertexTextured = 1,
  BatchVertexBlend = 2,
};

inline constexpr int kUntexturedBatchCapacity = 3225;
inline constexpr int kTexturedBatchCapacity = 2340;
inline constexpr int kBlendBatchCapacity = 1638;
inline constexpr DWORD kUntexturedVertexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
inline constexpr DWORD kScreenVertexFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
inline constexpr DWORD kBlendScreenVertexFvf =
    D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX2;

extern UntexturedVertex UntexturedBatch[kUntexturedBatchCapacity];
extern ScreenVertex TexturedBatch[kTexturedBatchCapacity];
extern BlendScreenVertex BlendBatch[kBlendBatchCapacity];

struct VertexBatchState {
  int count;
  int kind;  // BatchVertexKind, chosen by ApplyBlendState
  D3DPRIMITIVETYPE primitiveType;
  uint8_t* cursor;  // the next vertex of the kind's buffer
};
extern VertexBatchState VertexBatch;
// Queued vertices are emptied without drawing (a blend graph with border 255).
extern int SkipBatchDraw;

// z 0 and rhw 1 in every vertex, specular white in the two-texture vertices; the cursor back
// to the start. The hardware start-up runs it once.
void InitializeVertexBatchBuffers();
// -1 without a device (the batch is left as it is); else draws what is queued (unless the quit
// message was seen or SkipBatchDraw is set) and empties the batch. 0.
int FlushVertexBatch();
// Flushes, then makes kind the batch's vertex kind (the cursor at its buffer's start).
void SetBatchVertexKind(int kind);
// The queueing contract: room for n more vertices of the current kind as a triangle list,
// flushing first when they would not fit. Returns where to write them (the count and cursor
// already include them), or null for n outside 1..capacity - 1.
void* QueueBatchVertices(int n);
