#include "stg_src/field/terrain/terrain.h"

#include <algorithm>
#include <cmath>

#include "runtime/platform/core/arithmetic_helpers.h"
#include "stg_src/field/angles.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/terrain/tile_polygons.h"

#include "stg_src/game/deterministic.h"

namespace {

constexpr double kProbeLift = 20;  // probes start this far inside the walker
constexpr double kMarkerProbeLift = 2;
constexpr int16_t kWallPushResult = 10;
constexpr int kFirstSteepPiece = 44;

// Tile index by the defined truncation: non-finite and far values come out far outside any map.
int TileIndex(double v) { return DoubleToInt(v) / kTileSize; }

int16_t Saturate16(int v) { return static_cast<int16_t>(std::clamp(v, INT16_MIN, INT16_MAX)); }

bool IsInsideMap(int column, int row) {
  return column >= 0 && column < std::min<int>(MapWidth, kMainMapColumns) && row >= 0 &&
         row < std::min<int>(MapHeight, kMainMapRows);
}

int32_t CellAt(int column, int row) {
  return IsInsideMap(column, row) ? CollisionLayer[row][column] : 0;
}

int16_t TileType(int32_t cell) { return static_cast<int16_t>(cell); }

bool IsRouteMarker(int16_t type) { return type >= kFirstRouteMarker && type <= kLastRouteMarker; }

// Empty cells and markers have nothing to stand on or run into.
bool IsTerrainCell(int32_t cell) { return cell > 0 && !IsRouteMarker(TileType(cell)); }

// Leftward directions fold onto their rightward twins, so a surface has one angle whichever
// way its edge runs.
int16_t FoldSurfaceAngle(int a) {
  if (a > 256 && a < 768) return static_cast<int16_t>(WrapAngle(512 - a));
  if (a == 768) return 256;
  return static_cast<int16_t>(a);
}

// A tile's surface polyline in world pixels.
struct Surface {
  double xs[kTilePolygonPoints];
  double ys[kTilePolygonPoints];
  int segments;
  double tileX, tileY;
};

bool GetSurface(int32_t cell, int column, int row, int16_t form, Surface* s) {
  s->segments = GetTilePolygon(s->xs, s->ys, TileType(cell), form);
  s->tileX = column * kTileSize;
  s->tileY = row * kTileSize;
  return s->segments > 0;
}

// Of two segments the second serves points strictly right of the middle vertex.
int SegmentFor(const Surface& s, double x) {
  return s.segments == 2 && x > s.tileX + s.xs[1] ? 1 : 0;
}

double SurfaceHeight(const Surface& s, int i, double x) {
  return s.tileY + s.ys[i] +
         (s.ys[i + 1] - s.ys[i]) * (x - (s.tileX + s.xs[i])) / (s.xs[i + 1] - s.xs[i]);
}

int16_t SurfaceSlope(const Surface& s, int i) {
  return FoldSurfaceAngle(
      AimAngle(s.tileX + s.xs[i], s.tileY + s.ys[i], s.tileX + s.xs[i + 1], s.tileY + s.ys[i + 1]));
}

// The first segment whose x span holds x, ends included; -1 when none does.
int SegmentSpanning(const Surface& s, double x) {
  for (int i = 0; i < s.segments; ++i) {
    if (s.tileX + s.xs[i] <= x && x <= s.tileX + s.xs[i + 1]) return i;
  }
  return -1;
}

// Side and nearness of one end of the motion against an edge (through its foot on the line).
struct EdgeProbe {
  bool near;
  double side;
  bool hit;
};

EdgeProbe ProbeEdge(double ax, double ay, double ux, double uy, double mx, double my, double hh,
                    double px, double py, double r) {
  const double t = ux * (px - ax) + uy * (py - ay);
  const double fx = ax + ux * t, fy = ay + uy * t;
  EdgeProbe p;
  p.near = (fx - mx) * (fx - mx) + (fy - my) * (fy - my) - hh <= r * r;
  p.side = ux * (fy - py) - uy * (fx - px);
  p.hit = p.near && std::sqrt((fx - px) * (fx - px) + (fy - py) * (fy - py)) <= r;
  return p;
}

// A motion exactly along an axis keeps its hit only when the edge reaches within r of its line.
bool GlidesPast(double a, double b, double line, double r) {
  return (a + r <= line && b + r <= line) || (a - r >= line && b - r >= line);
}

// The first surface of the form in the point's column from its row on, by rowStep; false when
// the point lies outside the map or no cell gives one.
bool FindSurfaceInColumn(double x, double y, int rowStep, int16_t form, bool* inside,
                         double* surface) {
  const int column = TileIndex(x), row = TileIndex(y);
  *inside = IsInsideMap(column, row);
  if (!*inside) return false;
  for (int r = row; IsInsideMap(column, r); r += rowStep) {
    const int32_t cell = CellAt(column, r);
    Surface s;
    if (!IsTerrainCell(cell) || !GetSurface(cell, column, r, form, &s)) continue;
    const int segment = SegmentSpanning(s, x);
    if (segment < 0) continue;
    *surface = SurfaceHeight(s, segment, x);
    return true;
  }
  return false;
}

}  // namespace

int32_t GetCollisionTile(double x, double y, int16_t* column, int16_t* row) {
  const int c = TileIndex(x), r = TileIndex(y);
  *column = Saturate16(c);
  *row = Saturate16(r);
  return CellAt(c, r);
}

