// The public draw calls: the frame of checks in its order on the software screen (suppression
// and an empty area before the handle, bad handles leaving the pixels alone), what each call
// draws there, and on a recording device the path each call takes, the corner order below the
// public calls, the blend graph's size check and the rectangles of the subtract emulation.
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/graph/graph_upload.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/startup/system_state.h"
#include "tests/graphics/draw/recorded_graphs.h"
#include "tests/graphics/graph/graph_fixture.h"
#include "tests/support/graph_sheets.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr uint32_t kBackground = 0x00204060;

// Every call with one graph handle, as a table; the boxes take no graph.
struct GraphCall {
  const char* name;
  std::function<int(int graph)> call;
};

std::vector<GraphCall> GraphCalls() {
  return {
      {"DrawGraphAt", [](int g) { return DrawGraphAt(10, 10, g, 1); }},
      {"DrawGraphStretched", [](int g) { return DrawGraphStretched(10, 10, 50, 40, g, 1); }},
      {"DrawGraphStretchedF",
       [](int g) { return DrawGraphStretchedF(10.5f, 10, 50, 40.5f, g, 1); }},
      {"DrawGraphMirrored", [](int g) { return DrawGraphMirrored(10, 10, g, 1); }},
      {"DrawGraphRotated", [](int g) { return DrawGraphRotated(60, 60, 1.5, 0.3, g, 1, 0); }},
      {"DrawGraphRotatedF", [](int g) { return DrawGraphRotatedF(60.5f, 60, 0.5, 2.0, g, 1, 1); }},
      {"DrawGraphFourCorners",
       [](int g) { return DrawGraphFourCorners(10, 10, 50, 12, 48, 48, 12, 50, g, 1); }},
      {"DrawGraphFourCornersF",
       [](int g) { return DrawGraphFourCornersF(10, 10, 50, 12, 48, 48, 12, 50, g, 1); }},
      {"DrawGraphRect", [](int g) { return DrawGraphRect(10, 10, 2, 2, 8, 8, g, 1, 0); }},
      {"DrawGraphRect mirrored", [](int g) { return DrawGraphRect(10, 10, 2, 2, 8, 8, g, 1, 1); }},
  };
}

// The draw calls on the software screen (640 x 480 x 32, cleared to kBackground).
class SoftwareDrawCalls : public SoftwareGraphs {
 protected:
  void SetUp() override {
    SoftwareGraphs::SetUp();
    gSystemState.initialised = 1;
    BackgroundColor = {0x20, 0x40, 0x60};
    CreateSoftwareScreen();
    SetDrawClipRect(0, 0, 640, 480);
  }
  void TearDown() override {
    ReleaseSoftwareScreen();
    gSystemState.initialised = 0;
    SoftwareGraphs::TearDown();
  }
  static uint32_t Screen(int x, int y) {
    uint32_t v;
    std::memcpy(&v, ScreenMemImg.pixels + y * ScreenMemImg.body->pitch + 4 * x, 4);
    return v & 0xFFFFFF;
  }
  static std::vector<uint8_t> ScreenBytes() {
    const uint8_t* p = ScreenMemImg.pixels;
    return {p, p + ScreenMemImg.body->pitch * ScreenMemImg.height};
  }
  // A graph holding PatternColour.
  static int PatternGraph(int width, int height) {
    TestPicture picture(width, height, PatternColour);
    const int g = NewGraph(width, height);
    UploadWhole(g, picture.image);
    return g;
  }
};

TEST_F(SoftwareDrawCalls, SuppressedOrEmptyAreaAnswersZeroBeforeTheHandle) {
  const auto boxes = [] {
    return DrawRectangle(0, 0, 100, 100, 0xFFFFFF, 1) + DrawRectangle(0, 0, 100, 100, 0xFF, 0) +
           DrawFilledBox(0, 0, 9, 9, 0) + DrawBoxOutline(0, 0, 9, 9, 0);
  };
  const std::vector<uint8_t> before = ScreenBytes();
  for (int empty = 0; empty < 2; ++empty) {
    if (empty)
      SetDrawClipRect(30, 30, 30, 90);
    else
      DrawSuppressed = 1;
    for (const GraphCall& c : GraphCalls()) EXPECT_EQ(c.call(-1), 0) << c.name;
    EXPECT_EQ(DrawGraphRectStretchedF(0, 0, 10, 10, 0, 0, 4, 4, -1, 1), 0);
    EXPECT_EQ(boxes(), 0);
    DrawSuppressed = 0;
    SetDrawClipRect(0, 0, 640, 480);
  }
  EXPECT_EQ(ScreenBytes(), before);
}

