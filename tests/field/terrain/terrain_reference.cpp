#include "tests/field/terrain/terrain_reference.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "stg_src/field/map/fmf_map_file.h"
#include "stg_src/field/map/stage_maps.h"
#include "tests/game_support/field_fixture.h"
#include "tools/lib/fmf_map_writer.h"

namespace {

// type | full polygon | upper surface | lower surface, in tenths of a tile side.
const char kTileTable[] = R"(
1 | 0,0 4,0 4,4 0,4 | 0,0 4,0 | 0,4 4,4
2 | 0,4 4,0 4,4 0,4 | 0,4 4,0 | 0,4 4,4
3 | 0,0 4,4 0,4 0,0 | 0,0 4,4 | 0,4 4,4
4 | 0,4 4,2 4,4 0,4 | 0,4 4,2 | 0,4 4,4
5 | 0,2 4,0 4,4 0,4 | 0,2 4,0 | 0,4 4,4
6 | 0,0 4,2 4,4 0,4 | 0,0 4,2 | 0,4 4,4
7 | 0,2 4,4 0,4 0,2 | 0,2 4,4 | 0,4 4,4
8 | 0,4 4,3 4,4 0,4 | 0,4 4,3 | 0,4 4,4
9 | 0,3 4,2 4,4 0,4 | 0,3 4,2 | 0,4 4,4
10 | 0,2 4,1 4,4 0,4 | 0,2 4,1 | 0,4 4,4
11 | 0,1 4,0 4,4 0,4 | 0,1 4,0 | 0,4 4,4
12 | 0,0 4,1 4,4 0,4 | 0,0 4,1 | 0,4 4,4
13 | 0,1 4,2 4,4 0,4 | 0,1 4,2 | 0,4 4,4
14 | 0,2 4,3 4,4 0,4 | 0,2 4,3 | 0,4 4,4
15 | 0,3 4,4 0,4 0,3 | 0,3 4,4 | 0,4 4,4
18 | 0,0 4,4 4,0 0,0 | 0,0 4,0 | 0,0 4,4
19 | 0,4 4,0 0,0 0,4 | 0,0 4,0 | 0,4 4,0
20 | 0,0 4,2 4,0 0,0 | 0,0 4,0 | 0,0 4,2
21 | 0,2 4,4 4,0 0,0 | 0,0 4,0 | 0,2 4,4
22 | 0,4 4,2 4,0 0,0 | 0,0 4,0 | 0,4 4,2
23 | 0,2 4,0 0,0 0,2 | 0,0 4,0 | 0,2 4,0
24 | 0,0 4,1 4,0 0,0 | 0,0 4,0 | 0,0 4,1
25 | 0,1 4,2 4,0 0,0 | 0,0 4,0 | 0,1 4,2
26 | 0,2 4,3 4,0 0,0 | 0,0 4,0 | 0,2 4,3
27 | 0,3 4,4 4,0 0,0 | 0,0 4,0 | 0,3 4,4
28 | 0,4 4,3 4,0 0,0 | 0,0 4,0 | 0,4 4,3
29 | 0,3 4,2 4,0 0,0 | 0,0 4,0 | 0,3 4,2
30 | 0,2 4,1 4,0 0,0 | 0,0 4,0 | 0,2 4,1
31 | 0,1 4,0 0,0 0,1 | 0,0 4,0 | 0,1 4,0
44 | 3,4 4,0 4,4 3,4 | 3,4 4,0 | 3,4 4,4
45 | 0,0 1,4 0,4 0,0 | 0,0 1,4 | 0,4 1,4
46 | 2,4 4,0 4,4 2,4 | 2,4 4,0 | 2,4 4,4
47 | 0,0 2,4 0,4 0,0 | 0,0 2,4 | 0,4 2,4
60 | 2,4 3,0 4,0 4,4 | 2,4 3,0 4,0 | 2,4 4,4
61 | 1,0 2,4 0,4 0,0 | 0,0 1,0 2,4 | 0,4 2,4
62 | 0,4 2,0 4,0 4,4 | 0,4 2,0 4,0 | 0,4 4,4
63 | 2,0 4,4 0,4 0,0 | 0,0 2,0 4,4 | 0,4 4,4
76 | 1,4 2,0 4,0 4,4 | 1,4 2,0 4,0 | 1,4 4,4
77 | 2,0 3,4 0,4 0,0 | 0,0 2,0 3,4 | 0,4 3,4
78 | 0,0 1,4 4,4 4,0 | 0,0 4,0 | 0,0 1,4 4,4
79 | 3,4 4,0 0,0 0,4 | 0,0 4,0 | 0,4 3,4 4,0
92 | 0,4 1,0 4,0 4,4 | 0,4 1,0 4,0 | 0,4 4,4
93 | 3,0 4,4 0,4 0,0 | 0,0 3,0 4,4 | 0,4 4,4
94 | 1,0 2,4 4,4 4,0 | 1,0 4,0 | 1,0 2,4 4,4
95 | 2,4 3,0 0,0 0,4 | 0,0 3,0 | 0,4 2,4 3,0
108 | 0,0 2,4 4,4 4,0 | 0,0 4,0 | 0,0 2,4 4,4
109 | 2,4 4,0 0,0 0,4 | 0,0 4,0 | 0,4 2,4 4,0
110 | 2,0 3,4 4,4 4,0 | 2,0 4,0 | 2,0 3,4 4,4
111 | 1,4 2,0 0,0 0,4 | 0,0 2,0 | 0,4 1,4 2,0
124 | 2,0 4,4 4,0 2,0 | 2,0 4,0 | 2,0 4,4
125 | 0,4 2,0 0,0 0,4 | 0,0 2,0 | 0,4 2,0
126 | 3,0 4,4 4,0 3,0 | 3,0 4,0 | 3,0 4,4
127 | 0,4 1,0 0,0 0,4 | 0,0 1,0 | 0,4 1,0
)";

