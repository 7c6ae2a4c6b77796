// Stage 2's own maps: a fleet battle scrolled right over 150 columns, 20 rows high. An enclosed
// stretch of batteries, pods and rocks opens into the fleet's open water of battleships,
// gunships, ions and rock walls, then closes again before the boss at the end, where the scroll
// stops. The easy map (easy and normal) and the
// hard map share the layout; the hard one holds more enemies. The descriptions are written out
// once by code from the tables below (the form: tools/lib/fmf_map_writer.h).
#include <string>
#include <vector>

#include "tools/datakit/maps/map_text.h"
#include "tools/datakit/maps/stage_maps.h"

namespace {

constexpr int kColumns = 150;
constexpr int kRows = 20;

// Event codes (layer 3): 1 + pool-0 type, 65 + pool-1 type, 129 + map command.
constexpr int kBoss = 11;
constexpr int kBattleship = 14;
constexpr int kSmallBattleship = 15;
constexpr int kBatteryLeft = 16;
constexpr int kBatteryRight = 17;
constexpr int kPod = 12;
constexpr int kDrone = 13;
constexpr int kLargeRockSpawner = 18;
constexpr int kMediumRockSpawner = 19;
constexpr int kSmallRockSpawner = 20;
constexpr int kSpreadGunner = 75;
constexpr int kWingOpener = 76;
constexpr int kLargeRock = 77;
constexpr int kMediumRock = 78;
constexpr int kSmallRocks[] = {79, 80, 81, 82};
constexpr int kIon = 83;
constexpr int kRockWall = 84;
constexpr int kSpeed2 = 133;       // scroll speed 2.0
constexpr int kScrollRight = 144;  // under a marker: the scroll's direction

// Layer-4 values (variant + 1) that shift a ship or battery 20 px up or down.
constexpr int kLifted = 31;
constexpr int kLowered = 32;

// Collision tile types: the full block, the slopes, the markers.
constexpr int kBlock = 1;
constexpr int kStartMarker = 16;
constexpr int kMarkers[] = {17, 32};  // checkpoints 1 and 2

// Picture chips of the main sheet: rows of 16 by kind.
constexpr int kFillChips = 0;
constexpr int kTopChips = 64;
constexpr int kBottomChips = 80;

using Event = MapEvent;

// Rock from row `top` for `rows` rows over w columns: solid blocks, filled chips inside, a surface
// chip on the open side (up for a floor, down for a ceiling).
void Rock(MapText& m, int x, int w, int top, int rows, bool floor) {
  m.Rect(2, x, top, w, rows, kBlock);
  for (int c = x; c < x + w; ++c) {
    for (int r = top; r < top + rows; ++r) {
      const bool surface = floor ? r == top : r == top + rows - 1;
      m.Cell(0, c, r,
             surface ? (floor ? kTopChips : kBottomChips) + c % 16
                     : kFillChips + (c * 7 + r * 3) % 48);
    }
  }
}

// The enclosed stretches keep rows 6-12 open between a ceiling down to row 5 and a floor from
// row 13, both in the view; the open water between them keeps only the outer two rows on each
// side.
struct Stretch {
  int column, width;
  bool enclosed;
};
constexpr Stretch kTerrain[] = {{0, 55, true}, {55, 45, false}, {100, 50, true}};

// Slopes into and out of the open water (tile types 2..5; the picture chip carries the number).
struct Slope {
  int column, row, type;
};
constexpr Slope kSlopes[] = {{54, 5, 2}, {54, 13, 4}, {100, 5, 3}, {100, 13, 5}};

// Short walls that jut into the enclosed stretches: (column, top row, rows).
struct Jut {
  int column, top, rows;
};
constexpr Jut kJuts[] = {{24, 6, 2}, {38, 11, 2}, {108, 6, 2}, {118, 11, 2}};

// Markers: the start, checkpoint 1 before the open water, checkpoint 2 before the boss, each with
// the scroll's direction under it and a speed inside its first view.
constexpr int kStartColumn = 3;
constexpr int kCheckpointColumns[] = {44, 124};

// The batteries on floors and ceilings, the battleships in the open water, the boss at the end.
constexpr Event kFleet[] = {
    {16, 12, kBatteryLeft},
    {20, 6, kBatteryRight, -1, true},
    {30, 12, kBatteryRight},
    {34, 6, kBatteryLeft},
    {46, 12, kBatteryLeft, -1, true},
    {50, 6, kBatteryLeft},
    {60, 9, kBattleship},
    {70, 12, kSmallBattleship},
    {76, 7, kSmallBattleship, kLowered, true},
    {82, 10, kBattleship, kLifted},
    {94, 8, kSmallBattleship, -1, true},
    {104, 12, kBatteryLeft},
    {112, 6, kBatteryRight},
    {122, 12, kBatteryLeft, -1, true},
    {130, 6, kBatteryLeft},
    {144, 9, kBoss},
};

// The enclosed stretches' pods, drones and rocks, which bounce off their walls; the gunships in
// the open water, where the view arrives after GameFrame 200 from the start and from checkpoint
// 1 alike, the wing openers in all three bands (variants 0-9, 10-19, 20 and up) entering well
// before their leave lines (world x 5180 to 5260); ions and two rock walls (variants 0-3: the
// masses' way and speed) with room for their 600 px band.
constexpr Event kDrifters[] = {
    {8, 7, kLargeRock},
    {12, 9, kPod},
    {18, 11, kSmallRocks[0]},
    {22, 6, kLargeRockSpawner},
    {26, 8, kDrone},
    {28, 11, kSmallRockSpawner},
    {33, 8, kMediumRock},
    {36, 10, kSmallRocks[1]},
    {40, 7, kPod, -1, true},
    {42, 11, kSmallRocks[2]},
    {48, 9, kMediumRockSpawner},
    {52, 6, kSmallRocks[3]},
    {64, 6, kIon},
    {67, 10, kRockWall, 0},
    {72, 13, kIon, -1, true},
    {78, 7, kSpreadGunner},
    {84, 12, kSpreadGunner, -1, true},
    {86, 5, kIon},
    {90, 9, kRockWall, 3},
    {92, 7, kWingOpener, 4},
    {98, 11, kWingOpener, 14},
    {104, 8, kWingOpener, 24},
    {106, 10, kLargeRock},
    {110, 7, kDrone, -1, true},
    {114, 9, kPod},
    {116, 11, kSmallRockSpawner, -1, true},
};

std::string BuildMainMap(bool hard) {
  MapText m(2, kColumns, kRows);
  for (const Stretch& s : kTerrain) {
    Rock(m, s.column, s.width, 0, s.enclosed ? 6 : 2, false);
    Rock(m, s.column, s.width, s.enclosed ? 13 : 18, s.enclosed ? 7 : 2, true);
  }
  for (const Slope& s : kSlopes) {
    m.Cell(0, s.column, s.row, s.type);
    m.Cell(2, s.column, s.row, s.type);
  }
  for (const Jut& j : kJuts) Rock(m, j.column, 2, j.top, j.rows, j.top > 9);
  // Foreground pictures drawn over the ship.
  m.Rect(1, 10, 12, 3, 1, 240);
  m.Rect(1, 102, 12, 3, 1, 241);

  m.Cell(2, kStartColumn, 9, kStartMarker);
  for (int k = 0; k < 2; ++k) m.Cell(2, kCheckpointColumns[k], 9, kMarkers[k]);
  for (const int column : {kStartColumn, kCheckpointColumns[0], kCheckpointColumns[1]}) {
    m.Put({column, 10, kScrollRight});
    m.Put({column + 3, 8, kSpeed2});
  }
  const auto put = [&](const auto& table) {
    for (const Event& e : table) {
      if (hard || !e.hardOnly) m.Put(e);
    }
  };
  put(kFleet);
  put(kDrifters);
  return m.text();
}

// A far field of 80-pixel chips from 12-column sheets, laid in the order the sheet holds them so
// the picture runs on without seams, with drifting near chips above it.
std::string BuildBackground() {
  std::string d = "# Stage 2 background\nsize 24 5\nlayers 2\npalette 0 12\npalette 1 12\n";
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 24; ++column)
      d += "cell 0 " + std::to_string(column) + " " + std::to_string(row) + " " +
           std::to_string(row * 12 + column % 12) + "\n";
  for (const int column : {3, 11, 19}) d += "cell 1 " + std::to_string(column) + " 1 100\n";
  for (const int column : {7, 15, 22}) d += "cell 1 " + std::to_string(column) + " 3 101\n";
  return d;
}

}  // namespace

StageMapDescriptions Stage2MapDescriptions() {
  static const std::string background = BuildBackground();
  static const std::string hard = BuildMainMap(true);
  static const std::string easy = BuildMainMap(false);
  return {background.c_str(), hard.c_str(), easy.c_str()};
}
