// The terrain questions on small maps from the map writer: the tile under a point (truncation
// toward zero, nothing read outside the map), the swept edge test and the surface angle struck,
// the cell a terrain hit examines, walkers kept on floors and ceilings, the first ground or
// ceiling in a column, the route markers, and the variant shift.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "stg_src/field/angles.h"
#include "stg_src/field/map/stage_maps.h"
#include "stg_src/field/terrain/terrain.h"
#include "tests/field/terrain/terrain_reference.h"
#include "tests/game_support/field_fixture.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class TerrainTest : public testing::Test {
 protected:
  FieldFixture field;
};

TEST_F(TerrainTest, TheTileUnderAPointTruncatesTowardZeroAndNothingOutsideIsRead) {
  RefTerrainMap map(10, 6, {{0, 2, 1}, {3, 1, 5}, {9, 5, 7}});
  struct Case {
    double x, y;
    int32_t cell;
    int column, row;
  } cases[] = {
      {-10, 100, 1, 0, 2},     // -40 < x < 0 is column 0
      {-50, 100, 0, -1, 2},    // column -1 is outside
      {130, 50, 5, 3, 1},      //
      {130, -39.9, -1, 3, 0},  // an empty cell inside the map reads as it is stored
      {130, -40, 0, 3, -1},    //
      {399.99, 239.99, 7, 9, 5}, {400, 239.99, 0, 10, 5}, {399.99, 240, 0, 9, 6},
  };
  for (const Case& c : cases) {
    int16_t column = 99, row = 99;
    EXPECT_EQ(GetCollisionTile(c.x, c.y, &column, &row), c.cell) << c.x << ", " << c.y;
    EXPECT_EQ(column, c.column) << c.x << ", " << c.y;
    EXPECT_EQ(row, c.row) << c.x << ", " << c.y;
  }
}

TEST_F(TerrainTest, FarAndNonFinitePointsLieOutsideEveryMap) {
  // Column 65539 would wrap to 3 in 16 bits, onto the block.
  RefTerrainMap map(10, 6, {{3, 2, 1}});
  const double wraps = 40.0 * (65536 + 3) + 5;
  const double values[] = {kNaN, kInf, -kInf, 1e300, -1e300, wraps, -wraps, 3e9};
  for (double v : values) {
    for (const auto& [x, y] : {std::pair{v, 100.0}, std::pair{130.0, v}}) {
      int16_t column, row;
      EXPECT_EQ(GetCollisionTile(x, y, &column, &row), 0) << x << ", " << y;
      EXPECT_TRUE(column < 0 || column >= MapWidth || row < 0 || row >= MapHeight);
      EXPECT_EQ(TestTerrainHit(x, y, x, y, 5), -1);
      EXPECT_EQ(IsTurnMarkerAt(x, y, 0, 0), 0);
      double dropY = y, raiseY = y;
      DropOntoGround(x, &dropY, 3);
      RaiseToCeiling(x, &raiseY, 3);
      if (std::isnan(y)) continue;
      EXPECT_EQ(dropY, y);
      EXPECT_EQ(raiseY, y);
    }
  }
  int16_t column, row;
  EXPECT_EQ(GetCollisionTile(wraps, 100, &column, &row), 0);
  EXPECT_EQ(column, INT16_MAX);
  EXPECT_EQ(GetCollisionTile(-wraps, 100, &column, &row), 0);
  EXPECT_EQ(column, INT16_MIN);

  double x = kNaN, y = 100, speed = 2, speedOut = 0;
  int16_t slope = 5;
  EXPECT_EQ(FollowTerrain(&x, &y, 0, 10, 10, 130, 100, &speed, &speedOut, &slope), 0);
  EXPECT_EQ(slope, 5);
}

TEST_F(TerrainTest, TheWidestMapReadsItsLastColumnAndNoFurther) {
  RefTerrainMap map(kMainMapColumns, 2, {{kMainMapColumns - 1, 1, 3}});
  int16_t column, row;
  EXPECT_EQ(GetCollisionTile(kMainMapColumns * 40 - 1, 41, &column, &row), 3);
  EXPECT_EQ(GetCollisionTile(kMainMapColumns * 40, 41, &column, &row), 0);
  EXPECT_EQ(column, kMainMapColumns);
}

