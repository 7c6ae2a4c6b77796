// The four-corner hardware draws: the graph under a blend graph through two affine maps, the
// graph a tile at a time onto a bilinear quad, one tile distorted (one quad or an 8 x 8 grid),
// and the indexed grid that draws it.
#include <cmath>
#include <cstring>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/draw/hard_draw_paths.h"
#include "runtime/graphics/draw/hard_draw_tiles.h"
#include "runtime/graphics/graph/graph_handles.h"

namespace {

struct Point {
  float x, y;
};

Point Sub(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
float Cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }

// The corners TL, TR, BL, BR of a corner array.
void CornerPoints(const float corners[8], Point p[4]) {
  for (int i = 0; i < 4; ++i) p[i] = {corners[2 * i], corners[2 * i + 1]};
}

bool AllFinite(const float* v, int n) {
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(v[i])) return false;
  return true;
}

void SendFvf(DWORD fvf) {
  if (DeviceStateCache.fvf == fvf) return;
  Direct3DDevice->SetFVF(fvf);
  DeviceStateCache.fvf = fvf;
}

// The largest grid whose indices fit in one 16-bit index list part.
constexpr int kGridIndexCapacity = 1000;

}  // namespace

int DrawIndexedGrid(int columns, const ScreenVertex* vertices, int rows) {
  if (!Direct3DDevice) return 0;
  if (columns < 2 || rows < 2) return -1;
  // One row pair must fit in the index list, and every index in 16 bits.
  if (2 * columns > kGridIndexCapacity || columns * rows > 65536) return -1;
  FlushVertexBatch();
  uint16_t indices[kGridIndexCapacity];
  int n = 0;
  const auto draw = [&] {
    if (n < 3) return;
    SendFvf(kScreenVertexFvf);
    Direct3DDevice->DrawIndexedPrimitiveUP(
        D3DPT_TRIANGLESTRIP, 0, static_cast<UINT>(columns * rows), static_cast<UINT>(n - 2),
        indices, D3DFMT_INDEX16, vertices, sizeof(ScreenVertex));
  };
  for (int r = 0; r + 1 < rows; ++r) {
    if (n + 2 + 2 * columns > kGridIndexCapacity) {
      draw();
      n = 0;
    }
    const int top = r * columns, below = (r + 1) * columns;
    if (n > 0) {
      // Degenerate joins: the last index again, then the next pair's first twice.
      indices[n] = indices[n - 1];
      ++n;
      indices[n++] = static_cast<uint16_t>(below);
    }
    for (int j = 0; j < columns; ++j) {
      indices[n++] = static_cast<uint16_t>(below + j);
      indices[n++] = static_cast<uint16_t>(top + j);
    }
  }
  draw();
  return 0;
}

void HardDrawTileDistorted(const float corners[8], const GraphTileDraw* tile) {
  SelectTileTexture(*tile);
  Point p[4];
  CornerPoints(corners, p);
  const Point top = Sub(p[1], p[0]), bottom = Sub(p[3], p[2]);
  const Point left = Sub(p[2], p[0]), right = Sub(p[3], p[1]);
  if (std::fabs(top.x - bottom.x) < 1.0f && std::fabs(top.y - bottom.y) < 1.0f &&
      std::fabs(left.x - right.x) < 1.0f && std::fabs(left.y - right.y) < 1.0f) {
    QuadCorner q[4];
    TileCorners(*tile, q);
    for (int i = 0; i < 4; ++i) {
      q[i].x = p[i].x;
      q[i].y = p[i].y;
    }
    const bool turned = Cross(top, left) <= 0.0f && Cross(Sub(p[2], p[3]), Sub(p[1], p[3])) <= 0.0f;
    QueueTileQuad(*tile, q, turned);
    return;
  }

  // Opposite edges that differ by a pixel or more: a grid, so that the texture follows the
  // quad's bilinear shape instead of folding along one diagonal.
  static ScreenVertex grid[64];
  const GraphTileVertex& tl = tile->vertices[0];
  const GraphTileVertex& br = tile->vertices[3];
  const float width = br.x - tl.x, height = br.y - tl.y;
  // An edge of the tile's texture area that is not on the texture's border is pulled in by a
  // thousandth of a graph pixel, so that the grid never samples the neighbouring texels.
  const float uStart = tl.u >= 0.000001f ? tl.u + 0.001f * (br.u - tl.u) / width : tl.u;
  const float uEnd = br.u <= 0.99999f ? br.u - 0.001f * (br.u - tl.u) / width : br.u;
  const float vStart = tl.v >= 0.000001f ? tl.v + 0.001f * (br.v - tl.v) / height : tl.v;
  const float vEnd = br.v <= 0.99999f ? br.v - 0.001f * (br.v - tl.v) / height : br.v;
  const float uStep = (uEnd - uStart) / 7.0f, vStep = (vEnd - vStart) / 7.0f;
  const Point leftStep = {left.x / 7.0f, left.y / 7.0f},
              rightStep = {right.x / 7.0f, right.y / 7.0f};
  Point rowLeft = p[0], rowRight = p[1];
  float v = vStart;
  for (int r = 0; r < 8; ++r) {
    const Point step = {(rowRight.x - rowLeft.x) / 7.0f, (rowRight.y - rowLeft.y) / 7.0f};
    Point at = rowLeft;
    float u = uStart;
    for (int c = 0; c < 8; ++c) {
      grid[8 * r + c] = {at.x, at.y, kDepth2D, 1.0f, PackedDrawColor, u, v};
      at.x += step.x;
      at.y += step.y;
      u += uStep;
    }
    rowLeft.x += leftStep.x;
    rowLeft.y += leftStep.y;
    rowRight.x += rightStep.x;
    rowRight.y += rightStep.y;
    v += vStep;
  }
  DrawIndexedGrid(8, grid, 8);
}