TEST_F(SoftwareDrawCalls, BadHandlesAreRefusedAndDrawNothing) {
  const int g = PatternGraph(16, 16);
  const int stale = PatternGraph(16, 16);
  DeleteGraphHandle(stale);
  const int foreignType = (g & ~(0xF << 27)) | (2 << 27);
  const std::vector<uint8_t> before = ScreenBytes();
  for (const GraphCall& c : GraphCalls())
    for (int bad : {-1, stale, foreignType, g + 1}) EXPECT_EQ(c.call(bad), -1) << c.name << bad;
  EXPECT_EQ(DrawGraphRectStretchedF(0, 0, 10, 10, 0, 0, 4, 4, stale, 1), -1);
  EXPECT_EQ(ScreenBytes(), before);
  for (const GraphCall& c : GraphCalls()) EXPECT_EQ(c.call(g), 0) << c.name;
  EXPECT_NE(ScreenBytes(), before);
  // Only DrawGraphAt asks whether the library runs.
  gSystemState.initialised = 0;
  EXPECT_EQ(DrawGraphAt(0, 0, g, 1), -1);
  EXPECT_EQ(DrawGraphStretched(0, 0, 16, 16, g, 1), 0);
}

TEST_F(SoftwareDrawCalls, ReversedCornersAndTheMirroredCallsMirror) {
  const int g = PatternGraph(100, 50);
  ASSERT_EQ(DrawGraphStretched(100, 0, 0, 50, g, 1), 0);
  for (int y = 0; y < 50; y += 7)
    for (int x = 0; x < 100; x += 3)
      ASSERT_EQ(Screen(x, y), PatternColour(99 - x, y) & 0xFFFFFF) << x << ", " << y;
  EXPECT_EQ(Screen(100, 0), kBackground);

  ASSERT_EQ(DrawGraphMirrored(200, 100, g, 1), 0);
  EXPECT_EQ(Screen(200, 100), PatternColour(99, 0) & 0xFFFFFF);
  EXPECT_EQ(Screen(299, 149), PatternColour(0, 49) & 0xFFFFFF);

  // A rectangle of the graph, mirrored: source column sx + w - 1 comes first.
  ASSERT_EQ(DrawGraphRect(300, 300, 10, 5, 20, 8, g, 1, 1), 0);
  EXPECT_EQ(Screen(300, 300), PatternColour(29, 5) & 0xFFFFFF);
  EXPECT_EQ(Screen(319, 307), PatternColour(10, 12) & 0xFFFFFF);
  EXPECT_EQ(Screen(320, 300), kBackground);
  EXPECT_EQ(Screen(299, 300), kBackground);
  EXPECT_EQ(Screen(300, 308), kBackground);
}

TEST_F(SoftwareDrawCalls, GraphRectDrawsOnlyItsRectangleAndPutsTheAreaBack) {
  const int g = PatternGraph(64, 64);
  SetDrawClipRect(0, 0, 600, 400);
  const RECT area = DrawArea;
  float areaF[4];
  std::memcpy(areaF, DrawAreaF, sizeof areaF);
  ASSERT_EQ(DrawGraphRect(590, 50, 8, 16, 20, 10, g, 1, 0), 0);
  EXPECT_TRUE(std::memcmp(&DrawArea, &area, sizeof area) == 0);
  EXPECT_EQ(std::memcmp(DrawAreaF, areaF, sizeof areaF), 0);
  EXPECT_EQ(DrawAreaEmpty, 0);
  EXPECT_EQ(Screen(590, 50), PatternColour(8, 16) & 0xFFFFFF);
  EXPECT_EQ(Screen(599, 59), PatternColour(17, 25) & 0xFFFFFF);
  EXPECT_EQ(Screen(600, 50), kBackground);  // the remembered area still clips
  EXPECT_EQ(Screen(589, 50), kBackground);
  EXPECT_EQ(Screen(590, 60), kBackground);
  // The area comes back after a refused mirrored draw too.
  EXPECT_EQ(DrawGraphRect(0, 0, 0, 0, 4, 4, -1, 1, 1), -1);
  EXPECT_TRUE(std::memcmp(&DrawArea, &area, sizeof area) == 0);
}

