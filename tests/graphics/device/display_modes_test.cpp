// Display modes, the resolution change with its fall-backs, the refresh-period measurement on
// the port's vertical-blank grid, and the screen queries.
#include <gtest/gtest.h>

#include "port/win32.h"
#include "runtime/graphics/device/display_modes.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/platform/core/clocks.h"
#include "runtime/platform/core/system_info.h"
#include "runtime/platform/window/window_state.h"
#include "tests/support/log_capture.h"

namespace {

class DisplayModes : public testing::Test {
 protected:
  void SetUp() override {
    // Microsecond times, as after start-up (the millisecond clock would make every interval
    // differ by a whole millisecond).
    DetectPerformanceCounter();
    ScreenMode = {640, 480, 32, 60};
    Emulate320x240 = Emulate320x240Fallback = 0;
    WindowState.windowModeFlag = 0;
  }
  void TearDown() override {
    ReleaseDirectDrawObject();
    ReleaseDisplayModeList();
    PortResetDirectDrawSwitches();
    PortResetDisplaySwitches();
    PortSetSimulatedTime(false);
    ChangeDisplaySettingsA(nullptr, 0);
    ScreenMode = {0, 0, 0, 0};
    Emulate320x240Fallback = 0;
    WindowState.windowModeFlag = 0;
  }
};

TEST_F(DisplayModes, TheListHoldsTheReportedModesAndAnswersOutsideWithMinusOne) {
  const int count = CountDisplayModes();
  ASSERT_GT(count, 0);
  for (int index : {-1, count}) {
    const DisplayModeEntry e = GetDisplayModeEntry(index);
    EXPECT_EQ(e.width, -1);
    EXPECT_EQ(e.height, -1);
    EXPECT_EQ(e.bits, -1);
    EXPECT_EQ(e.refreshRate, -1);
  }
  for (int i = 0; i < count; ++i) EXPECT_GE(GetDisplayModeEntry(i).bits, 16);
  EXPECT_EQ(IsDisplayModeAvailable(640, 480, 16), 1);
  EXPECT_EQ(IsDisplayModeAvailable(640, 480, 32), 1);
  EXPECT_EQ(IsDisplayModeAvailable(641, 480, 32), 0);
}

// The list is counted in one pass and filled in another: modes that appear in between are not
// written past the counted entries.
TEST_F(DisplayModes, ModesAddedBetweenTheCountAndTheFillStayOutsideTheList) {
  ReleaseDisplayModeList();
  const int count = CountDisplayModes();
  ReleaseDisplayModeList();
  // The count makes count + 1 calls (the last one finds no mode); the fill sees two more sizes.
  PortGrowDisplayModeList(count + 1, 2);
  ASSERT_EQ(CountDisplayModes(), count);
  EXPECT_EQ(GetDisplayModeEntry(count).width, -1);
  // The new 16-bit sizes sort before the 32-bit modes: the fill met them.
  EXPECT_EQ(IsDisplayModeAvailable(4000, 3000, 16), 1);
  EXPECT_EQ(IsDisplayModeAvailable(640, 480, 16), 1);
}

TEST_F(DisplayModes, ARefused320x240EndsAt640x480WithTheFallbackFlag) {
  LogCapture log;
  ScreenMode = {320, 240, 32, 60};
  ASSERT_EQ(ChangeDisplayMode(), 0);
  EXPECT_EQ(ScreenMode.width, 640);
  EXPECT_EQ(ScreenMode.height, 480);
  EXPECT_EQ(ScreenMode.refreshRate, 0);
  EXPECT_EQ(Emulate320x240Fallback, 1);
  int w, h, bits;
  QueryScreenState(&w, &h, &bits);
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
  EXPECT_EQ(bits, 32);
  EXPECT_NE(log.Contents().find("画面モードの変更処理を開始します 320 x 240  32 bit "
                                "画面解像度を変更します... 成功しました\r\n"),
            std::string::npos);
}

TEST_F(DisplayModes, ARefusedModeOrDepthFails) {
  LogCapture log;
  ScreenMode = {123, 45, 32, 0};
  EXPECT_EQ(ChangeDisplayMode(), -1);
  EXPECT_NE(log.Contents().find("画面モードの変更に失敗しました\r\n"), std::string::npos);
  EXPECT_EQ(Emulate320x240Fallback, 0);
  ScreenMode = {640, 480, 24, 0};
  EXPECT_EQ(ChangeDisplayMode(), -1);
}

// On simulated time the waits land exactly on the grid, so a steady grid measures its own
// period and an unsteady one none. WaitVSync sleeps until `lead` after the last blank (the
// period less 3 ms, or 4 ms without one), then takes the next blank.
TEST_F(DisplayModes, RefreshPeriodOnASteadyGridAndNoneOnAnUnsteadyOne) {
  ASSERT_EQ(CreateDirectDrawObject(), 0);
  PortSetSimulatedTime(true);
  PortSetVerticalBlankRate(50);
  constexpr int64_t kPeriod = 20000;
  ASSERT_EQ(MeasureRefreshPeriod(), 0);
  EXPECT_EQ(RefreshPeriod, kPeriod);
  // The measurement ends with a wait, on a blank: the next one is a whole period on, whether
  // the wait starts at once or sleeps first, and the sleep never overshoots it.
  EXPECT_EQ(static_cast<int64_t>(GetNowMicroseconds(1)), LastVBlankTime);
  for (int64_t pause : {0, 16000, 17000, 19999}) {
    const int64_t blank = LastVBlankTime;
    PortAdvanceSimulatedTime(pause * 1000);
    WaitVSync();
    EXPECT_EQ(LastVBlankTime - blank, kPeriod) << pause;
  }

  PortSetUnsteadyVerticalBlank(true);
  ASSERT_EQ(MeasureRefreshPeriod(), 0);
  EXPECT_EQ(RefreshPeriod, -1);
  // Without a period the lead is 4 ms: stamped 17 ms after a blank, the sleep runs past the
  // next one and the wait takes the one after.
  PortSetUnsteadyVerticalBlank(false);
  PortAdvanceSimulatedTime(17000000);
  const int64_t start = static_cast<int64_t>(GetNowMicroseconds(1));
  LastVBlankTime = start;
  WaitVSync();
  EXPECT_EQ(LastVBlankTime - start, 2 * kPeriod - 17000);

  // A last blank ahead of the clock was stamped on the other clock source: it counts as long
  // past, and the wait takes the next blank instead of sleeping until the clock catches up.
  const int64_t now = static_cast<int64_t>(GetNowMicroseconds(1));
  LastVBlankTime = now + 10'000'000;
  WaitVSync();
  EXPECT_GE(LastVBlankTime, now);
  EXPECT_LE(LastVBlankTime - now, kPeriod);
}

TEST_F(DisplayModes, NoDirectDrawObjectWhenItCannotBeInitialised) {
  LogCapture log;
  PortSetDirectDrawInitializeFails(true);
  EXPECT_EQ(CreateDirectDrawObject(), -1);
  EXPECT_EQ(GetDirectDrawObject(), nullptr);
  EXPECT_NE(log.Contents().find("DirectDrawオブジェクトの初期化に失敗しました\r\n"),
            std::string::npos);
  ASSERT_EQ(MeasureRefreshPeriod(), 0);
  EXPECT_EQ(RefreshPeriod, -1);
}

TEST(ScreenQueries, UnsetModeReadsAs640x480At16Bits) {
  ScreenMode = {0, 0, 0, 0};
  int w = 0, h = 0;
  GetScreenSize(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_EQ(GetScreenBitDepth(), 16);
  GetScreenSize(nullptr, nullptr);
  WindowState.windowModeFlag = 1;
  EXPECT_EQ(IsFullScreen(), 0);
  WindowState.windowModeFlag = 0;
  EXPECT_EQ(IsFullScreen(), 1);
}

}  // namespace