int DrawTilesFourCorners(int graph, const float corners[8], int transparent) {
  const GraphEntry* entry = TextureGraphEntry(graph);
  if (entry == nullptr || !HardDeviceReady()) return -1;
  if (!AllFinite(corners, 8)) return 0;
  if (BlendSelection.blendTexture != nullptr) {
    int k[8];
    for (int i = 0; i < 8; ++i) k[i] = static_cast<int>(corners[i]);
    return HardDrawGraphFourCorners(graph, k, transparent);
  }
  if (PrepareGraphDraw(entry, transparent) != 0) return -1;
  if (entry->tileDrawCount == 1) {
    HardDrawTileDistorted(corners, &entry->tileDraws[0]);
    return 0;
  }
  Point p[4];
  CornerPoints(corners, p);
  const float w = static_cast<float>(entry->width), h = static_cast<float>(entry->height);
  for (int t = 0; t < entry->tileDrawCount; ++t) {
    const GraphTileDraw& tile = entry->tileDraws[t];
    float placed[8];
    for (int i = 0; i < 4; ++i) {
      const float fu = tile.vertices[i].x / w, fv = tile.vertices[i].y / h;
      const Point l = {p[0].x + (p[2].x - p[0].x) * fv, p[0].y + (p[2].y - p[0].y) * fv};
      const Point r = {p[1].x + (p[3].x - p[1].x) * fv, p[1].y + (p[3].y - p[1].y) * fv};
      placed[2 * i] = l.x + fu * (r.x - l.x);
      placed[2 * i + 1] = l.y + fu * (r.y - l.y);
    }
    HardDrawTileDistorted(placed, &tile);
  }
  return 0;
}

int HardDrawGraphFourCorners(int graph, const int k[8], int transparent) {
  const GraphEntry* entry = TextureGraphEntry(graph);
  if (entry == nullptr || !HardDeviceReady()) return -1;
  float f[8];
  for (int i = 0; i < 8; ++i) f[i] = static_cast<float>(k[i]);
  if (k[0] == k[4] && k[2] == k[6] && k[1] == k[3] && k[5] == k[7])
    return HardDrawGraphStretched(k[0], k[1], k[6], k[7], f[0], f[1], f[6], f[7], graph,
                                  transparent, 1);
  if (BlendSelection.blendTexture == nullptr) return DrawTilesFourCorners(graph, f, transparent);

  FlushVertexBatch();
  if (PrepareGraphDraw(entry, transparent | kDrawKeepAlphaTest) != 0) return -1;
  Point p[4];
  CornerPoints(f, p);
  for (Point& q : p) {
    q.x -= 0.5f;
    q.y -= 0.5f;
  }
  const float w = static_cast<float>(entry->width), h = static_cast<float>(entry->height);
  const float bw = BlendSelection.blendTextureInvWidth, bh = BlendSelection.blendTextureInvHeight;
  for (int t = 0; t < entry->tileDrawCount; ++t) {
    const GraphTileDraw& tile = entry->tileDraws[t];
    SelectTileTexture(tile);
    // Corners on or above the bottom-left to top-right diagonal follow the top-left triangle's
    // map, the others the bottom-right triangle's.
    BlendScreenVertex v[4];
    for (int i = 0; i < 4; ++i) {
      const GraphTileVertex& c = tile.vertices[i];
      Point at;
      if (tile.onDiagonal[i]) {
        at = {p[0].x + c.x * (p[1].x - p[0].x) / w + c.y * (p[2].x - p[0].x) / h,
              p[0].y + c.x * (p[1].y - p[0].y) / w + c.y * (p[2].y - p[0].y) / h};
      } else {
        at = {p[3].x + (w - c.x) * (p[2].x - p[3].x) / w + (h - c.y) * (p[1].x - p[3].x) / h,
              p[3].y + (w - c.x) * (p[2].y - p[3].y) / w + (h - c.y) * (p[1].y - p[3].y) / h};
      }
      v[i] = {at.x,        at.y,     kDepth2D, 1.0f, PackedDrawColor,
              0xFFFFFFFFu, c.x * bw, c.y * bh, c.u,  c.v};
    }
    const Point a0 = {v[0].x, v[0].y}, a1 = {v[1].x, v[1].y}, a2 = {v[2].x, v[2].y},
                a3 = {v[3].x, v[3].y};
    const float a = Cross(Sub(a1, a0), Sub(a2, a0)), b = Cross(Sub(a2, a3), Sub(a1, a3));
    if (a < 0.0f || (a == 0.0f && b <= 0.0f)) {
      const BlendScreenVertex keep = v[1];
      v[1] = v[2];
      v[2] = keep;
    }
    // A border of 255 hides the whole graph, as it discards batched quads.
    if (SkipBatchDraw) continue;
    SendFvf(kBlendScreenVertexFvf);
    Direct3DDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, v, sizeof(BlendScreenVertex));
  }
  return 0;
}