TEST_F(TerrainTest, ABlockCrossedAtOneEdgeGivesThatEdgesFoldedAngle) {
  // A block at (200..240, 200..240); radius 2.
  RefTerrainMap map(10, 10, {{5, 5, 1}});
  struct Case {
    double oldX, oldY, newX, newY;
    int16_t angle;
  } cases[] = {
      {190, 220, 205, 220, 773},  // the left edge runs upward
      {220, 190, 220, 205, 0},    // top
      {220, 250, 220, 235, 0},    // the bottom edge runs leftward and folds to 0
      {250, 220, 235, 220, 251},  // right
      {195, 195, 205, 205, 0},    // a corner: the top edge is tested first
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TestTerrainHit(c.newX, c.newY, c.oldX, c.oldY, 2), c.angle)
        << c.oldX << ", " << c.oldY << " -> " << c.newX << ", " << c.newY;
  }
}

TEST_F(TerrainTest, SlopesGiveTheirSurfaceAngles) {
  struct Case {
    int type;
    double oldX, oldY, newX, newY;  // in the tile
    int16_t angle;
  } cases[] = {
      {2, 20, 2, 20, 30, 897},   {3, 20, 2, 20, 30, 127},   {4, 20, 10, 20, 38, 949},
      {6, 20, 2, 20, 18, 75},    {44, 31, 20, 39, 20, 808}, {45, 1, 20, 9, 20, 216},
      {18, 20, 38, 20, 10, 127}, {19, 20, 38, 20, 10, 897},
  };
  for (const Case& c : cases) {
    RefTerrainMap map(10, 10, {{5, 5, c.type}});
    EXPECT_EQ(TestTerrainHit(200 + c.newX, 200 + c.newY, 200 + c.oldX, 200 + c.oldY, 2), c.angle)
        << c.type;
  }
}

TEST_F(TerrainTest, TheNewPointsCellIsExaminedElseTheOldPointsAndNoOther) {
  RefTerrainMap map(12, 10, {{4, 5, 1}, {5, 5, 1}, {6, 5, 48}, {8, 5, 1}});
  // Into an empty cell out of the block: the old point's block gives its right edge.
  EXPECT_EQ(TestTerrainHit(245, 220, 238, 220, 1), 251);
  // Out of a block into a marker: the same.
  EXPECT_EQ(TestTerrainHit(245, 220, 238, 220, 1), 251);
  // From one block into the next: only the new point's block is examined (its left edge).
  EXPECT_EQ(TestTerrainHit(205, 220, 195, 220, 1), 773);
  // A whole empty tile passed in one frame, and a whole block jumped over: nothing.
  EXPECT_EQ(TestTerrainHit(290, 220, 270, 300, 2), -1);
  EXPECT_EQ(TestTerrainHit(370, 220, 310, 220, 2), -1);
  EXPECT_EQ(TestTerrainHit(290, 220, 270, 220, 2), -1);
}

TEST(SegmentHitsCircle, EndsNearTheEdgeCrossingsAndGlidingAlongIt) {
  struct Case {
    const char* what;
    double ax, ay, bx, by, oldX, oldY, newX, newY, r;
    bool hit;
  } cases[] = {
      {"gliding along a floor exactly r above it", 200, 200, 240, 200, 210, 197, 215, 197, 3,
       false},
      {"the same, not quite level", 200, 200, 240, 200, 210, 197, 215, 197 + 1e-9, 3, true},
      {"gliding closer than r", 200, 200, 240, 200, 210, 197.5, 215, 197.5, 3, true},
      {"gliding below the floor at r", 200, 200, 240, 200, 210, 203, 215, 203, 3, false},
      {"gliding down a wall at r", 240, 200, 240, 240, 243, 210, 243, 220, 3, false},
      {"gliding down a wall closer than r", 240, 200, 240, 240, 242.5, 210, 242.5, 220, 3, true},
      {"standing still closer than r", 200, 200, 240, 200, 220, 198, 220, 198, 3, true},
      {"standing still at r", 200, 200, 240, 200, 220, 197, 220, 197, 3, false},
      {"moving diagonally within r", 200, 200, 240, 200, 210, 198, 212, 199, 3, true},
      {"crossing from far", 200, 200, 240, 200, 220, 150, 220, 250, 1, true},
      {"crossing past the end", 200, 200, 240, 200, 250, 190, 251, 210, 1, false},
      {"crossing past the end with a wide circle", 200, 200, 240, 200, 250, 190, 251, 210, 23,
       true},
      {"staying on one side", 200, 200, 240, 200, 220, 150, 225, 190, 1, false},
      {"an edge of length 0", 200, 200, 200, 200, 200, 190, 200, 210, 5, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SegmentHitsCircle(c.ax, c.ay, c.bx, c.by, c.oldX, c.oldY, c.newX, c.newY, c.r), c.hit)
        << c.what;
  }
}

