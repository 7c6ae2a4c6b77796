#include "runtime/graphics/draw/draw_calls.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/draw/hard_draw_paths.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/mask/mask_screen.h"
#include "runtime/graphics/movie/movie_handles.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/arithmetic_helpers.h"
#include "runtime/platform/startup/system_state.h"
#include "runtime/platform/window/message_loop.h"

namespace {

// Not a result of any call: the frame's checks passed and the draw goes ahead.
constexpr int kDraw = 1;

bool NothingToDraw() { return DrawSuppressed || DrawAreaEmpty; }

// The checks of every graph call, in their order: suppression and an empty area (0), the
// handle (-1), the blend graph's size (-1); then the wait while the window is inactive.
int CheckGraphDraw(int graph, const GraphEntry** entry) {
  if (NothingToDraw()) return 0;
  *entry = GetGraphEntry(graph);
  if (*entry == nullptr || (*entry)->textureSet == nullptr) return -1;
  if (BlendGraphHandle != -1 && CheckBlendGraphSize(graph) != 0) return -1;
  WaitWhileInactive();
  return kDraw;
}

bool StoredAsTextures(const GraphEntry* entry) {
  return entry->textureSet->record.TextureBacked != 0;
}

// Blend mode 3 on a device that cannot subtract is drawn between two inverting passes over
// the draw's rectangle.
bool EmulatesSubtract() { return CurrentBlendMode == 3 && !SubtractBlendSupported; }

// Hands the draw to its path; rect() gives the affected rectangle, computed only when a
// wrapper needs it. A movie's newest frame is brought into its graph first.
template <class Rect, class Hard, class Soft>
int DrawOnPath(const GraphEntry* entry, Rect rect, Hard hard, Soft soft) {
  const bool textures = StoredAsTextures(entry);
  const bool subtract = textures && EmulatesSubtract();
  const bool masked = MaskScreen.active != 0;
  RECT r = {};
  if (subtract || masked) r = rect();
  if (entry->movieHandle != -1) UpdateMovieFrame(entry->movieHandle);
  if (masked) BeginMaskedDraw(&r);
  int result;
  if (!textures) {
    result = soft();
  } else if (!subtract) {
    result = hard();
  } else {
    BeginSubtractEmulation(&r);
    result = hard();
    EndSubtractEmulation(&r);
  }
  if (masked) EndMaskedDraw(&r);
  return result;
}

template <class Hard, class Soft>
int DrawBox(int x1, int y1, int x2, int y2, Hard hard, Soft soft) {
  if (NothingToDraw()) return 0;
  WaitWhileInactive();
  const bool subtract = HardwareRendering && EmulatesSubtract();
  const bool masked = MaskScreen.active != 0;
  const RECT r = {x1, y1, x2, y2};
  if (masked) BeginMaskedDraw(&r);
  int result;
  if (!HardwareRendering) {
    result = soft();
  } else if (!subtract) {
    result = hard();
  } else {
    BeginSubtractEmulation(&r);
    result = hard();
    EndSubtractEmulation(&r);
  }
  if (masked) EndMaskedDraw(&r);
  return result;
}

RECT Ordered(int x1, int y1, int x2, int y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

bool Finite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v)) return false;
  return true;
}

// The box of four corners: left from min(x1, 0xFFFFFF), right from max(x1, 0), likewise in y.
RECT CornerBox(const int x[4], const int y[4]) {
  RECT r = {std::min(x[0], 0xFFFFFF), std::min(y[0], 0xFFFFFF), std::max(x[0], 0),
            std::max(y[0], 0)};
  for (int i = 0; i < 4; ++i) {
    r.left = std::min<LONG>(r.left, x[i]);
    r.top = std::min<LONG>(r.top, y[i]);
    r.right = std::max<LONG>(r.right, x[i]);
    r.bottom = std::max<LONG>(r.bottom, y[i]);
  }
  return r;
}

