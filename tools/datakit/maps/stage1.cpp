// Stage 1's own maps: an orbital wreck field scrolled right over 630 columns, 15 rows high, with
// a hull floor and ceiling, enemy waves along the way and, at the end, the boss's route of
// waypoints. The easy map (easy and normal) and the hard map share the layout and the route; the
// hard one holds more enemies. The descriptions are written out once by code from the tables
// below (the form: tools/lib/fmf_map_writer.h).
#include <string>
#include <vector>

#include "tools/datakit/maps/map_text.h"
#include "tools/datakit/maps/stage_maps.h"

namespace {

constexpr int kColumns = 630;
constexpr int kRows = 15;

// Event codes (layer 3): 1 + pool-0 type, 65 + pool-1 type, 129 + map command.
constexpr int kBoss = 11;
constexpr int kFloorTurret = 1;
constexpr int kItemBox = 9;
constexpr int kRobot = 12;
constexpr int kRiser = 13;
constexpr int kHatch = 14;
constexpr int kBgObjectPlacer = 18;
constexpr int kGlowPlacer = 19;
constexpr int kStripPlacer = 20;
constexpr int kSwerveFlier = 69;
constexpr int kDashFlier = 72;
constexpr int kCrossFlier = 75;
constexpr int kMortarWalker = 76;
constexpr int kLargeRock = 77;
constexpr int kThrownRockM = 78;
constexpr int kThrownRockS = 79;
constexpr int kCeilingRock1 = 80;
constexpr int kCeilingRock2 = 81;
constexpr int kCeilingRock3 = 82;
constexpr int kWaypoint = 83;
constexpr int kWall = 84;
constexpr int kSpeed2 = 133;        // scroll speed 2.0
constexpr int kScrollRight = 144;   // under a marker: the scroll's direction
constexpr int kViewTop = 160;       // the view range's top at this row
constexpr int kViewBottom = 176;    // the view range's bottom below this row
constexpr int kFreeVertical = 164;  // over a marker: every row is read

// Collision tile types: the full block, the markers, the walkers' route markers.
constexpr int kBlock = 1;
constexpr int kStartMarker = 16;
constexpr int kMarkers[] = {17, 32, 33, 34};  // checkpoints 1..4
constexpr int kTurnLeft = 48;                 // a walker going right turns back
constexpr int kTurnRight = 49;                // a walker going left turns back
constexpr int kRouteForward = 49;  // what a walker's probe reports as against a right walk

// Picture chips of the main sheet: rows of 16 by kind.
constexpr int kFillChips = 0;
constexpr int kTopChips = 64;
constexpr int kBottomChips = 80;

using Event = MapEvent;

// A stretch of hull floor or ceiling `depth` rows thick from column x for w columns: solid
// blocks, filled chips inside and a surface chip on the open side, varied along the run.
void Floor(MapText& m, int x, int w, int depth) {
  const int top = kRows - depth;
  m.Rect(2, x, top, w, depth, kBlock);
  m.Rect(0, x, top, w, depth, kFillChips);
  for (int c = x; c < x + w; ++c) {
    m.Cell(0, c, top, kTopChips + c % 16);
    for (int r = top + 1; r < kRows; ++r) m.Cell(0, c, r, kFillChips + (c * 7 + r * 3) % 48);
  }
}

void Ceiling(MapText& m, int x, int w, int depth) {
  m.Rect(2, x, 0, w, depth, kBlock);
  for (int c = x; c < x + w; ++c) {
    for (int r = 0; r + 1 < depth; ++r) m.Cell(0, c, r, kFillChips + (c * 5 + r * 11) % 48);
    m.Cell(0, c, depth - 1, kBottomChips + c % 16);
  }
}

// Terrain: a floor and ceiling throughout, thicker in places (walkers walk the low floors between
// their route markers, walls stand on the raised ones).
struct Stretch {
  int column, width, floorDepth, ceilingDepth;
};
constexpr Stretch kTerrain[] = {
    {0, 40, 3, 2},   {40, 30, 4, 2},  {70, 40, 3, 3},   {110, 30, 4, 2}, {140, 50, 3, 2},
    {190, 40, 4, 3}, {230, 40, 3, 2}, {270, 30, 4, 3},  {300, 60, 3, 2}, {360, 40, 4, 2},
    {400, 40, 3, 3}, {440, 50, 4, 2}, {490, 140, 3, 2},
};

int FloorTopRow(int column) {
  for (const Stretch& s : kTerrain) {
    if (column >= s.column && column < s.column + s.width) return kRows - s.floorDepth;
  }
  return kRows - 1;
}

// The first open row under the ceiling.
int CeilingDepth(int column) {
  for (const Stretch& s : kTerrain) {
    if (column >= s.column && column < s.column + s.width) return s.ceilingDepth;
  }
  return 1;
}

// Scroll and view commands at a marker's column: every row read, the scroll to the right, the
// view range the map's whole height, speed 2.
void MarkerAt(MapText& m, int column, int row, int tile) {
  m.Cell(2, column, row, tile);
  m.Cell(3, column, row - 1, kFreeVertical);
  m.Cell(3, column, row + 1, kScrollRight);
  m.Cell(3, column - 1, 0, kViewTop);
  m.Cell(3, column - 1, kRows - 1, kViewBottom);
  m.Cell(3, column + 1, 2, kSpeed2);
}

// A walker on the floor between two route markers, enough columns apart for it to shadow the
// player.
void Walker(MapText& m, std::vector<Event>& events, int column) {
  const int row = FloorTopRow(column) - 1;
  events.push_back({column, row, kMortarWalker});
  m.Cell(2, column - 8, row, kTurnRight);
  m.Cell(2, column + 8, row, kTurnLeft);
}

// A walking robot dropped onto the floor, with a route marker three cells to its right that
// sends it back left for good once it has walked up to it.
void Robot(MapText& m, std::vector<Event>& events, int column) {
  const int floor = FloorTopRow(column);
  events.push_back({column, floor - 3, kRobot});
  m.Cell(2, column + 3, floor - 1, kRouteForward);
}

// A hatch on the floor: variant 0 releases risers from under the floor, 1 drops them from above.
void Hatch(std::vector<Event>& events, int column, int variant) {
  events.push_back({column, FloorTopRow(column) - 1, kHatch, variant});
}

// A large rock with ceiling rocks of each kind over it.
void RockField(std::vector<Event>& events, int column, int row) {
  events.push_back({column, row, kLargeRock, column % 2});
  events.push_back({column - 2, CeilingDepth(column - 2), kCeilingRock1});
  events.push_back({column + 1, CeilingDepth(column + 1), kCeilingRock2});
  events.push_back({column + 3, CeilingDepth(column + 3), kCeilingRock3});
}

// The waves before the boss; the hard map adds every entry of the second list.
void Waves(MapText& m, std::vector<Event>& events, bool hard) {
  for (int c = 24; c < 470; c += 18) {
    const int row = 3 + (c / 18) % 8;
    events.push_back({c, row, kCrossFlier});
    if (hard) events.push_back({c + 6, 10 - (c / 18) % 7, kCrossFlier});
  }
  for (int c : {60, 160, 215, 320, 375, 420, 460}) Walker(m, events, c);
  if (hard) {
    for (int c : {85, 180, 240, 345, 430}) Walker(m, events, c);
  }
  for (int c : {95, 250, 345, 420}) RockField(events, c, 6 + c % 4);
  for (int c : {100, 180, 260, 350, 430}) {
    events.push_back({c, 3, kThrownRockM});
    events.push_back({c + 2, 4, kThrownRockS});
  }
  for (int c : {125, 280, 445}) events.push_back({c, FloorTopRow(c) - 1, kWall});
  for (int c = 30; c < 470; c += 40) {
    events.push_back({c + 11, 5 + c % 5, kSwerveFlier});
    if (hard) events.push_back({c + 25, 9 - c % 5, kDashFlier});
  }
  for (int c : {48, 150, 310, 400}) events.push_back({c, FloorTopRow(c) - 1, kFloorTurret});
  // One robot at a time walks the floors; hatches and loose risers between them.
  for (int c : {100, 235, 365}) Robot(m, events, c);
  if (hard) Robot(m, events, 300);
  Hatch(events, 170, 0);
  Hatch(events, 270, 1);
  Hatch(events, 440, 0);
  if (hard) Hatch(events, 330, 1);
  events.push_back({205, FloorTopRow(205) - 1, kRiser, 0});
  events.push_back({385, 3, kRiser, 1});
  // The far sky: blast glows, and the dormant placer that leaves nothing.
  for (int c : {60, 180, 320, 460}) events.push_back({c, 2, kGlowPlacer});
  events.push_back({30, 1, kBgObjectPlacer});
  // Item boxes: main power-ups, one shield.
  events.push_back({34, 7, kItemBox, 33});
  events.push_back({150, 7, kItemBox, 33});
  events.push_back({240, 6, kItemBox, 39});
  events.push_back({370, 8, kItemBox, 33});
}

// The boss comes in at column 500 and rides the screen's left part; the waypoints it meets
// steer it (variant = route command), and the rock at column 508 is at its height when it
// passes, well past world x 19800, so its burst shakes the wings off on every map. The last
// waypoint sends it right once the view has passed x 24000.
constexpr Event kBossRoute[] = {
    {500, 6, kBoss},         {497, 6, kWaypoint, 1}, {508, 10, kLargeRock, 1},
    {515, 10, kWaypoint, 2}, {522, 8, kWaypoint, 3}, {530, 5, kWaypoint, 8},
    {540, 10, kWaypoint, 6}, {552, 3, kWaypoint, 4}, {565, 8, kWaypoint, 1},
    {578, 10, kWaypoint, 7}, {590, 6, kWaypoint, 4}, {605, 8, kWaypoint, 9},
};

std::string BuildMainMap(bool hard) {
  MapText m(1, kColumns, kRows);
  for (const Stretch& s : kTerrain) {
    Floor(m, s.column, s.width, s.floorDepth);
    Ceiling(m, s.column, s.width, s.ceilingDepth);
  }
  MarkerAt(m, 4, 7, kStartMarker);
  const int checkpointColumns[4] = {12, 200, 330, 470};
  for (int k = 0; k < 4; ++k) MarkerAt(m, checkpointColumns[k], 7, kMarkers[k]);
  for (const Event& e : kBossRoute) m.Put(e);
  // The sky strips, laid as the view's left edge reaches world x 24000 (where the stage script
  // lays its own on the same beat).
  m.Put({616, 1, kStripPlacer});
  m.Put({508 - 2, CeilingDepth(506), kCeilingRock2});
  m.Put({508 + 2, CeilingDepth(510), kCeilingRock3});
  m.Put({508 + 4, CeilingDepth(512), kCeilingRock1});
  std::vector<Event> events;
  Waves(m, events, hard);
  for (const Event& e : events) m.PutNudged(e);
  return m.text();
}

std::string BuildBackground() {
  std::string d =
      "# Stage 1 background: the far sky of 80-pixel chips from 12-column sheets in the order the\n"
      "# sheet holds them (so the picture runs on without seams), wreck silhouettes before it.\n"
      "size 24 5\nlayers 2\npalette 0 12\npalette 1 12\n";
  for (int layer = 0; layer < 2; ++layer) {
    for (int r = 0; r < 5; ++r) {
      for (int c = 0; c < 24; ++c) {
        const int v = layer == 0 ? r * 12 + c % 12 : r * 12 + c % 4;
        if (layer == 1 && r < 2) continue;  // open sky above the silhouettes
        d += "cell " + std::to_string(layer) + " " + std::to_string(c) + " " + std::to_string(r) +
             " " + std::to_string(v) + "\n";
      }
    }
  }
  return d;
}

}  // namespace

StageMapDescriptions Stage1MapDescriptions() {
  static const std::string background = BuildBackground();
  static const std::string hard = BuildMainMap(true);
  static const std::string easy = BuildMainMap(false);
  return {background.c_str(), hard.c_str(), easy.c_str()};
}