TEST_F(TerrainTest, StandingWalkersSnapWithinTwentyPixelsAndScaleTheirSpeed) {
  // Floor blocks along row 8 (top at 320), a falling half slope at column 10, a two-segment
  // piece at column 14, a ceiling along row 2 (underside at 120).
  std::vector<RefCell> cells;
  for (int c = 0; c < 20; ++c) {
    cells.push_back({c, 8, c == 10 ? 6 : c == 14 ? 62 : 1});
    cells.push_back({c, 2, 1});
  }
  RefTerrainMap map(20, 12, cells);
  struct Case {
    const char* what;
    double x, y, oldY, foot, head;
    int16_t result;
    double y2;
    int16_t slope;
  } cases[] = {
      {"19 px above the floor", 100, 291, 291, 10, 0, 1, 310, 0},
      {"25 px above the floor", 100, 285, 285, 10, 0, 0, 285, -1},
      {"19 px below the ceiling, rising", 100, 149, 150, 0, 10, 1, 130, 0},
      {"on the half slope", 420, 318, 318, 10, 0, 1, 320, 75},
      {"the left segment", 570, 300, 300, 25, 0, 1, 315, 844},
      {"the left segment up to its middle vertex", 580, 290, 290, 25, 0, 1, 295, 844},
      {"the right segment past it", 580.5, 290, 290, 25, 0, 1, 295, 0},
  };
  for (const Case& c : cases) {
    double x = c.x, y = c.y, speed = 2, speedOut = 0;
    int16_t slope = -1;
    EXPECT_EQ(FollowTerrain(&x, &y, 0, c.foot, c.head, c.x, c.oldY, &speed, &speedOut, &slope),
              c.result)
        << c.what;
    EXPECT_EQ(y, c.y2) << c.what;
    EXPECT_EQ(slope, c.slope) << c.what;
    EXPECT_EQ(speedOut, 2) << c.what;
    EXPECT_EQ(speed, c.result == 1 ? 2 * CosineTable[c.slope] : 2) << c.what;
  }
}

TEST_F(TerrainTest, AirborneWalkersLandOnlyOnSurfacesTheyCameFrom) {
  std::vector<RefCell> cells;
  for (int c = 0; c < 20; ++c) {
    cells.push_back({c, 8, 1});
    cells.push_back({c, 9, 1});
    cells.push_back({c, 2, 1});
  }
  RefTerrainMap map(20, 12, cells);
  struct Case {
    const char* what;
    double y, oldY;
    int16_t result;
    double y2;
  } cases[] = {
      {"falling through the floor line", 312, 305, 1, 310},
      {"from 5 px below the line", 318, 315, 1, 310},
      {"from further below", 318, 315.5, 0, 318},
      {"not yet at the line", 305, 300, 0, 305},
      {"rising through the ceiling line", 128, 140, 1, 130},
      {"rising from 5 px above the ceiling line", 120, 125, 1, 130},
      {"rising from further above", 120, 124.5, 0, 120},
  };
  for (const Case& c : cases) {
    double x = 100, y = c.y, speed = 2, speedOut = 0;
    int16_t slope = -1;
    EXPECT_EQ(FollowTerrain(&x, &y, 3, 10, 10, 100, c.oldY, &speed, &speedOut, &slope), c.result)
        << c.what;
    EXPECT_EQ(y, c.y2) << c.what;
    EXPECT_EQ(speed, 2) << c.what;
  }
}