// The box of the turned corners widened by 5 pixels.
RECT RotatedBox(const GraphEntry* entry, float x, float y, double scale, double angle) {
  const int w = entry->width, h = entry->height;
  const int ox[2] = {w / -2, w + w / -2}, oy[2] = {h / -2, h + h / -2};
  const double a = static_cast<float>(angle), c = std::cos(a), s = std::sin(a);
  double minX = 0, minY = 0, maxX = 0, maxY = 0;
  for (int i = 0; i < 4; ++i) {
    const double dx = ox[i & 1], dy = oy[i >> 1];
    const double px = (c * dx - s * dy) * scale + x, py = (s * dx + c * dy) * scale + y;
    minX = i == 0 ? px : std::min(minX, px);
    maxX = i == 0 ? px : std::max(maxX, px);
    minY = i == 0 ? py : std::min(minY, py);
    maxY = i == 0 ? py : std::max(maxY, py);
  }
  return {DoubleToInt(minX - 5), DoubleToInt(minY - 5), DoubleToInt(maxX + 5),
          DoubleToInt(maxY + 5)};
}

}  // namespace

int DrawGraphAt(int x, int y, int graph, int transparent) {
  if (!gSystemState.initialised) return -1;
  const GraphEntry* entry = nullptr;
  const int check = CheckGraphDraw(graph, &entry);
  if (check != kDraw) return check;
  return DrawOnPath(
      entry,
      [&] {
        return RECT{x, y, x + entry->width, y + entry->height};
      },
      [&] {
        return HardDrawGraphAt(graph, x, y, static_cast<float>(x), static_cast<float>(y),
                               transparent, 1);
      },
      [&] { return SoftDrawGraphAt(x, y, transparent, graph); });
}

int DrawGraphStretched(int x1, int y1, int x2, int y2, int graph, int transparent) {
  const GraphEntry* entry = nullptr;
  const int check = CheckGraphDraw(graph, &entry);
  if (check != kDraw) return check;
  return DrawOnPath(
      entry, [&] { return Ordered(x1, y1, x2, y2); },
      [&] {
        return HardDrawGraphStretched(x1, y1, x2, y2, static_cast<float>(x1),
                                      static_cast<float>(y1), static_cast<float>(x2),
                                      static_cast<float>(y2), graph, transparent, 1);
      },
      [&] { return SoftDrawGraphStretched(x1, y1, x2, y2, graph, transparent); });
}

int DrawGraphStretchedF(float x1, float y1, float x2, float y2, int graph, int transparent) {
  const GraphEntry* entry = nullptr;
  const int check = CheckGraphDraw(graph, &entry);
  if (check != kDraw) return check;
  if (!Finite({x1, y1, x2, y2})) return 0;
  const int ix1 = FloatToInt(x1), iy1 = FloatToInt(y1), ix2 = FloatToInt(x2), iy2 = FloatToInt(y2);
  return DrawOnPath(
      entry, [&] { return Ordered(ix1, iy1, ix2, iy2); },
      [&] {
        return HardDrawGraphStretched(ix1, iy1, ix2, iy2, x1, y1, x2, y2, graph, transparent, 0);
      },
      [&] { return SoftDrawGraphStretched(ix1, iy1, ix2, iy2, graph, transparent); });
}

int DrawGraphMirrored(int x, int y, int graph, int transparent) {
  if (NothingToDraw()) return 0;
  const GraphEntry* entry = GetGraphEntry(graph);
  if (entry == nullptr) return -1;
  return DrawGraphStretched(x + entry->width, y, x, y + entry->height, graph, transparent);
}

int DrawGraphRotated(int x, int y, double scale, double angle, int graph, int transparent,
                     int turn) {
  return DrawGraphRotatedF(static_cast<float>(x), static_cast<float>(y), scale, angle, graph,
                           transparent, turn);
}

int DrawGraphRotatedF(float x, float y, double scale, double angle, int graph, int transparent,
                      int turn) {
  const GraphEntry* entry = nullptr;
  const int check = CheckGraphDraw(graph, &entry);
  if (check != kDraw) return check;
  if (!Finite({x, y, scale, angle})) return 0;
  return DrawOnPath(
      entry, [&] { return RotatedBox(entry, x, y, scale, angle); },
      [&] { return HardDrawGraphRotated(graph, x, y, scale, angle, transparent, turn); },
      [&] { return SoftDrawGraphRotated(x, y, scale, angle, graph, transparent, turn); });
}