constexpr long double kTile = 40;
constexpr long double kTenth = 10;
// Linear quantities closer than this to a threshold are left undecided.
constexpr long double kEpsilon = 1e-6L;

std::vector<RefPoint> ParsePoints(const std::string& text) {
  std::istringstream in(text);
  std::vector<RefPoint> points;
  std::string pair;
  while (in >> pair) {
    const size_t comma = pair.find(',');
    points.push_back({std::stoi(pair.substr(0, comma)), std::stoi(pair.substr(comma + 1))});
  }
  return points;
}

std::vector<RefTileShape> ParseTable() {
  std::vector<RefTileShape> shapes;
  std::istringstream in(kTileTable);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::vector<std::string> columns;
    std::istringstream fields(line);
    std::string field;
    while (std::getline(fields, field, '|')) columns.push_back(field);
    if (columns.size() != 4) throw std::logic_error("tile table line: " + line);
    shapes.push_back({std::stoi(columns[0]), ParsePoints(columns[1]), ParsePoints(columns[2]),
                      ParsePoints(columns[3])});
  }
  return shapes;
}

bool IsMarker(int type) { return type >= 48 && type <= 53; }
bool IsTerrain(int type) { return type > 0 && !IsMarker(type); }

long long TileIndexOf(long double v) { return static_cast<long long>(std::trunc(v)) / 40; }

// A comparison that notes when its two sides are too close to call.
struct Judge {
  bool undecided = false;
  bool LessOrEqual(long double a, long double b, long double scale = 1) {
    if (std::fabs(a - b) < kEpsilon * scale) undecided = true;
    return a <= b;
  }
};

struct EndProbe {
  bool near, hit, nonNegativeSide;
};

// One end of the motion against the edge, by the projection parameter t of its foot (near:
// t (t - 1) |AB|^2 <= r^2, the foot within sqrt(|AB|^2 / 4 + r^2) of the midpoint) and the cross
// product (distance and side).
EndProbe ProbeEnd(Judge& judge, long double ax, long double ay, long double ex, long double ey,
                  long double px, long double py, long double r) {
  const long double l2 = ex * ex + ey * ey, l = std::sqrt(l2);
  const long double t = ((px - ax) * ex + (py - ay) * ey) / l2;
  const long double cross = ex * (py - ay) - ey * (px - ax);
  EndProbe p;
  p.near = judge.LessOrEqual(t * (t - 1) * l2, r * r, l + r + 1);
  p.hit = p.near && judge.LessOrEqual(std::fabs(cross) / l, r);
  p.nonNegativeSide = cross <= 0;
  return p;
}

bool SideUndecided(long double ax, long double ay, long double ex, long double ey, long double px,
                   long double py) {
  const long double cross = ex * (py - ay) - ey * (px - ax);
  return std::fabs(cross) / std::sqrt(ex * ex + ey * ey) < kEpsilon;
}

bool GlidesPast(Judge& judge, long double a, long double b, long double line, long double r) {
  return (judge.LessOrEqual(a + r, line) && judge.LessOrEqual(b + r, line)) ||
         (judge.LessOrEqual(line, a - r) && judge.LessOrEqual(line, b - r));
}

}  // namespace

const std::vector<RefTileShape>& RefTileShapes() {
  static const std::vector<RefTileShape> shapes = ParseTable();
  return shapes;
}