TEST_F(TerrainTest, WallsPushTheWalkerBackAndTheCodeCountsTen) {
  RefTerrainMap map(20, 12,
                    {{11, 8, 1}, {12, 8, 1}, {12, 7, 1}, {13, 7, 60}, {14, 7, 48}, {14, 8, 1}});
  struct Case {
    double x, oldX;
    int16_t result;
    double x2;
  } cases[] = {
      {482, 475, 11, 475},  // into a block: back, and still on the floor
      {530, 515, 10, 515},  // into a steep piece: back, over a block 30 px up: no snap
      {570, 555, 1, 570},   // a marker is no wall
  };
  for (const Case& c : cases) {
    double x = c.x, y = 300, speed = 1, speedOut = 0;
    int16_t slope = 0;
    EXPECT_EQ(FollowTerrain(&x, &y, 0, 10, 0, c.oldX, 300, &speed, &speedOut, &slope), c.result)
        << c.x;
    EXPECT_EQ(x, c.x2) << c.x;
  }
}

TEST_F(TerrainTest, DropAndRaiseFindTheFirstSurfaceInTheColumn) {
  // Column 5: a steep piece at row 4 (its top spans x 230..240 only) over a floor at row 8;
  // a ceiling slope at row 3 of column 6; column 7 holds nothing.
  RefTerrainMap map(10, 12, {{5, 4, 44}, {5, 8, 1}, {6, 3, 20}, {6, 1, 1}});
  struct Case {
    bool down;
    double x, y, offset, y2;
  } cases[] = {
      {true, 210, 100, 10, 310},  // past the piece's span to the floor
      {true, 235, 100, 10, 170},  // on the piece: 160 + 20
      {true, 230, 100, 10, 190},  // a span's end counts
      {true, 290, 100, 10, 110},  // no ground: y + offset
      {true, 210, 330, 10, 310},  // the point's own row first
      {false, 250, 150, 4, 129},  // the slope's underside at 120 + 5
      {false, 250, 100, 4, 84},   // above the slope, under the block of row 1
      {false, 290, 300, 4, 296},  // no ceiling: y - offset
      {false, -50, 300, 4, 300},  // outside the map: unchanged
      {true, 210, 480, 10, 480},
  };
  for (const Case& c : cases) {
    double y = c.y;
    if (c.down) {
      DropOntoGround(c.x, &y, c.offset);
    } else {
      RaiseToCeiling(c.x, &y, c.offset);
    }
    EXPECT_EQ(y, c.y2) << (c.down ? "drop " : "raise ") << c.x << ", " << c.y;
  }
}

TEST_F(TerrainTest, TurnMarkersAreFoundAtTheProbeThenAboveThenBelow) {
  // Column c holds, in rows 3, 4 and 5, the cells above, at and below a probe at y 180.
  struct Case {
    int above, at, below;
    int16_t k, result;
  } cases[] = {
      {0, 48, 0, 0, -1}, {0, 49, 0, 0, 1},  {49, 0, 48, 0, 1},  {0, 0, 48, 0, -1},
      {0, 0, 49, 0, 1},  {0, 50, 49, 0, 1}, {0, 50, 49, 1, -1}, {52, 0, 53, 2, -1},
      {0, 0, 0, 0, 0},   {0, 1, 0, 0, 0},   {0, 49, 48, 2, 0},
  };
  std::vector<RefCell> cells;
  int column = 0;
  for (const Case& c : cases) {
    int row = 3;
    for (int type : {c.above, c.at, c.below}) {
      if (type != 0) cells.push_back({column, row, type});
      ++row;
    }
    ++column;
  }
  RefTerrainMap map(column, 8, cells);
  column = 0;
  for (const Case& c : cases) {
    // y + offset - 2 is the probe.
    EXPECT_EQ(IsTurnMarkerAt(column * 40 + 20, 170, 12, c.k), c.result) << "column " << column;
    ++column;
  }
}

TEST(VariantYShift, HalfATileUpOrDownByCode) {
  struct Case {
    int16_t code;
    double shift;
  } cases[] = {{0, 0},    {30, 0},  {31, -20}, {32, 20}, {33, 0},  {39, 0},  {40, -20},
               {46, -20}, {47, 20}, {53, 20},  {54, 0},  {-31, 0}, {1031, 0}};
  for (const Case& c : cases) EXPECT_EQ(GetVariantYShift(c.code), c.shift) << c.code;
}

}  // namespace