int DrawGraphFourCorners(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4, int graph,
                         int transparent) {
  const GraphEntry* entry = nullptr;
  const int check = CheckGraphDraw(graph, &entry);
  if (check != kDraw) return check;
  // Below the public calls the corners go top-left, top-right, bottom-left, bottom-right.
  const int corners[8] = {x1, y1, x2, y2, x4, y4, x3, y3};
  return DrawOnPath(
      entry,
      [&] {
        const int xs[4] = {x1, x2, x3, x4}, ys[4] = {y1, y2, y3, y4};
        return CornerBox(xs, ys);
      },
      [&] { return HardDrawGraphFourCorners(graph, corners, transparent); },
      [&] { return SoftDrawGraphFourCorners(graph, x1, y1, x2, y2, x4, y4, x3, y3, transparent); });
}

int DrawGraphFourCornersF(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                          float y4, int graph, int transparent) {
  const GraphEntry* entry = nullptr;
  const int check = CheckGraphDraw(graph, &entry);
  if (check != kDraw) return check;
  if (!Finite({x1, y1, x2, y2, x3, y3, x4, y4})) return 0;
  const float corners[8] = {x1, y1, x2, y2, x4, y4, x3, y3};
  return DrawOnPath(
      entry,
      [&] {
        const int xs[4] = {FloatToInt(x1), FloatToInt(x2), FloatToInt(x3), FloatToInt(x4)};
        const int ys[4] = {FloatToInt(y1), FloatToInt(y2), FloatToInt(y3), FloatToInt(y4)};
        return CornerBox(xs, ys);
      },
      [&] { return DrawTilesFourCorners(graph, corners, transparent); },
      [&] {
        return SoftDrawGraphFourCornersF(x1, y1, x2, y2, x4, y4, x3, y3, graph, transparent);
      });
}

int DrawGraphRect(int x, int y, int sx, int sy, int width, int height, int graph, int transparent,
                  int mirror) {
  if (NothingToDraw()) return 0;
  const RECT area = DrawArea;
  float areaF[4];
  std::copy(DrawAreaF, DrawAreaF + 4, areaF);
  const int areaEmpty = DrawAreaEmpty;
  // The draw area alone is narrowed; the device's viewport stays as it is.
  RECT narrowed = {x, y, x + width, y + height};
  ClipRectInPlace(&narrowed, &area);
  DrawArea = narrowed;
  DrawAreaF[0] = static_cast<float>(narrowed.left);
  DrawAreaF[1] = static_cast<float>(narrowed.top);
  DrawAreaF[2] = static_cast<float>(narrowed.right);
  DrawAreaF[3] = static_cast<float>(narrowed.bottom);
  DrawAreaEmpty =
      areaEmpty || narrowed.left >= narrowed.right || narrowed.top >= narrowed.bottom ? 1 : 0;

  int result;
  if (!mirror) {
    result = DrawGraphAt(x - sx, y - sy, graph, transparent);
  } else if (const GraphEntry* entry = GetGraphEntry(graph)) {
    result = DrawGraphMirrored(x + sx + width - entry->width, y - sy, graph, transparent);
  } else {
    result = -1;
  }
  DrawArea = area;
  std::copy(areaF, areaF + 4, DrawAreaF);
  DrawAreaEmpty = areaEmpty;
  return result;
}

int DrawGraphRectStretchedF(float x1, float y1, float x2, float y2, int sx, int sy, int width,
                            int height, int graph, int transparent) {
  if (NothingToDraw()) return 0;
  const int sub = CreateSubGraph(sx, sy, width, height, graph);
  if (sub == -1) return -1;
  DrawGraphStretchedF(x1, y1, x2, y2, sub, transparent);
  DeleteGraphHandle(sub);
  return 0;
}

int DrawFilledBox(int x1, int y1, int x2, int y2, uint32_t colour) {
  return DrawBox(
      x1, y1, x2, y2, [&] { return HardFillBox(x1, y1, x2, y2, colour); },
      [&] { return SoftFillBox(x1, y1, x2, y2, colour); });
}

int DrawBoxOutline(int x1, int y1, int x2, int y2, uint32_t colour) {
  return DrawBox(
      x1, y1, x2, y2, [&] { return HardDrawBoxOutline(x1, y1, x2, y2, colour); },
      [&] { return SoftDrawBoxOutline(x1, y1, x2, y2, colour); });
}

int DrawRectangle(int x1, int y1, int x2, int y2, uint32_t colour, int fill) {
  return fill != 0 ? DrawFilledBox(x1, y1, x2, y2, colour) : DrawBoxOutline(x1, y1, x2, y2, colour);
}
