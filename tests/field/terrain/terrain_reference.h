// Slow references for the terrain tests: the tile table written out again from its source in
// tenths of a tile, a collision map loaded from the map writer that the references read from
// their own copy, and long-double versions of the swept edge test, the terrain hit and the
// surface heights, computed with the projection parameter and cross products. Each reference
// reports a case as undecided when one of its comparisons lies within a small epsilon of its
// threshold, where double rounding may rightly go either way.
#pragma once

#include <string>
#include <vector>

struct RefPoint {
  int x, y;  // tenths of a tile side
};

struct RefTileShape {
  int type;
  std::vector<RefPoint> full, upper, lower;
};

// Every tile type that has a polygon, in table order.
const std::vector<RefTileShape>& RefTileShapes();
const RefTileShape* FindRefTileShape(int type);

// A collision map of width x height cells from the map writer, read with ReadMainMap; cells
// lists (column, row, type). The reference keeps its own copy of the types (0 empty).
struct RefCell {
  int column, row, type;
};
class RefTerrainMap {
 public:
  RefTerrainMap(int width, int height, const std::vector<RefCell>& cells);
  int TypeAt(long long column, long long row) const;
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_, height_;
  std::vector<int> types_;
};

struct RefDecision {
  bool value = false;
  bool undecided = false;
};

// The swept edge test with every step of its contract: ends within r of the edge (with the foot
// on the edge or not far past its ends), a crossing, and the filter for motion along an axis.
RefDecision RefSegmentHitsCircle(long double ax, long double ay, long double bx, long double by,
                                 long double oldX, long double oldY, long double newX,
                                 long double newY, long double r);

// The terrain hit: the edge index struck (-1 none), the cell's tile origin and its polygon.
struct RefTerrainHit {
  int edge = -1;
  bool undecided = false;
  long double ax = 0, ay = 0, bx = 0, by = 0;  // the struck edge in world pixels
};
RefTerrainHit RefTestTerrainHit(const RefTerrainMap& map, double newX, double newY, double oldX,
                                double oldY, int radius);

// The surface of a form (1 upper, 2 lower) at x over one tile: the height by the projection
// parameter along the segment serving x (the second one strictly right of the middle vertex).
struct RefSurface {
  long double height;
  int segment;
  bool nearVertex;  // x within epsilon of the middle vertex
};
RefSurface RefSurfaceAt(const RefTileShape& shape, int form, long double tileX, long double tileY,
                        long double x);

// FollowTerrain's contract in long double: the result code, the new y and the chosen segment's
// ends for the slope.
struct RefFollow {
  int result = 0;
  long double y = 0;
  bool undecided = false;
  bool landed = false;
  long double sx0 = 0, sy0 = 0, sx1 = 0, sy1 = 0;
};
RefFollow RefFollowTerrain(const RefTerrainMap& map, double x, double y, int mode, double foot,
                           double head, double oldX, double oldY);

// DropOntoGround (down true) and RaiseToCeiling in long double.
struct RefColumnSurface {
  long double y = 0;
  bool undecided = false;
};
RefColumnSurface RefPlaceInColumn(const RefTerrainMap& map, double x, double y, double offset,
                                  bool down);

// Distance from (px, py) to the segment from a to b.
long double RefDistanceToSegment(long double ax, long double ay, long double bx, long double by,
                                 long double px, long double py);
