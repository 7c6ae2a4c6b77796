// The plain, stretched and rotated hardware draws, and the tile queueing they share with the
// distortion draws.
#include <cmath>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/device_state_cache.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/draw/hard_draw_paths.h"
#include "runtime/graphics/draw/hard_draw_tiles.h"
#include "runtime/graphics/graph/graph_handles.h"

const GraphEntry* TextureGraphEntry(int graph) {
  const GraphEntry* entry = GetGraphEntry(graph);
  if (entry == nullptr || entry->textureSet == nullptr ||
      !entry->textureSet->record.TextureBacked || entry->tileDrawCount == 0)
    return nullptr;
  return entry;
}

bool HardDeviceReady() { return Direct3DDevice != nullptr; }

int PrepareGraphDraw(const GraphEntry* entry, int flags) {
  BeginSceneIfNeeded();
  const GraphTextureSet* set = entry->textureSet;
  return PrepareDrawState(set->record.HasAlpha, set->record.AlphaTest, set->tiles[0].texture,
                          flags);
}

void TileCorners(const GraphTileDraw& tile, QuadCorner out[4]) {
  const float bw = BlendSelection.blendTextureInvWidth, bh = BlendSelection.blendTextureInvHeight;
  for (int i = 0; i < 4; ++i) {
    const GraphTileVertex& v = tile.vertices[i];
    out[i] = {v.x, v.y, v.u, v.v, v.x * bw, v.y * bh};
  }
}

void SelectTileTexture(const GraphTileDraw& tile) {
  SetDeviceTexture(tile.tile->texture);
  if (BlendStateDirty || TextureDirty) ApplyBlendState(1, nullptr, 0);
}

void QueueTileQuad(const GraphTileDraw& tile, const QuadCorner c[4], bool swapped) {
  SelectTileTexture(tile);
  // A blend mode without a row leaves the batch untextured, and draws nothing anyway.
  if (VertexBatch.kind == BatchVertexUntextured) return;
  void* at = QueueBatchVertices(6);
  if (at == nullptr) return;
  static constexpr int kPlain[6] = {0, 1, 2, 3, 2, 1};
  static constexpr int kSwapped[6] = {0, 2, 1, 3, 1, 2};
  const int* kOrder = swapped ? kSwapped : kPlain;
  const uint32_t diffuse = PackedDrawColor;
  if (VertexBatch.kind == BatchVertexBlend) {
    auto* v = static_cast<BlendScreenVertex*>(at);
    for (int i = 0; i < 6; ++i) {
      const QuadCorner& q = c[kOrder[i]];
      v[i].x = q.x;
      v[i].y = q.y;
      v[i].z = kDepth2D;
      v[i].blendU = q.blendU;
      v[i].blendV = q.blendV;
      v[i].u = q.u;
      v[i].v = q.v;
    }
    v[0].diffuse = v[3].diffuse = diffuse;
  } else {
    auto* v = static_cast<ScreenVertex*>(at);
    for (int i = 0; i < 6; ++i) {
      const QuadCorner& q = c[kOrder[i]];
      v[i].x = q.x;
      v[i].y = q.y;
      v[i].z = kDepth2D;
      v[i].u = q.u;
      v[i].v = q.v;
    }
    v[0].diffuse = v[3].diffuse = diffuse;
  }
}

