// The hardware draw paths vertex by vertex on a recording device: positions with the half-pixel
// offset, clipping that moves the texture coordinates with the edge, the rotated draw's centre
// cases, the four-corner draws (one quad, the grid and its index list, the blend graph's
// strips), boxes and outlines, and the inverting passes of the subtract emulation.
#include <cmath>
#include <limits>

#include "runtime/graphics/device/device_formats.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/hard_draw_paths.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "tests/graphics/draw/recorded_graphs.h"

namespace {

using HardDraw = RecordedGraphsTest;

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();

TEST_F(HardDraw, PlainDrawTakesTheHalfPixelOffsetAndTheQuadOrder) {
  const int g = Graph(32, 32);
  PackedDrawColor = 0x80FFC040u;
  ASSERT_EQ(HardDrawGraphAt(g, 10, 20, 10.0f, 20.0f, 1, 1), 0);
  const std::vector<ScreenVertex> v = Queued();
  ASSERT_EQ(v.size(), 6u);
  // Triangles 0-1-2 and 3-4-5 over top-left, top-right, bottom-left, bottom-right.
  const float xs[6] = {9.5f, 41.5f, 9.5f, 41.5f, 9.5f, 41.5f};
  const float ys[6] = {19.5f, 19.5f, 51.5f, 51.5f, 51.5f, 19.5f};
  const float us[6] = {0, 1, 0, 1, 0, 1};
  const float vs[6] = {0, 0, 1, 1, 1, 0};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(v[i].x, xs[i]);
    EXPECT_EQ(v[i].y, ys[i]);
    EXPECT_EQ(v[i].u, us[i]);
    EXPECT_EQ(v[i].v, vs[i]);
    EXPECT_EQ(v[i].z, 0.2f);
  }
  EXPECT_EQ(v[0].diffuse, 0x80FFC040u);
  EXPECT_EQ(v[3].diffuse, 0x80FFC040u);
}

