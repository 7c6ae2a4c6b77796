#include "runtime/softrender/triangle_geometry.h"

#include <cmath>

namespace {

struct FixVertex {
  int64_t x, y, u, v;  // 14.18; x and y at the centre of their pixel
};

// Ascending order of three keys by the exchange sort of the set-up: equal keys keep their
// order, which decides the roles of vertices that share a row or a column.
void SortIndices(const int64_t key[3], int order[3]) {
  order[0] = 0;
  order[1] = 1;
  order[2] = 2;
  for (int i = 0; i < 2; ++i)
    for (int j = i + 1; j < 3; ++j)
      if (key[order[i]] > key[order[j]]) {
        const int t = order[i];
        order[i] = order[j];
        order[j] = t;
      }
}

// A gradient num / den in 14.18, truncated toward zero. Slivers can make it enormous; it is
// held below 2^62 in magnitude, far beyond any step that can land twice in a source.
int64_t Gradient(__int128 num, __int128 den) {
  const double g = static_cast<double>(num) * 262144.0 / static_cast<double>(den);
  constexpr double kLimit = 4611686018427387904.0;  // 2^62
  if (g >= kLimit) return int64_t{1} << 62;
  if (g <= -kLimit) return -(int64_t{1} << 62);
  return static_cast<int64_t>(g);
}

TriangleEdge Edge(const FixVertex& from, const FixVertex& to, int64_t startX) {
  const int64_t rows = FixFloor(to.y) - FixFloor(from.y);
  return {startX, (to.x - startX) / rows, FixFloor(from.y)};
}

TriangleSide OneSegment(const FixVertex& from, const FixVertex& to) {
  TriangleSide side{};
  side.segment[0] = Edge(from, to, from.x);
  side.segments = 1;
  return side;
}

// floor(a / b) for b > 0.
__int128 FloorDiv(__int128 a, __int128 b) {
  __int128 q = a / b;
  if (a % b != 0 && a < 0) --q;
  return q;
}

// The pixels k (0 <= k < n) where 0 <= a + k * d < limit, as [lo, hi).
void InsideRange(__int128 a, int64_t d, int64_t limit, __int128 n, __int128* lo, __int128* hi) {
  __int128 from, to;
  if (d == 0) {
    from = 0;
    to = (a >= 0 && a < limit) ? n : 0;
  } else if (d > 0) {
    from = -FloorDiv(a, d);           // ceil(-a / d)
    to = -FloorDiv(-(limit - a), d);  // ceil((limit - a) / d)
  } else {
    const __int128 e = -static_cast<__int128>(d);
    from = FloorDiv(a - limit, e) + 1;
    to = FloorDiv(a, e) + 1;
  }
  if (from > *lo) *lo = from;
  if (to < *hi) *hi = to;
}

}  // namespace

