// Line clipping and stepping of the software renderer, apart from any pixel work. A line runs
// from its start pixel, which is drawn, toward its end pixel, which is not, so lines that meet
// end to start draw the shared point once.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/softrender/triangle_geometry.h"

// A clipped line ready to step: the start pixel, the direction of each axis and the extents.
struct LineWalk {
  int64_t x, y;      // first pixel, inside the area
  int stepX, stepY;  // +1 or -1
  int64_t dx, dy;    // |x2 - x1| and |y2 - y1| after clipping; the longer one is the count
};

// Clips the line (x1, y1) -> (x2, y2) to the area. Returns false when nothing is drawn: the
// bounding box misses the area, or the clipped line has no length. Every pixel that StepLine
// then visits lies inside the area.
bool SetUpLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const ClipBox& area, LineWalk* walk);

inline int64_t LinePixelCount(const LineWalk& w) { return w.dx >= w.dy ? w.dx : w.dy; }

// Visits the pixels of the line in order (the walk must not be empty): op(pos) for each, where pos
// starts at start and moves by rowStep or -rowStep for a step in y and by columnStep or -columnStep
// for a step in x. The minor coordinate of pixel k is floor(k * minor / major) from the start.
template <class Pos, class Op>
void StepLine(const LineWalk& w, Pos start, ptrdiff_t columnStep, ptrdiff_t rowStep, Op&& op) {
  const ptrdiff_t sx = w.stepX > 0 ? columnStep : -columnStep;
  const ptrdiff_t sy = w.stepY > 0 ? rowStep : -rowStep;
  Pos pos = start;
  int64_t error = 0;
  // The position never moves past the last pixel.
  if (w.dx >= w.dy) {
    for (int64_t k = 1;; ++k) {
      op(pos);
      if (k >= w.dx) break;
      pos += sx;
      error += w.dy;
      if (error >= w.dx) {
        pos += sy;
        error -= w.dx;
      }
    }
  } else {
    for (int64_t k = 1;; ++k) {
      op(pos);
      if (k >= w.dy) break;
      pos += sy;
      error += w.dx;
      if (error >= w.dy) {
        pos += sx;
        error -= w.dy;
      }
    }
  }
}
