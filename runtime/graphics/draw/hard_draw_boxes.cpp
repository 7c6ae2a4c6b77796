// Filled boxes and box outlines on the hardware path, the outline's software twin, and the
// subtract emulation built from inverting boxes.
#include <algorithm>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/device/vertex_batch.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/draw/hard_draw_paths.h"
#include "runtime/platform/core/geometry.h"
#include "runtime/softrender/draw_primitives.h"

namespace {

struct Box {
  float x1, y1, x2, y2;
};

// The draw colour modulated by the box colour, in the draw colour's alpha.
uint32_t BoxDiffuse(uint32_t colour) {
  int r = 0, g = 0, b = 0;
  GetColorComponents(colour, &r, &g, &b);
  const uint32_t packed = PackedDrawColor;
  const auto channel = [&](int shift, int c) {
    return (((packed >> shift) & 0xFF) * static_cast<uint32_t>(c) / 255) << shift;
  };
  return (packed & 0xFF000000u) | channel(16, r) | channel(8, g) | channel(0, b);
}

// Opens a scene, prepares the untextured draw state and queues the boxes as quads: (x1, y1),
// (x2, y1), (x1, y2), then (x2, y2), (x1, y2), (x2, y1).
int QueueBoxes(const Box* boxes, int count, uint32_t colour) {
  BeginSceneIfNeeded();
  if (PrepareDrawState(0, 0, nullptr, kDrawModulateColor) != 0) return -1;
  // A blend mode without a row leaves the batch in another kind, and draws nothing anyway.
  if (VertexBatch.kind != BatchVertexUntextured) return 0;
  auto* v = static_cast<UntexturedVertex*>(QueueBatchVertices(6 * count));
  if (v == nullptr) return 0;
  const uint32_t diffuse = BoxDiffuse(colour);
  for (int i = 0; i < count; ++i, v += 6) {
    const Box& b = boxes[i];
    const float xs[6] = {b.x1, b.x2, b.x1, b.x2, b.x1, b.x2};
    const float ys[6] = {b.y1, b.y1, b.y2, b.y2, b.y2, b.y1};
    for (int k = 0; k < 6; ++k) {
      v[k].x = xs[k];
      v[k].y = ys[k];
    }
    v[0].diffuse = v[3].diffuse = diffuse;
  }
  return 0;
}

float F(int v) { return static_cast<float>(v); }

// One inverting pass of the subtract emulation: a white box in mode 3 at full strength, whose
// device row (destination ZERO, source INVDESTCOLOR) replaces the destination by its inverse;
// then the mode the draw goes on with.
void InvertPass(const RECT* rect, int nextMode) {
  const int parameter = BlendParam;
  const uint32_t bright = DrawBright & 0xFFFFFF;
  if (bright != 0xFFFFFF) SetDrawBrightness(255, 255, 255);
  SetBlendMode(3, 255);
  HardFillBox(rect->left, rect->top, rect->right, rect->bottom, MakeColorValue(255, 255, 255));
  if (bright != 0xFFFFFF) SetDrawBrightnessPacked(bright);
  SetBlendMode(nextMode, parameter);
}

}  // namespace

int HardFillBox(int x1, int y1, int x2, int y2, uint32_t colour) {
  if (!Direct3DDevice) return -1;
  RECT r = {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  ClipRectInPlace(&r, &DrawArea);
  if (r.left >= r.right || r.top >= r.bottom) return 0;
  const Box box = {F(r.left), F(r.top), F(r.right), F(r.bottom)};
  return QueueBoxes(&box, 1, colour);
}

int HardDrawBoxOutline(int x1, int y1, int x2, int y2, uint32_t colour) {
  if (!Direct3DDevice) return -1;
  const int l = std::min(x1, x2), t = std::min(y1, y2), r = std::max(x1, x2), b = std::max(y1, y2);
  // One pixel thick, none overlapping: the top row whole, then the right and left columns below
  // it, then the bottom row between them.
  const Box sides[4] = {{F(l), F(t), F(r), F(t + 1)},
                        {F(r - 1), F(t + 1), F(r), F(b)},
                        {F(l), F(t + 1), F(l + 1), F(b)},
                        {F(l + 1), F(b - 1), F(r - 1), F(b)}};
  return QueueBoxes(sides, 4, colour);
}

int SoftDrawBoxOutline(int x1, int y1, int x2, int y2, uint32_t colour) {
  if (SoftDrawTarget == nullptr) return 0;
  MemImgLine lines[4];
  MakeBoxOutlineLines(x1, y1, x2, y2, static_cast<int32_t>(colour), BlendParam, lines);
  DrawMemImgLines(SoftDrawTarget, lines, 4);
  return 0;
}

void BeginSubtractEmulation(const RECT* rect) { InvertPass(rect, 5); }

void EndSubtractEmulation(const RECT* rect) { InvertPass(rect, 3); }
