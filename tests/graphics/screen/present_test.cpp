// Presenting on the software path through GDI's DIB output: what the window shows for each
// depth and width, with the window's stretch rates, the 320 x 240 emulation, a repaint
// rectangle, and the front buffer's refresh timer.
#include <gtest/gtest.h>

#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/screen/draw_target.h"
#include "runtime/graphics/screen/present.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/window/main_window.h"
#include "runtime/platform/window/message_loop.h"
#include "runtime/platform/window/window_state.h"
#include "tests/support/screen_library.h"

namespace {

using SoftwarePresent = ScreenLibraryTest;

// Every shown pixel (x, y) is the screen image's pixel source(x, y).
template <typename Source>
void ExpectShown(const std::vector<uint32_t>& shown, int width, int height, Source source) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const auto [sx, sy] = source(x, y);
      ASSERT_EQ(shown[static_cast<size_t>(y) * width + x], ScreenImagePixel(sx, sy))
          << x << ", " << y;
    }
}

struct ScreenCase {
  int width;
  int bits;
};

class SoftwarePresentDepths : public ScreenLibraryTest,
                              public testing::WithParamInterface<ScreenCase> {};

// A width whose rows are shorter than the image's pitch (636 x 2 bytes in rows of 1280) shows
// unskewed too.
TEST_P(SoftwarePresentDepths, TheWindowShowsTheScreenImage) {
  const ScreenCase c = GetParam();
  ASSERT_EQ(SetScreenMode(c.width, 480, c.bits, 0), 0);
  ASSERT_EQ(Start(), 0);
  ASSERT_EQ(ScreenMemImg.width, c.width);
  PaintScreenImage();
  ASSERT_EQ(PresentScreen(), 0);
  EXPECT_EQ(LastPresentSourceRect.right, c.width);
  ExpectShown(Shown(c.width, 480), c.width, 480, [](int x, int y) { return std::pair{x, y}; });
}

INSTANTIATE_TEST_SUITE_P(Screens, SoftwarePresentDepths,
                         testing::Values(ScreenCase{640, 16}, ScreenCase{640, 32},
                                         ScreenCase{636, 16}),
                         [](const auto& info) {
                           return std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.bits);
                         });

TEST_F(SoftwarePresent, StretchRatesScaleTheDestination) {
  ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
  ASSERT_EQ(Start(), 0);
  WindowState.stretchRateX = 2.0;
  WindowState.stretchRateY = 1.5;
  FitWindowSize();
  PaintScreenImage();
  ASSERT_EQ(PresentScreen(), 0);
  EXPECT_EQ(LastPresentSourceRect.left, 0);
  EXPECT_EQ(LastPresentSourceRect.right, 1280);
  EXPECT_EQ(LastPresentSourceRect.bottom, 720);
  ExpectShown(Shown(1280, 720), 1280, 720, [](int x, int y) {
    return std::pair{x / 2, y * 2 / 3};
  });
}

// A 320 x 240 screen emulated on 640 x 480 (as a full-screen 320 x 240 request runs; the
// window shows the same) presents its top-left quarter with every pixel doubled.
TEST_F(SoftwarePresent, The320x240EmulationShowsTheTopLeftQuarterDoubled) {
  ASSERT_EQ(SetScreenMode(640, 480, 16, 0), 0);
  ASSERT_EQ(Start(), 0);
  Emulate320x240 = 1;
  PaintScreenImage();
  ASSERT_EQ(PresentScreen(), 0);
  EXPECT_EQ(LastPresentSourceRect.right, 640);
  ExpectShown(Shown(640, 480), 640, 480, [](int x, int y) { return std::pair{x / 2, y / 2}; });
}

// A repaint rectangle maps through the last whole present's source area; the window procedure
// presents it for WM_PAINT while the back buffer is the target.
TEST_F(SoftwarePresent, ARepaintPresentsOnlyItsRectangle) {
  ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
  ASSERT_EQ(Start(), 0);
  ASSERT_EQ(SetDrawTarget(-2), 0);
  ASSERT_EQ(PresentScreen(), 0);  // the background everywhere
  const uint32_t background = ScreenImagePixel(0, 0);
  PaintScreenImage();

  const RECT empty = {100, 50, 100, 150};
  EXPECT_EQ(PresentBackBuffer(&empty), -1);
  const RECT rect = {100, 50, 200, 150};
  InvalidateRect(WindowState.mainWindow, &rect, FALSE);
  for (int i = 0; i < 5; ++i) ProcessWindowMessages();
  const std::vector<uint32_t> shown = Shown(640, 480);
  for (int y = 0; y < 480; y += 3)
    for (int x = 0; x < 640; x += 3) {
      const bool inside = x >= 100 && x < 200 && y >= 50 && y < 150;
      ASSERT_EQ(shown[y * 640 + x], inside ? ScreenImagePixel(x, y) : background) << x << ", " << y;
    }
}

// -4 presents every 32 ms by itself until another target is selected; the timer then dies.
TEST_F(SoftwarePresent, TheFrontBufferPresentsItselfUntilAnotherTargetIsChosen) {
  ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
  ASSERT_EQ(Start(), 0);
  ASSERT_EQ(GetDrawTarget(), -4);
  PaintScreenImage();
  const uint32_t painted = ScreenImagePixel(639, 479);
  const int start = GetNowMilliseconds();
  // No bound on how late the timer is; the wait only ends a run that never presents.
  while (Shown(640, 480)[479 * 640 + 639] != painted && GetNowMilliseconds() - start < 10000)
    ProcessWindowMessages();
  ExpectShown(Shown(640, 480), 640, 480, [](int x, int y) { return std::pair{x, y}; });

  ASSERT_EQ(SetDrawTarget(-2), 0);
  ClearWholeDrawTarget();
  ScreenRefreshTimerProc(WindowState.mainWindow, WM_TIMER, kScreenRefreshTimerId, 0);
  EXPECT_EQ(Shown(640, 480)[479 * 640 + 639], painted);                    // not presented
  EXPECT_FALSE(KillTimer(WindowState.mainWindow, kScreenRefreshTimerId));  // no longer armed
}

}  // namespace