bool SegmentHitsCircle(double ax, double ay, double bx, double by, double oldX, double oldY,
                       double newX, double newY, double r) {
  const double hx = (bx - ax) / 2, hy = (by - ay) / 2;
  const double mx = ax + hx, my = ay + hy;
  const double hh = hx * hx + hy * hy;
  const double length = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
  if (length == 0) return false;
  const double ux = (bx - ax) / length, uy = (by - ay) / length;

  const EdgeProbe o = ProbeEdge(ax, ay, ux, uy, mx, my, hh, oldX, oldY, r);
  bool hit = o.hit;
  if (!hit) {
    const EdgeProbe n = ProbeEdge(ax, ay, ux, uy, mx, my, hh, newX, newY, r);
    hit = n.hit ||
          (((o.side >= 0 && n.side < 0) || (o.side < 0 && n.side >= 0)) && (o.near || n.near));
  }
  if (!hit) return false;
  if (newY == oldY) return !GlidesPast(ay, by, newY, r);
  if (newX == oldX) return !GlidesPast(ax, bx, newX, r);
  return true;
}

int16_t TestTerrainHit(double newX, double newY, double oldX, double oldY, int16_t radius) {
  int16_t column, row;
  int32_t cell = GetCollisionTile(newX, newY, &column, &row);
  if (!IsTerrainCell(cell)) {
    cell = GetCollisionTile(oldX, oldY, &column, &row);
    if (!IsTerrainCell(cell)) return -1;
  }
  double xs[kTilePolygonPoints], ys[kTilePolygonPoints];
  if (GetTilePolygon(xs, ys, TileType(cell), kTileFullPolygon) == 0) return -1;
  const double tileX = column * kTileSize, tileY = row * kTileSize;
  for (int i = 0; i < kTilePolygonPoints; ++i) {
    const int j = (i + 1) % kTilePolygonPoints;
    if (xs[i] == xs[j] && ys[i] == ys[j]) continue;
    const double ax = tileX + xs[i], ay = tileY + ys[i];
    const double bx = tileX + xs[j], by = tileY + ys[j];
    if (SegmentHitsCircle(ax, ay, bx, by, oldX, oldY, newX, newY, radius)) {
      return FoldSurfaceAngle(AimAngle(ax, ay, bx, by));
    }
  }
  return -1;
}

int16_t FollowTerrain(double* x, double* y, int16_t mode, double footOffset, double headOffset,
                      double oldX, double oldY, double* speed, double* speedOut, int16_t* slope) {
  *speedOut = *speed;
  int16_t result = 0;
  int16_t column, row;
  const int32_t under = GetCollisionTile(*x, *y, &column, &row);
  const int16_t underType = TileType(under);
  if (under > 0 &&
      (underType == 1 || (underType >= kFirstSteepPiece && !IsRouteMarker(underType)))) {
    *x = oldX;
    result = kWallPushResult;
  }

  const bool ground = *y >= oldY;
  const double probeY = ground ? *y + footOffset - kProbeLift : *y - headOffset + kProbeLift;
  const int rowStep = ground ? 1 : -1;
  const int16_t form = ground ? kTileUpperSurface : kTileLowerSurface;
  const double offset = ground ? -footOffset : headOffset;
  const int probeColumn = TileIndex(*x);
  const int probeRow = TileIndex(probeY);

  for (int k = 0; k < 3; ++k) {
    const int r = probeRow + k * rowStep;
    const int32_t cell = CellAt(probeColumn, r);
    Surface s;
    if (!IsTerrainCell(cell) || !GetSurface(cell, probeColumn, r, form, &s)) continue;
    const int segment = SegmentFor(s, *x);
    const double surfaceNew = SurfaceHeight(s, segment, *x) + offset;
    const double surfaceOld = SurfaceHeight(s, SegmentFor(s, oldX), oldX) + offset;
    if (mode == 0) {
      if (std::fabs(surfaceNew - *y) >= kTerrainSnapDistance) return result;
      *y = surfaceNew;
      *slope = SurfaceSlope(s, segment);
      *speed *= CosineTable[*slope];
      return static_cast<int16_t>(result + 1);
    }
    const bool lands = ground ? surfaceNew <= *y && oldY <= surfaceOld + kTerrainLandingTolerance
                              : surfaceNew >= *y && surfaceOld - kTerrainLandingTolerance <= oldY;
    if (lands) {
      *y = surfaceNew;
      *slope = SurfaceSlope(s, segment);
      return static_cast<int16_t>(result + 1);
    }
  }
  return result;
}

void RaiseToCeiling(double x, double* y, double offset) {
  bool inside;
  double surface;
  if (FindSurfaceInColumn(x, *y, -1, kTileLowerSurface, &inside, &surface)) {
    *y = surface + offset;
  } else if (inside) {
    *y = *y - offset;
  }
}

void DropOntoGround(double x, double* y, double offset) {
  bool inside;
  double surface;
  if (FindSurfaceInColumn(x, *y, 1, kTileUpperSurface, &inside, &surface)) {
    *y = surface - offset;
  } else if (inside) {
    *y = *y + offset;
  }
}

int16_t IsTurnMarkerAt(double x, double y, double offset, int16_t k) {
  const double probeY = y + offset - kMarkerProbeLift;
  const int32_t back = kFirstRouteMarker + 2 * k, forward = back + 1;
  for (double py : {probeY, probeY - kTileSize, probeY + kTileSize}) {
    int16_t column, row;
    const int32_t cell = GetCollisionTile(x, py, &column, &row);
    if (cell == back) return -1;
    if (cell == forward) return 1;
  }
  return 0;
}

double GetVariantYShift(int16_t code) {
  if (code == 31 || (code >= 40 && code <= 46)) return -20.0;
  if (code == 32 || (code >= 47 && code <= 53)) return 20.0;
  return 0.0;
}