bool SetUpTriangle(const int32_t vertices[12], TriangleSetup* setup) {
  FixVertex p[3];
  int64_t xs[3], ys[3];
  for (int i = 0; i < 3; ++i) {
    p[i].x = int64_t{vertices[4 * i]} * FixOne + FixOne / 2;
    p[i].y = int64_t{vertices[4 * i + 1]} * FixOne + FixOne / 2;
    p[i].u = int64_t{vertices[4 * i + 2]} * FixOne;
    p[i].v = int64_t{vertices[4 * i + 3]} * FixOne;
    xs[i] = p[i].x;
    ys[i] = p[i].y;
  }
  int byX[3], byY[3];
  SortIndices(xs, byX);
  SortIndices(ys, byY);
  const FixVertex& L = p[byX[0]];
  const FixVertex& M = p[byX[1]];
  const FixVertex& R = p[byX[2]];
  const FixVertex& T = p[byY[0]];
  const FixVertex& Mi = p[byY[1]];
  const FixVertex& B = p[byY[2]];

  // Whole-unit differences from L (exact: every vertex sits at a pixel centre).
  const __int128 dxM = (M.x - L.x) >> FixShift, dyM = (M.y - L.y) >> FixShift;
  const __int128 duM = (M.u - L.u) >> FixShift, dvM = (M.v - L.v) >> FixShift;
  const __int128 dxR = (R.x - L.x) >> FixShift, dyR = (R.y - L.y) >> FixShift;
  const __int128 duR = (R.u - L.u) >> FixShift, dvR = (R.v - L.v) >> FixShift;
  const __int128 det = dyM * dxR - dyR * dxM;
  if (det == 0) return false;

  TriangleSetup s{};
  s.dudx = Gradient(dyM * duR - dyR * duM, det);
  s.dudy = Gradient(dxR * duM - dxM * duR, det);
  s.dvdx = Gradient(dyM * dvR - dyR * dvM, det);
  s.dvdy = Gradient(dxR * dvM - dxM * dvR, det);
  s.refColumn = FixFloor(L.x);
  s.refRow = FixFloor(L.y);
  s.refU = L.u;
  s.refV = L.v;
  s.topRow = FixFloor(T.y);
  s.middleRow = FixFloor(Mi.y);
  s.bottomRow = FixFloor(B.y);

  if (T.y == Mi.y) {
    // Flat top: both sides run down to the bottom vertex.
    const bool tLeft = T.x <= Mi.x;
    s.left = OneSegment(tLeft ? T : Mi, B);
    s.right = OneSegment(tLeft ? Mi : T, B);
  } else if (Mi.y == B.y) {
    // Flat bottom: both sides run down from the top vertex.
    const bool miLeft = Mi.x <= B.x;
    s.left = OneSegment(T, miLeft ? Mi : B);
    s.right = OneSegment(T, miLeft ? B : Mi);
  } else {
    // The middle vertex bends the left side when the edge to it runs left of the long edge.
    const double toMiddle =
        static_cast<double>(Mi.x - T.x) / static_cast<double>(s.middleRow - s.topRow);
    const double toBottom =
        static_cast<double>(B.x - T.x) / static_cast<double>(s.bottomRow - s.topRow);
    if (toMiddle < toBottom) {
      s.left.segment[0] = Edge(T, Mi, T.x);
      s.left.segment[1] = Edge(Mi, B, Mi.x);
      s.left.segments = 2;
      s.right = OneSegment(T, B);
    } else {
      // On the right the lower segment starts one unit past the vertex.
      s.right.segment[0] = Edge(T, Mi, T.x);
      s.right.segment[1] = Edge(Mi, B, Mi.x + 1);
      s.right.segments = 2;
      s.left = OneSegment(T, B);
    }
  }
  *setup = s;
  return true;
}

int64_t TriangleEdgeX(const TriangleSide& side, int64_t middleRow, int64_t row) {
  const TriangleEdge& e =
      side.segments == 2 && row >= middleRow ? side.segment[1] : side.segment[0];
  return e.startX + (row - e.startRow) * e.slope;
}

bool TriangleRowSpan(const TriangleSetup& s, const ClipBox& area, int64_t row, TriangleSpan* span) {
  if (row < area.top || row >= area.bottom || row < s.topRow || row >= s.bottomRow) return false;
  int64_t xa = FixFloor(TriangleEdgeX(s.left, s.middleRow, row));
  const int64_t xb = FixFloor(TriangleEdgeX(s.right, s.middleRow, row));
  int64_t count = xb - xa + 1;
  if (xa < area.left) {
    count -= area.left - xa;
    xa = area.left;
  }
  if (xa >= area.right || count <= 0) return false;
  if (count > area.right - xa) count = area.right - xa;
  span->row = row;
  span->column = xa;
  span->count = count;
  const __int128 dy = row - s.refRow, dx = xa - s.refColumn;
  span->u = s.refU + dy * s.dudy + dx * s.dudx;
  span->v = s.refV + dy * s.dvdy + dx * s.dvdx;
  return true;
}

void ClipSpanToSource(const TriangleSpan& span, int64_t dudx, int64_t dvdx, int64_t width,
                      int64_t height, int64_t* first, int64_t* count, int64_t* u, int64_t* v) {
  __int128 lo = 0, hi = span.count;
  InsideRange(span.u, dudx, width * FixOne, span.count, &lo, &hi);
  InsideRange(span.v, dvdx, height * FixOne, span.count, &lo, &hi);
  if (width <= 0 || height <= 0 || hi <= lo) {
    *first = 0;
    *count = 0;
    *u = 0;
    *v = 0;
    return;
  }
  *first = static_cast<int64_t>(lo);
  *count = static_cast<int64_t>(hi - lo);
  *u = static_cast<int64_t>(span.u + lo * dudx);
  *v = static_cast<int64_t>(span.v + lo * dvdx);
}
