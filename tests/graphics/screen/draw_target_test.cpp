// Draw targets on the software path: which values are accepted, the draw area kept or reset,
// the memory image drawn into, the mask screen given back, the camera, and clearing.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/graphics/device/device_settings.h"
#include "runtime/graphics/device/lights_camera.h"
#include "runtime/graphics/draw/draw_calls.h"
#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/draw/draw_state.h"
#include "runtime/graphics/graph/graph_handles.h"
#include "runtime/graphics/image/pixel_format.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/screen_hooks.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/graphics/screen/software_screen.h"
#include "tests/support/graph_pictures.h"
#include "tests/support/screen_library.h"

namespace {

class SoftwareTargets : public ScreenLibraryTest {
 protected:
  void SetUp() override {
    ScreenLibraryTest::SetUp();
    ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
    ASSERT_EQ(Start(), 0);
  }
  void TearDown() override {
    // The library ends with the real hooks (the fonts among them), then the stand-ins go.
    if (started_) End();
    ScreenHooks = {};
    ScreenLibraryTest::TearDown();
  }
};

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(SoftwareTargets, TakesScreenCodesAndDrawableGraphsOnly) {
  const int graph = NewGraph(64, 32);
  ASSERT_EQ(SetDrawTarget(-2), 0);
  ASSERT_EQ(SetDrawClipRect(10, 10, 100, 100), 0);
  for (int refused : {-1, -6, 0, 12345, graph + 1}) {
    EXPECT_EQ(SetDrawTarget(refused), -1) << refused;
    EXPECT_EQ(GetDrawTarget(), -2);
    EXPECT_TRUE(SameRect(DrawArea, {10, 10, 100, 100}));
    EXPECT_EQ(SoftDrawTarget, &ScreenMemImg);
  }
  // -3 and -5 act as the back buffer everywhere.
  for (int code : {-3, -5}) {
    ASSERT_EQ(SetDrawTarget(code), 0);
    EXPECT_EQ(GetDrawTarget(), -2);
    EXPECT_EQ(SoftDrawTarget, &ScreenMemImg);
    int w = 0, h = 0;
    EXPECT_EQ(GetGraphDimensions(code, &w, &h), 0);
    EXPECT_EQ(w * 1000 + h, 640480);
  }
  ASSERT_EQ(SetDrawTarget(graph), 0);
  EXPECT_EQ(SoftDrawTarget, &GetGraphEntry(graph)->image);
}

TEST_F(SoftwareTargets, EqualSizesKeepTheDrawAreaOthersResetIt) {
  const int a = NewGraph(64, 32), b = NewGraph(64, 32), small = NewGraph(16, 16);
  ASSERT_EQ(SetDrawTarget(a), 0);
  EXPECT_TRUE(SameRect(DrawArea, {0, 0, 64, 32}));
  ASSERT_EQ(SetDrawClipRect(5, 6, 20, 21), 0);
  ASSERT_EQ(SetDrawTarget(b), 0);
  EXPECT_TRUE(SameRect(DrawArea, {5, 6, 20, 21}));
  ASSERT_EQ(SetDrawTarget(small), 0);
  EXPECT_TRUE(SameRect(DrawArea, {0, 0, 16, 16}));
  ASSERT_EQ(SetDrawTarget(-2), 0);
  EXPECT_TRUE(SameRect(DrawArea, {0, 0, 640, 480}));
}

// The mask screen is off while the target changes and given back afterwards, also when the
// target is refused.
TEST_F(SoftwareTargets, TheMaskSettingComesBack) {
  static std::vector<int> calls;
  static int use;
  calls.clear();
  use = 1;
  ScreenHooks.getUseMaskScreen = [] { return use; };
  ScreenHooks.setUseMaskScreen = [](int flag) {
    calls.push_back(flag);
    use = flag;
    return 0;
  };
  EXPECT_EQ(SetDrawTarget(-7), -1);
  EXPECT_EQ(use, 1);
  ASSERT_EQ(SetDrawTarget(-2), 0);
  EXPECT_EQ(calls, (std::vector<int>{0, 1}));
  EXPECT_EQ(use, 1);
}

// The 2-D camera: at z = 0 the whole target fills the view, its corners on the screen's.
TEST_F(SoftwareTargets, TheCameraShowsTheWholeTargetAtDepthZero) {
  for (auto [target, w, h] : {std::tuple{-2, 640, 480}, std::tuple{NewGraph(100, 50), 100, 50}}) {
    ASSERT_EQ(SetDrawTarget(target), 0);
    const float d = static_cast<float>(h / 2) / 0.5773502588272095f;
    EXPECT_FLOAT_EQ(Camera.nearZ, d * 0.1f);
    EXPECT_FLOAT_EQ(Camera.farZ, d + 20000.0f);
    auto project = [](float x, float y) {
      const float in[4] = {x, y, 0.0f, 1.0f};
      float out[4] = {};
      for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) out[c] += in[r] * CameraMatrix.m[r][c];
      return std::pair{out[0] / out[3], out[1] / out[3]};
    };
    const auto [x0, y0] = project(0.0f, 0.0f);
    const auto [x1, y1] = project(static_cast<float>(w), static_cast<float>(h));
    EXPECT_NEAR(std::fabs(x1 - x0), w, 0.01);
    EXPECT_NEAR(std::fabs(y1 - y0), h, 0.01);
    EXPECT_NEAR(std::fmin(x0, x1), 0.0, 0.01);
    EXPECT_NEAR(std::fmin(y0, y1), 0.0, 0.01);
  }
}