// A rectangle of the graph stretched through a sub graph made for the draw, and gone after it.
TEST_F(SoftwareDrawCalls, GraphRectStretchedDrawsItsRectangle) {
  const int g = PatternGraph(64, 64);
  ASSERT_EQ(DrawGraphRectStretchedF(100.0f, 100.0f, 140.0f, 120.0f, 8, 16, 20, 10, g, 1), 0);
  EXPECT_EQ(GraphHandles.count, 1);
  for (int y = 98; y < 122; ++y)
    for (int x = 98; x < 142; ++x) {
      const bool inside = x >= 100 && x < 140 && y >= 100 && y < 120;
      const uint32_t expected =
          inside ? PatternColour(8 + (x - 100) / 2, 16 + (y - 100) / 2) & 0xFFFFFF : kBackground;
      ASSERT_EQ(Screen(x, y), expected) << x << ", " << y;
    }
  // A rectangle that starts outside the graph gives no sub graph and draws nothing.
  const std::vector<uint8_t> before = ScreenBytes();
  EXPECT_EQ(DrawGraphRectStretchedF(0, 0, 10, 10, 64, 0, 4, 4, g, 1), -1);
  EXPECT_EQ(ScreenBytes(), before);
  EXPECT_EQ(GraphHandles.count, 1);
}

// Fill 0 draws the outline, any other value the filled box. Drawn half-transparent, a pixel
// covered twice would come out darker than the others.
TEST_F(SoftwareDrawCalls, RectangleOutlinesOrFills) {
  SetBlendMode(1, 128);
  const uint32_t white = MakeColorValue(255, 255, 255);
  ASSERT_EQ(DrawRectangle(10, 10, 20, 20, white, 0), 0);
  ASSERT_EQ(DrawRectangle(110, 10, 120, 20, white, 7), 0);
  SetBlendMode(0, 0);
  const uint32_t once = Screen(10, 10);
  EXPECT_NE(once, kBackground);
  for (int y = 8; y < 22; ++y)
    for (int x = 8; x < 22; ++x) {
      const bool border =
          x >= 10 && x <= 19 && y >= 10 && y <= 19 && (x == 10 || x == 19 || y == 10 || y == 19);
      ASSERT_EQ(Screen(x, y), border ? once : kBackground) << x << ", " << y;
      const bool inside = x >= 10 && x <= 19 && y >= 10 && y <= 19;
      ASSERT_EQ(Screen(x + 100, y), inside ? once : kBackground) << x + 100 << ", " << y;
    }
}