const RefTileShape* FindRefTileShape(int type) {
  for (const RefTileShape& s : RefTileShapes()) {
    if (s.type == type) return &s;
  }
  return nullptr;
}

RefTerrainMap::RefTerrainMap(int width, int height, const std::vector<RefCell>& cells)
    : width_(width), height_(height), types_(static_cast<size_t>(width) * height, 0) {
  std::string content;
  for (const RefCell& c : cells) {
    types_[static_cast<size_t>(c.row) * width + c.column] = c.type;
    content += "cell 2 " + std::to_string(c.column) + " " + std::to_string(c.row) + " " +
               std::to_string(c.type) + "\n";
  }
  const std::vector<uint8_t> bytes = BuildFmfMap(FieldMapDescription(width, height, 5, content));
  MapFile file;
  InitMapFile(&file);
  EXPECT_EQ(LoadMapFileFromMemory(&file, bytes.data(), bytes.size(), "terrain.fmf"), 1);
  EXPECT_EQ(ReadMainMap(&file, "terrain.fmf"), 1);
  DestroyMapFile(&file);
}

int RefTerrainMap::TypeAt(long long column, long long row) const {
  if (column < 0 || column >= width_ || row < 0 || row >= height_) return 0;
  return types_[static_cast<size_t>(row) * width_ + column];
}

RefDecision RefSegmentHitsCircle(long double ax, long double ay, long double bx, long double by,
                                 long double oldX, long double oldY, long double newX,
                                 long double newY, long double r) {
  const long double ex = bx - ax, ey = by - ay;
  if (ex == 0 && ey == 0) return {};
  Judge judge;
  const EndProbe o = ProbeEnd(judge, ax, ay, ex, ey, oldX, oldY, r);
  bool hit = o.hit;
  if (!hit) {
    const EndProbe n = ProbeEnd(judge, ax, ay, ex, ey, newX, newY, r);
    hit = n.hit;
    if (!hit && (o.near || n.near)) {
      if (SideUndecided(ax, ay, ex, ey, oldX, oldY) || SideUndecided(ax, ay, ex, ey, newX, newY)) {
        judge.undecided = true;
      }
      hit = o.nonNegativeSide != n.nonNegativeSide;
    }
  }
  if (hit && newY == oldY) {
    hit = !GlidesPast(judge, ay, by, newY, r);
  } else if (hit && newX == oldX) {
    hit = !GlidesPast(judge, ax, bx, newX, r);
  }
  return {hit, judge.undecided};
}

RefTerrainHit RefTestTerrainHit(const RefTerrainMap& map, double newX, double newY, double oldX,
                                double oldY, int radius) {
  RefTerrainHit result;
  long long column = TileIndexOf(newX), row = TileIndexOf(newY);
  int type = map.TypeAt(column, row);
  if (!IsTerrain(type)) {
    column = TileIndexOf(oldX);
    row = TileIndexOf(oldY);
    type = map.TypeAt(column, row);
    if (!IsTerrain(type)) return result;
  }
  const RefTileShape* shape = FindRefTileShape(type);
  if (shape == nullptr) return result;
  const long double tileX = column * kTile, tileY = row * kTile;
  for (int i = 0; i < 4; ++i) {
    const RefPoint a = shape->full[i], b = shape->full[(i + 1) % 4];
    if (a.x == b.x && a.y == b.y) continue;
    const long double ax = tileX + a.x * kTenth, ay = tileY + a.y * kTenth;
    const long double bx = tileX + b.x * kTenth, by = tileY + b.y * kTenth;
    const RefDecision d = RefSegmentHitsCircle(ax, ay, bx, by, oldX, oldY, newX, newY, radius);
    if (d.undecided) {
      result.undecided = true;
      return result;
    }
    if (d.value) {
      result.edge = i;
      result.ax = ax;
      result.ay = ay;
      result.bx = bx;
      result.by = by;
      return result;
    }
  }
  return result;
}

RefSurface RefSurfaceAt(const RefTileShape& shape, int form, long double tileX, long double tileY,
                        long double x) {
  const std::vector<RefPoint>& points = form == 1 ? shape.upper : shape.lower;
  const bool twoSegments = points.size() == 3;
  const long double vertexX = tileX + points[1].x * kTenth;
  RefSurface s;
  s.segment = twoSegments && x > vertexX ? 1 : 0;
  s.nearVertex = twoSegments && std::fabs(x - vertexX) < kEpsilon;
  const RefPoint a = points[s.segment], b = points[s.segment + 1];
  const long double x0 = tileX + a.x * kTenth, x1 = tileX + b.x * kTenth;
  const long double y0 = tileY + a.y * kTenth, y1 = tileY + b.y * kTenth;
  const long double t = (x - x0) / (x1 - x0);
  s.height = y0 + t * (y1 - y0);
  return s;
}