// A rectangle whose left or top is negative counts as none: the whole target is cleared.
TEST_F(SoftwareTargets, ClearingFillsTheRectangleOrTheWholeTarget) {
  BackgroundColor = {10, 20, 30};
  const uint32_t background = 0xFF0A141E;
  for (bool graphTarget : {false, true}) {
    const int graph = NewGraph(64, 32);
    ASSERT_EQ(SetDrawTarget(graphTarget ? graph : -2), 0);
    MEMIMG* image = graphTarget ? &GetGraphEntry(graph)->image : &ScreenMemImg;
    auto pixel = [&](int x, int y) {
      return graphTarget ? SoftGraphPixel(graph, x, y) : ScreenImagePixel(x, y);
    };
    FillMemImgRect(image, nullptr, 0x123456);
    const RECT part = {2, 3, 10, 12};
    ASSERT_EQ(ClearDrawTarget(&part), 0);
    EXPECT_EQ(pixel(2, 3), background);
    EXPECT_EQ(pixel(9, 11), background);
    EXPECT_EQ(pixel(10, 11), 0xFF123456u);
    EXPECT_EQ(pixel(20, 20), 0xFF123456u);
    const RECT leftOfZero = {-1, 0, 4, 4};
    ASSERT_EQ(ClearDrawTarget(&leftOfZero), 0);
    EXPECT_EQ(pixel(63, 31), background);
    EXPECT_EQ(pixel(40, 20), background);
  }
}

// A graph cleared to the colour key and drawn into: its transparent draw shows what was drawn,
// not the key its skip table was made from.
TEST_F(SoftwareTargets, AGraphDrawnIntoDrawsWhatItHoldsWithTransparency) {
  const int graph = NewGraph(64, 32);
  ASSERT_EQ(SetDrawTarget(graph), 0);
  BackgroundColor = {0, 0, 0};  // the colour key
  ASSERT_EQ(ClearDrawTarget(nullptr), 0);
  ASSERT_EQ(DrawRectangle(10, 10, 20, 20, MakeColorValue(255, 0, 0), 1), 0);
  ASSERT_EQ(SetDrawTarget(-2), 0);
  BackgroundColor = {0, 0, 255};
  ASSERT_EQ(ClearDrawTarget(nullptr), 0);
  ASSERT_EQ(DrawGraphAt(0, 0, graph, 1), 0);
  EXPECT_EQ(ScreenImagePixel(15, 15), 0xFFFF0000u);
  EXPECT_EQ(ScreenImagePixel(5, 5), 0xFF0000FFu);
}

}  // namespace
