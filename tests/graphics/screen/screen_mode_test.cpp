// Screen modes on the software path, where a full screen changes the display mode: the
// arguments SetScreenMode refuses, the fall-back chain through modes the display refuses, the
// 320 x 240 screen in full screen and in a window, and the end when no mode can be set.
#include <cstdlib>

#include <gtest/gtest.h>

#include "runtime/graphics/draw/draw_settings.h"
#include "runtime/graphics/screen/screen_mode.h"
#include "runtime/graphics/screen/screen_mode_change.h"
#include "runtime/graphics/screen/software_screen.h"
#include "runtime/platform/core/log.h"
#include "runtime/platform/window/main_window.h"
#include "tests/support/child_process.h"
#include "tests/support/screen_library.h"

namespace {

using ScreenModes = ScreenLibraryTest;

bool operator==(const ScreenModeRecord& a, const ScreenModeRecord& b) {
  return a.width == b.width && a.height == b.height && a.bits == b.bits &&
         a.refreshRate == b.refreshRate;
}

TEST_F(ScreenModes, BeforeStartUpTheModeIsOnlyStored) {
  EXPECT_EQ(SetScreenMode(800, 600, 32, 60), 0);
  EXPECT_TRUE((ScreenMode == ScreenModeRecord{800, 600, 32, 60}));
  EXPECT_EQ(GraphicsInitialised, 0);
  EXPECT_EQ(SetScreenMode(640, 0, 32, 60), -1);
  EXPECT_TRUE((ScreenMode == ScreenModeRecord{800, 600, 32, 60}));
}

struct ModeCase {
  const char* name;
  int windowMode;
  ScreenModeRecord start;
  std::vector<ScreenModeRecord> refused;  // display modes the display refuses (any rate)
  ScreenModeRecord request;
  int result;
  ScreenModeRecord after;
  int emulated;
  bool restarted;  // the graphics stopped and started again, and the log says so
};

class ScreenModeTable : public ScreenLibraryTest, public testing::WithParamInterface<ModeCase> {};

TEST_P(ScreenModeTable, SetScreenModeGivesItsResultAndMode) {
  const ModeCase& c = GetParam();
  const ScreenModeRecord& s = c.start;
  ASSERT_EQ(SetScreenMode(s.width, s.height, s.bits, s.refreshRate), 0);
  ASSERT_EQ(Start(c.windowMode), 0);
  for (const ScreenModeRecord& r : c.refused) PortRefuseDisplayMode(r.width, r.height, r.bits);
  const ScreenModeRecord& r = c.request;
  EXPECT_EQ(SetScreenMode(r.width, r.height, r.bits, r.refreshRate), c.result);
  EXPECT_TRUE((ScreenMode == c.after)) << ScreenMode.width << "x" << ScreenMode.height << "x"
                                       << ScreenMode.bits << "@" << ScreenMode.refreshRate;
  EXPECT_EQ(Emulate320x240, c.emulated);
  EXPECT_EQ(GraphicsInitialised, 1);
  EXPECT_EQ(ScreenMemImg.width, ScreenMode.width);
  EXPECT_EQ(Logged("画面モード変更処理を開始します"), c.restarted);
}

const ScreenModeRecord k640x16 = {640, 480, 16, 0}, k640x32 = {640, 480, 32, 0};

INSTANTIATE_TEST_SUITE_P(
    Modes, ScreenModeTable,
    testing::Values(
        ModeCase{"ZeroWidth", 1, k640x32, {}, {0, 480, 32, 60}, -1, k640x32, 0, false},
        ModeCase{"NegativeHeight", 1, k640x32, {}, {640, -2, 32, 60}, -1, k640x32, 0, false},
        ModeCase{"TwentyFourBits", 1, k640x32, {}, {640, 480, 24, 60}, -1, k640x32, 0, false},
        ModeCase{"AnotherDepth", 0, k640x32, {}, {640, 480, 16, 0}, 0, k640x16, 0, true},
        // The new mode and the old one refused: the chain ends at 640 x 480 x 16.
        ModeCase{"FallsBackFromAnotherMode",
                 0,
                 k640x32,
                 {{800, 600, 32, 0}, k640x32},
                 {800, 600, 32, 0},
                 -2,
                 k640x16,
                 0,
                 true},
        // The old mode was the fall-back mode itself: the request simply did not take.
        ModeCase{"BackAtTheOldMode",
                 0,
                 k640x16,
                 {{800, 600, 32, 0}},
                 {800, 600, 32, 0},
                 -1,
                 k640x16,
                 0,
                 true},
        // Shown as the 640 x 480 screen that runs already: nothing restarts.
        ModeCase{
            "SmallFullScreenIsEmulated", 0, k640x16, {}, {320, 240, 16, 0}, 0, k640x16, 1, false},
        ModeCase{
            "SmallWindowIsReal", 1, k640x16, {}, {320, 240, 16, 0}, 0, {320, 240, 16, 0}, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScreenModes, AChangeToTheSameModeDoesNothingUnlessForced) {
  ASSERT_EQ(Start(), 0);
  const void* screen = ScreenMemImg.body;
  EXPECT_EQ(ChangeScreenMode(-1, -1, -1, 0, -1), 0);
  EXPECT_FALSE(Logged("画面モード変更処理を開始します"));
  EXPECT_EQ(ScreenMemImg.body, screen);
  // The window-mode switch forces the stop and start.
  ASSERT_EQ(ChangeWindowMode(0), 0);
  EXPECT_TRUE(Logged("画面モード変更処理は正常に終了しました"));
  EXPECT_EQ(IsFullScreen(), 1);
  EXPECT_EQ(GraphicsInitialised, 1);
  EXPECT_TRUE(IsMemImgValid(&ScreenMemImg));
}

// Every mode of the chain refused: the program ends with its line (in a child process).
TEST_F(ScreenModes, DISABLED_NoModeAtAllChild) {
  if (!IsChildRunOf("ScreenModes.DISABLED_NoModeAtAllChild")) GTEST_SKIP();
  SetLogDirectory(getenv("KELVANOR_TEST_DIR"));
  ASSERT_EQ(SetScreenMode(640, 480, 32, 0), 0);
  ASSERT_EQ(Start(0), 0);
  for (int bits : {16, 32}) PortRefuseDisplayMode(640, 480, bits);
  PortRefuseDisplayMode(800, 600, 32);
  SetScreenMode(800, 600, 32, 0);
  ADD_FAILURE() << "SetScreenMode returned";
}

TEST_F(ScreenModes, NoModeAtAllEndsTheProgram) {
  TempFolder dir;
  EXPECT_EQ(RunTestInChild("ScreenModes.DISABLED_NoModeAtAllChild",
                           {"KELVANOR_TEST_DIR=" + dir.WindowsPath()}),
            255);
  EXPECT_NE(dir.ReadFile("Log.txt").find("予期せぬ画面モード変更不能現象が起きました2"),
            std::string::npos);
}

}  // namespace
