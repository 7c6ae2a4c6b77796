#include "runtime/softrender/line_geometry.h"

#include "runtime/platform/core/arithmetic_helpers.h"

namespace {

int64_t Clamp(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

bool SetUpLine(int32_t x1in, int32_t y1in, int32_t x2in, int32_t y2in, const ClipBox& area,
               LineWalk* walk) {
  if (area.Empty()) return false;
  const int64_t left = area.left, top = area.top, right = area.right, bottom = area.bottom;
  // Drawn only when the bounding box meets the area.
  const int64_t minX = x1in < x2in ? x1in : x2in, maxX = x1in < x2in ? x2in : x1in;
  const int64_t minY = y1in < y2in ? y1in : y2in, maxY = y1in < y2in ? y2in : y1in;
  if (bottom - 1 - minY < 0 || right - 1 - minX < 0 || maxY - top < 0 || maxX - left < 0)
    return false;

  // The line's equation from the end points as passed; every clipped coordinate below comes
  // from it, truncated toward zero.
  const double fx1 = x1in, fy1 = y1in, fx2 = x2in, fy2 = y2in;
  const double dydx = x1in == x2in ? 0.0 : (fy2 - fy1) / (fx2 - fx1);
  const double dxdy = y1in == y2in ? 0.0 : (fx2 - fx1) / (fy2 - fy1);
  const double by = fy1 - fx1 * dydx;
  const double bx = fx1 - fy1 * dxdy;
  const auto yAt = [&](int64_t x) {
    return int64_t{DoubleToInt(by + dydx * static_cast<double>(x))};
  };
  const auto xAt = [&](int64_t y) {
    return int64_t{DoubleToInt(bx + dxdy * static_cast<double>(y))};
  };

  int64_t x1 = x1in, y1 = y1in, x2 = x2in, y2 = y2in;
  // The start is moved onto the area's edge; the end, which is not drawn, one pixel beyond it.
  if (x1 < left) {
    x1 = left;
    y1 = yAt(left);
  } else if (x1 >= right) {
    x1 = right - 1;
    y1 = yAt(right - 1);
  }
  if (x2 < left) {
    x2 = left - 1;
    y2 = yAt(left - 1);
  } else if (x2 >= right) {
    x2 = right;
    y2 = yAt(right);
  }
  if (y1 < top) {
    y1 = top;
    x1 = xAt(top);
  } else if (y1 >= bottom) {
    y1 = bottom - 1;
    x1 = xAt(bottom - 1);
  }
  if (y2 < top) {
    y2 = top - 1;
    x2 = xAt(top - 1);
  } else if (y2 >= bottom) {
    y2 = bottom;
    x2 = xAt(bottom);
  }
  x1 = Clamp(x1, left, right - 1);
  x2 = Clamp(x2, left - 1, right);
  y1 = Clamp(y1, top, bottom - 1);
  y2 = Clamp(y2, top - 1, bottom);

  const int64_t dx = x2 - x1, dy = y2 - y1;
  if (dx == 0 && dy == 0) return false;
  walk->x = x1;
  walk->y = y1;
  walk->stepX = dx >= 0 ? 1 : -1;
  walk->stepY = dy >= 0 ? 1 : -1;
  walk->dx = dx >= 0 ? dx : -dx;
  walk->dy = dy >= 0 ? dy : -dy;
  return true;
}