RefFollow RefFollowTerrain(const RefTerrainMap& map, double x, double y, int mode, double foot,
                           double head, double oldX, double oldY) {
  RefFollow f;
  Judge judge;
  const int under = map.TypeAt(TileIndexOf(x), TileIndexOf(y));
  long double px = x;
  if (under == 1 || (under >= 44 && !IsMarker(under))) {
    px = oldX;
    f.result = 10;
  }
  f.y = y;
  const bool ground = y >= oldY;
  const long double probeY =
      ground ? static_cast<long double>(y) + foot - 20 : static_cast<long double>(y) - head + 20;
  const long double nearestBorder = std::round(probeY / kTile) * kTile;
  if (nearestBorder != 0 && std::fabs(probeY - nearestBorder) < kEpsilon) judge.undecided = true;
  const int form = ground ? 1 : 2;
  const long double offset = ground ? -static_cast<long double>(foot) : head;
  const long long column = TileIndexOf(px), firstRow = TileIndexOf(probeY);
  for (int k = 0; k < 3; ++k) {
    const long long row = firstRow + (ground ? k : -k);
    const int type = map.TypeAt(column, row);
    if (!IsTerrain(type)) continue;
    const RefTileShape& shape = *FindRefTileShape(type);
    const long double tileX = column * kTile, tileY = row * kTile;
    const RefSurface now = RefSurfaceAt(shape, form, tileX, tileY, px);
    const RefSurface before = RefSurfaceAt(shape, form, tileX, tileY, oldX);
    const long double surfaceNew = now.height + offset, surfaceOld = before.height + offset;
    bool take;
    if (mode == 0) {
      take = !judge.LessOrEqual(20, std::fabs(surfaceNew - y));
    } else if (ground) {
      take = judge.LessOrEqual(surfaceNew, y) && judge.LessOrEqual(oldY, surfaceOld + 5);
    } else {
      take = judge.LessOrEqual(y, surfaceNew) && judge.LessOrEqual(surfaceOld - 5, oldY);
    }
    if (take) {
      if (now.nearVertex) judge.undecided = true;
      const std::vector<RefPoint>& points = form == 1 ? shape.upper : shape.lower;
      const RefPoint a = points[now.segment], b = points[now.segment + 1];
      f.sx0 = tileX + a.x * kTenth;
      f.sy0 = tileY + a.y * kTenth;
      f.sx1 = tileX + b.x * kTenth;
      f.sy1 = tileY + b.y * kTenth;
      f.y = surfaceNew;
      f.landed = true;
      f.result += 1;
      break;
    }
    if (mode == 0) break;
  }
  f.undecided = judge.undecided;
  return f;
}

RefColumnSurface RefPlaceInColumn(const RefTerrainMap& map, double x, double y, double offset,
                                  bool down) {
  RefColumnSurface c;
  c.y = y;
  const long long column = TileIndexOf(x), row = TileIndexOf(y);
  if (column < 0 || column >= map.width() || row < 0 || row >= map.height()) return c;
  const int form = down ? 1 : 2;
  for (long long r = row; r >= 0 && r < map.height(); r += down ? 1 : -1) {
    const int type = map.TypeAt(column, r);
    if (!IsTerrain(type)) continue;
    const RefTileShape& shape = *FindRefTileShape(type);
    const std::vector<RefPoint>& points = form == 1 ? shape.upper : shape.lower;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
      const long double x0 = column * kTile + points[i].x * kTenth;
      const long double x1 = column * kTile + points[i + 1].x * kTenth;
      if (x < x0 || x > x1) continue;
      const long double y0 = r * kTile + points[i].y * kTenth;
      const long double y1 = r * kTile + points[i + 1].y * kTenth;
      const long double height = y0 + (x - x0) / (x1 - x0) * (y1 - y0);
      c.y = down ? height - offset : height + offset;
      return c;
    }
  }
  c.y = down ? static_cast<long double>(y) + offset : static_cast<long double>(y) - offset;
  return c;
}

long double RefDistanceToSegment(long double ax, long double ay, long double bx, long double by,
                                 long double px, long double py) {
  const long double ex = bx - ax, ey = by - ay, l2 = ex * ex + ey * ey;
  long double t = l2 == 0 ? 0 : ((px - ax) * ex + (py - ay) * ey) / l2;
  t = std::fmax(0, std::fmin(1, t));
  return std::hypot(px - (ax + t * ex), py - (ay + t * ey));
}
