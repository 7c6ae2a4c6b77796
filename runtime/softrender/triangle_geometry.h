// Triangle set-up and scan conversion of the software renderer, apart from any pixel work:
// which pixels a triangle covers, row by row, and where in the source each span starts.
//
// Positions are 14.18 fixed point (one pixel or texel = 2^18). The set-up works in 64 bits and
// the span positions in 128 bits, so vertices anywhere in the 32-bit range neither overflow nor
// wrap; for the usual range (magnitudes below 8192) the results are those of 32-bit arithmetic.
// Whole pixels are taken by flooring, so a triangle left of or above the origin covers the same
// pixels, relative to its vertices, as it does anywhere else.
#pragma once

#include <cstdint>

#include "runtime/softrender/rect_clip.h"

constexpr int FixShift = 18;
constexpr int64_t FixOne = int64_t{1} << FixShift;

// Whole pixels of a 14.18 value, rounded down (also below 0).
inline int64_t FixFloor(int64_t v) { return v >> FixShift; }

// One straight piece of a triangle's left or right side.
struct TriangleEdge {
  int64_t startX;    // 14.18 x at the centre line of the first row
  int64_t slope;     // 14.18 x change per row
  int64_t startRow;  // first row
};

struct TriangleSide {
  TriangleEdge segment[2];
  int segments;  // 1, or 2 when the side bends at the middle vertex
};

struct TriangleSetup {
  int64_t topRow;     // first row covered
  int64_t middleRow;  // row where a two-segment side starts its second segment
  int64_t bottomRow;  // first row not covered (the bottom vertex's row)
  TriangleSide left, right;
  // Texture mapping: u, v (14.18) at the centre of pixel (refColumn, refRow), plus the
  // gradients per pixel step in x and in y.
  int64_t refColumn, refRow;
  int64_t refU, refV;
  int64_t dudx, dudy, dvdx, dvdy;
};

// Sets up the triangle of vertices[12] = x, y, u, v of each of the three vertices (x, y in
// destination pixels, u, v in source texels). Returns false for a degenerate triangle (three
// vertices on one line, or two equal), which covers nothing.
bool SetUpTriangle(const int32_t vertices[12], TriangleSetup* setup);

// One row of a triangle clipped to an area: pixels column .. column + count - 1 of row, with
// the source position (14.18) of the first pixel. The position is exact and may lie anywhere.
struct TriangleSpan {
  int64_t row, column, count;
  __int128 u, v;
};

// The 14.18 x of a side's edge at the centre line of a row between topRow and bottomRow.
int64_t TriangleEdgeX(const TriangleSide& side, int64_t middleRow, int64_t row);

// The span of one row (topRow <= row < bottomRow) clipped to the area; false when the row
// draws nothing there. Both edge pixels are included: the one holding the left edge's
// crossing of the row's centre line and the one holding the right edge's.
bool TriangleRowSpan(const TriangleSetup& setup, const ClipBox& area, int64_t row,
                     TriangleSpan* span);

// Calls visit(const TriangleSpan&) for every row of the triangle that draws something inside
// the area, top to bottom. Rows outside the area are not walked.
template <class Visit>
void WalkTriangle(const TriangleSetup& setup, const ClipBox& area, Visit&& visit) {
  const int64_t first = setup.topRow > area.top ? setup.topRow : area.top;
  const int64_t end = setup.bottomRow < area.bottom ? setup.bottomRow : area.bottom;
  TriangleSpan span;
  for (int64_t row = first; row < end; ++row)
    if (TriangleRowSpan(setup, area, row, &span)) visit(span);
}

// The part of a span whose source position lies inside a source of width x height texels:
// the pixels first .. first + count - 1 (count 0 when none), where u = u0 + k * dudx and
// v = v0 + k * dvdx at pixel k of the span. Returns the position of pixel first in *u, *v,
// each then in 0 .. size x 2^18 - 1.
void ClipSpanToSource(const TriangleSpan& span, int64_t dudx, int64_t dvdx, int64_t width,
                      int64_t height, int64_t* first, int64_t* count, int64_t* u, int64_t* v);
