// What the hardware draw paths share: the graph a draw may use, the draw-state preparation for
// it, and the queueing of one tile as a quad of the vertex batch.
#pragma once

#include "port/win32.h"

struct GraphEntry;
struct GraphTileDraw;

// The 2-D depth written as z of every vertex of the draw paths.
inline constexpr float kDepth2D = 0.2f;

// One corner of a quad: screen position, graph texture coordinates and the blend graph's.
struct QuadCorner {
  float x, y;
  float u, v;
  float blendU, blendV;
};

// The record of a graph stored as texture tiles, or null.
const GraphEntry* TextureGraphEntry(int graph);
// The device is there to draw with.
bool HardDeviceReady();
// Opens a scene and prepares the draw state for the graph's first texture. 0 or -1.
int PrepareGraphDraw(const GraphEntry* entry, int flags);
// The tile's corners in graph pixels, with its texture coordinates and the blend graph's
// (corner / blend texture size, the blend graph laid over the graph).
void TileCorners(const GraphTileDraw& tile, QuadCorner out[4]);
// Selects the tile's texture (applying a pending blend state) and queues the quad TL, TR, BL,
// BR as the two triangles 0-1-2 and 3-4-5 of the batch's current vertex kind, the draw colour
// in the first vertex of each. swapped exchanges vertices 1 and 2 (and 4 and 5), for quads whose
// corners come turned over.
void QueueTileQuad(const GraphTileDraw& tile, const QuadCorner corners[4], bool swapped = false);
// Selects the tile's texture and applies a pending blend state.
void SelectTileTexture(const GraphTileDraw& tile);