// The colour key of a BMP and the alpha of a PNG leave the screen alone where they are
// transparent, when the draw is asked to be transparent.
TEST_F(SoftwareDrawCalls, KeyAndAlphaFromFilesAreHonoured) {
  const auto keyed = [](int x, int y) {
    const uint32_t colour = SheetColour(x, y) & 0xFFFFFF;
    return x < 4    ? 0xFFFF00FFu
           : x < 8  ? colour
           : x < 10 ? 0x80000000u | colour
                    : 0xFF000000u | colour;
  };
  TempFolder folder;
  folder.WriteFile("keyed.bmp", [&] {
    const ByteString b = MakeBmpSheet(12, 4, keyed);
    return std::string(b.begin(), b.end());
  }());
  folder.WriteFile("alpha.png", [&] {
    const ByteString b = MakePngSheet(12, 4, keyed);
    return std::string(b.begin(), b.end());
  }());
  const int bmp = LoadGraphFromFile((folder.WindowsPath() + "\\keyed.bmp").c_str(), 0);
  const int png = LoadGraphFromFile((folder.WindowsPath() + "\\alpha.png").c_str(), 0);
  ASSERT_NE(bmp, -1);
  ASSERT_NE(png, -1);
  ASSERT_EQ(DrawGraphAt(0, 0, bmp, 1), 0);
  ASSERT_EQ(DrawGraphAt(0, 10, png, 1), 0);
  ASSERT_EQ(DrawGraphAt(0, 20, bmp, 0), 0);
  EXPECT_EQ(Screen(1, 1), kBackground);                   // the key
  EXPECT_EQ(Screen(5, 1), SheetColour(5, 1) & 0xFFFFFF);  // opaque in a BMP
  EXPECT_EQ(Screen(1, 11), 0xFF00FFu);    // a picture with alpha keeps the key's colour
  EXPECT_EQ(Screen(5, 11), kBackground);  // alpha 0
  EXPECT_NE(Screen(9, 11), SheetColour(9, 1) & 0xFFFFFF);    // alpha 128 blends
  EXPECT_NE(Screen(9, 11), kBackground);                     //
  EXPECT_EQ(Screen(10, 11), SheetColour(10, 1) & 0xFFFFFF);  // opaque
  EXPECT_EQ(Screen(1, 21), 0xFF00FFu);                       // not transparent: the key drawn
}

TEST_F(SoftwareDrawCalls, ValuesThatAreNotFiniteDrawNothing) {
  const int g = PatternGraph(16, 16);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<uint8_t> before = ScreenBytes();
  EXPECT_EQ(DrawGraphStretchedF(0, 0, inf, 40, g, 1), 0);
  EXPECT_EQ(DrawGraphRotatedF(nan, 40, 1.0, 0.0, g, 1, 0), 0);
  EXPECT_EQ(DrawGraphRotated(40, 40, std::nan(""), 0.0, g, 1, 0), 0);
  EXPECT_EQ(DrawGraphRotated(40, 40, 1.0, -inf, g, 1, 0), 0);
  EXPECT_EQ(DrawGraphFourCornersF(0, 0, 40, 0, 40, nan, 0, 40, g, 1), 0);
  EXPECT_EQ(DrawGraphRectStretchedF(0, 0, nan, 10, 0, 0, 4, 4, g, 1), 0);
  EXPECT_EQ(ScreenBytes(), before);
  EXPECT_EQ(GraphHandles.count, 1);  // the stretched rectangle's sub graph is gone again
}

// The path each call takes on the hardware, as vertices on a recording device.
class RecordedDrawCalls : public RecordedGraphsTest {
 protected:
  void SetUp() override {
    RecordedGraphsTest::SetUp();
    gSystemState.initialised = 1;
  }
  void TearDown() override {
    gSystemState.initialised = 0;
    RecordedGraphsTest::TearDown();
  }
};

TEST_F(RecordedDrawCalls, PublicCornersGoClockwise) {
  const int g = Graph(32, 32);
  // Clockwise public corners of an upright box come out as the stretched draw.
  ASSERT_EQ(DrawGraphFourCorners(10, 10, 42, 10, 42, 42, 10, 42, g, 1), 0);
  std::vector<ScreenVertex> v = Queued();
  ASSERT_EQ(v.size(), 6u);
  EXPECT_EQ(v[0].x, 9.5f);
  EXPECT_EQ(v[3].x, 41.5f);
  EXPECT_EQ(v[3].y, 41.5f);
  // A skewed quad: the grid's last column of the first row is the top-right corner and its
  // first column of the last row the bottom-left.
  std::vector<ScreenVertex> grid;
  device_->onCall = [&](const RecordedCall& call) {
    if (call.name != "DrawIndexedPrimitiveUP") return;
    const auto* vertex = reinterpret_cast<const ScreenVertex*>(call.args[6]);
    grid.assign(vertex, vertex + call.args[2]);
  };
  ASSERT_EQ(DrawGraphFourCornersF(10, 10, 60, 12, 48, 48, 12, 70, g, 1), 0);
  ASSERT_EQ(grid.size(), 64u);
  EXPECT_NEAR(grid[7].x, 60.0f, 1e-4);
  EXPECT_NEAR(grid[56].y, 70.0f, 1e-4);
  EXPECT_NEAR(grid[63].x, 48.0f, 1e-4);
}