// A graph partly outside the draw area: the quad is cut at the area's edge and each texture
// coordinate stays where the uncut quad put it, so the visible part is not stretched.
TEST_F(HardDraw, ClippedQuadsKeepTheirTextureMapping) {
  const int g = Graph(32, 32);
  SetDrawArea(0, 10, 640, 40);
  struct Case {
    const char* name;
    int x, y;
    bool stretched;
  } cases[] = {{"plain, left and top", -16, 0, false},
               {"plain, bottom", 100, 30, false},
               {"stretched twice, left", -20, 20, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VertexBatch.count = 0;
    VertexBatch.cursor = reinterpret_cast<uint8_t*>(TexturedBatch);
    const float scale = c.stretched ? 2.0f : 1.0f;
    if (c.stretched) {
      ASSERT_EQ(HardDrawGraphStretched(c.x, c.y, c.x + 64, c.y + 64, static_cast<float>(c.x),
                                       static_cast<float>(c.y), static_cast<float>(c.x + 64),
                                       static_cast<float>(c.y + 64), g, 1, 1),
                0);
    } else {
      ASSERT_EQ(
          HardDrawGraphAt(g, c.x, c.y, static_cast<float>(c.x), static_cast<float>(c.y), 1, 1), 0);
    }
    const std::vector<ScreenVertex> v = Queued();
    ASSERT_EQ(v.size(), 6u);
    for (const ScreenVertex& q : v) {
      // Inside the area (the stretched path clamps to the area moved by -0.5).
      const float slack = c.stretched ? 0.5f : 0.0f;
      EXPECT_GE(q.x, 0.0f - slack);
      EXPECT_GE(q.y, 10.0f - slack);
      EXPECT_LE(q.y, 40.0f);
      // The mapping of the uncut quad.
      EXPECT_FLOAT_EQ(q.u, (q.x - (c.x - 0.5f)) / (32.0f * scale));
      EXPECT_FLOAT_EQ(q.v, (q.y - (c.y - 0.5f)) / (32.0f * scale));
    }
  }
  // A graph wholly outside collapses to nothing visible.
  VertexBatch.count = 0;
  VertexBatch.cursor = reinterpret_cast<uint8_t*>(TexturedBatch);
  ASSERT_EQ(HardDrawGraphAt(g, 0, 100, 0.0f, 100.0f, 1, 1), 0);
  const std::vector<ScreenVertex> v = Queued();
  ASSERT_EQ(v.size(), 6u);
  EXPECT_EQ(v[0].y, v[2].y);
}

// The centre cases at angle 0 and scale 1 about the whole point (100, 100).
TEST_F(HardDraw, RotatedCornersByCentreCase) {
  struct Case {
    int w, h;
    float left, right, top, bottom;
  } cases[] = {{32, 32, 83.5f, 115.5f, 83.5f, 115.5f},
               {31, 31, 84.5f, 115.5f, 84.5f, 115.5f},
               {32, 31, 84.5f, 116.5f, 84.5f, 115.5f},
               {31, 32, 84.5f, 115.5f, 84.5f, 116.5f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
    VertexBatch.count = 0;
    VertexBatch.cursor = reinterpret_cast<uint8_t*>(TexturedBatch);
    const int g = Graph(c.w, c.h);
    ASSERT_EQ(HardDrawGraphRotated(g, 100.0f, 100.0f, 1.0, 0.0, 1, 0), 0);
    const std::vector<ScreenVertex> v = Queued();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[0].x, c.left);
    EXPECT_EQ(v[0].y, c.top);
    EXPECT_EQ(v[3].x, c.right);
    EXPECT_EQ(v[3].y, c.bottom);
    DeleteGraphHandle(g);
  }
}

// The centre cases away from scale 1 and angle 0, and the two snap rules: a quarter turn of a
// graph with an odd side about a whole point, and a corner on a whole position about a
// fractional centre, move the quad back by half a pixel onto the pixel grid; other angles, and
// draws under a blend graph, leave the corners where the turn put them.
TEST_F(HardDraw, RotatedCentresAndSnapping) {
  const double quarter = std::acos(0.0);
  const double c5 = std::cos(0.5), s5 = std::sin(0.5);
  struct Case {
    const char* name;
    int w, h;
    float cx, cy;
    double scale, angle;
    bool blendGraph;
    float corners[4][2];  // TL, TR, BL, BR
  } cases[] = {
      {"odd sides, quarter turn: snapped",
       31,
       31,
       100,
       100,
       1.0,
       quarter,
       false,
       {{115, 84}, {115, 115}, {84, 84}, {84, 115}}},
      {"the same under a blend graph: not snapped",
       31,
       31,
       100,
       100,
       1.0,
       quarter,
       true,
       {{115.5f, 84.5f}, {115.5f, 115.5f}, {84.5f, 84.5f}, {84.5f, 115.5f}}},
      {"odd sides, 0.5 radians: not snapped",
       31,
       31,
       100,
       100,
       1.0,
       0.5,
       false,
       {{float(100 - 15.5 * c5 + 15.5 * s5), float(100 - 15.5 * s5 - 15.5 * c5)},
        {float(100 + 15.5 * c5 + 15.5 * s5), float(100 + 15.5 * s5 - 15.5 * c5)},
        {float(100 - 15.5 * c5 - 15.5 * s5), float(100 - 15.5 * s5 + 15.5 * c5)},
        {float(100 + 15.5 * c5 - 15.5 * s5), float(100 + 15.5 * s5 + 15.5 * c5)}}},
      {"fractional centre, whole left edge: x snapped",
       31,
       20,
       100.5f,
       100.5f,
       1.0,
       0.0,
       false,
       {{84.5f, 90.5f}, {115.5f, 90.5f}, {84.5f, 110.5f}, {115.5f, 110.5f}}},
      {"whole centre at scale 2: the centre moved by -0.5",
       16,
       16,
       100,
       100,
       2.0,
       0.0,
       false,
       {{83.5f, 83.5f}, {115.5f, 83.5f}, {83.5f, 115.5f}, {115.5f, 115.5f}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    VertexBatch.count = 0;
    VertexBatch.cursor = reinterpret_cast<uint8_t*>(TexturedBatch);
    const int g = Graph(c.w, c.h);
    const int blend = c.blendGraph ? Graph(64, 64) : -1;
    if (c.blendGraph) { ASSERT_EQ(SetBlendGraph(blend, 128, 0), 0); }
    ASSERT_EQ(HardDrawGraphRotated(g, c.cx, c.cy, c.scale, c.angle, 1, 0), 0);
    ASSERT_EQ(VertexBatch.count, 6);
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(i);
      const float x = c.blendGraph ? BlendBatch[i].x : TexturedBatch[i].x;
      const float y = c.blendGraph ? BlendBatch[i].y : TexturedBatch[i].y;
      EXPECT_NEAR(x, c.corners[i][0], 1e-4);
      EXPECT_NEAR(y, c.corners[i][1], 1e-4);
    }
    if (c.blendGraph) {
      FlushVertexBatch();
      SetBlendGraph(-1, 0, 0);
      DeleteGraphHandle(blend);
    }
    DeleteGraphHandle(g);
  }
}

TEST_F(HardDraw, RotatedMirrorAndQuarterTurn) {
  const int g = Graph(32, 16);
  // Turned: the left edge of the graph goes to the right.
  ASSERT_EQ(HardDrawGraphRotated(g, 100.0f, 100.0f, 1.0, 0.0, 1, 1), 0);
  std::vector<ScreenVertex> v = Queued();
  ASSERT_EQ(v.size(), 6u);
  EXPECT_EQ(v[0].x, 115.5f);
  EXPECT_EQ(v[0].u, 0.0f);
  EXPECT_EQ(v[1].x, 83.5f);
  // A quarter turn at scale 2 about a fractional centre: the top edge runs down the right side.
  VertexBatch.count = 0;
  VertexBatch.cursor = reinterpret_cast<uint8_t*>(TexturedBatch);
  ASSERT_EQ(HardDrawGraphRotated(g, 100.25f, 50.25f, 2.0, std::acos(0.0), 1, 0), 0);
  v = Queued();
  ASSERT_EQ(v.size(), 6u);
  EXPECT_NEAR(v[0].x, 100.25f + 16.0f, 1e-4);  // top-left: (-32, -16) turned by 90 degrees
  EXPECT_NEAR(v[0].y, 50.25f - 32.0f, 1e-4);
  EXPECT_NEAR(v[3].x, 100.25f - 16.0f, 1e-4);
  EXPECT_NEAR(v[3].y, 50.25f + 32.0f, 1e-4);
}

// A graph of several tiles turned and scaled: the tiles' shared edges stay together.
TEST_F(HardDraw, RotatedTilesMeetAtTheirSeams) {
  MaxTextureSize = 64;
  const int g = Graph(100, 20);
  const GraphEntry* entry = GetGraphEntry(g);
  ASSERT_GE(entry->tileDrawCount, 2);
  // Each tile has its own texture, so each is drawn before the next is queued.
  std::vector<ScreenVertex> v;
  device_->onCall = [&](const RecordedCall& call) {
    if (call.name != "DrawPrimitiveUP") return;
    const auto* vertex = reinterpret_cast<const ScreenVertex*>(call.args[2]);
    v.insert(v.end(), vertex, vertex + 3 * call.args[1]);
  };
  ASSERT_EQ(HardDrawGraphRotated(g, 300.5f, 200.5f, 1.5, 0.7, 1, 0), 0);
  ASSERT_EQ(FlushVertexBatch(), 0);
  ASSERT_EQ(v.size(), 6u * static_cast<size_t>(entry->tileDrawCount));
  for (int t = 0; t + 1 < entry->tileDrawCount; ++t) {
    const ScreenVertex* a = &v[6 * t];
    const ScreenVertex* b = &v[6 * (t + 1)];
    if (entry->tileDraws[t + 1].dstX != entry->tileDraws[t].dstX + entry->tileDraws[t].width)
      continue;
    EXPECT_NEAR(a[1].x, b[0].x, 1e-3);  // top-right of one tile, top-left of the next
    EXPECT_NEAR(a[1].y, b[0].y, 1e-3);
    EXPECT_NEAR(a[3].x, b[2].x, 1e-3);
    EXPECT_NEAR(a[3].y, b[2].y, 1e-3);
  }
}

TEST_F(HardDraw, NothingQueuedForValuesThatAreNotFinite) {
  const int g = Graph(16, 16);
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(HardDrawGraphRotated(g, kNan, 10.0f, 1.0, 0.0, 1, 0), 0);
  EXPECT_EQ(HardDrawGraphRotated(g, 10.0f, 10.0f, inf, 0.0, 1, 0), 0);
  EXPECT_EQ(HardDrawGraphRotated(g, 10.0f, 10.0f, 1.0, std::nan(""), 1, 0), 0);
  EXPECT_EQ(HardDrawGraphAt(g, 0, 0, kNan, 0.0f, 1, 1), 0);
  EXPECT_EQ(HardDrawGraphStretched(0, 0, 10, 10, 0.0f, 0.0f, kNan, 10.0f, g, 1, 1), 0);
  const float corners[8] = {0, 0, 10, 0, 0, kNan, 10, 10};
  EXPECT_EQ(DrawTilesFourCorners(g, corners, 1), 0);
  EXPECT_EQ(VertexBatch.count, 0);
  EXPECT_EQ(device_->Count("DrawIndexedPrimitiveUP"), 0);
  // Scale 0 and an empty stretch are refused.
  EXPECT_EQ(HardDrawGraphRotated(g, 10.0f, 10.0f, 0.0, 0.0, 1, 0), -1);
  EXPECT_EQ(HardDrawGraphStretched(5, 0, 5, 10, 5.0f, 0.0f, 5.0f, 10.0f, g, 1, 1), -1);
}

TEST_F(HardDraw, WithoutADeviceNothingIsQueued) {
  const int g = Graph(16, 16);
  Direct3DDevice = nullptr;
  EXPECT_EQ(HardDrawGraphAt(g, 0, 0, 0.0f, 0.0f, 1, 1), -1);
  EXPECT_EQ(HardFillBox(0, 0, 10, 10, 0xFFFFFF), -1);
  EXPECT_EQ(DrawIndexedGrid(8, nullptr, 8), 0);
  EXPECT_EQ(VertexBatch.count, 0);
  Direct3DDevice = device_;
}

// Four corners whose opposite edges differ by less than a pixel are one quad; by a pixel or
// more an 8 x 8 grid drawn as one indexed strip with degenerate joins.
TEST_F(HardDraw, FourCornersQuadOrGrid) {
  const int g = Graph(32, 32);
  const float nearlyParallel[8] = {10, 10, 42.5f, 10.5f, 10, 42, 42.9f, 42.5f};
  ASSERT_EQ(DrawTilesFourCorners(g, nearlyParallel, 1), 0);
  std::vector<ScreenVertex> v = Queued();
  ASSERT_EQ(v.size(), 6u);
  EXPECT_EQ(v[0].x, 10.0f);  // the corners as given: no half-pixel offset
  EXPECT_EQ(v[3].x, 42.9f);
  EXPECT_EQ(device_->Count("DrawIndexedPrimitiveUP"), 0);

  std::vector<uint16_t> indices;
  std::vector<ScreenVertex> grid;
  device_->onCall = [&](const RecordedCall& call) {
    if (call.name != "DrawIndexedPrimitiveUP") return;
    const auto* index = reinterpret_cast<const uint16_t*>(call.args[4]);
    indices.assign(index, index + call.args[3] + 2);
    const auto* vertex = reinterpret_cast<const ScreenVertex*>(call.args[6]);
    grid.assign(vertex, vertex + call.args[2]);
  };
  const float trapezoid[8] = {10, 10, 42, 10, 0, 42, 52, 42};
  ASSERT_EQ(DrawTilesFourCorners(g, trapezoid, 1), 0);
  ASSERT_EQ(device_->Count("DrawIndexedPrimitiveUP", {D3DPT_TRIANGLESTRIP, 0, 64}), 1);
  EXPECT_EQ(device_->Count("DrawPrimitiveUP"), 1);  // the quad above went first
  std::vector<uint16_t> expected;
  for (int r = 0; r < 7; ++r) {
    if (r > 0) {
      expected.push_back(expected.back());
      expected.push_back(static_cast<uint16_t>(8 * (r + 1)));
    }
    for (int c = 0; c < 8; ++c) {
      expected.push_back(static_cast<uint16_t>(8 * (r + 1) + c));
      expected.push_back(static_cast<uint16_t>(8 * r + c));
    }
  }
  EXPECT_EQ(indices, expected);
  ASSERT_EQ(grid.size(), 64u);
  EXPECT_FLOAT_EQ(grid[0].x, 10.0f);
  EXPECT_FLOAT_EQ(grid[7].x, 42.0f);
  EXPECT_NEAR(grid[56].x, 0.0f, 1e-4);
  EXPECT_NEAR(grid[63].x, 52.0f, 1e-4);
  EXPECT_NEAR(grid[63].y, 42.0f, 1e-4);
  // The texture runs over the whole tile: its edges lie on the texture's border, so no inset.
  EXPECT_EQ(grid[0].u, 0.0f);
  EXPECT_NEAR(grid[63].u, 1.0f, 1e-6);
  EXPECT_NEAR(grid[9].u, 1.0f / 7.0f, 1e-6);
}

// A tile that does not reach the texture's far edges is pulled in by a thousandth of a pixel.
TEST_F(HardDraw, GridInsetsEdgesInsideTheTexture) {
  const int g = Graph(20, 20);  // a 32 x 32 texture
  std::vector<ScreenVertex> grid;
  device_->onCall = [&](const RecordedCall& call) {
    if (call.name != "DrawIndexedPrimitiveUP") return;
    const auto* vertex = reinterpret_cast<const ScreenVertex*>(call.args[6]);
    grid.assign(vertex, vertex + call.args[2]);
  };
  const float trapezoid[8] = {10, 10, 30, 10, 0, 30, 40, 30};
  ASSERT_EQ(DrawTilesFourCorners(g, trapezoid, 1), 0);
  ASSERT_EQ(grid.size(), 64u);
  const float right = 20.0f / 32.0f;
  EXPECT_EQ(grid[0].u, 0.0f);
  EXPECT_NEAR(grid[63].u, right - 0.001f * right / 20.0f, 1e-7);
  EXPECT_NEAR(grid[63].v, right - 0.001f * right / 20.0f, 1e-7);
}

// A graph of several tiles onto a trapezoid: each tile's corners lie where the bilinear map of
// the whole quad puts their graph positions, so the tiles meet at their seams. The wide tiles
// come out as grids, the narrow last one as a quad.
TEST_F(HardDraw, FourCornersOfSeveralTilesFollowTheWholeQuad) {
  MaxTextureSize = 64;
  const int g = Graph(100, 20);
  const GraphEntry* entry = GetGraphEntry(g);
  ASSERT_EQ(entry->tileDrawCount, 3);
  const float corners[8] = {10, 10, 110, 10, 0, 50, 120, 50};  // TL, TR, BL, BR
  const auto at = [&](double gx, double gy) {
    const double fu = gx / 100, fv = gy / 20;
    const double lx = 10 + (0 - 10) * fv, rx = 110 + (120 - 110) * fv;
    return std::pair{lx + fu * (rx - lx), 10 + 40 * fv};
  };
  // Per tile: its top-left and bottom-right corners as drawn.
  std::vector<std::pair<ScreenVertex, ScreenVertex>> drawn;
  device_->onCall = [&](const RecordedCall& call) {
    if (call.name == "DrawIndexedPrimitiveUP") {
      const auto* v = reinterpret_cast<const ScreenVertex*>(call.args[6]);
      drawn.push_back({v[0], v[63]});
    } else if (call.name == "DrawPrimitiveUP") {
      const auto* v = reinterpret_cast<const ScreenVertex*>(call.args[2]);
      drawn.push_back({v[0], v[3]});
    }
  };
  ASSERT_EQ(DrawTilesFourCorners(g, corners, 1), 0);
  ASSERT_EQ(FlushVertexBatch(), 0);
  EXPECT_EQ(device_->Count("DrawIndexedPrimitiveUP"), 2);
  ASSERT_EQ(drawn.size(), 3u);
  for (int t = 0; t < 3; ++t) {
    SCOPED_TRACE(t);
    const GraphTileDraw& d = entry->tileDraws[t];
    const auto [x0, y0] = at(d.dstX, d.dstY);
    const auto [x1, y1] = at(d.dstX + d.width, d.dstY + d.height);
    EXPECT_NEAR(drawn[t].first.x, x0, 1e-3);
    EXPECT_NEAR(drawn[t].first.y, y0, 1e-3);
    EXPECT_NEAR(drawn[t].second.x, x1, 1e-3);
    EXPECT_NEAR(drawn[t].second.y, y1, 1e-3);
  }
  EXPECT_NEAR(drawn[2].second.x, 120.0f, 1e-3);
}

TEST_F(HardDraw, AxisAlignedFourCornersStretch) {
  const int g = Graph(32, 32);
  const int corners[8] = {10, 10, 74, 10, 10, 42, 74, 42};
  ASSERT_EQ(HardDrawGraphFourCorners(g, corners, 1), 0);
  const std::vector<ScreenVertex> v = Queued();
  ASSERT_EQ(v.size(), 6u);
  EXPECT_EQ(v[0].x, 9.5f);
  EXPECT_EQ(v[3].x, 73.5f);
  EXPECT_EQ(v[3].y, 41.5f);
}

// With a blend graph each tile goes straight to the device as a strip; a quad that comes
// turned over (corners mirrored) has its top-right and bottom-left exchanged.
TEST_F(HardDraw, BlendGraphFourCornersDrawStrips) {
  const int g = Graph(32, 32);
  const int blend = Graph(64, 64);
  ASSERT_EQ(SetBlendGraph(blend, 128, 0), 0);
  std::vector<BlendScreenVertex> strip;
  device_->onCall = [&](const RecordedCall& call) {
    if (call.name != "DrawPrimitiveUP") return;
    const auto* vertex = reinterpret_cast<const BlendScreenVertex*>(call.args[2]);
    strip.assign(vertex, vertex + 4);
  };
  const int skewed[8] = {10, 10, 50, 12, 12, 50, 48, 48};
  ASSERT_EQ(HardDrawGraphFourCorners(g, skewed, 1), 0);
  ASSERT_EQ(device_->Count("DrawPrimitiveUP", {D3DPT_TRIANGLESTRIP, 2}), 1);
  ASSERT_EQ(strip.size(), 4u);
  EXPECT_EQ(strip[0].x, 9.5f);
  EXPECT_EQ(strip[1].x, 49.5f);  // top-right second
  EXPECT_EQ(strip[3].x, 47.5f);
  EXPECT_EQ(strip[3].blendU, 0.5f);  // 32 graph pixels over a 64 wide blend texture
  EXPECT_EQ(strip[0].specular, 0xFFFFFFFFu);

  const int mirrored[8] = {50, 10, 10, 12, 48, 50, 12, 48};
  ASSERT_EQ(HardDrawGraphFourCorners(g, mirrored, 1), 0);
  ASSERT_EQ(strip.size(), 4u);
  EXPECT_EQ(strip[1].x, 47.5f);  // bottom-left second
  EXPECT_EQ(strip[2].x, 9.5f);
  SetBlendGraph(-1, 0, 0);
}

TEST_F(HardDraw, IndexedGridSplitsLongIndexLists) {
  EXPECT_EQ(DrawIndexedGrid(1, nullptr, 8), -1);
  EXPECT_EQ(DrawIndexedGrid(8, nullptr, 1), -1);
  std::vector<ScreenVertex> vertices(100 * 12);
  std::vector<uint64_t> counts;
  device_->onCall = [&](const RecordedCall& call) {
    if (call.name == "DrawIndexedPrimitiveUP") counts.push_back(call.args[3] + 2);
  };
  // A row pair takes 200 indices and a join 2: four pairs fit in 1000, the fifth starts anew.
  ASSERT_EQ(DrawIndexedGrid(100, vertices.data(), 12), 0);
  EXPECT_EQ(counts, (std::vector<uint64_t>{4 * 200 + 3 * 2, 4 * 200 + 3 * 2, 3 * 200 + 2 * 2}));
}

// Boxes queue six untextured vertices at the integer corners, clipped to the draw area, in
// the box colour modulated by the draw colour.
TEST_F(HardDraw, FilledBoxIsClippedAndModulated) {
  SetDrawArea(20, 0, 640, 480);
  PackedDrawColor = 0x80FF8000u;
  ASSERT_EQ(HardFillBox(30, 40, 10, 5, MakeColorValue(255, 255, 128)), 0);
  ASSERT_EQ(VertexBatch.kind, BatchVertexUntextured);
  ASSERT_EQ(VertexBatch.count, 6);
  const UntexturedVertex* v = UntexturedBatch;
  EXPECT_EQ(v[0].x, 20.0f);
  EXPECT_EQ(v[0].y, 5.0f);
  EXPECT_EQ(v[3].x, 30.0f);
  EXPECT_EQ(v[3].y, 40.0f);
  EXPECT_EQ(v[0].diffuse, 0x80FF8000u & 0xFFFFFF00u);  // blue 0 x 128
  EXPECT_EQ(v[3].diffuse, v[0].diffuse);
  // Nothing for a box outside the area.
  ASSERT_EQ(HardFillBox(0, 0, 10, 10, 0), 0);
  EXPECT_EQ(VertexBatch.count, 6);
}

// The outline (10, 10)-(20, 20) as four quads covers every border pixel once.
TEST_F(HardDraw, OutlineQuadsCoverEachBorderPixelOnce) {
  ASSERT_EQ(HardDrawBoxOutline(20, 20, 10, 10, 0xFFFFFF), 0);
  ASSERT_EQ(VertexBatch.count, 24);
  int cover[32][32] = {};
  for (int q = 0; q < 4; ++q) {
    const UntexturedVertex* v = &UntexturedBatch[6 * q];
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        // A pixel centre inside the quad by the top-left fill rule.
        if (x >= v[0].x && x < v[3].x && y >= v[0].y && y < v[3].y) ++cover[y][x];
  }
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const bool border =
          x >= 10 && x <= 19 && y >= 10 && y <= 19 && (x == 10 || x == 19 || y == 10 || y == 19);
      EXPECT_EQ(cover[y][x], border ? 1 : 0) << x << ", " << y;
    }
}

// Without the blend-operation cap, each pass is a white box in mode 3 at full strength (which
// inverts the destination); the draw between adds in mode 5; the settings come back.
TEST_F(HardDraw, SubtractEmulationInvertsAroundAnAddingDraw) {
  SubtractBlendSupported = 0;
  SetBlendMode(3, 100);
  SetDrawBrightness(200, 150, 100);
  const RECT rect = {10, 10, 50, 30};
  BeginSubtractEmulation(&rect);
  ASSERT_EQ(VertexBatch.count, 6);
  EXPECT_EQ(UntexturedBatch[0].diffuse, 0xFFFFFFFFu);
  EXPECT_EQ(LastRenderState(D3DRS_SRCBLEND), D3DBLEND_INVDESTCOLOR);
  EXPECT_EQ(LastRenderState(D3DRS_DESTBLEND), D3DBLEND_ZERO);
  EXPECT_EQ(CurrentBlendMode, 5);
  EXPECT_EQ(BlendParam, 100);
  EXPECT_EQ(DrawBright, 0xC89664u);
  EndSubtractEmulation(&rect);
  EXPECT_EQ(CurrentBlendMode, 3);
  EXPECT_EQ(BlendParam, 100);
  EXPECT_EQ(DrawBright, 0xC89664u);
  SetBlendMode(0, 0);
}

}  // namespace
