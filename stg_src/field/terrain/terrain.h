// The terrain questions the ship, shots and walkers ask of the main map's collision layer: the
// tile under a point, the swept circle against a tile's edges with the surface angle it struck,
// walkers kept on floors and ceilings, the first ground or ceiling in a column, the route
// markers under a walker; and the half-tile placement shift of a map variant.
#pragma once

#include <cstdint>

// Route markers: passable tiles without a polygon, in pairs (48 + 2k turns back toward
// negative x, 49 + 2k toward positive x).
constexpr int kFirstRouteMarker = 48;
constexpr int kLastRouteMarker = 53;

// A standing walker follows a step of less than this; an airborne one may land on a surface
// it has already passed by up to the tolerance.
constexpr double kTerrainSnapDistance = 20;
constexpr double kTerrainLandingTolerance = 5;

// column = trunc(x) / 40 and row = trunc(y) / 40, dividing toward zero (so -40 < x < 0 is
// column 0); a far or non-finite coordinate gives a value outside every map, held in 16 bits.
// The cell's value, or 0 outside 0..MapWidth-1 / 0..MapHeight-1.
int32_t GetCollisionTile(double x, double y, int16_t* column, int16_t* row);

// Whether a circle of radius r moving from (oldX, oldY) to (newX, newY) touches the edge from
// (ax, ay) to (bx, by): either end within r of the edge, or the path crossing it. A hit found
// while moving exactly along an axis is dropped when the whole edge lies r or more to one side
// of that line, so gliding along a surface at distance r does not count. An edge of length 0 is
// never touched.
bool SegmentHitsCircle(double ax, double ay, double bx, double by, double oldX, double oldY,
                       double newX, double newY, double r);

// The surface angle (0..1023) of the first edge the moving circle struck in one cell (the new
// point's, else the old point's when that one is empty or a marker), or -1. Leftward edges fold
// onto their rightward twins; vertical edges give 251 (drawn down) or 773 (drawn up).
int16_t TestTerrainHit(double newX, double newY, double oldX, double oldY, int16_t radius);

// Keeps a walker that has already moved from (oldX, oldY) to (*x, *y) on the ground below it
// (moving down or level) or the ceiling above it (moving up). A wall under the new point puts
// *x back at oldX (10). Mode 0 (standing) snaps to the first surface within 20 px and scales
// *speed by the slope's cosine; any other mode (airborne) lands only on a surface it passed
// from above (below, for ceilings) with 5 px of tolerance. Returns 0, 1 (on a surface), 10 or
// 11; *speedOut gets *speed before any scaling; *slope the surface's angle.
int16_t FollowTerrain(double* x, double* y, int16_t mode, double footOffset, double headOffset,
                      double oldX, double oldY, double* speed, double* speedOut, int16_t* slope);

// *y put offset below the first ceiling at or above the point in its column (offset above the
// first ground at or below it); without one, *y moved by offset the same way; a point outside
// the map keeps its *y.
void RaiseToCeiling(double x, double* y, double offset);
void DropOntoGround(double x, double* y, double offset);

// The route marker pair k (0..2) at y + offset - 2, else 40 px above, else 40 px below:
// -1 for 48 + 2k, +1 for 49 + 2k, 0 for none.
int16_t IsTurnMarkerAt(double x, double y, double offset, int16_t k);

// Half a tile up (-20) for map variants 31 and 40..46, down (+20) for 32 and 47..53, else 0.
double GetVariantYShift(int16_t code);
