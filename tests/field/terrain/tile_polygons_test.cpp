// The tile polygon table in its three forms against the table written out again, the types
// without a polygon, and the surfaces the height interpolation divides along.
#include <gtest/gtest.h>

#include "stg_src/field/terrain/tile_polygons.h"
#include "tests/field/terrain/terrain_reference.h"

namespace {

TEST(TilePolygons, EveryTypeGivesItsThreeFormsInPixels) {
  ASSERT_EQ(RefTileShapes().size(), 53u);
  for (const RefTileShape& shape : RefTileShapes()) {
    SCOPED_TRACE(shape.type);
    struct Form {
      int16_t form;
      const std::vector<RefPoint>* points;
      int result;
    } forms[] = {
        {0, &shape.full, 4},
        {1, &shape.upper, static_cast<int>(shape.upper.size()) - 1},
        {2, &shape.lower, static_cast<int>(shape.lower.size()) - 1},
        // Any form but 0 and 1 is the lower surface.
        {7, &shape.lower, static_cast<int>(shape.lower.size()) - 1},
        {-1, &shape.lower, static_cast<int>(shape.lower.size()) - 1},
    };
    for (const Form& f : forms) {
      SCOPED_TRACE(f.form);
      double xs[4], ys[4];
      std::fill_n(xs, 4, -99.0);
      std::fill_n(ys, 4, -99.0);
      ASSERT_EQ(GetTilePolygon(xs, ys, static_cast<int16_t>(shape.type), f.form), f.result);
      for (size_t k = 0; k < 4; ++k) {
        const bool used = k < f.points->size();
        EXPECT_EQ(xs[k], used ? (*f.points)[k].x * 10 : 0) << k;
        EXPECT_EQ(ys[k], used ? (*f.points)[k].y * 10 : 0) << k;
      }
    }
  }
}

TEST(TilePolygons, TypesWithoutAPolygonGiveZeroAndLeaveTheArraysUntouched) {
  int without = 0;
  for (int type = -40; type <= 400; ++type) {
    if (FindRefTileShape(type) != nullptr) continue;
    ++without;
    for (int16_t form : {0, 1, 2}) {
      double xs[4] = {1.5, 2.5, 3.5, 4.5}, ys[4] = {-1, -2, -3, -4};
      ASSERT_EQ(GetTilePolygon(xs, ys, static_cast<int16_t>(type), form), 0) << type;
      EXPECT_EQ(xs[0], 1.5);
      EXPECT_EQ(xs[3], 4.5);
      EXPECT_EQ(ys[0], -1);
      EXPECT_EQ(ys[3], -4);
    }
  }
  EXPECT_EQ(without, 441 - 53);
  for (int16_t type : {INT16_MIN, INT16_MAX}) {
    double xs[4] = {}, ys[4] = {};
    EXPECT_EQ(GetTilePolygon(xs, ys, type, 0), 0);
  }
}

// The surface interpolations divide by a segment's width.
TEST(TilePolygons, SurfaceSegmentsRunStrictlyLeftToRight) {
  for (const RefTileShape& shape : RefTileShapes()) {
    for (int16_t form : {1, 2}) {
      double xs[4], ys[4];
      const int segments = GetTilePolygon(xs, ys, static_cast<int16_t>(shape.type), form);
      ASSERT_GE(segments, 1);
      for (int i = 0; i < segments; ++i) {
        EXPECT_LT(xs[i], xs[i + 1]) << shape.type << " form " << form << " segment " << i;
      }
    }
  }
}

}  // namespace