TEST_F(RecordedDrawCalls, BlendGraphSmallerThanTheGraphRefusesEveryGraphCall) {
  const int g = Graph(32, 32);
  const int narrow = Graph(16, 64);
  const int wide = Graph(64, 64);
  ASSERT_EQ(SetBlendGraph(narrow, 128, 0), 0);
  for (const GraphCall& c : GraphCalls()) EXPECT_EQ(c.call(g), -1) << c.name;
  EXPECT_EQ(VertexBatch.count, 0);
  ASSERT_EQ(SetBlendGraph(wide, 128, 0), 0);
  for (const GraphCall& c : GraphCalls()) EXPECT_EQ(c.call(g), 0) << c.name;
  SetBlendGraph(-1, 0, 0);
}

// Blend mode 3 without the blend-operation cap: an inverting box over the draw's rectangle,
// the draw, and another inverting box over the same rectangle.
TEST_F(RecordedDrawCalls, SubtractEmulationCoversEachCallsRectangle) {
  SubtractBlendSupported = 0;
  const int g = Graph(32, 32);
  struct Case {
    const char* name;
    std::function<int()> call;
    RECT rect;
    int middleStride;
  } cases[] = {
      {"rotated: turned corners widened by 5",
       [&] { return DrawGraphRotated(100, 100, 1.0, 0.0, g, 1, 0); },
       {79, 79, 121, 121},
       28},
      {"rotated at scale 1.5",
       [&] { return DrawGraphRotated(100, 100, 1.5, 0.0, g, 1, 0); },
       {71, 71, 129, 129},
       28},
      {"four corners: their box",
       [&] { return DrawGraphFourCorners(10, 20, 50, 22, 48, 60, 12, 58, g, 1); },
       {10, 20, 50, 60},
       0},
      {"at", [&] { return DrawGraphAt(5, 6, g, 1); }, {5, 6, 37, 38}, 28},
      {"stretched: corners ordered",
       [&] { return DrawGraphStretched(90, 80, 10, 20, g, 1); },
       {10, 20, 90, 80},
       28},
      {"box", [&] { return DrawFilledBox(3, 4, 30, 40, 0xFFFFFF); }, {3, 4, 30, 40}, 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::vector<UntexturedVertex>> boxes;
    std::vector<int> strides;  // 20 boxes, 28 quads, 0 the distortion grid
    device_->onCall = [&](const RecordedCall& call) {
      if (call.name == "DrawIndexedPrimitiveUP") strides.push_back(0);
      if (call.name != "DrawPrimitiveUP") return;
      strides.push_back(static_cast<int>(call.args[3]));
      if (call.args[3] != sizeof(UntexturedVertex)) return;
      const auto* v = reinterpret_cast<const UntexturedVertex*>(call.args[2]);
      boxes.emplace_back(v, v + 3 * call.args[1]);
    };
    SetBlendMode(3, 200);
    ASSERT_EQ(c.call(), 0);
    FlushVertexBatch();
    SetBlendMode(0, 0);
    ASSERT_EQ(strides.size(), 3u);
    EXPECT_EQ(strides[1], c.middleStride);
    ASSERT_EQ(boxes.size(), c.middleStride == 20 ? 3u : 2u);
    for (const std::vector<UntexturedVertex>& box : {boxes.front(), boxes.back()}) {
      ASSERT_EQ(box.size(), 6u);
      EXPECT_EQ(box[0].x, static_cast<float>(c.rect.left));
      EXPECT_EQ(box[0].y, static_cast<float>(c.rect.top));
      EXPECT_EQ(box[3].x, static_cast<float>(c.rect.right));
      EXPECT_EQ(box[3].y, static_cast<float>(c.rect.bottom));
    }
  }
}

}  // namespace
