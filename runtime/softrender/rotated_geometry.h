// Geometry of the rotated and scaled blit: the corners of the turned image, its bounding box,
// and the inverse mapping from destination pixels back into the source. Positions and texel
// coordinates are 14.18 fixed point (one pixel or texel = 262144) held in 64 bits, so neither
// far corners nor long distances from the centre overflow. Floating point is used here only.
#pragma once

#include <cstdint>

#include "runtime/softrender/rect_clip.h"

constexpr int64_t kRotatedOne = 262144;  // one pixel or texel in 14.18

struct RotatedSetup {
  int64_t width, height;     // the source's size in texels
  int64_t centreX, centreY;  // destination pixels
  float scale;
  // Sine and cosine in 14.18: of the negated angle (the inverse mapping) and of the angle.
  int64_t sinNeg, cosNeg, sinPos, cosPos;
  // The source's corners turned about the centre, in 14.18 destination positions:
  // top-left, bottom-left, bottom-right, top-right; [i][0] is x, [i][1] is y.
  int64_t corners[4][2];
  // Texel steps per destination column.
  int64_t duColumn, dvColumn;
};

// Sets up a draw of a width x height source about (centreX, centreY), turned by angle
// (radians, clockwise on the screen) and scaled by scale. Returns false, with nothing to draw,
// when the scale is 0 or either value is not finite, when the source is empty, or when a value
// of the set-up lies beyond what 64-bit positions hold.
bool SetUpRotation(int64_t width, int64_t height, int32_t centreX, int32_t centreY, float angle,
                   float scale, RotatedSetup* out);

// A 14.18 position in whole pixels, rounded toward minus infinity.
inline int64_t RotatedWholePixel(int64_t position) {
  return position >= 0 ? position / kRotatedOne : -((-position + kRotatedOne - 1) / kRotatedOne);
}

// The box that holds the turned image, in whole pixels, before clipping: two pixels of margin
// to the left and top of the corners, four to the right and bottom.
ClipBox RotatedBounds(const RotatedSetup& setup);

// The source position (14.18 texels) that destination pixel (x, y) samples at its top-left
// corner. Returns false when it lies beyond what 64-bit positions hold.
bool MapRotated(const RotatedSetup& setup, int64_t x, int64_t y, int64_t* u, int64_t* v);

// The walk over a clipped box: the source position of its top-left pixel, and the steps from
// one row's start to the next and from one column to the next.
struct RotatedWalk {
  int64_t u, v;
  int64_t duRow, dvRow;
  int64_t duColumn, dvColumn;
};

// Sets up the walk over the (non-empty) box. Returns false when a position lies beyond what
// 64-bit positions hold.
bool StartRotatedWalk(const RotatedSetup& setup, const ClipBox& box, RotatedWalk* walk);

// The columns of one row that fall inside the source: the walk's row `row` starts at
// (u + row * duRow, v + row * dvRow) and steps by (duColumn, dvColumn); of its n pixels, those
// from *first on, *count of them, map into 0 <= u < width and 0 <= v < height texels (they
// always form one run). *u0 and *v0 receive the source position of pixel *first.
void RotatedRowInside(const RotatedSetup& setup, const RotatedWalk& walk, int64_t row, int64_t n,
                      int64_t* first, int64_t* count, int64_t* u0, int64_t* v0);

// The same runs row after row, from row 0 down, without a division per row where both column
// steps are non-zero and the walk's positions fit comfortably in 64 bits (else through
// RotatedRowInside).
struct RotatedRows {
  // floor((a + row * d) / c) for c > 0, stepped: quotient and remainder, and those of d.
  struct FloorWalk {
    int64_t q, r, dq, dr, c;
    void Step() {
      q += dq;
      r += dr;
      // Branch-free: the carry follows the positions, which no predictor learns.
      const int64_t carry = -static_cast<int64_t>(r >= c);
      q -= carry;
      r -= carry & c;
    }
  };
  const RotatedSetup* setup;
  const RotatedWalk* walk;
  int64_t n, row;
  bool stepped;
  int64_t u, v;  // the row's start
  // Per axis (u, v): the first column inside is -from[axis].q and the last to[axis].q.
  FloorWalk from[2], to[2];
};
void StartRotatedRows(const RotatedSetup& setup, const RotatedWalk& walk, int64_t n, int64_t rows,
                      RotatedRows* out);

// One row's run: RotatedRowInside's first, count, u0 and v0.
struct RotatedRun {
  int64_t first, count, u, v;
};
// The next `count` rows' runs, from the row after the last one given.
void NextRotatedRuns(RotatedRows* rows, int count, RotatedRun* out);
