// What the draw calls put on the screen, read back through SaveDrawScreen: box outlines that
// cover each border pixel once and subtraction without the device's blend-operation cap (both
// paths), and the device's white graph under boxes in the modulate-4x modes.
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/device/blend_state.h"
#include "runtime/graphics/device/graphics_device.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/graph/graph_content.h"
#include "runtime/graphics/graph/graph_from_images.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "tests/graphics_hardware/started_graphics.h"
#include "tests/support/graph_sheets.h"

namespace {

using DrawPixels = StartedGraphics;

uint32_t At(const std::vector<uint32_t>& pixels, int width, int x, int y) {
  return pixels[static_cast<size_t>(y) * width + x];
}

// Half-transparent white over black: a pixel drawn twice would be brighter than the others.
TEST_F(DrawPixels, OutlineCoversEachBorderPixelOnce) {
  for (bool hardware : {true, false}) {
    SCOPED_TRACE(hardware ? "hardware" : "software");
    ASSERT_TRUE(Start(hardware));
    BackgroundColor = {0, 0, 0};
    ClearDrawTarget(nullptr);
    SetBlendMode(1, 128);
    ASSERT_EQ(DrawBoxOutline(10, 10, 20, 20, MakeColorValue(255, 255, 255)), 0);
    SetBlendMode(0, 0);
    const std::vector<uint32_t> screen = SavedScreen(0, 0, 30, 30);
    ASSERT_EQ(screen.size(), 900u);
    const uint32_t once = At(screen, 30, 10, 10);
    EXPECT_NEAR(static_cast<int>(once & 0xFF), 128, 2);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) {
        const bool border =
            x >= 10 && x <= 19 && y >= 10 && y <= 19 && (x == 10 || x == 19 || y == 10 || y == 19);
        EXPECT_EQ(At(screen, 30, x, y), border ? once : 0u) << x << ", " << y;
      }
    Stop();
  }
}

// A white picture subtracted from mid-grey gives black where it is opaque; its keyed part
// leaves the grey. On the device without the blend-operation cap this goes through the two
// inverting passes.
TEST_F(DrawPixels, SubtractingWhiteFromGreyGivesBlack) {
  const ByteString sheet =
      MakeBmpSheet(16, 8, [](int x, int) { return x < 12 ? 0xFFFFFFFFu : 0xFFFF00FFu; });
  for (int mode = 0; mode < 3; ++mode) {
    const bool hardware = mode < 2;
    SCOPED_TRACE(mode == 0 ? "device without the cap" : mode == 1 ? "device with it" : "software");
    ASSERT_TRUE(Start(hardware));
    if (hardware) SubtractBlendSupported = mode == 1 ? 1 : 0;
    BackgroundColor = {128, 128, 128};
    ClearDrawTarget(nullptr);
    const int white =
        CreateGraphFromMemory(sheet.data(), static_cast<int>(sheet.size()), nullptr, 0, 1, 0);
    ASSERT_NE(white, -1);
    SetBlendMode(3, 255);
    ASSERT_EQ(DrawGraphAt(20, 20, white, 1), 0);
    ASSERT_EQ(DrawGraphRotated(60, 24, 1.0, 0.0, white, 1, 0), 0);
    SetBlendMode(0, 0);
    const std::vector<uint32_t> screen = SavedScreen(0, 0, 100, 40);
    ASSERT_EQ(screen.size(), 4000u);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 100; ++x) {
        const bool opaque = y >= 20 && y < 28 && ((x >= 20 && x < 32) || (x >= 52 && x < 64));
        EXPECT_EQ(At(screen, 100, x, y), opaque ? 0u : 0x808080u) << x << ", " << y;
      }
    Stop();
  }
}

// Boxes in the modulate-4x modes (12 alpha, 13 add) sample the white graph, made when first
// needed and made again, after every graph was deleted, when the blend state is next chosen:
// the colour comes out four times as bright.
TEST_F(DrawPixels, UntexturedModulate4xBoxesSampleTheWhiteGraph) {
  ASSERT_TRUE(Start(true));
  // The graph layer's services reach the device layer with the first graph made.
  ASSERT_NE(CreateBlankGraph(8, 8), -1);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    BackgroundColor = {0, 0, 0};
    ClearDrawTarget(nullptr);
    SetBlendMode(round == 0 ? 12 : 13, 255);
    ASSERT_EQ(DrawFilledBox(4, 4, 12, 12, MakeColorValue(32, 16, 8)), 0);
    SetBlendMode(0, 0);
    const std::vector<uint32_t> screen = SavedScreen(0, 0, 16, 16);
    ASSERT_EQ(screen.size(), 256u);
    EXPECT_TRUE(IsGraphHandleValid(WhiteTextureGraph));
    const uint32_t c = At(screen, 16, 8, 8);
    EXPECT_NEAR(static_cast<int>(c >> 16), 128, 2);
    EXPECT_NEAR(static_cast<int>((c >> 8) & 0xFF), 64, 2);
    EXPECT_NEAR(static_cast<int>(c & 0xFF), 32, 2);
    EXPECT_EQ(At(screen, 16, 2, 2), 0u);
    DeleteAllGraphs(0);
  }
  Stop();
}

}  // namespace