namespace {

bool Finite(float v) { return std::isfinite(v); }

bool InsideDrawArea(int x1, int y1, int x2, int y2) {
  return x1 >= DrawArea.left && y1 >= DrawArea.top && x2 <= DrawArea.right && y2 <= DrawArea.bottom;
}

// Moves a corner that lies outside [lo, hi] in one axis onto the nearer bound; its texture
// coordinate moves with it at texPerPixel (graph texture) and blendPerPixel (blend graph).
void ClampAxis(float* position, float* tex, float* blend, float lo, float hi, float texPerPixel,
               float blendPerPixel) {
  float to = *position;
  if (to < lo) to = lo;
  if (to > hi) to = hi;
  const float moved = to - *position;
  if (moved == 0.0f) return;
  *tex += moved * texPerPixel;
  *blend += moved * blendPerPixel;
  *position = to;
}

// Clamps the four corners of a quad to the rectangle (left, top)-(right, bottom). scaleX and
// scaleY are screen pixels per graph pixel.
void ClampQuad(QuadCorner c[4], const GraphTileDraw& tile, float left, float top, float right,
               float bottom, float scaleX, float scaleY) {
  const float tw = static_cast<float>(tile.tile->textureWidth);
  const float th = static_cast<float>(tile.tile->textureHeight);
  const float bw = BlendSelection.blendTextureInvWidth, bh = BlendSelection.blendTextureInvHeight;
  for (int i = 0; i < 4; ++i) {
    ClampAxis(&c[i].x, &c[i].u, &c[i].blendU, left, right, 1.0f / (scaleX * tw), bw / scaleX);
    ClampAxis(&c[i].y, &c[i].v, &c[i].blendV, top, bottom, 1.0f / (scaleY * th), bh / scaleY);
  }
}

// The quarter-turn snap applies within 4 degrees of a quarter turn, and to every angle below
// -4 or above 364 degrees.
bool NearQuarterTurn(double angle) {
  static constexpr double kBounds[][2] = {{-0.0698131700797732, 0.0698131700797732},
                                          {1.50098315671512, 1.64060949687467},
                                          {3.07177948351002, 3.21140582366957},
                                          {4.64257581030492, 4.78220215046446},
                                          {6.21337213709981, 6.35299847725936}};
  if (angle < kBounds[0][0] || angle > kBounds[4][1]) return true;
  for (const auto& b : kBounds)
    if (angle >= b[0] && angle <= b[1]) return true;
  return false;
}

bool Agree(float a, float b) { return std::fabs(a - b) < 0.01f; }

bool NearWhole(float v) {
  const float a = std::fabs(v);
  const float f = a - std::floor(a);
  return f < 0.001f || f > 0.999f;
}

enum class Snap { None, Fractional, QuarterTurn };

void ShiftX(QuadCorner c[4]) {
  for (int i = 0; i < 4; ++i) c[i].x -= 0.5f;
}
void ShiftY(QuadCorner c[4]) {
  for (int i = 0; i < 4; ++i) c[i].y -= 0.5f;
}

}  // namespace

int HardDrawGraphAt(int graph, int x, int y, float xf, float yf, int transparent,
                    int keepAlphaTest) {
  const GraphEntry* entry = TextureGraphEntry(graph);
  if (entry == nullptr || !HardDeviceReady()) return -1;
  if (!Finite(xf) || !Finite(yf)) return 0;
  xf = static_cast<float>(xf - 0.5);
  yf = static_cast<float>(yf - 0.5);
  if (PrepareGraphDraw(entry, transparent | keepAlphaTest * kDrawKeepAlphaTest) != 0) return -1;
  const bool inside = InsideDrawArea(x, y, x + entry->width, y + entry->height);
  for (int t = 0; t < entry->tileDrawCount; ++t) {
    const GraphTileDraw& tile = entry->tileDraws[t];
    QuadCorner c[4];
    TileCorners(tile, c);
    for (QuadCorner& q : c) {
      q.x += xf;
      q.y += yf;
    }
    if (!inside)
      ClampQuad(c, tile, DrawAreaF[0], DrawAreaF[1], DrawAreaF[2], DrawAreaF[3], 1.0f, 1.0f);
    QueueTileQuad(tile, c);
  }
  return 0;
}

int HardDrawGraphStretched(int x1, int y1, int x2, int y2, float x1f, float y1f, float x2f,
                           float y2f, int graph, int transparent, int filterSensitive) {
  const GraphEntry* entry = TextureGraphEntry(graph);
  if (entry == nullptr || !HardDeviceReady()) return -1;
  if (x2 - x1 == 0 || y2 - y1 == 0) return -1;
  if (!Finite(x1f) || !Finite(y1f) || !Finite(x2f) || !Finite(y2f)) return 0;
  const int flags =
      transparent | (filterSensitive && TextureFilterMode != 1 ? kDrawKeepAlphaTest : 0);
  if (PrepareGraphDraw(entry, flags) != 0) return -1;
  const float sx = (x2f - x1f) / static_cast<float>(entry->width);
  const float sy = (y2f - y1f) / static_cast<float>(entry->height);
  const float ox = static_cast<float>(x1f - 0.5), oy = static_cast<float>(y1f - 0.5);
  const bool inside =
      InsideDrawArea(x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1);
  for (int t = 0; t < entry->tileDrawCount; ++t) {
    const GraphTileDraw& tile = entry->tileDraws[t];
    QuadCorner c[4];
    TileCorners(tile, c);
    for (QuadCorner& q : c) {
      q.x = ox + sx * q.x;
      q.y = oy + sy * q.y;
    }
    if (!inside)
      ClampQuad(c, tile, DrawAreaF[0] - 0.5f, DrawAreaF[1] - 0.5f, DrawAreaF[2] - 0.5f,
                DrawAreaF[3] - 0.5f, sx, sy);
    QueueTileQuad(tile, c);
  }
  return 0;
}

