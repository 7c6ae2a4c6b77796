#include "runtime/softrender/rotated_geometry.h"

#include <cmath>
#include <cstdint>

#include "runtime/platform/core/arithmetic_helpers.h"

namespace {

// Positions beyond this cannot be stepped or summed without overflow; far beyond any image.
constexpr double kLimit = 2305843009213693952.0;  // 2^61

__extension__ typedef __int128 Wide;

// Truncation toward zero of a value already rounded to single precision, refused when it does
// not fit.
bool Truncate(float value, int64_t* out) {
  if (!std::isfinite(value) || std::fabs(value) >= kLimit) return false;
  *out = static_cast<int64_t>(value);
  return true;
}

// The products and sums of the set-up are formed exactly in double and rounded once to single
// precision: each step gives the value a single-precision evaluation gives.
float Single(double value) { return static_cast<float>(value); }

Wide FloorDiv(Wide a, Wide b) {
  // Operands that fit 64 bits (those of any image of sensible size) take the machine's
  // division: the 128-bit one is a library call, and the quotient is the same.
  const int64_t a64 = static_cast<int64_t>(a), b64 = static_cast<int64_t>(b);
  if (a64 == a && b64 == b && a64 != INT64_MIN) {
    const int64_t q = a64 / b64;
    return (a64 % b64 != 0 && (a64 < 0) != (b64 < 0)) ? q - 1 : q;
  }
  const Wide q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
Wide CeilDiv(Wide a, Wide b) { return -FloorDiv(-a, b); }

// Narrows [lo, hi] (inclusive) to the k with 0 <= base + k * step < limit.
void Constrain(Wide base, Wide step, Wide limit, Wide* lo, Wide* hi) {
  Wide from, to;
  if (step == 0) {
    if (base >= 0 && base < limit) return;
    from = 1;
    to = 0;
  } else if (step > 0) {
    from = CeilDiv(-base, step);
    to = FloorDiv(limit - 1 - base, step);
  } else {
    from = CeilDiv(limit - 1 - base, step);
    to = FloorDiv(-base, step);
  }
  if (from > *lo) *lo = from;
  if (to < *hi) *hi = to;
}

}  // namespace

bool SetUpRotation(int64_t width, int64_t height, int32_t centreX, int32_t centreY, float angle,
                   float scale, RotatedSetup* out) {
  if (width < 1 || height < 1) return false;
  // A scale of 0 or one that is not finite, or an angle that is not, maps nothing anywhere.
  if (!std::isfinite(angle) || !std::isfinite(scale) || scale == 0.0f) return false;

  RotatedSetup s{};
  s.width = width;
  s.height = height;
  s.centreX = centreX;
  s.centreY = centreY;
  s.scale = scale;
  // The sine is odd and the cosine even, in SinCosF's functions too (they reduce |angle| and put
  // the sign back), and the scaling by 2^18 and the truncation keep a sign: one call serves both
  // angles.
  float sine, cosine;
  SinCosF(angle, &sine, &cosine);
  s.sinPos = FloatToInt(sine * 262144.0f);
  s.cosPos = FloatToInt(cosine * 262144.0f);
  s.sinNeg = -s.sinPos;
  s.cosNeg = s.cosPos;

  const float halfW = static_cast<float>(width) * scale * 0.5f;
  const float halfH = static_cast<float>(height) * scale * 0.5f;
  if (!std::isfinite(halfW) || !std::isfinite(halfH)) return false;
  const float a = Single(double{halfW} * static_cast<double>(s.cosPos));
  const float b = Single(double{halfW} * static_cast<double>(s.sinPos));
  const float e = Single(double{halfH} * static_cast<double>(s.cosPos));
  const float f = Single(double{halfH} * static_cast<double>(s.sinPos));
  const double offsets[4][2] = {
      {-double{a} + f, -double{e} - b},  // top-left
      {-double{a} - f, double{e} - b},   // bottom-left
      {double{a} - f, double{e} + b},    // bottom-right
      {double{a} + f, -double{e} + b},   // top-right
  };
  for (int i = 0; i < 4; ++i) {
    int64_t x, y;
    if (!Truncate(Single(offsets[i][0]), &x) || !Truncate(Single(offsets[i][1]), &y)) return false;
    s.corners[i][0] = x + s.centreX * kRotatedOne;
    s.corners[i][1] = y + s.centreY * kRotatedOne;
  }
  if (!Truncate(Single(static_cast<double>(s.cosPos) / scale), &s.duColumn) ||
      !Truncate(Single(static_cast<double>(s.sinNeg) / scale), &s.dvColumn))
    return false;
  *out = s;
  return true;
}

ClipBox RotatedBounds(const RotatedSetup& setup) {
  int64_t minX = RotatedWholePixel(setup.corners[0][0]), maxX = minX;
  int64_t minY = RotatedWholePixel(setup.corners[0][1]), maxY = minY;
  for (int i = 1; i < 4; ++i) {
    const int64_t x = RotatedWholePixel(setup.corners[i][0]),
                  y = RotatedWholePixel(setup.corners[i][1]);
    if (x < minX) minX = x;
    if (x > maxX) maxX = x;
    if (y < minY) minY = y;
    if (y > maxY) maxY = y;
  }
  return {minX - 2, minY - 2, maxX + 4, maxY + 4};
}

bool MapRotated(const RotatedSetup& setup, int64_t x, int64_t y, int64_t* u, int64_t* v) {
  // Offsets from the centre stay below 2^33 and the sines below 2^19: the products are exact
  // in 64 bits and in double.
  const int64_t dx = x - setup.centreX, dy = y - setup.centreY;
  const int64_t numU = dx * setup.cosNeg - dy * setup.sinNeg;
  const int64_t numV = dx * setup.sinNeg + dy * setup.cosNeg;
  int64_t qu, qv;
  if (!Truncate(Single(static_cast<double>(numU) / setup.scale), &qu) ||
      !Truncate(Single(static_cast<double>(numV) / setup.scale), &qv))
    return false;
  *u = qu + (setup.width >> 1) * kRotatedOne;
  *v = qv + (setup.height >> 1) * kRotatedOne;
  return true;
}

bool StartRotatedWalk(const RotatedSetup& setup, const ClipBox& box, RotatedWalk* walk) {
  int64_t uTop, vTop, uBottom, vBottom;
  if (!MapRotated(setup, box.left, box.top, &uTop, &vTop) ||
      !MapRotated(setup, box.left, box.bottom, &uBottom, &vBottom))
    return false;
  const int64_t rows = box.Height();
  walk->u = uTop;
  walk->v = vTop;
  // Each row starts a whole number of units after the previous one: the difference over the
  // box's height, truncated toward zero.
  walk->duRow = (uBottom - uTop) / rows;
  walk->dvRow = (vBottom - vTop) / rows;
  walk->duColumn = setup.duColumn;
  walk->dvColumn = setup.dvColumn;
  return true;
}

void RotatedRowInside(const RotatedSetup& setup, const RotatedWalk& walk, int64_t row, int64_t n,
                      int64_t* first, int64_t* count, int64_t* u0, int64_t* v0) {
  const Wide u = Wide{walk.u} + Wide{row} * walk.duRow;
  const Wide v = Wide{walk.v} + Wide{row} * walk.dvRow;
  Wide lo = 0, hi = Wide{n} - 1;
  Constrain(u, walk.duColumn, Wide{setup.width} * kRotatedOne, &lo, &hi);
  Constrain(v, walk.dvColumn, Wide{setup.height} * kRotatedOne, &lo, &hi);
  if (hi < lo) {
    *first = 0;
    *count = 0;
    *u0 = 0;
    *v0 = 0;
    return;
  }
  *first = static_cast<int64_t>(lo);
  *count = static_cast<int64_t>(hi - lo + 1);
  *u0 = static_cast<int64_t>(u + lo * walk.duColumn);
  *v0 = static_cast<int64_t>(v + lo * walk.dvColumn);
}

namespace {

void StartFloorWalk(int64_t a, int64_t d, int64_t c, RotatedRows::FloorWalk* w) {
  w->c = c;
  w->q = static_cast<int64_t>(FloorDiv(a, c));
  w->r = a - w->q * c;
  w->dq = static_cast<int64_t>(FloorDiv(d, c));
  w->dr = d - w->dq * c;
}

constexpr Wide kComfortable = Wide{1} << 61;

Wide Magnitude(Wide x) { return x < 0 ? -x : x; }

}  // namespace

void StartRotatedRows(const RotatedSetup& setup, const RotatedWalk& walk, int64_t n, int64_t rows,
                      RotatedRows* out) {
  RotatedRows& r = *out;
  r.setup = &setup;
  r.walk = &walk;
  r.n = n;
  r.row = 0;
  r.u = walk.u;
  r.v = walk.v;
  // Every position the rows reach, with a column step and a limit on top, stays far inside 64
  // bits: the sums below cannot overflow.
  const Wide reach[2] = {Magnitude(walk.u) + Wide{rows} * Magnitude(walk.duRow) +
                             Wide{n} * Magnitude(walk.duColumn) + Wide{setup.width} * kRotatedOne,
                         Magnitude(walk.v) + Wide{rows} * Magnitude(walk.dvRow) +
                             Wide{n} * Magnitude(walk.dvColumn) + Wide{setup.height} * kRotatedOne};
  // A column step of 0 leaves an axis all inside or all outside: the divided form handles it.
  r.stepped = n >= 0 && rows >= 0 && reach[0] < kComfortable && reach[1] < kComfortable &&
              walk.duColumn != 0 && walk.dvColumn != 0;
  if (!r.stepped) return;
  const int64_t start[2] = {walk.u, walk.v}, rowStep[2] = {walk.duRow, walk.dvRow};
  const int64_t column[2] = {walk.duColumn, walk.dvColumn};
  const int64_t limit[2] = {setup.width * kRotatedOne, setup.height * kRotatedOne};
  for (int axis = 0; axis < 2; ++axis) {
    // With c = |step|, the columns k inside are those with 0 <= start + k * step < limit:
    // from ceil(-start / c) = -floor(start / c) to floor((limit - 1 - start) / c) for a
    // positive step, mirrored for a negative one.
    const int64_t c = column[axis] < 0 ? -column[axis] : column[axis];
    RotatedRows::FloorWalk low, high;
    StartFloorWalk(start[axis], rowStep[axis], c, &low);
    StartFloorWalk(limit[axis] - 1 - start[axis], -rowStep[axis], c, &high);
    r.from[axis] = column[axis] > 0 ? low : high;
    r.to[axis] = column[axis] > 0 ? high : low;
  }
}

void NextRotatedRuns(RotatedRows* rows, int count, RotatedRun* out) {
  RotatedRows& r = *rows;
  if (!r.stepped) {
    for (int i = 0; i < count; ++i, ++r.row)
      RotatedRowInside(*r.setup, *r.walk, r.row, r.n, &out[i].first, &out[i].count, &out[i].u,
                       &out[i].v);
    return;
  }
  // The walk's state in locals, so that it stays in registers from row to row.
  RotatedRows::FloorWalk from[2] = {r.from[0], r.from[1]}, to[2] = {r.to[0], r.to[1]};
  const RotatedWalk& walk = *r.walk;
  int64_t u = r.u, v = r.v;
  for (int i = 0; i < count; ++i) {
    int64_t lo = 0, hi = r.n - 1;
    for (int axis = 0; axis < 2; ++axis) {
      lo = -from[axis].q > lo ? -from[axis].q : lo;
      hi = to[axis].q < hi ? to[axis].q : hi;
      from[axis].Step();
      to[axis].Step();
    }
    if (hi < lo)
      out[i] = {0, 0, 0, 0};
    else
      out[i] = {lo, hi - lo + 1, u + lo * walk.duColumn, v + lo * walk.dvColumn};
    u += walk.duRow;
    v += walk.dvRow;
  }
  for (int axis = 0; axis < 2; ++axis) {
    r.from[axis] = from[axis];
    r.to[axis] = to[axis];
  }
  r.u = u;
  r.v = v;
  r.row += count;
}