int HardDrawGraphRotated(int graph, float cx, float cy, double scale, double angle, int transparent,
                         int turn) {
  const GraphEntry* entry = TextureGraphEntry(graph);
  if (entry == nullptr || !HardDeviceReady()) return -1;
  if (scale == 0.0) return -1;
  if (!Finite(cx) || !Finite(cy) || !std::isfinite(scale) || !std::isfinite(angle)) return 0;
  if (PrepareGraphDraw(entry, transparent) != 0) return -1;

  const bool rotate = angle != 0.0;
  const float c = rotate ? static_cast<float>(std::cos(angle)) : 1.0f;
  const float s = rotate ? static_cast<float>(std::sin(angle)) : 0.0f;
  const bool whole =
      std::fabs(cx - std::trunc(cx)) < 0.00001f && std::fabs(cy - std::trunc(cy)) < 0.00001f;
  const int w = entry->width, h = entry->height;
  const bool oddW = w % 2 != 0, oddH = h % 2 != 0;

  // Half sizes and the centre by case: a whole centre at scale 1 puts the graph's pixels on the
  // screen's pixels; the other cases centre it exactly.
  float hw = static_cast<float>(w) * 0.5f, hh = static_cast<float>(h) * 0.5f;
  float centreX = cx, centreY = cy;
  bool reflect = false;
  if (whole && scale == 1.0) {
    if (!oddW && !oddH) {
      hw = static_cast<float>(w / 2);
      hh = static_cast<float>(h / 2);
      centreX = cx - 0.5f;
      centreY = cy - 0.5f;
    } else if (oddW && oddH) {
      reflect = true;
    } else {
      if (!oddW) hw -= 0.5f;
      if (!oddH) hh -= 0.5f;
    }
  } else if (whole) {
    centreX = cx - 0.5f;
    centreY = cy - 0.5f;
    reflect = true;
  }

  Snap snap = Snap::None;
  if (!whole)
    snap = Snap::Fractional;
  else if (rotate && (oddW || oddH) && NearQuarterTurn(angle))
    snap = Snap::QuarterTurn;
  // With a blend graph the corners go unsnapped.
  if (BlendSelection.blendTexture != nullptr) snap = Snap::None;

  const float sx = static_cast<float>(turn ? -scale : scale), sy = static_cast<float>(scale);
  const auto place = [&](QuadCorner& q) {
    const float dx = (q.x - hw) * sx, dy = (q.y - hh) * sy;
    if (rotate) {
      q.x = dx * c - dy * s + centreX;
      q.y = dx * s + dy * c + centreY;
    } else {
      q.x = dx + centreX;
      q.y = dy + centreY;
    }
  };

  if (entry->tileDrawCount == 1 && reflect) {
    const GraphTileDraw& tile = entry->tileDraws[0];
    QuadCorner q[4];
    TileCorners(tile, q);
    place(q[0]);
    place(q[1]);
    // The bottom corners are the point reflections of the top ones through the centre.
    q[3].x = centreX - (q[0].x - centreX);
    q[3].y = centreY - (q[0].y - centreY);
    q[2].x = centreX - (q[1].x - centreX);
    q[2].y = centreY - (q[1].y - centreY);
    if (snap == Snap::QuarterTurn) {
      if (Agree(q[0].x, q[2].x) || Agree(q[0].x, q[1].x)) ShiftX(q);
      if (Agree(q[0].y, q[1].y) || Agree(q[0].y, q[2].y)) ShiftY(q);
    }
    QueueTileQuad(tile, q);
    return 0;
  }

  for (int t = 0; t < entry->tileDrawCount; ++t) {
    const GraphTileDraw& tile = entry->tileDraws[t];
    QuadCorner q[4];
    TileCorners(tile, q);
    for (QuadCorner& corner : q) place(corner);
    if (snap != Snap::None) {
      const bool testX = snap == Snap::Fractional || oddW;
      const bool testY = snap == Snap::Fractional || oddH;
      if (testX && (Agree(q[0].x, q[2].x) || Agree(q[0].x, q[1].x)) && NearWhole(q[0].x)) ShiftX(q);
      if (testY && (Agree(q[0].y, q[1].y) || Agree(q[0].y, q[2].y)) && NearWhole(q[0].y)) ShiftY(q);
    }
    QueueTileQuad(tile, q);
  }
  return 0;
}
